#include "dialogs/CD_NameFormat.h"

#include "app/CStringTable.h"
#include "dialogs/CLockedNote.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QString text(const char *key)
{
    return CStringTable::text(QStringLiteral("dlg.nameFormat.") + QLatin1String(key));
}
} // namespace

CD_NameFormat::CD_NameFormat(int format, QWidget *parent, bool locked) : QDialog(parent)
{
    setObjectName(QStringLiteral("nameFormatDialog"));
    setWindowTitle(text("title"));
    m_lastFirst = new QRadioButton(text("lastFirst"), this);
    m_lastFirst->setObjectName(QStringLiteral("lastFirst"));
    m_firstLast = new QRadioButton(text("firstLast"), this);
    m_firstLast->setObjectName(QStringLiteral("firstLast"));
    auto *group = new QButtonGroup(this);
    group->addButton(m_lastFirst, 0);
    group->addButton(m_firstLast, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lastFirst);
    layout->addWidget(m_firstLast);
    if (locked) {
        m_lastFirst->setEnabled(false);
        m_firstLast->setEnabled(false);
        layout->addWidget(new CLockedNote(QStringLiteral("nameFormatLocked"), this));
    }
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(300);
    setFormat(format);
}

int CD_NameFormat::format() const
{
    return m_firstLast->isChecked() ? 1 : 0;
}

void CD_NameFormat::setFormat(int format)
{
    (format == 1 ? m_firstLast : m_lastFirst)->setChecked(true);
    (format == 1 ? m_firstLast : m_lastFirst)->setFocus();
}
