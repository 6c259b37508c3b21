#pragma once

#include <QByteArray>
#include <QString>

// The SQL Server type a column is sent with: what the attendance database declares, not what
// SQLite happens to keep.
struct CSqlServerType
{
    enum Kind
    {
        Int,
        BigInt,
        Bit,
        Float,
        DateTime,
        NVarChar,
        VarChar, // single-byte text in the Serbian collation (code page 1250)
        Image
    };

    Kind kind = NVarChar;
    int length = 4000; // characters, for the two text kinds

    // Serbian_Latin_100_CI_AS: locale 0x081A, case-, kana- and width-insensitive, version 1,
    // no SQL sort order. The database default and every text column use it.
    static QByteArray collation();
};
