#include "panel/CPhotoLoader.h"

#include "app/CAppContext.h"
#include "db/CDbCursor.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "db/CSqlDialect.h"
#include "panel/CTabletPhoto.h"

#include <QList>
#include <QStringList>
#include <memory>

namespace {

struct Job
{
    QString id;
    QByteArray bytes;
    QRect cell;
    qreal scale = 1.0;
    bool fetch = false;
};

// Reads the photographs of the employees in one statement; false when it cannot be run.
bool readPhotographs(CDbConnection &connection, const QStringList &ids, QHash<QString, QByteArray> &out)
{
    QStringList literals;
    for (const QString &id : ids)
        literals << CSqlDialect::literal(id);
    CDbCursor cursor(&connection);
    if (!cursor.open(QStringLiteral("select IDZaposlenog, Fotografija from viewPhoto where IDZaposlenog in (%1)")
                         .arg(literals.join(u','))))
        return false;
    const int idColumn = cursor.columnIndex(u"IDZaposlenog");
    QString id;
    for (cursor.moveFirst(); !cursor.isEOF(); cursor.moveNext()) {
        QByteArray bytes;
        cursor.fieldText(idColumn, id);
        if (cursor.getFieldBytes(QStringLiteral("Fotografija"), bytes) && !out.contains(id))
            out.insert(id, bytes);
    }
    return true;
}

// Whether the server answers a trivial statement (after a batch failed).
bool probe(CDbConnection &connection)
{
    CDbCursor cursor(&connection);
    return cursor.open(QStringLiteral("select 1 as answered"));
}

} // namespace

CPhotoLoader::CPhotoLoader(QObject *parent) : QObject(parent) {}

CPhotoLoader::~CPhotoLoader()
{
    // A batch still running finishes without handing anything over.
    delete m_worker;
}

void CPhotoLoader::request(const QString &employeeId, const QByteArray &bytes, const QRect &cell, qreal scale)
{
    if (m_pending.contains(employeeId))
        return;
    m_pending.insert(employeeId, true);
    m_queued.insert(employeeId, {bytes, cell, scale});
    // Everything a paint asks for goes in one batch.
    if (!m_running && !m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &CPhotoLoader::flush, Qt::QueuedConnection);
    }
}

void CPhotoLoader::flush()
{
    m_flushQueued = false;
    if (m_running || m_queued.isEmpty())
        return;
    CAppContext *ctx = CAppContext::current();
    CReferenceData *ref = ctx ? ctx->reference() : nullptr;
    auto jobs = std::make_shared<QList<Job>>();
    for (auto it = m_queued.cbegin(); it != m_queued.cend(); ++it)
        jobs->append({it.key(), it->bytes, it->cell, it->scale, it->bytes.isEmpty()});
    m_queued.clear();
    if (!m_worker)
        m_worker = new CDbWorker(ref ? &ref->connection() : nullptr, this);
    m_running = true;
    auto results = std::make_shared<QList<Result>>();
    CDbConnection *connection = ref && !ref->databaseError ? &ref->connection() : nullptr;
    m_worker->run(
        [jobs, results, connection] {
            QStringList wanted;
            for (const Job &j : std::as_const(*jobs))
                if (j.fetch)
                    wanted << j.id;
            QHash<QString, QByteArray> read;
            QSet<QString> unread;
            bool answering = connection != nullptr;
            for (qsizetype i = 0; i < wanted.size(); i += kBatch) {
                const QStringList batch = wanted.mid(i, kBatch);
                if (answering && readPhotographs(*connection, batch, read))
                    continue;
                // One employee whose key the server cannot take must not cost the others theirs;
                // but a server that does not answer is not asked once per employee (each ask
                // waits for the statement time-out): the rest wait for a later try.
                answering = answering && probe(*connection);
                for (const QString &id : batch)
                    if (!answering || !readPhotographs(*connection, {id}, read))
                        unread.insert(id);
            }
            for (const Job &j : std::as_const(*jobs)) {
                Result r;
                r.employeeId = j.id;
                r.cell = j.cell;
                r.scale = j.scale;
                r.fetched = j.fetch;
                r.failed = unread.contains(j.id);
                r.bytes = j.fetch ? read.value(j.id) : j.bytes;
                if (!r.bytes.isEmpty())
                    r.image = CTabletPhoto::decodeFor(r.bytes, r.cell, &r.target, r.scale);
                results->append(r);
            }
        },
        [this, results] {
            m_running = false;
            for (const Result &r : std::as_const(*results)) {
                m_pending.remove(r.employeeId);
                emit ready(r);
            }
            if (!m_queued.isEmpty())
                flush();
        });
}
