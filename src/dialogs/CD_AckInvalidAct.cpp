#include "dialogs/CD_AckInvalidAct.h"

#include "app/CStringTable.h"

#include <QLabel>
#include <QPushButton>

namespace {

// The dialog is laid out in dialog units, as the design of the window gives them; these are the
// pixels of one unit with the usual font.
int dx(double units)
{
    return qRound(units * 1.75);
}
int dy(double units)
{
    return qRound(units * 1.875);
}

constexpr int kWidth = 186;
constexpr int kHeight = 130;
constexpr int kLabelX = 10;
constexpr int kValueX = 65;
constexpr int kLineHeight = 10;

} // namespace

CD_AckInvalidAct::CD_AckInvalidAct(const InvalidActFields &fields, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_fields(fields)
{
    setAttribute(Qt::WA_DeleteOnClose);
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

    setFixedSize(dx(kWidth), dy(kHeight));
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
