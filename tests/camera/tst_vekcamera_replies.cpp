// Camera replies: the decoders byte by byte, and whatever a camera line
// delivers (error answers, silence, noise, truncated replies): every
// decoder and every inquiry gives its failure value or a value inside its
// range, logs the failure, and never crashes or reads past the reply.
#include "camera/vekreply.h"
#include "tests/camera/helper_vekcamera.h"

#include <QRandomGenerator>
#include <QtTest>

#include <functional>

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
    if (decoder == "profile")
        return QString::number(profileNumber(r));
    QByteArray p; // "bare1", "bare4": a bare answer with at least 1 or 4 data bytes
    return bareAnswer(r, &p, decoder.right(1).toInt()) ? QString::fromLatin1(p.toHex()) : refused;
}

// One random reply: noise, or one or two real answers of the shapes the camera
// object decodes, with bytes changed, cut anywhere.
QByteArray randomVekReply(QRandomGenerator &rng)
{
    // Status, version, framed value, framed profile, bare value,
    // acknowledgement and completion, bare and framed error.
    static const QList<QByteArray> seeds{
        hexBytes("90501D15050A05080C0203001105FF"), hexBytes("9050039C0102030400010A01000007FF"),
        hexBytes("0009905000000A03FF"), hexBytes("000790500005FF"), hexBytes("905002FF"),
        hexBytes("9041FF9051FF"), hexBytes("906002FF"), hexBytes("0006906002FF"),
    };
    const auto seed = [&] { return seeds.at(int(rng.bounded(seeds.size()))); };
    QByteArray r;
    if (rng.bounded(4) == 0) { // noise
        r.resize(int(rng.bounded(1, 31)));
        for (char &c : r)
            c = char(rng.bounded(256));
        return r;
    }
    r = rng.bounded(2) ? seed() : seed() + seed();
    for (int k = int(rng.bounded(4)); k > 0; --k)
        r[int(rng.bounded(r.size()))] = char(rng.bounded(256));
    r.truncate(int(rng.bounded(1, r.size() + 1)));
    return r;
}

struct Inquiry
{
    const char *name;
    std::function<int(vekCameraObject &, int)> call;
    int failure;
    int min;
    int max;
};

const QList<Inquiry> &inquiries()
{
    using V = vekCameraObject;
    static const QList<Inquiry> list{
        {"camPowerInq", [](V &o, int c) { return int(o.camPowerInq(c)); }, 0, 0, 1},
        {"getSystemStatus", [](V &o, int c) { return int(o.getSystemStatus(c)); }, 0, 0, 1},
        {"queryVersion", [](V &o, int c) { return int(o.queryVersion(c)); }, 0, 0, 1},
        {"shutterPosInq", [](V &o, int c) { return o.shutterPosInq(c); }, -1, -1, 255},
        {"rGain", [](V &o, int c) { return o.rGain(c); }, 0, 0, 255},
        {"bGain", [](V &o, int c) { return o.bGain(c); }, 0, 0, 255},
        {"isTallyOn", [](V &o, int c) { return int(o.isTallyOn(c)); }, 0, 0, 1},
        {"isAutoFocus", [](V &o, int c) { return int(o.isAutoFocus(c)); }, 0, 0, 1},
        {"getWhiteBalanceMode", [](V &o, int c) { return o.getWhiteBalanceMode(c); }, 0, 0, 5},
        {"getExposureMode", [](V &o, int c) { return o.getExposureMode(c); }, 0, 0, 1},
        {"getVideoFormat", [](V &o, int c) { return o.getVideoFormat(c); }, -1, -1, 255},
        {"gotoPtzPosition", [](V &o, int c) { return int(o.gotoPtzPosition(1, c)); }, 0, 0, 1},
        {"storePtzPosition", [](V &o, int c) { return int(o.storePtzPosition(1, c)); }, 0, 0, 1},
        {"presetMemSpeed", [](V &o, int c) { return int(o.presetMemSpeed(1, c)); }, 0, 0, 1},
        {"atTrackInquire", [](V &o, int c) { return o.atTrackInquire(c); }, -1, -1, 15},
        {"atFigureInq", [](V &o, int c) { return o.atFigureInq(c); }, 0, 0, 255},
        {"atFigureCustSizeInq", [](V &o, int c) { return o.atFigureCustSizeInq(c); }, 0, 0, 0xFFFF},
        {"atPlacementInq", [](V &o, int c) { return o.atPlacementInq(c); }, 0, 0, 255},
        {"atSpeedInq", [](V &o, int c) { return o.atSpeedInq(c); }, 0, 0, 255},
        {"atDetindInq", [](V &o, int c) { return o.atDetindInq(c); }, 0, 0, 255},
        {"atTrackingStartPosInq", [](V &o, int c) { return o.atTrackingStartPosInq(c); }, 0, 0, 255},
        {"atOSDInq", [](V &o, int c) { return int(o.atOSDInq(c)); }, 0, 0, 1},
        {"atAutoZoomInq", [](V &o, int c) { return int(o.atAutoZoomInq(c)); }, 0, 0, 1},
        {"atAutoTiltInq", [](V &o, int c) { return int(o.atAutoTiltInq(c)); }, 0, 0, 1},
        {"InquireATProfileNum", [](V &o, int c) { return o.InquireATProfileNum(c); }, -1, -1, 10},
    };
    return list;
}

} // namespace

