#pragma once

#include <QCollatorSortKey>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <tuple>
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
    // A sort key per distinct text (lists repeat departments and names), each item holding the
    // numbers of its texts' keys; then the items in the order of their keys. Few, flat
    // allocations: a list of tens of thousands is sorted on a worker whose memory stays with it.
    constexpr size_t kTexts = std::tuple_size_v<decltype(texts(std::declval<const T &>()))>;
    const size_t n = size_t(items.size());
    std::vector<QCollatorSortKey> keys;
    std::vector<quint32> keyOf(n * kTexts);
    {
        QHash<QString, quint32> known;
        for (size_t i = 0; i < n; ++i) {
            const auto itemTexts = texts(items.at(qsizetype(i)));
            for (size_t k = 0; k < kTexts; ++k) {
                const QString &t = itemTexts[k];
                auto it = known.constFind(t);
                if (it == known.cend()) {
                    it = known.insert(t, quint32(keys.size()));
                    keys.push_back(sortKey(t));
                }
                keyOf[i * kTexts + k] = *it;
            }
        }
    }
    std::vector<quint32> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        for (size_t k = 0; k < kTexts; ++k) {
            const quint32 ka = keyOf[a * kTexts + k], kb = keyOf[b * kTexts + k];
            if (ka != kb)
                if (const int c = keys[ka].compare(keys[kb]); c != 0)
                    return c < 0;
        }
        return false;
    });
    keys = {};
    keyOf = {};
    QList<T> sorted;
    sorted.reserve(items.size());
    for (quint32 i : order)
        sorted.append(std::move(items[qsizetype(i)]));
    items = std::move(sorted);
}
