#include "ui/controlapi.h"

#include "netsvc/apiserver.h"
#include "netsvc/net.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"
#include "ui/devicelines.h"
#include "ui/imagekeys.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/switchgate.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QJsonArray>
#include <QMetaEnum>
#include <QMetaObject>

namespace {

const QString kSystem = QStringLiteral("system");

// The outcome as the API names it: the enum's key ("LineClosed").
QString apiName(Outcome::Kind kind)
{
    return QString::fromLatin1(QMetaEnum::fromType<Outcome::Kind>().valueToKey(kind));
}

QString tallyOf(int camera, int program, int preview)
{
    if (program == camera)
        return QStringLiteral("program");
    if (preview == camera)
        return QStringLiteral("preview");
    return QStringLiteral("off");
}

} // namespace

ControlApi::ControlApi(Panel *panel, QObject *parent)
    : QObject(parent)
    , panel_(panel)
    , meterTimer_(new SeamTimer(kMeterMs, false, this))
    , moveHold_(new SeamTimer(kMoveHoldMs, false, this))
{
    connect(moveHold_, &SeamTimer::timeout, this, &ControlApi::stopCamera);
    SwitcherState *s = panel_->switcher();
    connect(s, &SwitcherState::programNoChanged, this, &ControlApi::publishBuses);
    connect(s, &SwitcherState::previewNoChanged, this, &ControlApi::publishBuses);
    auto keyers = [this] {
        const QJsonObject st = stateObject();
        publish(QStringLiteral("keyers"), {{QStringLiteral("pipProgram"), st.value(QLatin1String("pipProgram"))},
                                           {QStringLiteral("pipPreview"), st.value(QLatin1String("pipPreview"))},
                                           {QStringLiteral("keyProgram"), st.value(QLatin1String("keyProgram"))},
                                           {QStringLiteral("keyPreview"), st.value(QLatin1String("keyPreview"))}});
    };
    connect(s, &SwitcherState::pipPgmFlagChanged, this, keyers);
    connect(s, &SwitcherState::pipPvwFlagChanged, this, keyers);
    connect(s, &SwitcherState::lumaPgmFlagChanged, this, keyers);
    connect(s, &SwitcherState::lumaPvwFlagChanged, this, keyers);
    auto transition = [this] {
        const QJsonObject st = stateObject();
        publish(QStringLiteral("transition"), {{QStringLiteral("running"), st.value(QLatin1String("transition"))},
                                               {QStringLiteral("type"), st.value(QLatin1String("type"))}});
    };
    connect(s, &SwitcherState::transitionRunningChanged, this, transition);
    connect(s, &SwitcherState::wipeSelectedChanged, this, transition);
    auto cameras = [this] {
        publish(QStringLiteral("cameras"), {{QStringLiteral("online"), stateObject().value(QLatin1String("cameras"))}});
    };
    connect(panel_->polls(), &CameraPolls::cam1OnlineChanged, this, cameras);
    connect(panel_->polls(), &CameraPolls::cam2OnlineChanged, this, cameras);
    connect(panel_->polls(), &CameraPolls::cam3OnlineChanged, this, cameras);
    connect(s, &SwitcherState::mainboardConnectedChanged, this, &ControlApi::publishMainboard);
    connect(panel_->switching(), &Switching::answered, this, &ControlApi::onAnswered);
    if (SwitchGate *gate = panel_->gate())
        connect(gate, &SwitchGate::answeringAgain, this, &ControlApi::publishMainboard);
    if (net *n = panel_->lines()->system().object()) {
        // Queued from the system lane.
        connect(n, &net::sendLeftBarVal, this, [this](unsigned char v) { onMeter(0, v); });
        connect(n, &net::sendRightBarVal, this, [this](unsigned char v) { onMeter(1, v); });
    }
    connect(meterTimer_, &SeamTimer::timeout, this, [this] {
        if (!meterDirty_)
            return;
        meterDirty_ = false;
        publish(QStringLiteral("meter"), {{QStringLiteral("left"), meter_[0]}, {QStringLiteral("right"), meter_[1]}});
    });
    const QJsonObject st = stateObject();
    lastMainboard_ = boardAnswering();
    lastBuses_[0] = st.value(QLatin1String("program"));
    lastBuses_[1] = st.value(QLatin1String("preview"));
    lastTally_ = st.value(QLatin1String("tally"));
}

ControlApi::~ControlApi()
{
    stop();
}

bool ControlApi::enabled() const
{
    return panel_->settings()->boolValue(kSystem, QStringLiteral("apiEnabled"));
}

