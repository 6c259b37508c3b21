// The report window: page commands and their enabling, scrolling, printing ranges, the PDF
// export read back with pdftotext, and the empty window of a report file.
#include "MainFrameTestUtil.h"
#include "TestSupport.h"
#include "app/CDocTemplate.h"
#include "dialogs/CPrompt.h"
#include "reports/CReportDevice.h"
#include "reports/C_ReportFrame.h"
#include "reports/C_ReportView.h"
#include "views/CIconSet.h"
#include "views/C_MainFrame.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const char *kGrid = "report_grid:1,1,7,3,,Grid,0,0,0,0,0,0,0,0,0,0,0,0,0,5,1#Sans#100|0#Sans#100\n"
                    "report_label:1,10,7,10.5,Page [%page%],P,0,Sans,100\n";

void fill(C_ReportView &view, int rows)
{
    ASSERT_TRUE(view.engine().LoadFromText(kGrid, 0));
    QStringList list;
    for (int i = 1; i <= rows; ++i)
        list << QString("Row%1|cell%1").arg(i);
    ASSERT_TRUE(view.engine().SetGridRows("Grid", list));
    view.showReport();
}

bool enabled(const C_ReportView &v, C_ReportView::Command c)
{
    return v.pageAction(c)->isEnabled();
}

QString pdfText(const QString &pdf, int page)
{
    QProcess p;
    p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout", pdf, "-"});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return "pdftotext failed: " + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList rowsIn(const QString &text)
{
    QStringList rows;
    for (const QString &w : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        if (w.startsWith("Row"))
            rows << w;
    return rows;
}

QStringList rowNames(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString("Row%1").arg(i);
    return out;
}

} // namespace

TEST(ReportWindow, PageCommandsScrollingAndIndicator)
{
    C_ReportFrame frame(new CDocument);
    auto *view = new C_ReportView;
    frame.setWidget(view);
    frame.resize(500, 400);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    fill(*view, 25); // 3 pages of 10
    ASSERT_GT(view->verticalScrollBar()->maximum(), 300);
    ASSERT_EQ(view->pageCount(), 3);
    EXPECT_EQ(frame.findChild<QToolBar *>(QStringLiteral("reportToolBar"))->actions().size(),
              10); // 4 pages, |, print, PDF, preview, |, indicator
    EXPECT_FALSE(enabled(*view, C_ReportView::First));
    EXPECT_FALSE(enabled(*view, C_ReportView::Prev));
    EXPECT_TRUE(enabled(*view, C_ReportView::Next));
    EXPECT_TRUE(enabled(*view, C_ReportView::Last));
    EXPECT_EQ(frame.pageIndicator()->text(), QString("Page 1 of 3"));
    EXPECT_EQ(view->pageAction(C_ReportView::Next)->statusTip(), QString("Next"));

    view->pageAction(C_ReportView::Next)->trigger();
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_TRUE(enabled(*view, C_ReportView::Prev));
    // The page area is at least a Letter page at the screen's resolution.
    EXPECT_GE(view->pageWidget()->height(), 11 * view->pageWidget()->logicalDpiY());
    view->verticalScrollBar()->setValue(300);
    view->horizontalScrollBar()->setValue(50);
    view->pageAction(C_ReportView::Next)->trigger();
    EXPECT_EQ(view->currentPage(), 3);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    EXPECT_FALSE(enabled(*view, C_ReportView::Next));
    EXPECT_FALSE(enabled(*view, C_ReportView::Last));
    EXPECT_EQ(frame.pageIndicator()->text(), QString("Page 3 of 3"));
    view->pageAction(C_ReportView::First)->trigger();
    EXPECT_EQ(view->currentPage(), 1);
    view->pageAction(C_ReportView::Last)->trigger();
    EXPECT_EQ(view->currentPage(), 3);

    // One line per notch: two notches down scroll two lines, a half notch waits for the next.
    view->verticalScrollBar()->setValue(0);
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &down);
    EXPECT_EQ(view->verticalScrollBar()->value(), 2 * view->verticalScrollBar()->singleStep());
    QWheelEvent half(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -60), Qt::NoButton, Qt::ShiftModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &half);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    QCoreApplication::sendEvent(view->viewport(), &half);
    EXPECT_EQ(view->horizontalScrollBar()->value(), view->horizontalScrollBar()->singleStep());

    // Printing offers pages 1 to 3; a cancelled dialog prints nothing.
    CPrompt::setTestMode(true);
    CPrompt::takeAsked();
    view->print();
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, QString("print"));
    EXPECT_EQ(asked[0].text, QString("1-3"));
    CPrompt::setTestMode(false);
}

