// The panel view and the tablets on its canvas with real widgets on the offscreen platform: mouse
// handling through real mouse events, the commands, scrolling, the background and the file.
#include "ContextSandbox.h"
#include "PanelTestUtil.h"
#include "TestSupport.h"
#include "app/CStringTable.h"
#include "dialogs/CD_FindName.h"
#include "dialogs/CPrompt.h"
#include "panel/CTablet.h"
#include "panel/CTabletPainter.h"
#include "panel/C_PanelCanvas.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

using testsupport::waitFor;

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Qt::MouseButtons buttons = Qt::NoButton;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        buttons = button;
    else if (type == QEvent::MouseMove)
        buttons = button; // held while moving (Qt::NoButton for a hover)
    const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), which, buttons, mods);
    QApplication::sendEvent(w, &e);
}

// Press at grab inside the tablet as the canvas shows it, move the cursor to canvas points,
// release.
void drag(C_ZorvikView *view, CTablet *t, QPoint grab, std::initializer_list<QPoint> canvasPoints)
{
    QWidget *canvas = view->canvas();
    QPoint last = view->tabletRect(t).topLeft() + grab;
    mouse(canvas, QEvent::MouseButtonPress, last);
    for (const QPoint &c : canvasPoints) {
        last = c;
        mouse(canvas, QEvent::MouseMove, last);
    }
    mouse(canvas, QEvent::MouseButtonRelease, last);
}

class PanelView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        CPrompt::takeAsked();
        doc = std::make_unique<C_ZorvikDoc>();
    }
    void TearDown() override
    {
        view.reset();
        doc.reset();
        CD_FindName::setTestHook({});
        CPrompt::clearQueue();
    }

    CTablet *add(const QString &last, const QString &first, const QString &id, QPoint at = QPoint(0, 0))
    {
        return doc->addTablet(last, first, QStringLiteral("0000") + id, id, QRect(at, QSize(168, 24)));
    }

    void showView(QSize viewport = QSize(600, 400))
    {
        view = std::make_unique<C_ZorvikView>(doc.get());
        view->resize(viewport);
        view->show();
        // Make the visible area exactly the size asked for, whatever the frame and bars take.
        const QSize extra = view->size() - view->viewport()->size();
        view->resize(viewport + extra);
        ASSERT_TRUE(waitFor([&] { return view->viewport()->size() == viewport; }));
    }

    C_PanelWnd *wnd(CTablet *t) const { return view->tabletWindow(t); }
    QRect shown(CTablet *t) const { return view->tabletRect(t); }
    // A mouse event on a tablet, at a point inside it.
    void on(CTablet *t, QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::LeftButton,
            Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        mouse(view->canvas(), type, shown(t).topLeft() + local, button, mods);
    }

    std::unique_ptr<C_ZorvikDoc> doc;
    std::unique_ptr<C_ZorvikView> view;
};

} // namespace

TEST_F(PanelView, TabletsFollowTheDocumentInPlaceAndOrder)
{
    CTablet *a = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 24));
    showView();
    ASSERT_NE(wnd(a), nullptr);
    EXPECT_EQ(shown(a), QRect(48, 24, 168, 24));
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(50, 30)), a);
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(47, 30)), nullptr);
    EXPECT_EQ(view->canvas()->size(), QSize(24000, 24000));

    CTablet *b = add(QStringLiteral("Roe"), QStringLiteral("Rick"), QStringLiteral("3"), QPoint(240, 48));
    ASSERT_NE(wnd(b), nullptr);
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(300, 60)), b);
    a->setExpandedSize(true);
    EXPECT_EQ(shown(a).height(), 96);
    EXPECT_EQ(view->canvas()->zOrder().last(), a); // raised

    // Middle button lowers without moving or resizing; where two overlap, the upper one is hit.
    on(a, QEvent::MouseButtonPress, QPoint(5, 5), Qt::MiddleButton);
    EXPECT_EQ(view->canvas()->zOrder(), (QList<CTablet *>{a, b}));
    EXPECT_EQ(a->geometry(), QRect(48, 24, 168, 96));
    b->moveTo(QPoint(96, 48));
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(100, 50)), b);
    on(a, QEvent::MouseButtonPress, QPoint(5, 5));
    on(a, QEvent::MouseButtonRelease, QPoint(5, 5));
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(100, 50)), a);

    doc->removeTablet(QStringLiteral("3"));
    EXPECT_EQ(view->tabletWindowCount(), 1);
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(250, 100)), nullptr);
}

TEST_F(PanelView, DragSnapsToTheGridAndStopsAtTheCanvasEdge)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 24));
    showView();
    // Grabbed at (10, 10), cursor to canvas (88, 84): (78, 74) snaps down to (72, 72).
    drag(view.get(), t, QPoint(10, 10), {QPoint(70, 40), QPoint(88, 84)});
    EXPECT_EQ(t->geometry(), QRect(72, 72, 168, 24));
    EXPECT_EQ(shown(t).topLeft(), QPoint(72, 72));
    EXPECT_TRUE(doc->isModified());

    // Far beyond the left and top edges: it stops at 0.
    drag(view.get(), t, QPoint(10, 10), {QPoint(-150, -90)});
    EXPECT_EQ(t->geometry().topLeft(), QPoint(0, 0));

    // Scrolled to (240, 96): the canvas edge still holds.
    t->moveTo(QPoint(480, 240));
    view->setScrollPosition(QPoint(240, 96));
    ASSERT_EQ(view->scrollPosition(), QPoint(240, 96));
    drag(view.get(), t, QPoint(10, 10), {QPoint(300, 150)}); // canvas (300,150) - grab: (290,140) -> client (48,24)
    EXPECT_EQ(t->geometry().topLeft(), QPoint(288, 120));
    drag(view.get(), t, QPoint(10, 10), {QPoint(-500, -500)});
    EXPECT_EQ(t->geometry().topLeft(), QPoint(0, 0));
}

