// The program's database objects: opening by connection string, recordsets
// (reading, end of file, writing back a row), transactions, and librarydb.

#include "db/Ado.h"
#include "db/Engine.h"
#include "db/PostgresEngine.h"
#include "db/SchemaVersion.h"
#include "db/ServerMessages.h"
#include "db/SqliteEngine.h"
#include "db/Transaction.h"
#include "support/TempDb.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <arpa/inet.h>
#include <clocale>
#include <csignal>
#include <netinet/in.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using testsupport::errorOf;
using testsupport::TempDb;
using Rows = QList<QStringList>;

namespace {

const QString kEof = QStringLiteral("BOF 或 EOF 中有一个是“真”");
const QString kNoItem = QStringLiteral("在对应所需名称或序数的集合中，未找到项目");

// The server process serving a connection (0 on the embedded engine).
int backendPid(ado::Connection &c)
{
    const auto *pg = dynamic_cast<const ado::PostgresEngine *>(c.engine());
    return pg ? pg->backendPid() : 0;
}

// A server process stopped while this lives, as a hung server's is; it goes
// on at the end.
struct StoppedProcess {
    int pid;
    bool stopped;
    explicit StoppedProcess(int p) : pid(p), stopped(p > 0 && ::kill(p, SIGSTOP) == 0) { }
    ~StoppedProcess()
    {
        if (stopped) ::kill(pid, SIGCONT);
    }
};

// Runs `body` (PL/pgSQL) on the server before every insert of a publisher.
bool beforePublisherInsert(TempDb &db, const QString &body)
{
    return db.raw(QStringLiteral("CREATE FUNCTION lib_test_before() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN %1; "
                                 "RETURN NEW; END $$; CREATE TRIGGER lib_test_before BEFORE INSERT ON 出版社 FOR EACH "
                                 "ROW EXECUTE FUNCTION lib_test_before()")
                      .arg(body));
}

// A port on this machine that takes connections and never says a word, as
// a server whose processes hang.
struct SilentPort {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
    SilentPort()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), n) == 0 && ::listen(fd, 8) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &n) == 0)
            port = ntohs(a.sin_port);
    }
    ~SilentPort() { ::close(fd); }
};

// A throwaway server whose messages are in Chinese (lc_messages zh_CN.UTF-8),
// as a Chinese library's server often is.
struct ChineseServer {
    QString dir = QDir::temp().filePath(QStringLiteral("lib-zh-%1").arg(QCoreApplication::applicationPid()));
    QString settings;  // "HOST,PORT|UID|PWD|postgres"
    ChineseServer()
    {
        QProcess p;
        p.start(QStringLiteral(PGCLUSTER_SCRIPT),
                {QStringLiteral("start"), dir, QStringLiteral("--messages"), QStringLiteral("zh_CN.UTF-8")});
        p.waitForFinished(120000);
        settings = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        if (p.exitCode() != 0) qWarning("%s", p.readAllStandardError().constData());
    }
    ~ChineseServer() { QProcess::execute(QStringLiteral(PGCLUSTER_SCRIPT), {QStringLiteral("stop"), dir}); }
    // Restarts the server on its port (every connection to it is ended).
    bool restart() const
    {
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(),
                  [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
        if (versions.isEmpty()) return false;
        QStringList args{QStringLiteral("/usr/lib/postgresql/%1/bin/pg_ctl").arg(versions.last()),
                         QStringLiteral("-D"),
                         dir + QStringLiteral("/data"),
                         QStringLiteral("-m"),
                         QStringLiteral("fast"),
                         QStringLiteral("-w"),
                         QStringLiteral("restart")};
        if (::geteuid() == 0)
            args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + args;
        const QString program = args.takeFirst();
        return QProcess::execute(::geteuid() == 0 ? QStringLiteral("runuser") : program,
                                 ::geteuid() == 0 ? QStringList{program} + args : args)
               == 0;
    }
    ado::ConnectionInfo info(const QString &database) const
    {
        ado::ConnectionInfo i = ado::ConnectionInfo::fromSettings(settings);
        i.database = database;
        i.timeoutSeconds = 1;
        return i;
    }
};

}  // namespace

class TestAdo : public QObject {
    Q_OBJECT

private slots:
    void connectionStrings();
    void embeddedDatabaseBesideTheProgram();
    void unreachableServerIsNamed();
    void walkingARecordset();
    void fieldsAtEndOfFileOrUnknown();
    void typedValues();
    void lastLoginWrittenThroughRecordset();
    void libraryInformationSaved();
    void readOnlyAndJoinedRecordsetsRefuseUpdates();
    void transactions();
    void busyDatabaseWaitsForTheTimeout();
    void librarydbTool();
    void descriptionsAreInChinese();
    void lostServerConnection();
    void readAfterServerRestartIsSentAgain();
    void conditionsReadTheSameOnBothEngines();
    void serverThatStopsAnsweringIsGivenUp();
    void statementsOfAScopeMayTakeLonger();
    void cancelledStatementIsSaidSo();
    void chineseServerSaysWhatHappened();
    void embeddedFileChangedUnderTheProgram();
};

