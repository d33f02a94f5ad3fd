// The common message dialog: size and button placement by the message, icons,
// answers, Enter on the band, the user's close refused; the test hook; errors
// and questions shown through it.
#include "TestSupport.h"
#include "core/CoreTestHelpers.h"

#include "core/Frm_MsgFrm.h"
#include "core/Mdl_ComVarList.h"
#include "db/Ado.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QPointer>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace {

// Runs `act` on the message dialog as soon as it is up (polling for the modal window).
void whenDialogShows(std::function<void(Frm_MsgFrm *)> act, QWidget *notThis = nullptr)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, notThis] {
        auto *dlg = qobject_cast<Frm_MsgFrm *>(QApplication::activeModalWidget());
        if (!dlg || !dlg->isVisible() || dlg == notThis) return;
        poll->stop();
        poll->deleteLater();
        act(dlg);
    });
    poll->start();
}

// A twips value as it lands on the pixel grid.
int onGrid(double twips) { return vb::toTwips(vb::toPx(int(std::lround(twips)))); }

}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AppPath = testsupport::resourcesDir(); }
    void cleanup() { SetMsgBoxHook(nullptr); }

    void shortMessageKeepsDesignSizeAndPlaces()
    {
        Frm_MsgFrm dlg;
        dlg.Prepare(QStringLiteral("操作成功！"), QStringLiteral("?"), QStringLiteral("提示"));
        QCOMPARE(dlg.OuterWidth(), 4800);
        QCOMPARE(dlg.OuterHeight(), 2250);
        QCOMPARE(dlg.width(), vb::toPx(4710));
        QCOMPARE(dlg.height(), vb::toPx(1770));
        QCOMPARE(dlg.Caption(), QStringLiteral("提示"));
        // The design positions of the question's two buttons.
        QCOMPARE(dlg.Cmd_OK->Left(), 1545);
        QCOMPARE(dlg.Cmd_Cancel->Left(), 3000);
        QCOMPARE(dlg.Cmd_OK->Top(), 1155);
        QCOMPARE(dlg.Cmd_Cancel->Top(), 1155);
        QVERIFY(dlg.Cmd_Cancel->isVisibleTo(&dlg));
        QCOMPARE(dlg.Lbl_Message->Left(), 1200);
        QCOMPARE(dlg.Lbl_Message->Top(), 240);
        QCOMPARE(dlg.Pic_TltleBar->Width(), 960);
        QCOMPARE(dlg.Pic_TltleBar->Height(), 1770);
        dlg.Unload();
    }

    void notQuestionShowsOkAloneInTheMiddle()
    {
        Frm_MsgFrm dlg;
        dlg.Prepare(QStringLiteral("出错了"), QStringLiteral("x"), QStringLiteral("错误"));
        QVERIFY(dlg.Cmd_OK->isVisibleTo(&dlg));
        QVERIFY(!dlg.Cmd_Cancel->isVisibleTo(&dlg));
        const double c = (4800 - 90 - 960) / 2.0 + 1005;
        QCOMPARE(dlg.Cmd_OK->Left(), onGrid(c - 1215 / 2.0));
        dlg.Unload();
    }

    void longMessageWidensTheDialogAndMovesButtons()
    {
        Frm_MsgFrm dlg;
        const QString msg(90, QLatin1Char('W'));
        dlg.Prepare(msg, QStringLiteral("?"), QStringLiteral("删除读者"));
        const int lw = dlg.Lbl_Message->Width();
        QVERIFY(lw > 3240);
        QCOMPARE(dlg.OuterWidth(), 1200 + lw + 90 + 240);
        // 330 twips of the outer width remain right of the text.
        QCOMPARE(dlg.OuterWidth() - (dlg.Lbl_Message->Left() + lw), 330);
        QCOMPARE(dlg.OuterHeight(), 2250);
        QCOMPARE(dlg.width(), vb::toPx(dlg.OuterWidth() - 90));
        const double c = (dlg.OuterWidth() - 90 - 960) / 2.0 + 1005;
        QCOMPARE(dlg.Cmd_OK->Left(), onGrid(c - 1215 - 120));
        QCOMPARE(dlg.Cmd_Cancel->Left(), onGrid(c + 120));
        // Half the growth in width.
        QVERIFY(std::abs((dlg.Cmd_Cancel->Left() - 3000) - (dlg.OuterWidth() - 4800) / 2) <= 15);
        dlg.Unload();
    }

    void threeLineMessageMakesTheDialogTaller()
    {
        Frm_MsgFrm dlg;
        dlg.Prepare(QStringLiteral("第一行\r\n第二行\r\n提示：该操作不撤销！"), QStringLiteral("!"),
                    QStringLiteral("提示"));
        const int lh = dlg.Lbl_Message->Height();
        QVERIFY(lh > 585);
        QCOMPARE(dlg.Lbl_Message->Caption(), QStringLiteral("第一行\r\n第二行\r\n提示：该操作不撤销！"));
        const int h = 240 + lh + 480 + 240 + 375 + 240;
        QCOMPARE(dlg.OuterHeight(), h);
        QCOMPARE(dlg.OuterWidth(), 4800);
        QCOMPARE(dlg.Cmd_OK->Top(), onGrid(h - 480 - 375 - 240));
        QVERIFY(dlg.Cmd_OK->Top() > 1155);
        // The band runs the full client height.
        QCOMPARE(dlg.Pic_TltleBar->Height(), vb::toTwips(vb::toPx(h - 480)));
        dlg.Unload();

        // Two short lines still fit the design height.
        Frm_MsgFrm two;
        two.Prepare(QStringLiteral("一\r\n二"), QStringLiteral("!"), QString());
        QCOMPARE(two.OuterHeight(), 2250);
        QCOMPARE(two.Caption(), Frm_MsgFrm::AppTitle());
        two.Unload();
    }

    // However long the text, the dialog stays within the screen's available
    // area: wrapped where a line may break, an unbroken run cut in its middle
    // with "…", lines beyond the screen's height left out; the whole text is
    // kept for copying.
    void aLongMessageFitsTheScreen_data()
    {
        QTest::addColumn<QString>("msg");
        QTest::addColumn<bool>("cut");
        const QString path = QStringLiteral("/srv/library/") + QString(600, QLatin1Char('x')) + QStringLiteral(".db");
        QTest::newRow("unbroken run") << QStringLiteral("01e300") + QString(3000, QLatin1Char('0')) << true;
        QTest::newRow("many words") << QStringLiteral("column value out of range ").repeated(120) << false;
        QTest::newRow("chinese sentence") << QStringLiteral("数据库文件不存在或拒绝访问，").repeated(150) << false;
        QTest::newRow("a path in a sentence")
            << QStringLiteral("无法打开数据库文件 ") + path + QStringLiteral(" ：权限不足") << true;
        QString lines;
        for (int i = 1; i <= 400; ++i) lines += QStringLiteral("第%1行\r\n").arg(i);
        QTest::newRow("many lines") << lines << true;
    }
    void aLongMessageFitsTheScreen()
    {
        QFETCH(QString, msg);
        QFETCH(bool, cut);
        const QRect area = Frm_MsgFrm::ScreenArea();
        QVERIFY(area.isValid());
        Frm_MsgFrm dlg;
        dlg.Prepare(msg, QStringLiteral("x"), QStringLiteral("错误"));
        QVERIFY2(dlg.OuterWidth() <= vb::toTwips(area.width()), qPrintable(QString::number(dlg.OuterWidth())));
        QVERIFY2(dlg.OuterHeight() <= vb::toTwips(area.height()), qPrintable(QString::number(dlg.OuterHeight())));
        QVERIFY(area.contains(QRect(dlg.pos(), QSize(vb::toPx(dlg.OuterWidth()), vb::toPx(dlg.OuterHeight())))));
        // The text lies inside the dialog, the button below it.
        const QRect text(dlg.Lbl_Message->pos(), dlg.Lbl_Message->size());
        QVERIFY(dlg.rect().contains(text));
        QVERIFY(dlg.Cmd_OK->y() >= text.bottom());
        QVERIFY(dlg.rect().contains(QRect(dlg.Cmd_OK->pos(), dlg.Cmd_OK->size())));
        QCOMPARE(dlg.Lbl_Message->Caption().contains(QStringLiteral("…")), cut);
        QCOMPARE(dlg.MessageText(), msg);
        dlg.Unload();
    }

    void theWholeMessageCanBeCopied()
    {
        const QString msg = QStringLiteral("第一行\r\n") + QString(4000, QLatin1Char('W'));
        QGuiApplication::clipboard()->clear();
        QString shown;
        whenDialogShows([&](Frm_MsgFrm *dlg) {
            shown = dlg->Lbl_Message->Caption();
            QTest::keyClick(dlg->Pic_TltleBar.peek(), Qt::Key_C, Qt::ControlModifier);
            clickButton(dlg->Cmd_OK.peek());
        });
        QCOMPARE(ShowMsgBox(msg, QStringLiteral("x"), QStringLiteral("错误")), 1);
        QVERIFY(shown.contains(QStringLiteral("…")));
        QCOMPARE(QGuiApplication::clipboard()->text(), msg);
    }

    void iconsFollowTheCode()
    {
        QVERIFY(
            Frm_MsgFrm::IconFile(QStringLiteral("?")).endsWith(QStringLiteral("Images/Picture/MsgBox_Question.ico")));
        QVERIFY(Frm_MsgFrm::IconFile(QStringLiteral("x")).endsWith(QStringLiteral("Images/Picture/MsgBox_Error.ico")));
        QVERIFY(
            Frm_MsgFrm::IconFile(QStringLiteral("!")).endsWith(QStringLiteral("Images/Picture/MsgBox_Caution.ico")));
        QVERIFY(Frm_MsgFrm::IconFile(QString()).endsWith(QStringLiteral("MsgBox_Caution.ico")));
        for (const QString &icon : {QStringLiteral("?"), QStringLiteral("x"), QStringLiteral("!")}) {
            Frm_MsgFrm dlg;
            dlg.Prepare(QStringLiteral("m"), icon, QStringLiteral("t"));
            const QImage shown = dlg.Pic_TBarSymbol->Picture().toImage();
            QVERIFY2(!shown.isNull(), qPrintable(icon));
            const QImage file(Frm_MsgFrm::IconFile(icon));
            QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32).pixel(16, 16),
                     file.convertToFormat(QImage::Format_ARGB32).pixel(16, 16));
            dlg.Unload();
        }
    }

    void missingIconStillAsksTheUser()
    {
        const QString saved = AppPath;
        AppPath = QStringLiteral("/nonexistent/");
        int result = -1;
        bool noPicture = false;
        whenDialogShows([&](Frm_MsgFrm *dlg) {
            noPicture = dlg->Pic_TBarSymbol->Picture().isNull();
            clickButton(dlg->Cmd_Cancel.peek());
        });
        result = ShowMsgBox(QStringLiteral("删除？"), QStringLiteral("?"), QStringLiteral("删除读者"));
        AppPath = saved;
        QCOMPARE(result, 2);
        QVERIFY(noPicture);
    }

    void realDialogAnswersOkAndCancel()
    {
        QString caption, text;
        whenDialogShows([&](Frm_MsgFrm *dlg) {
            caption = dlg->Caption();
            text = dlg->Lbl_Message->Caption();
            clickButton(dlg->Cmd_OK.peek());
        });
        QCOMPARE(ShowMsgBox(QStringLiteral("确定删除？"), QStringLiteral("?"), QStringLiteral("删除图书")), 1);
        QCOMPARE(caption, QStringLiteral("删除图书"));
        QCOMPARE(text, QStringLiteral("确定删除？"));

        whenDialogShows([](Frm_MsgFrm *dlg) { clickButton(dlg->Cmd_Cancel.peek()); });
        QCOMPARE(ShowMsgBox(QStringLiteral("确定删除？"), QStringLiteral("?"), QStringLiteral("删除图书")), 2);

        whenDialogShows([](Frm_MsgFrm *dlg) { clickButton(dlg->Cmd_OK.peek()); });
        QCOMPARE(ShowMsgBox(QStringLiteral("已保存"), QStringLiteral("!"), QStringLiteral("提示")), 1);
        QTRY_VERIFY(!qobject_cast<Frm_MsgFrm *>(QApplication::activeModalWidget()));
    }

    void enterOnTheBandAnswersOkAlsoForAQuestion()
    {
        bool bandHadKeyboard = false;
        whenDialogShows([&](Frm_MsgFrm *dlg) {
            bandHadKeyboard = QTest::qWaitFor([dlg] { return dlg->Pic_TltleBar->hasFocus(); }, 2000);
            QTest::keyClick(dlg->Pic_TltleBar.peek(), Qt::Key_Return);
        });
        QCOMPARE(ShowMsgBox(QStringLiteral("继续？"), QStringLiteral("?"), QStringLiteral("问题")), 1);
        QVERIFY(bandHadKeyboard);
    }

    void usersCloseIsRefusedAndCloseByCodeGoesThrough()
    {
        bool stayedOpen = false;
        whenDialogShows([&](Frm_MsgFrm *dlg) {
            QCloseEvent ev;
            QSpontaneKeyEvent::setSpontaneous(&ev);
            qApp->notify(dlg, &ev);
            stayedOpen = !ev.isAccepted() && dlg->isVisible() && dlg->IsLoaded();
            // A second attempt through the window's own close path is refused as well.
            QCloseEvent again;
            QSpontaneKeyEvent::setSpontaneous(&again);
            qApp->notify(dlg, &again);
            stayedOpen = stayedOpen && dlg->isVisible();
            clickButton(dlg->Cmd_Cancel.peek());
        });
        QCOMPARE(ShowMsgBox(QStringLiteral("删除？"), QStringLiteral("?"), QStringLiteral("删除读者")), 2);
        QVERIFY(stayedOpen);

        // Closed by code without an answer: a notice gives 0, a question counts as declined.
        whenDialogShows([](Frm_MsgFrm *dlg) { dlg->close(); });
        QCOMPARE(ShowMsgBox(QStringLiteral("注意"), QStringLiteral("!"), QStringLiteral("提示")), 0);
        whenDialogShows([](Frm_MsgFrm *dlg) { dlg->close(); });
        QCOMPARE(ShowMsgBox(QStringLiteral("删除？"), QStringLiteral("?"), QStringLiteral("删除读者")), 2);
    }

    void aMessageDuringAnotherIsASecondDialog()
    {
        QPointer<Frm_MsgFrm> first;
        QPointer<Frm_MsgFrm> second;
        int inner = -1;
        whenDialogShows([&](Frm_MsgFrm *dlg) {
            first = dlg;
            whenDialogShows(
                [&](Frm_MsgFrm *dlg2) {
                    second = dlg2;
                    clickButton(dlg2->Cmd_Cancel.peek());
                },
                dlg);
            inner = ShowMsgBox(QStringLiteral("二"), QStringLiteral("?"), QStringLiteral("二"));
            clickButton(dlg->Cmd_OK.peek());
        });
        QCOMPARE(ShowMsgBox(QStringLiteral("一"), QStringLiteral("!"), QStringLiteral("一")), 1);
        QCOMPARE(inner, 2);
        QVERIFY(first.data() != second.data());
    }

    void hookRecordsAndAnswers()
    {
        QStringList seen;
        SetMsgBoxHook([&](const QString &m, const QString &i, const QString &t) {
            seen << m << i << t;
            return 2;
        });
        QCOMPARE(ShowMsgBox(QStringLiteral("问"), QStringLiteral("?"), QStringLiteral("题")), 2);
        QCOMPARE(seen, (QStringList{"问", "?", "题"}));
        QVERIFY(!QApplication::activeModalWidget());
    }

    // A caught error reads as its description: a database error's own text, any
    // other error's text decoded as UTF-8; a question holds unless cancelled.
    void caughtErrorsAndQuestions()
    {
        QStringList seen;
        int answer = 1;
        SetMsgBoxHook([&](const QString &m, const QString &i, const QString &t) {
            seen << m << i << t;
            return answer;
        });
        ShowError(ado::Error(QStringLiteral("找不到表 [ 读者档案 ]")));
        ShowError(std::out_of_range("下标越界"));
        QCOMPARE(seen, (QStringList{"找不到表 [ 读者档案 ]", "x", "错误", "下标越界", "x", "错误"}));

        seen.clear();
        QVERIFY(AskQuestion(QStringLiteral("继续？"), QStringLiteral("问题")));
        QCOMPARE(seen, (QStringList{"继续？", "?", "问题"}));
        answer = 0;  // anything but Cancel confirms, as the questions before a deletion always did
        QVERIFY(AskQuestion(QStringLiteral("继续？"), QStringLiteral("问题")));
        answer = 2;
        QVERIFY(!AskQuestion(QStringLiteral("继续？"), QStringLiteral("问题")));
    }
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
