#include "CTdsSession.h"

#include "CTdsReader.h"
#include "CTdsServer.h"
#include "db/CSqlDialect.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

enum PacketType : quint8
{
    SqlBatch = 0x01,
    Rpc = 0x03,
    Reply = 0x04,
    Attention = 0x06,
    TransactionManager = 0x0E,
    Login7 = 0x10,
    PreLogin = 0x12,
};

// The procedures a client may name by number instead of by name.
QString wellKnownProcedure(quint16 id)
{
    static const char *const names[] = {"",
                                        "sp_cursor",
                                        "sp_cursoropen",
                                        "sp_cursorprepare",
                                        "sp_cursorexecute",
                                        "sp_cursorprepexec",
                                        "sp_cursorunprepare",
                                        "sp_cursorfetch",
                                        "sp_cursoroption",
                                        "sp_cursorclose",
                                        "sp_executesql",
                                        "sp_prepare",
                                        "sp_execute",
                                        "sp_prepexec",
                                        "sp_prepexecrpc",
                                        "sp_unprepare"};
    return id < std::size(names) ? QString::fromLatin1(names[id]) : QStringLiteral("sp_%1").arg(id);
}

QString oneLine(const QString &text)
{
    return text.simplified();
}

// What the driver sends while it sets a session up: even a stalled server answers it, so that
// logging in completes and only the statements hang.
bool isSessionSetup(const QString &statement)
{
    const QString s = statement.trimmed();
    return s.startsWith(QLatin1String("set "), Qt::CaseInsensitive) ||
           s.startsWith(QLatin1String("sp_datatype_info"), Qt::CaseInsensitive);
}

enum FetchType
{
    FetchFirst = 0x01,
    FetchNext = 0x02,
    FetchPrevious = 0x04,
    FetchLast = 0x08,
    FetchAbsolute = 0x10,
    FetchRelative = 0x20,
};

} // namespace

CTdsSession::CTdsSession(QTcpSocket *socket, CTdsServer *server, quint16 spid)
    : QObject(server), m_socket(socket), m_server(server), m_spid(spid)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &CTdsSession::readMore);
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

CTdsSession::~CTdsSession() = default;

void CTdsSession::readMore()
{
    m_buffer += m_socket->readAll();
    while (m_buffer.size() >= 8) {
        const quint16 length = quint16((quint8(m_buffer.at(2)) << 8) | quint8(m_buffer.at(3)));
        if (length < 8) {
            m_socket->abort();
            return;
        }
        if (m_buffer.size() < length)
            return;
        const quint8 type = quint8(m_buffer.at(0));
        const bool last = (quint8(m_buffer.at(1)) & 0x01) != 0;
        m_message += m_buffer.mid(8, length - 8);
        m_buffer.remove(0, length);
        if (last || type == Attention) {
            const QByteArray message = std::exchange(m_message, QByteArray());
            dispatch(type, message);
        }
    }
}

void CTdsSession::send(const CTdsWriter &tokens)
{
    const QByteArray &data = tokens.data();
    const qsizetype room = m_packetSize - 8;
    QByteArray out;
    out.reserve(data.size() + (data.size() / room + 1) * 8);
    qsizetype pos = 0;
    do {
        const qsizetype n = qMin(room, data.size() - pos);
        const bool last = pos + n >= data.size();
        const quint16 length = quint16(n + 8);
        out.append(char(Reply)).append(char(last ? 0x01 : 0x00));
        out.append(char(length >> 8)).append(char(length & 0xFF));
        out.append(char(m_spid >> 8)).append(char(m_spid & 0xFF));
        out.append(char(m_packetId++)).append('\0');
        out.append(data.constData() + pos, n);
        pos += n;
    } while (pos < data.size());
    m_socket->write(out);
}

void CTdsSession::dispatch(quint8 type, const QByteArray &message)
{
    switch (type) {
    case PreLogin:
        preLogin();
        return;
    case Login7:
        login(message);
        return;
    case Attention: {
        // The client gave up on its request (its time-out): whatever was left of it is dropped.
        CTdsServer::say(QStringLiteral("attention"));
        CTdsWriter w;
        w.done(CTdsWriter::Done, CTdsWriter::DoneAttention, 0, 0);
        send(w);
        return;
    }
    default:
        break;
    }
    if (!m_loggedIn) {
        m_socket->abort();
        return;
    }
    if (type == SqlBatch) {
        batch(message);
    } else if (type == Rpc) {
        rpc(message);
    } else if (type == TransactionManager) {
        CTdsServer::say(QStringLiteral("transaction"));
        if (!m_server->options().stall) {
            CTdsWriter w;
            w.done(CTdsWriter::Done, CTdsWriter::DoneFinal, 0, 0);
            send(w);
        }
    }
}

