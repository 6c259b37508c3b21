#include "PresenceTestDb.h"
#include "app/CNameOrder.h"
#include "app/CStringTable.h"
#include "db/CDateTime.h"
#include "views/CD_PresenceBar.h"
#include "views/CGuestsModel.h"
#include "views/CListGrid.h"
#include "views/CPresencesModel.h"
#include "views/CTextDelegate.h"
#include "views/C_ZorvikDocGuests.h"
#include "views/C_ZorvikDocPresences.h"
#include "views/C_ZorvikViewGuests.h"
#include "views/C_ZorvikViewPresences.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

using presencetest::PresenceDb;

namespace {

QStringList comboItems(const QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

QStringList mediaColumn(const QAbstractItemModel *m)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, CPresencesModel::MediaColumn).data().toString();
    return out;
}

} // namespace

TEST(GuestsWindow, GridHasFixedWidthsCentredHeadersAndWholeRowSelection)
{
    PresenceDb db;
    ASSERT_TRUE(db.ok());
    const int visitors = db.value("select count(*) from tblPartnerEvent where [Exit] is null").toInt();
    ASSERT_GT(visitors, 0);
    C_ZorvikDocGuests doc;
    C_ZorvikViewGuests view(&doc);
    view.show();
    QTableView *grid = view.findChild<QTableView *>("guestsGrid");
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->model()->rowCount(), visitors);
    const int widths[] = {120, 200, 120, 200, 120};
    const int headers[] = {1069, 1066, 1067, 1068, 1070};
    for (int c = 0; c < 5; ++c) {
        EXPECT_GE(grid->columnWidth(c), widths[c]) << c; // scaled to the font in use
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), S(headers[c]));
        EXPECT_NE(grid->horizontalHeader()->sectionResizeMode(c), QHeaderView::ResizeToContents);
    }
    EXPECT_TRUE(Qt::Alignment(grid->model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
                Qt::AlignVCenter);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(ListGrids, DateTimesAndHeadersAreNeverCutInTheFontInUse)
{
    PresenceDb db;
    ASSERT_TRUE(db.ok());
    const QFont original = QApplication::font();
    QFont large = original;
    large.setPixelSize(17);
    for (const QFont &font : {original, large}) {
        QApplication::setFont(font);
        C_ZorvikDocGuests guestsDoc;
        C_ZorvikViewGuests guests(&guestsDoc);
        C_ZorvikDocPresences presencesDoc;
        C_ZorvikViewPresences presences(&presencesDoc);
        ASSERT_TRUE(presencesDoc.waitForQuery());
        for (QTableView *grid : {guests.grid(), presences.grid()}) {
            ASSERT_GT(grid->model()->rowCount(), 0);
            const auto *list = static_cast<CListGrid *>(grid);
            const QFontMetrics fm = grid->fontMetrics();
            // Every date-time shown, and "2026-12-08 21:05:33" as the issue saw it cut.
            QStringList texts{QStringLiteral("2026-12-08 21:05:33")};
            for (int r = 0; r < grid->model()->rowCount(); ++r)
                texts << grid->model()->index(r, 0).data().toString();
            ASSERT_TRUE(CDateTime::looksLikeStoredText(texts.last())) << texts.last().toStdString();
            for (const QString &t : texts)
                EXPECT_LE(fm.horizontalAdvance(t) + list->textMargins(), grid->columnWidth(0)) << t.toStdString();
            for (int c = 0; c < 5; ++c) {
                const QString header = grid->model()->headerData(c, Qt::Horizontal).toString();
                EXPECT_LE(fm.horizontalAdvance(header) + list->textMargins(), grid->columnWidth(c)) << c;
            }
        }
    }
    QApplication::setFont(original);
}

// The long lists draw their texts from kept layouts; each cell must look as the style draws it:
// where the ink is, in which colour, cut where it does not fit, and a name that looks like markup
// shown as the characters it is.
TEST(ListGrids, CellsLookAsTheStyleDrawsThemWithMarkupShownAsText)
{
    QStandardItemModel model(0, 2);
    const QStringList texts{QStringLiteral("Petrović Ana"), QStringLiteral("<b>Bold</b> &amp; <i>x</i>"),
                            QStringLiteral("A name far too long for the narrow column it is shown in"),
                            QStringLiteral("42")};
    for (const QString &t : texts) {
        auto *right = new QStandardItem(t);
        right->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model.appendRow({new QStandardItem(t), right});
    }
    const auto draw = [&](bool kept, bool wrap) {
        QTableView view;
        view.setModel(&model);
        if (kept)
            view.setItemDelegate(new CTextDelegate(&view));
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setWordWrap(wrap);
        view.setColumnWidth(0, 120);
        view.setColumnWidth(1, 330);
        view.resize(500, 200);
        view.selectRow(1);
        view.show();
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    QTableView geometry;
    geometry.setModel(&model);
    geometry.setWordWrap(false);
    geometry.setColumnWidth(0, 120);
    geometry.setColumnWidth(1, 330);
    // Per cell: the box of pixels other than its background, their number and their mean colour.
    struct Ink
    {
        QRect box;
        int count = 0;
        QColor mean;
    };
    const auto inkOf = [](const QImage &img, const QRect &cell) {
        const QRgb background = img.pixel(cell.left() + 1, cell.top() + 1);
        Ink ink;
        qint64 r = 0, g = 0, b = 0;
        for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
            for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
                if (const QRgb p = img.pixel(x, y); qAbs(qGray(p) - qGray(background)) > 60) {
                    ink.box |= QRect(x, y, 1, 1);
                    ++ink.count;
                    r += qRed(p), g += qGreen(p), b += qBlue(p);
                }
        if (ink.count)
            ink.mean = QColor(int(r / ink.count), int(g / ink.count), int(b / ink.count));
        return ink;
    };
    // With word wrap on (as a plain table has it) the long text is the style's to break.
    for (const bool wrap : {false, true}) {
        const QImage style = draw(false, wrap), kept = draw(true, wrap);
        ASSERT_EQ(style.size(), kept.size());
        for (int row = 0; row < texts.size(); ++row)
            for (int column = 0; column < 2; ++column) {
                const QRect cell(geometry.columnViewportPosition(column), geometry.rowViewportPosition(row),
                                 geometry.columnWidth(column), geometry.rowHeight(row));
                const Ink a = inkOf(style, cell), b = inkOf(kept, cell);
                SCOPED_TRACE(QStringLiteral("wrap %1 row %2 column %3").arg(wrap).arg(row).arg(column).toStdString());
                ASSERT_GT(a.count, 0);
                EXPECT_LE(qAbs(a.box.left() - b.box.left()), 1);
                EXPECT_LE(qAbs(a.box.right() - b.box.right()), 1);
                EXPECT_LE(qAbs(a.box.top() - b.box.top()), 1);
                EXPECT_LE(qAbs(a.box.bottom() - b.box.bottom()), 1);
                EXPECT_NEAR(b.count, a.count, a.count / 5 + 3);
                EXPECT_LE(qAbs(qGray(a.mean.rgb()) - qGray(b.mean.rgb())), 40);
            }
    }
}

class PresencesWindow : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(db.ok()); }
    QStringList allMedia()
    {
        return db.rows("select substr(upper(m.IDNo), 7, 8) from tblLastReg r join viewMediaIDActive m on "
                       "m.IDZaposlenog = r.IDZaposlenog order by r.DatumLastReg desc");
    }
    PresenceDb db;
};

