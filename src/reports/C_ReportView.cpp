#include "reports/C_ReportView.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CStringTable.h"
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
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTemporaryFile>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>

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

C_ReportView::Progress C_ReportView::progressWindow(const QString &textId, int total,
                                                    std::shared_ptr<QProgressDialog> &keep)
{
    keep =
        std::make_shared<QProgressDialog>(CStringTable::text(textId).arg(0).arg(total),
                                          CStringTable::text(QStringLiteral("report.progressCancel")), 0, total, this);
    keep->setObjectName(QStringLiteral("reportProgress"));
    keep->setWindowTitle(m_engine.GetTitle());
    keep->setWindowModality(Qt::WindowModal);
    keep->setAutoReset(false);
    // A short job finishes without a window flashing up.
    keep->setMinimumDuration(400);
    QProgressDialog *dialog = keep.get();
    return [dialog, textId](int done, int all) {
        dialog->setLabelText(CStringTable::text(textId).arg(done).arg(all));
        dialog->setValue(done);
        // The window is repainted and the Cancel button heard between pages.
        QCoreApplication::processEvents();
        return !dialog->wasCanceled();
    };
}

void C_ReportView::print()
{
    if (m_pageCount < 1)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_engine.GetTitle());
    if (!CPrompt::print(this, printer, 1, m_pageCount))
        return;
    std::shared_ptr<QProgressDialog> dialog;
    const int pages = printer.fromPage() > 0 && printer.toPage() > 0
                          ? std::min(printer.toPage(), m_pageCount) - printer.fromPage() + 1
                          : m_pageCount;
    printPages(printer, progressWindow(QStringLiteral("report.printProgress"), pages, dialog));
}

void C_ReportView::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_engine.GetTitle());
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("reportPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *pr) {
        pr->setFromTo(0, 0);
        printPages(*pr);
    });
    dialog.exec();
}

bool C_ReportView::exportPdf(const QString &fileName, const Progress &progress)
{
    // A file of blank paper would pass for a report.
    if (m_pageCount < 1)
        return false;
    // Written beside the target and renamed over it, so a failure leaves any old file whole.
    const QFileInfo target(fileName);
    QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!part.open())
        return false;
    part.close();
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part.fileName());
        QPageSize sheet(QPageSize::A4);
        printer.setPageOrientation(m_engine.paper(&sheet));
        printer.setPageSize(sheet);
        printer.setFullPage(true);
        printer.setResolution(300);
        printer.setDocName(m_engine.GetTitle());
        QPainter p;
        if (!p.begin(&printer))
            return false;
        for (int page = 1; page <= m_pageCount; ++page) {
            if (page > 1 && !printer.newPage())
                return false;
            m_engine.DrawPage(p, page);
            // Stopped: the part file goes with its QTemporaryFile.
            if (progress && !progress(page, m_pageCount))
                return false;
        }
        if (!p.end())
            return false;
    }
    if (QFileInfo(part.fileName()).size() == 0)
        return false;
    if (std::rename(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(fileName).constData()) != 0)
        return false;
    part.setAutoRemove(false);
    QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}

void C_ReportView::exportPdfAs()
{
    if (m_pageCount < 1) {
        CPrompt::message(this, CStringTable::text(QStringLiteral("report.noPages")), QMessageBox::Ok,
                         QMessageBox::Information);
        return;
    }
    const QString suggested =
        (m_engine.GetTitle().isEmpty() ? QStringLiteral("Report") : m_engine.GetTitle()) + QStringLiteral(".pdf");
    QString path = CPrompt::saveFileName(this, CStringTable::text(QStringLiteral("report.pdfCaption")), suggested,
                                         CStringTable::text(QStringLiteral("report.pdfFilter")));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    std::shared_ptr<QProgressDialog> dialog;
    const Progress progress = progressWindow(QStringLiteral("report.pdfProgress"), m_pageCount, dialog);
    if (!exportPdf(path, progress) && !dialog->wasCanceled())
        CPrompt::error(this, CStringTable::text(QStringLiteral("report.pdfFailed"))
                                 .replace(QLatin1String("%s"), QDir::toNativeSeparators(path)));
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
        [this, query, result] { finishBuild(*query, *result); });
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
    if (!result.rows.isEmpty())
        m_engine.SetGridRows(QStringLiteral("Grid"), result.rows);
    showReport();
    setLastActFields(query, query.request());
    m_page->update();
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
        {"SubTitle", query.subTitle()},
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
        {"Header", identity},
        {"Footer", identity},
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
