// Password retrieval: the three pages and their moves, the two checks (the
// name trimmed and matched by the database, the second-level password compared
// exactly), the messages, a failing look-up, and the shared connection closed
// when the dialog goes, also when opened from the login window.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/Frm_FindPassword.h"
#include "core/Frm_Login.h"
#include "core/SessionDialogs.h"

#include <QTimer>
#include <QtTest>
#include <memory>

class TestFindPassword : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    Frm_FindPassword &find() { return vb::Default<Frm_FindPassword>(); }

    // Which pages are visible, as a string of 0/1 for pages 0..2.
    QString pages()
    {
        QString r;
        for (int i = 0; i < Frm_FindPassword::PageCount; ++i)
            r += find().Frame(i)->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
        return r;
    }

    void verifyPage(int cur, int prev, const QString &visible)
    {
        QCOMPARE(find().CurStep(), cur);
        QCOMPARE(find().PrevStep(), prev);
        QCOMPARE(pages(), visible);
        QCOMPARE(find().Cmd_Pre->Enabled(), cur != 0);
        QCOMPARE(find().Cmd_Next->Enabled(), cur != 2);
    }

    void next() { clickButton(find().Cmd_Next.get()); }
    void pre() { clickButton(find().Cmd_Pre.get()); }

private slots:
    void initTestCase()
    {
        RegisterSessionDialogs();
        Frm_Login::SetExitHandler([] {});
    }

    void init()
    {
        s = std::make_unique<Session>();
        s->db.exec(
            {QStringLiteral("INSERT 账户 VALUES ('clerk', 'Pw 2', '王明', 'Sec ond', '系统管理员', Null, '停用')"),
             QStringLiteral("INSERT 账户 VALUES ('zed', 'zz', 'Zed', Null, '系统管理员', Null, '正常')")});
        find().Show(vb::vbModeless);
    }

    void cleanup()
    {
        find().Unload();
        s.reset();
    }

    void opensOnTheFirstPage()
    {
        QCOMPARE(find().Caption(), QStringLiteral("密码找回"));
        QCOMPARE(find().Lbl_TBarText->Caption(), QStringLiteral("密码找回"));
        QCOMPARE(find().Frame(0)->Caption(), QStringLiteral("第一步：用户名验证"));
        QCOMPARE(find().Frame(1)->Caption(), QStringLiteral("第二步：二级密码验证"));
        QCOMPARE(find().Frame(2)->Caption(), QStringLiteral("验证信息"));
        QCOMPARE(find().Cmd_Pre->Caption(), QStringLiteral("上一步"));
        QCOMPARE(find().Cmd_Next->Caption(), QStringLiteral("下一步"));
        QCOMPARE(find().Lbl_Password->Caption(), QStringLiteral("二级密码"));
        QVERIFY(find().Txt_UID->AutoSelAll());
        QVERIFY(find().Txt_Password->AutoSelAll());
        QCOMPARE(find().Txt_Password->PasswordChar(), QString());  // typed text visible
        verifyPage(0, 0, QStringLiteral("100"));
    }

    void rightNameAndSecondPasswordShowTheLoginPassword()
    {
        MsgLog log;
        find().Txt_UID->setText(QStringLiteral("  CLERK  "));
        next();
        verifyPage(1, 1, QStringLiteral("010"));
        QCOMPARE(find().FindUID(), QStringLiteral("CLERK"));
        find().Txt_Password->setText(QStringLiteral("Sec ond"));
        next();
        verifyPage(2, 1, QStringLiteral("001"));
        // Shown in clear, blanks and case as stored; the disabled state is not looked at.
        QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("登录密码：Pw 2"));
        pre();
        verifyPage(1, 1, QStringLiteral("010"));
        QCOMPARE(find().Txt_Password->Text(), QStringLiteral("Sec ond"));
        QCOMPARE(log.count(), 0);
    }

    void unknownNameReportsAndGoesBackToTheFirstPage()
    {
        find().Txt_UID->setText(QStringLiteral("nobody"));
        next();
        verifyPage(2, 0, QStringLiteral("001"));
        QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("用户名错误！"));
        pre();
        verifyPage(0, 0, QStringLiteral("100"));
        QCOMPARE(find().Txt_UID->Text(), QStringLiteral("nobody"));
        // A name with an apostrophe is only a name that does not exist.
        find().Txt_UID->setText(QStringLiteral("x' OR '1'='1"));
        next();
        QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("用户名错误！"));
    }

    void secondPasswordIsComparedExactly()
    {
        find().Txt_UID->setText(QStringLiteral("clerk"));
        next();
        for (const QString &wrong : {QStringLiteral("sec ond"), QStringLiteral("Sec ond "), QStringLiteral(" Sec ond"),
                                     QStringLiteral("Second"), QString()}) {
            find().Txt_Password->setText(wrong);
            next();
            verifyPage(2, 1, QStringLiteral("001"));
            QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("二级密码错误！"));
            pre();
            verifyPage(1, 1, QStringLiteral("010"));
        }
    }

    // A second-level password stored empty or as blanks alone (an older
    // version saved " " so) is no second-level password: neither an empty
    // answer nor the same blanks give the login password out.
    void blankStoredSecondPasswordNeverRetrieves_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << QString();
        QTest::newRow("a blank") << QStringLiteral(" ");
        QTest::newRow("a full-width blank") << QStringLiteral("\u3000");
        QTest::newRow("a tab and a no-break space") << QStringLiteral("\t\u00a0");
    }
    void blankStoredSecondPasswordNeverRetrieves()
    {
        QFETCH(QString, stored);
        s->db.exec(
            {QStringLiteral("UPDATE 账户 SET 二级密码 = '") + stored + QStringLiteral("' WHERE 用户名 = 'zed'")});
        find().Txt_UID->setText(QStringLiteral("zed"));
        next();
        for (const QString &typed : {QString(), stored, QStringLiteral(" ")}) {
            find().Txt_Password->setText(typed);
            next();
            QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("二级密码错误！"));
            pre();
        }
    }

    void accountWithoutSecondPasswordNeverRetrieves()
    {
        find().Txt_UID->setText(QStringLiteral("zed"));
        next();
        for (const QString &typed : {QString(), QStringLiteral("Null"), QStringLiteral("zz")}) {
            find().Txt_Password->setText(typed);
            next();
            QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("二级密码错误！"));
            pre();
        }
    }

    void goingBackChecksTheNewName()
    {
        find().Txt_UID->setText(QStringLiteral("clerk"));
        next();
        pre();
        verifyPage(0, 0, QStringLiteral("100"));
        find().Txt_UID->setText(QStringLiteral("admin"));
        next();
        QCOMPARE(find().FindUID(), QStringLiteral("admin"));
        // clerk's second-level password is no key to admin's account.
        find().Txt_Password->setText(QStringLiteral("Sec ond"));
        next();
        QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("二级密码错误！"));
        s->db.exec({QStringLiteral("UPDATE 账户 SET 二级密码 = 'adm2' WHERE 用户名 = 'admin'")});
        pre();
        find().Txt_Password->setText(QStringLiteral("adm2"));
        next();
        QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("登录密码：admin"));
    }

    void enterInEitherBoxRunsNext()
    {
        find().Txt_UID->setText(QStringLiteral("clerk"));
        QTest::keyClick(find().Txt_UID->textBox(), Qt::Key_Return);
        verifyPage(1, 1, QStringLiteral("010"));
        find().Txt_Password->setText(QStringLiteral("Sec ond"));
        QTest::keyClick(find().Txt_Password->textBox(), Qt::Key_Return);
        verifyPage(2, 1, QStringLiteral("001"));
        QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("登录密码：Pw 2"));
    }

    void failingLookUpIsReportedAndTheDialogStaysUsable()
    {
        MsgLog log;
        SQLConn().Close();
        find().Txt_UID->setText(QStringLiteral("clerk"));
        next();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().icon, QStringLiteral("x"));
        QCOMPARE(log.last().title, QStringLiteral("错误"));
        QVERIFY(!log.last().text.isEmpty());
        verifyPage(0, 0, QStringLiteral("100"));
        OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
        next();
        verifyPage(1, 1, QStringLiteral("010"));
    }

    void closingClosesTheConnectionAndReopeningStartsAfresh()
    {
        find().Txt_UID->setText(QStringLiteral("nobody"));
        next();
        QCOMPARE(SQLConn().State(), int(ado::adStateOpen));
        clickButton(find().Cmd_TBarClose.get());
        QVERIFY(!find().IsLoaded());
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        find().Show(vb::vbModeless);
        verifyPage(0, 0, QStringLiteral("100"));
        QCOMPARE(find().Txt_UID->Text(), QString());
        QCOMPARE(find().FindUID(), QString());
    }

    void openedFromTheLoginWindow()
    {
        find().Unload();
        AppFolder app;
        AppPath = app.path;
        app.write(QStringLiteral("Server.ini"), s->db.settings().toUtf8() + "\r\n");
        SQLConn().Close();
        Frm_Login &login = vb::Default<Frm_Login>();
        login.Show(vb::vbModeless);
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            QVERIFY(find().isVisible());
            QVERIFY(find().IsModalShowing());
            QCOMPARE(SQLConn().State(), int(ado::adStateOpen));
            find().Txt_UID->setText(QStringLiteral("clerk"));
            next();
            find().Txt_Password->setText(QStringLiteral("Sec ond"));
            next();
            QCOMPARE(find().Lbl_Info->Caption(), QStringLiteral("登录密码：Pw 2"));
            clickButton(find().Cmd_TBarClose.get());
        });
        login.Lbl_ForgetPWD_Click();
        QVERIFY(ran);
        QVERIFY(!find().IsLoaded());
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        login.Unload();
    }
};

QTEST_MAIN(TestFindPassword)
#include "tst_findpassword.moc"
