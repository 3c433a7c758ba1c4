#pragma once

#include <QString>
#include <QStringList>

// Model-number fragments that single out camera families. A camera reports
// its model as three lower-case hexadecimal digits (see the version
// inquiry), and the panel matches these fragments as substrings of it.
// Keep every such fragment here, so a new camera model is one edit.
namespace CameraModels {

// Cameras that can track a presenter by themselves, ended by the marker.
inline const QStringList &aiCamList()
{
    static const QStringList list{QStringLiteral("71a"), QStringLiteral("71b"),
                                  QStringLiteral("720"), QStringLiteral("FFFF")};
    return list;
}
inline QString aiCamListEnd() { return QStringLiteral("FFFF"); }

// A model whose sensor cannot run 2160p29.97 or 2160p25: those video codes
// would leave it without picture, so they are never sent to it.
inline QString videoModeRefusal() { return QStringLiteral("410"); }

// A family whose shutter steps at 50 and 25 frames differ from the others
// (the camera page shows its own label table for it).
inline const QStringList &altShutterFamily()
{
    static const QStringList list{QStringLiteral("615"), QStringLiteral("61c")};
    return list;
}

inline bool containsAny(const QString &modelName, const QStringList &fragments)
{
    if (modelName.isEmpty())
        return false;
    for (const QString &f : fragments) {
        if (f == aiCamListEnd())
            break;
        if (!f.isEmpty() && modelName.contains(f))
            return true;
    }
    return false;
}

} // namespace CameraModels
