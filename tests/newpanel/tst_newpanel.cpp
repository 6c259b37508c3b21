// The new-panel dialog against a real SQLite attendance database, on the offscreen platform.
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CNameOrder.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "db/CDbCursor.h"
#include "db/CReferenceData.h"
#include "db/CSqliteCollation.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CCheckListModel.h"
#include "dialogs/CD_New.h"
#include "dialogs/CPrompt.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QTreeView>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

using IdSet = std::set<QString>;

class NewPanelDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dbPath = m_dir.file(QStringLiteral("attendance.sqlite"));
        CDemoDatabase::DemoOptions o;
        o.seed = 7;
        o.departments = 4;
        o.employees = 40;
        o.historyDays = 0;
        o.photographs = false;
        o.now = QDateTime(QDate(2026, 3, 10), QTime(10, 0));
        QString error;
        ASSERT_TRUE(CDemoDatabase::build(m_dbPath, o, &error)) << error.toStdString();

        m_sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tst-newpanel"));
        m_sql.setDatabaseName(m_dbPath);
        ASSERT_TRUE(m_sql.open());

        int message = -1;
        ASSERT_TRUE(m_ref.open(QStringLiteral("Provider=SQLite;Data Source=") + m_dbPath, &message)) << message;
        m_ref.buildMaps();
        ASSERT_EQ(m_ref.departmentMap.size(), 4u);

        m_settings = std::make_unique<CSettings>(m_dir.file(QStringLiteral("settings.ini")));
        m_ctx = std::make_unique<CAppContext>(m_settings.get(), &m_ref, nullptr, m_dir.path());
        m_ctx->makeCurrent();
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
    }

    void TearDown() override
    {
        CPrompt::clearQueue();
        m_docs.clear();
        m_ctx.reset();
        m_ref.closeAll();
        m_sql.close();
        m_sql = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("tst-newpanel"));
    }

    // The answers, straight from the database.
    QStringList column(const QString &sql)
    {
        QSqlQuery q(m_sql);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }
    IdSet employeesOf(const QStringList &departments)
    {
        const QStringList ids = column(
            QStringLiteral("select IDZaposlenog from viewPhoto where IDSektora in (%1)").arg(departments.join(u',')));
        return IdSet(ids.begin(), ids.end());
    }
    int employeeCount() { return column(QStringLiteral("select count(*) from viewPhoto")).value(0).toInt(); }

    CD_New::PanelFactory factory()
    {
        return [this](const QString &title) {
            m_factoryTitles << title;
            m_docs.push_back(std::make_unique<C_ZorvikDoc>());
            return CD_New::NewPanel{m_docs.back().get(), QSize(900, 600)};
        };
    }

    static IdSet tabletIds(const C_ZorvikDoc *doc)
    {
        IdSet out;
        for (CTablet *t : doc->tablets())
            out.insert(t->employeeId);
        return out;
    }

    template <class T> static T *child(QWidget *dlg, const char *name)
    {
        T *w = dlg->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QAbstractItemModel *employeeModel(QWidget *dlg) { return child<QTreeView>(dlg, "employeeList")->model(); }
    static int rowOf(QAbstractItemModel *m, const QString &id)
    {
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 3).data().toString() == id)
                return r;
        return -1;
    }
    static bool isChecked(QAbstractItemModel *m, int row)
    {
        return m->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    static IdSet listedIds(QAbstractItemModel *m)
    {
        IdSet out;
        for (int r = 0; r < m->rowCount(); ++r)
            out.insert(m->index(r, 3).data().toString());
        return out;
    }
    static IdSet checkedIds(QAbstractItemModel *m)
    {
        IdSet out;
        for (int r = 0; r < m->rowCount(); ++r)
            if (isChecked(m, r))
                out.insert(m->index(r, 3).data().toString());
        return out;
    }
    // Toggles a row's check box the way the user does with the keyboard.
    static void toggleWithSpace(QWidget *dlg, int row)
    {
        auto *view = child<QTreeView>(dlg, "employeeList");
        view->setCurrentIndex(view->model()->index(row, 0));
        QTest::keyClick(view, Qt::Key_Space);
    }
    static void checkDepartment(QWidget *dlg, const QString &departmentId)
    {
        auto *view = child<QTreeView>(dlg, "departmentList");
        QAbstractItemModel *m = view->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 0).data(CCheckListModel::KeyRole).toString() == departmentId) {
                ASSERT_TRUE(m->setData(m->index(r, 0), Qt::Checked, Qt::CheckStateRole));
            }
    }
    static void chooseFilterEntry(CD_New &dlg, const QString &departmentId)
    {
        auto *combo = child<QComboBox>(&dlg, "departmentFilter");
        combo->setCurrentIndex(combo->findData(departmentId));
        dlg.departmentFilterChanged();
    }

    // Everybody else reads the shared employee cursor unfiltered.
    void expectCursorUnfiltered()
    {
        CDbCursor *emp = m_ref.cursor(CReferenceData::EmployeeCursor);
        ASSERT_TRUE(emp && emp->isOpen());
        EXPECT_EQ(emp->recordCount(), employeeCount());
    }

    testsupport::TempDir m_dir;
    QString m_dbPath;
    QSqlDatabase m_sql;
    CReferenceData m_ref;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CAppContext> m_ctx;
    std::vector<std::unique_ptr<C_ZorvikDoc>> m_docs;
    QStringList m_factoryTitles;
};