TEST_F(PresencesWindow, BarListsAllThenTheActivitiesAndSitsAboveTheGrid)
{
    C_ZorvikDocPresences doc;
    C_ZorvikViewPresences view(&doc);
    view.show();
    auto *combo = view.findChild<QComboBox *>("activityCombo");
    ASSERT_TRUE(combo);
    EXPECT_FALSE(combo->isEditable());
    QStringList expected{S(1031)};
    expected << db.rows("select OpisLogAkt from LogickaAktivnost where Kalendarska = 0 order by OpisLogAkt");
    EXPECT_EQ(comboItems(combo), expected);
    EXPECT_EQ(combo->currentIndex(), 0);
    auto *label = view.bar()->findChild<QLabel *>();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "Last activity:");
    EXPECT_EQ(view.bar()->height(), 32);
    EXPECT_EQ(view.bar()->geometry().top(), 0);
    EXPECT_GE(view.grid()->geometry().top(), 32);
    const int widths[] = {120, 120, 120, 80, 240};
    for (int c = 0; c < 5; ++c)
        EXPECT_GE(view.grid()->columnWidth(c), widths[c]) << c;
    // Opening fills the grid, newest registration first.
    ASSERT_TRUE(view.document()->waitForQuery());
    EXPECT_EQ(mediaColumn(view.grid()->model()), allMedia());
}