void CTdsSession::preLogin()
{
    // VERSION, ENCRYPTION (not supported), INSTOPT, MARS; each a token, an offset and a length.
    const QByteArray data = QByteArray::fromHex("0F0007D00000") + QByteArray::fromHex("02") +
                            QByteArray::fromHex("00") + QByteArray::fromHex("00");
    const int sizes[] = {6, 1, 1, 1};
    const int headerSize = 4 * 5 + 1;
    CTdsWriter w;
    int offset = headerSize;
    for (int i = 0; i < 4; ++i) {
        w.u8(quint8(i == 3 ? 4 : i));
        // Offsets and lengths of the pre-login message are big-endian.
        w.u8(quint8(offset >> 8));
        w.u8(quint8(offset & 0xFF));
        w.u8(0);
        w.u8(quint8(sizes[i]));
        offset += sizes[i];
    }
    w.u8(0xFF);
    QByteArray all = w.data() + data;
    CTdsWriter out;
    for (char c : all)
        out.u8(quint8(c));
    send(out);
}

void CTdsSession::login(const QByteArray &message)
{
    CTdsReader r(message);
    r.seek(8);
    const quint32 packetSize = r.u32();
    auto text = [&](int at, bool password = false) {
        CTdsReader f(message, at);
        const quint16 offset = f.u16();
        const quint16 chars = f.u16();
        if (!password) {
            CTdsReader s(message, offset);
            return s.ucs2(chars);
        }
        // Each byte of the password had its nibbles swapped and was xored with 0xA5.
        QByteArray b = message.mid(offset, chars * 2);
        for (char &c : b) {
            const quint8 x = quint8(c) ^ 0xA5;
            c = char(quint8((x >> 4) | (x << 4)));
        }
        QString s(b.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i)
            s[i] = QChar(char16_t(quint8(b.at(2 * i)) | (quint8(b.at(2 * i + 1)) << 8)));
        return s;
    };
    const QString user = text(40);
    const QString password = text(44, true);
    const QString language = text(64);
    const QString database = text(68);
    if (packetSize >= 512 && packetSize <= 32767)
        m_packetSize = int(packetSize);

    CTdsWriter w;
    const QString required = m_server->options().password;
    QString openError;
    const QString requiredUser = m_server->options().user;
    if ((!required.isEmpty() && password != required) || (!requiredUser.isEmpty() && user != requiredUser)) {
        CTdsServer::say(QStringLiteral("login failed"));
        error(w, 18456, QStringLiteral("Login failed for user '%1'.").arg(user), 14);
    } else {
        m_sql = std::make_unique<CStandinSql>(m_server->options().databasePath);
        if (!m_sql->open(&openError)) {
            CTdsServer::say(QStringLiteral("login failed"));
            error(w, 4060,
                  QStringLiteral("Cannot open database \"%1\" requested by the login. %2").arg(database, openError),
                  11);
        }
    }
    if (!w.isEmpty()) {
        w.done(CTdsWriter::Done, CTdsWriter::DoneError, 0, 0);
        send(w);
        m_socket->disconnectFromHost();
        return;
    }
    // The login's language sets the session's date order, as SET LANGUAGE would.
    if (!language.isEmpty())
        m_sql->setLanguage(language);
    m_database = database.isEmpty() ? QStringLiteral("zorvik") : database;
    w.envChange(CTdsWriter::EnvDatabase, m_database, QStringLiteral("master"));
    w.envCollation(CSqlServerType::collation());
    w.envChange(CTdsWriter::EnvPacketSize, QString::number(m_packetSize), QString::number(m_packetSize));
    w.loginAck(QStringLiteral("Microsoft SQL Server"));
    w.done(CTdsWriter::Done, CTdsWriter::DoneFinal, 0, 0);
    m_loggedIn = true;
    CTdsServer::say(QStringLiteral("login"));
    send(w);
}