void TestAdo::connectionStrings()
{
    const ado::ConnectionInfo a =
        ado::ConnectionInfo::parse(QStringLiteral("Driver={SQL Server};Server=SQLite;UID=sa;PWD=p;w=d;Database=lib"));
    QCOMPARE(a.driver, QStringLiteral("{SQL Server}"));
    QCOMPARE(a.server, QStringLiteral("SQLite"));
    QCOMPARE(a.uid, QStringLiteral("sa"));
    QCOMPARE(a.pwd, QStringLiteral("p"));
    QCOMPARE(a.database, QStringLiteral("lib"));
    QVERIFY(a.isEmbedded());
    const ado::ConnectionInfo b =
        ado::ConnectionInfo::parse(QStringLiteral("Driver={SQL Server};Server=host;UID=u;PWD="));
    QCOMPARE(b.database, QString());
    QVERIFY(!b.isEmbedded());
    QCOMPARE(ado::ConnectionInfo::parse(b.toString()).server, QStringLiteral("host"));
    const ado::ConnectionInfo c = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p|/tmp/x.db"));
    QCOMPARE(c.embeddedPath(), QStringLiteral("/tmp/x.db"));
    QVERIFY(!errorOf([] { ado::ConnectionInfo::parse(QStringLiteral("Driver={SQL Server};UID=u")); }).isEmpty());
    QVERIFY(!errorOf([] { ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p")); }).isEmpty());

    // Values holding the string's own marks come back whole: ";" braced, "}" doubled inside braces.
    for (const QString &v : {QStringLiteral("a;b"), QStringLiteral("a;b}c"), QStringLiteral("}"), QStringLiteral("{x}"),
                             QStringLiteral("{x;"), QStringLiteral("x=y;z=w"), QStringLiteral(";}};")}) {
        ado::ConnectionInfo d;
        d.server = QStringLiteral("host");
        d.uid = v;
        d.pwd = v;
        d.database = v;
        const ado::ConnectionInfo back = ado::ConnectionInfo::parse(d.toString());
        QCOMPARE(back.uid, v);
        QCOMPARE(back.pwd, v);
        QCOMPARE(back.database, v);
        QCOMPARE(back.server, QStringLiteral("host"));
    }
    const ado::ConnectionInfo e =
        ado::ConnectionInfo::parse(QStringLiteral("Driver={SQL Server};Server=sqlite;UID=u;PWD={p;w}}};Database=lib"));
    QCOMPARE(e.pwd, QStringLiteral("p;w}"));
    QCOMPARE(e.database, QStringLiteral("lib"));
}

void TestAdo::embeddedDatabaseBesideTheProgram()
{
    const QString name = QStringLiteral("tst_ado_%1").arg(QCoreApplication::applicationPid());
    const QString file = QDir(QCoreApplication::applicationDirPath()).filePath(name + QStringLiteral(".db"));
    QFile::remove(file);
    const QString cs = QStringLiteral("Driver={SQL Server};Server=sqlite;UID=u;PWD=p;Database=") + name;
    ado::Connection conn;
    conn.ConnectionTimeout = 1;
    // A missing database is an error, and no empty file is left behind.
    const QString err = errorOf([&] { conn.Open(cs); });
    QVERIFY2(err.contains(file) && err.contains(QStringLiteral("不存在")), qPrintable(err));
    QVERIFY(!QFile::exists(file));
    QCOMPARE(conn.State(), int(ado::adStateClosed));
    QVERIFY(!errorOf([&] { conn.Execute(QStringLiteral("SELECT * FROM 账户")); }).isEmpty());

    const ado::ConnectionInfo info = ado::ConnectionInfo::parse(cs);
    QCOMPARE(ado::ProbeDatabase(info), ado::DatabaseState::Missing);
    ado::CreateDatabase(info, TempDb::schemaDir());
    QCOMPARE(ado::ProbeDatabase(info), ado::DatabaseState::HasTables);
    QVERIFY(errorOf([&] { ado::CreateDatabase(info, TempDb::schemaDir()); }).contains(QStringLiteral("中已经有表")));
    conn.Open(cs);
    QCOMPARE(conn.State(), int(ado::adStateOpen));
    QVERIFY(!errorOf([&] { conn.Open(cs); }).isEmpty());
    ado::Recordset rs;
    rs.Open(QStringLiteral("Select * From 账户"), conn, ado::adOpenKeyset, ado::adLockReadOnly);
    QCOMPARE(rs.Fields(QStringLiteral("用户名")).toString(), QStringLiteral("admin"));
    QCOMPARE(rs.Fields(QStringLiteral("密码")).toString(), QStringLiteral("admin"));
    conn.Close();
    QCOMPARE(conn.State(), int(ado::adStateClosed));
    QVERIFY(QFile::remove(file));

    // An empty file holds no tables: refused too.
    QFile empty(file);
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QCOMPARE(ado::ProbeDatabase(info), ado::DatabaseState::Empty);
    QVERIFY(errorOf([&] { conn.Open(cs); }).contains(QStringLiteral("中没有表")));
    QFile::remove(file);
}

// A server value other than sqlite names a database server; one that can't be
// reached is refused within the time-out, naming it.
void TestAdo::unreachableServerIsNamed()
{
    ado::Connection conn;
    conn.ConnectionTimeout = 1;
    QElapsedTimer clock;
    clock.start();
    const QString err =
        errorOf([&] { conn.Open(QStringLiteral("Driver={SQL Server};Server=127.0.0.1,1;UID=sa;PWD=x;Database=lib")); });
    QVERIFY2(err.contains(QStringLiteral("“127.0.0.1,1”不存在或拒绝访问")), qPrintable(err));
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(conn.State(), int(ado::adStateClosed));
    QVERIFY(!errorOf([&] { conn.Open(QStringLiteral("Driver={SQL Server};Server=sqlite;UID=sa;PWD=")); }).isEmpty());
}

void TestAdo::walkingARecordset()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 出版社 VALUES ('甲','a','1')"),
             QStringLiteral("INSERT 出版社 VALUES ('乙','b','2')"),
             QStringLiteral("INSERT 出版社 VALUES ('丙','c','3')")});
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 出版社 ORDER BY 邮编"), db.conn());
    QCOMPARE(rs.State(), int(ado::adStateOpen));
    QCOMPARE(rs.RecordCount(), 3L);
    QCOMPARE(rs.FieldNames(), QStringList({"出版社名称", "地址", "邮编"}));
    QCOMPARE(rs.FieldCount(), 3);
    QVERIFY(!rs.BOF_() && !rs.EOF_());
    QStringList seen;
    while (!rs.EOF_()) {
        seen << rs.Fields(QStringLiteral("出版社名称")).toString() + rs.Fields(2).toString();
        rs.MoveNext();
    }
    QCOMPARE(seen, QStringList({"甲1", "乙2", "丙3"}));
    QCOMPARE(rs.AbsolutePosition(), 0L);
    rs.MoveFirst();
    QCOMPARE(rs.AbsolutePosition(), 1L);
    QVERIFY(rs.HasField(QStringLiteral("地址")) && !rs.HasField(QStringLiteral("电话")));
    // The rows stay readable by a grid bound to them after the recordset closes.
    const ado::ResultSetPtr rows = rs.result();
    rs.Close();
    QCOMPARE(rows->text(2, 0), QStringLiteral("丙"));
    // An empty result still names its fields.
    rs.Open(QStringLiteral("SELECT * FROM 读者档案 WHERE 1 = 0"), db.conn());
    QVERIFY(rs.EOF_() && rs.BOF_());
    QCOMPARE(rs.RecordCount(), 0L);
    QCOMPARE(rs.FieldCount(), 18);
    // A statement that returns no rows runs and leaves the recordset closed.
    ado::Recordset del;
    del.Open(QStringLiteral("DELETE FROM 出版社 WHERE 出版社名称 = '甲'"), db.conn());
    QCOMPARE(del.State(), int(ado::adStateClosed));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("2"));
    QCOMPARE(db.conn().Execute(QStringLiteral("SELECT * FROM 出版社")), -1L);
}

