// The check-box combo, the options dialog and the Last activity report from the menu and from a
// panel's Print, on the demo database with known clockings.
#include "LastActTestDb.h"
#include "app/CClock.h"
#include "app/CCommandTable.h"
#include "app/CDocTemplate.h"
#include "app/CStringTable.h"
#include "dialogs/CCheckListCombo.h"
#include "dialogs/CD_RepLastAct.h"
#include "dialogs/CPrompt.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"
#include "reports/CReportField.h"
#include "reports/CReportGrid.h"
#include "reports/C_ReportFrame.h"
#include "reports/C_ReportView.h"
#include "views/CChildFrameBase.h"
#include "views/C_MainFrame.h"
#include "views/CommandIds.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using lastacttest::LastActDb;

namespace {

// Pictures go to ZORVIK_PICTURES when set, for a person to look at.
void savePicture(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZORVIK_PICTURES");
    if (dir.isEmpty())
        return;
    QTest::qWait(50); // let pending layouts run first
    w->grab().save(QDir(dir).filePath(name));
}

QString fieldText(C_ReportView *view, const char *name)
{
    auto *f = dynamic_cast<CReportField *>(view->engine().FindObject(QLatin1String(name)));
    return f ? f->text : QStringLiteral("<no field>");
}

QStringList gridRows(C_ReportView *view)
{
    auto *g = dynamic_cast<CReportGrid *>(view->engine().FindObject(QStringLiteral("Grid")));
    return g ? g->rows : QStringList{QStringLiteral("<no grid>")};
}

} // namespace

// Ticking items with the mouse and Space keeps the list open; the face joins the ticked texts.
TEST(CheckListCombo, TicksItemsAndShowsThemJoined)
{
    CCheckListCombo combo;
    combo.setLocale(QLocale(QLocale::German)); // decimal comma: the separator is a semicolon
    combo.setItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    combo.resize(200, combo.sizeHint().height());
    combo.show();
    EXPECT_TRUE(combo.text().isEmpty());
    EXPECT_EQ(combo.setCheck(0, true), 0);
    EXPECT_EQ(combo.setCheck(2, true), 0);
    EXPECT_EQ(combo.text(), "A; C");
    EXPECT_EQ(combo.setCheck(3, true), -1);
    EXPECT_EQ(combo.getCheck(3), -1);
    EXPECT_EQ(combo.getCheck(1), 0);
    EXPECT_EQ(CCheckListCombo::separator(QLocale(QLocale::English)), ", ");

    QSignalSpy changes(&combo, &CCheckListCombo::checkChanged);
    combo.showPopup();
    QAbstractItemView *list = combo.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QPoint b = list->visualRect(list->model()->index(1, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, b);
    EXPECT_EQ(combo.getCheck(1), 1);
    EXPECT_TRUE(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, b);
    EXPECT_EQ(combo.getCheck(1), 0);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(1).at(0).toInt(), 1);
    // Two quick clicks: the platform makes the second a double click; each still toggles.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, b);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, b);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, b);
    EXPECT_EQ(combo.getCheck(1), 0);
    EXPECT_EQ(changes.count(), 4);

    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(combo.getCheck(0), 0);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(changes.count(), 5);
    QTest::keyClick(list, Qt::Key_Space);
    savePicture(list->window(), QStringLiteral("checklist-open.png"));
    // Enter closes the list as drop-down lists do, and no single item becomes the face.
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.text(), "A; C");
}

class LastActUi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ok());
        saved = QDir::currentPath();
        QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR)); // the installed templates
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        CClock::setFixed(QDateTime(QDate(2026, 3, 4), QTime(10, 0, 40)));
    }
    void TearDown() override
    {
        frame.reset();
        CClock::reset();
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
        QDir::setCurrent(saved);
    }
    void makeFrame()
    {
        for (int k = 0; k < 4; ++k)
            templates[k] = std::make_unique<CDocTemplate>(CDocTemplate::Kind(k), kIds[k]);
        frame = std::make_unique<C_MainFrame>();
        frame->setTemplates(templates[0].get(), templates[1].get(), templates[2].get(), templates[3].get());
        CCommandTable::install(frame.get(), nullptr);
        frame->resize(1100, 800);
        frame->show();
        frame->setConnected(true);
    }
    CSettings &settings() { return *db.context().settings(); }
    int stored(const char *name) { return settings().readInt(QStringLiteral("Report"), QLatin1String(name)); }
    C_ReportView *activeReport()
    {
        CChildFrameBase *f = frame->activeChild();
        return f ? qobject_cast<C_ReportView *>(f->view()) : nullptr;
    }

    static constexpr int kIds[4] = {C_MainFrame::PanelMenu, C_MainFrame::GuestsMenu, C_MainFrame::PresencesMenu,
                                    C_MainFrame::ReportMenu};
    LastActDb db;
    QString saved;
    std::unique_ptr<CDocTemplate> templates[4];
    std::unique_ptr<C_MainFrame> frame;
};

