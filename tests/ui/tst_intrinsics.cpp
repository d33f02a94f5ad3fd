#include "ui/Colors.h"
#include "ui/Intrinsics.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace vb;

class TstIntrinsics : public QObject {
    Q_OBJECT
private slots:
    void twips();
    void colours();
    void keyCodes_data();
    void keyCodes();
    void checkBoxClickFromCodeAndUser();
    void optionButtons();
    void labelAutoSize();
    void labelEvents();
    void labelLooks();
    void dockedPictureBoxesStack();
    void pictureBoxPictureAndScale();
    void pictureBoxKeys();
    void frameDisablesChildren();
    void timerTicks();
    void shapeAndLine();
    void imageList();
    void commonDialog();
    void textBoxKeys();

private:
    static QString writePicture(const QTemporaryDir &dir, const QString &name, const char *format, QSize size)
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::red);
        const QString path = dir.filePath(name);
        img.save(path, format);
        return path;
    }
};

void TstIntrinsics::twips()
{
    QCOMPARE(TwipsPerPixel, 15);
    QCOMPARE(toPx(13500), 900);
    QCOMPARE(toPx(9000), 600);
    QCOMPARE(toTwips(24), 360);
    QCOMPARE(toPx(1000), 66);  // part pixels are dropped
    QCOMPARE(twipsF(2.5), 37.5f);
}

void TstIntrinsics::colours()
{
    QCOMPARE(RGB(255, 0, 0), 0xFFL);
    QCOMPARE(RGB(133, 146, 181), 0xB59285L);
    QCOMPARE(toQColor(0xB59285), QColor(133, 146, 181));
    QCOMPARE(toQColor(0xE0E0E0), QColor(224, 224, 224));
    QCOMPARE(toQColor(0x800000), QColor(0, 0, 128));  // &H800000 is dark blue
    QCOMPARE(toQColor(vbWindowBackground), QColor(255, 255, 255));
    QCOMPARE(toQColor(vbWindowText), QColor(0, 0, 0));
    QCOMPARE(toQColor(vbButtonText), QColor(0, 0, 0));
    QCOMPARE(toQColor(vbButtonFace), QColor(240, 240, 240));
    QCOMPARE(toQColor(vbMenuBar), QColor(240, 240, 240));
    QCOMPARE(toQColor(0x80000004L), toQColor(vbMenuBar));
}

void TstIntrinsics::keyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("ascii");
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << "\r" << 13 << 13;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << 0 << "\r" << 13 << 13;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 8 << 8;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << "" << 46 << 0;
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << "" << 38 << 0;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << "" << 40 << 0;
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "" << 112 << 0;
    QTest::newRow("F6") << int(Qt::Key_F6) << 0 << "" << 117 << 0;
    QTest::newRow("a") << int(Qt::Key_A) << 0 << "a" << 65 << 97;
    QTest::newRow("A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << 65 << 65;
    QTest::newRow("digit") << int(Qt::Key_5) << 0 << "5" << 53 << 53;
    QTest::newRow("ctrl+v text v") << int(Qt::Key_V) << int(Qt::ControlModifier) << "v" << 86 << 22;
    QTest::newRow("ctrl+c no text") << int(Qt::Key_C) << int(Qt::ControlModifier) << "" << 67 << 3;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << "\x1b" << 27 << 27;
    QTest::newRow("alt+x") << int(Qt::Key_X) << int(Qt::AltModifier) << "x" << 88 << 0;
    QTest::newRow("chinese") << 0 << 0 << QString::fromUtf8("书") << 0 << 0x4E66;
}

void TstIntrinsics::keyCodes()
{
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(int, ascii);
    QCOMPARE(keyCodeOf(key), code);
    QCOMPARE(keyAsciiOf(key, Qt::KeyboardModifiers(mods), text), ascii);
    QCOMPARE(shiftOf(Qt::ShiftModifier | Qt::ControlModifier), vbShiftMask | vbCtrlMask);
    QCOMPARE(buttonsOf(Qt::LeftButton | Qt::RightButton), vbLeftButton | vbRightButton);
}

