// The database clean-up: every option on a seeded database (the rows that
// must go and the rows that must stay), the order of the options, the boxes'
// interplay, the permission greying and the report of failed statements.
#include "circulation/CirculationFixture.h"
#include "core/AdminForms.h"
#include "core/Frm_DBClear.h"
#include "core/Frm_Main.h"
#include "db/PostgresEngine.h"
#include "db/ServerMessages.h"

#include <QTimer>
#include <QtTest>

#include <csignal>

using namespace circfix;

class TestDBClear : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_DBClear &w() { return vb::Default<Frm_DBClear>(); }

    // The keys of a table, sorted.
    static QStringList keys(const QString &table, const QString &column)
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table, SQLConn());
        QStringList out;
        for (; !rs.EOF_(); rs.MoveNext()) out << rs.Fields(0).toString();
        out.sort();
        return out;
    }
    static QStringList loans() { return keys(QStringLiteral("图书借阅"), QStringLiteral("图书借阅编号")); }
    static QStringList damages() { return keys(QStringLiteral("图书损坏"), QStringLiteral("图书损坏编号")); }
    static QStringList deposits() { return keys(QStringLiteral("充值记录"), QStringLiteral("充值编号")); }
    static QStringList copies() { return keys(QStringLiteral("图书库存"), QStringLiteral("图书编号")); }
    static QStringList titles() { return keys(QStringLiteral("图书档案"), QStringLiteral("ISBN")); }
    static QStringList readers() { return keys(QStringLiteral("读者档案"), QStringLiteral("读者编号")); }
    static QStringList accounts() { return keys(QStringLiteral("账户"), QStringLiteral("用户名")); }
    static QStringList logins() { return keys(QStringLiteral("账户登录"), QStringLiteral("用户名")); }
    static QStringList without(QStringList all, const QStringList &gone)
    {
        for (const QString &g : gone) all.removeAll(g);
        return all;
    }
    // Loan numbers of the seed: L(n).
    static QString L(int n) { return QStringLiteral("24030109000000%1").arg(n); }
    static QString D(int n) { return QStringLiteral("2403011000%1").arg(n, 2, 10, QLatin1Char('0')); }
    static QStringList Ls(std::initializer_list<int> ns)
    {
        QStringList out;
        for (int n : ns) out << L(n);
        out.sort();
        return out;
    }
    static QStringList Ds(std::initializer_list<int> ns)
    {
        QStringList out;
        for (int n : ns) out << D(n);
        out.sort();
        return out;
    }

    static void loan(int n, const QString &reader, const QString &returned, const QString &lentBy,
                     const QString &returnedBy)
    {
        const bool back = !returned.isEmpty();
        // Each loan of its own copy: a copy has at most one loan out.
        exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,%2,%3,'2024-01-01','2024-02-01',%4,%5,%6,%7)")
                 .arg(SQLQuote(L(n)), SQLQuote(QStringLiteral("B%1").arg(n)), SQLQuote(reader),
                      back ? SQLQuote(returned) : QStringLiteral("Null"),
                      back ? QStringLiteral("'1'") : QStringLiteral("'0'"), SQLQuote(lentBy),
                      back ? SQLQuote(returnedBy) : QStringLiteral("Null")));
        exec(QStringLiteral("INSERT 图书损坏 VALUES(%1,%2,'破损',5,'')").arg(SQLQuote(D(n)), SQLQuote(L(n))));
    }
    // The book of an open loan comes back (the day before the clean-up).
    static void giveBack(std::initializer_list<int> ns)
    {
        for (int n : ns)
            exec(QStringLiteral("UPDATE 图书借阅 SET 是否已还 = '1', 实际还书日期 = '2024-03-14', 还书经手人 = 'admin' "
                                "WHERE 图书借阅编号 = ")
                 + SQLQuote(L(n)));
    }
    static void deposit(const QString &no, const QString &reader, const QString &by)
    {
        exec(QStringLiteral("INSERT 充值记录 VALUES(%1,%2,50,'2024-03-01',%3)")
                 .arg(SQLQuote(no), SQLQuote(reader), SQLQuote(by)));
    }

    // The seed:
    //  accounts: admin, keep (正常), old (停用; written "OLD" or "Old" where it handled things)
    //  readers:  R001..R003 (正常), R004 and r005 (停用; r005's records say "R005")
    //  loans 1-8 each with one damage record, and damage record 99 of no loan.
    void seed()
    {
        fill();
        exec(QStringLiteral("INSERT 账户 VALUES ('keep','p','留用','s','系统管理员',Null,'正常')"));
        exec(QStringLiteral("INSERT 账户 VALUES ('old','p','离职','s','系统管理员',Null,'停用')"));
        addReader(QStringLiteral("r005"), QStringLiteral("学生"), QStringLiteral("钱七"), 0, QStringLiteral("停用"));

        loan(1, QStringLiteral("R001"), QString(), QStringLiteral("OLD"), QString());  // open, lent by old
        loan(2, QStringLiteral("R001"), QStringLiteral("2024-03-10"), QStringLiteral("admin"), QStringLiteral("old"));
        loan(3, QStringLiteral("R002"), QStringLiteral("2024-03-15"), QStringLiteral("admin"), QStringLiteral("admin"));
        loan(4, QStringLiteral("R002"), QStringLiteral("2024-03-16"), QStringLiteral("admin"), QStringLiteral("admin"));
        loan(5, QStringLiteral("R003"), QString(), QStringLiteral("keep"), QString());  // open
        loan(6, QStringLiteral("R003"), QStringLiteral("1999-12-31"), QStringLiteral("admin"), QStringLiteral("keep"));
        loan(7, QStringLiteral("R004"), QStringLiteral("2024-01-01"), QStringLiteral("admin"), QStringLiteral("admin"));
        loan(8, QStringLiteral("R005"), QString(), QStringLiteral("admin"), QString());  // open
        exec(QStringLiteral("INSERT 图书损坏 VALUES('240301100099','240101000000999','旧记录',1,'')"));

        // A copy put into stock by old, the only copy of its title.
        addTitle(QStringLiteral("978-9"), QStringLiteral("孤本"));
        exec(QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('K001','978-9','2024-01-01 10:00:00','Old')"));
        // A title without copies, and one whose copy writes the ISBN in other letter case.
        addTitle(QStringLiteral("978-8"), QStringLiteral("无书"));
        addTitle(QStringLiteral("abc-1"), QStringLiteral("大小写"));
        addCopy(QStringLiteral("K002"), QStringLiteral("ABC-1"));

        deposit(QStringLiteral("240301000001"), QStringLiteral("R001"), QStringLiteral("old"));
        deposit(QStringLiteral("240301000002"), QStringLiteral("R001"), QStringLiteral("admin"));
        deposit(QStringLiteral("240301000003"), QStringLiteral("R005"), QStringLiteral("admin"));
        deposit(QStringLiteral("240301000004"), QStringLiteral("R004"), QStringLiteral("admin"));

        exec(QStringLiteral("INSERT 账户登录 VALUES ('old','2024-03-01 08:00:00')"));
        exec(QStringLiteral("INSERT 账户登录 VALUES ('Old','2024-03-02 08:00:00')"));
        exec(QStringLiteral("INSERT 账户登录 VALUES ('admin','2024-03-03 08:00:00')"));
    }

    // Everything the seed holds, to compare what an option left.
    struct Snapshot {
        QStringList loans, damages, deposits, copies, titles, readers, accounts, logins;
    };
    static Snapshot snapshot()
    {
        return {loans(), damages(), deposits(), copies(), titles(), readers(), accounts(), logins()};
    }
    static void expectUnchanged(const Snapshot &a, const Snapshot &b, const QString &except)
    {
        const std::pair<const char *, std::pair<QStringList, QStringList>> parts[] = {
            {"loans", {a.loans, b.loans}},          {"damages", {a.damages, b.damages}},
            {"deposits", {a.deposits, b.deposits}}, {"copies", {a.copies, b.copies}},
            {"titles", {a.titles, b.titles}},       {"readers", {a.readers, b.readers}},
            {"accounts", {a.accounts, b.accounts}}, {"logins", {a.logins, b.logins}},
        };
        for (const auto &p : parts)
            if (!except.split(QLatin1Char(',')).contains(QLatin1String(p.first)))
                QVERIFY2(p.second.first == p.second.second, p.first);
    }

    void run(std::initializer_list<vb::CheckBox *> boxes)
    {
        for (vb::CheckBox *b : boxes) b->setValue(vb::vbChecked);
        m_msg->clear();
        w().Cmd_Clear_Click();
    }
    void expectSuccess()
    {
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("所选项目清理成功！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        QVERIFY(w().IsLoaded());  // the dialog stays open after the run
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        CurUID = QStringLiteral("admin");
        seed();
        vb::SetTestClock(fixedNow());  // 2024-03-15
        m_msg = std::make_unique<MsgRecorder>();
        w().Show();
    }
    void cleanup()
    {
        w().Unload();
        vb::ClearTestClock();
        m_msg.reset();
        m_db.reset();
    }

    void nothingTickedRunsNothing()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("清理数据库"));
        const Snapshot before = snapshot();
        run({});
        QCOMPARE(m_msg->last(), QStringLiteral("请选择需要清理的项目！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        expectUnchanged(before, snapshot(), QString());
    }

    void loginLog()
    {
        const Snapshot before = snapshot();
        run({w().Chk_Acc_Login.get()});
        expectSuccess();
        QVERIFY(logins().isEmpty());
        expectUnchanged(before, snapshot(), QStringLiteral("logins"));
    }

    void disabledAccountsWithEverythingTheyHandled()
    {
        giveBack({1});  // lent by old
        const Snapshot before = snapshot();
        run({w().Chk_Acc_Standby.get()});
        expectSuccess();
        const Snapshot after = snapshot();
        QCOMPARE(after.loans, without(before.loans, Ls({1, 2})));
        QCOMPARE(after.damages, without(before.damages, Ds({1, 2})));
        QCOMPARE(after.copies, without(before.copies, {QStringLiteral("K001")}));
        QCOMPARE(after.deposits, without(before.deposits, {QStringLiteral("240301000001")}));
        QCOMPARE(after.logins, QStringList({QStringLiteral("admin")}));
        QCOMPARE(after.accounts, QStringList({QStringLiteral("admin"), QStringLiteral("keep")}));
        expectUnchanged(before, after, QStringLiteral("loans,damages,copies,deposits,logins,accounts"));
        QCOMPARE(w().LastRun().size(), 6);
    }

    void returnedLoansWithDefaultDates()
    {
        vb::CheckBox *c = w().Chk_Brw_Return.get();
        QVERIFY(!w().Txt_From->isVisible());
        c->setValue(vb::vbChecked);
        QVERIFY(w().Txt_From->isVisible());
        QVERIFY(w().Lbl_To->isVisible());
        const Snapshot before = snapshot();
        run({c});
        expectSuccess();
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01"));
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15"));
        // Returned on or before today, from 2000 on; open loans and their damage records stay.
        QCOMPARE(loans(), without(before.loans, Ls({2, 3, 7})));
        QCOMPARE(damages(), without(before.damages, Ds({2, 3, 7})));
        expectUnchanged(before, snapshot(), QStringLiteral("loans,damages"));
        c->setValue(vb::vbUnchecked);
        QVERIFY(!w().Txt_From->isVisible());
    }

    void returnedLoansInATypedRange()
    {
        w().Chk_Brw_Return->setValue(vb::vbChecked);
        w().Txt_From->setText(QStringLiteral("2024/3/10"));
        w().Txt_To->setText(QStringLiteral("2024-03-14"));
        const Snapshot before = snapshot();
        run({});
        expectSuccess();
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2024/3/10"));
        QCOMPARE(loans(), without(before.loans, Ls({2})));
        QCOMPARE(damages(), without(before.damages, Ds({2})));
    }

    // A date box that holds no date the database reads as the box does would
    // widen the range deleted: the whole clean-up is refused, naming the box,
    // and nothing is deleted; the box keeps what was typed.
    void returnedLoansWithDatesTheDatabaseCannotRead_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("says");
        QTest::newRow("no such day") << "2026-12-32"
                                     << ""
                                     << "“从”日期“2026-12-32”";
        QTest::newRow("not read by the database") << "2024年3月10日"
                                                  << "2024-03-14"
                                                  << "“从”日期“2024年3月10日”";
        QTest::newRow("read as another day") << ""
                                             << "24-3-14"
                                             << "“到”日期“24-3-14”";
    }
    void returnedLoansWithDatesTheDatabaseCannotRead()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, says);
        w().Chk_Brw_Return->setValue(vb::vbChecked);
        w().Txt_From->setText(from);
        w().Txt_To->setText(to);
        const Snapshot before = snapshot();
        run({w().Chk_Acc_Login.get(), w().Chk_Reader_Dep.get()});
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), says + QStringLiteral("无法识别，请输入正确的日期（如 2000-01-01），未清理任何项目！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QVERIFY(w().LastRun().isEmpty());
        expectUnchanged(before, snapshot(), QString());
        QCOMPARE(w().Txt_From->Text(), from);
        QCOMPARE(w().Txt_To->Text(), to);
    }

    void allLoansTakeTheirDamageRecords()
    {
        vb::CheckBox *all = w().Chk_Brw_All.get();
        vb::CheckBox *dmg = w().Chk_Book_Damag.get();
        all->setValue(vb::vbChecked);
        QCOMPARE(dmg->Value(), int(vb::vbChecked));
        QVERIFY(w().Lbl_Brw_All->isVisible());
        QTest::mouseClick(dmg, Qt::LeftButton);  // cannot be unticked on its own
        QCOMPARE(dmg->Value(), int(vb::vbChecked));
        giveBack({1, 5, 8});
        const Snapshot before = snapshot();
        run({});
        expectSuccess();
        // "DELETE FROM 图书损坏" runs twice; the second finds nothing and succeeds too.
        QCOMPARE(w().LastRun().count(QStringLiteral("DELETE FROM 图书损坏")), 2);
        QVERIFY(loans().isEmpty());
        QVERIFY(damages().isEmpty());
        expectUnchanged(before, snapshot(), QStringLiteral("loans,damages"));

        all->setValue(vb::vbUnchecked);
        QCOMPARE(dmg->Value(), int(vb::vbUnchecked));
        QVERIFY(!w().Lbl_Brw_All->isVisible());
        QTest::mouseClick(dmg, Qt::LeftButton);
        QCOMPARE(dmg->Value(), int(vb::vbChecked));
    }

    void damageRecordsAlone()
    {
        const Snapshot before = snapshot();
        run({w().Chk_Book_Damag.get()});
        expectSuccess();
        QVERIFY(damages().isEmpty());
        expectUnchanged(before, snapshot(), QStringLiteral("damages"));
    }

    void titlesWithoutCopies()
    {
        const Snapshot before = snapshot();
        run({w().Chk_Book_NoStore.get()});
        expectSuccess();
        // A copy that writes the ISBN in other letter case still counts for its title.
        QCOMPARE(titles(), without(before.titles, {QStringLiteral("978-8")}));
        expectUnchanged(before, snapshot(), QStringLiteral("titles"));
    }

    void optionsRunInOrderSoTitlesFollowTheirDeletedCopies()
    {
        giveBack({1});
        const Snapshot before = snapshot();
        run({w().Chk_Book_NoStore.get(), w().Chk_Acc_Standby.get()});
        expectSuccess();
        QCOMPARE(titles(), without(before.titles, {QStringLiteral("978-8"), QStringLiteral("978-9")}));
        QVERIFY(w().LastRun().last().startsWith(QStringLiteral("DELETE FROM 图书档案 WHERE")));
    }

    void allDeposits()
    {
        const Snapshot before = snapshot();
        run({w().Chk_Reader_Dep.get()});
        expectSuccess();
        QVERIFY(deposits().isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = 'R001'")),
                 QStringLiteral("12.5"));
        expectUnchanged(before, snapshot(), QStringLiteral("deposits"));
    }

    void disabledReadersWithTheirRecords()
    {
        w().Chk_Reader_Standby->setValue(vb::vbChecked);
        QVERIFY(w().Lbl_Reader_Standby->isVisible());
        giveBack({8});  // r005's
        const Snapshot before = snapshot();
        run({});
        expectSuccess();
        QCOMPARE(readers(), without(before.readers, {QStringLiteral("R004"), QStringLiteral("r005")}));
        QCOMPARE(loans(), without(before.loans, Ls({7, 8})));
        QCOMPARE(damages(), without(before.damages, Ds({7, 8})));
        QCOMPARE(deposits(),
                 without(before.deposits, {QStringLiteral("240301000003"), QStringLiteral("240301000004")}));
        expectUnchanged(before, snapshot(), QStringLiteral("readers,loans,damages,deposits"));
        w().Chk_Reader_Standby->setValue(vb::vbUnchecked);
        QVERIFY(!w().Lbl_Reader_Standby->isVisible());
    }

    void missingPermissionsGreyTheBoxesAndKeepTheirStatements()
    {
        w().Unload();
        exec(QStringLiteral("INSERT 账户类型 VALUES ('借书员', 0,0,0,0,0,1,0,0,0,0,0,0,0)"));
        exec(QStringLiteral("INSERT 账户 VALUES ('lend','p','借书员','s','借书员',Null,'正常')"));
        CurUID = QStringLiteral("lend");
        w().Show();
        for (vb::CheckBox *b : {w().Chk_Acc_Login.get(), w().Chk_Acc_Standby.get(), w().Chk_Brw_Return.get(),
                                w().Chk_Brw_All.get(), w().Chk_Book_Damag.get(), w().Chk_Book_NoStore.get(),
                                w().Chk_Reader_Dep.get(), w().Chk_Reader_Standby.get()})
            QVERIFY(!b->isEnabled());
        QCOMPARE(w().Lbl_Tip->Caption(), QStringLiteral("注意：灰色项代表您没有权限进行该操作"));
        const Snapshot before = snapshot();
        run({w().Chk_Brw_All.get(), w().Chk_Acc_Login.get()});
        QCOMPARE(m_msg->last(), QStringLiteral("请选择需要清理的项目！"));
        expectUnchanged(before, snapshot(), QString());

        // The permission is asked again at the run: one granted meanwhile counts.
        exec(QStringLiteral("UPDATE 账户类型 SET 修改账户权限 = 1 WHERE 账户类型 = '借书员'"));
        run({});
        QVERIFY(logins().isEmpty());
        QVERIFY(!loans().isEmpty());
    }

    void failedStatementsAreListedOnceInOrder()
    {
        testsupport::StatementFailer fail({QStringLiteral("DELETE 图书损坏"), QStringLiteral("DELETE 充值记录")}, 0,
                                          QStringLiteral("locked"));
        run({w().Chk_Reader_Dep.get(), w().Chk_Book_Damag.get(), w().Chk_Acc_Login.get()});
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("清理操作未全部完成，以下SQL语句操作失败：\r\n"
                                               "    DELETE FROM 图书损坏\r\n"
                                               "    DELETE FROM 充值记录\r\n"
                                               "[ 所有图书损坏记录 ] 未清理：locked\r\n"
                                               "[ 所有读者充值记录 ] 未清理：locked\r\n"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        QVERIFY(logins().isEmpty());  // the statements around the failures were done
        QCOMPARE(deposits().size(), 4);
    }

    // A book not yet returned keeps its loan: an option that would delete it,
    // its copy or its reader is not done at all, and says why; the others are.
    void optionsTakingAnOpenLoanAreNotDone()
    {
        const Snapshot before = snapshot();
        run({w().Chk_Acc_Standby.get(), w().Chk_Brw_All.get(), w().Chk_Reader_Standby.get(), w().Chk_Acc_Login.get()});
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        const QString text = m_msg->last();
        QVERIFY2(text.startsWith(
                     QStringLiteral("清理操作未全部完成，以下SQL语句操作失败：\r\n    DELETE FROM 图书损坏 WHERE")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("[ 状态为停用的账户 ] 涉及尚未归还的图书，不能清理！\r\n"
                                              "[ 全部借书记录 ] 涉及尚未归还的图书，不能清理！\r\n"
                                              "[ 所有图书损坏记录 ] 随 [ 全部借书记录 ] 选中，该项未完成，未清理！\r\n"
                                              "[ 状态为停用的读者 ] 涉及尚未归还的图书，不能清理！\r\n")),
                 qPrintable(text));
        // Every statement of the three options is listed; the damage records,
        // ticked with all loans, stay with them.
        QCOMPARE(w().LastFailed().size(), 6 + 2 + 4);
        QCOMPARE(w().LastRun().count(QStringLiteral("DELETE FROM 图书损坏")), 1);  // all loans' own
        QVERIFY(logins().isEmpty());
        expectUnchanged(before, snapshot(), QStringLiteral("logins"));

        // A copy on loan put into stock by a disabled account stays with its account.
        giveBack({1});
        exec(QStringLiteral("INSERT 图书借阅 VALUES('240301090000009','K001','R002','2024-03-01','2024-04-01',Null,'0',"
                            "'admin',Null)"));
        run({});
        QVERIFY(m_msg->last().endsWith(
            QStringLiteral("[ 状态为停用的账户 ] 涉及尚未归还的图书，不能清理！\r\n"
                           "[ 全部借书记录 ] 涉及尚未归还的图书，不能清理！\r\n"
                           "[ 所有图书损坏记录 ] 随 [ 全部借书记录 ] 选中，该项未完成，未清理！\r\n"
                           "[ 状态为停用的读者 ] 涉及尚未归还的图书，不能清理！\r\n")));
        QVERIFY(copies().contains(QStringLiteral("K001")));
        QVERIFY(accounts().contains(QStringLiteral("old")));
    }

    // A permission that can't be read is no answer: its ticked options are
    // not run, and the message says so in the database's words; the options
    // whose permission was read run. Another program holding the database
    // makes every read wait and fail; a failed read of the first permission
    // alone, or the server stopping to answer it (the next read connects
    // again), leaves the second group to run.
    void permissionsThatCannotBeReadAreFailures_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("deposits");
        QTest::addColumn<QString>("says");
        const QString head =
            QStringLiteral("清理操作未全部完成，以下项目未清理：\r\n[ 所有账户登录信息 ] 未清理：%1\r\n");
        const QString busy = testsupport::TempDb::lockedOutSays();
        QTest::newRow("database held, two options")
            << "held" << true << head.arg(busy) + QStringLiteral("[ 所有读者充值记录 ] 未清理：%1\r\n").arg(busy);
        QTest::newRow("database held, login log alone") << "held" << false << head.arg(busy);
        QTest::newRow("first read fails") << "failed" << true << head.arg(QStringLiteral("locked"));
        QTest::newRow("server stops answering") << "paused" << true << head.arg(ado::msg::commandTimedOut(1));
    }
    void permissionsThatCannotBeReadAreFailures()
    {
        QFETCH(QString, how);
        QFETCH(bool, deposits);
        QFETCH(QString, says);
        w().Chk_Acc_Login->setValue(vb::vbChecked);
        if (deposits) w().Chk_Reader_Dep->setValue(vb::vbChecked);
        const Snapshot before = snapshot();
        if (how == QLatin1String("held")) {
            m_db->db.lockOut();
            run({});
            m_db->db.restore();
        } else if (how == QLatin1String("failed")) {
            testsupport::StatementFailer fail(QStringLiteral("SELECT * FROM 账户,账户类型"), 1,
                                              QStringLiteral("locked"));
            run({});
        } else {
            const auto *pg = dynamic_cast<const ado::PostgresEngine *>(SQLConn().engine());
            if (!pg) QSKIP("a server connection");
            SQLConn().CommandTimeout = 1;
            const int pid = pg->backendPid();
            if (::kill(pid, SIGSTOP) != 0) QSKIP("the server's processes may not be stopped by this user");
            run({});
            ::kill(pid, SIGCONT);
            SQLConn().CommandTimeout = ado::kDefaultCommandTimeout;
        }
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), says);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QVERIFY(w().LastFailed().isEmpty());
        const Snapshot after = snapshot();
        QCOMPARE(after.logins, before.logins);
        QCOMPARE(after.deposits.isEmpty(), deposits && how != QLatin1String("held"));
        expectUnchanged(before, after, QStringLiteral("deposits"));
    }

    // A permission taken away after the dialog opened: the option the clerk
    // ticked is not run, and says so.
    void aPermissionTakenAwayMeanwhileIsSaid()
    {
        exec(QStringLiteral("INSERT 账户类型 VALUES ('管理员二', 1,1,1,1,1,1,1,1,1,1,1,1,1)"));
        exec(QStringLiteral("UPDATE 账户 SET 账户类型 = '管理员二' WHERE 用户名 = 'keep'"));
        w().Unload();
        CurUID = QStringLiteral("keep");
        w().Show();
        exec(QStringLiteral("UPDATE 账户类型 SET 修改读者权限 = 0 WHERE 账户类型 = '管理员二'"));
        const Snapshot before = snapshot();
        run({w().Chk_Reader_Dep.get(), w().Chk_Acc_Login.get()});
        QCOMPARE(m_msg->last(), QStringLiteral("清理操作未全部完成，以下项目未清理：\r\n"
                                               "[ 所有读者充值记录 ] 未清理：您没有权限完成当前操作！\r\n"));
        QVERIFY(logins().isEmpty());
        expectUnchanged(before, snapshot(), QStringLiteral("logins"));
    }

    // An option is done whole or not at all: a failure in its middle undoes
    // what it did before, and all its statements are listed.
    void aFailureUndoesItsOptionOnly()
    {
        giveBack({1});
        testsupport::StatementFailer fail(QStringLiteral("DELETE 图书库存"), 1, QStringLiteral("locked"));
        const Snapshot before = snapshot();
        run({w().Chk_Acc_Standby.get(), w().Chk_Reader_Dep.get()});
        QVERIFY(fail.fired());
        QCOMPARE(w().LastFailed().size(), 6);
        QVERIFY(m_msg->last().contains(QStringLiteral("    DELETE FROM 账户 WHERE 状态 = '停用'\r\n")));
        QVERIFY(deposits().isEmpty());
        expectUnchanged(before, snapshot(), QStringLiteral("deposits"));
    }

    void openedModallyFromTheFileMenu()
    {
        w().Unload();
        RegisterAdminForms();
        Frm_Main &m = showMain();
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            seen = w().IsModalShowing() && w().Lbl_TBarText->Caption() == QStringLiteral("清理数据库");
            emit w().Cmd_TBarClose->Click();
        });
        m.Menu_File_DBClear_Click();
        QVERIFY(seen);
        QVERIFY(!w().IsLoaded());
    }
};

QTEST_MAIN(TestDBClear)
#include "tst_dbclear.moc"
