// Crosspoints, transitions, keyers, aux, T-bar, status refresh and the
// exchange lock, against the simulated mainboard on a pseudo-terminal.

#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"

#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <map>

using Op = std::function<bool(commandExecObject &)>;
Q_DECLARE_METATYPE(SimMainboard::FailureMode)

namespace {

// Every notify signal of the model's properties, so a test can assert that
// nothing changed.
class PropertySignals
{
public:
    explicit PropertySignals(QObject *object)
    {
        const QMetaObject *mo = object->metaObject();
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            if (p.hasNotifySignal())
                spies_.emplace_back(new QSignalSpy(object, p.notifySignal()));
        }
    }
    int total() const
    {
        int n = 0;
        for (const auto &s : spies_)
            n += s->count();
        return n;
    }
    QStringList fired() const
    {
        QStringList names;
        for (const auto &s : spies_) {
            if (s->count())
                names << QString::fromLatin1(s->signal());
        }
        return names;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> spies_;
};

const std::map<QString, Op> &operations()
{
    static const std::map<QString, Op> ops{
        {"pgm(3)", [](commandExecObject &m) { return m.pgm(3); }},
        {"pvw(4)", [](commandExecObject &m) { return m.pvw(4); }},
        {"pgmBk", [](commandExecObject &m) { return m.pgmBk(); }},
        {"pvwBk", [](commandExecObject &m) { return m.pvwBk(); }},
        {"pgmColorBar", [](commandExecObject &m) { return m.pgmColorBar(); }},
        {"cutTrans", [](commandExecObject &m) { return m.cutTrans(); }},
        {"mixMode", [](commandExecObject &m) { return m.mixMode(); }},
        {"wipeMode", [](commandExecObject &m) { return m.wipeMode(); }},
        {"reverseOn", [](commandExecObject &m) { m.reverseOn(); return true; }},
        {"reverseOff", [](commandExecObject &m) { m.reverseOff(); return true; }},
        {"wipePattern1", [](commandExecObject &m) { return m.wipePattern1(); }},
        {"wipePattern2", [](commandExecObject &m) { return m.wipePattern2(); }},
        {"wipePattern3", [](commandExecObject &m) { return m.wipePattern3(); }},
        {"pipProgramOn", [](commandExecObject &m) { return m.pipProgramOn(); }},
        {"pipProgramOff", [](commandExecObject &m) { return m.pipProgramOff(); }},
        {"pipPreviewOn", [](commandExecObject &m) { return m.pipPreviewOn(); }},
        {"pipPreviewOff", [](commandExecObject &m) { return m.pipPreviewOff(); }},
        {"writePipProgram", [](commandExecObject &m) { return m.writePipProgram(); }},
        {"keyOnPgm", [](commandExecObject &m) { return m.keyOnPgm(); }},
        {"keyOffPgm", [](commandExecObject &m) { return m.keyOffPgm(); }},
        {"keyOnPvw", [](commandExecObject &m) { return m.keyOnPvw(); }},
        {"keyOffPvw", [](commandExecObject &m) { return m.keyOffPvw(); }},
        {"writePipSource(3)", [](commandExecObject &m) { return m.writePipSource(3); }},
        {"writeSplitSource(4)", [](commandExecObject &m) { m.writeSplitSource(4); return true; }},
        {"writeKeySource(2)", [](commandExecObject &m) { return m.writeKeySource(2); }},
        {"setAuxMode(2)", [](commandExecObject &m) { m.setAuxMode(2); return true; }},
        {"requestStatus", [](commandExecObject &m) { m.requestStatus(); return true; }},
    };
    return ops;
}

} // namespace

class TestSwitcherCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void bootModeAtStartIsQuiet();
    void switchingFrames_data();
    void switchingFrames();
    void sourceOutOfRangeSendsNothing_data();
    void sourceOutOfRangeSendsNothing();
    void backgroundToggles_data();
    void backgroundToggles();
    void autoTransition_data();
    void autoTransition();
    void autoRateClamped_data();
    void autoRateClamped();
    void auxOutputSentOnlyOnChange();
    void splitToggle();
    void pipSplitToggles();
    void lampStates();
    void reads();
    void readOfForeignSourceIsBlack();
    void tbarMiddleSentOnceAndGatesWrites();
    void tbarEndRetries_data();
    void tbarEndRetries();
    void tbarBeyondTravelIsEnd();
    void statusDecodesIntoProperties();
    void refreshRetriesUntilThirdAnswer();
    void refreshGivesUpAfterThreeFailures();
    void identicalRefreshesSignalOnlyOnce();
    void previewFromStatusOnlyInSignal();
    void updateStatusSendsFixedRecord();
    void missionAndAutoTransStartSignals();
    void reentryFromChangeSignalFailsFast();
    void screenAndPorts();

private:
    std::unique_ptr<SwitcherLog> log_;
    std::unique_ptr<SwitcherRig> rig_;
    commandExecObject *m = nullptr;
};

void TestSwitcherCore::initTestCase()
{
    qRegisterMetaType<SimMainboard::FailureMode>();
    log_.reset(new SwitcherLog);
    rig_.reset(new SwitcherRig);
    m = rig_->model.get();
}

void TestSwitcherCore::init()
{
    rig_->resetBoard();
    log_->clear();
}

void TestSwitcherCore::cleanupTestCase()
{
    rig_.reset();
    log_.reset();
}

void TestSwitcherCore::bootModeAtStartIsQuiet()
{
    QSignalSpy spy(m, &commandExecObject::bootModeChanged);
    m->setInBootMode(false);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(log_->count("set In Boot Mode --- "), 1);
    m->setInBootMode(true);
    m->setInBootMode(true);
    QCOMPARE(spy.count(), 1);
    QVERIFY(m->isInBootMode());
    m->setInBootMode(false);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(log_->count("set In Boot Mode --- "), 4);
}

void TestSwitcherCore::switchingFrames_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("pgm(3)") << "pgm(3)" << mbFrame(0, 0xC1, hexBytes("03"));
    QTest::newRow("pvw(4)") << "pvw(4)" << mbFrame(0, 0xC2, hexBytes("04"));
    QTest::newRow("pgmBk") << "pgmBk" << mbFrame(0, 0xC1, hexBytes("00"));
    QTest::newRow("pvwBk") << "pvwBk" << mbFrame(0, 0xC2, hexBytes("00"));
    QTest::newRow("pgmColorBar") << "pgmColorBar" << mbFrame(0, 0xC1, hexBytes("06"));
    QTest::newRow("cutTrans") << "cutTrans" << hexBytes("04 00 C6 01 CB");
    QTest::newRow("mixMode") << "mixMode" << mbFrame(0, 0xC6, hexBytes("04"));
    QTest::newRow("wipeMode") << "wipeMode" << mbFrame(0, 0xC6, hexBytes("05"));
    QTest::newRow("reverseOn") << "reverseOn" << mbFrame(0, 0xC6, hexBytes("02"));
    QTest::newRow("reverseOff") << "reverseOff" << mbFrame(0, 0xC7, hexBytes("02"));
    QTest::newRow("wipePattern1") << "wipePattern1" << mbFrame(0, 0xC8, hexBytes("00"));
    QTest::newRow("wipePattern2") << "wipePattern2" << mbFrame(0, 0xC8, hexBytes("01"));
    QTest::newRow("wipePattern3") << "wipePattern3" << mbFrame(0, 0xC8, hexBytes("02"));
    QTest::newRow("pipProgramOn") << "pipProgramOn" << mbFrame(0, 0xC6, hexBytes("11"));
    QTest::newRow("pipProgramOff") << "pipProgramOff" << mbFrame(0, 0xC7, hexBytes("11"));
    QTest::newRow("pipPreviewOn") << "pipPreviewOn" << mbFrame(0, 0xC6, hexBytes("12"));
    QTest::newRow("pipPreviewOff") << "pipPreviewOff" << mbFrame(0, 0xC7, hexBytes("12"));
    QTest::newRow("writePipProgram") << "writePipProgram" << mbFrame(0, 0xC6, hexBytes("11"));
    QTest::newRow("keyOnPgm") << "keyOnPgm" << mbFrame(0, 0xC6, hexBytes("15"));
    QTest::newRow("keyOffPgm") << "keyOffPgm" << mbFrame(0, 0xC7, hexBytes("15"));
    QTest::newRow("keyOnPvw") << "keyOnPvw" << mbFrame(0, 0xC6, hexBytes("16"));
    QTest::newRow("keyOffPvw") << "keyOffPvw" << mbFrame(0, 0xC7, hexBytes("16"));
    QTest::newRow("writePipSource(3)") << "writePipSource(3)" << hexBytes("04 01 C4 03 CC");
    QTest::newRow("writeSplitSource(4)") << "writeSplitSource(4)" << mbFrame(2, 0xC4, hexBytes("04"));
    QTest::newRow("writeKeySource(2)") << "writeKeySource(2)" << mbFrame(0, 0xC4, hexBytes("02"));
    QTest::newRow("setAuxMode(2)") << "setAuxMode(2)"
                                   << hexBytes("0F 05 C9 02 00 00 00 00 00 00 00 00 00 00 00 DF");
    QTest::newRow("requestStatus") << "requestStatus" << hexBytes("03 00 6E 71");
}