TEST_F(PanelView, SelectedTabletsFollowUnlessTheyWouldLeaveTheCanvas)
{
    CTablet *a = add(QStringLiteral("A"), QString(), QStringLiteral("1"), QPoint(48, 48));
    CTablet *b = add(QStringLiteral("B"), QString(), QStringLiteral("2"), QPoint(240, 48));
    CTablet *c = add(QStringLiteral("C"), QString(), QStringLiteral("3"), QPoint(24, 200));
    CTablet *d = add(QStringLiteral("D"), QString(), QStringLiteral("4"), QPoint(400, 200));
    showView();
    for (CTablet *t : {a, b, c})
        t->setSelected(true);
    // Left by 48: b follows, c would go to x -24 and stays, d is not selected.
    drag(view.get(), a, QPoint(0, 0), {QPoint(0, 48)});
    EXPECT_EQ(a->geometry().topLeft(), QPoint(0, 48));
    EXPECT_EQ(b->geometry().topLeft(), QPoint(192, 48));
    EXPECT_EQ(c->geometry().topLeft(), QPoint(24, 200));
    EXPECT_EQ(d->geometry().topLeft(), QPoint(400, 200));
    EXPECT_TRUE(a->isSelected() && b->isSelected() && c->isSelected());
    // Down by 24: all selected move together.
    drag(view.get(), a, QPoint(0, 0), {QPoint(0, 72)});
    EXPECT_EQ(b->geometry().topLeft(), QPoint(192, 72));
    EXPECT_EQ(c->geometry().topLeft(), QPoint(24, 224));
}

TEST_F(PanelView, ScrolledFollowersStayInTheVisibleArea)
{
    // Scrolled to (240, 96): a follower may go left only as far as the visible area's edge,
    // although the canvas goes on beyond it.
    CTablet *a = add(QStringLiteral("A"), QString(), QStringLiteral("1"), QPoint(480, 240));
    CTablet *b = add(QStringLiteral("B"), QString(), QStringLiteral("2"), QPoint(264, 240));
    CTablet *c = add(QStringLiteral("C"), QString(), QStringLiteral("3"), QPoint(312, 144));
    showView();
    view->setScrollPosition(QPoint(240, 96));
    ASSERT_EQ(view->scrollPosition(), QPoint(240, 96));
    for (CTablet *t : {a, b, c})
        t->setSelected(true);
    // Left by 48: b would reach client x -24 (canvas 216) and stays; c reaches client x 24.
    drag(view.get(), a, QPoint(0, 0), {QPoint(432, 240)});
    EXPECT_EQ(a->geometry().topLeft(), QPoint(432, 240));
    EXPECT_EQ(b->geometry().topLeft(), QPoint(264, 240));
    EXPECT_EQ(c->geometry().topLeft(), QPoint(264, 144));
    // Up by 48: c would reach client y 0 exactly and follows; b and a follow too.
    drag(view.get(), a, QPoint(0, 0), {QPoint(432, 192)});
    EXPECT_EQ(c->geometry().topLeft(), QPoint(264, 96));
    EXPECT_EQ(b->geometry().topLeft(), QPoint(264, 192));
}

TEST_F(PanelView, UnloadableTiledPictureGivesABlankCanvasThatDragsLeaveClean)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 48));
    showView();
    doc->setBackground(true, true, QStringLiteral("C:\\Zorvik\\Slike\\pozadina.JPG"));
    // What the window system shows: the window's own pixels, not a fresh rendering.
    auto screen = [&] {
        QCoreApplication::processEvents();
        QWidget *top = view->window();
        const QImage img = top->screen()->grabWindow(top->winId()).toImage();
        return img.copy(QRect(view->viewport()->mapTo(top, QPoint(0, 0)), view->viewport()->size()));
    };
    const QColor base = view->canvas()->palette().color(QPalette::Base);
    const QRect before(48, 48, 168, 24);
    ASSERT_NE(screen().pixelColor(before.center()), base); // the tablet is there
    drag(view.get(), t, QPoint(10, 10), {QPoint(130, 100), QPoint(250, 250)});
    ASSERT_EQ(t->geometry().topLeft(), QPoint(240, 240));
    const QImage after = screen();
    EXPECT_EQ(paneltest::countColour(after, before, base), before.width() * before.height());
    // Blank elsewhere too: no grid lines, no numbers.
    EXPECT_EQ(paneltest::countColour(after, QRect(0, 0, 230, 230), base), 230 * 230);
}

