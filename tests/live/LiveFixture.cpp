#include "LiveFixture.h"

#include "app/CClock.h"
#include "db/CDbThread.h"

#include <QSqlError>

namespace livetest {

void LiveFixture::SetUp()
{
    CClock::setFixed(testNow());
    m_path = m_dir.file("att.sqlite");
    m_settings = std::make_unique<CSettings>(m_dir.file("settings.ini"));
    m_ref = std::make_unique<CReferenceData>();
    m_live = std::make_unique<CLiveUpdate>(m_ref.get());
    m_panels = std::make_unique<CDocTemplate>(CDocTemplate::Panels, 1029);
    m_live->setTemplates(m_panels.get(), {});
    m_context = std::make_unique<CAppContext>(m_settings.get(), m_ref.get(), m_live.get(), m_dir.path());
    m_context->makeCurrent();
}

void LiveFixture::TearDown()
{
    m_live->stop();
    qDeleteAll(m_docs);
    m_docs.clear();
    m_context.reset();
    m_live.reset();
    m_ref.reset();
    QSqlDatabase::removeDatabase("livetest");
    CClock::reset();
}

void LiveFixture::makeDatabase(int employees)
{
    CDemoDatabase::DemoOptions o;
    o.employees = employees;
    o.historyDays = 3;
    o.now = testNow();
    o.fixedToday = true;
    QString error;
    ASSERT_TRUE(CDemoDatabase::build(m_path, o, &error)) << error.toStdString();
    m_employees.clear();
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "livetest");
    db.setDatabaseName(m_path);
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("select IDZaposlenog from tblZaposleni order by IDZaposlenog"));
    while (q.next())
        m_employees << q.value(0).toString();
}

bool LiveFixture::openReference(int *message)
{
    int m = 0;
    const bool ok = m_ref->open("Provider=SQLite;Data Source=" + m_path, &m);
    if (message)
        *message = m;
    if (ok)
        m_ref->buildMaps();
    return ok;
}

void LiveFixture::sql(const QString &statement)
{
    QSqlQuery q(QSqlDatabase::database("livetest"));
    ASSERT_TRUE(q.exec(statement)) << statement.toStdString() << ": " << q.lastError().text().toStdString();
}

QString LiveFixture::value(const QString &query)
{
    QSqlQuery q(QSqlDatabase::database("livetest"));
    if (!q.exec(query) || !q.next())
        return QString();
    return q.value(0).toString();
}

C_ZorvikDoc *LiveFixture::panel(const QStringList &employeeIds)
{
    auto *doc = new C_ZorvikDoc;
    m_panels->addDocument(doc);
    m_docs << doc;
    int row = 0;
    for (const QString &id : employeeIds)
        doc->addTablet("Last" + id, "First" + id, "0000" + id, id, QRect(0, 24 * row++, 168, 24));
    return doc;
}

bool LiveFixture::cycleAndPass()
{
    CDbThread cycle(m_ref.get(), 60);
    const bool ok = cycle.cycle();
    if (ok)
        m_live->OnMsgUpdateDocs(nullptr);
    return ok;
}

QString LiveFixture::employee(int index) const
{
    return m_employees.value(index);
}

} // namespace livetest
