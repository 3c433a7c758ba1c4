#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

// One network camera as the registry keeps it: the switcher input it feeds,
// its picture settings, its auto-tracking options and its model texts.
struct vek_camera_info
{
    int mapping = 0; // switcher input line, 1-based
    bool exist = false;
    int speed = 0;
    bool vflip = false;
    bool hflip = false;
    int wbmode = 0;
    int rgain = 0;
    int bgain = 0;
    int fmode = 0;
    int shutter = 0;
    int irismode = 0;
    int gain = 0;
    bool osdon = false;
    bool colorbaron = false;
    bool tallyon = false;
    quint8 videomode = 0;
    int ptdir = 0;
    bool atTrack = false;
    bool atAutoZoom = false;
    bool atAutoTilt = false;
    bool atOsdRmd = false;
    int atMode = 0;
    int atTrackStartPos = 0;
    int atDetIndicator = 0;
    int atRoiActTime = 0;
    int atRoiStartPos = 0;
    QString cameraModel;
    QString versionMCPU;
    QString versionFPGA;
    QString versionMCTL;
};

// Owns one registry entry.
class cameraConnectionObject
{
public:
    cameraConnectionObject() : vekCamera(std::make_unique<vek_camera_info>()) {}
    explicit cameraConnectionObject(const vek_camera_info &info)
        : vekCamera(std::make_unique<vek_camera_info>(info))
    {
    }

    std::unique_ptr<vek_camera_info> vekCamera;
};

using CAMERA_Array = std::vector<std::unique_ptr<cameraConnectionObject>>;

namespace CameraRegistry {

// The entry at `index`, or null when the index lies outside the array or the
// place holds no entry. Every registry access goes through here.
vek_camera_info *entry(const CAMERA_Array &array, int index);

// Tracking option defaults of a camera with the given tracking capability
// (1 or 2: it tracks; anything else: it does not).
void setAtDefaults(vek_camera_info &info, int atCapability);

} // namespace CameraRegistry
