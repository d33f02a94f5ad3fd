// Two desks on one database at the same moment. Each desk is a process of its
// own running the real windows (this program started with --desk); the test
// hands both the same kind of action at once, round after round, and checks
// what both did: no copy lent twice, no loan returned twice, no write lost,
// every refusal in the window's own words, and the data's invariants after.
#include "catalogue/Frm_ReaderDeposit.h"
#include "circulation/CirculationFixture.h"
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "core/Frm_DBClear.h"
#include "tools/Invariants.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>
#include <cstdio>
#include <iostream>
#include <string>

using namespace circfix;

namespace {

constexpr int kRounds = 200;

// ---------------------------------------------------------------- the desk

void type(FTextBox *box, const QString &text)
{
    box->setText(QString());
    box->textBox()->setFocus();
    QTest::keyClicks(box->textBox(), text);
}
void enter(FTextBox *box) { QTest::keyClick(box->textBox(), Qt::Key_Return); }

// "lend READER COPY...": the lending window as a clerk fills it: the reader
// looked up, each copy added to the list ("ok" then confirms).
void lend(const QStringList &words)
{
    Frm_BorrowBook &w = vb::Default<Frm_BorrowBook>();
    showChild(w);
    w.Cmd_Clear_Click();
    type(w.Txt_RID.get(), words.value(1));
    enter(w.Txt_RID.get());
    for (const QString &copy : words.mid(2)) {
        type(w.Txt_BID.get(), copy);
        enter(w.Txt_BID.get());
    }
}

// "pick LOAN": the returning window, its list read afresh and the loan's row
// chosen ("give" then returns it). A loan no longer listed is answered "gone".
bool pick(const QString &loanNo)
{
    Frm_ReturnBook &w = vb::Default<Frm_ReturnBook>();
    showChild(w);
    w.Cmd_Refresh_Click();
    vb::Grid *g = w.Grid_ShowData.get();
    for (int r = 1; r < g->Rows(); ++r)
        if (g->TextMatrix(r, 0) == loanNo) {
            w.CurRow = r;
            return true;
        }
    return false;
}

// "deposit READER AMOUNT": the deposit panel.
void deposit(const QStringList &words)
{
    Frm_ReaderDeposit &w = vb::Default<Frm_ReaderDeposit>();
    showChild(w);
    if (!w.Frame_Deposit->isVisible()) w.Cmd_Deposit_Click();
    type(w.Txt_RID.get(), words.value(1));
    enter(w.Txt_RID.get());
    type(w.Txt_Cash.get(), words.value(2));
    enter(w.Txt_Cash.get());
}

// "clear BOX... [slow MS]": the clean-up dialog with those boxes ticked; with
// "slow", each of its deletes starts MS later, so the clean-up holds its
// transaction open as a long one over a large library does.
void clear(const QStringList &words)
{
    Frm_DBClear &w = vb::Default<Frm_DBClear>();
    w.Chk_Acc_Login.get();  // loads the dialog
    for (vb::CheckBox *b : w.findChildren<vb::CheckBox *>()) b->setValue(vb::vbUnchecked);
    int slow = 0;
    for (int i = 1; i < words.size(); ++i) {
        if (words[i] == QLatin1String("slow")) {
            slow = words.value(++i).toInt();
        } else if (auto *b = w.findChild<vb::CheckBox *>(words[i])) {
            b->setValue(vb::vbChecked);
        }
    }
    if (slow > 0)
        ado::Connection::SetStatementHook([slow](const QString &sql) {
            if (sql.startsWith(QLatin1String("DELETE"))) QThread::msleep(ulong(slow));
        });
    w.Cmd_Clear_Click();
    ado::Connection::SetStatementHook(nullptr);
}

// Reads actions from standard input, one a line; answers each with one line:
// the texts of the messages it showed, joined by " | " ("-" when none).
int runDesk(const QString &settings, const QString &user)
{
    const QStringList s = settings.split(QLatin1Char('|'));
    AppPath = testsupport::resourcesDir();
    SQLServer = s.value(0);
    SQLUID = s.value(1);
    SQLPassword = s.value(2);
    SQLDB = s.value(3);
    OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
    CurUID = user;
    MsgRecorder msgs;
    showMain();
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString cmd = words.value(0);
        msgs.clear();
        QString extra;
        if (cmd == QLatin1String("quit")) break;
        if (cmd == QLatin1String("clock"))
            vb::SetTestClock(QDateTime::fromString(words.value(1), Qt::ISODate));
        else if (cmd == QLatin1String("lend"))
            lend(words);
        else if (cmd == QLatin1String("ok"))
            vb::Default<Frm_BorrowBook>().Cmd_OK_Click();
        else if (cmd == QLatin1String("pick") && !pick(words.value(1)))
            extra = QStringLiteral("gone");
        else if (cmd == QLatin1String("give"))
            vb::Default<Frm_ReturnBook>().Cmd_ReturnSel_Click();
        else if (cmd == QLatin1String("deposit"))
            deposit(words);
        else if (cmd == QLatin1String("clear"))
            clear(words);
        QCoreApplication::processEvents();
        QStringList texts;
        for (const auto &m : msgs.msgs) texts << m.text.simplified();
        if (!extra.isEmpty()) texts << extra;
        std::cout << (texts.isEmpty() ? std::string("-") : texts.join(QStringLiteral(" | ")).toStdString())
                  << std::endl;
    }
    if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
    return 0;
}