void TestSwitcherCore::switchingFrames()
{
    QFETCH(QString, op);
    QFETCH(QByteArray, frame);
    const bool result = operations().at(op)(*m);
    QVERIFY2(result, qPrintable(op));
    QCOMPARE(hexText(rig_->framesAfterBarrier()), hexText(frame));
    QCOMPARE(log_->count("[ERR]"), 0);
}

void TestSwitcherCore::sourceOutOfRangeSendsNothing_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("logText");
    QTest::newRow("pgm(7)") << "pgm(7)" << "[ERR] buttonNum out of range :";
    QTest::newRow("pgm(-1)") << "pgm(-1)" << "[ERR] buttonNum out of range :";
    QTest::newRow("pvw(7)") << "pvw(7)" << "[ERR] buttonNum out of range :";
    QTest::newRow("writePipSource(7)") << "writePipSource(7)" << "[ERR] pip source out of range :";
    QTest::newRow("writePipSource(-1)") << "writePipSource(-1)" << "[ERR] pip source out of range :";
    QTest::newRow("writeSplitSource(9)") << "writeSplitSource(9)" << "[ERR] split source out of range :";
    QTest::newRow("writeKeySource(15)") << "writeKeySource(15)" << "[ERR] key source out of range :";
}

void TestSwitcherCore::sourceOutOfRangeSendsNothing()
{
    QFETCH(QString, op);
    QFETCH(QString, logText);
    static const std::map<QString, Op> ops{
        {"pgm(7)", [](commandExecObject &x) { return x.pgm(7); }},
        {"pgm(-1)", [](commandExecObject &x) { return x.pgm(-1); }},
        {"pvw(7)", [](commandExecObject &x) { return x.pvw(7); }},
        {"writePipSource(7)", [](commandExecObject &x) { return x.writePipSource(7); }},
        {"writePipSource(-1)", [](commandExecObject &x) { return x.writePipSource(-1); }},
        {"writeSplitSource(9)", [](commandExecObject &x) { x.writeSplitSource(9); return false; }},
        {"writeKeySource(15)", [](commandExecObject &x) { return x.writeKeySource(15); }},
    };
    QVERIFY(!ops.at(op)(*m));
    QCOMPARE(log_->count(logText), 1);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString());
    QCOMPARE(rig_->mb->statusBytes(), SimMainboard::State().statusBytes());
}

