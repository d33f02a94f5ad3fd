// The login log: the gate, the side-bar lists, filtering by user, time range
// and number of rows (only the latest filter applies), and the bulk delete.
#include "circulation/CirculationFixture.h"
#include "core/Frm_AccountLoginInfo.h"

#include <QtTest>

using namespace circfix;

class TestLoginInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_AccountLoginInfo &w() { return vb::Default<Frm_AccountLoginInfo>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }

    static void login(const QString &uid, const QString &when)
    {
        exec(QStringLiteral("INSERT 账户登录 VALUES (%1,%2)").arg(SQLQuote(uid), SQLQuote(when)));
    }
    static int logRows() { return count(QStringLiteral("SELECT COUNT(*) FROM 账户登录")); }
    // The listed rows as "user time".
    QStringList listed()
    {
        QStringList out;
        for (int r = 1; r < grid().Rows(); ++r)
            if (!grid().TextMatrix(r, 0).isEmpty())
                out << grid().TextMatrix(r, 0) + QLatin1Char(' ') + grid().TextMatrix(r, 1);
        return out;
    }
    static void pick(FCombo *c, const QString &text)
    {
        for (int i = 0; i < c->ListCount(); ++i)
            if (c->List(i) == text) {
                c->setListIndex(i);
                return;
            }
        QFAIL("no such item");
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        CurUID = QStringLiteral("admin");
        exec(QStringLiteral("INSERT 账户类型 VALUES ('职员', 0,1,0,1,0,1,1,1,0,1,0,0,0)"));
        exec(QStringLiteral("INSERT 账户 VALUES ('clerk','p','柜台','s','职员',Null,'正常')"));
        login(QStringLiteral("admin"), QStringLiteral("2024-03-01 08:00:00"));
        for (int d = 1; d <= 7; ++d)
            login(QStringLiteral("clerk"), QStringLiteral("2024-03-%1 09:00:00").arg(d, 2, 10, QLatin1Char('0')));
        login(QStringLiteral("admin"), QStringLiteral("2024-03-15 09:30:00"));
        login(QStringLiteral("gone"), QStringLiteral("2024-03-10 12:00:00"));  // an account no longer there
        vb::SetTestClock(fixedNow());                                          // 2024-03-15 10:20:30
        m_msg = std::make_unique<MsgRecorder>();
    }
    void cleanup()
    {
        w().Unload();
        vb::ClearTestClock();
        m_msg.reset();
        m_db.reset();
    }

    void refusedWithoutModifyPower()
    {
        CurUID = QStringLiteral("clerk");
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(w().Lbl_TBarText->ForeColor(), vb::RGB(255, 0, 0));
        QVERIFY(!static_cast<QWidget *>(w().Grid_ShowData.get())->isVisible());
        QVERIFY(!w().Pic_SideBar->isVisible());
    }

    void opensWithTheWholeLogNewestFirst()
    {
        showChild(w());
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("账户最近登录信息"));
        QVERIFY(w().Pic_SideBar->isVisible());
        QCOMPARE(grid().TextMatrix(0, 0), QStringLiteral("用户名"));
        QCOMPARE(grid().TextMatrix(0, 1), QStringLiteral("登录时间"));
        QCOMPARE(grid().ColWidth(1), 9000);
        const QStringList rows = listed();
        QCOMPARE(rows.size(), 10);
        QCOMPARE(rows.first(), QStringLiteral("admin 2024-03-15 09:30:00"));
        QCOMPARE(rows.at(1), QStringLiteral("gone 2024-03-10 12:00:00"));
        QCOMPARE(rows.last(), QStringLiteral("admin 2024-03-01 08:00:00"));
        QCOMPARE(statusTip(), QStringLiteral("共有 10 条记录"));

        // The user lists hold the current accounts, not the names in the log.
        for (FCombo *c : {w().Cmb_UID.get(), w().Cmb_DUID.get()}) {
            QCOMPARE(c->ListCount(), 3);
            QCOMPARE(c->List(0), QStringLiteral("[全部]"));
            QCOMPARE(c->ListIndex(), -1);
        }
        QCOMPARE(w().Cmb_Number->ListCount(), 5);
        QCOMPARE(w().Cmb_Number->List(4), QStringLiteral("5"));
        // The grid only shows: the pointer and Delete do nothing to it.
        int key = 46, shift = 0;
        emit grid().KeyDown(key, shift);
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void untouchedFilterFillsTheDefaults()
    {
        showChild(w());
        login(QStringLiteral("clerk"), QStringLiteral("2024-03-15 11:00:00"));  // after "now"
        w().Cmd_OK_Click();
        QCOMPARE(w().Cmb_UID->ListIndex(), 0);
        QCOMPARE(w().Cmb_UID->Text(), QStringLiteral("[全部]"));
        QCOMPARE(w().Cmb_Number->ListIndex(), 0);
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01 00:00:00"));
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15 10:20:30"));
        QCOMPARE(listed().size(), 10);
        QCOMPARE(listed().first(), QStringLiteral("admin 2024-03-15 09:30:00"));
    }

    void userRangeAndNumber()
    {
        showChild(w());
        pick(w().Cmb_UID.get(), QStringLiteral("clerk"));
        pick(w().Cmb_Number.get(), QStringLiteral("5"));
        w().Cmd_OK_Click();
        QCOMPARE(listed(),
                 QStringList({QStringLiteral("clerk 2024-03-07 09:00:00"), QStringLiteral("clerk 2024-03-06 09:00:00"),
                              QStringLiteral("clerk 2024-03-05 09:00:00"), QStringLiteral("clerk 2024-03-04 09:00:00"),
                              QStringLiteral("clerk 2024-03-03 09:00:00")}));

        // A "to" bound without a time is midnight: that day's logins drop out.
        w().Txt_From->setText(QStringLiteral("2024-3-2"));
        w().Txt_To->setText(QStringLiteral("2024-03-05"));
        pick(w().Cmb_Number.get(), QStringLiteral("[全部]"));
        w().Cmd_OK_Click();
        QCOMPARE(listed(),
                 QStringList({QStringLiteral("clerk 2024-03-04 09:00:00"), QStringLiteral("clerk 2024-03-03 09:00:00"),
                              QStringLiteral("clerk 2024-03-02 09:00:00")}));
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2024-3-2"));

        // Only the latest filter applies: back to everyone, the range stays.
        pick(w().Cmb_UID.get(), QStringLiteral("[全部]"));
        w().Txt_To->setText(QStringLiteral("no date"));
        w().Cmd_OK_Click();
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15 10:20:30"));
        QCOMPARE(listed().size(), 8);
    }

    // Dates the database would not read as the box does take the defaults,
    // as any text that is no date: the filter always runs.
    void aRangeTheDatabaseCannotReadTakesTheDefaults()
    {
        showChild(w());
        for (const QString &typed : {QStringLiteral("2024年3月2日"), QStringLiteral("3/2"), QStringLiteral("24-3-2"),
                                     QStringLiteral("3-2-24")}) {
            w().Txt_From->setText(typed);
            w().Txt_To->setText(typed);
            w().Cmd_OK_Click();
            QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(typed + QStringLiteral(": ") + m_msg->msgs.value(0).text));
            QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01 00:00:00"));
            QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15 10:20:30"));
            QCOMPARE(listed().size(), 10);
        }
    }

    void bulkDeleteAsksFirst()
    {
        showChild(w());
        w().Cmd_Del_Click();  // nothing chosen
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(logRows(), 10);

        // The filter is dropped by the refill.
        pick(w().Cmb_UID.get(), QStringLiteral("admin"));
        w().Cmd_OK_Click();
        QCOMPARE(listed().size(), 2);

        pick(w().Cmb_DUID.get(), QStringLiteral("clerk"));
        m_msg->answer = 2;
        w().Cmd_Del_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除 [ clerk ] 的所有登录信息吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除登录信息"));
        QCOMPARE(logRows(), 10);
        m_msg->answer = 1;
        w().Cmd_Del_Click();
        QCOMPARE(logRows(), 3);
        QCOMPARE(listed().size(), 3);

        pick(w().Cmb_DUID.get(), QStringLiteral("[全部]"));
        w().Cmd_Del_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除所有登录信息吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(logRows(), 0);
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(0, 1), QStringLiteral("登录时间"));
    }

    void failingDeleteIsReported()
    {
        showChild(w());
        testsupport::StatementFailer fail(QStringLiteral("DELETE 账户登录"), 0, QStringLiteral("日志受保护"));
        pick(w().Cmb_DUID.get(), QStringLiteral("[全部]"));
        m_msg->clear();
        w().Cmd_Del_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QVERIFY(m_msg->last().contains(QStringLiteral("日志受保护")));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(logRows(), 10);
        QCOMPARE(listed().size(), 10);
    }
};

QTEST_MAIN(TestLoginInfo)
#include "tst_logininfo.moc"
