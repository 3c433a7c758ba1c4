// Reply decoders of the camera object, byte by byte, and a flood of random,
// truncated and oversized replies that must never be read out of bounds.
#include "camera/cameramodels.h"
#include "camera/vekreply.h"
#include "tests/camera/helper_vekcamera.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace VekReply;

class TestVekDecode : public QObject
{
    Q_OBJECT
private slots:
    void ackComplete_data();
    void ackComplete();
    void systemStatusVideoCode_data();
    void systemStatusVideoCode();
    void systemStatusRejects_data();
    void systemStatusRejects();
    void version_data();
    void version();
    void shutter_data();
    void shutter();
    void gain_data();
    void gain();
    void trackState_data();
    void trackState();
    void bareAnswerFinding_data();
    void bareAnswerFinding();
    void videoCodeTable();
    void modelFragments();
    void randomReplies();
};

// Acknowledgement or completion anywhere, and the stricter preset test
// (second byte 41 or 51).
void TestVekDecode::ackComplete_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ackComplete");
    QTest::addColumn<bool>("presetAck");
    QTest::newRow("ack+complete") << hexBytes("9041FF9051FF") << true << true;
    QTest::newRow("complete alone") << hexBytes("9051FF") << true << true;
    QTest::newRow("ack alone") << hexBytes("9041FF") << true << true;
    QTest::newRow("framed ack") << hexBytes("00059041FF") << true << false;
    QTest::newRow("error") << hexBytes("906002FF") << false << false;
    QTest::newRow("not executable") << hexBytes("906141FF") << false << false;
    QTest::newRow("ack without terminator") << hexBytes("9041") << false << false;
    QTest::newRow("noise with 41") << hexBytes("1241FF") << false << false;
    QTest::newRow("empty") << QByteArray() << false << false;
}

void TestVekDecode::ackComplete()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ackComplete);
    QFETCH(bool, presetAck);
    QCOMPARE(containsAckComplete(reply), ackComplete);
    QCOMPARE(isPresetAck(reply), presetAck);
}

void TestVekDecode::systemStatusVideoCode_data()
{
    QTest::addColumn<int>("byte3");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("0x42 reads as code 2") << 0x42 << "1080i60" << 6;
    QTest::newRow("code 5 is 1080i60 too") << 0x05 << "1080i60" << 6;
    QTest::newRow("code 0 unknown") << 0x00 << "" << 0;
    QTest::newRow("code 3 unknown") << 0x03 << "" << 0;
    QTest::newRow("2160p60") << 0x24 << "2160p60" << 17;
    QTest::newRow("720p50") << 0x0C << "720p50" << 11;
}

void TestVekDecode::systemStatusVideoCode()
{
    QFETCH(int, byte3);
    QFETCH(QString, text);
    QFETCH(int, index);
    QByteArray reply = hexBytes("90500115000000000002000000 03FF");
    reply[3] = char(byte3);
    SystemStatus s;
    QVERIFY(decodeSystemStatus(reply, &s));
    QCOMPARE(s.formatText, text);
    QCOMPARE(s.formatIndex, index);
}

void TestVekDecode::systemStatusRejects_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("14 bytes") << hexBytes("90500115000000000002000000FF");
    QTest::newRow("16 bytes") << hexBytes("9050011500000000000200000003FFFF");
    QTest::newRow("error padded to 15") << hexBytes("906002FF00000000000000000000FF");
    QTest::newRow("ack then 12 bytes") << hexBytes("9041FF9050011500000000000200FF");
    QTest::newRow("no terminator") << hexBytes("905001150000000000020000000300");
    QTest::newRow("empty") << QByteArray();
}

void TestVekDecode::systemStatusRejects()
{
    QFETCH(QByteArray, reply);
    SystemStatus s;
    s.speedRange = 77;
    QVERIFY(!decodeSystemStatus(reply, &s));
    QCOMPARE(s.speedRange, quint8(77)); // untouched
}

