#pragma once
// The program's database objects: one connection, recordsets read from it,
// statements executed on it. Statements are written in the server dialect
// the windows use (INSERT without INTO, TOP n, CONVERT styles, "*=" joins ...);
// the dialect layer turns them into what the engine behind the connection runs.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace ado {

// A database failure. Description() is the text windows show to the user.
// Every failure of the database objects (engine errors, statements outside
// the accepted dialect, field access at end of file ...) is raised as Error.
class Error : public std::runtime_error {
public:
    explicit Error(const QString &description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }
    const QString &Description() const { return m_description; }

private:
    QString m_description;
};

// A COMMIT the server may or may not have carried out: it was sent, and its
// answer never came (the command time-out, a connection lost on the way).
// The transaction is over either way; nothing of it is sent again. Whoever
// catches it reads again what is stored before anything else is written.
class InDoubtError : public Error {
public:
    using Error::Error;
};

enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3 };
enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

// How long one statement may run on the database server, in seconds, before
// it is given up: the default command time-out of the platform the program
// was designed on. See Connection::CommandTimeout.
inline constexpr int kDefaultCommandTimeout = 30;
// The database clean-up's deletes over years of records may take longer.
inline constexpr int kCleanUpCommandTimeout = 600;

class Engine;     // the engine behind a connection (SQLite, PostgreSQL)
class ResultSet;  // rows read by one statement

// Rows read by one SELECT, held compactly; shared by a recordset and any grid
// bound to it, so binding copies nothing.
// value() is typed: text as QString, int and yes/no flags as qlonglong, money
// as double (stored exactly, in ten-thousandths), dates as QDateTime, binary as
// QByteArray. text() is what a grid shows: money as a plain number ("0.3"),
// a date at midnight as "yyyy-mm-dd", else "yyyy-mm-dd hh:mm:ss".
class ResultSet {
public:
    virtual ~ResultSet() = default;
    virtual int rowCount() const = 0;
    // Whether there is a row `row`; a result read in parts reads no further than it.
    virtual bool hasRow(int row) const { return row >= 0 && row < rowCount(); }
    virtual int columnCount() const = 0;
    virtual QString columnName(int col) const = 0;
    virtual bool isNull(int row, int col) const = 0;
    virtual QVariant value(int row, int col) const = 0;  // Null as an invalid QVariant
    virtual QString text(int row, int col) const = 0;    // as a grid shows it; Null as ""
    virtual qint64 memoryBytes() const { return -1; }    // about how much memory the rows hold

    // Rows read as they are asked for (PagedResult.h) may fail to come (the
    // server gone, the file locked): rowCount then ends before them, and they
    // read as no rows until readAgain lets the next reader try them again.
    // The failure's description, once per failure; empty when none is new.
    virtual QString takeReadFailure() const { return QString(); }
    // Whether there are rows past rowCount that could not be read.
    virtual bool rowsUnread() const { return false; }
    virtual void readAgain() const { }
};
using ResultSetPtr = std::shared_ptr<const ResultSet>;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString ConnectionString;
    int ConnectionTimeout = 15;  // seconds
    // Seconds a statement may run on the database server. One that has not
    // finished by then (a server stopped, a network gone) fails with a
    // time-out; its connection is dropped and the next statement connects
    // again. A change applies from the next statement on.
    int CommandTimeout = kDefaultCommandTimeout;

    // Opens with ConnectionString (or the given one). The string is
    // "Driver=...;Server=...;UID=...;PWD=...[;Database=...]"; the Server value
    // picks the engine (Server=sqlite: the embedded database "<Database>.db"
    // beside the program, see db/Engine.h). ConnectionTimeout is how long
    // a statement waits for a database another program is writing to.
    void Open(const QString &connectionString = QString(), const QString &userId = QString(),
              const QString &password = QString());
    void Close();
    int State() const;  // adStateOpen or adStateClosed

    // Runs one statement; returns the number of rows it touched (-1 for a SELECT).
    // Several statements in one text are refused.
    long Execute(const QString &sql);
    // Runs one INSERT/UPDATE/DELETE holding "?" placeholders once per row of
    // values (bulk loading); values are converted to their columns as literals
    // would be. Returns the rows touched.
    long ExecuteBatch(const QString &sql, const std::vector<QVariantList> &rows);
    // The statement the engine runs for `sql` (diagnostics).
    QString Translate(const QString &sql) const;

    // Several statements that must agree are written together (ado::Transaction
    // in db/Transaction.h runs them). Transactions do not nest: BeginTrans
    // inside one raises Error. A failed CommitTrans leaves the transaction open
    // for RollbackTrans; one whose answer never came raises InDoubtError, and
    // RollbackTrans then has nothing left to undo.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    Engine *engine() const;  // null while closed

    // Test seam: while set, every statement of every connection is handed to
    // the hook just before it runs (a recordset's SELECT, Execute, each batch,
    // a recordset's Update as "UPDATE", a commit as "COMMIT"). An Error the
    // hook raises fails that statement as the engine would.
    using StatementHook = std::function<void(const QString &statement)>;
    static void SetStatementHook(StatementHook hook);
    static void BeforeStatement(const QString &statement);

