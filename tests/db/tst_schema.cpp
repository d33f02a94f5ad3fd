// The schema built into the program: the same text as the files placed beside
// it, and enough to make a database with no schema files around.

#include "db/Ado.h"
#include "db/Engine.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void builtInCopyMatchesTheFiles();
    void databaseMadeWithoutSchemaFiles();
};

void TestSchema::builtInCopyMatchesTheFiles()
{
    for (const QString &name : {QStringLiteral("sqlite.sql"), QStringLiteral("postgres.sql"), QStringLiteral("initial.sql"),
                                QStringLiteral("computed.sql")}) {
        QFile built(QStringLiteral(":/Schema/") + name);
        QVERIFY2(built.open(QIODevice::ReadOnly), qPrintable(name));
        QFile placed(testsupport::resourcesDir() + QStringLiteral("Schema/") + name);
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

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