// The PDF is written as every file of the program: a new one with the mode the umask allows, a
// replaced one keeping its own (a report kept private stays private).
TEST(ReportWindow, PdfExportAndPrintedRangeHoldTheirPagesRows)
{
    testsupport::TempDir dir;
    C_ReportView view;
    fill(view, 25);
    const QString pdf = dir.file("report.pdf");
    const mode_t umask = ::umask(027);
    const bool written = view.exportPdf(pdf);
    ::umask(umask);
    ASSERT_TRUE(written);
    EXPECT_EQ(QFileInfo(pdf).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(QFile::setPermissions(pdf, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(view.exportPdf(pdf));
    EXPECT_EQ(QFileInfo(pdf).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(rowsIn(pdfText(pdf, 1)), rowNames(1, 10));
    const QString second = pdfText(pdf, 2);
    EXPECT_EQ(rowsIn(second), rowNames(11, 20));
    EXPECT_TRUE(second.contains("Page 2"));
    EXPECT_EQ(rowsIn(pdfText(pdf, 3)), rowNames(21, 25));
    EXPECT_FALSE(view.exportPdf(dir.file("no/such/folder/report.pdf")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});

    // A printer asked for page 2 alone gets page 2 at its own resolution.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.file("printed.pdf"));
    printer.setFromTo(2, 2);
    view.printPages(printer);
    EXPECT_EQ(rowsIn(pdfText(dir.file("printed.pdf"), 1)), rowNames(11, 20));
    EXPECT_TRUE(pdfText(dir.file("printed.pdf"), 2).startsWith("pdftotext failed"));
}

// A long export shows its progress and can be stopped: the file it would have replaced stays as
// it was, nothing of the part written is left in the folder, and no failure is reported.
TEST(ReportWindow, PdfExportCanBeCancelledLeavingNoFile)
{
    testsupport::TempDir dir;
    C_ReportView view;
    fill(view, 400);
    ASSERT_EQ(view.pageCount(), 40);
    view.show();
    const QString pdf = dir.file("report.pdf");
    {
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the report of yesterday");
    }
    CPrompt::setTestMode(true);
    CPrompt::takeAsked();
    CPrompt::queueFile(pdf);
    int cancelledAt = -1;
    QString label;
    // Runs between two pages, when the export lets the program answer.
    QTimer::singleShot(0, &view, [&] {
        auto *progress = view.findChild<QProgressDialog *>("reportProgress");
        ASSERT_NE(progress, nullptr);
        label = progress->labelText();
        cancelledAt = progress->value();
        if (!qgetenv("ZORVIK_SHOT_DIR").isEmpty()) {
            progress->show();
            progress->grab().save(QString::fromLocal8Bit(qgetenv("ZORVIK_SHOT_DIR")) + "/pdf-progress.png");
        }
        progress->cancel();
    });
    view.exportPdfAs();
    EXPECT_GT(cancelledAt, 0);
    EXPECT_LT(cancelledAt, 40);
    EXPECT_EQ(label, QString("Exporting page %1 of 40...").arg(cancelledAt));
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the report of yesterday"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1); // the file name only: a cancel is no failure
    CPrompt::setTestMode(false);
}

using ReportWindowInFrame = mainframetest::FrameFixture;

TEST_F(ReportWindowInFrame, ReportFileOpensAnEmptyWindowAndRefusedTemplatesAreShown)
{
    CPrompt::queueFile(dir.file("old.zvr"));
    frame->trigger(Command::FileOpen);
    auto *report = qobject_cast<C_ReportFrame *>(frame->activeChild());
    ASSERT_TRUE(report);
    EXPECT_EQ(templates[CDocTemplate::Reports]->documents().size(), 1);
    EXPECT_EQ(frame->menuKind(), C_MainFrame::ReportMenu);
    EXPECT_TRUE(frame->action(Command::ExportPdf)->isEnabled());
    C_ReportView *view = report->reportView();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->pageCount(), 0);
    EXPECT_EQ(view->currentPage(), 1);
    for (auto c : {C_ReportView::First, C_ReportView::Prev, C_ReportView::Next, C_ReportView::Last})
        EXPECT_FALSE(enabled(*view, c));
    EXPECT_TRUE(report->pageIndicator()->text().isEmpty());
    const QImage empty = view->pageWidget()->grab().toImage();
    EXPECT_EQ(empty.pixel(100, 100), qRgb(255, 255, 255));

    QFile t(dir.file("bad.rpt"));
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("report_grid:1,1,5,1.1,,Grid,0,0,0,0,0,0,0,0,0,0,0,0,0,5,1\n");
    t.close();
    EXPECT_FALSE(view->loadTemplate(dir.file("bad.rpt")));
    view->showReport();
    const QImage said = view->pageWidget()->grab().toImage();
    bool ink = false;
    for (int y = 40; y < 80 && !ink; ++y)
        for (int x = 40; x < 300 && !ink; ++x)
            ink = qGray(said.pixel(x, y)) < 128;
    EXPECT_TRUE(ink); // "grid Grid holds no row" is written on the page
}

// What a user meets around the pages: the print button shows printing, the file shortcuts work
// from a report, a refused template is named in the user's words, an empty report is not
// exported as blank paper, and the paper, font sizes and long cells follow the template.
TEST_F(ReportWindowInFrame, PrintingExportAndTheTemplatesPaper)
{
    reference.databaseError = false;
    C_ReportFrame *report = frame->openReport();
    C_ReportView *view = report->reportView();
    report->show();
    ASSERT_TRUE(view);
    auto *print = report->findChild<QAction *>("reportAction57607");
    ASSERT_TRUE(print);
    EXPECT_EQ(print->icon().pixmap(16).toImage(), CIconSet::commandIcon(Command::FilePrint).pixmap(16).toImage());
    const qsizetype panels = templates[CDocTemplate::Panels]->documents().size();
    view->setFocus();
    frame->activateWindow();
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->isActiveWindow(); }));
    QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(templates[CDocTemplate::Panels]->documents().size(), panels + 1);
    EXPECT_EQ(frame->action(Command::FileOpen)->shortcut(), QKeySequence(QKeySequence::Open));

    // Refused templates: the file is named and the reason is the program's own text.
    EXPECT_FALSE(view->loadTemplate(dir.path()));
    EXPECT_TRUE(view->loadError().contains(dir.path()) && view->loadError().contains("folder"))
        << view->loadError().toStdString();
    EXPECT_FALSE(view->loadTemplate(dir.file("none.rpt")));
    EXPECT_TRUE(view->loadError().contains("none.rpt")) << view->loadError().toStdString();
    view->showReport();
    ASSERT_EQ(view->pageCount(), 0);
    CPrompt::takeAsked();
    view->exportPdfAs();
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].kind, "message");
    EXPECT_FALSE(view->exportPdf(dir.file("blank.pdf")));
    EXPECT_FALSE(QFile::exists(dir.file("blank.pdf")));

    // A template wider than tall goes on landscape paper; a font size of 0 is a readable size;
    // a cell too narrow for its text ends it with an ellipsis.
    C_ReportView wide;
    ASSERT_TRUE(wide.engine().LoadFromText("report_grid:0.5,1,10.5,3,,Grid,0,0,0,0,0,0,0,0,0,0,0,0,0,5,"
                                           "1.2#Sans#100#0#0#0#0#0#32|0#Sans#100\n"
                                           "report_label:0.5,4,10.5,5,Zero size,Z,0,Sans,0\n",
                                           0));
    ASSERT_TRUE(wide.engine().SetGridRows("Grid", {"Information technology and services|x"}));
    wide.showReport();
    const QString pdf = dir.file("wide.pdf");
    ASSERT_TRUE(wide.exportPdf(pdf));
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString pageSize = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpression size("Page size:\\s+([0-9.]+) x ([0-9.]+) pts");
    const auto m = size.match(pageSize);
    ASSERT_TRUE(m.hasMatch()) << pageSize.toStdString();
    EXPECT_GT(m.captured(1).toDouble(), m.captured(2).toDouble()) << pageSize.toStdString();
    // Print and print preview offer that paper first too.
    CPrompt::takeAsked();
    wide.print();
    const auto printed = CPrompt::takeAsked();
    ASSERT_EQ(printed.size(), 1);
    QPageLayout previewed;
    QTimer::singleShot(0, &wide, [&] {
        auto *preview = wide.findChild<QPrintPreviewDialog *>("reportPreview");
        ASSERT_TRUE(preview);
        previewed = preview->printer()->pageLayout();
        preview->reject();
    });
    wide.printPreview();
    for (const QPageLayout &paper : {printed[0].paper, previewed}) {
        EXPECT_EQ(paper.orientation(), QPageLayout::Landscape);
        EXPECT_EQ(paper.pageSize().id(), QPageSize::A4);
    }
    const QString text = pdfText(pdf, 1);
    EXPECT_TRUE(text.contains(QString::fromUtf8("\u2026"))) << text.toStdString();
    EXPECT_FALSE(text.contains("services"));
    EXPECT_TRUE(text.contains("Zero size"));
    QImage zero(800, 200, QImage::Format_RGB32);
    zero.fill(Qt::white);
    {
        QPainter p(&zero);
        CReportDevice device(p, 96);
        QFont f("Sans");
        f.setPixelSize(device.fontPixels(0));
        p.setFont(f);
        p.drawText(QRect(0, 0, 800, 200), Qt::AlignLeft | Qt::AlignTop, "Zero size");
    }
    int inkRows = 0;
    for (int y = 0; y < zero.height(); ++y)
        for (int x = 0; x < zero.width(); ++x)
            if (qGray(zero.pixel(x, y)) < 128) {
                ++inkRows;
                break;
            }
    EXPECT_GE(inkRows, 6);
}

