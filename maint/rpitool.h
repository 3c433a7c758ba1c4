#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Small services of the Pi for the interface: screenshots, a delayed
// reboot, image files of the tracking page, temperature and CPU clocks.
// Lives on the system lane beside net (see ui/devicelines.h); every call
// comes from that thread, checked in debug builds.
class RpiTool : public QObject
{
    Q_OBJECT
    Q_PROPERTY(float temperature READ temperature NOTIFY dataUpdated)
    Q_PROPERTY(QStringList frequencies READ frequencies NOTIFY dataUpdated)
public:
    explicit RpiTool(QObject *parent = nullptr);

    float temperature() const { return m_temperature; }
    QStringList frequencies() const { return m_frequencies; }

    Q_INVOKABLE bool saveScreenshot(const QString &outputDir);
    Q_INVOKABLE void reboot();
    Q_INVOKABLE bool checkfileExist(const QString &filePath);
    Q_INVOKABLE void deleteImages(const QString &folderPath, const QString &filter);

    // How long reboot() waits before it reboots (tests shorten it).
    void setRebootDelay(int ms) { rebootDelayMs_ = ms; }
    int rebootDelay() const { return rebootDelayMs_; }

    static constexpr int kScreenshotTimeoutMs = 3000;

public slots:
    void updateData();

signals:
    void dataUpdated();

private:
    QStringList getCpuCorePaths() const;

    float m_temperature = 0.0f;
    QStringList m_frequencies;
    QTimer m_timer;
    int rebootDelayMs_ = 5000;
};
