#pragma once
// The server engine: a PostgreSQL database that several desks share, reached
// through libpq. Statements in the server dialect are translated by
// dialect::translate against the tables read from the server's catalog; the
// schema (resources/Schema/postgres.sql) gives every text column citext with
// the pinyin collation lib_chinese, and defines the functions the translated
// statements call.
//
// Server values: "HOST", "HOST:PORT" or "HOST,PORT" (5432 when no port is
// given); UID and PWD are the server login, DATABASE the database.
//
// Nothing waits on the server without end. Connecting gives up after the
// connection time-out (no less than 2 seconds); a statement waits for rows
// another desk is writing as long as that time-out says, then the database
// is busy; a statement the server has not finished within the command
// time-out (30 seconds) is cancelled and its connection dropped, so the next
// statement connects again. The wait is bounded here, on the desk: a server
// process that stops answering still has its machine answer TCP. TCP
// keepalives and the TCP user time-out find a network lost between two
// statements within the same command time-out.
//
// Every failure is told by the server's code (SQLSTATE), the connection's
// status or the network's error number, never by the wording of a message,
// which follows the server's language.

#include "db/Dialect.h"
#include "db/Engine.h"

#include <memory>

struct pg_conn;
struct pg_result;
struct pg_cancel;

namespace ado {

// Owners of libpq's handles: a connection is finished, a result cleared, a
// cancel request freed when its owner goes.
namespace pg {
struct ConnFinish {
    void operator()(pg_conn *c) const;
};
struct ResultClear {
    void operator()(pg_result *r) const;
};
struct CancelFree {
    void operator()(pg_cancel *c) const;
};
using Conn = std::unique_ptr<pg_conn, ConnFinish>;
using Result = std::unique_ptr<pg_result, ResultClear>;
using Cancel = std::unique_ptr<pg_cancel, CancelFree>;
}  // namespace pg

class PostgresEngine final : public Engine {
public:
    // Connects; raises Error (the server's own wording, see ServerMessages.h)
    // when the server can't be reached, the login is refused or the database
    // does not exist.
    static std::unique_ptr<PostgresEngine> open(const ConnectionInfo &info);
    // Missing (no such database), Empty (no tables) or HasTables.
    static DatabaseState probe(const ConnectionInfo &info);
    // Makes the database when it is missing (when the login may), then the
    // schema script `ddl` and `initialStatements` (server dialect) through the
    // layer, all in one transaction. Refuses a database that has tables.
    static void create(const ConnectionInfo &info, const QString &ddl, const QStringList &initialStatements);
    // Drops a database (tests); nothing when it does not exist.
    static void drop(const ConnectionInfo &info);

    ~PostgresEngine() override;

    std::shared_ptr<store::StoredResult> select(const dialect::Translation &tr, qint64 limit, qint64 offset) override;
    dialect::Translation translation(const QString &sql, bool updatable = false) override;
    long execute(const QString &sql) override;
    long executeBatch(const QString &sql, const std::vector<QVariantList> &rows) override;
    std::vector<QVariant> updateRow(const ResultSet &result, int row, const std::vector<FieldChange> &changes) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    int claimFirst(const std::vector<qint64> &keys) override;
    void readOneSnapshot() override;
    QString translate(const QString &sql) override;
    QStringList integrityProblems() override;

    const dialect::Catalog &catalog() const { return m_catalog; }
    // The server process serving this connection, as the server's
    // administrator sees it (0 while there is no connection).
    int backendPid() const;
    // Cancel requests of statements given up (timedOut) still on their way;
    // each ends within the command time-out (at most the default), and the
    // program's end ends the rest.
    static int cancelsUnderway();
    // The libpq connection, for the engine's own SQL beside the layer (the
    // schema's upgrade steps); null while a time-out has dropped it.
    pg_conn *handle() const { return m_conn.get(); }

private:
    PostgresEngine(const ConnectionInfo &info, const QString &database, pg::Conn conn);
    // Connects within the connection time-out; raises Error saying why not.
    static pg::Conn connect(const ConnectionInfo &info, const QString &database);
    void loadCatalog();
    // A connection the server dropped, or this engine after a time-out, is
    // made again, but not inside a transaction: that went with it.
    void reconnectIfLost();
    // Runs one statement with text parameters; raises Error on failure.
    pg::Result run(const QString &sql, const QList<QByteArray> &params = {});
    // Runs a statement that writes nothing; outside a transaction, one that
    // finds the connection gone is sent once more on a new connection.
    pg::Result runRead(const QString &sql);
    void runScript(const QString &script);
    // The results of what was sent, within the command time-out; the first
    // failure raises Error.
    pg::Result awaitResult();
    [[noreturn]] void timedOut(int seconds);
    [[noreturn]] void fail(pg::Result res);

    ConnectionInfo m_info;
    QString m_database;
    pg::Conn m_conn;    // null after a time-out dropped it
    QString m_lostWhy;  // why the connection went, for the statements of its transaction
    dialect::Catalog m_catalog;
    bool m_inTransaction = false;
};

}  // namespace ado
