#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"

#include <QVariant>

#include <numeric>

QByteArray mbFrame(quint8 address, quint8 code, const QByteArray &data)
{
    const QByteArray f = QByteArray(1, char(3 + data.size())) + char(address) + char(code) + data;
    return f + char(std::accumulate(f.begin(), f.end(), 0u, [](uint sum, char c) { return sum + quint8(c); }));
}

QByteArray hexBytes(const char *hex) { return QByteArray::fromHex(QByteArray(hex).replace(' ', "")); }

QByteArray lampFrame(quint8 code, quint8 lamp) { return mbFrame(0, code, QByteArray(1, char(lamp))); }

QString hexText(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

QString hexText(const QList<QByteArray> &frames)
{
    QStringList parts;
    for (const QByteArray &f : frames)
        parts.append(hexText(f));
    return parts.join(QStringLiteral(" | "));
}

QList<int> props(const QObject *object, const char *names)
{
    QList<int> values;
    for (const QByteArray &name : QByteArray(names).split(' '))
        values << object->property(name.constData()).toInt();
    return values;
}

SwitcherRig::SwitcherRig()
{
    mb.reset(new SimMainboard(QStringLiteral("ttyAMA2")));
    if (!mb->isOpen())
        qFatal("simulated mainboard did not open its line");
    mb->setFrameMs(1); // auto transitions finish at once
    model.reset(new commandExecObject);
    if (!model->isConnected())
        qFatal("model did not open the simulated mainboard line");
}

void SwitcherRig::resetBoard()
{
    setWaitDivisor(1);
    mb->setFailureMode(SimMainboard::Normal);
    mb->update([](SimMainboard::State &s) {
        const auto memories = s.memories;
        s = SimMainboard::State();
        s.memories = memories;
    });
    mb->clearReceived();
    log.clear();
}

QList<QByteArray> SwitcherRig::framesAfterBarrier()
{
    const QByteArray live = hexBytes("03 00 01 04");
    model->mainboardLink()->isMachineLive();
    QList<QByteArray> frames = mb->receivedFrames();
    if (!frames.isEmpty() && frames.last() == live)
        frames.removeLast();
    return frames;
}

void SwitcherRig::setWaitDivisor(int divisor) { model->mainboardLink()->setWaitDivisor(divisor); }