QString ControlApi::readToken() const
{
    return panel_->settings()->stringValue(kSystem, QStringLiteral("apiReadToken"));
}

QString ControlApi::controlToken() const
{
    return panel_->settings()->stringValue(kSystem, QStringLiteral("apiControlToken"));
}

void ControlApi::regenerateTokens()
{
    TAVRIK_ASSERT_OWNER(this);
    PanelSettings *st = panel_->settings();
    st->setValue(kSystem, QStringLiteral("apiReadToken"), QString::fromLatin1(Api::newToken()));
    st->setValue(kSystem, QStringLiteral("apiControlToken"), QString::fromLatin1(Api::newToken()));
    if (host_)
        host_->server()->setTokens(readToken().toLatin1(), controlToken().toLatin1());
    qCInfo(lcUi) << "control API: new tokens made";
    emit tokensChanged();
}

void ControlApi::setEnabled(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (on == enabled())
        return;
    panel_->settings()->setValue(kSystem, QStringLiteral("apiEnabled"), on);
    emit enabledChanged();
    if (on)
        start();
    else
        stop();
}

void ControlApi::start()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!enabled() || host_)
        return;
    QHostAddress address;
    if (!Sysroot::root().isEmpty()) {
        address = Sysroot::listenAddress();
    } else {
        // The LAN address alone: never every interface.
        address = QHostAddress(panel_->ipAddress());
        const bool every = address == QHostAddress(QHostAddress::AnyIPv4) || address == QHostAddress(QHostAddress::AnyIPv6)
                           || address == QHostAddress(QHostAddress::Broadcast);
        if (address.isNull() || every) {
            qCWarning(lcUi) << "[WARN] control API not started: the panel has no LAN address yet";
            return;
        }
    }
    const int port = panel_->settings()->intValue(kSystem, QStringLiteral("apiPort"));
    listenOn(address, quint16(port > 0 && port < 65536 ? port : Api::kDefaultPort));
}

void ControlApi::listenOn(const QHostAddress &address, quint16 port)
{
    TAVRIK_ASSERT_OWNER(this);
    stop();
    if (readToken().isEmpty() || controlToken().isEmpty())
        regenerateTokens();
    host_ = std::make_unique<ApiHost>();
    ApiServer *server = host_->server();
    server->setTokens(readToken().toLatin1(), controlToken().toLatin1());
    connect(server, &ApiServer::command, this, &ControlApi::onCommand);
    connect(server, &ApiServer::listening, this, [this, address](bool ok, quint16 p) {
        address_ = address;
        port_ = ok ? p : 0;
        emit listeningChanged();
    });
    connect(server, &ApiServer::clientCount, this, [this](int n) {
        clients_ = n;
        emit clientsChanged();
    });
    pushSnapshot();
    QMetaObject::invokeMethod(server, [server, address, port] { server->listen(address, port); },
                              Qt::QueuedConnection);
}

void ControlApi::stop()
{
    if (!host_)
        return;
    host_.reset();
    pending_.clear();
    presets_.clear();
    stopCamera();
    port_ = 0;
    clients_ = 0;
    emit listeningChanged();
    emit clientsChanged();
}

// ---------------------------------------------------------------- commands

