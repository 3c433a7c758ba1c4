#include "ui/outcome.h"

#include "camera/vekcameraobject.h"
#include "switcher/commandexecobject.h"

const char *Outcome::name(Kind kind)
{
    switch (kind) {
    case Done: return "done";
    case Refused: return "refused";
    case Stale: return "stale";
    case NotAnswering: return "not answering";
    case LineClosed: return "line closed";
    case TransitionRunning: return "transition running";
    case CameraOffline: return "camera offline";
    }
    return "?";
}

Outcome::Kind Outcome::ofMainboardWrite(commandExecObject &m, bool ok)
{
    if (ok)
        return Done;
    if (!m.lineOpen())
        return LineClosed;
    // The link marks the board silent once a whole reply wait passed
    // without a byte: that false is silence, not a no.
    return m.mainboardSilent() ? NotAnswering : Refused;
}

Outcome::Kind Outcome::ofCamera(vekCameraObject &cam, int camera, bool ok)
{
    if (ok)
        return Done;
    if (!cam.lineOpen(camera))
        return LineClosed;
    return cam.lastAnswered(camera) ? Refused : NotAnswering;
}
