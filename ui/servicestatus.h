#pragma once

#include "ui/pagelogic.h"

#include <QVariantList>
#include <QVariantMap>

class SeamTimer;

// The service page's logic: the health of every line and the raw inputs,
// read from the lanes that own them once a second while the page is shown
// and not at all while it is closed; the key test and the lamp test.
// Lives on the interface thread; every call comes from there.
class ServiceStatus : public PageLogic
{
    Q_OBJECT
    // The page is on screen: polls run only while true.
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QVariantMap mainboard READ mainboard NOTIFY updated)
    // One map per camera: online, messages, timedOut, p50, p99, model, version.
    Q_PROPERTY(QVariantList cameras READ cameras NOTIFY updated)
    Q_PROPERTY(QVariantMap converter READ converter NOTIFY updated)
    Q_PROPERTY(QVariantMap system READ system NOTIFY updated)
    Q_PROPERTY(bool keyTest READ keyTest WRITE setKeyTest NOTIFY keyTestChanged)
    // Key 0..6 last pressed during the key test (-1: none yet) and how
    // often each was pressed.
    Q_PROPERTY(int lastKey READ lastKey NOTIFY keyTestChanged)
    Q_PROPERTY(QVariantList keyPresses READ keyPresses NOTIFY keyTestChanged)
    // The key LED pattern lit by the lamp test (0..3; -1: none).
    Q_PROPERTY(int lampUnderTest READ lampUnderTest NOTIFY lampTestChanged)
    // The support bundle: being written, and what became of the last one.
    Q_PROPERTY(bool bundleBusy READ bundleBusy NOTIFY bundleChanged)
    Q_PROPERTY(QString bundleMessage READ bundleMessage NOTIFY bundleChanged)
public:
    explicit ServiceStatus(Panel *panel = nullptr, QObject *parent = nullptr);
    ~ServiceStatus() override;

    static constexpr int kPollMs = 1000;
    static constexpr int kLampStepMs = 700;
    static constexpr int kLampCount = 4;

    bool active() const { return active_; }
    void setActive(bool on);
    QVariantMap mainboard() const { return mainboard_; }
    QVariantList cameras() const { return cameras_; }
    QVariantMap converter() const { return converter_; }
    QVariantMap system() const { return system_; }
    bool keyTest() const { return keyTest_; }
    void setKeyTest(bool on);
    int lastKey() const { return lastKey_; }
    QVariantList keyPresses() const { return keyPresses_; }
    int lampUnderTest() const { return lamp_; }

    Q_INVOKABLE void startLampTest();
    // Writes the support bundle to the update medium on the system lane.
    Q_INVOKABLE void writeSupportBundle();
    bool bundleBusy() const { return bundleBusy_; }
    QString bundleMessage() const { return bundleMessage_; }
    // One read of every line; the timer calls it, tests call it directly.
    Q_INVOKABLE void refresh();

    // "12 d 03:04:05" from seconds.
    static QString uptimeText(qint64 seconds);

signals:
    void activeChanged();
    void updated();
    void keyTestChanged();
    void lampTestChanged();
    void bundleChanged();

protected:
    void attach() override;

private:
    void onKey(int key);
    void lampStep(int lamp);
    void restoreLamps();
    void readConverter();

    SeamTimer *poll_;
    bool active_ = false;
    bool keyTest_ = false;
    int lastKey_ = -1;
    QVariantList keyPresses_;
    int lamp_ = -1;
    QVariantMap mainboard_;
    QVariantList cameras_;
    QVariantMap converter_;
    QVariantMap system_;
    // The last /proc/stat totals, for the CPU load between two reads.
    qint64 cpuBusy_ = -1;
    qint64 cpuTotal_ = -1;
    bool bundleBusy_ = false;
    QString bundleMessage_;
};
