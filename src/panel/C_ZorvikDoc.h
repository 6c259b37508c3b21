#pragma once

#include "app/CDocument.h"
#include "db/ReferenceMaps.h"
#include "panel/CTablet.h"
#include "panel/CTabletIndex.h"
#include "panel/NewPanelData.h"

#include <QRect>
#include <vector>

class CDbCursor;
struct PanelFileData;

// A panel: the user's board of employee tablets, keyed and ordered by employee identifier,
// with the background image settings of its view. Loads and saves the panel file and is the
// unit that every update pass walks.
class C_ZorvikDoc : public CDocument, private CTablet::Listener
{
    Q_OBJECT
public:
    explicit C_ZorvikDoc(QObject *parent = nullptr);
    ~C_ZorvikDoc() override;

    const CTabletIndex &tablets() const { return m_tablets; }
    int tabletCount() const { return int(m_tablets.size()); }
    CTablet *tablet(const QString &employeeId) const;
    CTablet *latestTablet() const { return m_latest; }
    void setLatestTablet(CTablet *t) { m_latest = t; }

    // Background image settings (kept by the view on screen, saved in the panel file).
    bool useImage() const { return m_useImage; }
    bool tile() const { return m_tile; }
    QString imagePath() const { return m_imagePath; }
    void setBackground(bool useImage, bool tile, const QString &path);
    void setTile(bool tile);

    // Loads a panel file; a file that does not parse gives an empty panel. False only when
    // the file cannot be read. The panel is not modified afterwards and asks for its update.
    bool load(const QString &path);
    void loadData(const PanelFileData &data);
    // Writes the panel file atomically; false with a readable error naming the file.
    bool save(const QString &path, QString *error);
    PanelFileData toData() const;

    // A new tablet (168 by 24 at the canvas point) unless the employee already has one.
    CTablet *addTablet(const QString &lastName, const QString &firstName, const QString &mediaNumber,
                       const QString &employeeId, const QRect &geometry);
    void removeTablet(const QString &employeeId);
    // The same for many at once (one sweep over the panel).
    void removeTablets(const QStringList &employeeIds);
    // Destroys every tablet (Remove all, without asking).
    void removeAll();

    // New panel from the dialog: tablets for the checked rows, then the chosen arrangement
    // for a view of the given client size.
    void initFromDialog(const NewPanelData &data, const QSize &clientSize);
    // Edit mode: adds the checked employees that are missing, removes the unchecked ones.
    void applyDialog(const NewPanelData &data);
    NewPanelData dialogData() const;

    // Drops the tablets whose employee is no longer in the employee cursor (which is open
    // and not filtered); true when one was dropped.
    bool checkEmployees(CDbCursor *employees);

    void arrangeHorizontally(int clientWidth);
    void arrangeVertically(int clientHeight);
    void expandAll();
    void collapseAll();
    void clearSelection();
    // Selects the tablets whose names hold the texts (case-insensitive); both empty: nothing.
    void find(const QString &lastName, const QString &firstName);
    // The smallest canvas rectangle holding every selected tablet; empty value
    // (24000, 24000, 0, 0) as left, top, right, bottom when none is selected.
    QRect selectionBounds() const;
    QList<CTablet *> selectedTablets() const;

    // Asks for an update pass over this panel.
    void requestUpdate();

signals:
    void tabletAdded(CTablet *t);
    void tabletRemoved(CTablet *t);
    void backgroundChanged();
    // Arranging starts from the top-left corner of the canvas.
    void scrollToOriginRequested();
    // What happens to the tablets, for the views: one connection for all of them.
    void tabletGeometryChanged(CTablet *t, const QRect &old);
    void tabletRaised(CTablet *t);
    void tabletLowered(CTablet *t);
    void tabletChanged(CTablet *t);

private:
    // CTablet::Listener: passed on as the signals above.
    void tabletMoved(CTablet *t, const QRect &old) override { emit tabletGeometryChanged(t, old); }
    void tabletWentUp(CTablet *t) override { emit tabletRaised(t); }
    void tabletWentDown(CTablet *t) override { emit tabletLowered(t); }
    void tabletRedraw(CTablet *t) override { emit tabletChanged(t); }
    // A tablet made for the employee (the texts other panels hold for the employee shared), not
    // yet on the panel.
    CTablet *makeTablet(const QString &lastName, const QString &firstName, const QString &mediaNumber,
                        const QString &employeeId, const QRect &geometry) const;
    // Puts made tablets on the panel (the refused ones are deleted) and tells the views.
    void adopt(std::vector<CTablet *> made);
    void destroyTablets(const std::vector<CTablet *> &taken);
    void arrange(Qt::Orientation orientation, int extent);

    CTabletIndex m_tablets;
    CTablet *m_latest = nullptr; // cleared when its tablet goes
    bool m_useImage = false;
    bool m_tile = false;
    QString m_imagePath;
};
