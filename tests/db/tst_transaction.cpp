// The transaction guard: what it keeps, what it undoes on every way out of its
// scope, and that undoing never throws from the destructor.

#include "db/Ado.h"
#include "db/PostgresEngine.h"
#include "db/Transaction.h"
#include "support/TempDb.h"

#include <QtTest>
#include <csignal>
#include <stdexcept>

using testsupport::TempDb;

namespace {

const QString kInsertA = QStringLiteral("INSERT 出版社 VALUES ('甲', Null, Null)");
const QString kInsertB = QStringLiteral("INSERT 出版社 VALUES ('乙', Null, Null)");
const QString kCount = QStringLiteral("SELECT COUNT(*) FROM 出版社");

// Writes both rows and leaves without committing when `leaveEarly`.
bool writeBoth(ado::Connection &c, bool leaveEarly)
{
    ado::Transaction trans(c);
    c.Execute(kInsertA);
    c.Execute(kInsertB);
    if (leaveEarly) return false;
    trans.Commit();
    return true;
}

}  // namespace

class TestTransaction : public QObject {
    Q_OBJECT

private slots:
    void commitKeepsEveryStatement();
    void leavingWithoutCommitUndoesEverything();
    void failedBeginLeavesTheRunningTransactionAlone();
    void failedCommitIsRolledBack();
    void closedConnectionDoesNotThrowFromTheDestructor();
    void lockedRowsWaitForTheHolder();
    void lockHintsOnlyWhereRowsAreLocked();
    void commitWithoutAnswerIsInDoubt_data();
    void commitWithoutAnswerIsInDoubt();
};

void TestTransaction::commitKeepsEveryStatement()
{
    TempDb db;
    ado::Connection &c = db.conn();
    QVERIFY(writeBoth(c, false));
    QVERIFY(!c.InTransaction());
    QCOMPARE(db.scalar(kCount), QStringLiteral("2"));
}

void TestTransaction::leavingWithoutCommitUndoesEverything()
{
    TempDb db;
    ado::Connection &c = db.conn();

    // An early return.
    QVERIFY(!writeBoth(c, true));
    QVERIFY(!c.InTransaction());
    QCOMPARE(db.scalar(kCount), QStringLiteral("0"));

    // A failing second statement: the first one goes too.
    bool failed = false;
    try {
        ado::Transaction trans(c);
        c.Execute(kInsertA);
        c.Execute(kInsertA);  // the same key again
        trans.Commit();
    } catch (const ado::Error &) {
        failed = true;
    }
    QVERIFY(failed);
    QVERIFY(!c.InTransaction());
    QCOMPARE(db.scalar(kCount), QStringLiteral("0"));

    // Any other exception.
    try {
        ado::Transaction trans(c);
        c.Execute(kInsertA);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error &) {
        // Thrown above to leave the scope; what counts is the state after it.
    }
    QVERIFY(!c.InTransaction());
    QCOMPARE(db.scalar(kCount), QStringLiteral("0"));

    // The connection takes the next unit as usual.
    QVERIFY(writeBoth(c, false));
    QCOMPARE(db.scalar(kCount), QStringLiteral("2"));
}

void TestTransaction::failedBeginLeavesTheRunningTransactionAlone()
{
    TempDb db;
    ado::Connection &c = db.conn();
    c.BeginTrans();
    c.Execute(kInsertA);
    bool refused = false;
    try {
        ado::Transaction inner(c);  // transactions do not nest
    } catch (const ado::Error &) {
        refused = true;
    }
    QVERIFY(refused);
    // The guard that never began must not have undone the running transaction.
    QVERIFY(c.InTransaction());
    c.CommitTrans();
    QCOMPARE(db.scalar(kCount), QStringLiteral("1"));
}