void TestVekDecode::version_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("model"); // empty: refused
    QTest::newRow("example") << hexBytes("9050039C0102030400010A01000007FF") << "39c";
    QTest::newRow("low nibbles, byte 3 whole") << hexBytes("9050F3050102030400010A01000007FF") << "305";
    QTest::newRow("15 bytes") << hexBytes("9050039C0102030400010A010000FF") << "";
    QTest::newRow("17 bytes") << hexBytes("9050039C0102030400010A01000007FFFF") << "";
    QTest::newRow("error as first bytes") << hexBytes("9060039C0102030400010A01000007FF") << "";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestVekDecode::version()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, model);
    VersionInfo v;
    QCOMPARE(decodeVersion(reply, &v), !model.isEmpty());
    if (!model.isEmpty()) {
        QCOMPARE(v.model, model);
        QCOMPARE(v.mcu, QStringLiteral("12.34"));
        QCOMPARE(v.fpga, QStringLiteral("01a"));
        QCOMPARE(v.motor, QStringLiteral("10.07"));
    }
}

void TestVekDecode::shutter_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("expected");
    QTest::newRow("framed answer") << hexBytes("000990500000 0A03FF") << 0xA3;
    QTest::newRow("after stale completion") << hexBytes("00059051FF 00099050000000 05FF") << 0x05;
    QTest::newRow("bare answer has no frame") << hexBytes("905000000A03FF") << -1;
    QTest::newRow("framed error") << hexBytes("0006906002FF") << -1;
    QTest::newRow("truncated frame") << hexBytes("00099050000 00A") << -1;
    QTest::newRow("wrong terminator") << hexBytes("0009905000000A0300") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void TestVekDecode::shutter()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, expected);
    QCOMPARE(shutterPosition(reply), expected);
}

void TestVekDecode::gain_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("framed answer") << hexBytes("0009905000000A05FF") << true << 0xA5;
    QTest::newRow("high nibble only counts once") << hexBytes("0009905000000F0FFF") << true << 0xFF;
    QTest::newRow("framed error six bytes") << hexBytes("0006906002FF") << false << 0;
    QTest::newRow("bare answer") << hexBytes("905000000A05FF") << false << 0;
    QTest::newRow("length byte lies") << hexBytes("0020905000000A05FF") << false << 0;
    QTest::newRow("five bytes") << hexBytes("00059050FF") << false << 0;
}

void TestVekDecode::gain()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    int g = 0;
    QCOMPARE(framedGain(reply, &g), ok);
    if (ok)
        QCOMPARE(g, expected);
}

void TestVekDecode::trackState_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("expected");
    QTest::newRow("on") << hexBytes("905002FF") << int(TrackAnswer::Value) << 2;
    QTest::newRow("off") << hexBytes("905003FF") << int(TrackAnswer::Value) << 3;
    QTest::newRow("ack then answer") << hexBytes("9041FF905003FF") << int(TrackAnswer::Value) << 3;
    QTest::newRow("high nibble dropped") << hexBytes("905042FF") << int(TrackAnswer::Value) << 2;
    QTest::newRow("error") << hexBytes("906002FF") << int(TrackAnswer::NotSupported) << -1;
    QTest::newRow("three bytes") << hexBytes("9041FF") << int(TrackAnswer::TooShort) << -1;
    QTest::newRow("garbage") << hexBytes("01020304") << int(TrackAnswer::Unknown) << -1;
    QTest::newRow("answer without terminator") << hexBytes("90500200") << int(TrackAnswer::Unknown) << -1;
}

void TestVekDecode::trackState()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, answer);
    QFETCH(int, expected);
    int state = 99;
    QCOMPARE(int(VekReply::trackState(reply, &state)), answer);
    QCOMPARE(state, expected);
}

