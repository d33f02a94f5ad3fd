#include "db/PostgresEngine.h"

#include "db/ResultStore.h"
#include "db/ServerMessages.h"

#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ado {

namespace pg {
void ConnFinish::operator()(PGconn *c) const { PQfinish(c); }
void ResultClear::operator()(PGresult *r) const { PQclear(r); }
void CancelFree::operator()(PGcancel *c) const { PQfreeCancel(c); }
}  // namespace pg

using dialect::Kind;
using store::StoredColumn;
using store::StoredResult;

namespace {

// Type numbers of the built-in types a result can hold.
enum : Oid {
    BoolOid = 16,
    ByteaOid = 17,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    DateOid = 1082,
    TimestampOid = 1114,
    TimestamptzOid = 1184,
    NumericOid = 1700,
};

struct Address {
    QString host;
    QString port;
};

// "HOST", "HOST:PORT" or "HOST,PORT".
Address address(const QString &server)
{
    Address a;
    QString s = server.trimmed();
    const int sep = std::max(s.lastIndexOf(QLatin1Char(',')), s.lastIndexOf(QLatin1Char(':')));
    if (sep > 0) {
        a.port = s.mid(sep + 1).trimmed();
        s.truncate(sep);
    }
    a.host = s.trimmed();
    if (a.port.isEmpty()) a.port = QStringLiteral("5432");
    return a;
}

void ignoreNotice(void *, const char *) { }

using Clock = std::chrono::steady_clock;

// Waits until the socket is ready for `events` or the deadline passes (false).
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    if (fd < 0) return true;  // nothing to wait on: libpq reports the fault
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(std::min<long long>(left, INT_MAX)));
        if (n > 0) return true;
        if (n == 0) return false;
        if (errno != EINTR) return true;
    }
}

// Cancel requests on their way, each in a process of its own: PQcancel
// waits on its connection without a bound, and a process, unlike a thread,
// can be ended. The child does only what a signal handler may (as PQcancel
// itself does) and ends itself by the alarm at its bound; the program reaps
// the children that ended and, at its end, ends and reaps the rest.
class PendingCancels {
public:
    void send(PGcancel *request, int droppedSocket, int boundSeconds)
    {
        reap(false);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::signal(SIGALRM, SIG_DFL);
            sigset_t alarmOnly;
            ::sigemptyset(&alarmOnly);
            ::sigaddset(&alarmOnly, SIGALRM);
            ::sigprocmask(SIG_UNBLOCK, &alarmOnly, nullptr);
            ::alarm(unsigned(std::max(1, boundSeconds)));
            // The server sees the dropped connection close when the program closes it.
            if (droppedSocket >= 0) ::close(droppedSocket);
            char why[256];
            PQcancel(request, why, int(sizeof why));
            ::_exit(0);
        }
        // No process to be had: the statement is not cancelled, and the
        // server ends it when it finds the connection gone.
        if (pid < 0) return;
        const std::lock_guard<std::mutex> hold(m_lock);
        m_pids.push_back(pid);
    }

    // Reaps the requests that ended, with `all` after ending the rest; the
    // number still on their way.
    int reap(bool all)
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        std::erase_if(m_pids, [all](pid_t pid) {
            if (all) ::kill(pid, SIGKILL);
            int status = 0;
            pid_t r;
            do r = ::waitpid(pid, &status, all ? 0 : WNOHANG);
            while (r < 0 && errno == EINTR);
            return r != 0;  // reaped, or no child of this program any more
        });
        return int(m_pids.size());
    }

    ~PendingCancels() { reap(true); }

private:
    std::mutex m_lock;
    std::vector<pid_t> m_pids;
};

PendingCancels &pendingCancels()
{
    static PendingCancels pending;
    return pending;
}

// A connection the server refused, with the server's code (SQLSTATE).
class ConnectRefusal : public Error {
public:
    ConnectRefusal(const QString &description, const QString &sqlstate) : Error(description), m_state(sqlstate) { }
    const QString &sqlstate() const { return m_state; }

private:
    QString m_state;
};

// The server's code in a failed connection's message. While connecting, the
// connection reports a server's refusal as its severity and its code alone
// ("FATAL:  3D000", the severity in the server's language); libpq's own
// lines before it (one for each address tried) carry no code.
QString refusalCode(const QString &message)
{
    static const QRegularExpression code(QStringLiteral(":  ([0-9A-Z]{5})$"), QRegularExpression::MultilineOption);
    QString last;
    for (QRegularExpressionMatchIterator it = code.globalMatch(message); it.hasNext();) last = it.next().captured(1);
    return last;
}

