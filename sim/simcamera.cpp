#include "sim/simcamera.h"

#include "platform/sysroot.h"
#include "sim/simlog.h"
#include "sim/simpty.h"
#include "sim/simthread.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>

#include <deque>

struct SimCameraShared
{
    mutable QMutex mutex;
    SimCamera::State state;
    SimCamera::FailureMode mode = SimCamera::Normal;
    int completionDelay = 2;
    int lateDelay = 600;
    int splitGap = 25;
    QList<QByteArray> injected;
    QList<QByteArray> received;
    QByteArray receivedBytes;
    QByteArray sentBytes;
    bool open = false;
    QString linkPath;
    QElapsedTimer clock;  // drives the motion model
    qint64 motionAt = 0;  // when positions were last brought up to date
};

namespace {

constexpr int ZoomMax = 0x4000;
constexpr int PanLimit = 0x0990;
constexpr int TiltLimit = 0x0510;
constexpr int FocusMax = 0xF000;
// Garbage that never completes a message is dropped after this long.
constexpr qint64 StalePartialMs = 150;
// Longest message the camera accepts before giving up on a terminator.
constexpr int MaxMessage = 32;
// The records keep the newest this many messages and bytes, so a demo left
// running for days does not grow without end.
constexpr int MaxRecordedMessages = 10000;
constexpr int MaxRecordedBytes = 256 * 1024;

void appendBounded(QByteArray &to, const QByteArray &more)
{
    to += more;
    if (to.size() > MaxRecordedBytes)
        to.remove(0, to.size() - MaxRecordedBytes);
}

const quint8 knownVideoCodes[] = {0x15, 0x13, 0x14, 0x07, 0x06, 0x08, 0x02, 0x05, 0x01, 0x04,
                                  0x0A, 0x09, 0x0C, 0x1D, 0x1E, 0x1F, 0x22, 0x23, 0x24};

quint8 at(const QByteArray &b, int i) { return i >= 0 && i < b.size() ? quint8(b.at(i)) : 0; }

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(quint8(v)));
    return b;
}

// A 16-bit value as four nibble bytes, high first.
QByteArray nibbles4(int v)
{
    return bytes({(v >> 12) & 0x0F, (v >> 8) & 0x0F, (v >> 4) & 0x0F, v & 0x0F});
}
int fromNibbles(const QByteArray &p, int from, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i)
        v = (v << 4) | (at(p, from + i) & 0x0F);
    return v;
}
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}
// One hexadecimal digit per byte (low nibble), padded or cut to `count`.
QByteArray digitBytes(const QByteArray &digits, int count)
{
    QByteArray plain = digits;
    plain.replace('.', QByteArray());
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(char(i < plain.size() ? hexDigit(plain.at(i)) : 0));
    return b;
}

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Brings positions up to `now` from the motions under way.
void integrate(SimCamera::State &s, qint64 &since, qint64 now)
{
    const qint64 dt = now - since;
    since = now;
    if (dt <= 0)
        return;
    if (s.zoomDir != 0)
        s.zoomPos = clampInt(int(s.zoomPos + s.zoomDir * (s.zoomSpeed + 1) * 2 * dt), 0, ZoomMax);
    if (s.panDir != 0)
        s.panPos = clampInt(int(s.panPos + s.panDir * qMax(1, s.panSpeed) * dt / 4), -PanLimit, PanLimit);
    if (s.tiltDir != 0)
        s.tiltPos = clampInt(int(s.tiltPos + s.tiltDir * qMax(1, s.tiltSpeed) * dt / 4), -TiltLimit, TiltLimit);
    if (s.focusDir != 0)
        s.focusPos = clampInt(int(s.focusPos + s.focusDir * 8 * dt), 0, FocusMax);
}

enum class Kind { None, Command, Answer, Error };
struct Outcome
{
    Kind kind = Kind::None;
    QByteArray packet; // the answer or error packet
};

Outcome command() { return {Kind::Command, {}}; }
Outcome answer(const QByteArray &payload) { return {Kind::Answer, bytes({0x90, 0x50}) + payload + bytes({0xFF})}; }
Outcome onOff(bool on) { return answer(bytes({on ? 0x02 : 0x03})); }
Outcome syntaxError() { return {Kind::Error, bytes({0x90, 0x60, 0x02, 0xFF})}; }
Outcome notExecutable() { return {Kind::Error, bytes({0x90, 0x61, 0x41, 0xFF})}; }

