// One child window at a time: switching by menu, navigator button and
// function key, the navigator highlight, the current child chosen again, a
// child's close back to the home page, and the children going with the main window.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/ChildFormSwitch.h"
#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"

#include <QtTest>
#include <memory>

class TestChildSwitch : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    Frm_Main &main() { return vb::Default<Frm_Main>(); }
    Frm_Welcome &home() { return vb::Default<Frm_Welcome>(); }
    static vb::Form *asForm(vb::Form &f) { return &f; }

    void verifyHighlight(XButton *expected)
    {
        Frm_Main &m = main();
        for (XButton *b : {m.Cmd_NBarBrwBook.get(), m.Cmd_NBarReturnBook.get(), m.Cmd_NBarQuery.get(),
                           m.Cmd_NBarStatistics.get(), m.Cmd_NBarBookMag.get(), m.Cmd_NBarReaderMag.get()}) {
            const bool on = (b == expected);
            QVERIFY2(b->IfDraw() == on, qPrintable(b->objectName()));
            QVERIFY2(b->BackColor() == (on ? 0xFFC0C0L : 0xE0E0E0L), qPrintable(b->objectName()));
        }
        QCOMPARE(m.HighLightCmd(), expected);
    }

private slots:
    void initTestCase()
    {
        Frm_Main::SetEndHandler([] {});
        for (const char *name : {"Frm_BorrowBook", "Frm_ReturnBook", "Frm_Query", "Frm_Statistics", "Frm_BookInfo",
                                 "Frm_ReaderDoc", "Frm_BookStore", "Frm_AccountMag", "Frm_LabInfo"})
            registerStub(QString::fromLatin1(name));
    }

    void init()
    {
        s = std::make_unique<Session>();
        main().Show(vb::vbModeless);
    }

    void cleanup()
    {
        main().Unload();
        s.reset();
    }

    void homePageIsCurrentAfterLoad()
    {
        QCOMPARE(CurForm.data(), asForm(home()));
        QVERIFY(home().IsLoaded());
        QCOMPARE(home().parentWidget(), main().ChildArea.get());
        QCOMPARE(home().geometry(), main().ChildArea->rect());
        QCOMPARE(home().WindowStateValue(), int(vb::vbMaximized));
        verifyHighlight(nullptr);
    }

    void navigatorButtonSwitchesAndHighlights()
    {
        StubForm &borrow = registerStub(QStringLiteral("Frm_BorrowBook"));
        const int loads = borrow.loads;
        clickButton(main().Cmd_NBarBrwBook.get());
        QCOMPARE(CurForm.data(), asForm(borrow));
        QCOMPARE(borrow.loads, loads + 1);
        QVERIFY(borrow.isVisible());
        QCOMPARE(borrow.parentWidget(), main().ChildArea.get());
        QCOMPARE(borrow.geometry(), main().ChildArea->rect());
        QVERIFY(!home().IsLoaded());
        verifyHighlight(main().Cmd_NBarBrwBook.get());
        // The highlight frame is drawn in the button's style colour.
        QCOMPARE(main().Cmd_NBarBrwBook->StyleColor(), 0xFF8080L);
    }

    void currentChildChosenAgainIsNotReloaded()
    {
        StubForm &borrow = registerStub(QStringLiteral("Frm_BorrowBook"));
        main().Menu_BaseCtrl_BorrowBook_Click();
        borrow.state = QStringLiteral("filters set by the user");
        const int loads = borrow.loads;
        const int unloads = borrow.unloads;
        main().Menu_BaseCtrl_BorrowBook->action()->trigger();
        clickButton(main().Cmd_NBarBrwBook.get());
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QTest::keyClick(&main(), Qt::Key_F1);
        QCOMPARE(borrow.loads, loads);
        QCOMPARE(borrow.unloads, unloads);
        QCOMPARE(borrow.state, QStringLiteral("filters set by the user"));
        QCOMPARE(CurForm.data(), asForm(borrow));
        verifyHighlight(main().Cmd_NBarBrwBook.get());
    }

    void windowWithoutButtonRemovesTheHighlight()
    {
        StubForm &borrow = registerStub(QStringLiteral("Frm_BorrowBook"));
        StubForm &store = registerStub(QStringLiteral("Frm_BookStore"));
        main().Menu_BaseCtrl_BorrowBook_Click();
        const int unloads = borrow.unloads;
        main().Menu_DataMag_BookStore->action()->trigger();
        QCOMPARE(CurForm.data(), asForm(store));
        QCOMPARE(borrow.unloads, unloads + 1);
        QVERIFY(!borrow.IsLoaded());
        verifyHighlight(nullptr);
        // And a switch to one with a button highlights only that one.
        clickButton(main().Cmd_NBarReaderMag.get());
        QCOMPARE(CurForm.data(), asForm(registerStub(QStringLiteral("Frm_ReaderDoc"))));
        QVERIFY(!store.IsLoaded());
        verifyHighlight(main().Cmd_NBarReaderMag.get());
    }

    void functionKeysOpenTheSixNavigatorFunctions()
    {
        Frm_Main &m = main();
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const QList<std::tuple<Qt::Key, QString, XButton *>> keys = {
            {Qt::Key_F1, QStringLiteral("Frm_BorrowBook"), m.Cmd_NBarBrwBook.get()},
            {Qt::Key_F2, QStringLiteral("Frm_ReturnBook"), m.Cmd_NBarReturnBook.get()},
            {Qt::Key_F3, QStringLiteral("Frm_Query"), m.Cmd_NBarQuery.get()},
            {Qt::Key_F4, QStringLiteral("Frm_Statistics"), m.Cmd_NBarStatistics.get()},
            {Qt::Key_F5, QStringLiteral("Frm_BookInfo"), m.Cmd_NBarBookMag.get()},
            {Qt::Key_F6, QStringLiteral("Frm_ReaderDoc"), m.Cmd_NBarReaderMag.get()},
        };
        for (const auto &[key, name, button] : keys) {
            QTest::keyClick(&m, key);
            QCOMPARE(CurForm.data(), asForm(registerStub(name)));
            verifyHighlight(button);
        }
    }

    void toolBarLabelsOpenTheirWindows()
    {
        Frm_Main &m = main();
        QTest::mouseClick(m.Lbl_TBarUID.get(), Qt::LeftButton);
        QCOMPARE(CurForm.data(), asForm(registerStub(QStringLiteral("Frm_AccountMag"))));
        QTest::mouseClick(m.Lbl_TBarLabName.get(), Qt::LeftButton);
        QCOMPARE(CurForm.data(), asForm(registerStub(QStringLiteral("Frm_LabInfo"))));
        verifyHighlight(nullptr);
    }

    void unregisteredWindowChangesNothing()
    {
        QVERIFY(!ChildForm(QStringLiteral("Frm_PressInfo")));
        main().Menu_BaseCtrl_BorrowBook_Click();
        vb::Form *cur = CurForm.data();
        main().Menu_DataMag_PressDoc_Click();
        main().Menu_Security_LogInfo_Click();
        QCOMPARE(CurForm.data(), cur);
        QVERIFY(cur->IsLoaded());
        verifyHighlight(main().Cmd_NBarBrwBook.get());
    }

    void closingAChildReturnsHomeWithTheUserReadAgain()
    {
        StubForm &borrow = registerStub(QStringLiteral("Frm_BorrowBook"));
        QCOMPARE(home().Lbl_UserName->Caption(), QStringLiteral("系统管理员"));
        main().Menu_BaseCtrl_BorrowBook_Click();
        s->db.conn().Execute(QStringLiteral("UPDATE 账户 SET 真实姓名 = '王小明' WHERE 用户名 = 'admin'"));
        CloseChildForm(&borrow);
        QVERIFY(!borrow.IsLoaded());
        QCOMPARE(CurForm.data(), asForm(home()));
        QVERIFY(home().isVisible());
        QCOMPARE(home().Lbl_UserName->Caption(), QStringLiteral("王小明"));
        verifyHighlight(nullptr);
    }

    void childrenGoWithTheMainWindow()
    {
        StubForm &borrow = registerStub(QStringLiteral("Frm_BorrowBook"));
        main().Menu_BaseCtrl_BorrowBook_Click();
        const int unloads = borrow.unloads;
        main().Unload();
        QCOMPARE(borrow.unloads, unloads + 1);
        QVERIFY(!borrow.IsLoaded());
        QVERIFY(borrow.parentWidget() == nullptr);  // the instance outlives the main window
        QTest::qWait(0);
        QCOMPARE(borrow.ClassName(), QStringLiteral("Frm_BorrowBook"));
        // A new main window starts with a fresh home page; the child opens again on request.
        main().Show(vb::vbModeless);
        QCOMPARE(CurForm.data(), asForm(home()));
        verifyHighlight(nullptr);
        main().Menu_BaseCtrl_BorrowBook_Click();
        QCOMPARE(CurForm.data(), asForm(borrow));
        QVERIFY(borrow.isVisible());
    }

    void highlightSurvivesAMissingPreviousButton()
    {
        Frm_Main &m = main();
        m.SetHighLightCmd(m.Cmd_NBarQuery.get());
        m.SetHighLightCmd(nullptr);
        m.SetHighLightCmd(nullptr);
        verifyHighlight(nullptr);
        m.SetHighLightCmd(m.Cmd_NBarStatistics.get());
        m.Unload();  // its buttons are gone
        m.Show(vb::vbModeless);
        m.SetHighLightCmd(m.Cmd_NBarBookMag.get());
        verifyHighlight(m.Cmd_NBarBookMag.get());
    }
};

QTEST_MAIN(TestChildSwitch)
#include "tst_childswitch.moc"
