#include "panel/CTablet.h"

#include "panel/CPanelGeometry.h"
#include <QCoreApplication>
#include <QMetaObject>

namespace {
CTablet::WarningHandler &handler()
{
    static CTablet::WarningHandler h;
    return h;
}
} // namespace

const CDateTime CTablet::initialMoment{};

// A large site keeps two or three tablets per employee: a tablet that grows past this takes the
// next size of block from malloc for every one of them.
static_assert(sizeof(CTablet) <= 248);

CTablet::CTablet(const CTablet &other)
    : lastName(other.lastName), firstName(other.firstName), employeeId(other.employeeId),
      mediaNumber(other.mediaNumber), activityDescription(other.activityDescription), activityId(other.activityId),
      dateText(other.dateText), timeText(other.timeText), m_listener(other.m_listener),
      m_rare(other.m_rare ? std::make_unique<Rare>(*other.m_rare) : nullptr), m_geometry(other.m_geometry),
      m_rememberedDays(other.m_rememberedDays), m_shownDays(other.m_shownDays),
      m_rememberedStatus(other.m_rememberedStatus), m_shownStatus(other.m_shownStatus), m_selected(other.m_selected),
      m_expanded(other.m_expanded), m_stale(other.m_stale), m_illegal(other.m_illegal)
{
}

CTablet &CTablet::operator=(const CTablet &other)
{
    if (this != &other) {
        CTablet copy(other);
        std::swap(*this, copy);
    }
    return *this;
}

CTablet::~CTablet() = default;

CTablet::Rare &CTablet::rare()
{
    if (!m_rare)
        m_rare = std::make_unique<Rare>();
    return *m_rare;
}

const QByteArray &CTablet::photograph() const
{
    static const QByteArray none;
    return m_rare ? m_rare->photograph : none;
}

void CTablet::setPhotograph(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        rare().photograph = bytes;
    else if (m_rare && m_rare->warnedDate.isNull() && m_rare->warnedTime.isNull() && m_rare->warnedActivity.isNull())
        m_rare.reset(); // the canvas dropped its caches: a tablet that never warned holds nothing apart
    else if (m_rare)
        m_rare->photograph.clear();
}

void CTablet::setGeometry(const QRect &r)
{
    if (r == m_geometry)
        return;
    const QRect old = m_geometry;
    m_geometry = r;
    if (m_listener)
        m_listener->tabletMoved(this, old);
}

void CTablet::raise()
{
    if (m_listener)
        m_listener->tabletWentUp(this);
}

void CTablet::lower()
{
    if (m_listener)
        m_listener->tabletWentDown(this);
}

void CTablet::invalidateAll()
{
    if (m_listener)
        m_listener->tabletRedraw(this);
}

void CTablet::moveTo(const QPoint &topLeft)
{
    setGeometry(QRect(topLeft, m_geometry.size()));
}

void CTablet::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    invalidateAll();
}

void CTablet::setExpandedSize(bool big)
{
    raise();
    setGeometry(
        QRect(m_geometry.topLeft(), QSize(CPanelGeometry::kTabletWidth,
                                          big ? CPanelGeometry::kExpandedHeight : CPanelGeometry::kCollapsedHeight)));
    invalidateAll();
}

void CTablet::setIllegal(bool illegal)
{
    if (illegal && (dateText + timeText != warnedDate() + warnedTime() || activityDescription != warnedActivity())) {
        Rare &r = rare();
        r.warnedDate = dateText;
        r.warnedTime = timeText;
        r.warnedActivity = activityDescription;
        // After the update pass: the warning window never opens inside it.
        if (QCoreApplication *app = QCoreApplication::instance()) {
            CTablet seen(*this);
            seen.m_listener = nullptr;
            seen.m_illegal = true;
            QMetaObject::invokeMethod(
                app,
                [seen] {
                    if (handler())
                        handler()(seen);
                },
                Qt::QueuedConnection);
        }
    }
    m_illegal = illegal;
}

void CTablet::setWarningHandler(WarningHandler h)
{
    handler() = std::move(h);
}

QString CTablet::displayName(int nameFormat) const
{
    return nameFormat == 0 ? lastName + u' ' + firstName : firstName + u' ' + lastName;
}
