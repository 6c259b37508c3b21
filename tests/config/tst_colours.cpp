#include "app/CStringTable.h"
#include "config/CActivityCodes.h"
#include "config/CColourButton.h"
#include "config/CColourFile.h"
#include "config/CColourPalettePopup.h"
#include "config/CColoursModel.h"
#include "config/CD_Colors.h"
#include "config/C_ColorCell.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CPrompt.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ColourMap whiteMap(std::initializer_list<const char *> keys)
{
    ColourMap m;
    for (const char *k : keys)
        m[QString::fromLatin1(k)] = kColourWhite;
    return m;
}

// Makes writes into a folder fail for the life of the object: the folder becomes read-only,
// and since that does not stop root, files may not grow past a few bytes either.
class WriteBlocker
{
public:
    explicit WriteBlocker(const QString &dir) : m_dir(dir)
    {
        QFile::setPermissions(m_dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (geteuid() == 0) {
            getrlimit(RLIMIT_FSIZE, &m_old);
            m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = m_old;
            small.rlim_cur = 8;
            setrlimit(RLIMIT_FSIZE, &small);
            m_limited = true;
        }
    }
    ~WriteBlocker()
    {
        if (m_limited) {
            setrlimit(RLIMIT_FSIZE, &m_old);
            std::signal(SIGXFSZ, m_oldHandler);
        }
        QFile::setPermissions(m_dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

private:
    QString m_dir;
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_limited = false;
};

const QByteArray kRedForOne = crlf("<ZVPANELCFG>\n"
                                   "<COLOR>\n<ACT>1</ACT>\n<VALUE>000000FF</VALUE>\n</COLOR>\n"
                                   "</ZVPANELCFG>\n");

TEST(ColourFile, ReadsTheColoursOfKnownActivities)
{
    testsupport::TempDir dir;
    const QString path = dir.file(CColourFile::kFileName);
    writeFile(path, crlf("<?xml version=\"1.0\"?>\n<ZVPANELCFG>\n"
                         "<COLOR>\n<ACT>1</ACT>\n<VALUE>000000FF</VALUE>\n</COLOR>\n"
                         "<OTHER><ACT>2</ACT><VALUE>00FF0000</VALUE></OTHER>\n"
                         "<COLOR>\n<ACT>77</ACT>\n<VALUE>0000FF00</VALUE>\n</COLOR>\n"
                         "<COLOR>\n<ACT>10</ACT>\n<VALUE>ff000000</VALUE>\n</COLOR>\n"
                         "</ZVPANELCFG>\n"));
    ColourMap map = whiteMap({"1", "2", "10"});
    CColourFile::load(path, map);
    EXPECT_EQ(map.size(), 3u); // the unknown activity 77 is not added
    EXPECT_EQ(map["1"], ColourValue(0x000000FF));
    EXPECT_EQ(toQColor(map["1"]), QColor(255, 0, 0));
    EXPECT_EQ(map["2"], kColourWhite); // only COLOR elements count
    EXPECT_EQ(map["10"], kColourAutomatic);
}

TEST(ColourFile, RootNameIsNotChecked)
{
    ColourMap map = whiteMap({"1"});
    CColourFile::loadFromBytes("<SOMETHINGELSE><COLOR><ACT>1</ACT><VALUE>00404000</VALUE></COLOR></SOMETHINGELSE>",
                               map);
    EXPECT_EQ(map["1"], ColourValue(0x00404000));
}

TEST(ColourFile, ReadsFilesOfOlderInstallationsInTheCentralEuropeanCodePage)
{
    ColourMap map;
    map[QStringLiteral("\u010C1")] = kColourWhite; // "Č1"
    CColourFile::loadFromBytes("<R><COLOR><ACT>\xC8"
                               "1</ACT><VALUE>000000FF</VALUE></COLOR></R>",
                               map);
    EXPECT_EQ(map[QStringLiteral("\u010C1")], ColourValue(0x000000FF));
    // And in UTF-8, as written now.
    map[QStringLiteral("\u010C1")] = kColourWhite;
    CColourFile::loadFromBytes(CColourFile::toBytes({{QStringLiteral("\u010C1"), 0x00FF0000}}), map);
    EXPECT_EQ(map[QStringLiteral("\u010C1")], ColourValue(0x00FF0000));
}

TEST(ColourFile, UnreadableValuesAndFilesLeaveColoursAsTheyWere)
{
    ColourMap map = whiteMap({"1", "2", "3", "4", "5"});
    map["5"] = 0x00123456;
    CColourFile::loadFromBytes("<R>"
                               "<COLOR><ACT>1</ACT></COLOR>"
                               "<COLOR><ACT>2</ACT><VALUE>green</VALUE></COLOR>"
                               "<COLOR><ACT>3</ACT><VALUE/></COLOR>"
                               "<COLOR><VALUE>000000FF</VALUE></COLOR>"
                               "<COLOR><ACT>4</ACT><VALUE> 0000FF00</VALUE></COLOR>"
                               "</R>",
                               map);
    EXPECT_EQ(map["1"], kColourWhite);
    EXPECT_EQ(map["2"], kColourWhite);
    EXPECT_EQ(map["3"], kColourWhite);
    EXPECT_EQ(map["4"], ColourValue(0x0000FF00)); // the entries after the bad ones are still read
    EXPECT_EQ(map["5"], ColourValue(0x00123456));

    const ColourMap before = map;
    CColourFile::loadFromBytes("<R><COLOR><ACT>1</ACT><VALUE>000000FF</VALUE></COLOR>", map); // no end tag
    CColourFile::loadFromBytes(QByteArray(), map);
    testsupport::TempDir dir;
    CColourFile::load(dir.file("missing.cfg"), map);
    EXPECT_EQ(map, before);
}

TEST(ColourFile, WritesEveryEntryInByteWiseOrder)
{
    testsupport::TempDir dir;
    const QString path = dir.file(CColourFile::kFileName);
    ColourMap map;
    map["2"] = kColourWhite;
    map["10"] = kColourAutomatic;
    map["1"] = 0x000000FF;
    QString error;
    ASSERT_TRUE(CColourFile::save(path, map, &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), crlf("<ZVPANELCFG>\n"
                                   "<COLOR>\n<ACT>1</ACT>\n<VALUE>000000FF</VALUE>\n</COLOR>\n"
                                   "<COLOR>\n<ACT>10</ACT>\n<VALUE>FF000000</VALUE>\n</COLOR>\n"
                                   "<COLOR>\n<ACT>2</ACT>\n<VALUE>00FFFFFF</VALUE>\n</COLOR>\n"
                                   "</ZVPANELCFG>\n"));

    // What is written reads back the same, identifiers with markup characters included.
    map["a<b&c"] = 0x00ABCDEF;
    ASSERT_TRUE(CColourFile::save(path, map));
    ColourMap back = whiteMap({"1", "2", "10", "a<b&c"});
    CColourFile::load(path, back);
    EXPECT_EQ(back, map);

    ASSERT_TRUE(CColourFile::save(path, ColourMap()));
    EXPECT_EQ(readFile(path), QByteArray("<ZVPANELCFG/>\r\n"));
}

TEST(ColourFile, FailedSaveKeepsTheOldFile)
{
    testsupport::TempDir dir;
    const QString path = dir.file(CColourFile::kFileName);
    writeFile(path, kRedForOne);
    ColourMap map = whiteMap({"1", "2", "3"});
    QString error;
    {
        WriteBlocker block(dir.path());
        EXPECT_FALSE(CColourFile::save(path, map, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), kRedForOne);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{CColourFile::kFileName});
}

TEST(ColorCell, DrawsAFifteenPixelDotAroundTheCentre)
{
    QImage img(48, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setPen(Qt::black);
        C_ColorCell(0x000000FF).draw(p, QRect(0, 0, 48, 20));
    }
    const QRect box = C_ColorCell::circleRect(QRect(0, 0, 48, 20));
    EXPECT_EQ(box, QRect(16, 2, 15, 15));
    EXPECT_EQ(img.pixelColor(box.center()), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(box.left() + 1, box.top() + 1), QColor(Qt::white)); // outside the circle
    EXPECT_EQ(img.pixelColor(box.left() - 1, box.center().y()), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(box.right() + 1, box.center().y()), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(box.left(), box.center().y()), QColor(Qt::black)); // the outline
    EXPECT_EQ(img.pixelColor(box.right(), box.center().y()), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(box.center().x(), box.bottom()), QColor(Qt::black));

    // "Automatic" is no colour of its own: the dot is white, not black.
    img.fill(Qt::gray);
    {
        QPainter p(&img);
        C_ColorCell(kColourAutomatic).draw(p, QRect(0, 0, 48, 20));
    }
    EXPECT_EQ(img.pixelColor(box.center()), QColor(Qt::white));
}

class ColoursDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        activities = {{"1", "Work"}, {"2", "Break"}, {"10", "Business trip"}};
        colours = whiteMap({"1", "2", "10", "99"});
        colours["1"] = 0x000000FF;
        path = dir.file(CColourFile::kFileName);
    }
    void TearDown() override
    {
        CPrompt::setTestMode(false);
        CPrompt::clearQueue();
    }
    QPushButton *button(CD_Colors &d, const char *name) { return d.findChild<QPushButton *>(name); }
    // Press, release, double click, release: what the window system delivers for a double click.
    void doubleClick(CD_Colors &d, int row, int column)
    {
        QWidget *vp = d.grid()->viewport();
        const QPoint pos = cellCentre(d, row, column);
        const QPoint global = vp->mapToGlobal(pos);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent e(type, pos, global, Qt::LeftButton, held, Qt::NoModifier);
            QCoreApplication::sendEvent(vp, &e);
        }
    }
    QPoint cellCentre(CD_Colors &d, int row, int column)
    {
        return d.grid()->visualRect(d.model()->index(row, column)).center();
    }

