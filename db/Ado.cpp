#include "db/Ado.h"

#include "db/Engine.h"
#include "db/ServerMessages.h"
#include "db/Trace.h"

namespace ado {

namespace {

const QString &closedText()
{
    static const QString t = msg::objectClosed();
    return t;
}
const QString &noRecordText()
{
    static const QString t = msg::noCurrentRecord();
    return t;
}

Connection::StatementHook &statementHook()
{
    static Connection::StatementHook hook;
    return hook;
}

}  // namespace

void Connection::SetStatementHook(StatementHook hook) { statementHook() = std::move(hook); }

void Connection::BeforeStatement(const QString &statement)
{
    if (statementHook()) statementHook()(statement);
}

// ============================================================================
// Connection
// ============================================================================

Connection::Connection() = default;

Connection::~Connection()
{
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; a connection that fails to close is gone all the same.
    }
}

void Connection::Open(const QString &connectionString, const QString &userId, const QString &password)
{
    if (m_engine) throw Error(msg::objectOpen());
    const QString cs = connectionString.isEmpty() ? ConnectionString : connectionString;
    ConnectionInfo info = ConnectionInfo::parse(cs);
    if (!userId.isEmpty()) info.uid = userId;
    if (!password.isEmpty()) info.pwd = password;
    info.timeoutSeconds = ConnectionTimeout;
    info.commandTimeoutSeconds = CommandTimeout;
    m_engine = OpenEngine(info);
    ConnectionString = cs;
    m_transDepth = 0;
}

void Connection::Close()
{
    if (!m_engine) return;
    if (m_transDepth > 0) {
        try {
            m_engine->rollback();
        } catch (...) {
            // The rollback of a connection being closed: the engine drops the transaction with the connection.
        }
        m_transDepth = 0;
    }
    m_engine.reset();
}

int Connection::State() const { return m_engine ? adStateOpen : adStateClosed; }

Engine &Connection::ready() const
{
    if (!m_engine) throw Error(closedText());
    m_engine->setCommandTimeout(CommandTimeout);
    return *m_engine;
}

long Connection::Execute(const QString &sql)
{
    Engine &engine = ready();
    BeforeStatement(sql);
    return trace::statement(engine, sql, false, [&] { return engine.execute(sql); });
}

long Connection::ExecuteBatch(const QString &sql, const std::vector<QVariantList> &rows)
{
    Engine &engine = ready();
    BeforeStatement(sql);
    return trace::statement(engine, sql, false, [&] { return engine.executeBatch(sql, rows); });
}

QString Connection::Translate(const QString &sql) const
{
    if (!m_engine) throw Error(closedText());
    return m_engine->translate(sql);
}

void Connection::BeginTrans()
{
    Engine &engine = ready();
    if (m_transDepth > 0) throw Error(msg::transactionsDoNotNest());
    trace::action(QStringLiteral("BEGIN TRANSACTION"), [&] { engine.begin(); });
    m_transDepth = 1;
}

void Connection::CommitTrans()
{
    Engine &engine = ready();
    if (m_transDepth == 0) throw Error(msg::noActiveTransaction());
    // A commit that fails (a reader still holds the database) leaves the
    // transaction running: it is still there to be rolled back.
    BeforeStatement(QStringLiteral("COMMIT"));
    trace::action(QStringLiteral("COMMIT"), [&] { engine.commit(); });
    m_transDepth = 0;
}

void Connection::RollbackTrans()
{
    Engine &engine = ready();
    if (m_transDepth == 0) throw Error(msg::noActiveTransaction());
    m_transDepth = 0;
    trace::action(QStringLiteral("ROLLBACK"), [&] { engine.rollback(); });
}

bool Connection::InTransaction() const { return m_transDepth > 0; }

Engine *Connection::engine() const { return m_engine.get(); }

// ============================================================================
// Recordset
// ============================================================================

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::Open(const QString &sql, Connection &conn, CursorType cursor, LockType lock)
{
    if (m_open) throw Error(msg::objectOpen());
    if (!conn.engine()) throw Error(msg::connectionUnusable());
    Engine &engine = conn.ready();
    const bool updatable = lock != adLockReadOnly;
    Connection::BeforeStatement(sql);
    // A forward-only recordset does not count its rows before it reads them.
    ResultSetPtr rs = trace::statement(engine, sql, updatable, [&] {
        return cursor == adOpenForwardOnly && !updatable ? engine.queryForward(sql) : engine.query(sql, updatable);
    });
    m_pending.clear();
    m_updated.clear();
    m_pos = 0;
    m_conn = &conn;
    m_sql = sql;
    m_lock = lock;
    m_result = rs;
    m_open = bool(rs);  // a statement without rows ran and leaves the recordset closed
}