TEST_F(PanelView, ClicksSelect)
{
    CTablet *a = add(QStringLiteral("A"), QString(), QStringLiteral("1"), QPoint(0, 0));
    CTablet *b = add(QStringLiteral("B"), QString(), QStringLiteral("2"), QPoint(0, 48));
    CTablet *c = add(QStringLiteral("C"), QString(), QStringLiteral("3"), QPoint(0, 96));
    showView();
    auto click = [&](CTablet *t, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        on(t, QEvent::MouseButtonPress, QPoint(30, 10), Qt::LeftButton, mods);
        on(t, QEvent::MouseButtonRelease, QPoint(30, 10), Qt::LeftButton, mods);
    };
    click(a, Qt::ControlModifier);
    click(b, Qt::ControlModifier);
    EXPECT_TRUE(a->isSelected());
    EXPECT_TRUE(b->isSelected());
    click(b, Qt::ControlModifier); // toggles off
    EXPECT_FALSE(b->isSelected());
    click(a); // selected: the selection stays
    EXPECT_TRUE(a->isSelected());
    // The right button does nothing on a tablet: no selection change, no raise, no drag, and
    // no rubber band behind it.
    const QList<CTablet *> order = view->canvas()->zOrder();
    on(c, QEvent::MouseButtonPress, QPoint(30, 10), Qt::RightButton);
    mouse(view->canvas(), QEvent::MouseMove, QPoint(300, 300), Qt::RightButton);
    on(c, QEvent::MouseButtonRelease, QPoint(30, 10), Qt::RightButton);
    EXPECT_TRUE(a->isSelected());
    EXPECT_EQ(view->canvas()->zOrder(), order);
    EXPECT_EQ(c->geometry().topLeft(), QPoint(0, 96));
    EXPECT_TRUE(view->canvas()->band().isEmpty());
    click(c); // unselected without Control: everything cleared, c not selected
    EXPECT_FALSE(a->isSelected());
    EXPECT_FALSE(c->isSelected());
    EXPECT_FALSE(doc->isModified()); // a click without a move changes nothing
}

TEST_F(PanelView, RubberBandSelectsOnlyTabletsWhollyInside)
{
    CTablet *in1 = add(QStringLiteral("A"), QString(), QStringLiteral("1"), QPoint(48, 48));
    CTablet *in2 = add(QStringLiteral("B"), QString(), QStringLiteral("2"), QPoint(48, 96));
    CTablet *part = add(QStringLiteral("C"), QString(), QStringLiteral("3"), QPoint(192, 48));
    CTablet *out = add(QStringLiteral("D"), QString(), QStringLiteral("4"), QPoint(400, 300));
    showView();
    out->setSelected(true);
    QWidget *canvas = view->canvas();
    mouse(canvas, QEvent::MouseButtonPress, QPoint(40, 40));
    EXPECT_FALSE(out->isSelected()); // pressing on the empty canvas clears the selection
    mouse(canvas, QEvent::MouseMove, QPoint(150, 90));
    mouse(canvas, QEvent::MouseMove, QPoint(300, 120)); // band (40,40)-(300,120): c reaches 360
    mouse(canvas, QEvent::MouseButtonRelease, QPoint(300, 120));
    EXPECT_TRUE(in1->isSelected());
    EXPECT_TRUE(in2->isSelected());
    EXPECT_FALSE(part->isSelected());
    EXPECT_FALSE(out->isSelected());

    // Drawn from bottom-right to top-left, with the band edge exactly on a tablet's edge.
    mouse(canvas, QEvent::MouseButtonPress, QPoint(360, 72));
    mouse(canvas, QEvent::MouseMove, QPoint(192, 48));
    mouse(canvas, QEvent::MouseButtonRelease, QPoint(192, 48));
    EXPECT_TRUE(part->isSelected());
    EXPECT_FALSE(in1->isSelected());
}

TEST_F(PanelView, DoubleClicks)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 24));
    showView();
    on(t, QEvent::MouseButtonPress, QPoint(30, 10));
    on(t, QEvent::MouseButtonRelease, QPoint(30, 10));
    on(t, QEvent::MouseButtonDblClick, QPoint(30, 10));
    on(t, QEvent::MouseButtonRelease, QPoint(30, 10));
    EXPECT_TRUE(t->isExpanded());
    EXPECT_EQ(shown(t).size(), QSize(168, 96));
    EXPECT_TRUE(doc->isModified());
    doc->setModified(false);
    on(t, QEvent::MouseButtonDblClick, QPoint(30, 10));
    EXPECT_FALSE(t->isExpanded());
    EXPECT_EQ(t->geometry(), QRect(48, 24, 168, 24));
    EXPECT_TRUE(doc->isModified());

    int requested = 0;
    QObject::connect(view.get(), &C_ZorvikView::employeesRequested, view.get(), [&] { ++requested; });
    mouse(view->canvas(), QEvent::MouseButtonDblClick, QPoint(500, 300));
    EXPECT_EQ(requested, 1);
}

