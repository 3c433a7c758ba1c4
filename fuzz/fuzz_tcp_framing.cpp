// The mainboard's TCP framing: 2-byte big-endian lengths that count
// themselves, frames joined or cut anywhere.
#include "fuzz/fuzzsupport.h"
#include "mainboard/zarvomu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    if (size == 0)
        return 0;
    // The first byte splits the rest in two arrivals, as the socket may.
    const QByteArray all = fuzz::bytes(data + 1, size - 1);
    const int cut = data[0] % (all.size() + 1);

    QByteArray raw = all.left(cut);
    QByteArray out;
    int bad = zarvoMu::unframeTcp(raw, out);
    QByteArray seen = all.left(cut);
    if (bad < 0) {
        raw.append(all.mid(cut));
        seen = all;
        bad = zarvoMu::unframeTcp(raw, out);
    }
    // Every byte is either handed over without its prefix, still waiting,
    // or part of a prefix; nothing appears from nowhere.
    FUZZ_CHECK(out.size() + raw.size() <= seen.size());
    FUZZ_CHECK(seen.endsWith(raw));
    if (bad >= 0)
        FUZZ_CHECK(bad < 3 && raw.size() >= 2);
    else
        FUZZ_CHECK(raw.size() < 2 || raw.size() < ((quint8(raw.at(0)) << 8) | quint8(raw.at(1))));
    return 0;
}
