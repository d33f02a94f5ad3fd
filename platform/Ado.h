#pragma once
// The program's database objects: one connection, recordsets read from it,
// statements executed on it. Statements are written in the server dialect
// the windows use (INSERT without INTO, TOP n, CONVERT styles, "*=" joins ...);
// the dialect layer turns them into what the engine behind the connection runs.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>
#include <vector>

namespace ado {

// A database failure. Description() is the text windows show to the user.
class Error : public std::runtime_error {
public:
    explicit Error(const QString &description)
        : std::runtime_error(description.toStdString()), m_description(description) {}
    const QString &Description() const { return m_description; }

private:
    QString m_description;
};

enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3 };
enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

class Engine;     // the engine behind a connection (SQLite, PostgreSQL)
class ResultSet;  // rows read by one statement

// Rows read by one SELECT, held compactly; shared by a recordset and any grid
// bound to it, so binding copies nothing.
class ResultSet {
public:
    virtual ~ResultSet() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int col) const = 0;
    virtual bool isNull(int row, int col) const = 0;
    virtual QVariant value(int row, int col) const = 0;   // Null as an invalid QVariant
    virtual QString text(int row, int col) const = 0;     // as a grid shows it; Null as ""
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

    // Opens with ConnectionString (or the given one). The string is
    // "Driver=...;Server=...;UID=...;PWD=...[;Database=...]".
    void Open(const QString &connectionString = QString(), const QString &userId = QString(),
              const QString &password = QString());
    void Close();
    int State() const;  // adStateOpen or adStateClosed

    // Runs one statement; returns the number of rows it touched.
    long Execute(const QString &sql);

    // Several statements that must agree are written together.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    Engine *engine() const;  // null while closed

private:
    std::unique_ptr<Engine> m_engine;
    int m_transDepth = 0;
};

// One recordset on a connection, over the whole result of its statement.
// Reading a field at end of file, or a field that does not exist, raises Error.
class Recordset {
public:
    Recordset();
    ~Recordset();

    void Open(const QString &sql, Connection &conn, CursorType cursor = adOpenKeyset,
              LockType lock = adLockReadOnly);
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

    // Dynamic/optimistic recordsets only: assign fields of the current row, then Update.
    void SetField(const QString &name, const QVariant &value);
    void Update();

    ResultSetPtr result() const { return m_result; }

private:
    int fieldIndex(const QString &name) const;
    void requireRow() const;

    Connection *m_conn = nullptr;
    QString m_sql;
    ResultSetPtr m_result;
    int m_pos = 0;
    bool m_open = false;
    LockType m_lock = adLockReadOnly;
    std::vector<std::pair<int, QVariant>> m_pending;
};

}  // namespace ado
