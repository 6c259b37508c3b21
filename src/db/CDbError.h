#pragma once

#include <QSqlError>
#include <QString>

// The error records that the database classes keep: a code in the form of the attendance
// system's data-access errors, its meaning, the source and the description.
class CDbError
{
public:
    // Codes in the data-access layer's numbering.
    static constexpr quint32 kUnspecified = 0x80004005;       // connection and other failures
    static constexpr quint32 kErrorsInCommand = 0x80040E14;   // a statement the database rejects
    static constexpr quint32 kItemNotFound = 0x800A0CC1;      // no field of that name
    static constexpr quint32 kObjectClosed = 0x800A0E78;      // operation on a closed object
    static constexpr quint32 kUnsupportedFilter = 0x800A0BB9; // a filter outside col = 'value' [and ...]

    static quint32 codeFor(const QSqlError &error);
    static QString codeMeaning(quint32 code);
    // "<className> Error\n\tCode = %08lx\n\tCode meaning = %s\n\tSource = %s\n\tDescription = %s\n"
    static QString format(const char *className, quint32 code, const QString &source, const QString &description);
    // The error's texts for the user; never empty.
    static QString describe(const QSqlError &error);
};
