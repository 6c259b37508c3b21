#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class CReportItem;

// Reads the object lines of a report template. A line is a kind keyword, ":" and a list of
// attributes cut at ","; a line that is not one of the seven kinds gives no object.
class CReportReader
{
public:
    // The object of one line, or none.
    static std::unique_ptr<CReportItem> readLine(const QString &line);

    // Token readings as the C library reads them; a token beyond the last reads as 0 or empty.
    static int wholeAt(const QStringList &tokens, int i);
    static double realAt(const QStringList &tokens, int i);
    static QString textAt(const QStringList &tokens, int i);
    // "\colon", "\semicolon", "\comma" and "\newline" in the text and name tokens.
    static QString applyEscapes(QString text);
};
