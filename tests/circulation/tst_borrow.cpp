// Lending: reader look-up, collecting copies, confirmation, and the writes of
// one lending made as one unit.
#include "circulation/CirculationFixture.h"
#include "circulation/Frm_BorrowBook.h"
#include "core/ClockNumber.h"
#include "db/Transaction.h"

#include <QApplication>
#include <QtTest>

using namespace circfix;

class TestBorrow : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_BorrowBook &w() { return vb::Default<Frm_BorrowBook>(); }

    void open() { showChild(w()); }
    static void type(FTextBox *box, const QString &text)
    {
        box->setText(QString());
        box->textBox()->setFocus();
        QTest::keyClicks(box->textBox(), text);
    }
    static void enter(FTextBox *box) { QTest::keyClick(box->textBox(), Qt::Key_Return); }
    void reader(const QString &id)
    {
        type(w().Txt_RID.get(), id);
        enter(w().Txt_RID.get());
    }
    void copy(const QString &id)
    {
        type(w().Txt_BID.get(), id);
        enter(w().Txt_BID.get());
    }
    int rows() { return w().Lst_View->ListItems().Count(); }
    int loans() { return count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅")); }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
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

    void gateRefusedShowsOnlyTheRedTitle()
    {
        w().Unload();
        exec(QStringLiteral("UPDATE 账户类型 SET 办理借书权限 = 0"));
        open();
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(!w().Frame_Reader->isVisible());
        QVERIFY(!w().Frame_View->isVisible());
        QVERIFY(!w().Cmd_OK->isVisible());
        QVERIFY(w().Cmd_TBarClose->isVisible());
    }

    // The last row of boxes in the reader and book frames has at least the
    // room below it that lies between two rows, clear of the frame's border.
    void theFramesLeaveRoomBelowTheirLastRow()
    {
        const auto check = [](vb::Frame *frame, const QList<FTextBox *> &boxes) {
            int lowest = 0, rowGap = 1 << 30;
            QList<int> tops;
            for (FTextBox *b : boxes) {
                QCOMPARE(b->parentWidget(), static_cast<QWidget *>(frame));
                lowest = std::max(lowest, b->Top() + b->Height());
                if (!tops.contains(b->Top())) tops << b->Top();
            }
            std::sort(tops.begin(), tops.end());
            for (int i = 1; i < tops.size(); ++i) rowGap = std::min(rowGap, tops[i] - tops[i - 1] - boxes[0]->Height());
            QVERIFY(tops.size() >= 2);
            QVERIFY2(frame->Height() - lowest >= rowGap,
                     qPrintable(QStringLiteral("%1: %2 twips below the last row, %3 between rows")
                                    .arg(frame->objectName())
                                    .arg(frame->Height() - lowest)
                                    .arg(rowGap)));
        };
        QList<FTextBox *> reader, book;
        for (int i = 0; i < 9; ++i) reader << w().Txt_Reader(i);
        for (int i = 0; i < 6; ++i) book << w().Txt_Book(i);
        check(w().Frame_Reader.get(), reader);
        check(w().Frame_Book.get(), book);
        // The frames follow each other without overlapping.
        QVERIFY(w().Frame_Reader->Top() + w().Frame_Reader->Height() < w().Frame_Book->Top());
        QVERIFY(w().Frame_Book->Top() + w().Frame_Book->Height() < w().Frame_View->Top());
    }

    void readerLookUpTrimsAndShowsTheCategory()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("借书"));
        reader(QStringLiteral("  R001  "));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(w().AcceptedReader(), QStringLiteral("R001"));
        QCOMPARE(w().Lbl_ShowRID->Caption(), QStringLiteral("R001"));
        QCOMPARE(w().Txt_Reader(0)->Text(), QStringLiteral("张三"));
        QCOMPARE(w().Txt_Reader(2)->Text(), QStringLiteral("学生"));
        QCOMPARE(w().Txt_Reader(3)->Text(), QStringLiteral("12.50"));
        QCOMPARE(w().Txt_Reader(4)->Text(), QStringLiteral("正常"));
        QCOMPARE(w().Txt_Reader(5)->Text(), QStringLiteral("30"));
        QCOMPARE(w().Txt_Reader(6)->Text(), QStringLiteral("0"));
        QCOMPARE(w().Txt_Reader(7)->Text(), QStringLiteral("5"));
        QCOMPARE(w().Txt_Reader(8)->Text(), QStringLiteral("5"));
        QVERIFY(w().Txt_BID->textBox()->hasFocus());

        // An empty box keeps the accepted reader, without a message.
        reader(QStringLiteral("   "));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(w().AcceptedReader(), QStringLiteral("R001"));
    }

    // Money is shown to the cent, half away from zero, from the exact stored
    // value: where cutting the digits or rounding a binary double would show
    // another cent (0.125, 2.675, 2.665), the boxes and the list show the
    // rounded one, and a sum that rounds to nothing shows no sign.
    void moneyShownRoundedToTheCent_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        for (const auto &[stored, shown] : {std::pair{"0.125", "0.13"},
                                            {"2.675", "2.68"},
                                            {"2.665", "2.67"},
                                            {"1.005", "1.01"},
                                            {"0.0049", "0.00"},
                                            {"19.99995", "20.00"},
                                            {"-0.125", "-0.13"},
                                            {"-0.0049", "0.00"},
                                            {"12345.675", "12345.68"}})
            QTest::newRow(stored) << QString::fromLatin1(stored) << QString::fromLatin1(shown);
    }
    void moneyShownRoundedToTheCent()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        exec(QStringLiteral("UPDATE 读者档案 SET 账户金额 = %1 WHERE 读者编号 = 'R001'").arg(stored));
        exec(QStringLiteral("UPDATE 图书档案 SET 每日租金 = %1 WHERE ISBN = '978-1'").arg(stored));
        reader(QStringLiteral("R001"));
        copy(QStringLiteral("B001"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(w().Txt_Reader(3)->Text(), shown);
        QCOMPARE(w().Txt_Book(2)->Text(), shown);
        QCOMPARE(rows(), 1);
        QCOMPARE(w().Lst_View->ListItems()(1).SubItems(3), shown);
    }

    void unknownReaderAfterAKnownOne()
    {
        reader(QStringLiteral("R001"));
        reader(QStringLiteral("R999"));
        QCOMPARE(m_msg->last(), QStringLiteral("找不到编号为R999的用户！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(w().AcceptedReader(), QString());
        QCOMPARE(w().Txt_Reader(0)->Text(), QStringLiteral("张三"));  // the old data stay on screen
        copy(QStringLiteral("B001"));
        QCOMPARE(m_msg->last(), QStringLiteral("请先输入正确的读者编号！"));
        QCOMPARE(rows(), 0);
        m_msg->clear();
        w().Cmd_OK_Click();  // no reader: the fresh read finds no row
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(loans(), 0);
    }

    void copiesAreTestedWhenAdded()
    {
        reader(QStringLiteral("R001"));
        copy(QStringLiteral("B001"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(rows(), 1);
        vb::ListItem it = w().Lst_View->ListItems()(1);
        QCOMPARE(it.Text(), QStringLiteral("数据库原理"));
        QCOMPARE(it.SubItems(1), QStringLiteral("B001"));
        QCOMPARE(it.SubItems(2), QStringLiteral("978-1"));
        QCOMPARE(it.SubItems(3), QStringLiteral("0.50"));
        QCOMPARE(it.SubItems(4), QStringLiteral("2024-04-14"));  // today + 30 days
        QVERIFY(it.Checked());
        QCOMPARE(w().Txt_Book(5)->Text(), QStringLiteral("是"));

        const struct {
            QString typed, text, title;
        } refusals[] = {
            {QStringLiteral("B001"), QStringLiteral("编号为 [ B001 ] 的图书已经添加！"), QStringLiteral("重复添加")},
            {QStringLiteral("  B001 "), QStringLiteral("编号为 [ B001 ] 的图书已经添加！"), QStringLiteral("重复添加")},
            {QStringLiteral("b001"), QStringLiteral("编号为 [ b001 ] 的图书已经添加！"), QStringLiteral("重复添加")},
            {QStringLiteral("X999"), QStringLiteral("找不到编号为X999的图书！"), QStringLiteral("错误")},
            {QStringLiteral("B006"), QStringLiteral("编号为B006的图书已借出！"), QStringLiteral("错误")},
            {QStringLiteral("B007"), QStringLiteral("编号为B007的图书不可外借！"), QStringLiteral("错误")},
        };
        for (const auto &r : refusals) {
            m_msg->clear();
            copy(r.typed);
            QCOMPARE(m_msg->msgs.size(), 1);
            QCOMPARE(m_msg->last(), r.text);
            QCOMPARE(m_msg->lastTitle(), r.title);
            QCOMPARE(rows(), 1);
        }
        // A never-lent copy and a free one are both accepted.
        m_msg->clear();
        copy(QStringLiteral("B002"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(rows(), 2);
    }

    void limitReachedExactlyAndExceeded()
    {
        reader(QStringLiteral("R003"));  // holds 3 of 5
        copy(QStringLiteral("B001"));
        copy(QStringLiteral("B002"));
        copy(QStringLiteral("B003"));
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("超过借书数量上限！"));
        QCOMPARE(loans(), 0);
        QCOMPARE(rows(), 3);
        w().Lst_View->ListItems()(3).setChecked(false);
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("借书成功！共借出 2 本图书。"));
        QCOMPARE(counter(QStringLiteral("R003"), QStringLiteral("当前借书数量")), 5);
        QCOMPARE(copyStatus(QStringLiteral("B003")), QStringLiteral("空闲"));
    }

    void untickedMiddleRowLeavesAGapInTheNumbers()
    {
        reader(QStringLiteral("R001"));
        copy(QStringLiteral("B001"));
        copy(QStringLiteral("B003"));
        copy(QStringLiteral("B004"));
        w().Lst_View->ListItems()(2).setChecked(false);
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("借书成功！共借出 2 本图书。"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("借书成功"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(loans(), 2);
        QCOMPARE(scalar(QStringLiteral("SELECT 图书编号 FROM 图书借阅 WHERE 图书借阅编号 = '240315102030001'")),
                 QStringLiteral("B001"));
        QCOMPARE(scalar(QStringLiteral("SELECT 图书编号 FROM 图书借阅 WHERE 图书借阅编号 = '240315102030003'")),
                 QStringLiteral("B004"));
        QCOMPARE(scalar(QStringLiteral("SELECT 读者编号 FROM 图书借阅 WHERE 图书借阅编号 = '240315102030003'")),
                 QStringLiteral("R001"));
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(10),理论还书日期,23) FROM 图书借阅 WHERE 图书借阅编号 = "
                                       "'240315102030003'")),
                 QStringLiteral("2024-04-14"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = '0' AND 借书经手人 = 'admin' AND "
                                      "实际还书日期 IS NULL AND 还书经手人 IS NULL")),
                 2);
        QCOMPARE(copyStatus(QStringLiteral("B001")), QStringLiteral("借出"));
        QCOMPARE(copyStatus(QStringLiteral("B003")), QStringLiteral("空闲"));
        QCOMPARE(copyStatus(QStringLiteral("B004")), QStringLiteral("借出"));
        QCOMPARE(scalar(QStringLiteral("SELECT 最近读者编号 FROM 图书库存 WHERE 图书编号 = 'B004'")),
                 QStringLiteral("R001"));
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 2);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("总借书数量")), 2);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("未还书总数")), 2);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("总借书次数")), 1);
        // The window is cleared for the next reader.
        QCOMPARE(rows(), 0);
        QCOMPARE(w().AcceptedReader(), QString());
        QCOMPARE(w().Txt_RID->Text(), QString());
        QCOMPARE(w().Lbl_ShowRID->Caption(), QString());
    }

    void disabledReaderIsRefusedByName()
    {
        reader(QStringLiteral("R004"));
        QVERIFY(m_msg->msgs.isEmpty());
        copy(QStringLiteral("B001"));
        QCOMPARE(rows(), 1);
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("读者 [ 赵六 ] 为停用状态，不可借书！"));
        QCOMPARE(loans(), 0);
        QCOMPARE(rows(), 1);

        m_msg->clear();
        w().Lst_View->ListItems()(1).setChecked(false);
        reader(QStringLiteral("R001"));
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请选择要借出的图书！"));
    }

    void secondReaderTakesTheListedRows()
    {
        reader(QStringLiteral("R001"));
        copy(QStringLiteral("B001"));
        reader(QStringLiteral("R002"));
        QCOMPARE(rows(), 1);
        QCOMPARE(w().Lbl_ShowRID->Caption(), QStringLiteral("R002"));
        w().Cmd_OK_Click();
        QCOMPARE(scalar(QStringLiteral("SELECT 读者编号 FROM 图书借阅")), QStringLiteral("R002"));
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(10),理论还书日期,23) FROM 图书借阅")),
                 QStringLiteral("2024-04-14"));
        QCOMPARE(counter(QStringLiteral("R002"), QStringLiteral("当前借书数量")), 1);
    }

    // A copy lent at another desk after it was put on this desk's list is refused
    // at confirmation, and nothing of the lending is written.
    void copyLentElsewhereMeanwhileIsRefused()
    {
        reader(QStringLiteral("R001"));
        copy(QStringLiteral("B003"));
        copy(QStringLiteral("B001"));
        exec(QStringLiteral("UPDATE 图书库存 SET 状态 = '借出' WHERE 图书编号 = 'B001'"));
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("编号为B001的图书已借出！"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(loans(), 0);
        QCOMPARE(copyStatus(QStringLiteral("B003")), QStringLiteral("空闲"));
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 0);
        QCOMPARE(rows(), 2);  // reader and list stay for the clerk
        QCOMPARE(w().AcceptedReader(), QStringLiteral("R001"));
        QVERIFY(!SQLConn().InTransaction());  // refused inside the transaction: it was rolled back
    }

    // A failure part-way leaves the database as it was and shows the error.
    void failureAtTheSecondStatementWritesNothing()
    {
        reader(QStringLiteral("R001"));
        copy(QStringLiteral("B001"));
        copy(QStringLiteral("B003"));
        testsupport::StatementFailer fail(QStringLiteral("UPDATE 图书库存"), 1,
                                          QStringLiteral("copy table locked for test"));
        w().Cmd_OK_Click();
        QVERIFY(fail.fired());
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY2(m_msg->last().contains(QStringLiteral("copy table locked for test")), qPrintable(m_msg->last()));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(loans(), 0);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 0);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("总借书次数")), 0);
        QCOMPARE(rows(), 2);
        QVERIFY(!SQLConn().InTransaction());
    }

    // A number made from the clock that is taken moves past the highest one
    // of its second (a loan number's second is its first twelve digits; a
    // twelve-digit number is a second of its own); numbers of other seconds
    // and of another width don't count.
    void clockNumbers_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("expected");
        const QString loans = QStringLiteral("图书借阅"), deposits = QStringLiteral("充值记录");
        QTest::newRow("loan, free") << loans << QStringList{} << "240315102030001"
                                    << "240315102030001";
        QTest::newRow("loan, taken") << loans << QStringList{"240315102030001"} << "240315102030001"
                                     << "240315102030002";
        QTest::newRow("loan, past the highest of the second")
            << loans << QStringList{"240315102030001", "240315102030003"} << "240315102030001"
            << "240315102030004";
        QTest::newRow("loan, a higher one of the second")
            << loans << QStringList{"240315102030005"} << "240315102030002"
            << "240315102030006";
        QTest::newRow("loan, the next second doesn't count")
            << loans << QStringList{"240315102031001", "240315102030000"} << "240315102030001"
            << "240315102030001";
        QTest::newRow("loan, the last place of the second")
            << loans << QStringList{"240315102030999"} << "240315102030999"
            << "240315102031000";
        QTest::newRow("loan, another width doesn't count")
            << loans << QStringList{"2403151020300019"} << "240315102030001"
            << "240315102030001";
        QTest::newRow("deposit, free") << deposits << QStringList{"240315102031"} << "240315102030"
                                       << "240315102030";
        QTest::newRow("deposit, taken") << deposits << QStringList{"240315102030", "240315102031"} << "240315102030"
                                        << "240315102032";
        QTest::newRow("deposit, none left at its width") << deposits << QStringList{"999999999999"} << "999999999999"
                                                         << "999999999999";
    }
    void clockNumbers()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, taken);
        QFETCH(QString, candidate);
        QFETCH(QString, expected);
        for (const QString &n : taken)
            exec(table == QStringLiteral("充值记录")
                     ? QStringLiteral("INSERT 充值记录 VALUES (%1,'R001',1,'2024-03-15','admin')").arg(SQLQuote(n))
                     : QStringLiteral("INSERT 图书借阅 VALUES (%1,'B001','R001','2024-03-15','2024-04-15',Null,'1',"
                                      "'admin',Null)")
                           .arg(SQLQuote(n)));
        const QString column =
            table == QStringLiteral("充值记录") ? QStringLiteral("充值编号") : QStringLiteral("图书借阅编号");
        ado::Transaction trans(SQLConn());
        QCOMPARE(FreeClockNumber(SQLConn(), table, column, candidate), expected);
    }

    // Two desks taking a number of the same second at once: the second desk
    // passes over the number the first one holds (not yet stored) and takes
    // the next, without waiting for it. (The embedded file lets one desk write
    // at a time: the second can't begin before the first is done.)
    void aNumberHeldByAnotherDeskIsPassedOver()
    {
        if (!testsupport::TempDb::onServer()) QSKIP("the embedded file has one writer at a time");
        const QString candidate = QStringLiteral("240315102030001");
        ado::Connection other;
        other.ConnectionTimeout = 1;
        other.Open(m_db->db.connectionString());
        ado::Transaction first(other);
        QCOMPARE(FreeClockNumber(other, QStringLiteral("图书借阅"), QStringLiteral("图书借阅编号"), candidate),
                 candidate);
        {
            ado::Transaction second(SQLConn());
            QCOMPARE(FreeClockNumber(SQLConn(), QStringLiteral("图书借阅"), QStringLiteral("图书借阅编号"), candidate),
                     QStringLiteral("240315102030002"));
        }
        first.Commit();
        // Let go with the transaction: the number is free again for the next desk.
        ado::Transaction third(SQLConn());
        QCOMPARE(FreeClockNumber(SQLConn(), QStringLiteral("图书借阅"), QStringLiteral("图书借阅编号"), candidate),
                 candidate);
    }
};

QTEST_MAIN(TestBorrow)
#include "tst_borrow.moc"
