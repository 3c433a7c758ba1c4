// Every page and pop-up in the resources, in every language, in an offscreen
// window: no QML warning or error; real presses on the window reach the
// simulated cameras; every text of every language has glyphs in the font.
#include "tests/common/testsysroot.h"
#include "sim/simcamera.h"
#include "sim/simunit.h"
#include "tools/pagerig.h"
#include "ui/devicelines.h"
#include "ui/language.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRawFont>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>
#include <QtTest/qtestmouse.h>

#include <memory>

class TstQmlPages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void loadsWithoutWarnings_data();
    void loadsWithoutWarnings();
    void pressesReachTheCameras_data();
    void pressesReachTheCameras();
    void languageSwitchRetranslatesTheShownPage();
    void everyTextHasGlyphs();

private:
    std::unique_ptr<TestSysroot> sys_;
    std::unique_ptr<SimUnit> unit_;
    std::unique_ptr<PageRig> rig_;
};

void TstQmlPages::initTestCase()
{
    sys_ = std::make_unique<TestSysroot>();
    unit_ = std::make_unique<SimUnit>(sys_->root());
    QVERIFY2(unit_->isUp(), qPrintable(unit_->problems()));
    rig_ = std::make_unique<PageRig>(unit_.get());
    rig_->stageDemoState();
    QVERIFY(PageRig::pageFiles().contains("pages/ImageKeysPage.qml"));
}

void TstQmlPages::cleanupTestCase()
{
    rig_.reset();
    unit_.reset();
}

void TstQmlPages::loadsWithoutWarnings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("lang");
    for (const QString &f : PageRig::pageFiles())
        for (int lang = 0; lang < 3; ++lang)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(f).arg(lang))) << f << lang;
}

void TstQmlPages::loadsWithoutWarnings()
{
    QFETCH(QString, file);
    QFETCH(int, lang);
    rig_->setLanguage(lang);
    rig_->clearWarnings();
    QVERIFY(rig_->show(file));
    rig_->grab();
    QVERIFY2(rig_->warnings().isEmpty(), qPrintable(rig_->warnings().join('\n')));
}

void TstQmlPages::pressesReachTheCameras_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<int>("camera");
    QTest::addColumn<QByteArray>("lastSent");
    QTest::newRow("shutter page asks the position") << "popups/CameraPopup.qml" << QStringList{"shutterButton"} << 0
                                                    << QByteArray::fromHex("00078109044aff");
    QTest::newRow("focus to manual") << "popups/CameraPopup.qml" << QStringList{"focusSelector/1"} << 0
                                     << QByteArray::fromHex("8101043803ff");
    QTest::newRow("tracking switch of a tracking camera") << "popups/TrackingSetupPopup.qml"
                                                          << QStringList{"atSwitch1"} << 1
                                                          << QByteArray::fromHex("810a115403ff");
    QTest::newRow("image key recalls") << "pages/ImageKeysPage.qml" << QStringList{"imageKey01"} << 0
                                       << QByteArray::fromHex("8101043f0202ff");
}

void TstQmlPages::pressesReachTheCameras()
{
    QFETCH(QString, file);
    QFETCH(QStringList, presses);
    QFETCH(int, camera);
    QFETCH(QByteArray, lastSent);
    rig_->setLanguage(0);
    QQuickItem *page = rig_->show(file);
    QVERIFY(page);
    rig_->grab();
    QTRY_COMPARE(rig_->lines().camera().pending(), 0);
    unit_->camera(camera).clearReceived();
    for (const QString &press : presses) {
        QQuickItem *item = PageRig::findItem(page, press);
        QVERIFY2(item && item->isVisible() && item->isEnabled(), qPrintable(press));
        const QPoint centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QTest::mouseClick(item->window(), Qt::LeftButton, {}, centre);
    }
    QTRY_COMPARE(unit_->camera(camera).lastReceived(), lastSent);
}

void TstQmlPages::languageSwitchRetranslatesTheShownPage()
{
    rig_->setLanguage(0);
    QQuickItem *store = PageRig::findItem(rig_->show("pages/ImageKeysPage.qml"), "imageKeysStore");
    QVERIFY(store);
    for (const auto &[lang, text] : {std::pair{1, "儲存"}, std::pair{2, "保存"}, std::pair{0, "STORE"}}) {
        rig_->setLanguage(lang);
        QCOMPARE(store->property("text").toString(), QString::fromUtf8(text));
    }
    QCOMPARE(rig_->panel().settings()->intValue("system", "langType"), 0);
}

void TstQmlPages::everyTextHasGlyphs()
{
    const QRawFont font = QRawFont::fromFont(QFont(Language::fontFamily()));
    QCOMPARE(font.familyName(), Language::fontFamily());
    QString texts;
    for (const QString &ts : {QStringLiteral("tavrik_zh_TW.ts"), QStringLiteral("tavrik_zh_CN.ts")}) {
        QFile file(QStringLiteral(TAVRIK_SOURCE_DIR "/i18n/") + ts);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QXmlStreamReader xml(&file);
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement
                && (xml.name() == QLatin1String("source") || xml.name() == QLatin1String("translation")))
                texts += xml.readElementText();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }
    // The symbols the pages write as escapes (arrows, the close cross).
    QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
    const QRegularExpression escape(QStringLiteral(R"(\\u([0-9a-fA-F]{4}))"));
    while (it.hasNext()) {
        QFile qml(it.next());
        QVERIFY(qml.open(QIODevice::ReadOnly));
        auto m = escape.globalMatch(QString::fromUtf8(qml.readAll()));
        while (m.hasNext())
            texts += QChar(m.next().captured(1).toUShort(nullptr, 16));
    }
    QVERIFY(texts.contains(QStringLiteral("攝影機")) && texts.contains(QStringLiteral("摄像机")));
    QString missing;
    for (const uint c : texts.toUcs4())
        if (c > 0x20 && !font.supportsCharacter(c) && !missing.contains(QString::fromUcs4(&c, 1)))
            missing += QString::fromUcs4(&c, 1);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no glyph for: ") + missing));
}

int main(int argc, char *argv[])
{
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    TstQmlPages t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_qmlpages.moc"
