// FCombo: where a release drops the list, choosing from the list, ListIndex from code, pick-only mode, faces.
#include "controls/FCombo.h"
#include "controls/PropertyBag.h"
#include "ui/Colors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>
#include <stdexcept>

class TestFCombo : public QObject {
    Q_OBJECT

private:
    QWidget *host = nullptr;
    FCombo *cmb = nullptr;
    QStringList events;

    int w() const { return cmb->face()->width(); }
    bool listShown() const { return cmb->comboBox()->view()->isVisible(); }
    void releaseAt(int x, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(cmb->face(), b, {}, QPoint(x, 5));
        QTest::mouseRelease(cmb->face(), b, {}, QPoint(x, 5));
    }
    void closeList()
    {
        cmb->comboBox()->hidePopup();
        QTest::qWait(20);
    }

private slots:
    // Entries asked for only when first needed: not before, once, after the
    // entries already there, and whatever reads the list sees them.
    void entriesReadWhenFirstNeeded()
    {
        int asked = 0;
        cmb->Clear();
        cmb->AddItem(QStringLiteral("全部"));
        cmb->setListIndex(0);
        cmb->AddItemsWhenNeeded([&asked] {
            ++asked;
            return QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
        });
        QCOMPARE(asked, 0);
        QCOMPARE(cmb->Text(), QStringLiteral("全部"));
        QCOMPARE(cmb->ListCount(), 3);
        QCOMPARE(asked, 1);
        QCOMPARE(cmb->ListIndex(), 0);
        cmb->AddItem(QStringLiteral("丙"));
        QCOMPARE(cmb->List(3), QStringLiteral("丙"));
        QCOMPARE(asked, 1);

        // Dropped before anything read them; a key that chooses reads them too.
        cmb->Clear();
        cmb->AddItemsWhenNeeded([&asked] {
            ++asked;
            return QStringList{QStringLiteral("丁")};
        });
        cmb->Clear();
        QCOMPARE(cmb->ListCount(), 0);
        QCOMPARE(asked, 1);
        cmb->AddItemsWhenNeeded([] { return QStringList{QStringLiteral("戊"), QStringLiteral("己")}; });
        cmb->setListIndex(1);
        QCOMPARE(cmb->Text(), QStringLiteral("己"));
    }
    void init()
    {
        host = new QWidget;
        host->resize(500, 300);
        cmb = new FCombo(host, QStringLiteral("Cmb_Test"));
        cmb->Move(300, 300, 2400);  // 160 pixels wide
        for (const char *s : {"全部", "图书", "读者"}) cmb->AddItem(QString::fromUtf8(s));
        events.clear();
        connect(cmb, &FCombo::Change, this, [this] { events << QStringLiteral("Change:") + cmb->Text(); });
        connect(cmb, &FCombo::Click, this, [this] { events << QStringLiteral("Click:") + cmb->Text(); });
        connect(cmb, &FCombo::Expand, this, [this] { events << QStringLiteral("Expand"); });
        QCursor::setPos(host->mapToGlobal(QPoint(490, 290)));
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
    }

    void cleanup()
    {
        delete host;
        host = nullptr;
    }

    void startsWithoutAChoice()
    {
        QCOMPARE(cmb->ListCount(), 3);
        QCOMPARE(cmb->ListIndex(), -1);
        QCOMPARE(cmb->Text(), QString());
        QCOMPARE(cmb->List(1), QStringLiteral("图书"));
        QCOMPARE(cmb->List(7), QString());
    }

    void releasePositionsInEditableMode()
    {
        // Left of W - 300: the text box takes the focus, no list.
        releaseAt(w() - 21);
        QVERIFY(cmb->textBox()->hasFocus());
        QVERIFY(!listShown());
        QVERIFY(!events.contains("Expand"));
        // At W - 300: the list drops.
        releaseAt(w() - 20);
        QCOMPARE(events, (QStringList{"Expand"}));
        QVERIFY(listShown());
        closeList();
        // A right release does neither.
        events.clear();
        releaseAt(w() - 5, Qt::RightButton);
        QVERIFY(events.isEmpty());
        QVERIFY(!listShown());
    }

    void releaseAnywhereDropsTheListInPickOnlyMode()
    {
        cmb->setEnabledText(false);
        releaseAt(2);
        QCOMPARE(events, (QStringList{"Expand"}));
        QVERIFY(listShown());
        closeList();
    }

