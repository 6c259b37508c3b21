// Drawing and decoding without widgets: the photo decoder, the photo cache, the tablet
// painter, the drag arithmetic and the panel background.
#include "PanelTestUtil.h"
#include "TestSupport.h"
#include "panel/CPanelBackground.h"
#include "panel/CPanelGeometry.h"
#include "panel/CPhotoDecoder.h"
#include "panel/CTablet.h"
#include "panel/CTabletPainter.h"
#include "panel/CTabletPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPalette>
#include <gtest/gtest.h>

using namespace paneltest;

namespace {

CTabletPainter::Look testLook()
{
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    font.setStyleStrategy(QFont::NoAntialias);
    CTabletPainter::Look l = CTabletPainter::Look::fromPalette(QGuiApplication::palette(), font, 16);
    l.body = QColor(200, 200, 200);
    l.selectedBody = QColor(0, 0, 128);
    l.nameText = QColor(0, 128, 0);
    l.selectedNameText = QColor(255, 255, 0);
    l.detailsText = QColor(0, 0, 255);
    l.detailsBackground = QColor(255, 255, 200);
    return l;
}

QImage render(const CTablet &t, const CTabletPainter::Context &ctx = {}, CTabletPhoto *photo = nullptr,
              QSize size = QSize(168, 96))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter p(&img);
    CTabletPainter(testLook()).paint(p, t, size, ctx, photo);
    return img;
}

const QRect kNameArea(24, 3, 105, 18);

} // namespace

TEST(PhotoDecoder, RecognisesFormatsFromContent)
{
    EXPECT_EQ(CPhotoDecoder::formatOf(photo(40, 30, Qt::red, Qt::blue, "JPEG")), CPhotoDecoder::Format::Jpeg);
    EXPECT_EQ(CPhotoDecoder::formatOf(photo(40, 30, Qt::red, Qt::blue, "GIF")), CPhotoDecoder::Format::Gif);
    EXPECT_EQ(CPhotoDecoder::formatOf(photo(40, 30, Qt::red, Qt::blue, "BMP")), CPhotoDecoder::Format::Bmp);
    EXPECT_EQ(CPhotoDecoder::formatOf(photo(40, 30, Qt::red, Qt::blue, "PNG")), CPhotoDecoder::Format::Unknown);
    EXPECT_EQ(CPhotoDecoder::formatOf(QByteArray("BM")), CPhotoDecoder::Format::Unknown);

    for (const char *f : {"GIF", "BMP"}) {
        const QImage img = CPhotoDecoder::decode(photo(40, 30, Qt::red, Qt::blue, f));
        ASSERT_EQ(img.size(), QSize(40, 30)) << f;
        EXPECT_TRUE(near(img.pixelColor(5, 15), Qt::red)) << f;
        EXPECT_TRUE(near(img.pixelColor(35, 15), Qt::blue)) << f;
    }
    EXPECT_TRUE(CPhotoDecoder::decode(photo(40, 30, Qt::red, Qt::blue, "PNG")).isNull());
    EXPECT_TRUE(CPhotoDecoder::decode(QByteArray("not a picture")).isNull());
}

TEST(PhotoDecoder, JpegUsesTheSmallestScaleThatCoversTheTarget)
{
    // The output of n/8 is rounded up, as libjpeg does.
    EXPECT_EQ(CPhotoDecoder::jpegScaleNumerator(QSize(400, 300), QSize(49, 37)), 1); // 50 x 38
    EXPECT_EQ(CPhotoDecoder::jpegScaleNumerator(QSize(400, 300), QSize(50, 38)), 1);
    EXPECT_EQ(CPhotoDecoder::jpegScaleNumerator(QSize(400, 300), QSize(51, 38)), 2);
    EXPECT_EQ(CPhotoDecoder::jpegScaleNumerator(QSize(401, 300), QSize(51, 38)), 1); // 51 x 38
    EXPECT_EQ(CPhotoDecoder::jpegScaleNumerator(QSize(40, 30), QSize(49, 37)), 8);   // never enlarged
    EXPECT_EQ(CPhotoDecoder::jpegScaleNumerator(QSize(400, 300), QSize()), 8);

    const QByteArray jpeg = photo(400, 300, Qt::red, Qt::blue);
    EXPECT_EQ(CPhotoDecoder::imageSize(jpeg), QSize(400, 300));
    const QImage small = CPhotoDecoder::decode(jpeg, QSize(49, 37));
    ASSERT_EQ(small.size(), QSize(50, 38));
    EXPECT_TRUE(near(small.pixelColor(5, 19), Qt::red));
    EXPECT_TRUE(near(small.pixelColor(45, 19), Qt::blue));
    EXPECT_EQ(CPhotoDecoder::decode(jpeg, QSize(120, 80)).size(), QSize(150, 113)); // 3/8
    EXPECT_EQ(CPhotoDecoder::decode(jpeg).size(), QSize(400, 300));

    const QImage grey = CPhotoDecoder::decode(photo(64, 64, Qt::black, Qt::white).left(0));
    EXPECT_TRUE(grey.isNull());
}