void TestSwitcherCore::backgroundToggles_data()
{
    QTest::addColumn<bool>("program");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("sent");
    QTest::newRow("program on background -> colour bar") << true << 5 << 6;
    QTest::newRow("program on input 2 -> background") << true << 2 << 5;
    QTest::newRow("program on colour bar -> background") << true << 6 << 5;
    QTest::newRow("preview on background -> colour bar") << false << 5 << 6;
    QTest::newRow("preview on black -> background") << false << 0 << 5;
}

void TestSwitcherCore::backgroundToggles()
{
    QFETCH(bool, program);
    QFETCH(int, current);
    QFETCH(int, sent);
    rig_->mb->update([&](SimMainboard::State &s) { program ? s.setProgram(current) : s.setPreview(current); });
    QVERIFY(program ? m->pgmbg() : m->pvwbg());
    const quint8 read = program ? 0x41 : 0x42;
    const quint8 write = program ? 0xC1 : 0xC2;
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, read), mbFrame(0, write, QByteArray(1, char(sent)))}));
    QCOMPARE(program ? rig_->mb->program() : rig_->mb->preview(), sent);
}

void TestSwitcherCore::autoTransition_data()
{
    QTest::addColumn<int>("rate");
    QTest::newRow("rate 5") << 5;
    QTest::newRow("rate 100") << 100;
}

void TestSwitcherCore::autoTransition()
{
    QFETCH(int, rate);
    QSignalSpy changed(m, &commandExecObject::autoModeChanged);
    QList<bool> seen;
    auto c = connect(m, &commandExecObject::autoModeChanged, m, [&] { seen << m->isAutoMode(); });
    rig_->mb->update([](SimMainboard::State &s) { s.setProgram(1); s.setPreview(2); });

    QVERIFY(m->autoTrans(rate));
    disconnect(c);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(seen, (QList<bool>{true, false}));
    QVERIFY(!m->isAutoMode());
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString("04 00 C6 00 CA"));
    QCOMPARE(log_->count("auto trans mode is on :"), 1);
    // The mainboard runs the transition itself.
    QTRY_COMPARE(rig_->mb->program(), 2);
}

void TestSwitcherCore::autoRateClamped_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("sent");
    QTest::newRow("0 -> 1") << 0 << 1;
    QTest::newRow("-7 -> 1") << -7 << 1;
    QTest::newRow("37") << 37 << 37;
    QTest::newRow("200") << 200 << 200;
    QTest::newRow("500 -> 200") << 500 << 200;
}

void TestSwitcherCore::autoRateClamped()
{
    QFETCH(int, rate);
    QFETCH(int, sent);
    m->writeAutoRate(rate);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), hexText(mbFrame(0, 0xCC, QByteArray(1, char(sent)))));
    QCOMPARE(int(rig_->mb->state().autoRate), sent);
    QCOMPARE(log_->count("writeAutoRate ========"), 1);
    QCOMPARE(log_->count("set auto rate"), 1);
    rig_->mb->clearReceived();
    QCOMPARE(m->readAutoRate(), sent);
}

void TestSwitcherCore::auxOutputSentOnlyOnChange()
{
    QSignalSpy changed(m, &commandExecObject::auxOutputChanged);
    m->setAuxOutput(3);
    m->setAuxOutput(3);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), hexText(mbFrame(4, 0xC9, hexBytes("03"))));
    QCOMPARE(m->auxOutput(), 3u);
    QCOMPARE(changed.count(), 1);

    rig_->mb->clearReceived();
    m->setAuxOutput(9); // not an input: aux goes to black
    QCOMPARE(hexText(rig_->framesAfterBarrier()), hexText(mbFrame(4, 0xC9, hexBytes("00"))));
    QCOMPARE(m->auxOutput(), 0u);
    QCOMPARE(changed.count(), 2);

    rig_->mb->clearReceived();
    m->setAuxOutput(0);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString());
    QCOMPARE(changed.count(), 2);
    QVERIFY(log_->has("Read AuxSource="));
}