QByteArray systemStatus(const SimCamera::State &s, bool powered)
{
    int bits = 0;
    bits |= powered ? 0x01 : 0;
    bits |= s.colorBar ? 0x02 : 0;
    bits |= s.redTally ? 0x04 : 0;
    bits |= s.greenTally ? 0x08 : 0;
    bits |= s.osd ? 0x10 : 0;
    int dirs = 0;
    dirs |= s.panReverse ? 0x01 : 0;
    dirs |= s.tiltReverse ? 0x02 : 0;
    dirs |= s.mirror ? 0x10 : 0;
    dirs |= s.flip ? 0x20 : 0;
    return bytes({0x90, 0x50, bits, s.videoCode & 0x3F, s.wbMode & 0xFF, (s.rGain >> 4) & 0x0F, s.rGain & 0x0F,
                  (s.bGain >> 4) & 0x0F, s.bGain & 0x0F, s.autoFocus ? 0x02 : 0x03, s.aeMode & 0xFF, 0x00, dirs,
                  s.speedRange & 0xFF, 0xFF});
}

QByteArray versionAnswer(const SimCamera::State &s)
{
    QByteArray b = bytes({0x90, 0x50, (s.modelCode >> 8) & 0x0F, s.modelCode & 0xFF});
    b += digitBytes(s.mcuVersion, 4);
    b += digitBytes(s.fpgaVersion, 3);
    b += digitBytes(s.motorVersion, 4);
    b += char(0xFF);
    return b;
}

