// Writes the settings file over and over, each round with every user audio
// level set to the round number, until it is killed.
#include "ui/panelsettings.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    PanelSettings settings(QString::fromLocal8Bit(argv[1]));
    const QStringList channels = {QStringLiteral("audioCh1"), QStringLiteral("audioCh2"), QStringLiteral("audioHDMI"),
                                  QStringLiteral("audioRCA"), QStringLiteral("audioHeadset"), QStringLiteral("audioMaster")};
    for (int round = atoi(argv[2]);; ++round) {
        for (const QString &c : channels)
            for (int n = 1; n <= 6; ++n)
                settings.setValue(QStringLiteral("user"), c + QStringLiteral("_%1").arg(n), round);
        settings.flush();
        if (round == atoi(argv[2])) {
            std::puts("written");
            std::fflush(stdout);
        }
    }
}
