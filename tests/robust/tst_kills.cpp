// Kills in mid-work. A clerk process (this program started with --clerk)
// lends and returns in a loop through the real lending and returning
// windows; the test kills it with SIGKILL at a random moment, a hundred
// times (seeded), and after each kill checks what must hold of the data: a
// lending or a return the kill cut short left nothing of itself behind.
//
// LIBRARY_KILLS sets the number of kills, LIBRARY_KILL_SEED the seed.
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "robust/RobustFixture.h"
#include "tools/Invariants.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <unistd.h>

using namespace robustfix;

namespace {

constexpr int kCopies = 40;
const QStringList kReaders = {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("K3")};

// ---------------------------------------------------------------- the clerk

// What the clerk is at, one character each, straight to the test: 'w' a
// write went to the database, 'c' a COMMIT, '.' an action ended.
void mark(char c) { (void)!::write(STDOUT_FILENO, &c, 1); }

QStringList freeCopies()
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 图书编号 FROM 图书库存 WHERE 状态 = '空闲'"), SQLConn());
    QStringList out;
    for (; !rs.EOF_(); rs.MoveNext()) out << rs.Fields(0).toString();
    return out;
}

// One to three free copies lent to one reader, as a clerk types them.
void lendSome(QRandomGenerator &rng)
{
    Frm_BorrowBook &w = vb::Default<Frm_BorrowBook>();
    QStringList free = freeCopies();
    if (free.isEmpty()) return;
    w.Cmd_Clear_Click();
    typeInto(w.Txt_RID.get(), kReaders.at(int(rng.bounded(quint32(kReaders.size())))));
    pressEnter(w.Txt_RID.get());
    const int n = 1 + int(rng.bounded(3u));
    for (int i = 0; i < n && !free.isEmpty(); ++i) {
        typeInto(w.Txt_BID.get(), free.takeAt(int(rng.bounded(quint32(free.size())))));
        pressEnter(w.Txt_BID.get());
    }
    w.Cmd_OK_Click();
}

// One open loan, chosen in the returning window's list, returned.
void returnOne(QRandomGenerator &rng)
{
    Frm_ReturnBook &w = vb::Default<Frm_ReturnBook>();
    w.Cmd_Refresh_Click();
    const int rows = w.Grid_ShowData->Rows() - 1;
    if (rows < 1 || w.Grid_ShowData->TextMatrix(1, 0).isEmpty()) return;
    w.CurRow = 1 + int(rng.bounded(quint32(rows)));
    w.Cmd_ReturnSel_Click();
}

int runClerk(const QString &settings, quint32 seed)
{
    const QStringList s = settings.split(QLatin1Char('|'));
    AppPath = testsupport::resourcesDir();
    OpenSQLConnection(SQLConn(), s.value(0), s.value(1), s.value(2), s.value(3));
    CurUID = QStringLiteral("admin");
    SetMsgBoxHook([](const QString &, const QString &, const QString &) { return 1; });
    showChild(vb::Default<Frm_BorrowBook>());
    showChild(vb::Default<Frm_ReturnBook>());
    ado::Connection::SetStatementHook([](const QString &statement) {
        const QString word = statement.section(QLatin1Char(' '), 0, 0).toUpper();
        if (word == QLatin1String("COMMIT"))
            mark('c');
        else if (word == QLatin1String("INSERT") || word == QLatin1String("UPDATE") || word == QLatin1String("DELETE"))
            mark('w');
    });
    QRandomGenerator rng(seed);
    mark('r');  // ready: the windows are up, the loop begins
    for (;;) {
        if (rng.bounded(2u) == 0)
            lendSome(rng);
        else
            returnOne(rng);
        mark('.');
    }
}

}  // namespace

// ---------------------------------------------------------------- the test