void ControlApi::onCommand(quint64 client, const Api::Command &cmd)
{
    TAVRIK_ASSERT_OWNER(this);
    // A command still queued from a server since closed is not run.
    if (!host_ || sender() != host_->server())
        return;
    Switching *sw = panel_->switching();
    SwitcherState *st = panel_->switcher();
    qCInfo(lcUi).noquote() << "control API:" << Api::commandName(cmd.kind) << "from client" << client;
    if (cmd.kind == Api::Command::MemoryRecall) {
        // The recall has no answer of its own: the re-read that follows
        // shows what the board holds.
        panel_->recallUserMemory(cmd.memory);
        answer(client, cmd.id, QStringLiteral("Queued"));
        return;
    }
    if (cmd.kind == Api::Command::Move || cmd.kind == Api::Command::Stop || cmd.kind == Api::Command::Zoom) {
        // The joystick's and zoom rocker's own path: their camera, speed
        // and lock. The camera lane gives no answer for a move.
        if (cmd.kind == Api::Command::Stop) {
            moving_ = zooming_ = true; // an explicit stop is always sent
            stopCamera();
        }
        else
            moveCamera(cmd);
        answer(client, cmd.id, QStringLiteral("Queued"));
        return;
    }
    if (cmd.kind == Api::Command::PresetRecall || cmd.kind == Api::Command::PresetStore) {
        pressPreset(client, cmd);
        return;
    }
    if (!sw->gate()) {
        answer(client, cmd.id, apiName(Outcome::LineClosed));
        return;
    }
    // What the on-screen control would find already so sends nothing.
    auto already = [&](bool same) {
        if (same)
            answer(client, cmd.id, apiName(Outcome::Done));
        return same;
    };
    Switching::Control control = Switching::Cut;
    switch (cmd.kind) {
    case Api::Command::Cut: control = Switching::Cut; break;
    case Api::Command::Auto: control = Switching::Auto; break;
    case Api::Command::Program:
        if (already(cmd.source < 5 && cmd.source == st->programNo()))
            return;
        control = Switching::ProgramBus;
        break;
    case Api::Command::Preview:
        if (already(cmd.source < 5 && cmd.source == st->previewNo()))
            return;
        control = Switching::PreviewBus;
        break;
    case Api::Command::Transition: control = cmd.wipe ? Switching::Wipe : Switching::Mix; break;
    case Api::Command::Pip:
        if (already(cmd.on == (cmd.preview ? st->pipPvwFlag() : st->pipPgmFlag())))
            return;
        control = cmd.preview ? Switching::PipPreview : Switching::PipProgram;
        break;
    case Api::Command::Key:
        if (already(cmd.on == (cmd.preview ? st->lumaPvwFlag() : st->lumaPgmFlag())))
            return;
        control = cmd.preview ? Switching::KeyPreview : Switching::KeyProgram;
        break;
    default: answer(client, cmd.id, QStringLiteral("Refused")); return;
    }
    // Before the press: a press refused at once answers synchronously.
    pending_[control].append({client, cmd.id});
    switch (control) {
    case Switching::Cut: sw->cut(); break;
    case Switching::Auto: sw->autoTransition(); break;
    case Switching::ProgramBus: sw->pressProgram(cmd.source); break;
    case Switching::PreviewBus: sw->pressPreview(cmd.source); break;
    case Switching::Wipe: sw->selectWipe(); break;
    case Switching::Mix: sw->selectMix(); break;
    case Switching::PipProgram: sw->togglePipProgram(); break;
    case Switching::PipPreview: sw->togglePipPreview(); break;
    case Switching::KeyProgram: sw->toggleKeyProgram(); break;
    case Switching::KeyPreview: sw->toggleKeyPreview(); break;
    case Switching::UserMemory:   // not a switching command here: recalled
    case Switching::PresetRecall: // through the panel and the image keys
        break;
    }
}

void ControlApi::onAnswered(Switching::Control control, Outcome::Kind outcome)
{
    publishMainboard();
    auto it = pending_.find(control);
    if (it == pending_.end() || it->isEmpty())
        return; // an on-screen press
    const QPair<quint64, qint64> p = it->takeFirst();
    answer(p.first, p.second, apiName(outcome));
}

// An image key of the tracking page: the same object the page presses, so
// the same one-at-a-time rule, camera check and store sequence apply.
void ControlApi::pressPreset(quint64 client, const Api::Command &cmd)
{
    ImageKeys *keys = ImageKeys::of(panel_);
    if (!presetsConnected_) {
        connect(keys, &ImageKeys::answered, this, &ControlApi::onPresetAnswered);
        presetsConnected_ = true;
    }
    const bool store = cmd.kind == Api::Command::PresetStore;
    presets_.append({client, cmd.id, cmd.camera - 1, cmd.preset - 1, store});
    // The page's store mode says what a press does: set for this press, and
    // put back unless a store has started (it ends store mode itself).
    const bool before = keys->storeMode();
    keys->setStoreMode(store);
    keys->pressKey(cmd.camera - 1, cmd.preset - 1);
    if (!store || !keys->busy())
        keys->setStoreMode(before);
}

void ControlApi::moveCamera(const Api::Command &cmd)
{
    SurfaceInput *surface = panel_->surface();
    if (cmd.kind == Api::Command::Move) {
        moving_ = cmd.pan != 0 || cmd.tilt != 0;
        // The joystick's sign: pan positive is left.
        surface->onJoystick(-cmd.pan, cmd.tilt, moving_ ? 1 : -1);
    } else {
        zooming_ = cmd.zoom != 0;
        surface->onZoom(-cmd.zoom, zooming_ ? 1 : -1);
    }
    if (moving_ || zooming_)
        moveHold_->start();
}

void ControlApi::stopCamera()
{
    moveHold_->stop();
    SurfaceInput *surface = panel_->surface();
    if (moving_)
        surface->onJoystick(0, 0, -1);
    if (zooming_)
        surface->onZoom(0, -1);
    moving_ = zooming_ = false;
}

