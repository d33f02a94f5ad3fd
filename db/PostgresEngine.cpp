#include "db/PostgresEngine.h"

#include "db/ResultStore.h"
#include "db/ServerMessages.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <libpq-fe.h>

namespace ado {

using dialect::Kind;
using store::StoredColumn;
using store::StoredResult;

namespace {

// Every write transaction takes this lock first (see begin()), so the desks
// write one after another, as the embedded engine's writers do.
constexpr qint64 kWriterLock = 0x4C49425752495445LL;  // "LIBWRITE"

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

// Why a connection failed, worded as the server words it.
QString connectFailure(const QString &libpqMessage, const ConnectionInfo &info, const QString &database)
{
    const QString m = libpqMessage.toLower();
    if (m.contains(QLatin1String("database \"")) && m.contains(QLatin1String("does not exist")))
        return msg::databaseNotFound(database);
    if (m.contains(QLatin1String("authentication failed")) || m.contains(QLatin1String("role \""))
        || m.contains(QLatin1String("password")))
        return msg::loginFailed(info.uid);
    return msg::serverNotFound(info.server);
}

QString field(const PGresult *res, int code)
{
    const char *v = PQresultErrorField(res, code);
    return v ? QString::fromUtf8(v) : QString();
}

// The failure of a statement, worded as the server words it.
QString statementFailure(const PGresult *res, const QString &database)
{
    const QString state = field(res, PG_DIAG_SQLSTATE);
    const QString primary = field(res, PG_DIAG_MESSAGE_PRIMARY);
    const QString table = field(res, PG_DIAG_TABLE_NAME);
    if (state == QLatin1String("23505")) {
        // "Key (column)=(value) already exists." in the server's language.
        static const QRegularExpression key(QStringLiteral("\\((.*)\\)=\\((.*)\\)"));
        const QRegularExpressionMatch k = key.match(field(res, PG_DIAG_MESSAGE_DETAIL));
        const QString constraint = field(res, PG_DIAG_CONSTRAINT_NAME);
        // The column comes quoted when its name needs quotes ("读者编号").
        const QString column = k.captured(1).remove(QLatin1Char('"'));
        if (constraint.endsWith(QLatin1String("_pkey"))) return msg::duplicateKey(table, column, k.captured(2));
        return msg::duplicateIndexRow(table, constraint, k.captured(2));
    }
    if (state == QLatin1String("23502")) return msg::nullNotAllowed(table, field(res, PG_DIAG_COLUMN_NAME));
    if (state == QLatin1String("23514") || state == QLatin1String("23P01")) return msg::valueDoesNotFit(primary);
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001")
        || state == QLatin1String("57014"))
        return msg::busy();
    if (state == QLatin1String("22007") || state == QLatin1String("22008")) return msg::dateConversionFailed();
    if (state == QLatin1String("25006")) return msg::readOnly(database, msg::readOnlyServer());
    // The database layer's own functions (postgres.sql) word their failures themselves.
    if (state == QLatin1String("LB000")) return primary;
    if (state == QLatin1String("22012")) return msg::divisionByZero();
    if (state == QLatin1String("22003")) return msg::arithmeticOverflow(QStringLiteral("int"));
    if (state == QLatin1String("22019")) return msg::likeEscapeNotSingle();
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

PostgresEngine::PostgresEngine(PGconn *conn) : m_conn(conn)
{
    m_catalog.flavour.engine = dialect::Flavour::Engine::Postgres;
}

PostgresEngine::~PostgresEngine()
{
    if (m_conn) PQfinish(m_conn);
}

PGconn *PostgresEngine::connect(const ConnectionInfo &info, const QString &database)
{
    const Address a = address(info.server);
    if (a.host.isEmpty()) throw Error(msg::serverNotFound(info.server));
    // libpq takes no less than 2 seconds to give up on a server.
    const int connectTimeout = std::max(2, info.timeoutSeconds);
    const QByteArray host = a.host.toUtf8(), port = a.port.toUtf8(), user = info.uid.toUtf8(),
                     password = info.pwd.toUtf8(), db = database.toUtf8(), timeout = QByteArray::number(connectTimeout),
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
    const char *keys[] = {
        "host",    "port", "user", "password", "dbname", "connect_timeout", "client_encoding", "application_name",
        "options", nullptr};
    const char *values[] = {
        host.constData(),    port.constData(), user.constData(), password.constData(), db.constData(),
        timeout.constData(), "UTF8",           "veltrane",       options.constData(),  nullptr};
    PGconn *c = PQconnectdbParams(keys, values, 0);
    if (!c) throw Error(msg::serverNotFound(info.server));
    if (PQstatus(c) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(c));
        PQfinish(c);
        throw Error(connectFailure(why, info, database));
    }
    PQsetNoticeProcessor(c, ignoreNotice, nullptr);
    return c;
}

std::unique_ptr<PostgresEngine> PostgresEngine::open(const ConnectionInfo &info)
{
    std::unique_ptr<PostgresEngine> e(new PostgresEngine(connect(info, info.database)));
    e->loadCatalog();
    if (e->m_catalog.tables.empty()) throw Error(msg::serverDatabaseWithoutTables(info.database, info.server));
    return e;
}

DatabaseState PostgresEngine::probe(const ConnectionInfo &info)
{
    PGconn *c = nullptr;
    try {
        c = connect(info, info.database);
    } catch (const Error &e) {
        if (e.Description() == msg::databaseNotFound(info.database)) return DatabaseState::Missing;
        throw;
    }
    std::unique_ptr<PostgresEngine> e(new PostgresEngine(c));
    PGresult *res = e->run(QStringLiteral("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = "
                                          "c.relnamespace WHERE n.nspname = current_schema() AND c.relkind = 'r'"));
    const long tables = std::strtol(PQgetvalue(res, 0, 0), nullptr, 10);
    PQclear(res);
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
        std::unique_ptr<PostgresEngine> server(new PostgresEngine(connect(info, QStringLiteral("postgres"))));
        PQclear(server->run(
            QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                .arg(quoteName(info.database))));
    }
    try {
        std::unique_ptr<PostgresEngine> e(new PostgresEngine(connect(info, info.database)));
        PQclear(e->run(QStringLiteral("BEGIN")));
        e->runScript(ddl);
        e->loadCatalog();
        for (const QString &s : initialStatements) {
            try {
                e->execute(s);
            } catch (const Error &err) {
                throw Error(msg::scriptStatementFailed(err.Description(), s));
            }
        }
        PQclear(e->run(QStringLiteral("COMMIT")));
    } catch (...) {
        if (state == DatabaseState::Missing) {
            try {
                drop(info);
            } catch (...) {
            }
        }
        throw;
    }
}

