// FTextBox: the numeric entry rule, key events, the "0" rule, the fixed height and the hover frame;
// every way of putting text in goes through the same filter as typing.
#include "controls/FTextBox.h"
#include "controls/PropertyBag.h"
#include "ui/Colors.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// The ways a text gets into a box besides typing it, each through the inner
// box's own events or actions.
struct PasteRoute {
    const char *name;
    std::function<void(QLineEdit *, const QString &)> paste;
};

const PasteRoute kPasteRoutes[] = {
    {"middle click",
     [](QLineEdit *e, const QString &t) {
         SetPrimarySelectionHook([t] { return t; });
         const QPoint end(e->width() - 2, e->height() / 2);
         QTest::mousePress(e, Qt::MiddleButton, {}, end);
         QTest::mouseRelease(e, Qt::MiddleButton, {}, end);
         SetPrimarySelectionHook(nullptr);
     }},
    {"drop",
     [](QLineEdit *e, const QString &t) {
         QMimeData data;
         data.setText(t);
         const QPointF end(e->width() - 2, e->height() / 2.0);
         QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(e, &enter);
         QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(e, &drop);
     }},
    {"input method",
     [](QLineEdit *e, const QString &t) {
         QInputMethodEvent commit;
         commit.setCommitString(t);
         QApplication::sendEvent(e, &commit);
     }},
    {"context menu",
     [](QLineEdit *e, const QString &t) {
         QGuiApplication::clipboard()->setText(t);
         std::unique_ptr<QMenu> menu(e->createStandardContextMenu());
         for (QAction *a : menu->actions())
             if (a->text().startsWith(QLatin1String("&Paste"))) a->trigger();
     }},
    {"key with several characters",
     [](QLineEdit *e, const QString &t) {
         QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, t);
         QApplication::sendEvent(e, &press);
     }},
};

}  // namespace

class TestFTextBox : public QObject {
    Q_OBJECT

private:
    QWidget *host = nullptr;
    FTextBox *box = nullptr;
    QLineEdit *edit() const { return box->textBox(); }

private slots:
    void init()
    {
        host = new QWidget;
        host->resize(400, 200);
        box = new FTextBox(host, QStringLiteral("Txt_Test"));
        box->Move(300, 300, 1500);
        QCursor::setPos(host->mapToGlobal(QPoint(390, 190)));
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
        edit()->setFocus();
    }

    void cleanup()
    {
        delete host;
        host = nullptr;
    }

    void numericRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("afterDecimal");
        QTest::addColumn<bool>("accepted");

