#include "db/CSqliteCollation.h"

#include "app/CNameOrder.h"

#include <QCollator>
#include <QList>
#include <QLocale>

#include <string>
#include <string_view>
#include <unordered_map>

#include <sqlite3.h>

namespace {

QStringView withoutTrailingBlanks(QStringView s)
{
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}

bool sameLetter(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// One element of a LIKE pattern.
struct Element
{
    enum Kind
    {
        AnyRun, // %
        AnyOne, // _
        Set,    // [...]
        Letter
    } kind = Letter;
    QChar letter;
    bool negated = false;
    QList<QPair<QChar, QChar>> ranges; // a single letter is a range of one
};

QList<Element> parsePattern(QStringView p, QChar escape)
{
    QList<Element> out;
    for (qsizetype i = 0; i < p.size(); ++i) {
        Element e;
        const QChar c = p.at(i);
        if (!escape.isNull() && c == escape && i + 1 < p.size()) {
            e.letter = p.at(++i);
        } else if (c == u'%') {
            e.kind = Element::AnyRun;
        } else if (c == u'_') {
            e.kind = Element::AnyOne;
        } else if (c == u'[' && p.indexOf(u']', i + 2) > i) {
            const qsizetype close = p.indexOf(u']', i + 2);
            QStringView inside = p.mid(i + 1, close - i - 1);
            e.kind = Element::Set;
            if (inside.startsWith(u'^') && inside.size() > 1) {
                e.negated = true;
                inside = inside.mid(1);
            }
            for (qsizetype k = 0; k < inside.size(); ++k) {
                if (k + 2 < inside.size() && inside.at(k + 1) == u'-') {
                    e.ranges.append({inside.at(k), inside.at(k + 2)});
                    k += 2;
                } else {
                    e.ranges.append({inside.at(k), inside.at(k)});
                }
            }
            i = close;
        } else {
            e.letter = c;
        }
        out.append(e);
    }
    return out;
}

bool matchesOne(const Element &e, QChar c)
{
    switch (e.kind) {
    case Element::AnyOne:
        return true;
    case Element::Letter:
        return sameLetter(e.letter, c);
    case Element::Set: {
        bool in = false;
        for (const auto &r : e.ranges) {
            in = r.first == r.second
                     ? sameLetter(r.first, c)
                     : CSqliteCollation::compare(QStringView(&r.first, 1), QStringView(&c, 1)) <= 0 &&
                           CSqliteCollation::compare(QStringView(&c, 1), QStringView(&r.second, 1)) <= 0;
            if (in)
                break;
        }
        return in != e.negated;
    }
    case Element::AnyRun:
        break;
    }
    return false;
}

// The usual wildcard walk: a "%" remembers where to come back to when what follows it fails.
bool matches(const QList<Element> &pattern, QStringView text)
{
    qsizetype p = 0, t = 0, runAt = -1, runText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern.at(p).kind == Element::AnyRun) {
            runAt = ++p;
            runText = t;
        } else if (p < pattern.size() && matchesOne(pattern.at(p), text.at(t))) {
            ++p;
            ++t;
        } else if (runAt >= 0) {
            p = runAt;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p).kind == Element::AnyRun)
        ++p;
    return p == pattern.size();
}

QStringView utf16(const void *data, int bytes)
{
    return QStringView(static_cast<const char16_t *>(data), bytes / 2);
}

// Sorting compares the same few thousand names again and again: each name's sort key is made
// once (per thread: each thread's connection sorts on its own thread) and compared thereafter,
// which costs little more than comparing bytes.
class SortKeys
{
public:
    int compare(std::string_view a, std::string_view b)
    {
        // Emptied before, never between, the two look-ups: the first key must stay valid.
        if (m_keys.size() + 2 > kMostKeys)
            m_keys.clear();
        return key(a).compare(key(b));
    }

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    const QCollatorSortKey &key(std::string_view utf8)
    {
        while (!utf8.empty() && utf8.back() == ' ')
            utf8.remove_suffix(1);
        auto it = m_keys.find(utf8);
        if (it == m_keys.end()) {
            it = m_keys
                     .emplace(std::string(utf8),
                              CNameOrder::sortKey(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))))
                     .first;
        }
        return it->second;
    }

    static constexpr size_t kMostKeys = 200000;
    std::unordered_map<std::string, QCollatorSortKey, Hash, std::equal_to<>> m_keys;
};

