// Level frames from the audio meter program: a read of exactly two bytes is
// one left/right sample pair, anything else is skipped; every 25th read
// shows the most common value per channel.
#include "fuzz/fuzzsupport.h"
#include "netsvc/netconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    QList<unsigned char> left;
    QList<unsigned char> right;
    // Reads as they arrive: each starts with its own length (0 to 7).
    size_t i = 0;
    while (i < size) {
        const size_t n = data[i++] & 0x07;
        const QByteArray frame = fuzz::bytes(data + i, qMin(n, size - i));
        i += size_t(frame.size());
        if (frame.size() == 2) {
            left.append(static_cast<unsigned char>(frame.at(0)));
            right.append(static_cast<unsigned char>(frame.at(1)));
        }
    }
    const unsigned char l = NetConfig::mostCommon(left);
    const unsigned char r = NetConfig::mostCommon(right);
    FUZZ_CHECK(left.isEmpty() ? l == 0 : left.contains(l));
    FUZZ_CHECK(right.isEmpty() ? r == 0 : right.contains(r));
    return 0;
}