TEST(PhotoDecoder, DamagedJpegNeverCrashes)
{
    const QByteArray jpeg = photo(200, 150, Qt::red, Qt::blue);
    // Cut short: libjpeg pads the missing part; cut inside the header: nothing.
    const QImage cut = CPhotoDecoder::decode(jpeg.left(jpeg.size() / 2), QSize(20, 20));
    EXPECT_FALSE(cut.isNull());
    EXPECT_TRUE(CPhotoDecoder::decode(jpeg.left(20)).isNull());
    EXPECT_FALSE(CPhotoDecoder::imageSize(jpeg.left(20)).isValid());
    QByteArray scrambled = jpeg;
    for (int i = 200; i < scrambled.size(); i += 7)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    (void)CPhotoDecoder::decode(scrambled, QSize(30, 30)); // must return, whatever it holds
}

// Pictures whose header asks for more than the cap (8,000 pixels a side, 40 megapixels) are
// refused as unloadable, photographs and backgrounds alike, before any pixel memory is taken: the
// process's peak of address space does not grow by the gigabytes the header asks for.
TEST(PhotoDecoder, PicturesOverTheCapAreRefusedWithoutTheirMemory)
{
    auto peakKb = [] {
        QFile f("/proc/self/status");
        f.open(QIODevice::ReadOnly);
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("VmPeak:"))
                return line.mid(7).trimmed().split(' ').first().toLongLong();
        return 0LL;
    };
    const qint64 before = peakKb();
    QByteArray jpeg = photo(16, 16, Qt::red, Qt::blue);
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    auto declare = [&](int w, int h) {
        QByteArray b = jpeg;
        b[sof + 5] = char(h >> 8);
        b[sof + 6] = char(h & 0xFF);
        b[sof + 7] = char(w >> 8);
        b[sof + 8] = char(w & 0xFF);
        return b;
    };
    QByteArray bmp = photo(16, 16, Qt::red, Qt::blue, "BMP");
    auto declareBmp = [&](qint32 w, qint32 h) {
        QByteArray b = bmp;
        for (int i = 0; i < 4; ++i) {
            b[18 + i] = char((w >> (8 * i)) & 0xFF);
            b[22 + i] = char((h >> (8 * i)) & 0xFF);
        }
        return b;
    };
    testsupport::TempDir dir;
    for (const QByteArray &huge : {declare(20000, 20000), declare(8001, 16), declare(7000, 7000),
                                   declareBmp(20000, 20000), declareBmp(16, 9000)}) {
        EXPECT_FALSE(CPhotoDecoder::imageSize(huge).isValid());
        EXPECT_TRUE(CPhotoDecoder::decode(huge).isNull());
        EXPECT_TRUE(CPhotoDecoder::decode(huge, QSize(49, 62)).isNull());
        QRect target;
        EXPECT_TRUE(CTabletPhoto::decodeFor(huge, QRect(5, 25, 53, 66), &target).isNull());
        const QString path =
            dir.file(CPhotoDecoder::formatOf(huge) == CPhotoDecoder::Format::Jpeg ? "bg.jpg" : "bg.bmp");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(huge);
        f.close();
        CPanelBackground bg;
        EXPECT_FALSE(bg.setImage(path, true));
    }
    EXPECT_LT(peakKb() - before, 256 * 1024);
    // At the cap itself a picture is still a picture.
    EXPECT_EQ(CPhotoDecoder::imageSize(declare(8000, 16)), QSize(8000, 16));
    EXPECT_TRUE(CPhotoDecoder::withinCap(QSize(8000, 5000)));
    EXPECT_FALSE(CPhotoDecoder::withinCap(QSize(8000, 5001)));
}