private:
    friend class Recordset;
    // The engine for the next statement, told the command time-out; raises
    // Error while closed.
    Engine &ready() const;

    std::shared_ptr<Engine> m_engine;  // results read in parts hold it weakly
    int m_transDepth = 0;
};

// Gives the statements run while it lives a longer command time-out, then
// puts the one before back:
//
//   ado::CommandTimeoutScope longer(SQLConn(), ado::kCleanUpCommandTimeout);
class CommandTimeoutScope {
public:
    CommandTimeoutScope(Connection &conn, int seconds) : m_conn(conn), m_before(conn.CommandTimeout)
    {
        conn.CommandTimeout = seconds;
    }
    ~CommandTimeoutScope() { m_conn.CommandTimeout = m_before; }
    CommandTimeoutScope(const CommandTimeoutScope &) = delete;
    CommandTimeoutScope &operator=(const CommandTimeoutScope &) = delete;

private:
    Connection &m_conn;
    int m_before;
};

// One recordset on a connection, over the whole result of its statement.
// Reading a field at end of file, or a field that does not exist, raises Error.
class Recordset {
public:
    Recordset();
    ~Recordset();

    void Open(const QString &sql, Connection &conn, CursorType cursor = adOpenKeyset, LockType lock = adLockReadOnly);
    void Close();
    int State() const;

    bool EOF_() const;
    bool BOF_() const;
    void MoveNext();
    void MoveFirst();
    long RecordCount() const;
    long AbsolutePosition() const;  // 1-based, 0 when no current row

    int FieldCount() const;
    QString FieldName(int index) const;
    QStringList FieldNames() const;
    QVariant Fields(const QString &name) const;
    QVariant Fields(int index) const;
    bool HasField(const QString &name) const;

    // Dynamic/optimistic recordsets only: assign fields of the current row, then
    // Update writes them to the row of the statement's table (a single-table
    // SELECT); the fields then read the new values.
    void SetField(const QString &name, const QVariant &value);
    void Update();

    ResultSetPtr result() const { return m_result; }

private:
    int fieldIndex(const QString &name) const;
    void requireRow() const;
    // Raises the failure of rows that could not be read just now.
    void raiseReadFailure() const;

    Connection *m_conn = nullptr;
    QString m_sql;
    ResultSetPtr m_result;
    int m_pos = 0;
    bool m_open = false;
    LockType m_lock = adLockReadOnly;
    std::vector<std::pair<int, QVariant>> m_pending;
    std::map<std::pair<int, int>, QVariant> m_updated;  // (row, field) -> value written by Update
};

}  // namespace ado
