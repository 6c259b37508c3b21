#include "config/CColourButton.h"
#include "config/CColourPalette.h"
#include "config/CColourPalettePopup.h"
#include "config/CColourPopupLayout.h"
#include "dialogs/CPrompt.h"

#include "TestSupport.h"

#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

namespace {

using Move = CColourPopupLayout::Move;
constexpr int kDefault = CColourPopupLayout::kDefaultBox;
constexpr int kCustom = CColourPopupLayout::kCustomBox;
constexpr int kNone = CColourPopupLayout::kNone;

CColourPopupLayout bothBoxes()
{
    return CColourPopupLayout(2, true, QSize(60, 13), true, QSize(90, 13));
}

TEST(ColourPalette, TableHoldsFortyDistinctNamedColours)
{
    std::set<ColourValue> values;
    for (int i = 0; i < CColourPalette::kCount; ++i) {
        EXPECT_EQ(CColourPalette::value(i) & 0xFF000000u, 0u) << i;
        EXPECT_FALSE(CColourPalette::name(i).isEmpty()) << i;
        values.insert(CColourPalette::value(i));
    }
    EXPECT_EQ(values.size(), size_t(CColourPalette::kCount));
    EXPECT_EQ(CColourPalette::name(35), QStringLiteral("Pale green "));
    EXPECT_EQ(CColourPalette::name(0), QStringLiteral("Black"));
    EXPECT_EQ(CColourPalette::name(39), QStringLiteral("White"));
    EXPECT_EQ(CColourPalette::indexOf(0x000000FF), 16); // red
    EXPECT_EQ(toQColor(CColourPalette::value(9)), QColor(255, 104, 32));
    EXPECT_EQ(CColourPalette::indexOf(kColourAutomatic), -1);
    EXPECT_EQ(CColourPalette::indexOf(0x00123456), -1);
}

TEST(ColourPopupLayout, CellsAndBoxesDoNotOverlapAndFitTheWindow)
{
    const CColourPopupLayout l = bothBoxes();
    const QRect client(QPoint(0, 0), l.windowSize());
    EXPECT_EQ(l.boxSize(), 18);
    EXPECT_TRUE(client.contains(l.defaultBox()));
    EXPECT_TRUE(client.contains(l.customBox()));
    for (int i = 0; i < CColourPalette::kCount; ++i) {
        const QRect cell = l.cellRect(i);
        EXPECT_TRUE(client.contains(cell)) << i;
        EXPECT_FALSE(cell.intersects(l.defaultBox())) << i;
        EXPECT_FALSE(cell.intersects(l.customBox())) << i;
        EXPECT_LT(cell.bottom(), l.customBox().top()) << i;
    }
    // Without text boxes the window is the bare palette.
    const CColourPopupLayout bare(2, false, {}, false, {});
    EXPECT_EQ(bare.windowSize(), QSize(8 * 18 + 4, 5 * 18 + 4));
    EXPECT_EQ(bare.cellRect(0).topLeft(), QPoint(2, 2));
    // A caption wider than the palette widens the window.
    const CColourPopupLayout wide(2, true, QSize(300, 13), false, {});
    EXPECT_EQ(wide.windowSize().width(), 304);
}

TEST(ColourPopupLayout, HitTestFindsEveryCellAndBothBoxes)
{
    const CColourPopupLayout l = bothBoxes();
    const QPoint shift(l.margin(), l.margin());
    for (int i = 0; i < CColourPalette::kCount; ++i)
        EXPECT_EQ(l.hitTest(l.cellRect(i).center() + shift), i) << i;
    EXPECT_EQ(l.hitTest(l.defaultBox().center() + shift), kDefault);
    EXPECT_EQ(l.hitTest(l.customBox().center() + shift), kCustom);
    // Right of the palette and far below the window: nothing.
    EXPECT_EQ(l.hitTest(QPoint(l.windowSize().width() + 40, l.cellRect(0).center().y())), kNone);
    EXPECT_EQ(l.hitTest(QPoint(10, l.windowSize().height() + 100)), kNone);
    EXPECT_EQ(l.hitTest(QPoint(-30, -30)), kNone);
}

TEST(ColourPopupLayout, KeepsTheWindowOnTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    CColourPopupLayout l = bothBoxes();
    const int buttonHeight = 26;

    l.place(QPoint(100, 100), screen, buttonHeight);
    EXPECT_EQ(l.windowRect().topLeft(), QPoint(100, 100));

    // Near the right edge: shifted left so that its right edge is the screen's.
    l.place(QPoint(1000, 100), screen, buttonHeight);
    EXPECT_EQ(l.windowRect().right(), screen.right());
    EXPECT_EQ(l.windowRect().top(), 100);

    // Near the bottom: above the button (whose top is 26 pixels above the given corner).
    l.place(QPoint(100, 740), screen, buttonHeight);
    EXPECT_EQ(l.windowRect().bottom(), 740 - buttonHeight - 1);
    EXPECT_EQ(l.windowRect().left(), 100);

    // A screen that does not start at the origin.
    l.place(QPoint(2250, 300), QRect(1024, 0, 1280, 1024), buttonHeight);
    EXPECT_EQ(l.windowRect().right(), 1024 + 1279);
    l.place(QPoint(-50, 300), screen, buttonHeight);
    EXPECT_EQ(l.windowRect().left(), 0);
}

TEST(ColourPopupLayout, KeyboardFollowsTheTable)
{
    const CColourPopupLayout l = bothBoxes();
    EXPECT_EQ(l.navigate(kNone, Move::Down), kCustom);
    EXPECT_EQ(l.navigate(kNone, Move::Right), kCustom);
    EXPECT_EQ(l.navigate(kNone, Move::Up), kDefault);
    EXPECT_EQ(l.navigate(kNone, Move::Left), kDefault);

    EXPECT_EQ(l.navigate(3, Move::Down), 11);
    EXPECT_EQ(l.navigate(35, Move::Down), kCustom);
    EXPECT_EQ(l.navigate(11, Move::Up), 3);
    EXPECT_EQ(l.navigate(3, Move::Up), kDefault);
    EXPECT_EQ(l.navigate(7, Move::Right), 8);
    EXPECT_EQ(l.navigate(39, Move::Right), kCustom);
    EXPECT_EQ(l.navigate(8, Move::Left), 7);
    EXPECT_EQ(l.navigate(0, Move::Left), kDefault);

    EXPECT_EQ(l.navigate(kDefault, Move::Down), 0);
    EXPECT_EQ(l.navigate(kDefault, Move::Right), 0);
    EXPECT_EQ(l.navigate(kDefault, Move::Up), kCustom);
    EXPECT_EQ(l.navigate(kDefault, Move::Left), kCustom);
    EXPECT_EQ(l.navigate(kCustom, Move::Down), kDefault);
    EXPECT_EQ(l.navigate(kCustom, Move::Right), kDefault);
    EXPECT_EQ(l.navigate(kCustom, Move::Up), 39);
    EXPECT_EQ(l.navigate(kCustom, Move::Left), 39);

    // Without the boxes the palette wraps onto itself.
    const CColourPopupLayout bare(2, false, {}, false, {});
    EXPECT_EQ(bare.navigate(39, Move::Right), 0);
    EXPECT_EQ(bare.navigate(0, Move::Left), 39);
    EXPECT_EQ(bare.navigate(2, Move::Up), 39);
    EXPECT_EQ(bare.navigate(kNone, Move::Down), 0);
    // Only "Automatic": falling off the end reaches it.
    const CColourPopupLayout onlyDefault(2, true, QSize(60, 13), false, {});
    EXPECT_EQ(onlyDefault.navigate(39, Move::Right), kDefault);
    EXPECT_EQ(onlyDefault.navigate(kDefault, Move::Up), 39);

    // Right from nowhere visits every cell and box once before coming back.
    std::set<int> seen;
    int cell = kNone;
    for (int i = 0; i < CColourPalette::kCount + 2; ++i) {
        cell = l.navigate(cell, Move::Right);
        seen.insert(cell);
    }
    EXPECT_EQ(seen.size(), size_t(CColourPalette::kCount + 2));
    EXPECT_EQ(l.navigate(cell, Move::Right), kCustom);
}

// A button in a window at a known place, with a screen of a known size.
class ColourButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        window.setGeometry(100, 100, 300, 200);
        button = new CColourButton(&window);
        button->setGeometry(10, 10, 88, 26);
        button->setScreenGeometryOverride(QRect(0, 0, 1024, 768));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override
    {
        CPrompt::setTestMode(false);
        CPrompt::clearQueue();
    }