class TestKills : public QObject {
    Q_OBJECT

private slots:
    void killedAtRandomMomentsLeavesNothingHalfDone()
    {
        const int kills =
            qEnvironmentVariableIsSet("LIBRARY_KILLS") ? qEnvironmentVariableIntValue("LIBRARY_KILLS") : 100;
        const quint32 seed = qEnvironmentVariableIsSet("LIBRARY_KILL_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("LIBRARY_KILL_SEED"))
                                 : 12u;
        SharedDb db;
        QVERIFY(db.isOpen());
        CurUID = QStringLiteral("admin");
        addTitle(QStringLiteral("978-1"), QStringLiteral("数据库原理"));
        addCategory(QStringLiteral("长期"), 30, 1000000);
        for (const QString &r : kReaders) addReader(r, QStringLiteral("长期"), QStringLiteral("读者") + r);
        for (int i = 1; i <= kCopies; ++i)
            addCopy(QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("978-1"),
                    QStringLiteral("空闲"));

        QRandomGenerator rng(seed);
        int inTransaction = 0, actionsDone = 0;
        QElapsedTimer clock;
        clock.start();
        for (int k = 1; k <= kills; ++k) {
            QProcess clerk;
            clerk.setProgram(QCoreApplication::applicationFilePath());
            clerk.setArguments({QStringLiteral("--clerk"), db.db.settings(), QString::number(rng.generate())});
            clerk.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            clerk.start();
            QVERIFY(clerk.waitForStarted(10000));
            // Up to the moment the loop begins, then a random while into it.
            QByteArray seen;
            while (!seen.contains('r')) {
                QVERIFY2(clerk.waitForReadyRead(30000), "the clerk did not start its work");
                seen += clerk.readAllStandardOutput();
            }
            // Every fourth kill first lets one action land (a COMMIT and the
            // action's end seen), so loans and returns pile up however slow
            // the machine is: under a sanitizer one action can outlast the
            // random wait.
            if (k % 4 == 1) {
                const qsizetype from = seen.size();
                auto landed = [&] {
                    const qsizetype c = seen.indexOf('c', from);
                    return c >= 0 && seen.indexOf('.', c) >= 0;
                };
                while (!landed()) {
                    QVERIFY2(clerk.waitForReadyRead(30000), "the clerk did not finish an action");
                    seen += clerk.readAllStandardOutput();
                }
            }
            QElapsedTimer work;
            work.start();
            const qint64 wait = qint64(rng.bounded(5u, 120u));
            while (work.elapsed() < wait) {
                clerk.waitForReadyRead(int(wait - work.elapsed()));
                seen += clerk.readAllStandardOutput();
            }
            // Every other kill waits for the next write to go out: the
            // moments inside a transaction are short, and must be met too.
            if (k % 2 == 0) {
                for (bool written = false; !written;) {
                    QVERIFY2(clerk.waitForReadyRead(30000), "the clerk stopped writing");
                    const QByteArray more = clerk.readAllStandardOutput();
                    written = more.contains('w');
                    seen += more;
                }
            }
            ::kill(pid_t(clerk.processId()), SIGKILL);
            QVERIFY(clerk.waitForFinished(10000));
            seen += clerk.readAllStandardOutput();
            actionsDone += int(seen.count('.'));
            // Killed after a write and before its COMMIT: in the middle of a transaction.
            const qsizetype lastWrite = seen.lastIndexOf('w');
            if (lastWrite >= 0 && seen.indexOf('c', lastWrite) < 0) ++inTransaction;

            const QStringList v = CheckInvariants(SQLConn());
            QVERIFY2(v.isEmpty(), qPrintable(QStringLiteral("after kill %1:\n").arg(k) + v.join(QLatin1Char('\n'))));
        }
        const int loans = count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅"));
        const int returned = count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = 1"));
        qInfo("%d kills survived in %lld ms, %d of them inside a transaction; %d actions done: %d loans, %d returned",
              kills, clock.elapsed(), inTransaction, actionsDone, loans, returned);
        // The kills must have met the clerk at work, also between a write and its COMMIT.
        QVERIFY(loans > 0 && returned > 0);
        QVERIFY(inTransaction > 0);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], "--clerk") == 0)
        return runClerk(QString::fromLocal8Bit(argv[2]), quint32(QByteArray(argv[3]).toULong()));
    TestKills t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_kills.moc"
