#include "ui/Form.h"
#include "ui/Intrinsics.h"
#include "ui/Menu.h"

#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using namespace vb;

// A window with a few controls that records what happened to it.
class SampleForm : public Form {
    Q_OBJECT
public:
    SampleForm() : Form(QStringLiteral("SampleForm")) { }

    Ctl<Label> Lbl_Name{this};
    Ctl<TextBox> Txt_Input{this};
    Ctl<TextBox> Txt_Other{this};
    Ctl<CommandButton> Cmd_OK{this};
    Ctl<Timer> Tmr{this};
    Ctl<MenuItem> Menu_File{this};
    Ctl<MenuItem> Menu_File_Lock{this};

    // Public members survive unloads.
    QString Mode;
    int loads = 0, unloads = 0, resizes = 0, queryUnloads = 0, ticks = 0;
    int lastUnloadMode = -1;
    int cancelQuery = 0, cancelUnload = 0;
    QString captionSeenInLoad;
    QStringList log;
    std::function<void()> onOk;
    float mouseX = -1, mouseY = -1;
    bool withMenu = false;
    bool designSize = true;  // CreateControls sizes the window (false: it keeps its size)

protected:
    void CreateControls() override
    {
        if (designSize) resize(400, 300);
        Lbl_Name = new Label(client(), "Lbl_Name", "姓名");
        Lbl_Name->Move(150, 150, 1500, 300);
        Txt_Input = new TextBox(client(), "Txt_Input");
        Txt_Input->Move(150, 600, 1500, 300);
        Txt_Other = new TextBox(client(), "Txt_Other");
        Txt_Other->Move(150, 1050, 1500, 300);
        Cmd_OK = new CommandButton(client(), "Cmd_OK", "确定");
        Cmd_OK->Move(1800, 600, 1200, 360);
        Cmd_OK->setFocusPolicy(Qt::StrongFocus);
        connect(Cmd_OK.peek(), &CommandButton::Click, this, [this] {
            log << "Click";
            if (onOk) onOk();
        });
        Tmr = new Timer(this, "Tmr", 1, false);
        connect(Tmr.peek(), &Timer::Tick, this, [this] { ++ticks; });
        if (withMenu) {
            Menu_File = new MenuItem(this, "Menu_File", "文件(&F)");
            Menu_File_Lock =
                new MenuItem(Menu_File.peek(), "Menu_File_Lock", "锁定(&L)...", QKeySequence(Qt::CTRL | Qt::Key_L));
            connect(Menu_File_Lock.peek(), &MenuItem::Click, this, [this] { log << "Lock"; });
        }
    }
    void Form_Load() override
    {
        ++loads;
        captionSeenInLoad = Lbl_Name->Caption();  // touching a control while loading is fine
    }
    void Form_Resize() override { ++resizes; }
    void Form_QueryUnload(int &cancel, int unloadMode) override
    {
        ++queryUnloads;
        lastUnloadMode = unloadMode;
        cancel = cancelQuery;
    }
    void Form_Unload(int &cancel) override
    {
        cancel = cancelUnload;
        if (!cancel) ++unloads;
    }
    void Form_MouseMove(int &, int &, float &x, float &y) override
    {
        mouseX = x;
        mouseY = y;
    }
};

class OtherForm : public Form {
    Q_OBJECT
public:
    OtherForm() : Form(QStringLiteral("OtherForm")) { }
    Ctl<Label> Lbl{this};
    int loads = 0;

protected:
    void CreateControls() override { Lbl = new Label(client(), "Lbl", "x"); }
    void Form_Load() override { ++loads; }
};

// A main window with a child area 700 x 540 pixels: child windows show there.
struct MainWithChildArea {
    QWidget main;
    QWidget *host = new QWidget(&main);
    MainWithChildArea()
    {
        main.resize(800, 600);
        host->setGeometry(100, 30, 700, 540);
        main.show();
        Form::setMdiHost(host);
    }
    ~MainWithChildArea() { Form::setMdiHost(nullptr); }
};

