#include "dialogs/CD_Database.h"

#include "app/CConnectionStore.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "db/CConnectionString.h"
#include "dialogs/CConnectionBuilder.h"
#include "dialogs/CLockedNote.h"
#include "dialogs/CPrompt.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
QString text(const char *key)
{
    return CStringTable::text(QStringLiteral("dlg.database.") + QLatin1String(key));
}
const QString kSettings = QStringLiteral("Settings");
} // namespace

CD_Database::CD_Database(CSettings *settings, const QString &connectionString, int refreshSeconds, QWidget *parent,
                         const QString &runOnlyConnection)
    : QDialog(parent), m_settings(settings), m_connection(connectionString), m_initialConnection(connectionString)
{
    setObjectName(QStringLiteral("databaseDialog"));
    setWindowTitle(text("title"));

    m_connectionView = new QPlainTextEdit(this);
    m_connectionView->setObjectName(QStringLiteral("connectionString"));
    m_connectionView->setReadOnly(true);
    m_connectionView->setTabChangesFocus(true);
    m_connectionView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_connectionView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_connectionView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_connectionView->setFixedHeight(m_connectionView->fontMetrics().lineSpacing() * 4 + 12);
    m_change = new QPushButton(text("change"), this);
    m_change->setObjectName(QStringLiteral("changeButton"));
    m_change->setAutoDefault(false);
    auto *connectionBox = new QGroupBox(text("connection"), this);
    auto *connectionLayout = new QVBoxLayout(connectionBox);
    if (!runOnlyConnection.isEmpty()) {
        // Plain text: the string came from the command line, and only its password is hidden.
        auto *runOnly = new QLabel(text("runOnly").arg(CConnectionString::masked(runOnlyConnection)), connectionBox);
        runOnly->setObjectName(QStringLiteral("runOnlyConnection"));
        runOnly->setTextFormat(Qt::PlainText);
        runOnly->setWordWrap(true);
        runOnly->setTextInteractionFlags(Qt::TextSelectableByMouse);
        connectionLayout->addWidget(runOnly);
        connectionLayout->addWidget(new QLabel(text("stored"), connectionBox));
    }
    connectionLayout->addWidget(m_connectionView);
    auto *changeRow = new QHBoxLayout;
    if (m_settings->isLocked(kSettings, QStringLiteral("Connection"))) {
        m_change->setEnabled(false);
        changeRow->addWidget(new CLockedNote(QStringLiteral("connectionLocked"), connectionBox));
    }
    changeRow->addStretch(1);
    changeRow->addWidget(m_change);
    connectionLayout->addLayout(changeRow);

    m_refresh = new QLineEdit(QString::number(refreshSeconds), this);
    m_refresh->setObjectName(QStringLiteral("refresh"));
    // Digits only; a number too long for the interval is refused on OK.
    m_refresh->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_refresh));
    m_refresh->setMaximumWidth(80);
    auto *seconds = new QLabel(text("seconds"), this);
    seconds->setBuddy(m_refresh);
    auto *refreshBox = new QGroupBox(text("refresh"), this);
    auto *refreshLayout = new QHBoxLayout(refreshBox);
    refreshLayout->addWidget(m_refresh);
    refreshLayout->addWidget(seconds, 1);
    if (m_settings->isLocked(kSettings, QStringLiteral("Refresh"))) {
        m_refresh->setEnabled(false);
        refreshLayout->addWidget(new CLockedNote(QStringLiteral("refreshLocked"), refreshBox));
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CD_Database::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_change, &QPushButton::clicked, this, &CD_Database::change);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(connectionBox);
    layout->addWidget(refreshBox);
    layout->addWidget(buttons);
    setMinimumWidth(440);
    showConnection();
    m_refresh->setFocus();
}

void CD_Database::showConnection()
{
    m_connectionView->setPlainText(CConnectionString::masked(m_connection));
}

int CD_Database::refreshSeconds(bool *ok) const
{
    bool valid = false;
    const int value = m_refresh->text().trimmed().toInt(&valid);
    if (ok)
        *ok = valid;
    return valid ? value : 0;
}

void CD_Database::change()
{
    CConnectionBuilder builder(this);
    const bool confirmed = m_connection.isEmpty() ? builder.New() : builder.Edit(m_connection);
    if (!confirmed)
        return;
    m_connection = builder.connectionString();
    showConnection();
}

void CD_Database::accept()
{
    bool ok = false;
    const int refresh = refreshSeconds(&ok);
    if (!ok) {
        CPrompt::message(this, text("notNumber"), QMessageBox::Ok, QMessageBox::Warning);
        m_refresh->setFocus();
        m_refresh->selectAll();
        return;
    }
    // Only what the user changed, so that values the administrator presets keep applying (a
    // locked value is not written at all).
    m_settings->writeIntIfChanged(kSettings, QStringLiteral("Refresh"), refresh);
    const QString stored = m_settings->readText(kSettings, QStringLiteral("Connection"));
    if (m_connection != m_initialConnection ||
        (stored != m_connection && stored != CConnectionStore::withoutPassword(m_connection)))
        m_kept = CConnectionStore::store(*m_settings, m_connection);
    m_settings->writeInt(kSettings, QStringLiteral("KRVersion"), 1);
    m_settings->sync();
    QDialog::accept();
}
