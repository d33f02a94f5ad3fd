// Publishers: the panel over 出版社 with its modes, the name-only publishers
// made by the title editor, the in-use refusal and the delete question.
#include "catalogue/Frm_PressInfo.h"
#include "catalogue/LibraryForms.h"
#include "circulation/CirculationFixture.h"
#include "core/ChildFormSwitch.h"

#include <QtTest>

using namespace circfix;

class TestPressInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_PressInfo &w() { return vb::Default<Frm_PressInfo>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }
    int publishers() { return count(QStringLiteral("SELECT COUNT(*) FROM 出版社")); }
    int rowOf(const QString &name)
    {
        for (int r = 1; r < grid().Rows(); ++r)
            if (grid().TextMatrix(r, 0) == name) return r;
        return -1;
    }
    void expectIdle()
    {
        QCOMPARE(w().EditMode, QStringLiteral("NULL"));
        QVERIFY(!w().Frame_ShowData->isEnabled());
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("双击表项更改"));
        for (int i = 0; i < 3; ++i) QCOMPARE(w().Txt(i)->Text(), QString());
        QCOMPARE(w().CurRow, 1);
    }

private slots:
    void initTestCase() { RegisterLibraryForms(); }
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();  // 人民出版社, named by three titles
        exec(QStringLiteral("INSERT 出版社 VALUES ('上海出版社','上海','200000')"));
        // Made by the title editor: the name alone.
        exec(QStringLiteral("INSERT 出版社 (出版社名称) VALUES ('科学出版社')"));
        m_msg = std::make_unique<MsgRecorder>();
        showMain();
        vb::Default<Frm_Main>().Menu_DataMag_PressDoc_Click();
    }
    void cleanup()
    {
        if (w().IsLoaded()) CloseChildForm(&w());
        m_msg.reset();
        m_db.reset();
    }

    void opensFromTheDataMenuIdleWithEveryPublisher()
    {
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&w()));
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("出版社信息设置"));
        QCOMPARE(grid().Rows(), 4);
        QCOMPARE(grid().TextMatrix(0, 0), QStringLiteral("出版社名称"));
        QCOMPARE(grid().TextMatrix(0, 2), QStringLiteral("邮编"));
        QCOMPARE(grid().ColWidth(0), 3000);
        QCOMPARE(grid().ColWidth(1), 6000);
        QCOMPARE(grid().ColWidth(2), 1800);
        QCOMPARE(w().Lbl(0)->Caption(), QStringLiteral("出版社名称"));
        QCOMPARE(w().Lbl(2)->Caption(), QStringLiteral("邮编"));
        QCOMPARE(w().Cmd_Delete->ToolTip(), QStringLiteral("删除当前出版社信息"));
        QVERIFY(w().Frame_ShowData->isVisible());
        expectIdle();
    }

    void refusedWithoutTheTitlesPermission()
    {
        CloseChildForm(&w());
        exec(QStringLiteral("UPDATE 账户类型 SET 修改图书权限 = 0"));
        vb::Default<Frm_Main>().Menu_DataMag_PressDoc_Click();
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QVERIFY(!w().Frame_ShowData->isVisible());
        QVERIFY(!w().Cmd_Add->isVisible());
        QVERIFY(!static_cast<QWidget *>(w().Grid_ShowData.get())->isVisible());
    }

    void addingNeedsANameAndStoresTrimmedValues()
    {
        w().Cmd_Add_Click();
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("添加"));
        QVERIFY(w().Frame_ShowData->isEnabled());
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请填写出版社名称！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        // Blanks alone are no name either.
        w().Txt(0)->setText(QStringLiteral("   "));
        m_msg->clear();
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请填写出版社名称！"));
        QCOMPARE(publishers(), 3);
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));

        w().Txt(0)->setText(QStringLiteral(" 新华出版社 "));
        w().Cmd_Save_Click();  // address and post code empty
        QCOMPARE(
            m_db->db.rows(QStringLiteral("SELECT 地址, 邮编 FROM 出版社 WHERE 出版社名称 = '新华出版社'")).value(0),
            QStringList({QString(), QString()}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 地址 = ''")), 1);
        QCOMPARE(grid().Rows(), 5);
        expectIdle();
    }

    void duplicateNameFailsAndKeepsTheEntries()
    {
        w().Cmd_Add_Click();
        w().Txt(0)->setText(QStringLiteral("上海出版社"));
        w().Txt(1)->setText(QStringLiteral("浦东"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        QCOMPARE(w().Txt(1)->Text(), QStringLiteral("浦东"));
        QCOMPARE(scalar(QStringLiteral("SELECT 地址 FROM 出版社 WHERE 出版社名称 = '上海出版社'")),
                 QStringLiteral("上海"));
    }

    // A name-only publisher gets its address and post code here; the name stays.
    void changingWritesAddressAndPostCode()
    {
        w().CurRow = rowOf(QStringLiteral("科学出版社"));
        QCOMPARE(grid().TextMatrix(w().CurRow, 1), QString());
        emit grid().DblClick();
        QCOMPARE(w().EditMode, QStringLiteral("MOD"));
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("修改"));
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("科学出版社"));
        QVERIFY(!w().Txt(0)->Enabled());
        w().Txt(1)->setText(QStringLiteral("北京东城"));
        w().Txt(2)->setText(QStringLiteral("100717"));
        w().Cmd_Save_Click();
        QCOMPARE(
            m_db->db.rows(QStringLiteral("SELECT 地址, 邮编 FROM 出版社 WHERE 出版社名称 = '科学出版社'")).value(0),
            QStringList({QStringLiteral("北京东城"), QStringLiteral("100717")}));
        QCOMPARE(publishers(), 3);
        expectIdle();
        // Adding after a change frees the name box again.
        w().Cmd_Modify_Click();
        w().Cmd_Add_Click();
        QVERIFY(w().Txt(0)->Enabled());
        QCOMPARE(w().Txt(0)->Text(), QString());
    }

    // A publisher named by any title stays, whether or not the title has copies.
    void deleteRefusedWhileATitleNamesThePublisher()
    {
        exec(QStringLiteral(
            "INSERT 图书档案 VALUES ('978-9','无库存图书','作者乙','上海出版社','2021-01-01',20,0,'1')"));
        w().CurRow = rowOf(QStringLiteral("上海出版社"));
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("检测到有图书为 [ 上海出版社 ] 出版，无法删除。"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(publishers(), 3);
        exec(QStringLiteral("DELETE FROM 图书档案 WHERE ISBN = '978-9'"));

        m_msg->clear();
        m_msg->answer = 2;
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除 [ 上海出版社 ] 吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除出版社"));
        QCOMPARE(publishers(), 3);
        expectIdle();  // refreshed after the answer 2 too

        m_msg->answer = 1;
        w().CurRow = rowOf(QStringLiteral("上海出版社"));
        int key = 46, shift = 0;
        emit grid().KeyDown(key, shift);
        QCOMPARE(publishers(), 2);
        QCOMPARE(rowOf(QStringLiteral("上海出版社")), -1);
        expectIdle();
    }
};

QTEST_MAIN(TestPressInfo)
#include "tst_pressinfo.moc"
