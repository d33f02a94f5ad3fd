#include "db/SchemaVersion.h"

#include "db/Ado.h"
#include "db/Engine.h"
#include "db/PostgresEngine.h"
#include "db/ServerMessages.h"
#include "db/SqliteEngine.h"
#include "db/Trace.h"
#include "db/Transaction.h"

#include <QStringList>
#include <algorithm>
#include <iterator>
#include <libpq-fe.h>
#include <optional>
#include <sqlite3.h>

namespace ado {

namespace {

// One version of the schema: what it changes, in a line of the upgrade's
// report. Its statements are upgrade/<version>-sqlite.sql and
// upgrade/<version>-postgres.sql.
struct Step {
    int version;
    QStringView what;
    // A count, in SQL both engines read alike, of the rows that stand in the
    // step's way (a unique index the data would break). When there are any the
    // step's statements are left out, its version is recorded all the same,
    // and `leftOut` (the count as %1) tells what is missing.
    QStringView blockedBy = {};
    QStringView leftOut = {};
};

// Version 1 holds the tables databases were made with before they recorded
// their version; its step only adds the record.
constexpr Step kSteps[] = {
    {1, u"the database records its schema version"},
    {2, u"one text order on both engines, pinyin character by character (the lists' indexes in it)"},
    {3, u"deposit numbers are unique (an index on 充值记录.充值编号)",
     u"SELECT count(*) FROM (SELECT 充值编号 FROM 充值记录 WHERE 充值编号 IS NOT NULL GROUP BY 充值编号 "
     u"HAVING count(*) > 1) AS held_twice",
     u"left out: %1 deposit numbers are each held by more than one deposit, so 充值记录.充值编号 gets no unique "
     u"index (librarydb check lists them)"},
    {4, u"the server's index functions name their collation with its schema (a restored backup gets every index)"},
    {5, u"each copy's loans counted as they are made, on the server (the statistics rank the titles from them)"},
    {6, u"the open loans counted as they are lent and returned (the returning window's count); on the server, "
        u"dates written as text within the statement"},
    {7, u"the loans one statement deletes counted off together, by copy, on the server (a clean-up holds the "
        u"counts for a moment)"},
};

// How long an upgrade waits for the desks' writing to end before it begins.
constexpr int kUpgradeWaitSeconds = 10;

// The engine's own SQL on the handle behind a connection: the schema's
// statements are outside the dialect the program writes. A statement here
// waits as long as it takes (an index built over a large table), without
// the layer's command time-out.
class Native {
public:
    explicit Native(Connection &conn)
    {
        if (const auto *s = dynamic_cast<const SqliteEngine *>(conn.engine()))
            m_sqlite = s->handle();
        else if (const auto *p = dynamic_cast<const PostgresEngine *>(conn.engine()))
            m_pg = p->handle();
        if (!m_sqlite && !m_pg) throw Error(msg::connectionUnusable());
    }

    bool postgres() const { return m_pg != nullptr; }

    // Statements as they stand, one after another.
    void run(const QString &script)
    {
        const QByteArray sql = script.toUtf8();
        QString why;
        if (m_pg) {
            PGresult *res = PQexec(m_pg, sql.constData());
            const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
            if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) why = pgFailure(res);
            PQclear(res);
        } else {
            char *err = nullptr;
            if (sqlite3_exec(m_sqlite, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK)
                why = QString::fromUtf8(err ? err : sqlite3_errmsg(m_sqlite));
            sqlite3_free(err);
        }
        if (!why.isEmpty()) throw Error(msg::engineFailure(why));
    }

    // The first field of the first row of a SELECT; none for no row or Null.
    std::optional<qint64> number(const QString &select)
    {
        const QByteArray sql = select.toUtf8();
        std::optional<qint64> value;
        QString why;
        if (m_pg) {
            PGresult *res = PQexec(m_pg, sql.constData());
            if (res && PQresultStatus(res) == PGRES_TUPLES_OK) {
                if (PQntuples(res) > 0 && !PQgetisnull(res, 0, 0))
                    value = QByteArray(PQgetvalue(res, 0, 0)).toLongLong();
            } else {
                why = pgFailure(res);
            }
            PQclear(res);
        } else {
            sqlite3_stmt *st = nullptr;
            int rc = sqlite3_prepare_v2(m_sqlite, sql.constData(), int(sql.size()), &st, nullptr);
            if (rc == SQLITE_OK) rc = sqlite3_step(st);
            if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL) value = sqlite3_column_int64(st, 0);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) why = QString::fromUtf8(sqlite3_errmsg(m_sqlite));
            sqlite3_finalize(st);
        }
        if (!why.isEmpty()) throw Error(msg::engineFailure(why));
        return value;
    }

