#include "reports/C_ReportFrame.h"

#include "app/CStringTable.h"
#include "reports/C_ReportView.h"
#include "views/CIconSet.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolBar>

C_ReportFrame::C_ReportFrame(CDocument *doc, QWidget *parent)
    : CChildFrameBase(doc, CDocTemplate::Reports, parent),
      m_bar(new QToolBar(CStringTable::text(QStringLiteral("mainframe.toolbar")), this)), m_indicator(new QLabel(m_bar))
{
    setObjectName(QStringLiteral("reportFrame"));
    m_bar->setObjectName(QStringLiteral("reportToolBar"));
    m_bar->setIconSize(QSize(16, 16));
    m_indicator->setObjectName(QStringLiteral("pageIndicator"));
    m_indicator->setContentsMargins(8, 0, 8, 0);
    // The page bar sits above the view, inside the frame.
    if (auto *box = qobject_cast<QBoxLayout *>(layout()))
        box->insertWidget(0, m_bar);
}

C_ReportView *C_ReportFrame::reportView() const
{
    return qobject_cast<C_ReportView *>(widget());
}

void C_ReportFrame::showEvent(QShowEvent *event)
{
    if (!m_bound) {
        if (C_ReportView *v = reportView())
            bindView(v);
    }
    CChildFrameBase::showEvent(event);
}

void C_ReportFrame::bindView(C_ReportView *view)
{
    m_bound = true;
    const struct
    {
        C_ReportView::Command id;
        QStyle::StandardPixmap icon;
    } pages[] = {{C_ReportView::First, QStyle::SP_MediaSkipBackward},
                 {C_ReportView::Prev, QStyle::SP_MediaSeekBackward},
                 {C_ReportView::Next, QStyle::SP_MediaSeekForward},
                 {C_ReportView::Last, QStyle::SP_MediaSkipForward}};
    for (const auto &p : pages) {
        QAction *a = view->pageAction(p.id);
        a->setIcon(style()->standardIcon(p.icon));
        m_bar->addAction(a);
    }
    m_bar->addSeparator();
    const struct
    {
        int id;
        const char *slot;
        QStyle::StandardPixmap icon;
    } commands[] = {{Command::FilePrint, SLOT(print()), QStyle::SP_FileIcon},
                    {Command::ExportPdf, SLOT(exportPdfAs()), QStyle::SP_FileIcon},
                    {Command::PrintPreview, SLOT(printPreview()), QStyle::SP_FileDialogContentsView}};
    for (const auto &c : commands) {
        // The program's own picture of the command where it has one, as on the main toolbar.
        const QIcon icon = CIconSet::hasCommandIcon(c.id) ? CIconSet::commandIcon(c.id) : style()->standardIcon(c.icon);
        auto *a = new QAction(icon, CStringTable::toolTip(c.id), m_bar);
        a->setObjectName(QStringLiteral("reportAction%1").arg(c.id));
        a->setStatusTip(CStringTable::statusText(c.id));
        connect(a, SIGNAL(triggered()), view, c.slot);
        m_bar->addAction(a);
    }
    m_bar->addSeparator();
    m_bar->addWidget(m_indicator);
    auto show = [this](int current, int count) {
        m_indicator->setText(count > 0 ? CStringTable::text(QStringLiteral("report.page")).arg(current).arg(count)
                                       : QString());
    };
    connect(view, &C_ReportView::pageChanged, this, show);
    show(view->currentPage(), view->pageCount());
}
