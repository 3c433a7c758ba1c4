// Mainboard firmware images: the header and the length-prefixed packets the
// upgrade checks before it touches the board.
#include "fuzz/fuzzsupport.h"
#include "mbUpgrade/mbupgradeworker.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    QByteArray image = fuzz::bytes(data, size);
    QBuffer buffer(&image);
    buffer.open(QIODevice::ReadOnly);
    if (MBUpgradeWorker::imageComplete(buffer))
        FUZZ_CHECK(size >= size_t(MBUpgradeWorker::kHeaderSize));
    return 0;
}
