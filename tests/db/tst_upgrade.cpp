// Schema versions: a database made by the schema files of version 1 (kept in
// tests/db/schema-v1, as the databases made before versions were recorded
// have them) is brought to the current version step by step and is then the
// same as a database made new: the same tables, columns, types, indexes,
// constraints and collations, and the same data. A step the data stands in
// the way of is left out and said; a step that fails leaves nothing behind;
// the program logs in to no database of another version; librarydb upgrades,
// shows a statement's translation and traces what it runs.

#include "StatementsSeed.h"
#include "core/Mdl_SQLConnection.h"
#include "db/Ado.h"
#include "db/Engine.h"
#include "db/PostgresEngine.h"
#include "db/SchemaVersion.h"
#include "db/SqliteEngine.h"
#include "support/TempDb.h"
#include "support/TestSupport.h"
#include "tools/Invariants.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

using testsupport::errorOf;
using testsupport::TempDb;

namespace {

const QString kPreviousSchema = QStringLiteral(PREVIOUS_SCHEMA_DIR);

// A statement's text as the engine keeps it, with comments, identifier quotes
// and the blanks that separate no two words left out: the same definition
// written over two lines or after a rename compares equal.
QString normalized(const QString &sql)
{
    QString out;
    bool blank = false;
    const auto word = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'')) {  // a literal as it stands ('' inside it closes and opens again)
            const qsizetype end = sql.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? sql.size() : end + 1;
            if (blank && !out.isEmpty() && word(out.back())) out += QLatin1Char(' ');
            out += sql.mid(i, stop - i);
            i = stop - 1;
            blank = false;
        } else if (c == QLatin1Char('-') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('-')) {
            i = sql.indexOf(QLatin1Char('\n'), i);
            if (i < 0) break;
            blank = true;
        } else if (c.isSpace()) {
            blank = true;
        } else if (c != QLatin1Char('"')) {
            if (blank && !out.isEmpty() && word(out.back()) && word(c)) out += QLatin1Char(' ');
            out += c;
            blank = false;
        }
    }
    return out;
}

// Lines of one list that the other lacks, for a failure's message.
QString difference(const QStringList &upgraded, const QStringList &fresh)
{
    QString out;
    for (const QString &l : upgraded)
        if (!fresh.contains(l)) out += QStringLiteral("\n  only upgraded: ") + l;
    for (const QString &l : fresh)
        if (!upgraded.contains(l)) out += QStringLiteral("\n  only fresh:    ") + l;
    return out;
}

// Two lists of lines, equal, or the failure names the lines that differ.
#define COMPARE_LINES(upgraded, fresh)                                                                                 \
    do {                                                                                                               \
        const QStringList a_ = (upgraded), b_ = (fresh);                                                               \
        QVERIFY2(a_ == b_, qPrintable(difference(a_, b_)));                                                            \
    } while (false)

std::atomic<int> serial{0};

