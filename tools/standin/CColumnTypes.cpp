#include "CColumnTypes.h"

#include "db/CSqliteCollation.h"

#include <limits>

namespace {

struct Declared
{
    const char *table;
    const char *column;
    CSqlServerType::Kind kind;
    int length;
};

// Where SQL Server's type is not what the SQLite declaration gives by default (integer: int,
// text: nvarchar, datetime: datetime, blob: image). Last names are varchar in the database's
// Windows-1250 collation, as older attendance installations keep them; first names stay
// nvarchar, so both kinds of text cross the wire.
const Declared kDeclared[] = {
    {"tblZaposleni", "Prezime", CSqlServerType::VarChar, 50},
    {"tblZaposleni", "Ime", CSqlServerType::NVarChar, 50},
    {"tblZaposleni", "RadiSubotom", CSqlServerType::Bit, 0},
    {"LogickaAktivnost", "Kalendarska", CSqlServerType::Bit, 0},
    {"tblReg", "Nevidljiva", CSqlServerType::Bit, 0},
    {"tblReg", "IDNo", CSqlServerType::VarChar, 10},
    {"tblMediaID", "IDNo", CSqlServerType::VarChar, 20},
    {"Sektor", "NazivSektora", CSqlServerType::NVarChar, 100},
    {"LogickaAktivnost", "OpisLogAkt", CSqlServerType::NVarChar, 100},
    {"tblRadniDan", "NazivDana", CSqlServerType::NVarChar, 50},
};

CSqlServerType fromDeclared(const QString &declared)
{
    const QString d = declared.toLower();
    if (d.contains(QLatin1String("int")))
        return {CSqlServerType::Int, 0};
    if (d.contains(QLatin1String("date")) || d.contains(QLatin1String("time")))
        return {CSqlServerType::DateTime, 0};
    if (d.contains(QLatin1String("blob")))
        return {CSqlServerType::Image, 0};
    if (d.contains(QLatin1String("real")) || d.contains(QLatin1String("floa")) || d.contains(QLatin1String("doub")))
        return {CSqlServerType::Float, 0};
    return {CSqlServerType::NVarChar, 255};
}

CSqlServerType fromValues(const std::vector<const QVariant *> &values)
{
    bool any = false, ints = true, numbers = true, dates = true, bytes = true;
    bool wide = false;
    qsizetype longest = 1;
    for (const QVariant *v : values) {
        if (v->isNull())
            continue;
        any = true;
        const int type = v->metaType().id();
        const bool isInt = type == QMetaType::LongLong;
        if (!isInt)
            ints = false;
        else if (v->toLongLong() > std::numeric_limits<qint32>::max() ||
                 v->toLongLong() < std::numeric_limits<qint32>::min())
            wide = true;
        if (!isInt && type != QMetaType::Double)
            numbers = false;
        if (type != QMetaType::QByteArray)
            bytes = false;
        if (type != QMetaType::QString || !CColumnTypes::isDateTimeText(v->toString()))
            dates = false;
        if (type == QMetaType::QString)
            longest = qMax(longest, v->toString().size());
    }
    if (!any)
        return {CSqlServerType::NVarChar, 1};
    if (ints)
        return {wide ? CSqlServerType::BigInt : CSqlServerType::Int, 0};
    if (numbers)
        return {CSqlServerType::Float, 0};
    if (bytes)
        return {CSqlServerType::Image, 0};
    if (dates)
        return {CSqlServerType::DateTime, 0};
    return {CSqlServerType::NVarChar, int(qMin<qsizetype>(4000, longest))};
}

} // namespace

bool CColumnTypes::isDateTimeText(const QString &t)
{
    static const char kShape[] = "dddd-dd-dd dd:dd:dd";
    const qsizetype n = sizeof kShape - 1;
    if (t.size() != n && !(t.size() > n + 1 && t.size() <= n + 4 && t.at(n) == u'.'))
        return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char want = i < n ? kShape[i] : (i == n ? '.' : 'd');
        if (want == 'd' ? !t.at(i).isDigit() : t.at(i) != QLatin1Char(want))
            return false;
    }
    return true;
}

CSqlServerType CColumnTypes::typeOf(const QString &table, const QString &column, const QString &declared,
                                    const std::vector<const QVariant *> &values, const QString &name)
{
    if (table.isEmpty() && CSqliteCollation::nameColumns().contains(name, Qt::CaseInsensitive)) {
        for (const Declared &d : kDeclared)
            if (name.compare(QLatin1String(d.column), Qt::CaseInsensitive) == 0)
                return {d.kind, d.length};
        return fromDeclared(QStringLiteral("text"));
    }
    if (!table.isEmpty()) {
        for (const Declared &d : kDeclared)
            if (table.compare(QLatin1String(d.table), Qt::CaseInsensitive) == 0 &&
                column.compare(QLatin1String(d.column), Qt::CaseInsensitive) == 0)
                return {d.kind, d.length};
        if (!declared.isEmpty())
            return fromDeclared(declared);
    }
    return fromValues(values);
}