TEST_F(PanelView, ExpandAndCollapseAllLeaveThePanelUnmodified)
{
    CTablet *a = add(QStringLiteral("A"), QString(), QStringLiteral("1"));
    CTablet *b = add(QStringLiteral("B"), QString(), QStringLiteral("2"), QPoint(0, 120));
    showView();
    EXPECT_TRUE(view->canPrint());
    view->expandAll();
    EXPECT_TRUE(a->isExpanded() && b->isExpanded());
    EXPECT_EQ(shown(b).height(), 96);
    view->collapseAll();
    EXPECT_FALSE(a->isExpanded());
    EXPECT_EQ(shown(a).height(), 24);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(PanelView, ArrangeUsesTheVisibleAreaAndTheFullSortText)
{
    CTablet *john = add(QStringLiteral("Doe"), QStringLiteral("John"), QStringLiteral("1"), QPoint(600, 600));
    CTablet *jane = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(900, 48));
    CTablet *adams = add(QStringLiteral("Adams"), QStringLiteral("Zed"), QStringLiteral("3"), QPoint(24, 960));
    showView(QSize(500, 100));
    john->setExpanded(true);
    john->setExpandedSize(true);
    jane->setSelected(true);
    view->setScrollPosition(QPoint(480, 240));
    view->arrangeHorizontally();
    EXPECT_EQ(view->scrollPosition(), QPoint(0, 0));
    // Two per row in 500 pixels: Adams, Doe Jane, then Doe John on the next row.
    EXPECT_EQ(adams->geometry(), QRect(0, 0, 168, 24));
    EXPECT_EQ(jane->geometry(), QRect(168, 0, 168, 24));
    EXPECT_EQ(john->geometry(), QRect(0, 24, 168, 24));
    EXPECT_FALSE(john->isExpanded());
    EXPECT_FALSE(jane->isSelected());
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(shown(john), QRect(0, 24, 168, 24));
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(10, 30)), john);

    // 100 pixels high: columns of four.
    for (int i = 4; i <= 6; ++i)
        add(QStringLiteral("Z%1").arg(i), QString(), QString::number(i));
    view->arrangeVertically();
    EXPECT_EQ(john->geometry().topLeft(), QPoint(0, 48));
    EXPECT_EQ(doc->tablet(QStringLiteral("5"))->geometry().topLeft(), QPoint(168, 0));

    // Below 336 pixels wide: one per row.
    showView(QSize(300, 100));
    view->arrangeHorizontally();
    EXPECT_EQ(jane->geometry().topLeft(), QPoint(0, 24));
}

TEST_F(PanelView, FindSelectsByNameParts)
{
    CTablet *smith = add(QStringLiteral("Smith"), QStringLiteral("John"), QStringLiteral("1"));
    CTablet *mills = add(QStringLiteral("Mills"), QStringLiteral("Anna"), QStringLiteral("2"));
    CTablet *brown = add(QStringLiteral("Brown"), QStringLiteral("Jim"), QStringLiteral("3"));
    showView();
    auto answer = [](const QString &last, const QString &first, bool ok) {
        CD_FindName::setTestHook([=](CD_FindName &dlg) {
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Find"));
            dlg.findChild<QLineEdit *>(QStringLiteral("lastName"))->setText(last);
            dlg.findChild<QLineEdit *>(QStringLiteral("firstName"))->setText(first);
            dlg.findChild<QPushButton *>(ok ? QStringLiteral("ok") : QStringLiteral("cancel"))->click();
            return dlg.result();
        });
    };
    answer(QStringLiteral("mi"), QString(), true);
    view->find();
    EXPECT_TRUE(smith->isSelected());
    EXPECT_TRUE(mills->isSelected());
    EXPECT_FALSE(brown->isSelected());

    answer(QStringLiteral("mi"), QStringLiteral("j"), true);
    view->find();
    EXPECT_TRUE(smith->isSelected());
    EXPECT_FALSE(mills->isSelected());
    EXPECT_FALSE(brown->isSelected()); // J but no MI

    answer(QStringLiteral("brown"), QString(), false); // cancelled: nothing changes
    view->find();
    EXPECT_TRUE(smith->isSelected());
    EXPECT_FALSE(brown->isSelected());

    answer(QString(), QString(), true); // both empty: nothing changes
    view->find();
    EXPECT_TRUE(smith->isSelected());

    // Diacritics do not matter, and a tablet far out of sight is scrolled into view and flashed.
    CTablet *far = add(QStringLiteral("Đorđević"), QStringLiteral("Čedomir"), QStringLiteral("4"), QPoint(9600, 7200));
    answer(QStringLiteral("dordevic"), QStringLiteral("cedo"), true);
    view->find();
    EXPECT_TRUE(far->isSelected());
    EXPECT_FALSE(smith->isSelected());
    EXPECT_TRUE(
        QRect(QPoint(0, 0), view->viewport()->size()).contains(QRect(view->visiblePosition(far), QSize(168, 24))));
    EXPECT_EQ(view->scrollPosition().x() % 24, 0); // still on the grid
    EXPECT_TRUE(view->canvas()->isFlashing());
    EXPECT_TRUE(view->canvas()->flashRect().contains(shown(far)));
    EXPECT_TRUE(waitFor([&] { return !view->canvas()->isFlashing(); }, 3 * C_PanelCanvas::kFlashMs));

    answer(QStringLiteral("nobody"), QString(), true); // says so instead of leaving a blank selection
    view->find();
    EXPECT_EQ(CPrompt::takeAsked().size(), 1);
}