class TstForm : public QObject {
    Q_OBJECT
private slots:
    void defaultInstanceIsOne();
    void touchLoadsBeforeStatementCompletes();
    void unloadDestroysAndTouchReloads();
    void unloadFromOwnClickIsSafe();
    void queryUnloadAndUnloadMayCancel();
    void closeBoxUnloadsWithControlMenuMode();
    void modalShowReturnsAfterUnload();
    void modalShowReturnsAfterHide();
    void nestedModalWindows();
    void resizeRunsFormResize();
    void everyShowingLaysTheWindowOut();
    void childShownAgainInTheSameHostIsLaidOut();
    void geometryInTwips();
    void menuBarTakesClientSpace();
    void translucencyReadBack();
    void minimumTrackSize();
    void mdiChildFillsHost();
    void mdiChildSurvivesHostDestruction();
    void plainShowLoads();
    void firstShowIsCentred();
    void formMouseMoveInTwips();
    void validateRunsBeforeClick();
    void validateCancelKeepsFocusAndSuppressesClick();
    void validateCancelByKeyboardDoesNotEatNextClick();
    void messageInsideValidateDoesNotRerunIt();
    void clickAfterARefusalWhoseReleaseTheMessageTookGoesThrough();
    void controlsByNameAndCheckedProperties();
    void timerOfUnloadedWindowStops();
    void menuItemClickAndShortcut();

private:
    // A modal message over `owner`, as the message dialog is: taking the
    // keyboard, `whileUp` happens while it is shown, then it is dismissed.
    static void showMessage(QWidget *owner, const std::function<void()> &whileUp = {})
    {
        QDialog box(owner);
        box.setModal(true);
        auto *ok = new QPushButton("OK", &box);
        QTimer::singleShot(30, &box, [&] {
            if (whileUp) whileUp();
            ok->setFocus();
            box.accept();
        });
        box.exec();
    }
    static void showActive(QWidget *w)
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
};

void TstForm::defaultInstanceIsOne()
{
    QCOMPARE(&Default<OtherForm>(), &Default<OtherForm>());
    QVERIFY(!Default<OtherForm>().IsLoaded());
}

void TstForm::touchLoadsBeforeStatementCompletes()
{
    SampleForm f;
    QVERIFY(!f.IsLoaded());
    QVERIFY(f.Lbl_Name.peek() == nullptr);
    f.Lbl_Name->setCaption("改");  // the touch loads, then the assignment runs
    QVERIFY(f.IsLoaded());
    QCOMPARE(f.loads, 1);
    QCOMPARE(f.captionSeenInLoad, QString("姓名"));
    QCOMPARE(f.Lbl_Name->Caption(), QString("改"));
    QVERIFY(!f.isVisible());  // loading does not show
}

