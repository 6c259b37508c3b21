#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Where the program's log lines go: the systemd journal when the program runs under it (its
// standard error is the journal's stream: started by the desktop, a user unit or a service),
// with the identifier "zorvik", the priority, the category as ZORVIK_CATEGORY and the database
// as ZORVIK_SERVER; otherwise standard error, each line with the local time and the category.
// Installed as Qt's message handler, so Qt's own messages get the same treatment.
class CLogSink
{
public:
    // Installs the handler. quiet: the commands that print only their own lines log nothing
    // below a warning unless QT_LOGGING_RULES says otherwise.
    static void install(bool quiet = false);
    // True when standard error is the journal's stream (JOURNAL_STREAM names it).
    static bool underJournal();
    // The line written to standard error for a message, without its line end.
    static QByteArray line(QtMsgType type, const char *category, const QString &message);

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);
};
