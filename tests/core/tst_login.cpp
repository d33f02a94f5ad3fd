// The login window: both settings files, the checks and messages of a login
// in their order, the hand-over to the main window, the slide between the
// frames, the remembered names and the link hover.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"
#include "support/TempDb.h"

#include "core/Frm_Login.h"
#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QLineEdit>
#include <QtTest>
#include <memory>
#include <unistd.h>

namespace {

// While alive the process acts as an ordinary user (nobody) when the tests run
// as root, who writes everywhere; a clerk's account does not.
struct AsClerk {
    bool switched = false;
    AsClerk()
    {
        if (::geteuid() == 0) switched = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~AsClerk()
    {
        if (switched && ::seteuid(0) == 0) (void)::setegid(0);
    }
};

}  // namespace

class TestLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TempDb> db;
    std::unique_ptr<AppFolder> app;

    Frm_Login &login() { return vb::Default<Frm_Login>(); }

    // The settings line of the test database, as the file holds it.
    QByteArray serverLine() const { return db->settings().toUtf8() + "\r\n"; }

    // Opens the login window afresh on the files now in the folder.
    void openLogin()
    {
        login().Unload();
        login().Show(vb::vbModeless);
    }

    void typeLogin(const QString &user, const QString &password)
    {
        login().Cmb_UID->setText(user);
        login().Txt_Password->setText(password);
    }

    // The test database's settings in the server frame.
    void typeServer()
    {
        login().Txt_SQLServer->setText(db->server());
        login().Txt_SQLUID->setText(db->uid());
        login().Txt_SQLPassword->setText(db->pwd());
        login().Txt_SQLDB->setText(db->database());
    }

    bool connectionOpen() { return SQLConn().State() == ado::adStateOpen; }

private slots:
    void initTestCase()
    {
        AppVersion = QStringLiteral("1.0.0");
        Frm_Main::SetEndHandler([] {});
        Frm_Login::SetExitHandler([] {});
    }

    void init()
    {
        db = std::make_unique<testsupport::TempDb>();
        app = std::make_unique<AppFolder>();
        AppPath = app->path;
        app->write(QStringLiteral("Server.ini"), serverLine());
        app->write(QStringLiteral("UIDList.ini"), "admin\r\n");
        openLogin();
    }

    void cleanup()
    {
        vb::Default<Frm_Main>().Unload();
        login().Unload();
        if (SQLConn().State() != ado::adStateClosed) SQLConn().Close();
        SetMsgBoxHook(nullptr);
        db.reset();
        app.reset();
    }

    // ---- reading the files at load

    void loadShowsCaptionVersionAndFramesAtRest()
    {
        QCOMPARE(login().Caption(), QStringLiteral("Quorvale - Veltrane 1.0.0"));
        QCOMPARE(login().Lbl_Version->Caption(), QStringLiteral("Version 1.0.0"));
        QCOMPARE(login().Frmae_Login->Top(), 240);
        QCOMPARE(login().Frmae_SQLServer->Top(), 3990);
        QCOMPARE(login().CurFrame(), Frm_Login::LoginFrame);
        QVERIFY(!login().Timer->Enabled());
        QCOMPARE(login().Timer->Interval(), 1);
        // The server frame lies below the box the frames slide in: out of view.
        QVERIFY(login().Frmae_SQLServer->Top() >= login().Pic_FrameHost->Height());
        QCOMPARE(login().Txt_Password->PasswordChar(), QStringLiteral("*"));
        QCOMPARE(login().Txt_SQLPassword->PasswordChar(), QStringLiteral("*"));
        // The server frame is titled for what it sets, on either engine.
        QCOMPARE(login().Lbl_TipSQL->Caption(), QStringLiteral("数据库连接设置"));
    }

