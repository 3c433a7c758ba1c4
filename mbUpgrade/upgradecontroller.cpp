#include "mbUpgrade/upgradecontroller.h"

#include "mbUpgrade/mbupgradelog.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QSerialPort>
#include <QThread>

UpgradeController::UpgradeController(QObject *parent)
    : QObject(parent), timing_(MBUpgradeWorker::defaultTiming())
{
}

UpgradeController::~UpgradeController()
{
    if (thread_) {
        // Only at process exit: the worker stops at its next step; the worker
        // and its line are deleted as the thread ends.
        qCWarning(lcMbUpgrade) << "[WARN] Mainboard upgrade interrupted";
        thread_->requestInterruption();
        thread_->quit();
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
        reopenPort();
    }
}

void UpgradeController::reopenPort()
{
    if (port_ && !port_->isOpen() && !port_->open(QIODevice::ReadWrite))
        qCWarning(lcMbUpgrade).noquote() << port_->portName() << "[ERR] Serial reopen after upgrade failed:" << port_->errorString();
    port_.clear();
}

void UpgradeController::failLater(const QString &msg)
{
    qCWarning(lcMbUpgrade).noquote() << msg;
    QMetaObject::invokeMethod(
        this,
        [this, msg] {
            emit logMessage(msg);
            emit upgradeFinished(false);
        },
        Qt::QueuedConnection);
}

bool UpgradeController::startUpgrade(QSerialPort &port, const QString &filePath)
{
    TAVRIK_ASSERT_OWNER(this);
    if (thread_) {
        qCWarning(lcMbUpgrade) << "[ERR] Mainboard upgrade already running, request ignored";
        return false;
    }
    if (!port.isOpen()) {
        failLater(QStringLiteral("[ERR] Mainboard line is not open, upgrade not started"));
        return false;
    }

    // Hand the line over: the worker gets its own handle to the device,
    // created here but opened and used only on the upgrade thread.
    auto *line = new QSerialPort;
    line->setPortName(port.portName());
    line->setBaudRate(port.baudRate());
    line->setDataBits(port.dataBits());
    line->setParity(port.parity());
    line->setStopBits(port.stopBits());
    line->setFlowControl(port.flowControl());
    port_ = &port;
    port.close();

    thread_ = new QThread;
    auto *worker = new MBUpgradeWorker(line, filePath);
    worker->setTiming(timing_);
    line->moveToThread(thread_);
    worker->moveToThread(thread_);

    connect(thread_, &QThread::started, worker, &MBUpgradeWorker::process);
    connect(worker, &MBUpgradeWorker::logMessage, this, &UpgradeController::logMessage);
    connect(worker, &MBUpgradeWorker::progressChanged, this, &UpgradeController::progressChanged);
    connect(worker, &MBUpgradeWorker::finished, this, &UpgradeController::onWorkerFinished);
    // Deleted on their own thread as it ends.
    connect(thread_, &QThread::finished, worker, &QObject::deleteLater);
    connect(thread_, &QThread::finished, line, &QObject::deleteLater);

    thread_->start(QThread::InheritPriority);
    return true;
}

void UpgradeController::onWorkerFinished(bool ok)
{
    if (!thread_)
        return;
    thread_->quit();
    thread_->wait();
    thread_->deleteLater();
    thread_ = nullptr;

    // The worker has closed its handle; give the line back to its owner.
    reopenPort();
    emit upgradeFinished(ok);
}
