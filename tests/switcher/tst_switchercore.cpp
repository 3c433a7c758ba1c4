// Crosspoints, transitions, keyers, aux, T-bar, status refresh and the
// exchange lock, against the simulated mainboard on a pseudo-terminal.
// (The frame of every simple operation is checked in tst_switcherrobust.)

#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <numeric>

using Op = std::function<bool(commandExecObject &)>;
Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(SimMainboard::FailureMode)

namespace {

// Counts every notify signal of the model's properties.
struct PropertySignals
{
    explicit PropertySignals(QObject *object)
    {
        const QMetaObject *mo = object->metaObject();
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            if (mo->property(i).hasNotifySignal())
                spies.emplace_back(new QSignalSpy(object, mo->property(i).notifySignal()));
    }
    int total() const
    {
        return std::accumulate(spies.begin(), spies.end(), 0, [](int n, const auto &s) { return n + s->count(); });
    }
    std::vector<std::unique_ptr<QSignalSpy>> spies;
};

QByteArray tbarFrame(int v) { return mbFrame(1, 0xC5, QByteArray(1, '\0') + char(v & 0xFF) + char(v >> 8)); }

} // namespace

class TestSwitcherCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<SimMainboard::FailureMode>();
        rig_.reset(new SwitcherRig);
        m = rig_->model.get();
    }
    void init() { rig_->resetBoard(); }
    void cleanupTestCase() { rig_.reset(); }

    void bootModeAtStartIsQuiet()
    {
        QSignalSpy spy(m, &commandExecObject::bootModeChanged);
        for (bool on : {false, true, true, false})
            m->setInBootMode(on);
        QCOMPARE(spy.count(), 2);
    }

    void sourceOutOfRangeSendsNothing_data()
    {
        QTest::addColumn<Op>("op");
#define ROW(expr) QTest::newRow(#expr) << Op([](commandExecObject &x) { return x.expr; })
        ROW(pgm(7));
        ROW(pgm(-1));
        ROW(pvw(7));
        ROW(writePipSource(7));
        ROW(writePipSource(-1));
        ROW(writeKeySource(15));
#undef ROW
        QTest::newRow("writeSplitSource(9)") << Op([](commandExecObject &x) { x.writeSplitSource(9); return false; });
    }

    void sourceOutOfRangeSendsNothing()
    {
        QFETCH(Op, op);
        QVERIFY(!op(*m));
        QVERIFY(!rig_->log.warnings().isEmpty());
        QCOMPARE(rig_->sent(), QString());
        QCOMPARE(rig_->mb->statusBytes(), SimMainboard::State().statusBytes());
    }

    void backgroundToggles_data()
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

    void backgroundToggles()
    {
        QFETCH(bool, program);
        QFETCH(int, current);
        QFETCH(int, sent);
        rig_->mb->update([&](SimMainboard::State &s) { program ? s.setProgram(current) : s.setPreview(current); });
        QVERIFY(program ? m->pgmbg() : m->pvwbg());
        QCOMPARE(rig_->sent(), hexText({mbFrame(0, program ? 0x41 : 0x42),
                                        mbFrame(0, program ? 0xC1 : 0xC2, QByteArray(1, char(sent)))}));
        QCOMPARE(program ? rig_->mb->program() : rig_->mb->preview(), sent);
    }

    void autoTransition()
    {
        // The rate is the mainboard's business: the same packet for any rate.
        for (int rate : {5, 100}) {
            QList<bool> seen;
            auto c = connect(m, &commandExecObject::autoModeChanged, m, [&] { seen << m->isAutoMode(); });
            rig_->resetBoard();
            rig_->mb->update([](SimMainboard::State &s) { s.setProgram(1); s.setPreview(2); });
            QVERIFY(m->autoTrans(rate));
            disconnect(c);
            QCOMPARE(seen, (QList<bool>{true, false}));
            QVERIFY(!m->isAutoMode());
            QCOMPARE(rig_->sent(), QString("04 00 C6 00 CA"));
            QTRY_COMPARE(rig_->mb->program(), 2); // the mainboard runs the transition itself
        }
    }

    void autoRateClamped()
    {
        for (auto [rate, sent] : {std::pair{0, 1}, {37, 37}, {500, 200}}) {
            rig_->resetBoard();
            m->writeAutoRate(rate);
            QCOMPARE(rig_->sent(), hexText(mbFrame(0, 0xCC, QByteArray(1, char(sent)))));
            QCOMPARE(m->readAutoRate(), sent);
        }
    }

    void auxOutputSentOnlyOnChange()
    {
        QSignalSpy changed(m, &commandExecObject::auxOutputChanged);
        struct Step { uint src; QString frames; uint stored; };
        const QList<Step> steps{{3, hexText(mbFrame(4, 0xC9, hexBytes("03"))), 3},
                                {3, QString(), 3},
                                {9, hexText(mbFrame(4, 0xC9, hexBytes("00"))), 0}, // not an input: black
                                {0, QString(), 0}};
        for (const Step &s : steps) {
            rig_->mb->clearReceived();
            m->setAuxOutput(s.src);
            QCOMPARE(rig_->sent(), s.frames);
            QCOMPARE(m->auxOutput(), s.stored);
        }
        QCOMPARE(changed.count(), 2);
    }

    void lampToggles()
    {
        auto expect = [&](std::function<void()> op, const QList<QByteArray> &frames) {
            rig_->mb->clearReceived();
            op();
            QCOMPARE(rig_->sent(), hexText(frames));
        };
        // Split reads its lamp and turns it the other way.
        for (bool on : {true, false}) {
            expect([&] { QVERIFY(m->spliteMode()); }, {lampFrame(0x47, 3), lampFrame(on ? 0xC6 : 0xC7, 3)});
            QCOMPARE(rig_->mb->lampLit(splitCommand), on);
        }
        m->refreshStatus2(); // all flags off
        // Split off: the cached flag decides which way the pip lamp goes.
        expect([&] { m->pipSplitOnPgm(); }, {lampFrame(0x47, 0x03), lampFrame(0xC6, 0x11)});
        // Split on: the split-program lamp is read and toggled.
        rig_->mb->update([](SimMainboard::State &s) { s.setFlag(2, true); s.setFlag(3, true); });
        expect([&] { m->pipSplitOnPgm(); }, {lampFrame(0x47, 0x03), lampFrame(0x47, 0x13), lampFrame(0xC7, 0x13)});
        // Preview side with split on: the cached flag (false) turns split-preview on...
        expect([&] { m->pipSplitOnPvw(); }, {lampFrame(0x47, 0x03), lampFrame(0xC6, 0x14)});
        // ...and once the status says it is on preview, off.
        m->refreshStatus2();
        QVERIFY(m->isPipSplitOnPvw());
        expect([&] { m->pipSplitOnPvw(); }, {lampFrame(0x47, 0x03), lampFrame(0xC7, 0x14)});
        // Split off again, flag on: pip preview goes off.
        rig_->mb->update([](SimMainboard::State &s) { s.setFlag(2, false); });
        expect([&] { m->pipSplitOnPvw(); }, {lampFrame(0x47, 0x03), lampFrame(0xC7, 0x12)});
    }

    void lampStates()
    {
        rig_->mb->update([](SimMainboard::State &s) { s.setFlag(3, true); s.setFlag(6, true); });
        QCOMPARE((QList<bool>{m->pipPgmState(), m->pipPvmState(), m->keyPgmState(), m->keyPvmState()}),
                 (QList<bool>{true, false, false, true}));
        QCOMPARE(rig_->sent(), hexText({lampFrame(0x47, 0x11), lampFrame(0x47, 0x12), lampFrame(0x47, 0x15),
                                        lampFrame(0x47, 0x16)}));
        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
        QVERIFY(!m->pipPgmState()); // a reply that fails its checksum is not "lit"
    }

    void reads()
    {
        rig_->mb->update([](SimMainboard::State &s) {
            s.setProgram(2);
            s.setPreview(6);
            s.control[1] = 700;
            s.setFlag(1, false); // mix
        });
        QCOMPARE(m->readProgram(), 2);
        QCOMPARE(m->readPreset(), 6);
        QCOMPARE(m->readTbar(), 700);
        QCOMPARE(m->readAutoRate(), 30);
        m->readMix();
        m->readWipePattern();
        QVERIFY(!m->getWipeMode());
        m->readWipeMode();
        m->readReverseMode();
        QCOMPARE(rig_->sent(), hexText({hexBytes("03 00 41 44"), hexBytes("03 00 42 45"), hexBytes("04 01 45 00 4A"),
                                        hexBytes("03 00 4C 4F"), lampFrame(0x47, 0x04), hexBytes("03 00 48 4B"),
                                        lampFrame(0x47, 0x05), lampFrame(0x47, 0x02)}));
        // What these three found is seen only in the log.
        for (const char *text : {"mix mode is on :", "wipe mode is on :", "reverse mode is on :"})
            QVERIFY2(rig_->log.count(text) == 1, text);

        // A source the panel does not know, or a failed read, reads as black.
        rig_->mb->update([](SimMainboard::State &s) { s.setProgram(9); });
        QCOMPARE(m->readProgram(), 0);
        rig_->mb->injectReply(hexBytes("01"));
        QCOMPARE(m->readPreset(), 0);
        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
        QCOMPARE(m->readTbar(), -1);
    }

    void tbarMiddleSentOnceAndGatesWrites()
    {
        QSignalSpy pos(m, &commandExecObject::currentTbarPosChanged);
        QSignalSpy busy(m, &commandExecObject::sigMainboardBusy);
        m->writeTbar(512);
        m->writeTbar(512);
        QCOMPARE(rig_->sent(), QString("06 01 C5 00 00 02 CE"));
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
        QCOMPARE(rig_->sent(), hexText({hexBytes("03 00 41 44"), mbFrame(0, 0xCC, hexBytes("14"))}));

        // A special mission lets the forced program selection through.
        QSignalSpy mission(m, &commandExecObject::sigSpecialMission);
        m->openMission(true);
        QVERIFY(m->pgm(4));
        m->openMission(false);
        QVERIFY(!m->pgm(3));
        QCOMPARE(rig_->mb->program(), 4);
        QCOMPARE(QList<QList<QVariant>>(mission), (QList<QList<QVariant>>{{true}, {false}}));

        // At the end of travel the gate opens again; beyond the travel is the end.
        m->writeTbar(5000);
        QCOMPARE(m->currentTbarPos(), 1023u);
        QCOMPARE(hexText(rig_->mb->receivedFrames().last()), QString("06 01 C5 00 FF 03 CE"));
        QVERIFY(m->pgm(3));
        QCOMPARE(rig_->mb->program(), 3);
        QCOMPARE(rig_->log.count("Retry writeTbar :"), 0);
    }

    void tbarEndRetries_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        QTest::addColumn<int>("sends");
        QTest::newRow("0, never answered: four sends") << 0 << SimMainboard::NoAnswer << 4;
        QTest::newRow("1023, answered on the third") << 1023 << SimMainboard::AnswerOnThirdRequest << 3;
    }

    void tbarEndRetries()
    {
        QFETCH(int, end);
        QFETCH(SimMainboard::FailureMode, mode);
        QFETCH(int, sends);
        m->writeTbar(600);
        rig_->mb->clearReceived();
        rig_->mb->setEarlyMode(SimMainboard::NoAnswer);
        rig_->mb->setFailureMode(mode);
        m->writeTbar(uint(end));
        rig_->mb->setFailureMode(SimMainboard::Normal);
        QCOMPARE(rig_->sent(), hexText(QVector<QByteArray>(sends, tbarFrame(end)).toList()));
        QCOMPARE(m->currentTbarPos(), uint(end));
        QVERIFY(m->pgm(2)); // the gate is open whatever the answers were
    }

    void statusDecodesIntoProperties()
    {
        m->refreshStatus2(); // known start
        const uint pvwBefore = m->pvwSourceNumber();
        rig_->mb->update([](SimMainboard::State &s) { s.status = {{0x31, 0x6B, 0x03, 0x12, 0x05, 0x00}}; });
        QSignalSpy state(m, &commandExecObject::sendMuState);
        QSignalSpy pvw(m, &commandExecObject::pvwSourceChanged);
        PropertySignals changes(m);
        m->refreshStatus2();
        QCOMPARE(rig_->sent(), QString("03 00 6E 71 | 03 00 6E 71"));
        QCOMPARE(state.count(), 1);
        // pgm, pvw, keyerPgm, keyerPvw, key, fill, pip, pipSplitPgm, pipSplitPvw,
        // split source, autokey, wipe pattern, mixWipe, split, menu
        QCOMPARE(state.first(), (QList<QVariant>{1, 3, 1, 1, 2, 1, 3, 1, 0, 0, 1, 5, 1, 0, 0}));
        QCOMPARE(props(m, "pgmSourceNumber wipePattern isAutoMode isWipeMode isSplitMode isPipSplitOnPgm isPipSplitOnPvw "
                          "isKeyOnPgm isKeyOnPvw pipSrc splitSrc keyKeyerSrc keyFillSrc isWipeReverse"),
                 (QList<int>{1, 5, 1, 1, 0, 1, 0, 1, 1, 3, 0, 2, 1, 0}));
        QCOMPARE(m->readPipSrc(), 3u);
        // Preview 3 only reaches the interface through sendMuState.
        QCOMPARE(m->pvwSourceNumber(), pvwBefore);
        QCOMPARE(pvw.count(), 0);

        // The same answer again: sendMuState again, no property change.
        const int first = changes.total();
        QVERIFY(first > 0);
        m->refreshStatus2();
        QCOMPARE(state.count(), 2);
        QCOMPARE(state.at(0), state.at(1));
        QCOMPARE(changes.total(), first);
    }

    void refreshRetries_data()
    {
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        QTest::addColumn<bool>("applied");
        QTest::newRow("third request answered") << SimMainboard::AnswerOnThirdRequest << true;
        QTest::newRow("three failures") << SimMainboard::CorruptChecksum << false;
    }

    void refreshRetries()
    {
        QFETCH(SimMainboard::FailureMode, mode);
        QFETCH(bool, applied);
        m->refreshStatus2(); // pgm 1, pattern 0, not reversed
        rig_->mb->update([](SimMainboard::State &s) { s.status[0] = 0x34; s.status[4] = 0x82; });
        rig_->mb->clearReceived();
        rig_->mb->setEarlyMode(SimMainboard::CorruptChecksum);
        rig_->mb->setFailureMode(mode);
        QSignalSpy state(m, &commandExecObject::sendMuState);
        PropertySignals changes(m);
        m->refreshStatus2();
        QCOMPARE(rig_->mb->receivedFrames().size(), 3);
        QCOMPARE(state.count(), int(applied));
        QCOMPARE(props(m, "pgmSourceNumber wipePattern isWipeReverse"), (applied ? QList<int>{4, 2, 1} : QList<int>{1, 0, 0}));
        QCOMPARE(changes.total() > 0, applied);
        if (applied)
            QCOMPARE(state.first().at(0).toInt(), 4);
    }


    void updateStatusSendsItsRecord()
    {
        m->updateStatus();
        QCOMPARE(rig_->sent(), hexText(mbFrame(0, 0xEE, hexBytes("63 41 24 51 82 00"))));
        QCOMPARE(rig_->mb->statusBytes(), hexBytes("63 41 24 51 82 00"));
        // Only the log tells that a status came back.
        rig_->log.clear();
        m->requestStatus();
        QCOMPARE(rig_->log.count("view state"), 1);
    }

    void reentryFromChangeSignalFailsFast()
    {
        // A handler of a signal emitted inside a locked operation calls back
        // into a locked one: refused at once, no deadlock, no traffic.
        m->refreshStatus2(); // auto mode off: autoTrans emits twice
        rig_->mb->clearReceived();
        QList<bool> nested;
        auto c = connect(m, &commandExecObject::autoModeChanged, m,
                         [&] { nested << m->pgm(2) << m->keyOnPgm() << m->readProgram(); });
        QVERIFY(m->autoTrans(10));
        disconnect(c);
        QCOMPARE(nested, (QList<bool>{false, false, false, false, false, false}));
        QCOMPARE(rig_->sent(), QString("04 00 C6 00 CA"));
        QVERIFY(m->pgm(2)); // the lock is free again afterwards
        QCOMPARE(rig_->mb->program(), 2);
    }

private:
    std::unique_ptr<SwitcherRig> rig_;
    commandExecObject *m = nullptr;
};

QTEST_MAIN(TestSwitcherCore)
#include "tst_switchercore.moc"
