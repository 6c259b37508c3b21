#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QLocale;

// CSV as RFC 4180 describes it (CRLF line ends, a field with the separator, a quote or a line
// break in double quotes with its quotes doubled), in UTF-8 with a byte-order mark so that
// spreadsheet programs read names with diacritics correctly. A cell that a spreadsheet would
// take for a formula (a name typed as "=..." at reception) gets a leading apostrophe.
class CCsvWriter
{
public:
    // The separator a spreadsheet of this locale expects: ";" where the decimal separator is ",".
    static QChar separatorFor(const QLocale &locale);
    static QByteArray encode(const QStringList &headings, const QList<QStringList> &rows, QChar separator = u',');
    // The headings and rows a model shows: display texts, and "x" for a checked check box.
    static void fromModel(const QAbstractItemModel &model, QStringList &headings, QList<QStringList> &rows);
    // Written atomically: a failure leaves any earlier file whole.
    static bool write(const QString &path, const QAbstractItemModel &model, QString *error, QChar separator = u',');
};
