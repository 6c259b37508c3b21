#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The user-interface texts by key. Numeric keys are the program's string numbers; other
// keys ("menu.57600", "dlg.1032.title") name menu items and dialog texts. English is built
// in; a language library may replace any entry.
class CStringTable
{
public:
    static QString text(int id);
    static QString text(const QString &key);
    // The text of id with its first "%s" replaced by arg (message boxes name a file or a
    // connection string this way).
    static QString format(int id, const QString &arg);
    // Status-line part (before the line feed) and tooltip part (after it) of a command prompt.
    static QString statusText(int commandId);
    static QString toolTip(int commandId);

    // Replaces entries (a language library's table); an empty map restores English only.
    static void setOverrides(const QHash<QString, QString> &entries);
    static bool contains(const QString &key);
    // Every key of the built-in English set, sorted, and its English text (what a language
    // library has to cover).
    static QStringList builtInKeys();
    static QString builtInText(const QString &key);

    // Parses the "key<TAB>text" format of the built-in table.
    static QHash<QString, QString> parse(const QByteArray &utf8);
};

inline QString S(int id)
{
    return CStringTable::text(id);
}
