#include "Native.h"

#include "db/SqliteFunctions.h"

#include <QFile>
#include <algorithm>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace bench {

namespace {

class SqliteNative final : public NativeDb {
public:
    explicit SqliteNative(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const QString why = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            throw ado::Error(QStringLiteral("cannot open %1: %2").arg(path, why));
        }
        // The layer waits as long for a writer; the limits write too (a return, a lending).
        sqlite3_busy_timeout(m_db, 15000);
        // The schema's indexes name the text order, so even a plain handle
        // needs it to read them (and ANALYZE to measure them).
        ado::RegisterSqliteFunctions(m_db);
    }
    ~SqliteNative() override { sqlite3_close_v2(m_db); }

    bool isServer() const override { return false; }

    Result query(const QString &sql, int keep) override
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK)
            throw ado::Error(QStringLiteral("%1\n%2").arg(QString::fromUtf8(sqlite3_errmsg(m_db)), sql));
        Result r;
        const int cols = sqlite3_column_count(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList line;
            for (int c = 0; c < cols; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                case SQLITE_FLOAT:
                    r.bytes += 8;
                    if (r.rows < keep)
                        line << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
                    break;
                case SQLITE_NULL:
                    if (r.rows < keep) line << QString();
                    break;
                default: {
                    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                    const int n = sqlite3_column_bytes(st, c);
                    r.bytes += n;
                    if (r.rows < keep) line << QString::fromUtf8(p, n);
                }
                }
            }
            if (r.rows < keep) r.kept.push_back(line);
            ++r.rows;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw ado::Error(QStringLiteral("%1\n%2").arg(QString::fromUtf8(sqlite3_errmsg(m_db)), sql));
        return r;
    }

    void exec(const QString &sql) override
    {
        char *err = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
            const QString why = QString::fromUtf8(err ? err : "error");
            sqlite3_free(err);
            throw ado::Error(QStringLiteral("%1\n%2").arg(why, sql));
        }
    }

private:
    sqlite3 *m_db = nullptr;
};

class PgNative final : public NativeDb {
public:
    explicit PgNative(const ado::ConnectionInfo &info) : m_conn(connectServer(info, info.database)) { }
    ~PgNative() override { PQfinish(m_conn); }

    bool isServer() const override { return true; }

    Result query(const QString &sql, int keep) override
    {
        PGresult *res = PQexec(m_conn, sql.toUtf8().constData());
        if (PQresultStatus(res) != PGRES_TUPLES_OK) {
            const QString why = QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
            PQclear(res);
            throw ado::Error(QStringLiteral("%1\n%2").arg(why, sql));
        }
        Result r;
        const int rows = PQntuples(res), cols = PQnfields(res);
        for (int row = 0; row < rows; ++row) {
            QStringList line;
            for (int c = 0; c < cols; ++c) {
                const bool null = PQgetisnull(res, row, c);
                if (!null) r.bytes += PQgetlength(res, row, c);
                if (row < keep) line << (null ? QString() : QString::fromUtf8(PQgetvalue(res, row, c)));
            }
            if (row < keep) r.kept.push_back(line);
        }
        r.rows = rows;
        PQclear(res);
        return r;
    }

    void exec(const QString &sql) override { execServer(m_conn, sql); }

private:
    PGconn *m_conn;
};

}  // namespace

std::unique_ptr<NativeDb> NativeDb::open(const ado::ConnectionInfo &info)
{
    if (info.isEmbedded()) return std::make_unique<SqliteNative>(info.embeddedPath());
    return std::make_unique<PgNative>(info);
}

QString NativeDb::scalar(const QString &sql)
{
    const Result r = query(sql, 1);
    return r.kept.empty() || r.kept.front().isEmpty() ? QString() : r.kept.front().front();
}

PGconn *connectServer(const ado::ConnectionInfo &info, const QString &database)
{
    QString host = info.server.trimmed(), port = QStringLiteral("5432");
    const int sep = std::max(host.lastIndexOf(QLatin1Char(',')), host.lastIndexOf(QLatin1Char(':')));
    if (sep > 0) {
        port = host.mid(sep + 1).trimmed();
        host.truncate(sep);
    }
    const QByteArray h = host.toUtf8(), p = port.toUtf8(), u = info.uid.toUtf8(), w = info.pwd.toUtf8(),
                     d = database.toUtf8();
    const char *keys[] = {"host", "port", "user", "password", "dbname", "client_encoding", "options", nullptr};
    const char *values[] = {h.constData(),
                            p.constData(),
                            u.constData(),
                            w.constData(),
                            d.constData(),
                            "UTF8",
                            "-c client_min_messages=warning -c datestyle=ISO",
                            nullptr};
    PGconn *c = PQconnectdbParams(keys, values, 0);
    if (PQstatus(c) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        throw ado::Error(QStringLiteral("cannot reach the server %1: %2").arg(info.server, why));
    }
    return c;
}

void execServer(PGconn *conn, const QString &sql)
{
    PGresult *res = PQexec(conn, sql.toUtf8().constData());
    const ExecStatusType st = PQresultStatus(res);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        const QString why = QString::fromUtf8(PQresultErrorMessage(res)).trimmed();
        PQclear(res);
        throw ado::Error(QStringLiteral("%1\n%2").arg(why, sql.left(300)));
    }
    PQclear(res);
}

QString quoteName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

}  // namespace bench