// The camera proper: one VISCA packet (address 1) in, at most one outcome out.
Outcome handlePacket(SimCamera::State &s, bool forcedOff, const QByteArray &p)
{
    const int n = p.size();
    const quint8 kind = at(p, 1);
    const bool powered = s.power && !forcedOff;

    if (kind == 0x09) { // inquiries are answered in standby too
        if (n == 5 && at(p, 2) == 0x04) {
            switch (at(p, 3)) {
            case 0x00: return onOff(powered);
            case 0x38: return onOff(s.autoFocus);
            case 0x35: return answer(bytes({s.wbMode}));
            case 0x39: return answer(bytes({s.aeMode}));
            case 0x43: return answer(bytes({0, 0}) + bytes({(s.rGain >> 4) & 0x0F, s.rGain & 0x0F}));
            case 0x44: return answer(bytes({0, 0}) + bytes({(s.bGain >> 4) & 0x0F, s.bGain & 0x0F}));
            case 0x4B: return answer(bytes({0, 0, (s.iris >> 4) & 0x0F, s.iris & 0x0F}));
            case 0x4A: return answer(bytes({0, 0, (s.shutter >> 4) & 0x0F, s.shutter & 0x0F}));
            case 0x4C: return answer(bytes({0, 0, (s.gain >> 4) & 0x0F, s.gain & 0x0F}));
            case 0x47: return answer(nibbles4(s.zoomPos));
            case 0x48: return answer(nibbles4(s.focusPos));
            case 0x33: return onOff(s.backlight);
            case 0x66: return onOff(s.flip);
            case 0x61: return onOff(s.mirror);
            default: return syntaxError();
            }
        }
        if (n == 7 && at(p, 2) == 0x04 && at(p, 3) == 0x24 && at(p, 4) == 0x72 && at(p, 5) == 0x09)
            return answer(bytes({(s.videoCode >> 4) & 0x0F, s.videoCode & 0x0F}));
        if (n == 5 && at(p, 2) == 0x00 && at(p, 3) == 0x02)
            return {Kind::Answer, versionAnswer(s)};
        if (n == 5 && at(p, 2) == 0x06) {
            switch (at(p, 3)) {
            case 0x11: return answer(bytes({s.panMaxSpeed, s.tiltMaxSpeed}));
            case 0x12: return answer(nibbles4(s.panPos & 0xFFFF) + nibbles4(s.tiltPos & 0xFFFF));
            case 0x06: return onOff(s.osd);
            default: return syntaxError();
            }
        }
        if (n == 6 && at(p, 2) == 0x7E && at(p, 3) == 0x01 && at(p, 4) == 0x0A)
            return onOff(s.redTally || s.greenTally);
        if (n == 6 && at(p, 2) == 0x7E && at(p, 3) == 0x7E && at(p, 4) == 0x70)
            return {Kind::Answer, systemStatus(s, powered)};
        if (at(p, 2) == 0x7E && (at(p, 3) == 0x11 || at(p, 3) == 0x0A)) {
            if (!s.trackingCapable)
                return syntaxError();
            const QByteArray body = p.mid(3, n - 4); // between 7E and FF
            if (body == bytes({0x11, 0x54}))
                return onOff(s.aiCamOn);
            if (body == bytes({0x0A, 0x0F, 0x01, 0x00}))
                return answer(bytes({s.figure}));
            if (body == bytes({0x0A, 0x0F, 0x01, 0x10}))
                return answer(nibbles4(s.figureSize));
            if (body == bytes({0x0A, 0x11, 0xA3}))
                return answer(bytes({s.subject & 0x0F}));
            if (body == bytes({0x0A, 0x0F, 0x01, 0x07}))
                return answer(bytes({s.placement}));
            if (body == bytes({0x0A, 0x0F, 0x01, 0x05}))
                return answer(bytes({s.trackSpeed}));
            if (body == bytes({0x0A, 0x04, 0x16}))
                return answer(bytes({s.osdReminder ? 0x01 : 0x00}));
            if (body == bytes({0x0A, 0x0F, 0x01, 0x02}))
                return onOff(s.autoZoom);
            if (body == bytes({0x0A, 0x0F, 0x01, 0x03}))
                return onOff(s.autoTilt);
            if (body == bytes({0x0A, 0x11, 0x56}))
                return answer(bytes({s.detIndicator}));
            if (body == bytes({0x0A, 0x04, 0x3F, 0x02}))
                return answer(bytes({s.trackStartPreset & 0x7F}));
            if (body == bytes({0x0A, 0x0F, 0x0F}))
                return answer(bytes({(s.profile >> 4) & 0x0F, s.profile & 0x0F}));
            return syntaxError();
        }
        return syntaxError();
    }

    if (kind == 0x01) {
        const bool isPower = n == 6 && at(p, 2) == 0x04 && at(p, 3) == 0x00;
        if (isPower) {
            const quint8 v = at(p, 4);
            if (v != 0x02 && v != 0x03)
                return syntaxError();
            if (forcedOff)
                return notExecutable();
            s.power = v == 0x02;
            return command();
        }
        if (!powered)
            return notExecutable();

        if (at(p, 2) == 0x04) {
            const quint8 c = at(p, 3);
            const quint8 v = at(p, 4);
            if (n == 6) {
                switch (c) {
                case 0x07: // zoom
                    if (v == 0x00) {
                        s.zoomDir = 0;
                    } else if (v == 0x02 || v == 0x03) {
                        s.zoomDir = v == 0x02 ? 1 : -1;
                        s.zoomSpeed = 3; // the standard speed
                    } else if ((v & 0xF0) == 0x20 || (v & 0xF0) == 0x30) {
                        s.zoomDir = (v & 0xF0) == 0x20 ? 1 : -1;
                        s.zoomSpeed = qMin(v & 0x0F, 7);
                    } else {
                        return syntaxError();
                    }
                    return command();
                case 0x08: // focus drive
                    if (v == 0x00)
                        s.focusDir = 0;
                    else if (v == 0x02 || v == 0x03 || (v & 0xF0) == 0x20 || (v & 0xF0) == 0x30)
                        s.focusDir = (v == 0x02 || (v & 0xF0) == 0x20) ? 1 : -1;
                    else
                        return syntaxError();
                    return command();
                case 0x38:
                    if (v == 0x02 || v == 0x03)
                        s.autoFocus = v == 0x02;
                    else if (v == 0x10)
                        s.autoFocus = !s.autoFocus;
                    else
                        return syntaxError();
                    return command();
                case 0x18:
                    return v == 0x01 ? command() : syntaxError();
                case 0x35:
                    if (v > 0x0F)
                        return syntaxError();
                    s.wbMode = v;
                    return command();
                case 0x10:
                    if (v != 0x05)
                        return syntaxError();
                    ++s.onePushTriggers;
                    return command();
                case 0x03:
                case 0x04: {
                    int &g = c == 0x03 ? s.rGain : s.bGain;
                    if (v == 0x00)
                        g = 0x80;
                    else if (v == 0x02)
                        g = qMin(g + 1, 0xFF);
                    else if (v == 0x03)
                        g = qMax(g - 1, 0);
                    else
                        return syntaxError();
                    return command();
                }
                case 0x39:
                    s.aeMode = v;
                    return command();
                case 0x0B:
                case 0x0A:
                case 0x0C: {
                    int &val = c == 0x0B ? s.iris : (c == 0x0A ? s.shutter : s.gain);
                    if (v == 0x00)
                        val = 0;
                    else if (v == 0x02)
                        val = qMin(val + 1, 0x15);
                    else if (v == 0x03)
                        val = qMax(val - 1, 0);
                    else
                        return syntaxError();
                    return command();
                }
                case 0x33:
                    if (v != 0x02 && v != 0x03)
                        return syntaxError();
                    s.backlight = v == 0x02;
                    return command();
                case 0x66:
                case 0x61:
                    if (v != 0x02 && v != 0x03)
                        return syntaxError();
                    (c == 0x66 ? s.flip : s.mirror) = v == 0x02;
                    return command();
                default:
                    return syntaxError();
                }
            }
            if (n == 7 && c == 0x3F) { // presets
                const int number = at(p, 5);
                if (v == 0x00) {
                    s.presets.remove(number);
                } else if (v == 0x01) {
                    s.presets.insert(number, SimCamera::Preset{s.panPos, s.tiltPos, s.zoomPos});
                    s.lastStoredPreset = number;
                } else if (v == 0x02) {
                    const SimCamera::Preset pr = s.presets.value(number);
                    s.panPos = pr.pan;
                    s.tiltPos = pr.tilt;
                    s.zoomPos = pr.zoom;
                    s.panDir = s.tiltDir = s.zoomDir = 0;
                    s.lastRecalledPreset = number;
                    ++s.recallCount;
                } else {
                    return syntaxError();
                }
                return command();
            }
            if (n == 7 && c == 0x24 && v == 0x72) {
                const quint8 code = at(p, 5);
                for (quint8 k : knownVideoCodes) {
                    if (k == code) {
                        s.videoCode = code;
                        return command();
                    }
                }
                return notExecutable();
            }
            if (n == 9 && (c == 0x43 || c == 0x44 || c == 0x4B || c == 0x4A || c == 0x4C)) {
                const int value = fromNibbles(p, 4, 4) & 0xFF;
                switch (c) {
                case 0x43: s.rGain = value; break;
                case 0x44: s.bGain = value; break;
                case 0x4B: s.iris = value; break;
                case 0x4A: s.shutter = value; break;
                default: s.gain = value; break;
                }
                return command();
            }
            if (n == 9 && (c == 0x47 || c == 0x48)) {
                const int value = fromNibbles(p, 4, 4);
                if (c == 0x47) {
                    s.zoomPos = clampInt(value, 0, ZoomMax);
                    s.zoomDir = 0;
                } else {
                    s.focusPos = clampInt(value, 0, FocusMax);
                    s.focusDir = 0;
                }
                return command();
            }
            return syntaxError();
        }

        if (at(p, 2) == 0x06) {
            const quint8 c = at(p, 3);
            if (c == 0x01 && n == 9) {
                const quint8 x = at(p, 6);
                const quint8 y = at(p, 7);
                if (x < 1 || x > 3 || y < 1 || y > 3)
                    return syntaxError();
                s.panDir = x == 0x01 ? -1 : (x == 0x02 ? 1 : 0);
                s.tiltDir = y == 0x01 ? 1 : (y == 0x02 ? -1 : 0);
                s.panSpeed = at(p, 4);
                s.tiltSpeed = at(p, 5);
                if (s.panDir == 0 && s.tiltDir == 0)
                    ++s.stopCount;
                else
                    ++s.moveCount;
                return command();
            }
            if ((c == 0x02 || c == 0x03) && (n == 15 || n == 16)) {
                // The last eight nibbles carry pan then tilt.
                const int pan = qint16(quint16(fromNibbles(p, n - 9, 4)));
                const int tilt = qint16(quint16(fromNibbles(p, n - 5, 4)));
                s.panDir = s.tiltDir = 0;
                s.panPos = clampInt(c == 0x02 ? pan : s.panPos + pan, -PanLimit, PanLimit);
                s.tiltPos = clampInt(c == 0x02 ? tilt : s.tiltPos + tilt, -TiltLimit, TiltLimit);
                return command();
            }
            if ((c == 0x04 || c == 0x05) && n == 5) {
                s.panDir = s.tiltDir = 0;
                s.panPos = s.tiltPos = 0;
                return command();
            }
            if (c == 0x06 && n == 6) {
                const quint8 v = at(p, 4);
                if (v == 0x02 || v == 0x03)
                    s.osd = v == 0x02;
                else if (v == 0x10)
                    s.osd = !s.osd;
                else
                    return syntaxError();
                s.menuCode = v;
                return command();
            }
            return syntaxError();
        }

        if (at(p, 2) == 0x7E && at(p, 3) == 0x01) {
            const quint8 c = at(p, 4);
            if ((c == 0x06 || c == 0x09) && n == 8 && at(p, 5) == 0x00) {
                const quint8 v = at(p, 6);
                if (v > 0x01)
                    return syntaxError();
                (c == 0x06 ? s.panReverse : s.tiltReverse) = v == 0x01;
                return command();
            }
            if (c == 0x0A && at(p, 5) == 0x00 && (n == 8 || n == 9)) {
                const quint8 red = at(p, 6);
                const quint8 green = n == 9 ? at(p, 7) : 0x03;
                if ((red != 0x02 && red != 0x03) || (green != 0x02 && green != 0x03))
                    return syntaxError();
                s.redTally = red == 0x02;
                s.greenTally = green == 0x02;
                return command();
            }
            if (c == 0x0B && n == 8) {
                const quint8 a = at(p, 5);
                const quint8 b = at(p, 6);
                if (a == 0x7D)
                    s.presetSpeedAll = b;
                else if (a == 0x7E)
                    s.speedRange = b;
                else
                    s.presetSpeeds.insert(a, b);
                return command();
            }
            return syntaxError();
        }
        return syntaxError();
    }

    if (kind == 0x0A) {
        if (!s.trackingCapable)
            return syntaxError();
        if (!powered)
            return notExecutable();
        const QByteArray body = p.mid(2, n - 3); // between 0A and FF
        const auto is = [&](std::initializer_list<int> head, int extra) {
            const QByteArray h = bytes(head);
            return body.size() == h.size() + extra && body.startsWith(h);
        };
        const quint8 last = at(body, body.size() - 1);
        if (is({0x11, 0x54}, 1)) {
            if (last != 0x02 && last != 0x03)
                return syntaxError();
            s.aiCamOn = last == 0x02;
            return command();
        }
        if (is({0x01, 0x04, 0x1C}, 1)) {
            if ((last & 0x0F) != 0x02 && (last & 0x0F) != 0x03)
                return syntaxError();
            s.trackFunction = (last & 0x0F) == 0x02;
            return command();
        }
        if (is({0x0F, 0x01, 0x02}, 1) || is({0x0F, 0x01, 0x03}, 1)) {
            if (last > 0x01)
                return syntaxError();
            (at(body, 2) == 0x02 ? s.autoZoom : s.autoTilt) = last == 0x01;
            return command();
        }
        if (is({0x11, 0x56}, 1)) {
            if (last < 0x02 || last > 0x04)
                return syntaxError();
            s.detIndicator = last == 0x03 ? 3 : 2; // default is on
            return command();
        }
        if (is({0x04, 0x3F, 0x02, 0x00}, 2)) {
            s.trackStartMode = at(body, 4);
            s.trackStartPreset = last;
            return command();
        }
        if (is({0x04, 0x16}, 1)) {
            if (last > 0x01)
                return syntaxError();
            s.osdReminder = last == 0x01;
            return command();
        }
        if (is({0x0F, 0x01, 0x00}, 1)) {
            if (last > 0x03)
                return syntaxError();
            s.figure = last;
            return command();
        }
        if (is({0x0F, 0x01, 0x08}, 4)) {
            s.figureSize = fromNibbles(body, 3, 4);
            return command();
        }
        if (is({0x11, 0xA3}, 1)) {
            if (last == 0x02)
                s.subject = qMax(0, s.subject - 1);
            else if (last == 0x03)
                s.subject = qMin(15, s.subject + 1);
            else if (last == 0x04)
                ++s.subjectConfirms;
            else
                return syntaxError();
            return command();
        }
        if (is({0x0F, 0x01, 0x07}, 1) || is({0x0F, 0x01, 0x05}, 1)) {
            if (last > 0x02)
                return syntaxError();
            (at(body, 2) == 0x07 ? s.placement : s.trackSpeed) = last;
            return command();
        }
        if (is({0x0F, 0x0F}, 2)) {
            s.profile = ((at(body, 2) & 0x0F) << 4) | (at(body, 3) & 0x0F);
            return command();
        }
        return syntaxError();
    }
    return syntaxError();
}

} // namespace

