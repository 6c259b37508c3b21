#include "views/CConnectionDialog.h"

#include "app/CStringTable.h"
#include "db/CDemoDatabase.h"
#include "dialogs/CPrompt.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CConnectionDialog::CConnectionDialog(QWidget *parent, const QString &initial) : QDialog(parent)
{
    setObjectName(QStringLiteral("connectionDialog"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.connection.title")));
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(CStringTable::text(QStringLiteral("dlg.connection.prompt")), this);
    m_edit = new QLineEdit(initial, this);
    m_edit->setObjectName(QStringLiteral("connectionEdit"));
    m_edit->setPlaceholderText(CStringTable::text(QStringLiteral("dlg.connection.placeholder")));
    m_edit->setMinimumWidth(460);
    prompt->setBuddy(m_edit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *demo =
        buttons->addButton(CStringTable::text(QStringLiteral("dlg.connection.demo")), QDialogButtonBox::ActionRole);
    demo->setObjectName(QStringLiteral("demoButton"));
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(demo, &QPushButton::clicked, this, &CConnectionDialog::chooseDemo);
    connect(m_edit, &QLineEdit::textChanged, this, &CConnectionDialog::updateOk);
    updateOk();
}

QString CConnectionDialog::connectionString() const
{
    return m_edit->text().trimmed();
}

void CConnectionDialog::updateOk()
{
    m_ok->setEnabled(!connectionString().isEmpty());
}

QString CConnectionDialog::sqliteConnectionString(const QString &path)
{
    return QStringLiteral("Provider=SQLite;Data Source=%1").arg(path);
}

QString CConnectionDialog::demoConnectionString(QWidget *parent)
{
    QString path, error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = CDemoDatabase::ensure(&path, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        CPrompt::error(parent,
                       CStringTable::text(QStringLiteral("mainframe.demoFailed")).replace(QLatin1String("%s"), error));
        return QString();
    }
    return sqliteConnectionString(path);
}

void CConnectionDialog::chooseDemo()
{
    const QString cs = demoConnectionString(this);
    if (!cs.isEmpty())
        m_edit->setText(cs);
}

QString CConnectionDialog::getConnectionString(QWidget *parent, const QString &initial)
{
    CConnectionDialog dlg(parent, initial);
    return dlg.exec() == QDialog::Accepted ? dlg.connectionString() : QString();
}
