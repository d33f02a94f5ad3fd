// The road of one request: from the main window's F1 to a confirmed lending,
// and back through F2 to the return of one of its copies.
#include "circulation/CirculationFixture.h"
#include "circulation/CirculationForms.h"
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "core/Frm_Main.h"

#include <QApplication>
#include <QtTest>

using namespace circfix;

class TestRoad : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    // A click as the user makes it: the pointer moves onto the button first.
    static void click(QWidget *button, const QPoint &at)
    {
        QTest::mouseMove(button, at);
        QTest::mouseClick(button, Qt::LeftButton, {}, at);
    }
    static void keys(QWidget *target, const QString &text)
    {
        QTest::keyClicks(target, text);
        QTest::keyClick(target, Qt::Key_Return);
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        RegisterCirculationForms();
    }
    void cleanupTestCase()
    {
        vb::Default<Frm_Main>().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    void lendThenReturnFromTheMainWindow()
    {
        Frm_Main &m = vb::Default<Frm_Main>();
        m.Show();
        m.resize(1280, 860);
        QApplication::setActiveWindow(&m);
        QVERIFY(QTest::qWaitForWindowActive(&m));

        // (1) F1: the lending window becomes the current child, its button highlighted.
        QTest::keyClick(&m, Qt::Key_F1);
        Frm_BorrowBook &b = vb::Default<Frm_BorrowBook>();
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&b));
        QCOMPARE(m.HighLightCmd(), m.Cmd_NBarBrwBook.get());
        // (2) granted: working controls shown.
        QCOMPARE(b.Lbl_TBarText->Caption(), QStringLiteral("借书"));
        QVERIFY(b.Frame_Reader->isVisible());

        // (3) reader number and Enter.
        b.Txt_RID->textBox()->setFocus();
        keys(b.Txt_RID->textBox(), QStringLiteral("R001"));
        QCOMPARE(b.Txt_Reader(0)->Text(), QStringLiteral("张三"));
        QVERIFY(b.Txt_BID->textBox()->hasFocus());
        // (4) copy numbers and Enter; the box keeps the focus for the next one.
        keys(b.Txt_BID->textBox(), QStringLiteral("B001"));
        QTest::keyClick(b.Txt_BID->textBox(), Qt::Key_A, Qt::ControlModifier);
        keys(b.Txt_BID->textBox(), QStringLiteral("B003"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(b.Lst_View->ListItems().Count(), 2);
        QCOMPARE(b.Lst_View->ListItems()(2).SubItems(4), QStringLiteral("2024-04-14"));

        // (5) confirmation.
        click(b.Cmd_OK.get(), QPoint(10, 10));
        QCOMPARE(m_msg->last(), QStringLiteral("借书成功！共借出 2 本图书。"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 读者编号 = 'R001' AND 是否已还 = '0'")), 2);
        QCOMPARE(copyStatus(QStringLiteral("B003")), QStringLiteral("借出"));
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 2);
        QCOMPARE(b.Lst_View->ListItems().Count(), 0);

        // F2: the returning window replaces it and lists the two open loans.
        QTest::keyClick(&m, Qt::Key_F2);
        Frm_ReturnBook &r = vb::Default<Frm_ReturnBook>();
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&r));
        QVERIFY(!b.IsLoaded());
        QCOMPARE(m.HighLightCmd(), m.Cmd_NBarReturnBook.get());
        QCOMPARE(r.Grid_ShowData->Rows(), 3);
        QCOMPARE(r.Grid_ShowData->TextMatrix(1, 0), QStringLiteral("240315102030001"));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QStringLiteral("共有 2 条记录"));
        // F2 again: the current child is not reloaded.
        r.CurRow = 2;
        QTest::keyClick(&m, Qt::Key_F2);
        QCOMPARE(r.CurRow, 2);

        m_msg->clear();
        r.Cmd_ReturnSel_Click();
        QCOMPARE(m_msg->msgs.first().text, QStringLiteral("确实要归还编号为 [ B003 ] 的 [ 操作系统 ] 吗？"));
        QCOMPARE(m_msg->last(), QStringLiteral("还书成功！共归还 1 本图书。"));
        QCOMPARE(r.Grid_ShowData->Rows(), 2);
        QCOMPARE(counter(QStringLiteral("R001"), QStringLiteral("当前借书数量")), 1);
        QCOMPARE(copyStatus(QStringLiteral("B003")), QStringLiteral("空闲"));

        // The close button returns to the home page and clears the tip.
        click(r.Cmd_TBarClose.get(), QPoint(5, 5));
        QVERIFY(!r.IsLoaded());
        QVERIFY(CurForm.data() != static_cast<vb::Form *>(&r));
        QCOMPARE(m.HighLightCmd(), static_cast<XButton *>(nullptr));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QString());
    }
};

QTEST_MAIN(TestRoad)
#include "tst_road.moc"
