#pragma once

#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CDocTemplate.h"
#include "app/CSettings.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "live/CLiveUpdate.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>

namespace livetest {

// 4 March 2026, a Wednesday.
inline QDateTime testNow()
{
    return QDateTime(QDate(2026, 3, 4), QTime(10, 30, 15));
}

// A demo database in a temporary folder, the reference data opened on it, the live update,
// a panel template and the application context, as the program has them after start-up.
class LiveFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the database; tests that break it before opening call this with open = false.
    void makeDatabase(int employees = 30);
    bool openReference(int *message = nullptr);
    // Runs SQL on the database through a connection of the test's own.
    void sql(const QString &statement);
    QString value(const QString &query);
    // A panel holding tablets for the given employees.
    C_ZorvikDoc *panel(const QStringList &employeeIds);
    // One polling cycle on this thread, then the update pass.
    bool cycleAndPass();
    QString employee(int index) const;

    testsupport::TempDir m_dir;
    QString m_path;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CReferenceData> m_ref;
    std::unique_ptr<CLiveUpdate> m_live;
    std::unique_ptr<CDocTemplate> m_panels;
    std::unique_ptr<CAppContext> m_context;
    QList<C_ZorvikDoc *> m_docs;
    QStringList m_employees;
};

} // namespace livetest
