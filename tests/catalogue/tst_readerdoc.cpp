// The reader file: the list with its outer join and the sex column, filters,
// find and sort; the editor's insert and update; deleting a reader.
#include "catalogue/Frm_ReaderAdd.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "circulation/CirculationFixture.h"

#include <QTimer>
#include <QtTest>
#include <functional>

using namespace circfix;

class TestReaderDoc : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_ReaderDoc &w() { return vb::Default<Frm_ReaderDoc>(); }
    Frm_ReaderAdd &ed() { return vb::Default<Frm_ReaderAdd>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }

    // The reader numbers in the order the grid lists them.
    QStringList listed()
    {
        QStringList ids;
        for (int r = 1; r < grid().Rows(); ++r)
            if (!grid().TextMatrix(r, 0).isEmpty()) ids << grid().TextMatrix(r, 0);
        return ids;
    }
    int rowOf(const QString &id)
    {
        for (int r = 1; r < grid().Rows(); ++r)
            if (grid().TextMatrix(r, 0) == id) return r;
        return -1;
    }
    static int indexOf(FCombo *c, const QString &text)
    {
        for (int i = 0; i < c->ListCount(); ++i)
            if (c->List(i) == text) return i;
        return -1;
    }
    static void choose(FCombo *c, const QString &text) { c->setListIndex(indexOf(c, text)); }
    QString readerValue(const QString &id, const QString &expr)
    {
        return scalar(QStringLiteral("SELECT ") + expr + QStringLiteral(" FROM 读者档案 WHERE 读者编号 = ")
                      + SQLQuote(id));
    }
    // Runs `inspect` on the modal editor once it is up, then closes it.
    bool whileModal(const std::function<void()> &open, const std::function<void()> &inspect)
    {
        bool ran = false;
        QTimer::singleShot(0, &ed(), [&] {
            ran = true;
            if (ed().IsModalShowing()) inspect();
            if (ed().IsLoaded()) ed().Cmd_Close_Click();
        });
        open();
        if (!ran) QTest::qWait(20);
        return ran;
    }
    // The editor as the list leaves it, without the modal loop.
    void openEditor(const QString &mode, const QString &rid)
    {
        ed().Mode = mode;
        ed().RID = rid;
        ed().CallerForm = &w();
        ed().Show();
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        // A reader whose category row does not exist, a woman.
        exec(QStringLiteral(
            "INSERT 读者档案 VALUES ('R005','已撤销','钱七',0,0.1,'','','','',0,0,0,0,0,'230102','admin','正常')"));
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        if (ed().IsLoaded()) ed().Unload();
        w().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    void refusedWindowShowsOnlyTheRedTitle()
    {
        w().Unload();
        exec(QStringLiteral("UPDATE 账户类型 SET 查看读者权限 = 0"));
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(!w().Cmd_Add->isVisible());
        QVERIFY(!w().Grid_ShowData->isVisible());
        QVERIFY(!w().Pic_SideBar->isVisible());
        QVERIFY(!w().Chk_SBarSwitch->isVisible());
        QVERIFY(w().Cmd_TBarClose->isVisible());
    }

    // Every reader is listed, also one whose category row is missing; 性别 shows
    // 男/女 under its own header; money and dates in their display forms.
    void listJoinsCategoriesOuterAndShowsSex()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("读者档案管理"));
        QCOMPARE(listed(), QStringList({"R001", "R002", "R003", "R004", "R005"}));
        QCOMPARE(grid().Cols(), 17);
        QCOMPARE(grid().TextMatrix(0, 2), QStringLiteral("性别"));
        QCOMPARE(grid().TextMatrix(0, 3), QStringLiteral("账户金额"));
        QCOMPARE(grid().TextMatrix(0, 4), QStringLiteral("读者类别"));
        QCOMPARE(grid().TextMatrix(0, 15), QStringLiteral("登记日期"));
        QCOMPARE(grid().TextMatrix(0, 16), QStringLiteral("经手人"));
        QCOMPARE(grid().ColWidth(2), 600);
        QCOMPARE(grid().ColWidth(13), 3000);
        const int r1 = rowOf(QStringLiteral("R001")), r5 = rowOf(QStringLiteral("R005"));
        QCOMPARE(grid().TextMatrix(r1, 2), QStringLiteral("男"));
        QCOMPARE(grid().TextMatrix(r5, 2), QStringLiteral("女"));
        QCOMPARE(grid().TextMatrix(r1, 3), QStringLiteral("12.50"));
        QCOMPARE(grid().TextMatrix(r5, 3), QStringLiteral("0.10"));
        QCOMPARE(grid().TextMatrix(r5, 4), QStringLiteral("已撤销"));
        QCOMPARE(grid().TextMatrix(r5, 15), QStringLiteral("2023-01-02"));
        QCOMPARE(grid().TextMatrix(r1, 15), QStringLiteral("2024-01-01"));
        QCOMPARE(statusTip(), QStringLiteral("共有 5 条记录"));
        QCOMPARE(w().CurRow, 1);

        // Removing a category row keeps its readers in the list.
        exec(QStringLiteral("DELETE 读者类别 WHERE 读者类别 = '学生'"));
        w().Cmd_Refresh_Click();
        QCOMPARE(listed().size(), 5);
        QCOMPARE(grid().TextMatrix(rowOf(QStringLiteral("R003")), 4), QStringLiteral("学生"));
    }

    void sideBarListsAndFilters()
    {
        FCombo *rtype = w().Cmb_Filter_RType.get();
        FCombo *rstatus = w().Cmb_Filter_RStatus.get();
        QCOMPARE(rtype->ListCount(), 3);
        QCOMPARE(rtype->List(0), QStringLiteral("[全部]"));
        QCOMPARE(rtype->List(1), QStringLiteral("学生"));  // smallest loan limit first
        QCOMPARE(rtype->List(2), QStringLiteral("教师"));
        QCOMPARE(rstatus->ListCount(), 3);
        QCOMPARE(w().Cmb_Sort_1->List(0), QStringLiteral("读者编号"));
        QCOMPARE(w().Cmb_Sort_1->List(16), QStringLiteral("状态"));
        QCOMPARE(w().Cmb_Sort_2_Order->List(1), QStringLiteral("降序"));

        choose(rstatus, QStringLiteral("停用"));
        QCOMPARE(listed(), QStringList({"R004"}));
        QCOMPARE(statusTip(), QStringLiteral("共有 1 条记录"));
        choose(rtype, QStringLiteral("教师"));  // the status filter no longer applies
        QCOMPARE(listed(), QStringList({"R002"}));
        choose(rtype, QStringLiteral("[全部]"));
        QCOMPARE(listed().size(), 5);
        choose(rstatus, QStringLiteral("[全部]"));
        QCOMPARE(listed().size(), 5);
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void findNarrowsAtEveryKeystroke()
    {
        exec(QStringLiteral(
            "INSERT 读者档案 VALUES ('X100','学生','孙八',1,0,'','','','',0,0,0,0,0,'240101','admin','正常')"));
        choose(w().Cmb_Filter_RStatus.get(), QStringLiteral("停用"));
        QCOMPARE(listed(), QStringList({"R004"}));
        FTextBox *find = w().Txt_Find_RID.get();
        find->textBox()->setFocus();
        QTest::keyClick(find->textBox(), 'r');
        QCOMPARE(listed(), QStringList({"R001", "R002", "R003", "R004", "R005"}));  // the filter is gone
        QTest::keyClicks(find->textBox(), QStringLiteral("00"));
        QCOMPARE(listed().size(), 5);
        QTest::keyClick(find->textBox(), '3');
        QCOMPARE(listed(), QStringList({"R003"}));
        find->setText(QStringLiteral("X"));
        QCOMPARE(listed(), QStringList({"X100"}));
        find->setText(QString());
        QCOMPARE(listed().size(), 6);
        // A quote in the text is data, not statement.
        find->setText(QStringLiteral("R'"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(listed(), QStringList());
    }

    void sortByOneOrTwoFields()
    {
        FCombo *s1 = w().Cmb_Sort_1.get(), *o1 = w().Cmb_Sort_1_Order.get();
        FCombo *s2 = w().Cmb_Sort_2.get(), *o2 = w().Cmb_Sort_2_Order.get();
        o1->setListIndex(1);
        QCOMPARE(m_msg->last(), QStringLiteral("第一排序项未选择！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        m_msg->clear();

        choose(s1, QStringLiteral("读者编号"));  // its order box already says 降序
        QCOMPARE(listed(), QStringList({"R005", "R004", "R003", "R002", "R001"}));
        o1->setListIndex(0);
        QCOMPARE(listed().first(), QStringLiteral("R001"));

        choose(s1, QStringLiteral("总借书数量"));  // R003 has 3, the others 0
        QCOMPARE(listed().last(), QStringLiteral("R003"));
        choose(s2, QStringLiteral("读者编号"));  // order box unset: set to 升序, sorted again
        QCOMPARE(o2->ListIndex(), 0);
        QCOMPARE(listed(), QStringList({"R001", "R002", "R004", "R005", "R003"}));
        o2->setListIndex(1);
        QCOMPARE(listed(), QStringList({"R005", "R004", "R002", "R001", "R003"}));
        o1->setListIndex(1);
        QCOMPARE(listed(), QStringList({"R003", "R005", "R004", "R002", "R001"}));
        QVERIFY(m_msg->msgs.isEmpty());

        choose(s2, QStringLiteral("总借书数量"));
        QCOMPARE(m_msg->last(), QStringLiteral("不能选择相同项进行排序！"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));

        // A filter starts from the default order again.
        choose(w().Cmb_Filter_RType.get(), QStringLiteral("学生"));
        QCOMPARE(listed(), QStringList({"R001", "R003", "R004"}));
    }

    // The 17-value insert: counters 0, status "正常", registration date today
    // written "yymmdd" and stored as a date, the operator, trimmed texts.
    void addingRegistersANewReader()
    {
        openEditor(QStringLiteral("ADD"), QString());
        QCOMPARE(ed().Caption(), QStringLiteral("添加读者"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加读者"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("添加"));
        QVERIFY(!ed().Cmb_Status->Enabled());
        QVERIFY(ed().Txt_RID->Enabled());
        QCOMPARE(ed().Cmb_Type->ListCount(), 2);
        QCOMPARE(ed().Cmb_Sex->ListIndex(), -1);

        ed().Txt_RID->setText(QStringLiteral(" R100 "));
        ed().Txt_Name->setText(QStringLiteral("周九"));
        choose(ed().Cmb_Type.get(), QStringLiteral("教师"));
        ed().Cmd_Add_Click();  // no sex chosen
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案")), 5);

        choose(ed().Cmb_Sex.get(), QStringLiteral("女"));
        ed().Txt_Phone->setText(QStringLiteral(" 13900000000 "));
        ed().Txt_Address->setText(QStringLiteral("北京路 1 号"));
        ed().Txt_Code->setText(QStringLiteral("100001"));
        ed().Txt_CID->setText(QStringLiteral("110101200001010011"));
        m_msg->clear();
        ed().Cmd_Add_Click();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(rowOf(QStringLiteral("R100")), 6);  // the list was refreshed

        const QString id = QStringLiteral("R100");
        QCOMPARE(readerValue(id, QStringLiteral("读者类别")), QStringLiteral("教师"));
        QCOMPARE(readerValue(id, QStringLiteral("姓名")), QStringLiteral("周九"));
        QCOMPARE(readerValue(id, QStringLiteral("性别")), QStringLiteral("0"));
        QCOMPARE(readerValue(id, QStringLiteral("CONVERT(varchar(10),账户金额,0)")), QStringLiteral("0.00"));
        QCOMPARE(readerValue(id, QStringLiteral("联系电话")), QStringLiteral("13900000000"));
        QCOMPARE(readerValue(id, QStringLiteral("地址")), QStringLiteral("北京路 1 号"));
        QCOMPARE(readerValue(id, QStringLiteral("邮编")), QStringLiteral("100001"));
        QCOMPARE(readerValue(id, QStringLiteral("身份证号码")), QStringLiteral("110101200001010011"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R100' AND 当前借书数量 = 0 AND "
                                      "总借书数量 = 0 AND 总借书次数 = 0 AND 有损还书次数 = 0 AND 未还书总数 = 0")),
                 1);
        QCOMPARE(readerValue(id, QStringLiteral("CONVERT(varchar(10),登记日期,23)")), QStringLiteral("2024-03-15"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 登记日期 BETWEEN '2024-03-01' AND "
                                      "'2024-03-31'")),
                 1);
        QCOMPARE(readerValue(id, QStringLiteral("经手人")), QStringLiteral("admin"));
        QCOMPARE(readerValue(id, QStringLiteral("状态")), QStringLiteral("正常"));
        QCOMPARE(grid().TextMatrix(6, 2), QStringLiteral("女"));
        QCOMPARE(grid().TextMatrix(6, 15), QStringLiteral("2024-03-15"));
    }

    // A number of blanks only is no number: stored empty, the reader could be neither opened nor deleted.
    void addingABlankNumberIsRefused()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_RID->setText(QStringLiteral("   "));
        ed().Txt_Name->setText(QStringLiteral("无号"));
        choose(ed().Cmb_Sex.get(), QStringLiteral("男"));
        choose(ed().Cmb_Type.get(), QStringLiteral("学生"));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = ''")), 0);
    }

    void addingATakenNumberKeepsTheEditorOpen()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_RID->setText(QStringLiteral("R001"));
        ed().Txt_Name->setText(QStringLiteral("重复"));
        choose(ed().Cmb_Sex.get(), QStringLiteral("男"));
        choose(ed().Cmb_Type.get(), QStringLiteral("学生"));
        exec(QStringLiteral(
            "INSERT 读者档案 VALUES ('R200','学生','新人',1,0,'','','','',0,0,0,0,0,'240101','admin','正常')"));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Txt_Name->Text(), QStringLiteral("重复"));
        QVERIFY(rowOf(QStringLiteral("R200")) > 0);  // refreshed all the same
        QCOMPARE(readerValue(QStringLiteral("R001"), QStringLiteral("姓名")), QStringLiteral("张三"));
    }

    // A change writes the editable fields and leaves counters, balance, date and operator.
    void modifyingChangesOnlyTheEditableFields()
    {
        exec(QStringLiteral("UPDATE 读者档案 SET 地址 = '旧址', 经手人 = 'clerk' WHERE 读者编号 = 'R003'"));
        openEditor(QStringLiteral("MOD"), QStringLiteral("R003"));
        QCOMPARE(ed().Caption(), QStringLiteral("修改读者"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("修改"));
        QVERIFY(!ed().Txt_RID->Enabled());
        QVERIFY(ed().Cmb_Status->Enabled());
        QCOMPARE(ed().Txt_RID->Text(), QStringLiteral("R003"));
        QCOMPARE(ed().Txt_Name->Text(), QStringLiteral("王五"));
        QCOMPARE(ed().Cmb_Sex->ListIndex(), 0);
        QCOMPARE(ed().Cmb_Type->Text(), QStringLiteral("学生"));
        QCOMPARE(ed().Cmb_Status->ListIndex(), 0);
        QCOMPARE(ed().Txt_Address->Text(), QStringLiteral("旧址"));

        ed().Txt_Name->setText(QStringLiteral(" 王五五 "));
        choose(ed().Cmb_Sex.get(), QStringLiteral("女"));
        choose(ed().Cmb_Type.get(), QStringLiteral("教师"));
        ed().Txt_Address->setText(QStringLiteral("新址"));
        ed().Txt_Phone->setText(QStringLiteral("123"));
        choose(ed().Cmb_Status.get(), QStringLiteral("停用"));
        ed().Cmd_Add_Click();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QVERIFY(!ed().IsLoaded());

        const QString id = QStringLiteral("R003");
        QCOMPARE(readerValue(id, QStringLiteral("姓名")), QStringLiteral("王五五"));
        QCOMPARE(readerValue(id, QStringLiteral("性别")), QStringLiteral("0"));
        QCOMPARE(readerValue(id, QStringLiteral("读者类别")), QStringLiteral("教师"));
        QCOMPARE(readerValue(id, QStringLiteral("地址")), QStringLiteral("新址"));
        QCOMPARE(readerValue(id, QStringLiteral("联系电话")), QStringLiteral("123"));
        QCOMPARE(readerValue(id, QStringLiteral("状态")), QStringLiteral("停用"));
        QCOMPARE(counter(id, QStringLiteral("当前借书数量")), 3);
        QCOMPARE(counter(id, QStringLiteral("总借书数量")), 3);
        QCOMPARE(readerValue(id, QStringLiteral("CONVERT(varchar(10),账户金额,0)")), QStringLiteral("12.50"));
        QCOMPARE(readerValue(id, QStringLiteral("CONVERT(varchar(10),登记日期,23)")), QStringLiteral("2024-01-01"));
        QCOMPARE(readerValue(id, QStringLiteral("经手人")), QStringLiteral("clerk"));
        QCOMPARE(grid().TextMatrix(rowOf(id), 5), QStringLiteral("停用"));
    }

    void modifyingAReaderWithoutCategoryOrSex()
    {
        exec(QStringLiteral("UPDATE 读者档案 SET 性别 = NULL, 状态 = '停用' WHERE 读者编号 = 'R005'"));
        openEditor(QStringLiteral("MOD"), QStringLiteral("R005"));
        QCOMPARE(ed().Cmb_Sex->ListIndex(), 1);  // not true: 女
        QCOMPARE(ed().Cmb_Status->ListIndex(), 1);
        QCOMPARE(ed().Cmb_Type->ListIndex(), -1);  // its category is not in the list
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        choose(ed().Cmb_Type.get(), QStringLiteral("学生"));
        ed().Cmd_Add_Click();
        QCOMPARE(readerValue(QStringLiteral("R005"), QStringLiteral("读者类别")), QStringLiteral("学生"));
        QCOMPARE(readerValue(QStringLiteral("R005"), QStringLiteral("性别")), QStringLiteral("0"));
    }

    // A name another program wrote with a NUL character in it.
    void aNameHoldingANulIsShownAndSavedBackUnchanged()
    {
        const QString name = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        const QString id = QStringLiteral("R003");
        if (testsupport::TempDb::onServer()) {
            // The server keeps no NUL in a text: no program can write one ...
            QVERIFY(
                !m_db->raw(QStringLiteral("UPDATE 读者档案 SET 姓名 = 'a' || chr(0) || 'b' WHERE 读者编号 = 'R003'")));
            // ... and the editor's save of one is refused, with the reader as it was.
            openEditor(QStringLiteral("MOD"), id);
            ed().Txt_Name->setText(name);
            ed().Cmd_Add_Click();
            QCOMPARE(m_msg->msgs.size(), 1);
            QVERIFY2(m_msg->last().contains(QStringLiteral("NUL")), qPrintable(m_msg->last()));
            QVERIFY(ed().IsLoaded());
            QCOMPARE(readerValue(id, QStringLiteral("姓名")), QStringLiteral("王五"));
            return;
        }
        QVERIFY(m_db->raw(QStringLiteral("UPDATE 读者档案 SET 姓名 = 'a' || char(0) || 'b', 地址 = 'x' || char(0) "
                                         "WHERE 读者编号 = 'R003'")));
        QCOMPARE(readerValue(id, QStringLiteral("姓名")), name);
        QCOMPARE(grid().TextMatrix(rowOf(id), 1), QStringLiteral("王五"));  // the list as filled before
        w().Cmd_Refresh_Click();
        QCOMPARE(grid().TextMatrix(rowOf(id), 1), name);
        openEditor(QStringLiteral("MOD"), id);
        QCOMPARE(ed().Txt_Name->Text(), name);
        QCOMPARE(ed().Txt_Address->Text(), QStringLiteral("x") + QChar(0));
        const QString before = m_db->db.dump();
        ed().Cmd_Add_Click();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(m_db->db.dump(), before);
        QCOMPARE(readerValue(id, QStringLiteral("姓名")), name);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 姓名 = ") + SQLQuote(name)), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 地址 = ")
                       + SQLQuote(QStringLiteral("x") + QChar(0))),
                 1);
    }

    // The list opens the editor modally with the mode and the number of the current row.
    void listOpensTheEditor()
    {
        w().CurRow = rowOf(QStringLiteral("R002"));
        QString caption, rid;
        QVERIFY(whileModal([&] { w().Cmd_Modify_Click(); },
                           [&] {
                               caption = ed().Caption();
                               rid = ed().Txt_RID->Text();
                           }));
        QCOMPARE(caption, QStringLiteral("修改读者"));
        QCOMPARE(rid, QStringLiteral("R002"));
        QCOMPARE(ed().Mode, QStringLiteral("MOD"));

        QVERIFY(whileModal([&] { emit grid().DblClick(); }, [&] { rid = ed().Txt_Name->Text(); }));
        QCOMPARE(rid, QStringLiteral("李四"));

        QVERIFY(whileModal([&] { w().Cmd_Add_Click(); }, [&] { caption = ed().Caption(); }));
        QCOMPARE(caption, QStringLiteral("添加读者"));
        QCOMPARE(ed().RID, QString());

        // Without the permission nothing opens.
        exec(QStringLiteral("UPDATE 账户类型 SET 修改读者权限 = 0"));
        w().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("您没有权限完成当前操作！"));
        QVERIFY(!ed().IsLoaded());
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案")), 5);
    }

    void modifyOnAnEmptyListOpensNothing()
    {
        w().Txt_Find_RID->setText(QStringLiteral("none"));
        QCOMPARE(listed(), QStringList());
        w().Cmd_Modify_Click();
        QVERIFY(!ed().IsLoaded());
        w().Cmd_Delete_Click();
        QVERIFY(m_msg->msgs.isEmpty());
    }

    // Deleting asks first; the reader's returned loans and deposits stay in their tables.
    void deletingLeavesLoansAndDeposits()
    {
        exec(QStringLiteral("INSERT 充值记录 VALUES ('240301090000','R001',10,'2024-03-01','admin')"));
        exec(QStringLiteral("INSERT 图书借阅 VALUES "
                            "('240301090000001','B001','R001','2024-03-01','2024-03-31','2024-03-05','1','admin',"
                            "'admin')"));
        w().CurRow = rowOf(QStringLiteral("R001"));
        m_msg->answer = 2;
        exec(QStringLiteral(
            "INSERT 读者档案 VALUES ('R400','学生','晚到',1,0,'','','','',0,0,0,0,0,'240101','admin','正常')"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(),
                 QStringLiteral("确实要删除编号为 [ R001 ] 的读者 [ 张三 ] 吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除读者"));
        QVERIFY(rowOf(QStringLiteral("R001")) > 0);
        QVERIFY(rowOf(QStringLiteral("R400")) > 0);  // refreshed after the answer 2 too

        m_msg->answer = 1;
        w().CurRow = rowOf(QStringLiteral("R001"));
        int key = 46, shift = 0;
        emit grid().KeyDown(key, shift);
        QCOMPARE(rowOf(QStringLiteral("R001")), -1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R001'")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 充值记录 WHERE 读者编号 = 'R001'")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 读者编号 = 'R001'")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案")), 5);
    }

    // A reader who still holds a book stays: the loan must keep its reader to be returned.
    void aReaderHoldingABookIsKept()
    {
        exec(QStringLiteral("INSERT 图书借阅 VALUES "
                            "('240301090000002','B003','R002','2024-03-01','2024-03-31',Null,'0','admin',Null)"));
        w().CurRow = rowOf(QStringLiteral("R002"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("编号为 [ R002 ] 的读者尚有图书未还，不能删除！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R002'")), 1);

        // Lent at another desk after the question was answered: refused as the reader goes.
        exec(QStringLiteral("UPDATE 图书借阅 SET 是否已还 = '1'"));
        m_msg->clear();
        SetMsgBoxHook([this](const QString &m, const QString &i, const QString &t) {
            m_msg->msgs.append({m, i, t});
            exec(QStringLiteral("UPDATE 图书借阅 SET 是否已还 = '0'"));
            return 1;
        });
        w().CurRow = rowOf(QStringLiteral("R002"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(m_msg->last(), QStringLiteral("编号为 [ R002 ] 的读者尚有图书未还，不能删除！"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 = 'R002'")), 1);
        QVERIFY(!SQLConn().InTransaction());
    }
};

QTEST_MAIN(TestReaderDoc)
#include "tst_readerdoc.moc"
