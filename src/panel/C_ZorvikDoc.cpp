#include "panel/C_ZorvikDoc.h"

#include "app/CAppContext.h"
#include "app/CNameOrder.h"
#include "app/CTextMatch.h"
#include "db/CDbCursor.h"
#include "db/CReferenceData.h"
#include "live/CLiveUpdate.h"
#include "panel/CPanelFile.h"
#include "panel/CPanelGeometry.h"
#include "panel/CTablet.h"

#include <QFile>
#include <algorithm>
#include <array>

namespace {
// The panels that exist (the interface thread's), where a new tablet looks for its employee's
// texts.
QList<const C_ZorvikDoc *> &panels()
{
    static QList<const C_ZorvikDoc *> all;
    return all;
}

// The text another panel's tablet already holds when it is the same, so that equal texts share
// one string.
const QString &sameText(const QString &text, const QString &held)
{
    return text == held ? held : text;
}
} // namespace

C_ZorvikDoc::C_ZorvikDoc(QObject *parent) : CDocument(parent)
{
    panels().append(this);
}

C_ZorvikDoc::~C_ZorvikDoc()
{
    panels().removeOne(this);
    for (auto &entry : m_tablets)
        delete entry.second;
    m_tablets.clear();
}

CTablet *C_ZorvikDoc::tablet(const QString &employeeId) const
{
    auto it = m_tablets.find(employeeId);
    return it == m_tablets.end() ? nullptr : it->second;
}

void C_ZorvikDoc::setBackground(bool useImage, bool tile, const QString &path)
{
    m_useImage = useImage;
    m_tile = tile;
    m_imagePath = path;
    emit backgroundChanged();
}

void C_ZorvikDoc::setTile(bool tile)
{
    m_tile = tile;
    emit backgroundChanged();
}

bool C_ZorvikDoc::load(const QString &path)
{
    bool readOk = false;
    const PanelFileData data = CPanelFile::loadFile(path, &readOk);
    if (!readOk)
        return false;
    loadData(data);
    setPathName(path);
    setModified(false);
    requestUpdate();
    return true;
}

void C_ZorvikDoc::loadData(const PanelFileData &data)
{
    if (data.backgroundPresent)
        setBackground(data.useImage, data.tile, data.imagePath);
    for (const PanelFileTablet &p : data.tablets) {
        if (m_tablets.count(p.id))
            continue; // one tablet per employee: the first one in the file stays
        CTablet *t = addTablet(p.lastName, p.firstName, p.card, p.id, QRect(p.x, p.y, p.w, p.h));
        t->setExpanded(p.expanded);
    }
}

PanelFileData C_ZorvikDoc::toData() const
{
    PanelFileData data;
    data.backgroundPresent = true;
    data.useImage = m_useImage;
    data.tile = m_tile;
    data.imagePath = m_imagePath;
    for (const auto &entry : m_tablets) {
        const CTablet *t = entry.second;
        PanelFileTablet p;
        const QRect g = t->geometry();
        p.x = g.x();
        p.y = g.y();
        p.w = g.width();
        p.h = g.height();
        p.expanded = t->isExpanded();
        p.lastName = t->lastName;
        p.firstName = t->firstName;
        p.card = t->mediaNumber;
        p.id = t->employeeId;
        data.tablets.append(p);
    }
    return data;
}

bool C_ZorvikDoc::save(const QString &path, QString *error)
{
    if (!CPanelFile::save(path, toData(), error))
        return false;
    setPathName(path);
    setModified(false);
    return true;
}