// A database of its own on the engine the tests run on (a file, or a database
// on the test server), made from the schema files of `folder` or from those
// built into the program, dropped at the end.
class Scratch {
public:
    explicit Scratch(const QString &folder = QString())
    {
        if (TempDb::onServer()) {
            m_info = ado::ConnectionInfo::fromSettings(qEnvironmentVariable("LIBRARY_TEST_SERVER"));
            m_info.database = QStringLiteral("lib_up_%1_%2").arg(::getpid()).arg(serial++);
            ado::PostgresEngine::drop(m_info);
        } else {
            m_info = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p|")
                                                       + m_dir.filePath(QStringLiteral("library.db")));
        }
        if (folder.isEmpty()) {
            ado::CreateDatabase(m_info, TempDb::schemaDir());
            return;
        }
        ado::CreateDatabase(m_info, [&](const QString &name) {
            QFile f(QDir(folder).filePath(name));
            if (!f.open(QIODevice::ReadOnly)) throw ado::Error(QStringLiteral("no schema file ") + f.fileName());
            return QString::fromUtf8(f.readAll());
        });
    }
    // A database that is there already (made by other means), dropped at the end as well.
    explicit Scratch(ado::ConnectionInfo existing) : m_info(std::move(existing)) { }
    ~Scratch()
    {
        m_conn.reset();
        if (!TempDb::onServer()) return;
        try {
            ado::PostgresEngine::drop(m_info);
        } catch (const ado::Error &) {
            // The server is gone with the test run: nothing is left to drop.
        }
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;

    const ado::ConnectionInfo &info() const { return m_info; }
    QString settings() const
    {
        return QStringList{m_info.server, m_info.uid, m_info.pwd, m_info.database}.join(QLatin1Char('|'));
    }

    // A connection opened on first use; reopen() after the tables changed.
    ado::Connection &conn()
    {
        if (!m_conn) {
            m_conn = std::make_unique<ado::Connection>();
            m_conn->Open(m_info.toString());
        }
        return *m_conn;
    }
    void reopen() { m_conn.reset(); }

    // The rows of a statement in the engine's own SQL (Null as "").
    QList<QStringList> native(const QString &sql)
    {
        QList<QStringList> rows;
        const QByteArray text = sql.toUtf8();
        if (auto *pg = dynamic_cast<ado::PostgresEngine *>(conn().engine())) {
            PGresult *res = PQexec(pg->handle(), text.constData());
            const ExecStatusType st = PQresultStatus(res);
            const QString why = QString::fromUtf8(PQresultErrorMessage(res));
            for (int r = 0; st == PGRES_TUPLES_OK && r < PQntuples(res); ++r) {
                QStringList row;
                for (int c = 0; c < PQnfields(res); ++c) row << QString::fromUtf8(PQgetvalue(res, r, c));
                rows << row;
            }
            PQclear(res);
            if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) throw ado::Error(why + sql);
            return rows;
        }
        sqlite3 *db = dynamic_cast<ado::SqliteEngine &>(*conn().engine()).handle();
        sqlite3_stmt *st = nullptr;
        int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr);
        while (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const auto *v = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                row << QString::fromUtf8(v ? v : "");
            }
            rows << row;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_OK) throw ado::Error(QString::fromUtf8(sqlite3_errmsg(db)) + sql);
        return rows;
    }
    void nativeScript(const QString &sql)
    {
        if (TempDb::onServer()) {
            native(sql);
            return;
        }
        char *err = nullptr;
        const int rc = sqlite3_exec(dynamic_cast<ado::SqliteEngine &>(*conn().engine()).handle(),
                                    sql.toUtf8().constData(), nullptr, nullptr, &err);
        const QString why = QString::fromUtf8(err ? err : "");
        sqlite3_free(err);
        if (rc != SQLITE_OK) throw ado::Error(why);
    }

    // The schema itself, one line a thing it defines, sorted.
    QStringList schema()
    {
        QStringList lines;
        const auto add = [&](const QString &kind, const QString &sql) {
            for (const QStringList &row : native(sql))
                lines << kind + QStringLiteral(": ") + row.join(QStringLiteral(" | "));
        };
        if (!TempDb::onServer()) {
            for (const QStringList &row : native(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema")))
                lines << QStringLiteral("%1 %2 on %3: %4").arg(row[0], row[1], row[2], normalized(row[3]));
            lines.sort();
            return lines;
        }
        // Objects that an extension (citext) brought are its own, not the schema's.
        const QString own =
            QStringLiteral("NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.objid = %1 AND d.deptype = 'e') AND %2 = "
                           "current_schema()::regnamespace");
        add(QStringLiteral("database"), QStringLiteral("SELECT pg_encoding_to_char(encoding), datcollate, datctype "
                                                       "FROM pg_database WHERE datname = current_database()"));
        add(QStringLiteral("extension"), QStringLiteral("SELECT extname FROM pg_extension"));
        add(QStringLiteral("relation"), QStringLiteral("SELECT relname, relkind FROM pg_class c WHERE ")
                                            + own.arg(QStringLiteral("c.oid"), QStringLiteral("c.relnamespace")));
        // Columns by their place among the table's columns, not by attnum,
        // which keeps the gap of a column dropped.
        add(QStringLiteral("column"),
            QStringLiteral("SELECT c.relname, row_number() OVER (PARTITION BY c.oid ORDER BY a.attnum), a.attname, "
                           "format_type(a.atttypid, a.atttypmod), a.attnotnull, coalesce(co.collname, ''), "
                           "a.attgenerated, coalesce(pg_get_expr(d.adbin, d.adrelid), '') FROM pg_class c "
                           "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                           "LEFT JOIN pg_collation co ON co.oid = a.attcollation "
                           "LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
                           "WHERE c.relkind IN ('r', 'p', 'v', 'm') AND ")
                + own.arg(QStringLiteral("c.oid"), QStringLiteral("c.relnamespace")));
        add(QStringLiteral("index"), QStringLiteral("SELECT c.relname, pg_get_indexdef(c.oid) FROM pg_class c WHERE "
                                                    "c.relkind = 'i' AND ")
                                         + own.arg(QStringLiteral("c.oid"), QStringLiteral("c.relnamespace")));
        add(QStringLiteral("constraint"),
            QStringLiteral("SELECT CASE WHEN conrelid <> 0 THEN conrelid::regclass::text ELSE contypid::regtype::text "
                           "END, conname, pg_get_constraintdef(oid) FROM pg_constraint WHERE connamespace = "
                           "current_schema()::regnamespace"));
        add(QStringLiteral("domain"), QStringLiteral("SELECT typname, format_type(typbasetype, typtypmod), "
                                                     "typnotnull, coalesce(typdefault, '') FROM pg_type t WHERE "
                                                     "typtype IN ('d', 'e') AND ")
                                          + own.arg(QStringLiteral("t.oid"), QStringLiteral("t.typnamespace")));
        // Every field of the collation, whichever the server's version names.
        add(QStringLiteral("collation"),
            QStringLiteral("SELECT (to_jsonb(c) - 'oid' - 'collnamespace' - 'collowner' - 'collversion')::text FROM "
                           "pg_collation c WHERE ")
                + own.arg(QStringLiteral("c.oid"), QStringLiteral("c.collnamespace")));
        add(QStringLiteral("function"),
            QStringLiteral("SELECT p.proname, pg_get_functiondef(p.oid) FROM pg_proc p WHERE ")
                + own.arg(QStringLiteral("p.oid"), QStringLiteral("p.pronamespace")));
        add(QStringLiteral("trigger"),
            QStringLiteral("SELECT tgname, pg_get_triggerdef(oid) FROM pg_trigger WHERE NOT tgisinternal"));
        add(QStringLiteral("storage"), QStringLiteral("SELECT c.relname, c.reloptions::text FROM pg_class c WHERE "
                                                      "c.reloptions IS NOT NULL AND ")
                                           + own.arg(QStringLiteral("c.oid"), QStringLiteral("c.relnamespace")));
        lines.sort();
        return lines;
    }

    // Every row of every table, read through the layer, each table's rows sorted.
    QStringList data()
    {
        const QString tables =
            TempDb::onServer() ? QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema()")
                               : QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table'");
        QStringList lines;
        for (const QStringList &t : native(tables)) {
            ado::Recordset rs;
            // The open loans' count is kept in rows the connections that
            // lent and returned picked: what it holds is their sum.
            if (t[0] == QLatin1String("lib_open_loans"))
                rs.Open(QStringLiteral("SELECT ISNULL(SUM(未还), 0) FROM lib_open_loans"), conn());
            else
                rs.Open(QStringLiteral("SELECT * FROM ") + t[0], conn());
            const ado::ResultSetPtr r = rs.result();
            for (int row = 0; row < r->rowCount(); ++row) {
                QStringList fields;
                for (int c = 0; c < r->columnCount(); ++c) fields << r->text(row, c);
                lines << t[0] + QStringLiteral(": ") + fields.join(QChar(0x1F));
            }
        }
        lines.sort();
        return lines;
    }

    QStringList upgrade()
    {
        reopen();
        QStringList said;
        ado::UpgradeDatabase(m_info, [&](const QString &line) { said << line; });
        return said;
    }

private:
    QTemporaryDir m_dir;
    ado::ConnectionInfo m_info;
    std::unique_ptr<ado::Connection> m_conn;
};

void seed(Scratch &db, const QStringList &statements)
{
    for (const QString &s : statements) db.conn().Execute(s);
}

}  // namespace