void TestAdo::fieldsAtEndOfFileOrUnknown()
{
    TempDb db;
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 用户名, 密码 FROM 账户 WHERE 用户名 = 'nobody'"), db.conn());
    QVERIFY(errorOf([&] { rs.Fields(QStringLiteral("用户名")); }).contains(kEof));
    QVERIFY(errorOf([&] { rs.MoveNext(); }).contains(kEof));
    QVERIFY(errorOf([&] { rs.Fields(QStringLiteral("电话")); }).contains(kNoItem));
    QVERIFY(errorOf([&] { rs.Fields(5); }).contains(kNoItem));
    rs.Close();
    rs.Open(QStringLiteral("SELECT 用户名 FROM 账户"), db.conn());
    QCOMPARE(rs.Fields(QStringLiteral("用户名")).toString(), QStringLiteral("admin"));
    QCOMPARE(rs.Fields(QStringLiteral("用户名")), rs.Fields(QStringLiteral("用户名").toUpper()));  // names ignore case
    QVERIFY(errorOf([&] { rs.Fields(QStringLiteral("账户类型")); }).contains(kNoItem));
    rs.MoveNext();
    QVERIFY(rs.EOF_());
    QVERIFY(errorOf([&] { rs.Fields(0); }).contains(kEof));
    rs.Close();
    QVERIFY(errorOf([&] { rs.Fields(0); }).contains(QStringLiteral("对象关闭时，不允许操作")));
}

void TestAdo::typedValues()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 图书档案 VALUES('1','书','作者','社','2024-3-5',12.5,0,'1')"),
             QStringLiteral(
                 "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B1','1','2024-03-05 14:05:09','u')")});
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 出版时间, 价格, 可否外借, 图书名称, 出版社名称 FROM 图书档案"), db.conn());
    QCOMPARE(rs.Fields(0).toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QCOMPARE(rs.Fields(1).toDouble(), 12.5);
    QCOMPARE(rs.Fields(2).toInt(), 1);
    QCOMPARE(rs.Fields(3).toString(), QStringLiteral("书"));
    const ado::ResultSetPtr r = rs.result();
    QCOMPARE(r->text(0, 0), QStringLiteral("2024-03-05"));
    QCOMPARE(r->text(0, 1), QStringLiteral("12.5"));
    QVERIFY(!r->isNull(0, 4));
    QCOMPARE(db.scalar(QStringLiteral("SELECT 入库日期 FROM 图书库存")), QStringLiteral("2024-03-05 14:05:09"));
    QVERIFY(r->memoryBytes() > 0);
}

