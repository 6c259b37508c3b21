#include "views/CD_PresenceBar.h"

#include "app/CAppContext.h"
#include "app/CStringTable.h"
#include "db/RefreshInterval.h"
#include "views/C_ZorvikDocPresences.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>

CD_PresenceBar::CD_PresenceBar(C_ZorvikDocPresences *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_label(new QLabel(CStringTable::text(QStringLiteral("dlg.1055.label")), this)),
      m_combo(new QComboBox(this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("presenceBar"));
    setFixedHeight(BarHeight);
    m_combo->setObjectName(QStringLiteral("activityCombo"));
    m_combo->setEditable(false);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_combo->setMinimumContentsLength(24);
    m_label->setBuddy(m_combo);
    m_timer->setObjectName(QStringLiteral("refreshTimer"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(m_label);
    layout->addWidget(m_combo);
    layout->addStretch(1);

    {
        const QSignalBlocker block(m_combo);
        m_combo->addItem(S(1031));
        if (m_doc) {
            m_doc->loadActivities();
            for (const C_ZorvikDocPresences::Activity &a : m_doc->activities())
                m_combo->addItem(a.description);
            m_doc->setSelection(0);
        }
        m_combo->setCurrentIndex(0);
    }
    CAppContext *ctx = CAppContext::current();
    m_timer->setInterval(
        C_ZorvikDocPresences::timerIntervalMs(ctx ? ctx->refreshSeconds.load() : RefreshInterval::kDefaultSeconds));
    // The timer runs only while rows stand out of order: a list nobody changed costs nothing,
    // however short the interval.
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        emit reorderRequested();
        // Put off while a query was changing the rows: tried again at the next tick.
        if (m_doc && m_doc->model()->isOutOfOrder())
            m_timer->start();
    });
    if (m_doc) {
        connect(m_doc->model(), &CPresencesModel::outOfOrder, m_timer, [this] {
            if (!m_timer->isActive())
                m_timer->start();
        });
        if (m_doc->model()->isOutOfOrder())
            m_timer->start();
    }
    connect(m_combo, &QComboBox::currentIndexChanged, this, &CD_PresenceBar::onSelection);
}

CD_PresenceBar::~CD_PresenceBar() = default;

void CD_PresenceBar::onSelection(int entry)
{
    if (m_doc)
        m_doc->setSelection(entry);
    emit rebuildRequested();
}
