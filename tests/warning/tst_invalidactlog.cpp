#include "WarningTestUtil.h"

#include "app/CClock.h"
#include "dialogs/CInvalidActLog.h"

#include <QDir>
#include <QFile>
#include <TestSupport.h>
#include <gtest/gtest.h>

using namespace warningtest;

namespace {

class InvalidActLogTest : public ::testing::Test
{
protected:
    void TearDown() override { CClock::reset(); }
    QString folder() const { return m_dir.path() + "/"; }
    QString logFor(int y, int m, int d) const
    {
        return m_dir.file(QString::asprintf("InvalidAct-%04d%02d%02d.log", y, m, d));
    }

    testsupport::TempDir m_dir;
    const InvalidActFields m_trip{"1043", "Lastname", "Firstname", "08.12.2026.", "07:41", "Trip"};
};

} // namespace

TEST_F(InvalidActLogTest, StartRaisedAndAcknowledgedLinesByteForByte)
{
    const QDateTime raisedAt = at(2026, 12, 8, 7, 42, 13);
    CClock::setFixed(raisedAt);
    CInvalidActLog log(folder());
    EXPECT_FALSE(log.isOpen());
    log.writeRaised(m_trip);
    EXPECT_TRUE(log.isOpen());
    EXPECT_EQ(log.filePath(), logFor(2026, 12, 8));

    const QDateTime ackAt = at(2026, 12, 8, 7, 45, 2);
    CClock::setFixed(ackAt);
    log.writeAcknowledged(m_trip);

    // Each line carries the moment it was written; the start line comes first.
    const QByteArray expected =
        startLine(raisedAt) + expectedLine(raisedAt, "+", m_trip) + expectedLine(ackAt, "-", m_trip);
    EXPECT_EQ(readAll(logFor(2026, 12, 8)), expected);
    EXPECT_EQ(expectedLine(raisedAt, "+", m_trip),
              QByteArray("2026-12-08 07:42:13 + 1043 Lastname Firstname 08.12.2026. 07:41 Trip\r\n"));
}

TEST_F(InvalidActLogTest, FieldsWrittenAsTheyAreInUtf8)
{
    const QDateTime now = at(2026, 12, 8, 9, 0, 0);
    CClock::setFixed(now);
    CInvalidActLog log(folder());
    // A blank inside a field is not escaped, an empty field leaves two blanks in a row.
    const InvalidActFields f{"77", QString::fromUtf8("Đorđević Šarić"), "Žana", "08.12.2026.", "08:59", ""};
    log.writeRaised(f);
    const QByteArray body = readAll(logFor(2026, 12, 8));
    EXPECT_EQ(body, startLine(now) + expectedLine(now, "+", f));
    EXPECT_TRUE(body.contains(QString::fromUtf8(" + 77 Đorđević Šarić Žana 08.12.2026. 08:59 \r\n").toUtf8()));
}

TEST_F(InvalidActLogTest, LineBreakInsideAFieldStaysOnOneLine)
{
    CClock::setFixed(at(2026, 12, 8, 9, 0, 0));
    CInvalidActLog log(folder());
    log.writeRaised({"5", "Two\r\nLines", "A\nB", "08.12.2026.", "08:00", "x\ry"});
    const QList<QByteArray> lines = readAll(logFor(2026, 12, 8)).split('\n');
    ASSERT_EQ(lines.size(), 3); // start, raised, and the empty rest after the last line end
    EXPECT_TRUE(lines[1].endsWith(" + 5 Two Lines A B 08.12.2026. 08:00 x y\r"));
}

