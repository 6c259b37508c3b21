#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An ODBC connection string as an ordered list of "key=value;" pairs. Values in braces may
// hold semicolons. Keys compare without regard to case; pairs the program does not know are
// kept in place, so that editing one field never loses what a user typed by hand.
class CConnectionString
{
public:
    struct Pair
    {
        QString key;
        QString value;
    };

    CConnectionString() = default;
    explicit CConnectionString(const QString &text);

    const QList<Pair> &pairs() const { return m_pairs; }
    // The value of the first of keys that is present (aliases such as "UID" and "User ID").
    QString value(const QStringList &keys) const;
    QString value(const QString &key) const { return value(QStringList{key}); }
    bool contains(const QStringList &keys) const;
    // Replaces the value of the first of keys that is present, or appends keys.first(); an
    // empty value removes every one of keys.
    void setValue(const QStringList &keys, const QString &value);
    void setValue(const QString &key, const QString &value) { setValue(QStringList{key}, value); }
    QString toString() const;

    // The text with every password value replaced by kMask, the rest left exactly as it was.
    static QString masked(const QString &text);
    // A message (a driver's error, say) with every password of connectionString hidden: the
    // string's own text by position, a password elsewhere only where it stands as a whole word
    // (between blanks, quotes or the "=" and ";" of a connection string), so that a short one does
    // not eat the driver's own words.
    static QString hidePasswords(const QString &message, const QString &connectionString);
    static bool isPasswordKey(const QString &key);
    // "driver, server:port, database" for a connection string, or the SQLite file; never the
    // password. Empty for a string that names no usable source.
    static QString describe(const QString &text);
    // A value as it must be written: in braces when it holds ";", braces or edge blanks.
    static QString quoted(const QString &value);

    static const QStringList &serverKeys();
    static const QStringList &userKeys();
    static const QStringList &passwordKeys();
    static const QStringList &databaseKeys();
    static inline const QString kMask = QStringLiteral("********");

private:
    struct Span
    {
        Pair pair;
        qsizetype valueStart = 0; // the value as written, braces included
        qsizetype valueEnd = 0;
    };
    static QList<Span> scan(const QString &text);

    QList<Pair> m_pairs;
};