// A progressive JPEG keeps every coefficient of the picture while it decodes, whatever the scale:
// a few hundred bytes declaring 7999 x 5000 (inside the pixel cap) would take hundreds of megabytes
// of libjpeg's memory. Refused, photograph and background alike; a baseline one of that size still
// decodes at the scale drawn, a progressive one of a usual size still decodes.
TEST(PhotoDecoder, ProgressiveJpegsBeyondTheDecodersMemoryAreRefused)
{
    auto jpeg = [](bool progressive, int w, int h, QSize declared = QSize()) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        QImageWriter writer(&buf, "JPEG");
        writer.setProgressiveScanWrite(progressive);
        EXPECT_TRUE(writer.write(img));
        QByteArray b = buf.data();
        // The frame header made to declare a larger picture; the scans stay short.
        const qsizetype sof = b.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
        const int size[4] = {declared.height() >> 8, declared.height(), declared.width() >> 8, declared.width()};
        for (int i = 0; i < 4 && declared.isValid() && sof > 0; ++i)
            b[sof + 5 + i] = char(size[i] & 0xFF);
        return b;
    };
    const QByteArray progressive = jpeg(true, 16, 16, QSize(7999, 5000));
    ASSERT_EQ(CPhotoDecoder::imageSize(progressive), QSize(7999, 5000));
    QRect target;
    EXPECT_TRUE(CTabletPhoto::decodeFor(progressive, QRect(5, 25, 53, 66), &target).isNull());
    testsupport::TempDir dir;
    QFile f(dir.file("bg.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(progressive) == progressive.size());
    f.close();
    EXPECT_FALSE(CPanelBackground().setImage(dir.file("bg.jpg"), true));
    EXPECT_EQ(CPhotoDecoder::decode(jpeg(false, 16, 16, QSize(7999, 5000)), QSize(49, 62)).size(), QSize(1000, 625));
    EXPECT_EQ(CPhotoDecoder::decode(jpeg(true, 640, 480), QSize(160, 120)).size(), QSize(160, 120));
}

TEST(TabletPhoto, PlacementFitsCentresAndShrinks)
{
    // Cell 53 x 66; 400 x 300 scales by 53/400 to 53 x 39, centred 13 down, less 2 each side.
    EXPECT_EQ(CTabletPhoto::placement(QRect(5, 25, 53, 66), QSize(400, 300)), QRect(7, 40, 49, 35));
    // A tall image: height decides.
    EXPECT_EQ(CTabletPhoto::placement(QRect(0, 0, 53, 66), QSize(100, 200)), QRect(12, 2, 29, 62));
    EXPECT_TRUE(CTabletPhoto::placement(QRect(0, 0, 53, 66), QSize()).isEmpty());
}

TEST(TabletPhoto, DecodesOnceAtTheDrawnSizeAndAgainWhenTheBytesChange)
{
    CTabletPhoto cache;
    const QRect cell(5, 25, 53, 66);
    QByteArray bytes = photo(400, 300, Qt::red, Qt::red);
    QRect target;
    const qint64 first = cache.image(bytes, cell, &target).cacheKey();
    EXPECT_EQ(target, QRect(7, 40, 49, 35));
    EXPECT_EQ(cache.image(bytes, cell, &target).size(), target.size());
    EXPECT_EQ(cache.cachedBytes(), qsizetype(49) * 35 * 4);
    EXPECT_EQ(cache.image(bytes, cell, nullptr).cacheKey(), first); // not decoded again

    bytes = photo(300, 300, Qt::green, Qt::green);
    const QImage &second = cache.image(bytes, cell, &target);
    EXPECT_NE(second.cacheKey(), first);
    EXPECT_TRUE(near(second.pixelColor(second.width() / 2, second.height() / 2), Qt::green));

    EXPECT_TRUE(cache.image(QByteArray("junk"), cell, &target).isNull());
    EXPECT_TRUE(target.isEmpty());
    EXPECT_EQ(cache.cachedBytes(), 0);
}

TEST(TabletPainter, NameColourFollowsSelectionAndStaleness)
{
    CTablet t;
    t.lastName = QStringLiteral("Doe");
    t.firstName = QStringLiteral("Jane");
    const QColor red(255, 0, 0);
    const CTabletPainter::Look look = testLook();

    QImage img = render(t);
    EXPECT_GT(countColour(img, kNameArea, look.nameText), 20);
    EXPECT_EQ(countColour(img, kNameArea, red), 0);

    t.setStale(true);
    img = render(t);
    EXPECT_GT(countColour(img, kNameArea, red), 20);
    EXPECT_EQ(countColour(img, kNameArea, look.nameText), 0);

    t.setSelected(true); // selection wins over staleness
    img = render(t);
    EXPECT_EQ(countColour(img, kNameArea, red), 0);
    EXPECT_GT(countColour(img, kNameArea, look.selectedNameText), 20);
    EXPECT_EQ(img.pixelColor(60, 3), look.selectedBody);
}

TEST(TabletPainter, NameFormatOrdersTheNames)
{
    CTablet t;
    t.lastName = QStringLiteral("W");
    t.firstName = QStringLiteral("i");
    // A wide letter first or a narrow one first: the name's ink starts differently.
    auto firstInkColumn = [](const QImage &img) {
        for (int x = 24; x < 120; ++x)
            for (int y = 4; y < 20; ++y)
                if (img.pixelColor(x, y) == testLook().nameText)
                    return x;
        return -1;
    };
    CTabletPainter::Context lastFirst;
    CTabletPainter::Context firstLast;
    firstLast.nameFormat = 1;
    const QImage a = render(t, lastFirst), b = render(t, firstLast);
    EXPECT_NE(a, b);
    EXPECT_GE(firstInkColumn(a), 24);
    EXPECT_GE(firstInkColumn(b), 24);
}

TEST(TabletPainter, DotTakesTheActivityColourOrBlack)
{
    CTablet t;
    t.activityId = QStringLiteral("10");
    ColourMap colours{
        {QStringLiteral("7"), 0x0000FF00}, {QStringLiteral("8"), 0x00FF0000}, {QStringLiteral("10"), kColourAutomatic}};
    CTabletPainter::Context automatic;
    automatic.colours = &colours;
    EXPECT_EQ(render(t, automatic).pixelColor(11, 11), QColor(Qt::white));
    t.activityId = QStringLiteral("7");
    CTabletPainter::Context ctx;
    ctx.colours = &colours;
    EXPECT_EQ(render(t, ctx).pixelColor(11, 11), QColor(0, 255, 0));
    t.activityId = QStringLiteral("8");
    EXPECT_EQ(render(t, ctx).pixelColor(11, 11), QColor(0, 0, 255)); // 0x00BBGGRR
    t.activityId = QStringLiteral("9");
    EXPECT_EQ(render(t, ctx).pixelColor(11, 11), QColor(Qt::black));
    t.activityId = QStringLiteral("7");
    EXPECT_EQ(render(t).pixelColor(11, 11), QColor(Qt::black)); // no colours known
    // Outline black, body inside the raised edge.
    const QImage img = render(t);
    EXPECT_EQ(img.pixelColor(0, 50), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(167, 50), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(100, 20), testLook().body);
}

TEST(TabletPainter, DetailsShowTextsAndPhotograph)
{
    const CTabletPainter::Look look = testLook();
    const QSize size(168, 96);
    const QRect text = CTabletPainter::detailsTextRect(size);
    const QRect cell = CTabletPainter::photoCell(size);
    EXPECT_EQ(CTabletPainter::detailsArea(size), QRect(5, 25, 158, 66));
    EXPECT_EQ(cell, QRect(5, 25, 53, 66));
    EXPECT_EQ(text, QRect(QPoint(57, 26), QPoint(161, 89)));

    CTablet t;
    t.employeeId = QStringLiteral("17");
    t.mediaNumber = QStringLiteral("00012345");
    t.dateText = QStringLiteral("08.12.2026.");
    t.timeText = QStringLiteral("08:15");
    auto lineInk = [&](const QImage &img, int top, int bottom) {
        return countColour(img, QRect(QPoint(text.left() + 2, top), QPoint(text.right() - 2, bottom)),
                           look.detailsText);
    };
    QImage img = render(t);
    EXPECT_GT(lineInk(img, 28, 38), 20); // EmpID
    EXPECT_GT(lineInk(img, 42, 50), 20); // MediaID
    EXPECT_EQ(lineInk(img, 54, 62), 0);  // no activity description
    EXPECT_GT(lineInk(img, 66, 74), 10); // date
    EXPECT_GT(lineInk(img, 78, 86), 10); // time
    EXPECT_EQ(img.pixelColor(text.right() - 3, text.top() + 2), look.detailsBackground);
    // The labels come first: a longer identifier only adds ink to the right.
    t.employeeId = QStringLiteral("1234567");
    const QImage wider = render(t);
    EXPECT_GT(lineInk(wider, 28, 38), lineInk(img, 28, 38));
    EXPECT_EQ(wider.copy(QRect(text.left(), 28, 40, 10)), img.copy(QRect(text.left(), 28, 40, 10)));

    // Without a photograph the cell is the body colour; with one, the picture fills its middle.
    EXPECT_EQ(img.pixelColor(cell.center()), look.body);
    t.setPhotograph(photo(300, 400, Qt::red, Qt::red));
    CTabletPhoto cache;
    img = render(t, {}, &cache);
    EXPECT_TRUE(near(img.pixelColor(cell.center()), Qt::red));
    EXPECT_GT(cache.cachedBytes(), 0);
    EXPECT_EQ(img.pixelColor(cell.left() + 3, cell.top() + 3), look.body); // narrow picture: body beside it

    // Collapsed: nothing of the details is visible, nothing is decoded.
    CTabletPhoto unused;
    const QImage small = render(t, {}, &unused, QSize(168, 24));
    EXPECT_EQ(small.pixelColor(0, 23), QColor(Qt::black));
    EXPECT_EQ(unused.cachedBytes(), 0);
}

TEST(TabletPainter, LongNameEndsWithAnEllipsisBeforeTheIcons)
{
    const CTabletPainter::Look look = testLook();
    const QSize size(168, 24);
    const QRect room = CTabletPainter::nameRoom(size);
    EXPECT_EQ(room.topLeft(), QPoint(24, 5));
    EXPECT_LT(room.right(), CTabletPainter::iconPosition(size).x());
    CTablet t;
    t.lastName = QStringLiteral("Stojanović-Radosavljević");
    t.firstName = QStringLiteral("Žunić & Čolić Ljiljana");
    const QImage img = render(t, {}, nullptr, size);
    // Right of the room, up to the raised edge, the body stays untouched.
    const QRect beyond(QPoint(room.right() + 1, 3), QPoint(size.width() - 4, 20));
    EXPECT_EQ(countColour(img, beyond, look.body), beyond.width() * beyond.height());
    // The room is used to its end (the ellipsis), and a short name leaves that end empty.
    const QRect end(QPoint(room.right() - 12, room.top()), room.bottomRight());
    EXPECT_GT(countColour(img, end, look.nameText), 2);
    t.lastName = QStringLiteral("Doe");
    t.firstName = QStringLiteral("Jane");
    EXPECT_EQ(countColour(render(t, {}, nullptr, size), end, look.nameText), 0);
}

// Expansion and legality icons; an illegal or stale tablet reads without colour vision (a black
// mark on a yellow triangle, a clock), and the dot keeps a ring that stands out from the tablet body.
TEST(TabletPainter, IconsShowExpansionLegalityAndStaleness)
{
    CTablet t;
    const QRect icon(CTabletPainter::iconPosition(QSize(168, 96)), QSize(16, 16));
    EXPECT_EQ(icon.topLeft(), QPoint(133, 2));
    const QImage legal = render(t);
    EXPECT_EQ(countColour(legal, icon, QColor(255, 196, 0)), 0);
    t.setIllegal(true);
    EXPECT_GT(countColour(render(t), icon, QColor(255, 196, 0)), 20); // the triangle

    const QRect clock = CTabletPainter::staleIconRect(QSize(168, 96));
    EXPECT_FALSE(clock.intersects(icon));
    EXPECT_EQ(countColour(legal, clock, testLook().body), clock.width() * clock.height());
    t.setIllegal(false);
    t.setStale(true);
    EXPECT_GT(countColour(render(t), clock, Qt::white), 20);

    for (const QColor body : {QColor(212, 208, 200), QColor(40, 40, 60), QColor(10, 36, 106)})
        EXPECT_GE(CTabletPainter::contrast(CTabletPainter::ringColour(body), body), 3.0) << body.name().toStdString();

    CTablet e;
    const int plain = countColour(render(e), icon, testLook().nameText);
    e.setExpanded(true);
    EXPECT_GT(countColour(render(e), icon, testLook().nameText), plain);
}

TEST(PanelGeometry, DragSnapsTowardZeroAndStopsAtTheCanvasEdge)
{
    const QPoint noScroll(0, 0);
    EXPECT_EQ(CPanelGeometry::dragTarget(QPoint(100, 60), QPoint(10, 10), noScroll), QPoint(72, 48));
    EXPECT_EQ(CPanelGeometry::dragTarget(QPoint(5, 5), QPoint(10, 10), noScroll), QPoint(0, 0)); // -5 -> 0
    EXPECT_EQ(CPanelGeometry::dragTarget(QPoint(-40, -100), QPoint(10, 10), noScroll), QPoint(0, 0));
    // Scrolled by 240: a client position down to -240 is still on the canvas.
    EXPECT_EQ(CPanelGeometry::dragTarget(QPoint(-40, 0), QPoint(10, 0), QPoint(240, 0)), QPoint(-48, 0));
    EXPECT_EQ(CPanelGeometry::dragTarget(QPoint(-400, 0), QPoint(10, 0), QPoint(240, 0)), QPoint(-240, 0));
    // A scroll position off the grid counts by its grid part.
    EXPECT_EQ(CPanelGeometry::dragTarget(QPoint(-400, 0), QPoint(10, 0), QPoint(250, 0)), QPoint(-240, 0));
    EXPECT_EQ(CPanelGeometry::thumbPosition(100), 96);
    EXPECT_EQ(CPanelGeometry::thumbPosition(23), 0);
    EXPECT_TRUE(CPanelGeometry::followerFits(QPoint(0, 0)));
    EXPECT_FALSE(CPanelGeometry::followerFits(QPoint(-24, 48)));
}

TEST(PanelBackground, ChoosesByExactEndingAndOnlyWhenUsed)
{
    testsupport::TempDir dir;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 0));
    for (const char *name : {"bg.jpg", "bg.JPG", "bg.jpeg", "bg.png", "bg.gif", "bg.bmp"}) {
        const QString n = QString::fromLatin1(name);
        const char *format = n.endsWith(QLatin1String("gif"))   ? "GIF"
                             : n.endsWith(QLatin1String("bmp")) ? "BMP"
                             : n.endsWith(QLatin1String("png")) ? "PNG"
                                                                : "JPEG";
        if (QByteArray(format) == "GIF") {
            QFile f(dir.file(n));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(gif(30, 20, QColor(0, 200, 0), QColor(0, 200, 0)));
        } else {
            ASSERT_TRUE(picture.save(dir.file(n), format));
        }
    }
    CPanelBackground bg;
    EXPECT_TRUE(bg.setImage(dir.file(QStringLiteral("bg.jpg")), true));
    EXPECT_EQ(bg.image().size(), QSize(30, 20));
    EXPECT_TRUE(bg.setImage(dir.file(QStringLiteral("bg.gif")), true));
    EXPECT_TRUE(bg.setImage(dir.file(QStringLiteral("bg.bmp")), true));
    for (const char *name : {"bg.JPG", "bg.jpeg", "bg.png"}) {
        EXPECT_FALSE(bg.setImage(dir.file(QString::fromLatin1(name)), true)) << name;
        EXPECT_TRUE(bg.image().isNull());
        EXPECT_EQ(bg.path(), dir.file(QString::fromLatin1(name))); // kept for saving
    }
    EXPECT_FALSE(bg.setImage(dir.file(QStringLiteral("bg.jpg")), false)); // not used: not loaded
    EXPECT_FALSE(bg.setImage(dir.file(QStringLiteral("missing.jpg")), true));
}