void TestVekDecode::bareAnswerFinding_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("minPayload");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("plain") << hexBytes("905002FF") << 1 << true << hexBytes("02");
    QTest::newRow("after ack") << hexBytes("9041FF905003FF") << 1 << true << hexBytes("03");
    QTest::newRow("inside a frame") << hexBytes("0006905002FF") << 1 << true << hexBytes("02");
    QTest::newRow("empty payload") << hexBytes("9050FF") << 1 << false << QByteArray();
    QTest::newRow("too short for four") << hexBytes("9050010203FF") << 4 << false << QByteArray();
    QTest::newRow("second answer long enough") << hexBytes("905001FF905001020304FF") << 4 << true
                                               << hexBytes("01020304");
    QTest::newRow("unterminated") << hexBytes("90500203") << 1 << false << QByteArray();
    QTest::newRow("error") << hexBytes("906002FF") << 1 << false << QByteArray();
}

void TestVekDecode::bareAnswerFinding()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, minPayload);
    QFETCH(bool, found);
    QFETCH(QByteArray, payload);
    QByteArray p;
    QCOMPARE(bareAnswer(reply, &p, minPayload), found);
    if (found)
        QCOMPARE(p, payload);
}

void TestVekDecode::videoCodeTable()
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

void TestVekDecode::modelFragments()
{
    const QStringList &ai = CameraModels::aiCamList();
    QCOMPARE(ai.size(), 4);
    QCOMPARE(ai.last(), QStringLiteral("FFFF"));
    QVERIFY(CameraModels::containsAny(QStringLiteral("71a"), ai));
    QVERIFY(!CameraModels::containsAny(QStringLiteral("39c"), ai));
    QVERIFY(!CameraModels::containsAny(QString(), ai));
    // The end marker is a marker, not a model.
    QVERIFY(!CameraModels::containsAny(QStringLiteral("FFFF"), ai));
    QVERIFY(CameraModels::containsAny(QStringLiteral("615"), CameraModels::altShutterFamily()));
    QVERIFY(!CameraModels::containsAny(QStringLiteral("39c"), CameraModels::altShutterFamily()));
}

// Thousands of replies of every shape: each decoder returns its failure value
// or a value inside its range, and never reads past the reply (run under a
// sanitizer build to see that part directly).
void TestVekDecode::randomReplies()
{
    QRandomGenerator rng(0x5EED);
    const QByteArray seeds[] = {
        hexBytes("90501D15050A05080C02030011 05FF"), hexBytes("9050039C01020304 00010A01000007FF"),
        hexBytes("0009905000000A03FF"), hexBytes("000790500005FF"), hexBytes("905002FF"),
        hexBytes("9041FF9051FF"), hexBytes("906002FF"), hexBytes("0006906002FF"),
    };
    int decoded = 0;
    for (int i = 0; i < 5000; ++i) {
        QByteArray r;
        switch (i % 5) {
        case 0: { // pure noise, any length up to oversized
            const int len = int(rng.bounded(i % 50 == 0 ? 5000 : 40));
            for (int k = 0; k < len; ++k)
                r.append(char(rng.bounded(256)));
            break;
        }
        case 1: { // a real reply truncated
            const QByteArray &s = seeds[rng.bounded(int(std::size(seeds)))];
            r = s.left(int(rng.bounded(s.size() + 1)));
            break;
        }
        case 2: { // a real reply with bytes flipped
            r = seeds[rng.bounded(int(std::size(seeds)))];
            for (int k = 0; k < 3; ++k)
                r[int(rng.bounded(r.size()))] = char(rng.bounded(256));
            break;
        }
        case 3: { // VISCA-looking: headers, 0x50, terminators in random places
            const int len = int(rng.bounded(24));
            const char pool[] = {char(0x00), char(0x90), char(0x50), char(0x41), char(0x51),
                                 char(0x60), char(0xFF), char(0x09), char(0x07), char(0x05)};
            for (int k = 0; k < len; ++k)
                r.append(pool[rng.bounded(int(sizeof pool))]);
            break;
        }
        default: // two replies glued, the second cut
            r = seeds[rng.bounded(int(std::size(seeds)))] + seeds[rng.bounded(int(std::size(seeds)))];
            r.chop(int(rng.bounded(r.size())));
            break;
        }

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

QTEST_GUILESS_MAIN(TestVekDecode)
#include "tst_vekcamera_decode.moc"
