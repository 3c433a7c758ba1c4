// The screenshot tour: renders the root page and every page and pop-up in
// English, Traditional and Simplified Chinese against a simulated unit whose
// mainboard answers, and puts them on one contact sheet per language (FILE
// for English, FILE with "-zh_TW" / "-zh_CN" before the suffix for the others).
//   tavrik-tour [--out DIR] [--sheet FILE] [--thumb WIDTH]
//               [--pages FILE,...] [--langs en,...] [--compare DIR [--tolerance N]]
// --compare checks each picture against the one of the same name in DIR (the
// armhf program under qemu against the amd64 renders): a pixel differs when a
// colour channel is more than N apart; any such pixel fails the run.
#include "sim/simpiscripts.h"
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

#include <algorithm>
#include <cstdlib>

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
// Empty when the two pictures match within `tolerance` per colour channel;
// otherwise how far apart they are.
QString differences(const QImage &a, const QImage &b, int tolerance)
{
    if (b.isNull())
        return QStringLiteral("no picture to compare with");
    if (a.size() != b.size())
        return QStringLiteral("sizes differ");
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    qint64 over = 0;
    for (int r = 0; r < x.height(); ++r) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(r));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c) {
            const int d = std::max({std::abs(qRed(p[c]) - qRed(q[c])), std::abs(qGreen(p[c]) - qGreen(q[c])),
                                    std::abs(qBlue(p[c]) - qBlue(q[c]))});
            worst = std::max(worst, d);
            if (d > tolerance)
                ++over;
        }
    }
    if (over == 0)
        return {};
    return QStringLiteral("%1 pixels differ by more than %2 (largest difference %3)").arg(over).arg(tolerance).arg(worst);
}

// ---- fault states -------------------------------------------------------------
// "<file>|[<presses>,]@<fault>": a page as the operator sees a fault, staged
// after the presses. The state is staged directly (the simulated devices
// keep answering), so each picture shows exactly one situation.
//  @nocontrol, @refused: the home page's (the preview camera unplugged too);
//  @unconfirmed: a read after a recall failed, so the board's values shown
//                are marked until it is read back.
// Each goes right after its page, so the last listed comes first.
const QStringList kFaultScenes{QStringLiteral("pages/HomePage.qml|@nocontrol"),
                               QStringLiteral("pages/HomePage.qml|@refused"),
                               QStringLiteral("pages/SetupMenuPage.qml|menuPages/4,@unconfirmed"),
                               QStringLiteral("pages/SetupMenuPage.qml|@unconfirmed"),
                               QStringLiteral("popups/LumaPopup.qml|@unconfirmed"),
                               QStringLiteral("popups/PipPopup.qml|@unconfirmed")};

bool isFault(const QString &press) { return press.startsWith(QLatin1Char('@')) && press != QLatin1String("@loading"); }