    CColourPalettePopup *open()
    {
        button->click();
        CColourPalettePopup *p = button->popup();
        EXPECT_NE(p, nullptr);
        return p;
    }
    void key(CColourPalettePopup *p, Qt::Key k) { QTest::keyClick(p, k); }

    // Names of the button's signals in the order they were emitted.
    QStringList record()
    {
        QObject::connect(button, &CColourButton::selectionChanged, button,
                         [this](ColourValue c) { events << QStringLiteral("changed %1").arg(c, 8, 16, QChar(u'0')); });
        QObject::connect(button, &CColourButton::popupOpened, button, [this](ColourValue) { events << "opened"; });
        QObject::connect(button, &CColourButton::popupClosed, button, [this](ColourValue) { events << "closed"; });
        QObject::connect(button, &CColourButton::selectionEnded, button,
                         [this](ColourValue c) { events << QStringLiteral("ended %1").arg(c, 8, 16, QChar(u'0')); });
        QObject::connect(button, &CColourButton::selectionCancelled, button, [this](ColourValue c) {
            events << QStringLiteral("cancelled %1").arg(c, 8, 16, QChar(u'0'));
        });
        return {};
    }

    QWidget window;
    CColourButton *button = nullptr;
    QStringList events;
};

TEST_F(ColourButtonTest, OpensBelowTheButtonWithThePaletteColourChosen)
{
    button->setColour(0x000000FF);
    record();
    CColourPalettePopup *p = open();
    ASSERT_TRUE(p);
    EXPECT_TRUE(button->popupActive());
    EXPECT_TRUE(p->isVisible());
    EXPECT_TRUE(p->windowFlags().testFlag(Qt::Popup));
    EXPECT_EQ(p->geometry().topLeft(), button->mapToGlobal(QPoint(0, button->height())));
    EXPECT_EQ(p->chosenCell(), 16);
    EXPECT_EQ(p->currentCell(), kNone);
    EXPECT_EQ(events, QStringList{"opened"});

    // The chosen cell is drawn pressed (highlight background), the others are not.
    const QImage img = p->grab().toImage();
    const QPoint inside = p->layout().cellRect(16).topLeft() + QPoint(2, 2);
    const QPoint other = p->layout().cellRect(17).topLeft() + QPoint(2, 2);
    EXPECT_EQ(img.pixelColor(inside).rgb(), p->palette().color(QPalette::Light).rgb());
    EXPECT_EQ(img.pixelColor(other).rgb(), p->palette().color(QPalette::Button).rgb());
    key(p, Qt::Key_Escape);
}