    // The version recorded; 0 when there is no record. Read from the database
    // itself, not from the tables the connection found when it opened: another
    // upgrade may have gone first.
    int recorded()
    {
        const QString hasTable =
            m_pg ? QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = current_schema() AND tablename = "
                                  "'lib_schema_version'")
                 : QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = "
                                  "'lib_schema_version'");
        if (number(hasTable).value_or(0) == 0) return 0;
        return int(number(QStringLiteral("SELECT max(version) FROM lib_schema_version")).value_or(0));
    }

    void record(int version)
    {
        run(QStringLiteral("DELETE FROM lib_schema_version; INSERT INTO lib_schema_version VALUES (%1)").arg(version));
    }

private:
    static QString pgFailure(const PGresult *res)
    {
        const char *primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        return QString::fromUtf8(primary ? primary : "the server did not answer");
    }

    sqlite3 *m_sqlite = nullptr;
    PGconn *m_pg = nullptr;
};

const Step &stepMaking(int version)
{
    for (const Step &s : kSteps)
        if (s.version == version) return s;
    // The steps are numbered 1, 2, 3 ... without a gap, up to the current version.
    throw Error(msg::engineFailure(QStringLiteral("no step makes schema version %1").arg(version)));
}

QString stepStatements(const Step &step, const Native &db)
{
    return ReadSchemaFile(
        QStringLiteral("upgrade/%1-%2.sql")
            .arg(QString::number(step.version), db.postgres() ? QStringLiteral("postgres") : QStringLiteral("sqlite")));
}

}  // namespace

int CurrentSchemaVersion() { return kSteps[std::size(kSteps) - 1].version; }

int SchemaVersion(Connection &conn)
{
    Engine *engine = conn.engine();
    if (!engine) throw Error(msg::objectClosed());
    // Through the layer, within its time-outs: the login must not hang on a
    // server that stops answering. The translator knows the tables the
    // connection found, so for a database without the record the statement
    // goes no further than the translation.
    const QString read = QStringLiteral("SELECT MAX(version) FROM lib_schema_version");
    try {
        engine->translation(read);
    } catch (const Error &) {
        return 1;
    }
    const ResultSetPtr r = trace::statement(*engine, read, false, [&] { return engine->query(read, false); });
    return r && r->rowCount() > 0 && !r->isNull(0, 0) ? std::max(1, r->value(0, 0).toInt()) : 1;
}

void RequireCurrentSchema(Connection &conn)
{
    const int version = SchemaVersion(conn);
    const int current = CurrentSchemaVersion();
    if (version == current) return;
    const ConnectionInfo info = ConnectionInfo::parse(conn.ConnectionString);
    conn.Close();
    if (version > current) throw Error(msg::schemaVersionNewer(info.database, version, current));
    const QString settings =
        QStringList{info.server, QStringLiteral("UID"), QStringLiteral("PWD"), info.database}.join(QLatin1Char('|'));
    throw Error(msg::schemaVersionOlder(info.database, version, current, settings));
}

void UpgradeDatabase(const ConnectionInfo &info, const std::function<void(const QString &line)> &report)
{
    const int current = CurrentSchemaVersion();
    for (;;) {
        // A connection of its own for each step: the layer reads the tables
        // when it connects, and a step may have changed them.
        Connection conn;
        conn.ConnectionTimeout = kUpgradeWaitSeconds;
        conn.Open(info.toString());
        Native db(conn);
        int recorded = db.recorded();
        if (recorded > current) throw Error(msg::schemaVersionNewer(info.database, recorded, current));
        if (recorded == current) return;
        QString line;
        try {
            // The writer's lock first: the desks' writing waits for the step,
            // and of two upgrades at once the second finds the step done.
            Transaction trans(conn);
            recorded = db.recorded();
            if (recorded < current) {
                // A statement time-out of the session must not cut a long index build short.
                if (db.postgres()) db.run(QStringLiteral("SET LOCAL statement_timeout = 0"));
                const Step &step = stepMaking(recorded + 1);
                line = QStringLiteral("schema version %1: %2").arg(QString::number(step.version), step.what);
                const qint64 blocking = step.blockedBy.isEmpty() ? 0 : db.number(step.blockedBy.toString()).value_or(0);
                if (blocking > 0)
                    line += QStringLiteral("\n  ") + step.leftOut.toString().arg(blocking);
                else
                    db.run(stepStatements(step, db));
                db.record(step.version);
            }
            trans.Commit();
        } catch (const Error &e) {
            throw Error(msg::schemaStepFailed(recorded + 1, std::max(1, recorded), e.Description()));
        }
        if (!line.isEmpty()) report(line);
    }
}

}  // namespace ado