class TestVekReplies : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;

private slots:
    void initTestCase() { rig_ = std::make_unique<VekRig>(); }
    void init() { rig_->reset(); }
    void cleanupTestCase() { rig_.reset(); }

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
        row("track", "refused", "906002FF", "not supported -1");
        row("track", "garbage", "01020304", "unknown -1");
        row("track", "answer without terminator", "90500200", "unknown -1");
        row("track", "ack before answer", "9041FF905003FF", "value 3");
        row("track", "ack and completion", "9041FF9051FF", "unknown -1");
        row("track", "three bytes", "9051FF", "too short -1");
        row("profile", "5", "000790500005FF", "5");
        row("profile", "10", "00079050000AFF", "10");
        row("profile", "11 out of range", "00079050000BFF", "-1");
        row("profile", "0 out of range", "000790500000FF", "-1");
        row("profile", "five bytes", "00079050FF", "-1");
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
    void errorReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("syntax error") << hexBytes("906002FF");
        QTest::newRow("framed not executable") << hexBytes("0006906141FF");
        // An error's third byte looks like a setting; it must not be read as one.
        QTest::newRow("error carrying 01") << hexBytes("906101FF");
        QTest::newRow("error carrying 02") << hexBytes("906102FF");
        QTest::newRow("ack and completion") << hexBytes("9041FF9051FF");
        QTest::newRow("silent") << kSilent;
    }
    void errorReplies()
    {
        QFETCH(QByteArray, reply);
        const bool presetAck = reply.startsWith(hexBytes("9041"));
        VekSignalTrace trace(rig_->obj());
        for (const Inquiry &q : inquiries()) {
            // An acknowledgement is the right answer for the preset operations.
            const bool isPreset = QByteArray(q.name).contains("Ptz") || QByteArray(q.name) == "presetMemSpeed";
            if (presetAck && isPreset)
                continue;
            rig_->log().clear();
            rig_->answerNext(0, reply);
            const int result = q.call(rig_->obj(), 0);
            QVERIFY2(result == q.failure, q.name);
            // Where the failure value is a possible value, the log alone tells them apart.
            QVERIFY2(reply == kSilent || rig_->log().contains(QStringLiteral("[ERR]")), q.name);
            // Nothing is reported to the interface (a recall announces its motion first).
            const QStringList emitted = trace.take().filter(QRegularExpression(QStringLiteral("^(?!moving\\()")));
            QVERIFY2(emitted.isEmpty(), qPrintable(QString::fromLatin1(q.name) + ": " + emitted.join(' ')));
        }
    }

    void randomRepliesToInquiries()
    {
        QRandomGenerator rng(20240601);
        int fed = 0;
        int failures = 0;
        for (int round = 0; round < 12; ++round) {
            for (const Inquiry &q : inquiries()) {
                QByteArray r = randomVekReply(rng);
                // Terminated, so most exchanges end as soon as it arrives; the
                // unterminated kind, and one that only answers an earlier message,
                // cost a full time-out.
                if (!r.endsWith(char(0xFF)))
                    r.append(char(0xFF));
                rig_->cam(0).injectReply(r);
                const int result = q.call(rig_->obj(), 0);
                ++fed;
                if (result == q.failure)
                    ++failures;
                QVERIFY2(result >= q.min && result <= q.max,
                         QByteArray(q.name) + " gave " + QByteArray::number(result) + " for " + r.toHex(' '));
            }
        }
        QVERIFY(failures > fed / 2);
        // The camera and the line are fine afterwards.
        QVERIFY(rig_->obj().getSystemStatus(0));
        QVERIFY(rig_->obj().queryVersion(0));
    }
};

QTEST_GUILESS_MAIN(TestVekReplies)
#include "tst_vekcamera_replies.moc"
