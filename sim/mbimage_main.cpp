// mbimage: writes a mainboard firmware image for the simulated unit and for
// trying the upgrade page by hand.
//   mbimage --packets 300 --size 256 --version 2.10 out.bin
#include "sim/mbimage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Writes a mainboard firmware image."));
    p.addHelpOption();
    p.addOptions({
        {QStringLiteral("packets"), QStringLiteral("Number of packets (default 16)."), QStringLiteral("n"), QStringLiteral("16")},
        {QStringLiteral("size"), QStringLiteral("Bytes per packet, 0..65535 (default 256)."), QStringLiteral("bytes"), QStringLiteral("256")},
        {QStringLiteral("sizes"), QStringLiteral("Comma-separated packet sizes (instead of --packets/--size)."), QStringLiteral("list")},
        {QStringLiteral("version"), QStringLiteral("Firmware version major.minor (default 1.0)."), QStringLiteral("m.n"), QStringLiteral("1.0")},
        {QStringLiteral("d"), QStringLiteral("Header value D (default: header plus length fields)."), QStringLiteral("value")},
        {QStringLiteral("declared"), QStringLiteral("Packet count written in the header (default: the real one)."), QStringLiteral("n")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the packet data (default 1)."), QStringLiteral("n"), QStringLiteral("1")},
    });
    p.addPositionalArgument(QStringLiteral("output"), QStringLiteral("Image file to write."));
    p.process(app);

    QTextStream err(stderr);
    const QStringList args = p.positionalArguments();
    if (args.size() != 1) {
        err << "mbimage: one output file expected\n";
        return 2;
    }
    const auto number = [&](const QString &name, qint64 lo, qint64 hi, bool *ok) {
        bool good = false;
        const qint64 v = p.value(name).toLongLong(&good);
        if (!good || v < lo || v > hi) {
            err << "mbimage: --" << name << " must be " << lo << ".." << hi << "\n";
            *ok = false;
        }
        return v;
    };

    bool ok = true;
    MbImage image;
    const quint32 seed = quint32(number(QStringLiteral("seed"), 0, 0xFFFFFFFFLL, &ok));
    if (p.isSet(QStringLiteral("sizes"))) {
        QList<int> sizes;
        for (const QString &s : p.value(QStringLiteral("sizes")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool good = false;
            const int v = s.trimmed().toInt(&good);
            if (!good || v < 0 || v > 0xFFFF) {
                err << "mbimage: bad packet size " << s << "\n";
                return 2;
            }
            sizes.append(v);
        }
        image.packets = MbImage::makePackets(sizes, seed);
    } else {
        const int count = int(number(QStringLiteral("packets"), 0, 0xFFFF, &ok));
        const int size = int(number(QStringLiteral("size"), 0, 0xFFFF, &ok));
        if (ok)
            image.packets = MbImage::makePackets(count, size, seed);
    }
    const QStringList version = p.value(QStringLiteral("version")).split(QLatin1Char('.'));
    bool okMajor = false, okMinor = false;
    const uint major = version.value(0).toUInt(&okMajor);
    const uint minor = version.value(1).toUInt(&okMinor);
    if (version.size() != 2 || !okMajor || !okMinor || major > 255 || minor > 255) {
        err << "mbimage: --version must be major.minor, each 0..255\n";
        return 2;
    }
    image.versionMajor = quint8(major);
    image.versionMinor = quint8(minor);
    if (p.isSet(QStringLiteral("d")))
        image.d = number(QStringLiteral("d"), 0, 0xFFFFFF, &ok);
    if (p.isSet(QStringLiteral("declared")))
        image.declaredPacketCount = int(number(QStringLiteral("declared"), 0, 0xFFFF, &ok));
    if (!ok)
        return 2;

    if (!image.writeTo(args.first())) {
        err << "mbimage: cannot write " << args.first() << "\n";
        return 1;
    }
    QTextStream(stdout) << args.first() << ": " << image.packets.size() << " packets, " << image.fileSize()
                        << " bytes, version " << major << "." << minor << ", D " << image.effectiveD() << "\n";
    return 0;
}