int collate(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    thread_local SortKeys keys;
    return keys.compare(std::string_view(static_cast<const char *>(a), size_t(lengthA)),
                        std::string_view(static_cast<const char *>(b), size_t(lengthB)));
}

QStringView argument(sqlite3_value *v)
{
    const void *text = sqlite3_value_text16(v);
    return text ? utf16(text, sqlite3_value_bytes16(v)) : QStringView();
}

// like(pattern, text [, escape]): what SQLite calls for "text like pattern [escape e]".
void likeFunction(sqlite3_context *context, int count, sqlite3_value **values)
{
    for (int i = 0; i < count; ++i) {
        if (sqlite3_value_type(values[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const QStringView escape = count > 2 ? argument(values[2]) : QStringView();
    if (count > 2 && escape.size() != 1) {
        sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
        return;
    }
    sqlite3_result_int(context, CSqliteCollation::like(argument(values[0]), argument(values[1]),
                                                       escape.isEmpty() ? QChar() : escape.front()));
}

QString identifier(const QString &name)
{
    return u'[' + name + u']';
}

} // namespace

const QStringList &CSqliteCollation::nameColumns()
{
    static const QStringList columns{QStringLiteral("Prezime"),       QStringLiteral("Ime"),
                                     QStringLiteral("NazivSektora"),  QStringLiteral("OpisLogAkt"),
                                     QStringLiteral("NazivGrupe"),    QStringLiteral("NazivDana"),
                                     QStringLiteral("NazivPraznika"), QStringLiteral("PartnerFullName"),
                                     QStringLiteral("GuestName"),     QStringLiteral("ReasonDescription"),
                                     QStringLiteral("LastName"),      QStringLiteral("FirstName")};
    return columns;
}

int CSqliteCollation::compare(QStringView a, QStringView b)
{
    return CNameOrder::compare(a, b);
}

bool CSqliteCollation::like(QStringView pattern, QStringView text, QChar escape)
{
    const QList<Element> elements = parsePattern(pattern, escape);
    return matches(elements, text) || matches(elements, withoutTrailingBlanks(text));
}

bool CSqliteCollation::install(sqlite3 *db, QString *error)
{
    auto fail = [&](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(db)));
        return false;
    };
    // The objects first: the query below uses the built-in like().
    QList<QPair<QString, QStringList>> objects;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db,
                           "select name from main.sqlite_master where type in ('table', 'view') and name not like "
                           "'sqlite\\_%' escape '\\' order by name",
                           -1, &st, nullptr) != SQLITE_OK)
        return fail("listing the tables");
    while (sqlite3_step(st) == SQLITE_ROW)
        objects.append({QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))), {}});
    sqlite3_finalize(st);
    for (auto &object : objects) {
        const QByteArray sql = QStringLiteral("pragma main.table_info(%1)").arg(identifier(object.first)).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            return fail("reading the columns");
        while (sqlite3_step(st) == SQLITE_ROW)
            object.second << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
        sqlite3_finalize(st);
    }

    if (sqlite3_create_collation_v2(db, Name, SQLITE_UTF8, nullptr, collate, nullptr) != SQLITE_OK)
        return fail("registering the collation");
    for (int arguments : {2, 3})
        if (sqlite3_create_function_v2(db, "like", arguments, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                                       likeFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
            return fail("registering like()");

    for (const auto &[name, columns] : std::as_const(objects)) {
        bool named = false;
        QStringList list;
        for (const QString &c : columns) {
            if (nameColumns().contains(c, Qt::CaseInsensitive)) {
                named = true;
                list << QStringLiteral("%1 collate %2 as %1").arg(identifier(c), QLatin1String(Name));
            } else {
                list << identifier(c);
            }
        }
        if (!named)
            continue;
        const QByteArray sql = QStringLiteral("create temp view if not exists %1 as select %2 from main.%1")
                                   .arg(identifier(name), list.join(QStringLiteral(", ")))
                                   .toUtf8();
        if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return fail("making the collated views");
    }
    return true;
}