// ---------------------------------------------------------------- the test's side

// One desk process.
class Desk {
public:
    Desk(const QString &settings, const QString &user)
    {
        m_proc.setProgram(QCoreApplication::applicationFilePath());
        m_proc.setArguments({QStringLiteral("--desk"), settings, user});
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_proc.start();
    }
    ~Desk()
    {
        if (m_proc.state() == QProcess::NotRunning) return;
        m_proc.write("quit\n");
        if (!m_proc.waitForFinished(10000)) m_proc.kill();
    }
    bool started() { return m_proc.waitForStarted(10000); }
    // Written through at once: QProcess would otherwise hold it until this
    // desk's answer is awaited, and the other desk would always go first.
    void send(const QString &action)
    {
        m_proc.write((action + QLatin1Char('\n')).toUtf8());
        m_proc.waitForBytesWritten(10000);
    }
    // Whether the answer to the last action sent is there within `ms`.
    bool answers(int ms) { return m_proc.canReadLine() || (m_proc.waitForReadyRead(ms) && m_proc.canReadLine()); }
    // The answer to the last action sent.
    QString answer()
    {
        while (!m_proc.canReadLine())
            if (!m_proc.waitForReadyRead(30000)) return QStringLiteral("(no answer)");
        return QString::fromUtf8(m_proc.readLine()).trimmed();
    }

private:
    QProcess m_proc;
};

}  // namespace

