#pragma once

#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"

#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

namespace presencetest {

// A demo attendance database in a temporary folder, the reference data opened on it with a
// current application context, and a second plain connection through which a test changes the
// data as the attendance system would.
class PresenceDb
{
public:
    explicit PresenceDb(int employees = 40)
    {
        static int serial = 0;
        m_path = m_dir.file(QStringLiteral("attendance.sqlite"));
        CDemoDatabase::DemoOptions o;
        o.employees = employees;
        o.historyDays = 0;
        o.photographs = false;
        o.now = QDateTime(QDate(2026, 3, 4), QTime(10, 30, 15));
        o.fixedToday = true;
        QString error;
        m_built = CDemoDatabase::build(m_path, o, &error);
        EXPECT_TRUE(m_built) << error.toStdString();
        m_writer = QStringLiteral("presence-writer-%1").arg(serial++);
        EXPECT_TRUE(CDemoDatabase::openConnection(m_writer, m_path, &error)) << error.toStdString();
        m_settings = std::make_unique<CSettings>(m_dir.file(QStringLiteral("zorvik.ini")));
        int message = -1;
        m_opened = m_reference.open(QStringLiteral("Provider=SQLite;Data Source=") + m_path, &message);
        EXPECT_TRUE(m_opened) << "message " << message << " " << m_reference.connection().lastErrorText().toStdString();
        m_reference.buildMaps();
        m_context = std::make_unique<CAppContext>(m_settings.get(), &m_reference, nullptr, m_dir.path());
        m_context->makeCurrent();
    }
    ~PresenceDb()
    {
        m_context.reset();
        m_reference.closeAll();
        QSqlDatabase::database(m_writer, false).close();
        QSqlDatabase::removeDatabase(m_writer);
    }

    bool ok() const { return m_built && m_opened; }
    CReferenceData &reference() { return m_reference; }
    CAppContext &context() { return *m_context; }
    QString path() const { return m_path; }

    bool exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_writer, false));
        const bool done = q.exec(sql);
        EXPECT_TRUE(done) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return done;
    }
    // Every row of a statement, columns joined with "|".
    QStringList rows(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_writer, false));
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QString value(const QString &sql)
    {
        const QStringList r = rows(sql);
        return r.isEmpty() ? QString() : r.first();
    }

    // What the polling thread does with the guests each cycle.
    bool reopenGuests()
    {
        QMutexLocker lock(&m_reference.dbMutex);
        return m_reference.reopen(CReferenceData::GuestCursor);
    }

private:
    testsupport::TempDir m_dir;
    QString m_path;
    QString m_writer;
    bool m_built = false;
    bool m_opened = false;
    std::unique_ptr<CSettings> m_settings;
    CReferenceData m_reference;
    std::unique_ptr<CAppContext> m_context;
};

} // namespace presencetest
