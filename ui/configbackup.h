#pragma once

#include "ui/pagelogic.h"

#include <QJsonObject>
#include <QStringList>
#include <QVariantMap>

// The unit's configuration carried to and from the update medium: the
// interface settings and the network, one JSON file with a format name, a
// version and one section per part (a part the file lacks is left alone; a
// later part adds a section). A restore checks every field before anything
// changes, shows what will change, asks for the network on its own, and
// writes through the settings' own atomic writer. Lives on the interface
// thread; the medium is read and written on the system lane.
class ConfigBackup : public PageLogic
{
    Q_OBJECT
    // What the last step did or why it did not, for the page.
    Q_PROPERTY(QString message READ message NOTIFY changed)
    Q_PROPERTY(bool busy READ busy NOTIFY changed)
    // A checked file is waiting for the operator: its changes, one line each.
    Q_PROPERTY(bool restorePending READ restorePending NOTIFY changed)
    Q_PROPERTY(QStringList changes READ changes NOTIFY changed)
    Q_PROPERTY(QStringList networkChanges READ networkChanges NOTIFY changed)
public:
    explicit ConfigBackup(Panel *panel = nullptr, QObject *parent = nullptr);

    static constexpr int kVersion = 1;
    static constexpr qint64 kMaxFileBytes = 256 * 1024;
    static constexpr int kMaxStringChars = 512;
    static QString formatName() { return QStringLiteral("tavrik-configuration"); }
    // "/mnt/tervana/tavrik-configuration.json" (the update medium).
    static QString mediumPath();

    struct Network {
        bool present = false;
        bool dhcp = false;
        QString address, mask, gateway;
        bool operator==(const Network &o) const
        {
            return present == o.present && dhcp == o.dhcp && address == o.address && mask == o.mask
                   && gateway == o.gateway;
        }
    };
    struct Contents {
        QVariantMap interface; // "group/key" -> value, every key known to the settings
        Network network;
        QJsonObject otherSections; // sections of later parts, carried unread
    };
    struct Parsed {
        bool ok = false;
        QString error; // why the file is refused
        Contents contents;
    };

    static QByteArray serialize(const Contents &contents, const QString &panelVersion);
    // Every field checked; on any fault nothing of the file is taken.
    static Parsed parse(const QByteArray &bytes);
    // Whether `value` may stand for the setting `fullKey` ("system/langType").
    static QString checkSetting(const QString &fullKey, const QVariant &value);
    // The interface lines that would change: "system/langType: 0 → 2".
    static QStringList diff(const QVariantMap &current, const QVariantMap &restored);
    static QStringList diff(const Network &current, const Network &restored);

    // What the unit holds now (the settings and the network as the panel
    // read them).
    Contents current() const;

    QString message() const { return message_; }
    bool busy() const { return busy_; }
    bool restorePending() const { return restorePending_; }
    QStringList changes() const { return changes_; }
    QStringList networkChanges() const { return networkChanges_; }

    Q_INVOKABLE void backup();
    // Reads and checks the file; on success the changes wait for applyRestore.
    Q_INVOKABLE void prepareRestore();
    // Applies the interface part, and the network part only with `network`.
    Q_INVOKABLE void applyRestore(bool network);
    Q_INVOKABLE void cancelRestore();

signals:
    void changed();

private:
    void finish(const QString &message);

    QString message_;
    bool busy_ = false;
    bool restorePending_ = false;
    Contents pending_;
    QStringList changes_;
    QStringList networkChanges_;
};
