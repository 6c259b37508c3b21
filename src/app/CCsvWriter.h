#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

// CSV as RFC 4180 describes it (commas, CRLF line ends, a field with a comma, quote or line
// break in double quotes with its quotes doubled), in UTF-8 with a byte-order mark so that
// spreadsheet programs read names with diacritics correctly.
class CCsvWriter
{
public:
    static QByteArray encode(const QStringList &headings, const QList<QStringList> &rows);
    // The headings and rows a model shows: display texts, and "x" for a checked check box.
    static void fromModel(const QAbstractItemModel &model, QStringList &headings, QList<QStringList> &rows);
    // Written atomically: a failure leaves any earlier file whole.
    static bool write(const QString &path, const QAbstractItemModel &model, QString *error);
};