void Recordset::Close()
{
    m_open = false;
    m_result.reset();
    m_pending.clear();
    m_updated.clear();
    m_pos = 0;
    m_conn = nullptr;
}

int Recordset::State() const { return m_open ? adStateOpen : adStateClosed; }

void Recordset::raiseReadFailure() const
{
    const QString failure = m_result->takeReadFailure();
    if (failure.isEmpty()) return;
    // The next look tries the rows again.
    m_result->readAgain();
    throw Error(failure);
}

bool Recordset::EOF_() const
{
    if (!m_open) throw Error(closedText());
    const bool eof = m_pos >= 0 && !m_result->hasRow(m_pos);
    raiseReadFailure();
    return eof;
}

bool Recordset::BOF_() const
{
    if (!m_open) throw Error(closedText());
    return m_pos < 0 || !m_result->hasRow(0);
}

void Recordset::MoveNext()
{
    if (!m_open) throw Error(closedText());
    if (m_pos >= 0 && !m_result->hasRow(m_pos)) throw Error(noRecordText());
    m_pending.clear();
    ++m_pos;
}

void Recordset::MoveFirst()
{
    if (!m_open) throw Error(closedText());
    m_pending.clear();
    m_pos = 0;
}

long Recordset::RecordCount() const
{
    if (!m_open) throw Error(closedText());
    const long n = m_result->rowCount();
    raiseReadFailure();
    return n;
}

long Recordset::AbsolutePosition() const
{
    if (!m_open) throw Error(closedText());
    return m_result->hasRow(m_pos) ? m_pos + 1 : 0;
}

int Recordset::FieldCount() const
{
    if (!m_open) throw Error(closedText());
    return m_result->columnCount();
}

QString Recordset::FieldName(int index) const
{
    if (!m_open) throw Error(closedText());
    if (index < 0 || index >= m_result->columnCount()) throw Error(msg::itemNotFound());
    return m_result->columnName(index);
}

QStringList Recordset::FieldNames() const
{
    if (!m_open) throw Error(closedText());
    QStringList out;
    for (int i = 0; i < m_result->columnCount(); ++i) out << m_result->columnName(i);
    return out;
}

int Recordset::fieldIndex(const QString &name) const
{
    if (!m_open) throw Error(closedText());
    for (int i = 0; i < m_result->columnCount(); ++i)
        if (m_result->columnName(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    throw Error(msg::itemNotFound());
}

bool Recordset::HasField(const QString &name) const
{
    if (!m_open) return false;
    for (int i = 0; i < m_result->columnCount(); ++i)
        if (m_result->columnName(i).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void Recordset::requireRow() const
{
    if (!m_open) throw Error(closedText());
    if (!m_result->hasRow(m_pos)) {
        raiseReadFailure();
        throw Error(noRecordText());
    }
}

QVariant Recordset::Fields(const QString &name) const { return Fields(fieldIndex(name)); }

QVariant Recordset::Fields(int index) const
{
    if (!m_open) throw Error(closedText());
    if (index < 0 || index >= m_result->columnCount()) throw Error(msg::itemNotFound());
    requireRow();
    for (const auto &p : m_pending)
        if (p.first == index) return p.second;
    const auto it = m_updated.find({m_pos, index});
    if (it != m_updated.end()) return it->second;
    QVariant v = m_result->value(m_pos, index);
    raiseReadFailure();
    return v;
}

void Recordset::SetField(const QString &name, const QVariant &value)
{
    const int idx = fieldIndex(name);
    if (m_lock == adLockReadOnly) throw Error(msg::recordsetNotUpdatable());
    requireRow();
    for (auto &p : m_pending)
        if (p.first == idx) {
            p.second = value;
            return;
        }
    m_pending.emplace_back(idx, value);
}

void Recordset::Update()
{
    requireRow();
    if (m_lock == adLockReadOnly) throw Error(msg::recordsetNotUpdatable());
    if (m_pending.empty()) return;
    if (!m_conn || !m_conn->engine()) throw Error(closedText());
    Engine &engine = m_conn->ready();
    Connection::BeforeStatement(QStringLiteral("UPDATE"));
    const std::vector<QVariant> written = trace::action(QStringLiteral("UPDATE the current row of: ") + m_sql,
                                                        [&] { return engine.updateRow(*m_result, m_pos, m_pending); });
    for (size_t i = 0; i < m_pending.size() && i < written.size(); ++i)
        m_updated[{m_pos, m_pending[i].first}] = written[i];
    m_pending.clear();
}

}  // namespace ado