void TstForm::unloadDestroysAndTouchReloads()
{
    SampleForm f;
    f.Mode = "MOD";
    f.Show();
    QPointer<QWidget> oldLabel = f.Lbl_Name.peek();
    f.Lbl_Name->setCaption("changed");
    QVERIFY(f.Unload());
    QVERIFY(!f.IsLoaded());
    QVERIFY(!f.isVisible());
    QVERIFY(f.Lbl_Name.peek() == nullptr);  // Ctl members clear at once
    QVERIFY(f.ControlByName("Lbl_Name") == nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(oldLabel.isNull());        // and the widgets are gone
    QCOMPARE(f.Mode, QString("MOD"));  // public members stay
    QCOMPARE(f.unloads, 1);
    QVERIFY(f.Unload());  // unloading an unloaded window: nothing
    QCOMPARE(f.unloads, 1);

    QCOMPARE(f.Lbl_Name->Caption(), QString("姓名"));  // touch loads afresh
    QCOMPARE(f.loads, 2);
    f.Unload();
    f.Show();
    QCOMPARE(f.loads, 3);  // Form_Load on every opening
    f.Show();
    QCOMPARE(f.loads, 3);
}

void TstForm::unloadFromOwnClickIsSafe()
{
    SampleForm f;
    showActive(&f);
    f.onOk = [&] { f.Unload(); };
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QVERIFY(!f.IsLoaded());
    QCOMPARE(f.log, QStringList{"Click"});
    QCoreApplication::processEvents();
    QVERIFY(f.findChild<QWidget *>("Cmd_OK") == nullptr);
}

void TstForm::queryUnloadAndUnloadMayCancel()
{
    SampleForm f;
    f.Show();
    f.cancelQuery = 1;
    QVERIFY(!f.Unload());
    QVERIFY(f.IsLoaded());
    QVERIFY(f.Lbl_Name.peek() != nullptr);
    QCOMPARE(f.lastUnloadMode, int(vbFormCode));
    f.cancelQuery = 0;
    f.cancelUnload = 1;
    QVERIFY(!f.Unload());
    QVERIFY(f.IsLoaded());
    QVERIFY(f.isVisible());
    f.cancelUnload = 0;
    QVERIFY(f.Unload());
    QCOMPARE(f.queryUnloads, 3);
}

void TstForm::closeBoxUnloadsWithControlMenuMode()
{
    SampleForm f;
    showActive(&f);
    f.cancelQuery = 1;
    f.close();
    QVERIFY(f.isVisible());
    QVERIFY(f.IsLoaded());
    QCOMPARE(f.lastUnloadMode, int(vbFormControlMenu));
    f.cancelQuery = 0;
    f.close();
    QVERIFY(!f.isVisible());
    QVERIFY(!f.IsLoaded());
}

void TstForm::modalShowReturnsAfterUnload()
{
    SampleForm f;
    QTimer::singleShot(30, &f, [&] {
        QVERIFY(f.IsModalShowing());
        QVERIFY(f.isModal());
        f.Unload();
    });
    f.Show(vbModal);
    QVERIFY(!f.IsLoaded());
    QVERIFY(!f.IsModalShowing());
    QCOMPARE(f.loads, 1);
    // Shown modal again: a fresh load.
    QTimer::singleShot(30, &f, [&] { f.Unload(); });
    f.Show(vbModal);
    QCOMPARE(f.loads, 2);
}

void TstForm::modalShowReturnsAfterHide()
{
    SampleForm f;
    f.Mode = "ADD";
    QTimer::singleShot(30, &f, [&] { f.Hide(); });
    f.Show(vbModal);
    QVERIFY(f.IsLoaded());  // hidden, still loaded
    QVERIFY(!f.isVisible());
    QVERIFY(!f.isModal());
    f.Unload();
}

void TstForm::nestedModalWindows()
{
    SampleForm outer, inner;
    bool innerWasTop = false;
    QTimer::singleShot(20, &outer, [&] {
        QTimer::singleShot(20, &inner, [&] {
            innerWasTop = QApplication::activeModalWidget() == &inner;
            inner.Unload();
        });
        inner.Show(vbModal);
        QVERIFY(outer.IsModalShowing());
        QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget *>(&outer));
        outer.Unload();
    });
    outer.Show(vbModal);
    QVERIFY(innerWasTop);
    QVERIFY(!outer.IsLoaded() && !inner.IsLoaded());
}

void TstForm::resizeRunsFormResize()
{
    SampleForm f;
    f.Show();
    QCoreApplication::processEvents();
    const int before = f.resizes;
    f.resize(500, 350);
    QCOMPARE(f.resizes, before + 1);
    f.setWidth(9000);
    QCOMPARE(f.resizes, before + 2);
    f.Unload();
}