    void fifteenNamesOfferTheFirstTenWithTheTenthSelected()
    {
        QByteArray list;
        for (int i = 1; i <= 15; ++i) {
            list += "  u" + QByteArray::number(i).rightJustified(2, '0') + " \r\n";
            if (i % 3 == 0) list += "\r\n   \r\n";  // blank lines do not count
        }
        app->write(QStringLiteral("UIDList.ini"), list);
        openLogin();
        FCombo *cmb = login().Cmb_UID.get();
        QCOMPARE(cmb->ListCount(), 10);
        QCOMPARE(cmb->List(0), QStringLiteral("u01"));
        QCOMPARE(cmb->List(9), QStringLiteral("u10"));
        QCOMPARE(cmb->ListIndex(), 9);
        QCOMPARE(cmb->Text(), QStringLiteral("u10"));
    }

    void noOrEmptyNameListLeavesTheBoxEmpty()
    {
        QFile::remove(app->file(QStringLiteral("UIDList.ini")));
        openLogin();
        QCOMPARE(login().Cmb_UID->ListCount(), 0);
        QCOMPARE(login().Cmb_UID->Text(), QString());
        QVERIFY(!app->exists(QStringLiteral("UIDList.ini")));
    }

    void serverLineNeedsFourFields()
    {
        app->write(QStringLiteral("Server.ini"), " srv | sa |p w| lib |extra\r\nother|x|y|z\r\n");
        openLogin();
        QCOMPARE(login().Txt_SQLServer->Text(), QStringLiteral("srv"));
        QCOMPARE(login().Txt_SQLUID->Text(), QStringLiteral("sa"));
        QCOMPARE(login().Txt_SQLPassword->Text(), QStringLiteral("p w"));
        QCOMPARE(login().Txt_SQLDB->Text(), QStringLiteral("lib"));

        app->write(QStringLiteral("Server.ini"), "srv|sa|pw\r\n");
        openLogin();
        QCOMPARE(login().Txt_SQLServer->Text(), QString());
        QCOMPARE(login().Txt_SQLUID->Text(), QString());
        QCOMPARE(login().Txt_SQLPassword->Text(), QString());
        QCOMPARE(login().Txt_SQLDB->Text(), QString());

        app->write(QStringLiteral("Server.ini"), "\r\nsrv|sa|pw|lib\r\n");  // only the first line counts
        openLogin();
        QCOMPARE(login().Txt_SQLServer->Text(), QString());
    }

    void loadClosesAnOpenConnection()
    {
        OpenSQLConnection(SQLConn(), db->server(), db->uid(), db->pwd(), db->database());
        QVERIFY(connectionOpen());
        openLogin();
        QVERIFY(!connectionOpen());
    }

    // ---- the checks of a login

    void checksComeInTheirOrder()
    {
        MsgLog log;
        typeLogin(QStringLiteral("   "), QString());
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().text, QStringLiteral("用户名不能为空！"));
        QCOMPARE(log.last().icon, QStringLiteral("!"));
        QCOMPARE(log.last().title, QStringLiteral("提示"));

        typeLogin(QStringLiteral("admin"), QString());
        login().Cmd_Login_Click();
        QCOMPARE(log.last().text, QStringLiteral("密码不能为空！"));
        QCOMPARE(log.last().icon, QStringLiteral("!"));