TEST_F(NewPanelDialog, ListsEveryEmployeeWithMediaNumberAndEveryDepartment)
{
    CD_New dlg(factory());
    QAbstractItemModel *m = employeeModel(&dlg);
    ASSERT_EQ(m->rowCount(), employeeCount());
    EXPECT_EQ(m->columnCount(), 4);
    // Rows in the cursor's order, by name as the attendance database's collation orders them;
    // the media number is characters 7 to 14 of IDNo, upper-cased.
    QStringList expected = column(QStringLiteral(
        "select Prezime || '|' || Ime || '|' || upper(substr(IDNo, 7, 8)) || '|' || IDZaposlenog from viewPhoto"));
    std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        for (int field : {0, 1})
            if (const int c = CSqliteCollation::compare(a.section(u'|', field, field), b.section(u'|', field, field)))
                return c < 0;
        return a.section(u'|', 3, 3).toInt() < b.section(u'|', 3, 3).toInt();
    });
    bool sawLowerCaseSource = false;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << m->index(r, c).data().toString();
        EXPECT_EQ(cells.join(u'|'), expected.value(r)) << r;
        EXPECT_FALSE(isChecked(m, r));
    }
    for (const QString &idNo : column(QStringLiteral("select IDNo from viewPhoto")))
        sawLowerCaseSource |= idNo.mid(6, 8) != idNo.mid(6, 8).toUpper();
    EXPECT_TRUE(sawLowerCaseSource) << "the data does not exercise the upper-casing";

    // Filter: "All" first, then the departments in identifier order; the list shows the same.
    auto *combo = child<QComboBox>(&dlg, "departmentFilter");
    QAbstractItemModel *deps = child<QTreeView>(&dlg, "departmentList")->model();
    ASSERT_EQ(combo->count(), int(m_ref.departmentMap.size()) + 1);
    EXPECT_EQ(combo->itemText(0), S(1031));
    EXPECT_EQ(combo->currentIndex(), 0);
    int i = 1;
    for (const auto &[id, name] : m_ref.departmentMap) {
        EXPECT_EQ(combo->itemText(i), name);
        EXPECT_EQ(combo->itemData(i).toString(), id);
        EXPECT_EQ(deps->index(i - 1, 0).data().toString(), name);
        EXPECT_EQ(deps->index(i - 1, 0).data(CCheckListModel::KeyRole).toString(), id);
        ++i;
    }
    expectCursorUnfiltered();
}