void TestAdo::lastLoginWrittenThroughRecordset()
{
    TempDb db;
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 最后登录时间 FROM 账户 WHERE 用户名 = 'ADMIN'"), db.conn(), ado::adOpenDynamic,
            ado::adLockOptimistic);
    QCOMPARE(rs.RecordCount(), 1L);
    QVERIFY(rs.Fields(QStringLiteral("最后登录时间")).isNull());
    rs.SetField(QStringLiteral("最后登录时间"), QStringLiteral("2024-05-01 08:30:00"));
    rs.Update();
    QCOMPARE(rs.Fields(QStringLiteral("最后登录时间")).toDateTime(), QDateTime(QDate(2024, 5, 1), QTime(8, 30)));
    QCOMPARE(db.scalar(QStringLiteral("SELECT CONVERT(varchar(20),最后登录时间,20) FROM 账户 WHERE 用户名 = 'admin'")),
             QStringLiteral("2024-05-01 08:30:00"));
    QVERIFY(!errorOf([&] {
                 rs.SetField(QStringLiteral("最后登录时间"), QStringLiteral("不是日期"));
                 rs.Update();
             }).isEmpty());
    QCOMPARE(db.scalar(QStringLiteral("SELECT 最后登录时间 FROM 账户")), QStringLiteral("2024-05-01 08:30:00"));
}

void TestAdo::libraryInformationSaved()
{
    TempDb db;
    const QByteArray logo("\x89PNG\r\n\x1a\n\0\x01binary", 16);
    ado::Recordset rs;
    rs.Open(QStringLiteral("select * from 图书馆信息"), db.conn(), ado::adOpenDynamic, ado::adLockOptimistic);
    rs.SetField(QStringLiteral("图书馆名称"), QStringLiteral(" 新名字 "));
    rs.SetField(QStringLiteral("租金功能"), 1);
    rs.SetField(QStringLiteral("超期罚金功能"), 0);
    rs.SetField(QStringLiteral("每日超期罚金"), QStringLiteral("0.5"));
    rs.SetField(QStringLiteral("徽标"), logo);
    QCOMPARE(rs.Fields(QStringLiteral("图书馆名称")).toString(), QStringLiteral(" 新名字 "));
    rs.Update();
    rs.Close();
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT 图书馆名称, 租金功能, 超期罚金功能, CONVERT(varchar(10),每日超期罚金,0) FROM 图书馆信息")),
             Rows({{" 新名字 ", "1", "0", "0.50"}}));
    rs.Open(QStringLiteral("SELECT 徽标 FROM 图书馆信息"), db.conn());
    QCOMPARE(rs.Fields(0).toByteArray(), logo);
    // A fine that is no number is refused and nothing is saved.
    ado::Recordset again;
    again.Open(QStringLiteral("select * from 图书馆信息"), db.conn(), ado::adOpenDynamic, ado::adLockOptimistic);
    again.SetField(QStringLiteral("图书馆名称"), QStringLiteral("另一个"));
    again.SetField(QStringLiteral("每日超期罚金"), QStringLiteral("五毛"));
    QVERIFY(errorOf([&] { again.Update(); }).contains(QStringLiteral("转换成数据类型 money 时失败")));
    QCOMPARE(db.scalar(QStringLiteral("SELECT 图书馆名称 FROM 图书馆信息")), QStringLiteral(" 新名字 "));
}

void TestAdo::readOnlyAndJoinedRecordsetsRefuseUpdates()
{
    TempDb db;
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM 账户"), db.conn());
    QVERIFY(errorOf([&] {
                rs.SetField(QStringLiteral("状态"), QStringLiteral("停用"));
            }).contains(QStringLiteral("当前记录集不支持更新")));
    ado::Recordset joined;
    joined.Open(QStringLiteral("SELECT * FROM 账户,账户类型 WHERE 账户.账户类型 = 账户类型.账户类型"), db.conn(),
                ado::adOpenDynamic, ado::adLockOptimistic);
    joined.SetField(QStringLiteral("状态"), QStringLiteral("停用"));
    QVERIFY(!errorOf([&] { joined.Update(); }).isEmpty());
    ado::Recordset computed;
    computed.Open(QStringLiteral("SELECT 用户名, CONVERT(varchar(20),最后登录时间,20) AS 时间 FROM 账户"), db.conn(),
                  ado::adOpenDynamic, ado::adLockOptimistic);
    computed.SetField(QStringLiteral("时间"), QStringLiteral("2024-01-01"));
    QVERIFY(errorOf([&] { computed.Update(); }).contains(QStringLiteral("无法更新字段")));
    QCOMPARE(db.scalar(QStringLiteral("SELECT 状态 FROM 账户")), QStringLiteral("正常"));
}

void TestAdo::transactions()
{
    TempDb db;
    ado::Connection &c = db.conn();
    c.BeginTrans();
    QVERIFY(c.InTransaction());
    QVERIFY(errorOf([&] { c.BeginTrans(); }).contains(QStringLiteral("事务不能嵌套")));
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
    c.RollbackTrans();
    QVERIFY(!c.InTransaction());
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("0"));
    c.BeginTrans();
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)"));
    c.CommitTrans();
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("1"));
    QVERIFY(errorOf([&] { c.CommitTrans(); }).contains(QStringLiteral("没有活动的事务")));
    QVERIFY(errorOf([&] { c.RollbackTrans(); }).contains(QStringLiteral("没有活动的事务")));
}

// A write that needs what another transaction holds waits for it within its
// time-out, then says the database is busy; once the first is done it goes
// ahead. On the embedded file a write transaction holds the whole file: a
// second one can't begin. On the server it holds the rows it wrote: a second
// begins, and waits where it writes the same row.
void TestAdo::busyDatabaseWaitsForTheTimeout()
{
    TempDb db;
    db.conn().BeginTrans();
    db.conn().Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
    ado::Connection other;
    other.ConnectionTimeout = 1;
    other.Open(db.connectionString());
    QElapsedTimer t;
    t.start();
    const QString err = errorOf([&] {
        other.BeginTrans();
        other.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
    });
    QVERIFY2(err.contains(QStringLiteral("数据库正忙")), qPrintable(err));
    QVERIFY(t.elapsed() >= 900);
    QCOMPARE(other.InTransaction(), TempDb::onServer());
    if (other.InTransaction()) other.RollbackTrans();
    db.conn().CommitTrans();
    other.BeginTrans();
    QCOMPARE(other.Execute(QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)")), 1L);
    other.CommitTrans();
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("2"));
}