void CTdsSession::error(CTdsWriter &w, qint32 number, const QString &text, quint8 severity)
{
    CTdsServer::say(QStringLiteral("error %1 %2").arg(number).arg(text));
    w.message(CTdsWriter::Error, number, 1, severity, text, QString());
}

bool CTdsSession::writeResult(CTdsWriter &w, const CStatementResult &r, CTdsWriter::Token done, bool more)
{
    const quint16 moreFlag = more ? CTdsWriter::DoneMore : 0;
    if (!r.ok) {
        error(w, r.error, r.message);
        w.done(done, CTdsWriter::DoneError | moreFlag, 0, 0);
        return false;
    }
    if (!r.database.isEmpty()) {
        w.envChange(CTdsWriter::EnvDatabase, r.database, m_database);
        m_database = r.database;
        w.done(done, moreFlag, 0, 0);
    } else if (r.hasRows) {
        w.colMetadata(r.columns);
        for (const QVariantList &row : r.rows)
            w.row(r.columns, row);
        w.done(done, CTdsWriter::DoneCount | moreFlag, 0xC1, r.rows.size());
    } else {
        w.done(done, (r.affected >= 0 ? CTdsWriter::DoneCount : 0) | moreFlag, 0, quint64(qMax<qint64>(0, r.affected)));
    }
    return true;
}

bool CTdsSession::callProcedure(CTdsWriter &w, const QString &name, const QString &arguments)
{
    const QStringList before = m_sql->tempTables();
    bool found = false;
    const QList<CStatementResult> results = m_sql->runProcedure(name, arguments, &found);
    bool ok = found;
    if (!found)
        error(w, 2812, QStringLiteral("Could not find stored procedure '%1'.").arg(name));
    for (const CStatementResult &r : results)
        if (!(ok = writeResult(w, r, CTdsWriter::DoneInProc, true)))
            break;
    dropScopeTables(before);
    w.returnStatus(ok ? 0 : -6);
    w.done(CTdsWriter::DoneProc, (ok ? 0 : CTdsWriter::DoneError) | CTdsWriter::DoneMore, 0, 0);
    return ok;
}

bool CTdsSession::run(CTdsWriter &w, const QString &text, const QHash<QString, QVariant> &parameters,
                      CTdsWriter::Token done)
{
    QStringList statements = CSqlDialect::splitStatements(text);
    if (statements.isEmpty())
        statements << QString();
    for (const QString &st : std::as_const(statements)) {
        QString arguments;
        const QString procedure = CStandinSql::procedureCalled(st, &arguments);
        const bool ok = procedure.isEmpty() ? writeResult(w, m_sql->execute(st, parameters), done, true)
                                            : callProcedure(w, procedure, arguments);
        if (!ok)
            return false;
    }
    return true;
}

void CTdsSession::dropScopeTables(const QStringList &before)
{
    for (const QString &t : m_sql->dropTempTablesExcept(before))
        CTdsServer::say(QStringLiteral("drop %1").arg(t));
}

void CTdsSession::batch(const QByteArray &message)
{
    CTdsReader r(message);
    r.skipAllHeaders();
    const QString text = r.ucs2((message.size() - r.position()) / 2);
    CTdsServer::say(QStringLiteral("batch ") + oneLine(text));
    m_server->logStatement(QStringLiteral("batch"), text);
    if (m_server->options().stall && !isSessionSetup(text))
        return;
    CTdsWriter w;
    run(w, text, {}, CTdsWriter::Done);
    w.endWithLastDone();
    const CTdsServer::Options &o = m_server->options();
    if (!o.delayText.isEmpty() && text.contains(o.delayText)) {
        // A slow statement: run at once, its answer held back (the client waits for it).
        QTimer::singleShot(o.delayMs, this, [this, w] { send(w); });
        return;
    }
    send(w);
}

QHash<QString, QVariant> CTdsSession::bind(const QStringList &declared, const QList<Parameter> &values)
{
    QHash<QString, QVariant> out;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString name = !values.at(i).name.isEmpty() ? values.at(i).name : declared.value(i);
        if (!name.isEmpty())
            out.insert(name, values.at(i).value);
    }
    return out;
}

