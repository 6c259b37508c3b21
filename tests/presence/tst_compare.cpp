// The hashed merges against the plain walk over the result that they replace: for a seeded
// sequence of random changes to the database, both must leave exactly the same rows in the
// same order.
#include "PresenceTestDb.h"
#include "app/CStringTable.h"
#include "views/CGuestsModel.h"
#include "views/CPresencesModel.h"
#include "views/C_ZorvikDocGuests.h"
#include "views/C_ZorvikDocPresences.h"

#include <random>

using presencetest::PresenceDb;

namespace {

using Grid = QList<std::array<QString, 5>>;

// One line per row, for readable differences.
std::string lines(const Grid &grid)
{
    QStringList out;
    for (const auto &row : grid)
        out << QStringList(row.begin(), row.end()).join(QLatin1Char('|'));
    return out.join(QLatin1Char('\n')).toStdString();
}

// Guests: the walk of the grid against the cursor, row by row.
void walkGuests(Grid &grid, CDbCursor *cursor)
{
    const QString names[5] = {S(1069), S(1066), S(1067), S(1068), S(1070)};
    auto read = [&] {
        std::array<QString, 5> values;
        for (int c = 0; c < 5; ++c)
            cursor->getFieldText(names[c], values[c]);
        return values;
    };
    if (cursor->recordCount() == 0) {
        grid.clear();
        return;
    }
    QList<bool> marked(grid.size(), false);
    for (int r = 0; r < grid.size(); ++r) {
        bool kept = false;
        for (cursor->moveFirst(); !cursor->isEOF() && !kept; cursor->moveNext())
            kept = read() == grid.at(r);
        marked[r] = !kept;
    }
    for (int r = int(grid.size()) - 1; r >= 0; --r)
        if (marked.at(r))
            grid.removeAt(r);
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        const auto values = read();
        bool present = false;
        for (const auto &row : std::as_const(grid))
            present = present || row == values;
        if (!present)
            grid.append(values);
    }
}

// Presences: removal by media number, then change in place or append.
void walkPresences(Grid &grid, CDbCursor *cursor, const TextMap &activities)
{
    if (cursor->recordCount() == 0) {
        grid.clear();
        return;
    }
    QList<bool> marked(grid.size(), false);
    QString text;
    for (int r = 0; r < grid.size(); ++r) {
        bool found = false;
        for (cursor->moveFirst(); !cursor->isEOF() && !found; cursor->moveNext()) {
            cursor->getFieldText("IDNo", text);
            found = text == grid.at(r)[3];
        }
        marked[r] = !found;
    }
    for (int r = int(grid.size()) - 1; r >= 0; --r)
        if (marked.at(r))
            grid.removeAt(r);
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        QString date, activity, media, first, last;
        cursor->getFieldText("DatumLastReg", date);
        cursor->getFieldText("IDLogickeAktivnosti", activity);
        cursor->getFieldText("IDNo", media);
        cursor->getFieldText("Ime", first);
        cursor->getFieldText("Prezime", last);
        const auto it = activities.find(activity);
        const QString description = it == activities.end() ? QString() : it->second;
        qsizetype at = -1;
        for (qsizetype r = 0; r < grid.size() && at < 0; ++r)
            if (grid.at(r)[3] == media)
                at = r;
        if (at >= 0) {
            grid[at][0] = date;
            grid[at][1] = last;
            grid[at][2] = first;
            grid[at][4] = description;
        } else {
            grid.append({date, last, first, media, description});
        }
    }
}

QString stamp(std::mt19937 &rng)
{
    std::uniform_int_distribution<int> minute(0, 24 * 60 - 1), second(0, 59), day(1, 4);
    const int m = minute(rng);
    return QStringLiteral("2026-03-%1 %2:%3:%4")
        .arg(day(rng), 2, 10, QLatin1Char('0'))
        .arg(m / 60, 2, 10, QLatin1Char('0'))
        .arg(m % 60, 2, 10, QLatin1Char('0'))
        .arg(second(rng), 2, 10, QLatin1Char('0'));
}

} // namespace

