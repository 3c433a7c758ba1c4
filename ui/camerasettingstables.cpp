// The camera page's tables: shutter speeds per video format and camera
// family, and the video formats' names. Pure functions of their arguments,
// kept apart from the page's control flow.
#include "ui/camerasettings.h"

#include "camera/cameramodels.h"
#include "ui/panel.h" // the header's inline QPointer<Panel> needs the whole class

namespace {
QStringList table60()
{
    return {QStringLiteral("-"),      QStringLiteral("1/60"),   QStringLiteral("1/90"),   QStringLiteral("1/100"),
            QStringLiteral("1/125"),  QStringLiteral("1/180"),  QStringLiteral("1/250"),  QStringLiteral("1/350"),
            QStringLiteral("1/500"),  QStringLiteral("1/725"),  QStringLiteral("1/1000"), QStringLiteral("1/1500"),
            QStringLiteral("1/2000"), QStringLiteral("1/3000"), QStringLiteral("1/4000"), QStringLiteral("1/6000"),
            QStringLiteral("1/10000")};
}

QStringList table50(bool altFamily)
{
    QStringList t{QStringLiteral("-"),      QStringLiteral("1/50"),   QStringLiteral("1/75"),   QStringLiteral("1/100"),
                  QStringLiteral("1/120"),  QStringLiteral("1/150"),  QStringLiteral("1/250"),  QStringLiteral("1/350"),
                  QStringLiteral("1/500"),  QStringLiteral("1/725"),  QStringLiteral("1/1000"), QStringLiteral("1/1500"),
                  QStringLiteral("1/2000"), QStringLiteral("1/3000"), QStringLiteral("1/4000"), QStringLiteral("1/6000"),
                  QStringLiteral("1/10000")};
    if (altFamily) {
        const QStringList tail{QStringLiteral("1/215"),  QStringLiteral("1/300"),  QStringLiteral("1/425"),
                               QStringLiteral("1/600"),  QStringLiteral("1/1000"), QStringLiteral("1/1250"),
                               QStringLiteral("1/1750"), QStringLiteral("1/2500"), QStringLiteral("1/3500"),
                               QStringLiteral("1/6000"), QStringLiteral("1/10000")};
        for (int i = 0; i < tail.size(); ++i)
            t[6 + i] = tail[i];
    }
    return t;
}
} // namespace


QStringList CameraSettings::shutterLabels(int videoFormatIndex, const QString &model)
{
    const bool alt = CameraModels::containsAny(model, CameraModels::altShutterFamily());
    switch (videoFormatIndex) {
    case 5: {
        QStringList t = table50(alt);
        t[0] = QStringLiteral("1/25");
        return t;
    }
    case 2:
    case 8:
    case 11:
        return table50(alt);
    case 3:
    case 4: {
        QStringList t = table60();
        t[0] = QStringLiteral("1/30");
        return t;
    }
    default:
        return table60();
    }
}

QString CameraSettings::videoFormatName(int index)
{
    static const char *const names[] = {"1080p60",  "1080p59.94", "1080p50", "1080p30", "1080p29.97", "1080p25",
                                        "1080i60",  "1080i59.94", "1080i50", "720p60",  "720p59.94",  "720p50"};
    if (index < 0 || index >= static_cast<int>(sizeof(names) / sizeof(names[0])))
        return {};
    return QString::fromLatin1(names[index]);
}
