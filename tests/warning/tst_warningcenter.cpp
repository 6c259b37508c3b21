#include "WarningTestUtil.h"

#include "app/CClock.h"
#include "dialogs/CD_AckInvalidAct.h"
#include "dialogs/CWarningCenter.h"
#include "panel/CTabletPainter.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QWindow>
#include <TestSupport.h>
#include <gtest/gtest.h>
#include <memory>

using namespace warningtest;

namespace {

class WarningCenterTest : public ::testing::Test
{
protected:
    void SetUp() override { CClock::setFixed(m_now); }
    void TearDown() override { CClock::reset(); }
    QString folder() const { return m_dir.path() + "/"; }
    QString log() const { return m_dir.file("InvalidAct-20261208.log"); }

    static void pressKey(QWidget *window, int key)
    {
        QWidget *target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
    // What the window system sends when the user clicks the close box.
    static void closeBox(QWidget *window)
    {
        QCloseEvent ev;
        QApplication::sendEvent(window->windowHandle(), &ev);
    }
    static bool gone(const QPointer<CD_AckInvalidAct> &w)
    {
        return testsupport::waitFor([&] { return w.isNull(); });
    }

    testsupport::TempDir m_dir;
    const QDateTime m_now = at(2026, 12, 8, 7, 42, 13);
    const InvalidActFields m_ana{"1043", "Lastname", "Firstname", "08.12.2026.", "07:41", "Trip"};
    const InvalidActFields m_bob{"2001", "Other", "Person", "08.12.2026.", "07:40", "Private exit"};
};

} // namespace

TEST_F(WarningCenterTest, TwoWarningsShareOneLoopUntilTheLastIsAcknowledged)
{
    ASSERT_TRUE(QFile::copy(ZORVIK_ALARM_WAV, m_dir.file("InvalidAct.wav")));
    QWidget owner;
    owner.show();
    CWarningCenter center(folder());
    EXPECT_FALSE(center.isSoundPlaying());

    center.raise(&owner, m_ana);
    center.raise(&owner, m_bob);
    const QList<CD_AckInvalidAct *> windows = center.openWindows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(center.openWarnings(), 2);
    EXPECT_TRUE(center.isSoundPlaying());
    for (CD_AckInvalidAct *w : windows) {
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(w->isModal());
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QPointer<CD_AckInvalidAct> first = windows[0];
    first->findChild<QPushButton *>("ok")->click();
    ASSERT_TRUE(gone(first));
    EXPECT_EQ(center.openWarnings(), 1);
    EXPECT_TRUE(center.isSoundPlaying());

    const QDateTime later = at(2026, 12, 8, 7, 50, 0);
    CClock::setFixed(later);
    QPointer<CD_AckInvalidAct> second = windows[1];
    second->findChild<QPushButton *>("ok")->click();
    ASSERT_TRUE(gone(second));
    EXPECT_EQ(center.openWarnings(), 0);
    EXPECT_FALSE(center.isSoundPlaying());
    EXPECT_TRUE(center.openWindows().isEmpty());

    EXPECT_EQ(readAll(log()), startLine(m_now) + expectedLine(m_now, "+", m_ana) + expectedLine(m_now, "+", m_bob) +
                                  expectedLine(m_now, "-", m_ana) + expectedLine(later, "-", m_bob));

    // The next warning starts the loop again.
    center.raise(&owner, m_ana);
    EXPECT_TRUE(center.isSoundPlaying());
}

TEST_F(WarningCenterTest, EscapeEnterAndCloseBoxAcknowledgeLikeOk)
{
    CD_AckInvalidAct::setKeyGuardMs(0);
    CWarningCenter center(folder());
    QByteArray expected = startLine(m_now);
    for (int way = 0; way < 3; ++way) {
        center.raise(nullptr, m_ana);
        ASSERT_EQ(center.openWindows().size(), 1);
        QPointer<CD_AckInvalidAct> w = center.openWindows().first();
        // The user turns to the warning first: keys work only in an active warning.
        w->activateWindow();
        ASSERT_TRUE(testsupport::waitFor([&] { return w->isActiveWindow(); }));
        if (way == 0)
            pressKey(w, Qt::Key_Escape);
        else if (way == 1)
            pressKey(w, Qt::Key_Return); // the default button
        else
            closeBox(w);
        ASSERT_TRUE(gone(w)) << "way " << way;
        EXPECT_EQ(center.openWarnings(), 0);
        EXPECT_FALSE(center.isSoundPlaying());
        expected += expectedLine(m_now, "+", m_ana) + expectedLine(m_now, "-", m_ana);
    }
    EXPECT_EQ(readAll(log()), expected);
    CD_AckInvalidAct::setKeyGuardMs(700);
}

// A warning comes up over a window the user is typing in: the keys stay with that window, a key
// reaching the warning as it becomes active acknowledges nothing, further warnings step aside
// from the first, and the open count follows every change.
TEST_F(WarningCenterTest, ANewWarningNeverTakesAKeyMeantForAnotherWindow)
{
    QWidget owner;
    auto *edit = new QLineEdit(&owner);
    owner.resize(800, 600);
    owner.show();
    owner.activateWindow();
    edit->setFocus();
    ASSERT_TRUE(testsupport::waitFor([&] { return owner.isActiveWindow() && edit->hasFocus(); }));
    QList<int> counts;
    CWarningCenter center(folder());
    QObject::connect(&center, &CWarningCenter::openWarningsChanged, &center, [&](int n) { counts << n; });

    center.raise(&owner, m_ana);
    center.raise(&owner, m_bob);
    const QList<CD_AckInvalidAct *> windows = center.openWindows();
    ASSERT_EQ(windows.size(), 2);
    // Where the window system activates new windows anyway, the keyboard comes straight back.
    EXPECT_TRUE(testsupport::waitFor([&] { return owner.isActiveWindow(); }, 1000));
    testsupport::waitFor([] { return false; }, 600);
    EXPECT_TRUE(owner.isActiveWindow());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(edit->text(), QStringLiteral(" "));
    EXPECT_EQ(center.openWarnings(), 2);
    EXPECT_NE(windows[0]->pos(), windows[1]->pos());
    EXPECT_EQ(windows[1]->pos() - windows[0]->pos(), QPoint(28, 28));

    // Activated under a key still being pressed: neither it nor its repeats acknowledge.
    QPointer<CD_AckInvalidAct> w = windows[0];
    w->activateWindow();
    ASSERT_TRUE(testsupport::waitFor([&] { return w->isActiveWindow(); }));
    pressKey(w, Qt::Key_Return);
    pressKey(w, Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    testsupport::waitFor([] { return false; }, 800);
    QApplication::sendEvent(w->focusWidget(), &repeat);
    QCoreApplication::processEvents();
    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(w->isAcknowledged());
    // A deliberate key, once the warning has been read.
    pressKey(w, Qt::Key_Return);
    ASSERT_TRUE(gone(w));
    EXPECT_EQ(counts, (QList<int>{1, 2, 1}));
    EXPECT_EQ(readAll(log()), startLine(m_now) + expectedLine(m_now, "+", m_ana) + expectedLine(m_now, "+", m_bob) +
                                  expectedLine(m_now, "-", m_ana));
}

// The window is read from across the room: the six fields as plain text, the time and the name
// large, the activity in its colour with text that stands out from it, above the program's other
// windows, centred over its owner.
TEST_F(WarningCenterTest, WindowShowsTheFieldsLargeInTheActivitysColour)
{
    QWidget owner;
    owner.setGeometry(40, 30, 720, 540);
    owner.show();
    CWarningCenter center(folder());
    const InvalidActFields f{"<b>7</b>", "Radovanović", "First", "08.12.2026.", "07:41", "Privatni <i>izlaz</i>"};
    const QColor orange(255, 152, 0), navy(20, 30, 110);
    center.raise(&owner, f, orange);
    CD_AckInvalidAct *w = center.openWindows().value(0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Warning");
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
    const std::pair<const char *, QString> values[] = {
        {"id", f.id},     {"lastName", f.lastName}, {"firstName", f.firstName},
        {"date", f.date}, {"time", f.time},         {"activity", f.activity}};
    for (const auto &[name, value] : values) {
        auto *label = w->findChild<QLabel *>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), value) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_EQ(QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText(), value) << name;
        EXPECT_TRUE(label->isVisibleTo(w)) << name;
    }
    QStringList captions;
    for (QLabel *l : w->findChildren<QLabel *>())
        if (l->objectName().isEmpty())
            captions << l->text();
    EXPECT_EQ(captions, QStringList({"ID:", "Last name:", "First name:", "Date:", "Time:", "Illegal activity:"}));
    EXPECT_TRUE(w->findChild<QPushButton *>("ok")->isDefault());

    // From two metres: capitals of the time at least 8 mm high, of the name and activity 4 mm.
    const double pixelsPerMm = w->logicalDpiY() / 25.4;
    auto capitalsMm = [&](const char *name) {
        return QFontMetricsF(w->findChild<QLabel *>(name)->font()).capHeight() / pixelsPerMm;
    };
    EXPECT_GE(capitalsMm("time"), 8.0);
    for (const char *name : {"lastName", "firstName", "activity"})
        EXPECT_GE(capitalsMm(name), 4.0) << name;

    // The activity's colour across the top, its text black or white as reads best on it.
    auto *band = w->findChild<QFrame *>("activityBand");
    ASSERT_NE(band, nullptr);
    EXPECT_TRUE(band->geometry().contains(w->findChild<QLabel *>("activity")->geometry().center()));
    const QImage shot = w->grab().toImage();
    EXPECT_EQ(shot.pixelColor(QPoint(4, 4) * shot.devicePixelRatio()), orange);
    EXPECT_GE(CTabletPainter::contrast(band->palette().color(QPalette::WindowText), orange), 4.5);
    w->setActivityColour(navy);
    EXPECT_GE(CTabletPainter::contrast(band->palette().color(QPalette::WindowText), navy), 4.5);
    // The photograph's cell beside the name; the photograph fills it once it arrives.
    auto *photo = w->findChild<QLabel *>("photo");
    ASSERT_NE(photo, nullptr);
    EXPECT_LT(photo->geometry().right(), w->findChild<QLabel *>("lastName")->geometry().left());
    QImage face(300, 380, QImage::Format_RGB32);
    face.fill(Qt::darkGreen);
    w->setPhotograph(face);
    EXPECT_TRUE(w->hasPhotograph());
    EXPECT_EQ(photo->grab().toImage().pixelColor(photo->rect().center() * shot.devicePixelRatio()),
              QColor(Qt::darkGreen));
    if (!qEnvironmentVariableIsEmpty("ZORVIK_SHOT_DIR"))
        w->grab().save(qEnvironmentVariable("ZORVIK_SHOT_DIR") + QStringLiteral("/warning.png"));
    // Centred over its owner.
    const QPoint delta = w->geometry().center() - owner.geometry().center();
    EXPECT_LE(delta.manhattanLength(), 40);
}

// A warning that cannot be logged (the disk is full) still sounds and shows, and says so on its
// window and to the status bar, once; the lines are written by the retry timer as soon as there is
// room, and the notes go.
TEST_F(WarningCenterTest, AWarningThatCannotBeLoggedSaysSoAndIsWrittenLater)
{
    ASSERT_TRUE(QFile::link("/dev/full", log()));
    CWarningCenter::setLogRetryMs(50);
    CWarningCenter center(folder());
    QStringList told;
    QObject::connect(&center, &CWarningCenter::logProblemChanged, &center, [&](const QString &text) { told << text; });
    center.raise(nullptr, m_ana);
    center.raise(nullptr, m_bob);
    EXPECT_EQ(center.openWarnings(), 2);
    EXPECT_TRUE(center.isSoundPlaying());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("Warnings could not be written to the log (" + log() + ": "))
        << told[0].toStdString();
    QList<QLabel *> notes;
    for (CD_AckInvalidAct *w : center.openWindows()) {
        notes << w->findChild<QLabel *>("logProblem");
        ASSERT_NE(notes.last(), nullptr);
        EXPECT_TRUE(notes.last()->isVisible());
        EXPECT_EQ(notes.last()->text(), told[0]);
    }

    ASSERT_TRUE(QFile::remove(log()));
    ASSERT_TRUE(testsupport::waitFor([&] { return told.size() == 2; }));
    CWarningCenter::setLogRetryMs(30 * 1000);
    EXPECT_TRUE(told[1].isEmpty());
    for (QLabel *note : notes)
        EXPECT_FALSE(note->isVisible());
    EXPECT_EQ(readAll(log()), startLine(m_now) + expectedLine(m_now, "+", m_ana) + expectedLine(m_now, "+", m_bob));
}

// An alarm that cannot sound (no sound file, no audio device) is said on the window and to the
// status bar, so that the guard watches the screen.
TEST_F(WarningCenterTest, MissingSoundFileStillRaisesAndSaysTheAlarmIsSilent)
{
    {
        ASSERT_TRUE(QFile::copy(ZORVIK_ALARM_WAV, m_dir.file("InvalidAct.wav")));
        CWarningCenter withFile(folder());
        // With the file, only a missing audio device silences the alarm.
        EXPECT_EQ(withFile.soundProblem().isEmpty(), !QMediaDevices::audioOutputs().isEmpty());
        ASSERT_TRUE(QFile::remove(m_dir.file("InvalidAct.wav")));
    }
    CWarningCenter center(folder());
    EXPECT_EQ(center.soundProblem(), "Alarm sound unavailable");
    center.raise(nullptr, m_ana);
    EXPECT_EQ(center.openWarnings(), 1);
    EXPECT_TRUE(center.isSoundPlaying());
    auto *note = center.openWindows().value(0)->findChild<QLabel *>("soundProblem");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisibleTo(center.openWindows().value(0)));
    EXPECT_EQ(note->text(), "Alarm sound unavailable");
    EXPECT_EQ(readAll(log()), startLine(m_now) + expectedLine(m_now, "+", m_ana));
    QPointer<CD_AckInvalidAct> w = center.openWindows().value(0);
    w->findChild<QPushButton *>("ok")->click();
    ASSERT_TRUE(gone(w));
    EXPECT_FALSE(center.isSoundPlaying());
}