// Zoom for a wall display: the keys step the zoom, the canvas and every tablet grow with it while
// the panel's own positions stay (and so does the file), and a saved panel opened again while the
// program runs comes back at its zoom.
TEST_F(PanelView, ZoomScalesTheViewNeverThePanel)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(240, 96));
    showView();
    auto key = [&](int k) { QTest::keyClick(view->viewport(), Qt::Key(k), Qt::ControlModifier); };
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->viewport()->setFocus();
    key(Qt::Key_Plus);
    EXPECT_EQ(view->zoom(), 125);
    key(Qt::Key_Equal); // the plus key without Shift
    EXPECT_EQ(view->zoom(), 150);
    EXPECT_EQ(shown(t), QRect(360, 144, 252, 36));
    EXPECT_EQ(view->canvas()->width(), 36000);
    EXPECT_EQ(t->geometry(), QRect(240, 96, 168, 24));
    EXPECT_FALSE(doc->isModified());
    // A dragged tablet still lands on the panel's grid.
    drag(view.get(), t, QPoint(5, 5), {QPoint(360 + 5 + 36, 144 + 5)});
    EXPECT_EQ(t->geometry().topLeft(), QPoint(264, 96));
    key(Qt::Key_0);
    EXPECT_EQ(view->zoom(), 100);
    key(Qt::Key_Minus);
    key(Qt::Key_Minus);
    key(Qt::Key_Minus); // no further than the smallest step
    EXPECT_EQ(view->zoom(), C_ZorvikView::kZoomSteps[0]);

    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("wall.zvl"));
    QString error;
    view->setZoom(200);
    ASSERT_TRUE(doc->save(path, &error)) << error.toStdString();
    view.reset();
    doc = std::make_unique<C_ZorvikDoc>();
    ASSERT_TRUE(doc->load(path));
    EXPECT_EQ(doc->tablet(QStringLiteral("2"))->geometry(), QRect(264, 96, 168, 24));
    showView();
    EXPECT_EQ(view->zoom(), 200);
    EXPECT_EQ(shown(doc->tablet(QStringLiteral("2"))), QRect(528, 192, 336, 48));
    view->setZoom(100); // the memory lasts as long as the program: leave it as found
}

TEST_F(PanelView, RemoveAllAsksAndOnlyYesRemoves)
{
    add(QStringLiteral("A"), QString(), QStringLiteral("1"));
    add(QStringLiteral("B"), QString(), QStringLiteral("2"), QPoint(0, 48));
    showView();
    for (auto no : {QMessageBox::No, QMessageBox::Cancel}) {
        CPrompt::queueButton(no);
        view->removeAll();
        EXPECT_EQ(doc->tabletCount(), 2);
        EXPECT_FALSE(doc->isModified());
    }
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].text, QStringLiteral("Are you sure you wish to remove all employees from the current panel?"));
    EXPECT_EQ(asked[0].icon, QMessageBox::Question);
    EXPECT_EQ(asked[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    CPrompt::queueButton(QMessageBox::Yes);
    view->removeAll();
    EXPECT_EQ(doc->tabletCount(), 0);
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(view->tabletWindowCount(), 0);
    EXPECT_FALSE(view->canPrint());
    EXPECT_TRUE(view->canvas()->zOrder().isEmpty());
    EXPECT_EQ(view->canvas()->tabletAt(QPoint(10, 10)), nullptr);
}

TEST_F(PanelView, ScrollsInGridSteps)
{
    showView();
    QScrollBar *h = view->horizontalScrollBar();
    QScrollBar *v = view->verticalScrollBar();
    h->setSliderPosition(100); // dragging the thumb
    EXPECT_EQ(h->value(), 96);
    EXPECT_EQ(view->scrollPosition().x(), 96);
    EXPECT_EQ(view->canvas()->pos().x(), -96);
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(h->value(), 120);
    EXPECT_EQ(h->maximum(), 24000 - 600);
    EXPECT_EQ(h->pageStep(), 600);

    auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(50, 50), QPointF(view->viewport()->mapToGlobal(QPoint(50, 50))), QPoint(),
                      QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &e);
    };
    wheel(-120, Qt::NoModifier); // down one line
    EXPECT_EQ(v->value(), 24);
    wheel(-240, Qt::NoModifier); // two steps
    EXPECT_EQ(v->value(), 72);
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(v->value(), 48);
    wheel(120, Qt::ControlModifier); // with a key held: left
    EXPECT_EQ(h->value(), 96);
    EXPECT_EQ(v->value(), 48);
}

TEST_F(PanelView, CanvasPositionSurvivesSaveAndReloadWhileScrolled)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(600, 720));
    showView();
    view->setScrollPosition(QPoint(480, 480));
    EXPECT_EQ(view->visiblePosition(t), QPoint(120, 240)); // on screen
    drag(view.get(), t, QPoint(5, 5), {QPoint(629, 749)}); // one step right and one down
    EXPECT_EQ(t->geometry().topLeft(), QPoint(624, 744));

    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("p.zvl"));
    QString error;
    ASSERT_TRUE(doc->save(path, &error)) << error.toStdString();
    view.reset();
    doc = std::make_unique<C_ZorvikDoc>();
    ASSERT_TRUE(doc->load(path));
    showView();
    CTablet *back = doc->tablet(QStringLiteral("2"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->geometry(), QRect(624, 744, 168, 24));
    EXPECT_EQ(view->visiblePosition(back), QPoint(624, 744));
    EXPECT_FALSE(doc->isModified());
}

