#include "camera/cameraregistry.h"

namespace CameraRegistry {

vek_camera_info *entry(const CAMERA_Array &array, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= array.size())
        return nullptr;
    const auto &conn = array[static_cast<size_t>(index)];
    return conn ? conn->vekCamera.get() : nullptr;
}

void setAtDefaults(vek_camera_info &info, int atCapability)
{
    const bool tracks = atCapability == 1 || atCapability == 2;
    info.atTrack = tracks;
    info.atAutoZoom = false;
    info.atAutoTilt = false;
    info.atOsdRmd = false;
    info.atMode = 0;
    info.atTrackStartPos = 0;
    info.atDetIndicator = 0;
    info.atRoiActTime = tracks ? 1 : 0;
    info.atRoiStartPos = 0;
}

} // namespace CameraRegistry
