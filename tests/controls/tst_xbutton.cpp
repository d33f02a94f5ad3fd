// XButton: event order, the click rule and the faces of each state.
#include "controls/PropertyBag.h"
#include "controls/XButton.h"
#include "ui/Colors.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

namespace {

QColor col(long ole) { return vb::toQColor(ole); }

QColor pixelAt(XButton *b, int x, int y) { return b->grab().toImage().pixelColor(x, y); }

}  // namespace

class TestXButton : public QObject {
    Q_OBJECT

private:
    QWidget *host = nullptr;
    XButton *btn = nullptr;
    QStringList events;

    const long back = vb::RGB(200, 200, 255);
    const long onColor = vb::RGB(255, 0, 0);
    const long downColor = vb::RGB(0, 255, 0);
    const long light = vb::RGB(250, 250, 250);
    const long dark = vb::RGB(60, 60, 60);

    void hoverAt(const QPoint &p) { QTest::mouseMove(btn, p); }
    void leave()
    {
        QTest::mouseMove(host, QPoint(390, 290));
        QCursor::setPos(host->mapToGlobal(QPoint(390, 290)));
        QTest::qWait(120);
    }

private slots:
    // Disabling and enabling what holds the button redraws its face each time.
    void containerEnabledStateRedrawsTheFace()
    {
        QWidget holder;
        holder.resize(200, 100);
        auto *b = new XButton(&holder, QStringLiteral("Cmd_Save"));
        b->setCaption(QStringLiteral("保存"));
        b->Move(150, 150, 1200, 375);
        holder.show();
        const QImage enabledFace = b->faceImage();
        holder.setEnabled(false);
        QVERIFY(b->faceImage() != enabledFace);
        holder.setEnabled(true);
        QCOMPARE(b->faceImage(), enabledFace);
    }

    void init()
    {
        host = new QWidget;
        host->resize(400, 300);
        btn = new XButton(host, QStringLiteral("Cmd_Test"));
        btn->Move(300, 300, 1200, 375);  // 80 x 25 pixels at (20, 20)
        btn->setBackColor(back);
        btn->setMouseOnColor(onColor);
        btn->setMouseDownColor(downColor);
        btn->setStyle3DColor1(light);
        btn->setStyle3DColor2(dark);
        events.clear();
        connect(btn, &XButton::MouseOn, this, [this] { events << QStringLiteral("MouseOn"); });
        connect(btn, &XButton::MouseOut, this, [this] { events << QStringLiteral("MouseOut"); });
        connect(btn, &XButton::MouseDown, this,
                [this](int &b, int &, float &, float &) { events << QStringLiteral("MouseDown%1").arg(b); });
        connect(btn, &XButton::MouseUp, this,
                [this](int &b, int &, float &, float &) { events << QStringLiteral("MouseUp%1").arg(b); });
        connect(btn, &XButton::Click, this, [this] { events << QStringLiteral("Click"); });
        QCursor::setPos(host->mapToGlobal(QPoint(390, 290)));
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
    }

    void cleanup()
    {
        delete host;
        host = nullptr;
    }

