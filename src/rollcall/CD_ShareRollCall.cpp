#include "rollcall/CD_ShareRollCall.h"

#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"
#include "rollcall/CQrCode.h"
#include "rollcall/CRollCallServer.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <tuple>

namespace {

QString text(const char *key)
{
    return CStringTable::text(QLatin1String(key));
}

const QString kSection = QStringLiteral("RollCall");

// "192.168.1.10 (wlan0)": the interface tells the user which network a phone must be on.
QString describe(const QHostAddress &address)
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry &e : i.addressEntries())
            if (e.ip() == address)
                return QStringLiteral("%1 (%2)").arg(address.toString(), i.humanReadableName());
    return address.toString();
}

} // namespace

CD_ShareRollCall::CD_ShareRollCall(CRollCallServer *server, CSettings *settings, QWidget *parent)
    : QDialog(parent), m_server(server), m_settings(settings), m_pages(new QStackedWidget(this)),
      m_addresses(new QListWidget(this)), m_port(new QSpinBox(this)), m_names(new QLineEdit(this)),
      m_certificate(new QLineEdit(this)), m_key(new QLineEdit(this)), m_note(new QLabel(this)),
      m_code(new QLabel(this)), m_codeAddress(new QComboBox(this)), m_url(new QLineEdit(this))
{
    setObjectName(QStringLiteral("shareRollCallDialog"));
    setWindowTitle(text("rollcall.shareTitle"));

    // The choice: addresses and port.
    auto *choose = new QWidget(m_pages);
    m_addresses->setObjectName(QStringLiteral("shareAddresses"));
    const QStringList stored =
        settings ? settings->readText(kSection, QStringLiteral("ShareAddresses")).split(u',', Qt::SkipEmptyParts)
                 : QStringList();
    // The loopback address is offered last, for a look at the page on this computer.
    m_offered = CRollCallServer::networkAddresses() << QHostAddress(QHostAddress::LocalHost);
    for (const QHostAddress &a : m_offered) {
        auto *item = new QListWidgetItem(describe(a), m_addresses);
        // Nothing listens where the user did not tick: at first only the site's own network.
        const bool on = stored.isEmpty() ? CRollCallServer::suggested(a) : stored.contains(a.toString());
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    m_addresses->setCurrentRow(0);
    m_addresses->setMaximumHeight(m_addresses->fontMetrics().height() * 7);
    m_port->setObjectName(QStringLiteral("sharePort"));
    m_port->setRange(1024, 65535);
    m_port->setValue(settings ? settings->readInt(kSection, QStringLiteral("SharePort"))
                              : CRollCallServer::kDefaultPort);
    auto *addressesLabel = new QLabel(text("rollcall.shareAddresses"), choose);
    addressesLabel->setBuddy(m_addresses);
    auto *portLabel = new QLabel(text("rollcall.sharePort"), choose);
    portLabel->setBuddy(m_port);
    auto *chooseLayout = new QVBoxLayout(choose);
    chooseLayout->addWidget(addressesLabel);
    chooseLayout->addWidget(m_addresses);
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(portLabel);
    portRow->addWidget(m_port);
    portRow->addStretch(1);
    chooseLayout->addLayout(portRow);
    // HTTPS with the site's certificate, and the names a reverse proxy uses.
    auto *more = new QFormLayout;
    m_names->setObjectName(QStringLiteral("shareNames"));
    m_names->setPlaceholderText(QStringLiteral("rollcall.site.example"));
    more->addRow(text("rollcall.shareNames"), m_names);
    for (auto [edit, key, name, caption] :
         {std::tuple{m_certificate, "rollcall.shareCertificate", "shareCertificate", "rollcall.shareCertificateTitle"},
          std::tuple{m_key, "rollcall.shareKey", "shareKey", "rollcall.shareKeyTitle"}}) {
        edit->setObjectName(QLatin1String(name));
        auto *row = new QHBoxLayout;
        row->addWidget(edit, 1);
        auto *browseButton = new QPushButton(text("rollcall.shareBrowse"), choose);
        connect(browseButton, &QPushButton::clicked, this, [this, e = edit, c = caption] { browse(e, c); });
        row->addWidget(browseButton);
        auto *label = new QLabel(text(key), choose);
        label->setBuddy(edit);
        more->addRow(label, row);
        connect(edit, &QLineEdit::textChanged, this, &CD_ShareRollCall::showNote);
    }
    if (settings) {
        m_names->setText(settings->readText(kSection, QStringLiteral("ShareNames")));
        m_certificate->setText(settings->readText(kSection, QStringLiteral("ShareCertificate")));
        m_key->setText(settings->readText(kSection, QStringLiteral("ShareKey")));
    }
    chooseLayout->addLayout(more);
    m_note->setObjectName(QStringLiteral("shareNote"));
    m_note->setWordWrap(true);
    chooseLayout->addWidget(m_note);
    showNote();
    m_start = new QPushButton(text("rollcall.shareStart"), choose);
    m_start->setObjectName(QStringLiteral("shareStart"));
    m_start->setDefault(true);
    chooseLayout->addWidget(m_start);
    chooseLayout->addStretch(1);
    connect(m_start, &QPushButton::clicked, this, &CD_ShareRollCall::startSharing);

    // While sharing: the code.
    auto *shared = new QWidget(m_pages);
    auto *scan = new QLabel(text("rollcall.shareScan"), shared);
    scan->setWordWrap(true);
    m_code->setObjectName(QStringLiteral("shareCode"));
    m_code->setAlignment(Qt::AlignCenter);
    m_code->setMinimumSize(280, 280);
    m_codeAddress->setObjectName(QStringLiteral("shareCodeAddress"));
    auto *codeLabel = new QLabel(text("rollcall.shareAddress"), shared);
    codeLabel->setBuddy(m_codeAddress);
    m_url->setObjectName(QStringLiteral("shareUrl"));
    m_url->setReadOnly(true);
    auto *copy = new QPushButton(text("rollcall.shareCopy"), shared);
    copy->setObjectName(QStringLiteral("shareCopy"));
    connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(m_url->text()); });
    m_stop = new QPushButton(text("rollcall.stopSharing"), shared);
    m_stop->setObjectName(QStringLiteral("shareStop"));
    connect(m_stop, &QPushButton::clicked, this, [this] { m_server->stop(); });
    auto *sharedLayout = new QVBoxLayout(shared);
    sharedLayout->addWidget(scan);
    sharedLayout->addWidget(m_code, 1);
    auto *row = new QHBoxLayout;
    row->addWidget(codeLabel);
    row->addWidget(m_codeAddress, 1);
    sharedLayout->addLayout(row);
    auto *urlRow = new QHBoxLayout;
    urlRow->addWidget(m_url, 1);
    urlRow->addWidget(copy);
    sharedLayout->addLayout(urlRow);
    sharedLayout->addWidget(m_stop);
    connect(m_codeAddress, &QComboBox::currentIndexChanged, this, &CD_ShareRollCall::showCode);

    m_pages->addWidget(choose);
    m_pages->addWidget(shared);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("shareClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    connect(m_server, &CRollCallServer::sharingChanged, this, &CD_ShareRollCall::showState);
    showState();
}