class TestUpgrade : public QObject {
    Q_OBJECT

private slots:
    void upgradedDatabaseIsAFreshOne();
    void stepLeftOutWhereTheDataBreaksIt();
    void indexesInAnotherTextOrderAreRebuilt();
    void failedStepLeavesTheDatabaseAsItWas();
    void otherVersionsAreRefused();
    void librarydbCommands();
    void restoredBackupIsTheDatabase();
};

// The test every change of the schema files must pass: without its step (or
// with a step that differs from the files), the upgraded database is not the
// fresh one, and the lines below name the difference.
void TestUpgrade::upgradedDatabaseIsAFreshOne()
{
    Scratch fresh;
    QCOMPARE(ado::SchemaVersion(fresh.conn()), ado::CurrentSchemaVersion());
    seed(fresh, smallLibrary());

    Scratch old(kPreviousSchema);
    QCOMPARE(ado::SchemaVersion(old.conn()), 1);
    seed(old, smallLibrary());
    const QStringList said = old.upgrade();
    QCOMPARE(said.size(), ado::CurrentSchemaVersion());
    for (int v = 1; v <= said.size(); ++v)
        QVERIFY2(said[v - 1].startsWith(QStringLiteral("schema version %1: ").arg(v)), qPrintable(said[v - 1]));
    QVERIFY2(!said.join(QLatin1Char('\n')).contains(QStringLiteral("left out")), qPrintable(said.join('\n')));

    const QStringList freshSchema = fresh.schema();
    COMPARE_LINES(old.schema(), freshSchema);
    COMPARE_LINES(old.data(), fresh.data());

    // A current database is left alone.
    QCOMPARE(old.upgrade(), QStringList());
    COMPARE_LINES(old.schema(), freshSchema);
}