// Why nothing answered at `a` as a database server, as the network says: the
// name resolved or not, and the error number of a connection tried again
// until the deadline.
QString networkFailure(const Address &a, Clock::time_point deadline, int seconds)
{
    const QByteArray host = a.host.toUtf8(), port = a.port.toUtf8();
    int error = 0;
    auto attempt = [&](const sockaddr *addr, socklen_t len, int family) {
        const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return errno;
        int err = ::connect(fd, addr, len) == 0 ? 0 : errno;
        if (err == EINPROGRESS) {
            if (!waitFor(fd, POLLOUT, deadline)) {
                err = ETIMEDOUT;
            } else {
                socklen_t n = sizeof err;
                if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &n) != 0) err = errno;
            }
        }
        ::close(fd);
        return err;
    };
    if (a.host.startsWith(QLatin1Char('/'))) {  // a folder holding the server's Unix socket
        sockaddr_un un{};
        un.sun_family = AF_UNIX;
        const QByteArray path = host + "/.s.PGSQL." + port;
        std::snprintf(un.sun_path, sizeof un.sun_path, "%s", path.constData());
        error = attempt(reinterpret_cast<const sockaddr *>(&un), sizeof un, AF_UNIX);
        if (error == ENOENT) error = ECONNREFUSED;
    } else {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *list = nullptr;
        if (::getaddrinfo(host.constData(), port.constData(), &hints, &list) != 0) return msg::hostUnknown(a.host);
        const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(list, ::freeaddrinfo);
        for (const addrinfo *ai = list; ai; ai = ai->ai_next) {
            error = attempt(ai->ai_addr, ai->ai_addrlen, ai->ai_family);
            if (error == 0 || error == ETIMEDOUT) break;
        }
    }
    switch (error) {
    case 0: return msg::closedByServer();
    case ECONNREFUSED: return msg::connectionRefused(a.port);
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN: return msg::networkUnreachable();
    case ETIMEDOUT: return msg::noAnswerWithin(seconds);
    default: return msg::networkError(error);
    }
}

// Why a connection failed: the server's code when it refused, else the network's.
[[noreturn]] void connectFailed(PGconn *c, const ConnectionInfo &info, const QString &database, const Address &a,
                                Clock::time_point deadline, int seconds)
{
    const QString state = refusalCode(QString::fromUtf8(PQerrorMessage(c)));
    QString why;
    if (state == QLatin1String("3D000"))
        why = msg::databaseNotFound(database);
    else if (state == QLatin1String("28P01"))
        why = msg::loginFailed(info.uid, msg::wrongPassword());
    else if (state == QLatin1String("28000"))
        why = msg::loginFailed(info.uid, msg::loginNotAllowedFromHere());
    else if (state == QLatin1String("42501"))
        why = msg::loginFailed(info.uid, msg::noRightToConnect(database));
    else if (state == QLatin1String("53300"))
        why = msg::serverNotFound(info.server, msg::tooManyConnections());
    else if (state.startsWith(QLatin1String("57P")))
        why = msg::serverNotFound(info.server, msg::serverStartingOrStopping());
    else if (!state.isEmpty())
        why = msg::serverNotFound(info.server, msg::refusedWithCode(state));
    else
        why = msg::serverNotFound(
            info.server, networkFailure(a, std::max(deadline, Clock::now() + std::chrono::seconds(1)), seconds));
    throw ConnectRefusal(why, state);
}

QString field(const PGresult *res, int code)
{
    const char *v = PQresultErrorField(res, code);
    return v ? QString::fromUtf8(v) : QString();
}

