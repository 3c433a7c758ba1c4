// The screenshot tour: renders the root page and every page and pop-up in
// English, Traditional and Simplified Chinese against a simulated unit, and
// puts them on one contact sheet.
//   tavrik-tour [--out DIR] [--sheet FILE] [--thumb WIDTH]
#include "sim/simunit.h"
#include "tools/pagerig.h"
#include "ui/imagekeys.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/switcherstate.h"
#include "ui/switching.h"
#include "platform/sysroot.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
// Stand-in stills for two of the image keys, so the tour shows pictures.
void seedKeyPictures(PageRig &rig)
{
    for (int p = 1; p <= 2; ++p) {
        QImage img(320, 180, QImage::Format_RGB32);
        QPainter painter(&img);
        QLinearGradient g(0, 0, 320, 180);
        g.setColorAt(0, QColor(40 + 60 * p, 70, 110));
        g.setColorAt(1, QColor(20, 30 + 40 * p, 40));
        painter.fillRect(img.rect(), g);
        painter.setPen(Qt::white);
        painter.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 28));
        painter.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("CAM 1 / %1").arg(p));
        painter.end();
        const QString file = ImageKeys::imageFile(0, p);
        QDir().mkpath(Sysroot::path(QStringLiteral("/home/pi")));
        img.save(Sysroot::path(file), "JPEG", 80);
        rig.panel().settings()->setValue(QStringLiteral("system"), ImageKeys::settingsKey(0, p),
                                         QStringLiteral("file://") + file);
    }
    ImageKeys *keys = ImageKeys::of(&rig.panel());
    keys->refreshPictures();
    // A recalled key, so the selected state shows.
    keys->pressKey(0, 1);
    rig.settle(300);
}
// ---- fault states of the home page ---------------------------------------
// "pages/HomePage.qml|@<fault>": the home page as the operator sees a fault.
// The state is staged directly (the simulated devices keep answering), so
// each picture shows exactly one situation.
const QStringList kFaultScenes{QStringLiteral("pages/HomePage.qml|@nocontrol"),
                               QStringLiteral("pages/HomePage.qml|@refused")};

bool isFaultScene(const QString &press) { return press.startsWith(QLatin1Char('@')); }

