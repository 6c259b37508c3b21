#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class QObject;

namespace testsupport {

// A temporary folder that lives as long as the test; path() ends without a separator.
class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// A small demo attendance database (no history, no photographs), built once per program and
// removed at exit; the same arguments give the same file.
QString smallDemoDatabase(int employees, int departments);

// Reads a CSV file with Python's csv module (a reader the program did not write); rows as lists
// of texts.
QList<QStringList> readCsv(const QString &path, QChar delimiter = u',');

// A loopback port with nothing listening: a connection there is refused at once.
quint16 closedPort();

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
bool waitFor(const std::function<bool()> &pred, int timeoutMs = 5000);

// A key held down as a keyboard sends it: one press, then repeats (a release and a press, both
// marked as auto-repeat), then the release.
void holdKey(QObject *target, int key, int repeats);

} // namespace testsupport