void CTdsSession::openCursor(CTdsWriter &w, const QString &statement, const QHash<QString, QVariant> &parameters,
                             const QList<Parameter> &p, int cursorAt, int scrollAt)
{
    // The whole result is read at once: a static cursor over a snapshot.
    const CStatementResult r = m_sql->execute(statement, parameters);
    qint32 handle = 0;
    qint64 rows = 0;
    bool ok = r.ok;
    if (!r.ok) {
        writeResult(w, r, CTdsWriter::DoneInProc, true);
    } else if (r.hasRows) {
        handle = m_nextHandle++;
        Cursor c;
        c.columns = r.columns;
        c.rows = r.rows;
        rows = qint64(c.rows.size());
        m_cursors.insert(handle, std::move(c));
        w.colMetadata(r.columns);
    } else {
        writeResult(w, r, CTdsWriter::DoneInProc, true);
    }
    w.returnStatus(ok ? 0 : -6);
    for (int i = 0; i < p.size(); ++i) {
        if (!p.at(i).output)
            continue;
        qint32 v = qint32(p.at(i).value.toLongLong());
        if (i == cursorAt)
            v = handle;
        else if (i == scrollAt)
            v = 0x0008; // static
        else if (i == scrollAt + 1)
            v = 0x0001; // read only
        else if (i == scrollAt + 2)
            v = qint32(rows);
        w.returnInt(quint16(i), p.at(i).name, v);
    }
}

void CTdsSession::fetch(CTdsWriter &w, const QList<Parameter> &p)
{
    const qint32 handle = qint32(p.value(0).value.toLongLong());
    const int type = int(p.value(1).value.toLongLong());
    const qint64 rownum = p.value(2).value.toLongLong();
    const qint64 count = qMax<qint64>(1, p.value(3).value.isNull() ? 1 : p.value(3).value.toLongLong());
    auto it = m_cursors.find(handle);
    if (it == m_cursors.end()) {
        error(w, 16916, QStringLiteral("A cursor with the name '%1' does not exist.").arg(handle));
        w.returnStatus(-6);
        return;
    }
    Cursor &c = *it;
    const qint64 total = qint64(c.rows.size());
    qint64 from = c.position;
    switch (type & 0xFF) {
    case FetchFirst:
        from = 0;
        break;
    case FetchNext:
        from = c.position;
        break;
    case FetchPrevious:
        from = c.position - 2 * count;
        break;
    case FetchLast:
        from = total - count;
        break;
    case FetchAbsolute:
        from = rownum - 1;
        break;
    case FetchRelative:
        from = c.position - count + rownum - 1;
        break;
    default:
        break;
    }
    from = qBound<qint64>(0, from, total);
    const qint64 to = qMin(total, from + count);
    w.colMetadata(c.columns);
    for (qint64 i = from; i < to; ++i)
        w.row(c.columns, c.rows[size_t(i)]);
    c.position = to;
    w.done(CTdsWriter::DoneInProc, CTdsWriter::DoneCount | CTdsWriter::DoneMore, 0xC1, quint64(to - from));
    w.returnStatus(0);
}

