#include "reports/CReportEngine.h"

#include "app/CDataFiles.h"
#include "app/CStringTable.h"
#include "reports/CLineReader.h"
#include "reports/CReportDevice.h"
#include "reports/CReportGrid.h"
#include "reports/CReportPicture.h"
#include "reports/CReportReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

CReportEngine::CReportEngine() = default;
CReportEngine::~CReportEngine() = default;

void CReportEngine::Create(const QString &title)
{
    if (!m_title.isEmpty())
        Clear();
    m_title = title;
}

void CReportEngine::Clear()
{
    m_containers.clear();
    m_lastError.clear();
}

void CReportEngine::ClearContent()
{
    for (const auto &c : m_containers) {
        for (const auto &o : c->objects)
            o->ResetContent();
    }
}

bool CReportEngine::LoadFromFile(const QString &fileName, int type)
{
    m_lastError.clear();
    CLineReader reader;
    QStringList lines;
    if (!reader.read(fileName, lines)) {
        m_lastError = reader.lastError;
        return false;
    }
    return LoadFromLines(lines, type);
}

bool CReportEngine::LoadFromOpenFile(QIODevice &file, int type)
{
    return LoadFromText(CLineReader::splitLines(file.readAll()).join(QLatin1Char('\n')), type);
}

bool CReportEngine::LoadFromResource(const QString &resourcePath, int type)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return LoadFromOpenFile(file, type);
}

bool CReportEngine::LoadFromText(const QString &text, int type)
{
    QString block = text;
    block.remove(QLatin1Char('\r'));
    return LoadFromLines(block.split(QLatin1Char('\n'), Qt::SkipEmptyParts), type);
}

bool CReportEngine::LoadFromLines(const QStringList &lines, int type)
{
    m_lastError.clear();
    const bool startsWithFirst = !m_containers.empty() && m_containers.front()->type == CPageTemplate::FirstPage;
    const bool endsWithLast = !m_containers.empty() && m_containers.back()->type == CPageTemplate::LastPage;
    if ((type == CPageTemplate::FirstPage && startsWithFirst) || (type == CPageTemplate::LastPage && endsWithLast))
        return false;

    auto container = std::make_unique<CPageTemplate>(type);
    for (const QString &line : lines) {
        if (auto item = CReportReader::readLine(line))
            container->objects.push_back(std::move(item));
    }
    if (container->objects.empty()) {
        m_lastError = CStringTable::text(QStringLiteral("report.templateEmpty"));
        return false;
    }
    // A grid without room for one row would leave its rows nowhere and its page share
    // undefined; such a template is refused.
    for (const auto &o : container->objects) {
        if (o->type == CReportItem::Grid && static_cast<CReportGrid &>(*o).capacity() < 1) {
            m_lastError = CStringTable::text(QStringLiteral("report.gridNoRow")).arg(o->name);
            return false;
        }
    }

    if (type == CPageTemplate::FirstPage)
        m_containers.insert(m_containers.begin(), std::move(container));
    else if (type == CPageTemplate::LastPage || !endsWithLast)
        m_containers.push_back(std::move(container));
    else
        m_containers.insert(m_containers.end() - 1, std::move(container));
    return true;
}

QPageLayout::Orientation CReportEngine::paper(QPageSize *size) const
{
    double right = 0, bottom = 0;
    for (const auto &c : m_containers)
        for (const auto &o : c->objects) {
            right = std::max({right, o->left, o->right});
            bottom = std::max({bottom, o->top, o->bottom});
        }
    const auto orientation = right > bottom ? QPageLayout::Landscape : QPageLayout::Portrait;
    // The smallest usual sheet that holds everything the template places, A4 first.
    for (const QPageSize::PageSizeId id :
         {QPageSize::A4, QPageSize::Letter, QPageSize::Legal, QPageSize::A3, QPageSize::A2}) {
        QSizeF sheet = QPageSize(id).size(QPageSize::Inch);
        if (orientation == QPageLayout::Landscape)
            sheet.transpose();
        constexpr double kSlack = 0.01;
        if (right <= sheet.width() + kSlack && bottom <= sheet.height() + kSlack) {
            *size = QPageSize(id);
            return orientation;
        }
    }
    const double w = std::min(std::max(right, bottom), 200.0), h = std::min(std::min(right, bottom), 200.0);
    *size = QPageSize(QSizeF(h + 0.5, w + 0.5), QPageSize::Inch);
    return orientation;
}

void CReportEngine::usePaper(QPagedPaintDevice &device) const
{
    QPageSize sheet(QPageSize::A4);
    const QPageLayout::Orientation orientation = paper(&sheet);
    device.setPageSize(sheet);
    device.setPageOrientation(orientation);
}

CReportItem *CReportEngine::FindObject(const QString &name, int container) const
{
    if (container == -1) {
        for (const auto &c : m_containers) {
            if (CReportItem *o = c->find(name))
                return o;
        }
        return nullptr;
    }
    if (container < 0 || container >= GetContainerCount())
        return nullptr;
    return m_containers[container]->find(name);
}

CReportGrid *CReportEngine::gridIn(const CPageTemplate &container, const QString &name) const
{
    CReportItem *o = container.find(name);
    return o && o->type == CReportItem::Grid ? static_cast<CReportGrid *>(o) : nullptr;
}

void CReportEngine::SetFieldText(const QString &name, const QString &text)
{
    CReportItem *o = FindObject(name);
    if (o && o->type == CReportItem::Field)
        o->text = text;
}

bool CReportEngine::SetPicture(const QString &name, const QImage &image)
{
    CReportItem *o = FindObject(name);
    if (!o || o->type != CReportItem::Picture)
        return false;
    static_cast<CReportPicture *>(o)->SetDib(image);
    return true;
}