// A commit that cannot finish leaves the transaction running; the guard must
// still roll it back, so that the connection is free for the next unit and
// nothing half-done is kept. On the embedded file another connection still
// reading holds the commit up; on the server nothing does, but a
// transaction one of whose statements failed ends in a refused commit.
void TestTransaction::failedCommitIsRolledBack()
{
    TempDb db;
    ado::Connection &c = db.conn();  // waits 1 s for a busy database
    ado::Connection reader;
    reader.ConnectionTimeout = 1;
    reader.Open(db.connectionString());
    reader.BeginTrans();
    {
        ado::Recordset rs;
        rs.Open(kCount, reader);  // the reader's transaction now holds the database for reading
    }

    QString error;
    try {
        ado::Transaction trans(c);
        c.Execute(kInsertA);
        if (TempDb::onServer()) {
            try {
                c.Execute(kInsertA);  // the key is taken: the server ends the transaction
            } catch (const ado::Error &) {
                // Expected: the second insert of one key fails.
            }
        }
        trans.Commit();
    } catch (const ado::Error &e) {
        error = e.Description();
    }
    QVERIFY2(!error.isEmpty(), "the commit was expected to wait for the reader and fail");
    QVERIFY(!c.InTransaction());
    reader.RollbackTrans();

    // Had the engine kept the transaction open, the next one could not begin;
    // had the first row been kept, writing it again would fail.
    QVERIFY(writeBoth(c, false));
    QCOMPARE(db.scalar(kCount), QStringLiteral("2"));
}

void TestTransaction::closedConnectionDoesNotThrowFromTheDestructor()
{
    TempDb db;
    ado::Connection &c = db.conn();

    // Leaving normally: the rollback fails quietly.
    try {
        ado::Transaction trans(c);
        c.Execute(kInsertA);
        c.Close();  // rolls back itself
    } catch (...) {
        QFAIL("the guard threw while leaving its scope");
    }

    // Leaving by an exception: a second one from the destructor would end the program.
    c.Open(db.connectionString());
    bool caught = false;
    try {
        ado::Transaction trans(c);
        c.Execute(kInsertA);
        c.Close();
        throw std::runtime_error("stop");
    } catch (const std::runtime_error &) {
        caught = true;
    }
    QVERIFY(caught);

    c.Open(db.connectionString());
    QVERIFY(!c.InTransaction());
    QCOMPARE(db.scalar(kCount), QStringLiteral("0"));
}

// A row read WITH (UPDLOCK) in a transaction stays the holder's until it ends:
// a second desk's locking read of it is busy (NOWAIT at once), and reads the
// holder's committed change once it may.
void TestTransaction::lockedRowsWaitForTheHolder()
{
    TempDb db;
    db.exec({kInsertA});
    ado::Connection other;
    other.ConnectionTimeout = 1;
    other.Open(db.connectionString());
    const QString lockA =
        QStringLiteral("SELECT 出版社名称, 邮编 FROM 出版社 WITH (UPDLOCK, ROWLOCK) WHERE 出版社名称 = '甲'");
    {
        ado::Transaction holder(db.conn());
        ado::Recordset rs;
        rs.Open(lockA, db.conn());
        QVERIFY(!rs.EOF_());
        db.conn().Execute(QStringLiteral("UPDATE 出版社 SET 邮编 = '1' WHERE 出版社名称 = '甲'"));
        bool busy = false;
        try {
            ado::Transaction t(other);
            ado::Recordset r2;
            r2.Open(QString(lockA).replace(QStringLiteral("ROWLOCK"), QStringLiteral("NOWAIT")), other);
        } catch (const ado::Error &e) {
            busy = e.Description().contains(QStringLiteral("正忙"));
        }
        QVERIFY(busy);
        holder.Commit();
    }
    ado::Transaction t(other);
    ado::Recordset rs;
    rs.Open(lockA, other);
    QCOMPARE(rs.Fields(QStringLiteral("邮编")).toString(), QStringLiteral("1"));
    t.Commit();
}