CTablet *C_ZorvikDoc::addTablet(const QString &lastName, const QString &firstName, const QString &mediaNumber,
                                const QString &employeeId, const QRect &geometry)
{
    if (m_tablets.count(employeeId))
        return nullptr;
    auto *t = new CTablet;
    t->lastName = lastName;
    t->firstName = firstName;
    t->mediaNumber = mediaNumber;
    t->employeeId = employeeId;
    // A site often shows the same employees on several panels (everyone, and a department):
    // their texts are kept once.
    for (const C_ZorvikDoc *other : std::as_const(panels())) {
        const CTablet *twin = other != this ? other->tablet(employeeId) : nullptr;
        if (!twin)
            continue;
        t->lastName = sameText(lastName, twin->lastName);
        t->firstName = sameText(firstName, twin->firstName);
        t->mediaNumber = sameText(mediaNumber, twin->mediaNumber);
        t->employeeId = twin->employeeId;
        break;
    }
    t->setGeometry(geometry);
    t->setListener(this);
    m_tablets.emplace(t->employeeId, t);
    emit tabletAdded(t);
    return t;
}

void C_ZorvikDoc::destroyTablet(TabletMap::iterator it)
{
    CTablet *t = it->second;
    m_tablets.erase(it);
    if (m_latest == t)
        m_latest = nullptr;
    emit tabletRemoved(t);
    delete t;
}

void C_ZorvikDoc::removeTablet(const QString &employeeId)
{
    auto it = m_tablets.find(employeeId);
    if (it != m_tablets.end())
        destroyTablet(it);
}

void C_ZorvikDoc::removeAll()
{
    while (!m_tablets.empty())
        destroyTablet(m_tablets.begin());
    setModified(true);
}

void C_ZorvikDoc::initFromDialog(const NewPanelData &data, const QSize &clientSize)
{
    setBackground(data.useImage, data.tile, data.imagePath);
    int placed = 0;
    for (const NewPanelRow &row : data.rows) {
        if (!row.checked)
            continue;
        const int column = placed / 99;
        const int line = placed % 99;
        if (addTablet(row.lastName, row.firstName, row.mediaNumber, row.employeeId,
                      QRect(CPanelGeometry::kTabletWidth * column, CPanelGeometry::kCollapsedHeight * line,
                            CPanelGeometry::kTabletWidth, CPanelGeometry::kCollapsedHeight)))
            ++placed;
    }
    if (data.arrangement == 0)
        arrangeHorizontally(clientSize.width());
    else if (data.arrangement == 1)
        arrangeVertically(clientSize.height());
    requestUpdate();
    updateAllViews();
}

void C_ZorvikDoc::applyDialog(const NewPanelData &data)
{
    setBackground(data.useImage, data.tile, data.imagePath);
    int added = 0;
    for (const NewPanelRow &row : data.rows) {
        const bool present = m_tablets.count(row.employeeId) != 0;
        if (!present && row.checked) {
            addTablet(row.lastName, row.firstName, row.mediaNumber, row.employeeId,
                      QRect(0, CPanelGeometry::kCollapsedHeight * added, CPanelGeometry::kTabletWidth,
                            CPanelGeometry::kCollapsedHeight));
            ++added;
            setModified(true);
        } else if (present && !row.checked) {
            removeTablet(row.employeeId);
            setModified(true);
        }
    }
    requestUpdate();
    updateAllViews();
}

NewPanelData C_ZorvikDoc::dialogData() const
{
    NewPanelData d;
    d.useImage = m_useImage;
    d.tile = m_tile;
    d.imagePath = m_imagePath;
    return d;
}

bool C_ZorvikDoc::checkEmployees(CDbCursor *employees)
{
    // A closed cursor knows no employees at all: never empty a panel because of it.
    if (!employees || !employees->isOpen())
        return false;
    // "IDZaposlenog = '%s'" by column number, for every tablet of every pass.
    const int idColumn = employees->columnIndex(u"IDZaposlenog");
    QStringList gone;
    for (const auto &entry : m_tablets) {
        employees->filterEquals(idColumn, entry.first);
        if (employees->recordCount() == 0)
            gone << entry.first;
    }
    employees->setFilter(QString());
    for (const QString &key : std::as_const(gone)) {
        removeTablet(key);
        setModified(true);
    }
    return !gone.isEmpty();
}

