// Reader categories: the list order, the frame's modes, the key filter of the
// boxes, saving and the refusal to delete a category some reader has.
#include "catalogue/Frm_ReaderType.h"
#include "circulation/CirculationFixture.h"

#include <QtTest>

using namespace circfix;

class TestReaderType : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_ReaderType &w() { return vb::Default<Frm_ReaderType>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }
    QStringList listed()
    {
        QStringList names;
        for (int r = 1; r < grid().Rows(); ++r)
            if (!grid().TextMatrix(r, 0).isEmpty()) names << grid().TextMatrix(r, 0);
        return names;
    }
    int rowOf(const QString &name) { return int(listed().indexOf(name)) + 1; }
    int categories() { return count(QStringLiteral("SELECT COUNT(*) FROM 读者类别")); }
    void expectIdle()
    {
        QCOMPARE(w().EditMode, QStringLiteral("NULL"));
        QVERIFY(!w().Frame_ShowData->isEnabled());
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("双击表项更改"));
        QCOMPARE(w().CurRow, 1);
    }
    static void type(FTextBox *box, const QString &text)
    {
        box->textBox()->setFocus();
        QTest::keyClicks(box->textBox(), text);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();  // 学生 30 days / 5 books, 教师 60 / 10; readers of both
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        m_db.reset();
    }

    void listRunsFromTheSmallestLimitUp()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("读者类别管理"));
        expectIdle();
        exec(QStringLiteral("INSERT 读者类别 VALUES ('临时','7','1')"));
        exec(QStringLiteral("INSERT 读者类别 VALUES ('研究生','90','20')"));
        w().Cmd_Refresh_Click();
        QCOMPARE(listed(), QStringList({"临时", "学生", "教师", "研究生"}));  // 1, 5, 10, 20: numbers, not texts
        QCOMPARE(grid().Cols(), 3);
        QCOMPARE(grid().TextMatrix(0, 0), QStringLiteral("读者类别"));
        QCOMPARE(grid().TextMatrix(0, 1), QStringLiteral("借书时间期限"));
        QCOMPARE(grid().TextMatrix(0, 2), QStringLiteral("借书数量限制"));
        for (int i = 0; i < 3; ++i) QCOMPARE(grid().ColWidth(i), 1800);
        QCOMPARE(w().Lbl(1)->Caption(), QStringLiteral("借书时间期限(天)"));
    }

    // "." is dropped in every box; the limits take whole numbers only (five digits
    // within the eight characters, the rest being kept for decimals that never come).
    void boxesRefuseDotsAndTheLimitsTakeWholeNumbers()
    {
        w().Cmd_Add_Click();
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("添加新类别"));
        type(w().Txt(0), QStringLiteral("a.b"));
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("ab"));
        type(w().Txt(1), QStringLiteral("1.5x"));
        QCOMPARE(w().Txt(1)->Text(), QStringLiteral("15"));
        type(w().Txt(2), QStringLiteral("1234567890"));
        QCOMPARE(w().Txt(2)->Text(), QStringLiteral("12345"));
    }

    void addingChecksTheBoxesInOrderAndSavesTrimmed()
    {
        w().Cmd_Add_Click();
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请填写类别名称！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        QVERIFY(w().Txt(0)->textBox()->hasFocus());
        w().Txt(0)->setText(QStringLiteral("   "));  // blanks only are no name
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请填写类别名称！"));
        w().Txt(0)->setText(QStringLiteral("  研究生 "));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请填写借书时间期限(天)！"));
        QVERIFY(w().Txt(1)->textBox()->hasFocus());
        w().Txt(1)->setText(QStringLiteral("90"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请填写借书数量限制(本)！"));
        QCOMPARE(categories(), 2);

        w().Txt(2)->setText(QStringLiteral("20"));
        m_msg->clear();
        w().Cmd_Save_Click();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QCOMPARE(
            count(QStringLiteral("SELECT COUNT(*) FROM 读者类别 WHERE 读者类别 = '研究生' AND 借书时间期限 = 90 AND "
                                 "借书数量限制 = 20")),
            1);
        QCOMPARE(listed().last(), QStringLiteral("研究生"));
        expectIdle();
        QCOMPARE(w().Txt(0)->Text(), QString());
    }

    void duplicateNameKeepsTheEntries()
    {
        w().Cmd_Add_Click();
        w().Txt(0)->setText(QStringLiteral("学生"));
        w().Txt(1)->setText(QStringLiteral("1"));
        w().Txt(2)->setText(QStringLiteral("2"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        QCOMPARE(w().Txt(1)->Text(), QStringLiteral("1"));
        QCOMPARE(scalar(QStringLiteral("SELECT 借书时间期限 FROM 读者类别 WHERE 读者类别 = '学生'")),
                 QStringLiteral("30"));
    }

    // A double click loads the row with its name locked; saving changes the two limits.
    void changingTheLimitsOfACategory()
    {
        w().CurRow = rowOf(QStringLiteral("教师"));
        emit grid().DblClick();
        QCOMPARE(w().EditMode, QStringLiteral("MOD"));
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("修改类别"));
        QVERIFY(w().Frame_ShowData->isEnabled());
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("教师"));
        QVERIFY(!w().Txt(0)->Enabled());
        QCOMPARE(w().Txt(1)->Text(), QStringLiteral("60"));
        QCOMPARE(w().Txt(2)->Text(), QStringLiteral("10"));
        w().Txt(1)->setText(QStringLiteral("45"));
        w().Txt(2)->setText(QStringLiteral("3"));
        w().Cmd_Save_Click();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QCOMPARE(scalar(QStringLiteral("SELECT 借书时间期限 FROM 读者类别 WHERE 读者类别 = '教师'")),
                 QStringLiteral("45"));
        QCOMPARE(scalar(QStringLiteral("SELECT 借书数量限制 FROM 读者类别 WHERE 读者类别 = '教师'")),
                 QStringLiteral("3"));
        QCOMPARE(listed(), QStringList({"教师", "学生"}));  // 3 now comes before 5
        expectIdle();
        // Add after modify unlocks the name box.
        w().Cmd_Add_Click();
        QVERIFY(w().Txt(0)->Enabled());
        w().Cmd_Cancel_Click();
        expectIdle();
    }

    // A category that any reader has (also a disabled one) is not deleted.
    void deletingACategoryInUseIsRefused()
    {
        exec(QStringLiteral("INSERT 读者类别 VALUES ('退休','30','2')"));
        addReader(QStringLiteral("R009"), QStringLiteral("退休"), QStringLiteral("老周"), 0, QStringLiteral("停用"));
        w().Cmd_Refresh_Click();
        for (const QString &name : {QStringLiteral("学生"), QStringLiteral("退休")}) {
            m_msg->clear();
            w().CurRow = rowOf(name);
            w().Cmd_Delete_Click();
            QCOMPARE(m_msg->msgs.size(), 1);  // no question
            QCOMPARE(m_msg->last(), QStringLiteral("检测到有读者为 [ ") + name + QStringLiteral(" ] 类别，无法删除。"));
            QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
            QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        }
        QCOMPARE(categories(), 3);
    }

    void deletingAnUnusedCategoryAsksFirst()
    {
        exec(QStringLiteral("INSERT 读者类别 VALUES ('临时','7','1')"));
        w().Cmd_Refresh_Click();
        w().CurRow = rowOf(QStringLiteral("临时"));
        w().Cmd_Add_Click();
        m_msg->answer = 2;
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除 [ 临时 ] 类别吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除读者类别"));
        QCOMPARE(categories(), 3);
        expectIdle();  // refreshed after the answer 2 as well

        m_msg->answer = 1;
        w().CurRow = rowOf(QStringLiteral("临时"));
        int key = 46, shift = 0;
        emit grid().KeyDown(key, shift);
        QCOMPARE(categories(), 2);
        QCOMPARE(listed(), QStringList({"学生", "教师"}));
        expectIdle();
    }
};

QTEST_MAIN(TestReaderType)
#include "tst_readertype.moc"
