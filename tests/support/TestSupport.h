#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>

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

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
bool waitFor(const std::function<bool()> &pred, int timeoutMs = 5000);

} // namespace testsupport
