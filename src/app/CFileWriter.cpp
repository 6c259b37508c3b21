#include "app/CFileWriter.h"

#include <QSaveFile>

bool CFileWriter::writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A short write is not always reported by the write itself, so the written size is
    // checked before the old file is replaced.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        if (error)
            *error = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("Short write");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
