#include "views/CCsvExport.h"

#include "app/CCsvWriter.h"
#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"

#include <QDir>
#include <QLocale>

bool CCsvExport::run(QWidget *parent, const QAbstractItemModel *model, const QString &suggestedName)
{
    if (!model)
        return false;
    // Both separators are offered, the one this locale's spreadsheets expect first.
    const QString comma = CStringTable::text(QStringLiteral("csv.filterComma"));
    const QString semicolon = CStringTable::text(QStringLiteral("csv.filterSemicolon"));
    const bool semicolonFirst = CCsvWriter::separatorFor(QLocale()) == u';';
    const QStringList filters = semicolonFirst ? QStringList{semicolon, comma} : QStringList{comma, semicolon};
    QString chosen;
    QString path =
        CPrompt::saveFileName(parent, CStringTable::text(QStringLiteral("csv.caption")),
                              suggestedName + QStringLiteral(".csv"), filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString error;
    if (CCsvWriter::write(path, *model, &error, chosen == semicolon ? u';' : u','))
        return true;
    CPrompt::error(parent, CStringTable::text(QStringLiteral("csv.failed")).arg(QDir::toNativeSeparators(path), error));
    return false;
}
