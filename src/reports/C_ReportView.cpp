#include "reports/C_ReportView.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CFileWriter.h"
#include "app/CMemoryTrim.h"
#include "app/CStringTable.h"
#include "app/LogCategories.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "dialogs/CPrompt.h"
#include "reports/CReportGrid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

namespace {

// Room for the largest sheets templates describe, and no more.
constexpr double kMaxInches = 50.0;
constexpr int kLine = 32;
// A build that takes longer than this says so in the status bar.
constexpr int kBusyNoticeMs = 400;

QPoint printableOffset(const QPrinter &printer)
{
    if (printer.fullPage())
        return QPoint();
    return printer.pageLayout().paintRectPixels(printer.resolution()).topLeft();
}

C_ReportView *g_job = nullptr;

// While pages are printed or exported, the window they belong to takes no input, as a modal
// progress window would make it; but unlike a modal window this one lets the window system's
// close reach it, so that closing the program is never ignored.
class WindowInputBlock : public QObject
{
public:
    explicit WindowInputBlock(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    ~WindowInputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            break;
        default:
            return false;
        }
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !m_window || widget->window() != m_window)
            return false;
        // An accepted shortcut override keeps the key from every shortcut; the key itself
        // stops here.
        event->accept();
        return true;
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

C_ReportView::C_ReportView(QWidget *parent) : QScrollArea(parent), m_page(new QWidget)
{
    setObjectName(QStringLiteral("reportView"));
    m_page->setObjectName(QStringLiteral("reportPage"));
    m_page->setAutoFillBackground(true);
    QPalette pal = m_page->palette();
    pal.setColor(QPalette::Window, Qt::white);
    m_page->setPalette(pal);
    m_page->installEventFilter(this);
    setWidget(m_page);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Dark);
    horizontalScrollBar()->setSingleStep(kLine);
    verticalScrollBar()->setSingleStep(kLine);

    const Command ids[4] = {First, Prev, Next, Last};
    for (int i = 0; i < 4; ++i) {
        const int id = ids[i];
        auto *a = new QAction(CStringTable::toolTip(id), this);
        a->setObjectName(QStringLiteral("action%1").arg(id));
        a->setData(id);
        a->setStatusTip(CStringTable::statusText(id));
        a->setToolTip(CStringTable::toolTip(id));
        connect(a, &QAction::triggered, this, [this, id] {
            switch (id) {
            case First:
                goTo(1);
                break;
            case Prev:
                goTo(m_currentPage - 1);
                break;
            case Next:
                goTo(m_currentPage + 1);
                break;
            default:
                goTo(m_pageCount);
                break;
            }
        });
        m_actions[i] = a;
    }
    m_page->resize(pageSize());
    updateCommands();
}

C_ReportView::~C_ReportView()
{
    if (m_building)
        QApplication::restoreOverrideCursor();
}

QAction *C_ReportView::pageAction(Command command) const
{
    switch (command) {
    case First:
        return m_actions[0];
    case Prev:
        return m_actions[1];
    case Next:
        return m_actions[2];
    case Last:
        return m_actions[3];
    }
    return nullptr;
}

bool C_ReportView::loadTemplate(const QString &fileName)
{
    const bool ok = m_engine.LoadTemplate(fileName);
    m_loadError = ok ? QString()
                     : CStringTable::text(QStringLiteral("report.templateFailed"))
                           .arg(QDir::toNativeSeparators(fileName), m_engine.GetErrorText());
    return ok;
}

void C_ReportView::showReport()
{
    m_pageCount = m_engine.Paginate();
    m_currentPage = 1;
    m_page->resize(pageSize());
    goTo(1);
}

QSize C_ReportView::pageSize() const
{
    double right = 8.5, bottom = 11.0;
    for (const auto &c : m_engine.GetContainers()) {
        for (const auto &o : c->objects) {
            right = std::max({right, o->left, o->right});
            bottom = std::max({bottom, o->top, o->bottom});
        }
    }
    const int dpi = m_page->logicalDpiY();
    return QSize(static_cast<int>(std::min(right, kMaxInches) * dpi + 0.5),
                 static_cast<int>(std::min(bottom, kMaxInches) * dpi + 0.5));
}

void C_ReportView::goTo(int page)
{
    if (m_pageCount > 0)
        m_currentPage = std::clamp(page, 1, m_pageCount);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    m_page->update();
    updateCommands();
}

