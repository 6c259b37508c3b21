#pragma once

#include "db/CDateTime.h"
#include "panel/CPanelGeometry.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

// One employee's tablet on a panel: what it shows, where it stands on the canvas, and the
// state the live update keeps for it. The panel's canvas draws it and handles the mouse (its
// C_PanelWnd there); this object holds no widget, so the update pass and the panel file work
// without a display. A plain value, not a QObject: a site's panels hold one per employee
// each, and whoever needs to hear about a tablet listens to its panel.
class CTablet
{
public:
    CTablet() = default;

    // Texts.
    QString lastName, firstName, employeeId, mediaNumber;
    QString activityDescription, activityId, dateText, timeText;
    // Photograph bytes as stored (JPEG, GIF or BMP); read when the tablet is first shown
    // expanded, decoded by the canvas at the size drawn.
    const QByteArray &photograph() const;
    void setPhotograph(const QByteArray &bytes);

    // Hears what happens to a tablet in one call, where a connection per tablet would cost
    // memory and time for every tablet of a large panel (the panel listens to all of its own).
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void tabletMoved(CTablet *t, const QRect &old) = 0;
        virtual void tabletWentUp(CTablet *t) = 0;
        virtual void tabletWentDown(CTablet *t) = 0;
        virtual void tabletRedraw(CTablet *t) = 0;
    };
    void setListener(Listener *listener) { m_listener = listener; }

    // Canvas rectangle (the panel file's X, Y, W, H).
    QRect geometry() const { return m_geometry; }
    void setGeometry(const QRect &r);
    void moveTo(const QPoint &topLeft);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    bool isExpanded() const { return m_expanded; } // the user's expansion (saved in the file)
    void setExpanded(bool expanded) { m_expanded = expanded; }
    bool isStale() const { return m_stale; }
    void setStale(bool stale) { m_stale = stale; }
    bool isIllegal() const { return m_illegal; }

    // Brings the tablet to the top and resizes it in place to 168x96 (true) or 168x24; the
    // expanded flag is not changed.
    void setExpandedSize(bool big);
    // To the top or the bottom of the panel's z-order.
    void raise();
    void lower();

    // Stores the flag; when it turns on for a registration not warned about yet (date, time
    // or activity differ from the last warning), remembers it and raises the warning once the
    // current update has finished.
    void setIllegal(bool illegal);

    // The registration moment seen last while Expand Latest was on; it starts at the initial
    // moment (the zero date), which tells the first registration seen.
    static const CDateTime initialMoment;
    CDateTime rememberedMoment() const { return CDateTime(m_rememberedDays, CDateTime::Status(m_rememberedStatus)); }
    void setRememberedMoment(const CDateTime &d) { store(d, m_rememberedDays, m_rememberedStatus); }
    // The registration moment the date and time texts were made from (null until one is).
    CDateTime shownMoment() const { return CDateTime(m_shownDays, CDateTime::Status(m_shownStatus)); }
    void setShownMoment(const CDateTime &d) { store(d, m_shownDays, m_shownStatus); }
    // The registration warned about last (empty until one is).
    QString warnedDate() const { return m_rare ? m_rare->warnedDate : QString(); }
    QString warnedTime() const { return m_rare ? m_rare->warnedTime : QString(); }
    QString warnedActivity() const { return m_rare ? m_rare->warnedActivity : QString(); }

    // "Last First" for name format 0, "First Last" otherwise.
    QString displayName(int nameFormat) const;

    // Repaint requests from the update pass.
    void invalidateAll();

    // Where raised warnings go (the application's warning window); none in a plain core. The
    // handler gets the tablet as it was when it warned, so a warning is never lost to a tablet
    // removed before the event loop comes round.
    using WarningHandler = std::function<void(const CTablet &)>;
    static void setWarningHandler(WarningHandler handler);

    // A copy holds its own rare part (a warning keeps the tablet as it was).
    CTablet(const CTablet &other);
    CTablet &operator=(const CTablet &other);
    CTablet(CTablet &&) = default;
    CTablet &operator=(CTablet &&) = default;
    ~CTablet();

private:
    // What few tablets hold (a photograph once shown expanded, a warning once raised), apart, so
    // that the many tablets of a large site's panels do not carry room for it.
    struct Rare
    {
        QByteArray photograph;
        QString warnedDate, warnedTime, warnedActivity;
    };
    Rare &rare();
    static void store(const CDateTime &d, double &days, quint8 &status)
    {
        days = d.days();
        status = quint8(d.status());
    }

    Listener *m_listener = nullptr;
    std::unique_ptr<Rare> m_rare;
    QRect m_geometry{0, 0, CPanelGeometry::kTabletWidth, CPanelGeometry::kCollapsedHeight};
    // The two moments as days and status, packed beside the flags.
    double m_rememberedDays = 0.0; // initialMoment
    double m_shownDays = 0.0;
    quint8 m_rememberedStatus = quint8(CDateTime::Valid);
    quint8 m_shownStatus = quint8(CDateTime::Null);
    bool m_selected = false;
    bool m_expanded = false;
    bool m_stale = false;
    bool m_illegal = false;
};