void ControlApi::onPresetAnswered(int camera, int key, bool store, Outcome::Kind outcome)
{
    for (int i = 0; i < presets_.size(); ++i) {
        const PresetPress &p = presets_[i];
        if (p.camera == camera && p.key == key && p.store == store) {
            answer(p.client, p.id, apiName(outcome));
            presets_.removeAt(i);
            return;
        }
    }
}

void ControlApi::answer(quint64 client, qint64 id, const QString &outcome)
{
    if (!host_)
        return;
    ApiServer *server = host_->server();
    const QByteArray text = Api::reply(id, outcome);
    QMetaObject::invokeMethod(server, [server, client, text] { server->reply(client, text); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- events

bool ControlApi::boardAnswering() const
{
    const SwitchGate *gate = panel_->gate();
    return panel_->switcher()->mainboardConnected() && !(gate && gate->boardSilent());
}

QJsonObject ControlApi::stateObject() const
{
    const SwitcherState *s = panel_->switcher();
    const int pgm = s->programNo(), pvw = s->previewNo();
    QJsonArray tally, cameras;
    for (int cam = 1; cam <= 3; ++cam) {
        tally.append(tallyOf(cam, pgm, pvw));
        cameras.append(panel_->camOnline(cam - 1));
    }
    return {{QStringLiteral("program"), pgm},
            {QStringLiteral("preview"), pvw},
            {QStringLiteral("tally"), tally},
            {QStringLiteral("pipProgram"), s->pipPgmFlag()},
            {QStringLiteral("pipPreview"), s->pipPvwFlag()},
            {QStringLiteral("keyProgram"), s->lumaPgmFlag()},
            {QStringLiteral("keyPreview"), s->lumaPvwFlag()},
            {QStringLiteral("transition"), s->transitionRunning()},
            {QStringLiteral("type"), s->wipeSelected() ? QStringLiteral("wipe") : QStringLiteral("mix")},
            {QStringLiteral("cameras"), cameras},
            {QStringLiteral("mainboard"), boardAnswering()},
            {QStringLiteral("meter"), QJsonArray{meter_[0], meter_[1]}}};
}

void ControlApi::pushSnapshot()
{
    if (!host_)
        return;
    ApiServer *server = host_->server();
    const QByteArray text = Api::event(QStringLiteral("state"), stateObject());
    QMetaObject::invokeMethod(server, [server, text] { server->setSnapshot(text); }, Qt::QueuedConnection);
}

void ControlApi::publish(const QString &name, const QJsonObject &fields)
{
    if (!host_ || clients_ == 0) {
        pushSnapshot();
        return;
    }
    ApiServer *server = host_->server();
    const QByteArray text = Api::event(name, fields);
    QMetaObject::invokeMethod(server, [server, text] { server->broadcast(text); }, Qt::QueuedConnection);
    pushSnapshot();
}

void ControlApi::publishBuses()
{
    // A CUT writes program, then preview: the buses are published once both
    // are in, so no client ever sees the moment between (one source on
    // both buses, a tally lamp off).
    if (busesQueued_)
        return;
    busesQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            busesQueued_ = false;
            const QJsonObject st = stateObject();
            const QJsonValue pgm = st.value(QLatin1String("program")), pvw = st.value(QLatin1String("preview"));
            if (pgm == lastBuses_[0] && pvw == lastBuses_[1])
                return;
            lastBuses_[0] = pgm;
            lastBuses_[1] = pvw;
            publish(QStringLiteral("buses"), {{QStringLiteral("program"), pgm}, {QStringLiteral("preview"), pvw}});
            const QJsonValue tally = st.value(QLatin1String("tally"));
            if (tally != lastTally_) {
                lastTally_ = tally;
                publish(QStringLiteral("tally"), {{QStringLiteral("cameras"), tally}});
            }
        },
        Qt::QueuedConnection);
}

void ControlApi::publishMainboard()
{
    // Called on every answered press: the one flag, not the whole state.
    const bool answering = boardAnswering();
    if (answering == lastMainboard_)
        return;
    lastMainboard_ = answering;
    publish(QStringLiteral("mainboard"), {{QStringLiteral("answering"), answering}});
}

void ControlApi::onMeter(int channel, int value)
{
    meter_[channel] = value;
    if (!host_ || clients_ == 0)
        return;
    meterDirty_ = true;
    if (!meterTimer_->isActive())
        meterTimer_->start();
}