TEST_F(PanelView, BackgroundLoadsOnlyExactEndingsWhenUsed)
{
    testsupport::TempDir dir;
    const QByteArray jpeg = paneltest::photo(48, 48, Qt::blue, Qt::blue);
    for (const char *name : {"bg.jpg", "bg.JPG"}) {
        QFile f(dir.file(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jpeg);
    }
    showView();
    doc->setBackground(true, false, dir.file(QStringLiteral("bg.JPG")));
    EXPECT_TRUE(view->background().image().isNull());
    EXPECT_EQ(view->background().path(), dir.file(QStringLiteral("bg.JPG")));
    doc->setBackground(false, false, dir.file(QStringLiteral("bg.jpg")));
    EXPECT_TRUE(view->background().image().isNull());
    // Decoded off the interface thread: shown when the picture arrives, not while it is set.
    doc->setBackground(true, true, dir.file(QStringLiteral("bg.jpg")));
    EXPECT_TRUE(view->background().image().isNull());
    ASSERT_TRUE(testsupport::waitFor([&] { return !view->background().image().isNull(); }));
    EXPECT_EQ(view->background().image().size(), QSize(48, 48));
    EXPECT_TRUE(view->background().tile());

    // Drawn tiled over the whole visible canvas.
    const QImage shot = view->canvas()->grab(QRect(0, 0, 200, 150)).toImage();
    EXPECT_TRUE(paneltest::near(shot.pixelColor(100, 100), Qt::blue));
    EXPECT_TRUE(paneltest::near(shot.pixelColor(10, 140), Qt::blue));
}

TEST_F(PanelView, HoverPeeksAndShrinksAgain)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 48));
    CTablet *other = add(QStringLiteral("Roe"), QStringLiteral("Rick"), QStringLiteral("3"), QPoint(48, 240));
    showView();
    C_PanelWnd *w = wnd(t);
    QWidget *canvas = view->canvas();
    auto point = [&](CTablet *on, QPoint local) { return canvas->mapToGlobal(shown(on).topLeft() + local); };
    QCursor::setPos(point(t, QPoint(20, 10)));
    if (QCursor::pos() != point(t, QPoint(20, 10)))
        GTEST_SKIP() << "the platform cannot place the cursor";
    on(t, QEvent::MouseMove, QPoint(20, 10), Qt::NoButton);
    EXPECT_TRUE(w->isHoverArmed());
    EXPECT_FALSE(wnd(other)->isHoverArmed());
    EXPECT_EQ(shown(t).height(), 24); // not before the delay
    ASSERT_TRUE(waitFor([&] { return shown(t).height() == 96; }, 3000));
    EXPECT_EQ(t->geometry().height(), 96);
    EXPECT_FALSE(t->isExpanded()); // a peek, not the user's expansion
    EXPECT_FALSE(doc->isModified());

    // Onto another tablet: the first shrinks when its check finds the cursor gone, the second
    // keeps a peek of its own.
    QCursor::setPos(point(other, QPoint(20, 10)));
    on(other, QEvent::MouseMove, QPoint(20, 10), Qt::NoButton);
    ASSERT_TRUE(waitFor([&] { return shown(t).height() == 24; }, 2000));
    EXPECT_FALSE(w->isHoverArmed());
    EXPECT_TRUE(wnd(other)->isHoverArmed());
    ASSERT_TRUE(waitFor([&] { return shown(other).height() == 96; }, 3000));
    QCursor::setPos(canvas->mapToGlobal(QPoint(500, 20)));
    ASSERT_TRUE(waitFor([&] { return shown(other).height() == 24; }, 2000));

    // Expanded by the user: the peek leaves the size alone.
    t->setExpanded(true);
    t->setExpandedSize(true);
    QCursor::setPos(point(t, QPoint(20, 10)));
    on(t, QEvent::MouseMove, QPoint(20, 10), Qt::NoButton);
    QCursor::setPos(canvas->mapToGlobal(QPoint(500, 300)));
    ASSERT_TRUE(waitFor([&] { return !w->isHoverArmed(); }, 3000));
    EXPECT_EQ(shown(t).height(), 96);
}

TEST_F(PanelView, ToolTipNamesTheTabletUnderTheCursor)
{
    CTablet *t = add(QStringLiteral("Stojanović-Radosavljević"), QStringLiteral("Ljiljana"), QStringLiteral("2"),
                     QPoint(48, 48));
    showView();
    QWidget *canvas = view->canvas();
    QHelpEvent over(QEvent::ToolTip, shown(t).topLeft() + QPoint(30, 10),
                    canvas->mapToGlobal(shown(t).topLeft() + QPoint(30, 10)));
    QApplication::sendEvent(canvas, &over);
    ASSERT_TRUE(waitFor([] { return QToolTip::isVisible(); }, 2000));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Stojanović-Radosavljević Ljiljana"));
    QHelpEvent empty(QEvent::ToolTip, QPoint(500, 300), canvas->mapToGlobal(QPoint(500, 300)));
    QApplication::sendEvent(canvas, &empty);
    EXPECT_TRUE(waitFor([] { return !QToolTip::isVisible(); }, 2000));
}