void TestSwitcherCore::splitToggle()
{
    QVERIFY(!rig_->mb->lampLit(splitCommand));
    QVERIFY(m->spliteMode());
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0xC6, hexBytes("03"))}));
    QVERIFY(rig_->mb->lampLit(splitCommand));
    QCOMPARE(log_->count("split mode is on :"), 1);

    rig_->mb->clearReceived();
    QVERIFY(m->spliteMode());
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0xC7, hexBytes("03"))}));
    QVERIFY(!rig_->mb->lampLit(splitCommand));
    QCOMPARE(log_->count("split mode is off :"), 1);
}

void TestSwitcherCore::pipSplitToggles()
{
    m->refreshStatus2(); // all flags off
    rig_->mb->clearReceived();
    // Split off: the cached flag decides which way the pip lamp goes.
    QVERIFY(!m->isPipSplitOnPgm());
    m->pipSplitOnPgm();
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0xC6, hexBytes("11"))}));

    // Split on: the split-program lamp is read and toggled.
    rig_->mb->update([](SimMainboard::State &s) { s.setFlag(2, true); s.setFlag(3, true); });
    rig_->mb->clearReceived();
    m->pipSplitOnPgm();
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0x47, hexBytes("13")),
                                       mbFrame(0, 0xC7, hexBytes("13"))}));

    // Preview side with split on: the cached flag (false) turns split-preview on.
    rig_->mb->clearReceived();
    m->pipSplitOnPvw();
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0xC6, hexBytes("14"))}));

    // Once the status says pip/split is on preview, the same call turns it off.
    m->refreshStatus2();
    QVERIFY(m->isPipSplitOnPvw());
    rig_->mb->clearReceived();
    m->pipSplitOnPvw();
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0xC7, hexBytes("14"))}));

    // Split off again, flag on: pip preview goes off.
    rig_->mb->update([](SimMainboard::State &s) { s.setFlag(2, false); });
    rig_->mb->clearReceived();
    m->pipSplitOnPvw();
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("03")), mbFrame(0, 0xC7, hexBytes("12"))}));
}

void TestSwitcherCore::lampStates()
{
    rig_->mb->update([](SimMainboard::State &s) { s.setFlag(3, true); s.setFlag(6, true); });
    QVERIFY(m->pipPgmState());
    QVERIFY(!m->pipPvmState());
    QVERIFY(!m->keyPgmState());
    QVERIFY(m->keyPvmState());
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{mbFrame(0, 0x47, hexBytes("11")), mbFrame(0, 0x47, hexBytes("12")),
                                       mbFrame(0, 0x47, hexBytes("15")), mbFrame(0, 0x47, hexBytes("16"))}));

    // A lamp reply that fails its checksum is not "lit".
    rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
    QVERIFY(!m->pipPgmState());
}

void TestSwitcherCore::reads()
{
    rig_->mb->update([](SimMainboard::State &s) {
        s.setProgram(2);
        s.setPreview(6);
        s.control[1] = 700;
        s.setFlag(1, false); // mix
    });
    QCOMPARE(m->readProgram(), 2);
    QCOMPARE(log_->count("readProgram ---input2: "), 1);
    QCOMPARE(m->readPreset(), 6);
    QCOMPARE(log_->count("readPreset ---colorBar: "), 1);
    QCOMPARE(m->readTbar(), 700);
    QCOMPARE(m->readAutoRate(), 30);
    m->readMix();
    QCOMPARE(log_->count("mix mode is on :"), 1);
    m->readWipePattern();
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{hexBytes("03 00 41 44"), hexBytes("03 00 42 45"), hexBytes("04 01 45 00 4A"),
                                       hexBytes("03 00 4C 4F"), mbFrame(0, 0x47, hexBytes("04")),
                                       hexBytes("03 00 48 4B")}));
    QVERIFY(!m->getWipeMode());
    QVERIFY(log_->has("wipe mode :"));
}

