#pragma once
// The server engine: a PostgreSQL database that several desks share, reached
// through libpq. Statements in the server dialect are translated by
// dialect::translate against the tables read from the server's catalog; the
// schema (resources/Schema/postgres.sql) gives every text column citext with
// the pinyin collation lib_chinese, and defines the functions the translated
// statements call.
//
// Server values: "HOST", "HOST:PORT" or "HOST,PORT" (5432 when no port is
// given); UID and PWD are the server login, DATABASE the database. The
// connection time-out is the shortest libpq allows (2 seconds); a statement
// waits for rows another desk is writing as long as the time-out says.

#include "db/Dialect.h"
#include "db/Engine.h"

#include <memory>

struct pg_conn;
struct pg_result;

namespace ado {

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
    QString translate(const QString &sql) override;
    QStringList integrityProblems() override;

    const dialect::Catalog &catalog() const { return m_catalog; }
    pg_conn *handle() const { return m_conn; }

private:
    explicit PostgresEngine(pg_conn *conn);
    static pg_conn *connect(const ConnectionInfo &info, const QString &database);
    void loadCatalog();
    // Runs one statement with text parameters; raises Error on failure. The
    // caller owns the result.
    pg_result *run(const QString &sql, const QList<QByteArray> &params = {});
    void runScript(const QString &script);
    [[noreturn]] void fail(pg_result *res);

    pg_conn *m_conn = nullptr;
    dialect::Catalog m_catalog;
    bool m_inTransaction = false;
};

}  // namespace ado