TEST_F(PresencesWindow, ChoosingAnActivityRebuildsAndReopeningRestoresAll)
{
    auto doc = std::make_unique<C_ZorvikDocPresences>();
    auto view = std::make_unique<C_ZorvikViewPresences>(doc.get());
    auto *combo = view->findChild<QComboBox *>("activityCombo");
    ASSERT_TRUE(combo);
    const int entry = combo->findText("Arrival");
    ASSERT_GT(entry, 0);
    combo->setCurrentIndex(entry);
    ASSERT_TRUE(doc->waitForQuery()) << doc->lastError().toStdString();
    const QStringList arrivals =
        db.rows(QStringLiteral("select substr(upper(m.IDNo), 7, 8) from tblLastReg r join viewMediaIDActive m on "
                               "m.IDZaposlenog = r.IDZaposlenog where r.IDLogickeAktivnosti = %1 order by "
                               "r.DatumLastReg desc")
                    .arg(CDemoDatabase::Arrival));
    ASSERT_FALSE(arrivals.isEmpty());
    EXPECT_EQ(mediaColumn(doc->model()), arrivals);
    combo->setCurrentIndex(0);
    ASSERT_TRUE(doc->waitForQuery());
    EXPECT_EQ(mediaColumn(doc->model()), allMedia());

    combo->setCurrentIndex(entry);
    view.reset();
    doc.reset();
    doc = std::make_unique<C_ZorvikDocPresences>();
    view = std::make_unique<C_ZorvikViewPresences>(doc.get());
    combo = view->findChild<QComboBox *>("activityCombo");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->currentText(), S(1031));
    ASSERT_TRUE(doc->waitForQuery());
    EXPECT_EQ(mediaColumn(doc->model()), allMedia());
}

TEST_F(PresencesWindow, TimerFollowsTheRefreshIntervalAndPutsTheRowsInQueryOrder)
{
    db.context().refreshSeconds = -1;
    {
        C_ZorvikDocPresences doc;
        C_ZorvikViewPresences view(&doc);
        EXPECT_EQ(view.bar()->timer()->interval(), 60000);
        EXPECT_TRUE(view.bar()->timer()->isActive());
    }
    db.context().refreshSeconds = 0;
    C_ZorvikDocPresences doc;
    C_ZorvikViewPresences view(&doc);
    view.show();
    ASSERT_TRUE(view.bar()->timer()->isActive());
    ASSERT_TRUE(doc.waitForQuery());
    const QString last = doc.model()->rows().last()[CPresencesModel::MediaColumn];
    const QString employee = db.value(QStringLiteral("select IDZaposlenog from viewMediaIDActive where "
                                                     "substr(upper(IDNo), 7, 8) = '%1'")
                                          .arg(last));
    const QString other = doc.model()->rows().at(3)[CPresencesModel::MediaColumn];
    view.grid()->selectRow(3);
    // The employee at the bottom clocks in: the pass that tells of it asks for that employee's
    // rows alone and changes the row in place; the timer's tick brings it to the top without a
    // query, and the selection follows its row.
    db.exec(QStringLiteral("update tblLastReg set DatumLastReg = '2030-01-01 00:00:00' where IDZaposlenog = '%1'")
                .arg(employee));
    CCycleChanges changes;
    changes.employees.insert(employee);
    {
        QMutexLocker lock(&db.reference().dbMutex);
        doc.onUpdatePass(changes);
    }
    EXPECT_TRUE(doc.isQueryRunning());
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return doc.model()->rowCount() > 0 && doc.model()->rows().first()[3] == last; }, 5000));
    EXPECT_EQ(mediaColumn(doc.model()), allMedia());
    const QModelIndexList selected = view.grid()->selectionModel()->selectedRows(3);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().data().toString(), other);
    // A pass that changed nobody asks nothing, and with every row in order the timer rests.
    {
        QMutexLocker lock(&db.reference().dbMutex);
        doc.onUpdatePass(CCycleChanges());
    }
    EXPECT_FALSE(doc.isQueryRunning());
    EXPECT_FALSE(view.bar()->timer()->isActive());
}

TEST_F(PresencesWindow, SelectionSurvivesAnUpdatePass)
{
    C_ZorvikDocPresences doc;
    C_ZorvikViewPresences view(&doc);
    view.show();
    ASSERT_TRUE(doc.waitForQuery());
    QTableView *grid = view.grid();
    ASSERT_GT(grid->model()->rowCount(), 10);
    const QString selected = doc.model()->rows().at(5)[CPresencesModel::MediaColumn];
    grid->selectRow(5);
    // Somebody above leaves the list and somebody else clocks again.
    const QString gone = doc.model()->rows().at(1)[CPresencesModel::MediaColumn];
    db.exec(QStringLiteral("delete from tblLastReg where IDZaposlenog = (select IDZaposlenog from viewMediaIDActive "
                           "where substr(upper(IDNo), 7, 8) = '%1')")
                .arg(gone));
    db.exec(QStringLiteral("update tblLastReg set IDLogickeAktivnosti = %1 where IDZaposlenog = (select IDZaposlenog "
                           "from viewMediaIDActive where substr(upper(IDNo), 7, 8) = '%2')")
                .arg(CDemoDatabase::Doctor)
                .arg(doc.model()->rows().at(8)[CPresencesModel::MediaColumn]));
    {
        QMutexLocker lock(&db.reference().dbMutex);
        doc.onUpdatePass();
    }
    ASSERT_TRUE(doc.waitForQuery());
    const QModelIndexList rows = grid->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().row(), 4);
    EXPECT_EQ(rows.first().siblingAtColumn(CPresencesModel::MediaColumn).data().toString(), selected);
}