class TestDesks : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<Desk> m_a, m_b;

    // Both desks take their action at once; their answers, in desk order.
    // Which desk hears first changes every time, so that each gets ahead.
    std::pair<QString, QString> both(const QString &a, const QString &b)
    {
        if (++m_turn % 2) {
            m_a->send(a);
            m_b->send(b);
        } else {
            m_b->send(b);
            m_a->send(a);
        }
        return {m_a->answer(), m_b->answer()};
    }
    int m_turn = 0;

    // A new copy `copy` lent to D1 at desk `d`, through its lending window; `loan` its loan's number.
    void lendNew(Desk &d, const QString &copy, QString &loan)
    {
        addCopy(copy, QStringLiteral("978-1"));
        d.send(QStringLiteral("lend D1 ") + copy);
        QCOMPARE(d.answer(), QStringLiteral("-"));
        d.send(QStringLiteral("ok"));
        QCOMPARE(d.answer(), QStringLiteral("借书成功！共借出 1 本图书。"));
        loan = scalar(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 WHERE 图书编号 = ") + SQLQuote(copy));
    }

    void verifyInvariants()
    {
        const QStringList v = CheckInvariants(SQLConn());
        QVERIFY2(v.isEmpty(), qPrintable(v.join(QLatin1Char('\n'))));
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        CurUID = QStringLiteral("admin");
        addTitle(QStringLiteral("978-1"), QStringLiteral("数据库原理"));
        addTitle(QStringLiteral("978-2"), QStringLiteral("操作系统"));
        addCategory(QStringLiteral("长期"), 30, 100000);
        addReader(QStringLiteral("D1"), QStringLiteral("长期"), QStringLiteral("甲"));
        addReader(QStringLiteral("D2"), QStringLiteral("长期"), QStringLiteral("乙"));
        m_a = std::make_unique<Desk>(m_db->db.settings(), QStringLiteral("admin"));
        m_b = std::make_unique<Desk>(m_db->db.settings(), QStringLiteral("admin"));
        QVERIFY(m_a->started());
        QVERIFY(m_b->started());
    }
    void cleanup()
    {
        m_a.reset();
        m_b.reset();
        m_db.reset();
    }

    // The same copy in both desks' lists, confirmed at once: one loan, the
    // other desk told the copy is out.
    void sameCopyLentOnce()
    {
        const QString ok = QStringLiteral("借书成功！共借出 1 本图书。");
        int wonA = 0;
        for (int i = 1; i <= kRounds; ++i) {
            const QString copy = QStringLiteral("S%1").arg(i);
            addCopy(copy, QStringLiteral("978-1"));
            const auto [la, lb] = both(QStringLiteral("lend D1 ") + copy, QStringLiteral("lend D2 ") + copy);
            QCOMPARE(la + lb, QStringLiteral("--"));
            const auto [a, b] = both(QStringLiteral("ok"), QStringLiteral("ok"));
            const QString out = QStringLiteral("编号为") + copy + QStringLiteral("的图书已借出！");
            QVERIFY2((a == ok) != (b == ok), qPrintable(a + QStringLiteral(" / ") + b));
            QVERIFY2((a == ok ? b : a) == out, qPrintable(a + QStringLiteral(" / ") + b));
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 图书编号 = ") + SQLQuote(copy)), 1);
            wonA += a == ok;
        }
        QCOMPARE(counter(QStringLiteral("D1"), QStringLiteral("当前借书数量"))
                     + counter(QStringLiteral("D2"), QStringLiteral("当前借书数量")),
                 kRounds);
        qInfo("desk A lent %d of %d, desk B %d", wonA, kRounds, kRounds - wonA);
        verifyInvariants();
    }

    // Different copies in the same second: both lent, under distinct numbers.
    void differentCopiesInOneSecond()
    {
        const QString ok = QStringLiteral("借书成功！共借出 1 本图书。");
        for (int i = 1; i <= kRounds; ++i) {
            const QString moment = QDateTime(QDate(2024, 3, 15), QTime(9, 0, 0)).addSecs(i).toString(Qt::ISODate);
            both(QStringLiteral("clock ") + moment, QStringLiteral("clock ") + moment);
            const QString ca = QStringLiteral("A%1").arg(i), cb = QStringLiteral("B%1").arg(i);
            addCopy(ca, QStringLiteral("978-1"));
            addCopy(cb, QStringLiteral("978-2"));
            both(QStringLiteral("lend D1 ") + ca, QStringLiteral("lend D2 ") + cb);
            const auto [a, b] = both(QStringLiteral("ok"), QStringLiteral("ok"));
            QCOMPARE(a, ok);
            QCOMPARE(b, ok);
        }
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅")), 2 * kRounds);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT 图书借阅编号) FROM 图书借阅")), 2 * kRounds);
        QCOMPARE(count(QStringLiteral("SELECT MIN(LEN(图书借阅编号)) FROM 图书借阅")), 15);
        QCOMPARE(count(QStringLiteral("SELECT MAX(LEN(图书借阅编号)) FROM 图书借阅")), 15);
        verifyInvariants();
    }

    // The same loan chosen at both desks and returned at once: returned once,
    // counters lowered once, the other desk told it is back already.
    void sameLoanReturnedOnce()
    {
        const QString ok = QStringLiteral("还书成功！共归还 1 本图书。");
        for (int i = 1; i <= kRounds; ++i) {
            QString loan;
            lendNew(*m_a, QStringLiteral("R%1").arg(i), loan);
            const auto [pa, pb] = both(QStringLiteral("pick ") + loan, QStringLiteral("pick ") + loan);
            QCOMPARE(pa + pb, QStringLiteral("--"));
            const auto [a, b] = both(QStringLiteral("give"), QStringLiteral("give"));
            QVERIFY2(a.contains(ok) != b.contains(ok), qPrintable(a + QStringLiteral(" / ") + b));
            const QString other = a.contains(ok) ? b : a;
            QVERIFY2(other.contains(QStringLiteral("的图书已经归还！")), qPrintable(other));
            QCOMPARE(counter(QStringLiteral("D1"), QStringLiteral("当前借书数量")), 0);
            QCOMPARE(counter(QStringLiteral("D1"), QStringLiteral("未还书总数")), 0);
        }
        QCOMPARE(counter(QStringLiteral("D1"), QStringLiteral("总借书数量")), kRounds);
        verifyInvariants();
    }

    // What a desk's lending or return waits for while another desk holds a
    // transaction open: on the server only the rows it touches itself (its
    // reader, its copy, its loan), so desks on different readers and copies
    // never wait for each other; on the embedded file any writer, one at a
    // time. An action that does not wait is done while the other desk still
    // holds its rows; one that waits is done once they are let go.
    void waitsOnlyForWhatItTouches_data()
    {
        QTest::addColumn<QString>("held");    // statements of the other desk's transaction, ";"-separated
        QTest::addColumn<QString>("action");  // "lend" (D1 W1) or "give" (loan L1 of D1, copy W3)
        QTest::addColumn<bool>("waitsOnServer");
        QTest::newRow("lend, a write elsewhere") << "INSERT 出版社 VALUES ('另一处', Null, Null)"
                                                 << "lend" << false;
        QTest::newRow("lend, another reader and copy") << "UPDATE 读者档案 SET 邮编 = '1' WHERE 读者编号 = 'D2';"
                                                          "UPDATE 图书库存 SET 经手人 = 'clerk' WHERE 图书编号 = 'W2'"
                                                       << "lend" << false;
        QTest::newRow("lend, its reader") << "UPDATE 读者档案 SET 邮编 = '1' WHERE 读者编号 = 'D1'"
                                          << "lend" << true;
        QTest::newRow("lend, its copy") << "UPDATE 图书库存 SET 经手人 = 'clerk' WHERE 图书编号 = 'W1'"
                                        << "lend" << true;
        QTest::newRow("return, another loan") << "UPDATE 图书借阅 SET 借书经手人 = 'clerk' WHERE 图书借阅编号 = 'L2';"
                                                 "UPDATE 图书库存 SET 经手人 = 'clerk' WHERE 图书编号 = 'W4';"
                                                 "UPDATE 读者档案 SET 邮编 = '1' WHERE 读者编号 = 'D2'"
                                              << "give" << false;
        QTest::newRow("return, its loan") << "UPDATE 图书借阅 SET 借书经手人 = 'clerk' WHERE 图书借阅编号 = 'L1'"
                                          << "give" << true;
        QTest::newRow("return, its reader") << "UPDATE 读者档案 SET 邮编 = '1' WHERE 读者编号 = 'D1'"
                                            << "give" << true;
    }
    void waitsOnlyForWhatItTouches()
    {
        QFETCH(QString, held);
        QFETCH(QString, action);
        QFETCH(bool, waitsOnServer);
        for (const char *copy : {"W1", "W2", "W3", "W4"}) addCopy(QString::fromLatin1(copy), QStringLiteral("978-1"));
        loanOut(QStringLiteral("L1"), QStringLiteral("W3"), QStringLiteral("D1"));
        loanOut(QStringLiteral("L2"), QStringLiteral("W4"), QStringLiteral("D2"));
        // The look-ups first: only the confirmation writes.
        m_a->send(action == QLatin1String("lend") ? QStringLiteral("lend D1 W1") : QStringLiteral("pick L1"));
        QCOMPARE(m_a->answer(), QStringLiteral("-"));

        ado::Connection other;
        other.ConnectionTimeout = 1;
        other.Open(m_db->db.connectionString());
        other.BeginTrans();
        for (const QString &sql : held.split(QLatin1Char(';'))) other.Execute(sql);
        m_a->send(action == QLatin1String("lend") ? QStringLiteral("ok") : QStringLiteral("give"));
        const bool waits = waitsOnServer || !testsupport::TempDb::onServer();
        // Done while the other desk holds its rows, or not before they are let go.
        QCOMPARE(m_a->answers(waits ? 300 : 20000), !waits);
        other.CommitTrans();
        // (A return answers the question before it, then what was done.)
        const QString done = m_a->answer();
        QVERIFY2(done.endsWith(action == QLatin1String("lend") ? QStringLiteral("借书成功！共借出 1 本图书。")
                                                               : QStringLiteral("还书成功！共归还 1 本图书。")),
                 qPrintable(done));
        verifyInvariants();
    }

    // A long clean-up at one desk (its deletes held open for seconds) while
    // the other lends and returns: on the server no lending or return fails
    // or waits for it, and the clean-up is done as well. (The embedded file
    // has one writer at a time: there the clean-up holds the desks up.) The
    // desk lends new copies, or the very copies whose returned loans the
    // clean-up deletes, whose counts of loans both change.
    void aLongCleanUpFailsNoLending_data()
    {
        QTest::addColumn<bool>("sameCopies");
        QTest::newRow("other copies") << false;
        QTest::newRow("the copies it counts off") << true;
    }
    void aLongCleanUpFailsNoLending()
    {
        QFETCH(bool, sameCopies);
        if (!testsupport::TempDb::onServer()) QSKIP("the embedded file has one writer at a time");
        const QStringList old = {QStringLiteral("OLD1"), QStringLiteral("OLD2"), QStringLiteral("OLD3")};
        for (const QString &copy : old) addCopy(copy, QStringLiteral("978-2"));
        for (int i = 1; i <= 60; ++i)
            exec(QStringLiteral("INSERT 图书借阅 VALUES('%1',%2,'D2','2024-01-01','2024-02-01','2024-01-20','1',"
                                "'admin','admin')")
                     .arg(QString::number(230101090000000LL + i), SQLQuote(old[i % 3])));
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240101090000','D2',10,'2024-01-01','admin')"));
        m_b->send(QStringLiteral("clear Chk_Brw_Return Chk_Reader_Dep slow 700"));
        int actions = 0;
        for (int i = 1; !m_b->answers(0); ++i) {
            QString loan;
            if (sameCopies) {
                const QString copy = old[i % 3];
                m_a->send(QStringLiteral("lend D1 ") + copy);
                QCOMPARE(m_a->answer(), QStringLiteral("-"));
                m_a->send(QStringLiteral("ok"));
                QCOMPARE(m_a->answer(), QStringLiteral("借书成功！共借出 1 本图书。"));
                loan = scalar(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 WHERE 是否已还 = 0 AND 图书编号 = ")
                              + SQLQuote(copy));
            } else {
                lendNew(*m_a, QStringLiteral("C%1").arg(i), loan);
            }
            m_a->send(QStringLiteral("pick ") + loan);
            QCOMPARE(m_a->answer(), QStringLiteral("-"));
            m_a->send(QStringLiteral("give"));
            const QString returned = m_a->answer();
            QVERIFY2(returned.endsWith(QStringLiteral("还书成功！共归还 1 本图书。")), qPrintable(returned));
            actions += 2;
        }
        QCOMPARE(m_b->answer(), QStringLiteral("所选项目清理成功！"));
        QVERIFY2(actions >= 4, qPrintable(QString::number(actions)));
        qInfo("%d lendings and returns beside the clean-up", actions);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 < '2025-01-01'")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 充值记录")), 0);
        verifyInvariants();
    }

    // Deposits to one reader at both desks in the same second: the balance is
    // the sum of all, and each deposit has a number of its own.
    void depositsAllCount()
    {
        const double before = scalar(QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = 'D1'")).toDouble();
        for (int i = 1; i <= kRounds; ++i) {
            const QString moment = QDateTime(QDate(2024, 3, 15), QTime(9, 0, 0)).addSecs(i).toString(Qt::ISODate);
            both(QStringLiteral("clock ") + moment, QStringLiteral("clock ") + moment);
            const auto [a, b] = both(QStringLiteral("deposit D1 1.25"), QStringLiteral("deposit D1 2"));
            QVERIFY2(a.startsWith(QStringLiteral("充值成功")), qPrintable(a));
            QVERIFY2(b.startsWith(QStringLiteral("充值成功")), qPrintable(b));
        }
        const double after = scalar(QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = 'D1'")).toDouble();
        QCOMPARE(after - before, 3.25 * kRounds);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 充值记录 WHERE 读者编号 = 'D1'")), 2 * kRounds);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT 充值编号) FROM 充值记录")), 2 * kRounds);
        verifyInvariants();
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], "--desk") == 0)
        return runDesk(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestDesks t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_desks.moc"
