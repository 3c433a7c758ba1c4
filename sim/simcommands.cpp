#include "sim/simcommands.h"

#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"

#include <QMetaEnum>

namespace {
template <typename E>
QStringList enumNames()
{
    const QMetaEnum e = QMetaEnum::fromType<E>();
    QStringList names;
    for (int i = 0; i < e.keyCount(); ++i)
        names << QString::fromLatin1(e.key(i));
    return names;
}

// Case-insensitive, so a typed "noanswer" works as well as the window's "NoAnswer".
template <typename E>
bool enumValue(const QString &name, E *out)
{
    const QMetaEnum e = QMetaEnum::fromType<E>();
    for (int i = 0; i < e.keyCount(); ++i) {
        if (name.compare(QLatin1String(e.key(i)), Qt::CaseInsensitive) == 0) {
            *out = static_cast<E>(e.value(i));
            return true;
        }
    }
    return false;
}

bool reading(const QString &s, int *out)
{
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok || v < 0 || v > SimCommands::kReadingMax)
        return false;
    *out = v;
    return true;
}
} // namespace

SimCommands::SimCommands(SimUnit &unit) : unit_(unit) {}

QStringList SimCommands::mainboardModes() { return enumNames<SimMainboard::FailureMode>(); }
QStringList SimCommands::bootModes() { return enumNames<SimMainboard::BootLoaderFailure>(); }
QStringList SimCommands::cameraModes() { return enumNames<SimCamera::FailureMode>(); }
QStringList SimCommands::converterModes() { return enumNames<SimConverter::FailureMode>(); }

QString SimCommands::help()
{
    return QStringLiteral("commands: key N [down|up] | tbar V | joy X Y | zoom V (0..2047) | power down|up\n"
                          "  mb %1\n  boot %2\n  cam N %3|unplug|plug\n  conv %4\n  status | quit")
        .arg(mainboardModes().join(QLatin1Char('|')), bootModes().join(QLatin1Char('|')),
             cameraModes().join(QLatin1Char('|')), converterModes().join(QLatin1Char('|')));
}

QString SimCommands::run(const QString &line)
{
    const QStringList w = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.isEmpty())
        return QString();
    const QString &cmd = w[0];
    int a = 0, b = 0;
    bool okA = false;
    const int index = w.size() > 1 ? w[1].toInt(&okA) : -1;

    if (cmd == QLatin1String("key") && okA && (w.size() == 2 || w.size() == 3)) {
        bool done = false;
        if (w.size() == 2)
            done = unit_.keys().tap(index);
        else if (w[2] == QLatin1String("down"))
            done = unit_.keys().press(index);
        else if (w[2] == QLatin1String("up"))
            done = unit_.keys().release(index);
        if (done && w.size() == 2)
            return QStringLiteral("key tapped");
        return done ? QString() : QStringLiteral("no such key: %1").arg(w.mid(1).join(QLatin1Char(' ')));
    }
    if ((cmd == QLatin1String("tbar") || cmd == QLatin1String("zoom")) && w.size() == 2 && reading(w[1], &a)) {
        unit_.converter().setReading(cmd == QLatin1String("tbar") ? SimConverter::TbarInput : SimConverter::ZoomInput, a);
        return QString();
    }
    if (cmd == QLatin1String("joy") && w.size() == 3 && reading(w[1], &a) && reading(w[2], &b)) {
        unit_.converter().setReading(SimConverter::JoystickXInput, a);
        unit_.converter().setReading(SimConverter::JoystickYInput, b);
        return QString();
    }
    if (cmd == QLatin1String("power") && w.size() == 2 && (w[1] == QLatin1String("down") || w[1] == QLatin1String("up"))) {
        unit_.setPowerButton(w[1] == QLatin1String("down"));
        return QString();
    }
    if (cmd == QLatin1String("mb") && w.size() == 2) {
        SimMainboard::FailureMode m;
        if (!enumValue(w[1], &m))
            return QStringLiteral("no such mainboard mode: ") + w[1];
        unit_.mainboard().setFailureMode(m);
        return QString();
    }
    if (cmd == QLatin1String("boot") && w.size() == 2) {
        SimMainboard::BootLoaderFailure m;
        if (!enumValue(w[1], &m))
            return QStringLiteral("no such boot loader mode: ") + w[1];
        unit_.mainboard().setBootLoaderFailure(m);
        return QString();
    }
    if (cmd == QLatin1String("cam") && w.size() == 3 && okA && index >= 0 && index < SimUnit::kCameras) {
        SimCamera &cam = unit_.camera(index);
        const QString &what = w[2];
        SimCamera::FailureMode m;
        if (what == QLatin1String("unplug")) {
            cam.close();
        } else if (what == QLatin1String("plug")) {
            if (!cam.open())
                return QStringLiteral("camera %1: cannot open its line").arg(index);
        } else if (what == QLatin1String("off")) {
            cam.setFailureMode(SimCamera::PowerOff);
        } else if (what == QLatin1String("on")) {
            cam.setFailureMode(SimCamera::Normal);
        } else if (enumValue(what, &m)) {
            cam.setFailureMode(m);
        } else {
            return QStringLiteral("no such camera mode: ") + what;
        }
        return QString();
    }
    if (cmd == QLatin1String("conv") && w.size() == 2) {
        SimConverter::FailureMode m;
        if (!enumValue(w[1], &m))
            return QStringLiteral("no such converter mode: ") + w[1];
        unit_.converter().setFailureMode(m);
        return QString();
    }
    if (cmd == QLatin1String("status") && w.size() == 1) {
        SimMainboard &mb = unit_.mainboard();
        QString s = QStringLiteral("program %1 preview %2 tbar %3, frames received %4")
                        .arg(mb.program())
                        .arg(mb.preview())
                        .arg(mb.tbar())
                        .arg(mb.counters().frames);
        for (int i = 0; i < SimUnit::kCameras; ++i) {
            const SimCamera::State st = unit_.camera(i).state();
            s += QStringLiteral("\ncamera %1: %2, tally %3").arg(i).arg(
                unit_.camera(i).isOpen() ? QStringLiteral("plugged") : QStringLiteral("unplugged"),
                st.redTally ? QStringLiteral("red") : st.greenTally ? QStringLiteral("green") : QStringLiteral("off"));
        }
        return s;
    }
    if (cmd == QLatin1String("quit") && w.size() == 1) {
        if (onQuit)
            onQuit();
        return QString();
    }
    return help();
}
