// The shared connection helpers: opening, login check, permission check, quoting.
#include "TempDb.h"
#include "TestSupport.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Runtime.h"

#include <QtTest>

using testsupport::TempDb;

class TestSqlConnection : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDb> db;

    void openShared()
    {
        if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
        OpenSQLConnection(SQLConn(), db->server(), db->uid(), db->pwd(), db->database());
    }

private slots:
    void init()
    {
        db = std::make_unique<TempDb>();
        openShared();
        CurUID.clear();
        LastLogTime.clear();
        vb::ClearTestClock();
    }
    void cleanup()
    {
        if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
        db.reset();
    }

    void quoteTrimsBlanksOnlyAndKeepsInnerText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("outer blanks") << "  a b  "
                                      << ""
                                      << "'a b'";
        QTest::newRow("tabs") << "\ta\t"
                              << ""
                              << "'a'";
        QTest::newRow("full-width space and tab") << "R001\u3000\t"
                                                  << "U"
                                                  << "'R001'";
        QTest::newRow("no-break space and line break") << "\u00A0r001\r\n"
                                                       << "L"
                                                       << "'r001'";
        QTest::newRow("inner blanks stay") << "\u3000张\u3000三\t"
                                           << ""
                                           << "'张\u3000三'";
        QTest::newRow("zero-width space after a key") << "R006\u200B"
                                                      << ""
                                                      << "'R006'";
        QTest::newRow("upper") << " abC "
                               << "U"
                               << "'ABC'";
        QTest::newRow("lower") << "AbC"
                               << "L"
                               << "'abc'";
        QTest::newRow("other mode") << "AbC"
                                    << "x"
                                    << "'AbC'";
        QTest::newRow("apostrophe doubled") << "O'Brien"
                                            << ""
                                            << "'O''Brien'";
        QTest::newRow("only apostrophes") << "''"
                                          << ""
                                          << "''''''";
        QTest::newRow("empty") << ""
                               << ""
                               << "''";
    }
    void quoteTrimsBlanksOnlyAndKeepsInnerText()
    {
        QFETCH(QString, text);
        QFETCH(QString, mode);
        QFETCH(QString, quoted);
        QCOMPARE(SQLQuote(text, mode), quoted);
    }

    // A value can never end its literal early or change the statement.
    void quotedValuesRoundTripUnchanged_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("apostrophe") << "it's";
        QTest::newRow("injection") << "x'); DELETE 账户; --";
        QTest::newRow("old join operator") << "a *= b";
        QTest::newRow("top") << "TOP 5";
        QTest::newRow("comment") << "-- not a comment";
        QTest::newRow("semicolon") << "a;b";
        QTest::newRow("chinese") << "张三's 书";
    }
    void quotedValuesRoundTripUnchanged()
    {
        QFETCH(QString, value);
        SQLConn().Execute(QStringLiteral("INSERT 出版社 VALUES (") + SQLQuote(value)
                          + QStringLiteral(",'addr','100000')"));
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 出版社名称 FROM 出版社 WHERE 出版社名称 = ") + SQLQuote(value), SQLConn());
        QVERIFY(!rs.EOF_());
        QCOMPARE(rs.Fields(QStringLiteral("出版社名称")).toString(), value);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户")), QStringLiteral("1"));
    }

    void openBuildsTheConnectionStringAndFailsClearly()
    {
        SQLConn().Close();
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        OpenSQLConnection(SQLConn(), db->server(), db->uid(), db->pwd(), db->database());
        QCOMPARE(SQLConn().State(), int(ado::adStateOpen));
        QCOMPARE(SQLConn().ConnectionTimeout, 1);
        SQLConn().Close();

        QVERIFY_THROWS_EXCEPTION(ado::Error,
                                 OpenSQLConnection(SQLConn(), QStringLiteral("nosuchserver"), QStringLiteral("u"),
                                                   QStringLiteral("p"), db->database()));
        QCOMPARE(SQLConn().State(), int(ado::adStateClosed));
        QVERIFY_THROWS_EXCEPTION(ado::Error, OpenSQLConnection(SQLConn(), db->server(), db->uid(), db->pwd(),
                                                               db->database() + QStringLiteral(".missing")));
    }

    void loginTrimsAndIgnoresCaseOfTheNameOnly()
    {
        QVERIFY(CheckLogin(QStringLiteral("  ADMIN "), QStringLiteral("admin")));
        QCOMPARE(CurUID, QStringLiteral("ADMIN"));
        QVERIFY(!CheckLogin(QStringLiteral("admin"), QStringLiteral("admin ")));
        QVERIFY(!CheckLogin(QStringLiteral("admin"), QStringLiteral("ADMIN")));
        QVERIFY(!CheckLogin(QStringLiteral("nobody"), QStringLiteral("admin")));
        QCOMPARE(CurUID, QStringLiteral("ADMIN"));  // a refusal leaves the session alone
    }

    void loginStampsTimeAndRecordsEachLogin()
    {
        vb::SetTestClock(QDateTime(QDate(2024, 3, 5), QTime(9, 8, 7)));
        LastLogTime = QStringLiteral("before");
        QVERIFY(CheckLogin(QStringLiteral("admin"), QStringLiteral("admin")));
        // First login: no previous time, so LastLogTime keeps what it held.
        QCOMPARE(LastLogTime, QStringLiteral("before"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT CONVERT(varchar(20), 最后登录时间, 20) FROM 账户")),
                 QStringLiteral("2024-03-05 09:08:07"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("1"));

        vb::SetTestClock(QDateTime(QDate(2024, 3, 6), QTime(10, 0, 0)));
        QVERIFY(CheckLogin(QStringLiteral("Admin"), QStringLiteral("admin")));
        QCOMPARE(LastLogTime, QStringLiteral("2024-03-05 09:08:07"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT CONVERT(varchar(20), 最后登录时间, 20) FROM 账户")),
                 QStringLiteral("2024-03-06 10:00:00"));
        const auto log = db->rows(
            QStringLiteral("SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) FROM 账户登录 ORDER BY 登录时间"));
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(1).at(0), QStringLiteral("Admin"));
        QCOMPARE(log.at(1).at(1), QStringLiteral("2024-03-06 10:00:00"));
    }

    // A disabled account stops working: its right password is refused, said
    // so, and nothing is recorded; a wrong one reads as any wrong password.
    void loginRefusesADisabledAccountAndNullCredentials()
    {
        db->exec({QStringLiteral("INSERT 账户 VALUES ('stopped', 'pw', '停', 'x', '系统管理员', Null, '停用')"),
                  QStringLiteral("INSERT 账户 VALUES ('nopw', Null, '无', 'x', '系统管理员', Null, '正常')")});
        CurUID = QStringLiteral("admin");
        QVERIFY(!CheckLogin(QStringLiteral(" STOPPED "), QStringLiteral("pw")));
        QCOMPARE(CheckLoginRefusal(), QStringLiteral("该账户已停用，请联系管理员！"));
        QCOMPARE(CurUID, QStringLiteral("admin"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM 账户登录")), QStringLiteral("0"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT 最后登录时间 FROM 账户 WHERE 用户名 = 'stopped'")), QString());
        QVERIFY(!CheckLogin(QStringLiteral("stopped"), QStringLiteral("wrong")));
        QCOMPARE(CheckLoginRefusal(), QString());
        QVERIFY(CheckLogin(QStringLiteral("admin"), QStringLiteral("admin")));
        QCOMPARE(CheckLoginRefusal(), QString());
        QVERIFY(!CheckLogin(QStringLiteral("nopw"), QString()));
        QVERIFY(!CheckLogin(QStringLiteral("nopw"), QStringLiteral("")));
    }

    void loginFailsQuietlyOnAClosedConnection()
    {
        SQLConn().Close();
        QVERIFY(!CheckLogin(QStringLiteral("admin"), QStringLiteral("admin")));
    }

    void powerIsReadAfreshOnEveryCall()
    {
        QVERIFY(!CheckUserPower(QStringLiteral("修改账户权限")));  // nobody logged in
        CurUID = QStringLiteral("admin");
        QVERIFY(CheckUserPower(QStringLiteral("修改账户权限")));
        QVERIFY(!CheckUserPower(QStringLiteral("没有这一列")));
        SQLConn().Execute(QStringLiteral("UPDATE 账户类型 SET 修改账户权限 = 0"));
        QVERIFY(!CheckUserPower(QStringLiteral("修改账户权限")));
        SQLConn().Execute(QStringLiteral("UPDATE 账户类型 SET 修改账户权限 = Null"));
        QVERIFY(!CheckUserPower(QStringLiteral("修改账户权限")));
        // An account whose type is gone has no permission at all.
        SQLConn().Execute(QStringLiteral("UPDATE 账户 SET 账户类型 = '不存在'"));
        QVERIFY(!CheckUserPower(QStringLiteral("查看图书权限")));
        SQLConn().Close();
        QVERIFY(!CheckUserPower(QStringLiteral("查看图书权限")));
    }

    // A permission or password check that can't read the database still
    // refuses, but says why as the database does, not "no permission" or
    // "wrong password"; once the database is back the checks read it again.
    void checksThatCannotReadTheDatabaseSayWhy()
    {
        CurUID = QStringLiteral("admin");
        QVERIFY(!CheckUserPower(QStringLiteral("没有这一列")));
        QCOMPARE(CheckReadError(), QString());
        QCOMPARE(PowerRefusedText(), QStringLiteral("您没有权限完成当前操作！"));
        const QList<std::pair<const char *, std::function<bool()>>> checks = {
            {"permission", [] { return CheckUserPower(QStringLiteral("修改账户权限")); }},
            {"password", [] { return CheckLogin(QStringLiteral("admin"), QStringLiteral("admin")); }},
        };
        for (const auto &[name, check] : checks) {
            db->lockOut();
            QVERIFY2(!check(), name);
            QCOMPARE(CheckReadError(), TempDb::lockedOutSays());
            QCOMPARE(PowerRefusedText(), TempDb::lockedOutSays());
            db->restore();
            QVERIFY2(check(), name);
            QCOMPARE(CheckReadError(), QString());
        }
    }
};

QTEST_MAIN(TestSqlConnection)
#include "tst_sqlconnection.moc"