// The failure of a statement, worded as the server words it.
QString statementFailure(const PGresult *res, const QString &database, const dialect::Catalog &catalog)
{
    const QString state = field(res, PG_DIAG_SQLSTATE);
    const QString primary = field(res, PG_DIAG_MESSAGE_PRIMARY);
    const QString table = field(res, PG_DIAG_TABLE_NAME);
    if (state == QLatin1String("23505")) {
        // Named as the embedded engine names it: the key's columns and the
        // repeated key, which the detail gives in any language as "(列)=(值)"
        // (none where the login may not read it), or the index, without the
        // values: the two engines' indexes don't hold the same columns.
        const QString constraint = field(res, PG_DIAG_CONSTRAINT_NAME);
        const QString keys = KeyColumnsText(catalog, table);
        static const QRegularExpression repeated(QStringLiteral("\\)=\\((.*)\\)"),
                                                 QRegularExpression::DotMatchesEverythingOption);
        if (constraint.endsWith(QLatin1String("_pkey")) && !keys.isEmpty())
            return msg::duplicateKey(table, keys, repeated.match(field(res, PG_DIAG_MESSAGE_DETAIL)).captured(1));
        return msg::duplicateIndexRow(table, constraint, QString());
    }
    if (state == QLatin1String("23502")) return msg::nullNotAllowed(table, field(res, PG_DIAG_COLUMN_NAME));
    if (state == QLatin1String("23514") || state == QLatin1String("23P01")) return msg::valueDoesNotFit(primary);
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return msg::busy();
    if (state == QLatin1String("57014")) return msg::statementCancelled();
    if (state == QLatin1String("22007") || state == QLatin1String("22008")) return msg::dateConversionFailed();
    if (state == QLatin1String("25006")) return msg::readOnly(database, msg::readOnlyServer());
    if (state == QLatin1String("25P02")) return msg::transactionRolledBack();
    // The database layer's own functions (postgres.sql) word their failures themselves.
    if (state == QLatin1String("LB000")) return primary;
    if (state == QLatin1String("22012")) return msg::divisionByZero();
    // The money text's own function raises the money overflow; any other is
    // arithmetic past what a whole number or an amount holds.
    if (state == QLatin1String("22003"))
        return field(res, PG_DIAG_CONTEXT).contains(QLatin1String("lib_money_text(")) ? msg::moneyOverflow()
                                                                                      : msg::arithmeticOverflow();
    if (state == QLatin1String("22019")) return msg::likeEscapeNotSingle();
    if (state == QLatin1String("53100")) return msg::diskFull();
    if (state == QLatin1String("53200")) return msg::outOfMemory();
    return msg::engineFailure(primary.isEmpty() ? QString::fromUtf8(PQresultErrorMessage(res)).trimmed() : primary);
}

// A bytea value in the server's hex output ("\x4a6f...").
QByteArray fromHex(const char *p, int n)
{
    if (n >= 2 && p[0] == '\\' && p[1] == 'x') return QByteArray::fromHex(QByteArray::fromRawData(p + 2, n - 2));
    return QByteArray(p, n);
}

// One cell of a text-format result into its stored column, in the forms the
// embedded engine stores: whole numbers as integers, dates as
// "yyyy-mm-dd hh:nn:ss", text as UTF-8, bytes as bytes.
void addCell(StoredColumn &col, const PGresult *res, int row, int f, Oid type)
{
    const size_t r = size_t(row);
    if (PQgetisnull(res, row, f)) return col.addNull(r);
    const char *p = PQgetvalue(res, row, f);
    const int n = PQgetlength(res, row, f);
    switch (type) {
    case BoolOid: return col.addInt(p[0] == 't' ? 1 : 0, r);
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid: return col.addInt(std::strtoll(p, nullptr, 10), r);
    case Float4Oid:
    case Float8Oid: return col.addReal(std::strtod(p, nullptr), r);
    case NumericOid: {
        // A whole number (a sum of counts or of money) stays whole.
        const char *dot = std::strchr(p, '.');
        const bool whole =
            !dot ? std::strpbrk(p, "eEN") == nullptr : std::all_of(dot + 1, p + n, [](char c) { return c == '0'; });
        if (whole && (dot ? dot - p : n) < 19) return col.addInt(std::strtoll(p, nullptr, 10), r);
        return col.addReal(std::strtod(p, nullptr), r);
    }
    case ByteaOid: {
        const QByteArray b = fromHex(p, n);
        return col.addBytes(store::CBlob, b.constData(), size_t(b.size()), r);
    }
    case DateOid: {
        const QByteArray d = QByteArray(p, n) + " 00:00:00";
        return col.addBytes(store::CText, d.constData(), size_t(d.size()), r);
    }
    case TimestampOid:
    case TimestamptzOid: return col.addBytes(store::CText, p, size_t(std::min(n, 19)), r);
    default: return col.addBytes(store::CText, p, size_t(n), r);
    }
}

// A stored-form value as a text parameter (null for Null).
QByteArray paramText(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return QByteArray();
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return QByteArray::number(v.toLongLong());
    case QMetaType::Bool: return v.toBool() ? "1" : "0";
    case QMetaType::Double:
    case QMetaType::Float: return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QByteArray: return "\\x" + v.toByteArray().toHex();
    default: {
        const QString s = v.toString();
        if (s.contains(QChar(0))) throw Error(msg::nulInText(s));
        QByteArray u = s.toUtf8();
        if (u.isNull()) u = QByteArray("");  // an empty text is not Null
        return u;
    }
    }
}

