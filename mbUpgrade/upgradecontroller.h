#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "mbUpgrade/mbupgradeworker.h"

class QSerialPort;
class QThread;

// Runs one mainboard firmware upgrade on a thread of its own and reports
// back on the thread that created the controller (commandExecObject's, the
// mainboard lane); it is called only from there, checked in debug builds.
//
// How commandExecObject drives it (processFirmwareUpgradeUi):
//   auto *c = new UpgradeController(this);
//   connect(c, &UpgradeController::logMessage, this, &commandExecObject::logMessage);
//   connect(c, &UpgradeController::upgradeFinished, this, [this, c](bool ok) {
//       upgrading_ = false;            // exchanges may use the line again
//       emit upgradeFinished(ok);
//       c->deleteLater();
//   });
//   upgrading_ = true;                 // from here every exchange fails at once
//   c->startUpgrade(*serial_, file);
//
// - The line is handed over, not shared: startUpgrade() closes `port` on the
//   caller's thread, the worker opens its own handle to the same device with
//   the same settings on the upgrade thread, and closes it when done; the
//   controller then reopens `port` before it emits upgradeFinished. So no Qt
//   object is used across threads, and while the upgrade runs anything that
//   still tries the model's port finds it closed and sends nothing. The model
//   must still refuse its exchanges itself until upgradeFinished (a closed
//   port makes zarvoMu wait out its time-outs and log device errors).
// - upgradeFinished(bool) is emitted exactly once per startUpgrade() call,
//   always later from the event loop, never from inside startUpgrade(); so
//   the caller may set its "upgrade running" state after the call as well.
// - A port that is not open fails at once: startUpgrade() returns false,
//   logMessage carries the reason and upgradeFinished(false) follows; nothing
//   reaches the line.
// - A second startUpgrade() while one runs returns false and emits nothing:
//   the running upgrade still reports its own end, once.
// - The image is checked before the board is touched; a missing, short or
//   truncated image ends with upgradeFinished(false) and the mainboard keeps
//   its firmware.
// - An upgrade cannot be cancelled. Destroying the controller while one runs
//   (process exit) stops the worker at its next step, waits for it, and
//   reopens the port; upgradeFinished is then not emitted.
class UpgradeController : public QObject
{
    Q_OBJECT
public:
    explicit UpgradeController(QObject *parent = nullptr);
    ~UpgradeController() override;

    // Starts the upgrade and returns at once; true when it was started.
    bool startUpgrade(QSerialPort &port, const QString &filePath);

    bool isRunning() const { return thread_ != nullptr; }

    // Waits of the boot-loader exchange for this controller's upgrades
    // (default: MBUpgradeWorker::defaultTiming()).
    void setTiming(const MBUpgradeWorker::Timing &timing) { timing_ = timing; }

signals:
    void progressChanged(int percent);
    void logMessage(QString msg);
    void upgradeFinished(bool success);

private:
    void onWorkerFinished(bool ok);
    void failLater(const QString &msg);
    void reopenPort();

    QThread *thread_ = nullptr;
    QPointer<QSerialPort> port_;
    MBUpgradeWorker::Timing timing_;
};
