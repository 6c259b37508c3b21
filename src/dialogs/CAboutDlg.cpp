#include "dialogs/CAboutDlg.h"

#include "app/CStringTable.h"
#include "app/CVersion.h"
#include "db/CConnectionString.h"
#include "db/CSqlDialect.h"
#include "views/CIconSet.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace {
QString text(const char *key)
{
    return CStringTable::text(QStringLiteral("dlg.about.") + QLatin1String(key));
}
constexpr int kWidth = 400;
} // namespace

CAboutDlg::CAboutDlg(const QString &connectionString, bool connected, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(text("title"));

    auto *banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setPixmap(CIconSet::bannerPixmap(kWidth, 72));
    banner->setFixedSize(kWidth, 72);

    auto *icon = new QLabel(this);
    icon->setPixmap(CIconSet::applicationIcon().pixmap(32, 32));
    auto *versionLabel = new QLabel(text("version"), this);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("versionText"));
    setVersionText(CVersion::text());

    auto *qtLabel = new QLabel(text("qt"), this);
    auto *qtVersion = new QLabel(QString::fromLatin1(qVersion()), this);
    qtVersion->setObjectName(QStringLiteral("qtVersion"));
    auto *databaseLabel = new QLabel(text("database"), this);
    QString database = CConnectionString::describe(connectionString);
    if (database.isEmpty())
        database = text("noDatabase");
    else if (!connected)
        database += u'\n' + text("notConnected");
    m_database = new QLabel(database, this);
    m_database->setObjectName(QStringLiteral("databaseText"));
    m_database->setTextFormat(Qt::PlainText); // the server's and the database's names
    m_database->setWordWrap(true);
    m_database->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The program links GPL-3 libraries (Qt HTTP Server), so the whole is under the GPL.
    auto *licenceLabel = new QLabel(text("licence"), this);
    auto *licence = new QLabel(text("licenceName"), this);
    licence->setObjectName(QStringLiteral("licenceText"));
    licence->setWordWrap(true);
    auto *warranty = new QLabel(text("warranty"), this);
    warranty->setObjectName(QStringLiteral("warrantyText"));
    warranty->setWordWrap(true);

    auto *grid = new QGridLayout;
    grid->addWidget(versionLabel, 0, 0);
    grid->addWidget(m_version, 0, 1);
    grid->addWidget(icon, 0, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(qtLabel, 1, 0);
    grid->addWidget(qtVersion, 1, 1);
    grid->addWidget(databaseLabel, 2, 0, Qt::AlignTop);
    grid->addWidget(m_database, 2, 1, 1, 2);
    grid->addWidget(licenceLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(licence, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(12);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *product = new QLabel(text("product"), this);
    product->setObjectName(QStringLiteral("productName"));
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(product);
    bottom->addSpacing(24);
    bottom->addWidget(buttons);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 12);
    body->addLayout(grid);
    body->addSpacing(6);
    body->addWidget(warranty);
    body->addSpacing(8);
    body->addWidget(line);
    body->addLayout(bottom);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner);
    layout->addLayout(body);
    setFixedWidth(kWidth);
}

void CAboutDlg::setVersionText(const QString &version)
{
    m_version->setText(version);
}

QString CAboutDlg::versionText() const
{
    return m_version->text();
}

QString CAboutDlg::databaseText() const
{
    return m_database->text();
}
