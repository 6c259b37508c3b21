#include "dialogs/CD_FindName.h"

#include "app/CStringTable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
CD_FindName::TestHook &testHook()
{
    static CD_FindName::TestHook hook;
    return hook;
}
} // namespace

CD_FindName::CD_FindName(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("findNameDialog"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.find.title")));

    m_last = new QLineEdit(this);
    m_last->setObjectName(QStringLiteral("lastName"));
    m_first = new QLineEdit(this);
    m_first->setObjectName(QStringLiteral("firstName"));

    auto *form = new QFormLayout;
    auto *lastLabel = new QLabel(CStringTable::text(QStringLiteral("dlg.find.last")), this);
    lastLabel->setBuddy(m_last);
    auto *firstLabel = new QLabel(CStringTable::text(QStringLiteral("dlg.find.first")), this);
    firstLabel->setBuddy(m_first);
    form->addRow(lastLabel, m_last);
    form->addRow(firstLabel, m_first);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(CStringTable::text(QStringLiteral("dlg.find.ok")), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(CStringTable::text(QStringLiteral("dlg.find.cancel")), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(300);
    m_last->setFocus();
}

QString CD_FindName::lastName() const
{
    return m_last->text();
}

QString CD_FindName::firstName() const
{
    return m_first->text();
}

void CD_FindName::setNames(const QString &lastName, const QString &firstName)
{
    m_last->setText(lastName);
    m_first->setText(firstName);
}

int CD_FindName::run()
{
    if (testHook())
        return testHook()(*this);
    return exec();
}

void CD_FindName::setTestHook(TestHook hook)
{
    testHook() = std::move(hook);
}
