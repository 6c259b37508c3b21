#pragma once

#include <QString>
#include <QStringList>

// The one rule by which a typed search finds a person in any list or on a panel: every word
// typed must appear somewhere in the person's texts (last name, first name, card number,
// department), ignoring case and diacritics, so that "dordevic" finds "Đorđević".
class CTextMatch
{
public:
    // The role under which a list model gives a row's searchable texts, already folded.
    static constexpr int SearchRole = 0x0100 + 100; // Qt::UserRole + 100
    // The role under which a list model gives the value a column sorts by (a date-time for
    // dates); the display text when a model gives none.
    static constexpr int SortRole = 0x0100 + 101;

    // Lower case without diacritics ("Đorđević" gives "dordevic").
    static QString fold(const QString &text);
    // The folded texts of a row, joined for searching.
    static QString searchText(const QStringList &texts);
    // The folded words of a search.
    static QStringList words(const QString &query);
    // Whether every word is in the folded text; no words match everything.
    static bool matches(const QString &foldedText, const QStringList &words);
    static bool matches(const QStringList &texts, const QString &query);
};
