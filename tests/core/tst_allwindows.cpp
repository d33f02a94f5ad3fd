// Every window the main window reaches opens, lays itself out at the smallest
// and a large size, and closes again, for a user with every permission and for
// one with none; the refused working windows show the red refusal.
#include "CoreTestHelpers.h"
#include "catalogue/BookForms.h"
#include "catalogue/Frm_BookAdd.h"
#include "catalogue/Frm_BookDamageItem.h"
#include "catalogue/Frm_ReaderAdd.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "core/AdminForms.h"
#include "core/ChildFormSwitch.h"
#include "core/ChildListForm.h"
#include "core/Frm_About.h"
#include "core/Frm_AccountAdd.h"
#include "core/Frm_DBClear.h"
#include "core/Frm_FindPassword.h"
#include "core/Frm_LockApp.h"
#include "core/Frm_Login.h"
#include "core/Frm_Main.h"
#include "core/Frm_MsgFrm.h"
#include "core/Frm_SwapUser.h"
#include "core/SessionDialogs.h"
#include "support/LiveObjects.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
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

    // Where every named control of a window stands, by its path of names.
    static QMap<QString, QRect> placesOf(vb::Form *w)
    {
        QMap<QString, QRect> places;
        for (QWidget *c : w->findChildren<QWidget *>()) {
            const QString name = c->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || name.startsWith(QLatin1String("__")))
                continue;
            QString path = name;
            for (QWidget *p = c->parentWidget(); p && p != w; p = p->parentWidget())
                if (!p->objectName().isEmpty()) path.prepend(p->objectName() + QLatin1Char('/'));
            places.insert(path, QRect(c->mapTo(w, QPoint(0, 0)), c->size()));
        }
        return places;
    }

    // With every permission, no window says anything on opening, also on a
    // library that holds nothing yet (the session's fresh database).
    void openAndCloseEach(bool permitted, const MsgLog &log)
    {
        Frm_Main &m = main();
        m.Show(vb::vbModeless);
        for (const Target &t : targets()) {
            const int said = log.count();
            (m.*t.open)();
            QCoreApplication::processEvents();
            if (permitted)
                QVERIFY2(log.count() == said,
                         qPrintable(QString::fromLatin1(t.className) + QStringLiteral(": ") + log.last().text));
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

    // The controls of a window that Tab stops at but that answer no key.
    static QStringList deadStops(QWidget *root)
    {
        QStringList dead;
        for (QWidget *w : root->findChildren<QWidget *>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(root) || !w->isEnabled()) continue;
            if (w->focusProxy()) continue;  // the keyboard goes on to its proxy
            if (qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractButton *>(w)
                || qobject_cast<QAbstractItemView *>(w) || qobject_cast<XButton *>(w))
                continue;
            if (auto *c = qobject_cast<FCombo *>(w->parentWidget()); c && c->face() == w && !c->EnabledText()) continue;
            if (auto *pic = qobject_cast<vb::PictureBox *>(w); pic && pic->AnswersKeys()) continue;
            QString path = w->objectName();
            for (QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget())
                if (!p->objectName().isEmpty()) path.prepend(p->objectName() + QLatin1Char('/'));
            dead << path + QStringLiteral(" (") + QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(')');
        }
        return dead;
    }

private slots:
    // Tab stops only where the keyboard can do something: text boxes, buttons,
    // check and option boxes, lists and pick-only combo boxes.
    void noWindowHasADeadFocusStop()
    {
        Session s;
        MsgLog log;
        Frm_Main &m = main();
        m.Show(vb::vbModeless);
        QCoreApplication::processEvents();
        QStringList dead;
        for (const Target &t : targets()) {
            (m.*t.open)();
            QCoreApplication::processEvents();
            vb::Form *child = ChildForm(QString::fromLatin1(t.className));
            QVERIFY2(child, t.className);
            for (const QString &d : deadStops(child)) dead << QString::fromLatin1(t.className) + QLatin1Char(' ') + d;
            CloseChildForm(child);
            QCoreApplication::processEvents();
        }
        for (const QString &d : deadStops(&m)) dead << QStringLiteral("Frm_Main ") + d;
        // The dialogs, loaded as their openers load them.
        const QList<vb::Form *> dialogs{
            &vb::Default<Frm_About>(),        &vb::Default<Frm_AccountAdd>(),     &vb::Default<Frm_DBClear>(),
            &vb::Default<Frm_FindPassword>(), &vb::Default<Frm_LockApp>(),        &vb::Default<Frm_SwapUser>(),
            &vb::Default<Frm_BookAdd>(),      &vb::Default<Frm_BookDamageItem>(), &vb::Default<Frm_ReaderAdd>(),
            &vb::Default<Frm_MsgFrm>(),       &vb::Default<Frm_Login>()};
        for (vb::Form *d : dialogs) {
            d->Load();
            for (const QString &stop : deadStops(d)) dead << d->ClassName() + QLatin1Char(' ') + stop;
            d->Unload();
        }
        m.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(dead.isEmpty(), qPrintable(dead.join(QLatin1Char('\n'))));
    }

    // The window object outlives its unload; opened again in a main window of
    // the same size it gets no resize from the window system, and still every
    // control must stand where the first opening put it.
    void everyWindowIsLaidOutAgainWhenOpenedAgain()
    {
        Session s;
        MsgLog log;
        Frm_Main &m = main();
        m.Show(vb::vbModeless);
        m.resize(1500, 950);
        QCoreApplication::processEvents();
        for (const Target &t : targets()) {
            (m.*t.open)();
            QCoreApplication::processEvents();
            vb::Form *child = ChildForm(QString::fromLatin1(t.className));
            QVERIFY2(child, t.className);
            const QMap<QString, QRect> first = placesOf(child);
            QVERIFY2(!first.isEmpty(), t.className);
            CloseChildForm(child);
            QCoreApplication::processEvents();
            (m.*t.open)();
            QCoreApplication::processEvents();
            const QMap<QString, QRect> second = placesOf(child);
            for (auto it = first.cbegin(); it != first.cend(); ++it) {
                const QString what = QString::fromLatin1(t.className) + QLatin1Char(' ') + it.key();
                QVERIFY2(second.contains(it.key()), qPrintable(what));
                QVERIFY2(second.value(it.key()) == it.value(),
                         qPrintable(what
                                    + QStringLiteral(": %1,%2 %3x%4 the first time, %5,%6 %7x%8 the second")
                                          .arg(it.value().x())
                                          .arg(it.value().y())
                                          .arg(it.value().width())
                                          .arg(it.value().height())
                                          .arg(second.value(it.key()).x())
                                          .arg(second.value(it.key()).y())
                                          .arg(second.value(it.key()).width())
                                          .arg(second.value(it.key()).height())));
            }
            CloseChildForm(child);
            QCoreApplication::processEvents();
        }
        m.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

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
        openAndCloseEach(true, log);
    }

    void everyWindowWithoutPermissions()
    {
        Session s(QStringLiteral("clerk"));
        s.db.exec({QStringLiteral("INSERT 账户类型 VALUES ('无权限', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)"),
                   QStringLiteral("INSERT 账户 VALUES ('clerk', 'pw', '职员', 'x', '无权限', Null, '正常')")});
        MsgLog log;
        openAndCloseEach(false, log);
    }

    // A desk stays open all day: opening and closing every window again and
    // again leaves no more objects alive than the first time did. (Closing the
    // main window closes the connection: each round logs in anew.)
    void windowsOpenedAllDayLeaveNothingBehind()
    {
        MsgLog log;
        {
            Session s;
            openAndCloseEach(true, log);  // what is made once and kept: default instances, style caches
        }
        testsupport::LiveObjects live;
        const int widgets = live.widgets();
        for (int round = 1; round <= 5; ++round) {
            Session s;
            openAndCloseEach(true, log);
            QVERIFY2(live.count() == 0,
                     qPrintable(QStringLiteral("round %1: %2 objects more").arg(round).arg(live.count())));
            QCOMPARE(live.widgets(), widgets);
        }
    }
};

QTEST_MAIN(TestAllWindows)
#include "tst_allwindows.moc"
