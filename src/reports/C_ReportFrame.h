#pragma once

#include "views/CChildFrameBase.h"

class C_ReportView;
class QLabel;
class QToolBar;

// The report window: its page toolbar (First, Prev, Next, Last, Print, Export PDF, Print
// preview and the page indicator) above the report view.
class C_ReportFrame : public CChildFrameBase
{
    Q_OBJECT
public:
    explicit C_ReportFrame(CDocument *doc, QWidget *parent = nullptr);

    QLabel *pageIndicator() const { return m_indicator; }
    C_ReportView *reportView() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void bindView(C_ReportView *view);

    QToolBar *m_bar;
    QLabel *m_indicator;
    bool m_bound = false;
};