// Lives on the simulation thread: reads the line, runs the camera, paces
// the answers.
class SimCameraPeer : public QObject
{
public:
    SimCameraPeer(std::shared_ptr<SimCameraShared> shared, SimCamera *owner)
        : shared_(std::move(shared)), owner_(owner), pty_(this), outTimer_(this)
    {
        outTimer_.setSingleShot(true);
        QObject::connect(&outTimer_, &QTimer::timeout, this, [this] { flush(); });
        QObject::connect(&pty_, &SimPty::received, this, [this](const QByteArray &b) { onBytes(b); });
        clock_.start();
    }

    bool open(const QString &linkPath) { return pty_.open(linkPath); }
    bool isOpen() const { return pty_.isOpen(); }
    void close()
    {
        pty_.close();
        buf_.clear();
        queue_.clear();
        outTimer_.stop();
    }

    void writeNow(const QByteArray &raw)
    {
        {
            QMutexLocker lock(&shared_->mutex);
            appendBounded(shared_->sentBytes, raw);
        }
        pty_.write(raw);
    }

private:
    struct Out
    {
        qint64 due;
        QByteArray bytes;
    };

    void onBytes(const QByteArray &chunk)
    {
        const qint64 now = clock_.elapsed();
        {
            QMutexLocker lock(&shared_->mutex);
            appendBounded(shared_->receivedBytes, chunk);
        }
        if (!buf_.isEmpty() && now - lastByteAt_ > StalePartialMs)
            buf_.clear(); // a fragment that never became a message
        lastByteAt_ = now;
        buf_ += chunk;
        parse();
    }

