#pragma once

// Wardens' phones for benchmarks: each asks for the roll call's state every 1.5 s and, when the
// state names a list it does not have, for the list (the changes since its own when it has
// one), as the phone page does. They run on a thread of their own, so that their work is not
// counted as the desk's.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <memory>
#include <vector>

class PhonePoller : public QObject
{
public:
    PhonePoller(const QString &base, const QByteArray &key, int phones, int intervalMs = 1500)
        : m_base(base), m_key(key)
    {
        moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            this,
            [this, phones, intervalMs] {
                m_nam = std::make_unique<QNetworkAccessManager>();
                for (int i = 0; i < phones; ++i) {
                    m_phones.push_back(std::make_unique<Phone>());
                    Phone *p = m_phones.back().get();
                    p->timer.setInterval(intervalMs);
                    QObject::connect(&p->timer, &QTimer::timeout, this, [this, p] { poll(p); });
                    // Spread over the interval, as phones that scanned the code one after another.
                    QTimer::singleShot(intervalMs * i / phones, this, [p] { p->timer.start(); });
                }
            },
            Qt::BlockingQueuedConnection);
    }
    ~PhonePoller() override
    {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_phones.clear();
                m_nam.reset();
            },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    int lists() const { return m_lists; }
    int states() const { return m_states; }
    int errors() const { return m_errors; }
    qint64 listBytes() const { return m_listBytes; }

private:
    struct Phone
    {
        QTimer timer;
        QString lv;
        bool busy = false;
    };

    QNetworkRequest request(const QString &path) const
    {
        QNetworkRequest r{QUrl(m_base + path)};
        r.setRawHeader("Authorization", "Bearer " + m_key);
        return r;
    }

    void poll(Phone *p)
    {
        if (p->busy)
            return;
        p->busy = true;
        QNetworkReply *reply = m_nam->get(request(QStringLiteral("/api/state?lv=%1").arg(p->lv)));
        QObject::connect(reply, &QNetworkReply::finished, this, [this, p, reply] {
            reply->deleteLater();
            ++m_states;
            const QString lv =
                QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("lv")).toString();
            if (reply->error() != QNetworkReply::NoError || lv.isEmpty()) {
                ++m_errors;
                p->busy = false;
                return;
            }
            if (lv == p->lv) {
                p->busy = false;
                return;
            }
            QNetworkRequest r = request(p->lv.isEmpty() ? QStringLiteral("/api/list")
                                                        : QStringLiteral("/api/list?since=%1").arg(p->lv));
            if (!p->lv.isEmpty())
                r.setRawHeader("If-None-Match", '"' + p->lv.toLatin1() + '"');
            QNetworkReply *list = m_nam->get(r);
            QObject::connect(list, &QNetworkReply::finished, this, [this, p, list] {
                list->deleteLater();
                const QByteArray body = list->readAll();
                m_listBytes += body.size();
                ++m_lists;
                if (list->error() != QNetworkReply::NoError &&
                    list->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 304)
                    ++m_errors;
                else if (!body.isEmpty())
                    p->lv = QJsonDocument::fromJson(body).object().value(QStringLiteral("lv")).toString();
                p->busy = false;
            });
        });
    }

    QThread m_thread;
    const QString m_base;
    const QByteArray m_key;
    std::unique_ptr<QNetworkAccessManager> m_nam;
    std::vector<std::unique_ptr<Phone>> m_phones;
    std::atomic<int> m_lists{0}, m_states{0}, m_errors{0};
    std::atomic<qint64> m_listBytes{0};
};