    testsupport::TempDir dir;
    TextMap activities;
    ColourMap colours;
    QString path;
};

TEST_F(ColoursDialogTest, ListsTheActivitiesInMapOrder)
{
    CD_Colors d(activities, colours, path);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Colours"));
    CColoursModel *m = d.model();
    ASSERT_EQ(m->rowCount(), 3); // 99 has a colour but is no activity
    EXPECT_EQ(m->id(0), QStringLiteral("1"));
    EXPECT_EQ(m->id(1), QStringLiteral("10"));
    EXPECT_EQ(m->id(2), QStringLiteral("2"));
    EXPECT_EQ(m->index(1, 1).data().toString(), QStringLiteral("Business trip"));
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), S(1050));
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), S(1052));
    EXPECT_FALSE(m->flags(m->index(0, 1)).testFlag(Qt::ItemIsEditable));
    EXPECT_EQ(d.grid()->columnWidth(0), 48);
    EXPECT_EQ(d.grid()->columnWidth(1), 180);
    EXPECT_EQ(d.grid()->columnWidth(2), 48);
    EXPECT_EQ(d.grid()->horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);

    // The first row is selected and its colour is on the button.
    EXPECT_EQ(d.grid()->selectionModel()->selectedRows().value(0).row(), 0);
    EXPECT_EQ(d.colourButton()->colour(), ColourValue(0x000000FF));

    // The grid shows the red dot of activity 1.
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    const QImage shot = d.grid()->viewport()->grab().toImage();
    const QRect cell = d.grid()->visualRect(m->index(0, 0));
    const QPoint dot = C_ColorCell::circleRect(cell).center() * shot.devicePixelRatio();
    EXPECT_EQ(shot.pixelColor(dot), QColor(255, 0, 0));
}