void C_ReportView::updateCommands()
{
    m_actions[0]->setEnabled(m_currentPage > 1);
    m_actions[1]->setEnabled(m_currentPage > 1);
    m_actions[2]->setEnabled(m_currentPage < m_pageCount);
    m_actions[3]->setEnabled(m_currentPage < m_pageCount);
    emit pageChanged(m_currentPage, m_pageCount);
}

bool C_ReportView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && event->type() == QEvent::Paint) {
        QPainter p(m_page);
        // A page is white paper with black ink whatever the palette of the window.
        p.fillRect(m_page->rect(), Qt::white);
        p.setPen(Qt::black);
        if (m_pageCount > 0) {
            m_engine.DrawPage(p, m_currentPage);
        } else if (!m_loadError.isEmpty()) {
            p.drawText(m_page->rect().adjusted(40, 40, -40, -40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       m_loadError);
        }
        return true;
    }
    return QScrollArea::eventFilter(watched, event);
}

void C_ReportView::wheelEvent(QWheelEvent *event)
{
    // One line per notch; touchpads send parts of a notch, which add up.
    const QPoint d = event->angleDelta();
    m_wheelRest += d.y() != 0 ? d.y() : d.x();
    const int notches = m_wheelRest / 120;
    m_wheelRest -= notches * 120;
    if (notches != 0) {
        const bool sideways = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
        QScrollBar *bar = sideways ? horizontalScrollBar() : verticalScrollBar();
        // Away from the user scrolls up (or left).
        bar->setValue(bar->value() - notches * bar->singleStep());
    }
    event->accept();
}

bool C_ReportView::printPages(QPrinter &printer, const Progress &progress)
{
    int from = printer.fromPage(), to = printer.toPage();
    if (from <= 0 || to <= 0) {
        from = 1;
        to = m_pageCount;
    }
    to = std::min(to, m_pageCount);
    if (from > to)
        return false;
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const QPoint offset = printableOffset(printer);
    for (int page = from; page <= to; ++page) {
        if (page > from && !printer.newPage())
            return false;
        m_engine.DrawPage(p, page, offset);
        if (progress && !progress(page - from + 1, to - from + 1)) {
            // The pages sent so far are withdrawn where the printer system allows it.
            printer.abort();
            return false;
        }
    }
    return p.end();
}

C_ReportView *C_ReportView::runningJob()
{
    return g_job;
}

QString C_ReportView::jobText() const
{
    return m_jobText;
}

void C_ReportView::stopJob(std::function<void()> afterwards)
{
    m_stopJob = true;
    m_afterJob = std::move(afterwards);
}

bool C_ReportView::runJob(const QString &textId, int total, const std::function<bool(const Progress &)> &work,
                          bool *stopped)
{
    *stopped = false;
    // One at a time: the window that could start a second one takes no input meanwhile.
    if (g_job)
        return false;
    QProgressDialog dialog(CStringTable::text(textId).arg(0).arg(total),
                           CStringTable::text(QStringLiteral("report.progressCancel")), 0, total, this);
    dialog.setObjectName(QStringLiteral("reportProgress"));
    dialog.setWindowTitle(m_engine.GetTitle());
    dialog.setWindowModality(Qt::NonModal);
    dialog.setAutoReset(false);
    // A short job finishes without a window flashing up.
    dialog.setMinimumDuration(400);
    const WindowInputBlock block(window());
    g_job = this;
    m_stopJob = false;
    m_jobText = dialog.labelText();
    const bool ok = work([this, &dialog, textId](int done, int all) {
        m_jobText = CStringTable::text(textId).arg(done).arg(all);
        dialog.setLabelText(m_jobText);
        dialog.setValue(done);
        // The window is repainted and the Cancel button heard between pages.
        QCoreApplication::processEvents();
        return !dialog.wasCanceled() && !m_stopJob;
    });
    *stopped = dialog.wasCanceled() || m_stopJob;
    g_job = nullptr;
    m_jobText.clear();
    if (m_afterJob)
        QTimer::singleShot(0, qApp, std::exchange(m_afterJob, {}));
    return ok;
}

void C_ReportView::print()
{
    if (m_pageCount < 1)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_engine.GetTitle());
    // The dialog offers the template's paper first.
    m_engine.usePaper(printer);
    if (!CPrompt::print(this, printer, 1, m_pageCount))
        return;
    const int pages = printer.fromPage() > 0 && printer.toPage() > 0
                          ? std::min(printer.toPage(), m_pageCount) - printer.fromPage() + 1
                          : m_pageCount;
    bool stopped = false;
    runJob(
        QStringLiteral("report.printProgress"), pages,
        [this, &printer](const Progress &progress) { return printPages(printer, progress); }, &stopped);
}

