#include "app/CLogSink.h"

#include "db/DbLog.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/uio.h>
#include <systemd/sd-journal.h>
#include <vector>

namespace {

bool journal = false;

const char *levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "info";
}

// syslog priorities.
int priority(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtInfoMsg:
        return 6;
    case QtWarningMsg:
        return 4;
    case QtCriticalMsg:
        return 3;
    case QtFatalMsg:
        return 2;
    }
    return 6;
}

void sendToJournal(QtMsgType type, const char *category, const QString &message)
{
    std::vector<std::string> fields{
        "MESSAGE=" + message.toStdString(),
        "PRIORITY=" + std::to_string(priority(type)),
        "SYSLOG_IDENTIFIER=zorvik",
        std::string("ZORVIK_CATEGORY=") + (category ? category : "default"),
    };
    const QString server = DbLog::server();
    if (!server.isEmpty())
        fields.push_back("ZORVIK_SERVER=" + server.toStdString());
    std::vector<iovec> parts;
    for (std::string &f : fields)
        parts.push_back({f.data(), f.size()});
    sd_journal_sendv(parts.data(), int(parts.size()));
}

} // namespace

bool CLogSink::underJournal()
{
    // systemd sets JOURNAL_STREAM to "device:inode" of the stream it connected; a program whose
    // standard error was redirected since is not writing to the journal any more.
    const QByteArray stream = qgetenv("JOURNAL_STREAM");
    const qsizetype colon = stream.indexOf(':');
    if (colon <= 0)
        return false;
    struct stat st = {};
    if (fstat(2, &st) != 0)
        return false;
    bool okDev = false, okIno = false;
    const qulonglong dev = stream.left(colon).toULongLong(&okDev);
    const qulonglong ino = stream.mid(colon + 1).toULongLong(&okIno);
    return okDev && okIno && qulonglong(st.st_dev) == dev && qulonglong(st.st_ino) == ino;
}

QByteArray CLogSink::line(QtMsgType type, const char *category, const QString &message)
{
    QByteArray out = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8();
    out += ' ';
    out += (category && *category) ? category : "default";
    if (type != QtInfoMsg) {
        out += ' ';
        out += levelName(type);
    }
    out += ": ";
    out += message.toUtf8();
    return out;
}

void CLogSink::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (journal) {
        sendToJournal(type, context.category, message);
    } else {
        const QByteArray text = line(type, context.category, message) + '\n';
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
    }
    if (type == QtFatalMsg)
        std::abort();
}

void CLogSink::install(bool quiet)
{
    journal = underJournal();
    if (quiet && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("zorvik.*.info=false\nzorvik.*.warning=false"));
    qInstallMessageHandler(&CLogSink::handle);
}