bool CD_ShareRollCall::startSharing()
{
    QList<QHostAddress> chosen;
    QStringList names;
    for (int i = 0; i < m_addresses->count(); ++i) {
        if (m_addresses->item(i)->checkState() == Qt::Checked) {
            chosen << m_offered.at(i);
            names << m_offered.at(i).toString();
        }
    }
    if (chosen.isEmpty()) {
        CPrompt::error(this, text("rollcall.noAddress"));
        return false;
    }
    QString why;
    std::optional<QSslConfiguration> tls;
    const QString certificate = m_certificate->text().trimmed(), key = m_key->text().trimmed();
    if (!certificate.isEmpty() || !key.isEmpty()) {
        QSslConfiguration c;
        if (certificate.isEmpty() || key.isEmpty())
            why = text("rollcall.shareBoth");
        else if (CRollCallServer::loadTls(certificate, key, &c, &why))
            tls = c;
        if (!tls) {
            CPrompt::error(this, text("rollcall.shareFailed").arg(why));
            return false;
        }
    }
    QStringList hostNames = m_names->text().split(u',', Qt::SkipEmptyParts);
    for (QString &n : hostNames)
        n = n.trimmed();
    m_server->setHostNames(hostNames);
    if (!m_server->start(chosen, quint16(m_port->value()), &why, tls)) {
        CPrompt::error(this, text("rollcall.shareFailed").arg(why));
        return false;
    }
    if (m_settings) {
        m_settings->writeInt(kSection, QStringLiteral("SharePort"), m_port->value());
        m_settings->writeText(kSection, QStringLiteral("ShareAddresses"), names.join(u','));
        m_settings->writeText(kSection, QStringLiteral("ShareNames"), hostNames.join(u','));
        m_settings->writeText(kSection, QStringLiteral("ShareCertificate"), certificate);
        m_settings->writeText(kSection, QStringLiteral("ShareKey"), key);
    }
    return true;
}

void CD_ShareRollCall::showState()
{
    const bool sharing = m_server->isSharing();
    m_pages->setCurrentIndex(sharing ? 1 : 0);
    const QSignalBlocker block(m_codeAddress);
    m_codeAddress->clear();
    for (const QHostAddress &a : m_server->addresses())
        m_codeAddress->addItem(a.toString());
    m_codeAddress->setEnabled(m_codeAddress->count() > 1);
    showCode();
    (sharing ? static_cast<QWidget *>(m_stop) : m_start)->setFocus();
}

void CD_ShareRollCall::showCode()
{
    const QList<QHostAddress> addresses = m_server->addresses();
    const int i = m_codeAddress->currentIndex();
    const QString url = i >= 0 && i < addresses.size() ? m_server->url(addresses.at(i)) : QString();
    m_url->setText(url);
    m_url->setCursorPosition(0);
    m_code->setPixmap(url.isEmpty() ? QPixmap() : QPixmap::fromImage(CQrCode::image(url, 7)));
}

void CD_ShareRollCall::showNote()
{
    // Said before anything is shared: who can read the names on the way.
    const bool secure = !m_certificate->text().trimmed().isEmpty() && !m_key->text().trimmed().isEmpty();
    m_note->setText(text(secure ? "rollcall.shareNoteHttps" : "rollcall.shareNote"));
}

void CD_ShareRollCall::browse(QLineEdit *edit, const char *captionKey)
{
    const QString path = CPrompt::openFileName(this, text(captionKey), edit->text(), text("rollcall.sharePemFiles"));
    if (!path.isEmpty())
        edit->setText(path);
}

QString CD_ShareRollCall::shownUrl() const
{
    return m_url->text();
}

QImage CD_ShareRollCall::qrImage() const
{
    return m_code->pixmap().toImage();
}
