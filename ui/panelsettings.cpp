#include "ui/panelsettings.h"

#include "netsvc/apiproto.h"
#include "netsvc/tslumd.h"
#include "platform/atomicfile.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <QThreadPool>

namespace {
const QString kSystem = QStringLiteral("system");
const QString kUser = QStringLiteral("user");

// How long changes gather before one write: a dragged fader writes once.
constexpr int kCoalesceMs = 250;
// After a failed write (a full card) the settings are tried again this
// often, so room made on the card saves them without another change.
constexpr int kRetryMs = 60000;

struct Table
{
    QHash<QString, QVariant> defaults;
    QHash<QString, PanelSettings::Range> ranges; // every integer key
};

Table makeTable()
{
    Table t;
    // An integer key not given a range is a list choice (0..255).
    auto put = [&t](const QString &fullKey, const QVariant &v, PanelSettings::Range r = {0, 255}) {
        t.defaults.insert(fullKey, v);
        if (v.userType() == QMetaType::Int)
            t.ranges.insert(fullKey, r);
    };
    auto sys = [&put](const char *key, const QVariant &v, PanelSettings::Range r = {0, 255}) {
        put(kSystem + '/' + QLatin1String(key), v, r);
    };
    // The user-memory audio steps follow the mixer's steps.
    auto usr = [&put](const QString &key, int v) { put(kUser + '/' + key, v, {0, 127}); };
    sys("firstEntry", true);
    sys("langType", 0, {0, 2});
    for (int i = 1; i <= 12; ++i)
        put(kSystem + QStringLiteral("/imageKey%1File").arg(i), QStringLiteral("/images/tracking/img_capture_picture_01.png"));
    sys("loBound", 743, {0, 32767});
    sys("hiBound", 1663, {0, 32767});
    sys("joysticMidValue", 1240, {0, 32767});
    for (const char *k : {"ch1Offset", "ch2Offset", "digitalOffset", "rcaOffset"})
        sys(k, 0, {-6, 6});
    sys("speedNum", 2, {0, 2});
    for (const char *k : {"cam1Speed", "cam2Speed", "cam3Speed"})
        sys(k, 9, {1, 18});
    for (const char *k : {"rcaVal", "masterVal", "ch1Val", "ch2Val", "earVal", "digitVal"})
        sys(k, 15, {0, 126});
    for (const char *k : {"rca2Val", "ch12Val", "ch22Val", "digit2Val"})
        sys(k, 48, {0, 127});
    for (const char *k : {"master2Val", "ear2Val"})
        sys(k, 0, {0, 127});
    sys("transitionSpeed", 1);
    // The panel's own: a preset of the camera on program is recalled by a hold.
    sys("presetOnAirHold", true);
    // Camera lamps for the PiP and key sources on program, and both cameras
    // red during a mix (off: tally exactly as the buses give it).
    sys("tallyOnAirSources", false);
    // The control API: off until switched on; tokens made when first needed.
    sys("apiEnabled", false);
    sys("apiPort", int(Api::kDefaultPort), {1, 65535});
    sys("apiReadToken", QString());
    sys("apiControlToken", QString());
    for (const char *k : {"pgmOutResForSetup", "mvOutResForSetup", "outFormatForSetup"})
        sys(k, 0);

    // Tally out: off until the operator switches it on. Inputs 1..4 go to
    // displays 1..4; black, background and colour bar to none (-1).
    auto tally = [&put](const QString &key, const QVariant &v, PanelSettings::Range r = {0, 255}) {
        put(QStringLiteral("tallyOut/") + key, v, r);
    };
    tally(QStringLiteral("enabled"), false);
    for (int n = 1; n <= 4; ++n) {
        tally(QStringLiteral("dest%1Address").arg(n), QString());
        tally(QStringLiteral("dest%1Port").arg(n), 8900, {1, 65535});
        tally(QStringLiteral("dest%1Protocol").arg(n), 0, {0, Tsl::kProtocolCount - 1});
    }
    const char *const labels[] = {"BLK", "IN1", "IN2", "IN3", "IN4", "BKG", "BAR"};
    for (int src = 0; src < 7; ++src) {
        tally(QStringLiteral("source%1Index").arg(src), src >= 1 && src <= 4 ? src : -1, {-1, Tsl::kMaxIndexV50});
        tally(QStringLiteral("source%1Label").arg(src), QString::fromLatin1(labels[src]));
    }
    // 5.0 colours (0 off) and 3.1 tallies 1..4.
    tally(QStringLiteral("programColour"), int(Tsl::Red), {Tsl::Off, Tsl::Amber});
    tally(QStringLiteral("previewColour"), int(Tsl::Green), {Tsl::Off, Tsl::Amber});
    tally(QStringLiteral("programTally"), 1, {1, 4});
    tally(QStringLiteral("previewTally"), 2, {1, 4});

    const QStringList channels = {QStringLiteral("audioCh1"),  QStringLiteral("audioCh2"),
                                  QStringLiteral("audioHDMI"), QStringLiteral("audioRCA"),
                                  QStringLiteral("audioHeadset"), QStringLiteral("audioMaster")};
    for (const QString &c : channels) {
        const bool loud = c != QLatin1String("audioHeadset") && c != QLatin1String("audioMaster");
        usr(c + QStringLiteral("_factory"), loud ? 48 : 0);
        for (int n = 1; n <= 6; ++n)
            usr(c + QStringLiteral("_%1").arg(n), 0);
    }
    return t;
}

const Table &table()
{
    static const Table t = makeTable();
    return t;
}

const QHash<QString, QVariant> &defaults()
{
    return table().defaults;
}

QVariant asDefaultType(const QVariant &stored, const QVariant &def)
{
    QVariant v = stored;
    if (v.convert(def.userType()))
        return v;
    return def;
}

// QSettings' INI text for one value, as QSettings itself writes it for the
// types the settings hold (numbers, booleans, strings), so that QSettings
// reads it back unchanged.
QByteArray iniValue(const QVariant &v)
{
    QString str = v.toString();
    if (v.userType() == QMetaType::Bool)
        str = v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else if (str.startsWith(QLatin1Char('@')))
        str.prepend(QLatin1Char('@'));
    QByteArray out;
    bool quote = str.startsWith(QLatin1Char(' ')) || str.endsWith(QLatin1Char(' '));
    bool hexBefore = false;
    for (const QChar c : str) {
        const ushort u = c.unicode();
        const bool hexDigit = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
        if (u == ';' || u == ',' || u == '=')
            quote = true;
        if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else if (u < 0x20 || u >= 0x7f || (hexBefore && hexDigit)) {
            // A digit right after an escape would be read as part of it.
            out += "\\x" + QByteArray::number(u, 16);
            hexBefore = true;
            continue;
        } else {
            out += char(u);
        }
        hexBefore = false;
    }
    return quote ? '"' + out + '"' : out;
}

QByteArray iniText(const QHash<QString, QVariant> &values)
{
    // Every key, defaults included, so the file says what the panel uses;
    // groups and keys in a fixed order.
    QMap<QString, QMap<QString, QVariant>> groups;
    for (auto it = defaults().constBegin(); it != defaults().constEnd(); ++it)
        groups[it.key().section(QLatin1Char('/'), 0, 0)][it.key().section(QLatin1Char('/'), 1)] =
            values.value(it.key(), it.value());
    QByteArray text;
    for (auto g = groups.constBegin(); g != groups.constEnd(); ++g) {
        if (!text.isEmpty())
            text += '\n';
        text += '[' + g.key().toLatin1() + "]\n";
        for (auto k = g->constBegin(); k != g->constEnd(); ++k)
            text += k.key().toLatin1() + '=' + iniValue(k.value()) + '\n';
    }
    return text;
}
} // namespace