void TestSwitcherCore::readOfForeignSourceIsBlack()
{
    // A source number the panel does not know, or a failed read, reads as black.
    rig_->mb->update([](SimMainboard::State &s) { s.setProgram(9); });
    QCOMPARE(m->readProgram(), 0);
    rig_->mb->injectReply(hexBytes("01"));
    QCOMPARE(m->readPreset(), 0);
    rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
    QCOMPARE(m->readTbar(), -1);
    QCOMPARE(log_->count("Read TBar value fail"), 1);
}

void TestSwitcherCore::tbarMiddleSentOnceAndGatesWrites()
{
    QSignalSpy pos(m, &commandExecObject::currentTbarPosChanged);
    QSignalSpy busy(m, &commandExecObject::sigMainboardBusy);
    m->writeTbar(512);
    m->writeTbar(512);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString("06 01 C5 00 00 02 CE"));
    QCOMPARE(m->currentTbarPos(), 512u);
    QCOMPARE(pos.count(), 1);
    QCOMPARE(rig_->mb->tbar(), quint16(512));

    // Lever in travel: sources, lamps and patterns are refused without traffic.
    rig_->mb->clearReceived();
    QVERIFY(!m->pgm(1));
    QVERIFY(!m->cutTrans());
    QVERIFY(!m->wipePattern2());
    QCOMPARE(busy.count(), 3);
    QVERIFY(m->readProgram() >= 0); // reads pass
    m->writeAutoRate(20);           // so do other writes
    QCOMPARE(hexText(rig_->framesAfterBarrier()),
             hexText(QList<QByteArray>{hexBytes("03 00 41 44"), mbFrame(0, 0xCC, hexBytes("14"))}));

    // A special mission lets the forced program selection through.
    rig_->mb->clearReceived();
    m->openMission(true);
    QVERIFY(m->pgm(4));
    m->openMission(false);
    QVERIFY(!m->pgm(3));
    QCOMPARE(rig_->mb->program(), 4);

    // At the end of travel the gate opens again.
    m->writeTbar(1023);
    QCOMPARE(m->currentTbarPos(), 1023u);
    QVERIFY(m->pgm(3));
    QCOMPARE(rig_->mb->program(), 3);
    QCOMPARE(log_->count("Retry writeTbar :"), 0);
}

void TestSwitcherCore::tbarEndRetries_data()
{
    QTest::addColumn<int>("end");
    QTest::addColumn<SimMainboard::FailureMode>("mode");
    QTest::addColumn<int>("sends");
    QTest::newRow("0, never answered: four sends") << 0 << SimMainboard::NoAnswer << 4;
    QTest::newRow("1023, answered on the third") << 1023 << SimMainboard::AnswerOnThirdRequest << 3;
}

void TestSwitcherCore::tbarEndRetries()
{
    QFETCH(int, end);
    QFETCH(SimMainboard::FailureMode, mode);
    QFETCH(int, sends);
    m->writeTbar(600);
    rig_->mb->clearReceived();
    rig_->mb->setEarlyMode(SimMainboard::NoAnswer);
    rig_->mb->setFailureMode(mode);

    m->writeTbar(uint(end));
    const QByteArray frame = mbFrame(1, 0xC5, QByteArray(1, '\0') + char(end & 0xFF) + char(end >> 8));
    QList<QByteArray> expected;
    for (int i = 0; i < sends; ++i)
        expected << frame;
    rig_->mb->setFailureMode(SimMainboard::Normal);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), hexText(expected));
    QCOMPARE(log_->matching("Retry writeTbar :").size(), sends - 1);
    QCOMPARE(m->currentTbarPos(), uint(end));
    // The gate is open whatever the answers were.
    QVERIFY(m->pgm(2));
}