// The window object outlives its unload and keeps its size: shown again, the
// window system reports no resize, yet the new controls stand at their
// design places until Form_Resize runs.
void TstForm::everyShowingLaysTheWindowOut()
{
    SampleForm f;
    f.Show();
    QCoreApplication::processEvents();
    QCOMPARE(f.resizes, 1);  // the size set while hidden arrives with the showing: once
    QVERIFY(f.Unload());
    f.Show();
    QCoreApplication::processEvents();
    QCOMPARE(f.resizes, 2);
    // Hidden and shown again without an unload: laid out as well.
    f.Hide();
    f.Show();
    QCoreApplication::processEvents();
    QCOMPARE(f.resizes, 3);
    int before = f.resizes;
    // A resize while shown runs it once, not again for the showing.
    before = f.resizes;
    f.resize(f.width() + 20, f.height());
    QCoreApplication::processEvents();
    QCOMPARE(f.resizes, before + 1);
    f.Unload();
}

void TstForm::childShownAgainInTheSameHostIsLaidOut()
{
    MainWithChildArea main;
    SampleForm child;
    child.designSize = false;  // as the list windows: the host gives the size
    child.setMdiChild(true);
    child.Show();
    QCoreApplication::processEvents();
    QCOMPARE(child.resizes, 1);
    QVERIFY(child.Unload());
    child.Show();  // the host kept its size
    QCoreApplication::processEvents();
    QCOMPARE(child.geometry(), QRect(0, 0, 700, 540));
    QCOMPARE(child.resizes, 2);
    child.Unload();
}

void TstForm::geometryInTwips()
{
    SampleForm f;
    f.Show();
    f.Move(1500, 750, 9000, 6000);
    QCOMPARE(f.Left(), 1500);
    QCOMPARE(f.Top(), 750);
    QCOMPARE(f.Width(), 9000);  // outer size, frame included
    QCOMPARE(f.Height(), 6000);
    QCOMPARE(f.frameGeometry().size(), QSize(600, 400));
    QCOMPARE(f.ScaleWidth(), f.width() * 15);  // client area
    QCOMPARE(f.ScaleHeight(), f.height() * 15);
    f.setCaption("借书");
    QCOMPARE(f.Caption(), QString("借书"));
    QCOMPARE(f.windowTitle(), QString("借书"));
    // Controls: twips in, pixels underneath.
    QCOMPARE(f.Lbl_Name->geometry(), QRect(10, 10, 100, 20));
    QCOMPARE(f.Lbl_Name->Left(), 150);
    QCOMPARE(f.Lbl_Name->Width(), 1500);
    f.Lbl_Name->setLeft(1000);  // not a whole pixel: snapped
    QCOMPARE(f.Lbl_Name->Left(), 990);
    f.Unload();
}

void TstForm::menuBarTakesClientSpace()
{
    SampleForm f;
    f.withMenu = true;
    f.Show();
    f.resize(600, 400);
    QVERIFY(f.MenuBar()->height() > 0);
    const int bar = f.MenuBar()->sizeHint().height();
    QCOMPARE(f.client()->geometry(), QRect(0, bar, 600, 400 - bar));
    QCOMPARE(f.ScaleHeight(), (400 - bar) * 15);
    QCOMPARE(f.Height(), f.frameGeometry().height() * 15);
    f.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.withMenu = false;
    f.Show();  // the menu bar went with the controls
    QCOMPARE(f.client()->geometry(), QRect(0, 0, f.width(), f.height()));
    f.Unload();
}

void TstForm::translucencyReadBack()
{
    SampleForm f;
    QCOMPARE(f.LayeredAlpha(), 255);
    f.SetLayeredAlpha(192);
    QCOMPARE(f.LayeredAlpha(), 192);
    QVERIFY(qAbs(f.windowOpacity() - 192 / 255.0) < 0.01);
    f.SetLayeredAlpha(255);
    QCOMPARE(f.LayeredAlpha(), 255);
}

void TstForm::minimumTrackSize()
{
    SampleForm f;
    f.setMinTrackSize(QSize(900, 600));
    f.Show();
    f.resize(300, 200);
    QCOMPARE(f.size(), QSize(900, 600));
    f.resize(1000, 700);
    QCOMPARE(f.size(), QSize(1000, 700));
    f.Unload();
}

