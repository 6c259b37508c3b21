#pragma once

#include "views/C_ZorvikDocPresences.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QTimer;

// The strip across the top of the presences window: "Last activity:" and a drop-down list of
// "All" and every activity. It asks for a full rebuild when the choice changes, and one refresh
// interval after a refresh put rows out of order for them to be put back in the query's order.
class CD_PresenceBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int BarHeight = 32;

    explicit CD_PresenceBar(C_ZorvikDocPresences *doc, QWidget *parent = nullptr);
    ~CD_PresenceBar() override;

    QComboBox *combo() const { return m_combo; }
    QTimer *timer() const { return m_timer; }

signals:
    // The choice changed.
    void rebuildRequested();
    // The refresh interval passed since rows went out of order.
    void reorderRequested();

private:
    void onSelection(int entry);

    // The document may go first (closing everything at once).
    QPointer<C_ZorvikDocPresences> m_doc;
    QLabel *m_label;
    QComboBox *m_combo;
    QTimer *m_timer;
};
