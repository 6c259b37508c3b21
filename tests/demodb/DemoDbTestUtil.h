#pragma once

#include "demo/CDemoDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>

namespace demodbtest {

// A plain SQLite connection to a test database for the life of the object.
class Connection
{
public:
    explicit Connection(const QString &path)
    {
        static int counter = 0;
        m_name = QStringLiteral("tst-demodb-%1").arg(counter++);
        QString error;
        m_ok = CDemoDatabase::openConnection(m_name, path, &error);
        EXPECT_TRUE(m_ok) << error.toStdString();
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QString name() const { return m_name; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // Every row of a statement, the columns joined with "|"; null reads "<null>".
    QStringList rows(const QString &sql) const
    {
        QSqlQuery q(db());
        const bool ok = q.exec(sql);
        EXPECT_TRUE(ok) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) {
                const QVariant v = q.value(i);
                if (v.isNull())
                    cells << QStringLiteral("<null>");
                else if (v.typeId() == QMetaType::QByteArray)
                    cells << QString::fromLatin1(v.toByteArray().toHex());
                else
                    cells << v.toString();
            }
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QString value(const QString &sql) const
    {
        const QStringList r = rows(sql);
        return r.isEmpty() ? QString() : r.first();
    }
    int count(const QString &sql) const { return value(sql).toInt(); }
    bool exec(const QString &sql) const
    {
        QSqlQuery q(db());
        const bool ok = q.exec(sql);
        EXPECT_TRUE(ok) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return ok;
    }

private:
    QString m_name;
    bool m_ok = false;
};

inline CDemoDatabase::DemoOptions options(const QDateTime &now, bool fixedToday = true)
{
    CDemoDatabase::DemoOptions o;
    o.now = now;
    o.fixedToday = fixedToday;
    return o;
}

inline bool build(const QString &path, const CDemoDatabase::DemoOptions &o)
{
    QString error;
    const bool ok = CDemoDatabase::build(path, o, &error);
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}

} // namespace demodbtest