TEST_F(ColourButtonTest, ColoursOutsideThePaletteMarkNoCell)
{
    for (ColourValue c : {ColourValue(0x00123456), kColourAutomatic}) {
        button->setColour(c);
        CColourPalettePopup *p = open();
        ASSERT_TRUE(p);
        EXPECT_EQ(p->chosenCell(), kNone);
        key(p, Qt::Key_Escape);
        EXPECT_FALSE(button->popupActive());
    }
}

TEST_F(ColourButtonTest, IsDrawnPushedWhileThePopupIsOpen)
{
    button->setColour(0x000000FF);
    const QImage closed = button->grab().toImage();
    CColourPalettePopup *p = open();
    const QImage opened = button->grab().toImage();
    EXPECT_NE(closed, opened);
    key(p, Qt::Key_Escape);
    EXPECT_EQ(button->grab().toImage(), closed);
}

TEST_F(ColourButtonTest, OpensAboveTheButtonAtTheBottomAndShiftsLeftAtTheRight)
{
    // The button's window sits at the bottom right corner of a small screen.
    window.move(500, 540);
    QTest::qWait(0);
    button->setScreenGeometryOverride(QRect(0, 0, 600, 600));
    const QRect buttonOnScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
    ASSERT_GT(buttonOnScreen.bottom() + 150, 600);

    CColourPalettePopup *p = open();
    ASSERT_TRUE(p);
    const QRect g = p->geometry();
    EXPECT_EQ(g.bottom(), buttonOnScreen.top() - 1);
    EXPECT_EQ(g.right(), 599);
    EXPECT_LT(g.left(), buttonOnScreen.left());
    key(p, Qt::Key_Escape);
}

