// Every window the main window reaches opens, lays itself out at the smallest
// and a large size, and closes again, for a user with every permission and for
// one with none; the refused working windows show the red refusal.
#include "CoreTestHelpers.h"
#include "catalogue/BookForms.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "core/AdminForms.h"
#include "core/ChildFormSwitch.h"
#include "core/ChildListForm.h"
#include "core/Frm_Main.h"
#include "core/SessionDialogs.h"
#include "support/LiveObjects.h"

#include <QApplication>
#include <QtTest>

using Handler = void (Frm_Main::*)();

class TestAllWindows : public QObject {
    Q_OBJECT

    struct Target {
        Handler open;
        const char *className;
        bool gated;  // refused without permissions
    };

    static QList<Target> targets()
    {
        return {{&Frm_Main::Menu_BaseCtrl_BorrowBook_Click, "Frm_BorrowBook", true},
                {&Frm_Main::Menu_BaseCtrl_ReturnBook_Click, "Frm_ReturnBook", true},
                {&Frm_Main::Menu_BaseCtrl_Query_Click, "Frm_Query", false},
                {&Frm_Main::Menu_BaseCtrl_Statistics_Click, "Frm_Statistics", false},
                {&Frm_Main::Menu_DataMag_BookDoc_Click, "Frm_BookInfo", true},
                {&Frm_Main::Menu_DataMag_BookStore_Click, "Frm_BookStore", true},
                {&Frm_Main::Menu_DataMag_BookDamage_Click, "Frm_BookDamage", true},
                {&Frm_Main::Menu_DataMag_ReaderDoc_Click, "Frm_ReaderDoc", true},
                {&Frm_Main::Menu_DataMag_ReaderType_Click, "Frm_ReaderType", true},
                {&Frm_Main::Menu_DataMag_ReaderDeposit_Click, "Frm_ReaderDeposit", true},
                {&Frm_Main::Menu_DataMag_PressDoc_Click, "Frm_PressInfo", true},
                {&Frm_Main::Menu_DataMag_LabDoc_Click, "Frm_LabInfo", false},
                {&Frm_Main::Menu_Security_AccountMag_Click, "Frm_AccountMag", false},
                {&Frm_Main::Menu_Security_AccountType_Click, "Frm_AccountType", true},
                {&Frm_Main::Menu_Security_LogInfo_Click, "Frm_AccountLoginInfo", true}};
    }

    static Frm_Main &main() { return vb::Default<Frm_Main>(); }

    void openAndCloseEach(bool permitted)
    {
        Frm_Main &m = main();
        m.Show(vb::vbModeless);
        for (const Target &t : targets()) {
            (m.*t.open)();
            QCoreApplication::processEvents();
            vb::Form *child = ChildForm(QString::fromLatin1(t.className));
            QVERIFY2(child, t.className);
            QCOMPARE(CurForm.data(), child);
            QVERIFY2(child->isVisible(), t.className);
            for (const QSize &size : {QSize(900, 600), QSize(1600, 1000)}) {
                m.resize(size);
                QCoreApplication::processEvents();
            }
            if (auto *list = qobject_cast<ChildListForm *>(child)) {
                const bool refused = list->Lbl_TBarText->Caption() == QStringLiteral("您没有权限完成当前操作！");
                QVERIFY2(refused == (!permitted && t.gated), t.className);
            }
            // Choosing it again keeps the same, loaded window.
            (m.*t.open)();
            QCOMPARE(CurForm.data(), child);
            CloseChildForm(child);
            QCoreApplication::processEvents();
            QVERIFY2(!child->IsLoaded(), t.className);
        }
        // The modal dialogs of the menus open over the main window and close again.
        for (Handler open : {&Frm_Main::Menu_Help_About_Click, &Frm_Main::Menu_File_SwapUser_Click,
                             &Frm_Main::Menu_File_DBClear_Click}) {
            QPointer<vb::Form> seen;
            QTimer::singleShot(50, this, [&seen] {
                seen = qobject_cast<vb::Form *>(QApplication::activeModalWidget());
                if (seen) seen->Unload();
            });
            (m.*open)();
            QVERIFY(seen);
            QVERIFY(!seen->IsLoaded());
            QVERIFY(m.isVisible());
        }
        m.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase()
    {
        Frm_Main::SetEndHandler([] {});
        RegisterSessionDialogs();
        RegisterAdminForms();
        RegisterBookForms();
        RegisterLibraryForms();
        RegisterReaderForms();
        RegisterCirculationForms();
    }

    void everyWindowWithEveryPermission()
    {
        Session s;
        MsgLog log;
        openAndCloseEach(true);
    }

    void everyWindowWithoutPermissions()
    {
        Session s(QStringLiteral("clerk"));
        s.db.exec({QStringLiteral("INSERT 账户类型 VALUES ('无权限', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)"),
                   QStringLiteral("INSERT 账户 VALUES ('clerk', 'pw', '职员', 'x', '无权限', Null, '正常')")});
        MsgLog log;
        openAndCloseEach(false);
    }

    // A desk stays open all day: opening and closing every window again and
    // again leaves no more objects alive than the first time did. (Closing the
    // main window closes the connection: each round logs in anew.)
    void windowsOpenedAllDayLeaveNothingBehind()
    {
        MsgLog log;
        {
            Session s;
            openAndCloseEach(true);  // what is made once and kept: default instances, style caches
        }
        testsupport::LiveObjects live;
        const int widgets = live.widgets();
        for (int round = 1; round <= 5; ++round) {
            Session s;
            openAndCloseEach(true);
            QVERIFY2(live.count() == 0,
                     qPrintable(QStringLiteral("round %1: %2 objects more").arg(round).arg(live.count())));
            QCOMPARE(live.widgets(), widgets);
        }
    }
};

QTEST_MAIN(TestAllWindows)
#include "tst_allwindows.moc"