// The employee list finds people as the user types (any part of a name, card number or
// department, without diacritics), says how many, forgets the search on Escape, and sorts by
// the column clicked, keeping that order when the list is read again.
TEST_F(NewPanelDialog, EmployeeListSearchesAndSorts)
{
    const QString id = column(QStringLiteral("select IDZaposlenog from tblZaposleni order by IDZaposlenog")).value(0);
    QSqlQuery rename(m_sql);
    ASSERT_TRUE(rename.exec(
        QStringLiteral("update tblZaposleni set Prezime = 'Đorđević', Ime = 'Šćepan' where IDZaposlenog = ") + id))
        << rename.lastError().text().toStdString();
    CD_New dlg(factory());
    dlg.show();
    QAbstractItemModel *m = employeeModel(&dlg);
    auto *search = child<QLineEdit>(&dlg, "searchEdit");
    QTest::keyClicks(search, QStringLiteral("dordevic scep"));
    // The table is read again off the interface thread: the new name shows when it arrives.
    ASSERT_TRUE(testsupport::waitFor([&] { return m->rowCount() == 1; }, 10000));
    EXPECT_EQ(m->index(0, 3).data().toString(), id);
    EXPECT_EQ(child<QLabel>(&dlg, "searchCount")->text(), QStringLiteral("1 of %1").arg(employeeCount()));
    // A department's name and a card number find their people too.
    const QString department = column(QStringLiteral("select s.NazivSektora from tblZaposleni z join Sektor s on "
                                                     "s.IDSektora = z.IDSektora where z.IDZaposlenog = ") +
                                      id)
                                   .value(0);
    search->setText(department.toUpper());
    EXPECT_EQ(m->rowCount(), column(QStringLiteral("select count(*) from tblZaposleni z join Sektor s on s.IDSektora "
                                                   "= z.IDSektora where s.NazivSektora = '%1'")
                                        .arg(department))
                                 .value(0)
                                 .toInt());
    const QString card =
        column(QStringLiteral("select upper(substr(IDNo, 7, 8)) from viewPhoto where IDZaposlenog = ") + id).value(0);
    search->setText(card.toLower());
    EXPECT_EQ(listedIds(m), IdSet{id});
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(m->rowCount(), employeeCount());

    // Sorted by first name on a click, the other way on a second; kept after a re-read.
    auto *view = child<QTreeView>(&dlg, "employeeList");
    QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                      QPoint(view->header()->sectionViewportPosition(1) + 5, view->header()->height() / 2));
    QStringList firstNames;
    for (int r = 0; r < m->rowCount(); ++r)
        firstNames << m->index(r, 1).data().toString();
    QStringList sorted = firstNames;
    std::stable_sort(sorted.begin(), sorted.end(), CNameOrder::less);
    EXPECT_EQ(firstNames, sorted);
    chooseFilterEntry(dlg, QString());
    QStringList again;
    for (int r = 0; r < m->rowCount(); ++r)
        again << m->index(r, 1).data().toString();
    EXPECT_EQ(again, sorted);
}

TEST_F(NewPanelDialog, CheckSurvivesFilterChangesAndAll)
{
    CD_New dlg(factory());
    dlg.show();
    QAbstractItemModel *m = employeeModel(&dlg);
    const QString first = m_ref.departmentMap.begin()->first;
    const QString second = std::next(m_ref.departmentMap.begin())->first;
    const IdSet ofFirst = employeesOf({first});
    ASSERT_FALSE(ofFirst.empty());
    const QString picked = *ofFirst.begin();

    toggleWithSpace(&dlg, rowOf(m, picked));
    ASSERT_TRUE(isChecked(m, rowOf(m, picked)));

    // The filter keeps only that department's employees, and leaves the cursor unfiltered.
    auto *combo = child<QComboBox>(&dlg, "departmentFilter");
    combo->setFocus();
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Down); // the user moves to the first department
    ASSERT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(listedIds(m), ofFirst);
    EXPECT_TRUE(isChecked(m, rowOf(m, picked)));
    expectCursorUnfiltered();

    chooseFilterEntry(dlg, second);
    EXPECT_EQ(listedIds(m), employeesOf({second}));
    EXPECT_EQ(rowOf(m, picked), -1);
    expectCursorUnfiltered();

    chooseFilterEntry(dlg, QString());
    EXPECT_EQ(m->rowCount(), employeeCount());
    EXPECT_EQ(checkedIds(m), IdSet{picked});
    EXPECT_TRUE(dlg.checkMap().at(picked));

    // "Check all" acts on the rows shown; the marks reach the other rows only through the filter.
    chooseFilterEntry(dlg, second);
    QTest::mouseClick(child<QPushButton>(&dlg, "employeesCheckAll"), Qt::LeftButton);
    chooseFilterEntry(dlg, QString());
    IdSet expected = employeesOf({second});
    expected.insert(picked);
    EXPECT_EQ(checkedIds(m), expected);
    QTest::mouseClick(child<QPushButton>(&dlg, "employeesUncheckAll"), Qt::LeftButton);
    EXPECT_TRUE(checkedIds(m).empty());
    expectCursorUnfiltered();
}

