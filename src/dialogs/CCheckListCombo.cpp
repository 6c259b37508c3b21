#include "dialogs/CCheckListCombo.h"

#include "dialogs/CCheckListModel.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStylePainter>
#include <QStyledItemDelegate>

CCheckListCombo::CCheckListCombo(QWidget *parent) : QComboBox(parent), m_model(new CCheckListModel({QString()}, this))
{
    setModel(m_model);
    // The plain delegate draws each item's check box; the combo's own menu delegate would not.
    setItemDelegate(new QStyledItemDelegate(this));
    view()->viewport()->installEventFilter(this);
    view()->installEventFilter(this);
    setCurrentIndex(-1);
    // Choosing an item in the list (Enter) must not give the face a single current item.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) {
            const QSignalBlocker block(this);
            setCurrentIndex(-1);
        }
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        m_textValid = false;
        update();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_textValid = false;
        update();
    });
}

void CCheckListCombo::setItems(const QStringList &texts)
{
    m_model->beginFill();
    for (const QString &t : texts)
        m_model->appendRow({t}, QString(), false);
    m_model->endFill();
    setCurrentIndex(-1);
}

int CCheckListCombo::getCheck(int index) const
{
    if (index < 0 || index >= m_model->rowCount())
        return -1;
    return m_model->isChecked(index) ? 1 : 0;
}

int CCheckListCombo::setCheck(int index, bool checked)
{
    if (index < 0 || index >= m_model->rowCount())
        return -1;
    m_model->setChecked(index, checked);
    return 0;
}

QList<int> CCheckListCombo::checkedIndexes() const
{
    QList<int> out;
    for (int i = 0; i < m_model->rowCount(); ++i)
        if (m_model->isChecked(i))
            out << i;
    return out;
}

QString CCheckListCombo::separator(const QLocale &locale)
{
    // Linux locales carry no list separator; the one Windows derives from the decimal sign.
    return locale.decimalPoint() == QLatin1String(",") ? QStringLiteral("; ") : QStringLiteral(", ");
}

QString CCheckListCombo::text() const
{
    if (!m_textValid) {
        QStringList parts;
        for (int i = 0; i < m_model->rowCount(); ++i)
            if (m_model->isChecked(i))
                parts << m_model->text(i, 0);
        m_text = parts.join(separator(locale()));
        m_textValid = true;
    }
    return m_text;
}

QSize CCheckListCombo::sizeHint() const
{
    // Wide enough for the longest item and its check box, like any other drop-down list.
    QSize s = QComboBox::sizeHint();
    return QSize(std::max(s.width() + fontMetrics().height() + 6, 160), s.height());
}

QSize CCheckListCombo::minimumSizeHint() const
{
    return QSize(80, QComboBox::minimumSizeHint().height());
}

void CCheckListCombo::toggle(int index)
{
    if (setCheck(index, getCheck(index) != 1) == 0)
        emit checkChanged(index);
}

bool CCheckListCombo::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *list = view();
    if (watched == list->viewport()) {
        // The second of two quick clicks arrives as a double click: it is a click all the same.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton) {
                const QModelIndex i = list->indexAt(me->position().toPoint());
                if (i.isValid()) {
                    list->setCurrentIndex(i);
                    toggle(i.row());
                }
                return true;
            }
        }
        // The release would close the list; it stays open while the user ticks items.
        if (event->type() == QEvent::MouseButtonRelease)
            return static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    } else if (watched == list && event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Space && ke->modifiers() == Qt::NoModifier) {
            if (list->currentIndex().isValid())
                toggle(list->currentIndex().row());
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void CCheckListCombo::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    p.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText = text();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    opt.currentText = fontMetrics().elidedText(opt.currentText, Qt::ElideRight, field.width());
    p.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void CCheckListCombo::keyPressEvent(QKeyEvent *event)
{
    // Arrow keys on the closed face would pick a single item; they open the list instead.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Space:
        showPopup();
        event->accept();
        return;
    default:
        break;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        event->ignore(); // typing would select by the first letter
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CCheckListCombo::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