    void parse()
    {
        while (!buf_.isEmpty()) {
            const quint8 b0 = quint8(buf_.at(0));
            if (b0 == 0x00) {
                if (buf_.size() < 2)
                    return;
                const int len = quint8(buf_.at(1));
                if (len < 5 || len > MaxMessage + 2) {
                    buf_.remove(0, 1);
                    continue;
                }
                if (buf_.size() < len)
                    return;
                const QByteArray msg = buf_.left(len);
                if (quint8(msg.at(len - 1)) != 0xFF || (quint8(msg.at(2)) & 0xF0) != 0x80) {
                    buf_.remove(0, 1);
                    continue;
                }
                buf_.remove(0, len);
                handleMessage(msg, true);
            } else if ((b0 & 0xF0) == 0x80) {
                const int end = buf_.indexOf(char(0xFF));
                if (end < 0) {
                    if (buf_.size() > MaxMessage) {
                        buf_.clear();
                        reply({Kind::Error, bytes({0x90, 0x60, 0x01, 0xFF})}, false); // message length
                    }
                    return;
                }
                const QByteArray msg = buf_.left(end + 1);
                buf_.remove(0, end + 1);
                handleMessage(msg, false);
            } else {
                buf_.remove(0, 1); // not the start of a message
            }
        }
    }