// Pictures and photographs are made only for tablets that are drawn, a photograph only when the
// tablet shows its details, and what is kept for tablets out of sight stays within a budget
// however far the panel is scrolled.
TEST_F(PanelView, OnlyTabletsInSightHoldPicturesWithinABudget)
{
    QList<CTablet *> tablets;
    for (int i = 0; i < 40; ++i) {
        CTablet *t = add(QStringLiteral("T%1").arg(i), QString(), QString::number(i), QPoint(0, i * 120));
        t->setPhotograph(paneltest::photo(120, 160, Qt::red, Qt::blue));
        if (i % 2 == 0) {
            t->setExpanded(true);
            t->setExpandedSize(true);
        }
        tablets << t;
    }
    showView(QSize(400, 300));
    C_PanelCanvas *canvas = view->canvas();
    const qsizetype picture = 168 * 96 * 4;
    canvas->setCacheBudget(6 * picture);
    auto paintSight = [&] {
        (void)canvas->grab(QRect(view->scrollPosition(), view->viewport()->size()));
        EXPECT_TRUE(waitFor([&] { return canvas->photoLoader()->isIdle(); }));
        (void)canvas->grab(QRect(view->scrollPosition(), view->viewport()->size()));
    };
    paintSight();
    EXPECT_GT(wnd(tablets[0])->photoCacheBytes(), 0); // expanded and in sight
    EXPECT_EQ(wnd(tablets[1])->photoCacheBytes(), 0); // in sight, collapsed: no photograph
    EXPECT_GT(wnd(tablets[1])->pictureCacheBytes(), 0);
    EXPECT_EQ(wnd(tablets[10])->pictureCacheBytes(), 0); // never in sight
    EXPECT_EQ(wnd(tablets[10])->photoCacheBytes(), 0);
    for (int y = 0; y < 40 * 120; y += 240) {
        view->setScrollPosition(QPoint(0, y));
        paintSight();
        EXPECT_LE(canvas->cacheBytes(), 6 * picture + 4 * (picture + 64 * 1024)) << y;
    }
    EXPECT_EQ(wnd(tablets[0])->pictureCacheBytes(), 0); // long out of sight: let go
    // Back in sight it is drawn again, photograph and all.
    view->setScrollPosition(QPoint(0, 0));
    const int draws = wnd(tablets[0])->drawCount();
    paintSight();
    EXPECT_GT(wnd(tablets[0])->drawCount(), draws);
    EXPECT_GT(wnd(tablets[0])->photoCacheBytes(), 0);
}

// A photograph the database cannot give (here there is none) is not asked for again at every
// paint: the canvas waits before it tries again.
TEST_F(PanelView, AnUnreadablePhotographIsNotAskedForAtEveryPaint)
{
    CTablet *t = add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 48));
    t->setExpanded(true);
    t->setExpandedSize(true);
    showView();
    C_PanelCanvas *canvas = view->canvas();
    (void)canvas->grab(view->tabletRect(t));
    EXPECT_TRUE(canvas->photoLoader()->isPending(QStringLiteral("2")));
    ASSERT_TRUE(waitFor([&] { return canvas->photoLoader()->isIdle(); }));
    t->invalidateAll();
    (void)canvas->grab(view->tabletRect(t));
    EXPECT_TRUE(canvas->photoLoader()->isIdle());
    EXPECT_TRUE(t->photograph().isEmpty());
}

TEST_F(PanelView, ViewOutlivingItsDocumentStaysQuiet)
{
    add(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("2"), QPoint(48, 24));
    showView();
    doc.reset();
    EXPECT_EQ(view->tabletWindowCount(), 0);
    view->expandAll();
    view->arrangeHorizontally();
    view->removeAll();
    EXPECT_FALSE(view->canPrint());
    QWidget *canvas = view->canvas();
    mouse(canvas, QEvent::MouseButtonPress, QPoint(55, 30));
    mouse(canvas, QEvent::MouseMove, QPoint(60, 60));
    mouse(canvas, QEvent::MouseButtonPress, QPoint(500, 300));
    (void)view->grab(); // paints without a tablet behind the place
}

// A screen reader sees a panel as a list of its tablets in reading order, each named by what it
// shows; the keyboard walks them with the arrows (a ring round the current one), Enter shows the
// details and Space selects, and the reader follows both.
TEST_F(PanelView, TabletsAreAListForScreenReadersAndTheKeyboard)
{
    CTablet *a = add(QStringLiteral("Zec"), QStringLiteral("Milica"), QStringLiteral("1"), QPoint(0, 0));
    CTablet *b = add(QStringLiteral("Ćirić"), QStringLiteral("Tijana"), QStringLiteral("2"), QPoint(168, 0));
    CTablet *c = add(QStringLiteral("<b>Živković</b>"), QStringLiteral("Sanja"), QStringLiteral("3"), QPoint(0, 48));
    a->activityDescription = QStringLiteral("Arrival");
    a->timeText = QStringLiteral("08:01");
    a->setStale(true);
    showView();
    C_PanelCanvas *canvas = view->canvas();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(canvas);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), QStringLiteral("Zec Milica, Arrival, 08:01, a day old"));
    EXPECT_EQ(list->child(2)->text(QAccessible::Name), QStringLiteral("<b>Živković</b> Sanja"));
    EXPECT_EQ(list->child(1)->role(), QAccessible::ListItem);
    EXPECT_EQ(list->indexOfChild(list->child(2)), 2);

    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    canvas->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(canvas->currentTablet(), a);
    EXPECT_EQ(list->focusChild(), list->child(0));
    const QList<std::pair<Qt::Key, CTablet *>> walk{
        {Qt::Key_Right, b}, {Qt::Key_Down, c}, {Qt::Key_Up, a}, {Qt::Key_End, c}, {Qt::Key_Home, a}};
    for (const auto &[key, expected] : walk) {
        QTest::keyClick(canvas, key);
        EXPECT_EQ(canvas->currentTablet(), expected) << key;
    }
    EXPECT_TRUE(list->child(0)->state().focused);
    QTest::keyClick(canvas, Qt::Key_Return);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_TRUE(list->child(0)->state().expanded);
    QTest::keyClick(canvas, Qt::Key_Space);
    EXPECT_TRUE(a->isSelected());
    EXPECT_TRUE(list->child(0)->state().selected);
    const QImage ring = canvas->grab(QRect(0, 0, 200, 120)).toImage();
    int ringPixels = 0; // on the right edge of the expanded tablet
    for (int x = 165; x <= 171; ++x)
        ringPixels += ring.pixelColor(x, 60) == canvas->palette().color(QPalette::Highlight);
    EXPECT_GE(ringPixels, 1) << "the focus ring";
}