TEST_F(ColourButtonTest, ArrowKeysAndEnterEndWithTheCellReached)
{
    button->setColour(kColourWhite);
    record();
    CColourPalettePopup *p = open();
    QPointer<CColourPalettePopup> guard(p);
    key(p, Qt::Key_Up);    // "Automatic"
    key(p, Qt::Key_Right); // first cell
    key(p, Qt::Key_Right); // Brown
    key(p, Qt::Key_Down);  // Orange
    EXPECT_EQ(p->currentCell(), 9);
    EXPECT_EQ(p->colour(), ColourValue(0x002068FF));
    // Not tracking: the button keeps its colour until the end.
    EXPECT_EQ(button->colour(), kColourWhite);
    key(p, Qt::Key_Return);

    EXPECT_EQ(button->colour(), ColourValue(0x002068FF));
    EXPECT_FALSE(button->popupActive());
    const QStringList expected{"opened",           "changed ff000000", "changed 00000000", "changed 00002aa5",
                               "changed 002068ff", "closed",           "ended 002068ff",   "changed 002068ff"};
    EXPECT_EQ(events, expected);
    // The popup frees itself.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ColourButtonTest, EscapeRestoresTheInitialColour)
{
    button->setColour(0x000000FF);
    record();
    CColourPalettePopup *p = open();
    key(p, Qt::Key_Down);
    key(p, Qt::Key_Left);
    EXPECT_NE(p->colour(), ColourValue(0x000000FF));
    key(p, Qt::Key_Escape);
    EXPECT_EQ(button->colour(), ColourValue(0x000000FF));
    ASSERT_GE(events.size(), 2);
    EXPECT_EQ(events.mid(events.size() - 2), (QStringList{"closed", "cancelled 000000ff"}));
}

TEST_F(ColourButtonTest, AutomaticGivesTheAutomaticValueAndTheDefaultSwatch)
{
    button->setColour(0x000000FF);
    button->setDefaultColour(QColor(10, 200, 30));
    CColourPalettePopup *p = open();
    key(p, Qt::Key_Up);
    EXPECT_EQ(p->currentCell(), kDefault);
    key(p, Qt::Key_Space);
    EXPECT_EQ(button->colour(), kColourAutomatic);
    const QImage img = button->grab().toImage();
    EXPECT_EQ(img.pixelColor(button->width() / 3, button->height() / 2), QColor(10, 200, 30));
}

TEST_F(ColourButtonTest, MoreColoursCancelledEndsAsACancel)
{
    button->setColour(0x00FF0000);
    record();
    CPrompt::queueColour(QColor()); // the standard dialog is cancelled
    CColourPalettePopup *p = open();
    key(p, Qt::Key_Down); // "More colours..."
    EXPECT_EQ(p->currentCell(), kCustom);
    key(p, Qt::Key_Return);

    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().kind, QStringLiteral("colour"));
    EXPECT_EQ(asked.first().text, QColor(0, 0, 255).name()); // the initial colour
    EXPECT_EQ(button->colour(), ColourValue(0x00FF0000));
    EXPECT_EQ(events, (QStringList{"opened", "changed 00ff0000", "closed", "cancelled 00ff0000"}));
}

TEST_F(ColourButtonTest, MoreColoursAcceptedGivesTheDialogColour)
{
    button->setColour(kColourWhite);
    CPrompt::queueColour(QColor(1, 2, 3));
    CColourPalettePopup *p = open();
    key(p, Qt::Key_Down);
    key(p, Qt::Key_Return);
    EXPECT_EQ(button->colour(), ColourValue(0x00030201));
}

TEST_F(ColourButtonTest, MouseReleaseInsideEndsOutsideCancels)
{
    button->setColour(kColourWhite);
    CColourPalettePopup *p = open();
    const QPoint onRed = p->layout().cellRect(16).center() + QPoint(2, 2);
    QMouseEvent move(QEvent::MouseMove, onRed, p->mapToGlobal(onRed), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(p, &move);
    EXPECT_EQ(p->currentCell(), 16);
    QTest::mouseRelease(p, Qt::LeftButton, Qt::NoModifier, onRed);
    EXPECT_EQ(button->colour(), ColourValue(0x000000FF));

    p = open();
    const QPoint onBlack = p->layout().cellRect(0).center() + QPoint(2, 2);
    QMouseEvent move2(QEvent::MouseMove, onBlack, p->mapToGlobal(onBlack), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(p, &move2);
    EXPECT_EQ(p->colour(), ColourValue(0));
    QTest::mouseRelease(p, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
    EXPECT_EQ(button->colour(), ColourValue(0x000000FF));
    EXPECT_FALSE(button->popupActive());
}

TEST_F(ColourButtonTest, ClosingThePopupFromOutsideIsACancel)
{
    button->setColour(0x0000FFFF);
    record();
    CColourPalettePopup *p = open();
    key(p, Qt::Key_Right);
    p->close();
    EXPECT_FALSE(button->popupActive());
    EXPECT_EQ(button->colour(), ColourValue(0x0000FFFF));
    EXPECT_EQ(events.last(), QStringLiteral("cancelled 0000ffff"));
}

} // namespace