void stageFault(PageRig &rig, const QString &fault, bool on)
{
    Panel &p = rig.panel();
    SwitcherState *s = p.switcher();
    if (fault == QLatin1String("@unconfirmed")) {
        // Confirmed again, the board's records are read back before the
        // marks go; the next picture's settle gives them the time.
        s->setStateConfirmed(!on);
        return;
    }
    // The preview camera unplugged, in both home page scenes.
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
                      QStringLiteral("480")});
    parser.addOption({QStringLiteral("pages"), QStringLiteral("Only these files (\"pages/HomePage.qml,...\")."),
                      QStringLiteral("files")});
    parser.addOption({QStringLiteral("langs"), QStringLiteral("Only these languages (en, zh_TW, zh_CN)."),
                      QStringLiteral("codes")});
    parser.addOption({QStringLiteral("compare"), QStringLiteral("Compare every picture with the same file in this folder."),
                      QStringLiteral("dir")});
    parser.addOption({QStringLiteral("still"), QStringLiteral("A silent audio meter: pictures equal from run to run.")});
    parser.addOption({QStringLiteral("tolerance"), QStringLiteral("Largest colour channel difference taken as equal."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.process(app);
    QTextStream out(stdout);

    QTemporaryDir sysroot;
    SimUnit unit(sysroot.path());
    if (!unit.isUp()) {
        out << "simulated unit incomplete: " << unit.problems() << "\n";
        return 1;
    }
    // --still: a silent meter, so every picture is the same from run to run
    // and the armhf renders can be held to the amd64 ones pixel for pixel
    // (a live level and its peak hold depend on when a frame came).
    if (parser.isSet(QStringLiteral("still"))) {
        SimPiScripts::Options silent;
        silent.meterLeft = silent.meterRight = 0;
        SimPiScripts::install(sysroot.path(), silent);
    }
    // The Pi's tools are the unit's recording stand-ins, never the real ones.
    qputenv("PATH", unit.panelEnvironment(QProcessEnvironment::systemEnvironment()).value(QStringLiteral("PATH")).toLocal8Bit());

    PageRig rig(&unit);
    rig.stageDemoState();
    // The board answers, so every field shows what it reports, not "-".
    rig.panel().setMainboardConnected(true);
    if (PageRig::pageFiles().contains(QStringLiteral("pages/HomePage.qml")))
        rig.setBackdrop(QStringLiteral("pages/HomePage.qml"));
    seedKeyPictures(rig);

    const QString outDir = parser.value(QStringLiteral("out"));
    QDir().mkpath(outDir);
    QStringList files{QStringLiteral("main.qml")};
    files << PageRig::pageFiles();
    // Second states worth a picture: "<file>|<button to press>[,<next button>...]".
    // "@loading": the re-read after a user memory, with the buses in view.
    // Each goes right after its page, so for one page the last listed comes first.
    QStringList extras{QStringLiteral("popups/CameraPopup.qml|shutterButton"),
                       QStringLiteral("main.qml|@loading"),
                       QStringLiteral("pages/ImageKeysPage.qml|imageKeyArea00"),
                       QStringLiteral("popups/TrackingSetupPopup.qml|optionPageSelector/1"),
                       QStringLiteral("pages/SetupMenuPage.qml|menuPages/4"),
                       QStringLiteral("pages/SetupMenuPage.qml|menuPages/3"),
                       QStringLiteral("pages/SetupMenuPage.qml|menuPages/2,memSave1"),
                       QStringLiteral("pages/SetupMenuPage.qml|menuPages/2"),
                       QStringLiteral("pages/SetupMenuPage.qml|menuPages/1,audioCalibration"),
                       QStringLiteral("pages/SetupMenuPage.qml|menuPages/1"),
                       QStringLiteral("pages/SetupMenuPage.qml|pageReset"),
                       QStringLiteral("pages/SetupMenuPage.qml|setting2"),
                       QStringLiteral("popups/PipPopup.qml|pipTabs/1"),
                       QStringLiteral("popups/PipPopup.qml|pipTabs/2")};
    extras << kFaultScenes;
    // Tally out: its other tabs, and a label being typed.
    extras << QStringLiteral("pages/TallyOutPage.qml|tallyTabs/1,tallyLabel3")
           << QStringLiteral("pages/TallyOutPage.qml|tallyTabs/2") << QStringLiteral("pages/TallyOutPage.qml|tallyTabs/1");
    // The service page's other tabs.
    extras << QStringLiteral("pages/ServicePage.qml|serviceTabs/3") << QStringLiteral("pages/ServicePage.qml|serviceTabs/2")
           << QStringLiteral("pages/ServicePage.qml|serviceTabs/1,keyTest");
    for (const QString &extra : qAsConst(extras))
        if (files.contains(extra.section(QLatin1Char('|'), 0, 0)))
            files.insert(files.indexOf(extra.section(QLatin1Char('|'), 0, 0)) + 1, extra);
    if (parser.isSet(QStringLiteral("pages"))) {
        // Commas also separate the presses of one entry: a piece without a
        // file in it continues the entry before it.
        QStringList only;
        for (const QString &piece : parser.value(QStringLiteral("pages")).split(QLatin1Char(',')))
            if (only.isEmpty() || piece.section(QLatin1Char('|'), 0, 0).endsWith(QLatin1String(".qml")))
                only << piece;
            else
                only.last() += QLatin1Char(',') + piece;
        files.erase(std::remove_if(files.begin(), files.end(), [&](const QString &f) { return !only.contains(f); }),
                    files.end());
    }
    QStringList langs{QStringLiteral("en"), QStringLiteral("zh_TW"), QStringLiteral("zh_CN")};
    QStringList langNames{QStringLiteral("English"), QStringLiteral("繁體中文"), QStringLiteral("简体中文")};
    QVector<int> langTypes{0, 1, 2};
    if (parser.isSet(QStringLiteral("langs"))) {
        const QStringList only = parser.value(QStringLiteral("langs")).split(QLatin1Char(','));
        for (int l = langs.size() - 1; l >= 0; --l) {
            if (!only.contains(langs[l])) {
                langs.removeAt(l);
                langNames.removeAt(l);
                langTypes.removeAt(l);
            }
        }
    }
    const QString compareDir = parser.value(QStringLiteral("compare"));
    const int tolerance = parser.value(QStringLiteral("tolerance")).toInt();

    QVector<QVector<QImage>> shots(files.size(), QVector<QImage>(langs.size()));
    int failures = 0;
    for (int l = 0; l < langs.size(); ++l) {
        rig.setLanguage(langTypes[l]);
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
            QStringList faults;
            if (!press.isEmpty()) {
                for (const QString &one : press.split(QLatin1Char(','))) {
                    if (isFault(one)) {
                        stageFault(rig, one, true);
                        faults << one;
                        rig.settle(300);
                        continue;
                    }
                    if (one == QLatin1String("@loading"))
                        rig.panel().setLoadingVisible(true);
                    else if (failed.isEmpty() && !rig.click(one))
                        failed = QStringLiteral("  (NO VISIBLE, ENABLED %1 TO PRESS)").arg(one);
                    rig.settle(1000);
                }
            }
            const QImage img = rig.grab();
            rig.panel().setLoadingVisible(false);
            for (const QString &fault : faults)
                stageFault(rig, fault, false);
            shots[f][l] = img;
            const QString name = QStringLiteral("%1/%2-%3.png")
                                     .arg(outDir, langs[l], QString(files[f]).replace(QLatin1Char('/'), QLatin1Char('_')).remove(QStringLiteral(".qml")).replace(QLatin1Char('|'), QLatin1Char('-')).replace(QLatin1Char(','), QLatin1Char('-')));
            const bool saved = img.save(name);
            if (!failed.isEmpty())
                ++failures;
            out << name << (saved ? "" : "  (NOT SAVED)") << failed << " " << img.width() << "x" << img.height() << (rig.warnings().isEmpty() ? QString() : QStringLiteral("  (%1 warnings)").arg(rig.warnings().size())) << "\n";
            for (const QString &w : rig.warnings())
                out << "    " << w << "\n";
            if (!compareDir.isEmpty()) {
                const QString other = compareDir + QLatin1Char('/') + QFileInfo(name).fileName();
                const QString verdict = differences(img, QImage(other), tolerance);
                out << "  against " << other << ": " << (verdict.isEmpty() ? QStringLiteral("equal") : verdict) << "\n";
                if (!verdict.isEmpty())
                    ++failures;
            }
        }
    }
    if (parser.value(QStringLiteral("sheet")).isEmpty())
        return failures == 0 ? 0 : 2;

    // One sheet per language, three pages a row, each large enough to judge.
    const int tw = std::max(480, parser.value(QStringLiteral("thumb")).toInt());
    const int th = tw * 600 / 1024;
    const int label = 30, gap = 10, columns = 3;
    const int rows = (int(files.size()) + columns - 1) / columns;
    const QString sheetFile = parser.value(QStringLiteral("sheet"));
    QDir().mkpath(QFileInfo(sheetFile).absolutePath());
    for (int l = 0; l < langs.size(); ++l) {
        QImage sheet(gap + columns * (tw + gap), label + rows * (th + label + gap) + gap, QImage::Format_RGB32);
        sheet.fill(QColor(QStringLiteral("#0b0d0f")));
        QPainter p(&sheet);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setPen(QColor(QStringLiteral("#e8ecef")));
        p.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 13, QFont::Bold));
        p.drawText(QRect(gap, 0, sheet.width(), label), Qt::AlignLeft | Qt::AlignVCenter, langNames[l]);
        p.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 11));
        for (int f = 0; f < files.size(); ++f) {
            const int x = gap + (f % columns) * (tw + gap);
            const int y = label + (f / columns) * (th + label + gap);
            p.drawText(QRect(x, y, tw, label), Qt::AlignLeft | Qt::AlignVCenter,
                       QString(files[f]).replace(QLatin1Char('|'), QStringLiteral(" + ")));
            p.drawImage(QRect(x, y + label, tw, th),
                        shots[f][l].scaled(tw, th, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        p.end();
        const QFileInfo fi(sheetFile);
        const QString name = l == 0 ? sheetFile
                                    : fi.path() + QLatin1Char('/') + fi.completeBaseName() + QLatin1Char('-') + langs[l]
                                          + QLatin1Char('.') + fi.suffix();
        sheet.save(name, "PNG", 0); // strongest compression: the sheets live in the repository
        out << "sheet: " << name << " (" << files.size() << " pages)\n";
    }
    return failures == 0 ? 0 : 2;
}
