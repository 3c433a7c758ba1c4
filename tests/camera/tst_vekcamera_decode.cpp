// Reply decoders of the camera object, byte by byte, and a flood of random,
// truncated and oversized replies that must never be read out of bounds.
#include "camera/vekreply.h"
#include "tests/camera/helper_vekcamera.h"

#include <QtTest>

using namespace VekReply;

namespace {

// What one decoder makes of a reply, as text: "-" where it refuses it.
QString decoded(const QString &decoder, const QByteArray &r)
{
    const QString refused = QStringLiteral("-");
    if (decoder == "ack")
        return QStringLiteral("%1 %2").arg(containsAckComplete(r)).arg(isPresetAck(r));
    if (decoder == "status") {
        SystemStatus s;
        s.speedRange = 77;
        const bool ok = decodeSystemStatus(r, &s);
        if (!ok && s.speedRange != 77)
            return QStringLiteral("refused but written");
        return ok ? QStringLiteral("'%1' %2").arg(s.formatText).arg(s.formatIndex) : refused;
    }
    if (decoder == "version") {
        VersionInfo v;
        return decodeVersion(r, &v) ? QStringList{v.model, v.mcu, v.fpga, v.motor}.join(' ') : refused;
    }
    if (decoder == "shutter")
        return QString::number(shutterPosition(r));
    if (decoder == "gain") {
        int g = 0;
        return framedGain(r, &g) ? QString::number(g) : refused;
    }
    if (decoder == "track") {
        int t = 99;
        const char *kinds[] = {"value", "too short", "not supported", "unknown"};
        const int kind = int(trackState(r, &t));
        return QStringLiteral("%1 %2").arg(QLatin1String(kinds[kind])).arg(t);
    }
    QByteArray p; // "bare1", "bare4": a bare answer with at least 1 or 4 data bytes
    return bareAnswer(r, &p, decoder.right(1).toInt()) ? QString::fromLatin1(p.toHex()) : refused;
}

} // namespace

class TestVekDecode : public QObject
{
    Q_OBJECT
private slots:

    void decoders_data()
    {
        QTest::addColumn<QString>("decoder");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *decoder, const char *name, const char *reply, const char *expected) {
            QTest::addRow("%s: %s", decoder, name) << QString::fromLatin1(decoder) << QByteArray::fromHex(reply)
                                                   << QString::fromLatin1(expected);
        };
        // containsAckComplete, then the preset test (second byte 41 or 51); the
        // product-level cases (ack and completion, errors) run through the line.
        row("ack", "complete alone", "9051FF", "1 1");
        row("ack", "ack alone", "9041FF", "1 1");
        row("ack", "framed ack", "00059041FF", "1 0");
        row("ack", "ack without terminator", "9041", "0 0");
        row("ack", "noise with 41", "1241FF", "0 0");
        row("ack", "empty", "", "0 0");
        // the video code is the low six bits of byte 3
        row("status", "0x42 reads as code 2", "9050014200000000000200000003FF", "'1080i60' 6");
        row("status", "code 5 is 1080i60 too", "9050010500000000000200000003FF", "'1080i60' 6");
        row("status", "code 0 unknown", "9050010000000000000200000003FF", "'' 0");
        row("status", "code 3 unknown", "9050010300000000000200000003FF", "'' 0");
        row("status", "2160p60", "9050012400000000000200000003FF", "'2160p60' 17");
        row("status", "720p50", "9050010C00000000000200000003FF", "'720p50' 11");
        row("status", "14 bytes", "90500115000000000002000000FF", "-");
        row("status", "16 bytes", "9050011500000000000200000003FFFF", "-");
        row("status", "error padded to 15", "906002FF00000000000000000000FF", "-");
        row("status", "ack then 12 bytes", "9041FF9050011500000000000200FF", "-");
        row("status", "no terminator", "905001150000000000020000000300", "-");
        row("status", "empty", "", "-");
        row("version", "low nibbles, byte 3 whole", "9050F3050102030400010A01000007FF", "305 12.34 01a 10.07");
        row("version", "17 bytes", "9050039C0102030400010A01000007FFFF", "-");
        row("version", "empty", "", "-");
        row("shutter", "after stale completion", "00059051FF0009905000000005FF", "5");
        row("shutter", "truncated frame", "00099050000000A", "-1");
        row("shutter", "wrong terminator", "0009905000000A0300", "-1");
        row("shutter", "empty", "", "-1");
        row("gain", "high nibble only counts once", "0009905000000F0FFF", "255");
        row("gain", "framed error six bytes", "0006906002FF", "-");
        row("gain", "length byte lies", "0020905000000A05FF", "-");
        row("gain", "five bytes", "00059050FF", "-");
        row("track", "high nibble dropped", "905042FF", "value 2");
        row("track", "garbage", "01020304", "unknown -1");
        row("track", "answer without terminator", "90500200", "unknown -1");
        row("bare1", "after ack", "9041FF905003FF", "03");
        row("bare1", "inside a frame", "0006905002FF", "02");
        row("bare1", "answer without data", "9050FF", "-");
        row("bare4", "too short for four", "9050010203FF", "-");
        row("bare4", "second answer long enough", "905001FF905001020304FF", "01020304");
    }
    void decoders()
    {
        QFETCH(QString, decoder);
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        QCOMPARE(decoded(decoder, reply), expected);
    }

    void videoCodeTable()
    {
        // The interface sends the codes of its list positions 0 to 11.
        const int codes[] = {0x15, 0x13, 0x14, 0x07, 0x06, 0x08, 0x02, 0x01, 0x04, 0x0A, 0x09, 0x0C};
        for (int i = 0; i < 12; ++i)
            QCOMPARE(videoCodeForIndex(i), codes[i]);
        QCOMPARE(videoCodeForIndex(18), -1);
        QString t;
        int idx = -1;
        QVERIFY(videoFormatForCode(0x1D, &t, &idx));
        QCOMPARE(t, QStringLiteral("2160p29.97"));
        QCOMPARE(idx, 12);
        QVERIFY(!videoFormatForCode(0x3F, &t, &idx));
    }

    // Thousands of replies of every shape: each decoder returns its failure value
    // or a value inside its range, and never reads past the reply (run under a
    // sanitizer build to see that part directly).
    void randomReplies()
    {
        QRandomGenerator rng(0x5EED);
        int decoded = 0;
        for (int i = 0; i < 5000; ++i) {
            const QByteArray r = randomVekReply(rng, i % 50 == 0 ? 5000 : 40);
            SystemStatus s;
            if (decodeSystemStatus(r, &s)) {
                QCOMPARE(r.size(), 15);
                QVERIFY(s.videoCode >= 0 && s.videoCode < 64);
                ++decoded;
            }
            VersionInfo v;
            if (decodeVersion(r, &v)) {
                QCOMPARE(r.size(), 16);
                QCOMPARE(v.model.size(), 3);
            }
            const int sh = shutterPosition(r);
            QVERIFY(sh >= -1 && sh <= 255);
            int g = -7;
            if (framedGain(r, &g))
                QVERIFY(g >= 0 && g <= 255);
            int t = -7;
            VekReply::trackState(r, &t);
            QVERIFY(t >= -1 && t <= 15);
            const int pr = profileNumber(r);
            QVERIFY(pr == -1 || (pr >= 1 && pr <= 10));
            QByteArray p;
            if (bareAnswer(r, &p, 1))
                QVERIFY(!p.contains(char(0xFF)) && p.size() < r.size());
            if (framedAnswer(r, &p, 1))
                QVERIFY(!p.contains(char(0xFF)) && p.size() + 5 <= r.size());
            isPresetAck(r);
            containsAckComplete(r);
        }
        QVERIFY(decoded > 0); // the generator does produce valid status replies
    }
};

QTEST_GUILESS_MAIN(TestVekDecode)
#include "tst_vekcamera_decode.moc"
