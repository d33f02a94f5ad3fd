// Reader deposits: the list, the panel, the reader look-up by Enter and by
// leaving the box, booking (record and balance written together, exact money),
// and deleting all deposit records.
#include "catalogue/Frm_ReaderDeposit.h"
#include "circulation/CirculationFixture.h"
#include "db/PostgresEngine.h"
#include "tools/Invariants.h"

#include <QtTest>
#include <csignal>

using namespace circfix;

class TestReaderDeposit : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_ReaderDeposit &w() { return vb::Default<Frm_ReaderDeposit>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }
    QStringList listed()
    {
        QStringList ids;
        for (int r = 1; r < grid().Rows(); ++r)
            if (!grid().TextMatrix(r, 0).isEmpty()) ids << grid().TextMatrix(r, 0);
        return ids;
    }
    int deposits() { return count(QStringLiteral("SELECT COUNT(*) FROM 充值记录")); }
    QString balance(const QString &id)
    {
        return scalar(QStringLiteral("SELECT CONVERT(varchar(10),账户金额,0) FROM 读者档案 WHERE 读者编号 = ")
                      + SQLQuote(id));
    }
    static void type(FTextBox *box, const QString &text)
    {
        box->setText(QString());
        box->textBox()->setFocus();
        QTest::keyClicks(box->textBox(), text);
    }
    static void enter(FTextBox *box) { QTest::keyClick(box->textBox(), Qt::Key_Return); }
    // Looks a reader up with Enter, as the clerk does.
    void lookUp(const QString &id)
    {
        type(w().Txt_RID.get(), id);
        enter(w().Txt_RID.get());
    }
    void book(const QString &amount)
    {
        type(w().Txt_Cash.get(), amount);
        enter(w().Txt_Cash.get());
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();  // R001 张三 (男, 12.50), R002 李四, R003, R004 (停用)
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
        QApplication::setActiveWindow(&vb::Default<Frm_Main>());
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    // Deposits with the reader's name and category, oldest first; deposits of a
    // deleted reader are not listed.
    void listJoinsReadersOldestFirst()
    {
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240301090000','R001',10,'2024-03-01','admin')"));
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240201090000','R002',2.5,'2024-02-01','clerk')"));
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240101090000','R999',1,'2024-01-01','admin')"));
        w().Cmd_Refresh_Click();
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("读者充值管理"));
        QCOMPARE(listed(), QStringList({"240201090000", "240301090000"}));
        QCOMPARE(grid().Cols(), 6);
        QCOMPARE(grid().TextMatrix(0, 2), QStringLiteral("读者姓名"));
        QCOMPARE(grid().TextMatrix(0, 4), QStringLiteral("充值金额"));
        QCOMPARE(grid().TextMatrix(1, 1), QStringLiteral("R002"));
        QCOMPARE(grid().TextMatrix(1, 2), QStringLiteral("李四"));
        QCOMPARE(grid().TextMatrix(1, 3), QStringLiteral("教师"));
        QCOMPARE(grid().TextMatrix(1, 4), QStringLiteral("2.50"));
        QCOMPARE(grid().TextMatrix(1, 5), QStringLiteral("clerk"));
        QCOMPARE(grid().ColWidth(5), 1800);
        QCOMPARE(statusTip(), QStringLiteral("共有 2 条记录"));
    }

    void panelReplacesTheListAndBack()
    {
        QVERIFY(w().Grid_ShowData->isVisible());
        QVERIFY(!w().Frame_Deposit->isVisible());
        w().Cmd_Deposit_Click();
        QVERIFY(!w().Grid_ShowData->isVisible());
        QVERIFY(w().Frame_Deposit->isVisible());
        QCOMPARE(w().Frame_Deposit->Top(), 600);
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240301090000','R001',10,'2024-03-01','admin')"));
        w().Cmd_Cancel_Click();
        QVERIFY(w().Grid_ShowData->isVisible());
        QVERIFY(!w().Frame_Deposit->isVisible());
        QCOMPARE(w().Frame_Deposit->Top(), 1080);
        QCOMPARE(listed(), QStringList({"240301090000"}));  // refreshed
    }

    // Enter looks the reader up once and moves on to the amount; a number that
    // matches nobody shows one message and keeps the box for correction.
    void lookUpByEnter()
    {
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral(" r001 "));
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QVERIFY(w().ReaderFound);
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("张三"));
        QCOMPARE(w().Txt(1)->Text(), QStringLiteral("男"));
        QCOMPARE(w().Txt(2)->Text(), QStringLiteral("12.50"));
        QCOMPARE(w().Txt(3)->Text(), QStringLiteral("正常"));
        QVERIFY(w().Txt_Cash->textBox()->hasFocus());

        lookUp(QStringLiteral("R999"));
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("找不到编号为R999的用户！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(!w().ReaderFound);
        QVERIFY(w().Txt_RID->textBox()->hasFocus());
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("张三"));  // the boxes keep what they showed

        book(QStringLiteral("5"));
        QCOMPARE(m_msg->last(), QStringLiteral("请输入正确的读者编号！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(deposits(), 0);
    }

    void lookUpByLeavingTheBox()
    {
        w().Cmd_Deposit_Click();
        type(w().Txt_RID.get(), QStringLiteral("R004"));
        w().Txt_Cash->textBox()->setFocus();
        QVERIFY(w().ReaderFound);
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("赵六"));
        QCOMPARE(w().Txt(3)->Text(), QStringLiteral("停用"));  // shown, not tested
        QVERIFY(m_msg->msgs.isEmpty());
        book(QStringLiteral("1"));
        QCOMPARE(balance(QStringLiteral("R004")), QStringLiteral("13.50"));
    }

    // One booking: the 12-digit number from the clock, the number upper-cased,
    // the balance raised, the report, the panel emptied for the next reader.
    // The server stops answering on the COMMIT of a deposit: whether it is
    // booked is not known. The clerk is told so and what to check, the panel
    // shows the balance and the last deposits as read afterwards, the amount
    // is gone, and nothing is sent again: the deposit is booked once or not.
    void depositWhoseCommitIsNotAnsweredIsInDoubt()
    {
        if (!testsupport::TempDb::onServer()) QSKIP("a server connection");
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240301090000','R001',10,'2024-03-01','admin')"));
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("R001"));
        SQLConn().CommandTimeout = 1;
        const int pid = dynamic_cast<ado::PostgresEngine *>(SQLConn().engine())->backendPid();
        QStringList after;  // the statements from the COMMIT on
        bool stopped = false;
        ado::Connection::SetStatementHook([&](const QString &statement) {
            if (statement != QLatin1String("COMMIT") && after.isEmpty()) return;
            after << statement;
            if (after.size() == 1) stopped = ::kill(pid, SIGSTOP) == 0;
        });
        const auto cleanUp = qScopeGuard([&] {
            ado::Connection::SetStatementHook(nullptr);
            if (stopped) ::kill(pid, SIGCONT);
            SQLConn().CommandTimeout = ado::kDefaultCommandTimeout;
        });
        book(QStringLiteral("7.5"));
        if (!stopped) QSKIP("the server's processes may not be stopped by this user");
        ::kill(pid, SIGCONT);
        stopped = false;
        QCOMPARE(m_msg->msgs.size(), 1);
        const QString told = m_msg->last();
        QVERIFY2(told.contains(QStringLiteral("无法确认是否已保存")) && told.contains(QStringLiteral("请刷新后核对")),
                 qPrintable(told));
        QVERIFY2(told.endsWith(QStringLiteral("现在读到：读者R001的账户余额为12.50元；最近的充值："
                                              "240301090000（2024-03-01，10.00元）。")),
                 qPrintable(told));
        QCOMPARE(w().Txt(2)->Text(), QStringLiteral("12.50"));
        QVERIFY(w().ReaderFound);
        QCOMPARE(vb::Val(w().Txt_Cash->Text()), 0.0);
        for (const QString &statement : after)
            QVERIFY2(!statement.startsWith(QLatin1String("INSERT")) && !statement.startsWith(QLatin1String("UPDATE")),
                     qPrintable(statement));
        const int booked = deposits() - 1;
        QVERIFY(booked == 0 || booked == 1);
    }

    void bookingWritesRecordAndBalance()
    {
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("r001"));
        book(QStringLiteral("7.5"));
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("充值成功！充值金额为：7.5元。\r\n用户名：R001，账户余额：20元。"));
        QCOMPARE(m_msg->lastIcon(), QString());
        QCOMPARE(m_msg->lastTitle(), QString());
        QCOMPARE(deposits(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT 充值编号 FROM 充值记录")), QStringLiteral("240315102030"));
        QCOMPARE(scalar(QStringLiteral("SELECT 读者编号 FROM 充值记录")), QStringLiteral("R001"));
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(10),充值金额,0) FROM 充值记录")),
                 QStringLiteral("7.50"));
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(10),充值日期,23) FROM 充值记录")),
                 QStringLiteral("2024-03-15"));
        QCOMPARE(scalar(QStringLiteral("SELECT 经手人 FROM 充值记录")), QStringLiteral("admin"));
        QCOMPARE(balance(QStringLiteral("R001")), QStringLiteral("20.00"));

        QVERIFY(!w().ReaderFound);
        QCOMPARE(w().Txt_RID->Text(), QString());
        QCOMPARE(w().Txt(0)->Text(), QString());
        QCOMPARE(w().Txt(2)->Text(), QString());
        QCOMPARE(vb::Val(w().Txt_Cash->Text()), 0.0);
        QVERIFY(w().Frame_Deposit->isVisible());  // ready for the next reader

        // The next booking needs a new look-up.
        m_msg->clear();
        book(QStringLiteral("1"));
        QCOMPARE(m_msg->last(), QStringLiteral("请输入正确的读者编号！"));
        QCOMPARE(deposits(), 1);
    }

    // Money is exact: 0.10 + 0.20 is 0.30; an empty amount books 0.
    void moneyAddsUpExactly()
    {
        exec(QStringLiteral("UPDATE 读者档案 SET 账户金额 = 0 WHERE 读者编号 = 'R002'"));
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("R002"));
        book(QStringLiteral("0.10"));
        vb::SetTestClock(fixedNow().addSecs(1));
        lookUp(QStringLiteral("R002"));
        book(QStringLiteral("0.20"));
        QCOMPARE(m_msg->last(), QStringLiteral("充值成功！充值金额为：0.2元。\r\n用户名：R002，账户余额：0.3元。"));
        QCOMPARE(balance(QStringLiteral("R002")), QStringLiteral("0.30"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R002' AND 账户金额 = 0.3")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 充值记录 WHERE 充值编号 = '240315102031'")), 1);
        QCOMPARE(deposits(), 2);
        QCOMPARE(scalar(QStringLiteral("SELECT SUM(充值金额) FROM 充值记录 WHERE 读者编号 = 'R002'")).toDouble(), 0.3);
    }

    // Whatever reached the amount box (a paste passes its key filter), a
    // deposit books only a positive amount that the lists can show
    // (9999999.99), and makes no balance they can't: the balance as it is when
    // the deposit is booked (another desk's deposit since the look-up
    // counts), whatever the look-up showed. A refusal names the box, writes
    // nothing and keeps the entry for correction.
    void amountIsCheckedOnSave_data()
    {
        QTest::addColumn<QString>("stored");  // the balance when the deposit is booked; "": as looked up
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");  // empty: booked
        QTest::addColumn<QString>("after");
        const QString notPositive = QStringLiteral("充值金额必须大于0！");
        const QString tooMuch = QStringLiteral("充值金额超出范围！充值金额不能超过9999999.99元。");
        const auto tooMuchHeld = [](const char *held) {
            return QStringLiteral("充值金额超出范围！充值后的账户余额不能超过9999999.99元，该读者现有余额")
                   + QString::fromUtf8(held) + QStringLiteral("元。");
        };
        const auto row = [](const char *name, const char *stored, const char *typed, const QString &refusal,
                            const char *after) {
            QTest::newRow(name) << QString::fromUtf8(stored) << QString::fromUtf8(typed) << refusal
                                << QString::fromUtf8(after);
        };
        row("negative, pasted", "", "-250", notPositive, "12.50");
        row("empty", "", "", notPositive, "12.50");
        row("zero", "", "0.00", notPositive, "12.50");
        row("below a ten-thousandth", "", "0.00001", notPositive, "12.50");
        row("no number", "", "abc", notPositive, "12.50");
        row("past the money range", "", "9e99", tooMuch, "12.50");
        row("a mistyped hundred million", "", "100000000", tooMuch, "12.50");
        row("past what the lists show", "", "9999999.991", tooMuch, "12.50");
        row("the smallest", "", "0.0001", QString(), "12.50");
        row("a larger one", "", "9999.99", QString(), "10012.49");
        row("a balance up to the most", "9999987.49", "12.50", QString(), "9999999.99");
        row("a balance a cent past it", "9999987.49", "12.51", tooMuchHeld("9999987.49"), "9999987.49");
        row("the largest amount on a balance", "", "9999999.99", tooMuchHeld("12.5"), "12.50");
        row("a balance at the most already", "9999999.99", "0.01", tooMuchHeld("9999999.99"), "9999999.99");
    }
    void amountIsCheckedOnSave()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        QFETCH(QString, after);
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("R001"));
        QCOMPARE(w().Txt(2)->Text(), QStringLiteral("12.50"));
        if (!stored.isEmpty())
            exec(QStringLiteral("UPDATE 读者档案 SET 账户金额 = %1 WHERE 读者编号 = 'R001'").arg(stored));
        w().Txt_Cash->setText(typed);
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY(!SQLConn().InTransaction());
        if (refusal.isEmpty()) {
            QVERIFY2(m_msg->last().startsWith(QStringLiteral("充值成功！")), qPrintable(m_msg->last()));
            QCOMPARE(deposits(), 1);
        } else {
            QCOMPARE(m_msg->last(), refusal);
            QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
            QCOMPARE(deposits(), 0);
            QVERIFY(w().ReaderFound);
            QCOMPARE(w().Txt_Cash->Text(), typed);
            QVERIFY(w().Txt_Cash->textBox()->hasFocus());
        }
        QCOMPARE(balance(QStringLiteral("R001")), after);
    }

    // The balance is raised from what is stored when the deposit is booked,
    // whatever another desk did to the reader since the look-up; deposits of
    // one second take distinct numbers.
    void balanceFromWhatIsThereNow()
    {
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("R001"));
        QCOMPARE(w().Txt(2)->Text(), QStringLiteral("12.50"));
        {
            ado::Connection other;
            other.ConnectionTimeout = 1;
            other.Open(m_db->db.connectionString());
            other.Execute(QStringLiteral(
                "UPDATE 读者档案 SET 账户金额 = 账户金额 + 100, 姓名 = '张三丰' WHERE 读者编号 = 'R001'"));
            other.Execute(QStringLiteral("INSERT 充值记录 VALUES ('240315102030','R001',100,'2024-03-15','clerk')"));
        }
        book(QStringLiteral("5"));
        QCOMPARE(m_msg->last(), QStringLiteral("充值成功！充值金额为：5元。\r\n用户名：R001，账户余额：117.5元。"));
        QCOMPARE(balance(QStringLiteral("R001")), QStringLiteral("117.50"));
        QCOMPARE(scalar(QStringLiteral("SELECT 姓名 FROM 读者档案 WHERE 读者编号 = 'R001'")), QStringLiteral("张三丰"));
        QCOMPARE(scalar(QStringLiteral("SELECT 充值编号 FROM 充值记录 WHERE 经手人 = 'admin'")),
                 QStringLiteral("240315102031"));
    }

    void returnAfterBookingShowsTheList()
    {
        w().Cmd_Deposit_Click();
        w().Chk_Return->setValue(vb::vbChecked);
        lookUp(QStringLiteral("R003"));
        book(QStringLiteral("3"));
        QVERIFY(!w().Frame_Deposit->isVisible());
        QVERIFY(w().Grid_ShowData->isVisible());
        QCOMPARE(listed(), QStringList({"240315102030"}));
        QCOMPARE(grid().TextMatrix(1, 4), QStringLiteral("3.00"));
    }

    // The record and the balance agree: a failing balance update leaves no record.
    void failedBalanceUpdateWritesNoRecord()
    {
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("R001"));
        testsupport::StatementFailer fail(QStringLiteral("UPDATE 读者档案"), 0,
                                          QStringLiteral("balance locked for test"));
        book(QStringLiteral("5"));
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY2(m_msg->last().contains(QStringLiteral("balance locked for test")), qPrintable(m_msg->last()));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(deposits(), 0);
        QCOMPARE(balance(QStringLiteral("R001")), QStringLiteral("12.50"));
        QVERIFY(!SQLConn().InTransaction());
        QVERIFY(w().ReaderFound);  // the entry stays for another try
        QCOMPARE(w().Txt_RID->Text(), QStringLiteral("R001"));
    }

    // A reader deleted after the look-up gets no orphan deposit.
    void readerGoneSinceTheLookUpGetsNoDeposit()
    {
        w().Cmd_Deposit_Click();
        lookUp(QStringLiteral("R002"));
        exec(QStringLiteral("DELETE FROM 读者档案 WHERE 读者编号 = 'R002'"));
        book(QStringLiteral("5"));
        QCOMPARE(m_msg->last(), QStringLiteral("找不到编号为R002的用户！"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(deposits(), 0);
        QVERIFY(!w().ReaderFound);
        QVERIFY(!SQLConn().InTransaction());
    }

    // No two deposits share a number: the database refuses a second one. A
    // database made before that was so may hold two: the check of the data
    // reports them.
    void aDepositNumberIsUsedOnce()
    {
        const QString deposit =
            QStringLiteral("INSERT 充值记录 VALUES ('240301090000','R001',10,'2024-03-01','admin')");
        exec(deposit);
        bool refused = false;
        try {
            exec(deposit);
        } catch (const ado::Error &) {
            refused = true;
        }
        QVERIFY(refused);
        const QString reported =
            QStringLiteral("充值记录 number used more than once (number, deposits): 240301090000, 2");
        QVERIFY(!CheckInvariants(SQLConn()).contains(reported));
        QVERIFY(m_db->raw(QStringLiteral("DROP INDEX 充值记录_充值编号")));
        exec(deposit);
        QVERIFY(CheckInvariants(SQLConn()).contains(reported));
    }

    void clearingAllDepositsLeavesBalances()
    {
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240301090000','R001',10,'2024-03-01','admin')"));
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240302090000','R999',10,'2024-03-02','admin')"));
        w().Cmd_Refresh_Click();
        m_msg->answer = 2;
        w().Cmd_Clear_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除所有充值吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除充值记录"));
        QCOMPARE(deposits(), 2);
        m_msg->answer = 1;
        w().Cmd_Clear_Click();
        QCOMPARE(deposits(), 0);
        QCOMPARE(listed(), QStringList());
        QCOMPARE(balance(QStringLiteral("R001")), QStringLiteral("12.50"));
        QCOMPARE(statusTip(), QStringLiteral("共有 0 条记录"));
    }
};

QTEST_MAIN(TestReaderDeposit)
#include "tst_readerdeposit.moc"