    // Reached by Tab, the button shows that it holds the keyboard and answers
    // Space and Enter as a click; the mark goes when the keyboard leaves.
    void keyboardFocusIsMarkedAndSpaceOrEnterClicks()
    {
        auto *before = new QLineEdit(host);
        before->setGeometry(20, 100, 100, 20);
        before->show();
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host));
        before->setFocus();
        const QImage unfocused = btn->grab().toImage();
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(btn->hasFocus());
        const QImage marked = btn->grab().toImage();
        QVERIFY(marked != unfocused);
        QCOMPARE(btn->faceImage().size(), btn->size());  // the drawn face itself is unchanged
        QTest::keyClick(btn, Qt::Key_Space);
        QCOMPARE(events, QStringList{"Click"});
        QTest::keyClick(btn, Qt::Key_Return);
        QTest::keyClick(btn, Qt::Key_Enter);
        QCOMPARE(events, (QStringList{"Click", "Click", "Click"}));
        QTest::keyClick(btn, Qt::Key_A);
        QCOMPARE(events.size(), 3);
        before->setFocus();
        QCOMPARE(btn->grab().toImage(), unfocused);
        // Disabled, it is passed over.
        btn->setEnabled(false);
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(!btn->hasFocus());
    }

    // Space clicks on its release, as a push button does: held down, the
    // button shows pressed and nothing has run yet.
    void spaceClicksOnItsRelease()
    {
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host));
        btn->setFocus(Qt::TabFocusReason);
        QTest::keyPress(btn, Qt::Key_Space);
        QVERIFY(events.isEmpty());
        QCOMPARE(btn->faceImage().pixelColor(40, 12), col(downColor));
        QTest::keyRelease(btn, Qt::Key_Space);
        QCOMPARE(events, QStringList{"Click"});
        QCOMPARE(btn->faceImage().pixelColor(40, 12), col(back));
    }

    void fullClickRaisesEventsInOrder()
    {
        hoverAt(QPoint(10, 10));
        QTest::mouseClick(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(events, (QStringList{"MouseOn", "MouseDown1", "MouseUp1", "Click"}));
    }

    // A button that appears under a still pointer, or that the pointer enters
    // without a move, takes the first click: no motion comes from X then.
    void buttonUnderAStillPointerTakesTheFirstClick_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("window shown under the pointer") << "window";
        QTest::newRow("button shown in a shown window") << "button";
        QTest::newRow("pointer entered without a move") << "enter";
    }
    void buttonUnderAStillPointerTakesTheFirstClick()
    {
        QFETCH(QString, how);
        QWidget window;
        window.resize(200, 100);
        window.move(300, 200);
        auto *b = new XButton(&window, QStringLiteral("Cmd_OK"));
        b->Move(300, 300, 1215, 375);
        QStringList seen;
        connect(b, &XButton::MouseOn, this, [&] { seen << QStringLiteral("MouseOn"); });
        connect(b, &XButton::Click, this, [&] { seen << QStringLiteral("Click"); });
        const QPoint inside(30, 10);
        if (how == QLatin1String("window")) {
            QCursor::setPos(window.mapToGlobal(QPoint(20, 20) + inside));
            window.show();
        } else if (how == QLatin1String("button")) {
            b->hide();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCursor::setPos(b->mapToGlobal(inside));
            b->show();
        } else {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(!b->isHovering());
            QCursor::setPos(b->mapToGlobal(inside));
            QEnterEvent enter(QPointF(inside), QPointF(b->mapTo(&window, inside)), QPointF(b->mapToGlobal(inside)));
            QApplication::sendEvent(b, &enter);
        }
        QVERIFY(b->isHovering());
        QTest::mouseClick(b, Qt::LeftButton, {}, inside);
        QCOMPARE(seen, (QStringList{"MouseOn", "Click"}));
        // A pointer resting elsewhere starts no hover.
        QCursor::setPos(window.mapToGlobal(QPoint(190, 90)));
        QTRY_VERIFY(!b->isHovering());
        b->hide();
        b->show();
        QVERIFY(!b->isHovering());
    }

    void clickHandlerSeesIdleFaceAndHoverReturnsAtTick()
    {
        QColor inClick;
        connect(btn, &XButton::Click, this, [&] { inClick = btn->faceImage().pixelColor(40, 12); });
        hoverAt(QPoint(10, 10));
        QTest::mouseClick(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(inClick, col(back));
        // Still inside: the hover face (raised edges) is repainted by the timer.
        QTRY_COMPARE(pixelAt(btn, 0, 12), col(light));
        QCOMPARE(pixelAt(btn, 79, 12), col(dark));
    }

    void noClickAfterDraggingOut()
    {
        hoverAt(QPoint(10, 10));
        QTest::mousePress(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCursor::setPos(host->mapToGlobal(QPoint(300, 200)));
        QTRY_VERIFY(events.contains("MouseOut"));
        QCursor::setPos(btn->mapToGlobal(QPoint(10, 10)));
        QTest::qWait(120);
        QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!events.contains("Click"));
        QCOMPARE(events.count("MouseOn"), 1);  // no new hover while the button was held
    }

    void mouseDownHandlerChangingTheButtonPreventsPressAndClick()
    {
        connect(btn, &XButton::MouseDown, this, [](int &b, int &, float &, float &) { b = 0; });
        hoverAt(QPoint(10, 10));
        QTest::mousePress(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(pixelAt(btn, 40, 12), col(onColor));  // still the hover face
        QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!events.contains("Click"));
    }

    void rightPressGivesNoClickAndHoverStartsAgain()
    {
        hoverAt(QPoint(10, 10));
        QTest::mouseClick(btn, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(!events.contains("Click"));
        QCOMPARE(pixelAt(btn, 40, 12), col(back));
        hoverAt(QPoint(12, 10));
        QCOMPARE(events, (QStringList{"MouseOn", "MouseDown2", "MouseUp2", "MouseOn"}));
    }

    void facesOfEachState()
    {
        // Idle.
        QCOMPARE(pixelAt(btn, 40, 12), col(back));
        QCOMPARE(pixelAt(btn, 0, 12), col(back));
        // Hover: MouseOnColor with raised edges.
        hoverAt(QPoint(10, 10));
        QCOMPARE(pixelAt(btn, 40, 12), col(onColor));
        QCOMPARE(pixelAt(btn, 0, 12), col(light));
        QCOMPARE(pixelAt(btn, 40, 0), col(light));
        QCOMPARE(pixelAt(btn, 79, 12), col(dark));
        QCOMPARE(pixelAt(btn, 40, 24), col(dark));
        // Pressed: MouseDownColor with sunken edges.
        QTest::mousePress(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(pixelAt(btn, 40, 12), col(downColor));
        QCOMPARE(pixelAt(btn, 0, 12), col(dark));
        QCOMPARE(pixelAt(btn, 79, 12), col(light));
        QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(pixelAt(btn, 40, 12), col(back));
        // Leaving restores the idle face.
        leave();
        QVERIFY(events.contains("MouseOut"));
        QVERIFY(!btn->isHovering());
        QCOMPARE(pixelAt(btn, 0, 12), col(back));
    }

    void blackHoverAndPressColoursCountAsUnset()
    {
        btn->setMouseOnColor(0);
        btn->setMouseDownColor(0);
        hoverAt(QPoint(10, 10));
        QCOMPARE(pixelAt(btn, 40, 12), col(back));
        QTest::mousePress(btn, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(pixelAt(btn, 40, 12), col(back));
        QTest::mouseRelease(btn, Qt::LeftButton, {}, QPoint(10, 10));
    }

    void styleFrame()
    {
        const long frame = vb::RGB(0, 0, 255);
        const long frame2 = vb::RGB(255, 128, 0);
        btn->setStyleColor(frame);
        btn->setIfDraw(true);
        // StyleColor2 -1: one outline in StyleColor.
        QCOMPARE(pixelAt(btn, 0, 12), col(frame));
        QCOMPARE(pixelAt(btn, 79, 12), col(frame));
        QCOMPARE(pixelAt(btn, 40, 24), col(frame));
        QCOMPARE(pixelAt(btn, 40, 12), col(back));
        // Two colours: left and top in StyleColor, right and bottom in StyleColor2.
        btn->setStyleColor2(frame2);
        QCOMPARE(pixelAt(btn, 0, 12), col(frame));
        QCOMPARE(pixelAt(btn, 40, 0), col(frame));
        QCOMPARE(pixelAt(btn, 79, 12), col(frame2));
        QCOMPARE(pixelAt(btn, 40, 24), col(frame2));
    }

    void captionIsShownAtTheNextRepaint()
    {
        const long fore = vb::RGB(0, 0, 0);
        btn->setForeColor(fore);
        auto hasColor = [](const QImage &img, const QColor &c) {
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (img.pixelColor(x, y) == c) return true;
            return false;
        };
        btn->setCaption(QStringLiteral("确定"));
        QVERIFY(!hasColor(btn->grab().toImage(), col(fore)));
        btn->setIfDraw(false);  // any repainting setter
        QVERIFY(hasColor(btn->grab().toImage(), col(fore)));
        // Disabled: engraved, white under grey, no ForeColor.
        btn->setEnabled(false);
        const QImage img = btn->grab().toImage();
        QVERIFY(!hasColor(img, col(fore)));
        QVERIFY(hasColor(img, col(0x808080)));
        QVERIFY(hasColor(img, col(0xFFFFFF)));
    }

    void disabledPictureIsGreyExceptTheKeyColour()
    {
        QPixmap pic(10, 10);
        pic.fill(col(back));  // the picture's background matches the face
        {
            QPainter p(&pic);
            p.fillRect(2, 2, 6, 6, col(vb::RGB(255, 0, 0)));
        }
        btn->setPicture(pic);
        // Picture only: centred, (80 - 10) / 2 = 35, (25 - 10) / 2 = 7 (rounded down in pixels).
        const QImage on = btn->grab().toImage();
        QCOMPARE(on.pixelColor(35 + 4, 7 + 4), QColor(255, 0, 0));
        btn->setEnabled(false);
        const QImage off = btn->grab().toImage();
        const int g = (255 * 9798) / 32768;
        QCOMPARE(off.pixelColor(35 + 4, 7 + 4), QColor(g, g, g));
        QCOMPARE(off.pixelColor(35, 7), col(back));
    }

    void otherStyleDrawsNeitherPictureNorCaption()
    {
        QPixmap pic(10, 10);
        pic.fill(Qt::red);
        btn->setPicture(pic);
        btn->setCaption(QStringLiteral("Cap"));
        btn->setStyle(2);
        const QImage img = btn->grab().toImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) QCOMPARE(img.pixelColor(x, y), col(back));
        // Style 0: picture left of the caption, gaps in thirds.
        btn->setStyle(0);
        QCOMPARE(btn->grab().toImage().pixelColor(2, 12), col(back));
        bool redLeftHalf = false;
        const QImage s0 = btn->grab().toImage();
        for (int x = 0; x < 40; ++x) redLeftHalf |= s0.pixelColor(x, 12) == QColor(Qt::red);
        QVERIFY(redLeftHalf);
    }

    void savedProperties()
    {
        XButton fresh(nullptr, QStringLiteral("Cmd_New"));
        QCOMPARE(fresh.caption(), QString());
        QCOMPARE(fresh.MouseOnColor(), 0x80000004L);
        QCOMPARE(fresh.Style3DColor1(), 0xFCF2EBL);
        QCOMPARE(fresh.StyleColor2(), -1L);

        PropertyBag empty;
        fresh.ReadProperties(empty);
        QCOMPARE(fresh.caption(), QStringLiteral("XButton"));
        QCOMPARE(fresh.MouseOnColor(), 0x80000012L);
        QCOMPARE(fresh.StyleColor(), 0x80000012L);

        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("CAPTION"), QStringLiteral("保存"));
        bag.WriteProperty(QStringLiteral("style3dcolor1"), QVariant::fromValue<qlonglong>(0x123456));
        bag.WriteProperty(QStringLiteral("ifdraw"), true);
        fresh.ReadProperties(bag);
        QCOMPARE(fresh.caption(), QStringLiteral("保存"));
        QCOMPARE(fresh.Style3DColor1(), 0x123456L);
        QVERIFY(fresh.IfDraw());

        PropertyBag out;
        fresh.WriteProperties(out);
        QCOMPARE(out.ReadProperty(QStringLiteral("Caption")).toString(), QStringLiteral("保存"));
        QVERIFY(!out.contains(QStringLiteral("MouseOnColor")));  // equal to its default
        QVERIFY(out.contains(QStringLiteral("IfDraw")));
    }

    void membersByName()
    {
        QVERIFY(btn->setProperty("caption", QStringLiteral("查询")));
        QCOMPARE(btn->caption(), QStringLiteral("查询"));
        QVERIFY(btn->setProperty("IfDraw", true));
        QVERIFY(btn->IfDraw());
        QVERIFY(btn->setProperty("BackColor", QVariant::fromValue<long>(vb::RGB(1, 2, 3))));
        QCOMPARE(btn->BackColor(), vb::RGB(1, 2, 3));
    }
};

QTEST_MAIN(TestXButton)
#include "tst_xbutton.moc"
