// Feeds arbitrary requests (method, target, headers, body) to the handler of the roll call's
// phone server, without sockets, as the HTTP layer hands them over. Every answer must carry the
// protective headers, never the key, never a name without the key, and a JSON error or answer
// where JSON is promised. "@KEY@" in a header stands for the sharing's key, so that the calls
// behind it are reached too.
#include "rollcall/CHttpListener.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallServer.h"
#include "rollcall/C_ZorvikDocRollCall.h"

#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

struct Sharing
{
    Sharing()
    {
        // The operational log would print a line per input.
        QLoggingCategory::setFilterRules(QStringLiteral("zorvik.*=false"));
        doc.model()->setPeople(
            {{"E1", "Ana Secretname", "Sales", "08:00", "Arrival", {}, false},
             {"E2", "Ivo Hiddenname", "Sales", "08:10", "Arrival", {}, false},
             {"GZoe|2026-03-04 09:00:00", "Zoe Covertname", "Guests", "09:00", "Ana", "Firm", true}});
        server.begin({QHostAddress(QHostAddress::LocalHost)}, 8765);
    }
    QTemporaryDir dir;
    C_ZorvikDocRollCall doc{nullptr, nullptr, dir.path() + u'/'};
    CRollCallServer server{&doc};
};

bool hasHeader(const CHttpListener::Response &r, const QByteArray &name)
{
    return std::any_of(r.headers.begin(), r.headers.end(), [&](const auto &h) { return h.first == name; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Sharing sharing;
    const QByteArray key = sharing.server.key().toLatin1();
    // "METHOD TARGET\nName: value\n...\n\nBODY"
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype end = input.indexOf("\n\n");
    const QList<QByteArray> lines = input.left(end < 0 ? input.size() : end).split('\n');
    const QByteArray body = end < 0 ? QByteArray() : input.mid(end + 2);
    const QList<QByteArray> first = lines.value(0).split(' ');
    QList<std::pair<QByteArray, QByteArray>> headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            headers.append({lines[i].left(colon).trimmed().toLower(),
                            QByteArray(lines[i].mid(colon + 1).trimmed()).replace("@KEY@", key)});
    }
    const auto header = [&headers](const QByteArray &name) {
        for (const auto &h : headers)
            if (h.first == name)
                return h.second;
        return QByteArray();
    };
    const CHttpListener::Request request = CHttpListener::Request::make(
        first.value(0), QUrl(QString::fromUtf8(first.value(1))), header, body, QStringLiteral("192.168.1.20"));
    const CHttpListener::Response r = sharing.server.handle(request);

    const bool keyed = header("authorization").contains(key);
    if (!hasHeader(r, "X-Content-Type-Options") || !hasHeader(r, "Cache-Control") || !hasHeader(r, "X-Frame-Options"))
        std::abort();
    // A deflate stream behind qUncompress's size hint (1 MiB, grown as needed).
    const QByteArray plain =
        hasHeader(r, "Content-Encoding") ? qUncompress(QByteArray("\0\x10\0\0", 4) + r.body) : r.body;
    if (plain.contains(key))
        std::abort();
    if (!keyed && (plain.contains("Secretname") || plain.contains("Hiddenname") || plain.contains("Covertname")))
        std::abort();
    if (r.contentType.startsWith("application/json") && QJsonDocument::fromJson(plain).isNull())
        std::abort();
    return 0;
}
