// The account types window: the gate, permission names taken from the table,
// choosing, changing, adding and deleting types, the advisory tip and the
// hover looks of the two links.
#include "circulation/CirculationFixture.h"
#include "core/Frm_AccountType.h"

#include <QMouseEvent>
#include <QtTest>

using namespace circfix;

class TestAccountType : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_AccountType &w() { return vb::Default<Frm_AccountType>(); }

    // The flags of a type as stored, "1"/"0" in column order.
    static QString flags(const QString &type)
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM 账户类型 WHERE 账户类型 = ") + SQLQuote(type), SQLConn());
        if (rs.EOF_()) return QStringLiteral("none");
        QString s;
        for (int i = 1; i < rs.FieldCount(); ++i) s += rs.Fields(i).toString();
        return s;
    }
    QString boxes()
    {
        QString s;
        for (int i = 0; i < Frm_AccountType::PowerCount; ++i) s += QString::number(w().Chk_Power(i)->Value());
        return s;
    }
    void choose(const QString &type)
    {
        for (int i = 0; i < w().Cmb_AccType->ListCount(); ++i)
            if (w().Cmb_AccType->List(i) == type) w().Cmb_AccType->setListIndex(i);
        QCOMPARE(w().Cmb_AccType->Text(), type);
    }
    static void mouseMove(QWidget *target, QPoint at)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    static int types() { return count(QStringLiteral("SELECT COUNT(*) FROM 账户类型")); }
    static QString noAdministratorLeft()
    {
        return QStringLiteral("保存后将没有任何正常状态的账户拥有“修改账户权限”，本次修改未保存！\r\n"
                              "请至少保留一个正常状态的账户，其账户类型拥有修改账户权限。");
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        CurUID = QStringLiteral("admin");
        exec(QStringLiteral("INSERT 账户类型 VALUES ('职员', 0,1,0,1,0,1,1,1,0,0,0,0,0)"));
        exec(QStringLiteral("INSERT 账户类型 VALUES ('访客', 0,0,0,0,0,0,0,0,0,0,0,0,0)"));
        exec(QStringLiteral("INSERT 账户 VALUES ('clerk','p','柜台','s','职员',Null,'正常')"));
        m_msg = std::make_unique<MsgRecorder>();
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        m_db.reset();
    }

    void refusedWithoutModifyPower()
    {
        CurUID = QStringLiteral("clerk");
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(!w().Cmb_AccType->isVisible());
        QVERIFY(!w().Frame_AccPower->isVisible());
        QVERIFY(!w().Cmd_OK->isVisible());
        QVERIFY(w().Cmd_TBarClose->isVisible());
        QCOMPARE(w().Lbl_Tip->Caption(), QStringLiteral("当前有1个类型拥有账户修改权限"));
        QCOMPARE(w().Lbl_Power(0)->Caption(), QStringLiteral("Power Name"));
    }

    void labelsAreTheTablesOwnColumns()
    {
        // Two of the flags guard nothing; their names live only in the database.
        QVERIFY(m_db->raw(QStringLiteral("ALTER TABLE 账户类型 RENAME COLUMN 打印报表权限 TO 备用权限乙")));
        SQLConn().Close();
        OpenSQLConnection(SQLConn(), m_db->db.server(), m_db->db.uid(), m_db->db.pwd(), m_db->db.database());
        showChild(w());
        const QStringList header = m_db->db.header(QStringLiteral("SELECT * FROM 账户类型"));
        QCOMPARE(header.size(), Frm_AccountType::PowerCount + 1);
        for (int i = 0; i < Frm_AccountType::PowerCount; ++i) QCOMPARE(w().Lbl_Power(i)->Caption(), header.at(i + 1));
        QCOMPARE(w().Lbl_Power(12)->Caption(), QStringLiteral("备用权限乙"));

        // The update names the columns by those captions.
        choose(QStringLiteral("访客"));
        w().Lbl_Power_Click(12);
        w().Cmd_OK_Click();
        QCOMPARE(flags(QStringLiteral("访客")), QStringLiteral("0000000000001"));
    }

    void choosingShowsAndSavingChangesTheFlags()
    {
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("账户权限"));
        QCOMPARE(w().Cmb_AccType->ListCount(), 3);
        QCOMPARE(w().Cmb_AccType->ListIndex(), -1);
        QCOMPARE(boxes(), QStringLiteral("0000000000000"));
        QVERIFY(!w().IsAddMode());

        choose(QStringLiteral("职员"));
        QCOMPARE(boxes(), QStringLiteral("0101011100000"));
        // The label toggles its box as a click on the box does.
        w().Lbl_Power_Click(0);
        QTest::mouseClick(w().Chk_Power(1), Qt::LeftButton);
        QCOMPARE(boxes(), QStringLiteral("1001011100000"));
        w().Lbl_Power_Click(0);
        w().Lbl_Power_Click(0);
        QTest::mouseClick(w().Lbl_Power(10), Qt::LeftButton);
        QCOMPARE(boxes(), QStringLiteral("1001011100100"));
        w().Cmd_OK_Click();
        QCOMPARE(flags(QStringLiteral("职员")), QStringLiteral("1001011100100"));
        QCOMPARE(flags(QStringLiteral("访客")), QStringLiteral("0000000000000"));
        // Reloaded: nothing chosen, every box cleared, the tip counts again.
        QCOMPARE(w().Cmb_AccType->Text(), QString());
        QCOMPARE(boxes(), QStringLiteral("0000000000000"));
        QVERIFY(w().Lbl_Tip->Caption().startsWith(QStringLiteral("当前有 2 个类型拥有账户修改权限")));
        QVERIFY(!w().Lbl_Tip->Caption().contains(QStringLiteral("注意")));

        // Saving with no type chosen changes no row.
        w().Lbl_Power_Click(3);
        m_msg->clear();
        w().Cmd_OK_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(flags(QStringLiteral("访客")), QStringLiteral("0000000000000"));
    }

    // The tip warns at one type holding the permission. A save that would
    // leave no account that may change the accounts is refused and writes
    // nothing; a library that has come to none (changed beside the program)
    // counts none, without a failure.
    void tipWarnsAtOneAndASaveLeavingNoneIsRefused()
    {
        showChild(w());
        QCOMPARE(w().Lbl_Tip->Caption(), QStringLiteral("当前有 1 "
                                                        "个类型拥有账户修改权限\r\n注意：请至少保留一个类型拥有账户修改"
                                                        "权限，否则需要联系系统数据库管理员进行修改。"));
        const QString before = w().Lbl_Tip->Caption();
        choose(QStringLiteral("系统管理员"));
        w().Lbl_Power_Click(10);
        m_msg->clear();
        w().Cmd_OK_Click();
        QCOMPARE(flags(QStringLiteral("系统管理员")), QStringLiteral("1111111111111"));
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), noAdministratorLeft());
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(w().Lbl_Tip->Caption(), before);
        QCOMPARE(boxes(), QStringLiteral("1111111111011"));  // the boxes stay for another try

        exec(QStringLiteral("UPDATE 账户类型 SET 修改账户权限 = 0"));
        choose(QStringLiteral("访客"));
        m_msg->clear();
        w().Cmd_OK_Click();  // none before, none after: saved, and the list read again
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        QVERIFY(w().Lbl_Tip->Caption().startsWith(QStringLiteral("当前有 0 个类型拥有账户修改权限\r\n注意")));
        QCOMPARE(w().Cmb_AccType->ListCount(), 3);
    }

    // Two desks each untick the permission on one of the two types that hold
    // it: one of them is refused, whichever order their saves take, and the
    // library keeps an account that may change the accounts. The other desk
    // is a second connection running the save's statements; it holds its
    // transaction open while this desk saves, which then waits for it.
    void twoDesksCantBothTakeTheLastPermission()
    {
        exec(QStringLiteral("INSERT 账户类型 VALUES ('馆长', 1,1,1,1,1,1,1,1,1,1,1,1,1)"));
        exec(QStringLiteral("INSERT 账户 VALUES ('boss','p','馆长','s','馆长',Null,'正常')"));
        ado::Connection other;
        other.ConnectionTimeout = 1;
        other.Open(m_db->db.connectionString());
        other.BeginTrans();
        ado::Recordset locked;
        locked.Open(QStringLiteral("SELECT 账户类型 FROM 账户类型 WITH (UPDLOCK) ORDER BY 账户类型"), other);
        other.Execute(QStringLiteral("UPDATE 账户类型 SET 修改账户权限 = 0 WHERE 账户类型 = '馆长'"));

        showChild(w());
        choose(QStringLiteral("系统管理员"));
        w().Lbl_Power_Click(10);
        m_msg->clear();
        w().Cmd_OK_Click();  // waits for the other desk, then gives up: nothing written
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(flags(QStringLiteral("系统管理员")), QStringLiteral("1111111111111"));
        other.CommitTrans();

        // The other desk's change stands; this desk's, tried again, is refused.
        m_msg->clear();
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), noAdministratorLeft());
        QCOMPARE(flags(QStringLiteral("系统管理员")), QStringLiteral("1111111111111"));
        QCOMPARE(flags(QStringLiteral("馆长")), QStringLiteral("1111111111011"));
    }

    void addingANewType()
    {
        showChild(w());
        choose(QStringLiteral("职员"));
        w().Lbl_Add_Click();
        QVERIFY(w().IsAddMode());
        QVERIFY(!w().Lbl_Add->isEnabled());
        QVERIFY(!w().Lbl_Del->isEnabled());
        QVERIFY(w().Cmb_AccType->EnabledText());

        w().Cmb_AccType->setText(QStringLiteral("   "));
        m_msg->clear();
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入新类型的名称。"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));

        w().Cmb_AccType->setText(QStringLiteral("访客"));
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("该类型名已存在，请更换另一个新名称。"));
        QCOMPARE(types(), 3);

        // Trailing blanks pass the list test; the key then refuses the name.
        w().Cmb_AccType->setText(QStringLiteral("访客 "));
        m_msg->clear();
        w().Cmd_OK_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(m_msg->last() != QStringLiteral("该类型名已存在，请更换另一个新名称。"));
        QCOMPARE(types(), 3);

        // The boxes of the type chosen before are the new type's starting permissions.
        w().Lbl_Power_Click(12);
        w().Cmb_AccType->setText(QStringLiteral(" 馆长's "));
        w().Cmd_OK_Click();
        QCOMPARE(flags(QStringLiteral("馆长's")), QStringLiteral("0101011100001"));
        QCOMPARE(w().Cmb_AccType->ListCount(), 4);
        QCOMPARE(boxes(), QStringLiteral("0000000000000"));
        QVERIFY(w().IsAddMode());  // a save does not leave the add mode
        choose(QStringLiteral("访客"));
        QVERIFY(!w().IsAddMode());
        QVERIFY(!w().Cmb_AccType->EnabledText());
        QVERIFY(w().Lbl_Add->isEnabled());
    }

    void deletingOnlyUnusedTypes()
    {
        showChild(w());
        choose(QStringLiteral("职员"));
        w().Lbl_Del_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("检测到有账户为 [ 职员 ] ，无法删除。"));
        QCOMPARE(types(), 3);

        // Nothing chosen: the question names nobody, and nothing is deleted.
        w().Cmb_AccType->Clear();
        m_msg->clear();
        w().Lbl_Del_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除 [  ] 类型吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(types(), 3);
        QCOMPARE(w().Cmb_AccType->ListCount(), 3);

        choose(QStringLiteral("访客"));
        m_msg->answer = 2;
        w().Lbl_Del_Click();
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除账户类型"));
        QCOMPARE(types(), 3);
        m_msg->answer = 1;
        w().Lbl_Del_Click();
        QCOMPARE(flags(QStringLiteral("访客")), QStringLiteral("none"));
        QCOMPARE(w().Cmb_AccType->ListCount(), 2);
        QCOMPARE(w().Cmb_AccType->ListIndex(), -1);
    }

    void failingDeleteIsReportedAndTheWindowGoesOn()
    {
        showChild(w());
        testsupport::StatementFailer fail(QStringLiteral("DELETE 账户类型"), 0, QStringLiteral("不能删除"));
        choose(QStringLiteral("访客"));
        m_msg->clear();
        w().Lbl_Del_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QVERIFY(m_msg->last().contains(QStringLiteral("不能删除")));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(types(), 3);
        QVERIFY(w().IsLoaded());
    }

    void linksLightUpUnderThePointer()
    {
        showChild(w());
        vb::Label *add = w().Lbl_Add.get();
        vb::Label *del = w().Lbl_Del.get();
        QCOMPARE(add->ForeColor(), vb::RGB(0, 0, 255));
        mouseMove(add, QPoint(2, 2));
        QVERIFY(add->FontUnderline());
        QCOMPARE(add->ForeColor(), 0xFFC0C0L);
        QVERIFY(!del->FontUnderline());
        mouseMove(del, QPoint(2, 2));
        QVERIFY(del->FontUnderline());
        mouseMove(w().client(), QPoint(5, 400));
        QVERIFY(!add->FontUnderline());
        QVERIFY(!del->FontUnderline());
        QCOMPARE(del->ForeColor(), vb::RGB(0, 0, 255));
    }

    void frameAndTipFollowTheWindowWidth()
    {
        showChild(w());
        const int W = w().Width();
        QVERIFY(qAbs(w().Frame_AccPower->Width() - (W - w().Frame_AccPower->Left() - 285)) <= 15);
        QVERIFY(qAbs(w().Lbl_Tip->Width() - (W - w().Lbl_Tip->Left() - 285)) <= 15);
        emit w().Cmd_Close->Click();
        QVERIFY(!w().IsLoaded());
    }
};

QTEST_MAIN(TestAccountType)
#include "tst_accounttype.moc"
