#include "db/CDbError.h"

quint32 CDbError::codeFor(const QSqlError &error)
{
    return error.type() == QSqlError::StatementError ? kErrorsInCommand : kUnspecified;
}

QString CDbError::codeMeaning(quint32 code)
{
    switch (code) {
    case kUnspecified:
        return QStringLiteral("Unspecified error");
    default:
        break;
    }
    if (code >= 0x80040201u && code <= 0x8004FFFFu)
        return QStringLiteral("IDispatch error #%1").arg(int(code & 0xFFFF) - 512);
    return QStringLiteral("Unknown error 0x%1").arg(QString::number(code, 16).toUpper());
}

QString CDbError::format(const char *className, quint32 code, const QString &source, const QString &description)
{
    return QStringLiteral("%1 Error\n\tCode = %2\n\tCode meaning = %3\n\tSource = %4\n\tDescription = %5\n")
        .arg(QLatin1String(className))
        .arg(code, 8, 16, QLatin1Char('0'))
        .arg(codeMeaning(code), source, description);
}

QString CDbError::describe(const QSqlError &error)
{
    QString d = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (d.isEmpty())
        d = driver;
    else if (!driver.isEmpty() && !d.contains(driver))
        d = driver + QStringLiteral(": ") + d;
    // A failure is never reported as nothing: an empty text would read as no failure at all.
    if (d.isEmpty())
        d = QStringLiteral("The database reported a failure without a description.");
    return d;
}
