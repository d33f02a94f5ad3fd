#include "TempDb.h"

#include "TestSupport.h"
#include "db/Engine.h"
#include "db/PostgresEngine.h"
#include "db/ServerMessages.h"
#include "db/SqliteFunctions.h"

#include <QCryptographicHash>
#include <QFile>
#include <QThread>
#include <atomic>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

namespace testsupport {

namespace {

ado::ConnectionInfo serverInfo()
{
    return ado::ConnectionInfo::fromSettings(qEnvironmentVariable("LIBRARY_TEST_SERVER"));
}

// A libpq connection to `database` on the test server.
ado::pg::Conn connectTo(const ado::ConnectionInfo &info, const QString &database)
{
    QString host = info.server, port = QStringLiteral("5432");
    const int sep = std::max(host.lastIndexOf(QLatin1Char(',')), host.lastIndexOf(QLatin1Char(':')));
    if (sep > 0) {
        port = host.mid(sep + 1);
        host.truncate(sep);
    }
    const QByteArray h = host.toUtf8(), p = port.toUtf8(), u = info.uid.toUtf8(), w = info.pwd.toUtf8(),
                     d = database.toUtf8();
    const char *keys[] = {"host", "port", "user", "password", "dbname", "client_encoding", nullptr};
    const char *values[] = {h.constData(), p.constData(), u.constData(), w.constData(), d.constData(), "UTF8", nullptr};
    ado::pg::Conn c(PQconnectdbParams(keys, values, 0));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw ado::Error(
            QStringLiteral("The test server can't be reached: %1").arg(QString::fromUtf8(PQerrorMessage(c.get()))));
    PQsetNoticeProcessor(
        c.get(), [](void *, const char *) {}, nullptr);
    return c;
}

bool pgExec(PGconn *c, const QString &sql, QString *error = nullptr)
{
    const ado::pg::Result r(PQexec(c, sql.toUtf8().constData()));
    const ExecStatusType st = PQresultStatus(r.get());
    const bool ok = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
    if (!ok && error) *error = QString::fromUtf8(PQresultErrorMessage(r.get())).trimmed();
    return ok;
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The template of the current schema, made once per server by whichever test
// gets there first.
QString ensureTemplate(PGconn *admin, const ado::ConnectionInfo &info)
{
    const QByteArray schema = (ado::ReadSchemaFile(QStringLiteral("postgres.sql"), TempDb::schemaDir())
                               + ado::ReadSchemaFile(QStringLiteral("initial.sql"), TempDb::schemaDir()))
                                  .toUtf8();
    const QString name =
        QStringLiteral("lib_tpl_")
        + QString::fromLatin1(QCryptographicHash::hash(schema, QCryptographicHash::Sha1).toHex().left(12));
    pgExec(admin, QStringLiteral("SELECT pg_advisory_lock(7403)"));
    const ado::pg::Result r(
        PQexec(admin, QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(name).toUtf8().constData()));
    const bool exists = PQntuples(r.get()) > 0;
    if (!exists) {
        ado::ConnectionInfo tpl = info;
        tpl.database = name;
        try {
            ado::CreateDatabase(tpl, TempDb::schemaDir());
        } catch (...) {
            pgExec(admin, QStringLiteral("SELECT pg_advisory_unlock(7403)"));
            throw;
        }
    }
    pgExec(admin, QStringLiteral("SELECT pg_advisory_unlock(7403)"));
    return name;
}

std::atomic<int> serial{0};

}  // namespace

bool TempDb::onServer() { return !qEnvironmentVariableIsEmpty("LIBRARY_TEST_SERVER"); }

TempDb::TempDb()
{
    if (!onServer()) {
        if (!m_dir.isValid()) throw ado::Error(QStringLiteral("Cannot make a temporary folder for the test database."));
        m_server = QStringLiteral("sqlite");
        m_uid = QStringLiteral("u");
        m_pwd = QStringLiteral("p");
        m_database = m_dir.filePath(QStringLiteral("library.db"));
        ado::CreateDatabase(ado::ConnectionInfo::fromSettings(settings()), schemaDir());
        return;
    }
    const ado::ConnectionInfo info = serverInfo();
    m_server = info.server;
    m_uid = info.uid;
    m_pwd = info.pwd;
    m_database = QStringLiteral("lib_t_%1_%2").arg(::getpid()).arg(serial++);
    const ado::pg::Conn admin = connectTo(info, info.database);
    QString error;
    const QString tpl = ensureTemplate(admin.get(), info);
    pgExec(admin.get(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted(m_database)));
    // Copying waits while another test still holds the template open.
    bool made = false;
    for (int attempt = 0; attempt < 50 && !made; ++attempt) {
        made = pgExec(admin.get(),
                      QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(quoted(m_database), quoted(tpl)), &error);
        if (!made) QThread::msleep(100);
    }
    if (!made) throw ado::Error(QStringLiteral("Cannot make the test database: %1").arg(error));
}

TempDb::~TempDb()
{
    restore();
    if (m_conn) m_conn->Close();
    if (!onServer()) return;
    try {
        const ado::ConnectionInfo info = serverInfo();
        pgExec(connectTo(info, info.database).get(),
               QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted(m_database)));
    } catch (...) {
        // A destructor must not throw; a test database left behind costs disk, never a result.
    }
}

QString TempDb::schemaDir() { return resourcesDir() + QStringLiteral("Schema/"); }

QString TempDb::settings() const { return QStringList{m_server, m_uid, m_pwd, m_database}.join(QLatin1Char('|')); }

QString TempDb::connectionString() const
{
    return QStringLiteral("Driver={SQL Server};Server=%1;UID=%2;PWD=%3;Database=%4")
        .arg(m_server, m_uid, m_pwd, m_database);
}

ado::Connection &TempDb::conn()
{
    if (!m_conn) {
        m_conn = std::make_unique<ado::Connection>();
        m_conn->ConnectionTimeout = 1;
        m_conn->Open(connectionString());
    }
    return *m_conn;
}

void TempDb::exec(const QStringList &statements)
{
    for (const QString &s : statements) conn().Execute(s);
}

QList<QStringList> TempDb::rows(const QString &select)
{
    ado::Recordset rs;
    rs.Open(select, conn(), ado::adOpenKeyset, ado::adLockReadOnly);
    QList<QStringList> out;
    const ado::ResultSetPtr r = rs.result();
    for (int row = 0; row < r->rowCount(); ++row) {
        QStringList line;
        for (int c = 0; c < r->columnCount(); ++c) line << r->text(row, c);
        out << line;
    }
    return out;
}

QStringList TempDb::header(const QString &select)
{
    ado::Recordset rs;
    rs.Open(select, conn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return rs.FieldNames();
}

QString TempDb::scalar(const QString &select)
{
    const QList<QStringList> r = rows(select);
    return r.isEmpty() || r.first().isEmpty() ? QString() : r.first().first();
}

QString TempDb::dump()
{
    static const QStringList tables = {
        QStringLiteral("图书档案"), QStringLiteral("图书库存"), QStringLiteral("图书借阅"),
        QStringLiteral("图书损坏"), QStringLiteral("读者档案"), QStringLiteral("读者类别"),
        QStringLiteral("充值记录"), QStringLiteral("出版社"),   QStringLiteral("图书馆信息"),
        QStringLiteral("账户"),     QStringLiteral("账户类型"), QStringLiteral("账户登录")};
    QString out;
    for (const QString &t : tables) {
        QStringList lines;
        for (const QStringList &row : rows(QStringLiteral("SELECT * FROM ") + t)) lines << row.join(QChar(0x1F));
        lines.sort();
        out +=
            QStringLiteral("== %1 (%2)\n").arg(t).arg(lines.size()) + lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    return out;
}

bool TempDb::mayMakeLogins()
{
    if (!onServer()) return false;
    const ado::ConnectionInfo info = serverInfo();
    const ado::pg::Conn c = connectTo(info, info.database);
    const ado::pg::Result r(
        PQexec(c.get(), "SELECT rolsuper OR rolcreaterole FROM pg_roles WHERE rolname = current_user"));
    return PQntuples(r.get()) == 1 && qstrcmp(PQgetvalue(r.get(), 0, 0), "t") == 0;
}

bool TempDb::raw(const QString &nativeSql)
{
    QString error;
    bool ok = false;
    if (onServer()) {
        ok = pgExec(connectTo(serverInfo(), m_database).get(), nativeSql, &error);
    } else {
        sqlite3 *h = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(m_database).constData(), &h, SQLITE_OPEN_READWRITE, nullptr)
            == SQLITE_OK) {
            ado::RegisterSqliteFunctions(h);
            char *err = nullptr;
            ok = sqlite3_exec(h, nativeSql.toUtf8().constData(), nullptr, nullptr, &err) == SQLITE_OK;
            if (err) error = QString::fromUtf8(err);
            sqlite3_free(err);
        }
        sqlite3_close_v2(h);
    }
    if (!ok) qWarning("raw statement failed: %s (%s)", qPrintable(error), qPrintable(nativeSql));
    return ok;
}

void TempDb::lockOut()
{
    if (onServer()) {
        auto holder = std::make_shared<ado::pg::Conn>(connectTo(serverInfo(), m_database));
        pgExec(holder->get(), QStringLiteral("BEGIN"));
        pgExec(
            holder->get(),
            QStringLiteral("DO $$ DECLARE t record; BEGIN FOR t IN SELECT tablename FROM pg_tables WHERE schemaname = "
                           "current_schema() LOOP EXECUTE format('LOCK TABLE %I IN ACCESS EXCLUSIVE MODE', "
                           "t.tablename); END LOOP; END $$"));
        m_lockHolder = holder;
        return;
    }
    sqlite3 *h = nullptr;
    sqlite3_open_v2(QFile::encodeName(m_database).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    m_lockHolder = std::shared_ptr<void>(h, [](void *p) { sqlite3_close_v2(static_cast<sqlite3 *>(p)); });
    sqlite3_exec(h, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
}

void TempDb::restore() { m_lockHolder.reset(); }

QString TempDb::lockedOutSays() { return ado::msg::busy(); }

HeldLock::HeldLock(TempDb &db, const QString &table)
{
    if (TempDb::onServer()) {
        m_server = std::make_unique<ado::Connection>();
        m_server->Open(db.connectionString());
        auto *pg = dynamic_cast<ado::PostgresEngine *>(m_server->engine());
        const QByteArray sql = QStringLiteral("BEGIN; LOCK TABLE %1 IN ACCESS EXCLUSIVE MODE").arg(table).toUtf8();
        PQclear(PQexec(pg->handle(), sql.constData()));
    } else if (sqlite3_open(db.path().toUtf8().constData(), &m_file) == SQLITE_OK) {
        sqlite3_exec(m_file, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    }
}

HeldLock::~HeldLock()
{
    if (m_file) sqlite3_close(m_file);
}

}  // namespace testsupport
