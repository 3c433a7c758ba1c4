#include "sim/simpistate.h"

#include <QStringList>

namespace {
int hexValue(const QString &s)
{
    bool ok = false;
    const int v = s.toInt(&ok, 16); // accepts the "0x" prefix
    return ok && v >= 0 && v <= 0xFF ? v : -1;
}
} // namespace

void SimPiState::apply(const QString &line)
{
    QStringList w = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.isEmpty())
        return;
    ++calls;
    lastCall = line.simplified();
    // "sudo x" and a Pi script's recorder both name the real program next.
    while (!w.isEmpty() && (w.first() == QLatin1String("sudo") || w.first() == QLatin1String("pi-scripts")))
        w.removeFirst();
    if (w.isEmpty())
        return;
    const QString tool = w.takeFirst();
    if (tool == QLatin1String("i2cset")) {
        w.removeAll(QStringLiteral("-y"));
        w.removeAll(QStringLiteral("-a"));
        if (w.size() < 4)
            return;
        const QString bus = w[0];
        const int dev = hexValue(w[1]), reg = hexValue(w[2]), value = hexValue(w[3]);
        if (bus == QLatin1String("1") && dev == 0x70 && reg == 0x40)
            keyLampsOn = true;
        else if (bus == QLatin1String("3") && dev == 0x77 && (reg == 2 || reg == 3))
            (reg == 2 ? keyLedReg2 : keyLedReg3) = value;
        else if (bus == QLatin1String("1") && dev == 0x05 && (reg == 2 || reg == 3))
            (reg == 2 ? ledDriverReg2 : ledDriverReg3) = value;
    } else if (tool == QLatin1String("gpio") || tool == QLatin1String("raspi-gpio")) {
        // "gpio [-g] write P V" (without -g the tool's own numbering, which the
        // panel uses for the same power-off line); "raspi-gpio set 27 op pn dh".
        w.removeAll(QStringLiteral("-g"));
        int pin = -1, level = -1;
        if (w.size() >= 3 && w[0] == QLatin1String("write")) {
            pin = w[1].toInt();
            level = w[2] == QLatin1String("0") ? 0 : 1;
        } else if (w.size() >= 3 && w[0] == QLatin1String("set") && w.contains(QStringLiteral("op"))) {
            pin = w[1].toInt();
            level = w.contains(QStringLiteral("dl")) ? 0 : 1;
        }
        if (pin == 27) {
            if (powerOffLine == 1 && level == 0)
                ++powerOffPulses;
            powerOffLine = level;
        } else if (pin == 7) {
            displayReset = level;
        }
    } else if (tool.endsWith(QLatin1String("/lm1972.sh"))) {
        for (int i = 0; i < int(audio.size()) && i < w.size(); ++i)
            audio[size_t(i)] = hexValue(w[i]);
    } else if (tool.endsWith(QLatin1String("/preview.x"))) {
        programOutput = true;
        programRate = w.size() > 1 ? w[1] : QString();
    } else if (tool == QLatin1String("pkill") && w.contains(QStringLiteral("preview.x"))) {
        programOutput = false;
    } else if (tool.endsWith(QLatin1String("/cap.sh"))) {
        ++captures;
    }
}
