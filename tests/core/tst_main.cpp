// The main window: bars, menus and buttons as designed, tool bar and status
// bar contents, clock, view toggles, resize rules, hover looks, the status-bar
// tip, the minimum size, log-out, exit and the close box.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/Frm_Login.h"
#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSpontaneKeyEvent>
#include <QtTest>
#include <memory>

namespace {

void moveOver(QWidget *w, QPoint at = QPoint(2, 2))
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

}  // namespace

class TestMain : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;
    int ended = 0;

    Frm_Main &main() { return vb::Default<Frm_Main>(); }

private slots:
    void initTestCase()
    {
        Frm_Main::SetEndHandler([this] { ++ended; });
    }

    void init()
    {
        ended = 0;
        s = std::make_unique<Session>();
        main().Show(vb::vbModeless);
    }

    void cleanup()
    {
        vb::ClearTestClock();
        SetMsgBoxHook(nullptr);
        main().Unload();
        vb::Default<Frm_Login>().Unload();
        s.reset();
    }

    // ---- the window as designed

    void barsAreDockedWithTheirDesignColours()
    {
        Frm_Main &m = main();
        QCOMPARE(m.Caption(), QStringLiteral("Quorvale - Veltrane"));
        QVERIFY(m.windowState() & Qt::WindowMaximized);
        QWidget *client = m.client();
        QCOMPARE(m.Pic_ToolBar->geometry(), QRect(0, 0, client->width(), 24));
        QCOMPARE(m.Pic_StatusBar->geometry(), QRect(0, client->height() - 24, client->width(), 24));
        QCOMPARE(m.Pic_NavigatorBar->geometry(), QRect(0, 24, 89, client->height() - 48));
        QCOMPARE(m.ChildArea->geometry(), QRect(89, 24, client->width() - 89, client->height() - 48));
        QCOMPARE(m.Pic_ToolBar->BackColor(), 0xE0E0E0L);
        QCOMPARE(m.Pic_NavigatorBar->BackColor(), 0xE0E0E0L);
        QCOMPARE(m.Pic_StatusBar->BackColor(), 0xFFFFFFL);
        QCOMPARE(m.Pic_ToolBar->Align(), int(vb::vbAlignTop));
        QCOMPARE(m.Pic_StatusBar->Align(), int(vb::vbAlignBottom));
        QCOMPARE(m.Pic_NavigatorBar->Align(), int(vb::vbAlignLeft));

        // Tool-bar groups at their design places.
        QCOMPARE(m.Pic_TBarSub1->Left(), 0);
        QCOMPARE(m.Pic_TBarSub1->Width(), 3255);
        QCOMPARE(m.Pic_TBarSub2->Left(), 3240);
        QCOMPARE(m.Pic_TBarSub2->Width(), 4935);
        QCOMPARE(m.Pic_TBarSub3->Left(), 8160);
        QCOMPARE(m.Pic_TBarSub3->Width(), 855);
        QCOMPARE(m.Lbl_TBarLabName->ForeColor(), 0x808080L);
        QCOMPARE(m.Lbl_TBarLabName->ToolTipText(), QStringLiteral("图书馆信息[单击更改]"));
        QCOMPARE(m.Lbl_TBarUID->ForeColor(), 0x808080L);
        QCOMPARE(m.Lbl_TBarUID->ToolTipText(), QStringLiteral("当前登录账户"));

        // Navigator title strip.
        QCOMPARE(m.Pic_NBarSub1->BackColor(), 0x800000L);
        QCOMPARE(m.Pic_NBarSub1->Height(), 315);
        QCOMPARE(m.Lbl_NBarTitle->Caption(), QStringLiteral("导航栏"));
        QCOMPARE(m.Lbl_NBarTitle->ForeColor(), 0xFFFFFFL);
        QCOMPARE(m.Shp_NBarSub2->BorderColor(), 0xFFFFFFL);

        // Status panels.
        for (vb::Shape *shp :
             {m.Shp_SBarSub1.get(), m.Shp_SBarSub2.get(), m.Shp_SBarSub3.get(), m.Shp_SBarSub4.get()}) {
            QCOMPARE(shp->BorderColor(), 0xC0C0C0L);
            QCOMPARE(shp->Top(), 30);
            QCOMPARE(shp->Height(), 300);
        }
        const QList<QPair<vb::Label *, QString>> status = {{m.Lbl_SBarSQLServer.get(), QStringLiteral("服务器")},
                                                           {m.Lbl_SBarSQLDB.get(), QStringLiteral("数据库")},
                                                           {m.Lbl_SBarDate.get(), QStringLiteral("系统日期")},
                                                           {m.Lbl_SBarTime.get(), QStringLiteral("系统时间")}};
        for (const auto &[label, tip] : status) {
            QCOMPARE(label->ForeColor(), 0x404040L);
            QCOMPARE(label->ToolTipText(), tip);
        }
        QCOMPARE(m.Timer->Interval(), 1000);
        QVERIFY(m.Timer->Enabled());
        QCOMPARE(m.Timer_Tip->Interval(), 1);
        QCOMPARE(m.minimumSize(), QSize(900, 600));
        QCOMPARE(Frm_Main::MinTrackWidth, 900);
        QCOMPARE(Frm_Main::MinTrackHeight, 600);
    }

    void menusAsDesigned()
    {
        struct Item {
            const char *name;
            QString caption;
            QKeySequence key;
        };
        const QList<QPair<QString, QList<Item>>> menus = {
            {QStringLiteral("文件(&F)"),
             {{"Menu_File_Logout", QStringLiteral("注销(&L)"), {}},
              {"Menu_File_SwapUser", QStringLiteral("切换用户(&S)..."), {}},
              {"Menu_File_Split1", QString(), {}},
              {"Menu_File_DBClear", QStringLiteral("清理数据库(&C)..."), {}},
              {"Menu_File_DBBackup", QStringLiteral("备份数据库(&B)..."), {}},
              {"Menu_File_DBRecover", QStringLiteral("恢复数据库(&R)..."), {}},
              {"Menu_File_Split2", QString(), {}},
              {"Menu_File_Exit", QStringLiteral("退出(&X)"), {}}}},
            {QStringLiteral("视图(&V)"),
             {{"Menu_View_ToolBar", QStringLiteral("工具栏(&T)"), {}},
              {"Menu_View_NavigatorBar", QStringLiteral("导航栏(&N)"), {}},
              {"Menu_View_StatusBar", QStringLiteral("状态栏(&S)"), {}}}},
            {QStringLiteral("基本操作(&C)"),
             {{"Menu_BaseCtrl_BorrowBook", QStringLiteral("借书(&B)"), QKeySequence(Qt::Key_F1)},
              {"Menu_BaseCtrl_ReturnBook", QStringLiteral("还书(&R)"), QKeySequence(Qt::Key_F2)},
              {"Menu_BaseCtrl_Split", QString(), {}},
              {"Menu_BaseCtrl_Query", QStringLiteral("查询(&Q)"), QKeySequence(Qt::Key_F3)},
              {"Menu_BaseCtrl_Statistics", QStringLiteral("统计(&S)"), QKeySequence(Qt::Key_F4)}}},
            {QStringLiteral("资料管理(&M)"),
             {{"Menu_DataMag_BookDoc", QStringLiteral("图书档案管理(&B)"), QKeySequence(Qt::Key_F5)},
              {"Menu_DataMag_BookStore", QStringLiteral("图书库存管理(&S)"), {}},
              {"Menu_DataMag_BookDamage", QStringLiteral("图书损坏管理(&D)"), {}},
              {"Menu_DataMag_Split1", QString(), {}},
              {"Menu_DataMag_ReaderDoc", QStringLiteral("读者档案管理(&R)"), QKeySequence(Qt::Key_F6)},
              {"Menu_DataMag_ReaderType", QStringLiteral("读者类别管理(&T)"), {}},
              {"Menu_DataMag_ReaderDeposit", QStringLiteral("读者充值管理(&C)"), {}},
              {"Menu_DataMag_Split2", QString(), {}},
              {"Menu_DataMag_PressDoc", QStringLiteral("出版社信息管理(&P)"), {}},
              {"Menu_DataMag_LabDoc", QStringLiteral("图书馆信息设置(&L)"), {}}}},
            {QStringLiteral("安全选项(&S)"),
             {{"Menu_Security_LockApp", QStringLiteral("锁定系统(&L)..."), QKeySequence(Qt::CTRL | Qt::Key_L)},
              {"Menu_Security_Split1", QString(), {}},
              {"Menu_Security_AccountMag", QStringLiteral("账户管理(&A)"), {}},
              {"Menu_Security_AccountType", QStringLiteral("账户权限(&T)"), {}},
              {"Menu_Security_Split2", QString(), {}},
              {"Menu_Security_LogInfo", QStringLiteral("账户最近登录信息(&I)"), {}}}},
            {QStringLiteral("帮助(&H)"),
             {{"Menu_Help_Content", QStringLiteral("内容(&C)..."), QKeySequence(Qt::CTRL | Qt::Key_F1)},
              {"Menu_Help_Manual", QStringLiteral("用户手册(&U)..."), QKeySequence(Qt::CTRL | Qt::Key_F2)},
              {"Menu_Help_Split", QString(), {}},
              {"Menu_Help_About", QStringLiteral("关于(&A)..."), QKeySequence(Qt::CTRL | Qt::Key_F5)}}},
        };
        QMenuBar *bar = main().MenuBar();
        const QList<QAction *> tops = bar->actions();
        QCOMPARE(tops.size(), menus.size());
        // Within the bar and within each menu every access key is another: a
        // key that two items share would only move between them.
        auto accessKeys = [](const QList<QAction *> &actions) {
            QStringList keys;
            for (const QAction *a : actions) {
                const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
                if (amp >= 0 && amp + 1 < a->text().size()) keys << a->text().mid(amp + 1, 1).toUpper();
            }
            return keys;
        };
        QList<QList<QAction *>> groups{tops};
        for (const QAction *t : tops) groups << t->menu()->actions();
        for (const QList<QAction *> &actions : groups) {
            const QStringList keys = accessKeys(actions);
            QVERIFY2(QSet<QString>(keys.begin(), keys.end()).size() == keys.size(), qPrintable(keys.join(u' ')));
        }
        for (int i = 0; i < menus.size(); ++i) {
            QCOMPARE(tops.at(i)->text(), menus.at(i).first);
            const QList<QAction *> items = tops.at(i)->menu()->actions();
            const QList<Item> &want = menus.at(i).second;
            QCOMPARE(items.size(), want.size());
            for (int j = 0; j < want.size(); ++j) {
                const Item &w = want.at(j);
                QAction *a = items.at(j);
                QCOMPARE(a->objectName(), QString::fromLatin1(w.name) + QStringLiteral("__action"));
                if (w.caption.isEmpty()) {
                    QVERIFY(a->isSeparator());
                    continue;
                }
                QCOMPARE(a->text(), w.caption);
                QCOMPARE(a->shortcut(), w.key);
                QVERIFY(a->isEnabled());
            }
        }
        QVERIFY(main().Menu_View_ToolBar->Checked());
        QVERIFY(main().Menu_View_NavigatorBar->Checked());
        QVERIFY(main().Menu_View_StatusBar->Checked());
    }

    void buttonsAsDesigned()
    {
        Frm_Main &m = main();
        struct B {
            XButton *b;
            QString caption, tip;
            long back, fore, on, down, style;
        };
        const long dflt = 0x80000012L;
        const QList<B> want = {
            {m.Cmd_TBarSwapUser.get(), QStringLiteral("切换用户"), QStringLiteral("切换到其他用户"), 0xE0E0E0, 0x808080,
             0xFFFFFF, 0xC0C0C0, 0},
            {m.Cmd_TBarLogout.get(), QStringLiteral("注销"), QStringLiteral("注销当前用户"), 0xE0E0E0, 0x808080,
             0xFFFFFF, 0xC0C0C0, 0},
            {m.Cmd_TBarLockApp.get(), QStringLiteral("锁定"), QStringLiteral("锁定系统"), 0xE0E0E0, 0x808080, 0xFFFFFF,
             0xC0C0C0, 0},
            {m.Cmd_TBarHelp.get(), QString(), QStringLiteral("帮助"), 0xE0E0E0, dflt, 0xFFFFFF, 0xC0C0C0, 0},
            {m.Cmd_TBarExit.get(), QString(), QStringLiteral("退出"), 0xE0E0E0, dflt, 0xFFFFFF, 0xC0C0C0, 0},
            {m.Cmd_NBarClose.get(), QStringLiteral("×"), QStringLiteral("关闭导航栏"), 0x800000, 0xFFFFFF, 0x800000,
             0x800000, 0},
            {m.Cmd_NBarBrwBook.get(), QStringLiteral("借书"), QString(), 0xE0E0E0, 0x800000, 0xFFFFFF, 0xC0C0C0,
             0xFF8080},
            {m.Cmd_NBarReturnBook.get(), QStringLiteral("还书"), QString(), 0xE0E0E0, 0x800000, 0xFFFFFF, 0xC0C0C0,
             0xFF8080},
            {m.Cmd_NBarQuery.get(), QStringLiteral("查询"), QString(), 0xE0E0E0, 0x800000, 0x80000004, 0xC0C0C0,
             0xFF8080},
            {m.Cmd_NBarStatistics.get(), QStringLiteral("统计"), QString(), 0xE0E0E0, 0x800000, 0x80000004, 0xC0C0C0,
             0xFF8080},
            {m.Cmd_NBarBookMag.get(), QStringLiteral("图书档案"), QString(), 0xE0E0E0, 0x800000, 0x80000004, 0xC0C0C0,
             0xFF8080},
            {m.Cmd_NBarReaderMag.get(), QStringLiteral("读者档案"), QString(), 0xE0E0E0, 0x800000, 0x80000004, 0xC0C0C0,
             0xFF8080},
        };
        for (const B &w : want) {
            const QByteArray name = w.b->objectName().toUtf8();
            QVERIFY2(w.b->caption() == w.caption, name);
            QVERIFY2(w.b->ToolTip() == w.tip, name);
            QVERIFY2(w.b->BackColor() == w.back, name);
            QVERIFY2(w.b->ForeColor() == w.fore, name);
            QVERIFY2(w.b->MouseOnColor() == w.on, name);
            QVERIFY2(w.b->MouseDownColor() == w.down, name);
            QVERIFY2(w.b->StyleColor() == w.style, name);
            QVERIFY2(!w.b->IfDraw(), name);
        }
        QVERIFY(!m.Cmd_TBarHelp->Picture().isNull());
        QVERIFY(!m.Cmd_TBarExit->Picture().isNull());
        // The six navigator buttons top to bottom inside the white frame.
        int lastTop = m.Shp_NBarSub2->Top();
        for (XButton *b : {m.Cmd_NBarBrwBook.get(), m.Cmd_NBarReturnBook.get(), m.Cmd_NBarQuery.get(),
                           m.Cmd_NBarStatistics.get(), m.Cmd_NBarBookMag.get(), m.Cmd_NBarReaderMag.get()}) {
            QVERIFY(b->Top() > lastTop);
            lastTop = b->Top() + b->Height();
            QVERIFY(b->Left() >= m.Shp_NBarSub2->Left());
        }
    }

    // ---- contents

    void toolBarShowsLibraryAndUser()
    {
        Frm_Main &m = main();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("城市图书馆"));
        QCOMPARE(m.Lbl_TBarUID->Caption(), QStringLiteral("admin"));

        CurUID = QStringLiteral("abcdefghijklm");  // 13 characters: whole
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarUID->Caption(), QStringLiteral("abcdefghijklm"));
        CurUID = QStringLiteral("abcdefghijklmn");  // 14: the first ten and "..."
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarUID->Caption(), QStringLiteral("abcdefghij..."));
        CurUID = QStringLiteral("图书馆管理员甲乙丙丁戊己庚辛");  // counted in characters
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarUID->Caption(), QStringLiteral("图书馆管理员甲乙丙丁..."));

        s->db.conn().Execute(QStringLiteral("UPDATE 图书馆信息 SET 图书馆名称 = '河畔分馆'"));
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("河畔分馆"));
        // A null name or no row at all: the label keeps what it shows and nothing stops.
        s->db.conn().Execute(QStringLiteral("UPDATE 图书馆信息 SET 图书馆名称 = Null"));
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("河畔分馆"));
        s->db.conn().Execute(QStringLiteral("DELETE FROM 图书馆信息"));
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("河畔分馆"));
        SQLConn().Close();
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarUID->Caption(), QStringLiteral("图书馆管理员甲乙丙丁..."));
    }

    void statusBarAndClock()
    {
        Frm_Main &m = main();
        QCOMPARE(m.Lbl_SBarSQLServer->Caption(), s->db.server());
        QCOMPARE(m.Lbl_SBarSQLDB->Caption(), s->db.database());
        QVERIFY(!m.Pic_SBarTip->isVisibleTo(&m));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QString());

        vb::SetTestClock(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10)));
        m.Timer_Timer();
        QCOMPARE(m.Lbl_SBarDate->Caption(), QStringLiteral("2024-03-05"));
        QCOMPARE(m.Lbl_SBarTime->Caption(), QStringLiteral("08:09:10"));
        vb::SetTestClock(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
        QTRY_COMPARE(m.Lbl_SBarTime->Caption(), QStringLiteral("23:59:59"));  // the running clock
        QCOMPARE(m.Lbl_SBarDate->Caption(), QStringLiteral("2024-12-31"));
    }

    void statusBarToggledTwice()
    {
        Frm_Main &m = main();
        ShowSBarTip(QStringLiteral("共有 3 条记录"));
        const int areaHeight = m.ChildArea->height();
        m.Menu_View_StatusBar_Click();
        QVERIFY(!m.Menu_View_StatusBar->Checked());
        QVERIFY(!m.Pic_StatusBar->isVisibleTo(&m));
        QVERIFY(!m.Timer->Enabled());
        QCOMPARE(m.ChildArea->height(), areaHeight + 24);

        vb::SetTestClock(QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)));
        m.Menu_View_StatusBar->action()->trigger();
        QVERIFY(m.Menu_View_StatusBar->Checked());
        QVERIFY(m.Pic_StatusBar->isVisibleTo(&m));
        QVERIFY(m.Timer->Enabled());
        QVERIFY(!m.Pic_SBarTip->isVisibleTo(&m));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QString());
        QCOMPARE(m.Lbl_SBarTip->Left(), m.Pic_SBarTipBack->Width());
        QCOMPARE(m.Lbl_SBarDate->Caption(), QStringLiteral("2025-01-02"));
        QCOMPARE(m.Lbl_SBarTime->Caption(), QStringLiteral("03:04:05"));
        QCOMPARE(m.ChildArea->height(), areaHeight);
    }

    void navigatorClosedAndBroughtBack()
    {
        Frm_Main &m = main();
        const int areaWidth = m.ChildArea->width();
        clickButton(m.Cmd_NBarClose.get());
        QVERIFY(!m.Pic_NavigatorBar->isVisibleTo(&m));
        QVERIFY(!m.Menu_View_NavigatorBar->Checked());
        QCOMPARE(m.ChildArea->width(), areaWidth + 89);
        m.Menu_View_NavigatorBar->action()->trigger();
        QVERIFY(m.Pic_NavigatorBar->isVisibleTo(&m));
        QVERIFY(m.Menu_View_NavigatorBar->Checked());
        QCOMPARE(m.ChildArea->width(), areaWidth);

        m.Menu_View_ToolBar_Click();
        QVERIFY(!m.Pic_ToolBar->isVisibleTo(&m));
        QVERIFY(!m.Menu_View_ToolBar->Checked());
        m.Menu_View_ToolBar_Click();
        QVERIFY(m.Pic_ToolBar->isVisibleTo(&m));
        QVERIFY(m.Menu_View_ToolBar->Checked());
    }

    void resizeStretchesOnlyTheTipPanel()
    {
        Frm_Main &m = main();
        m.setWindowState(Qt::WindowNoState);
        m.resize(1000, 700);
        QTRY_COMPARE(m.width(), 1000);
        const int w1 = m.Pic_StatusBar->Width();
        QCOMPARE(w1, 15000);
        QCOMPARE(m.Shp_SBarSub4->Width(), w1 - m.Shp_SBarSub4->Left() - 30);
        QCOMPARE(m.Pic_SBarTipBack->Width(), w1 - m.Pic_SBarTipBack->Left() - 315);
        QCOMPARE(m.Pic_SBarDrag->Left(), w1 - 300);
        QCOMPARE(m.Shp_NBarSub2->Height(), m.Pic_NavigatorBar->Height() - m.Shp_NBarSub2->Top() - 15);
        const int fixed1 = m.Shp_SBarSub1->Width(), fixed2 = m.Shp_SBarSub2->Width(), fixed3 = m.Shp_SBarSub3->Width();
        const int tip1 = m.Pic_SBarTipBack->Width();

        m.resize(1200, 800);
        QTRY_COMPARE(m.width(), 1200);
        const int w2 = m.Pic_StatusBar->Width();
        QCOMPARE(m.Pic_SBarTipBack->Width(), tip1 + (w2 - w1));
        QCOMPARE(m.Shp_SBarSub4->Width(), w2 - m.Shp_SBarSub4->Left() - 30);
        QCOMPARE(m.Pic_SBarDrag->Left(), w2 - 300);
        QCOMPARE(m.Shp_SBarSub1->Width(), fixed1);
        QCOMPARE(m.Shp_SBarSub2->Width(), fixed2);
        QCOMPARE(m.Shp_SBarSub3->Width(), fixed3);
        QCOMPARE(m.Shp_NBarSub2->Height(), m.Pic_NavigatorBar->Height() - m.Shp_NBarSub2->Top() - 15);
        // Tool-bar groups keep their places.
        QCOMPARE(m.Pic_TBarSub3->Left(), 8160);

        // Never below 900 x 600 pixels.
        m.resize(400, 300);
        QCOMPARE(m.size(), QSize(900, 600));
    }

    void hoverLooksOfTheToolBarLabels()
    {
        Frm_Main &m = main();
        for (auto [label, group] : {qMakePair(m.Lbl_TBarLabName.get(), m.Pic_TBarSub1.get()),
                                    qMakePair(m.Lbl_TBarUID.get(), m.Pic_TBarSub2.get())}) {
            moveOver(label);
            QVERIFY(label->FontUnderline());
            QCOMPARE(label->ForeColor(), 0xFFFFFFL);
            moveOver(label);  // set again on every move
            QCOMPARE(label->ForeColor(), 0xFFFFFFL);
            moveOver(group, QPoint(group->width() - 3, 2));
            QVERIFY(!label->FontUnderline());
            QCOMPARE(label->ForeColor(), 0x808080L);
        }
    }

    // ---- the status-bar tip

    void tipScrollsInFromTheRight()
    {
        Frm_Main &m = main();
        ShowSBarTip(QStringLiteral("   共有 12 条记录  "));
        QVERIFY(m.Pic_SBarTip->isVisibleTo(&m));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QStringLiteral("共有 12 条记录"));
        QCOMPARE(m.Lbl_SBarTip->ForeColor(), vb::RGB(255, 0, 0));
        const int start = m.Pic_SBarTipBack->Width();
        QCOMPARE(m.Lbl_SBarTip->Left(), start);
        QVERIFY(m.Timer_Tip->Enabled());
        m.Timer_Tip->setEnabled(false);  // ticks by hand from here
        m.Timer_Tip_Timer();
        QCOMPARE(m.Lbl_SBarTip->Left(), start - 15);
        for (int i = 0; i < 10; ++i) m.Timer_Tip_Timer();

        // A second tip replaces the first and starts again from the right, in red.
        ShowSBarTip(QStringLiteral("第二条"));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QStringLiteral("第二条"));
        QCOMPARE(m.Lbl_SBarTip->Left(), start);
        QCOMPARE(m.Lbl_SBarTip->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(m.Timer_Tip->Enabled());
        // Left to its timer, it stops at the left edge in dark grey.
        QTRY_VERIFY_WITH_TIMEOUT(!m.Timer_Tip->Enabled(), 20000);
        QVERIFY(m.Lbl_SBarTip->Left() <= 0);
        QVERIFY(m.Lbl_SBarTip->Left() > -15);
        QCOMPARE(m.Lbl_SBarTip->ForeColor(), 0x404040L);

        ShowSBarTip(QString());
        QVERIFY(!m.Pic_SBarTip->isVisibleTo(&m));
        QCOMPARE(m.Lbl_SBarTip->Caption(), QString());
        QCOMPARE(m.Lbl_SBarTip->Left(), m.Pic_SBarTipBack->Width());
    }

    void emptyTipLeavesARunningTimerRunning()
    {
        Frm_Main &m = main();
        ShowSBarTip(QStringLiteral("x"));
        ShowSBarTip(QString());
        QVERIFY(m.Timer_Tip->Enabled());
    }

    void tipLoadsTheMainWindowFirst()
    {
        main().Unload();
        QVERIFY(!main().IsLoaded());
        ShowSBarTip(QStringLiteral("admin，欢迎使用Veltrane！"));
        QVERIFY(main().IsLoaded());
        QVERIFY(!main().isVisible());
        QCOMPARE(main().Lbl_SBarTip->Caption(), QStringLiteral("admin，欢迎使用Veltrane！"));
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&vb::Default<Frm_Welcome>()));
        QVERIFY(vb::Default<Frm_Welcome>().IsLoaded());
    }

    // ---- help, dialogs not present, shortcuts

    void helpItemsShowTheirNotices()
    {
        MsgLog log;
        Frm_Main &m = main();
        clickButton(m.Cmd_TBarHelp.get());
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().text, QStringLiteral("暂无帮助信息。"));
        QCOMPARE(log.last().icon, QStringLiteral("!"));
        QCOMPARE(log.last().title, QStringLiteral("提示"));
        m.Menu_Help_Manual->action()->trigger();
        QCOMPARE(log.last().text, QStringLiteral("暂无用户手册。"));
        QCOMPARE(log.last().icon, QStringLiteral("!"));

        // Backup and restore do nothing; dialogs that are not part of this build do nothing either.
        vb::Form *cur = CurForm.data();
        for (vb::MenuItem *item : {m.Menu_File_DBBackup.get(), m.Menu_File_DBRecover.get(), m.Menu_File_SwapUser.get(),
                                   m.Menu_File_DBClear.get(), m.Menu_Help_About.get(), m.Menu_Security_LockApp.get()})
            item->action()->trigger();
        QCOMPARE(log.count(), 2);
        QVERIFY(m.isVisible());
        QCOMPARE(CurForm.data(), cur);
    }

    void ctrlShortcutsOpenHelpManualAboutAndLock()
    {
        MsgLog log;
        Frm_Main &m = main();
        StubForm &about = registerStub(QStringLiteral("Frm_About"), false, true);
        StubForm &lock = registerStub(QStringLiteral("Frm_LockApp"), false);
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QTest::keyClick(&m, Qt::Key_F1, Qt::ControlModifier);
        QCOMPARE(log.last().text, QStringLiteral("暂无帮助信息。"));
        QTest::keyClick(&m, Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(log.last().text, QStringLiteral("暂无用户手册。"));
        const int aboutLoads = about.loads;
        vb::Form *cur = CurForm.data();
        QTest::keyClick(&m, Qt::Key_F5, Qt::ControlModifier);
        QCOMPARE(about.loads, aboutLoads + 1);
        QCOMPARE(CurForm.data(), cur);  // a dialog is not a child
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QTest::keyClick(&m, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!m.isVisible());
        QVERIFY(lock.isVisible());
        QVERIFY(m.IsLoaded());  // hidden, not unloaded: the child keeps its state
        lock.Unload();
        m.Show(vb::vbModeless);
    }

    // ---- leaving

    void logoutClosesTheConnectionAndShowsLogin()
    {
        Frm_Main &m = main();
        clickButton(m.Cmd_TBarLogout.get());
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        QVERIFY(!m.IsLoaded());
        QVERIFY(!m.isVisible());
        QVERIFY(!vb::Default<Frm_Welcome>().IsLoaded());
        QVERIFY(m.minimumSize().width() < 900);  // the main window's procedure is taken out again
        QVERIFY(vb::Default<Frm_Login>().isVisible());
        QCOMPARE(CurUID, QStringLiteral("admin"));  // kept until the next login
        QCOMPARE(SQLDB, s->db.database());
        QCOMPARE(ended, 0);
    }

    void exitWithAClosedConnectionEndsQuietly()
    {
        SQLConn().Close();
        main().Menu_File_Exit_Click();
        QVERIFY(!main().IsLoaded());
        QCOMPARE(ended, 1);

        // Again from the tool bar, the connection open this time.
        OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
        main().Show(vb::vbModeless);
        clickButton(main().Cmd_TBarExit.get());
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        QVERIFY(!main().IsLoaded());
        QCOMPARE(ended, 2);
    }

    void closeBoxUnloadsAndEnds()
    {
        Frm_Main &m = main();
        QCloseEvent ev;
        QSpontaneKeyEvent::setSpontaneous(&ev);
        qApp->notify(&m, &ev);
        QVERIFY(ev.isAccepted());
        QVERIFY(!m.IsLoaded());
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        QTRY_COMPARE(ended, 1);
        // The next load starts over with a fresh home page and all bars.
        m.Show(vb::vbModeless);
        QVERIFY(m.Pic_NavigatorBar->isVisibleTo(&m));
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&vb::Default<Frm_Welcome>()));
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"
