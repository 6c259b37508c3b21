#include "app/CCsvWriter.h"

#include "app/CFileWriter.h"
#include "app/LogCategories.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QLocale>

namespace {

QByteArray field(const QString &text, char separator)
{
    QByteArray utf8 = text.toUtf8();
    // Spreadsheets run a cell that starts with one of these as a formula.
    static const QByteArray formulaStarts("=+-@\t\r");
    if (!utf8.isEmpty() && formulaStarts.contains(utf8.front()))
        utf8.prepend('\'');
    if (!utf8.contains(separator) && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

void appendLine(QByteArray &out, const QStringList &fields, char separator)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += separator;
        out += field(fields.at(i), separator);
    }
    out += "\r\n";
}

} // namespace

QChar CCsvWriter::separatorFor(const QLocale &locale)
{
    return locale.decimalPoint() == QLatin1String(",") ? u';' : u',';
}

QByteArray CCsvWriter::encode(const QStringList &headings, const QList<QStringList> &rows, QChar separator)
{
    const char sep = separator.toLatin1() ? separator.toLatin1() : ',';
    QByteArray out("\xEF\xBB\xBF");
    appendLine(out, headings, sep);
    for (const QStringList &row : rows)
        appendLine(out, row, sep);
    return out;
}

void CCsvWriter::fromModel(const QAbstractItemModel &model, QStringList &headings, QList<QStringList> &rows)
{
    const int columns = model.columnCount();
    headings.clear();
    rows.clear();
    for (int c = 0; c < columns; ++c)
        headings << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c) {
            const QModelIndex cell = model.index(r, c);
            const QVariant check = model.data(cell, Qt::CheckStateRole);
            if (check.isValid() && !model.data(cell, Qt::DisplayRole).isValid())
                row << (check.toInt() == Qt::Checked ? QStringLiteral("x") : QString());
            else
                row << model.data(cell, Qt::DisplayRole).toString();
        }
        rows << row;
    }
}

bool CCsvWriter::write(const QString &path, const QAbstractItemModel &model, QString *error, QChar separator)
{
    QStringList headings;
    QList<QStringList> rows;
    fromModel(model, headings, rows);
    QString why;
    const bool written = CFileWriter::writeAtomically(path, encode(headings, rows, separator), &why);
    if (written)
        qCInfo(lcZorvikReport, "List written to %s (%d row(s))", qPrintable(QDir::toNativeSeparators(path)),
               int(rows.size()));
    else
        qCWarning(lcZorvikReport, "List not written to %s: %s", qPrintable(QDir::toNativeSeparators(path)),
                  qPrintable(why));
    if (error)
        *error = why;
    return written;
}
