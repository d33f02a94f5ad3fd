// The titles list: every title with its copy count (0 for none), filters,
// find, sort, compact columns, the editor openings and the deletion of a
// title with its copies.
#include "catalogue/BookFixture.h"
#include "catalogue/Frm_BookInfo.h"

#include <QCursor>
#include <QTableView>
#include <QtTest>

using namespace bookfix;

class TestBookInfo : public QObject, BookListCase<Frm_BookInfo, 2> {
    Q_OBJECT

    int titles(const QString &isbn)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM 图书档案 WHERE ISBN = ") + SQLQuote(isbn));
    }

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void listsEveryTitleWithItsCopyCount()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("图书档案管理"));
        QCOMPARE(grid().Rows(), 5);
        QCOMPARE(grid().Cols(), 9);
        QCOMPARE(grid().TextMatrix(0, 8), QStringLiteral("数量"));
        const int r1 = rowOf(QStringLiteral("978-1"));
        QCOMPARE(grid().TextMatrix(r1, 0), QStringLiteral("数据库原理"));
        QCOMPARE(grid().TextMatrix(r1, 4), QStringLiteral("2020-01-01"));
        QCOMPARE(grid().TextMatrix(r1, 5), QStringLiteral("30.00"));
        QCOMPARE(grid().TextMatrix(r1, 6), QStringLiteral("0.50"));
        QCOMPARE(grid().TextMatrix(r1, 7), QStringLiteral("是"));
        QCOMPARE(grid().TextMatrix(r1, 8), QStringLiteral("4"));
        QCOMPARE(grid().TextMatrix(rowOf(QStringLiteral("978-2")), 8), QStringLiteral("3"));
        QCOMPARE(grid().TextMatrix(rowOf(QStringLiteral("978-3")), 7), QStringLiteral("否"));
        // A title without copies is listed with 0; the copy without a title is not a title.
        const int r4 = rowOf(QStringLiteral("978-4"));
        QVERIFY(r4 >= 1);
        QCOMPARE(grid().TextMatrix(r4, 8), QStringLiteral("0"));
        QCOMPARE(grid().TextMatrix(r4, 4), QString());
        QCOMPARE(statusTip(), QStringLiteral("共有 4 条记录"));
        QCOMPARE(w().CurRow, 1);
        // The sort lists hold the table's columns; the publisher filter every publisher.
        QCOMPARE(w().Cmb_Sort_1->ListCount(), 8);
        QCOMPARE(w().Cmb_Sort_1->List(0), QStringLiteral("ISBN"));
        QCOMPARE(w().Cmb_Filter_Press->ListCount(), 3);
    }

    void filtersReplaceEachOtherAndAllListsEverything()
    {
        FCombo *press = w().Cmb_Filter_Press.get();
        press->setListIndex(press->comboBox()->findText(QStringLiteral("空出版社")));
        QCOMPARE(grid().Rows(), 2);  // header and one empty row
        QCOMPARE(grid().TextMatrix(1, 2), QString());
        QCOMPARE(statusTip(), QStringLiteral("共有 0 条记录"));
        FCombo *writer = w().Cmb_Filter_Writer.get();
        writer->setListIndex(writer->comboBox()->findText(QStringLiteral("作者乙")));
        QCOMPARE(grid().Rows(), 2);  // the publisher filter no longer applies
        QCOMPARE(grid().TextMatrix(1, 2), QStringLiteral("978-4"));
        QCOMPARE(statusTip(), QStringLiteral("共有 1 条记录"));
        writer->setListIndex(0);
        QCOMPARE(grid().Rows(), 5);
        QCOMPARE(statusTip(), QStringLiteral("共有 4 条记录"));
    }

    void findMatchesAPrefixWithoutTheCount()
    {
        ShowSBarTip(QStringLiteral("before"));
        w().Txt_Find_ISBN->setText(QStringLiteral("978-2"));
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 0), QStringLiteral("操作系统"));
        QCOMPARE(statusTip(), QStringLiteral("before"));
        w().Txt_Find_ISBN->setText(QStringLiteral("97"));
        QCOMPARE(grid().Rows(), 5);
        w().Txt_Find_ISBN->setText(QStringLiteral("8"));
        QCOMPARE(grid().Rows(), 2);  // a prefix, not a part
        w().Txt_Find_ISBN->setText(QString());
        QCOMPARE(grid().Rows(), 5);
        QCOMPARE(statusTip(), QStringLiteral("before"));
    }

    void sortOnOneAndTwoColumns()
    {
        // An order chosen before a first column.
        w().Cmb_Sort_1_Order->setListIndex(1);
        QCOMPARE(m_msg->last(), QStringLiteral("第一排序项未选择！"));
        QCOMPARE(m_msg->msgs.last().icon, QStringLiteral("!"));
        m_msg->clear();
        // A filter first: the sort replaces it.
        FCombo *press = w().Cmb_Filter_Press.get();
        press->setListIndex(press->comboBox()->findText(QStringLiteral("空出版社")));
        QCOMPARE(grid().Rows(), 2);
        w().Cmb_Sort_1_Order->setListIndex(-1);
        w().Cmb_Sort_1->setListIndex(0);  // ISBN, order chosen for it: ascending
        QCOMPARE(w().Cmb_Sort_1_Order->ListIndex(), 0);
        QVERIFY(m_msg->msgs.isEmpty());
        QVERIFY(w().SQLText.endsWith(QStringLiteral("ORDER BY 图书档案.ISBN ASC")));
        QCOMPARE(column(grid(), 2), QStringList({"978-1", "978-2", "978-3", "978-4"}));
        w().Cmb_Sort_1_Order->setListIndex(1);
        QCOMPARE(column(grid(), 2), QStringList({"978-4", "978-3", "978-2", "978-1"}));
        // Second key: author ascending (by pinyin 作者甲 sorts before 作者乙), then ISBN descending within it.
        w().Cmb_Sort_1->setListIndex(2);  // 作者
        w().Cmb_Sort_1_Order->setListIndex(0);
        w().Cmb_Sort_2->setListIndex(0);  // ISBN, its order chosen: ascending
        QCOMPARE(w().Cmb_Sort_2_Order->ListIndex(), 0);
        w().Cmb_Sort_2_Order->setListIndex(1);
        QVERIFY(w().SQLText.endsWith(QStringLiteral("ORDER BY 图书档案.作者 ASC,图书档案.ISBN DESC")));
        QCOMPARE(column(grid(), 2), QStringList({"978-3", "978-2", "978-1", "978-4"}));
        w().Cmb_Sort_2_Order->setListIndex(0);
        QCOMPARE(column(grid(), 2), QStringList({"978-1", "978-2", "978-3", "978-4"}));
        // The same column twice is refused and the list stays.
        w().Cmb_Sort_2->setListIndex(2);
        QCOMPARE(m_msg->last(), QStringLiteral("不能选择相同项进行排序！"));
        QCOMPARE(m_msg->msgs.last().title, QStringLiteral("错误"));
        QCOMPARE(grid().Rows(), 5);
    }

    void compactColumnsAndTheSideBarSwitch()
    {
        w().Chk_ShowClose->setValue(vb::vbChecked);
        QCOMPARE(grid().ColWidth(0), 2700);
        QCOMPARE(grid().ColWidth(3), 970);
        QCOMPARE(grid().ColWidth(8), 450);
        const int narrow = grid().Width();
        w().Chk_SBarSwitch->setValue(vb::vbUnchecked);
        QCOMPARE(w().Chk_ShowClose->Value(), 0);
        QCOMPARE(grid().ColWidth(0), 3000);
        QCOMPARE(grid().ColWidth(8), 600);
        QVERIFY(!w().Pic_SideBar->isVisible());
        QCOMPARE(grid().Width(), narrow + w().Pic_SideBar->Width());
    }

    void addAndModifyOpenTheEditor()
    {
        EditorSeen add = runEditor([this] { w().Cmd_Add_Click(); });
        QVERIFY(add.opened);
        QCOMPARE(add.mode, QStringLiteral("ADD_Book"));
        QCOMPARE(add.isbn, QString());
        QCOMPARE(add.caption, QStringLiteral("添加图书"));
        QCOMPARE(add.caller, &w());
        select(QStringLiteral("978-2"));
        EditorSeen mod = runEditor([this] { emit grid().DblClick(); });
        QVERIFY(mod.opened);
        QCOMPARE(mod.mode, QStringLiteral("MOD_Book"));
        QCOMPARE(mod.isbn, QStringLiteral("978-2"));
        QCOMPARE(mod.caption, QStringLiteral("修改图书"));
        // An empty list opens nothing.
        w().Txt_Find_ISBN->setText(QStringLiteral("none"));
        EditorSeen none = runEditor([this] { w().Cmd_Modify_Click(); });
        QVERIFY(!none.opened);
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void withoutThePermissionsNothingOpensOrChanges()
    {
        setPower(QStringLiteral("修改图书权限"), false);
        select(QStringLiteral("978-4"));
        QVERIFY(!runEditor([this] { w().Cmd_Add_Click(); }).opened);
        QVERIFY(!runEditor([this] { w().Cmd_Modify_Click(); }).opened);
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 3);
        for (const Msg &m : m_msg->msgs) {
            QCOMPARE(m.text, QStringLiteral("您没有权限完成当前操作！"));
            QCOMPARE(m.icon, QStringLiteral("x"));
        }
        QCOMPARE(titles(QStringLiteral("978-4")), 1);
        // Without the right to look, the window stays empty.
        w().Unload();
        setPower(QStringLiteral("查看图书权限"), false);
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(!static_cast<QWidget *>(w().Grid_ShowData.get())->isVisible());
        QVERIFY(!w().Cmd_Add->isVisible());
        QVERIFY(!w().Pic_SideBar->isVisible());
        QVERIFY(w().Cmd_TBarClose->isVisible());
    }

    // The pointer rests on the first row; the clerk goes to the last title
    // with the keyboard: Delete asks about that title, the one highlighted.
    void deleteAsksAboutTheTitleTheKeyboardWentTo()
    {
        QTableView *v = grid().view();
        const QPoint firstRow = v->visualRect(v->model()->index(0, 0)).center();
        QCursor::setPos(v->viewport()->mapToGlobal(firstRow));
        QCoreApplication::processEvents();
        QCOMPARE(w().CurRow, 1);
        v->setFocus();
        m_msg->answers = {2, 2};
        QTest::keyClick(v, Qt::Key_End, Qt::ControlModifier);
        const int last = grid().Rows() - 1;
        QCOMPARE(grid().Row(), last);
        QTest::keyClick(v, Qt::Key_Delete);
        QVERIFY(!m_msg->msgs.isEmpty());
        QVERIFY2(m_msg->msgs[0].text.contains(QStringLiteral("[ ") + grid().TextMatrix(last, 0) + QStringLiteral(" ]")),
                 qPrintable(m_msg->msgs[0].text));
    }

    void deletingATitleWithoutCopiesAsksOnce()
    {
        select(QStringLiteral("978-4"));
        QTest::keyClick(grid().view(), Qt::Key_Delete);
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除 [ 无库存之书 ] 的所有信息吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("?"));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("删除图书"));
        QCOMPARE(titles(QStringLiteral("978-4")), 0);
        QCOMPARE(grid().Rows(), 4);
    }

    void deletingATitleWithCopiesAsksTwice()
    {
        // Both answers yes: the copies, then the title.
        select(QStringLiteral("978-2"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(m_msg->msgs[0].text,
                 QStringLiteral("检测到 [ 操作系统 ] 存在库存。\r\n要删除该书必须先删除所有相关库存，确定吗？"));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("删除库存"));
        QCOMPARE(m_msg->msgs[1].title, QStringLiteral("删除图书"));
        QCOMPARE(copies(QStringLiteral("978-2")), 0);
        QCOMPARE(titles(QStringLiteral("978-2")), 0);
        QCOMPARE(rowOf(QStringLiteral("978-2")), -1);

        // Cancelling the copy question keeps both and only refreshes.
        m_msg->clear();
        w().Txt_Find_ISBN->setText(QStringLiteral("978-3"));
        select(QStringLiteral("978-3"));
        m_msg->answers = {2};
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(copies(QStringLiteral("978-3")), 1);
        QCOMPARE(titles(QStringLiteral("978-3")), 1);
        QCOMPARE(grid().Rows(), 4);  // the find no longer applies

        // Copies yes, title no: the title stays with 数量 0.
        m_msg->clear();
        select(QStringLiteral("978-3"));
        m_msg->answers = {1, 2};
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(copies(QStringLiteral("978-3")), 0);
        QCOMPARE(titles(QStringLiteral("978-3")), 1);
        QCOMPARE(grid().TextMatrix(rowOf(QStringLiteral("978-3")), 8), QStringLiteral("0"));
    }

    // A title whose copies are out on loan is not deleted: the loans must stay returnable.
    void aTitleWithCopiesOnLoanIsKept()
    {
        select(QStringLiteral("978-1"));  // B006 is marked lent
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("检测到 [ 数据库原理 ] 有库存尚未归还，不能删除！"));
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("x"));
        QCOMPARE(copies(QStringLiteral("978-1")), 4);
        QCOMPARE(titles(QStringLiteral("978-1")), 1);
        // An open loan counts too, whatever the copy's mark says.
        m_msg->clear();
        exec(QStringLiteral("INSERT 图书借阅 VALUES('240301090000001','B003','R001','2024-03-01','2024-03-31', Null, "
                            "'0', 'admin', Null)"));
        select(QStringLiteral("978-2"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(copies(QStringLiteral("978-2")), 3);
        // Once returned, the title goes with its copies.
        exec(QStringLiteral("UPDATE 图书借阅 SET 是否已还 = '1'"));
        m_msg->clear();
        select(QStringLiteral("978-2"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(titles(QStringLiteral("978-2")), 0);
    }

    // Both questions come before anything is written; when the copies cannot
    // be deleted, the title stays too.
    void aFailedCopyDeletionKeepsTheTitle()
    {
        testsupport::StatementFailer fail(QStringLiteral("DELETE 图书库存"), 0,
                                          QStringLiteral("copies locked for test"));
        select(QStringLiteral("978-3"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 3);
        QCOMPARE(m_msg->msgs[1].title, QStringLiteral("删除图书"));
        QVERIFY(m_msg->last().contains(QStringLiteral("copies locked for test")));
        QCOMPARE(m_msg->msgs.last().title, QStringLiteral("错误"));
        QCOMPARE(titles(QStringLiteral("978-3")), 1);
        QCOMPARE(copies(QStringLiteral("978-3")), 1);
        QCOMPARE(grid().Rows(), 5);
    }

    // The copies and the title go together: a failing title deletion keeps the copies.
    void aFailedTitleDeletionKeepsTheCopies()
    {
        testsupport::StatementFailer fail(QStringLiteral("DELETE 图书档案"), 0, QStringLiteral("titles locked"));
        select(QStringLiteral("978-3"));
        w().Cmd_Delete_Click();
        QVERIFY(fail.fired());
        QVERIFY(m_msg->last().contains(QStringLiteral("titles locked")));
        QCOMPARE(titles(QStringLiteral("978-3")), 1);
        QCOMPARE(copies(QStringLiteral("978-3")), 1);
    }
};

QTEST_MAIN(TestBookInfo)
#include "tst_bookinfo.moc"