TEST_F(ColoursDialogTest, ButtonFollowsTheRowAndRecoloursIt)
{
    CD_Colors d(activities, colours, path);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QTest::mouseClick(d.grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(d, 2, 1));
    EXPECT_EQ(d.colourButton()->colour(), kColourWhite);

    // "Automatic" from the colour button goes to the selected row (activity 2).
    d.colourButton()->click();
    CColourPalettePopup *p = d.colourButton()->popup();
    ASSERT_TRUE(p);
    QTest::keyClick(p, Qt::Key_Up);
    QTest::keyClick(p, Qt::Key_Return);
    EXPECT_EQ(d.model()->colour(2), kColourAutomatic);
    EXPECT_EQ(colours["2"], kColourWhite); // not before OK

    // A double click opens the colour dialog with the row's colour.
    CPrompt::queueColour(QColor(0, 255, 0));
    doubleClick(d, 0, 2);
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().text, QColor(255, 0, 0).name());
    EXPECT_EQ(d.model()->colour(0), ColourValue(0x0000FF00));
    EXPECT_EQ(d.colourButton()->colour(), ColourValue(0x0000FF00));
    // Cancelled, it changes nothing.
    doubleClick(d, 0, 2);
    EXPECT_EQ(CPrompt::takeAsked().size(), 1);
    EXPECT_EQ(d.model()->colour(0), ColourValue(0x0000FF00));

    QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(colours["1"], ColourValue(0x0000FF00));
    EXPECT_EQ(colours["2"], kColourAutomatic);
    EXPECT_EQ(colours["99"], kColourWhite);

    const QByteArray file = readFile(path);
    EXPECT_TRUE(file.contains(crlf("<ACT>2</ACT>\n<VALUE>FF000000</VALUE>")));
    const qsizetype one = file.indexOf("<ACT>1</ACT>"), ten = file.indexOf("<ACT>10</ACT>"),
                    two = file.indexOf("<ACT>2</ACT>"), last = file.indexOf("<ACT>99</ACT>");
    EXPECT_TRUE(one >= 0 && one < ten && ten < two && two < last) << file.toStdString();
    EXPECT_TRUE(CPrompt::takeAsked().isEmpty());
}

