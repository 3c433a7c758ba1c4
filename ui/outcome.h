#pragma once

#include <QObject>

#include <type_traits>
#include <utility>

class commandExecObject;
class vekCameraObject;

// What became of one request to a device, as the interface sees it. The
// lanes' back-end objects answer in their own ways (a bool, a value with a
// bool& flag, a failure value, nothing); the interface turns each answer
// into one of these where it receives it, so pages and tests speak of
// outcomes, not of return conventions. A value type, usable anywhere; the
// enum is exposed to QML for pages that show an outcome by a control.
class Outcome
{
    Q_GADGET
public:
    enum Kind {
        Done,         // sent, and the device acknowledged it (or answered the read)
        Refused,      // sent, and the device said no (busy, or a bad answer)
        Stale,        // not sent: it came up too late to be what the operator meant
        NotAnswering, // not sent, or sent and never answered: the device is silent
        LineClosed,   // not sent: the device's line is not open
        TransitionRunning, // not sent: a transition runs (T-bar between its ends, or an AUTO)
        CameraOffline,     // not sent: the camera it is for is offline
    };
    Q_ENUM(Kind)

    // A mainboard write's bool as it came back, judged on the lane right
    // after the exchange (silence and a closed line tell a false apart).
    static Kind ofMainboardWrite(commandExecObject &m, bool ok);
    // A camera operation's bool as it came back, judged on the camera lane
    // right after the exchange: a closed line, silence and a no (an error
    // reply, or an answer that is not the one asked for) tell a false apart.
    static Kind ofCamera(vekCameraObject &cam, int camera, bool ok);
    // The answer of a step that needs the line open and has no failure of
    // its own.
    static Kind ofConnection(bool connected) { return connected ? Done : LineClosed; }
};

// An outcome with the value that came with it; `value` is default-made
// unless the request ran. `sent`: the request ran on its lane (it went out,
// or found the line closed) rather than being dropped before it; a write
// that was sent and not acknowledged may still have been carried out.
template <typename T>
struct Result
{
    Outcome::Kind outcome = Outcome::LineClosed;
    bool sent = false;
    T value{};
    bool done() const { return outcome == Outcome::Done; }
};

// A camera operation's answer on the camera lane, judged there (ofCamera),
// with the value it returned (by default its bool).
template <typename T>
Result<T> cameraResult(vekCameraObject &cam, int camera, bool ok, T value)
{
    return Result<T>{Outcome::ofCamera(cam, camera, ok), true, std::move(value)};
}
inline Result<bool> cameraResult(vekCameraObject &cam, int camera, bool ok)
{
    return cameraResult(cam, camera, ok, ok);
}

namespace outcome_detail {
template <typename T, typename = void> struct HasOk : std::false_type {};
template <typename T> struct HasOk<T, std::void_t<decltype(std::declval<const T &>().ok)>> : std::true_type {};
} // namespace outcome_detail

// The outcome of a mainboard operation that was sent: a bool is the
// acknowledgement, a record with an `ok` flag is a read, anything else was
// answered by being returned.
template <typename R>
Outcome::Kind mainboardOutcome(commandExecObject &m, const R &r)
{
    if constexpr (std::is_same_v<R, bool>)
        return Outcome::ofMainboardWrite(m, r);
    else if constexpr (outcome_detail::HasOk<R>::value)
        return Outcome::ofMainboardWrite(m, r.ok);
    else
        return Outcome::Done;
}