// The guard's question, "is this person in?", answered by typing: the presences and guests
// lists find rows without regard to case or diacritics and say how many; a click on a heading
// sorts (dates as dates, names as the locale orders them) and the order holds through a refresh.
TEST_F(PresencesWindow, SearchFindsAndHeadingsSortThroughARefresh)
{
    db.exec(QStringLiteral("update tblZaposleni set Prezime = 'Đorđević', Ime = 'Čedomir' where IDZaposlenog = "
                           "(select min(IDZaposlenog) from tblLastReg)"));
    C_ZorvikDocPresences doc;
    C_ZorvikViewPresences view(&doc);
    view.resize(900, 500);
    view.show();
    ASSERT_TRUE(doc.waitForQuery());
    QTableView *grid = view.grid();
    const int all = grid->model()->rowCount();
    auto *search = view.findChild<QLineEdit *>(QStringLiteral("searchEdit"));
    ASSERT_TRUE(search);
    // The row chosen before a search is still chosen among the rows found, and after it.
    const auto chosenName = [grid] {
        const QModelIndexList rows = grid->selectionModel()->selectedRows(CPresencesModel::LastNameColumn);
        return rows.size() == 1 && grid->currentIndex().row() == rows.first().row() ? rows.first().data().toString()
                                                                                    : QString();
    };
    for (int r = 0; r < all; ++r)
        if (grid->model()->index(r, CPresencesModel::LastNameColumn).data().toString() == QStringLiteral("Đorđević"))
            grid->selectRow(r);
    ASSERT_EQ(chosenName(), QStringLiteral("Đorđević"));
    QTest::keyClicks(search, QStringLiteral("dorde cedo"));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->index(0, CPresencesModel::LastNameColumn).data().toString(), QStringLiteral("Đorđević"));
    EXPECT_EQ(view.findChild<QLabel *>(QStringLiteral("searchCount"))->text(), QStringLiteral("1 of %1").arg(all));
    EXPECT_EQ(chosenName(), QStringLiteral("Đorđević"));
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(grid->model()->rowCount(), all);
    EXPECT_EQ(chosenName(), QStringLiteral("Đorđević"));

    // Ctrl+F from the grid goes to the search; "/" as well.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(search->hasFocus());
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Slash);
    EXPECT_TRUE(search->hasFocus());

    auto column = [grid](int c) {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, c).data().toString();
        return out;
    };
    auto clickHeading = [grid](int c) {
        QHeaderView *h = grid->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(c) + 8, h->height() / 2));
    };
    // Until a heading is clicked: newest first, as the query gives them.
    EXPECT_EQ(column(CPresencesModel::MediaColumn), allMedia());
    clickHeading(CPresencesModel::DateTimeColumn); // oldest first
    QStringList dates = column(CPresencesModel::DateTimeColumn);
    QStringList ascending = dates;
    std::sort(ascending.begin(), ascending.end());
    EXPECT_EQ(dates, ascending);
    clickHeading(CPresencesModel::LastNameColumn);
    EXPECT_TRUE(grid->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), CPresencesModel::LastNameColumn);
    QStringList names = column(CPresencesModel::LastNameColumn), sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(), CNameOrder::less);
    EXPECT_EQ(names, sorted);
    // Somebody clocks: the list is refreshed and still sorted by name.
    db.exec(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-04 10:59:00' where IDZaposlenog = "
                           "(select max(IDZaposlenog) from tblLastReg)"));
    {
        QMutexLocker lock(&db.reference().dbMutex);
        doc.onUpdatePass();
    }
    ASSERT_TRUE(doc.waitForQuery());
    names = column(CPresencesModel::LastNameColumn);
    sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(), CNameOrder::less);
    EXPECT_EQ(names, sorted);
    EXPECT_EQ(grid->model()->rowCount(), all);

    // The guests window finds by company, guest or host the same way.
    C_ZorvikDocGuests guestsDoc;
    C_ZorvikViewGuests guests(&guestsDoc);
    guests.show();
    QTableView *guestGrid = guests.grid();
    const QString company = guestGrid->model()->index(0, 1).data().toString();
    ASSERT_FALSE(company.isEmpty());
    guests.findChild<QLineEdit *>(QStringLiteral("searchEdit"))->setText(company.toUpper());
    ASSERT_GE(guestGrid->model()->rowCount(), 1);
    for (int r = 0; r < guestGrid->model()->rowCount(); ++r)
        EXPECT_EQ(guestGrid->model()->index(r, 1).data().toString(), company);
}