QString quoteName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

Kind kindOfType(const QString &type)
{
    if (type == QLatin1String("lib_money")) return Kind::Money;
    if (type == QLatin1String("lib_flag") || type == QLatin1String("bool")) return Kind::Flag;
    if (type == QLatin1String("int2") || type == QLatin1String("int4") || type == QLatin1String("int8"))
        return Kind::Int;
    if (type.startsWith(QLatin1String("timestamp")) || type == QLatin1String("date")) return Kind::Date;
    if (type == QLatin1String("bytea")) return Kind::Blob;
    if (type == QLatin1String("numeric") || type.startsWith(QLatin1String("float"))) return Kind::Decimal;
    return Kind::Text;
}

}  // namespace

PostgresEngine::PostgresEngine(const ConnectionInfo &info, const QString &database, pg::Conn conn)
    : m_info(info), m_database(database), m_conn(std::move(conn))
{
    m_catalog.flavour.engine = dialect::Flavour::Engine::Postgres;
    m_commandTimeout = info.commandTimeoutSeconds;
}

PostgresEngine::~PostgresEngine() = default;

int PostgresEngine::backendPid() const { return m_conn ? PQbackendPID(m_conn.get()) : 0; }

pg::Conn PostgresEngine::connect(const ConnectionInfo &info, const QString &database)
{
    const Address a = address(info.server);
    if (a.host.isEmpty()) throw Error(msg::serverNotFound(info.server, msg::hostUnknown(info.server)));
    // libpq takes no less than 2 seconds to give up on a server; the program
    // has always waited that long.
    const int connectTimeout = std::max(2, info.timeoutSeconds);
    // A network lost between two statements is found within the command
    // time-out: keepalive probes after a third of it, then four more a sixth
    // apart; data unacknowledged as long drops the connection too.
    const int command = std::max(1, info.commandTimeoutSeconds);
    const QByteArray host = a.host.toUtf8(), port = a.port.toUtf8(), user = info.uid.toUtf8(),
                     password = info.pwd.toUtf8(), db = database.toUtf8(),
                     idle = QByteArray::number(std::max(1, command / 3)),
                     interval = QByteArray::number(std::max(1, command / 6)),
                     userTimeout = QByteArray::number(command * 1000),
                     // How long a statement waits for rows another desk is writing.
        options = "-c lock_timeout=" + QByteArray::number(std::max(1, info.timeoutSeconds) * 1000)
                  + " -c client_min_messages=warning -c datestyle=ISO"
                  // A key looked up in an index costs little more than a page
                  // read in turn on today's disks: the planner is told so, and
                  // joins the open loans to their copies by index.
                  + " -c random_page_cost=1.1"
                  // Every text key compares case-blind in the pinyin collation,
                  // which costs far more than the planner reckons a comparison:
                  // a merge join compares every row of both sides so, where a
                  // hash join lower-cases each key once.
                  + " -c enable_mergejoin=off";
    const char *keys[] = {"host",
                          "port",
                          "user",
                          "password",
                          "dbname",
                          "client_encoding",
                          "application_name",
                          "options",
                          "keepalives",
                          "keepalives_idle",
                          "keepalives_interval",
                          "keepalives_count",
                          "tcp_user_timeout",
                          nullptr};
    const char *values[] = {host.constData(),
                            port.constData(),
                            user.constData(),
                            password.constData(),
                            db.constData(),
                            "UTF8",
                            "veltrane",
                            options.constData(),
                            "1",
                            idle.constData(),
                            interval.constData(),
                            "4",
                            userTimeout.constData(),
                            nullptr};
    // Connected step by step, so that the wait is the program's to bound.
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(connectTimeout);
    pg::Conn c(PQconnectStartParams(keys, values, 0));
    if (!c) throw Error(msg::outOfMemory());
    // A refusal by the server reads as its code alone (see refusalCode).
    PQsetErrorVerbosity(c.get(), PQERRORS_SQLSTATE);
    PostgresPollingStatusType st = PQstatus(c.get()) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    while (st != PGRES_POLLING_OK && st != PGRES_POLLING_FAILED) {
        if (!waitFor(PQsocket(c.get()), st == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline)) {
            const bool taken = PQstatus(c.get()) != CONNECTION_STARTED;
            throw Error(msg::serverNotFound(info.server, taken ? msg::loginNotAnsweredWithin(connectTimeout)
                                                               : msg::noAnswerWithin(connectTimeout)));
        }
        st = PQconnectPoll(c.get());
    }
    if (st == PGRES_POLLING_FAILED) connectFailed(c.get(), info, database, a, deadline, connectTimeout);
    PQsetErrorVerbosity(c.get(), PQERRORS_DEFAULT);
    PQsetNoticeProcessor(c.get(), ignoreNotice, nullptr);
    // Statements are sent without waiting, and their answers awaited within
    // the command time-out (awaitResult).
    PQsetnonblocking(c.get(), 1);
    return c;
}

