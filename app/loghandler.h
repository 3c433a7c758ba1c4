#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

class QMessageLogContext;

// Log lines of the entry point itself, as "tavrik.app".
Q_DECLARE_LOGGING_CATEGORY(lcApp)

// Process-wide Qt message handler: installed first thing in main().
void customMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// The entry as it would be written (without the trailing empty line), or a
// null string when the message is dropped. Pure, so tests can check it.
QString formatLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message);
