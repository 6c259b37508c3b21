// The generator: container placement, row distribution, pagination and drawn pages.
#include "TestSupport.h"
#include "app/CClock.h"
#include "reports/CReportEngine.h"
#include "reports/CReportGrid.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// 100 dpi: one inch is 100 pixels, a grid of 5 rows per inch has bands of 20 pixels.
QImage page(CReportEngine &engine, int number)
{
    QImage img(850, 1100, QImage::Format_RGB32);
    img.setDotsPerMeterX(3937);
    img.setDotsPerMeterY(3937);
    img.fill(Qt::white);
    QPainter p(&img);
    engine.DrawPage(p, number);
    return img;
}

bool isRed(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100;
}
bool isDark(QRgb c)
{
    return qGray(c) < 128 && !isRed(c);
}
bool isInk(QRgb c)
{
    return c != qRgb(255, 255, 255);
}

// The bounding box of the pixels of r that satisfy pred.
QRect ink(const QImage &img, const QRect &r, bool (*pred)(QRgb))
{
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (pred(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QString grid(const QString &name, double top, double bottom)
{
    return QString(
               "report_grid:1,%1,5,%2,,%3,0,0,0,0,0,0,0,0,0,0,0,0,0,5,2#Sans#100#0#0#0#0#0#0|0#Sans#100#0#0#0#0#0#0\n")
        .arg(top)
        .arg(bottom)
        .arg(name);
}

QStringList numbered(int n)
{
    QStringList rows;
    for (int i = 1; i <= n; ++i)
        rows << QString("MM|%1").arg(i);
    return rows;
}

} // namespace

TEST(ReportEngine, BodyGridPagesAndEmptyReport)
{
    CReportEngine engine;
    ASSERT_TRUE(engine.LoadFromText(grid("Grid", 1, 3), 0)); // capacity 10
    ASSERT_TRUE(engine.SetGridRows("Grid", numbered(25)));
    EXPECT_EQ(engine.Paginate(), 3);
    auto *g = static_cast<CReportGrid *>(engine.FindObject("Grid"));
    EXPECT_EQ(g->StartPage, 1);

    // Page 3 holds rows 21 to 25: mark 21 and 25 red and look at the bands.
    QStringList rows = numbered(25);
    rows[20] = "[%red%]MM|21";
    rows[24] = "[%red%]MM|25";
    engine.ClearContent();
    ASSERT_TRUE(engine.SetGridRows("Grid", rows));
    ASSERT_EQ(engine.Paginate(), 3);
    const QImage p3 = page(engine, 3);
    auto band = [](int j) { return QRect(100, 100 + 20 * j, 400, 20); };
    EXPECT_FALSE(ink(p3, band(0), isRed).isNull());
    EXPECT_TRUE(ink(p3, band(1), isRed).isNull());
    EXPECT_FALSE(ink(p3, band(1), isDark).isNull());
    EXPECT_FALSE(ink(p3, band(4), isRed).isNull());
    EXPECT_TRUE(ink(p3, QRect(0, 200, 850, 900), isInk).isNull()); // nothing below row 25
    // The marker is not drawn: the red ink is two letters wide, not nine characters.
    EXPECT_LT(ink(p3, band(0), isRed).width(), 40);
    EXPECT_TRUE(ink(page(engine, 2), band(0), isRed).isNull());
    EXPECT_TRUE(ink(page(engine, 4), QRect(0, 0, 850, 1100), isInk).isNull());

    engine.ClearContent();
    EXPECT_EQ(engine.Paginate(), 0);
    EXPECT_EQ(g->StartPage, -1);
    EXPECT_TRUE(ink(page(engine, 1), QRect(0, 0, 850, 1100), isInk).isNull());
}

TEST(ReportEngine, FirstBodyAndLastPageShares)
{
    for (int n : {27, 25}) {
        CReportEngine engine;
        ASSERT_TRUE(engine.LoadFromText(grid("Grid", 1, 3), 0));   // body, 10 rows
        ASSERT_TRUE(engine.LoadFromText(grid("Grid", 1, 1.8), 2)); // last page, 4 rows
        ASSERT_TRUE(engine.LoadFromText(grid("Grid", 1, 2), 1));   // first page, 5 rows
        EXPECT_FALSE(engine.LoadFromText(grid("Grid", 1, 2), 1));  // a second first page
        EXPECT_FALSE(engine.LoadFromText(grid("Grid", 1, 2), 2));  // a second last page
        ASSERT_TRUE(engine.LoadFromText(grid("Other", 4, 5), 0));  // a second body, before the last
        ASSERT_EQ(engine.GetContainerCount(), 4);
        EXPECT_EQ(engine.GetContainers()[0]->type, 1);
        EXPECT_EQ(engine.GetContainers()[2]->type, 0);
        EXPECT_EQ(engine.GetObjectName(0, 2), QString("Other"));
        EXPECT_EQ(engine.GetContainers()[3]->type, 2);

        ASSERT_TRUE(engine.SetGridRows("Grid", numbered(n)));
        auto rowsOf = [&](int c) { return static_cast<CReportGrid *>(engine.FindObject("Grid", c))->rows; };
        EXPECT_EQ(rowsOf(0), numbered(5));
        EXPECT_EQ(rowsOf(1), numbered(25).mid(5));
        EXPECT_EQ(rowsOf(3), numbered(n).mid(25));
        // The "Other" body has no rows: it is not printed.
        ASSERT_TRUE(engine.SetGridRows("Other", {"x"}));
        EXPECT_EQ(engine.Paginate(), n == 27 ? 5 : 4);
        EXPECT_EQ(engine.GetContainers()[1]->firstPage, 2);
        EXPECT_EQ(engine.GetContainers()[1]->lastPage, 3);
        EXPECT_EQ(engine.GetContainers()[2]->firstPage, 4);
        EXPECT_EQ(engine.GetContainers()[3]->firstPage, n == 27 ? 5 : -1);
        EXPECT_FALSE(engine.SetGridRows("Missing", numbered(3)));
    }
}

TEST(ReportEngine, RowsCellsAndSeparators)
{
    CReportEngine engine;
    ASSERT_TRUE(engine.LoadFromText(grid("Grid", 1, 3), 0));
    ASSERT_TRUE(engine.SetGridRows(
        "Grid", {"MM", "MM|MM|MM|MM", "[%separator%]MM|MM", "MM|MM", "x|[%double-separator%]", "[%bold-separator%]"}));
    ASSERT_EQ(engine.Paginate(), 1);
    const QImage img = page(engine, 1);
    const QRect col1(300, 100, 200, 20);
    EXPECT_TRUE(ink(img, col1, isInk).isNull());                     // a short row
    EXPECT_FALSE(ink(img, col1.translated(0, 20), isInk).isNull());  // a long row
    EXPECT_TRUE(ink(img, QRect(500, 100, 350, 40), isInk).isNull()); // its extra cells
    const QRect rule = ink(img, QRect(100, 140, 400, 20), isDark);   // separator at y + 5
    EXPECT_EQ(rule, QRect(100, 145, 400, 1));
    EXPECT_EQ(ink(img, QRect(100, 180, 400, 20), isDark).height(), 6); // double: y + 5 and y + 10
    EXPECT_GE(ink(img, QRect(100, 200, 400, 20), isDark).height(), 2); // heavy rule
    EXPECT_FALSE(ink(img, QRect(100, 160, 400, 20), isDark).isNull());
}

TEST(ReportEngine, FieldsPicturesNamesAndVariables)
{
    CReportEngine engine;
    ASSERT_TRUE(engine.LoadFromText("report_field:1,1,4,1.5,initial,Title,0,Sans,120,0,0,0,0,255,0\n"
                                    "report_field:1,2,4,2.5,,Title,0,Sans,120,0,0,0,0,0,0\n"
                                    "report_picture:5,1,6,2,,Logo\n"
                                    "report_label:1,3,4,3.5,Page [%page%] [%date%] [%time%],Page,0,Sans,100\n",
                                    0));
    EXPECT_EQ(engine.GetObjectType("Logo", 0), 7);
    EXPECT_EQ(engine.GetGridColumnCount("Logo", 0), -1);
    engine.ClearContent();
    engine.SetFieldText("Title", "MMMM");
    engine.SetFieldText("Page", "not a field");
    EXPECT_EQ(engine.FindObject("Page")->text, QString("Page [%page%] [%date%] [%time%]"));
    QImage logo(10, 10, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    EXPECT_TRUE(engine.SetPicture("Logo", logo));
    EXPECT_EQ(engine.Paginate(), 1);
    const QImage img = page(engine, 1);
    EXPECT_FALSE(ink(img, QRect(100, 100, 300, 50), isRed).isNull()); // the first "Title" got the text
    EXPECT_TRUE(ink(img, QRect(100, 200, 300, 50), isInk).isNull());
    EXPECT_EQ(img.pixel(550, 150), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(500, 150), qRgb(255, 255, 255)); // stretched into the rectangle less one pixel

    CClock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(21, 5, 33)));
    EXPECT_EQ(CReportItem::ExpandVariables(7, "Page [%page%] [%date%] [%time%][%page%]"),
              QString("Page 7 12/08/26 21:05:337"));
    CClock::reset();
}

TEST(ReportEngine, UnsoundTemplatesAreRefusedOrDrawnSafely)
{
    CReportEngine engine;
    EXPECT_FALSE(engine.LoadFromText(grid("Grid", 1, 1.1), 0)); // less than one row high
    EXPECT_TRUE(engine.GetErrorText().contains("Grid")) << engine.GetErrorText().toStdString();
    EXPECT_FALSE(engine.LoadFromText("report_grid:1,1,5,3,,Grid,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\n", 0));
    EXPECT_EQ(engine.GetContainerCount(), 0);

    QString columns = "0";
    for (int i = 0; i < 200000; ++i)
        columns += "|0.001#Sans#100";
    ASSERT_TRUE(engine.LoadFromText("report_box:-1e300,1e300,1e308,-1e308,,B,0,1,1e300,6,0,1,255\n"
                                    "report_label:1e9,-1e9,-5,-6,text,L,0,Sans,2000000000\n"
                                    "report_line:0,0,1e200,1e200,,Line,0,-1e200,99,0\n"
                                    "report_grid:1,1,5,3,,Grid,0,1,1e9,0,0,1,1e9,0,0,1,1e9,0,0,1000000," +
                                        columns + "\n",
                                    0));
    EXPECT_EQ(engine.GetGridColumnCount("Grid", 0), 200001);
    ASSERT_TRUE(engine.SetGridRows("Grid", {QString(100000, QChar('|')) + "x", "a|b"}));
    EXPECT_EQ(engine.Paginate(), 1);
    page(engine, 1);
}
