#include "views/CSteadyText.h"

#include <QAbstractButton>
#include <QLabel>

void CSteadyText::set(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    fit(label);
}

void CSteadyText::set(QAbstractButton *button, const QString &text)
{
    if (button->text() == text)
        return;
    button->setText(text);
    fit(button);
}

void CSteadyText::fit(QWidget *w)
{
    const QSize hint = w->sizeHint();
    const bool fixed = w->minimumSize() == w->maximumSize();
    const int width = w->maximumWidth();
    // A fixed size that still holds the text, with no more than a quarter to spare: nothing to do.
    if (fixed && hint.height() == w->maximumHeight() && hint.width() <= width && hint.width() * 4 >= width * 3)
        return;
    w->setFixedSize(hint);
}