void TestTransaction::lockHintsOnlyWhereRowsAreLocked()
{
    TempDb db;
    const QStringList refused = {
        QStringLiteral("SELECT COUNT(*) FROM 出版社 WITH (UPDLOCK)"),
        QStringLiteral("SELECT DISTINCT 邮编 FROM 出版社 WITH (UPDLOCK)"),
        QStringLiteral("SELECT 出版社名称 FROM 出版社 WITH (NOLOCK)"),
        QStringLiteral("SELECT 出版社名称 FROM 出版社 WITH (ROWLOCK)"),
        QStringLiteral("SELECT 出版社名称 FROM 出版社 WHERE EXISTS (SELECT * FROM 账户 WITH (UPDLOCK))"),
        QStringLiteral("DELETE 出版社 WHERE 出版社名称 IN (SELECT 出版社名称 FROM 出版社 WITH (UPDLOCK))"),
    };
    for (const QString &sql : refused) {
        bool failed = false;
        try {
            db.conn().Execute(sql);
        } catch (const ado::Error &) {
            failed = true;
        }
        QVERIFY2(failed, qPrintable(sql));
    }
    const QString sql = QStringLiteral("SELECT TOP 1 a.出版社名称 FROM 出版社 AS a WITH (UPDLOCK), 账户 b ORDER BY 1");
    const QString sent = db.conn().Translate(sql);
    QCOMPARE(sent.endsWith(QStringLiteral(" FOR UPDATE OF \"a\"")), TempDb::onServer());
    QVERIFY(sent.contains(QStringLiteral("LIMIT 1")));
}

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_transaction.moc"

// A COMMIT sent whose answer never comes (the server stopped answering, the
// desk's server process ended on the way) may have been carried out: it is
// told as in doubt, never as failed, nothing is sent again, the transaction
// is over, and the next statement connects anew and finds all or nothing.
void TestTransaction::commitWithoutAnswerIsInDoubt_data()
{
    QTest::addColumn<bool>("stop");
    QTest::newRow("the server process stopped") << true;
    QTest::newRow("the server process ended") << false;
}

void TestTransaction::commitWithoutAnswerIsInDoubt()
{
    if (!TempDb::onServer()) QSKIP("a server connection");
    QFETCH(bool, stop);
    TempDb db;
    ado::Connection &c = db.conn();
    c.CommandTimeout = 1;
    const int pid = dynamic_cast<ado::PostgresEngine *>(c.engine())->backendPid();
    QStringList after;  // the statements from the COMMIT on
    bool stopped = false;
    ado::Connection::SetStatementHook([&](const QString &statement) {
        if (statement != QLatin1String("COMMIT") && after.isEmpty()) return;
        after << statement;
        if (after.size() > 1) return;
        if (stop) {
            stopped = ::kill(pid, SIGSTOP) == 0;
        } else {
            db.raw(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid));
            db.raw(QStringLiteral("DO $$ BEGIN WHILE EXISTS (SELECT 1 FROM pg_stat_activity WHERE pid = %1) LOOP "
                                  "PERFORM pg_sleep(0.02); END LOOP; END $$")
                       .arg(pid));
        }
    });
    const auto cleanUp = qScopeGuard([&] {
        ado::Connection::SetStatementHook(nullptr);
        if (stopped) ::kill(pid, SIGCONT);
    });
    QString told;
    bool inDoubt = false;
    try {
        writeBoth(c, false);
    } catch (const ado::InDoubtError &e) {
        inDoubt = true;
        told = e.Description();
    } catch (const ado::Error &e) {
        told = e.Description();
    }
    if (stop && !stopped) QSKIP("the server's processes may not be stopped by this user");
    if (stopped) ::kill(pid, SIGCONT);
    stopped = false;
    QVERIFY2(inDoubt, qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("无法确认是否已保存")) && told.contains(QStringLiteral("请刷新后核对")),
             qPrintable(told));
    QVERIFY(!c.InTransaction());
    QCOMPARE(after, QStringList{QStringLiteral("COMMIT")});
    // All or nothing, whichever the server did.
    const QString count = db.scalar(kCount);
    QVERIFY2(count == QLatin1String("0") || count == QLatin1String("2"), qPrintable(count));
}
