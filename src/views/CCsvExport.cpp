#include "views/CCsvExport.h"

#include "app/CCsvWriter.h"
#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"

#include <QDir>

bool CCsvExport::run(QWidget *parent, const QAbstractItemModel *model, const QString &suggestedName)
{
    if (!model)
        return false;
    QString path =
        CPrompt::saveFileName(parent, CStringTable::text(QStringLiteral("csv.caption")),
                              suggestedName + QStringLiteral(".csv"), CStringTable::text(QStringLiteral("csv.filter")));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString error;
    if (CCsvWriter::write(path, *model, &error))
        return true;
    CPrompt::error(parent, CStringTable::text(QStringLiteral("csv.failed")).arg(QDir::toNativeSeparators(path), error));
    return false;
}
