#include "app/CVersion.h"

QString CVersion::displayText(const QString &fileVersion)
{
    QString s = fileVersion;
    s.remove(u' ');
    s.replace(u',', u'.');
    const qsizetype last = s.lastIndexOf(u'.');
    return last < 0 ? s : s.left(last);
}