void TestAdo::librarydbTool()
{
    const QString tool = testsupport::resourcesDir() + QStringLiteral("librarydb");
    if (!QFile::exists(tool)) QSKIP("librarydb is not built");
    QTemporaryDir dir;
    const QString settings = QStringLiteral("sqlite|u|p|") + dir.filePath(QStringLiteral("lib.db"));
    auto run = [&](const QStringList &args, QString *out = nullptr, QString *err = nullptr) {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(30000);
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput());
        if (err) *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    QString out, err;
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("SELECT * FROM 账户")}, nullptr, &err), 1);
    QVERIFY(err.contains(QStringLiteral("不存在")));
    // The command it suggests makes the file where it was looked for.
    QVERIFY2(err.contains(QStringLiteral("librarydb create \"") + settings.section('|', 0, 0) + "|UID|PWD|"
                          + settings.section('|', 3) + "\""),
             qPrintable(err));
    QCOMPARE(run({QStringLiteral("ensure"), settings}), 0);
    // A database already current: said so, with its version.
    QCOMPARE(run({QStringLiteral("ensure"), settings}, &out), 0);
    QCOMPARE(out, QStringLiteral("%1: schema version %2, the current one; nothing to do\n")
                      .arg(settings.section('|', 3))
                      .arg(ado::CurrentSchemaVersion()));
    QCOMPARE(run({QStringLiteral("create"), settings}, nullptr, &err), 1);
    QVERIFY(err.contains(QStringLiteral("already has tables")));
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("INSERT 出版社 VALUES ('甲', Null, '1')")}, &out), 0);
    QCOMPARE(out, QStringLiteral("1\n"));
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("SELECT 出版社名称, 地址, 邮编 FROM 出版社")}, &out),
             0);
    QCOMPARE(out, QStringLiteral("出版社名称\t地址\t邮编\n甲\t\t1\n"));
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("SELEC 1")}, nullptr, &err), 1);
    QVERIFY(err.contains(QStringLiteral("SELEC")));
    // A command not understood: the usage, exit 2.
    for (const QStringList &args : {QStringList{}, QStringList{QStringLiteral("drop"), settings},
                                    QStringList{QStringLiteral("check"), settings, QStringLiteral("extra")}}) {
        QCOMPARE(run(args, nullptr, &err), 2);
        QVERIFY2(err.startsWith(QStringLiteral("usage: librarydb")), qPrintable(err));
    }
}

// The server drops the connection (restarted, or the desk's network gone):
// the next statement fails with a clear message, the transaction in progress
// is gone whole, and the statement after it finds the server again.
void TestAdo::lostServerConnection()
{
    if (!TempDb::onServer()) QSKIP("a server connection");
    TempDb db;
    ado::Connection &c = db.conn();
    const QString dropOthers = QStringLiteral(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() AND pid <> "
        "pg_backend_pid()");
    c.BeginTrans();
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
    QVERIFY(db.raw(dropOthers));
    const QString err = errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)")); });
    QVERIFY2(err.contains(QStringLiteral("连接已断开")), qPrintable(err));
    QVERIFY(!errorOf([&] { c.CommitTrans(); }).isEmpty());
    c.RollbackTrans();
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("0"));

    // Outside a transaction too the statement that finds the connection gone
    // fails (it is not sent again: it may have run); the next one connects anew.
    QVERIFY(db.raw(dropOthers));
    QVERIFY(errorOf([&] {
                c.Execute(QStringLiteral("INSERT 出版社 VALUES ('丁', Null, Null)"));
            }).contains(QStringLiteral("连接已断开")));
    QCOMPARE(c.Execute(QStringLiteral("INSERT 出版社 VALUES ('丙', Null, Null)")), 1L);
    QCOMPARE(db.scalar(QStringLiteral("SELECT 出版社名称 FROM 出版社")), QStringLiteral("丙"));

    // A read (and a BEGIN: nothing is written yet) that finds the connection
    // gone is sent once more on a new connection: the first look-up after a
    // server restart reads what it asked for.
    QVERIFY(db.raw(dropOthers));
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 出版社名称 FROM 出版社"), c);
        QCOMPARE(rs.Fields(0).toString(), QStringLiteral("丙"));
    }
    QVERIFY(db.raw(dropOthers));
    {
        ado::Transaction trans(c);
        QCOMPARE(c.Execute(QStringLiteral("INSERT 出版社 VALUES ('丁', Null, Null)")), 1L);
        trans.Commit();
    }
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("2"));
}

// A server restarted between two actions: the desk's next look-up reads
// what it asked for, on a new connection.
void TestAdo::readAfterServerRestartIsSentAgain()
{
    if (!TempDb::onServer()) QSKIP("the server pass starts a server of its own");
    const ChineseServer server;
    QVERIFY2(!server.settings.isEmpty(), "the server did not start");
    const ado::ConnectionInfo info = server.info(QStringLiteral("重启"));
    ado::CreateDatabase(info, TempDb::schemaDir());
    ado::Connection c;
    c.ConnectionTimeout = 2;
    c.Open(info.toString());
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
    QVERIFY(server.restart());
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 出版社名称 FROM 出版社"), c);
    QCOMPARE(rs.Fields(0).toString(), QStringLiteral("甲"));
}