namespace {

struct Ordered
{
    CTablet *tablet;
};

// By last name, first name and key, the names in the order their readers expect.
QList<Ordered> sortedForArrange(const C_ZorvikDoc::TabletMap &tablets)
{
    QList<Ordered> list;
    for (const auto &entry : tablets)
        list.append({entry.second}); // the map's order: by key, which breaks ties between namesakes
    CNameOrder::sort(list, [](const Ordered &o) { return std::array{o.tablet->lastName, o.tablet->firstName}; });
    return list;
}

} // namespace

void C_ZorvikDoc::arrangeHorizontally(int clientWidth)
{
    arrange(Qt::Horizontal, clientWidth);
}

void C_ZorvikDoc::arrangeVertically(int clientHeight)
{
    arrange(Qt::Vertical, clientHeight);
}

void C_ZorvikDoc::arrange(Qt::Orientation orientation, int extent)
{
    if (m_tablets.empty())
        return;
    emit scrollToOriginRequested();
    // Rows (or columns) hold extent / step tablets, at least one.
    const bool rows = orientation == Qt::Horizontal;
    const int step = rows ? CPanelGeometry::kTabletWidth : CPanelGeometry::kCollapsedHeight;
    const int limit = qMax(0, extent / step - 1) * step;
    int along = 0, across = 0;
    for (const Ordered &o : sortedForArrange(m_tablets)) {
        o.tablet->setExpanded(false);
        o.tablet->setSelected(false);
        const QPoint at = rows ? QPoint(along, across) : QPoint(across, along);
        o.tablet->setGeometry(QRect(at, QSize(CPanelGeometry::kTabletWidth, CPanelGeometry::kCollapsedHeight)));
        o.tablet->invalidateAll();
        along += step;
        if (along > limit) {
            along = 0;
            across += rows ? CPanelGeometry::kCollapsedHeight : CPanelGeometry::kTabletWidth;
        }
    }
    setModified(true);
    updateAllViews();
}

void C_ZorvikDoc::expandAll()
{
    for (const auto &entry : m_tablets) {
        entry.second->setExpanded(true);
        entry.second->setExpandedSize(true);
    }
}

void C_ZorvikDoc::collapseAll()
{
    for (const auto &entry : m_tablets) {
        entry.second->setExpanded(false);
        entry.second->setExpandedSize(false);
    }
}

void C_ZorvikDoc::clearSelection()
{
    for (const auto &entry : m_tablets)
        entry.second->setSelected(false);
}

void C_ZorvikDoc::find(const QString &lastName, const QString &firstName)
{
    if (lastName.isEmpty() && firstName.isEmpty())
        return;
    const bool both = !lastName.isEmpty() && !firstName.isEmpty();
    // The lists' rule: case and diacritics aside ("dordevic" finds "Đorđević").
    const QString wantLast = CTextMatch::fold(lastName);
    const QString wantFirst = CTextMatch::fold(firstName);
    for (const auto &entry : m_tablets) {
        CTablet *t = entry.second;
        const bool a = !wantFirst.isEmpty() && CTextMatch::fold(t->firstName).contains(wantFirst);
        const bool b = !wantLast.isEmpty() && CTextMatch::fold(t->lastName).contains(wantLast);
        t->setSelected(both ? (a && b) : (a || b));
    }
    updateAllViews();
}

QRect C_ZorvikDoc::selectionBounds() const
{
    int left = CPanelGeometry::kCanvasSize, top = CPanelGeometry::kCanvasSize, right = 0, bottom = 0;
    for (const auto &entry : m_tablets) {
        const CTablet *t = entry.second;
        if (!t->isSelected())
            continue;
        const QRect g = t->geometry();
        left = qMin(left, g.left());
        top = qMin(top, g.top());
        right = qMax(right, g.x() + g.width());
        bottom = qMax(bottom, g.y() + g.height());
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QList<CTablet *> C_ZorvikDoc::selectedTablets() const
{
    QList<CTablet *> out;
    for (const auto &entry : m_tablets)
        if (entry.second->isSelected())
            out << entry.second;
    return out;
}

void C_ZorvikDoc::requestUpdate()
{
    CAppContext *ctx = CAppContext::current();
    if (ctx && ctx->live())
        ctx->live()->requestUpdate(this);
}