void PostgresEngine::drop(const ConnectionInfo &info)
{
    std::unique_ptr<PostgresEngine> server(new PostgresEngine(connect(info, QStringLiteral("postgres"))));
    PQclear(server->run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoteName(info.database))));
}

[[noreturn]] void PostgresEngine::fail(PGresult *res)
{
    QString why;
    if (PQstatus(m_conn) == CONNECTION_BAD)
        why = msg::connectionLost(QString::fromUtf8(PQerrorMessage(m_conn)).simplified());
    else if (res)
        why = statementFailure(res, QString::fromUtf8(PQdb(m_conn)));
    else
        why = msg::engineFailure(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
    PQclear(res);
    throw Error(why);
}

PGresult *PostgresEngine::run(const QString &sql, const QList<QByteArray> &params)
{
    // A connection the server dropped between two actions is made again;
    // inside a transaction the transaction is gone with it, and every
    // statement fails until the transaction is rolled back.
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        if (m_inTransaction) fail(nullptr);
        PQreset(m_conn);
        if (PQstatus(m_conn) == CONNECTION_BAD) fail(nullptr);
    }
    const QByteArray text = sql.toUtf8();
    std::vector<const char *> values;
    for (const QByteArray &p : params) values.push_back(p.isNull() ? nullptr : p.constData());
    PGresult *res = PQexecParams(m_conn, text.constData(), int(values.size()), nullptr,
                                 values.empty() ? nullptr : values.data(), nullptr, nullptr, 0);
    const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) fail(res);
    return res;
}

// A script of several statements (the schema), as it stands.
void PostgresEngine::runScript(const QString &script)
{
    PGresult *res = PQexec(m_conn, script.toUtf8().constData());
    const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) fail(res);
    PQclear(res);
}

void PostgresEngine::loadCatalog()
{
    m_catalog.tables.clear();
    PGresult *res =
        run(QStringLiteral("SELECT c.relname, a.attname, t.typname, a.attgenerated <> '', a.attnotnull, EXISTS "
                           "(SELECT 1 FROM pg_index i WHERE i.indrelid = c.oid AND i.indisprimary AND a.attnum = "
                           "ANY (i.indkey)) FROM pg_class c "
                           "JOIN pg_namespace n ON n.oid = c.relnamespace "
                           "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                           "JOIN pg_type t ON t.oid = a.atttypid "
                           "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p') ORDER BY c.oid, a.attnum"));
    for (int r = 0; r < PQntuples(res); ++r) {
        const QString table = QString::fromUtf8(PQgetvalue(res, r, 0));
        if (m_catalog.tables.empty() || m_catalog.tables.back().name != table) {
            m_catalog.tables.emplace_back();
            m_catalog.tables.back().name = table;
        }
        dialect::ColumnInfo c;
        c.name = QString::fromUtf8(PQgetvalue(res, r, 1));
        c.kind = kindOfType(QString::fromUtf8(PQgetvalue(res, r, 2)));
        c.generated = PQgetvalue(res, r, 3)[0] == 't';
        c.notNull = PQgetvalue(res, r, 4)[0] == 't';
        c.key = PQgetvalue(res, r, 5)[0] == 't';
        m_catalog.tables.back().columns.push_back(c);
    }
    PQclear(res);
    dialect::defineComputedColumns(m_catalog, ReadSchemaFile(QStringLiteral("computed.sql")));
}

