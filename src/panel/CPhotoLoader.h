#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

class CDbWorker;

// Photographs for the tablets a panel shows expanded, prepared on a thread of its own: the bytes
// read from the employee table when the tablet has none yet (never by the interface thread, and
// without DBMutex: the thread has a statement and connection of its own), then decoded at the
// size the photo cell draws them. Results come back on the thread that owns the loader.
// Requests made while a batch runs go with the next one.
class CPhotoLoader : public QObject
{
    Q_OBJECT
public:
    struct Result
    {
        QString employeeId;
        QByteArray bytes; // as stored; empty when the employee has none
        QRect cell;
        qreal scale = 1.0;    // device pixels per tablet pixel the image was decoded for
        QImage image;         // null when there is nothing to draw
        QRect target;         // where the image goes inside the cell
        bool fetched = false; // the bytes were read from the database for this request
        bool failed = false;  // the database could not be read: try again later
    };

    explicit CPhotoLoader(QObject *parent = nullptr);
    ~CPhotoLoader() override;

    // bytes: what the tablet holds; empty means read them from the database first. The image is
    // decoded at the cell's size times scale.
    void request(const QString &employeeId, const QByteArray &bytes, const QRect &cell, qreal scale = 1.0);
    bool isPending(const QString &employeeId) const { return m_pending.contains(employeeId); }
    bool isIdle() const { return m_pending.isEmpty(); }

    // Employees per statement when reading photographs.
    static constexpr int kBatch = 100;

signals:
    void ready(const CPhotoLoader::Result &result);

private:
    struct Request
    {
        QByteArray bytes;
        QRect cell;
        qreal scale;
    };
    void flush();

    QHash<QString, Request> m_queued;
    QHash<QString, bool> m_pending; // queued or in a running batch
    bool m_running = false;
    bool m_flushQueued = false;
    CDbWorker *m_worker = nullptr;
};
