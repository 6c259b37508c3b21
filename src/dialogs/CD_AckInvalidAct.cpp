#include "dialogs/CD_AckInvalidAct.h"

#include "app/CStringTable.h"
#include "dialogs/CDialogUnits.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

int dx(double units)
{
    return CDialogUnits::x(units);
}
int dy(double units)
{
    return CDialogUnits::y(units);
}

constexpr int kWidth = 186;
constexpr int kHeight = 130;
constexpr int kLabelX = 10;
constexpr int kValueX = 65;
constexpr int kLineHeight = 10;
constexpr int kProblemHeight = 30;

int g_keyGuardMs = 700;
constexpr int kHandBackMs = 500;

} // namespace

CD_AckInvalidAct::CD_AckInvalidAct(const InvalidActFields &fields, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_fields(fields)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // On top and sounding, but the keyboard stays where the user is typing.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);
    setObjectName(QStringLiteral("ackInvalidAct"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.1066.title")));

    addRow(QStringLiteral("dlg.1066.1114"), fields.id, QStringLiteral("id"), 10);
    addRow(QStringLiteral("dlg.1066.1115"), fields.lastName, QStringLiteral("lastName"), 25);
    addRow(QStringLiteral("dlg.1066.1116"), fields.firstName, QStringLiteral("firstName"), 40);
    addRow(QStringLiteral("dlg.1066.1018"), fields.date, QStringLiteral("date"), 55);
    addRow(QStringLiteral("dlg.1066.1019"), fields.time, QStringLiteral("time"), 70);
    addRow(QStringLiteral("dlg.1066.1117"), fields.activity, QStringLiteral("activity"), 85);

    m_ok = new QPushButton(CStringTable::text(QStringLiteral("dlg.1066.1")), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_ok->setGeometry(dx(128), dy(110), dx(50), dy(14));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_ok->setFocus();
    m_ok->installEventFilter(this);

    // Shown only while the log cannot be written; the window grows by its height then.
    m_logProblem = new QLabel(this);
    m_logProblem->setObjectName(QStringLiteral("logProblem"));
    m_logProblem->setTextFormat(Qt::PlainText);
    m_logProblem->setWordWrap(true);
    m_logProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_logProblem->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_logProblem->setGeometry(dx(kLabelX), dy(kHeight - 4), dx(kWidth - 2 * kLabelX), dy(kProblemHeight));
    m_logProblem->hide();

    setFixedSize(dx(kWidth), dy(kHeight));
}

void CD_AckInvalidAct::setLogProblem(const QString &text)
{
    m_logProblem->setText(text);
    m_logProblem->setToolTip(text);
    m_logProblem->setVisible(!text.isEmpty());
    setFixedSize(dx(kWidth), dy(text.isEmpty() ? kHeight : kHeight + kProblemHeight));
}

QLabel *CD_AckInvalidAct::addRow(const QString &labelKey, const QString &value, const QString &objectName, int y)
{
    auto *label = new QLabel(CStringTable::text(labelKey), this);
    label->setGeometry(dx(kLabelX), dy(y), dx(kValueX - kLabelX - 2), dy(kLineHeight));

    auto *text = new QLabel(value, this);
    text->setObjectName(objectName);
    // Texts from the database are shown as they are, never as markup.
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setGeometry(dx(kValueX), dy(y), dx(kWidth - kValueX - kLabelX), dy(kLineHeight));
    text->setToolTip(value);
    return text;
}

void CD_AckInvalidAct::done(int result)
{
    if (!m_acknowledged) {
        m_acknowledged = true;
        emit acknowledged(this);
    }
    QDialog::done(result);
}

void CD_AckInvalidAct::setKeyGuardMs(int ms)
{
    g_keyGuardMs = ms;
}

bool CD_AckInvalidAct::keysArmed() const
{
    return m_activeSince.isValid() && m_activeSince.elapsed() >= g_keyGuardMs;
}

// A key acknowledges only when it was pressed for this window: never one that arrived as the
// window came up (Space or Enter meant for the roll call), never a held key's repeat.
bool CD_AckInvalidAct::swallowsKey(QEvent *e) const
{
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease)
        return false;
    if (keysArmed() && !static_cast<QKeyEvent *>(e)->isAutoRepeat())
        return false;
    e->accept();
    return true;
}

void CD_AckInvalidAct::showEvent(QShowEvent *e)
{
    QWidget *active = QApplication::activeWindow();
    m_typingIn = active != this ? active : nullptr;
    m_shownAt.start();
    QDialog::showEvent(e);
}

bool CD_AckInvalidAct::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate) {
        m_activeSince.start();
        // A window system that activates every new window anyway: the keyboard goes back to
        // where the user was typing. Later activations are the user's own (a click).
        if (m_typingIn && m_shownAt.isValid() && m_shownAt.elapsed() < kHandBackMs) {
            QPointer<QWidget> back = m_typingIn;
            QTimer::singleShot(0, this, [back] {
                if (back && back->isVisible())
                    back->activateWindow();
            });
        }
        m_typingIn = nullptr;
    } else if (e->type() == QEvent::WindowDeactivate)
        m_activeSince.invalidate();
    else if (swallowsKey(e))
        return true;
    return QDialog::event(e);
}

bool CD_AckInvalidAct::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_ok && swallowsKey(e))
        return true;
    return QDialog::eventFilter(watched, e);
}