// Deposit numbers held twice, as the database compares them (letter case
// aside), keep the unique index out; the step says so, the data stays, and
// the version is the current one all the same. Numbers the index takes get it.
void TestUpgrade::stepLeftOutWhereTheDataBreaksIt()
{
    const QString index = QStringLiteral("充值记录_充值编号");
    const struct {
        const char *name;
        QStringList numbers;
        int heldTwice;
    } cases[] = {
        {"one number twice", {QStringLiteral("'240315101010'"), QStringLiteral("'240315101010'")}, 1},
        {"numbers differing in letter case",
         {QStringLiteral("'A1'"), QStringLiteral("'a1'"), QStringLiteral("'B'"), QStringLiteral("'b'"),
          QStringLiteral("'b'")},
         2},
        {"distinct numbers and Nulls",
         {QStringLiteral("'A1'"), QStringLiteral("'A2'"), QStringLiteral("Null"), QStringLiteral("Null")},
         0},
    };
    for (const auto &c : cases) {
        Scratch db(kPreviousSchema);
        for (const QString &n : c.numbers)
            db.conn().Execute(QStringLiteral("INSERT 充值记录 VALUES (%1, 'R001', 10, '2024-03-15', 'admin')").arg(n));
        // Read beside the layer: this program's statements are for its own version.
        const QString deposits = QStringLiteral("SELECT 充值编号, 读者编号 FROM 充值记录 ORDER BY 充值编号");
        const QList<QStringList> before = db.native(deposits);
        const QString said = db.upgrade().join(QLatin1Char('\n'));
        QCOMPARE(ado::SchemaVersion(db.conn()), ado::CurrentSchemaVersion());
        const QString leftOut = QStringLiteral("left out: %1 deposit numbers").arg(c.heldTwice);
        QVERIFY2(said.contains(leftOut) == (c.heldTwice > 0), qPrintable(QLatin1String(c.name) + ": " + said));
        const QStringList indexed = db.schema().filter(index).filter(QStringLiteral("UNIQUE"));
        QVERIFY2(indexed.size() == (c.heldTwice == 0 ? 1 : 0), c.name);
        QVERIFY2(db.native(deposits) == before, c.name);
        // As the note says, the check of the data lists each number held twice.
        QCOMPARE(CheckInvariants(db.conn()).filter(QStringLiteral("充值记录 number used more than once")).size(),
                 c.heldTwice);
    }
}