void C_ReportView::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_engine.GetTitle());
    m_engine.usePaper(printer);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("reportPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *pr) {
        pr->setFromTo(0, 0);
        printPages(*pr);
    });
    dialog.exec();
}

bool C_ReportView::exportPdf(const QString &fileName, const Progress &progress, QString *error)
{
    if (error)
        error->clear();
    // A file of blank paper would pass for a report.
    if (m_pageCount < 1)
        return false;
    bool stopped = false;
    QString why;
    const bool written = CFileWriter::writeAtomically(
        fileName,
        [&](QIODevice &file) {
            QPdfWriter pdf(&file);
            m_engine.usePaper(pdf);
            pdf.setPageMargins(QMarginsF());
            pdf.setResolution(300);
            pdf.setTitle(m_engine.GetTitle());
            pdf.setCreator(QCoreApplication::applicationName());
            QPainter p;
            if (!p.begin(&pdf))
                return false;
            for (int page = 1; page <= m_pageCount; ++page) {
                if (page > 1 && !pdf.newPage())
                    return false;
                m_engine.DrawPage(p, page);
                if (progress && !progress(page, m_pageCount)) {
                    stopped = true;
                    return false;
                }
            }
            return p.end();
        },
        &why);
    if (error && !stopped)
        *error = why;
    if (written)
        qCInfo(lcZorvikReport, "Report \"%s\" written to %s (%d page(s))", qPrintable(m_engine.GetTitle()),
               qPrintable(QDir::toNativeSeparators(fileName)), m_pageCount);
    else if (!stopped)
        qCWarning(lcZorvikReport, "Report \"%s\" not written to %s: %s", qPrintable(m_engine.GetTitle()),
                  qPrintable(QDir::toNativeSeparators(fileName)), qPrintable(why));
    return written;
}

void C_ReportView::exportPdfAs()
{
    if (m_pageCount < 1) {
        CPrompt::message(this, CStringTable::text(QStringLiteral("report.noPages")), QMessageBox::Ok,
                         QMessageBox::Information);
        return;
    }
    // Named by what and when: the report's title and the moment it shows.
    const QString suggested = CFileWriter::datedName(m_engine.GetTitle().isEmpty() ? S(1084) : m_engine.GetTitle(),
                                                     m_moment.isValid() ? m_moment : CClock::now()) +
                              QStringLiteral(".pdf");
    QString path = CPrompt::saveFileName(this, CStringTable::text(QStringLiteral("report.pdfCaption")), suggested,
                                         CStringTable::text(QStringLiteral("report.pdfFilter")));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    bool stopped = false;
    const bool written = runJob(
        QStringLiteral("report.pdfProgress"), m_pageCount,
        [this, &path, &error](const Progress &progress) { return exportPdf(path, progress, &error); }, &stopped);
    if (!written && !stopped)
        CPrompt::error(this, pdfFailedText(path, error));
}

QString C_ReportView::pdfFailedText(const QString &path, const QString &error)
{
    QString text = CStringTable::text(QStringLiteral("report.pdfFailed"))
                       .replace(QLatin1String("%s"), QDir::toNativeSeparators(path));
    if (!error.isEmpty())
        text += u'\n' + error;
    return text;
}

struct C_ReportView::BuildResult
{
    QStringList rows;
    QString error;
    QString notice; // nothing failed, but the user should know why the report is empty
    bool procedureFailed = false;
};

void C_ReportView::build(const CLastActRequest &request)
{
    if (m_building)
        return;
    CAppContext *ctx = CAppContext::current();
    CReferenceData *ref = ctx ? ctx->reference() : nullptr;
    CLastActLists lists;
    if (ref)
        lists = CLastActQuery::readLists(*ref, request);
    auto query = std::make_shared<CLastActQuery>(request, lists);
    // The title names the report in the PDF's properties, the print job and the file offered.
    m_engine.Create(S(1075));
    m_moment = request.moment.toLocal();
    loadTemplate(CReportEngine::templatePath(query->templateName()));
    auto result = std::make_shared<BuildResult>();
    if (!ref || query->groupWithoutActivities()) {
        if (query->groupWithoutActivities())
            result->notice = CStringTable::text(QStringLiteral("report.groupEmpty"));
        finishBuild(*query, *result);
        return;
    }
    m_building = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(kBusyNoticeMs, this, [this] {
        if (m_building)
            showStatus(CStringTable::text(QStringLiteral("report.building")));
    });
    if (!m_worker)
        m_worker = new CDbWorker(&ref->connection(), this);
    // The statements and the scratch table stay on the worker's own connection.
    m_worker->run(
        [ref, query, result] {
            result->procedureFailed = !query->fetch(ref->connection(), result->rows, &result->error);
        },
        [this, query, result] {
            // Nothing failed and nobody matched: said, so that an empty page is not taken for a
            // fault (and a command run from a shell can tell it from one).
            if (result->rows.isEmpty() && result->error.isEmpty() && !result->procedureFailed)
                result->notice = CStringTable::text(QStringLiteral("report.nobody"));
            finishBuild(*query, *result);
        });
}

