#include "app/CCsvWriter.h"

#include "app/CFileWriter.h"

#include <QAbstractItemModel>

namespace {

QByteArray field(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

void appendLine(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += field(fields.at(i));
    }
    out += "\r\n";
}

} // namespace

QByteArray CCsvWriter::encode(const QStringList &headings, const QList<QStringList> &rows)
{
    QByteArray out("\xEF\xBB\xBF");
    appendLine(out, headings);
    for (const QStringList &row : rows)
        appendLine(out, row);
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

bool CCsvWriter::write(const QString &path, const QAbstractItemModel &model, QString *error)
{
    QStringList headings;
    QList<QStringList> rows;
    fromModel(model, headings, rows);
    return CFileWriter::writeAtomically(path, encode(headings, rows), error);
}