std::unique_ptr<PostgresEngine> PostgresEngine::open(const ConnectionInfo &info)
{
    std::unique_ptr<PostgresEngine> e(new PostgresEngine(info, info.database, connect(info, info.database)));
    e->loadCatalog();
    if (e->m_catalog.tables.empty()) throw Error(msg::serverDatabaseWithoutTables(info.database, info.server));
    return e;
}

DatabaseState PostgresEngine::probe(const ConnectionInfo &info)
{
    pg::Conn c;
    try {
        c = connect(info, info.database);
    } catch (const ConnectRefusal &e) {
        if (e.sqlstate() == QLatin1String("3D000")) return DatabaseState::Missing;
        throw;
    }
    PostgresEngine e(info, info.database, std::move(c));
    const pg::Result res =
        e.run(QStringLiteral("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = "
                             "c.relnamespace WHERE n.nspname = current_schema() AND c.relkind = 'r'"));
    const long tables = std::strtol(PQgetvalue(res.get(), 0, 0), nullptr, 10);
    return tables == 0 ? DatabaseState::Empty : DatabaseState::HasTables;
}

void PostgresEngine::create(const ConnectionInfo &info, const QString &ddl, const QStringList &initialStatements)
{
    const DatabaseState state = probe(info);
    if (state == DatabaseState::HasTables) throw Error(msg::databaseHasTables(info.database));
    if (state == DatabaseState::Missing) {
        // Byte order and ASCII-only letter case for the database itself: the
        // columns carry their own collation (pinyin), and citext's equality
        // then folds letter case the quick way, as the embedded engine does.
        const QString postgres = QStringLiteral("postgres");
        PostgresEngine server(info, postgres, connect(info, postgres));
        server.run(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                       .arg(quoteName(info.database)));
    }
    try {
        PostgresEngine e(info, info.database, connect(info, info.database));
        e.run(QStringLiteral("BEGIN"));
        e.runScript(ddl);
        e.loadCatalog();
        for (const QString &s : initialStatements) {
            try {
                e.execute(s);
            } catch (const Error &err) {
                throw Error(msg::scriptStatementFailed(err.Description(), s));
            }
        }
        e.run(QStringLiteral("COMMIT"));
    } catch (...) {
        if (state == DatabaseState::Missing) {
            try {
                drop(info);
            } catch (...) {
                // The database made here is dropped if it can be; the first failure is the one reported.
            }
        }
        throw;
    }
}

void PostgresEngine::drop(const ConnectionInfo &info)
{
    const QString postgres = QStringLiteral("postgres");
    PostgresEngine server(info, postgres, connect(info, postgres));
    server.run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoteName(info.database)));
}

[[noreturn]] void PostgresEngine::fail(pg::Result res)
{
    if (!m_conn || PQstatus(m_conn.get()) == CONNECTION_BAD) {
        // The same reason for every statement until the transaction that went
        // with the connection is rolled back.
        if (m_lostWhy.isEmpty())
            m_lostWhy = res && field(res.get(), PG_DIAG_SQLSTATE).startsWith(QLatin1String("57P"))
                            ? msg::endedByAdministrator()
                            : msg::endedUnexpectedly();
        throw Error(msg::connectionLost(m_lostWhy));
    }
    if (res) throw Error(statementFailure(res.get(), m_database, m_catalog));
    throw Error(msg::engineFailure(QString::fromUtf8(PQerrorMessage(m_conn.get())).trimmed()));
}

// The server may only be slow, or stopped, or out of reach. It is asked to
// cancel the statement on a connection of the request's own, which a lost
// network or a stopped server could hold up as long as TCP tries: so in a
// process of its own, which ends itself within the desk's own bound and is
// ended with the program; this connection is dropped.
[[noreturn]] void PostgresEngine::timedOut(int seconds)
{
    if (pg::Cancel cancel{PQgetCancel(m_conn.get())})
        pendingCancels().send(cancel.get(), PQsocket(m_conn.get()), std::min(seconds, kDefaultCommandTimeout));
    m_conn.reset();
    m_lostWhy = msg::droppedAfterTimeout(seconds);
    throw Error(msg::commandTimedOut(seconds));
}