bool C_ReportView::waitForBuild(int timeoutMs)
{
    if (!m_building)
        return true;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    connect(this, &C_ReportView::reportBuilt, &loop, &QEventLoop::quit);
    loop.exec();
    return !m_building;
}

void C_ReportView::finishBuild(const CLastActQuery &query, const BuildResult &result)
{
    if (m_building) {
        m_building = false;
        QApplication::restoreOverrideCursor();
        showStatus(QString());
    }
    m_engine.ClearContent();
    m_rowCount = int(result.rows.size());
    if (!result.rows.isEmpty())
        m_engine.SetGridRows(QStringLiteral("Grid"), result.rows);
    showReport();
    setLastActFields(query, query.request());
    m_page->update();
    // The rows were read and laid out on the report's thread, which keeps the scratch.
    CMemoryTrim::afterLargeWork();
    if (result.procedureFailed)
        CPrompt::message(this, result.error, QMessageBox::Ok, QMessageBox::Critical);
    else if (!result.error.isEmpty())
        CPrompt::message(this, CStringTable::text(QStringLiteral("report.readFailed")) + u'\n' + result.error,
                         QMessageBox::Ok, QMessageBox::Warning);
    else if (!result.notice.isEmpty())
        CPrompt::message(this, result.notice, QMessageBox::Ok, QMessageBox::Information);
    emit reportBuilt(m_pageCount);
}

void C_ReportView::setLastActFields(const CLastActQuery &query, const CLastActRequest &request)
{
    const QString pages = QStringLiteral(" / %1").arg(m_pageCount);
    const QString stamp = CDateTime::fromLocal(CClock::now(), false).format(QStringLiteral("%Y-%m-%d %H:%M:%S"));
    const QString identity = (QStringList{stamp} + installationTexts()).join(QStringLiteral(" / "));
    const struct
    {
        const char *field;
        QString text;
    } fields[] = {
        {"Title", S(1084)},
        {"SubTitle", CReportItem::literal(query.subTitle())},
        {"TotalPages", pages},
        {"TotalPagesTop", pages},
        {"PrintDateTime", request.moment.format(QStringLiteral("%Y-%m-%d %H:%M"))},
        {"DateTime", S(1077)},
        {"LastName", S(1045)},
        {"FirstName", S(1046)},
        {"Department", S(1082)},
        {"LastAct", S(1075)},
        {"Calendar", S(1090)},
        {"Group", S(1088)},
        {"Header", CReportItem::literal(identity)},
        {"Footer", CReportItem::literal(identity)},
        {"Num", QStringLiteral("#")},
    };
    for (const auto &f : fields)
        m_engine.SetFieldText(QLatin1String(f.field), f.text);
    m_engine.SetPicture(QStringLiteral("Logo"), QImage(QStringLiteral(":/images/1061.png")));
}

QStringList C_ReportView::installationTexts()
{
    QString database;
    if (CAppContext *ctx = CAppContext::current(); ctx && ctx->reference()) {
        const QString cs = ctx->reference()->connectionString();
        const CSqlDialect::Target t = CSqlDialect::target(cs);
        if (!t.sqliteFile.isEmpty())
            database = QFileInfo(t.sqliteFile).completeBaseName();
        else
            for (const char *key : {"Database", "Initial Catalog", "DSN"})
                if (database.isEmpty())
                    database = CSqlDialect::keyValue(cs, QLatin1String(key));
    }
    return {QCoreApplication::applicationName(), QCoreApplication::applicationVersion(), database};
}

void C_ReportView::showStatus(const QString &text)
{
    // As a status tip: the main frame shows it in its message pane, beside the connection
    // state, where a temporary status-bar message would hide that.
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(window(), &tip);
}