TEST_F(NewPanelDialog, ListIsReReadFromTheTableAndNewcomersKeepTheirMarks)
{
    CD_New dlg(factory());
    const QString dep = m_ref.departmentMap.begin()->first;
    QSqlQuery q(m_sql);
    // One change, as the attendance system makes it: the dialog reads the table meanwhile.
    ASSERT_TRUE(m_sql.transaction());
    ASSERT_TRUE(q.exec(QStringLiteral("insert into tblZaposleni (IDZaposlenog, Prezime, Ime, IDSektora) values "
                                      "(9999, 'O''Neill', 'Ann', %1)")
                           .arg(dep)));
    ASSERT_TRUE(q.exec(QStringLiteral("insert into tblMediaID (IDMedia, IDZaposlenog, IDNo, VaziOd) values "
                                      "(99999, 9999, 'ab12cd3456ef78gh90', '2020-01-01 00:00:00')")));
    ASSERT_TRUE(m_sql.commit());

    chooseFilterEntry(dlg, dep);
    QAbstractItemModel *m = employeeModel(&dlg);
    // Read off the interface thread: the list follows when the rows arrive.
    ASSERT_TRUE(testsupport::waitFor([&] { return rowOf(m, QStringLiteral("9999")) >= 0; }, 10000))
        << "the list is not read again from the table";
    const int row = rowOf(m, QStringLiteral("9999"));
    EXPECT_EQ(m->index(row, 0).data().toString(), QStringLiteral("O'Neill"));
    EXPECT_EQ(m->index(row, 2).data().toString(), QStringLiteral("3456EF78"));
    toggleWithSpace(&dlg, row);

    chooseFilterEntry(dlg, QString());
    EXPECT_EQ(m->rowCount(), employeeCount());
    EXPECT_EQ(checkedIds(m), IdSet{QStringLiteral("9999")});
    expectCursorUnfiltered();
}

