// The copies list: every copy, also one whose title row is missing; filters,
// find, sort, compact columns, the editor openings and the deletion of one
// copy and then, optionally, of every copy of its title.
#include "catalogue/BookFixture.h"
#include "catalogue/Frm_BookStore.h"

#include <QtTest>

using namespace bookfix;

class TestBookStore : public QObject, BookListCase<Frm_BookStore, 0> {
    Q_OBJECT

    bool hasCopy(const QString &id)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM 图书库存 WHERE 图书编号 = ") + SQLQuote(id)) == 1;
    }

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void listsEveryCopyByNumber()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("图书库存管理"));
        QCOMPARE(column(grid(), 0),
                 QStringList({"B001", "B002", "B003", "B004", "B005", "B006", "B007", "C001", "X001"}));
        QCOMPARE(grid().Cols(), 9);
        QCOMPARE(grid().TextMatrix(1, 1), QStringLiteral("数据库原理"));
        QCOMPARE(grid().TextMatrix(1, 4), QStringLiteral("2024-01-01 10:00:00"));
        QCOMPARE(grid().TextMatrix(1, 5), QStringLiteral("admin"));
        QCOMPARE(grid().TextMatrix(rowOf(QStringLiteral("B006")), 8), QStringLiteral("借出"));
        // The copy whose title row is missing is listed with an empty title and author.
        const int x = rowOf(QStringLiteral("X001"));
        QCOMPARE(grid().TextMatrix(x, 1), QString());
        QCOMPARE(grid().TextMatrix(x, 2), QString());
        QCOMPARE(grid().TextMatrix(x, 3), QStringLiteral("999-9"));
        QCOMPARE(statusTip(), QStringLiteral("共有 9 条记录"));
        QCOMPARE(w().Cmb_Filter_ISBN->ListCount(), 5);  // every title's ISBN
    }

    void filtersFindAndSort()
    {
        FCombo *isbn = w().Cmb_Filter_ISBN.get();
        isbn->setListIndex(isbn->comboBox()->findText(QStringLiteral("978-4")));  // a title without copies
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 0), QString());
        QCOMPARE(statusTip(), QStringLiteral("共有 0 条记录"));
        isbn->setListIndex(isbn->comboBox()->findText(QStringLiteral("978-2")));
        QCOMPARE(column(grid(), 0), QStringList({"B003", "B004", "B005"}));
        QCOMPARE(statusTip(), QStringLiteral("共有 3 条记录"));
        isbn->setListIndex(0);
        QCOMPARE(grid().Rows(), 10);
        FCombo *uid = w().Cmb_Filter_UID.get();
        uid->setListIndex(uid->comboBox()->findText(QStringLiteral("admin")));
        QCOMPARE(grid().Rows(), 10);

        // Find: a prefix of the copy number, still ordered, without the count.
        ShowSBarTip(QStringLiteral("before"));
        w().Txt_Find_BID->setText(QStringLiteral("B00"));
        QCOMPARE(column(grid(), 0), QStringList({"B001", "B002", "B003", "B004", "B005", "B006", "B007"}));
        w().Txt_Find_BID->setText(QStringLiteral("C"));
        QCOMPARE(column(grid(), 0), QStringList({"C001"}));
        QCOMPARE(statusTip(), QStringLiteral("before"));

        // Sort: the first column with no order sorts ascending; a second column follows.
        FCombo *s1 = w().Cmb_Sort_1.get();
        s1->setListIndex(s1->comboBox()->findText(QStringLiteral("ISBN")));
        QCOMPARE(w().Cmb_Sort_1_Order->ListIndex(), 0);
        QVERIFY(w().SQLText.endsWith(QStringLiteral("ORDER BY 图书库存.ISBN ASC")));
        QCOMPARE(grid().Rows(), 10);  // the find no longer applies
        QCOMPARE(grid().TextMatrix(9, 0), QStringLiteral("X001"));
        FCombo *s2 = w().Cmb_Sort_2.get();
        s2->setListIndex(0);  // 图书编号
        w().Cmb_Sort_2_Order->setListIndex(1);
        QVERIFY(w().SQLText.endsWith(QStringLiteral("ORDER BY 图书库存.ISBN ASC,图书库存.图书编号 DESC")));
        QCOMPARE(column(grid(), 0).mid(0, 4), QStringList({"C001", "B006", "B002", "B001"}));
        s2->setListIndex(s1->ListIndex());
        QCOMPARE(m_msg->last(), QStringLiteral("不能选择相同项进行排序！"));
    }

    void compactColumnsAndTheSideBarSwitch()
    {
        w().Chk_ShowClose->setValue(vb::vbChecked);
        QCOMPARE(grid().ColWidth(1), 1200);
        QCOMPARE(grid().ColWidth(4), 960);
        QCOMPARE(grid().ColWidth(7), 1200);
        w().Chk_SBarSwitch->setValue(vb::vbUnchecked);
        QCOMPARE(w().Chk_ShowClose->Value(), 0);
        QCOMPARE(grid().ColWidth(1), 3000);
        QCOMPARE(grid().ColWidth(4), 1800);
        QVERIFY(!w().Pic_SideBar->isVisible());
    }

    void addAndDoubleClickOpenTheEditor()
    {
        EditorSeen add = runEditor([this] { w().Cmd_Add_Click(); });
        QVERIFY(add.opened);
        QCOMPARE(add.mode, QStringLiteral("ADD_Book"));
        QCOMPARE(add.isbn, QString());
        QCOMPARE(add.caller, &w());
        select(QStringLiteral("B004"));
        EditorSeen more = runEditor([this] { emit grid().DblClick(); });
        QVERIFY(more.opened);
        QCOMPARE(more.mode, QStringLiteral("ADD_Store"));
        QCOMPARE(more.isbn, QStringLiteral("978-2"));
        QCOMPARE(more.caption, QStringLiteral("添加库存"));
        // On an empty list the double click enters a new title instead.
        w().Txt_Find_BID->setText(QStringLiteral("none"));
        EditorSeen fresh = runEditor([this] { emit grid().DblClick(); });
        QVERIFY(fresh.opened);
        QCOMPARE(fresh.mode, QStringLiteral("ADD_Book"));
        QCOMPARE(fresh.caption, QStringLiteral("添加图书"));
    }

    void withoutThePermissionsNothingOpensOrChanges()
    {
        setPower(QStringLiteral("修改库存权限"), false);
        select(QStringLiteral("B001"));
        QVERIFY(!runEditor([this] { w().Cmd_Add_Click(); }).opened);
        QVERIFY(!runEditor([this] { emit grid().DblClick(); }).opened);
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 3);
        for (const Msg &m : m_msg->msgs) QCOMPARE(m.text, QStringLiteral("您没有权限完成当前操作！"));
        QVERIFY(hasCopy(QStringLiteral("B001")));
        w().Unload();
        setPower(QStringLiteral("查看库存权限"), false);
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QVERIFY(!w().Cmd_Delete->isVisible());
        QVERIFY(!static_cast<QWidget *>(w().Grid_ShowData.get())->isVisible());
    }

    void deletingOneCopyThenOptionallyTheOthers()
    {
        // Second question declined: only this copy goes.
        select(QStringLiteral("B004"));
        m_msg->answers = {1, 2};
        QTest::keyClick(grid().view(), Qt::Key_Delete);
        QCOMPARE(m_msg->texts(),
                 QStringList({QStringLiteral("确实要删除编号为 [ B004 ] 的 [ 操作系统 ] 吗？\r\n提示：该操作不撤销！"),
                              QStringLiteral("是否要删除 [ 操作系统 ] 的同类库存？\r\n提示：该操作不撤销！")}));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("删除库存"));
        QCOMPARE(m_msg->msgs[1].title, QStringLiteral("删除库存"));
        QCOMPARE(m_msg->msgs[1].icon, QStringLiteral("?"));
        QVERIFY(!hasCopy(QStringLiteral("B004")));
        QCOMPARE(copies(QStringLiteral("978-2")), 2);
        QCOMPARE(rowOf(QStringLiteral("B004")), -1);

        // Both agreed: every copy of the title goes, the title stays.
        m_msg->clear();
        select(QStringLiteral("B003"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(copies(QStringLiteral("978-2")), 0);
        QCOMPARE(copies(QStringLiteral("978-1")), 4);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书档案 WHERE ISBN = '978-2'")), 1);
        QCOMPARE(grid().Rows(), 7);

        // The first question declined: nothing goes, the list is read again.
        m_msg->clear();
        w().Txt_Find_BID->setText(QStringLiteral("X"));
        select(QStringLiteral("X001"));
        m_msg->answers = {2};
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY(hasCopy(QStringLiteral("X001")));
        QCOMPARE(grid().Rows(), 7);
    }

    // A copy out on loan is not deleted, alone or with the other copies of its title.
    void copiesOnLoanAreKept()
    {
        select(QStringLiteral("B006"));  // marked lent
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->texts(), QStringList({QStringLiteral("编号为 [ B006 ] 的图书尚未归还，不能删除！")}));
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("x"));
        QVERIFY(hasCopy(QStringLiteral("B006")));

        // B001 may go, but its title has a copy on loan: the others stay.
        m_msg->clear();
        select(QStringLiteral("B001"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(m_msg->last(), QStringLiteral("[ 数据库原理 ] 的同类库存中有图书尚未归还，不能全部删除！"));
        QVERIFY(!hasCopy(QStringLiteral("B001")));
        QCOMPARE(copies(QStringLiteral("978-1")), 3);

        // An open loan counts even when the copy is not marked.
        m_msg->clear();
        exec(QStringLiteral("INSERT 图书借阅 VALUES('240301090000001','B007','R001','2024-03-01','2024-03-31', Null, "
                            "'0', 'admin', Null)"));
        select(QStringLiteral("B007"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY(hasCopy(QStringLiteral("B007")));
    }
};

QTEST_MAIN(TestBookStore)
#include "tst_bookstore.moc"