void TestSwitcherCore::tbarBeyondTravelIsEnd()
{
    m->writeTbar(300);
    rig_->mb->clearReceived();
    m->writeTbar(5000);
    QCOMPARE(m->currentTbarPos(), 1023u);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString("06 01 C5 00 FF 03 CE"));
    QVERIFY(m->pgm(1)); // not left busy
}

void TestSwitcherCore::statusDecodesIntoProperties()
{
    m->refreshStatus2(); // known start
    rig_->mb->update([](SimMainboard::State &s) {
        const QByteArray b = hexBytes("21 6B 03 12 05 00");
        for (int i = 0; i < 6; ++i)
            s.status[size_t(i)] = quint8(b[i]);
    });
    QSignalSpy state(m, &commandExecObject::sendMuState);
    m->refreshStatus2();
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString("03 00 6E 71 | 03 00 6E 71"));
    QCOMPARE(state.count(), 1);
    const QList<QVariant> args = state.first();
    QList<int> values;
    for (const QVariant &v : args)
        values << v.toInt();
    // pgm, pvw, keyerPgm, keyerPvw, key, fill, pip, pipSplitPgm, pipSplitPvw,
    // split source, autokey, wipe pattern, mixWipe, split, menu
    QCOMPARE(values, (QList<int>{1, 2, 1, 1, 2, 1, 3, 1, 0, 0, 1, 5, 1, 0, 0}));
    QCOMPARE(m->pgmSourceNumber(), 1u);
    QCOMPARE(m->wipePattern(), 5u);
    QVERIFY(m->isAutoMode());
    QVERIFY(m->isWipeMode());
    QVERIFY(!m->isSplitMode());
    QVERIFY(m->isPipSplitOnPgm());
    QVERIFY(!m->isPipSplitOnPvw());
    QVERIFY(m->isKeyOnPgm());
    QVERIFY(m->isKeyOnPvw());
    QCOMPARE(m->readPipSrc(), 3u);
    QCOMPARE(m->splitSrc(), 0u);
    QCOMPARE(m->keyKeyerSrc(), 2u);
    QCOMPARE(m->keyFillSrc(), 1u);
    QVERIFY(!m->isWipeReverse());
    QCOMPARE(log_->count("refresh pgmSource :"), 2);
}

void TestSwitcherCore::refreshRetriesUntilThirdAnswer()
{
    rig_->mb->update([](SimMainboard::State &s) { s.status[0] = 0x34; s.status[4] = 0x82; });
    rig_->mb->setEarlyMode(SimMainboard::CorruptChecksum);
    rig_->mb->setFailureMode(SimMainboard::AnswerOnThirdRequest);
    QSignalSpy state(m, &commandExecObject::sendMuState);
    m->refreshStatus2();
    QCOMPARE(state.count(), 1);
    QCOMPARE(state.first().at(0).toInt(), 4);
    QCOMPARE(m->pgmSourceNumber(), 4u);
    QCOMPARE(m->wipePattern(), 2u);
    QVERIFY(m->isWipeReverse());
    QCOMPARE(rig_->mb->receivedFrames().size(), 3);
    QCOMPARE(log_->count("refresh pipSource :"), 2);
}

void TestSwitcherCore::refreshGivesUpAfterThreeFailures()
{
    m->refreshStatus2();
    rig_->mb->update([](SimMainboard::State &s) { s.setProgram(6); s.setFlag(5, true); });
    rig_->mb->clearReceived();
    log_->clear();
    rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
    QSignalSpy state(m, &commandExecObject::sendMuState);
    PropertySignals props(m);
    const uint before = m->pgmSourceNumber();
    m->refreshStatus2();
    QCOMPARE(rig_->mb->receivedFrames().size(), 3);
    QCOMPARE(state.count(), 0);
    QCOMPARE(props.total(), 0);
    QCOMPARE(m->pgmSourceNumber(), before);
    QVERIFY(log_->has("refresh state auto key :"));
    QVERIFY(!log_->has("refresh pgmSource :"));
}