    void choosingFromTheListRaisesChangeThenClick()
    {
        releaseAt(w() - 5);
        QVERIFY(listShown());
        QAbstractItemView *view = cmb->comboBox()->view();
        QTest::keyClick(view, Qt::Key_Down);  // the list opens on its first row
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!listShown());
        QCOMPARE(events, (QStringList{"Expand", "Change:图书", "Click:图书"}));
        QCOMPARE(cmb->ListIndex(), 1);
        QCOMPARE(cmb->Text(), QStringLiteral("图书"));
        QVERIFY(cmb->textBox()->hasFocus());
    }

    void choosingInPickOnlyModeRaisesClickOnly()
    {
        cmb->setEnabledText(false);
        releaseAt(5);
        QAbstractItemView *view = cmb->comboBox()->view();
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!listShown());
        QCOMPARE(events, (QStringList{"Expand", "Click:图书"}));
        QCOMPARE(cmb->label()->text(), QStringLiteral("图书"));
    }

    void settingListIndexRunsTheChoice()
    {
        cmb->setListIndex(2);
        QCOMPARE(events, (QStringList{"Change:读者", "Click:读者"}));
        QCOMPARE(cmb->Text(), QStringLiteral("读者"));
        QCOMPARE(cmb->label()->text(), QStringLiteral("读者"));
        events.clear();
        cmb->setListIndex(5);  // refused, ignored
        cmb->setListIndex(-2);
        QVERIFY(events.isEmpty());
        QCOMPARE(cmb->ListIndex(), 2);
        // By name, as windows do.
        QVERIFY(cmb->setProperty("ListIndex", 0));
        QCOMPARE(events, (QStringList{"Change:全部", "Click:全部"}));
    }

    void pickOnlyTextIsNotEditable()
    {
        cmb->setEnabledText(false);
        QVERIFY(cmb->textBox()->isHidden());
        cmb->setText(QStringLiteral("读者"));
        QCOMPARE(cmb->Text(), QStringLiteral("读者"));
        QCOMPARE(cmb->ListIndex(), 2);
        QVERIFY(!events.contains("Change:读者"));  // no Change in pick-only mode
        cmb->face()->setFocus();
        QTest::keyClicks(cmb->face(), QStringLiteral("abc"));
        QCOMPARE(cmb->Text(), QStringLiteral("读者"));
    }

    void typingInEditableModeLeavesTheLabel()
    {
        releaseAt(3);
        QTest::keyClicks(cmb->textBox(), QStringLiteral("xy"));
        QCOMPARE(cmb->Text(), QStringLiteral("xy"));
        QCOMPARE(cmb->label()->text(), QString());
        QCOMPARE(events, (QStringList{"Change:x", "Change:xy"}));
    }

    void clearEmptiesBothModes()
    {
        cmb->setListIndex(1);
        cmb->Clear();
        QCOMPARE(cmb->ListCount(), 0);
        QCOMPARE(cmb->Text(), QString());
        cmb->setEnabledText(false);
        QCOMPARE(cmb->Text(), QString());
    }

    void itemsAndRemoval()
    {
        cmb->AddItem(QStringLiteral("首"), 0);
        cmb->AddItem(42);
        cmb->AddItem(QStringLiteral("x"), 99);  // refused, ignored
        QCOMPARE(cmb->ListCount(), 5);
        QCOMPARE(cmb->List(0), QStringLiteral("首"));
        QCOMPARE(cmb->List(4), QStringLiteral("42"));
        cmb->RemoveItem(0);
        QCOMPARE(cmb->List(0), QStringLiteral("全部"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, cmb->RemoveItem(10));
    }

    void geometryRules()
    {
        cmb->Move(0, 0, 200, 900);
        QCOMPARE(cmb->Width(), FCombo::MinWidth);
        QCOMPARE(cmb->height(), cmb->comboBox()->height());
        cmb->setListIndex(0);
        cmb->setEnabledText(false);
        cmb->setWidth(600);
        cmb->setText(QStringLiteral("一个很长很长很长很长很长的名字"));
        QCOMPARE(cmb->label()->width(), w() - 20);  // W - 300
    }

    void faces()
    {
        const QImage idle = cmb->faceImage();
        const int h = cmb->face()->height();
        QCOMPARE(idle.pixelColor(0, 0), vb::toQColor(0x8000000F));
        QCOMPARE(idle.pixelColor(w() - 10, 3), vb::toQColor(0x8000000F));
        QCOMPARE(idle.pixelColor(20, h / 2), vb::toQColor(0x80000005));
        // Hover: dark blue outline and light button zone.
        QTest::mouseMove(cmb->face(), QPoint(20, 5));
        QVERIFY(cmb->isHovering());
        QImage hover = cmb->faceImage();
        QCOMPARE(hover.pixelColor(0, 0), QColor(10, 36, 106));
        QCOMPARE(hover.pixelColor(w() - 18, 5), QColor(10, 36, 106));  // separator
        QCOMPARE(hover.pixelColor(w() - 4, 3), QColor(182, 189, 210));
        // Arrow: black, 7 pixels wide at its top row.
        const int ax = w() - 13, ay = (h * 15 - 60) / 2 / 15;
        QCOMPARE(hover.pixelColor(ax, ay), QColor(0, 0, 0));
        QCOMPARE(hover.pixelColor(ax + 6, ay), QColor(0, 0, 0));
        QCOMPARE(hover.pixelColor(ax, ay + 1), QColor(182, 189, 210));
        // Pressed on the button zone.
        QTest::mousePress(cmb->face(), Qt::LeftButton, {}, QPoint(w() - 5, 5));
        QCOMPARE(cmb->faceImage().pixelColor(w() - 4, 3), QColor(133, 146, 181));
        QTest::mouseRelease(cmb->face(), Qt::LeftButton, {}, QPoint(w() - 5, 5));
        closeList();
        // A press left of W - 240 paints no pressed look.
        QTest::mousePress(cmb->face(), Qt::LeftButton, {}, QPoint(w() - 17, 5));
        QVERIFY(cmb->faceImage().pixelColor(w() - 4, 3) != QColor(133, 146, 181));
        QTest::mouseRelease(cmb->face(), Qt::LeftButton, {}, QPoint(w() - 17, 5));
        // Leaving restores the idle face.
        QTest::mouseMove(host, QPoint(490, 290));
        QCOMPARE(cmb->faceImage().pixelColor(0, 0), vb::toQColor(0x8000000F));
    }

    void savedProperties()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("enabledtext"), false);
        bag.WriteProperty(QStringLiteral("ListIndex"), 1);
        bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("ignored"));
        cmb->ReadProperties(bag);
        QVERIFY(!cmb->EnabledText());
        QCOMPARE(cmb->ListIndex(), 1);
        PropertyBag out;
        cmb->WriteProperties(out);
        QCOMPARE(out.ReadProperty(QStringLiteral("Text")).toString(), QStringLiteral("图书"));
        QCOMPARE(out.ReadProperty(QStringLiteral("EnabledText")).toBool(), false);
        QVERIFY(!out.contains(QStringLiteral("BackColor")));
    }

    // A pick-only box is reached by Tab, shows that it holds the keyboard and
    // chooses with the arrow keys (each choice a Click); Alt+Down drops the list.
    void pickOnlyBoxAnswersTheKeyboard()
    {
        cmb->setEnabledText(false);
        auto *before = new QLineEdit(host);
        before->setGeometry(20, 100, 100, 20);
        before->show();
        QWidget::setTabOrder(before, cmb);
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host));
        before->setFocus();
        const QImage unfocused = cmb->grab().toImage();
        QTest::keyClick(before, Qt::Key_Tab);
        QWidget *f = QApplication::focusWidget();
        QVERIFY(f && cmb->isAncestorOf(f));
        QVERIFY(cmb->grab().toImage() != unfocused);
        QTest::keyClick(f, Qt::Key_Down);
        QCOMPARE(cmb->ListIndex(), 0);
        QTest::keyClick(f, Qt::Key_Down);
        QTest::keyClick(f, Qt::Key_Down);
        QTest::keyClick(f, Qt::Key_Down);  // the last item stays
        QCOMPARE(cmb->ListIndex(), 2);
        QTest::keyClick(f, Qt::Key_Up);
        QCOMPARE(cmb->Text(), QStringLiteral("图书"));
        QTest::keyClick(f, Qt::Key_Home);
        QCOMPARE(cmb->ListIndex(), 0);
        QTest::keyClick(f, Qt::Key_End);
        QCOMPARE(cmb->ListIndex(), 2);
        QCOMPARE(events,
                 (QStringList{"Click:全部", "Click:图书", "Click:读者", "Click:图书", "Click:全部", "Click:读者"}));
        QTest::keyClick(f, Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(listShown());
        closeList();
    }

    void hostFocusEvents()
    {
        int got = 0, lost = 0;
        connect(cmb, &FCombo::GotFocus, this, [&] { ++got; });
        connect(cmb, &FCombo::LostFocus, this, [&] { ++lost; });
        auto *other = new QLineEdit(host);
        other->move(0, 200);
        other->show();
        other->setFocus();
        got = lost = 0;
        releaseAt(3);
        QCOMPARE(got, 1);
        releaseAt(w() - 5);  // the dropped list counts as inside
        QCOMPARE(lost, 0);
        closeList();
        host->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), host);
        other->setFocus();
        QCOMPARE(lost, 1);
    }

    // Taking the focus selects from the cursor to the end of the text as it
    // is when the selection is made, also when it grew shorter meanwhile.
    void focusSelectsToTheEndOfTheTextThen()
    {
        cmb->setEnabledText(true);
        auto *other = new QLineEdit(host);
        other->move(0, 200);
        other->show();
        host->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), host);
        other->setFocus();
        QCoreApplication::processEvents();
        cmb->setText(QStringLiteral("12345"));  // the cursor at its end
        QTest::failOnWarning(QRegularExpression(QStringLiteral("setSelection")));
        cmb->textBox()->setFocus();
        cmb->setText(QStringLiteral("12"));  // before the selection comes
        QCoreApplication::processEvents();
        QCOMPARE(cmb->textBox()->text(), QStringLiteral("12"));
        QVERIFY(!cmb->textBox()->hasSelectedText());

        other->setFocus();
        QCoreApplication::processEvents();
        cmb->setText(QStringLiteral("123456"));
        cmb->textBox()->setCursorPosition(2);
        cmb->textBox()->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(cmb->textBox()->selectedText(), QStringLiteral("3456"));
    }
};

QTEST_MAIN(TestFCombo)
#include "tst_fcombo.moc"
