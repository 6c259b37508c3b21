#include "dialogs/CInvalidActLog.h"

#include "app/LogCategories.h"

#include <QDate>

#include "app/CClock.h"

#include <QDateTime>
#include <QDir>

namespace {

// A line break inside a field would split one warning over two lines of the log, so it is
// written as a blank; everything else is written as it is.
QString oneLine(QString field)
{
    field.replace(QLatin1String("\r\n"), QLatin1String(" "));
    field.replace(u'\r', u' ');
    field.replace(u'\n', u' ');
    return field;
}

// " +" or " -" and the six fields, each after one blank.
QString fieldsBody(QChar sign, const InvalidActFields &f)
{
    QString body = QStringLiteral(" ") + sign;
    // The log keeps its own date form whatever the interface language shows, so that a reader
    // of the log never sees it change.
    const QDate iso = QDate::fromString(f.date, Qt::ISODate);
    const QString date = iso.isValid() ? iso.toString(QStringLiteral("dd.MM.yyyy.")) : f.date;
    for (const QString *field : {&f.id, &f.lastName, &f.firstName, &date, &f.time, &f.activity})
        body += u' ' + oneLine(*field);
    return body;
}

} // namespace

CInvalidActLog::CInvalidActLog(const QString &programFolder) : m_folder(programFolder) {}

CInvalidActLog::~CInvalidActLog()
{
    writeWaiting();
}

QString CInvalidActLog::filePath() const
{
    return m_file.isOpen() ? m_file.fileName() : QString();
}

QString CInvalidActLog::filePathFor(const QString &programFolder, const QDate &date)
{
    return programFolder + QStringLiteral("InvalidAct-") + date.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".log");
}

void CInvalidActLog::queueLine(const QString &body)
{
    // Each line carries the moment it was meant for, also when it is written later.
    const QString stamp = CClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_waiting += (stamp + body).toUtf8() + "\r\n";
}

bool CInvalidActLog::writeWaiting()
{
    if (m_waiting.isEmpty()) {
        m_problem.clear();
        return true;
    }
    if (!m_file.isOpen()) {
        m_file.setFileName(m_path);
        // Append never truncates and always writes at the end, also when another run of the
        // program writes to the same file. Unbuffered: each write reaches the system at once,
        // and its result tells how much of the waiting text is on its way to the disk.
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            m_problem = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path), m_file.errorString());
            return false;
        }
    }
    while (!m_waiting.isEmpty()) {
        const qint64 written = m_file.write(m_waiting);
        if (written <= 0) {
            m_problem = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path), m_file.errorString());
            // Opened again at the next try: the file may have been replaced or its disk freed.
            m_file.close();
            return false;
        }
        m_waiting.remove(0, written);
    }
    m_problem.clear();
    return true;
}

bool CInvalidActLog::retry()
{
    return writeWaiting();
}

bool CInvalidActLog::writeRaised(const InvalidActFields &fields)
{
    if (m_path.isEmpty()) {
        m_path = filePathFor(m_folder, CClock::now().date());
        queueLine(QStringLiteral(" *** START ***"));
    }
    queueLine(fieldsBody(u'+', fields));
    qCInfo(lcZorvikLive, "Warning raised: %s %s (%s), %s at %s %s", qPrintable(fields.firstName),
           qPrintable(fields.lastName), qPrintable(fields.id), qPrintable(fields.activity), qPrintable(fields.date),
           qPrintable(fields.time));
    return writeWaiting();
}

bool CInvalidActLog::writeAcknowledged(const InvalidActFields &fields)
{
    if (m_path.isEmpty())
        return true;
    queueLine(fieldsBody(u'-', fields));
    qCInfo(lcZorvikLive, "Warning acknowledged: %s %s (%s), %s at %s %s", qPrintable(fields.firstName),
           qPrintable(fields.lastName), qPrintable(fields.id), qPrintable(fields.activity), qPrintable(fields.date),
           qPrintable(fields.time));
    return writeWaiting();
}
