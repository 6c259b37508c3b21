#include "views/CStatusPanes.h"

#include "app/CStringTable.h"
#include "live/CLiveStatus.h"
#include "views/CIconSet.h"
#include "views/CPeopleWindow.h"
#include "views/CSteadyText.h"

#include <QLabel>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolButton>

namespace {
QLabel *pane(const char *name, QStatusBar *bar)
{
    auto *label = new QLabel(bar);
    label->setObjectName(QLatin1String(name));
    label->setContentsMargins(4, 0, 8, 0);
    label->hide();
    return label;
}
} // namespace

CStatusPanes::CStatusPanes(QStatusBar *bar) : QObject(bar), m_bar(bar)
{
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setMinimumHeight(20);
    m_connection = new QLabel(bar);
    m_connection->setObjectName(QStringLiteral("connectionPane"));
    m_connection->setFixedSize(CIconSet::kIconSize + 4, CIconSet::kIconSize);
    m_connection->setAlignment(Qt::AlignCenter);
    // The message pane takes the status tips itself (showTip), so the icon pane stays visible
    // at the left.
    m_message = new QLabel(CStringTable::text(QStringLiteral("mainframe.ready")), bar);
    m_message->setObjectName(QStringLiteral("messagePane"));
    m_headCount = pane("headCountPane", bar);
    // Who has not come in today: a button, since a click lists them.
    m_notYetInButton = new QToolButton(bar);
    m_notYetInButton->setObjectName(QStringLiteral("notYetInButton"));
    m_notYetInButton->setAutoRaise(true);
    m_notYetInButton->setToolTip(CStringTable::text(QStringLiteral("notyetin.tip")));
    m_notYetInButton->hide();
    connect(m_notYetInButton, &QToolButton::clicked, this, &CStatusPanes::showNotYetIn);
    m_warnings = pane("warningsPane", bar);
    m_logProblem = pane("logProblemPane", bar);
    m_logProblem->setText(CStringTable::text(QStringLiteral("warning.logPane")));
    m_logProblem->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
    m_soundProblem = pane("soundProblemPane", bar);
    m_soundProblem->setTextFormat(Qt::PlainText);
    m_soundProblem->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
    bar->addWidget(m_connection);
    bar->addWidget(m_headCount);
    bar->addWidget(m_notYetInButton);
    bar->addWidget(m_warnings);
    bar->addWidget(m_logProblem);
    bar->addWidget(m_soundProblem);
    bar->addWidget(m_message, 1);
}

void CStatusPanes::setConnected(bool connected)
{
    m_connection->setPixmap(CIconSet::statusIcon(connected));
    m_connection->setToolTip(S(connected ? 1041 : 1040));
}

void CStatusPanes::setLiveStatus(CLiveStatus *status)
{
    if (m_status)
        disconnect(m_status, nullptr, this, nullptr);
    m_status = status;
    if (status)
        connect(status, &CLiveStatus::changed, this, &CStatusPanes::showHeadCount);
    showHeadCount();
}

QString CStatusPanes::headCountText(int onSite, int guests, const CLiveStatus *status)
{
    if (onSite < 0)
        return QString();
    if (status && !status->isCurrent())
        return CStringTable::text(QStringLiteral("headcount.stale")).arg(onSite).arg(guests).arg(status->asOfText());
    return CStringTable::text(QStringLiteral("headcount.text")).arg(onSite).arg(guests);
}

QString CStatusPanes::headCountText() const
{
    return headCountText(m_onSite, m_guests, m_status);
}

void CStatusPanes::setHeadCount(int onSite, int guests, const QString &departments)
{
    m_onSite = onSite;
    m_guests = guests;
    // Department names come from the database: shown as written, never as markup.
    m_headCount->setToolTip(departments.isEmpty() ? QString()
                                                  : Qt::convertFromPlainText(departments, Qt::WhiteSpaceNormal));
    showHeadCount();
}

void CStatusPanes::showHeadCount()
{
    CSteadyText::set(m_headCount, headCountText());
    m_headCount->setVisible(m_onSite >= 0);
}

void CStatusPanes::setSoundProblem(const QString &text)
{
    m_soundProblem->setText(text);
    m_soundProblem->setVisible(!text.isEmpty());
}

void CStatusPanes::setOpenWarnings(int count)
{
    m_warnings->setText(CStringTable::text(QStringLiteral("warning.openCount")).arg(count));
    m_warnings->setVisible(count > 0);
}

void CStatusPanes::setLogProblem(const QString &text)
{
    m_logProblem->setToolTip(text);
    m_logProblem->setVisible(!text.isEmpty());
}

void CStatusPanes::setNotYetIn(const QList<CRollCallModel::Person> &people, const CRollCallModel::Delta *delta,
                               quint64 serial)
{
    const bool follows = delta && serial != 0 && serial == m_notYetInSerial + 1;
    m_notYetInSerial = serial;
    m_notYetIn = people;
    CSteadyText::set(m_notYetInButton, CStringTable::text(QStringLiteral("notyetin.text")).arg(people.size()));
    m_notYetInButton->show();
    if (!m_notYetInWindow)
        return;
    if (follows)
        m_notYetInWindow->changePeople(*delta, people);
    else
        m_notYetInWindow->setPeople(people);
}

void CStatusPanes::showTip(const QString &tip)
{
    m_message->setText(tip.isEmpty() ? CStringTable::text(QStringLiteral("mainframe.ready")) : tip);
}

void CStatusPanes::showNotYetIn()
{
    if (!m_notYetInWindow)
        m_notYetInWindow = new CPeopleWindow(CStringTable::text(QStringLiteral("notyetin.title")), m_bar->window());
    m_notYetInWindow->setPeople(m_notYetIn);
    m_notYetInWindow->show();
    m_notYetInWindow->raise();
    m_notYetInWindow->activateWindow();
}
