// The list window family: permission gate, side bar, filter, find, two-level
// sort, row tracking by mouse and keys, through a small member over the
// publishers table and through the returning window.
#include "circulation/CirculationFixture.h"
#include "circulation/Frm_ReturnBook.h"
#include "core/ChildListForm.h"

#include <QApplication>
#include <QCollator>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

using namespace circfix;

// A member with every feature of the family: two-column filter, find, sort, delete and modify.
class Frm_TestList : public ChildListForm {
public:
    Frm_TestList() : ChildListForm(QStringLiteral("Frm_TestList")) { setCaption(QStringLiteral("测试列表")); }

    vb::Ctl<XButton> Cmd_Delete{this};
    vb::Ctl<FCombo> Cmb_Filter_Post{this};
    vb::Ctl<FTextBox> Txt_Find_Name{this};
    vb::Ctl<FCombo> Cmb_Sort_1{this};
    vb::Ctl<FCombo> Cmb_Sort_1_Order{this};
    vb::Ctl<FCombo> Cmb_Sort_2{this};
    vb::Ctl<FCombo> Cmb_Sort_2_Order{this};
    QStringList deleted, modified;

protected:
    QString GatePower() const override { return QStringLiteral("修改图书权限"); }
    void CreateControls() override
    {
        CreateTitleBar();
        Cmd_Delete = CreateButton(QStringLiteral("Cmd_Delete"), QStringLiteral("删除"), 240, 600, 1200, 375);
        AddWorkingControl(Cmd_Delete.peek());
        CreateGrid(240, 1110, 8000, 5000);
        CreateSBarSwitch(7000, 660);
        vb::PictureBox *side = CreateSideBar();
        auto combo = [&](const QString &name, int top) {
            auto *c = new FCombo(side, name);
            c->Move(240, top, 2700, 300);
            return c;
        };
        Cmb_Filter_Post = combo(QStringLiteral("Cmb_Filter_Post"), 300);
        auto *find = new FTextBox(side, QStringLiteral("Txt_Find_Name"));
        find->Move(240, 800, 2700, FTextBox::FixedHeight);
        Txt_Find_Name = find;
        Cmb_Sort_1 = combo(QStringLiteral("Cmb_Sort_1"), 1300);
        Cmb_Sort_1_Order = combo(QStringLiteral("Cmb_Sort_1_Order"), 1700);
        Cmb_Sort_2 = combo(QStringLiteral("Cmb_Sort_2"), 2100);
        Cmb_Sort_2_Order = combo(QStringLiteral("Cmb_Sort_2_Order"), 2500);
        connect(Cmb_Filter_Post.peek(), &FCombo::Click, this,
                [this] { ApplyFilter(Cmb_Filter_Post.get(), QStringLiteral("邮编")); });
        connect(find, &FTextBox::Change, this,
                [this] { ApplyFind(QStringLiteral("出版社名称"), Txt_Find_Name->Text()); });
        for (FCombo *c : {Cmb_Sort_1.peek(), Cmb_Sort_1_Order.peek(), Cmb_Sort_2.peek(), Cmb_Sort_2_Order.peek()})
            connect(c, &FCombo::Click, this, [this] {
                ApplySort(QStringLiteral("出版社"), Cmb_Sort_1.get(), Cmb_Sort_1_Order.get(), Cmb_Sort_2.get(),
                          Cmb_Sort_2_Order.get());
            });
    }
    void ResetQuery() override
    {
        SQLSelect = QStringLiteral("SELECT *");
        SQLFrom = QStringLiteral("FROM 出版社");
        SQLWhere = QStringLiteral("WHERE 1 = 1");
        SQLOrder.clear();
        ComposeSQL();
    }
    void InitGrid() override
    {
        Grid_ShowData->Clear();
        Grid_ShowData->setCols(3);
        Grid_ShowData->setColWidth(0, 2000);
    }
    void FillSideBarLists() override
    {
        Cmb_Filter_Post->AddItem(QStringLiteral("[全部]"));
        for (const char *p : {"100000", "200000"}) Cmb_Filter_Post->AddItem(QString::fromLatin1(p));
        for (FCombo *c : {Cmb_Sort_1.get(), Cmb_Sort_2.get()})
            for (const QString &f : {QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")})
                c->AddItem(f);
        for (FCombo *c : {Cmb_Sort_1_Order.get(), Cmb_Sort_2_Order.get()}) {
            c->AddItem(QStringLiteral("升序"));
            c->AddItem(QStringLiteral("降序"));
        }
    }
    void DeleteAction() override { deleted << Grid_ShowData->TextMatrix(CurRow, 0); }
    void ModifyAction() override { modified << Grid_ShowData->TextMatrix(CurRow, 0); }
};

class TestListFamily : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_TestList &w() { return vb::Default<Frm_TestList>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }

    template <class F> void open(F &f) { showChild(f); }
    QStringList column0()
    {
        QStringList r;
        for (int i = 1; i < grid().Rows(); ++i) r << grid().TextMatrix(i, 0);
        return r;
    }
    static void pointTo(QWidget *w, const QPoint &p)
    {
        QCursor::setPos(w->mapToGlobal(p));
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        exec(QStringLiteral("INSERT 出版社 VALUES ('科学出版社','北京','100000')"));
        exec(QStringLiteral("INSERT 出版社 VALUES ('科技文献出版社','上海','200000')"));
        exec(QStringLiteral("INSERT 出版社 VALUES ('上海译文出版社','上海','200000')"));
        m_msg = std::make_unique<MsgRecorder>();
        w().deleted.clear();
        w().modified.clear();
    }
    void cleanup()
    {
        w().Unload();
        vb::Default<Frm_ReturnBook>().Unload();
        m_msg.reset();
        m_db.reset();
    }

    void gateRefusedShowsTheRedTitleAndRunsNoQuery()
    {
        exec(QStringLiteral("UPDATE 账户类型 SET 修改图书权限 = 0"));
        open(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(!grid().isVisible());
        QVERIFY(!w().Pic_SideBar->isVisible());
        QVERIFY(!w().Chk_SBarSwitch->isVisible());
        QVERIFY(!w().Cmd_Delete->isVisible());
        QVERIFY(w().Cmd_TBarClose->isVisible());
        QVERIFY(w().SQLText.isEmpty());
        // The close button keeps to the right end of the title bar, and still works.
        QCOMPARE(w().Cmd_TBarClose->Left(), w().Pic_TitleBar->Width() - 360);
        emit w().Cmd_TBarClose->Click();
        QVERIFY(!w().IsLoaded());
    }

    void gateGrantedFillsTheList()
    {
        open(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("测试列表"));
        QVERIFY(grid().isVisible());
        QVERIFY(w().Pic_SideBar->isVisible());
        QCOMPARE(w().Chk_SBarSwitch->Value(), 1);
        QCOMPARE(grid().Rows(), 5);
        QCOMPARE(w().CurRow, 1);
        QCOMPARE(grid().ColWidth(0), 2000);
    }

    void filterAllShowsTheDefaultList()
    {
        open(w());
        w().Cmb_Filter_Post->setListIndex(2);
        QCOMPARE(grid().Rows(), 3);
        QVERIFY(w().SQLText.contains(QStringLiteral("AND 邮编 = '200000'")));
        w().Cmb_Filter_Post->setListIndex(0);
        QCOMPARE(grid().Rows(), 5);
        QVERIFY(!w().SQLText.contains(QStringLiteral("邮编")));
    }

    void findNarrowsAtEveryKeystrokeAndClearingShowsAll()
    {
        open(w());
        FTextBox *find = w().Txt_Find_Name.get();
        find->textBox()->setFocus();
        QList<int> rows;
        for (const QString &ch : {QStringLiteral("科"), QStringLiteral("技")}) {
            typeText(find->textBox(), ch);
            rows << grid().Rows() - 1;
        }
        QCOMPARE(rows, (QList<int>{2, 1}));
        QCOMPARE(grid().TextMatrix(1, 0), QStringLiteral("科技文献出版社"));
        find->setText(QString());
        QCOMPARE(grid().Rows(), 5);
        // Only the latest criterion applies: a filter after a find drops the find.
        find->setText(QStringLiteral("科"));
        w().Cmb_Filter_Post->setListIndex(2);
        QCOMPARE(column0().size(), 2);
        QVERIFY(!w().SQLText.contains(QStringLiteral("LIKE")));
    }

    void sortMessagesAndTheDefaultAscendingOrder()
    {
        open(w());
        w().Cmb_Sort_1_Order->setListIndex(1);
        QCOMPARE(m_msg->last(), QStringLiteral("第一排序项未选择！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        m_msg->clear();

        FCombo *o1 = w().Cmb_Sort_1_Order.get();
        // Reset the order box to "no selection" and choose a first field: the order becomes "升序".
        o1->Clear();
        o1->AddItem(QStringLiteral("升序"));
        o1->AddItem(QStringLiteral("降序"));
        w().Cmb_Sort_1->setListIndex(0);
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(o1->ListIndex(), 0);
        QCOMPARE(o1->Text(), QStringLiteral("升序"));
        QCOMPARE(w().SQLOrder, QStringLiteral("ORDER BY 出版社.出版社名称 ASC"));
        QStringList asc = column0();
        QStringList sorted = asc;  // Chinese text sorts by pinyin, as on the server
        std::sort(sorted.begin(), sorted.end(), QCollator(QLocale(QLocale::Chinese, QLocale::China)));
        QCOMPARE(asc, sorted);

        o1->setListIndex(1);
        QCOMPARE(w().SQLOrder, QStringLiteral("ORDER BY 出版社.出版社名称 DESC"));

        w().Cmb_Sort_2->setListIndex(0);
        QCOMPARE(m_msg->last(), QStringLiteral("不能选择相同项进行排序！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        w().Cmb_Sort_2->setListIndex(1);
        w().Cmb_Sort_2_Order->setListIndex(1);
        QCOMPARE(w().SQLOrder, QStringLiteral("ORDER BY 出版社.出版社名称 DESC,出版社.地址 DESC"));
    }

    void hidingTheSideBarWidensTheGrid()
    {
        open(w());
        const int before = grid().Width();
        const int side = w().Pic_SideBar->Width();
        QCOMPARE(side, 3240);
        w().Chk_SBarSwitch->setValue(0);
        QVERIFY(!w().Pic_SideBar->isVisible());
        QCOMPARE(grid().Width(), before + side);
        QCOMPARE(grid().Width(), w().Width() - grid().Left() - 285);
        w().Chk_SBarSwitch->setValue(1);
        QCOMPARE(grid().Width(), before);
    }

    void mouseSelectsWholeRowsButNotTheHeader()
    {
        open(w());
        QTableView *v = grid().view();
        pointTo(v->horizontalHeader(), QPoint(10, v->horizontalHeader()->height() / 2));
        QCOMPARE(w().CurRow, 1);
        QCOMPARE(grid().Row(), 1);
        const QRect r3 = v->visualRect(v->model()->index(3 - grid().FixedRows(), 1));
        pointTo(v->viewport(), r3.center());
        QCOMPARE(w().CurRow, 3);
        QCOMPARE(grid().Row(), 3);
        QCOMPARE(grid().Col(), 0);
        QCOMPARE(grid().ColSel(), grid().Cols() - 1);
        pointTo(v->horizontalHeader(), QPoint(10, 5));
        QCOMPARE(w().CurRow, 3);
        emit grid().DblClick();
        QCOMPARE(w().modified, QStringList{grid().TextMatrix(3, 0)});
    }

    void downThenDeleteActsOnTheHighlightedRow()
    {
        open(w());
        grid().view()->setFocus();
        QTest::keyClick(grid().view(), Qt::Key_Down);
        QCOMPARE(w().CurRow, 2);
        QTest::keyClick(grid().view(), Qt::Key_Delete);
        QCOMPARE(w().deleted, QStringList{grid().TextMatrix(2, 0)});
        QTest::keyClick(grid().view(), Qt::Key_Up);
        QCOMPARE(w().CurRow, 1);
    }

    // However the highlighted row moves (keys of a whole page or of the list's
    // ends, a click), the actions work on it.
    void everyMoveOfTheHighlightedRowIsFollowed()
    {
        open(w());
        QTableView *v = grid().view();
        v->setFocus();
        const int last = grid().Rows() - 1;
        QVERIFY(last >= 3);
        const auto deleteNow = [&] {
            w().deleted.clear();
            QTest::keyClick(v, Qt::Key_Delete);
            return w().deleted;
        };
        const auto expectRow = [&](int row) {
            QCOMPARE(grid().Row(), row);
            QCOMPARE(w().CurRow, row);
            QCOMPARE(deleteNow(), QStringList{grid().TextMatrix(row, 0)});
        };
        QTest::keyClick(v, Qt::Key_End, Qt::ControlModifier);
        expectRow(last);
        QTest::keyClick(v, Qt::Key_Home, Qt::ControlModifier);
        expectRow(1);
        QTest::keyClick(v, Qt::Key_PageDown);
        expectRow(last);
        QTest::keyClick(v, Qt::Key_PageUp);
        expectRow(1);
        QTest::keyClick(v, Qt::Key_End);
        expectRow(last);
        QTest::keyClick(v, Qt::Key_Home);
        expectRow(1);
        const QRect r2 = v->visualRect(v->model()->index(2 - grid().FixedRows(), 1));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r2.center());
        expectRow(2);
    }

    // A reload highlights row 1; the actions must follow it.
    void reloadsPutTheCurrentRowOnTheHighlightedRow()
    {
        open(w());
        grid().view()->setFocus();
        QTest::keyClick(grid().view(), Qt::Key_Down);
        QTest::keyClick(grid().view(), Qt::Key_Down);
        QCOMPARE(w().CurRow, 3);
        w().Cmb_Filter_Post->setListIndex(2);
        QCOMPARE(grid().Row(), 1);
        QCOMPARE(w().CurRow, 1);
        QTest::keyClick(grid().view(), Qt::Key_Delete);
        QCOMPARE(w().deleted, QStringList{grid().TextMatrix(1, 0)});
    }

    void failingListStatementShowsTheError()
    {
        open(w());
        QVERIFY(m_db->raw(QStringLiteral("DROP TABLE 出版社")));
        m_msg->clear();
        w().Cmd_Refresh_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(m_msg->last(), w().ErrText);
        QVERIFY(!w().ErrText.isEmpty());
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(w().CurRow, 1);
    }

    // The family through one real member: the returning window.
    void returningWindowFollowsTheFamily()
    {
        exec(QStringLiteral("UPDATE 账户类型 SET 办理还书权限 = 0"));
        Frm_ReturnBook &r = vb::Default<Frm_ReturnBook>();
        open(r);
        QCOMPARE(r.Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QVERIFY(!r.Grid_ShowData->isVisible());
        QVERIFY(!r.Cmd_ReturnSel->isVisible());
        QVERIFY(!r.Chk_SBarSwitch->isVisible());
        QCOMPARE(r.Chk_SBarSwitch->Value(), 0);
        r.Unload();
        exec(QStringLiteral("UPDATE 账户类型 SET 办理还书权限 = 1"));
        open(r);
        QCOMPARE(r.Lbl_TBarText->Caption(), QStringLiteral("还书"));
        QVERIFY(r.Grid_ShowData->isVisible());
        QVERIFY(r.Cmd_ReturnAll->isVisible());
        QCOMPARE(r.Chk_SBarSwitch->Value(), 1);
        const int before = r.Grid_ShowData->Width();
        r.Chk_SBarSwitch->setValue(0);
        QCOMPARE(r.Grid_ShowData->Width(), before + 3240);
    }
};

QTEST_MAIN(TestListFamily)
#include "tst_listfamily.moc"
