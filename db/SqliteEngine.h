#pragma once
// The embedded engine: one SQLite database file, reached through the sqlite3
// C API. Statements in the server dialect are translated by dialect::translate
// against the tables read from the file itself.
//
// The file is read through the page cache, never through a memory map: a map
// of a file that another program empties or truncates ends the process with
// SIGBUS at the next read. Before every statement the engine looks at the
// path it opened: a file deleted or emptied under the program fails the
// statement with a message saying so, and a file put back in its place is
// opened again by the next statement outside a transaction.

#include "db/Dialect.h"
#include "db/Engine.h"

#include <QtGlobal>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace ado {

class SqliteEngine final : public Engine {
public:
    // Opens an existing database file; raises Error when it is missing or unreadable.
    static std::unique_ptr<SqliteEngine> open(const QString &path, int timeoutSeconds);
    // Makes a new database file (or fills an empty one) with the schema script
    // `ddl`, run as it stands, then runs `initialStatements` (server dialect)
    // through the layer, all in one transaction.
    static void create(const QString &path, const QString &ddl, const QStringList &initialStatements);
    // Missing, Empty (no bytes or no tables) or HasTables.
    static DatabaseState probe(const QString &path);

    ~SqliteEngine() override;

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
    sqlite3 *handle() const { return m_db; }

private:
    SqliteEngine(sqlite3 *db, const QString &path);
    void loadCatalog();
    sqlite3_stmt *prepare(const QString &sql);
    [[noreturn]] void fail(int rc, const QString &sql = QString());
    void exec(const char *sql);
    // The failure `rc` of the last call on the handle, worded as the server words it.
    QString describe(int rc) const;
    // Before a statement: the file at the path is the one open, and not
    // emptied; a file put back in its place is opened again. Raises Error.
    void checkFile();

    sqlite3 *m_db = nullptr;
    dialect::Catalog m_catalog;
    QString m_path;
    int m_timeoutSeconds = 0;
    bool m_watchFile = false;  // a database being made is not watched
    quint64 m_device = 0;      // the file open, as the file system names it
    quint64 m_inode = 0;
};

}  // namespace ado
