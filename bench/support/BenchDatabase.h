#pragma once

#include "demo/CDemoDatabase.h"

#include <QTemporaryDir>
#include <QtGlobal>

// A demo database built for a benchmark in a temporary folder. ZORVIK_BENCH_KEEP=1 keeps the
// folder for a look with other tools.
struct BenchDatabase
{
    explicit BenchDatabase(const CDemoDatabase::DemoOptions &options)
    {
        dir.setAutoRemove(!qEnvironmentVariableIsSet("ZORVIK_BENCH_KEEP"));
        path = dir.filePath(QStringLiteral("site.sqlite"));
        QString error;
        if (!CDemoDatabase::build(path, options, &error))
            qFatal("%s", qPrintable(error));
    }
    QString connectionString() const { return QStringLiteral("Provider=SQLite;Data Source=") + path; }
    QString file(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString path;
};
