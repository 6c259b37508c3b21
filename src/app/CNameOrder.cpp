#include "app/CNameOrder.h"

#include <QCollator>
#include <QLocale>

namespace {

QStringView withoutTrailingBlanks(QStringView s)
{
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}

// A collator per thread: lists are made on worker threads as well as on the interface thread.
const QCollator &collator()
{
    thread_local const QCollator c = [] {
        QCollator made(QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia));
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return c;
}

} // namespace

int CNameOrder::compare(QStringView a, QStringView b)
{
    return collator().compare(withoutTrailingBlanks(a), withoutTrailingBlanks(b));
}

QCollatorSortKey CNameOrder::sortKey(const QString &name)
{
    return collator().sortKey(withoutTrailingBlanks(name).toString());
}

bool CNameOrder::lessPerson(const QString &lastA, const QString &firstA, const QString &keyA, const QString &lastB,
                            const QString &firstB, const QString &keyB)
{
    if (const int c = compare(lastA, lastB); c != 0)
        return c < 0;
    if (const int c = compare(firstA, firstB); c != 0)
        return c < 0;
    return keyA < keyB;
}