TEST_F(WarningCenterTest, ClosingTheOwnerTakesTheWindowsWithoutAcknowledging)
{
    auto owner = std::make_unique<QWidget>();
    owner->show();
    CWarningCenter center(folder());
    center.raise(owner.get(), m_ana);
    center.raise(owner.get(), m_bob);
    owner.reset();
    EXPECT_EQ(center.openWarnings(), 0);
    EXPECT_TRUE(center.openWindows().isEmpty());
    EXPECT_FALSE(center.isSoundPlaying());
    EXPECT_FALSE(readAll(log()).contains(" - "));
}

TEST_F(WarningCenterTest, SecondRunAppendsAndEachCenterOwnsItsWindows)
{
    // A second center of the same day (a second run) appends its own start line; its windows
    // are its own.
    auto run1 = std::make_unique<CWarningCenter>(folder());
    EXPECT_EQ(CWarningCenter::instance(), run1.get());
    run1->raise(nullptr, m_ana);
    QPointer<CD_AckInvalidAct> left = run1->openWindows().value(0);
    run1.reset();
    EXPECT_TRUE(left.isNull());
    EXPECT_EQ(CWarningCenter::instance(), nullptr);

    const QDateTime later = at(2026, 12, 8, 16, 0, 0);
    CClock::setFixed(later);
    CWarningCenter run2(folder());
    run2.raise(nullptr, m_bob);
    EXPECT_EQ(run2.openWindows().size(), 1);
    EXPECT_EQ(readAll(log()),
              startLine(m_now) + expectedLine(m_now, "+", m_ana) + startLine(later) + expectedLine(later, "+", m_bob));
}

TEST(AlarmSound, ShippedFileIsShortMono16BitPcm)
{
    QFile f(ZORVIK_ALARM_WAV);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray h = f.read(44);
    ASSERT_EQ(h.size(), 44);
    auto u16 = [&](int at) { return quint16(uchar(h[at]) | uchar(h[at + 1]) << 8); };
    auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    EXPECT_EQ(h.left(4), "RIFF");
    EXPECT_EQ(h.mid(8, 4), "WAVE");
    EXPECT_EQ(u16(20), 1);      // PCM
    EXPECT_EQ(u16(22), 1);      // mono
    EXPECT_EQ(u32(24), 22050u); // sample rate
    EXPECT_EQ(u16(34), 16);     // bits per sample
    const double seconds = double(u32(40)) / (22050 * 2);
    EXPECT_GT(seconds, 0.3);
    EXPECT_LT(seconds, 1.5);
}