        // The server frame is out of view; its boxes still count. An empty SQL password is refused.
        login().Txt_SQLPassword->setText(QStringLiteral("   "));
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QCOMPARE(log.last().text, QStringLiteral("请完善服务器配置信息！"));
        QCOMPARE(log.last().title, QStringLiteral("提示"));
        QCOMPARE(log.count(), 3);
        QVERIFY(!connectionOpen());
        QVERIFY(login().IsLoaded());
        QVERIFY(!vb::Default<Frm_Main>().IsLoaded());
        QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
    }

    void wrongPasswordLeavesConnectionClosedAndFilesUnchanged()
    {
        MsgLog log;
        const QByteArray list = app->read(QStringLiteral("UIDList.ini"));
        for (const QString &pwd :
             {QStringLiteral("admin "), QStringLiteral(" admin"), QStringLiteral("ADMIN"), QStringLiteral("nope")}) {
            typeLogin(QStringLiteral("admin"), pwd);
            login().Cmd_Login_Click();
            QCOMPARE(log.last().text, QStringLiteral("用户名或密码错误！"));
            QCOMPARE(log.last().icon, QStringLiteral("x"));
            QCOMPARE(log.last().title, QStringLiteral("登录失败"));
            QVERIFY(!connectionOpen());
        }
        QCOMPARE(app->read(QStringLiteral("UIDList.ini")), list);
        QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
        QVERIFY(login().isVisible());
        QVERIFY(!vb::Default<Frm_Main>().IsLoaded());
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("0"));
    }

    // A disabled account's right password logs in no more: said so, and
    // nothing saved or recorded.
    void disabledAccountIsRefused()
    {
        MsgLog log;
        typeLogin(QStringLiteral("bob"), QStringLiteral("admin"));
        db->exec({QStringLiteral("INSERT 账户 VALUES ('bob', 'admin', '鲍勃', 'x', '系统管理员', Null, '停用')")});
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().text, QStringLiteral("该账户已停用，请联系管理员！"));
        QCOMPARE(log.last().icon, QStringLiteral("x"));
        QCOMPARE(log.last().title, QStringLiteral("登录失败"));
        QVERIFY(!connectionOpen());
        QCOMPARE(app->read(QStringLiteral("UIDList.ini")), QByteArray("admin\r\n"));
        QVERIFY(!vb::Default<Frm_Main>().IsLoaded());
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("0"));
    }

    // Accounts that can't be read are not a wrong password: the database's
    // own words, and nothing saved.
    void unreadableAccountsAreNotAWrongPassword()
    {
        MsgLog log;
        const testsupport::StatementFailer failer(QStringLiteral("Select * From 账户"), 1,
                                                  QStringLiteral("无法读取账户表。"));
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().text, QStringLiteral("无法读取账户表。"));
        QCOMPARE(log.last().icon, QStringLiteral("x"));
        QCOMPARE(log.last().title, QStringLiteral("错误"));
        QVERIFY(!connectionOpen());
        QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("0"));
    }

    void unreachableDatabaseShowsTheErrorAndChangesNothing()
    {
        MsgLog log;
        login().Txt_SQLDB->setText(QStringLiteral("/nonexistent/folder/none.db"));
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().icon, QStringLiteral("x"));
        QCOMPARE(log.last().title, QStringLiteral("错误"));
        QVERIFY(!log.last().text.isEmpty());
        QVERIFY(!connectionOpen());
        QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());

        login().Txt_SQLServer->setText(QStringLiteral("dbhost"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 2);
        QCOMPARE(log.last().title, QStringLiteral("错误"));
        QVERIFY(!connectionOpen());
        QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
    }

    // ---- server values that the settings file or the connection string would split

    void barInAServerBoxIsRefusedAndTheFileKept()
    {
        MsgLog log;
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        const QList<FTextBox *> boxes = {login().Txt_SQLServer.get(), login().Txt_SQLUID.get(),
                                         login().Txt_SQLPassword.get(), login().Txt_SQLDB.get()};
        for (FTextBox *box : boxes) {
            const QString was = box->Text();
            box->setText(QStringLiteral("p|w"));
            login().Cmd_Login_Click();
            QCOMPARE(log.last().text, QStringLiteral("服务器配置信息中不能含有字符“|”！"));
            QCOMPARE(log.last().icon, QStringLiteral("!"));
            QCOMPARE(log.last().title, QStringLiteral("提示"));
            QVERIFY(!connectionOpen());
            QVERIFY(!vb::Default<Frm_Main>().IsLoaded());
            QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
            box->setText(was);
        }
        QCOMPARE(log.count(), 4);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("0"));
        // The values as they were log in.
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 4);
        QVERIFY(vb::Default<Frm_Main>().isVisible());
    }

    void semicolonsAndBracesInServerValuesReachTheDatabase()
    {
        // A login whose password holds ";" and "}" (and, on the embedded
        // engine, a database file whose name does).
        QString uid = db->uid(), pwd = QStringLiteral("a;b}c;"), database = db->database();
        if (testsupport::TempDb::onServer()) {
            if (!testsupport::TempDb::mayMakeLogins())
                QSKIP("the test server's login may not make logins (it needs CREATEROLE or to be a superuser)");
            uid = QStringLiteral("clerk_%1").arg(QCoreApplication::applicationPid());
            // Granted to the test login too, so that a login with CREATEROLE alone may drop what it owns.
            QVERIFY(db->raw(QStringLiteral("DROP ROLE IF EXISTS %1; CREATE ROLE %1 LOGIN PASSWORD 'a;b}c;'; "
                                           "GRANT %1 TO CURRENT_USER; GRANT ALL ON ALL TABLES IN SCHEMA public TO %1")
                                .arg(uid)));
        } else {
            database = QFileInfo(db->database()).dir().filePath(QStringLiteral("{lib;x}.db"));
            QVERIFY(QFile::copy(db->database(), database));
        }
        login().Txt_SQLUID->setText(uid);
        login().Txt_SQLPassword->setText(pwd);
        login().Txt_SQLDB->setText(database);
        MsgLog log;
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 0);
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        {
            ado::Recordset rs;  // the login was recorded in the database the values name
            rs.Open(QStringLiteral("SELECT COUNT(*) FROM 账户登录"), SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
            QCOMPARE(rs.Fields(0).toString(), QStringLiteral("1"));
        }
        // The file keeps its four fields; the next start fills the boxes with them.
        QCOMPARE(app->read(QStringLiteral("Server.ini")),
                 QStringList({db->server(), uid, pwd, database}).join(QLatin1Char('|')).toUtf8() + "\r\n");
        vb::Default<Frm_Main>().Menu_File_Logout_Click();
        QCOMPARE(login().Txt_SQLPassword->Text(), pwd);
        QCOMPARE(login().Txt_SQLDB->Text(), database);
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 0);
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        vb::Default<Frm_Main>().Unload();
        if (SQLConn().State() != ado::adStateClosed) SQLConn().Close();
        if (testsupport::TempDb::onServer())
            QVERIFY(db->raw(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1").arg(uid)));
    }

    // ---- a database that can't be written

    // Logs in; returns the messages of the login and the descriptions of two writes after it.
    QStringList loginAndWriteTwice(MsgLog &log)
    {
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QStringList out;
        for (const RecordedMsg &m : log.msgs) out << m.icon + QLatin1Char(' ') + m.title + QLatin1Char(' ') + m.text;
        for (const QString &name : {QStringLiteral("新出版社"), QStringLiteral("又一出版社")}) {
            try {
                SQLConn().Execute(QStringLiteral("INSERT 出版社 (出版社名称) VALUES (") + SQLQuote(name)
                                  + QStringLiteral(")"));
                out << QStringLiteral("written");
            } catch (const ado::Error &e) {
                out << e.Description();
            }
        }
        return out;
    }

    void aDatabaseThatCannotBeWrittenIsReportedAtLogin_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }

    void aDatabaseThatCannotBeWrittenIsReportedAtLogin()
    {
        QFETCH(bool, folder);
        QString name, why;
        if (testsupport::TempDb::onServer()) {
            if (folder) QSKIP("a server database has no folder");
            QVERIFY(db->raw(
                QStringLiteral("ALTER DATABASE \"%1\" SET default_transaction_read_only = on").arg(db->database())));
            name = db->database();
            why = QStringLiteral("服务器将该数据库设为只读");
        } else {
            name = db->database();
            const QString dir = QFileInfo(name).absolutePath();
            const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup
                             | QFile::ExeOther;
            const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
            QVERIFY(QFile::setPermissions(dir, folder ? all : all | writable));
            QVERIFY(QFile::setPermissions(name, folder
                                                    ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | writable
                                                    : QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            why = folder ? QStringLiteral("文件所在的文件夹“%1”不允许写入").arg(dir)
                         : QStringLiteral("文件只读，当前用户无权写入");
        }
        // The clerk may write the program's settings, as a desk must: only the database is read-only here.
        const auto everyone = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup
                              | QFile::ExeOther | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        for (const QString &dir : {app->path, app->path + QStringLiteral("Saves")})
            QVERIFY(QFile::setPermissions(dir, everyone));
        QVERIFY(QFile::remove(app->file(QStringLiteral("Server.ini"))));
        MsgLog log;
        QStringList seen;
        {
            AsClerk clerk;
            seen = loginAndWriteTwice(log);
        }
        QCOMPARE(seen.size(), 3);
        // At login: the login stands, and the clerk reads which database and why.
        QVERIFY2(seen[0].startsWith(QStringLiteral("! 提示 登录成功，但本次登录未能记入数据库：")),
                 qPrintable(seen[0]));
        QVERIFY2(seen[0].contains(QStringLiteral("“") + name + QStringLiteral("”")) && seen[0].contains(why),
                 qPrintable(seen[0]));
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QVERIFY(connectionOpen());
        // Each write after it is refused with the same account of it.
        QVERIFY2(seen[1].contains(name) && seen[1].contains(why), qPrintable(seen[1]));
        QCOMPARE(seen[2], seen[1]);
        QCOMPARE(log.count(), 1);

        vb::Default<Frm_Main>().Unload();
        SQLConn().Close();
        if (!testsupport::TempDb::onServer())  // the folder can be emptied again
            QFile::setPermissions(QFileInfo(name).absolutePath(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (testsupport::TempDb::onServer()) {
            QVERIFY(
                db->raw(QStringLiteral(
                            "BEGIN READ WRITE; ALTER DATABASE \"%1\" SET default_transaction_read_only = off; COMMIT")
                            .arg(db->database())));
        }
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("0"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 LIKE '%出版社'")),
                 db->scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 LIKE '%出版社' AND 出版社名称 "
                                           "NOT IN ('新出版社', '又一出版社')")));
    }

    void aWritableDatabaseLogsInWithoutAWord()
    {
        MsgLog log;
        const QStringList seen = loginAndWriteTwice(log);
        QCOMPARE(seen, QStringList({QStringLiteral("written"), QStringLiteral("written")}));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("1"));
    }

    // ---- a successful login

    void loginHandsOverToTheMainWindow()
    {
        MsgLog log;
        login().Txt_SQLServer->setText(QStringLiteral("  ") + db->server() + QStringLiteral(" "));
        login().Txt_SQLUID->setText(QStringLiteral(" ") + db->uid());
        login().Txt_SQLPassword->setText(db->pwd() + QStringLiteral("  "));
        login().Txt_SQLDB->setText(QStringLiteral(" ") + db->database() + QStringLiteral(" "));
        // A name in other letter case with blanks around it; the list has "admin" already.
        typeLogin(QStringLiteral("  ADMIN "), QStringLiteral("admin"));
        login().Cmd_Login_Click();

        QCOMPARE(log.count(), 0);
        QCOMPARE(CurUID, QStringLiteral("ADMIN"));
        QCOMPARE(SQLServer, db->server());
        QCOMPARE(SQLDB, db->database());
        QVERIFY(connectionOpen());
        QVERIFY(!login().IsLoaded());
        QVERIFY(!login().isVisible());
        Frm_Main &main = vb::Default<Frm_Main>();
        QVERIFY(main.IsLoaded());
        QVERIFY(main.isVisible());
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&vb::Default<Frm_Welcome>()));
        QCOMPARE(main.Lbl_SBarTip->Caption(), QStringLiteral("ADMIN，欢迎使用Veltrane！"));
        // The name is not appended again; the server line is rewritten trimmed.
        QCOMPARE(app->read(QStringLiteral("UIDList.ini")), QByteArray("admin\r\n"));
        QCOMPARE(app->read(QStringLiteral("Server.ini")), db->settings().toUtf8() + "\r\n");
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("1"));
    }

    // A user name is a key: with any blank around it (a full-width space from
    // the input method, a tab, a no-break space) it is the same account and
    // the same remembered name.
    void blanksAroundTheUserNameAreNoPartOfIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("full-width space") << "admin\u3000";
        QTest::newRow("tab") << "\tadmin";
        QTest::newRow("no-break spaces, other case") << "\u00A0ADMIN\u3000\t";
    }
    void blanksAroundTheUserNameAreNoPartOfIt()
    {
        QFETCH(QString, typed);
        MsgLog log;
        typeLogin(typed, QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 0);
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QCOMPARE(CurUID.compare(QStringLiteral("admin"), Qt::CaseInsensitive), 0);
        QCOMPARE(app->read(QStringLiteral("UIDList.ini")), QByteArray("admin\r\n"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录 WHERE 用户名 = 'admin'")),
                 QStringLiteral("1"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("1"));
    }

    // Server.ini holds the server password: after a login it is readable by
    // its owner alone, whether it was there (as shipped, 0644) or made anew.
    void serverSettingsAreTheOwnersAlone()
    {
        QFile::setPermissions(app->file(QStringLiteral("Server.ini")), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                           | QFileDevice::ReadGroup
                                                                           | QFileDevice::ReadOther);
        const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        for (const bool existed : {true, false}) {
            if (!existed) QFile::remove(app->file(QStringLiteral("Server.ini")));
            openLogin();
            typeServer();
            typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
            login().Cmd_Login_Click();
            QVERIFY(vb::Default<Frm_Main>().isVisible());
            QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
            const QFileDevice::Permissions mode = QFile::permissions(app->file(QStringLiteral("Server.ini")));
            QVERIFY2((mode & ~(ownerOnly | QFileDevice::ReadUser | QFileDevice::WriteUser)) == 0,
                     qPrintable(QString::number(int(mode), 16)));
            vb::Default<Frm_Main>().Unload();
        }
    }

    void newNameIsAppendedAndPasswordBlanksCount()
    {
        db->conn().Execute(QStringLiteral("INSERT 账户 VALUES ('bob', 'pw', 'Bob', 'x', '系统管理员', Null, '正常')"));
        app->write(QStringLiteral("UIDList.ini"), "admin");  // last line without its break
        openLogin();
        MsgLog log;
        typeLogin(QStringLiteral("bob"), QStringLiteral(" pw"));
        login().Cmd_Login_Click();
        QCOMPARE(log.last().text, QStringLiteral("用户名或密码错误！"));
        QCOMPARE(app->read(QStringLiteral("UIDList.ini")), QByteArray("admin"));

        typeLogin(QStringLiteral(" bob "), QStringLiteral("pw"));
        login().Cmd_Login_Click();
        QCOMPARE(log.count(), 1);
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QCOMPARE(app->read(QStringLiteral("UIDList.ini")), QByteArray("admin\r\nbob\r\n"));

        // Back at the login window after a log-out: the files are read again.
        vb::Default<Frm_Main>().Menu_File_Logout_Click();
        QVERIFY(login().isVisible());
        QVERIFY(!connectionOpen());
        QCOMPARE(login().Cmb_UID->ListCount(), 2);
        QCOMPARE(login().Cmb_UID->Text(), QStringLiteral("bob"));
        QCOMPARE(CurUID, QStringLiteral("bob"));
    }

    void settingsFilesAreNeverCreated()
    {
        // No UIDList.ini: the name is not remembered and the file is not made.
        QFile::remove(app->file(QStringLiteral("UIDList.ini")));
        openLogin();
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        login().Cmd_Login_Click();
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QVERIFY(!app->exists(QStringLiteral("UIDList.ini")));
        vb::Default<Frm_Main>().Unload();

        // No Saves folder at all: the login works and nothing is written (the
        // clerk is told the settings were not kept, see below).
        AppFolder bare(false);
        AppPath = bare.path;
        openLogin();
        typeServer();
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        MsgLog log;
        login().Cmd_Login_Click();
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QVERIFY(!QFile::exists(bare.path + QStringLiteral("Saves")));
        QCOMPARE(log.count(), 1);
        AppPath = app->path;
    }

    // Server settings that can't be written are not lost in silence: the
    // login goes on and says which file could not be written and why. The
    // folder can't be written by any user, root too (the tests run as root):
    // Saves/ is a file, or missing.
    void unsavableSettingsAreReported_data()
    {
        QTest::addColumn<bool>("savesIsAFile");
        QTest::newRow("Saves is a file") << true;
        QTest::newRow("no Saves folder") << false;
    }
    void unsavableSettingsAreReported()
    {
        QFETCH(bool, savesIsAFile);
        AppFolder bare(false);
        if (savesIsAFile) {
            QFile saves(bare.path + QStringLiteral("Saves"));
            QVERIFY(saves.open(QIODevice::WriteOnly));
        }
        const QString file = bare.path + QStringLiteral("Saves/Server.ini");
        QFile probe(file);
        QVERIFY(!probe.open(QIODevice::WriteOnly));
        AppPath = bare.path;
        openLogin();
        typeServer();
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        MsgLog log;
        login().Cmd_Login_Click();
        AppPath = app->path;
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().text,
                 QStringLiteral("服务器设置未能保存到文件“%1”：%2\r\n下次登录时需要重新输入服务器设置。")
                     .arg(QDir::toNativeSeparators(file), probe.errorString()));
        QCOMPARE(log.last().icon, QStringLiteral("!"));
        QVERIFY(!probe.errorString().isEmpty());
    }

    void enterInThePasswordBoxLogsIn()
    {
        login().Cmb_UID->setText(QStringLiteral("admin"));
        QLineEdit *pwd = login().Txt_Password->textBox();
        QTest::keyClicks(pwd, QStringLiteral("admin"));
        QCOMPARE(login().Txt_Password->Text(), QStringLiteral("admin"));
        QTest::keyClick(pwd, Qt::Key_Return);
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        QVERIFY(!login().IsLoaded());
    }

    void loginButtonClickedByMouse()
    {
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        clickButton(login().Cmd_Login.get());
        QVERIFY(vb::Default<Frm_Main>().isVisible());
    }

    // ---- the slide between the frames

    void slideTakesFiftyTicksEachWay()
    {
        Frm_Login &w = login();
        QTest::mouseClick(w.Lbl_GoSQLSet.get(), Qt::LeftButton);
        QVERIFY(w.Timer->Enabled());
        for (int i = 0; i < 49; ++i) w.Timer_Timer();
        QCOMPARE(w.Frmae_SQLServer->Top(), 315);
        QCOMPARE(w.Frmae_Login->Top(), 240 - 49 * 75);
        QVERIFY(w.Timer->Enabled());
        QCOMPARE(w.CurFrame(), Frm_Login::LoginFrame);
        // A click during the slide changes nothing.
        w.Lbl_GoSQLSet_Click();
        w.Cmd_SQLBack_Click();
        QCOMPARE(w.Frmae_SQLServer->Top(), 315);
        w.Timer_Timer();
        QCOMPARE(w.Frmae_SQLServer->Top(), 240);
        QCOMPARE(w.Frmae_Login->Top(), 240 - 3750);
        QCOMPARE(w.CurFrame(), Frm_Login::SQLServerFrame);
        QVERIFY(!w.Timer->Enabled());

        clickButton(w.Cmd_SQLBack.get());
        QVERIFY(w.Timer->Enabled());
        for (int i = 0; i < 50; ++i) w.Timer_Timer();
        QCOMPARE(w.Frmae_Login->Top(), 240);
        QCOMPARE(w.Frmae_SQLServer->Top(), 3990);
        QCOMPARE(w.CurFrame(), Frm_Login::LoginFrame);
        QVERIFY(!w.Timer->Enabled());
    }

    void slideRunsOnItsTimer()
    {
        Frm_Login &w = login();
        w.Lbl_GoSQLSet_Click();
        QTRY_COMPARE(w.CurFrame(), Frm_Login::SQLServerFrame);
        QCOMPARE(w.Frmae_SQLServer->Top(), 240);
        QVERIFY(!w.Timer->Enabled());
        // A login from the server frame works the same.
        typeLogin(QStringLiteral("admin"), QStringLiteral("admin"));
        w.Cmd_Login_Click();
        QVERIFY(vb::Default<Frm_Main>().isVisible());
        // The next load starts with the login frame in view.
        vb::Default<Frm_Main>().Menu_File_Logout_Click();
        QCOMPARE(w.CurFrame(), Frm_Login::LoginFrame);
        QCOMPARE(w.Frmae_Login->Top(), 240);
    }

    // ---- remembered names, links

    void typedNameSelectsItsRememberedEntry()
    {
        app->write(QStringLiteral("UIDList.ini"), "admin\r\nBob\r\ncarol\r\n");
        openLogin();
        FCombo *cmb = login().Cmb_UID.get();
        QCOMPARE(cmb->ListIndex(), 2);
        QLineEdit *box = cmb->textBox();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("BO"));
        QCOMPARE(cmb->ListIndex(), 2);  // no entry equals "BO"
        QTest::keyClicks(box, QStringLiteral("B"));
        QCOMPARE(cmb->ListIndex(), 1);
        QCOMPARE(cmb->Text(), QStringLiteral("Bob"));
        QCOMPARE(box->selectedText(), QStringLiteral("Bob"));
    }

    void linkHoverSetAndResetByMouseMoves()
    {
        Frm_Login &w = login();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseMove(w.Lbl_GoSQLSet.get(), QPoint(5, 5));
        QTRY_VERIFY(w.Lbl_GoSQLSet->FontItalic());
        QVERIFY(w.Lbl_GoSQLSet->FontUnderline());
        QVERIFY(!w.Lbl_ForgetPWD->FontItalic());
        QTest::mouseMove(w.Lbl_ForgetPWD.get(), QPoint(5, 5));
        QTRY_VERIFY(w.Lbl_ForgetPWD->FontUnderline());
        QTest::mouseMove(w.Frmae_Login.get(), QPoint(20, w.Frmae_Login->height() - 10));
        QTRY_VERIFY(!w.Lbl_ForgetPWD->FontUnderline());
        QVERIFY(!w.Lbl_ForgetPWD->FontItalic());
        QVERIFY(!w.Lbl_GoSQLSet->FontItalic());
        QVERIFY(!w.Lbl_GoSQLSet->FontUnderline());
    }

    void forgottenPasswordLinkReportsConnectionErrors()
    {
        MsgLog log;
        login().Txt_SQLServer->setText(QStringLiteral("dbhost"));
        login().Lbl_ForgetPWD_Click();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.last().icon, QStringLiteral("x"));
        QCOMPARE(log.last().title, QStringLiteral("错误"));
        QCOMPARE(SQLServer, QStringLiteral("dbhost"));
        QVERIFY(!connectionOpen());
        // Without a retrieval window the link leaves nothing open.
        login().Txt_SQLServer->setText(db->server());
        login().Lbl_ForgetPWD_Click();
        QCOMPARE(log.count(), 1);
        QVERIFY(!connectionOpen());
    }

    void exitButtonEndsTheProgram()
    {
        int ended = 0;
        Frm_Login::SetExitHandler([&] { ++ended; });
        clickButton(login().Cmd_Exit.get());
        Frm_Login::SetExitHandler([] {});
        QCOMPARE(ended, 1);
        QCOMPARE(app->read(QStringLiteral("Server.ini")), serverLine());
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
