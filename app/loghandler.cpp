#include "app/loghandler.h"

#include <QByteArray>
#include <QDateTime>
#include <QTime>

#include <cstdio>

Q_LOGGING_CATEGORY(lcApp, "tavrik.app")

QString formatLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Chatty camera and info traffic is kept out of the log on purpose.
    if (message.contains(QLatin1String("[INFO]")) || message.contains(QLatin1String("[VEK]")))
        return QString();

    QString level;
    switch (type) {
    case QtDebugMsg:    level = QStringLiteral("[D]    "); break;
    case QtWarningMsg:  level = QStringLiteral("[W]    "); break;
    case QtCriticalMsg: level = QStringLiteral("[C]    "); break;
    case QtFatalMsg:    level = QStringLiteral("[F]    "); break;
    case QtInfoMsg:     level = QStringLiteral("[I]    "); break;
    }

    // One-pass substitution: a "%n" inside a file name, a signature or the
    // message must not be taken for a placeholder.
    return QStringLiteral("%1 [%2 %3 %4]%5: %6")
        .arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")),
             context.file ? QString::fromUtf8(context.file) : QString(),
             context.function ? QString::fromUtf8(context.function) : QString(),
             QString::number(context.line),
             level,
             message);
}

void customMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString line = formatLogLine(type, context, message);
    if (line.isNull())
        return;
    QByteArray bytes = line.toLocal8Bit();
    bytes.append("\n\n");
    // One write per entry: stdio locks the stream for the call, so entries
    // from different threads never interleave.
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}
