#include "dialogs/CD_AckInvalidAct.h"

#include "app/CStringTable.h"
#include "panel/CTabletPainter.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace {

int g_keyGuardMs = 700;
constexpr int kHandBackMs = 500;
const QColor kNoColour(0x9e, 0x9e, 0x9e);

QFont sized(QFont f, int pixels, bool bold)
{
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace

CD_AckInvalidAct::CD_AckInvalidAct(const InvalidActFields &fields, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      m_fields(fields)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Above the other windows and sounding, but the keyboard stays where the user is typing.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);
    setObjectName(QStringLiteral("ackInvalidAct"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.1066.title")));

    // The six fields, in their order; where each goes is the layout's business below.
    QLabel *idCaption = addCaption(QStringLiteral("dlg.1066.1114"));
    QLabel *id = addValue(fields.id, QStringLiteral("id"), kDetailPixels, false);
    QLabel *lastCaption = addCaption(QStringLiteral("dlg.1066.1115"));
    QLabel *last = addValue(fields.lastName, QStringLiteral("lastName"), kNamePixels, true);
    QLabel *firstCaption = addCaption(QStringLiteral("dlg.1066.1116"));
    QLabel *first = addValue(fields.firstName, QStringLiteral("firstName"), kNamePixels, true);
    QLabel *dateCaption = addCaption(QStringLiteral("dlg.1066.1018"));
    QLabel *date = addValue(fields.date, QStringLiteral("date"), kDetailPixels, false);
    QLabel *timeCaption = addCaption(QStringLiteral("dlg.1066.1019"));
    QLabel *time = addValue(fields.time, QStringLiteral("time"), kTimePixels, true);
    QLabel *activityCaption = addCaption(QStringLiteral("dlg.1066.1117"));
    QLabel *activity = addValue(fields.activity, QStringLiteral("activity"), kNamePixels, true);

    // The activity across the top in its colour: what happened, seen first.
    m_band = new QFrame(this);
    m_band->setObjectName(QStringLiteral("activityBand"));
    m_band->setAutoFillBackground(true);
    auto *bandLayout = new QVBoxLayout(m_band);
    bandLayout->setContentsMargins(16, 10, 16, 10);
    bandLayout->setSpacing(0);
    activityCaption->setParent(m_band);
    activity->setParent(m_band);
    bandLayout->addWidget(activityCaption);
    bandLayout->addWidget(activity);

    m_photo = new QLabel(this);
    m_photo->setObjectName(QStringLiteral("photo"));
    m_photo->setFixedSize(kPhotoWidth, kPhotoHeight);
    m_photo->setAlignment(Qt::AlignCenter);
    m_photo->setFrameShape(QFrame::Box);
    m_photo->setStyleSheet(QStringLiteral("QLabel#photo { background: #e8e8e8; color: #888; }"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    const std::pair<QLabel *, QLabel *> rows[] = {
        {lastCaption, last}, {firstCaption, first}, {timeCaption, time}, {dateCaption, date}, {idCaption, id}};
    int row = 0;
    for (const auto &[caption, value] : rows) {
        grid->addWidget(caption, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(value, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    auto *body = new QHBoxLayout;
    body->setContentsMargins(16, 14, 16, 6);
    body->setSpacing(16);
    body->addWidget(m_photo, 0, Qt::AlignTop);
    body->addLayout(grid, 1);

    m_ok = new QPushButton(CStringTable::text(QStringLiteral("dlg.1066.1")), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_ok->setMinimumSize(120, 40);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_ok->setFocus();
    m_ok->installEventFilter(this);

    // Shown only while the alarm cannot sound or the log cannot be written.
    auto problem = [this](const char *name) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
        label->hide();
        return label;
    };
    m_soundProblem = problem("soundProblem");
    m_logProblem = problem("logProblem");

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 14);
    root->setSpacing(6);
    root->addWidget(m_band);
    root->addLayout(body);
    auto *notes = new QVBoxLayout;
    notes->setContentsMargins(16, 0, 16, 0);
    notes->addWidget(m_soundProblem);
    notes->addWidget(m_logProblem);
    notes->addLayout(buttons);
    root->addLayout(notes);

    setActivityColour(QColor());
    fitHeight();
}

QLabel *CD_AckInvalidAct::addCaption(const QString &key)
{
    auto *label = new QLabel(CStringTable::text(key), this);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QLabel *CD_AckInvalidAct::addValue(const QString &value, const QString &objectName, int pixels, bool bold)
{
    auto *text = new QLabel(value, this);
    text->setObjectName(objectName);
    // Texts from the database are shown as they are, never as markup; a name too long for the
    // line wraps rather than being cut.
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setFont(sized(text->font(), pixels, bold));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setToolTip(value.isEmpty() ? QString() : Qt::convertFromPlainText(value, Qt::WhiteSpaceNormal));
    return text;
}

void CD_AckInvalidAct::fitHeight()
{
    setFixedSize(kWidth, layout()->totalHeightForWidth(kWidth));
}

void CD_AckInvalidAct::setLogProblem(const QString &text)
{
    m_logProblem->setText(text);
    m_logProblem->setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
    m_logProblem->setVisible(!text.isEmpty());
    fitHeight();
}

void CD_AckInvalidAct::setSoundProblem(const QString &text)
{
    m_soundProblem->setText(text);
    m_soundProblem->setVisible(!text.isEmpty());
    fitHeight();
}

void CD_AckInvalidAct::setActivityColour(const QColor &colour)
{
    m_colour = colour;
    const QColor fill = colour.isValid() ? colour : kNoColour;
    // Black or white text, whichever stands out more from the activity's colour.
    const QColor ink = CTabletPainter::contrast(Qt::black, fill) >= CTabletPainter::contrast(Qt::white, fill)
                           ? QColor(Qt::black)
                           : QColor(Qt::white);
    QPalette pal = m_band->palette();
    pal.setColor(QPalette::Window, fill);
    pal.setColor(QPalette::WindowText, ink);
    pal.setColor(QPalette::PlaceholderText, ink);
    m_band->setPalette(pal);
}

void CD_AckInvalidAct::setPhotograph(const QImage &image)
{
    m_hasPhoto = !image.isNull();
    if (!m_hasPhoto) {
        m_photo->clear();
        return;
    }
    // Decoded for the device's pixels; a picture of another size is fitted into the cell.
    QPixmap pm = QPixmap::fromImage(image);
    const qreal ratio = devicePixelRatioF();
    const QSize cell = m_photo->contentsRect().size() * ratio;
    if (pm.width() > cell.width() || pm.height() > cell.height())
        pm = pm.scaled(cell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pm.setDevicePixelRatio(ratio);
    m_photo->setPixmap(pm);
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

void CD_AckInvalidAct::bringForward()
{
    show();
    raise();
    // Qt 6.8 sends the window a show event again here, which would arm the hand-back.
    m_typingIn = nullptr;
    activateWindow();
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
