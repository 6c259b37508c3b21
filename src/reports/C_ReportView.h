#pragma once

#include "app/CChildCommands.h"
#include "reports/CLastActQuery.h"
#include "reports/CReportEngine.h"
#include "views/CommandIds.h"

#include <QDateTime>
#include <QScrollArea>
#include <functional>

class QAction;
class QPrinter;
class CDbWorker;

// Shows one page of a report at a time and prints, previews or exports every page. The view
// owns its generator; whoever builds the report fills it and calls showReport().
class C_ReportView : public QScrollArea, public CChildCommands
{
    Q_OBJECT
public:
    enum Command
    {
        Prev = ::Command::ReportPrev,
        Next = ::Command::ReportNext,
        First = ::Command::ReportFirst,
        Last = ::Command::ReportLast
    };

    explicit C_ReportView(QWidget *parent = nullptr);
    ~C_ReportView() override;

    CReportEngine &engine() { return m_engine; }
    // Loads a template into the generator; a refused template is reported on the page.
    bool loadTemplate(const QString &fileName);
    // Why the last template was refused, naming its file; empty after a good one.
    QString loadError() const { return m_loadError; }
    // Paginates what the generator holds and shows page 1.
    void showReport();

    // Builds the Last activity report. The statements run on a thread of their own while the
    // wait cursor shows (and, when they take a while, a note in the status bar); the page count
    // and page 1 follow when they end, then reportBuilt() is sent.
    void build(const CLastActRequest &request);
    // Runs events until the build in progress ends; false when it did not within timeoutMs.
    bool waitForBuild(int timeoutMs);
    // What the Header and Footer name after the date: program, version and database.
    static QStringList installationTexts();

    int pageCount() const { return m_pageCount; }
    int currentPage() const { return m_currentPage; }
    QAction *pageAction(Command command) const;
    QWidget *pageWidget() const { return m_page; }
    // The page area in screen pixels: the extent of the template, at least a Letter page.
    QSize pageSize() const;

    // Rows the last build found; 0 when nobody matched its options.
    int rowCount() const { return m_rowCount; }

    // Told after each page drawn (pages done, pages in all); false stops the job.
    using Progress = std::function<bool(int done, int total)>;
    // Draws the pages from..to (every page when the printer names none) at the printer's
    // resolution, less its unprintable margin; false when stopped or the printer failed.
    bool printPages(QPrinter &printer, const Progress &progress = {});
    // Writes every page to the file on the template's paper, as every file of the program is
    // written (a new file with the mode the umask allows, a file replaced keeping its mode);
    // false when it could not (error says why) or when stopped (then no file is left behind and
    // an old one stays as it was).
    bool exportPdf(const QString &fileName, const Progress &progress = {}, QString *error = nullptr);
    // "The file ... could not be written." with the reason, when there is one.
    static QString pdfFailedText(const QString &path, const QString &error);

    // The report whose pages are being printed or exported from a window now; null when none.
    static C_ReportView *runningJob();
    // What its progress window says ("Exporting page 3 of 40...").
    QString jobText() const;
    // Stops the job at the next page; afterwards runs once the job has ended and unwound.
    void stopJob(std::function<void()> afterwards);

public slots:
    void goTo(int page);
    bool canPrint() const override { return true; }
    void print() override;
    void printPreview() override;
    // Failures are shown to the user.
    void exportPdfAs() override;

signals:
    void pageChanged(int current, int count);
    void reportBuilt(int pageCount);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    struct BuildResult;
    void updateCommands();
    void finishBuild(const CLastActQuery &query, const BuildResult &result);
    void setLastActFields(const CLastActQuery &query, const CLastActRequest &request);
    void showStatus(const QString &text);
    // Runs a print or an export with a window over the report that counts the pages and has a
    // Cancel button; the program keeps painting and answering between pages, and its main
    // window can still be closed (which asks to stop the job). Returns what work returned;
    // stopped tells whether the user stopped it.
    bool runJob(const QString &textId, int total, const std::function<bool(const Progress &)> &work, bool *stopped);

    CReportEngine m_engine;
    QWidget *m_page;
    QAction *m_actions[4] = {};
    int m_pageCount = 0;
    int m_rowCount = 0;
    int m_currentPage = 1;
    int m_wheelRest = 0;
    QString m_loadError;
    QDateTime m_moment; // of the report shown
    CDbWorker *m_worker = nullptr;
    bool m_building = false;
    QString m_jobText;
    bool m_stopJob = false;
    std::function<void()> m_afterJob;
};
