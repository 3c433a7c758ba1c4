#pragma once

#include "sim/simpistate.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <memory>
#include <mutex>

class SimCommands;
class SimUnit;

// What the unit's window shows, and the way its controls reach the unit.
// Lives on the GUI thread. Every 100 ms it reads the devices' state through
// their locked accessors and signals only the groups that changed; the
// frames the devices receive arrive on the simulation thread and wait in a
// small locked queue until the next refresh, so a flood of frames costs the
// interface one bounded list update per tick.
class SimUnitModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantMap mainboard READ mainboard NOTIFY mainboardChanged)
    Q_PROPERTY(QVariantList cameras READ cameras NOTIFY camerasChanged)
    Q_PROPERTY(QVariantMap pi READ pi NOTIFY piChanged)
    Q_PROPERTY(QVariantMap controls READ controls NOTIFY controlsChanged)
    Q_PROPERTY(QStringList log READ log NOTIFY logChanged)
    Q_PROPERTY(QStringList mainboardModes READ mainboardModes CONSTANT)
    Q_PROPERTY(QStringList bootModes READ bootModes CONSTANT)
    Q_PROPERTY(QStringList cameraModes READ cameraModes CONSTANT)
    Q_PROPERTY(QStringList converterModes READ converterModes CONSTANT)
    Q_PROPERTY(int readingMax READ readingMax CONSTANT)
public:
    static constexpr int kLogLines = 300;
    static constexpr int kRefreshMs = 100;

    SimUnitModel(SimUnit &unit, SimCommands &commands, QObject *parent = nullptr);
    ~SimUnitModel() override;

    QVariantMap mainboard() const { return mainboard_; }
    QVariantList cameras() const { return cameras_; }
    QVariantMap pi() const { return pi_; }
    QVariantMap controls() const { return controls_; }
    QStringList log() const { return log_; }
    QStringList mainboardModes() const;
    QStringList bootModes() const;
    QStringList cameraModes() const;
    QStringList converterModes() const;
    int readingMax() const;

    // The window's controls send the console's command lines.
    Q_INVOKABLE QString command(const QString &line);

public slots:
    // Reads every device now (the timer calls it; tests may too).
    void refresh();

signals:
    void mainboardChanged();
    void camerasChanged();
    void piChanged();
    void controlsChanged();
    void logChanged();

private:
    // Frames received and not yet shown; shared with the simulation thread's
    // handlers, so they stay valid even while the model goes away.
    struct FrameQueue
    {
        std::mutex lock;
        QStringList lines;  // guarded by lock
        int dropped = 0;    // guarded by lock
        void push(const QString &device, const QByteArray &bytes); // any thread
    };

    SimUnit &unit_;
    SimCommands &commands_;
    QTimer timer_;
    QVariantMap mainboard_;
    QVariantList cameras_;
    QVariantMap pi_;
    QVariantMap controls_;
    QStringList log_;
    SimPiState piState_;
    qint64 callsOffset_ = 0;

    std::shared_ptr<FrameQueue> frames_ = std::make_shared<FrameQueue>();
};