// A file written by a program whose text order was another (the layer
// registers lib_chinese on every connection) holds its indexes in that
// order: this program's look-ups miss rows in them until the upgrade
// rebuilds them.
void TestUpgrade::indexesInAnotherTextOrderAreRebuilt()
{
    if (TempDb::onServer()) QSKIP("the embedded engine's own collation");
    Scratch db(kPreviousSchema);
    db.reopen();
    sqlite3 *h = nullptr;
    QCOMPARE(
        sqlite3_open_v2(QFile::encodeName(db.info().embeddedPath()).constData(), &h, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    const auto backwards = [](void *, int na, const void *a, int nb, const void *b) {
        const int c = std::memcmp(a, b, size_t(std::min(na, nb)));
        return c != 0 ? -c : nb - na;
    };
    sqlite3_create_collation(h, "lib_chinese", SQLITE_UTF8, nullptr, backwards);
    QString rows;
    for (int i = 0; i < 60; ++i)
        rows += QStringLiteral("%1('R%2', '读者%2')")
                    .arg(i ? QStringLiteral(", ") : QString())
                    .arg(i, 3, 10, QLatin1Char('0'));
    QCOMPARE(sqlite3_exec(h, ("INSERT INTO 读者档案 (读者编号, 姓名) VALUES " + rows).toUtf8().constData(), nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close_v2(h);

    QVERIFY(!db.conn().engine()->integrityProblems().isEmpty());
    db.upgrade();
    QCOMPARE(db.conn().engine()->integrityProblems(), QStringList());
}

// A step is one transaction: when the record of its version fails after its
// statements ran, its index is gone again and the database is at the version
// before; once the obstacle is gone the same upgrade goes through.
void TestUpgrade::failedStepLeavesTheDatabaseAsItWas()
{
    Scratch db(kPreviousSchema);
    db.nativeScript(QStringLiteral("CREATE TABLE lib_schema_version (version INTEGER NOT NULL CHECK (version <> 2)); "
                                   "INSERT INTO lib_schema_version VALUES (1)"));
    db.reopen();
    const QStringList before = db.schema();
    const QString error = errorOf([&] { db.upgrade(); });
    QVERIFY2(error.contains(QStringLiteral("升级到架构版本 2 失败，数据库仍为版本 1")), qPrintable(error));
    COMPARE_LINES(db.schema(), before);
    QCOMPARE(ado::SchemaVersion(db.conn()), 1);

    db.nativeScript(QStringLiteral("DROP TABLE lib_schema_version; CREATE TABLE lib_schema_version (version INTEGER "
                                   "NOT NULL); INSERT INTO lib_schema_version VALUES (1)"));
    QCOMPARE(db.upgrade().size(), ado::CurrentSchemaVersion() - 1);
    Scratch fresh;
    COMPARE_LINES(db.schema(), fresh.schema());
}

// The login opens no database of another version: an older one names the
// command that upgrades it, a newer one the need of a newer program, and
// librarydb refuses to touch a newer one.
void TestUpgrade::otherVersionsAreRefused()
{
    const int current = ado::CurrentSchemaVersion();
    const struct {
        const char *name;
        QString schema;
        int recorded;  // written over the record; 0 leaves it
        QString refusal;
    } cases[] = {
        {"made before versions were recorded", kPreviousSchema, 0,
         QStringLiteral("的架构版本为 1，本程序需要版本 %1。\n请用以下命令升级：librarydb ensure").arg(current)},
        {"older, recorded", QString(), current - 1,
         QStringLiteral("的架构版本为 %1，本程序需要版本 %2").arg(current - 1).arg(current)},
        {"current", QString(), 0, QString()},
        {"newer", QString(), current + 1,
         QStringLiteral("的架构版本为 %1，比本程序的版本 %2 新").arg(current + 1).arg(current)},
    };
    for (const auto &c : cases) {
        Scratch db(c.schema);
        if (c.recorded) db.nativeScript(QStringLiteral("UPDATE lib_schema_version SET version = %1").arg(c.recorded));
        ado::Connection login;
        const QString error = errorOf(
            [&] { OpenSQLConnection(login, db.info().server, db.info().uid, db.info().pwd, db.info().database); });
        QVERIFY2(c.refusal.isEmpty() ? error.isEmpty() : error.contains(c.refusal),
                 qPrintable(c.name + (": " + error)));
        QCOMPARE(login.State(), int(c.refusal.isEmpty() ? ado::adStateOpen : ado::adStateClosed));
        if (c.recorded > current) {
            // librarydb ensure refuses it in the same words, and leaves it as it is.
            const QStringList before = db.schema();
            QVERIFY(errorOf([&] { db.upgrade(); }).contains(c.refusal));
            COMPARE_LINES(db.schema(), before);
        } else if (!c.refusal.isEmpty()) {
            const QString settings = QStringLiteral("\"%1|UID|PWD|%2\"").arg(db.info().server, db.info().database);
            QVERIFY2(error.contains(settings), qPrintable(error));
        }
    }
}

// The tool as an administrator runs it: ensure upgrades and then leaves the
// database alone, sql --translate shows and does not run, and the trace writes
// each statement with what the engine ran, its rows and its time.
void TestUpgrade::librarydbCommands()
{
    const QString tool = testsupport::resourcesDir() + QStringLiteral("librarydb");
    if (!QFile::exists(tool)) QSKIP("librarydb is not built");
    Scratch db(kPreviousSchema);
    const QString insert = QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)");
    const QString select = QStringLiteral("SELECT 出版社名称 FROM 出版社 WHERE 出版社名称 LIKE '甲%'");
    const QString noSuchColumn = QStringLiteral("SELECT 电话 FROM 出版社");
    const QString translated = db.conn().Translate(insert);
    db.reopen();
    const struct {
        QStringList args;
        bool trace;
        int exit;
        QStringList out;  // parts of lines the output holds, in this order; none: no output
        QStringList err;
    } runs[] = {
        {{QStringLiteral("ensure")},
         false,
         0,
         {QStringLiteral(", upgrading to "), QStringLiteral("schema version 1: "), QStringLiteral("schema version 2: "),
          QStringLiteral(": now at schema version ")},
         {}},
        {{QStringLiteral("ensure")}, false, 0, {QStringLiteral(", the current one; nothing to do")}, {}},
        {{QStringLiteral("sql"), QStringLiteral("--translate"), insert}, false, 0, {translated}, {}},
        {{QStringLiteral("sql"), insert},
         true,
         0,
         {QStringLiteral("1")},
         {QStringLiteral("trace: ") + insert, QStringLiteral("  engine: ") + translated,
          QStringLiteral(" ms, 1 row touched")}},
        {{QStringLiteral("sql"), select},
         true,
         0,
         {QStringLiteral("出版社名称"), QStringLiteral("甲")},
         {QStringLiteral("trace: ") + select, QStringLiteral("  engine: SELECT "), QStringLiteral(" ms, 1 row")}},
        {{QStringLiteral("sql"), noSuchColumn},
         true,
         1,
         {},
         {QStringLiteral("trace: ") + noSuchColumn, QStringLiteral(" ms, failed: "), QStringLiteral("librarydb: ")}},
    };
    for (const auto &r : runs) {
        QStringList args = r.args;
        args.insert(args.size() > 1 && args[1] == QLatin1String("--translate") ? 2 : 1, db.settings());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LIBRARY_TRACE"));
        if (r.trace) env.insert(QStringLiteral("LIBRARY_TRACE"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(tool, args);
        QVERIFY(p.waitForFinished(60000));
        const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
        const QStringList err = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'));
        const QString what = args.join(QLatin1Char(' ')) + QStringLiteral("\n") + out.join('\n') + err.join('\n');
        QVERIFY2(p.exitCode() == r.exit, qPrintable(what));
        if (r.out.isEmpty()) QVERIFY2(out == QStringList{QString()}, qPrintable(what));
        for (const auto &[expected, got] : {std::pair{r.out, out}, std::pair{r.err, err}}) {
            int at = 0;
            for (const QString &line : expected) {
                while (at < got.size() && !got[at].contains(line)) ++at;
                QVERIFY2(at < got.size(), qPrintable(QStringLiteral("no line \"%1\" in:\n%2").arg(line, what)));
            }
        }
    }
    // Showing the translation ran nothing: the traced insert was the first.
    db.reopen();
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 出版社 WHERE 出版社名称 = '甲'")), 1L);
}

// A backup taken and restored as the README tells an administrator to
// (pg_dump -Fc; pg_restore --no-owner into an empty database) is the database
// again, every index included: pg_restore builds the indexes with no schema
// on its search path, where a function naming its collation without one fails.
void TestUpgrade::restoredBackupIsTheDatabase()
{
    if (!TempDb::onServer()) QSKIP("a backup of the server's database");
    if (QStandardPaths::findExecutable(QStringLiteral("pg_restore")).isEmpty())
        QSKIP("pg_dump/pg_restore not installed");
    Scratch source;
    seed(source, smallLibrary());
    const ado::ConnectionInfo &from = source.info();
    const QStringList hostPort = from.server.split(QRegularExpression(QStringLiteral("[,:]")));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), from.pwd);
    const QStringList login{QStringLiteral("-h"), hostPort.value(0),
                            QStringLiteral("-p"), hostPort.value(1, QStringLiteral("5432")),
                            QStringLiteral("-U"), from.uid};
    const auto run = [&](const QString &tool, const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(tool, login + args);
        const bool ended = p.waitForFinished(120000);
        const QString said = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(ended && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && said.isEmpty(),
                 qPrintable(tool + QStringLiteral(": ") + said));
    };

    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("library.dump"));
    run(QStringLiteral("pg_dump"), {QStringLiteral("-Fc"), QStringLiteral("-f"), backup, from.database});
    if (QTest::currentTestFailed()) return;

    ado::ConnectionInfo to = from;
    to.database += QStringLiteral("_restored");
    ado::PostgresEngine::drop(to);
    source.native(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                      .arg(to.database));
    Scratch restored(to);
    run(QStringLiteral("pg_restore"), {QStringLiteral("--no-owner"), QStringLiteral("-d"), to.database, backup});
    if (QTest::currentTestFailed()) return;

    COMPARE_LINES(restored.schema(), source.schema());
    COMPARE_LINES(restored.data(), source.data());
    QCOMPARE(ado::SchemaVersion(restored.conn()), ado::CurrentSchemaVersion());
}

QTEST_GUILESS_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
