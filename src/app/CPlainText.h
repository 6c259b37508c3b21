#pragma once

#include <QString>

// Text from outside (the database, a phone, a file) where Qt guesses whether a text is rich:
// tooltips. Rich text is only for the program's own strings, since it loads every picture it
// names (a file, a device, a pipe) while it is laid out.
class CPlainText
{
public:
    // The text as a tooltip shows it character for character, markup included.
    static QString toolTip(const QString &text);
};