// Fit to screen on a wall: every tablet in sight without scroll bars, the zoom following the
// window's size, long names on two lines rather than cut, and the choice kept for the panel file
// (settings, not the file) until another zoom is chosen.
TEST_F(PanelView, FitToScreenShowsTheWholePanelFollowsItsWindowAndIsKept)
{
    testsupport::ContextSandbox sandbox;
    QList<CTablet *> tablets;
    for (int i = 0; i < 80; ++i)
        tablets << add(i == 9 ? QStringLiteral("Radovanović-Stojanović") : QStringLiteral("Ilić"),
                       i == 9 ? QStringLiteral("Aleksandra") : QStringLiteral("Ana"), QString::number(100 + i),
                       QPoint(24 + 192 * (i % 8), 24 + 48 * (i / 8)));
    testsupport::TempDir files;
    const QString path = files.file(QStringLiteral("wall.zvl"));
    QString error;
    ASSERT_TRUE(doc->save(path, &error)) << error.toStdString();
    showView(QSize(1900, 1000));
    view->setZoom(200); // five columns of the eight
    auto allInSight = [&] {
        const QRect port(QPoint(0, 0), view->viewport()->size());
        for (CTablet *t : tablets)
            if (!port.contains(QRect(view->visiblePosition(t), shown(t).size())))
                return false;
        return true;
    };
    EXPECT_FALSE(allInSight());

    view->fitToScreen();
    EXPECT_TRUE(view->isFitToScreen());
    EXPECT_TRUE(allInSight());
    EXPECT_GT(view->zoom(), 100);
    EXPECT_LT(view->zoom(), 200);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible() || view->verticalScrollBar()->isVisible());
    // The long name on two lines at the fitted zoom; the same zoom chosen by hand cuts it, and a
    // name that fits is drawn the same either way.
    auto picture = [&](CTablet *t) { return view->canvas()->grab(shown(t)).toImage(); };
    const QImage wrapped = picture(tablets[9]), shortName = picture(tablets[0]);
    const int fitted = view->zoom();
    view->setZoom(fitted);
    EXPECT_FALSE(view->isFitToScreen());
    EXPECT_NE(picture(tablets[9]), wrapped);
    EXPECT_EQ(picture(tablets[0]), shortName);
    CTabletPainter painter(CTabletPainter::Look::fromPalette(view->palette(), QApplication::font()));
    const CTabletPainter::NameLines lines =
        painter.nameLines(tablets[9]->displayName(0), tablets[9]->geometry().size(), true, 168 - 6);
    ASSERT_EQ(lines.lines.size(), 2);
    EXPECT_EQ(lines.lines.join(u' '), tablets[9]->displayName(0)); // whole, nothing cut
    EXPECT_TRUE(painter.nameLines(tablets[9]->displayName(0), tablets[9]->geometry().size(), false)
                    .lines.constFirst()
                    .endsWith(QChar(0x2026)));
    if (!qEnvironmentVariableIsEmpty("ZORVIK_SHOT_DIR"))
        wrapped.save(qEnvironmentVariable("ZORVIK_SHOT_DIR") + QStringLiteral("/wrapped-name.png"));

    // Kept as Fit to screen: a smaller window gets a smaller zoom, the whole panel still in sight.
    view->fitToScreen();
    view->resize(view->size() / 2);
    EXPECT_TRUE(waitFor([&] { return view->zoom() < fitted; }));
    EXPECT_TRUE(allInSight());
    EXPECT_EQ(sandbox.settings->readInt(QStringLiteral("Zoom"), path), 0);
    view.reset();
    showView(QSize(1900, 1000));
    EXPECT_TRUE(view->isFitToScreen());
    EXPECT_TRUE(waitFor([&] { return view->zoom() == fitted; }));
    // Another zoom chosen ends it, and is what the file opens with next.
    view->zoomOut();
    EXPECT_FALSE(view->isFitToScreen());
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(sandbox.settings->readInt(QStringLiteral("Zoom"), path), view->zoom());
    EXPECT_FALSE(doc->isModified());
}