void TstIntrinsics::checkBoxClickFromCodeAndUser()
{
    QWidget w;
    auto *chk = new CheckBox(&w, "Chk_SBarSwitch", "侧边栏");
    chk->Move(0, 0, 1500, 300);
    w.show();
    QList<int> seen;  // Value as the Click handler sees it
    connect(chk, &CheckBox::Click, &w, [&] { seen << chk->Value(); });
    chk->setValue(1);
    QCOMPARE(seen, QList<int>{1});
    chk->setValue(1);  // same value: no Click
    QCOMPARE(seen.size(), 1);
    chk->setValue(0);
    QCOMPARE(seen, (QList<int>{1, 0}));
    QTest::mouseClick(chk, Qt::LeftButton);
    QCOMPARE(chk->Value(), 1);
    QVERIFY(chk->isChecked());
    QCOMPARE(seen, (QList<int>{1, 0, 1}));
    chk->setValue(2);
    QCOMPARE(chk->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(chk, Qt::LeftButton);  // grayed -> unchecked
    QCOMPARE(chk->Value(), 0);
    QCOMPARE(seen, (QList<int>{1, 0, 1, 2, 0}));
    SetProp(chk, "Value", 1);
    QCOMPARE(seen.last(), 1);
}

void TstIntrinsics::optionButtons()
{
    QWidget w;
    auto *a = new OptionButton(&w, "Opt_RID", "读者编号");
    auto *b = new OptionButton(&w, "Opt_BID", "图书编号");
    a->Move(0, 0, 1500, 300);
    b->Move(0, 450, 1500, 300);
    w.show();
    int clicksA = 0, clicksB = 0;
    connect(a, &OptionButton::Click, &w, [&] { ++clicksA; });
    connect(b, &OptionButton::Click, &w, [&] { ++clicksB; });
    a->setValue(true);
    QCOMPARE(clicksA, 1);
    QVERIFY(a->Value());
    QVERIFY(!b->Value());
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(clicksB, 1);
    QVERIFY(b->Value());
    QVERIFY(!a->Value());
    b->setValue(false);
    QVERIFY(!a->Value() && !b->Value());
    QCOMPARE(clicksA + clicksB, 2);
}

void TstIntrinsics::labelAutoSize()
{
    QWidget w;
    auto *lbl = new Label(&w, "Lbl_Msg");
    lbl->Move(600, 300, 300, 300);
    lbl->setAutoSize(true);
    lbl->setCaption("确定要删除吗？");
    const QFontMetrics fm(lbl->font());
    const QRect textRect = fm.boundingRect(QRect(0, 0, 100000, 100000), 0, "确定要删除吗？");
    QCOMPARE(lbl->size(), textRect.size());
    QCOMPARE(lbl->Width(), lbl->width() * 15);
    const int oneLine = lbl->height();
    // Two lines, with the line break the windows write.
    lbl->setCaption("第一行\r\n提示：该操作不撤销！");
    QCOMPARE(lbl->Caption(), QString("第一行\r\n提示：该操作不撤销！"));
    QVERIFY(lbl->height() >= 2 * oneLine - 2);
    QCOMPARE(lbl->width(), fm.boundingRect(QRect(0, 0, 100000, 100000), 0, "提示：该操作不撤销！").width());
    QCOMPARE(lbl->Left(), 600);  // grows from its top-left corner
    // A bigger font grows it again.
    const int before = lbl->width();
    lbl->setFontSize(18);
    QVERIFY(lbl->width() > before);
    QCOMPARE(lbl->FontSize(), 18.0);
    // Word wrap keeps the width and grows downwards.
    lbl->setFontSize(9);
    lbl->setWordWrap(true);
    lbl->setWidth(900);
    lbl->setCaption("一二三四五六七八九十一二三四五六七八九十");
    QCOMPARE(lbl->Width(), 900);
    QVERIFY(lbl->height() > oneLine);
    lbl->setCaption("");
    QCOMPARE(lbl->height(), QFontMetrics(lbl->font()).height());
}

void TstIntrinsics::labelEvents()
{
    QWidget w;
    w.resize(300, 200);
    auto *lbl = new Label(&w, "Lbl_TBarLabName", "图书馆");
    lbl->Move(150, 150, 1500, 300);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int clicks = 0, dbl = 0;
    float mx = -1, my = -1;
    connect(lbl, &Label::Click, &w, [&] { ++clicks; });
    connect(lbl, &Label::DblClick, &w, [&] { ++dbl; });
    connect(lbl, &Label::MouseMove, &w, [&](int &, int &, float &x, float &y) {
        mx = x;
        my = y;
    });
    int downButton = 0;
    connect(lbl, &Label::MouseDown, &w, [&](int &button, int &, float &, float &) { downButton = button; });
    QTest::mouseClick(lbl, Qt::LeftButton, {}, QPoint(4, 3));
    QCOMPARE(clicks, 1);
    QCOMPARE(downButton, int(vbLeftButton));
    QTest::mouseDClick(lbl, Qt::LeftButton, {}, QPoint(4, 3));
    QCOMPARE(dbl, 1);
    QTest::mouseMove(lbl, QPoint(10, 6));
    QTRY_COMPARE(mx, 150.0f);
    QCOMPARE(my, 90.0f);
    // A press that ends outside the label is no click.
    const int before = clicks;
    QTest::mousePress(lbl, Qt::LeftButton, {}, QPoint(4, 3));
    QTest::mouseRelease(lbl, Qt::LeftButton, {}, QPoint(250, 150));
    QCOMPARE(clicks, before);
}

void TstIntrinsics::labelLooks()
{
    QWidget w;
    auto *lbl = new Label(&w, "Lbl_SBarTip", "tip");
    lbl->setForeColor(RGB(255, 0, 0));
    QCOMPARE(lbl->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(lbl->autoFillBackground());
    lbl->setBackStyle(vbTransparent);
    QVERIFY(!lbl->autoFillBackground());
    lbl->setBackStyle(vbOpaque);
    lbl->setBackColor(0xFFFFFF);
    QCOMPARE(lbl->palette().color(QPalette::Window), QColor(255, 255, 255));
    lbl->setFontUnderline(true);
    lbl->setFontBold(true);
    QVERIFY(lbl->FontUnderline() && lbl->FontBold() && !lbl->FontItalic());
    lbl->setAlignment(vbCenter);
    QVERIFY(lbl->QLabel::alignment() & Qt::AlignHCenter);
    lbl->setCaption("<b>not html</b>");
    QCOMPARE(lbl->textFormat(), Qt::PlainText);
    lbl->setToolTipText("服务器");
    QCOMPARE(lbl->toolTip(), QString("服务器"));
    QCOMPARE(lbl->ToolTipText(), QString("服务器"));
}

void TstIntrinsics::dockedPictureBoxesStack()
{
    QWidget parent;
    parent.resize(600, 400);
    auto *tool = new PictureBox(&parent, "Pic_ToolBar");
    tool->setHeight(360);
    tool->setAlign(vbAlignTop);
    auto *status = new PictureBox(&parent, "Pic_StatusBar");
    status->setHeight(360);
    status->setAlign(vbAlignBottom);
    auto *nav = new PictureBox(&parent, "Pic_NavigatorBar");
    nav->setWidth(1335);
    nav->setAlign(vbAlignLeft);
    auto *side = new PictureBox(&parent, "Pic_SideBar");
    side->setWidth(3240);
    side->setAlign(vbAlignRight);
    auto *area = new QWidget(&parent);
    DockFill(area);
    parent.show();

    QCOMPARE(tool->geometry(), QRect(0, 0, 600, 24));
    QCOMPARE(status->geometry(), QRect(0, 376, 600, 24));
    QCOMPARE(nav->geometry(), QRect(0, 24, 89, 352));
    QCOMPARE(side->geometry(), QRect(600 - 216, 24, 216, 352));
    QCOMPARE(area->geometry(), QRect(89, 24, 600 - 89 - 216, 352));
    QCOMPARE(tool->Width(), 9000);  // outer size in twips

    // Following the container.
    int resizes = 0;
    connect(tool, &PictureBox::Resize, &parent, [&] { ++resizes; });
    parent.resize(800, 500);
    QCOMPARE(tool->geometry(), QRect(0, 0, 800, 24));
    QCOMPARE(status->geometry(), QRect(0, 476, 800, 24));
    QCOMPARE(nav->geometry(), QRect(0, 24, 89, 452));
    QCOMPARE(area->geometry(), QRect(89, 24, 800 - 89 - 216, 452));
    QVERIFY(resizes >= 1);

    // A hidden bar gives its space away, and takes it back when shown.
    tool->setVisible(false);
    QCOMPARE(nav->geometry(), QRect(0, 0, 89, 476));
    QCOMPARE(area->geometry().top(), 0);
    tool->setVisible(true);
    QCOMPARE(nav->geometry(), QRect(0, 24, 89, 452));
    // A new height of a docked bar moves the others.
    status->setHeight(600);
    QCOMPARE(status->geometry(), QRect(0, 460, 800, 40));
    QCOMPARE(nav->geometry().height(), 436);
    // Undocked again: it stays where it is and the others take the side.
    tool->setAlign(vbAlignNone);
    QCOMPARE(nav->geometry().top(), 0);
}

void TstIntrinsics::pictureBoxPictureAndScale()
{
    QTemporaryDir dir;
    const QString png = writePicture(dir, "logo.png", "PNG", QSize(40, 30));
    // A JPEG written under a .bmp name (as the logo is stored) still loads.
    const QString disguised = writePicture(dir, "Logo.bmp", "JPG", QSize(20, 10));
    QWidget w;
    auto *pic = new PictureBox(&w, "Pic_Logo");
    pic->Move(0, 0, 1500, 1500);
    QCOMPARE(pic->BorderStyle(), 1);
    QVERIFY(pic->ScaleWidth() < pic->Width());
    QCOMPARE(pic->ScaleWidth(), pic->contentsRect().width() * 15);
    pic->setBorderStyle(0);
    QCOMPARE(pic->ScaleWidth(), 1500);

    pic->setPicture(LoadPicture(png));
    QCOMPARE(pic->Picture().size(), QSize(40, 30));
    pic->setAutoSize(true);
    QCOMPARE(pic->size(), QSize(40, 30));
    pic->setBorderStyle(1);
    QCOMPARE(pic->contentsRect().size(), QSize(40, 30));  // the picture inside the border
    pic->setPicture(disguised);
    QCOMPARE(pic->Picture().size(), QSize(20, 10));
    pic->setPicture(LoadPicture(""));
    QVERIFY(pic->Picture().isNull());
    QVERIFY(LoadPicture(dir.filePath("missing.jpg")).isNull());

    // Children are placed from the inner edge of the border.
    auto *inner = new Label(pic, "Lbl_In", "x");
    inner->Move(0, 0, 300, 300);
    QCOMPARE(inner->pos(), pic->contentsRect().topLeft());
    QCOMPARE(inner->Left(), 0);

    // Printing and clearing.
    pic->Print("notice");
    QVERIFY(pic->CurrentY > 0);
    pic->Cls();
    QCOMPARE(pic->CurrentY, 0.0);
}

void TstIntrinsics::pictureBoxKeys()
{
    QWidget w;
    auto *pic = new PictureBox(&w, "Pic_TltleBar");
    pic->Move(0, 0, 1500, 1500);
    w.show();
    pic->setFocus();
    QList<int> codes, asciis;
    connect(pic, &PictureBox::KeyDown, &w, [&](int &code, int &) { codes << code; });
    connect(pic, &PictureBox::KeyPress, &w, [&](int &a) { asciis << a; });
    QTest::keyClick(pic, Qt::Key_Return);
    QTest::keyClick(pic, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(codes, (QList<int>{13, 17, 86}));  // Ctrl itself is a key too
    QCOMPARE(asciis, (QList<int>{13, 22}));
    QCOMPARE(pic->focusPolicy(), Qt::StrongFocus);
    int clicks = 0;
    connect(pic, &PictureBox::Click, &w, [&] { ++clicks; });
    QTest::mouseClick(pic, Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

void TstIntrinsics::frameDisablesChildren()
{
    QWidget w;
    auto *frame = new Frame(&w, "Frame_ShowData", "图书馆信息");
    frame->Move(0, 0, 3000, 3000);
    auto *chk = new CheckBox(frame, "Chk_In", "x");
    chk->Move(150, 300, 1500, 300);
    QCOMPARE(frame->Caption(), QString("图书馆信息"));
    QCOMPARE(chk->Left(), 150);  // the frame's own corner is the origin
    frame->setEnabled(false);
    QVERIFY(!frame->Enabled());
    QVERIFY(!chk->isEnabled());
    QVERIFY(chk->Enabled() == false);
    frame->setEnabled(true);
    QVERIFY(chk->isEnabled());
}

void TstIntrinsics::timerTicks()
{
    QObject owner;
    auto *t = new Timer(&owner, "Timer_Tip", 1, false);
    int ticks = 0;
    connect(t, &Timer::Tick, &owner, [&] { ++ticks; });
    QTest::qWait(10);
    QCOMPARE(ticks, 0);  // disabled
    t->setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 1000);
    t->setInterval(0);  // 0 is off
    const int seen = ticks;
    QTest::qWait(10);
    QCOMPARE(ticks, seen);
    QVERIFY(t->Enabled());
    t->setInterval(1000);
    QCOMPARE(t->Interval(), 1000);
    t->setEnabled(false);
    QCOMPARE(t->Enabled(), false);
    QVERIFY(owner.findChild<Timer *>("Timer_Tip") == t);
}

void TstIntrinsics::shapeAndLine()
{
    QWidget w;
    w.resize(200, 100);
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, Qt::white);
    w.setPalette(pal);
    w.setAutoFillBackground(true);
    auto *shp = new Shape(&w, "Shp_SBarSub1");
    shp->Move(150, 150, 1500, 450);
    shp->setBorderColor(0xC0C0C0);
    auto *line = new LineControl(&w, "Line_TBarSplit1");
    line->setLine(2700, 0, 2700, 900);
    line->setBorderColor(0x808080);
    QCOMPARE(line->geometry(), QRect(180, 0, 1, 61));
    QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(shp->testAttribute(Qt::WA_TransparentForMouseEvents));
    const QImage img = w.grab().toImage();
    QCOMPARE(QColor(img.pixel(10, 10)), QColor(192, 192, 192));   // border corner
    QCOMPARE(QColor(img.pixel(50, 20)), QColor(255, 255, 255));   // inside: transparent
    QCOMPARE(QColor(img.pixel(180, 30)), QColor(128, 128, 128));  // the line
    shp->setFillStyle(vbFSSolid);
    shp->setFillColor(0x0000FF);
    const QImage filled = w.grab().toImage();
    QCOMPARE(QColor(filled.pixel(50, 20)), QColor(255, 0, 0));
}

void TstIntrinsics::imageList()
{
    QObject owner;
    ImageList il(&owner, "ImgLst");
    QPixmap a(10, 10), b(20, 20);
    QCOMPARE(il.Add(a), 1);
    QCOMPARE(il.Add(b), 2);
    QCOMPARE(il.Count(), 2);
    QCOMPARE(il.ListImage(2).size(), QSize(20, 20));
    QVERIFY(il.ListImage(0).isNull());
    QVERIFY(il.ListImage(3).isNull());
}

void TstIntrinsics::commonDialog()
{
    QCOMPARE(CommonDialog::qtFilters("图片文件|*.jpg;*.bmp"), QStringList{"图片文件 (*.jpg *.bmp)"});
    QCOMPARE(CommonDialog::qtFilters("BMP格式 (*.bmp)|*.bmp|所有格式 (*.*)|*.*"),
             (QStringList{"BMP格式 (*.bmp)", "所有格式 (*.*)"}));
    QObject owner;
    CommonDialog dlg(&owner, "CDlg");
    dlg.Filter = "图片文件|*.jpg;*.bmp";
    dlg.DialogTitle = "选择图像";
    QString seenTitle;
    CommonDialog::setHook([&](const CommonDialog &d, bool save) {
        seenTitle = d.DialogTitle;
        return save ? QString() : QStringLiteral("/tmp/a.jpg");
    });
    dlg.ShowOpen();
    QCOMPARE(dlg.FileName, QString("/tmp/a.jpg"));
    QCOMPARE(seenTitle, QString("选择图像"));
    dlg.ShowSave();  // cancelled without CancelError: FileName stays
    QCOMPARE(dlg.FileName, QString("/tmp/a.jpg"));
    dlg.CancelError = true;
    QVERIFY_THROWS_EXCEPTION(CommonDialog::Cancelled, dlg.ShowSave());
    CommonDialog::setHook(nullptr);
}

void TstIntrinsics::textBoxKeys()
{
    QWidget w;
    auto *txt = new TextBox(&w, "Txt_Test");
    w.show();
    txt->setFocus();
    connect(txt, &TextBox::KeyPress, &w, [](int &a) {
        if (a == 'x')
            a = 0;  // swallowed
        else if (a >= 'a' && a <= 'z')
            a -= 32;  // upper case
    });
    connect(txt, &TextBox::KeyDown, &w, [](int &code, int &) {
        if (code == 46) code = 0;  // Delete taken
    });
    QTest::keyClicks(txt, "abxc");
    QCOMPARE(txt->Text(), QString("ABC"));
    QTest::keyClick(txt, Qt::Key_Home);
    QTest::keyClick(txt, Qt::Key_Delete);
    QCOMPARE(txt->Text(), QString("ABC"));
    int changes = 0;
    connect(txt, &TextBox::Change, &w, [&] { ++changes; });
    QTest::keyClick(txt, Qt::Key_End);
    QTest::keyClick(txt, Qt::Key_Backspace);
    QCOMPARE(txt->Text(), QString("AB"));
    QCOMPARE(changes, 1);
}

QTEST_MAIN(TstIntrinsics)
#include "tst_intrinsics.moc"
