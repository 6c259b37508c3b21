#pragma once

#include <QCollatorSortKey>
#include <QList>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <utility>
#include <vector>

// The order of names shown to people: as Serbian Latin readers expect it (C, Č, Ć, D, Dž, Đ ...
// L, Lj ... N, Nj ... S, Š ... Z, Ž), without regard to case or to trailing blanks, whatever the
// interface language (the names are Serbian). Keys are never ordered by this: they keep the order
// of their code points, and lists the database orders keep the database's order.
class CNameOrder
{
public:
    // Below, equal to or above zero as the order puts a and b. Any thread.
    static int compare(QStringView a, QStringView b);
    static bool less(const QString &a, const QString &b) { return compare(a, b) < 0; }
    // For sorting many names: keys compare with compare() as the names do. Any thread.
    static QCollatorSortKey sortKey(const QString &name);
    // People by last name, then first name, then (for namesakes) key by code point: the order of
    // an arrangement of tablets.
    static bool lessPerson(const QString &lastA, const QString &firstA, const QString &keyA, const QString &lastB,
                           const QString &firstB, const QString &keyB);
    // Sorts items by the name texts of each (compared in turn), keeping the order of equals. For
    // many items: each text's sort key is made once.
    template <class T, class Texts> static void sort(QList<T> &items, Texts texts);
};

template <class T, class Texts> void CNameOrder::sort(QList<T> &items, Texts texts)
{
    // A sort key per text, then the items in the order of their keys.
    std::vector<std::pair<std::vector<QCollatorSortKey>, qsizetype>> keyed;
    keyed.reserve(size_t(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
        std::vector<QCollatorSortKey> keys;
        for (const QString &t : texts(items.at(i)))
            keys.push_back(sortKey(t));
        keyed.emplace_back(std::move(keys), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        for (size_t k = 0; k < a.first.size() && k < b.first.size(); ++k)
            if (const int c = a.first[k].compare(b.first[k]); c != 0)
                return c < 0;
        return a.first.size() < b.first.size();
    });
    QList<T> sorted;
    sorted.reserve(items.size());
    for (const auto &k : keyed)
        sorted.append(std::move(items[k.second]));
    items = std::move(sorted);
}