int PostgresEngine::cancelsUnderway() { return pendingCancels().reap(false); }

void PostgresEngine::reconnectIfLost()
{
    if (m_conn && PQstatus(m_conn.get()) != CONNECTION_BAD) return;
    // Inside a transaction the transaction is gone with the connection, and
    // every statement fails until it is rolled back. Outside one, the
    // statement that found the connection gone has failed already (it is not
    // sent again: it may have run), and this one connects anew.
    if (m_inTransaction) fail(nullptr);
    m_conn.reset();
    m_conn = connect(m_info, m_database);
    m_lostWhy.clear();
}

pg::Result PostgresEngine::awaitResult()
{
    PGconn *c = m_conn.get();
    const int seconds = std::max(1, m_commandTimeout);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
    // What did not fit the socket at once goes as the server takes it.
    for (int left; (left = PQflush(c)) != 0;) {
        if (left < 0) fail(nullptr);
        if (!waitFor(PQsocket(c), POLLIN | POLLOUT, deadline)) timedOut(seconds);
        if (!PQconsumeInput(c)) fail(nullptr);
    }
    pg::Result kept;  // the first failure, else the last result
    auto failed = [](const PGresult *r) {
        const ExecStatusType st = PQresultStatus(r);
        return st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK;
    };
    for (;;) {
        while (PQisBusy(c)) {
            if (!waitFor(PQsocket(c), POLLIN, deadline)) timedOut(seconds);
            if (!PQconsumeInput(c)) break;  // the connection broke: the next result says how
        }
        pg::Result r(PQgetResult(c));
        if (!r) break;
        if (!kept || !failed(kept.get())) kept = std::move(r);
        if (PQstatus(c) == CONNECTION_BAD) break;
    }
    if (!kept || failed(kept.get())) fail(std::move(kept));
    return kept;
}

pg::Result PostgresEngine::run(const QString &sql, const QList<QByteArray> &params)
{
    reconnectIfLost();
    const QByteArray text = sql.toUtf8();
    std::vector<const char *> values;
    for (const QByteArray &p : params) values.push_back(p.isNull() ? nullptr : p.constData());
    if (!PQsendQueryParams(m_conn.get(), text.constData(), int(values.size()), nullptr,
                           values.empty() ? nullptr : values.data(), nullptr, nullptr, 0))
        fail(nullptr);
    return awaitResult();
}

pg::Result PostgresEngine::runRead(const QString &sql)
{
    const bool outside = !m_inTransaction;
    try {
        return run(sql);
    } catch (const Error &) {
        // A connection found gone (a server restarted, a desk's process ended
        // by its administrator since the last action) while nothing of a
        // transaction depends on it: the read goes once more on a new
        // connection. Not after a time-out: the server did not answer, and
        // would keep the clerk waiting as long again.
        if (!outside || m_inTransaction || !m_conn || PQstatus(m_conn.get()) != CONNECTION_BAD) throw;
    }
    m_conn.reset();
    return run(sql);
}

// A script of several statements (the schema), as it stands.
void PostgresEngine::runScript(const QString &script)
{
    reconnectIfLost();
    if (!PQsendQuery(m_conn.get(), script.toUtf8().constData())) fail(nullptr);
    awaitResult();
}

void PostgresEngine::loadCatalog()
{
    m_catalog.tables.clear();
    const pg::Result res =
        run(QStringLiteral("SELECT c.relname, a.attname, t.typname, a.attgenerated <> '', a.attnotnull, EXISTS "
                           "(SELECT 1 FROM pg_index i WHERE i.indrelid = c.oid AND i.indisprimary AND a.attnum = "
                           "ANY (i.indkey)) FROM pg_class c "
                           "JOIN pg_namespace n ON n.oid = c.relnamespace "
                           "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                           "JOIN pg_type t ON t.oid = a.atttypid "
                           "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p') ORDER BY c.oid, a.attnum"));
    const PGresult *r0 = res.get();
    for (int r = 0; r < PQntuples(r0); ++r) {
        const QString table = QString::fromUtf8(PQgetvalue(r0, r, 0));
        if (m_catalog.tables.empty() || m_catalog.tables.back().name != table) {
            m_catalog.tables.emplace_back();
            m_catalog.tables.back().name = table;
        }
        dialect::ColumnInfo c;
        c.name = QString::fromUtf8(PQgetvalue(r0, r, 1));
        c.kind = kindOfType(QString::fromUtf8(PQgetvalue(r0, r, 2)));
        c.generated = PQgetvalue(r0, r, 3)[0] == 't';
        c.notNull = PQgetvalue(r0, r, 4)[0] == 't';
        c.key = PQgetvalue(r0, r, 5)[0] == 't';
        m_catalog.tables.back().columns.push_back(c);
    }
    dialect::defineComputedColumns(m_catalog, ReadSchemaFile(QStringLiteral("computed.sql")));
}