// Closing the program while pages are exported is never ignored: the main window still hears the
// window system meanwhile (no modal window), a close asks whether to stop the export, and Yes
// stops it (nothing half written left) and closes the program once the export has unwound.
TEST_F(ReportWindowInFrame, ClosingTheProgramDuringAnExportAsksThenStopsItAndCloses)
{
    C_ReportView *view = frame->openReport()->reportView();
    fill(*view, 400);
    CPrompt::takeAsked();
    CPrompt::queueFile(dir.file("big.pdf"));
    CPrompt::queueButton(QMessageBox::Yes);
    QWindow *modal = nullptr;
    QTimer::singleShot(0, view, [&] {
        view->findChild<QProgressDialog *>("reportProgress")->show();
        modal = QGuiApplication::modalWindow();
        frame->close();
    });
    view->exportPdfAs();
    EXPECT_EQ(modal, nullptr);
    ASSERT_TRUE(testsupport::waitFor([&] { return !frame->isVisible(); }));
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 2); // the file, then the close
    EXPECT_EQ(asked[1].text, "Exporting page 1 of 40...\n\nStop it and close the program?");
    EXPECT_TRUE(QDir(dir.path()).entryList({"*big.pdf*"}, QDir::Files | QDir::Hidden).isEmpty());
}
