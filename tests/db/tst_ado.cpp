// The program's database objects: opening by connection string, recordsets
// (reading, end of file, writing back a row), transactions, and librarydb.

#include "db/Ado.h"
#include "db/Engine.h"
#include "support/TempDb.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

using testsupport::errorOf;
using testsupport::TempDb;
using Rows = QList<QStringList>;

namespace {

const QString kEof = QStringLiteral("BOF 或 EOF 中有一个是“真”");
const QString kNoItem = QStringLiteral("在对应所需名称或序数的集合中，未找到项目");

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

// A write transaction starts as the writer: a second one waits for the first
// within its time-out, then says the database is busy; once the first is done
// it goes ahead.
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
    const QString err = errorOf([&] { other.BeginTrans(); });
    QVERIFY2(err.contains(QStringLiteral("数据库正忙")), qPrintable(err));
    QVERIFY(t.elapsed() >= 900);
    QVERIFY(!other.InTransaction());
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
    QCOMPARE(run({QStringLiteral("ensure"), settings}), 0);
    QCOMPARE(run({QStringLiteral("ensure"), settings}, &out), 0);
    QVERIFY(out.isEmpty());
    QCOMPARE(run({QStringLiteral("create"), settings}, nullptr, &err), 1);
    QVERIFY(err.contains(QStringLiteral("already has tables")));
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("INSERT 出版社 VALUES ('甲', Null, '1')")}, &out), 0);
    QCOMPARE(out, QStringLiteral("1\n"));
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("SELECT 出版社名称, 地址, 邮编 FROM 出版社")}, &out),
             0);
    QCOMPARE(out, QStringLiteral("出版社名称\t地址\t邮编\n甲\t\t1\n"));
    QCOMPARE(run({QStringLiteral("sql"), settings, QStringLiteral("SELEC 1")}, nullptr, &err), 1);
    QVERIFY(err.contains(QStringLiteral("SELEC")));
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

QTEST_GUILESS_MAIN(TestAdo)
#include "tst_ado.moc"