TEST_F(ColoursDialogTest, CancelTouchesNeitherMapNorFile)
{
    writeFile(path, kRedForOne);
    const ColourMap before = colours;
    CD_Colors d(activities, colours, path);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    CPrompt::queueColour(QColor(0, 0, 255));
    doubleClick(d, 1, 1);
    ASSERT_EQ(d.model()->colour(1), ColourValue(0x00FF0000));
    QTest::mouseClick(button(d, "cancelButton"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(colours, before);
    EXPECT_EQ(readFile(path), kRedForOne);
}

TEST_F(ColoursDialogTest, FileThatCannotBeWrittenIsReportedAndColoursStay)
{
    writeFile(path, kRedForOne);
    CD_Colors d(activities, colours, path);
    d.model()->setColour(2, 0x0000FFFF);
    {
        WriteBlocker block(dir.path());
        d.accept();
    }
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(colours["2"], ColourValue(0x0000FFFF));
    EXPECT_EQ(readFile(path), kRedForOne);
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().text, CStringTable::format(1043, path));
    EXPECT_TRUE(asked.first().text.contains(path));
    EXPECT_EQ(asked.first().icon, QMessageBox::Critical);
}

TEST_F(ColoursDialogTest, NoActivitiesWritesAnEmptyRoot)
{
    ColourMap none;
    CD_Colors d(TextMap(), none, path);
    EXPECT_EQ(d.model()->rowCount(), 0);
    EXPECT_EQ(d.colourButton()->colour(), kColourAutomatic);
    d.accept();
    EXPECT_EQ(readFile(path), QByteArray("<ZVPANELCFG/>\r\n"));
}

// Pictures of the dialog and of the open popup; saved when ZORVIK_SHOTS names a folder.
TEST_F(ColoursDialogTest, RendersTheDialogAndThePopup)
{
    activities["3"] = "Sick leave";
    activities["4"] = "Lunch";
    colours["3"] = 0x0000D7FF;
    colours["4"] = kColourAutomatic;
    colours["10"] = 0x008B0000;
    CD_Colors d(activities, colours, path);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    const QImage dialog = d.grab().toImage();
    EXPECT_EQ(dialog.size(), d.size() * dialog.devicePixelRatio());

    d.colourButton()->setScreenGeometryOverride(QRect(0, 0, 1280, 1024));
    d.grid()->selectRow(1); // activity 10
    d.colourButton()->click();
    CColourPalettePopup *p = d.colourButton()->popup();
    ASSERT_TRUE(p);
    // Right goes from nowhere to "More colours...", then "Automatic", then Black.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(p, Qt::Key_Right);
    ASSERT_EQ(p->currentCell(), 0);
    const QImage popup = p->grab().toImage();
    // The current cell has a raised edge (light top-left corner); its neighbour has none, and
    // the chosen cell (Dark blue, the colour of the selected row) is sunken on a light ground.
    const QPalette &pal = p->palette();
    EXPECT_EQ(popup.pixelColor(p->layout().cellRect(0).topLeft()).rgb(), pal.color(QPalette::Light).rgb());
    EXPECT_EQ(popup.pixelColor(p->layout().cellRect(0).bottomRight()).rgb(), pal.color(QPalette::Dark).rgb());
    EXPECT_EQ(popup.pixelColor(p->layout().cellRect(1).topLeft()).rgb(), pal.color(QPalette::Button).rgb());
    EXPECT_EQ(p->chosenCell(), 5);
    EXPECT_EQ(popup.pixelColor(p->layout().cellRect(5).topLeft()).rgb(), pal.color(QPalette::Dark).rgb());
    EXPECT_EQ(popup.pixelColor(p->layout().cellRect(5).topLeft() + QPoint(1, 1)).rgb(),
              pal.color(QPalette::Light).rgb());
    const QImage buttonOpen = d.colourButton()->grab().toImage();

    const QString shots = qEnvironmentVariable("ZORVIK_SHOTS");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        dialog.save(shots + "/colours-dialog.png");
        popup.save(shots + "/colour-popup.png");
        buttonOpen.save(shots + "/colour-button-open.png");
        popup.scaled(popup.size() * 4).save(shots + "/colour-popup-x4.png");
        buttonOpen.scaled(buttonOpen.size() * 6).save(shots + "/colour-button-open-x6.png");
    }
    QTest::keyClick(p, Qt::Key_Escape);
}

} // namespace

