#include "views/CStatusLine.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "live/CLiveStatus.h"
#include "views/CStatusPanes.h"
#include "views/CSteadyText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace {
QLabel *part(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

CStatusLine::CStatusLine(QWidget *parent)
    : QFrame(parent), m_clock(part("statusLineClock", this)), m_headCount(part("statusLineHeadCount", this)),
      m_warnings(part("statusLineWarnings", this)), m_sound(part("statusLineSound", this)),
      m_connection(part("statusLineConnection", this)), m_tick(new QTimer(this))
{
    setObjectName(QStringLiteral("statusLine"));
    // Light text on a dark strip: it reads on any panel background and does not look like a tablet.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x26, 0x32, 0x38));
    pal.setColor(QPalette::WindowText, QColor(0xec, 0xef, 0xf1));
    setPalette(pal);
    m_warnings->setStyleSheet(QStringLiteral("color: #ffb4ab; font-weight: bold;"));
    m_sound->setStyleSheet(QStringLiteral("color: #ffb4ab; font-weight: bold;"));
    m_baseFont = font();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 2, 10, 2);
    layout->setSpacing(24);
    m_clock->setFont([this] {
        QFont f = font();
        f.setBold(true);
        return f;
    }());
    layout->addWidget(m_clock);
    layout->addWidget(m_headCount);
    layout->addWidget(m_warnings);
    layout->addWidget(m_sound);
    layout->addStretch(1);
    layout->addWidget(m_connection);
    // The clock moves with the minute; a second's tick keeps it within one of the wall's own.
    m_tick->setInterval(1000);
    connect(m_tick, &QTimer::timeout, this, [this] { m_clock->setText(clockText()); });
    m_tick->start();
    m_sound->hide();
    refresh();
}

void CStatusLine::setLiveStatus(CLiveStatus *status)
{
    if (m_status)
        disconnect(m_status, nullptr, this, nullptr);
    m_status = status;
    if (status)
        connect(status, &CLiveStatus::changed, this, &CStatusLine::refresh);
    refresh();
}

void CStatusLine::setHeadCount(int onSite, int guests)
{
    m_onSite = onSite;
    m_guests = guests;
    refresh();
}

void CStatusLine::setOpenWarnings(int count)
{
    m_openWarnings = count;
    refresh();
}

void CStatusLine::setSoundProblem(const QString &text)
{
    m_sound->setText(text);
    m_sound->setVisible(!text.isEmpty());
}

void CStatusLine::setConnected(bool connected)
{
    m_connected = connected;
    refresh();
}

void CStatusLine::setScale(qreal factor)
{
    factor = qMax<qreal>(1.0, factor);
    if (qFuzzyCompare(factor, m_scale))
        return;
    m_scale = factor;
    applyScale();
}

QSize CStatusLine::minimumSizeHint() const
{
    return QSize(0, sizeHint().height());
}

void CStatusLine::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    applyScale();
}

void CStatusLine::applyScale()
{
    // As large as asked while the parts fit side by side; smaller, down to the window's own
    // font, where they would not.
    setFonts(m_scale);
    const int wanted = layout()->sizeHint().width();
    if (width() > 0 && wanted > width() && m_scale > 1.0)
        setFonts(qMax<qreal>(1.0, m_scale * width() / wanted));
}

void CStatusLine::setFonts(qreal factor)
{
    for (QLabel *label : findChildren<QLabel *>()) {
        QFont f = m_baseFont;
        f.setBold(label == m_clock);
        if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * factor);
        else
            f.setPixelSize(qRound(f.pixelSize() * factor));
        label->setFont(f);
    }
    CSteadyText::fit(m_headCount);
}

QString CStatusLine::clockText() const
{
    return CClock::now().toString(QStringLiteral("HH:mm"));
}

QString CStatusLine::headCountText() const
{
    return CStatusPanes::headCountText(m_onSite, m_guests, m_status);
}

QString CStatusLine::warningsText() const
{
    return m_openWarnings > 0 ? CStringTable::text(QStringLiteral("warning.openCount")).arg(m_openWarnings) : QString();
}

QString CStatusLine::connectionText() const
{
    // Not current is said with since and as of, as on every window; a lost connection the
    // cycles have not judged yet, plainly.
    if (m_status && !m_status->isCurrent())
        return QStringLiteral("● ") + m_status->staleText();
    return m_connected ? QStringLiteral("● ") + S(1041) : QStringLiteral("● ") + S(1040).section(u'.', 0, 0);
}

void CStatusLine::refresh()
{
    m_clock->setText(clockText());
    CSteadyText::set(m_headCount, headCountText());
    m_headCount->setVisible(m_onSite >= 0);
    m_warnings->setText(warningsText());
    m_warnings->setVisible(m_openWarnings > 0);
    const bool good = m_connected && (!m_status || m_status->isCurrent());
    m_connection->setText(connectionText());
    // A style sheet set again restyles the label even when it is the same.
    const QString style =
        good ? QStringLiteral("color: #a5d6a7;") : QStringLiteral("color: #ffb4ab; font-weight: bold;");
    if (m_connection->styleSheet() != style)
        m_connection->setStyleSheet(style);
}