void stageFault(PageRig &rig, const QString &fault, bool on)
{
    Panel &p = rig.panel();
    SwitcherState *s = p.switcher();
    // The preview camera unplugged, in both scenes.
    p.setCamOnline(1, !on);
    if (fault == QLatin1String("@nocontrol")) {
        // The board went silent: NO CONTROL, the buses unconfirmed, and a
        // CUT pressed meanwhile that was not sent.
        s->setBoardAnswering(!on);
        s->setStateConfirmed(!on);
        if (on)
            p.switching()->report(Switching::Cut, Outcome::NotAnswering);
    } else if (on) {
        // The board answers and said no to a program press; PiP on program.
        s->setPipSource(3);
        s->setPipPgmFlag(true);
        p.switching()->report(Switching::ProgramBus, Outcome::Refused);
    } else {
        s->setPipPgmFlag(false);
    }
    if (!on)
        p.switching()->setOutcomeControl(-1);
}
} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder for the PNG files."), QStringLiteral("dir"),
                      QStringLiteral("tour")});
    parser.addOption({QStringLiteral("sheet"), QStringLiteral("Contact sheet file."), QStringLiteral("file"),
                      QStringLiteral("tour/tour.png")});
    parser.addOption({QStringLiteral("thumb"), QStringLiteral("Thumbnail width on the sheet."), QStringLiteral("px"),
                      QStringLiteral("300")});
    parser.process(app);
    QTextStream out(stdout);

    QTemporaryDir sysroot;
    SimUnit unit(sysroot.path());
    if (!unit.isUp()) {
        out << "simulated unit incomplete: " << unit.problems() << "\n";
        return 1;
    }
    // The Pi's tools are the unit's recording stand-ins, never the real ones.
    qputenv("PATH", unit.panelEnvironment(QProcessEnvironment::systemEnvironment()).value(QStringLiteral("PATH")).toLocal8Bit());

    PageRig rig(&unit);
    rig.stageDemoState();
    if (PageRig::pageFiles().contains(QStringLiteral("pages/HomePage.qml")))
        rig.setBackdrop(QStringLiteral("pages/HomePage.qml"));
    seedKeyPictures(rig);

    const QString outDir = parser.value(QStringLiteral("out"));
    QDir().mkpath(outDir);
    QStringList files{QStringLiteral("main.qml")};
    files << PageRig::pageFiles();
    // Second states worth a picture: "<file>|<button to press>[,<next button>...]".
    for (const QString &extra : {QStringLiteral("popups/CameraPopup.qml|shutterButton"),
                                 QStringLiteral("popups/TrackingSetupPopup.qml|optionPageSelector/1"),
                                 // Each goes right after its page, so the last listed comes first.
                                 QStringLiteral("pages/SetupMenuPage.qml|menuPages/4"),
                                 QStringLiteral("pages/SetupMenuPage.qml|menuPages/3"),
                                 QStringLiteral("pages/SetupMenuPage.qml|menuPages/2"),
                                 QStringLiteral("pages/SetupMenuPage.qml|menuPages/1,audioCalibration"),
                                 QStringLiteral("pages/SetupMenuPage.qml|menuPages/1"),
                                 QStringLiteral("pages/SetupMenuPage.qml|pageReset"),
                                 QStringLiteral("pages/SetupMenuPage.qml|setting2"),
                                 QStringLiteral("popups/PipPopup.qml|pipTabs/1"),
                                 QStringLiteral("popups/PipPopup.qml|pipTabs/2")})
        if (files.contains(extra.section(QLatin1Char('|'), 0, 0)))
            files.insert(files.indexOf(extra.section(QLatin1Char('|'), 0, 0)) + 1, extra);
    for (const QString &scene : kFaultScenes)
        if (files.contains(scene.section(QLatin1Char('|'), 0, 0)))
            files.insert(files.indexOf(scene.section(QLatin1Char('|'), 0, 0)) + 1, scene);
    const QStringList langs{QStringLiteral("en"), QStringLiteral("zh_TW"), QStringLiteral("zh_CN")};
    const QStringList langNames{QStringLiteral("English"), QStringLiteral("繁體中文"), QStringLiteral("简体中文")};

    QVector<QVector<QImage>> shots(files.size(), QVector<QImage>(langs.size()));
    int failures = 0;
    for (int l = 0; l < langs.size(); ++l) {
        rig.setLanguage(l);
        for (int f = 0; f < files.size(); ++f) {
            rig.clearWarnings();
            const QString file = files[f].section(QLatin1Char('|'), 0, 0);
            const QString press = files[f].section(QLatin1Char('|'), 1);
            // The panel remembers the setup menu's page across shows; every
            // picture starts from its first page, so the languages match.
            rig.panel().setMenuOption(0);
            QString failed;
            if (!rig.show(file))
                failed = QStringLiteral("  (NOT SHOWN)");
            rig.settle(800);
            if (isFaultScene(press)) {
                stageFault(rig, press, true);
                rig.settle(300);
            } else if (!press.isEmpty()) {
                for (const QString &one : press.split(QLatin1Char(','))) {
                    if (failed.isEmpty() && !rig.click(one))
                        failed = QStringLiteral("  (NO VISIBLE, ENABLED %1 TO PRESS)").arg(one);
                    rig.settle(1000);
                }
            }
            const QImage img = rig.grab();
            if (isFaultScene(press))
                stageFault(rig, press, false);
            shots[f][l] = img;
            const QString name = QStringLiteral("%1/%2-%3.png")
                                     .arg(outDir, langs[l], QString(files[f]).replace(QLatin1Char('/'), QLatin1Char('_')).remove(QStringLiteral(".qml")).replace(QLatin1Char('|'), QLatin1Char('-')).replace(QLatin1Char(','), QLatin1Char('-')));
            const bool saved = img.save(name);
            if (!failed.isEmpty())
                ++failures;
            out << name << (saved ? "" : "  (NOT SAVED)") << failed << " " << img.width() << "x" << img.height() << (rig.warnings().isEmpty() ? QString() : QStringLiteral("  (%1 warnings)").arg(rig.warnings().size())) << "\n";
            for (const QString &w : rig.warnings())
                out << "    " << w << "\n";
        }
    }

    // The sheet: one row per page, one column per language.
    const int tw = parser.value(QStringLiteral("thumb")).toInt();
    const int th = tw * 600 / 1024;
    const int label = 26, gap = 8, left = 0;
    QImage sheet(left + langs.size() * (tw + gap) + gap, label + files.size() * (th + label + gap) + gap,
                 QImage::Format_RGB32);
    sheet.fill(QColor(QStringLiteral("#0b0d0f")));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(QColor(QStringLiteral("#e8ecef")));
    p.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 11));
    for (int l = 0; l < langs.size(); ++l)
        p.drawText(QRect(left + gap + l * (tw + gap), 0, tw, label), Qt::AlignCenter, langNames[l]);
    for (int f = 0; f < files.size(); ++f) {
        const int y = label + f * (th + label + gap);
        p.drawText(QRect(gap, y, sheet.width(), label), Qt::AlignLeft | Qt::AlignVCenter,
                   QString(files[f]).replace(QLatin1Char('|'), QStringLiteral(" + ")));
        for (int l = 0; l < langs.size(); ++l)
            p.drawImage(QRect(left + gap + l * (tw + gap), y + label, tw, th),
                        shots[f][l].scaled(tw, th, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    p.end();
    const QString sheetFile = parser.value(QStringLiteral("sheet"));
    QDir().mkpath(QFileInfo(sheetFile).absolutePath());
    sheet.save(sheetFile, "PNG", 0); // strongest compression: the sheet lives in the repository
    out << "sheet: " << sheetFile << " (" << files.size() << " pages x " << langs.size() << " languages)\n";
    return failures == 0 ? 0 : 2;
}