    void handleMessage(const QByteArray &msg, bool framed)
    {
        Outcome outcome;
        QByteArray injected;
        bool haveInjected = false;
        {
            QMutexLocker lock(&shared_->mutex);
            shared_->received.append(msg);
            while (shared_->received.size() > MaxRecordedMessages)
                shared_->received.removeFirst();
            if (!shared_->injected.isEmpty()) {
                injected = shared_->injected.takeFirst();
                haveInjected = true;
            }
        }
        emit owner_->messageReceived(msg);
        const int after = releaseHeld();
        if (haveInjected) {
            schedule(injected, after);
            return;
        }

        const QByteArray packet = framed ? msg.mid(2) : msg;
        const quint8 header = at(packet, 0);
        if (header == 0x88) { // broadcast: address set and interface clear
            if (packet == bytes({0x88, 0x30, 0x01, 0xFF}))
                reply({Kind::Answer, bytes({0x88, 0x30, 0x02, 0xFF})}, framed, after);
            else if (packet == bytes({0x88, 0x01, 0x00, 0x01, 0xFF}))
                reply({Kind::Answer, packet}, framed, after);
            return;
        }
        if (header != 0x81)
            return; // another address: not for this camera
        {
            QMutexLocker lock(&shared_->mutex);
            integrate(shared_->state, shared_->motionAt, shared_->clock.elapsed());
            outcome = handlePacket(shared_->state, shared_->mode == SimCamera::PowerOff, packet);
        }
        reply(outcome, framed, after);
    }

public:
    // Sends the completion held back in LateCompletion mode, if any; the
    // delay the answer to the message now arriving keeps behind it.
    int releaseHeld()
    {
        if (held_.isEmpty())
            return 0;
        schedule(held_, 0);
        held_.clear();
        QMutexLocker lock(&shared_->mutex);
        return shared_->splitGap;
    }

private:

    void reply(const Outcome &o, bool framed, int after = 0)
    {
        SimCamera::FailureMode mode;
        int completion;
        {
            QMutexLocker lock(&shared_->mutex);
            mode = shared_->mode;
            completion = shared_->completionDelay;
        }
        if (mode == SimCamera::Silent)
            return;
        const auto wrap = [framed](const QByteArray &packet) {
            return framed ? QByteArray(1, char(0x00)) + char(quint8(packet.size() + 2)) + packet : packet;
        };
        switch (o.kind) {
        case Kind::None:
            return;
        case Kind::Command:
            schedule(wrap(bytes({0x90, 0x41, 0xFF})), after);
            if (mode == SimCamera::LateCompletion)
                held_ = wrap(bytes({0x90, 0x51, 0xFF}));
            else
                schedule(wrap(bytes({0x90, 0x51, 0xFF})), after + completion);
            return;
        case Kind::Answer:
        case Kind::Error:
            schedule(wrap(o.packet), after);
            return;
        }
    }

    // Queues `b` to go out `delayMs` from now, never ahead of what is queued.
    void schedule(const QByteArray &b, int delayMs)
    {
        SimCamera::FailureMode mode;
        int late;
        int gap;
        {
            QMutexLocker lock(&shared_->mutex);
            mode = shared_->mode;
            late = shared_->lateDelay;
            gap = shared_->splitGap;
        }
        qint64 due = clock_.elapsed() + delayMs + (mode == SimCamera::AnswerLate ? late : 0);
        if (!queue_.empty())
            due = qMax(due, queue_.back().due);
        if (mode == SimCamera::SplitReply && b.size() > 1) {
            const int half = b.size() / 2;
            queue_.push_back({due, b.left(half)});
            queue_.push_back({due + gap, b.mid(half)});
        } else {
            queue_.push_back({due, b});
        }
        arm();
    }

    void arm()
    {
        if (queue_.empty())
            return;
        const qint64 wait = qMax<qint64>(0, queue_.front().due - clock_.elapsed());
        outTimer_.start(int(wait));
    }

    void flush()
    {
        const qint64 now = clock_.elapsed();
        while (!queue_.empty() && queue_.front().due <= now) {
            writeNow(queue_.front().bytes);
            queue_.pop_front();
        }
        arm();
    }

