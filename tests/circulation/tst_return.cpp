// Returning: the list of open loans, the prefix find, and the return of one
// loan as one unit that never runs twice for the same loan.
#include "circulation/CirculationFixture.h"
#include "circulation/Frm_ReturnBook.h"
#include "tools/Invariants.h"

#include <QApplication>
#include <QTableView>
#include <QtTest>

using namespace circfix;

class TestReturn : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_ReturnBook &w() { return vb::Default<Frm_ReturnBook>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }

    void open() { showChild(w()); }
    int rowOf(const QString &loanNo)
    {
        for (int r = 1; r < grid().Rows(); ++r)
            if (grid().TextMatrix(r, 0) == loanNo) return r;
        return -1;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        loanOut(QStringLiteral("240301090000002"), QStringLiteral("B003"), QStringLiteral("R002"));
        loanOut(QStringLiteral("240301090000001"), QStringLiteral("B001"), QStringLiteral("R001"));
        loanOut(QStringLiteral("240301090000003"), QStringLiteral("C001"), QStringLiteral("R001"));
        exec(QStringLiteral("INSERT 图书借阅 VALUES('240201090000001','B002','R001','2024-02-01','2024-03-01',"
                            "'2024-02-20','1','admin','admin')"));
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        open();
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    void opensWithEveryOpenLoanInOrder()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("还书"));
        QCOMPARE(grid().Rows(), 4);
        QCOMPARE(grid().Cols(), 12);
        QCOMPARE(grid().TextMatrix(0, 0), QStringLiteral("图书借阅编号"));
        QCOMPARE(grid().TextMatrix(0, 9), QStringLiteral("是否已还"));
        QCOMPARE(grid().TextMatrix(1, 0), QStringLiteral("240301090000001"));
        QCOMPARE(grid().TextMatrix(2, 0), QStringLiteral("240301090000002"));
        QCOMPARE(grid().TextMatrix(3, 0), QStringLiteral("240301090000003"));
        QCOMPARE(grid().TextMatrix(1, 2), QStringLiteral("数据库原理"));
        QCOMPARE(grid().TextMatrix(1, 5), QStringLiteral("张三"));
        QCOMPARE(grid().TextMatrix(1, 6), QStringLiteral("2024-03-01"));
        QCOMPARE(grid().TextMatrix(1, 9), QStringLiteral("否"));
        QCOMPARE(grid().ColWidth(0), 1600);
        QCOMPARE(grid().ColWidth(2), 1800);
        QVERIFY(w().Opt_RID->Value());
        QCOMPARE(w().CurRow, 1);
        QVERIFY(w().Pic_SideBar->isVisible());
    }

    void findByPrefixAndClearing()
    {
        w().Opt_BID->setValue(true);
        w().Txt_ID->setText(QStringLiteral("B"));
        QTest::keyClick(w().Txt_ID->textBox(), Qt::Key_Return);
        QCOMPARE(grid().Rows(), 3);
        QCOMPARE(grid().TextMatrix(1, 1), QStringLiteral("B001"));
        QCOMPARE(grid().TextMatrix(2, 1), QStringLiteral("B003"));
        w().Txt_ID->setText(QString());
        w().Cmd_Find_Click();
        QCOMPARE(grid().Rows(), 4);
        w().Opt_RID->setValue(true);
        w().Txt_ID->setText(QStringLiteral("  r002"));  // blanks before dropped; LIKE ignores letter case
        w().Cmd_Find_Click();
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 4), QStringLiteral("R002"));
        w().Txt_ID->setText(QStringLiteral("ZZ"));
        w().Cmd_Find_Click();
        QCOMPARE(grid().Rows(), 2);  // header and one empty row
        QCOMPARE(grid().TextMatrix(1, 0), QString());
        m_msg->clear();
        w().Cmd_ReturnSel_Click();  // nothing to return
        QVERIFY(m_msg->msgs.isEmpty());
    }

    // After a find the grid highlights row 1; the return acts on that row, not
    // on the row that was current before.
    void findResetsTheCurrentRow()
    {
        w().CurRow = 3;
        w().Opt_BID->setValue(true);
        w().Txt_ID->setText(QStringLiteral("B"));
        w().Cmd_Find_Click();
        QCOMPARE(w().CurRow, 1);
        QCOMPARE(grid().Row(), 1);
        m_msg->answer = 2;
        w().Cmd_ReturnSel_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要归还编号为 [ B001 ] 的 [ 数据库原理 ] 吗？"));
    }

    void returnClosesTheLoanFreesTheCopyAndLowersTheCounters()
    {
        w().CurRow = rowOf(QStringLiteral("240301090000003"));
        w().Cmd_ReturnSel_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(m_msg->msgs[0].text, QStringLiteral("确实要归还编号为 [ C001 ] 的 [ 数据库原理 ] 吗？"));
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("?"));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("归还图书"));
        QCOMPARE(m_msg->last(), QStringLiteral("还书成功！共归还 1 本图书。"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("还书成功"));
        const QString where = QStringLiteral(" FROM 图书借阅 WHERE 图书借阅编号 = '240301090000003'");
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(10),实际还书日期,23)") + where),
                 QStringLiteral("2024-03-15"));
        QCOMPARE(count(QStringLiteral("SELECT 是否已还") + where), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT 还书经手人") + where), QStringLiteral("admin"));
        QCOMPARE(copyStatus(QStringLiteral("C001")), QStringLiteral("空闲"));
        QCOMPARE(scalar(QStringLiteral("SELECT 最近读者编号 FROM 图书库存 WHERE 图书编号 = 'C001'")), QString());
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 1);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("未还书总数")), 1);
        QCOMPARE(grid().Rows(), 3);
        QCOMPARE(rowOf(QStringLiteral("240301090000003")), -1);
        QCOMPARE(w().CurRow, 1);
    }

    void decliningChangesNothing()
    {
        w().Opt_BID->setValue(true);
        w().Txt_ID->setText(QStringLiteral("B00"));
        w().Cmd_Find_Click();
        const QString before = w().SQLText;
        m_msg->answer = 2;
        // A double click asks the same question as the button.
        emit grid().DblClick();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("归还图书"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = '0'")), 3);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 2);
        QCOMPARE(w().SQLText, before);  // no refresh: the find still applies
        QCOMPARE(grid().Rows(), 3);
    }

    // A loan returned meanwhile (another desk, a stale list) is refused and the
    // reader's counters are not lowered again.
    void secondReturnOfTheSameLoanIsRefused()
    {
        const int row = rowOf(QStringLiteral("240301090000001"));
        w().CurRow = row;
        w().Cmd_ReturnSel_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("还书成功！共归还 1 本图书。"));
        // Another desk still shows the loan: put it back into this grid and return again.
        exec(QStringLiteral("UPDATE 图书库存 SET 状态 = '借出' WHERE 图书编号 = 'B001'"));
        grid().setTextMatrix(1, 0, QStringLiteral("240301090000001"));
        grid().setTextMatrix(1, 1, QStringLiteral("B001"));
        grid().setTextMatrix(1, 4, QStringLiteral("R001"));
        w().CurRow = 1;
        m_msg->clear();
        w().Cmd_ReturnSel_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(m_msg->last(), QStringLiteral("编号为 [ B001 ] 的图书已经归还！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 1);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("未还书总数")), 1);
        QCOMPARE(copyStatus(QStringLiteral("B001")), QStringLiteral("借出"));  // untouched by the refused return
        QCOMPARE(rowOf(QStringLiteral("240301090000001")), -1);                // the list was read again
        QVERIFY(!SQLConn().InTransaction());  // refused inside the transaction: it was rolled back
    }

    void failurePartWayWritesNothing()
    {
        testsupport::StatementFailer fail(QStringLiteral("UPDATE 读者档案"), 1,
                                          QStringLiteral("reader table locked for test"));
        w().CurRow = rowOf(QStringLiteral("240301090000002"));
        w().Cmd_ReturnSel_Click();
        QVERIFY(m_msg->last().contains(QStringLiteral("reader table locked for test")));
        QCOMPARE(count(QStringLiteral("SELECT 是否已还 FROM 图书借阅 WHERE 图书借阅编号 = '240301090000002'")), 0);
        QCOMPARE(copyStatus(QStringLiteral("B003")), QStringLiteral("借出"));
        QCOMPARE(grid().Rows(), 4);  // refreshed, the loan still open
        QVERIFY(!SQLConn().InTransaction());
    }

    void deleteKeyAndReturnAllDoNothing()
    {
        grid().setFocus();
        QTest::keyClick(grid().view(), Qt::Key_Delete);
        w().Cmd_ReturnAll_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(grid().Rows(), 4);
    }

    // A long list is counted from the open loans, not from their join with
    // copies, titles and readers: in a library the program keeps, the two
    // agree (the refresh and a find alike). A loan that lost its copy, its
    // title or its reader some other way is what the check of the data reports.
    void longListCountedFromTheOpenLoans_data()
    {
        QTest::addColumn<QString>("lose");  // the engine's own statement, beside the program
        QTest::addColumn<QString>("reported");
        QTest::newRow("its copy") << "DELETE FROM 图书库存 WHERE 图书编号 = 'L050'"
                                  << "图书借阅 open loan of a missing copy (loan, copy): 240310090000050, L050";
        QTest::newRow("its title")
            << "DELETE FROM 图书档案 WHERE \"ISBN\" = '978-2'"
            << "图书借阅 open loan of a copy without its title (loan, copy): 240301090000002, B003";
        QTest::newRow("its reader") << "DELETE FROM 读者档案 WHERE 读者编号 = 'R002'"
                                    << "图书借阅 open loan of a missing reader (loan, reader): 240301090000002, R002";
    }
    // More rows than the first part reads, with a find on: the count, which
    // comes after the first screen, is of the rows the find takes (and the
    // refresh's, of every open loan), and the grid follows it.
    void longFindCountsTheRowsItTakes_data()
    {
        QTest::addColumn<QString>("by");  // RID, BID, ISBN, or "" for the refresh
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("column");  // where each row shows what the find matched
        QTest::newRow("reader") << "RID"
                                << "R001" << 69 << 4;
        QTest::newRow("copy") << "BID"
                              << "X0" << 70 << 1;
        QTest::newRow("ISBN") << "ISBN"
                              << "978-1" << 68 << 3;
        QTest::newRow("copy, fewer than a part") << "BID"
                                                 << "X00" << 9 << 1;
        QTest::newRow("refresh") << ""
                                 << "" << 73 << 0;
    }
    void longFindCountsTheRowsItTakes()
    {
        QFETCH(QString, by);
        QFETCH(QString, start);
        QFETCH(int, rows);
        QFETCH(int, column);
        // 70 loans beside the three open ones: 66 of title 978-1, 67 to R001.
        for (int i = 1; i <= 70; ++i) {
            const QString copy = QStringLiteral("X%1").arg(i, 3, 10, QLatin1Char('0'));
            addCopy(copy, i <= 66 ? QStringLiteral("978-1") : QStringLiteral("978-2"));
            loanOut(QStringLiteral("240311090000%1").arg(i, 3, 10, QLatin1Char('0')), copy,
                    i <= 67 ? QStringLiteral("R001") : QStringLiteral("R002"));
        }
        if (by.isEmpty()) {
            w().Cmd_Refresh_Click();
        } else {
            w().Opt_RID->setValue(by == QLatin1String("RID"));
            w().Opt_BID->setValue(by == QLatin1String("BID"));
            w().Opt_ISBN->setValue(by == QLatin1String("ISBN"));
            w().Txt_ID->setText(start);
            w().Cmd_Find_Click();
        }
        QCoreApplication::processEvents();
        QCOMPARE(statusTip(), QStringLiteral("共有 %1 条记录").arg(rows));
        QCOMPARE(grid().Rows(), rows + 1);
        for (int r = 1; r <= rows; ++r) {
            QVERIFY2(grid().TextMatrix(r, column).startsWith(start), qPrintable(grid().TextMatrix(r, column)));
            QCOMPARE(grid().TextMatrix(r, 9), QStringLiteral("否"));
        }
        // (The standard data holds a copy and a reader whose counters no loan
        // backs; the kept count of the open loans is what matters here.)
        for (const QString &line : CheckInvariants(SQLConn()))
            QVERIFY2(!line.startsWith(QLatin1String("lib_open_loans")), qPrintable(line));
    }

    void longListCountedFromTheOpenLoans()
    {
        QFETCH(QString, lose);
        QFETCH(QString, reported);
        for (int i = 1; i <= 80; ++i) {
            const QString copy = QStringLiteral("L%1").arg(i, 3, 10, QLatin1Char('0'));
            addCopy(copy, QStringLiteral("978-1"));
            loanOut(QStringLiteral("240310090000%1").arg(i, 3, 10, QLatin1Char('0')), copy, QStringLiteral("R002"));
        }
        w().Cmd_Refresh_Click();
        // The first screen first, then the count.
        QCOMPARE(grid().Rows(), 66);
        QCoreApplication::processEvents();
        QCOMPARE(statusTip(), QStringLiteral("共有 83 条记录"));
        QCOMPARE(grid().Rows(), 84);
        QCOMPARE(grid().TextMatrix(83, 0), QStringLiteral("240310090000080"));
        w().Opt_RID->setValue(true);
        w().Txt_ID->setText(QStringLiteral("R00"));
        w().Cmd_Find_Click();
        QCoreApplication::processEvents();
        QCOMPARE(statusTip(), QStringLiteral("共有 83 条记录"));
        QCOMPARE(grid().TextMatrix(83, 2), QStringLiteral("数据库原理"));
        QVERIFY(!CheckInvariants(SQLConn()).contains(reported));
        QVERIFY(m_db->raw(lose));
        QVERIFY2(CheckInvariants(SQLConn()).contains(reported), qPrintable(CheckInvariants(SQLConn()).join('\n')));
    }
};

QTEST_MAIN(TestReturn)
#include "tst_return.moc"
