#include "app/loghandler.h"

#include <QtTest>

#include <QTemporaryFile>
#include <QThread>

#include <unistd.h>

namespace {
// Points standard error at a file for the life of the object.
class StderrCapture
{
public:
    StderrCapture()
    {
        file_.open();
        fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QByteArray take()
    {
        restore();
        QFile f(file_.fileName());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private:
    void restore()
    {
        if (saved_ >= 0) {
            fflush(stderr);
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
        }
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

QMessageLogContext ctx(const char *file = "widget.cpp", int line = 42, const char *fn = "void f()")
{
    return QMessageLogContext(file, line, fn, "default");
}
} // namespace

class TstLogHandler : public QObject
{
    Q_OBJECT
private slots:
    void dropped_data();
    void dropped();
    void levelTags_data();
    void levelTags();
    void lineShape();
    void placeholdersInTextStayLiteral();
    void oneEmptyLineAfterEachEntry();
    void threadsDoNotInterleave();
    void categoriesFollowRules();
};

void TstLogHandler::dropped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("printed");
    QTest::newRow("INFO anywhere") << "abc [INFO] def" << false;
    QTest::newRow("INFO at start") << "[INFO] camera online" << false;
    QTest::newRow("VEK") << "tally [VEK] 81 01" << false;
    QTest::newRow("lower-case info is printed") << "[info] kept" << true;
    QTest::newRow("partial tag is printed") << "[INF] kept" << true;
    QTest::newRow("lower-case vek is printed") << "[vek] kept" << true;
    QTest::newRow("ERR is printed") << "[ERR] serial down" << true;
}

void TstLogHandler::dropped()
{
    QFETCH(QString, text);
    QFETCH(bool, printed);
    StderrCapture cap;
    customMessageHandler(QtDebugMsg, ctx(), text);
    const QByteArray out = cap.take();
    QCOMPARE(!out.isEmpty(), printed);
    if (printed)
        QVERIFY(out.contains(text.toLocal8Bit()));
}

void TstLogHandler::levelTags_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("tag");
    QTest::newRow("debug") << int(QtDebugMsg) << "[D]    ";
    QTest::newRow("warning") << int(QtWarningMsg) << "[W]    ";
    QTest::newRow("critical") << int(QtCriticalMsg) << "[C]    ";
    QTest::newRow("fatal") << int(QtFatalMsg) << "[F]    ";
    QTest::newRow("info") << int(QtInfoMsg) << "[I]    ";
}

void TstLogHandler::levelTags()
{
    QFETCH(int, type);
    QFETCH(QString, tag);
    const QString line = formatLogLine(QtMsgType(type), ctx(), QStringLiteral("hello"));
    QVERIFY2(line.contains(QStringLiteral("]") + tag + QStringLiteral(": hello")), qPrintable(line));
}

void TstLogHandler::lineShape()
{
    const QString line = formatLogLine(QtWarningMsg, ctx("mu.cpp", 7, "bool zarvoMu::send()"),
                                       QStringLiteral("[ERR] timeout"));
    const QRegularExpression re(QStringLiteral(
        "^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\[mu\\.cpp bool zarvoMu::send\\(\\) 7\\]\\[W\\]    : \\[ERR\\] timeout$"));
    QVERIFY2(re.match(line).hasMatch(), qPrintable(line));

    // A context without file or function still gives a line.
    const QString bare = formatLogLine(QtDebugMsg, QMessageLogContext(), QStringLiteral("x"));
    QVERIFY2(bare.endsWith(QStringLiteral(" [  0][D]    : x")), qPrintable(bare));
}

void TstLogHandler::placeholdersInTextStayLiteral()
{
    const QString line = formatLogLine(QtDebugMsg, ctx("a%6.cpp", 1, "f(%5)"), QStringLiteral("100%1 %2"));
    QVERIFY2(line.contains(QStringLiteral("[a%6.cpp f(%5) 1]")), qPrintable(line));
    QVERIFY2(line.endsWith(QStringLiteral(": 100%1 %2")), qPrintable(line));
}

void TstLogHandler::oneEmptyLineAfterEachEntry()
{
    StderrCapture cap;
    customMessageHandler(QtDebugMsg, ctx(), QStringLiteral("first"));
    customMessageHandler(QtDebugMsg, ctx(), QStringLiteral("[INFO] dropped"));
    customMessageHandler(QtWarningMsg, ctx(), QStringLiteral("second"));
    const QByteArray out = cap.take();
    const QList<QByteArray> lines = out.split('\n');
    // "first", "", "second", "", and the empty tail after the last newline.
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0].endsWith(": first"));
    QVERIFY(lines[1].isEmpty());
    QVERIFY(lines[2].endsWith(": second"));
    QVERIFY(lines[3].isEmpty());
    QVERIFY(lines[4].isEmpty());
}

void TstLogHandler::threadsDoNotInterleave()
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 300;
    StderrCapture cap;
    QList<QThread *> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads << QThread::create([t] {
            const QString pad(200, QLatin1Char('a' + t));
            for (int i = 0; i < kPerThread; ++i)
                customMessageHandler(QtDebugMsg, ctx(), QStringLiteral("T%1 %2 ").arg(t).arg(i) + pad);
        });
    }
    for (QThread *th : threads)
        th->start();
    for (QThread *th : threads) {
        th->wait();
        delete th;
    }
    const QList<QByteArray> lines = cap.take().split('\n');
    int entries = 0;
    for (int i = 0; i + 1 < lines.size(); i += 2) {
        const QByteArray &l = lines[i];
        QVERIFY2(lines[i + 1].isEmpty(), "entry not followed by its empty line");
        const int colon = l.indexOf(": T");
        QVERIFY2(colon > 0, l.constData());
        const char who = l.at(colon + 3);
        const QByteArray pad(200, char('a' + (who - '0')));
        QVERIFY2(l.endsWith(pad), "entry mixed with another thread's text");
        ++entries;
    }
    QCOMPARE(entries, kThreads * kPerThread);
}

// A category's lines keep the shape; a rule mutes one level of it only.
void TstLogHandler::categoriesFollowRules()
{
    StderrCapture cap;
    const QtMessageHandler previous = qInstallMessageHandler(customMessageHandler);
    qCDebug(lcApp) << "on by default";
    QLoggingCategory::setFilterRules(QStringLiteral("tavrik.*.debug=false"));
    qCDebug(lcApp) << "muted";
    qCWarning(lcApp).noquote() << "[WARN] still shown";
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    const QList<QByteArray> lines = cap.take().split('\n');
    QCOMPARE(lines.size(), 5);
    const QRegularExpression shape(QStringLiteral(
        "^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\[\\S*tst_loghandler\\.cpp .*categoriesFollowRules.* \\d+\\]"));
    QVERIFY2(shape.match(QString::fromLocal8Bit(lines[0])).hasMatch(), lines[0].constData());
    QVERIFY(lines[0].endsWith("][D]    : on by default"));
    QVERIFY(lines[2].endsWith("][W]    : [WARN] still shown"));
}

QTEST_GUILESS_MAIN(TstLogHandler)
#include "tst_loghandler.moc"
