#include "dialogs/CConnectionBuilder.h"

#include "app/CStringTable.h"
#include "db/CConnectionString.h"
#include "db/CDbConnection.h"
#include "db/CDbWorker.h"
#include "db/COdbcCatalog.h"
#include "db/CSqlDialect.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CPrompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
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
    return CStringTable::text(QStringLiteral("dlg.builder.") + QLatin1String(key));
}

const QString kDsn = QStringLiteral("DSN");
const QString kDriver = QStringLiteral("Driver");
const QString kPort = QStringLiteral("Port");
const QString kTds = QStringLiteral("TDS_Version");
const QString kCharset = QStringLiteral("ClientCharset");

} // namespace

CConnectionBuilder::CConnectionBuilder(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("connectionBuilder"));
    setWindowTitle(text("title"));
    buildLayout();
}

// A test still waiting for a silent server is left to end on its own at the login time-out.
CConnectionBuilder::~CConnectionBuilder() = default;

void CConnectionBuilder::buildLayout()
{
    auto label = [this](const char *key, QWidget *buddy) {
        auto *l = new QLabel(text(key), this);
        l->setBuddy(buddy);
        return l;
    };
    m_dataSource = new QComboBox(this);
    m_dataSource->setObjectName(QStringLiteral("dataSource"));
    m_dataSource->addItem(text("noDataSource"), QString());
    for (const QString &dsn : COdbcCatalog::dataSources())
        m_dataSource->addItem(dsn, dsn);
    m_driver = new QComboBox(this);
    m_driver->setObjectName(QStringLiteral("driver"));
    m_driver->setEditable(true);
    m_driver->addItems(COdbcCatalog::drivers());
    m_driver->setInsertPolicy(QComboBox::NoInsert);
    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("server"));
    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), m_port));
    m_port->setMaximumWidth(80);
    m_database = new QLineEdit(this);
    m_database->setObjectName(QStringLiteral("database"));
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("user"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_tdsVersion = new QComboBox(this);
    m_tdsVersion->setObjectName(QStringLiteral("tdsVersion"));
    m_tdsVersion->setEditable(true);
    m_tdsVersion->addItems({QStringLiteral("7.3"), QStringLiteral("7.4"), QStringLiteral("8.0")});
    m_tdsVersion->setInsertPolicy(QComboBox::NoInsert);
    m_tdsVersion->setMaximumWidth(80);

    auto *form = new QFormLayout;
    form->addRow(label("dataSource", m_dataSource), m_dataSource);
    form->addRow(label("driver", m_driver), m_driver);
    form->addRow(label("server", m_server), m_server);
    form->addRow(label("port", m_port), m_port);
    form->addRow(label("database", m_database), m_database);
    form->addRow(label("user", m_user), m_user);
    form->addRow(label("password", m_password), m_password);
    m_tdsLabel = label("tdsVersion", m_tdsVersion);
    form->addRow(m_tdsLabel, m_tdsVersion);
    auto *fields = new QGroupBox(text("fields"), this);
    fields->setLayout(form);

    m_string = new QPlainTextEdit(this);
    m_string->setObjectName(QStringLiteral("connectionString"));
    m_string->setTabChangesFocus(true);
    m_string->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_string->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_string->setFixedHeight(m_string->fontMetrics().lineSpacing() * 4 + 12);
    auto *stringLabel = label("string", m_string);

    m_demo = new QPushButton(text("demo"), this);
    m_demo->setObjectName(QStringLiteral("demoButton"));
    m_demo->setAutoDefault(false);
    m_test = new QPushButton(text("test"), this);
    m_test->setObjectName(QStringLiteral("testButton"));
    m_test->setAutoDefault(false);
    m_testResult = new QLabel(this);
    m_testResult->setObjectName(QStringLiteral("testResult"));
    m_testResult->setTextFormat(Qt::PlainText); // the driver's message
    m_testResult->setWordWrap(true);
    m_testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for a driver's message of a few lines without the dialog changing its size.
    m_testResult->setMinimumHeight(m_testResult->fontMetrics().lineSpacing() * 5);
    m_testResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *actions = new QHBoxLayout;
    actions->addWidget(m_demo);
    actions->addStretch(1);
    actions->addWidget(m_test);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CConnectionBuilder::acceptIfUsable);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fields);
    layout->addWidget(stringLabel);
    layout->addWidget(m_string);
    layout->addLayout(actions);
    layout->addWidget(m_testResult);
    layout->addWidget(buttons);
    setMinimumWidth(520);

    connect(m_dataSource, &QComboBox::currentIndexChanged, this, &CConnectionBuilder::dataSourceChosen);
    connect(m_driver, &QComboBox::currentTextChanged, this, &CConnectionBuilder::driverChosen);
    for (QLineEdit *e : {m_server, m_port, m_database, m_user, m_password})
        connect(e, &QLineEdit::textEdited, this, &CConnectionBuilder::fieldsEdited);
    connect(m_tdsVersion, &QComboBox::currentTextChanged, this, &CConnectionBuilder::fieldsEdited);
    connect(m_string, &QPlainTextEdit::textChanged, this, &CConnectionBuilder::stringEdited);
    connect(m_demo, &QPushButton::clicked, this, &CConnectionBuilder::chooseDemo);
    connect(m_test, &QPushButton::clicked, this, &CConnectionBuilder::testConnection);
}

