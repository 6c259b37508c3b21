#pragma once

#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

// A count that changes at every update pass, shown without reflowing the window around it each
// time: the widget keeps a fixed size, which grows when a text needs more room and shrinks only
// when a text needs much less. A change of text then repaints the widget alone.
class CSteadyText
{
public:
    static void set(QLabel *label, const QString &text);
    static void set(QAbstractButton *button, const QString &text);
    // The size again for the text as it is (after a change of font).
    static void fit(QWidget *w);
};
