#include "ui/outcome.h"

#include "camera/vekcameraobject.h"
#include "switcher/commandexecobject.h"

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
