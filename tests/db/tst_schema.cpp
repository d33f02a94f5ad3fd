// The schema built into the program: the same text as the files placed beside
// it, and enough to make a database with no schema files around. What must
// hold of the data (tools/Invariants.h): each corruption planted alone is
// found, by the tests' check and by `librarydb check`.

#include "db/Ado.h"
#include "db/Engine.h"
#include "support/TempDb.h"
#include "support/TestSupport.h"
#include "tools/Invariants.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void builtInCopyMatchesTheFiles();
    void databaseMadeWithoutSchemaFiles();
    void oneOpenLoanOfACopy();
    void plantedCorruptionIsFound_data();
    void plantedCorruptionIsFound();
    void serverLoanCountsAreChecked();
};

// Every schema file placed beside the program, the upgrade steps' too, is
// built in (a step's file left out of db/CMakeLists.txt fails here).
void TestSchema::builtInCopyMatchesTheFiles()
{
    const QDir placedDir(testsupport::resourcesDir() + QStringLiteral("Schema/"));
    QStringList names;
    for (QDirIterator it(placedDir.path(), {QStringLiteral("*.sql")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        names << placedDir.relativeFilePath(it.next());
    QVERIFY(names.contains(QStringLiteral("sqlite.sql")) && names.contains(QStringLiteral("upgrade/1-postgres.sql")));
    for (const QString &name : names) {
        QFile built(QStringLiteral(":/Schema/") + name);
        QVERIFY2(built.open(QIODevice::ReadOnly), qPrintable(name));
        QFile placed(placedDir.filePath(name));
        QVERIFY2(placed.open(QIODevice::ReadOnly), qPrintable(placed.fileName()));
        QCOMPARE(built.readAll(), placed.readAll());
    }
}

void TestSchema::databaseMadeWithoutSchemaFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.db"));
    const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p|") + path);
    ado::CreateDatabase(info, dir.filePath(QStringLiteral("no-such-folder")));
    ado::Connection conn;
    conn.Open(info.toString());
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 用户名 FROM 账户"), conn, ado::adOpenKeyset, ado::adLockReadOnly);
    QCOMPARE(rs.Fields(QStringLiteral("用户名")).toString(), QStringLiteral("admin"));
}

// The database itself refuses a second open loan of a copy, however the copy
// number is spelt; returned loans of it are as many as there were.
void TestSchema::oneOpenLoanOfACopy()
{
    testsupport::TempDb db;
    ado::Connection &c = db.conn();
    const auto lend = [&](const char *loan, const char *copy, int returned) {
        c.Execute(QStringLiteral(
                      "INSERT INTO 图书借阅 (图书借阅编号, 图书编号, 读者编号, 是否已还) VALUES ('%1', '%2', 'R1', %3)")
                      .arg(QLatin1String(loan), QLatin1String(copy))
                      .arg(returned));
    };
    lend("L1", "B001", 0);
    QVERIFY_THROWS_EXCEPTION(ado::Error, lend("L2", "b001", 0));
    lend("L3", "B001", 1);
    lend("L4", "b001", 1);
    lend("L5", "B002", 0);
    c.Execute(QStringLiteral("UPDATE 图书借阅 SET 是否已还 = 1 WHERE 图书借阅编号 = 'L1'"));
    lend("L6", "b001", 0);
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             c.Execute(QStringLiteral("UPDATE 图书借阅 SET 是否已还 = 0 WHERE 图书借阅编号 = 'L3'")));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT COUNT(*) AS n FROM 图书借阅 WHERE 图书编号 = 'B001' AND 是否已还 = 0"), c);
    QCOMPARE(rs.Fields(QStringLiteral("n")).toInt(), 1);
}

// A sound library: one title with two copies, B1 lent to R1 (its counters 1),
// B2 on the shelf, R2 with nothing lent, two deposits.
void seedSoundLibrary(ado::Connection &c)
{
    for (const char *sql : {
             "INSERT 读者类别 VALUES ('学生', 30, 5)",
             "INSERT 图书档案 VALUES ('978-1', '书甲', '作者甲', '出版社甲', '2020-01-01', 30, 0.5, 1)",
             "INSERT 图书库存 (图书编号, ISBN, 状态) VALUES ('B1', '978-1', '借出')",
             "INSERT 图书库存 (图书编号, ISBN, 状态) VALUES ('B2', '978-1', '空闲')",
             "INSERT 读者档案 VALUES ('R1', '学生', '甲', 1, 10, '', '', '', '', 1, 1, 1, 0, 1, '2024-01-01', 'admin', "
             "'正常')",
             "INSERT 读者档案 VALUES ('R2', '学生', '乙', 0, 10, '', '', '', '', 0, 0, 0, 0, 0, '2024-01-01', 'admin', "
             "'正常')",
             "INSERT 图书借阅 VALUES ('L1', 'B1', 'R1', '2024-03-01', '2024-03-31', Null, 0, 'admin', Null)",
             "INSERT 图书借阅 VALUES ('L0', 'B2', 'R2', '2024-02-01', '2024-03-01', '2024-02-10', 1, 'admin', 'admin')",
             "INSERT 充值记录 VALUES ('D1', 'R1', 10, '2024-01-01', 'admin')",
             "INSERT 充值记录 VALUES ('D2', 'R2', 10, '2024-01-01', 'admin')",
         })
        c.Execute(QString::fromUtf8(sql));
}

void TestSchema::plantedCorruptionIsFound_data()
{
    QTest::addColumn<QString>("corruption");  // statements in the program's dialect, ";" between them
    QTest::addColumn<QString>("dropIndex");   // a unique index the corruption must get past first
    QTest::addColumn<QString>("reported");    // the line the check must write
    const auto row = [](const char *name, const char *corruption, const char *index, const char *reported) {
        QTest::newRow(name) << QString::fromUtf8(corruption) << QString::fromUtf8(index) << QString::fromUtf8(reported);
    };
    row("sound", "", "", "");
    row("lent copy without a loan", "UPDATE 图书库存 SET 状态 = '借出' WHERE 图书编号 = 'B2'", "",
        "图书库存 借出 without an open loan: B2");
    row("loan of a copy on the shelf", "UPDATE 图书库存 SET 状态 = '空闲' WHERE 图书编号 = 'B1'", "",
        "图书库存 with an open loan but not 借出: B1, 空闲");
    row("loan of a copy without a state", "UPDATE 图书库存 SET 状态 = Null WHERE 图书编号 = 'B1'", "",
        "图书库存 with an open loan but not 借出: B1, ");
    row("copy lent twice",
        "INSERT 图书借阅 VALUES ('L2', 'B1', 'R2', '2024-03-02', '2024-04-01', Null, 0, 'admin', Null);"
        "UPDATE 读者档案 SET 当前借书数量 = 1, 未还书总数 = 1 WHERE 读者编号 = 'R2'",
        "图书借阅_一本一借", "图书库存 with more than one open loan (copy, loans): B1, 2");
    row("reader's current count one off", "UPDATE 读者档案 SET 当前借书数量 = 2 WHERE 读者编号 = 'R1'", "",
        "读者档案 R1: 当前借书数量 2, 未还书总数 1, open loans 1");
    row("reader's unreturned count one off", "UPDATE 读者档案 SET 未还书总数 = 0 WHERE 读者编号 = 'R1'", "",
        "读者档案 R1: 当前借书数量 1, 未还书总数 0, open loans 1");
    row("loan returned behind the counters",
        "UPDATE 图书借阅 SET 是否已还 = 1 WHERE 图书借阅编号 = 'L1';"
        "UPDATE 图书库存 SET 状态 = '空闲' WHERE 图书编号 = 'B1'",
        "", "读者档案 R1: 当前借书数量 1, 未还书总数 1, open loans 0");
    row("open loan of a deleted copy", "DELETE FROM 图书库存 WHERE 图书编号 = 'B1'", "",
        "图书借阅 open loan of a missing copy (loan, copy): L1, B1");
    row("open loan of a deleted reader", "DELETE FROM 读者档案 WHERE 读者编号 = 'R1'", "",
        "图书借阅 open loan of a missing reader (loan, reader): L1, R1");
    row("open loan of a deleted title", "DELETE FROM 图书档案 WHERE ISBN = '978-1'", "",
        "图书借阅 open loan of a copy without its title (loan, copy): L1, B1");
    row("deposit number used twice", "UPDATE 充值记录 SET 充值编号 = 'D1' WHERE 充值编号 = 'D2'", "充值记录_充值编号",
        "充值记录 number used more than once (number, deposits): D1, 2");
    row("open loans miscounted", "UPDATE lib_open_loans SET 未还 = 未还 + 1", "",
        "lib_open_loans: counted 2, open loans 1");
}

// Each corruption is found alone, with nothing else reported, and
// `librarydb check` reports it too and fails (a sound database: "ok", 0).
void TestSchema::plantedCorruptionIsFound()
{
    QFETCH(QString, corruption);
    QFETCH(QString, dropIndex);
    QFETCH(QString, reported);
    testsupport::TempDb db;
    ado::Connection &c = db.conn();
    seedSoundLibrary(c);
    QCOMPARE(CheckInvariants(c), QStringList());
    if (!dropIndex.isEmpty()) QVERIFY(db.raw(QStringLiteral("DROP INDEX ") + dropIndex));
    for (const QString &sql : corruption.split(QLatin1Char(';'), Qt::SkipEmptyParts)) c.Execute(sql);
    const QStringList expected = reported.isEmpty() ? QStringList() : QStringList{reported};
    QCOMPARE(CheckInvariants(c), expected);

    const QString tool = testsupport::resourcesDir() + QStringLiteral("librarydb");
    if (!QFile::exists(tool)) QSKIP("librarydb is not built");
    c.Close();
    QProcess p;
    p.start(tool, {QStringLiteral("check"), db.settings()});
    QVERIFY(p.waitForFinished(30000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(out, reported.isEmpty() ? QStringLiteral("ok\n") : reported + QLatin1Char('\n'));
    QCOMPARE(p.exitCode(), reported.isEmpty() ? 0 : 1);
}

// The server counts each copy's loans as they are made; a count that went
// its own way (a loan deleted behind the trigger) is what the check reports.
void TestSchema::serverLoanCountsAreChecked()
{
    testsupport::TempDb db;
    if (!testsupport::TempDb::onServer()) QSKIP("the server's own count of loans");
    ado::Connection &c = db.conn();
    seedSoundLibrary(c);
    c.Execute(QStringLiteral("INSERT 图书借阅 VALUES ('L3', 'B2', 'R2', '2024-01-01', '2024-01-31', '2024-01-05', 1, "
                             "'admin', 'admin')"));
    c.Execute(QStringLiteral("DELETE FROM 图书借阅 WHERE 图书借阅编号 = 'L3'"));
    c.Execute(QStringLiteral("UPDATE 图书借阅 SET 图书编号 = 'B1' WHERE 图书借阅编号 = 'L0'"));
    QCOMPARE(CheckInvariants(c), QStringList());
    // Many loans deleted at once (a clean-up) are counted off together.
    QVERIFY(db.raw(QStringLiteral("INSERT INTO 图书借阅 (图书借阅编号, 图书编号, 是否已还) SELECT 'M' || i, "
                                  "CASE i % 3 WHEN 0 THEN 'B1' WHEN 1 THEN 'b2' ELSE 'B9' END, '1' "
                                  "FROM generate_series(1, 1500) AS i")));
    c.Execute(QStringLiteral("DELETE FROM 图书借阅 WHERE 图书借阅编号 LIKE 'M%'"));
    QCOMPARE(CheckInvariants(c), QStringList());
    QVERIFY(db.raw(QStringLiteral("ALTER TABLE 图书借阅 DISABLE TRIGGER 图书借阅_删除计数")));
    c.Execute(QStringLiteral("DELETE FROM 图书借阅 WHERE 图书借阅编号 = 'L0'"));
    QCOMPARE(CheckInvariants(c), QStringList{QStringLiteral("lib_copy_loans B1: counted 2, loans 1")});
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