// An activity is never told by its colour alone: each has a short name (unique, in the legend and
// on the expanded tablet), and the demo's colours of near hues differ in lightness too.
TEST(ActivityColours, ToldApartByShortNameAndLightness)
{
    TextMap activities;
    for (int id = CDemoDatabase::Arrival; id <= CDemoDatabase::PublicHolidayLeave; ++id)
        activities.emplace(QString::number(id), CStringTable::builtInText(QStringLiteral("demo.activity.%1").arg(id)));
    activities.emplace(QStringLiteral("90"), QStringLiteral("Arrival")); // a second one of the same name
    const TextMap codes = CActivityCodes::make(activities);
    ASSERT_EQ(codes.size(), activities.size());
    QSet<QString> seen;
    for (const auto &[id, code] : codes)
        EXPECT_TRUE(!code.isEmpty() && !seen.contains(code)) << code.toStdString();
    for (const auto &[id, code] : codes)
        seen.insert(code);
    EXPECT_EQ(seen.size(), qsizetype(codes.size()));
    EXPECT_EQ(codes.at(QString::number(CDemoDatabase::Arrival)), QStringLiteral("ARR"));
    EXPECT_EQ(codes.at(QString::number(CDemoDatabase::BreakReturn)), QStringLiteral("RFB"));

    // Relative luminance contrast of the colours of every two activities whose hues are near.
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const ColourMap colours = CDemoSamples::colours();
    for (auto a = colours.begin(); a != colours.end(); ++a)
        for (auto b = std::next(a); b != colours.end(); ++b) {
            const QColor ca = toQColor(a->second), cb = toQColor(b->second);
            if (ca.hslSaturationF() < 0.35 || cb.hslSaturationF() < 0.35)
                continue; // greys are told by lightness anyway
            const double hue = std::abs(ca.hslHueF() - cb.hslHueF()) * 360.0;
            if (std::min(hue, 360.0 - hue) >= 30.0)
                continue;
            const double la = luminance(ca), lb = luminance(cb);
            EXPECT_GE((std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05), 1.6)
                << a->first.toStdString() << " and " << b->first.toStdString();
        }
}