        // MaxLength 8, afterdecimal 2: five digits, the point, two decimals.
        QTest::newRow("sixth digit") << "12345" << 5 << 0 << int('6') << 8 << 2 << false;
        QTest::newRow("point after five") << "12345" << 5 << 0 << int('.') << 8 << 2 << true;
        QTest::newRow("first decimal") << "12345." << 6 << 0 << int('6') << 8 << 2 << true;
        QTest::newRow("second decimal") << "12345.6" << 7 << 0 << int('7') << 8 << 2 << true;
        QTest::newRow("third decimal") << "12345.67" << 8 << 0 << int('8') << 8 << 2 << false;
        QTest::newRow("third decimal short int") << "1.67" << 4 << 0 << int('8') << 8 << 2 << false;
        QTest::newRow("digit on empty") << "" << 0 << 0 << int('1') << 8 << 2 << true;
        // Caret before the point: digits until MaxLength characters.
        QTest::newRow("before point 3") << "1.5" << 0 << 0 << int('2') << 8 << 2 << true;
        QTest::newRow("before point 7") << "12345.5" << 0 << 0 << int('2') << 8 << 2 << true;
        QTest::newRow("before point 8") << "123456.5" << 0 << 0 << int('2') << 8 << 2 << false;
        QTest::newRow("second point start") << "1.5" << 0 << 0 << int('.') << 8 << 2 << false;
        QTest::newRow("second point end") << "1.5" << 3 << 0 << int('.') << 8 << 2 << false;
        // The point must leave at most afterdecimal characters behind it.
        QTest::newRow("point too early") << "1234" << 1 << 0 << int('.') << 8 << 2 << false;
        QTest::newRow("point two before end") << "1234" << 2 << 0 << int('.') << 8 << 2 << true;
        QTest::newRow("point no decimals") << "12" << 2 << 0 << int('.') << 8 << 0 << false;
        // Other characters.
        QTest::newRow("slash") << "1" << 1 << 0 << 47 << 8 << 2 << false;
        QTest::newRow("letter") << "1" << 1 << 0 << int('a') << 8 << 2 << false;
        QTest::newRow("blank") << "" << 0 << 0 << 32 << 8 << 2 << false;
        QTest::newRow("minus") << "" << 0 << 0 << 45 << 8 << 2 << false;
        QTest::newRow("copy") << "12" << 0 << 2 << 3 << 8 << 2 << false;
        QTest::newRow("paste") << "12" << 2 << 0 << 22 << 8 << 2 << false;
        QTest::newRow("paste over all") << "12" << 0 << 2 << 22 << 8 << 2 << false;
        QTest::newRow("cut") << "12" << 0 << 2 << 24 << 8 << 2 << false;
        QTest::newRow("enter when full") << "12345.67" << 8 << 0 << 13 << 8 << 2 << true;
        QTest::newRow("backspace when full") << "12345.67" << 8 << 0 << 8 << 8 << 2 << true;
        // Typing over a fully selected text is always allowed.
        QTest::newRow("over selection") << "12345.67" << 0 << 8 << int('9') << 8 << 2 << true;
        // MaxLength 0: only on an empty or fully selected text.
        QTest::newRow("no limit empty") << "" << 0 << 0 << int('5') << 0 << 2 << true;
        QTest::newRow("no limit second") << "5" << 1 << 0 << int('6') << 0 << 2 << false;
        QTest::newRow("no limit selected") << "55" << 0 << 2 << int('6') << 0 << 2 << true;
    }

    void numericRule()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(int, key);
        QFETCH(int, maxLength);
        QFETCH(int, afterDecimal);
        QFETCH(bool, accepted);
        NumericKeyInput in;
        in.text = text;
        in.selStart = selStart;
        in.selLength = selLength;
        in.keyAscii = key;
        in.maxLength = maxLength;
        in.afterDecimal = afterDecimal;
        const int out = FilterNumericKey(in);
        QCOMPARE(out != 0, accepted);
        if (accepted) QCOMPARE(out, key);
    }

    void typingIntoANumericBox()
    {
        box->setIsNumber(true);
        box->setMaxLength(8);
        QTest::keyClicks(edit(), QStringLiteral("1234567.891a-"));
        QCOMPARE(box->Text(), QStringLiteral("12345.89"));
        QTest::keyClick(edit(), Qt::Key_Backspace);
        QCOMPARE(box->Text(), QStringLiteral("12345.8"));
    }

    // A price typed over "120" after Ctrl+A replaces it, in a number box as
    // in a text box.
    void ctrlASelectsAllInEveryBox_data()
    {
        QTest::addColumn<bool>("number");
        QTest::newRow("number box") << true;
        QTest::newRow("text box") << false;
    }
    void ctrlASelectsAllInEveryBox()
    {
        QFETCH(bool, number);
        box->setIsNumber(number);
        box->setMaxLength(8);
        box->setText(QStringLiteral("120"));
        edit()->end(false);
        QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->SelStart(), 0);
        QCOMPARE(box->SelLength(), 3);
        QTest::keyClicks(edit(), QStringLiteral("98.5"));
        QCOMPARE(box->Text(), QStringLiteral("98.5"));
    }

    void pasteKeyIsRefusedOnlyInANumericBox()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("x9"));
        box->setText(QStringLiteral("1"));
        edit()->end(false);
        box->setIsNumber(true);
        box->setMaxLength(8);
        QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->Text(), QStringLiteral("1"));
        box->setIsNumber(false);
        QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->Text(), QStringLiteral("1x9"));
    }

    // A paste by any route lands as if its characters were typed, through the
    // window's KeyPress and the numeric rule, or not at all: a character the
    // keyboard would drop refuses the whole paste, so no other value lands.
    void everyRouteInGoesThroughTheFilter_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("wholeNumbers");  // the window drops "." as a loan period's box does
        QTest::addColumn<QString>("expected");   // after "1" with the caret at its end

        QTest::newRow("digits") << "250" << false << "1250";
        QTest::newRow("negative") << "-250" << false << "1";
        QTest::newRow("exponent") << "01e300" << false << "1";
        QTest::newRow("decimals") << "23.45" << false << "123.45";
        QTest::newRow("three decimals") << ".555" << false << "1";
        QTest::newRow("too long") << "2345678" << false << "1";
        QTest::newRow("full-width digits") << "２５０" << false << "1";
        QTest::newRow("line break") << "25\n" << false << "1";
        QTest::newRow("blank") << "2 5" << false << "1";
        QTest::newRow("point in a whole-number box") << ".5" << true << "1";
        QTest::newRow("whole number") << "30" << true << "130";
    }
    void everyRouteInGoesThroughTheFilter()
    {
        QFETCH(QString, pasted);
        QFETCH(bool, wholeNumbers);
        QFETCH(QString, expected);
        box->setIsNumber(true);
        box->setMaxLength(8);
        QList<int> seen;
        connect(box, &FTextBox::KeyPress, this, [&](int &k) {
            seen << k;
            if (wholeNumbers && k == '.') k = 0;
        });
        for (const PasteRoute &route : kPasteRoutes) {
            box->setText(QStringLiteral("1"));
            edit()->end(false);
            seen.clear();
            route.paste(edit(), pasted);
            QVERIFY2(box->Text() == expected, qPrintable(QStringLiteral("%1: \"%2\"").arg(route.name, box->Text())));
            if (expected != QLatin1String("1")) {
                // The window saw each character as a key.
                QList<int> codes;
                for (const QChar c : pasted) codes << c.unicode();
                QCOMPARE(seen, codes);
            }
        }
        // The paste key itself stays refused in a numeric box.
        box->setText(QStringLiteral("1"));
        edit()->end(false);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->Text(), QStringLiteral("1"));
    }

    // Outside a numeric box a paste goes in whole (cut to MaxLength as before),
    // and a text the program sets is never filtered.
    void otherBoxesAndTheProgramAreNotFiltered()
    {
        box->setMaxLength(6);
        for (const PasteRoute &route : kPasteRoutes) {
            box->setText(QStringLiteral("R"));
            edit()->end(false);
            route.paste(edit(), QStringLiteral("-001\u3000x"));
            QVERIFY2(box->Text() == QStringLiteral("R-001\u3000"), route.name);
        }
        box->setIsNumber(true);
        box->setText(QStringLiteral("-250"));
        QCOMPARE(box->Text(), QStringLiteral("-250"));
        box->setSelStart(4);
        box->setSelText(QStringLiteral("e3"));
        QCOMPARE(box->Text(), QStringLiteral("-250e3"));
    }

    void emptiedNumericBoxHoldsZero()
    {
        box->setIsNumber(true);
        box->setMaxLength(8);
        box->setText(QStringLiteral("7"));
        QStringList seen;
        connect(box, &FTextBox::Change, this, [&] { seen << box->Text(); });
        edit()->selectAll();
        QTest::keyClick(edit(), Qt::Key_Backspace);
        QCOMPARE(seen, (QStringList{QString(), QStringLiteral("0")}));
        QCOMPARE(box->Text(), QStringLiteral("0"));
        QCOMPARE(box->SelStart(), 0);
        QCOMPARE(box->SelLength(), 1);
        // The "0" is selected, so the next digit replaces it.
        QTest::keyClick(edit(), Qt::Key_4);
        QCOMPARE(box->Text(), QStringLiteral("4"));
        // A window emptying the text finds "0".
        box->setText(QString());
        QCOMPARE(box->Text(), QStringLiteral("0"));
    }

    void maxLengthZeroMeansNoLimit()
    {
        box->setMaxLength(0);
        const QString longText(300, QLatin1Char('x'));
        QTest::keyClicks(edit(), longText);
        QCOMPARE(box->Text(), longText);
        box->setText(QString(50000, QLatin1Char('y')));
        QCOMPARE(box->Text().size(), 50000);
        box->setText(QString());
        box->setMaxLength(3);
        QTest::keyClicks(edit(), QStringLiteral("abcdef"));
        QCOMPARE(box->Text(), QStringLiteral("abc"));
    }

    // The limit holds for typing and pasting, never for a text the program sets:
    // a stored value longer than the box is shown and saved whole.
    void maxLengthLimitsTypingNotTheProgram()
    {
        box->setMaxLength(4);
        box->setText(QStringLiteral("1000871"));
        QCOMPARE(box->Text(), QStringLiteral("1000871"));
        edit()->end(false);
        QTest::keyClicks(edit(), QStringLiteral("9"));
        QCOMPARE(box->Text(), QStringLiteral("1000871"));  // no more characters
        QTest::keyClick(edit(), Qt::Key_Backspace);
        QCOMPARE(box->Text(), QStringLiteral("100087"));  // but it can be shortened

        box->setText(QStringLiteral("ab"));
        edit()->end(false);
        QApplication::clipboard()->setText(QStringLiteral("cdefgh"));
        edit()->paste();
        QCOMPARE(box->Text(), QStringLiteral("abcd"));  // a paste is cut to what fits
    }

    void keyPressHandlerRunsFirst()
    {
        QList<int> codes;
        connect(box, &FTextBox::KeyPress, this, [&](int &k) {
            codes << k;
            if (k == '.')
                k = 0;  // dropped
            else if (k == 'a')
                k = 'A';  // replaced
        });
        box->setIsNumber(false);
        QTest::keyClicks(edit(), QStringLiteral("1.a"));
        QTest::keyClick(edit(), Qt::Key_Return);
        QCOMPARE(box->Text(), QStringLiteral("1A"));
        QCOMPARE(codes, (QList<int>{'1', '.', 'a', 13}));
        // In a numeric box the handler's change reaches the filter: a cleared "." stays out.
        box->setText(QString());
        box->setIsNumber(true);
        box->setMaxLength(8);
        QTest::keyClicks(edit(), QStringLiteral("12.5"));
        QCOMPARE(box->Text(), QStringLiteral("125"));
    }

    void keyDownAndKeyUpCarryCodes()
    {
        QList<int> down, up;
        connect(box, &FTextBox::KeyDown, this, [&](int &c, int &s) { down << c << s; });
        connect(box, &FTextBox::KeyUp, this, [&](int &c, int &) { up << c; });
        QTest::keyClick(edit(), Qt::Key_A, Qt::ShiftModifier);
        QCOMPARE(down.mid(down.size() - 2), (QList<int>{65, 1}));  // after the Shift key's own
        QCOMPARE(up.first(), 65);
    }

    void heightStaysFixed()
    {
        QCOMPARE(box->Height(), 300);
        box->setHeight(900);
        QCOMPARE(box->Height(), 300);
        box->Move(0, 0, 2010, 600);
        QCOMPARE(box->Height(), 300);
        QCOMPARE(box->Width(), 2010);
    }

    void hoverFrameFollowsThePointer()
    {
        const QColor frame = vb::toQColor(0x6A240A);
        QTest::mouseMove(edit(), QPoint(5, 5));
        QVERIFY(box->isHovering());
        QCOMPARE(box->grab().toImage().pixelColor(0, 10), frame);
        QTest::qWait(120);
        QVERIFY(box->isHovering());  // still inside
        QCursor::setPos(host->mapToGlobal(QPoint(390, 190)));
        QTest::qWait(120);
        QVERIFY(!box->isHovering());
        QCOMPARE(box->grab().toImage().pixelColor(0, 10), vb::toQColor(0x8000000F));
    }

    void lostFocusClearsTheFrameButKeepsHovering()
    {
        QTest::mouseMove(edit(), QPoint(5, 5));
        QVERIFY(box->frameDrawn());
        auto *other = new QLineEdit(host);
        other->move(0, 100);
        other->show();
        other->setFocus();
        QVERIFY(!box->frameDrawn());
        QVERIFY(box->isHovering());
    }

    void disabledBoxDrawsNoFrame()
    {
        box->setEnabled(false);
        QVERIFY(!box->Enabled());
        QVERIFY(box->isEnabled());  // only the inner box is disabled
        QTest::mouseMove(edit(), QPoint(5, 5));
        QVERIFY(!box->isHovering());
    }

    void autoSelAllSelectsOnFocus()
    {
        auto *other = new QLineEdit(host);
        other->move(0, 100);
        other->show();
        other->setFocus();
        box->setText(QStringLiteral("图书馆"));
        box->setAutoSelAll(true);
        edit()->setCursorPosition(1);
        box->textBox()->setFocus(Qt::OtherFocusReason);
        QCOMPARE(box->SelStart(), 0);
        QCOMPARE(box->SelLength(), 3);
        QCOMPARE(box->SelText(), QStringLiteral("图书馆"));
    }

    void selectionProperties()
    {
        box->setText(QStringLiteral("abcdef"));
        box->setSelStart(2);
        box->setSelLength(3);
        QCOMPARE(box->SelText(), QStringLiteral("cde"));
        box->setSelText(QStringLiteral("X"));
        QCOMPARE(box->Text(), QStringLiteral("abXf"));
        box->setPasswordChar(QStringLiteral("*"));
        QCOMPARE(edit()->echoMode(), QLineEdit::Password);
    }

    void savedProperties()
    {
        PropertyBag empty;
        box->ReadProperties(empty);
        QCOMPARE(box->afterdecimal(), 2);
        QCOMPARE(box->MaxLength(), 0);
        QCOMPARE(box->BackColor(), 0x80000005L);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("ISNUMBER"), true);
        bag.WriteProperty(QStringLiteral("maxlength"), 6);
        bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("12"));
        box->ReadProperties(bag);
        QVERIFY(box->isNumber());
        QCOMPARE(box->MaxLength(), 6);
        QCOMPARE(box->Text(), QStringLiteral("12"));
        PropertyBag out;
        box->WriteProperties(out);
        QCOMPARE(out.ReadProperty(QStringLiteral("isNumber")).toBool(), true);
        QVERIFY(!out.contains(QStringLiteral("afterdecimal")));
        QVERIFY(box->setProperty("afterdecimal", 3));
        QCOMPARE(box->afterdecimal(), 3);
    }
};

QTEST_MAIN(TestFTextBox)
#include "tst_ftextbox.moc"