void CTdsSession::rpc(const QByteArray &message)
{
    CTdsReader r(message);
    r.skipAllHeaders();
    CTdsWriter w;
    bool any = false;
    while (!r.atEnd() && !r.failed()) {
        const quint16 nameLength = r.u16();
        const QString name = nameLength == 0xFFFF ? wellKnownProcedure(r.u16()) : r.ucs2(nameLength);
        r.u16(); // option flags
        QList<Parameter> p;
        bool separator = false;
        while (!r.atEnd()) {
            const qsizetype at = r.position();
            const quint8 next = r.u8();
            if (next == 0x80 || next == 0xFF || next == 0xFE) {
                separator = true;
                break;
            }
            r.seek(at);
            Parameter param;
            if (!r.parameter(&param.name, &param.output, &param.value)) {
                CTdsServer::say(QStringLiteral("rpc %1 unreadable parameter").arg(name));
                error(w, 8016, QStringLiteral("The incoming RPC protocol stream is incorrect."));
                w.done(CTdsWriter::DoneProc, CTdsWriter::DoneError, 0, 0);
                send(w);
                return;
            }
            p.append(param);
        }
        any = true;
        const QString proc = name.toLower();
        QString statement;
        QStringList declared;
        QList<Parameter> values;
        int handleOut = -1;
        if (proc == QLatin1String("sp_executesql")) {
            statement = p.value(0).value.toString();
            declared = CStandinSql::parameterNames(p.value(1).value.toString());
            values = p.mid(2);
        } else if (proc == QLatin1String("sp_prepexec") || proc == QLatin1String("sp_prepare")) {
            statement = p.value(2).value.toString();
            declared = CStandinSql::parameterNames(p.value(1).value.toString());
            values = proc == QLatin1String("sp_prepexec") ? p.mid(3) : QList<Parameter>();
            handleOut = 0;
        } else if (proc == QLatin1String("sp_execute")) {
            const Prepared prepared = m_prepared.value(qint32(p.value(0).value.toLongLong()));
            statement = prepared.statement;
            declared = prepared.names;
            values = p.mid(1);
        } else if (proc == QLatin1String("sp_cursoropen")) {
            statement = p.value(1).value.toString();
            declared = CStandinSql::parameterNames(p.value(5).value.toString());
            values = p.mid(6);
        }
        CTdsServer::say(QStringLiteral("rpc ") + name + (statement.isEmpty() ? QString() : u' ' + oneLine(statement)));
        m_server->logStatement(QStringLiteral("rpc ") + name, statement);
        if (m_server->options().stall && !isSessionSetup(statement))
            return;

        // A "#" table made inside the call is gone when it returns.
        const QStringList before = m_sql->tempTables();
        bool ok = true;
        if (proc == QLatin1String("sp_executesql") || proc == QLatin1String("sp_prepexec") ||
            proc == QLatin1String("sp_execute")) {
            if (proc == QLatin1String("sp_execute") && statement.isEmpty()) {
                error(w, 8179,
                      QStringLiteral("Could not find prepared statement with handle %1.")
                          .arg(p.value(0).value.toLongLong()));
                ok = false;
            } else {
                ok = run(w, statement, bind(declared, values), CTdsWriter::DoneInProc);
            }
            w.returnStatus(ok ? 0 : -6);
        } else if (proc == QLatin1String("sp_prepare")) {
            // Compiled, not run: the client learns the result's columns before executing.
            const CStatementResult compiled = m_sql->execute(statement, {}, true);
            if (compiled.hasRows)
                w.colMetadata(compiled.columns);
            else if (!compiled.ok)
                writeResult(w, compiled, CTdsWriter::DoneInProc, true);
            ok = compiled.ok;
            w.returnStatus(ok ? 0 : -6);
        } else if (proc == QLatin1String("sp_unprepare")) {
            m_prepared.remove(qint32(p.value(0).value.toLongLong()));
            w.returnStatus(0);
        } else if (proc == QLatin1String("sp_cursoropen")) {
            openCursor(w, statement, bind(declared, values), p, 0, 2);
        } else if (proc == QLatin1String("sp_cursorfetch")) {
            fetch(w, p);
        } else if (proc == QLatin1String("sp_cursorclose")) {
            m_cursors.remove(qint32(p.value(0).value.toLongLong()));
            w.returnStatus(0);
        } else if (proc == QLatin1String("sp_cursoroption")) {
            w.returnStatus(0);
        } else if (proc.startsWith(QLatin1String("sp_cursor"))) {
            error(w, 16999, QStringLiteral("%1 is not supported by this server.").arg(name));
            w.returnStatus(-6);
            ok = false;
        } else {
            // A procedure called by name stands for "exec name" in a batch.
            m_server->logStatement(QStringLiteral("rpc"), QStringLiteral("exec ") + name);
            callProcedure(w, name.section(u'.', -1));
            if (separator)
                continue;
            break;
        }
        if (handleOut >= 0) {
            const qint32 handle = m_nextHandle++;
            m_prepared.insert(handle, {statement, declared});
            w.returnInt(quint16(handleOut), p.value(handleOut).name, handle);
        }
        dropScopeTables(before);
        w.done(CTdsWriter::DoneProc, (ok ? 0 : CTdsWriter::DoneError) | CTdsWriter::DoneMore, 0, 0);
        if (!separator)
            break;
    }
    if (!any)
        w.done(CTdsWriter::DoneProc, CTdsWriter::DoneFinal, 0, 0);
    w.endWithLastDone();
    send(w);
}
