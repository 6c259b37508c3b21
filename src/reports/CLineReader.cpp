#include "reports/CLineReader.h"

#include "app/CStringTable.h"

#include "markup/CFileText.h"

#include <QFile>
#include <QFileInfo>

bool CLineReader::read(const QString &fileName, QStringList &lines)
{
    lastError.clear();
    lines.clear();
    if (fileName.isEmpty())
        return false;
    // The usual mistakes in words of the program's own language; the rest as the system says.
    const QFileInfo info(fileName);
    if (!info.exists()) {
        lastError = CStringTable::text(QStringLiteral("report.noFile"));
        return false;
    }
    if (info.isDir()) {
        lastError = CStringTable::text(QStringLiteral("report.isFolder"));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        lastError = file.errorString().left(255);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        lastError = file.errorString().left(255);
        return false;
    }
    lines = splitLines(bytes);
    return true;
}

QStringList CLineReader::splitLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(CFileText::toUtf8(bytes)).split(QLatin1Char('\n'));
    // A final line feed ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines) {
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    }
    return lines;
}
