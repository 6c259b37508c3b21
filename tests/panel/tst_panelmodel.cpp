#include "TestSupport.h"
#include "panel/CPanelFile.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>

namespace {

NewPanelRow row(const QString &id, bool checked = true)
{
    return {"Last" + id, "First" + id, "M" + id, id, checked};
}

QStringList keys(const C_ZorvikDoc &doc)
{
    QStringList out;
    for (CTablet *t : doc.tablets())
        out << t->employeeId;
    return out;
}

} // namespace

TEST(PanelModel, NewPanelPlacesCheckedRowsNinetyNineToAColumnThenArranges)
{
    NewPanelData data;
    for (int i = 0; i < 120; ++i)
        data.rows << row(QString::number(1000 + i), i != 5);
    data.arrangement = 2; // neither arrangement: keep the placement of the dialog's order
    C_ZorvikDoc doc;
    doc.initFromDialog(data, QSize(800, 600));
    EXPECT_EQ(doc.tabletCount(), 119);
    EXPECT_EQ(doc.tablet("1000")->geometry(), QRect(0, 0, 168, 24));
    EXPECT_EQ(doc.tablet("1006")->geometry(), QRect(0, 24 * 5, 168, 24)); // 1005 unchecked
    EXPECT_EQ(doc.tablet("1099")->geometry(), QRect(0, 24 * 98, 168, 24));
    EXPECT_EQ(doc.tablet("1100")->geometry(), QRect(168, 0, 168, 24));

    data.arrangement = 1;
    C_ZorvikDoc vertical;
    vertical.initFromDialog(data, QSize(800, 100)); // four rows fit
    EXPECT_EQ(vertical.tablet("1000")->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(vertical.tablet("1003")->geometry().topLeft(), QPoint(0, 72));
    EXPECT_EQ(vertical.tablet("1004")->geometry().topLeft(), QPoint(168, 0));
}

TEST(PanelModel, EditModeAddsMissingAndRemovesUnchecked)
{
    C_ZorvikDoc doc;
    doc.addTablet("A", "a", "1", "1", QRect(240, 240, 168, 96));
    doc.addTablet("B", "b", "2", "2", QRect(0, 0, 168, 24));
    doc.setModified(false);
    NewPanelData data;
    data.rows = {row("1"), row("2", false), row("3"), row("4")};
    doc.applyDialog(data);
    EXPECT_EQ(keys(doc), (QStringList{"1", "3", "4"}));
    EXPECT_EQ(doc.tablet("1")->geometry(), QRect(240, 240, 168, 96)); // kept as it was
    EXPECT_EQ(doc.tablet("3")->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(doc.tablet("4")->geometry().topLeft(), QPoint(0, 24));
    EXPECT_TRUE(doc.isModified());
}

TEST(PanelModel, LatestTabletReferenceClearedWhenItGoes)
{
    C_ZorvikDoc doc;
    CTablet *t = doc.addTablet("A", "a", "1", "7", QRect(0, 0, 168, 24));
    doc.setLatestTablet(t);
    doc.removeTablet("7");
    EXPECT_EQ(doc.latestTablet(), nullptr);
    CTablet *u = doc.addTablet("B", "b", "2", "8", QRect(0, 0, 168, 24));
    doc.setLatestTablet(u);
    doc.removeAll();
    EXPECT_EQ(doc.latestTablet(), nullptr);
    EXPECT_EQ(doc.tabletCount(), 0);
    EXPECT_TRUE(doc.isModified());
}

TEST(PanelModel, LoadedPanelIsUnmodifiedAndKeepsTheFirstOfTwoEqualIds)
{
    testsupport::TempDir dir;
    PanelFileData data;
    data.backgroundPresent = true;
    data.useImage = true;
    data.imagePath = "/nowhere/bk.jpg";
    data.tablets << PanelFileTablet{48, 24, 168, 96, true, "Doe", "Jane", "00012345", "17"};
    QFile f(dir.file("p.zvl"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray bytes = CPanelFile::store(data);
    // A second PANEL with the same ID after the first.
    bytes.replace("</ZVPANEL>",
                  "<PANEL>\r\n<X>0</X>\r\n<Y>0</Y>\r\n<W>168</W>\r\n<H>24</H>\r\n<EXPANDED>0</EXPANDED>\r\n"
                  "<LASTNAME>Other</LASTNAME>\r\n<FIRSTNAME>X</FIRSTNAME>\r\n<CARD/>\r\n<ID>17</ID>\r\n"
                  "</PANEL>\r\n</ZVPANEL>");
    f.write(bytes);
    f.close();
    C_ZorvikDoc doc;
    ASSERT_TRUE(doc.load(dir.file("p.zvl")));
    EXPECT_FALSE(doc.isModified());
    ASSERT_EQ(doc.tabletCount(), 1);
    EXPECT_EQ(doc.tablet("17")->lastName, "Doe");
    EXPECT_EQ(doc.tablet("17")->geometry(), QRect(48, 24, 168, 96));
    EXPECT_TRUE(doc.tablet("17")->isExpanded());
    EXPECT_TRUE(doc.useImage());
    EXPECT_EQ(doc.imagePath(), "/nowhere/bk.jpg");

    // An unparseable file: an empty, unmodified panel whose background stays as it was.
    QFile bad(dir.file("bad.zvl"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<ZVPANEL><PANEL>");
    bad.close();
    C_ZorvikDoc empty;
    empty.setBackground(true, true, "keep.bmp");
    ASSERT_TRUE(empty.load(dir.file("bad.zvl")));
    EXPECT_EQ(empty.tabletCount(), 0);
    EXPECT_FALSE(empty.isModified());
    EXPECT_EQ(empty.imagePath(), "keep.bmp");
    EXPECT_FALSE(C_ZorvikDoc().load(dir.file("missing.zvl")));
}

// Tablets come in and go in bulk (a file in no order, the dialog checking and unchecking many,
// employees gone): the panel stays in byte order of the IDs with the first of two equal ones, and
// every tablet added or removed is told once.
TEST(PanelModel, BulkLoadsAndEditsKeepTheIdOrderAndTheFirstOfEqualIds)
{
    QRandomGenerator rng(35);
    const auto id = [&rng] { return QString::number(rng.bounded(400)); };
    testsupport::TempDir dir;
    PanelFileData data;
    std::map<QString, QString> expected; // the first last name seen per ID
    for (int i = 0; i < 500; ++i) {
        const QString key = id(), last = QStringLiteral("L%1").arg(i);
        data.tablets << PanelFileTablet{0, 24 * i, 168, 24, false, last, "F", "M" + key, key};
        expected.emplace(key, last);
    }
    ASSERT_TRUE(CPanelFile::save(dir.file("p.zvl"), data, nullptr));
    C_ZorvikDoc doc;
    QSignalSpy added(&doc, &C_ZorvikDoc::tabletAdded), removed(&doc, &C_ZorvikDoc::tabletRemoved);
    ASSERT_TRUE(doc.load(dir.file("p.zvl")));
    const auto check = [&] {
        QStringList want;
        for (const auto &[key, last] : expected) {
            want << key;
            ASSERT_NE(doc.tablet(key), nullptr) << key.toStdString();
            EXPECT_EQ(doc.tablet(key)->lastName, last);
        }
        EXPECT_EQ(keys(doc), want);
        EXPECT_EQ(added.count() - removed.count(), doc.tabletCount());
    };
    check();
    for (int round = 0; round < 5; ++round) {
        NewPanelData edit;
        QSet<QString> listed; // the dialog lists each employee once
        for (int i = 0; i < 300; ++i) {
            const QString key = id();
            if (listed.contains(key))
                continue;
            listed.insert(key);
            const bool checked = rng.bounded(2) == 0;
            edit.rows << row(key, checked);
            if (!checked)
                expected.erase(key);
            else if (!doc.tablet(key))
                expected.emplace(key, "Last" + key);
        }
        doc.applyDialog(edit);
        check();
        QStringList gone;
        for (int i = 0; i < 40; ++i)
            gone << id();
        for (const QString &key : std::as_const(gone))
            expected.erase(key);
        doc.removeTablets(gone);
        check();
    }
}

TEST(PanelModel, SaveWritesTabletsInIdOrderWithTheirSizes)
{
    testsupport::TempDir dir;
    C_ZorvikDoc doc;
    doc.addTablet("Nine", "n", "9", "9", QRect(0, 0, 168, 24));
    CTablet *ten = doc.addTablet("Ten", "t", "10", "10", QRect(24, 48, 168, 24));
    ten->setExpandedSize(true); // enlarged by Expand Latest or the hover peek: H 96, EXPANDED 0
    doc.setModified(true);
    QString error;
    ASSERT_TRUE(doc.save(dir.file("s.zvl"), &error)) << error.toStdString();
    EXPECT_FALSE(doc.isModified());
    const PanelFileData back = CPanelFile::loadFile(dir.file("s.zvl"), nullptr);
    ASSERT_EQ(back.tablets.size(), 2);
    EXPECT_EQ(back.tablets[0].id, "10");
    EXPECT_EQ(back.tablets[0].h, 96);
    EXPECT_FALSE(back.tablets[0].expanded);
    EXPECT_EQ(back.tablets[1].id, "9");

    // A failed save names the file and leaves the panel modified.
    doc.setModified(true);
    EXPECT_FALSE(doc.save(dir.file("no/such/folder/s.zvl"), &error));
    EXPECT_TRUE(error.contains("s.zvl"));
    EXPECT_TRUE(doc.isModified());
}

TEST(PanelModel, WarningRaisedOncePerRegistrationAfterTheCurrentUpdate)
{
    int raised = 0;
    QString warnedFor;
    CTablet::setWarningHandler([&](const CTablet &w) {
        ++raised;
        warnedFor = w.employeeId + "|" + w.lastName + "|" + w.warnedTime() + "|" + w.warnedActivity() + "|" +
                    w.photograph() + "|" + QString::number(w.shownMoment().days()) + "|" +
                    QString::number(w.geometry().height()) + "|" + QString::number(w.isIllegal());
    });
    CTablet t;
    t.dateText = "08.12.2026.";
    t.timeText = "07:41";
    t.activityDescription = "Trip";
    t.setIllegal(true);
    EXPECT_EQ(raised, 0);
    EXPECT_TRUE(testsupport::waitFor([&] { return raised == 1; }, 1000));
    t.setIllegal(true);
    t.setIllegal(false);
    // The canvas giving back the photograph when it drops its caches keeps what was warned about.
    t.setPhotograph("JPEG");
    t.setPhotograph({});
    t.setIllegal(true);
    testsupport::waitFor([] { return false; }, 50);
    EXPECT_EQ(raised, 1);
    EXPECT_TRUE(t.photograph().isEmpty());
    t.activityDescription = "Other";
    t.setIllegal(true);
    EXPECT_TRUE(testsupport::waitFor([&] { return raised == 2; }, 1000));
    EXPECT_EQ(t.warnedActivity(), "Other");

    // A tablet that leaves its panel before the event loop comes round still has its warning.
    C_ZorvikDoc doc;
    CTablet *gone = doc.addTablet("Novak", "Ana", "77", "42", QRect(0, 0, 168, 24));
    gone->timeText = "07:50";
    gone->activityDescription = "Trip";
    gone->setPhotograph("JPEG");
    gone->setShownMoment(CDateTime(46000.5));
    gone->setExpandedSize(true);
    gone->setIllegal(true);
    doc.removeTablet("42");
    EXPECT_TRUE(testsupport::waitFor([&] { return raised == 3; }, 1000));
    // The copy it warns with holds what the tablet showed, its photograph and moment included.
    EXPECT_EQ(warnedFor, "42|Novak|07:50|Trip|JPEG|46000.5|96|1");
    CTablet::setWarningHandler({});
}

TEST(PanelModel, PanelsShowingAnEmployeeShareTheTextsButKeepTheirOwn)
{
    C_ZorvikDoc everyone, department;
    everyone.addTablet(QString("Novak"), QString("Ana"), QString("77"), QString("42"), QRect(0, 0, 168, 24));
    // Texts read separately (another file) but equal are kept once; a differing one stays its own.
    const CTablet *a = everyone.tablet("42");
    const CTablet *b =
        department.addTablet(QString("Novak"), QString("Ana"), QString("78"), QString("42"), QRect(24, 24, 168, 24));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->lastName.constData(), a->lastName.constData());
    EXPECT_EQ(b->firstName.constData(), a->firstName.constData());
    EXPECT_EQ(b->employeeId.constData(), a->employeeId.constData());
    EXPECT_EQ(b->mediaNumber, "78");
    EXPECT_EQ(department.toData().tablets.at(0).card, "78");
    EXPECT_EQ(department.toData().tablets.at(0).lastName, "Novak");
}
