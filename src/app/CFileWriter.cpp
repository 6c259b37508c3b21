#include "app/CFileWriter.h"

#include <QSaveFile>

bool CFileWriter::writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeAtomically(
        path, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); }, error);
}

bool CFileWriter::writeAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error)
{
    if (error)
        error->clear();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const bool written = write(file);
    // A short write is not always reported by the write itself, so the size on disk is checked
    // against what was written before the old file is replaced.
    if (!written || !file.flush() || file.error() != QFileDevice::NoError || file.size() != file.pos()) {
        if (error && (written || file.error() != QFileDevice::NoError))
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

QString CFileWriter::datedName(const QString &what, const QDateTime &when)
{
    QString name = what;
    name.replace(u'/', u'-');
    return name + u'-' + when.toString(QStringLiteral("yyyyMMdd-HHmm"));
}
