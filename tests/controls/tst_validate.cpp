// A framed text box's Validate, run by its window, before the drawn button's Click
// when the user goes straight from the box to the button.
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "ui/Form.h"

#include <QDialog>
#include <QPushButton>
#include <QtTest>

class HostForm : public vb::Form {
    Q_OBJECT
public:
    HostForm() : vb::Form(QStringLiteral("HostForm")) { }
    vb::Ctl<FTextBox> Txt_RID{this};
    vb::Ctl<XButton> Cmd_Save{this};
    QStringList log;
    bool refuse = false;
    bool askInside = false;

protected:
    void CreateControls() override
    {
        resize(420, 200);
        Txt_RID = new FTextBox(client(), QStringLiteral("Txt_RID"));
        Txt_RID->Move(300, 300, 2400, FTextBox::FixedHeight);
        Cmd_Save = new XButton(client(), QStringLiteral("Cmd_Save"));
        Cmd_Save->setCaption(QStringLiteral("保存"));
        Cmd_Save->Move(300, 1200, 1200, 375);
        connect(Cmd_Save.peek(), &XButton::Click, this, [this] { log << QStringLiteral("Click"); });
        setValidateHandler(Txt_RID.peek(), [this](bool &cancel) {
            log << QStringLiteral("Validate:") + Txt_RID->Text();
            if (askInside) {
                // A message takes the keyboard while Validate runs.
                QDialog box(this);
                auto *ok = new QPushButton(QStringLiteral("确定"), &box);
                QTimer::singleShot(30, &box, [&] {
                    ok->setFocus();
                    box.accept();
                });
                box.exec();
            }
            cancel = refuse;
        });
    }
};

class TestValidate : public QObject {
    Q_OBJECT

    static void clickButton(XButton *b)
    {
        const QPoint mid(b->width() / 2, b->height() / 2);
        QTest::mouseMove(b, mid - QPoint(2, 2));  // the pointer arrives over the button
        QTest::mouseMove(b, mid);
        QTest::mousePress(b, Qt::LeftButton, {}, mid);
        QTest::mouseRelease(b, Qt::LeftButton, {}, mid);
    }

    static void typeIntoBox(HostForm &f, const QString &text)
    {
        f.Txt_RID->SetFocus();
        QTRY_VERIFY(f.Txt_RID->widget()->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClicks(QApplication::focusWidget(), text);
    }

private slots:
    void validateRunsBeforeTheButtonsClick()
    {
        HostForm f;
        f.Show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        typeIntoBox(f, QStringLiteral("R001"));
        clickButton(f.Cmd_Save.get());
        QCOMPARE(f.log, (QStringList{QStringLiteral("Validate:R001"), QStringLiteral("Click")}));
        f.Unload();
    }

    void refusedValidateKeepsTheKeyboardAndDropsTheClick()
    {
        HostForm f;
        f.refuse = true;
        f.Show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        typeIntoBox(f, QStringLiteral("x"));
        clickButton(f.Cmd_Save.get());
        QCOMPARE(f.log, QStringList{QStringLiteral("Validate:x")});
        QVERIFY(f.Txt_RID->widget()->isAncestorOf(QApplication::focusWidget()));
        f.refuse = false;
        clickButton(f.Cmd_Save.get());
        QCOMPARE(f.log,
                 (QStringList{QStringLiteral("Validate:x"), QStringLiteral("Validate:x"), QStringLiteral("Click")}));
        f.Unload();
    }

    void aMessageInsideValidateDoesNotRunItAgain()
    {
        HostForm f;
        f.askInside = true;
        f.refuse = true;
        f.Show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        typeIntoBox(f, QStringLiteral("y"));
        clickButton(f.Cmd_Save.get());
        QCoreApplication::processEvents();
        QCOMPARE(f.log, QStringList{QStringLiteral("Validate:y")});
        f.Unload();
    }
};

QTEST_MAIN(TestValidate)
#include "tst_validate.moc"