dialect::Translation PostgresEngine::translation(const QString &sql, bool updatable)
{
    return dialect::translate(sql, m_catalog, updatable);
}

QString PostgresEngine::translate(const QString &sql) { return translation(sql).sql; }

std::shared_ptr<StoredResult> PostgresEngine::select(const dialect::Translation &tr, qint64 limit, qint64 offset)
{
    const pg::Result owned = runRead(tr.rows(limit, offset));
    const PGresult *res = owned.get();
    auto rs = std::make_shared<StoredResult>();
    rs->names = tr.columnNames;
    rs->kinds = tr.columnKinds;
    rs->updatable = tr.updatable;
    rs->table = tr.table;
    rs->sourceColumns = tr.sourceColumns;
    const int fields = int(tr.columnNames.size());
    rs->cols.resize(size_t(fields));
    const int rows = PQntuples(res);
    for (int f = 0; f < fields; ++f) {
        const Oid type = PQftype(res, f);
        StoredColumn &col = rs->cols[size_t(f)];
        for (int r = 0; r < rows; ++r) addCell(col, res, r, f, type);
    }
    if (tr.updatable)
        for (int r = 0; r < rows; ++r) addCell(rs->locators, res, r, fields, PQftype(res, fields));
    rs->rows = rows;
    rs->fit();
    return rs;
}

long PostgresEngine::execute(const QString &sql)
{
    const dialect::Translation tr = translation(sql);
    if (!tr.paramKinds.empty()) throw Error(msg::placeholdersNeedBatch());
    const pg::Result res = run(tr.sql);
    return tr.type == dialect::Translation::Select ? -1 : std::strtol(PQcmdTuples(res.get()), nullptr, 10);
}

long PostgresEngine::executeBatch(const QString &sql, const std::vector<QVariantList> &rows)
{
    const dialect::Translation tr = translation(sql);
    if (tr.type == dialect::Translation::Select) throw Error(msg::batchStatementKind());
    long total = 0;
    for (const QVariantList &row : rows) {
        if (size_t(row.size()) != tr.paramKinds.size())
            throw Error(msg::placeholderCount(int(tr.paramKinds.size()), int(row.size())));
        QList<QByteArray> params;
        for (int i = 0; i < row.size(); ++i) params << paramText(dialect::toStorage(tr.paramKinds[size_t(i)], row[i]));
        total += std::strtol(PQcmdTuples(run(tr.sql, params).get()), nullptr, 10);
    }
    return total;
}

std::vector<QVariant> PostgresEngine::updateRow(const ResultSet &result, int row,
                                                const std::vector<FieldChange> &changes)
{
    const auto *rs = dynamic_cast<const StoredResult *>(&result);
    if (!rs || !rs->updatable) throw Error(msg::recordsetNotUpdatable());
    const dialect::TableInfo *t = m_catalog.find(rs->table);
    if (!t || row < 0 || row >= rs->rows) throw Error(msg::rowNotLocated());
    QStringList sets;
    QList<QByteArray> params;
    std::vector<QVariant> readBack;
    for (const FieldChange &ch : changes) {
        const int src = rs->sourceColumns[size_t(ch.first)];
        if (src < 0) throw Error(msg::fieldNotAColumn(rs->names.value(ch.first), t->name));
        const dialect::ColumnInfo &c = t->columns[size_t(src)];
        if (c.generated) throw Error(msg::computedColumnNotModifiable(c.name));
        const QVariant stored = dialect::toStorage(c.kind, ch.second, c.name);
        sets << QStringLiteral("%1 = $%2").arg(quoteName(c.name)).arg(sets.size() + 1);
        params << paramText(stored);
        readBack.push_back(store::readForm(c.kind, stored));
    }
    if (sets.isEmpty()) return readBack;
    params << rs->locator(row).toString().toUtf8();
    // A row written moves (its ctid changes): the result keeps where it went.
    const pg::Result res = run(QStringLiteral("UPDATE %1 SET %2 WHERE ctid = $%3::tid RETURNING ctid")
                                   .arg(quoteName(t->name), sets.join(QStringLiteral(", ")))
                                   .arg(params.size()),
                               params);
    if (PQntuples(res.get()) != 1) throw Error(msg::rowChangedSinceRead());
    rs->relocate(row, QString::fromUtf8(PQgetvalue(res.get(), 0, 0)));
    return readBack;
}