void TstForm::mdiChildFillsHost()
{
    MainWithChildArea main;
    QWidget *host = main.host;
    SampleForm child;
    child.setMdiChild(true);
    child.Show();
    QCOMPARE(child.parentWidget(), host);
    QVERIFY(!child.isWindow());
    QCOMPARE(child.geometry(), QRect(0, 0, 700, 540));
    QCOMPARE(child.WindowStateValue(), int(vbMaximized));
    QCOMPARE(child.Width(), 700 * 15);
    host->resize(500, 400);
    QCOMPARE(child.geometry(), QRect(0, 0, 500, 400));
    QVERIFY(child.Unload());
    QVERIFY(child.parentWidget() == nullptr);  // back out of the host, hidden
    QVERIFY(!child.isVisible());
    child.Show();
    QCOMPARE(child.geometry(), QRect(0, 0, 500, 400));
    child.Unload();
}

void TstForm::mdiChildSurvivesHostDestruction()
{
    // The child area is a control of the main window: unloading the main
    // window unloads the child shown in it, which lives on as a window.
    class MainForm : public Form {
    public:
        MainForm() : Form(QStringLiteral("MainForm")) { }
        Ctl<PictureBox> Pic_Host{this};

    protected:
        void CreateControls() override
        {
            resize(400, 300);
            Pic_Host = new PictureBox(client(), "Pic_Host");
            Pic_Host->setBorderStyle(0);
            DockFill(Pic_Host.peek());
            Form::setMdiHost(Pic_Host.peek());
        }
    };
    MainForm main;
    main.Show();
    QPointer<SampleForm> child = new SampleForm;
    child->setMdiChild(true);
    child->Mode = "kept";
    child->Show();
    QCOMPARE(child->parentWidget(), static_cast<QWidget *>(main.Pic_Host.get()));
    QCOMPARE(child->size(), main.client()->size());
    QVERIFY(main.Unload());
    QVERIFY(!child.isNull());
    QVERIFY(!child->IsLoaded());
    QCOMPARE(child->unloads, 1);
    QCOMPARE(child->lastUnloadMode, int(vbFormMDIForm));
    QVERIFY(child->parentWidget() == nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!child.isNull());
    QCOMPARE(child->Mode, QString("kept"));
    QVERIFY(Form::mdiHost() == nullptr);
    delete child.data();
}

void TstForm::plainShowLoads()
{
    SampleForm f;
    f.show();
    QVERIFY(f.IsLoaded());
    QCOMPARE(f.loads, 1);
    f.Unload();
}