TEST_F(NewPanelDialog, DepartmentsModeCreatesExactlyTheirEmployees)
{
    CD_New dlg(factory());
    dlg.show();
    auto it = m_ref.departmentMap.begin();
    const QString a = it->first, b = std::next(it, 2)->first, other = std::next(it)->first;
    const QString byHand = *employeesOf({other}).begin();
    QAbstractItemModel *m = employeeModel(&dlg);
    toggleWithSpace(&dlg, rowOf(m, byHand));

    QTest::mouseClick(child<QRadioButton>(&dlg, "modeDepartments"), Qt::LeftButton);
    EXPECT_EQ(dlg.selectionMode(), 1);
    EXPECT_FALSE(child<QTreeView>(&dlg, "employeeList")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&dlg, "departmentFilter")->isEnabled());
    EXPECT_TRUE(child<QTreeView>(&dlg, "departmentList")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(&dlg, "departmentsCheckAll")->isEnabled());
    checkDepartment(&dlg, b);
    checkDepartment(&dlg, a);

    QTest::keyClicks(child<QLineEdit>(&dlg, "pageTitle"), QStringLiteral("Two departments"));
    QTest::mouseClick(child<QPushButton>(&dlg, "okButton"), Qt::LeftButton);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(m_docs.size(), 1u);
    C_ZorvikDoc *doc = m_docs.front().get();
    EXPECT_EQ(dlg.document(), doc);
    EXPECT_EQ(m_factoryTitles, QStringList{QStringLiteral("Two departments")});
    EXPECT_EQ(doc->title(), QStringLiteral("Two departments"));
    EXPECT_TRUE(doc->isModified());
    const IdSet expected = employeesOf({a, b});
    EXPECT_EQ(tabletIds(doc), expected);
    EXPECT_EQ(expected.count(byHand), 0u);

    // The list handed over is the whole table, checked exactly for those departments.
    const NewPanelData d = dlg.data();
    EXPECT_EQ(int(d.rows.size()), employeeCount());
    IdSet handedChecked;
    for (const NewPanelRow &r : d.rows)
        if (r.checked)
            handedChecked.insert(r.employeeId);
    EXPECT_EQ(handedChecked, expected);
    // The tablet carries the row's texts.
    const NewPanelRow &row = d.rows.at(rowOf(m, *expected.begin()));
    const CTablet *t = doc->tablet(row.employeeId);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->lastName, row.lastName);
    EXPECT_EQ(t->firstName, row.firstName);
    EXPECT_EQ(t->mediaNumber, row.mediaNumber);
    expectCursorUnfiltered();

    EXPECT_EQ(m_settings->readInt(QStringLiteral("Settings"), QStringLiteral("NewPanelSelection")), 1);
}

TEST_F(NewPanelDialog, EditModeDepartmentsEmptiesThePanelFirst)
{
    auto it = m_ref.departmentMap.begin();
    const QString a = it->first, c = std::next(it, 3)->first;
    const QString outsider = *employeesOf({c}).begin();
    const QString insider = *employeesOf({a}).begin();
    C_ZorvikDoc doc;
    doc.setTitle(QStringLiteral("Reception"));
    doc.addTablet(QStringLiteral("X"), QStringLiteral("Y"), QString(), outsider, QRect(0, 0, 168, 24));
    doc.addTablet(QStringLiteral("X"), QStringLiteral("Y"), QString(), insider, QRect(0, 24, 168, 24));
    // An employee no longer in the table stays unless the departments choice empties the panel.
    doc.addTablet(QStringLiteral("Gone"), QStringLiteral("Long"), QString(), QStringLiteral("424242"),
                  QRect(0, 48, 168, 24));

    CD_New dlg(&doc);
    dlg.show();
    QAbstractItemModel *m = employeeModel(&dlg);
    EXPECT_EQ(checkedIds(m), (IdSet{outsider, insider}));
    QTest::mouseClick(child<QRadioButton>(&dlg, "modeDepartments"), Qt::LeftButton);
    checkDepartment(&dlg, a);
    QTest::mouseClick(child<QPushButton>(&dlg, "okButton"), Qt::LeftButton);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(m_factoryTitles.isEmpty());
    EXPECT_EQ(tabletIds(&doc), employeesOf({a}));
    EXPECT_EQ(doc.title(), QStringLiteral("Reception"));
    EXPECT_TRUE(doc.isModified());
    expectCursorUnfiltered();
}