TEST(PanelBackground, PaintsGridOrPicture)
{
    const QColor grid(10, 20, 30);
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    font.setStyleStrategy(QFont::NoAntialias);
    auto paint = [&](const CPanelBackground &bg, const QRect &exposed) {
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        bg.paint(p, exposed, 23999, 23999, grid, font);
        return img;
    };
    CPanelBackground none;
    QImage img = paint(none, QRect(0, 0, 300, 200));
    // Dotted vertical lines on multiples of 24, nothing between them.
    EXPECT_GT(countColour(img, QRect(48, 60, 1, 100), grid), 40);
    EXPECT_EQ(countColour(img, QRect(60, 73, 1, 22), grid), 0);
    EXPECT_GT(countColour(img, QRect(100, 72, 100, 1), grid), 40);
    EXPECT_GT(countColour(img, QRect(25, 1, 20, 12), grid), 3); // the label "1"
    // A partial repaint draws the same pixels as a full one.
    const QImage part = paint(none, QRect(40, 50, 100, 80));
    EXPECT_EQ(part.copy(40, 50, 100, 80), img.copy(40, 50, 100, 80));

    testsupport::TempDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    ASSERT_TRUE(picture.save(dir.file(QStringLiteral("b.bmp")), "BMP"));
    CPanelBackground once;
    once.setImage(dir.file(QStringLiteral("b.bmp")), true);
    img = paint(once, QRect(0, 0, 300, 200));
    EXPECT_EQ(img.pixelColor(30, 30), QColor(0, 0, 255));
    EXPECT_GT(countColour(img, QRect(96, 100, 1, 80), grid), 20); // grid beyond the picture
    CPanelBackground tiled;
    tiled.setImage(dir.file(QStringLiteral("b.bmp")), true);
    tiled.setTile(true);
    img = paint(tiled, QRect(0, 0, 300, 200));
    EXPECT_EQ(countColour(img, QRect(0, 0, 300, 200), QColor(0, 0, 255)), 300 * 200);
    EXPECT_TRUE(tiled.coversCanvas());

    // Used and tiled but not loaded: the canvas is erased first, and no grid is drawn.
    for (const QString &path : {QStringLiteral("C:\\Slike\\pozadina.jpg"), dir.file(QStringLiteral("b.BMP")),
                                dir.file(QStringLiteral("missing.bmp"))}) {
        CPanelBackground lost;
        EXPECT_FALSE(lost.setImage(path, true));
        lost.setTile(true);
        EXPECT_FALSE(lost.coversCanvas());
        EXPECT_EQ(countColour(paint(lost, QRect(0, 0, 300, 200)), QRect(0, 0, 300, 200), grid), 0);
    }
}

