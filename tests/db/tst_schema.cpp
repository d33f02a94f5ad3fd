// The schema built into the program: the same text as the files placed beside
// it, and enough to make a database with no schema files around.

#include "db/Ado.h"
#include "db/Engine.h"
#include "support/TempDb.h"
#include "support/TestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void builtInCopyMatchesTheFiles();
    void databaseMadeWithoutSchemaFiles();
    void oneOpenLoanOfACopy();
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

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
