#include "dialogs/CD_AutoLoad.h"

#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "dialogs/CLockedNote.h"
#include "dialogs/CPrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString text(const char *key)
{
    return CStringTable::text(QStringLiteral("dlg.autoload.") + QLatin1String(key));
}
constexpr int kColumnWidth = 420;
} // namespace

CD_AutoLoad::CD_AutoLoad(CSettings *settings, CAppContext *context, std::function<void()> openNow, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_context(context), m_openNow(std::move(openNow))
{
    setObjectName(QStringLiteral("autoLoadDialog"));
    setWindowTitle(text("title"));

    m_view = new QTreeWidget(this);
    m_view->setObjectName(QStringLiteral("panelList"));
    m_view->setColumnCount(1);
    m_view->setHeaderLabels({S(1042)});
    m_view->setRootIsDecorated(false);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setUniformRowHeights(true);
    m_view->header()->setSectionsClickable(false);
    m_view->header()->setSectionsMovable(false);
    m_view->header()->setStretchLastSection(false);
    m_view->header()->resizeSection(0, kColumnWidth);
    m_view->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);

    auto button = [this](const char *key, const char *name) {
        auto *b = new QPushButton(text(key), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    m_up = button("up", "upButton");
    m_down = button("down", "downButton");
    m_arrange = button("openNow", "openNowButton");
    m_add = button("add", "addButton");
    m_remove = button("remove", "removeButton");
    auto *row = new QHBoxLayout;
    row->addWidget(m_up);
    row->addWidget(m_down);
    row->addSpacing(8);
    row->addWidget(m_arrange);
    row->addStretch(1);
    row->addWidget(m_add);
    row->addWidget(m_remove);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_presences = new QCheckBox(text("presences"), this);
    m_presences->setObjectName(QStringLiteral("presencesCheck"));
    m_guests = new QCheckBox(text("guests"), this);
    m_guests->setObjectName(QStringLiteral("guestsCheck"));
    // The guests window does not open at start-up: the flag is always stored as 0.
    m_guests->setEnabled(false);
    auto *checks = new QHBoxLayout;
    checks->addWidget(m_presences);
    checks->addSpacing(24);
    checks->addWidget(m_guests);
    checks->addStretch(1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CD_AutoLoad::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The list set by the administrator: shown, opened on request, not changeable.
    m_locked = m_settings->isLocked(QStringLiteral("AutoLoad"), QStringLiteral("*"));
    m_add->setEnabled(!m_locked);
    m_presences->setEnabled(!m_settings->isLocked(QStringLiteral("Settings"), QStringLiteral("AutoShowPresences")));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    if (m_locked)
        row->insertWidget(row->indexOf(m_add), new CLockedNote(QStringLiteral("autoLoadLocked"), this));
    layout->addLayout(row);
    layout->addWidget(line);
    layout->addLayout(checks);
    layout->addWidget(buttons);

    connect(m_up, &QPushButton::clicked, this, &CD_AutoLoad::moveUp);
    connect(m_down, &QPushButton::clicked, this, &CD_AutoLoad::moveDown);
    connect(m_arrange, &QPushButton::clicked, this, &CD_AutoLoad::openNow);
    connect(m_add, &QPushButton::clicked, this, &CD_AutoLoad::add);
    connect(m_remove, &QPushButton::clicked, this, &CD_AutoLoad::remove);

    m_list.load(*m_settings);
    m_presences->setChecked(m_context->autoShowPresences != 0);
    fillList(-1);
    m_up->setEnabled(false);
    m_down->setEnabled(false);
    m_remove->setEnabled(false);
    resize(kColumnWidth + 60, 340);
}

bool CD_AutoLoad::eventFilter(QObject *watched, QEvent *event)
{
    // The buttons follow a click in the list; moving the selection with the keyboard counts
    // as one, so that the dialog works without a mouse.
    if ((watched == m_view->viewport() && event->type() == QEvent::MouseButtonRelease) ||
        (watched == m_view && event->type() == QEvent::KeyRelease))
        updateButtons();
    return QDialog::eventFilter(watched, event);
}

int CD_AutoLoad::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_view->selectedItems();
    return selected.isEmpty() ? -1 : m_view->indexOfTopLevelItem(selected.first());
}

void CD_AutoLoad::fillList(int selected)
{
    m_view->clear();
    for (const QString &p : m_list.paths())
        new QTreeWidgetItem(m_view, {p});
    if (selected >= 0 && selected < m_list.count()) {
        QTreeWidgetItem *item = m_view->topLevelItem(selected);
        m_view->setCurrentItem(item);
        item->setSelected(true);
        m_view->scrollToItem(item);
    }
}

void CD_AutoLoad::updateButtons()
{
    const bool any = !m_locked && selectedRow() >= 0;
    m_up->setEnabled(any);
    m_down->setEnabled(any);
    m_remove->setEnabled(any);
}

void CD_AutoLoad::add()
{
    const QStringList files = CPrompt::openFileNames(this, text("addCaption"), QString(),
                                                     CStringTable::text(QStringLiteral("dlg.autoload.filter")));
    if (files.isEmpty())
        return;
    const int selected = selectedRow();
    if (m_list.add(files) > 0)
        fillList(selected);
}

void CD_AutoLoad::remove()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_list.remove(row);
    fillList(-1);
}

void CD_AutoLoad::moveUp()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    fillList(m_list.moveUp(row));
}

void CD_AutoLoad::moveDown()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    fillList(m_list.moveDown(row));
}

void CD_AutoLoad::save()
{
    m_list.save(*m_settings, *m_context, m_presences->isChecked() ? 1 : 0, 0);
}

void CD_AutoLoad::openNow()
{
    save();
    if (m_openNow)
        m_openNow();
}

void CD_AutoLoad::accept()
{
    save();
    QDialog::accept();
}