    std::shared_ptr<SimCameraShared> shared_;
    SimCamera *owner_;
    SimPty pty_;
    QTimer outTimer_;
    QElapsedTimer clock_;
    QByteArray buf_;
    qint64 lastByteAt_ = 0;
    std::deque<Out> queue_;
    QByteArray held_; // LateCompletion: the completion still owed
};

SimCamera::SimCamera(const QString &deviceName, SimThread *thread)
    : deviceName_(deviceName), shared_(std::make_shared<SimCameraShared>())
{
    shared_->clock.start();
    if (!thread) {
        ownThread_ = std::make_unique<SimThread>();
        thread = ownThread_.get();
    }
    thread_ = thread;
    const QString link = Sysroot::serialDevice(deviceName);
    thread_->run([this, link] {
        peer_ = new SimCameraPeer(shared_, this);
        const bool ok = peer_->open(link);
        QMutexLocker lock(&shared_->mutex);
        shared_->open = ok;
        shared_->linkPath = link;
    });
    if (!isOpen())
        qCWarning(lcSim) << "[ERR] sim camera: cannot open" << link;
}

SimCamera::~SimCamera()
{
    SimCameraPeer *peer = peer_;
    thread_->run([peer] { delete peer; });
    peer_ = nullptr;
}

bool SimCamera::isOpen() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->open;
}

QString SimCamera::linkPath() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->linkPath;
}

void SimCamera::close()
{
    thread_->run([this] { peer_->close(); });
    QMutexLocker lock(&shared_->mutex);
    shared_->open = false;
}

bool SimCamera::open()
{
    const QString link = Sysroot::serialDevice(deviceName_);
    if (!link.startsWith(QLatin1Char('/')))
        return false; // without a sysroot the link would land beside the real device
    bool ok = false;
    thread_->run([this, &ok, &link] { ok = peer_->isOpen() || peer_->open(link); });
    QMutexLocker lock(&shared_->mutex);
    shared_->open = ok;
    return ok;
}

void SimCamera::setFailureMode(FailureMode mode)
{
    {
        QMutexLocker lock(&shared_->mutex);
        shared_->mode = mode;
    }
    SimCameraPeer *peer = peer_;
    if (mode == LateCompletion || !peer)
        return;
    if (QThread::currentThread() == peer->thread())
        peer->releaseHeld();
    else
        thread_->run([peer] { peer->releaseHeld(); });
}

SimCamera::FailureMode SimCamera::failureMode() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->mode;
}

void SimCamera::setCompletionDelay(int ms)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->completionDelay = qMax(0, ms);
}

int SimCamera::completionDelay() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->completionDelay;
}

void SimCamera::setLateDelay(int ms)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->lateDelay = qMax(0, ms);
}

int SimCamera::lateDelay() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->lateDelay;
}

void SimCamera::setSplitGap(int ms)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->splitGap = qMax(0, ms);
}

int SimCamera::splitGap() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->splitGap;
}

void SimCamera::injectReply(const QByteArray &raw)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->injected.append(raw);
}

void SimCamera::writeRaw(const QByteArray &raw)
{
    SimCameraPeer *peer = peer_;
    if (!peer)
        return;
    if (QThread::currentThread() == peer->thread())
        peer->writeNow(raw);
    else
        thread_->run([peer, raw] { peer->writeNow(raw); });
}

SimCamera::State SimCamera::state() const
{
    QMutexLocker lock(&shared_->mutex);
    integrate(shared_->state, shared_->motionAt, shared_->clock.elapsed());
    return shared_->state;
}

void SimCamera::update(const std::function<void(State &)> &change)
{
    QMutexLocker lock(&shared_->mutex);
    integrate(shared_->state, shared_->motionAt, shared_->clock.elapsed());
    change(shared_->state);
}

QList<QByteArray> SimCamera::received() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->received;
}

int SimCamera::receivedCount() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->received.size();
}

QByteArray SimCamera::lastReceived() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->received.isEmpty() ? QByteArray() : shared_->received.last();
}

QByteArray SimCamera::receivedBytes() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->receivedBytes;
}

QByteArray SimCamera::sentBytes() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->sentBytes;
}

void SimCamera::clearReceived()
{
    QMutexLocker lock(&shared_->mutex);
    shared_->received.clear();
    shared_->receivedBytes.clear();
    shared_->sentBytes.clear();
}
