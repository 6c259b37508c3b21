#include "PresenceTestDb.h"
#include "app/CStringTable.h"
#include "views/CGuestsModel.h"
#include "views/C_ZorvikDocGuests.h"

#include <QMutexLocker>
#include <QSemaphore>
#include <QThread>

using presencetest::PresenceDb;

namespace {

// Counts the model's change signals, so a test can tell row moves from a reset.
struct SignalLog
{
    explicit SignalLog(QAbstractItemModel *m)
    {
        QObject::connect(m, &QAbstractItemModel::rowsRemoved, m,
                         [this](const QModelIndex &, int first, int last) { removed += last - first + 1; });
        QObject::connect(m, &QAbstractItemModel::rowsInserted, m,
                         [this](const QModelIndex &, int first, int last) { inserted += last - first + 1; });
        QObject::connect(m, &QAbstractItemModel::modelReset, m, [this] { ++resets; });
    }
    int removed = 0;
    int inserted = 0;
    int resets = 0;
};

class GuestsView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ok());
        // Five visitors inside, in order of arrival, with hosts from the employees.
        ASSERT_TRUE(db.exec("delete from tblPartnerEvent"));
        hosts = db.rows("select IDZaposlenog, Prezime || ' ' || Ime from tblZaposleni order by IDZaposlenog limit 3");
        ASSERT_EQ(hosts.size(), 3);
        for (int i = 1; i <= 5; ++i)
            addVisitor(i, QStringLiteral("Visitor %1").arg(i), QStringLiteral("2026-03-04 08:0%1:00").arg(i),
                       hostId(i % 3));
        ASSERT_TRUE(db.reopenGuests());
    }

    QString hostId(int i) const { return hosts.at(i).section(u'|', 0, 0); }
    QString hostName(int i) const { return hosts.at(i).section(u'|', 1); }

    void addVisitor(int id, const QString &guest, const QString &enter, const QString &host)
    {
        db.exec(QStringLiteral("insert into tblPartnerEvent (IDEvent, IDPartnera, GuestName, ReasonDescription, "
                               "IDZaposlenog, Enter, [Exit]) values (%1, 1, '%2', 'Meeting', %3, '%4', null)")
                    .arg(id)
                    .arg(guest, host, enter));
    }

    // One polling cycle and one update pass.
    void cycle(C_ZorvikDocGuests &doc)
    {
        ASSERT_TRUE(db.reopenGuests());
        QMutexLocker lock(&db.reference().dbMutex);
        doc.onUpdatePass();
    }

    QStringList guestNames(const C_ZorvikDocGuests &doc) const
    {
        QStringList out;
        for (const CGuestsModel::Row &r : doc.model()->rows())
            out << r[2];
        return out;
    }

    PresenceDb db;
    QStringList hosts;
};

} // namespace

TEST_F(GuestsView, FirstFillShowsTheVisitorsInsideInArrivalOrderUnderTheirHeaders)
{
    C_ZorvikDocGuests doc;
    EXPECT_EQ(doc.title(), S(1071));
    doc.initialUpdate();
    ASSERT_EQ(doc.model()->rowCount(), 5);
    const CGuestsModel::Row first = doc.model()->rows().at(0);
    EXPECT_EQ(first[0], "2026-03-04 08:01:00");
    EXPECT_EQ(first[1], db.value("select PartnerFullName from tblPartner where IDPartnera = 1"));
    EXPECT_EQ(first[2], "Visitor 1");
    EXPECT_EQ(first[3], "Meeting");
    EXPECT_EQ(first[4], hostName(1));
    const int headers[] = {1069, 1066, 1067, 1068, 1070};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(doc.model()->headerData(c, Qt::Horizontal).toString(), S(headers[c]));
    EXPECT_EQ(guestNames(doc), QStringList({"Visitor 1", "Visitor 2", "Visitor 3", "Visitor 4", "Visitor 5"}));
}

