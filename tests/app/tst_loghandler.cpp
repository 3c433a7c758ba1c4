#include "app/loghandler.h"

#include <QtTest>

#include <QTemporaryFile>
#include <QThread>

#include <unistd.h>

namespace {
// Points standard error at a file until take().
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
    QByteArray take()
    {
        fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        file_.seek(0);
        return file_.readAll();
    }

private:
    QTemporaryFile file_;
    int saved_ = -1;
};

QMessageLogContext ctx() { return QMessageLogContext("widget.cpp", 42, "void f()", "default"); }
} // namespace

class TstLogHandler : public QObject
{
    Q_OBJECT
private slots:
    // Each printed entry is followed by one empty line; dropped ones leave nothing.
    void dropped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("printed");
        QTest::newRow("INFO anywhere") << "abc [INFO] def" << false;
        QTest::newRow("VEK") << "tally [VEK] 81 01" << false;
        QTest::newRow("lower-case info is printed") << "[info] kept" << true;
        QTest::newRow("partial tag is printed") << "[INF] kept" << true;
        QTest::newRow("ERR is printed") << "[ERR] serial down" << true;
    }

    void dropped()
    {
        QFETCH(QString, text);
        QFETCH(bool, printed);
        StderrCapture cap;
        customMessageHandler(QtDebugMsg, ctx(), text);
        const QByteArray out = cap.take();
        QCOMPARE(out.count('\n'), printed ? 2 : 0);
        QCOMPARE(out.endsWith(": " + text.toLocal8Bit() + "\n\n"), printed);
    }

    void lineShape_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("function");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after"); // the expected line after its time stamp
        const QByteArray file = "mu.cpp", fn = "bool zarvoMu::send()";
        QTest::newRow("warning") << int(QtWarningMsg) << file << fn << "[ERR] timeout"
                                 << " [mu.cpp bool zarvoMu::send() 7][W]    : [ERR] timeout";
        const std::pair<QtMsgType, const char *> levels[] = {{QtDebugMsg, "D"}, {QtCriticalMsg, "C"}, {QtFatalMsg, "F"},
                                                             {QtInfoMsg, "I"}};
        for (const auto &[t, tag] : levels)
            QTest::newRow(tag) << int(t) << file << fn << "x" << QStringLiteral(" [mu.cpp bool zarvoMu::send() 7][%1]    : x").arg(tag);
        QTest::newRow("placeholders stay literal") << int(QtDebugMsg) << QByteArray("a%6.cpp") << QByteArray("f(%5)")
                                                   << "100%1 %2" << " [a%6.cpp f(%5) 7][D]    : 100%1 %2";
        QTest::newRow("no file or function") << int(QtDebugMsg) << QByteArray() << QByteArray() << "x"
                                             << " [  7][D]    : x";
    }

    void lineShape()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, function);
        QFETCH(QString, text);
        QFETCH(QString, after);
        const QString line = formatLogLine(QtMsgType(type),
                                           QMessageLogContext(file.isNull() ? nullptr : file.constData(), 7,
                                                              function.isNull() ? nullptr : function.constData(), "default"),
                                           text);
        QVERIFY2(QTime::fromString(line.left(12), QStringLiteral("hh:mm:ss.zzz")).isValid(), qPrintable(line));
        QCOMPARE(line.mid(12), after);
    }

    void threadsDoNotInterleave()
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
    void categoriesFollowRules();
};


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