TEST_F(InvalidActLogTest, AcknowledgmentAloneNeverOpensTheFile)
{
    CClock::setFixed(at(2026, 12, 8, 9, 0, 0));
    CInvalidActLog log(folder());
    log.writeAcknowledged(m_trip);
    EXPECT_FALSE(log.isOpen());
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(InvalidActLogTest, SecondRunOnTheSameDayAppendsANewStartLine)
{
    const QDateTime first = at(2026, 12, 8, 8, 0, 0);
    const QDateTime second = at(2026, 12, 8, 15, 30, 0);
    CClock::setFixed(first);
    {
        CInvalidActLog run1(folder());
        run1.writeRaised(m_trip);
    }
    CClock::setFixed(second);
    CInvalidActLog run2(folder());
    run2.writeRaised(m_trip);
    EXPECT_EQ(readAll(logFor(2026, 12, 8)), startLine(first) + expectedLine(first, "+", m_trip) + startLine(second) +
                                                expectedLine(second, "+", m_trip));
}

TEST_F(InvalidActLogTest, FileNamedAfterTheDayOfTheFirstWarningOfTheRun)
{
    // A run that starts before midnight and warns first after it names the later day.
    CClock::setFixed(at(2026, 12, 8, 23, 59, 0));
    CInvalidActLog late(folder());
    CClock::setFixed(at(2026, 12, 9, 0, 1, 0));
    late.writeRaised(m_trip);
    EXPECT_EQ(late.filePath(), logFor(2026, 12, 9));
    EXPECT_FALSE(QFile::exists(logFor(2026, 12, 8)));

    // A run whose first warning came before midnight keeps its file after it.
    testsupport::TempDir other;
    CClock::setFixed(at(2026, 12, 8, 23, 59, 30));
    CInvalidActLog early(other.path() + "/");
    early.writeRaised(m_trip);
    const QDateTime afterMidnight = at(2026, 12, 9, 0, 0, 5);
    CClock::setFixed(afterMidnight);
    early.writeRaised(m_trip);
    early.writeAcknowledged(m_trip);
    EXPECT_FALSE(QFile::exists(other.file("InvalidAct-20261209.log")));
    const QByteArray body = readAll(other.file("InvalidAct-20261208.log"));
    EXPECT_TRUE(body.endsWith(expectedLine(afterMidnight, "+", m_trip) + expectedLine(afterMidnight, "-", m_trip)));
}

// A log that cannot be opened loses no line: each waits, with the moment it was meant for, and the
// reason names the file; the next warning writes every waiting line, in order, once it can. (A
// full disk: the warning center's test.)
TEST_F(InvalidActLogTest, LinesThatCannotBeWrittenWaitAndAreNeverLost)
{
    // Opening fails even for root when a parent of the folder is a regular file.
    const QString blocker = m_dir.file("blocker");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString folderPath = blocker + "/prog/";
    const QDateTime first = at(2026, 12, 8, 10, 0, 0);
    CClock::setFixed(first);
    CInvalidActLog log(folderPath);
    EXPECT_FALSE(log.writeRaised(m_trip));
    EXPECT_FALSE(log.writeAcknowledged(m_trip));
    EXPECT_FALSE(log.isOpen());
    EXPECT_TRUE(log.problem().startsWith(folderPath + "InvalidAct-20261208.log: ")) << log.problem().toStdString();

    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(QDir().mkpath(folderPath));
    const QDateTime later = at(2026, 12, 8, 10, 5, 0);
    CClock::setFixed(later);
    EXPECT_TRUE(log.writeRaised(m_trip));
    EXPECT_TRUE(log.problem().isEmpty());
    const QByteArray written = startLine(first) + expectedLine(first, "+", m_trip) + expectedLine(first, "-", m_trip) +
                               expectedLine(later, "+", m_trip);
    EXPECT_EQ(readAll(folderPath + "InvalidAct-20261208.log"), written);
}

TEST_F(InvalidActLogTest, ExistingContentIsKeptAndWrittenAfter)
{
    const QString path = logFor(2026, 12, 8);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("older line without end");
    }
    const QDateTime now = at(2026, 12, 8, 11, 0, 0);
    CClock::setFixed(now);
    CInvalidActLog log(folder());
    log.writeRaised(m_trip);
    EXPECT_EQ(readAll(path), "older line without end" + startLine(now) + expectedLine(now, "+", m_trip));
}