void TestSwitcherCore::identicalRefreshesSignalOnlyOnce()
{
    rig_->mb->update([](SimMainboard::State &s) { s.status = {{0x53, 0x7F, 0x46, 0x21, 0x81, 0x00}}; });
    PropertySignals props(m);
    QSignalSpy state(m, &commandExecObject::sendMuState);
    m->refreshStatus2();
    QVERIFY(props.total() > 0);
    const int first = props.total();
    m->refreshStatus2();
    QCOMPARE(state.count(), 2);
    QCOMPARE(props.total(), first);
    QCOMPARE(state.at(0), state.at(1));
}

void TestSwitcherCore::previewFromStatusOnlyInSignal()
{
    m->refreshStatus2();
    const uint before = m->pvwSourceNumber();
    rig_->mb->update([](SimMainboard::State &s) { s.setPreview(3); });
    QSignalSpy pvw(m, &commandExecObject::pvwSourceChanged);
    QSignalSpy state(m, &commandExecObject::sendMuState);
    m->refreshStatus2();
    QCOMPARE(m->pvwSourceNumber(), before);
    QCOMPARE(pvw.count(), 0);
    QCOMPARE(state.count(), 1);
    QCOMPARE(state.first().at(1).toInt(), 3);
}

void TestSwitcherCore::updateStatusSendsFixedRecord()
{
    m->updateStatus();
    QCOMPARE(hexText(rig_->framesAfterBarrier()), hexText(mbFrame(0, 0xEE, hexBytes("63 41 24 51 82 00"))));
    QCOMPARE(rig_->mb->statusBytes(), hexBytes("63 41 24 51 82 00"));
    QCOMPARE(log_->count("view state"), 1);
    m->requestStatus();
    QCOMPARE(log_->count("view state"), 2);
    QCOMPARE(log_->count(" commandExecObject::requestStatus "), 1);
    rig_->mb->clearReceived();
    m->refreshStatus();
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString());
}

void TestSwitcherCore::missionAndAutoTransStartSignals()
{
    QSignalSpy mission(m, &commandExecObject::sigSpecialMission);
    QSignalSpy start(m, &commandExecObject::autoTransStart);
    m->openMission(true);
    m->openMission(false);
    QCOMPARE(mission.count(), 2);
    QCOMPARE(mission.at(0).at(0).toBool(), true);
    QCOMPARE(mission.at(1).at(0).toBool(), false);
    QVERIFY(!m->mainboardLink()->specialMission.load());
    m->autoTransStartSlot();
    QCOMPARE(start.count(), 1);
    QCOMPARE(start.first().at(0).value<commandExecObject *>(), m);
}

void TestSwitcherCore::reentryFromChangeSignalFailsFast()
{
    // A handler of a signal emitted inside a locked operation calls back
    // into a locked one: refused at once, no deadlock, no traffic.
    QList<bool> nested;
    auto c = connect(m, &commandExecObject::autoModeChanged, m, [&] {
        nested << m->pgm(2) << m->keyOnPgm() << m->readProgram();
    });
    QVERIFY(m->autoTrans(10));
    disconnect(c);
    QCOMPARE(nested, (QList<bool>{false, false, false, false, false, false}));
    QCOMPARE(log_->count("re-entered while this thread holds the mainboard lock"), 6);
    QCOMPARE(hexText(rig_->framesAfterBarrier()), QString("04 00 C6 00 CA"));

    // The lock is free again afterwards.
    QVERIFY(m->pgm(2));
    QCOMPARE(rig_->mb->program(), 2);
}

void TestSwitcherCore::screenAndPorts()
{
    const double w = m->getScreenWidth();
    const double h = m->getScreenHeight();
    QVERIFY(w >= h);
    QVERIFY(log_->has("Screen Width: "));
    const QList<QString> ports = m->availableComPorts();
    QVERIFY(!ports.contains(QString())); // names only, no blanks
}

QTEST_MAIN(TestSwitcherCore)
#include "tst_switchercore.moc"
