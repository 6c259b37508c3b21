// Tablets on the canvas painted with the application's context, and a picture of a whole panel
// (disabled by default: run with --gtest_also_run_disabled_tests; ZORVIK_SHOTS names the folder).
#include "PanelPicture.h"
#include "PanelTestUtil.h"
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "db/CReferenceData.h"
#include "panel/CTabletPainter.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikView.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <gtest/gtest.h>

using namespace paneltest;

namespace {

ColourMap pictureColours()
{
    // 0x00BBGGRR
    return {{QStringLiteral("1"), 0x0000C000},
            {QStringLiteral("2"), 0x0000C0FF},
            {QStringLiteral("3"), 0x00FF8000},
            {QStringLiteral("4"), 0x000000E0},
            {QStringLiteral("5"), 0x00C000C0}};
}

} // namespace

TEST(PanelWindowContext, TakesColoursAndNameFormatFromTheApplication)
{
    CReferenceData ref;
    ref.activityColourMap = pictureColours();
    CAppContext ctx(nullptr, &ref, nullptr, QDir::tempPath());
    ctx.makeCurrent();
    C_ZorvikDoc doc;
    CTablet *t = doc.addTablet(QStringLiteral("Wwww"), QStringLiteral("i"), QStringLiteral("1"), QStringLiteral("1"),
                               QRect(0, 0, 168, 24));
    t->activityId = QStringLiteral("4");
    C_ZorvikView view(&doc);
    view.resize(400, 300);
    view.show();
    auto grab = [&] { return view.canvas()->grab(view.tabletRect(t)).toImage(); };
    const QImage lastFirst = grab();
    EXPECT_EQ(lastFirst.pixelColor(11, 11), QColor(0xE0, 0, 0));
    ctx.nameFormat = 1;
    const QImage firstLast = grab();
    EXPECT_NE(lastFirst.copy(24, 3, 100, 18), firstLast.copy(24, 3, 100, 18));
    ref.activityColourMap.clear();
    EXPECT_EQ(grab().pixelColor(11, 11), QColor(Qt::black));
}

TEST(PanelWindowContext, DrawsOncePerChangeAndShowsWhatAFreshPaintShows)
{
    CReferenceData ref;
    ref.activityColourMap = pictureColours();
    CAppContext ctx(nullptr, &ref, nullptr, QDir::tempPath());
    ctx.makeCurrent();
    C_ZorvikDoc doc;
    CTablet *t = doc.addTablet(QStringLiteral("Petrović"), QStringLiteral("Ana"), QStringLiteral("00004711"),
                               QStringLiteral("7"), QRect(0, 0, 168, 96));
    feed(t, 2);
    t->setPhotograph(portrait(2));
    C_ZorvikView view(&doc);
    view.resize(400, 300);
    view.show();
    C_PanelWnd *w = view.tabletWindow(t);
    QWidget *canvas = view.canvas();
    // What the painter draws for the tablet as it stands now, with the canvas's own look and the
    // photograph decoded on the spot.
    auto fresh = [&](QImage::Format format) {
        QImage img(t->geometry().size(), format);
        QPainter p(&img);
        const int icon = canvas->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, canvas);
        CTabletPainter::Context c{int(ctx.nameFormat), &ref.activityColourMap};
        CTabletPainter(CTabletPainter::Look::fromPalette(canvas->palette(), QApplication::font(), icon))
            .paint(p, *t, t->geometry().size(), c, nullptr);
        return img;
    };
    // What the canvas shows, once the photograph it asked for has been decoded on its thread.
    auto shown = [&] {
        (void)canvas->grab(view.tabletRect(t));
        EXPECT_TRUE(testsupport::waitFor([&] { return view.canvas()->photoLoader()->isIdle(); }));
        return canvas->grab(view.tabletRect(t)).toImage();
    };
    auto same = [&] {
        const QImage s = shown();
        return s == fresh(s.format());
    };
    EXPECT_TRUE(same());
    const int draws = w->drawCount();
    shown();
    shown();
    EXPECT_EQ(w->drawCount(), draws); // repaints copy the picture
    EXPECT_EQ(w->pictureCacheBytes(), qsizetype(168) * 96 * canvas->grab(QRect(0, 0, 1, 1)).depth() / 8);
    EXPECT_GT(w->photoCacheBytes(), 0);

    t->timeText = QStringLiteral("23:59");
    t->activityId = QStringLiteral("5");
    t->invalidateAll();
    EXPECT_TRUE(same());
    ctx.nameFormat = 1; // no signal: the window notices at its next paint
    EXPECT_TRUE(same());
    ref.activityColourMap[QStringLiteral("5")] = 0x00000000;
    EXPECT_TRUE(same());
    t->setSelected(true);
    EXPECT_TRUE(same());
    t->setExpandedSize(false);
    EXPECT_TRUE(same());
    EXPECT_EQ(w->drawCount(), draws + 5);
    view.hide();
    EXPECT_EQ(w->pictureCacheBytes(), 0);
}

TEST(PanelPicture, DISABLED_RenderPanel)
{
    CReferenceData ref;
    ref.activityColourMap = pictureColours();
    CAppContext ctx(nullptr, &ref, nullptr, QDir::tempPath());
    ctx.makeCurrent();
    C_ZorvikDoc doc;
    const int columns = 5, perColumn = 8;
    for (int c = 0; c < columns; ++c) {
        int y = 24;
        for (int r = 0; r < perColumn; ++r) {
            const int i = c * perColumn + r;
            const bool expanded = (i % 5 == 2) || i == 9;
            const QString id = QString::number(100 + i);
            CTablet *t =
                doc.addTablet(lastNames().at(i % lastNames().size()), firstNames().at((i * 5) % firstNames().size()),
                              QStringLiteral("%1").arg(4711 + i * 37, 8, 10, QLatin1Char('0')), id,
                              QRect(24 + c * 192, y, 168, expanded ? 96 : 24));
            feed(t, i);
            if (expanded) {
                t->setExpanded(true);
                t->setPhotograph(portrait(i));
            }
            if (i == 9) {
                t->setStale(true);
                t->dateText = QStringLiteral("05.12.2026.");
            }
            if (i == 17)
                t->setIllegal(true);
            if (i == 20 || i == 21)
                t->setSelected(true);
            y += (expanded ? 96 : 24) + 24;
        }
    }
    C_ZorvikView view(&doc);
    view.resize(1024, 660);
    view.show();
    ASSERT_TRUE(testsupport::waitFor([&] { return view.isVisible(); }));
    (void)view.grab(); // asks for the photographs, decoded on the canvas's thread
    ASSERT_TRUE(testsupport::waitFor([&] { return view.canvas()->photoLoader()->isIdle(); }));
    const QString dir = qEnvironmentVariable("ZORVIK_SHOTS", QStringLiteral("shots"));
    QDir().mkpath(dir);
    const QImage shot = view.grab().toImage();
    ASSERT_TRUE(shot.save(dir + QStringLiteral("/panel.png")));
    // A close look at two tablets, enlarged without smoothing.
    const QImage close = view.canvas()->grab(QRect(24, 24, 168 * 2 + 24, 144)).toImage();
    ASSERT_TRUE(close.scaled(close.size() * 3).save(dir + QStringLiteral("/tablets-x3.png")));
}
