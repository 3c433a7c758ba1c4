#pragma once

#include "netsvc/apiproto.h"
#include "ui/outcome.h"
#include "ui/switching.h"

#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QPair>

#include <memory>

class ApiHost;
class Panel;
class SeamTimer;

// The interface's side of the control and state API. Lives on the interface
// thread; every call comes from there. The server (netsvc/apiserver.h)
// runs on its own thread and meets this object only through queued calls:
// its commands arrive here, and replies and events go back.
//
// A command runs exactly what the on-screen control runs (Switching's
// presses, Panel's user-memory recall), so it passes the same gate and
// comes back with the same outcome: the reply carries what Switching
// answered for the press. The state's changes become events; the audio
// meter at most ten a second.
//
// Off unless the setting "system/apiEnabled" is on. On the unit it listens
// on the LAN address only; under a sysroot (a PC) on loopback only.
class ControlApi : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(QString readToken READ readToken NOTIFY tokensChanged)
    Q_PROPERTY(QString controlToken READ controlToken NOTIFY tokensChanged)
    Q_PROPERTY(QString address READ address NOTIFY listeningChanged)
    Q_PROPERTY(int port READ port NOTIFY listeningChanged)
    Q_PROPERTY(int clients READ clients NOTIFY clientsChanged)

public:
    static constexpr int kMeterMs = 100;
    // A camera move or zoom from a client lasts this long unless repeated,
    // so a client that goes away never leaves a camera turning.
    static constexpr int kMoveHoldMs = 1000;

    explicit ControlApi(Panel *panel, QObject *parent = nullptr);
    ~ControlApi() override;

    bool enabled() const;
    void setEnabled(bool on);
    QString readToken() const;
    QString controlToken() const;
    QString address() const { return port_ ? address_.toString() : QString(); }
    int port() const { return port_; }
    int clients() const { return clients_; }

    // New tokens for both roles; clients already logged in stay.
    Q_INVOKABLE void regenerateTokens();
    // Starts the server if the setting says so (at start-up, once the
    // network values are known).
    void start();
    // Tests and benchmarks: listen on `address`:`port` (0: ephemeral),
    // whatever the setting says.
    void listenOn(const QHostAddress &address, quint16 port);

signals:
    void enabledChanged();
    void tokensChanged();
    void listeningChanged();
    void clientsChanged();

private:
    void stop();
    void onCommand(quint64 client, const Api::Command &cmd);
    void onAnswered(Switching::Control control, Outcome::Kind outcome);
    void pressPreset(quint64 client, const Api::Command &cmd);
    void moveCamera(const Api::Command &cmd);
    void stopCamera();
    void onPresetAnswered(int camera, int key, bool store, Outcome::Kind outcome);
    void answer(quint64 client, qint64 id, const QString &outcome);
    void publish(const QString &name, const QJsonObject &fields);
    void publishBuses();
    void publishMainboard();
    void onMeter(int channel, int value);
    bool boardAnswering() const;
    QJsonObject stateObject() const;
    void pushSnapshot();

    Panel *panel_;
    std::unique_ptr<ApiHost> host_;
    QHostAddress address_;
    int port_ = 0;
    int clients_ = 0;
    // Presses sent for clients, oldest first, per control: Switching
    // answers each control's presses in the order they were made.
    QHash<int, QList<QPair<quint64, qint64>>> pending_;
    // Image-key presses sent for clients: client, id, camera, key, store.
    struct PresetPress {
        quint64 client;
        qint64 id;
        int camera, key;
        bool store;
    };
    QList<PresetPress> presets_;
    bool presetsConnected_ = false;
    int meter_[2] = {0, 0};
    bool meterDirty_ = false;
    SeamTimer *meterTimer_;
    SeamTimer *moveHold_;
    bool moving_ = false;
    bool zooming_ = false;
    bool lastMainboard_ = false;
    bool busesQueued_ = false;
    QJsonValue lastBuses_[2];
    QJsonValue lastTally_;
};
