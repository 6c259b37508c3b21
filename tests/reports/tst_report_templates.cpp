// The installed templates: the names the report fills, a grid as wide as its rows, and a
// page drawn with sample rows (written as a picture when ZORVIK_SHOTS names a folder).
#include "TestSupport.h"
#include "reports/CReportEngine.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct Layout
{
    const char *file;
    int cells;
    QStringList extra;
};

QString sampleRow(int n, const QStringList &extra, bool late)
{
    static const char *last[] = {"Petrović", "Horvat", "Novak", "Kovačević", "Šimić", "Jurić"};
    static const char *first[] = {"Ana", "Marko", "Ivana", "Željko", "Lucija", "Dragan"};
    static const char *dep[] = {"Production", "Warehouse", "Accounts", "Reception"};
    QStringList c{QString::number(n),
                  QString("0%1.12.2026. 0%2:%3").arg(n % 8 + 1).arg(n % 9).arg(n % 60, 2, 10, QChar('0')),
                  QString::fromUtf8(last[n % 6]),
                  QString::fromUtf8(first[n % 6]),
                  dep[n % 4],
                  n % 3 ? "Arrival" : "Business exit"};
    for (const QString &e : extra)
        c << (e == "Calendar" ? (n % 5 ? "Work day" : "Holiday") : (n % 4 ? "Office" : "Field staff"));
    if (late) {
        c[1] += " *";
        for (QString &s : c)
            s.prepend("[%red%]");
    }
    return c.join('|');
}

} // namespace

TEST(ReportTemplates, InstalledTemplatesHoldTheirNamesAndDrawAPage)
{
    const QString saved = QDir::currentPath();
    QDir::setCurrent(ZORVIK_SOURCE_DIR);
    const QList<Layout> layouts = {{"Presences.rpt", 6, {}},
                                   {"PresencesGroups.rpt", 7, {"Group"}},
                                   {"PresencesCal.rpt", 7, {"Calendar"}},
                                   {"PresencesGroupsCal.rpt", 8, {"Calendar", "Group"}}};
    const QString shots = qEnvironmentVariable("ZORVIK_SHOTS");
    for (const Layout &l : layouts) {
        SCOPED_TRACE(l.file);
        CReportEngine engine;
        const QString path = CReportEngine::templatePath(l.file);
        EXPECT_EQ(path, QDir::current().filePath(QString("Reports/") + l.file));
        ASSERT_TRUE(engine.LoadTemplate(path)) << engine.GetErrorText().toStdString();
        EXPECT_EQ(engine.GetGridColumnCount("Grid", 0), l.cells);
        EXPECT_EQ(engine.GetObjectType("Logo", 0), 7);
        for (const QString &name : QStringList{"Title", "SubTitle", "Header", "Footer", "PrintDateTime", "TotalPages",
                                               "Num", "DateTime", "LastName", "FirstName", "Department", "LastAct"} +
                                       l.extra)
            EXPECT_EQ(engine.GetObjectType(name, 0), 2) << name.toStdString();

        QStringList rows;
        for (int i = 1; i <= 60; ++i)
            rows << sampleRow(i, l.extra, i % 7 == 0);
        engine.ClearContent();
        ASSERT_TRUE(engine.SetGridRows("Grid", rows));
        const int pages = engine.Paginate();
        EXPECT_EQ(pages, 2);
        engine.SetFieldText("Title", "Last activity");
        engine.SetFieldText("SubTitle", "All employees, all departments");
        engine.SetFieldText("PrintDateTime", "2026-12-08 21:05");
        engine.SetFieldText("Header", "2026-12-08 21:05:33 / Zorvik / demo / reception");
        engine.SetFieldText("Footer", "2026-12-08 21:05:33 / Zorvik / demo / reception");
        engine.SetFieldText("TotalPages", QString(" / %1").arg(pages));
        const QStringList headings{"No.", "Date and time", "Last name", "First name", "Department", "Last activity"};
        const char *keys[] = {"Num", "DateTime", "LastName", "FirstName", "Department", "LastAct"};
        for (int i = 0; i < 6; ++i)
            engine.SetFieldText(keys[i], headings[i]);
        engine.SetFieldText("Calendar", "Day type");
        engine.SetFieldText("Group", "Group");
        QImage logo(64, 40, QImage::Format_RGB32);
        logo.fill(QColor(30, 80, 160));
        engine.SetPicture("Logo", logo);

        // A4 at 150 dpi.
        QImage img(1241, 1754, QImage::Format_RGB32);
        img.setDotsPerMeterX(5906);
        img.setDotsPerMeterY(5906);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            engine.DrawPage(p, 1);
        }
        // Row 7 is late: its band (rows of 30 pixels from 1.62 inches) holds red text, row 6 none.
        auto redIn = [&](int row) {
            const int top = 243 + 30 * (row - 1);
            for (int y = top; y < top + 30; ++y)
                for (int x = 75; x < 1166; ++x) {
                    const QRgb c = img.pixel(x, y);
                    if (qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90)
                        return true;
                }
            return false;
        };
        EXPECT_TRUE(redIn(7));
        EXPECT_FALSE(redIn(6));
        EXPECT_EQ(img.pixel(100, 110), qRgb(30, 80, 160)); // the logo
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            img.save(QDir(shots).filePath(QString(l.file).replace(".rpt", ".png")));
        }
    }
    QDir::setCurrent(saved);
    // Away from the source folder the templates are looked for beside the program.
    testsupport::TempDir dir;
    QDir::setCurrent(dir.path());
    EXPECT_TRUE(CReportEngine::templatePath("Presences.rpt").endsWith("/Reports/Presences.rpt"));
    EXPECT_FALSE(CReportEngine::templatePath("Presences.rpt").startsWith(dir.path()));
    QDir::setCurrent(saved);
}