TEST_F(NewPanelDialog, EditModeKeepsTitleAndAppliesChecks)
{
    m_settings->writeInt(QStringLiteral("Settings"), QStringLiteral("NewPanelSelection"), 1);
    const QStringList ids = column(QStringLiteral("select IDZaposlenog from viewPhoto order by IDZaposlenog"));
    C_ZorvikDoc doc;
    doc.setTitle(QStringLiteral("Front desk"));
    doc.setBackground(true, true, QStringLiteral("/pictures/floor.jpg"));
    doc.addTablet(QStringLiteral("A"), QStringLiteral("B"), QString(), ids.at(0), QRect(0, 0, 168, 24));
    doc.addTablet(QStringLiteral("A"), QStringLiteral("B"), QString(), ids.at(1), QRect(0, 24, 168, 24));
    doc.setModified(false);

    CD_New dlg(&doc);
    dlg.show();
    EXPECT_TRUE(dlg.isEditMode());
    EXPECT_EQ(dlg.windowTitle(), S(1044));
    EXPECT_EQ(dlg.selectionMode(), 0);
    EXPECT_TRUE(child<QTreeView>(&dlg, "employeeList")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>(&dlg, "arrangeHorizontally")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>(&dlg, "arrangeVertically")->isEnabled());
    auto *title = child<QLineEdit>(&dlg, "pageTitle");
    EXPECT_EQ(title->text(), QStringLiteral("Front desk"));
    EXPECT_TRUE(child<QCheckBox>(&dlg, "backgroundImage")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&dlg, "tile")->isChecked());
    EXPECT_EQ(child<QLineEdit>(&dlg, "imagePath")->text(), QStringLiteral("/pictures/floor.jpg"));
    EXPECT_TRUE(child<QPushButton>(&dlg, "selectImage")->isEnabled());

    QAbstractItemModel *m = employeeModel(&dlg);
    toggleWithSpace(&dlg, rowOf(m, ids.at(1))); // off the panel
    toggleWithSpace(&dlg, rowOf(m, ids.at(2))); // onto the panel
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("Renamed"));
    QTest::mouseClick(child<QCheckBox>(&dlg, "tile"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&dlg, "okButton"), Qt::LeftButton);

    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(doc.title(), QStringLiteral("Front desk"));
    EXPECT_EQ(tabletIds(&doc), (IdSet{ids.at(0), ids.at(2)}));
    EXPECT_FALSE(doc.tile());
    EXPECT_TRUE(doc.useImage());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(m_settings->readInt(QStringLiteral("Settings"), QStringLiteral("NewPanelSelection")), 0);
}

TEST_F(NewPanelDialog, ValidationKeepsTheDialogOpenWithFocusInTheTitle)
{
    CD_New dlg(factory());
    dlg.show();
    auto *ok = child<QPushButton>(&dlg, "okButton");
    auto *title = child<QLineEdit>(&dlg, "pageTitle");
    ok->setFocus();
    QTest::mouseClick(ok, Qt::LeftButton);
    QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, QStringLiteral("Page title is empty."));
    EXPECT_EQ(asked[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), title);

    // The image controls follow the check box; checked without a path is refused.
    auto *useImage = child<QCheckBox>(&dlg, "backgroundImage");
    auto *select = child<QPushButton>(&dlg, "selectImage");
    EXPECT_FALSE(select->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&dlg, "tile")->isEnabled());
    QTest::keyClicks(title, QStringLiteral("Lobby"));
    QTest::mouseClick(useImage, Qt::LeftButton);
    EXPECT_TRUE(select->isEnabled());
    EXPECT_TRUE(child<QLineEdit>(&dlg, "imagePath")->isEnabled());
    ok->setFocus();
    QTest::mouseClick(ok, Qt::LeftButton);
    asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, QStringLiteral("Background image not selected."));
    EXPECT_EQ(asked[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), title);
    EXPECT_TRUE(m_docs.empty());

    // A cancelled file choice changes nothing; a chosen file is shown and accepted.
    QTest::mouseClick(select, Qt::LeftButton);
    EXPECT_TRUE(child<QLineEdit>(&dlg, "imagePath")->text().isEmpty());
    const QString image = m_dir.file(QStringLiteral("floor plan.jpg"));
    CPrompt::queueFile(image);
    QTest::mouseClick(select, Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(&dlg, "imagePath")->text(), image);
    QTest::mouseClick(child<QRadioButton>(&dlg, "arrangeVertically"), Qt::LeftButton);
    CPrompt::takeAsked();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(CPrompt::takeAsked().isEmpty());
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    ASSERT_EQ(m_docs.size(), 1u);
    EXPECT_TRUE(m_docs[0]->useImage());
    EXPECT_EQ(m_docs[0]->imagePath(), image);
    EXPECT_EQ(dlg.data().arrangement, 1);
    EXPECT_EQ(m_docs[0]->tabletCount(), 0); // nobody checked: an empty panel
}

