#include "app/CPlainText.h"

#include <QTextDocument>

QString CPlainText::toolTip(const QString &text)
{
    // The tooltip's label takes a text as rich exactly when this guess says so: only then is it
    // turned into rich text whose every character is escaped, its lines kept as they are (a
    // rich tooltip would otherwise be wrapped into a narrow column).
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}