TEST_F(GuestsView, TwoVisitorsLeavingInOneCycleBothDisappearAndNothingElseMoves)
{
    C_ZorvikDocGuests doc;
    doc.initialUpdate();
    SignalLog log(doc.model());
    db.exec("update tblPartnerEvent set [Exit] = '2026-03-04 10:00:00' where IDEvent in (2, 4)");
    cycle(doc);
    EXPECT_EQ(guestNames(doc), QStringList({"Visitor 1", "Visitor 3", "Visitor 5"}));
    EXPECT_EQ(log.removed, 2);
    EXPECT_EQ(log.inserted, 0);
    EXPECT_EQ(log.resets, 0);
}

TEST_F(GuestsView, AChangedHostReplacesTheRowAtTheBottom)
{
    C_ZorvikDocGuests doc;
    doc.initialUpdate();
    SignalLog log(doc.model());
    db.exec(QStringLiteral("update tblPartnerEvent set IDZaposlenog = %1 where IDEvent = 2").arg(hostId(0)));
    cycle(doc);
    EXPECT_EQ(guestNames(doc), QStringList({"Visitor 1", "Visitor 3", "Visitor 4", "Visitor 5", "Visitor 2"}));
    EXPECT_EQ(doc.model()->rows().last()[4], hostName(0));
    EXPECT_EQ(log.removed, 1);
    EXPECT_EQ(log.inserted, 1);
    // A cycle without changes touches nothing.
    cycle(doc);
    EXPECT_EQ(log.removed, 1);
    EXPECT_EQ(log.inserted, 1);
}

TEST_F(GuestsView, ArrivalsAreAppendedAndAnEmptyCursorEmptiesTheGrid)
{
    C_ZorvikDocGuests doc;
    doc.initialUpdate();
    // An arrival that entered earlier than the last row still goes to the bottom.
    addVisitor(6, "Visitor 6", "2026-03-04 07:00:00", hostId(1));
    cycle(doc);
    EXPECT_EQ(guestNames(doc).last(), "Visitor 6");
    EXPECT_EQ(doc.model()->rowCount(), 6);

    db.exec("update tblPartnerEvent set [Exit] = '2026-03-04 11:00:00'");
    cycle(doc);
    EXPECT_EQ(doc.model()->rowCount(), 0);
}

TEST_F(GuestsView, TwoVisitorsWithIdenticalRowsKeepTwoRows)
{
    // Two people from one company, registered together under the same name for the same host:
    // the list still counts two visitors, and one leaving leaves one row.
    addVisitor(7, "Visitor 1", "2026-03-04 08:01:00", hostId(1));
    ASSERT_TRUE(db.reopenGuests());
    C_ZorvikDocGuests doc;
    doc.initialUpdate();
    EXPECT_EQ(guestNames(doc).count("Visitor 1"), 2);
    db.exec("update tblPartnerEvent set [Exit] = '2026-03-04 10:00:00' where IDEvent = 7");
    cycle(doc);
    EXPECT_EQ(guestNames(doc), QStringList({"Visitor 1", "Visitor 2", "Visitor 3", "Visitor 4", "Visitor 5"}));
}

TEST_F(GuestsView, FirstFillWaitsForThePollingCycleThatHoldsTheMutex)
{
    C_ZorvikDocGuests doc;
    db.exec("update tblPartnerEvent set [Exit] = '2026-03-04 10:00:00' where IDEvent = 5");
    // A cycle in progress holds DBMutex while it reopens the cursor; the first fill must see the
    // cursor the cycle leaves, never one half reopened.
    QSemaphore started;
    QThread *cycleThread = QThread::create([&] {
        {
            QMutexLocker lock(&db.reference().dbMutex);
            started.release();
            QThread::msleep(150);
            db.reference().reopen(CReferenceData::GuestCursor);
        }
        db.reference().connection().releaseThread();
    });
    cycleThread->start();
    started.acquire();
    doc.initialUpdate();
    cycleThread->wait();
    delete cycleThread;
    EXPECT_EQ(guestNames(doc), QStringList({"Visitor 1", "Visitor 2", "Visitor 3", "Visitor 4"}));
}
