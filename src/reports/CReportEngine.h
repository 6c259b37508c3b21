#pragma once

#include "reports/CPageTemplate.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QIODevice;
class QPagedPaintDevice;
class QPainter;
class CReportGrid;

using CPageTemplateList = std::vector<std::unique_ptr<CPageTemplate>>;

// Turns report templates into pages. The containers are kept in page order: at most one
// first-page container at the front, at most one last-page container at the back, and the
// body containers between them. The program fills fields and grids by name, paginates, and
// has any page drawn on any painter.
class CReportEngine
{
public:
    CReportEngine();
    ~CReportEngine();
    CReportEngine(const CReportEngine &) = delete;
    CReportEngine &operator=(const CReportEngine &) = delete;

    QString GetTitle() const { return m_title; }
    // A second report in the same generator starts empty.
    void Create(const QString &title);
    bool LoadTemplate(const QString &fileName) { return LoadFromFile(fileName, CPageTemplate::Body); }
    bool LoadFromFile(const QString &fileName, int type);
    bool LoadFromOpenFile(QIODevice &file, int type);
    // A template kept as a Qt resource (":/..." path).
    bool LoadFromResource(const QString &resourcePath, int type);
    bool LoadFromText(const QString &text, int type);
    bool LoadFromLines(const QStringList &lines, int type);

    bool SetGridRows(const QString &name, const QStringList &rows);
    void SetFieldText(const QString &name, const QString &text);
    // Gives the picture of that name an image (the logo); false when there is no such picture.
    bool SetPicture(const QString &name, const QImage &image);
    void Clear();
    void ClearContent();

    int Paginate();
    // Draws one page; the physical offset is that of the printable area on a printer.
    void DrawPage(QPainter &painter, int page, QPoint physicalOffset = QPoint());
    // Every page, one sheet each. A device that cannot be painted on prints nothing and is not
    // a failure; a sheet that cannot be started is.
    bool Print(QPagedPaintDevice &device, QPoint physicalOffset = QPoint());

    int GetContainerCount() const { return static_cast<int>(m_containers.size()); }
    int GetObjectCount(int container) const;
    QString GetObjectName(int object, int container) const;
    int GetObjectType(const QString &name, int container) const;
    int GetGridColumnCount(const QString &name, int container) const;
    void AddObject(std::unique_ptr<CReportItem> object, int container);
    CReportItem *FindObject(const QString &name, int container = -1) const;

    void SetErrorText(const QString &text) { m_lastError = text; }
    QString GetErrorText() const { return m_lastError; }
    // The sheet the loaded templates are drawn for, and its orientation: the smallest usual
    // sheet (A4 first) that holds every object, landscape when the objects reach wider than tall.
    QPageLayout::Orientation paper(QPageSize *size) const;
    // Puts that sheet and orientation on a printer or PDF writer (what the print dialog offers
    // first, what the PDF is written on).
    void usePaper(QPagedPaintDevice &device) const;
    const CPageTemplateList &GetContainers() const { return m_containers; }

    // The installed template of that name: "Reports/" in the current directory, else "Reports/"
    // among the program's data files (beside the program, or in an installation's data folder).
    static QString templatePath(const QString &fileName);

private:
    CReportGrid *gridIn(const CPageTemplate &container, const QString &name) const;

    QString m_title;
    CPageTemplateList m_containers;
    QString m_lastError;
};