bool CReportEngine::SetGridRows(const QString &name, const QStringList &rows)
{
    m_lastError.clear();
    if (m_containers.empty())
        return true;
    const qsizetype n = rows.size();

    CReportGrid *head =
        m_containers.front()->type == CPageTemplate::FirstPage ? gridIn(*m_containers.front(), name) : nullptr;
    const qsizetype h = head ? head->capacity() : 0;
    CReportGrid *body = nullptr;
    for (const auto &c : m_containers) {
        if (c->type == CPageTemplate::Body && (body = gridIn(*c, name)))
            break;
    }
    CReportGrid *foot =
        m_containers.back()->type == CPageTemplate::LastPage ? gridIn(*m_containers.back(), name) : nullptr;
    qsizetype split = n;
    if (foot) {
        qsizetype f = foot->capacity();
        if (body) {
            // Loads refuse grids without room, but a grid added by hand may still have none.
            const qsizetype cap = body->capacity();
            const qsizetype r = cap > 0 ? std::max<qsizetype>(0, n - h) % cap : 0;
            f = std::min(r, f);
        }
        split = n - f;
    }

    // Rows go in three runs: the first page's share, the body, the last page's share.
    std::vector<CReportGrid *> bodies;
    for (const auto &c : m_containers) {
        if (c->type != CPageTemplate::Body)
            continue;
        if (CReportGrid *g = gridIn(*c, name))
            bodies.push_back(g);
    }
    const qsizetype headEnd = std::min(h, n);
    if (head)
        head->rows.append(rows.mid(0, headEnd));
    const qsizetype bodyEnd = std::max(headEnd, split);
    if (bodyEnd > headEnd) {
        if (bodies.empty())
            return false;
        for (CReportGrid *g : bodies)
            g->rows.append(rows.mid(headEnd, bodyEnd - headEnd));
    }
    if (foot && n > bodyEnd)
        foot->rows.append(rows.mid(bodyEnd));
    return true;
}

int CReportEngine::Paginate()
{
    int p = 0;
    auto grids = [](const CPageTemplate &c) {
        std::vector<CReportGrid *> out;
        for (const auto &o : c.objects) {
            if (o->type == CReportItem::Grid)
                out.push_back(static_cast<CReportGrid *>(o.get()));
        }
        return out;
    };
    auto setStart = [](const std::vector<CReportGrid *> &gs, int start) {
        for (CReportGrid *g : gs)
            g->StartPage = start;
    };
    for (const auto &c : m_containers) {
        const std::vector<CReportGrid *> gs = grids(*c);
        const bool anyEmpty = std::any_of(gs.begin(), gs.end(), [](CReportGrid *g) { return g->rows.isEmpty(); });
        if (c->type == CPageTemplate::FirstPage) {
            c->firstPage = c->lastPage = 1;
            setStart(gs, 1);
            p += 1;
        } else if (anyEmpty) {
            c->firstPage = c->lastPage = -1;
            setStart(gs, -1);
        } else if (c->type == CPageTemplate::LastPage) {
            p += 1;
            c->firstPage = c->lastPage = p;
            setStart(gs, p);
        } else {
            long long k = 1;
            for (CReportGrid *g : gs) {
                const int cap = g->capacity();
                if (cap > 0)
                    k = std::max<long long>(k, (g->rows.size() + cap - 1) / cap);
            }
            c->firstPage = p + 1;
            setStart(gs, p + 1);
            p = static_cast<int>(std::min<long long>(p + k, INT_MAX));
            c->lastPage = p;
        }
    }
    return p;
}

void CReportEngine::DrawPage(QPainter &painter, int page, QPoint physicalOffset)
{
    CPageTemplate *covering = nullptr;
    for (const auto &c : m_containers) {
        if (c->firstPage != -1 && page >= c->firstPage && page <= c->lastPage)
            covering = c.get();
    }
    if (!covering)
        return;
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    CReportDevice device(painter, dpi, physicalOffset);
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    for (const auto &o : covering->objects)
        o->Draw(page, device);
    painter.restore();
}

bool CReportEngine::Print(QPagedPaintDevice &device, QPoint physicalOffset)
{
    const int pages = Paginate();
    QPainter painter;
    if (!painter.begin(&device))
        return true;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage()) {
            painter.end();
            return false;
        }
        DrawPage(painter, page, physicalOffset);
    }
    painter.end();
    return true;
}

int CReportEngine::GetObjectCount(int container) const
{
    if (container < 0 || container >= GetContainerCount())
        return 0;
    return static_cast<int>(m_containers[container]->objects.size());
}

QString CReportEngine::GetObjectName(int object, int container) const
{
    if (object < 0 || object >= GetObjectCount(container))
        return QString();
    return m_containers[container]->objects[object]->name;
}

int CReportEngine::GetObjectType(const QString &name, int container) const
{
    const CReportItem *o = FindObject(name, container);
    return o ? o->type : 0;
}

int CReportEngine::GetGridColumnCount(const QString &name, int container) const
{
    const CReportItem *o = FindObject(name, container);
    if (!o || o->type != CReportItem::Grid)
        return -1;
    return static_cast<int>(static_cast<const CReportGrid *>(o)->columns.size());
}

void CReportEngine::AddObject(std::unique_ptr<CReportItem> object, int container)
{
    if (object && container >= 0 && container < GetContainerCount())
        m_containers[container]->objects.push_back(std::move(object));
}

QString CReportEngine::templatePath(const QString &fileName)
{
    const QString local = QDir::current().filePath(QStringLiteral("Reports/") + fileName);
    if (QFileInfo::exists(local))
        return local;
    return CDataFiles::find(QStringLiteral("Reports/") + fileName);
}