TEST_F(NewPanelDialog, SelectionModeIsRememberedAndCancelWritesNothing)
{
    {
        CD_New dlg(factory());
        dlg.show();
        EXPECT_EQ(dlg.selectionMode(), 0);
        QTest::mouseClick(child<QRadioButton>(&dlg, "modeDepartments"), Qt::LeftButton);
        checkDepartment(&dlg, m_ref.departmentMap.begin()->first);
        QTest::keyClicks(child<QLineEdit>(&dlg, "pageTitle"), QStringLiteral("Kept"));
        QTest::mouseClick(child<QPushButton>(&dlg, "cancelButton"), Qt::LeftButton);
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    m_settings->sync();
    EXPECT_FALSE(m_settings->contains(QStringLiteral("Settings"), QStringLiteral("NewPanelSelection")));
    EXPECT_TRUE(m_docs.empty());
    expectCursorUnfiltered();

    {
        CD_New dlg(factory());
        dlg.show();
        QTest::mouseClick(child<QRadioButton>(&dlg, "modeDepartments"), Qt::LeftButton);
        QTest::keyClicks(child<QLineEdit>(&dlg, "pageTitle"), QStringLiteral("Kept"));
        QTest::keyClick(child<QLineEdit>(&dlg, "pageTitle"), Qt::Key_Return); // OK is the default button
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    {
        CD_New dlg(factory());
        EXPECT_TRUE(child<QRadioButton>(&dlg, "modeDepartments")->isChecked());
        EXPECT_TRUE(child<QTreeView>(&dlg, "departmentList")->isEnabled());
        EXPECT_FALSE(child<QTreeView>(&dlg, "employeeList")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(&dlg, "employeesCheckAll")->isEnabled());
        // Back to employees by keyboard.
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        auto *departments = child<QRadioButton>(&dlg, "modeDepartments");
        departments->setFocus();
        QTest::keyClick(departments, Qt::Key_Left);
        EXPECT_EQ(dlg.selectionMode(), 0);
        EXPECT_TRUE(child<QTreeView>(&dlg, "employeeList")->isEnabled());
        EXPECT_FALSE(child<QTreeView>(&dlg, "departmentList")->isEnabled());
    }
}

// The polling thread may hold DBMutex for a whole cycle; the list waits for it rather than
// walk the shared cursor underneath the thread.
TEST_F(NewPanelDialog, FillingWaitsForDbMutex)
{
    CD_New dlg(factory());
    std::atomic<bool> locked{false}, released{false};
    QThread *holder = QThread::create([&] {
        m_ref.dbMutex.lock();
        locked = true;
        QThread::msleep(300);
        released = true;
        m_ref.dbMutex.unlock();
    });
    holder->start();
    ASSERT_TRUE(testsupport::waitFor([&] { return locked.load(); }));
    chooseFilterEntry(dlg, m_ref.departmentMap.begin()->first);
    EXPECT_TRUE(released.load());
    holder->wait();
    delete holder;
    EXPECT_EQ(listedIds(employeeModel(&dlg)), employeesOf({m_ref.departmentMap.begin()->first}));
    expectCursorUnfiltered();
}

// Renders the filled dialog for a look when ZORVIK_SHOTS names a folder.
TEST_F(NewPanelDialog, RendersFilled)
{
    CD_New dlg(factory());
    dlg.show();
    QAbstractItemModel *m = employeeModel(&dlg);
    toggleWithSpace(&dlg, 1);
    toggleWithSpace(&dlg, 3);
    child<QLineEdit>(&dlg, "pageTitle")->setText(QStringLiteral("Reception"));
    checkDepartment(&dlg, m_ref.departmentMap.begin()->first);
    const QImage image = dlg.grab().toImage();
    EXPECT_EQ(image.size(), QSize(914, 602));
    EXPECT_GT(m->rowCount(), 0);
    const QString folder = qEnvironmentVariable("ZORVIK_SHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + QStringLiteral("/newpanel.png")));
    }
}

} // namespace