// Every table read through and every index checked where the server has its
// index checker (the amcheck extension); a damaged page fails the read.
QStringList PostgresEngine::integrityProblems()
{
    QStringList problems;
    for (const dialect::TableInfo &t : m_catalog.tables) {
        try {
            run(QStringLiteral("SELECT count(*) FROM %1").arg(quoteName(t.name)));
        } catch (const Error &e) {
            problems << QStringLiteral("%1: %2").arg(t.name, e.Description());
        }
    }
    if (PQntuples(run(QStringLiteral("SELECT 1 FROM pg_extension WHERE extname = 'amcheck'")).get()) == 0)
        return problems;
    const pg::Result idx = run(QStringLiteral(
        "SELECT c.relname, c.oid FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_namespace n ON n.oid "
        "= "
        "c.relnamespace JOIN pg_am a ON a.oid = c.relam WHERE n.nspname = current_schema() AND a.amname = 'btree'"));
    QList<std::pair<QString, QString>> indexes;  // name, oid
    for (int r = 0; r < PQntuples(idx.get()); ++r)
        indexes.append(
            {QString::fromUtf8(PQgetvalue(idx.get(), r, 0)), QString::fromLatin1(PQgetvalue(idx.get(), r, 1))});
    for (const auto &[name, oid] : indexes) {
        try {
            run(QStringLiteral("SELECT bt_index_check(%1::oid::regclass)").arg(oid));
        } catch (const Error &e) {
            problems << QStringLiteral("%1: %2").arg(name, e.Description());
        }
    }
    return problems;
}

// Desks write at the same time: an action locks the rows it reads before it
// writes them (SELECT ... WITH (UPDLOCK), FOR UPDATE here), so desks that
// touch different readers and copies never wait for each other, and one that
// needs a row another desk holds waits no longer than lock_timeout.
void PostgresEngine::begin()
{
    // Nothing is written yet: a BEGIN that finds the connection gone is sent
    // again on a new one, as a read is.
    runRead(QStringLiteral("BEGIN"));
    m_inTransaction = true;
}

// Transaction-level advisory locks: released by the commit or the rollback.
// The keys are tried in their order; the ones after the first free are not taken.
int PostgresEngine::claimFirst(const std::vector<qint64> &keys)
{
    if (keys.empty()) return -1;
    QStringList list;
    for (const qint64 k : keys) list << QString::number(k);
    const pg::Result res = run(QStringLiteral("SELECT i FROM unnest('{%1}'::bigint[]) WITH ORDINALITY AS c(k, i) "
                                              "WHERE pg_try_advisory_xact_lock(k) LIMIT 1")
                                   .arg(list.join(QLatin1Char(','))));
    return PQntuples(res.get()) > 0 ? std::atoi(PQgetvalue(res.get(), 0, 0)) - 1 : -1;
}

void PostgresEngine::readOneSnapshot() { run(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ")); }

void PostgresEngine::commit()
{
    // A connection gone before the COMMIT took the transaction with it: it
    // failed, certainly (reconnectIfLost says so).
    reconnectIfLost();
    if (!PQsendQuery(m_conn.get(), "COMMIT")) fail(nullptr);
    pg::Result res;
    try {
        res = awaitResult();
    } catch (const Error &e) {
        // The server answered: it refused the COMMIT and rolled back.
        if (m_conn && PQstatus(m_conn.get()) != CONNECTION_BAD) throw;
        // Sent, and no answer came: the server may have committed. The
        // transaction is over either way, and the next statement connects again.
        m_inTransaction = false;
        throw InDoubtError(msg::commitInDoubt(m_lostWhy.isEmpty() ? e.Description() : m_lostWhy));
    }
    // COMMIT of a transaction a failed statement aborted answers ROLLBACK.
    const bool rolledBack = qstrcmp(PQcmdStatus(res.get()), "ROLLBACK") == 0;
    m_inTransaction = false;
    if (rolledBack) throw Error(msg::transactionRolledBack());
}

// A transaction whose connection is gone is rolled back already; the next
// statement connects again.
void PostgresEngine::rollback()
{
    m_inTransaction = false;
    if (!m_conn || PQstatus(m_conn.get()) == CONNECTION_BAD) return;
    run(QStringLiteral("ROLLBACK"));
}

}  // namespace ado
