#include "dialogs/CInvalidActLog.h"

#include "app/CClock.h"

#include <QDateTime>

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
    for (const QString *field : {&f.id, &f.lastName, &f.firstName, &f.date, &f.time, &f.activity})
        body += u' ' + oneLine(*field);
    return body;
}

} // namespace

CInvalidActLog::CInvalidActLog(const QString &programFolder) : m_folder(programFolder) {}

QString CInvalidActLog::filePath() const
{
    return m_file.isOpen() ? m_file.fileName() : QString();
}

QString CInvalidActLog::filePathFor(const QString &programFolder, const QDate &date)
{
    return programFolder + QStringLiteral("InvalidAct-") + date.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".log");
}

bool CInvalidActLog::ensureOpen()
{
    if (m_file.isOpen())
        return true;
    m_file.setFileName(filePathFor(m_folder, CClock::now().date()));
    // Append never truncates and always writes at the end, also when another run of the
    // program writes to the same file.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    writeLine(QStringLiteral(" *** START ***"));
    return true;
}

void CInvalidActLog::writeLine(const QString &body)
{
    if (!m_file.isOpen())
        return;
    const QString stamp = CClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_file.write((stamp + body).toUtf8() + "\r\n");
    m_file.flush();
}

void CInvalidActLog::writeRaised(const InvalidActFields &fields)
{
    if (ensureOpen())
        writeLine(fieldsBody(u'+', fields));
}

void CInvalidActLog::writeAcknowledged(const InvalidActFields &fields)
{
    writeLine(fieldsBody(u'-', fields));
}
