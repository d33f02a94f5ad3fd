#pragma once
// The seam between the program's database objects (Ado.h) and the engine that
// stores the data. Everything above this header speaks the server dialect and
// sees only ado::Engine; which engine answers is picked from the Server value
// of the connection string:
//
//   Server=sqlite   (any letter case) the embedded engine. Its database is the
//                   file "<Database>.db" beside the program (the folder of the
//                   executable), or the Database value itself when that is an
//                   absolute path. The file must exist: only
//                   `librarydb create` (or `ensure`) makes a new one. UID and
//                   PWD are accepted and not checked (a file has no logins).
//   anything else   a PostgreSQL server that several desks share
//                   (PostgresEngine.h): "HOST", "HOST:PORT" or "HOST,PORT";
//                   UID and PWD are its login, Database the database.

#include "db/Ado.h"
#include "db/Dialect.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ado {

namespace store {
class StoredResult;
}

// A value as a connection string holds it: one holding ";" (or starting with
// "{") is braced, each "}" in it doubled ("a;b}" -> "{a;b}}}"); any other as it is.
QString ConnectionValue(const QString &value);

// The parts of "Driver=...;Server=...;UID=...;PWD=...[;Database=...]".
struct ConnectionInfo {
    QString driver;
    QString server;
    QString uid;
    QString pwd;
    QString database;
    int timeoutSeconds = 15;
    // Seconds a statement may run on a server (ado::Connection::CommandTimeout);
    // a lost network is also found within them.
    int commandTimeoutSeconds = kDefaultCommandTimeout;

    // Keys are matched without regard to case; values are taken as written,
    // but for a braced value of Server, UID, PWD or Database (see ConnectionValue).
    // A string without a Server value raises Error.
    static ConnectionInfo parse(const QString &connectionString);
    // The program's settings line "SERVER|UID|PWD|DATABASE" (as in Saves/Server.ini).
    static ConnectionInfo fromSettings(const QString &settingsLine);
    QString toString() const;

    bool isEmbedded() const;  // Server=sqlite
    // The database file of the embedded engine (see above).
    QString embeddedPath() const;
};

// One changed field of a row written back through a recordset.
using FieldChange = std::pair<int, QVariant>;  // result column, new value

class Engine : public std::enable_shared_from_this<Engine> {
public:
    virtual ~Engine() = default;

    // Runs one SELECT. Its rows are read as they are asked for: the first
    // rows at once and, when there are more, how many there are; the rest in
    // growing parts when a reader reaches them (PagedResult.h), so a list of a
    // million rows shows its first screen at once. An updatable result
    // (dynamic cursor, optimistic lock) is read whole and also remembers which
    // stored row each record came from, when the statement reads one table. A
    // statement that returns no rows is run as Execute would and gives a null
    // pointer.
    ResultSetPtr query(const QString &sql, bool updatable);
    // The same without the count: a forward-only read, which learns how many
    // rows there are only when asked, by reading them all.
    ResultSetPtr queryForward(const QString &sql);
    // The rows `tr.rows(limit, offset)` of a translated SELECT, read whole.
    virtual std::shared_ptr<store::StoredResult> select(const dialect::Translation &tr, qint64 limit,
                                                        qint64 offset) = 0;
    // How many rows a translated SELECT gives.
    qint64 count(const dialect::Translation &tr);
    virtual dialect::Translation translation(const QString &sql, bool updatable = false) = 0;
    // Runs one statement; returns the rows it touched (-1 for a SELECT).
    virtual long execute(const QString &sql) = 0;
    // Runs one INSERT/UPDATE/DELETE with "?" placeholders once per row of
    // values, inside the current transaction. Values are converted to the
    // columns they fill as literals would be. Returns the rows touched.
    virtual long executeBatch(const QString &sql, const std::vector<QVariantList> &rows) = 0;
    // Writes changed fields of record `row` of an updatable result back to its
    // table; returns the new values of those fields as the result reads them.
    virtual std::vector<QVariant> updateRow(const ResultSet &result, int row,
                                            const std::vector<FieldChange> &changes) = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Claims, for the rest of the current transaction and without waiting,
    // the first of `keys` that no other transaction holds; returns its index,
    // or -1 when every one is held. Desks that take numbers from one range
    // claim a number before they look whether it is free (core/ClockNumber.h).
    // The embedded engine lets one transaction write at a time: every key is its own.
    virtual int claimFirst(const std::vector<qint64> &keys) { return keys.empty() ? -1 : 0; }
    // Called first in a transaction: its reads all see the database as it was
    // at its first statement, and changing a row another desk changed since
    // fails (busy) instead of writing over it. For a long action whose checks
    // and writes must agree without holding other desks up (the clean-up).
    // The embedded engine's writer holds the whole file: it is so already.
    virtual void readOneSnapshot() { }

    // The statement the engine actually runs for `sql` (for diagnostics and tests).
    virtual QString translate(const QString &sql) = 0;
    // The engine's own check of its storage: one line a problem, none when sound.
    virtual QStringList integrityProblems() = 0;

    // Seconds a statement may run on a server before it is given up (see
    // ado::Connection::CommandTimeout); the embedded engine has no server to wait for.
    void setCommandTimeout(int seconds) { m_commandTimeout = seconds; }
    int commandTimeout() const { return m_commandTimeout; }

protected:
    int m_commandTimeout = kDefaultCommandTimeout;
};

// The key columns of `table` as a failure names them ("a, b"); "" when the
// catalog knows no such table or it has no key.
QString KeyColumnsText(const dialect::Catalog &catalog, const QString &table);

// Opens the engine named by info.server; raises Error when there is none or
// the database cannot be opened.
std::unique_ptr<Engine> OpenEngine(const ConnectionInfo &info);

// A schema file built into the program (":/Schema/<name>"), else the one in
// `schemaDir`; raises Error when neither can be read.
QString ReadSchemaFile(const QString &name, const QString &schemaDir = QString());

enum class DatabaseState { Missing, Empty, HasTables };
DatabaseState ProbeDatabase(const ConnectionInfo &info);

// Creates the program's tables and initial contents from the schema files
// built into the program (":/Schema/sqlite.sql", ":/Schema/initial.sql"); a
// file missing there is read from `schemaDir` (resources/Schema, placed beside
// the program as "Schema/"). Refuses (Error) a database that already has tables.
void CreateDatabase(const ConnectionInfo &info, const QString &schemaDir);
// The same from the schema files `read` gives by name ("sqlite.sql", "postgres.sql",
// "initial.sql"): a database of an older schema, for the upgrade's tests.
void CreateDatabase(const ConnectionInfo &info, const std::function<QString(const QString &name)> &read);

}  // namespace ado