dialect::Translation PostgresEngine::translation(const QString &sql, bool updatable)
{
    return dialect::translate(sql, m_catalog, updatable);
}

QString PostgresEngine::translate(const QString &sql) { return translation(sql).sql; }

std::shared_ptr<StoredResult> PostgresEngine::select(const dialect::Translation &tr, qint64 limit, qint64 offset)
{
    PGresult *res = run(tr.rows(limit, offset));
    auto rs = std::make_shared<StoredResult>();
    rs->names = tr.columnNames;
    rs->kinds = tr.columnKinds;
    rs->updatable = tr.updatable;
    rs->table = tr.table;
    rs->sourceColumns = tr.sourceColumns;
    const int fields = int(tr.columnNames.size());
    rs->cols.resize(size_t(fields));
    const int rows = PQntuples(res);
    try {
        for (int f = 0; f < fields; ++f) {
            const Oid type = PQftype(res, f);
            StoredColumn &col = rs->cols[size_t(f)];
            for (int r = 0; r < rows; ++r) addCell(col, res, r, f, type);
        }
        if (tr.updatable)
            for (int r = 0; r < rows; ++r) addCell(rs->locators, res, r, fields, PQftype(res, fields));
    } catch (...) {
        PQclear(res);
        throw;
    }
    PQclear(res);
    rs->rows = rows;
    rs->fit();
    return rs;
}

long PostgresEngine::execute(const QString &sql)
{
    const dialect::Translation tr = translation(sql);
    if (!tr.paramKinds.empty()) throw Error(msg::placeholdersNeedBatch());
    PGresult *res = run(tr.sql);
    const long touched = tr.type == dialect::Translation::Select ? -1 : std::strtol(PQcmdTuples(res), nullptr, 10);
    PQclear(res);
    return touched;
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
        PGresult *res = run(tr.sql, params);
        total += std::strtol(PQcmdTuples(res), nullptr, 10);
        PQclear(res);
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
    PGresult *res = run(QStringLiteral("UPDATE %1 SET %2 WHERE ctid = $%3::tid RETURNING ctid")
                            .arg(quoteName(t->name), sets.join(QStringLiteral(", ")))
                            .arg(params.size()),
                        params);
    const bool found = PQntuples(res) == 1;
    if (found) rs->relocate(row, QString::fromUtf8(PQgetvalue(res, 0, 0)));
    PQclear(res);
    if (!found) throw Error(msg::rowChangedSinceRead());
    return readBack;
}

// Every table read through and every index checked where the server has its
// index checker (the amcheck extension); a damaged page fails the read.
QStringList PostgresEngine::integrityProblems()
{
    QStringList problems;
    for (const dialect::TableInfo &t : m_catalog.tables) {
        try {
            PQclear(run(QStringLiteral("SELECT count(*) FROM %1").arg(quoteName(t.name))));
        } catch (const Error &e) {
            problems << QStringLiteral("%1: %2").arg(t.name, e.Description());
        }
    }
    PGresult *has = run(QStringLiteral("SELECT 1 FROM pg_extension WHERE extname = 'amcheck'"));
    const bool amcheck = PQntuples(has) > 0;
    PQclear(has);
    if (!amcheck) return problems;
    PGresult *idx = run(QStringLiteral(
        "SELECT c.relname, c.oid FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_namespace n ON n.oid "
        "= "
        "c.relnamespace JOIN pg_am a ON a.oid = c.relam WHERE n.nspname = current_schema() AND a.amname = 'btree'"));
    QList<std::pair<QString, QString>> indexes;  // name, oid
    for (int r = 0; r < PQntuples(idx); ++r)
        indexes.append({QString::fromUtf8(PQgetvalue(idx, r, 0)), QString::fromLatin1(PQgetvalue(idx, r, 1))});
    PQclear(idx);
    for (const auto &[name, oid] : indexes) {
        try {
            PQclear(run(QStringLiteral("SELECT bt_index_check(%1::oid::regclass)").arg(oid)));
        } catch (const Error &e) {
            problems << QStringLiteral("%1: %2").arg(name, e.Description());
        }
    }
    return problems;
}

void PostgresEngine::begin()
{
    PQclear(run(QStringLiteral("BEGIN")));
    m_inTransaction = true;
    try {
        PQclear(run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kWriterLock)));
    } catch (...) {
        rollback();
        throw;
    }
}

void PostgresEngine::commit()
{
    PGresult *res = run(QStringLiteral("COMMIT"));
    // COMMIT of a transaction a failed statement aborted answers ROLLBACK.
    const bool rolledBack = qstrcmp(PQcmdStatus(res), "ROLLBACK") == 0;
    PQclear(res);
    m_inTransaction = false;
    if (rolledBack) throw Error(msg::transactionRolledBack());
}

// A transaction whose connection is gone is rolled back already; the
// connection is made again for what comes next.
void PostgresEngine::rollback()
{
    m_inTransaction = false;
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        PQreset(m_conn);
        return;
    }
    PQclear(run(QStringLiteral("ROLLBACK")));
}

}  // namespace ado
