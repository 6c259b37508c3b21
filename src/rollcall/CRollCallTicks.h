#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

// The roll call's ticks of one day, "RollCall-YYYYMMDD.txt" beside the warning log: one key a
// line, UTF-8 (a file in Windows-1250 is read as such). The whole file is written again,
// atomically, at every tick, so that a crash or a restart loses none and a failed write leaves
// the previous file whole.
//
// A tick made on a phone also gets a line "key<TAB>warden<TAB>yyyy-MM-ddTHH:mm:ss" after the
// plain keys. Older programs take a whole line as a key, so the plain key line stays: they
// still read every tick, and the attribution line is a key that matches nobody for them.
//
// Keys come from the database and may hold a tab, a line feed or blanks at either end. When one
// does, the file starts with the line kEscapedMark, every key and warden in it is escaped
// ("\\", "\t", "\n", "\r") and its lines are not trimmed; without the mark a line is read as
// older programs wrote it, so an old file keeps its meaning even where a key holds a backslash.
class CRollCallTicks
{
public:
    // Who ticked a person, and when; an empty warden is the desk.
    struct Attribution
    {
        QString warden;
        QDateTime at;
        bool operator==(const Attribution &) const = default;
    };
    using Attributions = QHash<QString, Attribution>;

    // folder ends with a separator.
    static QString filePathFor(const QString &folder, const QDate &date);
    // An absent or unreadable file holds no ticks. Attributions of keys that are not ticked
    // (an older program removed the plain line) are dropped.
    static QSet<QString> load(const QString &path, Attributions *attributions = nullptr);
    // Only attributions with a warden are written: without any, the file is the old format.
    static bool save(const QString &path, const QSet<QString> &ticks, QString *error,
                     const Attributions &attributions = {});
    // The file's text, both ways.
    static QSet<QString> parse(const QByteArray &bytes, Attributions *attributions = nullptr);
    static QByteArray encode(const QSet<QString> &ticks, const Attributions &attributions = {});
    // A warden's name as it may be stored: no control characters, no direction overrides or
    // invisible characters, blanks run together and trimmed, at most kMaxWarden UTF-16 units
    // without cutting a character in half.
    static QString cleanWarden(const QString &name);

    static constexpr qsizetype kMaxWarden = 40;
    static constexpr const char *kEscapedMark = "\\zorvik-escaped";
};
