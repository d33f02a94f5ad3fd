// Damaged-book records: the list (joined with loans, copies, titles and readers,
// newest first), its two filters, the editor's add and change with the
// one-record-per-loan rule and the clock-made number, and the delete question.
#include "catalogue/Frm_BookDamage.h"
#include "catalogue/Frm_BookDamageItem.h"
#include "circulation/CirculationFixture.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

using namespace circfix;

class TestBookDamage : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_BookDamage &w() { return vb::Default<Frm_BookDamage>(); }
    Frm_BookDamageItem &ed() { return vb::Default<Frm_BookDamageItem>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }
    int records() { return count(QStringLiteral("SELECT COUNT(*) FROM 图书损坏")); }

    static void loan(const QString &no, const QString &copy, const QString &reader, const QString &returned)
    {
        exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,%2,%3,'2024-03-01','2024-03-31',%4,%5,'admin',%6)")
                 .arg(SQLQuote(no), SQLQuote(copy), SQLQuote(reader),
                      returned.isEmpty() ? QStringLiteral("Null") : SQLQuote(returned),
                      returned.isEmpty() ? QStringLiteral("'0'") : QStringLiteral("'1'"),
                      returned.isEmpty() ? QStringLiteral("Null") : QStringLiteral("'admin'")));
    }
    static void damage(const QString &no, const QString &loanNo, const QString &info, const QString &cash)
    {
        exec(QStringLiteral("INSERT 图书损坏 VALUES(%1,%2,%3,%4,'')")
                 .arg(SQLQuote(no), SQLQuote(loanNo), SQLQuote(info), cash));
    }
    QStringList column(int col)
    {
        QStringList out;
        for (int r = 1; r < grid().Rows(); ++r) out << grid().TextMatrix(r, col);
        return out;
    }
    // The editor as the list leaves it before showing it modal (driven without the modal loop).
    void openEditor(const QString &mode, const QString &id)
    {
        ed().Mode = mode;
        ed().DamageID = id;
        ed().Show();
    }
    static void choose(FCombo *box, const QString &text)
    {
        for (int i = 0; i < box->ListCount(); ++i)
            if (box->List(i) == text) {
                box->setListIndex(i);
                return;
            }
        QFAIL("no such item");
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        loan(QStringLiteral("240301090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
             QStringLiteral("2024-03-10"));
        loan(QStringLiteral("240301090000002"), QStringLiteral("B003"), QStringLiteral("R002"),
             QStringLiteral("2024-03-12"));
        loan(QStringLiteral("240301090000003"), QStringLiteral("B004"), QStringLiteral("R001"), QString());
        loan(QStringLiteral("240301090000004"), QStringLiteral("C001"), QStringLiteral("R002"), QString());
        damage(QStringLiteral("240310090000"), QStringLiteral("240301090000001"), QStringLiteral("封面破损"),
               QStringLiteral("12.5"));
        damage(QStringLiteral("240312090000"), QStringLiteral("240301090000002"), QStringLiteral("缺页"),
               QStringLiteral("3"));
        damage(QStringLiteral("240311090000"), QStringLiteral("NOLOAN"), QStringLiteral("孤立记录"),
               QStringLiteral("1"));
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        ed().Unload();
        w().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    void opensWithTheJoinedRecordsNewestFirst()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("图书损坏管理"));
        QCOMPARE(grid().Cols(), 9);
        QCOMPARE(grid().TextMatrix(0, 5), QStringLiteral("损坏日期"));
        QCOMPARE(grid().TextMatrix(0, 7), QStringLiteral("赔偿金额"));
        QCOMPARE(grid().ColWidth(6), 3000);
        QCOMPARE(grid().ColWidth(7), 900);
        // The record of a missing loan is stored but not listed.
        QCOMPARE(column(0), QStringList({QStringLiteral("240312090000"), QStringLiteral("240310090000")}));
        QCOMPARE(grid().TextMatrix(1, 1), QStringLiteral("R002"));
        QCOMPARE(grid().TextMatrix(1, 2), QStringLiteral("李四"));
        QCOMPARE(grid().TextMatrix(1, 3), QStringLiteral("B003"));
        QCOMPARE(grid().TextMatrix(1, 4), QStringLiteral("操作系统"));
        QCOMPARE(grid().TextMatrix(1, 5), QStringLiteral("2024-03-12"));
        QCOMPARE(grid().TextMatrix(1, 6), QStringLiteral("缺页"));
        QCOMPARE(grid().TextMatrix(2, 7), QStringLiteral("12.50"));
        QCOMPARE(statusTip(), QStringLiteral("共有 2 条记录"));
        QCOMPARE(w().CurRow, 1);
        QVERIFY(w().Pic_SideBar->isVisible());
        // Every reader and every title is offered, none chosen yet.
        QCOMPARE(w().Cmb_Filter_RID->ListCount(), 5);
        QCOMPARE(w().Cmb_Filter_RID->List(0), QStringLiteral("[全部]"));
        QCOMPARE(w().Cmb_Filter_ISBN->ListCount(), 4);
        QCOMPARE(w().Cmb_Filter_ISBN->ListIndex(), -1);
        QVERIFY(!w().Cmb_Filter_ISBN->EnabledText());
    }

    void refusedWithoutTheReturningPermission()
    {
        w().Unload();
        exec(QStringLiteral("UPDATE 账户类型 SET 办理还书权限 = 0"));
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), 0x0000FFL);
        QVERIFY(!w().Cmd_Add->isVisible());
        QVERIFY(!static_cast<QWidget *>(w().Grid_ShowData.get())->isVisible());
        QVERIFY(!w().Pic_SideBar->isVisible());
    }

    void filtersApplyOneAtATime()
    {
        choose(w().Cmb_Filter_RID.get(), QStringLiteral("R001"));
        QCOMPARE(column(0), QStringList({QStringLiteral("240310090000")}));
        choose(w().Cmb_Filter_ISBN.get(), QStringLiteral("978-2"));  // all readers again
        QCOMPARE(column(0), QStringList({QStringLiteral("240312090000")}));
        QCOMPARE(grid().TextMatrix(1, 1), QStringLiteral("R002"));
        choose(w().Cmb_Filter_ISBN.get(), QStringLiteral("978-3"));
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 0), QString());
        choose(w().Cmb_Filter_ISBN.get(), QStringLiteral("[全部]"));
        QCOMPARE(column(0), QStringList({QStringLiteral("240312090000"), QStringLiteral("240310090000")}));
    }

    void addingStoresANumberedRecordAndClosesTheEditor()
    {
        openEditor(QStringLiteral("ADD"), QString());
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加图书损坏"));
        QCOMPARE(ed().Cmd_OK->caption(), QStringLiteral("添加"));
        QVERIFY(ed().Txt_BrwID->Enabled());

        ed().Cmd_OK_Click();  // nothing typed
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        ed().Txt_BrwID->setText(QStringLiteral("240301090000003"));
        ed().Txt_Cash->setText(QStringLiteral("0"));
        ed().Cmd_OK_Click();  // description missing
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(records(), 3);

        ed().Txt_Info->setText(QStringLiteral("水渍"));  // remark may stay empty, amount zero is accepted
        m_msg->clear();
        ed().Cmd_OK_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(scalar(QStringLiteral("SELECT 图书借阅编号 FROM 图书损坏 WHERE 图书损坏编号 = '240315102030'")),
                 QStringLiteral("240301090000003"));
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(10),赔偿金额,0) FROM 图书损坏 WHERE 图书损坏编号 = "
                                       "'240315102030'")),
                 QStringLiteral("0.00"));
        // Listed first, with no damage date while the loan is open.
        QCOMPARE(grid().TextMatrix(1, 0), QStringLiteral("240315102030"));
        QCOMPARE(grid().TextMatrix(1, 5), QString());
        QCOMPARE(grid().Rows(), 4);
    }

    void oneRecordPerLoan()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_BrwID->setText(QStringLiteral("240301090000001"));
        ed().Txt_Info->setText(QStringLiteral("再次损坏"));
        ed().Txt_Cash->setText(QStringLiteral("5"));
        damage(QStringLiteral("240314090000"), QStringLiteral("240301090000004"), QStringLiteral("新记录"),
               QStringLiteral("1"));
        ed().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("该图书借阅编号已经存在！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Txt_Info->Text(), QStringLiteral("再次损坏"));
        QCOMPARE(grid().Rows(), 3);  // not refreshed
        QCOMPARE(records(), 4);
    }

    // The list joins the loan: a record of a loan that isn't there is refused
    // at the save, naming the number as typed, and nothing is written.
    void aLoanThatDoesNotExistIsRefused()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_BrwID->setText(QStringLiteral(" 240301099999999 "));
        ed().Txt_Info->setText(QStringLiteral("缺页"));
        ed().Txt_Cash->setText(QStringLiteral("5"));
        const QString before = m_db->db.dump();
        ed().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("图书借阅编号 [ 240301099999999 ] 不存在！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(m_db->db.dump(), before);
    }

    // Two records in one second would get the same number: the second takes
    // the next free one (also past a record another desk stored meanwhile).
    void twoRecordsInOneSecondGetTheNextFreeNumber()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_BrwID->setText(QStringLiteral("240301090000003"));
        ed().Txt_Info->setText(QStringLiteral("折角"));
        ed().Txt_Cash->setText(QStringLiteral("1.5"));
        ed().Cmd_OK_Click();
        QVERIFY(!ed().IsLoaded());
        damage(QStringLiteral("240315102031"), QStringLiteral("240301090000002"), QStringLiteral("另一处"),
               QStringLiteral("1"));

        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_BrwID->setText(QStringLiteral("240301090000004"));
        ed().Txt_Info->setText(QStringLiteral("划痕"));
        ed().Txt_Cash->setText(QStringLiteral("2"));
        m_msg->clear();
        ed().Cmd_OK_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(m_msg->msgs.size(), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书损坏 WHERE 图书损坏编号 = '240315102032' AND "
                                      "图书借阅编号 = '240301090000004'")),
                 1);
    }

    // A save that fails keeps the editor open with its input, shows the error
    // and refreshes the list, which then shows what another desk stored meanwhile.
    void aFailedSaveKeepsTheInputAndRefreshes()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_BrwID->setText(QStringLiteral("240301090000004"));
        ed().Txt_Info->setText(QStringLiteral("划痕"));
        ed().Txt_Cash->setText(QStringLiteral("2"));
        const int before = grid().Rows();
        damage(QStringLiteral("240101000000"), QStringLiteral("240301090000002"), QStringLiteral("早先"),
               QStringLiteral("1"));
        m_msg->clear();
        {
            testsupport::StatementFailer fail(QStringLiteral("INSERT 图书损坏"), 1, QStringLiteral("damage locked"));
            ed().Cmd_OK_Click();
        }
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(m_msg->last(), QStringLiteral("damage locked"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Txt_Info->Text(), QStringLiteral("划痕"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书损坏 WHERE 图书借阅编号 = '240301090000004'")), 0);
        QCOMPARE(grid().Rows(), before + 1);  // refreshed all the same

        // Once the failure is gone the same input goes through.
        ed().Cmd_OK_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书损坏 WHERE 图书借阅编号 = '240301090000004'")), 1);
    }

    void changingKeepsTheLoanNumber()
    {
        openEditor(QStringLiteral("MOD"), QStringLiteral("240310090000"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("修改图书损坏"));
        QCOMPARE(ed().Cmd_OK->caption(), QStringLiteral("修改"));
        QVERIFY(!ed().Txt_BrwID->Enabled());
        QCOMPARE(ed().Txt_BrwID->Text(), QStringLiteral("240301090000001"));
        QCOMPARE(ed().Txt_Info->Text(), QStringLiteral("封面破损"));
        QCOMPARE(ed().Txt_Cash->Text(), QStringLiteral("12.5"));
        QCOMPARE(ed().Txt_Other->Text(), QString());
        ed().Txt_Info->setText(QStringLiteral("封面撕裂"));
        ed().Txt_Cash->setText(QStringLiteral("20.05"));
        ed().Txt_Other->setText(QStringLiteral("已赔"));
        ed().Cmd_OK_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(m_db->db
                     .rows(QStringLiteral("SELECT 图书借阅编号, 损坏描述, CONVERT(varchar(10),赔偿金额,0), 备注 FROM "
                                          "图书损坏 WHERE 图书损坏编号 = '240310090000'"))
                     .value(0),
                 QStringList({QStringLiteral("240301090000001"), QStringLiteral("封面撕裂"), QStringLiteral("20.05"),
                              QStringLiteral("已赔")}));
        QCOMPARE(grid().TextMatrix(2, 6), QStringLiteral("封面撕裂"));

        // A record that is gone opens with empty boxes; closing saves and refreshes nothing.
        openEditor(QStringLiteral("MOD"), QStringLiteral("999999999999"));
        QCOMPARE(ed().Txt_BrwID->Text(), QString());
        ed().Txt_Info->setText(QStringLiteral("不保存"));
        exec(QStringLiteral("DELETE FROM 图书损坏 WHERE 图书损坏编号 = '240312090000'"));
        emit ed().Cmd_TBarClose->Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(grid().Rows(), 3);
    }

    void cashTakesDigitsAndTwoDecimals()
    {
        openEditor(QStringLiteral("ADD"), QString());
        QLineEdit *box = ed().Txt_Cash->textBox();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("1a2.345"));
        QCOMPARE(ed().Txt_Cash->Text(), QStringLiteral("12.34"));
        ed().Txt_Cash->setText(QString());
        QTest::keyClicks(box, QStringLiteral("123456789.999"));  // 8 characters with the two decimals
        QCOMPARE(ed().Txt_Cash->Text(), QStringLiteral("12345.99"));
    }

    // Modify and double click open the editor modal on the record under CurRow.
    void modifyOpensTheEditorOnTheCurrentRow()
    {
        w().CurRow = 2;
        QString seenMode, seenId, seenBrw;
        QTimer::singleShot(0, this, [&] {
            seenMode = ed().Mode;
            seenId = ed().DamageID;
            seenBrw = ed().Txt_BrwID->Text();
            ed().Cmd_Close_Click();
        });
        emit grid().DblClick();
        QCOMPARE(seenMode, QStringLiteral("MOD"));
        QCOMPARE(seenId, QStringLiteral("240310090000"));
        QCOMPARE(seenBrw, QStringLiteral("240301090000001"));
        QVERIFY(!ed().IsLoaded());

        QString addMode = QStringLiteral("?");
        QTimer::singleShot(0, this, [&] {
            addMode = ed().Mode + QStringLiteral("|") + ed().DamageID;
            ed().Cmd_TBarClose_Click();
        });
        w().Cmd_Add->setFocus();
        emit w().Cmd_Add->Click();
        QCOMPARE(addMode, QStringLiteral("ADD|"));

        // On an empty list nothing opens and nothing is asked.
        choose(w().Cmb_Filter_ISBN.get(), QStringLiteral("978-3"));
        w().Cmd_Modify_Click();
        QVERIFY(!ed().IsLoaded());
        m_msg->clear();
        w().Cmd_Delete_Click();
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void deleteAsksWithoutTheUndoNoteAndAlwaysRefreshes()
    {
        w().CurRow = 2;
        m_msg->answer = 2;
        damage(QStringLiteral("240313090000"), QStringLiteral("240301090000004"), QStringLiteral("后加"),
               QStringLiteral("1"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除编号为 [ 240310090000 ] 的记录吗？"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除记录"));
        QCOMPARE(records(), 4);
        QCOMPARE(grid().Rows(), 4);  // declined, yet refreshed

        m_msg->answer = 1;
        w().CurRow = 3;
        int key = 46, shift = 0;
        emit grid().KeyDown(key, shift);
        QCOMPARE(records(), 3);
        QCOMPARE(column(0), QStringList({QStringLiteral("240313090000"), QStringLiteral("240312090000")}));
    }
};

QTEST_MAIN(TestBookDamage)
#include "tst_bookdamage.moc"
