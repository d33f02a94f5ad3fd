// The home page: the logged-in user and the thirteen permissions of the
// user's account type, each with its picture.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"

#include <QtTest>
#include <memory>

namespace {

bool samePicture(const QPixmap &a, const QPixmap &b)
{
    return !a.isNull() && !b.isNull() && a.toImage() == b.toImage();
}

}  // namespace

class TestWelcome : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    Frm_Welcome &home() { return vb::Default<Frm_Welcome>(); }

    // The permission columns in the order the joined query gives them.
    QStringList permissionNames() { return s->db.header(QStringLiteral("SELECT * FROM 账户,账户类型")).mid(8); }

    void reopen()
    {
        home().Unload();
        home().Show(vb::vbModeless);
    }

private slots:
    void initTestCase()
    {
        Frm_Main::SetEndHandler([] {});
    }

    void init()
    {
        s = std::make_unique<Session>();
        LastLogTime = QStringLiteral("2024-01-02 03:04:05");
        vb::Default<Frm_Main>().Show(vb::vbModeless);
    }

    void cleanup()
    {
        vb::Default<Frm_Main>().Unload();
        s.reset();
    }

    void showsTheUser()
    {
        Frm_Welcome &w = home();
        QCOMPARE(w.Caption(), QStringLiteral("欢迎使用"));
        QCOMPARE(w.Lbl_UID->Caption(), QStringLiteral("admin"));
        QCOMPARE(w.Lbl_UserName->Caption(), QStringLiteral("系统管理员"));
        QCOMPARE(w.Lbl_UserType->Caption(), QStringLiteral("系统管理员"));
        QCOMPARE(w.Lbl_LastLogTime->Caption(), QStringLiteral("您上次的登录时间：2024-01-02 03:04:05"));
        QCOMPARE(w.Lbl_UserPower->Caption(), QStringLiteral("您拥有的权限："));
        QCOMPARE(w.Lbl_TBarTM->Caption(), QStringLiteral("Quorvale"));
        QCOMPARE(w.Lbl_TBarTMShadow->Caption(), QStringLiteral("Quorvale"));
        QCOMPARE(w.Lbl_TBarTMInfo->Caption(), QStringLiteral("Veltrane"));
        QVERIFY(!w.Pic_TBarLogo->Picture().isNull());
        QCOMPARE(w.Pic_TitleBar->Height(), 960);
        QCOMPARE(w.Pic_TitleBar->width(), w.width());
        QVERIFY(!w.Pic_UserHead->Picture().isNull());
        // A user typed in other letter case finds the account; the stored name is shown.
        CurUID = QStringLiteral("ADMIN");
        reopen();
        QCOMPARE(w.Lbl_UID->Caption(), QStringLiteral("admin"));
    }

    void listsThirteenPermissionsWithPictures()
    {
        Frm_Welcome &w = home();
        vb::Grid *g = w.Grid_PowerList.get();
        QCOMPARE(g->Rows(), 13);
        QCOMPARE(g->Cols(), 3);
        QCOMPARE(g->FixedRows(), 0);
        QCOMPARE(g->ColWidth(0), 100);
        QCOMPARE(g->ColWidth(1), 3000);
        QCOMPARE(g->ColWidth(2), 250);
        QCOMPARE(g->ColAlignment(0), int(vb::flexAlignLeftCenter));
        QCOMPARE(w.ImgLst->Count(), 3);
        const QStringList names = permissionNames();
        QCOMPARE(names.size(), 13);
        QVERIFY(names.contains(QStringLiteral("办理借书权限")));
        for (int r = 0; r < 13; ++r) {
            QCOMPARE(g->TextMatrix(r, 1), names.at(r));
            QVERIFY(samePicture(g->cellPicture(r, 0), w.ImgLst->ListImage(3)));
            QVERIFY(samePicture(g->cellPicture(r, 2), w.ImgLst->ListImage(1)));  // every permission granted
        }
    }

    void refusedAndNullPermissionsShowTheSecondPicture()
    {
        // Granted, refused and empty in turn.
        QStringList values;
        for (int i = 0; i < 13; ++i)
            values << (i % 3 == 0 ? QStringLiteral("1") : i % 3 == 1 ? QStringLiteral("0") : QStringLiteral("Null"));
        s->db.exec(
            {QStringLiteral("INSERT 账户类型 VALUES ('借阅员', ") + values.join(QLatin1Char(',')) + QStringLiteral(")"),
             QStringLiteral("INSERT 账户 VALUES ('clerk', 'pw', '李四', 'x', '借阅员', Null, '正常')")});
        CurUID = QStringLiteral("clerk");
        reopen();
        Frm_Welcome &w = home();
        QCOMPARE(w.Lbl_UserName->Caption(), QStringLiteral("李四"));
        QCOMPARE(w.Lbl_UserType->Caption(), QStringLiteral("借阅员"));
        for (int r = 0; r < 13; ++r) {
            const int want = (r % 3 == 0) ? 1 : 2;
            QVERIFY2(samePicture(w.Grid_PowerList->cellPicture(r, 2), w.ImgLst->ListImage(want)),
                     qPrintable(QString::number(r)));
        }
        QVERIFY(!samePicture(w.ImgLst->ListImage(1), w.ImgLst->ListImage(2)));
    }

    void missingAccountLeavesDesignCaptionsAndAnEmptyList()
    {
        CurUID = QStringLiteral("ghost");
        reopen();
        Frm_Welcome &w = home();
        QCOMPARE(w.Lbl_UID->Caption(), QStringLiteral("用户名"));
        QCOMPARE(w.Lbl_UserName->Caption(), QStringLiteral("真实姓名"));
        QCOMPARE(w.Lbl_UserType->Caption(), QStringLiteral("账户类型"));
        for (int r = 0; r < 13; ++r) {
            QCOMPARE(w.Grid_PowerList->TextMatrix(r, 1), QString());
            QVERIFY(w.Grid_PowerList->cellPicture(r, 2).isNull());
        }
        // A lost connection is no different.
        CurUID = QStringLiteral("admin");
        SQLConn().Close();
        reopen();
        QCOMPARE(w.Lbl_UID->Caption(), QStringLiteral("用户名"));
        QCOMPARE(w.Lbl_LastLogTime->Caption(), QStringLiteral("您上次的登录时间：2024-01-02 03:04:05"));
    }
};

QTEST_MAIN(TestWelcome)
#include "tst_welcome.moc"
