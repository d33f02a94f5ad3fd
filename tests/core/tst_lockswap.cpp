// The lock screen and the change of user: the main window hidden while locked,
// only the current user's password unlocking it, every success recorded like
// a login; a change of user refreshing the tool bar and rebuilding the current
// child window under the new user's permissions.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/ChildFormSwitch.h"
#include "core/ChildListForm.h"
#include "core/Frm_LockApp.h"
#include "core/Frm_Main.h"
#include "core/Frm_SwapUser.h"
#include "core/Frm_Welcome.h"
#include "core/SessionDialogs.h"

#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <memory>

// A gated list window: refused without 办理还书权限.
class GatedChild : public ChildListForm {
public:
    GatedChild() : ChildListForm(QStringLiteral("Frm_GatedChild")) { }
    int loads = 0;

protected:
    QString GatePower() const override { return QStringLiteral("办理还书权限"); }
    void CreateControls() override
    {
        CreateTitleBar();
        CreateGrid(240, 720, 6000, 3000);
    }
    void ResetQuery() override
    {
        SQLSelect = QStringLiteral("SELECT 用户名");
        SQLFrom = QStringLiteral("FROM 账户");
        SQLWhere.clear();
        SQLGroup.clear();
        SQLOrder.clear();
        ComposeSQL();
    }
    void Form_Load() override
    {
        ++loads;
        ChildListForm::Form_Load();
    }
};

class TestLockSwap : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    Frm_Main &main() { return vb::Default<Frm_Main>(); }
    Frm_LockApp &lock() { return vb::Default<Frm_LockApp>(); }
    Frm_SwapUser &swap() { return vb::Default<Frm_SwapUser>(); }
    Frm_Welcome &home() { return vb::Default<Frm_Welcome>(); }

    int loginRows(const QString &user = QString())
    {
        QString sql = QStringLiteral("SELECT COUNT(*) FROM 账户登录");
        if (!user.isEmpty()) sql += QStringLiteral(" WHERE 用户名 = '") + user + QStringLiteral("'");
        return s->db.scalar(sql).toInt();
    }

    void pressEnter(FTextBox *box) { QTest::keyClick(box->textBox(), Qt::Key_Return); }

    // Opens the change of user from the main window's menu; `act` runs while it is up.
    void withSwapDialog(const std::function<void()> &act)
    {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            act();
            if (swap().IsLoaded()) swap().Unload();
        });
        main().Menu_File_SwapUser_Click();
        QVERIFY(ran);
    }