// What a clerk reads when the database refuses: the server's Chinese, naming
// what it names, on either engine; no sentence of the engines' own English.
void TestAdo::descriptionsAreInChinese()
{
    TempDb db;
    ado::Connection &c = db.conn();
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', '不是日期', Null)"));
    const QList<std::pair<QString, std::function<void()>>> cases = {
        {QStringLiteral("出版社"), [&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")); }},
        {QStringLiteral("电话"), [&] { c.Execute(QStringLiteral("SELECT 电话 FROM 出版社")); }},
        {QStringLiteral("出版"), [&] { c.Execute(QStringLiteral("SELECT * FROM 出版")); }},
        {QStringLiteral("FROM"), [&] { c.Execute(QStringLiteral("SELECT FROM 出版社")); }},
        {QStringLiteral("2024-02-30"),
         [&] { c.Execute(QStringLiteral("INSERT 账户登录 VALUES ('a', '2024-02-30')")); }},
        // A date the engine itself reads from a column.
        {QStringLiteral("日期"),
         [&] {
             ado::Recordset rs;
             rs.Open(QStringLiteral("SELECT CONVERT(datetime, 地址) FROM 出版社"), c);
         }},
        {QStringLiteral("BOF"),
         [&] {
             ado::Recordset rs;
             rs.Open(QStringLiteral("SELECT * FROM 出版社 WHERE 1 = 0"), c);
             rs.Fields(0);
         }},
        {QString(),
         [&] {
             ado::Connection closed;
             closed.Execute(QStringLiteral("SELECT * FROM 出版社"));
         }},
        {QString(), [&] { c.CommitTrans(); }},
        {QStringLiteral("Database="),
         [&] {
             ado::Connection other;
             other.Open(QStringLiteral("Driver={SQL Server};Server=sqlite;UID=u;PWD=p"));
         }},
    };
    static const QRegularExpression englishSentence(QStringLiteral("[A-Za-z]+ [a-z]+ [a-z]+"));
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    for (const auto &[names, run] : cases) {
        const QString d = errorOf(run);
        QVERIFY2(!d.isEmpty(), qPrintable(names));
        QVERIFY2(d.contains(chinese) && !d.contains(englishSentence), qPrintable(d));
        QVERIFY2(d.contains(names), qPrintable(d));
    }
}

// A condition of either engine reads the same on both, told by its code and
// worded as the server words it; an engine's own setup makes it happen where
// a statement alone can't.
void TestAdo::conditionsReadTheSameOnBothEngines()
{
    struct Condition {
        const char *name;
        std::function<void(TempDb &)> arrange;
        QString statement;
        QString said;
        bool bothEngines;
    };
    auto none = [](TempDb &) {};
    const QString longText(40000, QLatin1Char('x'));
    const QList<Condition> conditions = {
        {"a key that is there", none,
         QStringLiteral("INSERT 账户 VALUES ('ADMIN', 'x', 'x', Null, '系统管理员', Null, '正常')"),
         ado::msg::duplicateKey(QStringLiteral("账户"), QStringLiteral("用户名"), QStringLiteral("ADMIN")), true},
        {"a copy's second open loan",
         [](TempDb &db) {
             db.exec({QStringLiteral("INSERT 图书借阅 VALUES ('1', 'B1', 'R1', '2024-01-01', '2024-02-01', Null, '0', "
                                     "'u', Null)")});
         },
         QStringLiteral("INSERT 图书借阅 VALUES ('2', 'B1', 'R2', '2024-01-01', '2024-02-01', Null, '0', 'u', Null)"),
         ado::msg::duplicateIndexRow(QStringLiteral("图书借阅"), QStringLiteral("图书借阅_一本一借"), QString()), true},
        {"money past the largest amount",
         [](TempDb &db) {
             db.exec({QStringLiteral("INSERT 图书档案 VALUES ('1', '书', Null, Null, Null, 922337203685477, 0, '1')")});
         },
         QStringLiteral("UPDATE 图书档案 SET 价格 = 价格 + 1"), ado::msg::arithmeticOverflow(), true},
        {"money too long for its text",
         [](TempDb &db) {
             db.exec({QStringLiteral("INSERT 图书档案 VALUES ('1', '书', Null, Null, Null, 123456789, 0, '1')")});
         },
         QStringLiteral("SELECT CONVERT(varchar(10), 价格, 0) FROM 图书档案"), ado::msg::moneyOverflow(), true},
        // The embedded engine's whole-number columns hold 64 bits.
        {"a whole number past its column",
         [](TempDb &db) { db.exec({QStringLiteral("INSERT 读者类别 VALUES ('学生', '30', '2147483647')")}); },
         QStringLiteral("UPDATE 读者类别 SET 借书数量限制 = 借书数量限制 + 1"), ado::msg::arithmeticOverflow(), false},
        {"a full disk",
         [](TempDb &db) {
             if (auto *e = dynamic_cast<ado::SqliteEngine *>(db.conn().engine())) {
                 // No page more than the file has now.
                 sqlite3_exec(e->handle(), "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
                 return;
             }
             QVERIFY(beforePublisherInsert(db, QStringLiteral("RAISE EXCEPTION 'no space' USING ERRCODE = '53100'")));
         },
         QStringLiteral("INSERT 出版社 VALUES ('甲', '%1', Null)").arg(longText), ado::msg::diskFull(), true},
    };
    for (const Condition &c : conditions) {
        if (!c.bothEngines && !TempDb::onServer()) continue;
        TempDb db;
        c.arrange(db);
        QCOMPARE(errorOf([&] { db.conn().Execute(c.statement); }), c.said);
        // The connection goes on.
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 账户")), QStringLiteral("1"));
    }
}

// A server that stops answering (its process stopped, as a hung server's
// is): the statement is given up within the command time-out with its own
// message, and the next statement connects again. A transaction is gone with
// the connection, and says so until it is rolled back.
void TestAdo::serverThatStopsAnsweringIsGivenUp()
{
    if (!TempDb::onServer()) QSKIP("a server connection");
    TempDb db;
    ado::Connection &c = db.conn();
    c.CommandTimeout = 1;
    for (const bool inTransaction : {false, true}) {
        if (inTransaction) {
            c.BeginTrans();
            c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
        }
        QElapsedTimer clock;
        QString err;
        {
            StoppedProcess server(backendPid(c));
            if (!server.stopped) QSKIP("the server's processes may not be stopped by this user");
            clock.start();
            err = errorOf([&] { c.Execute(QStringLiteral("SELECT * FROM 出版社")); });
        }
        QCOMPARE(err, ado::msg::commandTimedOut(1));
        QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        // The cancel request sent meanwhile ends on its own, within the time-out.
        QTRY_COMPARE_WITH_TIMEOUT(ado::PostgresEngine::cancelsUnderway(), 0, 3000);
        if (inTransaction) {
            QCOMPARE(errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)")); }),
                     ado::msg::connectionLost(ado::msg::droppedAfterTimeout(1)));
            QVERIFY(!errorOf([&] { c.CommitTrans(); }).isEmpty());
            c.RollbackTrans();
        }
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("0"));
    }
}

// The command time-out bounds each statement: a scope gives its statements
// longer (the clean-up's deletes), and the bound before comes back after it.
void TestAdo::statementsOfAScopeMayTakeLonger()
{
    if (!TempDb::onServer()) QSKIP("a server connection");
    TempDb db;
    QVERIFY(beforePublisherInsert(db, QStringLiteral("PERFORM pg_sleep(1.5)")));
    ado::Connection &c = db.conn();
    QCOMPARE(c.CommandTimeout, ado::kDefaultCommandTimeout);
    c.CommandTimeout = 1;
    QCOMPARE(errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")); }),
             ado::msg::commandTimedOut(1));
    {
        const ado::CommandTimeoutScope longer(c, 5);
        QCOMPARE(c.Execute(QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)")), 1L);
    }
    QCOMPARE(c.CommandTimeout, 1);
    QCOMPARE(errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('丙', Null, Null)")); }),
             ado::msg::commandTimedOut(1));
}

// A statement the server's administrator cancels says so (not "busy"), and
// the connection stays.
void TestAdo::cancelledStatementIsSaidSo()
{
    if (!TempDb::onServer()) QSKIP("a server connection");
    TempDb db;
    QVERIFY(beforePublisherInsert(db, QStringLiteral("PERFORM pg_sleep(20)")));
    ado::Connection &c = db.conn();
    const int pid = backendPid(c);
    // The administrator's session waits for the statement to run, then cancels it.
    std::thread administrator([&db, pid] {
        db.raw(
            QStringLiteral("DO $$ BEGIN WHILE NOT EXISTS (SELECT 1 FROM pg_stat_activity WHERE pid = %1 AND state "
                           "= 'active') LOOP PERFORM pg_sleep(0.02); END LOOP; PERFORM pg_cancel_backend(%1); END $$")
                .arg(pid));
    });
    const QString err = errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")); });
    administrator.join();
    QCOMPARE(err, ado::msg::statementCancelled());
    QCOMPARE(backendPid(c), pid);
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("0"));
}

// On a server whose messages are Chinese, with the desk's own messages in
// Chinese too, each way a connection fails reads as what happened: none is
// recognised by its wording. The database is made there as anywhere.
void TestAdo::chineseServerSaysWhatHappened()
{
    if (!TempDb::onServer()) QSKIP("the server pass starts a server of its own");
    const QByteArray before = std::setlocale(LC_MESSAGES, nullptr);
    QVERIFY2(std::setlocale(LC_MESSAGES, "zh_CN.UTF-8"),
             "the locale zh_CN.UTF-8 is missing: scripts/setup.sh makes it");
    const auto back = qScopeGuard([&] { std::setlocale(LC_MESSAGES, before.constData()); });
    const ChineseServer server;
    QVERIFY2(!server.settings.isEmpty(), "the server did not start");

    const ado::ConnectionInfo made = server.info(QStringLiteral("新的图书馆"));
    QCOMPARE(ado::ProbeDatabase(made), ado::DatabaseState::Missing);
    ado::CreateDatabase(made, TempDb::schemaDir());
    QCOMPARE(ado::ProbeDatabase(made), ado::DatabaseState::HasTables);

    SilentPort silent;
    QVERIFY(silent.port > 0);
    const QString silentServer = QStringLiteral("127.0.0.1,%1").arg(silent.port);
    struct Failure {
        const char *name;
        ado::ConnectionInfo info;
        QString said;
    };
    ado::ConnectionInfo wrongPassword = made, noDatabase = made, refused = made, unknownHost = made, hanging = made;
    wrongPassword.pwd += QStringLiteral("x");
    noDatabase.database = QStringLiteral("没有这个库");
    refused.server = QStringLiteral("127.0.0.1,1");
    unknownHost.server = QStringLiteral("nosuchhost.invalid");
    hanging.server = silentServer;
    const QList<Failure> failures = {
        {"wrong password", wrongPassword, ado::msg::loginFailed(made.uid, ado::msg::wrongPassword())},
        {"no such database", noDatabase, ado::msg::databaseNotFound(noDatabase.database)},
        {"nothing at the port", refused,
         ado::msg::serverNotFound(refused.server, ado::msg::connectionRefused(QStringLiteral("1")))},
        {"unknown host", unknownHost,
         ado::msg::serverNotFound(unknownHost.server, ado::msg::hostUnknown(unknownHost.server))},
        {"a server that never answers", hanging,
         ado::msg::serverNotFound(hanging.server, ado::msg::loginNotAnsweredWithin(2))},
    };
    for (const Failure &f : failures) {
        ado::Connection conn;
        conn.ConnectionTimeout = 1;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(errorOf([&] { conn.Open(f.info.toString()); }), f.said);
        // Given up within the connection time-out (2 s), however long the server would keep silent.
        if (f.info.server == silentServer) QVERIFY2(clock.elapsed() < 3500, f.name);
    }
    // A statement's failure, as on any server.
    ado::Connection conn;
    conn.Open(made.toString());
    QCOMPARE(errorOf([&] { conn.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")); }), QString());
    QCOMPARE(errorOf([&] { conn.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")); }),
             ado::msg::duplicateKey(QStringLiteral("出版社"), QStringLiteral("出版社名称"), QStringLiteral("甲")));
}

// The embedded file changed by another program under a running desk: every
// change gives a message, never a signal, and once the file is back the next
// statement reads it, on the same connection.
void TestAdo::embeddedFileChangedUnderTheProgram()
{
    if (TempDb::onServer()) QSKIP("the embedded database's file");
    auto overwrite = [](const QString &file, const QByteArray &bytes) {  // as cp does: the same file, emptied first
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    auto bytesOf = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    struct Change {
        const char *name;
        std::function<void(const QString &file, const QString &copy)> change, putBack;
        std::function<QString(const QString &file)> said;
    };
    const QList<Change> changes = {
        {"emptied where it stands", [&](const QString &f, const QString &) { overwrite(f, QByteArray()); },
         [&](const QString &f, const QString &copy) { overwrite(f, bytesOf(copy)); },
         [](const QString &f) { return ado::msg::databaseFileEmptied(f); }},
        {"cut short", [](const QString &f, const QString &) { QFile::resize(f, 4096); },
         [&](const QString &f, const QString &copy) { overwrite(f, bytesOf(copy)); },
         [](const QString &) { return ado::msg::fileDamaged(); }},
        {"deleted", [](const QString &f, const QString &) { QFile::remove(f); },
         [](const QString &f, const QString &copy) { QFile::copy(copy, f); },
         [](const QString &f) { return ado::msg::databaseFileGone(f); }},
        {"moved away", [](const QString &f, const QString &) { QFile::rename(f, f + QStringLiteral(".away")); },
         [](const QString &f, const QString &) { QFile::rename(f + QStringLiteral(".away"), f); },
         [](const QString &f) { return ado::msg::databaseFileGone(f); }},
    };
    for (const Change &ch : changes) {
        TempDb db;
        ado::Connection &c = db.conn();
        const QString file = db.path(), copy = file + QStringLiteral(".copy");
        // Enough rows that the file has pages past its first few.
        c.BeginTrans();
        for (int i = 0; i < 200; ++i)
            c.Execute(
                QStringLiteral("INSERT 出版社 VALUES ('社%1', '%2', Null)").arg(i).arg(QString(200, QChar(u'址'))));
        c.CommitTrans();
        QVERIFY(QFile::copy(file, copy));
        ch.change(file, copy);
        const QString said = ch.said(file);
        QCOMPARE(errorOf([&] { c.Execute(QStringLiteral("SELECT * FROM 出版社 ORDER BY 地址 DESC")); }), said);
        QCOMPARE(errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")); }), said);
        ch.putBack(file, copy);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("200"));
        QCOMPARE(c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)")), 1L);
    }

    // Another file put in its place while a transaction runs: the transaction
    // can't go on there; once it is rolled back the new file is read.
    TempDb db;
    ado::Connection &c = db.conn();
    const QString file = db.path(), copy = file + QStringLiteral(".copy");
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)"));
    QVERIFY(QFile::copy(file, copy));
    c.BeginTrans();
    c.Execute(QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)"));
    QVERIFY(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(file).constData()) == 0);
    QCOMPARE(errorOf([&] { c.Execute(QStringLiteral("INSERT 出版社 VALUES ('丙', Null, Null)")); }),
             ado::msg::databaseFileReplaced(file));
    QCOMPARE(errorOf([&] { c.CommitTrans(); }), ado::msg::databaseFileReplaced(file));
    c.RollbackTrans();
    QCOMPARE(db.rows(QStringLiteral("SELECT 出版社名称 FROM 出版社")), Rows({{"甲"}}));
}

QTEST_GUILESS_MAIN(TestAdo)
#include "tst_ado.moc"