void TstForm::firstShowIsCentred()
{
    SampleForm owner;
    owner.Move(0, 0, 12000, 9000);
    showActive(&owner);
    SampleForm dlg;
    dlg.Load();
    dlg.resize(200, 100);
    dlg.Show();
    QVERIFY((dlg.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
    dlg.Unload();
    // Placed by code: it stays where it was put.
    SampleForm placed;
    placed.Move(1500, 1500);
    placed.Show();
    QCOMPARE(placed.pos(), QPoint(100, 100));
    placed.Unload();
    owner.Unload();
}

void TstForm::formMouseMoveInTwips()
{
    SampleForm f;
    showActive(&f);
    QTest::mouseMove(f.client(), QPoint(200, 100));
    QTRY_COMPARE(f.mouseX, 3000.0f);
    QCOMPARE(f.mouseY, 1500.0f);
    // Over a label the label gets the move, not the window.
    f.mouseX = -1;
    float lx = -1;
    connect(f.Lbl_Name.get(), &Label::MouseMove, &f, [&](int &, int &, float &x, float &) { lx = x; });
    QTest::mouseMove(f.Lbl_Name.get(), QPoint(5, 5));
    QTRY_COMPARE(lx, 75.0f);
    QCOMPARE(f.mouseX, -1.0f);
    f.Unload();
}

void TstForm::validateRunsBeforeClick()
{
    SampleForm f;
    showActive(&f);
    f.setValidateHandler(f.Txt_Input.get(), [&](bool &) { f.log << "Validate"; });
    f.Txt_Input->setFocus();
    QTRY_VERIFY(f.Txt_Input->hasFocus());
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QCOMPARE(f.log, (QStringList{"Validate", "Click"}));
    QVERIFY(f.Cmd_OK->hasFocus());
    // Leaving some other control does not validate.
    f.log.clear();
    f.Txt_Other->setFocus();
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QCOMPARE(f.log, QStringList{"Click"});
    f.Unload();
}

void TstForm::validateCancelKeepsFocusAndSuppressesClick()
{
    SampleForm f;
    showActive(&f);
    bool refuse = true;
    int validations = 0;
    f.setValidateHandler(f.Txt_Input.get(), [&](bool &cancel) {
        ++validations;
        cancel = refuse;
    });
    f.Txt_Input->setFocus();
    QTRY_VERIFY(f.Txt_Input->hasFocus());
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QCOMPARE(validations, 1);
    QVERIFY(f.log.isEmpty());          // the click never happened
    QVERIFY(f.Txt_Input->hasFocus());  // the keyboard stayed
    QVERIFY(!f.Cmd_OK->isDown());
    // Tab away: refused as well.
    QTest::keyClick(f.Txt_Input.get(), Qt::Key_Tab);
    QCOMPARE(validations, 2);
    QVERIFY(f.Txt_Input->hasFocus());
    // Accepted now: the next click goes through.
    refuse = false;
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QCOMPARE(validations, 3);
    QCOMPARE(f.log, QStringList{"Click"});
    f.Unload();
}

void TstForm::validateCancelByKeyboardDoesNotEatNextClick()
{
    SampleForm f;
    showActive(&f);
    bool refuse = true;
    f.setValidateHandler(f.Txt_Input.get(), [&](bool &cancel) { cancel = refuse; });
    f.Txt_Input->setFocus();
    QTRY_VERIFY(f.Txt_Input->hasFocus());
    QTest::keyClick(f.Txt_Input.get(), Qt::Key_Tab);  // refused without a mouse press
    QVERIFY(f.Txt_Input->hasFocus());
    refuse = false;
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QCOMPARE(f.log, QStringList{"Click"});
    f.Unload();
}

void TstForm::messageInsideValidateDoesNotRerunIt()
{
    SampleForm f;
    showActive(&f);
    int validations = 0;
    f.setValidateHandler(f.Txt_Input.get(), [&](bool &cancel) {
        ++validations;
        // A message box takes the keyboard while the handler runs.
        showMessage(&f);
        cancel = true;
    });
    f.Txt_Input->setFocus();
    QTRY_VERIFY(f.Txt_Input->hasFocus());
    QTest::mouseClick(f.Cmd_OK.get(), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(validations, 1);
    QVERIFY(f.log.isEmpty());
    f.activateWindow();  // a window manager gives the window back the keyboard
    QTRY_VERIFY(f.Txt_Input->hasFocus());
    QCOMPARE(validations, 1);
    f.Unload();
}

// The order in which a real window system delivers a click that a refused
// Validate stops: the press moves the keyboard, Validate puts up its message,
// the release arrives while the message is modal (so it never reaches the
// window), the message is dismissed. The next click must work at once.
void TstForm::clickAfterARefusalWhoseReleaseTheMessageTookGoesThrough()
{
    SampleForm f;
    showActive(&f);
    QWindow *win = f.windowHandle();
    QVERIFY(win);
    const QPoint onOk = f.Cmd_OK->mapTo(&f, f.Cmd_OK->rect().center());
    bool refuse = true;
    int validations = 0;
    f.setValidateHandler(f.Txt_Input.get(), [&](bool &cancel) {
        ++validations;
        if (!refuse) return;
        // The user lets go of the button while the message is up.
        showMessage(&f, [&] { QTest::mouseRelease(win, Qt::LeftButton, {}, onOk); });
        cancel = true;
    });
    f.Txt_Input->setFocus();
    QTRY_VERIFY(f.Txt_Input->hasFocus());
    QTest::mousePress(win, Qt::LeftButton, {}, onOk);
    QCoreApplication::processEvents();
    QCOMPARE(validations, 1);
    QVERIFY(f.log.isEmpty());
    QVERIFY(QGuiApplication::mouseButtons() == Qt::NoButton);
    f.activateWindow();
    QTRY_VERIFY(f.Txt_Input->hasFocus());

    // The box is put right; one click does it.
    refuse = false;
    QTest::mousePress(win, Qt::LeftButton, {}, onOk);
    QTest::mouseRelease(win, Qt::LeftButton, {}, onOk);
    QCoreApplication::processEvents();
    QCOMPARE(validations, 2);
    QCOMPARE(f.log, QStringList{"Click"});
    f.Unload();
}

void TstForm::controlsByNameAndCheckedProperties()
{
    SampleForm f;
    f.Load();
    QCOMPARE(f.ControlByName("Txt_Input"), static_cast<QWidget *>(f.Txt_Input.get()));
    QVERIFY(f.ControlByName("Txt_Nothing") == nullptr);
    QCOMPARE(f.ObjectByName("Tmr"), static_cast<QObject *>(f.Tmr.get()));
    QObject *lbl = f.ControlByName("Lbl_Name");
    SetProp(lbl, "Caption", QString("新"));
    QCOMPARE(f.Lbl_Name->Caption(), QString("新"));
    QCOMPARE(GetProp(lbl, "Caption").toString(), QString("新"));
    SetProp(lbl, "ForeColor", QVariant::fromValue(long(0xFF)));
    QCOMPARE(f.Lbl_Name->ForeColor(), 0xFFL);
    SetProp(lbl, "Visible", false);
    QVERIFY(!f.Lbl_Name->Visible());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, SetProp(lbl, "Captoin", QString("x")));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, GetProp(lbl, "Captoin"));
    QVERIFY(!lbl->dynamicPropertyNames().contains("Captoin"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, SetProp(nullptr, "Caption", QString("x")));
}

void TstForm::timerOfUnloadedWindowStops()
{
    SampleForm f;
    f.Load();
    QPointer<Timer> t = f.Tmr.peek();
    t->setEnabled(true);
    QTRY_VERIFY(f.ticks > 0);
    f.Unload();
    const int seen = f.ticks;
    QTest::qWait(20);
    QCOMPARE(f.ticks, seen);
}

void TstForm::menuItemClickAndShortcut()
{
    SampleForm f;
    f.withMenu = true;
    showActive(&f);
    QCOMPARE(f.Menu_File_Lock->Caption(), QString("锁定(&L)..."));
    f.Menu_File_Lock->setChecked(true);
    f.Menu_File_Lock->action()->trigger();
    QCOMPARE(f.log, QStringList{"Lock"});
    QVERIFY(f.Menu_File_Lock->Checked());  // choosing leaves Checked to the handler
    QVERIFY(f.Menu_File_Lock->action()->isChecked());
    f.log.clear();
    QTest::keyClick(&f, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(f.log, QStringList{"Lock"});
    f.Menu_File_Lock->setEnabled(false);
    QTest::keyClick(&f, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(f.log, QStringList{"Lock"});
    f.Menu_File_Lock->setEnabled(true);
    f.Menu_File_Lock->setVisible(false);
    QVERIFY(!f.Menu_File_Lock->Visible());
    f.Unload();
    QVERIFY(f.Menu_File_Lock.peek() == nullptr);
}

QTEST_MAIN(TstForm)
#include "tst_form.moc"
