// From the start procedure to the home page: the program starts, a staff
// member types a name and password into the login window and clicks the
// login button, and the main window comes up with the home page.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"
#include "support/TempDb.h"

#include "core/Frm_Login.h"
#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"
#include "core/Mdl_Boot.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestE2ELogin : public QObject {
    Q_OBJECT

private slots:
    void startLogInAndReachTheHomePage()
    {
        Frm_Main::SetEndHandler([] {});
        // A run of its own: another copy of this test elsewhere must not count as a running program.
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QVERIFY(Main());
        QCOMPARE(AppPath, QCoreApplication::applicationDirPath() + QStringLiteral("/"));
        QCOMPARE(AppVersion,
                 QStringLiteral("%1.%2.%3").arg(APP_VERSION_MAJOR).arg(APP_VERSION_MINOR).arg(APP_VERSION_PATCH));
        Frm_Login &login = vb::Default<Frm_Login>();
        QVERIFY(login.isVisible());
        QCOMPARE(login.Caption(), QStringLiteral("Quorvale - Veltrane ") + AppVersion);

        // The program's folder with its settings files, as they lie beside the program.
        testsupport::TempDb db;
        AppFolder app;
        app.write(QStringLiteral("Server.ini"), db.settings().toUtf8() + "\r\n");
        app.write(QStringLiteral("UIDList.ini"), "");
        AppPath = app.path;
        login.Unload();
        login.Show(vb::vbModeless);
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        QCOMPARE(login.Txt_SQLServer->Text(), db.server());

        // Typing and clicking as a user does.
        QLineEdit *user = login.Cmb_UID->textBox();
        user->setFocus();
        QTest::keyClicks(user, QStringLiteral("admin"));
        QLineEdit *password = login.Txt_Password->textBox();
        password->setFocus();
        QTest::keyClicks(password, QStringLiteral("admin"));
        clickButton(login.Cmd_Login.get());

        Frm_Main &main = vb::Default<Frm_Main>();
        QVERIFY(main.isVisible());
        QVERIFY(!login.isVisible());
        QCOMPARE(SQLConn().State(), int(ado::adStateOpen));
        QCOMPARE(CurUID, QStringLiteral("admin"));
        Frm_Welcome &home = vb::Default<Frm_Welcome>();
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&home));
        QVERIFY(home.isVisible());
        QCOMPARE(home.Lbl_UID->Caption(), QStringLiteral("admin"));
        QCOMPARE(home.Grid_PowerList->TextMatrix(0, 1).isEmpty(), false);
        QCOMPARE(main.Lbl_TBarUID->Caption(), QStringLiteral("admin"));
        QCOMPARE(main.Lbl_TBarLabName->Caption(), QStringLiteral("城市图书馆"));
        QCOMPARE(main.Lbl_SBarSQLServer->Caption(), db.server());
        // The welcome tip scrolls in and settles at the left edge.
        QCOMPARE(main.Lbl_SBarTip->Caption(), QStringLiteral("admin，欢迎使用Veltrane！"));
        QTRY_VERIFY_WITH_TIMEOUT(!main.Timer_Tip->Enabled(), 20000);
        QVERIFY(main.Lbl_SBarTip->Left() <= 0);
        // The login was recorded and the name remembered.
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录 WHERE 用户名 = 'admin'")),
                 QStringLiteral("1"));
        QCOMPARE(app.read(QStringLiteral("UIDList.ini")), QByteArray("admin\r\n"));

        // Log out: back at the login window with the name offered.
        clickButton(main.Cmd_TBarLogout.get());
        QVERIFY(login.isVisible());
        QVERIFY(!main.IsLoaded());
        QCOMPARE(login.Cmb_UID->Text(), QStringLiteral("admin"));
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        login.Unload();
    }
};

QTEST_MAIN(TestE2ELogin)
#include "tst_e2e_login.moc"
