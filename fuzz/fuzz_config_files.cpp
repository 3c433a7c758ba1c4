// The configuration files the panel reads and edits: the DHCP client's
// configuration with its custom block, resolv.conf, the boot configuration's
// forced MAC line, and the netmask texts of the network page.
#include "fuzz/fuzzsupport.h"
#include "netsvc/kivoproto.h"
#include "netsvc/netconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::init();
    const QString text = QString::fromUtf8(fuzz::bytes(data, size));

    // Whatever the file held, what is written back has no custom block left.
    const QStringList kept = NetConfig::withoutCustomBlock(text);
    FUZZ_CHECK(!NetConfig::hasCustomBlock(kept.join(QLatin1Char('\n'))));

    for (const QString &s : NetConfig::nameservers(text))
        FUZZ_CHECK(!s.contains(QLatin1Char('\n')));

    const int prefix = NetConfig::netmaskToCIDR(text);
    FUZZ_CHECK(prefix >= -1 && prefix <= 32);
    NetConfig::prefixToMask(prefix);

    QString edited = text;
    const QString mac = QStringLiteral("b8:27:eb:01:02:03");
    if (Kivo::replaceForcedMac(&edited, mac))
        FUZZ_CHECK(edited.contains(mac));
    else
        FUZZ_CHECK(edited == text);
    return 0;
}