void CConnectionBuilder::load(const QString &connectionString)
{
    m_text = connectionString.trimmed();
    m_testResult->clear();
    fillFields();
    showString();
    updateButtons();
}

bool CConnectionBuilder::New()
{
    m_mode = NewSource;
    // A new source starts as a SQL Server through FreeTDS, the client Linux has.
    CConnectionString cs;
    cs.setValue(kDriver, COdbcCatalog::freeTdsDriver());
    cs.setValue(kPort, QStringLiteral("1433"));
    cs.setValue(kTds, QStringLiteral("7.4"));
    cs.setValue(kCharset, QStringLiteral("UTF-8"));
    load(cs.toString());
    if (run())
        return true;
    m_result.clear();
    return false;
}

bool CConnectionBuilder::Edit(const QString &connectionString)
{
    m_mode = EditSource;
    load(connectionString);
    return run();
}

bool CConnectionBuilder::run()
{
    m_server->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    m_result = m_text;
    return true;
}

void CConnectionBuilder::fillFields()
{
    const CConnectionString cs(m_text);
    m_updating = true;
    const QString dsnName = cs.value(kDsn);
    // A data source that is not installed here still belongs to the string: it is shown in one
    // extra entry, replaced as the name is typed, never one entry per keystroke.
    if (m_typedDataSource >= 0) {
        m_dataSource->removeItem(m_typedDataSource);
        m_typedDataSource = -1;
    }
    const int dsn = dsnName.isEmpty() ? 0 : m_dataSource->findData(dsnName, Qt::UserRole, Qt::MatchFixedString);
    if (dsn >= 0) {
        m_dataSource->setCurrentIndex(dsn);
    } else {
        m_dataSource->addItem(dsnName, dsnName);
        m_typedDataSource = m_dataSource->count() - 1;
        m_dataSource->setCurrentIndex(m_typedDataSource);
    }
    m_driver->setCurrentText(cs.value(kDriver));
    m_server->setText(cs.value(CConnectionString::serverKeys()));
    m_port->setText(cs.value(kPort));
    m_database->setText(cs.value(CConnectionString::databaseKeys()));
    m_user->setText(cs.value(CConnectionString::userKeys()));
    m_password->setText(cs.value(CConnectionString::passwordKeys()));
    m_tdsVersion->setCurrentText(cs.value(kTds));
    const bool tds = COdbcCatalog::isFreeTds(m_driver->currentText());
    m_tdsVersion->setEnabled(tds);
    m_tdsLabel->setEnabled(tds);
    m_updating = false;
}

void CConnectionBuilder::showString()
{
    m_updating = true;
    m_string->setPlainText(CConnectionString::masked(m_text));
    m_updating = false;
}

void CConnectionBuilder::dataSourceChosen()
{
    if (m_updating)
        return;
    // A data source names its driver itself.
    if (!m_dataSource->currentData().toString().isEmpty() && !m_driver->currentText().isEmpty()) {
        m_updating = true;
        m_driver->setCurrentText(QString());
        m_updating = false;
    }
    fieldsEdited();
}

