#include "dialogs/CD_Language.h"

#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "dialogs/CLockedNote.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kLanguage = QStringLiteral("Language");

CD_Language::TestHook &testHook()
{
    static CD_Language::TestHook hook;
    return hook;
}
} // namespace

CD_Language::CD_Language(const QStringList &languages, CSettings *settings, bool warnIfNone, QWidget *parent,
                         const QString &inUse)
    : QDialog(parent), m_settings(settings), m_warn(warnIfNone)
{
    setObjectName(QStringLiteral("languageDialog"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.1048.title")));
    // The dialog's own default is empty, unlike start-up's: with nothing stored the language of
    // this run is selected (the first entry when it is not listed).
    if (m_settings)
        m_language = m_settings->readText(kSection, kLanguage, QString());

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("languages"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->addItems(languages);
    int selected = -1;
    const QString wanted = m_language.isEmpty() ? inUse : m_language;
    for (int i = 0; i < languages.size(); ++i)
        if (languages.at(i) == wanted)
            selected = i;
    if (selected < 0 && !languages.isEmpty())
        selected = 0;
    if (selected >= 0)
        m_list->setCurrentRow(selected);
    auto *label = new QLabel(CStringTable::text(QStringLiteral("dlg.1048.label")), this);
    label->setBuddy(m_list);

    m_warningBox = new QCheckBox(CStringTable::text(QStringLiteral("dlg.1048.1045")), this);
    m_warningBox->setObjectName(QStringLiteral("warnIfNone"));
    m_warningBox->setChecked(warnIfNone);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(CStringTable::text(QStringLiteral("dlg.1048.1")), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(CStringTable::text(QStringLiteral("dlg.1048.2")), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    // Set in the system settings: shown, not changeable.
    if (m_settings && m_settings->isLocked(kSection, kLanguage)) {
        m_list->setEnabled(false);
        layout->addWidget(new CLockedNote(QStringLiteral("languageLocked"), this));
    }
    m_warningBox->setEnabled(!m_settings || !m_settings->isLocked(kSection, QStringLiteral("LangWarning")));
    layout->addWidget(m_warningBox);
    layout->addWidget(buttons);
    setMinimumSize(280, 260);
    m_list->setFocus();
}

void CD_Language::accept()
{
    m_warn = m_warningBox->isChecked();
    const QListWidgetItem *item = m_list->currentItem();
    const QString chosen = item ? item->text() : QString();
    m_changed = chosen != m_language && !(m_settings && m_settings->isLocked(kSection, kLanguage));
    // Stored even when unchanged, so a default that was only implied becomes explicit.
    if (m_settings) {
        m_settings->writeText(kSection, kLanguage, chosen);
        m_settings->sync();
    }
    QDialog::accept();
}

int CD_Language::run()
{
    if (testHook())
        return testHook()(*this);
    return exec();
}

void CD_Language::setTestHook(TestHook hook)
{
    testHook() = std::move(hook);
}