// Stored options come back, the enabling rules hold, OK saves every option and Cancel none.
TEST_F(LastActUi, OptionsDialog)
{
    for (auto [name, value] : {std::pair{"DepAll", 1},
                               {"SelDep", 2},
                               {"SelDep0", 3},
                               {"SelDep1", 1},
                               {"LastActAll", 1},
                               {"SelAct", 1},
                               {"InvertAct", 1},
                               {"Sort", 2}})
        settings().writeInt(QStringLiteral("Report"), QLatin1String(name), value);
    {
        CD_RepLastAct dlg;
        dlg.show();
        auto *deps = dlg.findChild<CCheckListCombo *>("departments");
        auto *calendar = dlg.findChild<QCheckBox *>("calendar");
        auto *date = dlg.findChild<QDateEdit *>("date");
        ASSERT_TRUE(deps && calendar && date);
        EXPECT_EQ(deps->checkedIndexes(), (QList<int>{1, 3}));
        EXPECT_TRUE(deps->isEnabled());
        EXPECT_TRUE(dlg.findChild<QComboBox *>("activities")->isEnabled());
        EXPECT_FALSE(dlg.findChild<QComboBox *>("groups")->isEnabled());
        EXPECT_FALSE(dlg.findChild<QRadioButton *>("groupAll")->isEnabled());
        const CLastActRequest r = dlg.request();
        EXPECT_EQ(r.departments, (QList<int>{1, 3}));
        EXPECT_EQ(r.activity, 1);
        EXPECT_TRUE(r.invertActivity);
        EXPECT_EQ(r.sort, 2);
        EXPECT_EQ(r.moment.format("%Y-%m-%d %H:%M:%S"), "2026-03-04 10:00:00");

        calendar->setChecked(true);
        date->setDate(QDate(2026, 3, 3));
        EXPECT_FALSE(calendar->isEnabled());
        EXPECT_FALSE(calendar->isChecked());
        date->setDate(QDate(2026, 3, 4));
        EXPECT_TRUE(calendar->isEnabled());
        EXPECT_FALSE(calendar->isChecked());

        dlg.findChild<QRadioButton *>("byGroup")->click();
        EXPECT_FALSE(dlg.findChild<QComboBox *>("activities")->isEnabled());
        EXPECT_TRUE(dlg.findChild<QRadioButton *>("groupAll")->isEnabled());
        dlg.findChild<QRadioButton *>("departmentsAll")->click();
        EXPECT_FALSE(deps->isEnabled());
        savePicture(&dlg, QStringLiteral("replastact-dialog.png"));
        dlg.reject();
    }
    EXPECT_EQ(stored("ActOrGroup"), 0) << "Cancel saves nothing";
    {
        CD_RepLastAct dlg;
        dlg.findChild<QRadioButton *>("byGroup")->click();
        dlg.findChild<CCheckListCombo *>("departments")->setCheck(3, false);
        dlg.findChild<CCheckListCombo *>("departments")->setCheck(0, true);
        dlg.findChild<QPushButton *>("ok")->click();
    }
    EXPECT_EQ(stored("ActOrGroup"), 1);
    EXPECT_EQ(stored("SelDep"), 2);
    EXPECT_EQ(stored("SelDep0"), 0);
    EXPECT_EQ(stored("SelDep1"), 1);
    EXPECT_EQ(stored("SelAct"), 1);
    EXPECT_EQ(stored("Sort"), 2);

    // Without the group cursor only the activity mode is offered.
    {
        QMutexLocker lock(&db.reference().dbMutex);
        db.reference().cursor(CReferenceData::ActivityGroupCursor)->close();
    }
    CD_RepLastAct dlg;
    EXPECT_FALSE(dlg.findChild<QRadioButton *>("byGroup")->isEnabled());
    EXPECT_FALSE(dlg.request().byGroup);
}

