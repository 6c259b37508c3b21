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
#include <QSet>
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
    for (CTablet *t : m_tablets.takeAll())
        delete t;
}

CTablet *C_ZorvikDoc::tablet(const QString &employeeId) const
{
    return m_tablets.find(employeeId);
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
    // One tablet per employee: the first one in the file stays.
    std::vector<CTablet *> made;
    made.reserve(size_t(data.tablets.size()));
    for (const PanelFileTablet &p : data.tablets) {
        CTablet *t = makeTablet(p.lastName, p.firstName, p.card, p.id, QRect(p.x, p.y, p.w, p.h));
        t->setExpanded(p.expanded);
        made.push_back(t);
    }
    adopt(std::move(made));
}

PanelFileData C_ZorvikDoc::toData() const
{
    PanelFileData data;
    data.backgroundPresent = true;
    data.useImage = m_useImage;
    data.tile = m_tile;
    data.imagePath = m_imagePath;
    for (const CTablet *t : m_tablets) {
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
    if (m_tablets.contains(employeeId))
        return nullptr;
    CTablet *t = makeTablet(lastName, firstName, mediaNumber, employeeId, geometry);
    m_tablets.insert(t);
    t->setListener(this);
    emit tabletAdded(t);
    return t;
}

CTablet *C_ZorvikDoc::makeTablet(const QString &lastName, const QString &firstName, const QString &mediaNumber,
                                 const QString &employeeId, const QRect &geometry) const
{
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
    return t;
}

void C_ZorvikDoc::adopt(std::vector<CTablet *> made)
{
    for (CTablet *t : m_tablets.insertMany(made))
        delete t;
    for (CTablet *t : made) {
        t->setListener(this);
        emit tabletAdded(t);
    }
}

void C_ZorvikDoc::destroyTablets(const std::vector<CTablet *> &taken)
{
    for (CTablet *t : taken) {
        if (m_latest == t)
            m_latest = nullptr;
        emit tabletRemoved(t);
        delete t;
    }
}

void C_ZorvikDoc::removeTablet(const QString &employeeId)
{
    destroyTablets(m_tablets.take({employeeId}));
}

void C_ZorvikDoc::removeTablets(const QStringList &employeeIds)
{
    destroyTablets(m_tablets.take(employeeIds));
}

void C_ZorvikDoc::removeAll()
{
    destroyTablets(m_tablets.takeAll());
    setModified(true);
}

void C_ZorvikDoc::initFromDialog(const NewPanelData &data, const QSize &clientSize)
{
    setBackground(data.useImage, data.tile, data.imagePath);
    // Columns of 99 in the dialog's order; an employee checked twice is placed once.
    QSet<QString> seen;
    std::vector<CTablet *> made;
    for (const NewPanelRow &row : data.rows) {
        if (!row.checked || m_tablets.contains(row.employeeId) || seen.contains(row.employeeId))
            continue;
        seen.insert(row.employeeId);
        const int placed = int(made.size());
        const int column = placed / 99;
        const int line = placed % 99;
        made.push_back(makeTablet(row.lastName, row.firstName, row.mediaNumber, row.employeeId,
                                  QRect(CPanelGeometry::kTabletWidth * column, CPanelGeometry::kCollapsedHeight * line,
                                        CPanelGeometry::kTabletWidth, CPanelGeometry::kCollapsedHeight)));
    }
    adopt(std::move(made));
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
    QSet<QString> seen;
    std::vector<CTablet *> made;
    QStringList unchecked;
    for (const NewPanelRow &row : data.rows) {
        const bool present = m_tablets.contains(row.employeeId);
        if (!present && row.checked && !seen.contains(row.employeeId)) {
            seen.insert(row.employeeId);
            made.push_back(makeTablet(row.lastName, row.firstName, row.mediaNumber, row.employeeId,
                                      QRect(0, CPanelGeometry::kCollapsedHeight * int(made.size()),
                                            CPanelGeometry::kTabletWidth, CPanelGeometry::kCollapsedHeight)));
        } else if (present && !row.checked) {
            unchecked << row.employeeId;
        }
    }
    if (!made.empty() || !unchecked.isEmpty())
        setModified(true);
    removeTablets(unchecked);
    adopt(std::move(made));
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
    for (const CTablet *t : m_tablets) {
        employees->filterEquals(idColumn, t->employeeId);
        if (employees->recordCount() == 0)
            gone << t->employeeId;
    }
    employees->setFilter(QString());
    if (!gone.isEmpty())
        setModified(true);
    removeTablets(gone);
    return !gone.isEmpty();
}

namespace {

struct Ordered
{
    CTablet *tablet;
};

// By last name, first name and key, the names in the order their readers expect.
QList<Ordered> sortedForArrange(const CTabletIndex &tablets)
{
    QList<Ordered> list;
    list.reserve(tablets.size());
    for (CTablet *t : tablets)
        list.append({t}); // the index's order: by ID, which breaks ties between namesakes
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
    for (CTablet *t : m_tablets) {
        t->setExpanded(true);
        t->setExpandedSize(true);
    }
}

void C_ZorvikDoc::collapseAll()
{
    for (CTablet *t : m_tablets) {
        t->setExpanded(false);
        t->setExpandedSize(false);
    }
}

void C_ZorvikDoc::clearSelection()
{
    for (CTablet *t : m_tablets)
        t->setSelected(false);
}

void C_ZorvikDoc::find(const QString &lastName, const QString &firstName)
{
    if (lastName.isEmpty() && firstName.isEmpty())
        return;
    const bool both = !lastName.isEmpty() && !firstName.isEmpty();
    // The lists' rule: case and diacritics aside ("dordevic" finds "Đorđević").
    const QString wantLast = CTextMatch::fold(lastName);
    const QString wantFirst = CTextMatch::fold(firstName);
    for (CTablet *t : m_tablets) {
        const bool a = !wantFirst.isEmpty() && CTextMatch::fold(t->firstName).contains(wantFirst);
        const bool b = !wantLast.isEmpty() && CTextMatch::fold(t->lastName).contains(wantLast);
        t->setSelected(both ? (a && b) : (a || b));
    }
    updateAllViews();
}

QRect C_ZorvikDoc::selectionBounds() const
{
    int left = CPanelGeometry::kCanvasSize, top = CPanelGeometry::kCanvasSize, right = 0, bottom = 0;
    for (const CTablet *t : m_tablets) {
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
    for (CTablet *t : m_tablets)
        if (t->isSelected())
            out << t;
    return out;
}

void C_ZorvikDoc::requestUpdate()
{
    CAppContext *ctx = CAppContext::current();
    if (ctx && ctx->live())
        ctx->live()->requestUpdate(this);
}
