#pragma once

#include "ui/pagelogic.h"

#include <QString>

// The network page's logic: DHCP or a static address, mask and gateway,
// checked before anything is written. Lives on the interface thread; the
// reads and writes run on the system lane.
class NetworkSettings : public PageLogic
{
    Q_OBJECT
    Q_PROPERTY(bool dhcp READ dhcp WRITE setDhcp NOTIFY changed)
    Q_PROPERTY(QString address READ address WRITE setAddress NOTIFY changed)
    Q_PROPERTY(QString mask READ mask WRITE setMask NOTIFY changed)
    Q_PROPERTY(QString gateway READ gateway WRITE setGateway NOTIFY changed)
    // What is wrong with the entries, in the operator's language; empty when
    // nothing is.
    Q_PROPERTY(QString error READ error NOTIFY changed)
    Q_PROPERTY(bool loading READ loading NOTIFY changed)
    // The Outcome::Kind of the last write of the settings, or -1 before the
    // first.
    Q_PROPERTY(int applyOutcome READ applyOutcome NOTIFY changed)
public:
    explicit NetworkSettings(Panel *panel = nullptr, QObject *parent = nullptr);

    bool dhcp() const { return dhcp_; }
    void setDhcp(bool on);
    QString address() const { return address_; }
    void setAddress(const QString &v);
    QString mask() const { return mask_; }
    void setMask(const QString &v);
    QString gateway() const { return gateway_; }
    void setGateway(const QString &v);
    QString error() const { return error_; }
    bool loading() const { return loading_; }
    int applyOutcome() const { return applyOutcome_; }

    // Reads the current settings (page opened).
    Q_INVOKABLE void load();
    // Checks and writes; false (with `error` set) when an entry is invalid,
    // and then nothing is written. A write that fails sets `error` later.
    Q_INVOKABLE bool apply();

    // Dotted quad with four decimal parts 0..255; the 32-bit value.
    static bool parseAddress(const QString &text, quint32 *value);
    // The check behind apply(); empty when the entries are sound.
    QString validate() const;

signals:
    void changed();
    // The settings were written (the configuration file holds them); the
    // page closes.
    void applied();

private:
    void edited();

    bool dhcp_ = false;
    QString address_;
    QString mask_;
    QString gateway_;
    QString error_;
    bool loading_ = false;
    int applyOutcome_ = -1;
};