// Reports > Last activity: the dialog, then a report window with the rows, fields, and a PDF.
TEST_F(LastActUi, ReportFromTheMenu)
{
    makeFrame();
    ASSERT_TRUE(frame->action(Command::LastActivity)->isEnabled());
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<CD_RepLastAct *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        dialogSeen = true;
        dlg->findChild<QDateEdit *>("date")->setDate(QDate(2026, 3, 4));
        dlg->findChild<QPushButton *>("ok")->click();
    });
    frame->trigger(Command::LastActivity);
    ASSERT_TRUE(dialogSeen);
    C_ReportView *view = activeReport();
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->waitForBuild(20000));
    const auto &e = db.employees;
    const QStringList rows = gridRows(view);
    ASSERT_EQ(rows.size(), 5) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows[0].startsWith("1|2026-03-04 09:45:00|O'Brien|Ciaran|"));
    EXPECT_TRUE(rows[4].startsWith("[%red%]5|[%red%]2026-03-03 09:59:00 *|[%red%]" + e[3].lastName));
    EXPECT_EQ(view->pageCount(), 1);
    EXPECT_EQ(fieldText(view, "TotalPages"), " / 1");
    EXPECT_EQ(fieldText(view, "PrintDateTime"), "2026-03-04 10:00");
    EXPECT_EQ(fieldText(view, "SubTitle"), S(1075) + ": " + S(1093) + "   " + S(1082) + ": " + S(1094));
    EXPECT_EQ(fieldText(view, "Title"), S(1084));
    EXPECT_EQ(fieldText(view, "Footer"), "2026-03-04 10:00:40 / " + C_ReportView::installationTexts().join(" / "));
    EXPECT_TRUE(fieldText(view, "Footer").endsWith("/ attendance"));
    EXPECT_EQ(fieldText(view, "Num"), "#");
    savePicture(frame.get(), QStringLiteral("report-window.png"));

    const QString pdf = db.context().programFolder() + "/report.pdf";
    ASSERT_TRUE(view->exportPdf(pdf));
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (int i : {0, 1, 2, 3, 5})
        EXPECT_TRUE(text.contains(e[i].lastName)) << e[i].lastName.toStdString() << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(e[4].lastName)) << "E has no clocking";
    EXPECT_TRUE(text.contains("2026-03-03 09:59:00 *")) << text.toStdString();
}

// A panel's Print: that panel's employees, now, by group; disabled on an empty panel.
TEST_F(LastActUi, PanelPrint)
{
    makeFrame();
    auto *empty = new C_ZorvikDoc;
    frame->addPanel(empty);
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->activePanel() == empty; }));
    frame->updateCommandStates();
    EXPECT_FALSE(frame->action(Command::FilePrint)->isEnabled());

    auto *doc = new C_ZorvikDoc;
    const auto &e = db.employees;
    for (int i : {0, 3, 5})
        doc->addTablet(e[i].lastName, e[i].firstName, e[i].card, e[i].key, QRect(10, 10 + 30 * i, 168, 24));
    frame->addPanel(doc);
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->activePanel() == doc; }));
    frame->updateCommandStates();
    ASSERT_TRUE(frame->action(Command::FilePrint)->isEnabled());
    frame->trigger(Command::FilePrint);
    C_ReportView *view = activeReport();
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->waitForBuild(20000));
    const QStringList rows = gridRows(view);
    ASSERT_EQ(rows.size(), 3) << rows.join('\n').toStdString();
    // Ordered by group first: the arrivals' group, then the departures'.
    const QString group = db.value("select ID from tblLogActGroupDet where LogActID = 2");
    EXPECT_TRUE(rows[0].startsWith("1|2026-03-04 09:00:00|" + e[0].lastName)) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith("[%red%]2|")) << rows[1].toStdString();
    EXPECT_EQ(rows[2].toStdString(), ("3|2026-03-04 09:45:00|O'Brien|Ciaran|" + db.department(e[5]) + "|" +
                                      db.activity(CDemoDatabase::Departure) + "|" + group)
                                         .toStdString());
    EXPECT_EQ(fieldText(view, "SubTitle"), S(1088) + ": " + S(1092) + "   " + S(1082) + ": " + S(1094));
    EXPECT_EQ(fieldText(view, "PrintDateTime"), "2026-03-04 10:00");
    // Print of the report window itself still prints it.
    CPrompt::queueButton(QMessageBox::Cancel);
    frame->trigger(Command::FilePrint);
    EXPECT_EQ(CPrompt::takeAsked().value(0).kind, "print");
}
