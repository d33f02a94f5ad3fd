// The about box: translucency and version, the banner and credits animation
// and where each comes to rest, the picture loaded and cleared by the pointer,
// the notice when the picture cannot be loaded, and the OK button.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/Frm_About.h"
#include "core/Frm_Main.h"
#include "core/SessionDialogs.h"

#include <QImage>
#include <QMouseEvent>
#include <QTimer>
#include <QtTest>
#include <memory>

class TestAbout : public QObject {
    Q_OBJECT

    // A program folder without pictures, and one with them.
    std::unique_ptr<QTemporaryDir> bare;
    std::unique_ptr<AppFolder> app;

    Frm_About &about() { return vb::Default<Frm_About>(); }

    // A pointer move over `w` at its centre (or at `at`).
    static void moveOver(QWidget *w, QPoint at = QPoint(-1, -1))
    {
        if (at.x() < 0) at = w->rect().center();
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    // A move over the window itself, outside every control (below the title, left of the credits).
    void moveOverWindow() { moveOver(about().client(), QPoint(5, vb::toPx(1800))); }

    QImage zorvImage() { return about().Pic_Zorv->grab().toImage(); }

    // Runs the animation by hand: the window's own timer is stopped first.
    int runTicks()
    {
        about().Timer->setEnabled(false);
        int ticks = 0;
        while (ticks < 1000) {
            about().Timer->setEnabled(true);
            about().Timer_Timer();
            ++ticks;
            if (!about().Timer->Enabled()) break;
            about().Timer->setEnabled(false);
        }
        return ticks;
    }

private slots:
    void initTestCase()
    {
        AppVersion = QStringLiteral("2.3.45");
        RegisterSessionDialogs();
    }

    void init()
    {
        bare = std::make_unique<QTemporaryDir>();
        app = std::make_unique<AppFolder>(false);
        AppPath = bare->path() + QStringLiteral("/");
        about().Show(vb::vbModeless);
    }

    void cleanup()
    {
        about().Unload();
        app.reset();
        bare.reset();
    }

    void loadSetsLookVersionAndStartPositions()
    {
        QCOMPARE(about().Caption(), QStringLiteral("关于"));
        QCOMPARE(about().LayeredAlpha(), 192);
        QCOMPARE(about().Lbl_Version->Caption(), QStringLiteral("Version 2.3.45"));
        QCOMPARE(about().Lbl_TM->Caption(), QStringLiteral("Quorvale"));
        QCOMPARE(about().Lbl_TMShadow->Caption(), QStringLiteral("Quorvale"));
        QCOMPARE(about().Lbl_TMInfo->Caption(), QStringLiteral("Veltrane"));
        QCOMPARE(about().Pic_TitleBar->Width(), 5910);
        QCOMPARE(about().Pic_TitleBar->Height(), 975);
        QCOMPARE(about().Pic_Copyright->Left(), 240);
        QCOMPARE(about().Pic_Copyright->Top(), 1080);
        QCOMPARE(about().Pic_Copyright->Width(), 3135);
        QCOMPARE(about().Pic_Copyright->Height(), 1455);
        QCOMPARE(about().Txt_Copyright->Height(), 1455);
        QCOMPARE(about().Pic_Zorv->Left(), 3600);
        QCOMPARE(about().Pic_Zorv->Width(), 2175);
        QVERIFY(about().Pic_Zorv->Picture().isNull());
        QVERIFY(!about().Txt_Copyright->Text().isEmpty());
        // The banner starts just beyond the right edge, the credits just below their box.
        QCOMPARE(about().BannerLeft(), 5910);
        QCOMPARE(about().Pic_TBarSub1->Left(), 5910);
        QCOMPARE(about().CreditsTop(), 1455);
        QCOMPARE(about().Txt_Copyright->Top(), 1455);
        QVERIFY(about().Timer->Enabled());
        QCOMPARE(about().Timer->Interval(), 1);
    }

    void bannerAndCreditsComeToRest()
    {
        about().Timer->setEnabled(false);
        QList<int> banner;
        for (int i = 0; i < 80; ++i) {
            about().Timer_Timer();
            banner << about().BannerLeft();
        }
        // 75 twips a tick; the banner stops at its first position of 0 or less.
        QCOMPARE(banner.at(0), 5910 - 75);
        QCOMPARE(banner.at(77), 60);
        QCOMPARE(banner.at(78), -15);
        QCOMPARE(banner.at(79), -15);
        QCOMPARE(about().Pic_TBarSub1->Left(), -15);
        QCOMPARE(about().CreditsTop(), 1455 - 80 * 5);
        // The credits need 291 ticks in all; the tick after that stops the timer.
        const int more = runTicks();
        QCOMPARE(80 + more, 292);
        QCOMPARE(about().CreditsTop(), 0);
        QCOMPARE(about().Txt_Copyright->Top(), 0);
        QVERIFY(!about().Timer->Enabled());
        QCOMPARE(about().BannerLeft(), -15);
    }

    void animationRunsByItsTimerAndAgainOnEachOpening()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!about().Timer->Enabled(), 10000);
        QCOMPARE(about().CreditsTop(), 0);
        QCOMPARE(about().BannerLeft(), -15);
        clickButton(about().Cmd_OK.get());
        QVERIFY(!about().IsLoaded());
        about().Show(vb::vbModeless);
        QCOMPARE(about().CreditsTop(), 1455);
        QCOMPARE(about().BannerLeft(), 5910);
        QVERIFY(about().Timer->Enabled());
        QCOMPARE(about().Lbl_Version->Caption(), QStringLiteral("Version 2.3.45"));
    }

    void pictureLoadsOnHoverAndClearsOutside()
    {
        about().Timer->setEnabled(false);
        AppPath = app->path;
        for (int round = 0; round < 2; ++round) {
            moveOver(about().Pic_Zorv.get());
            QVERIFY(!about().Pic_Zorv->Picture().isNull());
            // Shown whole inside the box.
            QVERIFY(about().Pic_Zorv->Picture().width() <= about().Pic_Zorv->contentsRect().width());
            QVERIFY(about().Pic_Zorv->Picture().height() <= about().Pic_Zorv->contentsRect().height());
            QVERIFY(!about().NoticeDrawn());
            moveOverWindow();
            QVERIFY(about().Pic_Zorv->Picture().isNull());
        }
        // Moves over other controls leave the picture alone.
        moveOver(about().Pic_Zorv.get());
        moveOver(about().Pic_Copyright.get());
        moveOver(about().Cmd_OK.get());
        QVERIFY(!about().Pic_Zorv->Picture().isNull());
    }

    void missingPictureDrawsTheNoticeOncePerVisit()
    {
        about().Timer->setEnabled(false);
        const QImage blank = zorvImage();
        moveOver(about().Pic_Zorv.get());
        QVERIFY(about().NoticeDrawn());
        QVERIFY(about().Pic_Zorv->Picture().isNull());
        const QImage notice = zorvImage();
        QVERIFY(notice != blank);
        // Further moves draw nothing more (a second print would darken the text's edges).
        moveOver(about().Pic_Zorv.get(), QPoint(3, 3));
        moveOver(about().Pic_Zorv.get());
        QCOMPARE(zorvImage(), notice);
        // Leaving clears it; coming back draws it again.
        moveOverWindow();
        QVERIFY(!about().NoticeDrawn());
        QCOMPARE(zorvImage(), blank);
        moveOver(about().Pic_Zorv.get());
        QVERIFY(about().NoticeDrawn());
        QCOMPARE(zorvImage(), notice);
    }

    void openedModalFromTheMainWindow()
    {
        about().Unload();
        Frm_Main::SetEndHandler([] {});
        AppFolder appWithPictures;
        AppPath = appWithPictures.path;
        Session session;
        Frm_Main &m = vb::Default<Frm_Main>();
        m.Show(vb::vbModeless);
        vb::Form *cur = CurForm.data();
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            QVERIFY(about().isVisible());
            QVERIFY(about().IsModalShowing());
            QCOMPARE(about().CreditsTop(), 1455);
            clickButton(about().Cmd_OK.get());
        });
        m.Menu_Help_About_Click();
        QVERIFY(ran);
        QVERIFY(!about().IsLoaded());
        QCOMPARE(CurForm.data(), cur);
        m.Unload();
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