PanelSettings::PanelSettings(QObject *parent) : PanelSettings(defaultPath(), parent) {}

PanelSettings::PanelSettings(const QString &filePath, QObject *parent) : QObject(parent), path_(filePath)
{
    writeTimer_.setSingleShot(true);
    writeTimer_.setInterval(kCoalesceMs);
    connect(&writeTimer_, &QTimer::timeout, this, &PanelSettings::startWrite);
    writer_.setMaxThreadCount(1);
}

PanelSettings::~PanelSettings()
{
    flush();
}

QString PanelSettings::defaultPath()
{
    return Sysroot::path(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf"));
}

QStringList PanelSettings::knownKeys()
{
    QStringList keys = defaults().keys();
    keys.sort();
    return keys;
}

QVariant PanelSettings::defaultValue(const QString &group, const QString &key)
{
    return defaults().value(fullKey(group, key));
}

PanelSettings::Range PanelSettings::range(const QString &group, const QString &key)
{
    return table().ranges.value(fullKey(group, key), {0, -1});
}

PanelSettings::LoadResult PanelSettings::load()
{
    TAVRIK_ASSERT_OWNER(this);
    values_.clear();
    const QFileInfo info(path_);
    if (!info.exists()) {
        loadResult_ = FirstStart;
        return loadResult_;
    }

    QSettings file(path_, QSettings::IniFormat);
    const bool readable = info.isFile() && info.isReadable();
    const bool parsed = readable && file.status() == QSettings::NoError
                        && file.childGroups().contains(kSystem);
    if (!parsed) {
        qCWarning(lcUi).noquote() << "[ERR] Settings file" << path_
                             << "cannot be read; starting from defaults, user memories kept";
        values_.insert(fullKey(kSystem, QStringLiteral("firstEntry")), false);
        loadResult_ = Damaged;
        ++generation_;
        startWrite();
        return loadResult_;
    }

    for (const QString &key : file.allKeys()) {
        const auto def = defaults().constFind(key);
        if (def == defaults().constEnd())
            continue; // keys of older or newer panels are left out
        values_.insert(key, asDefaultType(file.value(key), def.value()));
    }
    loadResult_ = Loaded;
    return loadResult_;
}

QVariant PanelSettings::value(const QString &group, const QString &key) const
{
    TAVRIK_ASSERT_OWNER(this);
    const QString full = fullKey(group, key);
    const auto it = values_.constFind(full);
    if (it != values_.constEnd())
        return it.value();
    const auto def = defaults().constFind(full);
    if (def == defaults().constEnd()) {
        qCWarning(lcUi).noquote() << "[WARN] unknown setting" << full;
        return {};
    }
    return def.value();
}

void PanelSettings::setValue(const QString &group, const QString &key, const QVariant &v)
{
    TAVRIK_ASSERT_OWNER(this);
    const QString full = fullKey(group, key);
    const auto def = defaults().constFind(full);
    if (def == defaults().constEnd()) {
        qCWarning(lcUi).noquote() << "[WARN] unknown setting" << full << "not stored";
        return;
    }
    const QVariant converted = asDefaultType(v, def.value());
    if (value(group, key) == converted && values_.contains(full))
        return;
    values_.insert(full, converted);
    ++generation_;
    scheduleWrite();
    emit valueChanged(group, key);
}

void PanelSettings::scheduleWrite()
{
    if (!writeTimer_.isActive())
        writeTimer_.start();
}

void PanelSettings::startWrite()
{
    writeTimer_.stop();
    const QHash<QString, QVariant> snapshot = values_;
    const quint64 generation = generation_;
    writer_.start([this, snapshot, generation] { writeSnapshot(snapshot, generation); });
}

bool PanelSettings::flush()
{
    TAVRIK_ASSERT_OWNER(this);
    if (writeTimer_.isActive() || written_.load() < generation_)
        writeSnapshot(values_, generation_);
    writeTimer_.stop();
    // A pool write that started before may still be running.
    writer_.waitForDone();
    return written_.load() >= generation_;
}

bool PanelSettings::writeSnapshot(const QHash<QString, QVariant> &values, quint64 generation)
{
    QMutexLocker lock(&writeMutex_);
    if (written_.load() >= generation)
        return true; // a newer snapshot is already on disk

    QDir().mkpath(QFileInfo(path_).absolutePath());
    const AtomicFile::Result r = AtomicFile::write(path_, iniText(values));
    if (!r) {
        qCWarning(lcUi).noquote() << "[ERR] Settings file" << path_ << "could not be replaced:" << r.error;
        // The interface learns it on its own thread; a later write that
        // succeeds clears it.
        QMetaObject::invokeMethod(this, [this, error = r.error] { setWriteError(error); }, Qt::QueuedConnection);
        return false;
    }
    written_.store(generation);
    QMetaObject::invokeMethod(this, [this] { setWriteError(QString()); }, Qt::QueuedConnection);
    return true;
}

void PanelSettings::setWriteError(const QString &error)
{
    if (!error.isEmpty() && !retryPending_) {
        retryPending_ = true;
        TimeSeam::singleShot(kRetryMs, this, [this] {
            retryPending_ = false;
            if (!writeError_.isEmpty() && written_.load() < generation_)
                startWrite();
        });
    }
    if (error == writeError_)
        return;
    writeError_ = error;
    if (!error.isEmpty())
        emit writeFailed(tr("The settings could not be saved; they are kept until the next start only."));
    emit writeErrorChanged();
}