TEST(MergeAgainstWalk, PresencesGiveTheSameRowsThroughRandomChanges)
{
    PresenceDb db(120);
    ASSERT_TRUE(db.ok());
    std::mt19937 rng(20261208);
    const QStringList employees = db.rows("select IDZaposlenog from tblZaposleni");
    const QStringList activityIds = db.rows("select IDLogickeAktivnosti from LogickaAktivnost");
    auto pick = [&](const QStringList &l) {
        return l.at(std::uniform_int_distribution<int>(0, int(l.size()) - 1)(rng));
    };
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };

    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    CDbCursor cursor(&db.reference().connection());
    Grid reference;
    ASSERT_TRUE(cursor.open(doc.queryText()));
    walkPresences(reference, &cursor, db.reference().activityMap);
    ASSERT_EQ(lines(doc.model()->rows()), lines(reference));
    int card = 50000000;
    for (int step = 0; step < 80; ++step) {
        const int changes = std::uniform_int_distribution<int>(1, 12)(rng);
        for (int i = 0; i < changes; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 5)(rng);
            const QString e = pick(employees);
            if (kind <= 1)
                db.exec(QStringLiteral("insert or replace into tblLastReg (IDZaposlenog, DatumLastReg, "
                                       "IDLogickeAktivnosti) values (%1, '%2', %3)")
                            .arg(e, stamp(rng), pick(activityIds)));
            else if (kind == 2)
                db.exec(QStringLiteral("delete from tblLastReg where IDZaposlenog = %1").arg(e));
            else if (kind == 3)
                db.exec(QStringLiteral("update tblMediaID set VaziDo = '2026-03-04 10:00:00' where IDZaposlenog = %1 "
                                       "and VaziDo is null")
                            .arg(e));
            else if (kind == 4)
                db.exec(QStringLiteral("insert into tblMediaID (IDZaposlenog, IDNo, VaziOd, VaziDo) values (%1, "
                                       "'xyZW01%2Q1', '2026-03-04 10:00:00', null)")
                            .arg(e)
                            .arg(++card));
            else
                db.exec(
                    QStringLiteral("update tblZaposleni set Prezime = Prezime || 'x' where IDZaposlenog = %1").arg(e));
        }
        if (chance(3))
            db.exec("delete from tblLastReg");
        const bool full = chance(15);
        if (full) {
            doc.setSelection(std::uniform_int_distribution<int>(0, int(doc.activities().size()))(rng));
            ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
            reference.clear();
        } else {
            ASSERT_TRUE(doc.refresh() && doc.waitForQuery());
        }
        ASSERT_TRUE(cursor.open(doc.queryText())) << cursor.lastErrorText().toStdString();
        walkPresences(reference, &cursor, db.reference().activityMap);
        cursor.close();
        ASSERT_EQ(lines(doc.model()->rows()), lines(reference)) << "step " << step;
    }
    // The sequence did exercise the interesting cases.
    EXPECT_GT(reference.size(), 10);
}

TEST(MergeAgainstWalk, GuestsGiveTheSameRowsThroughRandomChanges)
{
    PresenceDb db(30);
    ASSERT_TRUE(db.ok());
    std::mt19937 rng(8122026);
    const QStringList employees = db.rows("select IDZaposlenog from tblZaposleni");
    const QStringList partners = db.rows("select IDPartnera from tblPartner");
    auto pick = [&](const QStringList &l) {
        return l.at(std::uniform_int_distribution<int>(0, int(l.size()) - 1)(rng));
    };
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    const char *reasons[] = {"Meeting", "Delivery", "Audit", "Training"};

    C_ZorvikDocGuests doc;
    doc.initialUpdate();
    Grid reference;
    {
        QMutexLocker lock(&db.reference().dbMutex);
        walkGuests(reference, db.reference().cursor(CReferenceData::GuestCursor));
    }
    ASSERT_EQ(lines(doc.model()->rows()), lines(reference));
    int visitor = 1000;
    for (int step = 0; step < 80; ++step) {
        const QStringList inside = db.rows("select IDEvent from tblPartnerEvent where [Exit] is null");
        const int changes = std::uniform_int_distribution<int>(1, 6)(rng);
        for (int i = 0; i < changes; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 4)(rng);
            if (kind <= 1 || inside.isEmpty()) {
                // Names are unique: identical rows are the one case where the two may differ.
                db.exec(QStringLiteral("insert into tblPartnerEvent (IDPartnera, GuestName, ReasonDescription, "
                                       "IDZaposlenog, Enter, [Exit]) values (%1, 'Guest %2', '%3', %4, '%5', null)")
                            .arg(pick(partners))
                            .arg(++visitor)
                            .arg(QLatin1String(reasons[rng() % 4]), pick(employees), stamp(rng)));
            } else if (kind == 2) {
                db.exec(QStringLiteral("update tblPartnerEvent set [Exit] = '2026-03-04 12:00:00' where IDEvent = %1")
                            .arg(pick(inside)));
            } else if (kind == 3) {
                db.exec(QStringLiteral("update tblPartnerEvent set IDZaposlenog = %1 where IDEvent = %2")
                            .arg(pick(employees), pick(inside)));
            } else {
                db.exec(QStringLiteral("update tblPartnerEvent set ReasonDescription = '%1' where IDEvent = %2")
                            .arg(QLatin1String(reasons[rng() % 4]), pick(inside)));
            }
        }
        if (chance(4))
            db.exec("update tblPartnerEvent set [Exit] = '2026-03-04 12:00:00'");
        ASSERT_TRUE(db.reopenGuests());
        QMutexLocker lock(&db.reference().dbMutex);
        doc.onUpdatePass();
        walkGuests(reference, db.reference().cursor(CReferenceData::GuestCursor));
        ASSERT_EQ(lines(doc.model()->rows()), lines(reference)) << "step " << step;
    }
    EXPECT_GT(reference.size(), 5);
}