private slots:
    void initTestCase()
    {
        AppVersion = QStringLiteral("1.0.0");
        Frm_Main::SetEndHandler([] {});
        RegisterSessionDialogs();
        registerStub(QStringLiteral("Frm_StubChild"));
    }

    void init()
    {
        s = std::make_unique<Session>();
        // A second account with its own type that may not return books.
        s->db.exec({QStringLiteral("INSERT 账户类型 VALUES ('借阅员', 1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0)"),
                    QStringLiteral("INSERT 账户 VALUES ('clerk', 'Pw 2', '王明', 'second', '借阅员', Null, '正常')")});
        CheckLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        main().Show(vb::vbModeless);
    }

    void cleanup()
    {
        if (lock().IsLoaded()) {
            // Only the password ends a lock; the test ends it through the button.
            lock().Txt_Password->setText(QStringLiteral("admin"));
            CurUID = QStringLiteral("admin");
            lock().Cmd_Unlock_Click();
        }
        swap().Unload();
        main().Unload();
        s.reset();
    }

    // ---- lock screen

    void lockHidesMainAndRightPasswordShowsItAgain()
    {
        MsgLog log;
        ChildFormSwitch(&registerStub(QStringLiteral("Frm_StubChild")), nullptr);
        StubForm &child = registerStub(QStringLiteral("Frm_StubChild"));
        child.state = QStringLiteral("typed by the user");
        const int loads = child.loads;
        s->db.exec({QStringLiteral("UPDATE 账户 SET 最后登录时间 = '2020-01-02 03:04:05' WHERE 用户名 = 'admin'")});
        const int rows = loginRows(QStringLiteral("admin"));

        clickButton(main().Cmd_TBarLockApp.get());
        QVERIFY(!main().isVisible());
        QVERIFY(main().IsLoaded());
        QVERIFY(lock().isVisible());
        QCOMPARE(lock().Caption(), QStringLiteral("解除锁定"));
        QCOMPARE(lock().Lbl_TBarTitle->Caption(), QStringLiteral("解除锁定"));
        QCOMPARE(lock().Lbl_TBarText->Caption(), QStringLiteral("本程序已被锁定，您需要输入密码进行解锁"));
        QCOMPARE(lock().LayeredAlpha(), 192);
        QCOMPARE(lock().Txt_UID->Text(), QStringLiteral("admin"));
        QVERIFY(lock().Txt_UID->Locked());
        QVERIFY(!lock().Txt_UID->Enabled());
        // The placeholder shows masked.
        QCOMPARE(lock().Txt_Password->PasswordChar(), QStringLiteral("*"));
        QVERIFY(!lock().Txt_Password->Text().isEmpty());
        QCOMPARE(lock().Txt_Password->textBox()->echoMode(), QLineEdit::Password);

        lock().Txt_Password->setText(QStringLiteral("admin"));
        clickButton(lock().Cmd_Unlock.get());
        QVERIFY(!lock().IsLoaded());
        QVERIFY(!lock().isVisible());
        QVERIFY(main().isVisible());
        QCOMPARE(log.count(), 0);
        // Recorded like a login.
        QCOMPARE(loginRows(QStringLiteral("admin")), rows + 1);
        QCOMPARE(LastLogTime, QStringLiteral("2020-01-02 03:04:05"));
        QVERIFY(s->db.scalar(QStringLiteral("SELECT 最后登录时间 FROM 账户 WHERE 用户名 = 'admin'"))
                != QStringLiteral("2020-01-02 03:04:05"));
        QCOMPARE(main().Lbl_SBarTip->Caption(), QStringLiteral("admin，欢迎使用Veltrane！"));
        // The working window was only hidden with the main window.
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&child));
        QCOMPARE(child.loads, loads);
        QCOMPARE(child.state, QStringLiteral("typed by the user"));
        QVERIFY(child.isVisible());
    }

    void onlyTheCurrentUsersExactPasswordUnlocks()
    {
        MsgLog log;
        main().Menu_Security_LockApp_Click();
        const int rows = loginRows();
        // Another account's valid password, the right one in other letter case
        // or with a blank after it: all refused.
        for (const QString &wrong :
             {QStringLiteral("Pw 2"), QStringLiteral("ADMIN"), QStringLiteral("admin "), QString()}) {
            lock().Txt_Password->setText(wrong);
            clickButton(lock().Cmd_Unlock.get());
            QCOMPARE(log.last().text, QStringLiteral("密码错误！"));
            QCOMPARE(log.last().icon, QStringLiteral("x"));
            QCOMPARE(log.last().title, QStringLiteral("解锁失败"));
            QVERIFY(lock().IsLoaded());
            QVERIFY(lock().isVisible());
            QVERIFY(!main().isVisible());
        }
        QCOMPARE(log.count(), 4);
        QCOMPARE(loginRows(), rows);
        QCOMPARE(CurUID, QStringLiteral("admin"));
        // Enter in the password box unlocks as the button does.
        lock().Txt_Password->setText(QStringLiteral("admin"));
        pressEnter(lock().Txt_Password.get());
        QVERIFY(!lock().IsLoaded());
        QVERIFY(main().isVisible());
        QCOMPARE(loginRows(), rows + 1);
    }

    void lockOfUserTypedInOtherCaseAndDisabledAccount()
    {
        MsgLog log;
        // Logged in as " CLERK " typed: the lock shows and checks that name.
        QVERIFY(CheckLogin(QStringLiteral(" CLERK "), QStringLiteral("Pw 2")));
        s->db.exec({QStringLiteral("UPDATE 账户 SET 状态 = '停用' WHERE 用户名 = 'clerk'")});
        main().Menu_Security_LockApp_Click();
        QCOMPARE(lock().Txt_UID->Text(), QStringLiteral("CLERK"));
        lock().Txt_Password->setText(QStringLiteral("admin"));
        lock().Cmd_Unlock_Click();
        QCOMPARE(log.count(), 1);
        // Disabled meanwhile: its own password no longer unlocks, and nothing is recorded.
        const int rows = loginRows();
        lock().Txt_Password->setText(QStringLiteral("Pw 2"));
        lock().Cmd_Unlock_Click();
        QCOMPARE(log.count(), 2);
        QCOMPARE(log.last().text, QStringLiteral("该账户已停用，请联系管理员！"));
        QCOMPARE(log.last().icon, QStringLiteral("x"));
        QCOMPARE(log.last().title, QStringLiteral("解锁失败"));
        QVERIFY(lock().IsLoaded());
        QVERIFY(!main().isVisible());
        QCOMPARE(loginRows(), rows);
        s->db.exec({QStringLiteral("UPDATE 账户 SET 状态 = '正常' WHERE 用户名 = 'clerk'")});
        lock().Cmd_Unlock_Click();
        QCOMPARE(log.count(), 2);
        QVERIFY(!lock().IsLoaded());
        QVERIFY(main().isVisible());
        QCOMPARE(CurUID, QStringLiteral("CLERK"));
    }

    void lockCannotBeClosedOtherThanByPassword()
    {
        main().Menu_Security_LockApp_Click();
        QVERIFY(!lock().close());
        QVERIFY(lock().IsLoaded());
        QVERIFY(lock().isVisible());
        QVERIFY(!main().isVisible());
        // Each lock opens afresh with the placeholder again.
        lock().Txt_Password->setText(QStringLiteral("admin"));
        lock().Cmd_Unlock_Click();
        main().Menu_Security_LockApp_Click();
        QCOMPARE(lock().Txt_Password->Text(), Frm_LockApp::PasswordPlaceholder());
    }

    // ---- change of user

    void swapDialogOpensWithEveryNameAndNoneChosen()
    {
        s->db.exec({QStringLiteral("INSERT 账户 VALUES ('zed', 'z', 'Zed', Null, '借阅员', Null, '正常')")});
        bool checked = false;
        withSwapDialog([&] {
            QVERIFY(swap().isVisible());
            QVERIFY(swap().IsModalShowing());
            QCOMPARE(swap().Caption(), QStringLiteral("切换用户"));
            QCOMPARE(swap().Lbl_TBarTitle->Caption(), QStringLiteral("切换用户"));
            QCOMPARE(swap().Lbl_TBarText->Caption(), QStringLiteral("选择用户名并输入密码可快速切换至其它用户"));
            QCOMPARE(swap().LayeredAlpha(), 192);
            QStringList names;
            for (int i = 0; i < swap().Cmb_UID->ListCount(); ++i) names << swap().Cmb_UID->List(i);
            names.sort();
            QCOMPARE(names, (QStringList{QStringLiteral("admin"), QStringLiteral("clerk"), QStringLiteral("zed")}));
            QCOMPARE(swap().Cmb_UID->ListIndex(), -1);
            QCOMPARE(swap().Cmb_UID->Text(), QString());
            QVERIFY(swap().Cmb_UID->EnabledText());
            QCOMPARE(swap().Txt_Password->textBox()->echoMode(), QLineEdit::Password);
            QVERIFY(!swap().Txt_Password->Text().isEmpty());
            checked = true;
        });
        QVERIFY(checked);
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&home()));  // a dialog is not a child
    }

    void swapRefreshesToolBarAndRebuildsTheHomePage()
    {
        MsgLog log;
        const int rows = loginRows(QStringLiteral("clerk"));
        QCOMPARE(home().Lbl_UID->Caption(), QStringLiteral("admin"));
        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral(" CLERK "));
            swap().Txt_Password->setText(QStringLiteral("Pw 2"));
            clickButton(swap().Cmd_Change.get());
            QVERIFY(!swap().IsLoaded());
        });
        QCOMPARE(log.count(), 0);
        QCOMPARE(CurUID, QStringLiteral("CLERK"));
        QCOMPARE(main().Lbl_TBarUID->Caption(), QStringLiteral("CLERK"));
        QCOMPARE(loginRows(QStringLiteral("clerk")), rows + 1);
        // The home page was loaded again for the new user.
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&home()));
        QVERIFY(home().isVisible());
        QCOMPARE(home().Lbl_UID->Caption(), QStringLiteral("clerk"));
        QCOMPARE(home().Lbl_UserName->Caption(), QStringLiteral("王明"));
        QCOMPARE(home().Lbl_UserType->Caption(), QStringLiteral("借阅员"));
        QVERIFY(main().isVisible());
    }

    void swapToSameUserStillRebuildsTheChild()
    {
        MsgLog log;
        StubForm &child = registerStub(QStringLiteral("Frm_StubChild"));
        ChildFormSwitch(&child, nullptr);
        child.state = QStringLiteral("typed by the user");
        const int loads = child.loads, unloads = child.unloads;
        const int rows = loginRows(QStringLiteral("admin"));
        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral("admin"));
            swap().Txt_Password->setText(QStringLiteral("admin"));
            pressEnter(swap().Txt_Password.get());
        });
        QCOMPARE(log.count(), 0);
        QCOMPARE(child.unloads, unloads + 1);
        QCOMPARE(child.loads, loads + 1);
        QCOMPARE(child.state, QString());
        QVERIFY(child.isVisible());
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&child));
        QCOMPARE(loginRows(QStringLiteral("admin")), rows + 1);
    }

    void wrongSwapKeepsTheUserAndTheChild()
    {
        MsgLog log;
        StubForm &child = registerStub(QStringLiteral("Frm_StubChild"));
        ChildFormSwitch(&child, nullptr);
        const int loads = child.loads;
        const int rows = loginRows();
        withSwapDialog([&] {
            for (const auto &[name, pwd] : {std::pair{QStringLiteral("clerk"), QStringLiteral("pw 2")},
                                            std::pair{QStringLiteral("nobody"), QStringLiteral("Pw 2")},
                                            std::pair{QString(), QStringLiteral("admin")}}) {
                swap().Cmb_UID->setText(name);
                swap().Txt_Password->setText(pwd);
                swap().Cmd_Change_Click();
                QCOMPARE(log.last().text, QStringLiteral("用户名或密码错误！"));
                QCOMPARE(log.last().icon, QStringLiteral("x"));
                QCOMPARE(log.last().title, QStringLiteral("登录失败"));
                QVERIFY(swap().IsLoaded());
            }
        });
        QCOMPARE(log.count(), 3);
        QCOMPARE(CurUID, QStringLiteral("admin"));
        QCOMPARE(main().Lbl_TBarUID->Caption(), QStringLiteral("admin"));
        QCOMPARE(child.loads, loads);
        QCOMPARE(loginRows(), rows);
    }

    void closingTheSwapDialogChangesNothing()
    {
        StubForm &child = registerStub(QStringLiteral("Frm_StubChild"));
        ChildFormSwitch(&child, nullptr);
        const int loads = child.loads;
        const int rows = loginRows();
        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral("clerk"));
            swap().Txt_Password->setText(QStringLiteral("Pw 2"));
            QVERIFY(swap().close());
        });
        QVERIFY(!swap().IsLoaded());
        QCOMPARE(CurUID, QStringLiteral("admin"));
        QCOMPARE(child.loads, loads);
        QCOMPARE(loginRows(), rows);
    }

    void swapToUserWithoutPermissionRefusesTheChild()
    {
        MsgLog log;
        static GatedChild *gated = new GatedChild;
        ChildFormSwitch(gated, nullptr);
        QCOMPARE(gated->Lbl_TBarText->Caption(), gated->Caption());
        QVERIFY(gated->Grid_ShowData->isVisible());
        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral("clerk"));
            swap().Txt_Password->setText(QStringLiteral("Pw 2"));
            swap().Cmd_Change_Click();
        });
        QCOMPARE(CurUID, QStringLiteral("clerk"));
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(gated));
        QCOMPARE(gated->Lbl_TBarText->Caption(), ChildListForm::RefusedText());
        QVERIFY(!gated->Grid_ShowData->isVisible());
        // A disabled account can't be switched to: the user and the child stay.
        s->db.exec({QStringLiteral("UPDATE 账户 SET 状态 = '停用' WHERE 用户名 = 'admin'")});
        const int rows = loginRows();
        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral("admin"));
            swap().Txt_Password->setText(QStringLiteral("admin"));
            swap().Cmd_Change_Click();
            QVERIFY(swap().IsLoaded());
        });
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().text, QStringLiteral("该账户已停用，请联系管理员！"));
        QCOMPARE(log.last().title, QStringLiteral("登录失败"));
        QCOMPARE(CurUID, QStringLiteral("clerk"));
        QCOMPARE(loginRows(), rows);
        QVERIFY(!gated->Grid_ShowData->isVisible());
        // Enabled again, and back again.
        s->db.exec({QStringLiteral("UPDATE 账户 SET 状态 = '正常' WHERE 用户名 = 'admin'")});
        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral("admin"));
            swap().Txt_Password->setText(QStringLiteral("admin"));
            swap().Cmd_Change_Click();
        });
        QCOMPARE(CurUID, QStringLiteral("admin"));
        QVERIFY(gated->Grid_ShowData->isVisible());
        QCOMPARE(log.count(), 1);
        CloseChildForm(gated);
    }

    // A password or permission that can't be read from the database (another
    // program holds it) is refused, but said as the database says it, not
    // as a wrong password or a missing permission; once the database is back
    // the same password works.
    void unreadableDatabaseIsNotAWrongPassword()
    {
        MsgLog log;
        main().Menu_Security_LockApp_Click();
        lock().Txt_Password->setText(QStringLiteral("admin"));
        s->db.lockOut();
        lock().Cmd_Unlock_Click();
        QCOMPARE(log.last().text, testsupport::TempDb::lockedOutSays());
        QCOMPARE(log.last().title, QStringLiteral("解锁失败"));
        QVERIFY(lock().IsLoaded());
        QVERIFY(!main().isVisible());
        s->db.restore();
        lock().Cmd_Unlock_Click();
        QVERIFY(!lock().IsLoaded());
        QVERIFY(main().isVisible());

        withSwapDialog([&] {
            swap().Cmb_UID->setText(QStringLiteral("clerk"));
            swap().Txt_Password->setText(QStringLiteral("Pw 2"));
            s->db.lockOut();
            swap().Cmd_Change_Click();
            QCOMPARE(log.last().text, testsupport::TempDb::lockedOutSays());
            QCOMPARE(log.last().title, QStringLiteral("登录失败"));
            QVERIFY(swap().IsLoaded());
            s->db.restore();
        });
        QCOMPARE(CurUID, QStringLiteral("admin"));
        QCOMPARE(log.count(), 2);

        static GatedChild *gated = new GatedChild;
        s->db.lockOut();
        ChildFormSwitch(gated, nullptr);
        QCOMPARE(gated->Lbl_TBarText->Caption(), testsupport::TempDb::lockedOutSays());
        QVERIFY(!gated->Grid_ShowData->isVisible());
        s->db.restore();
        CloseChildForm(gated);
    }
};

QTEST_MAIN(TestLockSwap)
#include "tst_lockswap.moc"
