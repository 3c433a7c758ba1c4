#pragma once

#include "ui/pagelogic.h"

#include <QString>

// The upgrade prompt: offered when the update check finds versions that
// differ from the running ones; upgrades the mainboard firmware first, then
// the panel application, and restarts the unit when the mainboard was
// upgraded. Lives on the interface thread; the root state opens it with the
// versions the update check offered.
class UpgradeFlow : public PageLogic
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(bool buttonsEnabled READ buttonsEnabled NOTIFY changed)
    // Firmware upgrade running; the progress bar shows `progress` (0..100).
    Q_PROPERTY(bool upgrading READ upgrading NOTIFY changed)
    Q_PROPERTY(int progress READ progress NOTIFY changed)
    Q_PROPERTY(QString kbVersion READ kbVersion NOTIFY changed)
    Q_PROPERTY(QString mbVersion READ mbVersion NOTIFY changed)
    // The Outcome::Kind of the last request to start the mainboard upgrade,
    // or -1 before the first.
    Q_PROPERTY(int firmwareStartOutcome READ firmwareStartOutcome NOTIFY changed)
public:
    explicit UpgradeFlow(Panel *panel = nullptr, QObject *parent = nullptr);

    QString text() const { return text_; }
    bool buttonsEnabled() const { return buttonsEnabled_; }
    bool upgrading() const { return upgrading_; }
    int progress() const { return progress_; }
    QString kbVersion() const { return kbVersion_; }
    QString mbVersion() const { return mbVersion_; }
    int firmwareStartOutcome() const { return firmwareStartOutcome_; }

    static QString firmwarePath() { return QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin"); }

    // Offered versions: opens the prompt when one differs from the running one.
    Q_INVOKABLE void offer(const QString &kb, const QString &mb);
    // The prompt became visible.
    Q_INVOKABLE void shown();
    Q_INVOKABLE void yes();
    Q_INVOKABLE void no();

signals:
    void changed();

protected:
    void attach() override;

private:
    void take(const QString &kb, const QString &mb, bool open);
    bool mbDiffers() const;
    bool kbDiffers() const;
    QString promptText(bool firmware) const;
    void onLogMessage(const QString &msg);
    void onFinished(bool success);
    void firmwareNotStarted();
    void restart();
    void close();

    QString kbVersion_;
    QString mbVersion_;
    QString text_;
    bool appOffered_ = false;
    bool mbUpgraded_ = false;
    bool buttonsEnabled_ = true;
    bool upgrading_ = false;
    bool rebootRequested_ = false;
    bool offering_ = false;
    int progress_ = 0;
    int firmwareStartOutcome_ = -1;
};
