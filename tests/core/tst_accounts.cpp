// The staff accounts list and its editor: who sees which rows, adding with
// its checks, changing name, type, status and passwords only as allowed, and
// passwords written only when typed anew.
#include "circulation/CirculationFixture.h"
#include "core/AdminForms.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_AccountAdd.h"
#include "core/Frm_AccountMag.h"

#include <QTimer>
#include <QtTest>

using namespace circfix;

class TestAccounts : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_AccountMag &w() { return vb::Default<Frm_AccountMag>(); }
    Frm_AccountAdd &ed() { return vb::Default<Frm_AccountAdd>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }

    static QString field(const QString &uid, const QString &column)
    {
        return scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM 账户 WHERE 用户名 = ")
                      + SQLQuote(uid));
    }
    int rowOf(const QString &uid)
    {
        for (int r = 1; r < grid().Rows(); ++r)
            if (grid().TextMatrix(r, 0) == uid) return r;
        return -1;
    }
    // The editor as the list leaves it before showing it, without the modal loop.
    void openEditor(const QString &mode, const QString &uid)
    {
        ed().Mode = mode;
        ed().UID = uid;
        ed().CallerForm = &w();
        ed().Show();
        QVERIFY(ed().IsLoaded());
    }
    // Logs in as another user: the list is reopened for that user.
    void becomeClerk(bool seeAll, bool changeAll)
    {
        exec(QStringLiteral("UPDATE 账户类型 SET 查看账户权限 = %1, 修改账户权限 = %2 WHERE 账户类型 = '职员'")
                 .arg(seeAll ? 1 : 0)
                 .arg(changeAll ? 1 : 0));
        CurUID = QStringLiteral("clerk");
        w().Unload();
        showChild(w());
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        CurUID = QStringLiteral("admin");
        exec(QStringLiteral("INSERT 账户类型 VALUES ('职员', 0,1,0,1,0,1,1,1,0,0,0,0,0)"));
        exec(QStringLiteral(
            "INSERT 账户 VALUES ('clerk','pw1','柜台职员','cl2nd','职员','2024-03-01 08:00:00','正常')"));
        exec(QStringLiteral("INSERT 账户 VALUES ('old','pw2','老员工','ol2nd','职员',Null,'停用')"));
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        if (ed().IsLoaded()) ed().Unload();
        w().Unload();
        vb::ClearTestClock();
        m_msg.reset();
        m_db.reset();
    }

    void listShowsEveryAccountWithoutPasswords()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("账户管理"));
        QCOMPARE(grid().Rows(), 4);
        QCOMPARE(grid().Cols(), 5);
        const QStringList header{QStringLiteral("用户名"), QStringLiteral("真实姓名"), QStringLiteral("账户类型"),
                                 QStringLiteral("最后登录时间"), QStringLiteral("状态")};
        for (int c = 0; c < 5; ++c) QCOMPARE(grid().TextMatrix(0, c), header.at(c));
        // Server order, the date-time in style 20, a first login still empty.
        QCOMPARE(grid().TextMatrix(1, 0), QStringLiteral("admin"));
        QCOMPARE(grid().TextMatrix(2, 3), QStringLiteral("2024-03-01 08:00:00"));
        QCOMPARE(grid().TextMatrix(3, 3), QString());
        QCOMPARE(grid().TextMatrix(3, 4), QStringLiteral("停用"));
        QCOMPARE(grid().ColWidth(3), 2400);
        QCOMPARE(statusTip(), QStringLiteral("共有 3 条记录"));
        for (int r = 0; r < grid().Rows(); ++r)
            for (int c = 0; c < grid().Cols(); ++c) QVERIFY(grid().TextMatrix(r, c) != QStringLiteral("pw1"));
    }

    void withoutViewPowerOnlyTheOwnRow()
    {
        becomeClerk(false, false);
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 0), QStringLiteral("clerk"));
        becomeClerk(true, false);
        QCOMPARE(grid().Rows(), 4);
    }

    void addAndDeleteAreGated()
    {
        becomeClerk(true, false);
        m_msg->clear();
        w().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(!ed().IsLoaded());

        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("由于账户关联信息太多，系统不提供账户删除功能！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        int key = 46, shift = 0;
        emit grid().KeyDown(key, shift);  // the Delete key says the same
        QCOMPARE(m_msg->msgs.size(), 3);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 账户")), 3);
    }

    void modifyOpensTheRowUnderTheCursorModally()
    {
        w().CurRow = rowOf(QStringLiteral("clerk"));
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            seen = ed().IsModalShowing() && ed().Mode == QStringLiteral("MOD") && ed().UID == QStringLiteral("clerk")
                   && ed().Txt_Name->Text() == QStringLiteral("柜台职员");
            ed().Cmd_Close_Click();
        });
        emit grid().DblClick();
        QVERIFY(seen);
        QVERIFY(!ed().IsLoaded());

        // An empty list row opens nothing.
        exec(QStringLiteral("DELETE FROM 账户 WHERE 用户名 <> 'admin'"));
        CurUID = QStringLiteral("nobody");
        w().Cmd_Refresh_Click();
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 0), QString());
        w().Cmd_Modify_Click();
        QVERIFY(!ed().IsLoaded());
    }

    void addingChecksThenStoresTrimmedValues()
    {
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            shown = ed().IsModalShowing();
            ed().Cmd_Close_Click();
        });
        w().Cmd_Add_Click();
        QVERIFY(shown);
        QCOMPARE(ed().Mode, QStringLiteral("ADD"));
        QCOMPARE(ed().UID, QString());

        openEditor(QStringLiteral("ADD"), QString());
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加账户"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("添加"));
        QVERIFY(!ed().Cmb_Status->Enabled());
        QCOMPARE(ed().Cmb_Status->ListIndex(), -1);
        QVERIFY(!ed().Lbl_Tip->isVisible());
        QCOMPARE(ed().Cmb_Type->ListCount(), 2);
        QCOMPARE(ed().Cmb_Type->ListIndex(), -1);

        ed().Txt_UID->setText(QStringLiteral(" newbie "));
        ed().Txt_PWD->setText(QStringLiteral(" secret "));
        ed().Txt_PWD2->setText(QStringLiteral(" secret"));
        ed().Txt_Name->setText(QStringLiteral("新人"));
        ed().Cmb_Type->setListIndex(1);
        m_msg->clear();
        ed().Cmd_Add_Click();  // second-level password missing
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        ed().Txt_SubPWD->setText(QStringLiteral("s2"));
        ed().Cmd_Add_Click();  // the blanks count in the comparison
        QCOMPARE(m_msg->last(), QStringLiteral("两次密码不相同！"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 账户")), 3);

        ed().Txt_PWD2->setText(QStringLiteral(" secret "));
        ed().Cmd_Add_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("newbie"), QStringLiteral("密码")), QStringLiteral("secret"));
        QCOMPARE(field(QStringLiteral("newbie"), QStringLiteral("二级密码")), QStringLiteral("s2"));
        QCOMPARE(field(QStringLiteral("newbie"), QStringLiteral("账户类型")), QStringLiteral("职员"));
        QCOMPARE(field(QStringLiteral("newbie"), QStringLiteral("状态")), QStringLiteral("正常"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 账户 WHERE 用户名 = 'newbie' AND 最后登录时间 IS NULL")),
                 1);
        QCOMPARE(grid().Rows(), 5);  // the list was refreshed
    }

    void failedInsertKeepsTheEditorAndRefreshesTheList()
    {
        openEditor(QStringLiteral("ADD"), QString());
        ed().Txt_UID->setText(QStringLiteral("CLERK"));  // the key ignores letter case
        ed().Txt_PWD->setText(QStringLiteral("   "));    // blanks pass the check and are stored empty
        ed().Txt_PWD2->setText(QStringLiteral("   "));
        ed().Txt_Name->setText(QStringLiteral("O'Brien"));
        ed().Txt_SubPWD->setText(QStringLiteral("x"));
        ed().Cmb_Type->setListIndex(0);
        exec(QStringLiteral("INSERT 账户 VALUES ('late','p','迟到','s','职员',Null,'正常')"));
        m_msg->clear();
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Txt_Name->Text(), QStringLiteral("O'Brien"));
        QCOMPARE(grid().Rows(), 5);

        ed().Txt_UID->setText(QStringLiteral("obrien"));
        ed().Cmd_Add_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("obrien"), QStringLiteral("真实姓名")), QStringLiteral("O'Brien"));
        QCOMPARE(field(QStringLiteral("obrien"), QStringLiteral("密码")), QString());
    }

    void ownRowWithoutModifyPowerChangesNameAndPasswordsOnly()
    {
        becomeClerk(false, false);
        openEditor(QStringLiteral("MOD"), QStringLiteral("clerk"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("修改账户"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("修改"));
        QVERIFY(!ed().Txt_UID->Enabled());
        QVERIFY(!ed().Cmb_Type->Enabled());
        QVERIFY(!ed().Cmb_Status->Enabled());
        QVERIFY(ed().Lbl_Tip->isVisible());
        QCOMPARE(ed().Txt_UID->Text(), QStringLiteral("clerk"));
        QCOMPARE(ed().Txt_PWD->Text(), QString());
        QCOMPARE(ed().Txt_SubPWD->Text(), QStringLiteral("cl******"));
        QCOMPARE(ed().Cmb_Type->Text(), QStringLiteral("职员"));
        QCOMPARE(ed().Cmb_Status->ListIndex(), 0);
        QVERIFY(!ed().SubPasswordChanged());

        // Untouched password boxes write neither password; the mask is never stored.
        ed().Txt_Name->setText(QStringLiteral("柜台甲"));
        ed().Txt_PWD2->setText(QStringLiteral("ignored"));
        ed().Cmd_Add_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("真实姓名")), QStringLiteral("柜台甲"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("密码")), QStringLiteral("pw1"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("二级密码")), QStringLiteral("cl2nd"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("状态")), QStringLiteral("正常"));
    }

    // The only active account that may change the accounts can't be
    // disabled nor given a type without that permission: refused, nothing
    // written, the editor open. With a second such account it can.
    void theLastAccountAdministratorIsKept_data()
    {
        QTest::addColumn<bool>("disable");
        QTest::newRow("disabled") << true;
        QTest::newRow("another type") << false;
    }
    void theLastAccountAdministratorIsKept()
    {
        QFETCH(bool, disable);
        const QString before = m_db->db.dump();
        const auto change = [&] {
            openEditor(QStringLiteral("MOD"), QStringLiteral("admin"));
            if (disable)
                ed().Cmb_Status->setListIndex(1);
            else
                ed().Cmb_Type->setListIndex(ed().Cmb_Type->List(0) == QStringLiteral("职员") ? 0 : 1);
            m_msg->clear();
            ed().Cmd_Add_Click();
        };
        change();
        QCOMPARE(m_msg->last(), QStringLiteral("保存后将没有任何正常状态的账户拥有“修改账户权限”，本次修改未保存！\r\n"
                                               "请至少保留一个正常状态的账户，其账户类型拥有修改账户权限。"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(m_db->db.dump(), before);
        ed().Unload();

        exec(QStringLiteral("UPDATE 账户 SET 账户类型 = '系统管理员' WHERE 用户名 = 'clerk'"));
        change();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("admin"), disable ? QStringLiteral("状态") : QStringLiteral("账户类型")),
                 disable ? QStringLiteral("停用") : QStringLiteral("职员"));
    }

    void viewPowerWithoutModifyPowerReachesOtherRows()
    {
        becomeClerk(true, false);
        openEditor(QStringLiteral("MOD"), QStringLiteral("old"));
        QVERIFY(!ed().Cmb_Type->Enabled());
        QCOMPARE(ed().Cmb_Status->ListIndex(), 1);
        ed().Txt_PWD->setText(QStringLiteral("np"));
        ed().Txt_PWD2->setText(QStringLiteral("np"));
        ed().Cmd_Add_Click();
        QCOMPARE(field(QStringLiteral("old"), QStringLiteral("密码")), QStringLiteral("np"));
        QCOMPARE(field(QStringLiteral("old"), QStringLiteral("状态")), QStringLiteral("停用"));
        QCOMPARE(field(QStringLiteral("old"), QStringLiteral("二级密码")), QStringLiteral("ol2nd"));
    }

    void passwordChecksInModify()
    {
        openEditor(QStringLiteral("MOD"), QStringLiteral("clerk"));
        QVERIFY(ed().Cmb_Type->Enabled());
        ed().Txt_PWD->setText(QStringLiteral("new"));
        m_msg->clear();
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("两次密码不相同！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));

        // A cleared second-level password is refused, and nothing is written.
        ed().Txt_PWD2->setText(QStringLiteral("new"));
        ed().Txt_SubPWD->setText(QStringLiteral("  "));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入新二级密码！"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("密码")), QStringLiteral("pw1"));

        // The password typed for that refused attempt is cleared again: it must not be written.
        ed().Txt_PWD->setText(QString());
        ed().Txt_PWD2->setText(QString());
        ed().Txt_SubPWD->setText(QStringLiteral("fresh2"));
        ed().Cmb_Status->setListIndex(1);
        ed().Cmb_Type->setListIndex(0);
        ed().Cmd_Add_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("密码")), QStringLiteral("pw1"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("二级密码")), QStringLiteral("fresh2"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("状态")), QStringLiteral("停用"));
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("账户类型")), QStringLiteral("系统管理员"));
    }

    // Blanks of any kind alone are no second-level password: stored so, an
    // empty answer in password retrieval would match them. Refused when an
    // account is added or its second-level password changed; nothing written.
    void blankSecondPasswordIsRefused_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("blanks");
        for (const char *mode : {"ADD", "MOD"}) {
            QTest::addRow("%s: a blank", mode) << QString::fromLatin1(mode) << QStringLiteral(" ");
            QTest::addRow("%s: a full-width blank", mode) << QString::fromLatin1(mode) << QStringLiteral("\u3000");
            QTest::addRow("%s: a tab", mode) << QString::fromLatin1(mode) << QStringLiteral("\t");
            QTest::addRow("%s: mixed", mode) << QString::fromLatin1(mode) << QStringLiteral(" \u00a0\u3000 ");
        }
    }
    void blankSecondPasswordIsRefused()
    {
        QFETCH(QString, mode);
        QFETCH(QString, blanks);
        const bool add = mode == QStringLiteral("ADD");
        openEditor(mode, add ? QString() : QStringLiteral("clerk"));
        if (add) {
            ed().Txt_UID->setText(QStringLiteral("newbie"));
            ed().Txt_PWD->setText(QStringLiteral("pw"));
            ed().Txt_PWD2->setText(QStringLiteral("pw"));
            ed().Txt_Name->setText(QStringLiteral("新人"));
            ed().Cmb_Type->setListIndex(0);
        }
        ed().Txt_SubPWD->setText(blanks);
        const QString before = m_db->db.dump();
        m_msg->clear();
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(),
                 add ? QStringLiteral("二级密码不能为空，也不能只有空格！") : QStringLiteral("请输入新二级密码！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(m_db->db.dump(), before);
    }

    void unlistedTypeMustBeChosenAgain()
    {
        exec(QStringLiteral("UPDATE 账户 SET 账户类型 = '已删类型' WHERE 用户名 = 'old'"));
        openEditor(QStringLiteral("MOD"), QStringLiteral("old"));
        QCOMPARE(ed().Cmb_Type->ListIndex(), -1);
        m_msg->clear();
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QVERIFY(ed().IsLoaded());
        ed().Cmb_Type->setListIndex(1);
        ed().Cmd_Add_Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("old"), QStringLiteral("账户类型")), QStringLiteral("职员"));
    }

    void titleBarCloseSavesNothing()
    {
        openEditor(QStringLiteral("MOD"), QStringLiteral("clerk"));
        ed().Txt_Name->setText(QStringLiteral("不保存"));
        emit ed().Cmd_TBarClose->Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(field(QStringLiteral("clerk"), QStringLiteral("真实姓名")), QStringLiteral("柜台职员"));
        // A new showing starts without change marks.
        openEditor(QStringLiteral("MOD"), QStringLiteral("clerk"));
        QVERIFY(!ed().PasswordChanged());
        QVERIFY(!ed().SubPasswordChanged());
    }

    void registeredByName()
    {
        RegisterAdminForms();
        QCOMPARE(ChildForm(QStringLiteral("Frm_AccountMag")), static_cast<vb::Form *>(&w()));
        QVERIFY(ChildForm(QStringLiteral("Frm_AccountType")));
        QVERIFY(ChildForm(QStringLiteral("Frm_AccountLoginInfo")));
        QVERIFY(ChildForm(QStringLiteral("Frm_DBClear")));
    }
};

QTEST_MAIN(TestAccounts)
#include "tst_accounts.moc"