void CConnectionBuilder::driverChosen()
{
    if (m_updating)
        return;
    // A driver typed or picked replaces the data source.
    if (!m_driver->currentText().trimmed().isEmpty() && m_dataSource->currentIndex() != 0) {
        m_updating = true;
        m_dataSource->setCurrentIndex(0);
        m_updating = false;
    }
    const bool tds = COdbcCatalog::isFreeTds(m_driver->currentText());
    m_tdsVersion->setEnabled(tds);
    m_tdsLabel->setEnabled(tds);
    if (tds) {
        // Older protocol versions send dates as text, and names need UTF-8 to keep their
        // diacritics.
        if (m_tdsVersion->currentText().isEmpty()) {
            m_updating = true;
            m_tdsVersion->setCurrentText(QStringLiteral("7.4"));
            m_updating = false;
        }
        CConnectionString cs(m_text);
        if (!cs.contains({kCharset})) {
            cs.setValue(kCharset, QStringLiteral("UTF-8"));
            m_text = cs.toString();
        }
    }
    fieldsEdited();
}

void CConnectionBuilder::fieldsEdited()
{
    if (m_updating)
        return;
    CConnectionString cs(m_text);
    const QString dsn = m_dataSource->currentData().toString();
    const QString driver = m_driver->currentText().trimmed();
    // An ODBC source replaces the demo's SQLite keys, which would otherwise win over it.
    if (!dsn.isEmpty() || !driver.isEmpty())
        cs.setValue({QStringLiteral("Provider"), QStringLiteral("Data Source")}, QString());
    cs.setValue(kDsn, dsn);
    cs.setValue(kDriver, driver);
    cs.setValue(CConnectionString::serverKeys(), m_server->text().trimmed());
    cs.setValue(kPort, m_port->text().trimmed());
    cs.setValue(CConnectionString::databaseKeys(), m_database->text().trimmed());
    cs.setValue(CConnectionString::userKeys(), m_user->text().trimmed());
    // A password may begin or end with blanks: taken as typed.
    cs.setValue(CConnectionString::passwordKeys(), m_password->text());
    cs.setValue(kTds, m_tdsVersion->isEnabled() ? m_tdsVersion->currentText().trimmed() : QString());
    m_text = cs.toString();
    m_testResult->clear();
    showString();
    updateButtons();
}

void CConnectionBuilder::stringEdited()
{
    if (m_updating)
        return;
    const QString typed = m_string->toPlainText().trimmed();
    CConnectionString cs(typed);
    const QString password = cs.value(CConnectionString::passwordKeys());
    if (password == CConnectionString::kMask) {
        // The mask stands for the password of the field, which the view never shows.
        cs.setValue(CConnectionString::passwordKeys(), m_password->text());
        m_text = cs.toString();
    } else {
        m_text = typed;
    }
    m_testResult->clear();
    fillFields();
    updateButtons();
}

void CConnectionBuilder::chooseDemo()
{
    QString path, error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = CDemoDatabase::ensure(&path, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        CPrompt::error(this,
                       CStringTable::text(QStringLiteral("mainframe.demoFailed")).replace(QLatin1String("%s"), error));
        return;
    }
    load(CDemoDatabase::connectionString(path));
}

void CConnectionBuilder::acceptIfUsable()
{
    // Never stored to be misread at the next start (the demo taken for the server meant).
    if (!CSqlDialect::target(m_text).error.isEmpty()) {
        CPrompt::error(this, text("conflict"));
        return;
    }
    accept();
}

void CConnectionBuilder::updateButtons()
{
    const bool any = !m_text.isEmpty();
    m_ok->setEnabled(any);
    m_test->setEnabled(any && !isTesting());
}

bool CConnectionBuilder::isTesting() const
{
    // Not the worker's busy state: the completion may arrive before the worker has noted the
    // job's end.
    return m_testing;
}

void CConnectionBuilder::testConnection()
{
    if (m_text.isEmpty() || isTesting())
        return;
    if (!m_worker)
        m_worker = std::make_unique<CDbWorker>(nullptr);
    struct Outcome
    {
        bool ok = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const QString cs = m_text;
    m_testing = true;
    m_testResult->setText(text("testing"));
    // A connection of its own on the worker's thread, with the program's login time-out.
    m_worker->run(
        [cs, outcome] {
            CDbConnection conn;
            outcome->ok = conn.open(cs);
            if (!outcome->ok)
                outcome->error = conn.lastErrorDescription();
            conn.close();
            conn.releaseThread();
        },
        [this, outcome] {
            m_testing = false;
            if (outcome->ok)
                m_testResult->setText(text("testOk"));
            else
                m_testResult->setText(text("testFailed").replace(QLatin1String("%s"), outcome->error));
            updateButtons();
            emit testFinished(outcome->ok);
        });
    updateButtons();
}