TEST(TabletPainter, LargeDesktopFontsAreBroughtDownToTheLayout)
{
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPixelSize(20);
    const CTabletPainter::Look look = CTabletPainter::Look::fromPalette(QGuiApplication::palette(), big);
    const QFontMetrics details(look.detailsFont);
    // Lines 12 pixels apart, with a free pixel between, and room above the capitals: the first
    // line stays clear of the sunken edge.
    EXPECT_LE(details.lineSpacing() + look.detailsTopGap, 11);
    for (int px = 9; px <= 20; ++px) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(px);
        f.setStyleStrategy(QFont::NoAntialias);
        CTabletPainter::Look l = CTabletPainter::Look::fromPalette(QGuiApplication::palette(), f);
        l.detailsText = QColor(0, 0, 255);
        CTablet t;
        t.employeeId = QStringLiteral("17");
        QImage img(168, 96, QImage::Format_RGB32);
        QPainter p(&img);
        CTabletPainter(l).paint(p, t, img.size(), {}, nullptr);
        p.end();
        const QRect text = CTabletPainter::detailsTextRect(img.size());
        EXPECT_EQ(countColour(img, QRect(text.left(), 26, text.width(), 2), l.detailsText), 0) << f.pixelSize();
        EXPECT_GT(countColour(img, QRect(text.left(), 28, text.width(), 10), l.detailsText), 10);
    }
    EXPECT_LE(details.horizontalAdvance(QStringLiteral("MediaID: 00012345")),
              CTabletPainter::detailsTextRect(QSize(168, 96)).width() - 2);
    EXPECT_LE(QFontMetrics(look.nameFont).height(), 16);
    EXPECT_TRUE(look.nameFont.bold());

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(9); // already fits: kept as it is
    EXPECT_EQ(CTabletPainter::Look::fromPalette(QGuiApplication::palette(), small).detailsFont.pixelSize(), 9);
}
