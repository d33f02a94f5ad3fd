// A monkey at the desk: the program logged in through its login window, then
// thousands of random events (menu picks, F-keys, clicks and double clicks on
// whatever control is showing, typed hostile text and known keys, Enter,
// Escape, Tab, Delete, arrows, combo choices, a window's frame closed), every
// message box answered at random and the file dialog answered through its
// seam. Nothing may crash or hang, and what must hold of the data holds
// afterwards.
//
// LIBRARY_MONKEY_SECONDS sets how long it plays (default 100), and
// LIBRARY_MONKEY_SEED the seed (default 2024). A watchdog ends the run with
// the last event when one event takes more than a minute.
#include "catalogue/BookForms.h"
#include "catalogue/Frm_ReaderDeposit.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "controls/XButton.h"
#include "core/AdminForms.h"
#include "core/ChildFormSwitch.h"
#include "core/CoreTestHelpers.h"
#include "core/Frm_LockApp.h"
#include "core/Frm_Login.h"
#include "core/Frm_Main.h"
#include "core/Frm_SwapUser.h"
#include "core/SessionDialogs.h"
#include "robust/RobustFixture.h"
#include "tools/Invariants.h"
#include "ui/Grid.h"
#include "ui/ListView.h"
#include "ui/Menu.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

using namespace robustfix;

namespace {

// What the monkey types: hostile texts, and keys the data holds, so that now
// and then a lending, a return or a deposit goes through.
QStringList vocabulary()
{
    return {QStringLiteral("O'Brien's ''"),
            QStringLiteral("\"引号\""),
            QStringLiteral("C:\\tmp\\"),
            QStringLiteral("100%_"),
            QStringLiteral("📚😀"),
            QStringLiteral("  空格  "),
            QStringLiteral("'; DELETE FROM 读者档案; --"),
            QStringLiteral("*= TOP 5"),
            QStringLiteral("2024-02-30"),
            QStringLiteral("-1"),
            QStringLiteral("99999999"),
            QStringLiteral("0.5"),
            QStringLiteral("3"),
            QStringLiteral("R001"),
            QStringLiteral("R002"),
            QStringLiteral("R003"),
            QStringLiteral("R004"),
            QStringLiteral("B001"),
            QStringLiteral("B002"),
            QStringLiteral("B003"),
            QStringLiteral("B004"),
            QStringLiteral("B005"),
            QStringLiteral("C001"),
            QStringLiteral("978-1"),
            QStringLiteral("978-2"),
            QStringLiteral("admin"),
            QStringLiteral("学生"),
            QStringLiteral("人民出版社"),
            QStringLiteral("2024-03-01")};
}

// Texts only pasted: too long to type, or not typeable.
QStringList pastes()
{
    return {QString(10000, QLatin1Char('\'')), QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
            QString(300, QChar(0x4E66))};
}

// The names of the controls a user acts on.
bool actsOn(const QWidget *w)
{
    const QString n = w->objectName();
    for (const char *p : {"Cmd_", "Chk_", "Opt_", "Cmb_", "Txt_", "Lbl_", "Pic_Logo", "Grid_", "Lst_"})
        if (n.startsWith(QLatin1String(p))) return true;
    return false;
}

class Monkey : public QObject {
public:
    Monkey(quint32 seed, qint64 ms, testsupport::TempDb &db) : m_rng(seed), m_ms(ms), m_db(db) { }

    int events() const { return m_events; }
    const std::map<QString, int> &kinds() const { return m_kinds; }
    QString endedEarly() const { return m_endedEarly; }
    // Windows met waiting for the user while a transaction was open (another
    // desk would wait on them).
    const QStringList &waitsInTransaction() const { return m_waits; }
    void checkNoTransaction(const QString &what)
    {
        if (SQLConn().State() == ado::adStateOpen && SQLConn().InTransaction()) m_waits << what;
    }

    void run()
    {
        QEventLoop loop;
        m_loop = &loop;
        m_clock.start();
        std::atomic<bool> done{false};
        // A minute without an event finished: stuck (a modal nothing can
        // answer, a loop that never ends). Say where, and end the run.
        std::thread watchdog([this, &done] {
            int seen = -1;
            auto since = std::chrono::steady_clock::now();
            while (!done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                const int now = m_progress.load();
                if (now != seen) {
                    seen = now;
                    since = std::chrono::steady_clock::now();
                } else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(60)) {
                    std::lock_guard<std::mutex> lock(m_lastMutex);
                    std::fprintf(stderr, "FAIL: the monkey is stuck at event %d: %s\n", now, m_last.c_str());
                    std::fflush(stderr);
                    std::_Exit(3);
                }
            }
        });
        QTimer::singleShot(0, this, [this] { step(); });
        loop.exec();
        done = true;
        watchdog.join();
    }

private:
    QRandomGenerator m_rng;
    qint64 m_ms;
    testsupport::TempDb &m_db;
    QElapsedTimer m_clock;
    QEventLoop *m_loop = nullptr;
    int m_events = 0;
    std::atomic<int> m_progress{0};
    std::map<QString, int> m_kinds;
    std::mutex m_lastMutex;
    std::string m_last;
    QString m_endedEarly;
    QStringList m_waits;
    QPointer<QWidget> m_modal;  // the modal window met last, and for how many events
    int m_modalEvents = 0;

    int below(int n) { return n <= 1 ? 0 : int(m_rng.bounded(quint32(n))); }
    template <class T> const T &any(const QList<T> &list) { return list.at(below(int(list.size()))); }
    bool chance(int percent) { return below(100) < percent; }

    void note(const QString &kind, const QString &what)
    {
        ++m_kinds[kind];
        std::lock_guard<std::mutex> lock(m_lastMutex);
        m_last = (kind + QStringLiteral(": ") + what).left(300).toStdString();
    }

    // Each event is posted before the one now acted on: an event that opens
    // a modal window runs the next ones inside the window's own loop.
    void step()
    {
        if (m_clock.elapsed() >= m_ms || !m_endedEarly.isEmpty()) {
            finish();
            return;
        }
        QTimer::singleShot(0, this, [this] { step(); });
        ++m_events;
        act();
        m_progress = m_events;
    }

    // Closes whatever is still open over the main window, then ends the run.
    void finish()
    {
        if (QWidget *p = QApplication::activePopupWidget()) {
            p->close();
        } else if (QWidget *m = QApplication::activeModalWidget()) {
            if (auto *f = qobject_cast<vb::Form *>(m))
                f->Unload();
            else
                m->close();
        } else {
            m_loop->quit();
            return;
        }
        QTimer::singleShot(0, this, [this] { finish(); });
    }

    // ---------------------------------------------------------------- where

    static bool visibleForm(const char *name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == QLatin1String(name)) return true;
        return false;
    }

    // The window the next event goes to: an open popup list, the modal window
    // on top, else the main window, the lock screen or the login window.
    QWidget *target()
    {
        if (QWidget *m = QApplication::activeModalWidget()) return m;
        Frm_Main &main = vb::Default<Frm_Main>();
        if (main.isVisible()) return &main;
        if (vb::Default<Frm_LockApp>().isVisible()) return &vb::Default<Frm_LockApp>();
        return &vb::Default<Frm_Login>();
    }

    QList<QWidget *> controls(QWidget *top)
    {
        QList<QWidget *> out;
        for (QWidget *w : top->findChildren<QWidget *>()) {
            if (!actsOn(w) || !w->isVisibleTo(top) || !w->isEnabled() || w->width() < 2 || w->height() < 2) continue;
            // Only the window's own: not those of a window shown inside it.
            QWidget *owner = w->parentWidget();
            while (owner && owner != top && !qobject_cast<vb::Form *>(owner)) owner = owner->parentWidget();
            if (owner == top || (owner && owner->isVisibleTo(top))) out << w;
        }
        return out;
    }

    // ---------------------------------------------------------------- what

    void act()
    {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            // An open list: an item chosen, or closed again.
            const int key = chance(60) ? Qt::Key_Down : chance(50) ? Qt::Key_Return : Qt::Key_Escape;
            note(QStringLiteral("popup key"), popup->metaObject()->className());
            QTest::keyClick(popup, Qt::Key(key));
            return;
        }
        QWidget *top = target();
        if (QApplication::activeModalWidget()) checkNoTransaction(top->objectName());
        if (auto *f = qobject_cast<vb::Form *>(top); f && !f->isVisible()) f->Show();
        if (QApplication::activeWindow() != top) QApplication::setActiveWindow(top);

        // Windows that ask for a password: the clerk knows it, now and then.
        if (top == &vb::Default<Frm_Login>() && chance(30)) return logIn();
        if (top == &vb::Default<Frm_LockApp>() && chance(30)) return unlock();
        if (qobject_cast<Frm_SwapUser *>(top) && chance(10)) return swapUser(static_cast<Frm_SwapUser *>(top));

        // A modal window met for long is closed: the monkey is not to live in it.
        if (QApplication::activeModalWidget() == top) {
            if (m_modal != top) {
                m_modal = top;
                m_modalEvents = 0;
            }
            if (++m_modalEvents > 60) return closeModal(top);
        }

        const int roll = below(100);
        if (roll < 3 && top == &vb::Default<Frm_Main>()) return routine();
        if (roll < 8 && top == &vb::Default<Frm_Main>()) return pickMenu();
        if (roll < 13) return functionKey(top);
        if (roll < 48) return click(top, false);
        if (roll < 53) return click(top, true);
        if (roll < 68) return typeText(top);
        if (roll < 76) return chooseItem(top);
        if (roll < 96) return key(top);
        // The main window's frame closed ends the session (the login window
        // comes again): now and then only, so that a session lasts a while.
        if (roll < 98 && (top != &vb::Default<Frm_Main>() || chance(10))) return frameClose(top);
        return resize(top);
    }

    // Now and then the monkey does a clerk's day work, by keys and clicks:
    // books lent, a book returned, money paid in. The chaos around it then
    // meets real loans.
    void routine()
    {
        Frm_Main &main = vb::Default<Frm_Main>();
        const auto typeAndEnter = [](FTextBox *box, const QString &text) {
            box->textBox()->setFocus();
            box->textBox()->selectAll();
            QTest::keyClicks(box->textBox(), text);
            QTest::keyClick(box->textBox(), Qt::Key_Return);
        };
        switch (below(3)) {
        case 0: {
            note(QStringLiteral("routine"), QStringLiteral("lend"));
            QTest::keyClick(&main, Qt::Key_F1);
            Frm_BorrowBook &w = vb::Default<Frm_BorrowBook>();
            if (!w.IsLoaded() || !w.Txt_RID->isVisible()) return;
            typeAndEnter(w.Txt_RID.get(), QStringLiteral("R00%1").arg(1 + below(4)));
            for (int i = 0, n = 1 + below(3); i < n && w.IsLoaded(); ++i)
                typeAndEnter(w.Txt_BID.get(), QStringLiteral("B00%1").arg(1 + below(7)));
            if (w.IsLoaded()) clickButton(w.Cmd_OK.get());
            break;
        }
        case 1: {
            note(QStringLiteral("routine"), QStringLiteral("return"));
            QTest::keyClick(&main, Qt::Key_F2);
            Frm_ReturnBook &w = vb::Default<Frm_ReturnBook>();
            if (!w.IsLoaded() || !w.Grid_ShowData->isVisible()) return;
            QTableView *view = w.Grid_ShowData->view();
            const int rows = view->model()->rowCount();
            if (rows < 1) return;
            const QRect cell = view->visualRect(view->model()->index(below(rows), 1));
            if (cell.isValid()) QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            break;
        }
        default: {
            note(QStringLiteral("routine"), QStringLiteral("deposit"));
            main.Menu_DataMag_ReaderDeposit_Click();
            Frm_ReaderDeposit &w = vb::Default<Frm_ReaderDeposit>();
            if (!w.IsLoaded() || !w.Cmd_Deposit->isVisible()) return;
            clickButton(w.Cmd_Deposit.get());
            if (!w.IsLoaded()) return;
            typeAndEnter(w.Txt_RID.get(), QStringLiteral("R00%1").arg(1 + below(4)));
            if (w.IsLoaded()) typeAndEnter(w.Txt_Cash.get(), QString::number(1 + below(50)));
            break;
        }
        }
    }

    void pickMenu()
    {
        QList<vb::MenuItem *> items;
        for (vb::MenuItem *m : vb::Default<Frm_Main>().findChildren<vb::MenuItem *>())
            if (m->action() && !m->action()->isSeparator() && m->action()->isEnabled() && m->Visible()) items << m;
        if (items.isEmpty()) return;
        vb::MenuItem *m = any(items);
        note(QStringLiteral("menu"), m->objectName());
        m->action()->trigger();
    }

    void functionKey(QWidget *top)
    {
        const int f = below(6);
        const Qt::KeyboardModifiers mod = chance(20) ? Qt::ControlModifier : Qt::NoModifier;
        note(QStringLiteral("F-key"),
             QStringLiteral("F%1%2").arg(f + 1).arg(mod ? QStringLiteral("+Ctrl") : QString()));
        QTest::keyClick(top, Qt::Key(Qt::Key_F1 + f), mod);
    }

    void click(QWidget *top, bool twice)
    {
        const QList<QWidget *> all = controls(top);
        if (all.isEmpty()) return;
        QWidget *w = any(all);
        // The list views and grids take clicks on their rows.
        if (auto *g = qobject_cast<vb::Grid *>(w)) w = g->view()->viewport();
        if (auto *l = qobject_cast<vb::ListView *>(w)) w = l->view()->viewport();
        if (auto *c = qobject_cast<FCombo *>(w)) w = c->comboBox();
        if (auto *t = qobject_cast<FTextBox *>(w)) w = t->textBox();
        const QPoint at(1 + below(w->width() - 1), 1 + below(w->height() - 1));
        note(twice ? QStringLiteral("double click") : QStringLiteral("click"),
             w->objectName() + QLatin1Char('/') + QString::fromLatin1(w->metaObject()->className()));
        QPointer<QWidget> guard(w);
        // The pointer comes over it first: drawn buttons act on a press they hover.
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        if (!guard) return;
        if (twice)
            QTest::mouseDClick(w, Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(w, Qt::LeftButton, {}, at);
    }

    QLineEdit *anyTextBox(QWidget *top)
    {
        QList<QLineEdit *> boxes;
        for (QWidget *w : controls(top)) {
            if (auto *t = qobject_cast<FTextBox *>(w)) {
                if (t->textBox()->isEnabled() && !t->textBox()->isReadOnly()) boxes << t->textBox();
            } else if (auto *c = qobject_cast<FCombo *>(w)) {
                if (c->comboBox()->isEditable() && c->comboBox()->lineEdit()) boxes << c->comboBox()->lineEdit();
            }
        }
        return boxes.isEmpty() ? nullptr : any(boxes);
    }

    void typeText(QWidget *top)
    {
        QLineEdit *box = anyTextBox(top);
        if (!box) return;
        box->setFocus();
        if (chance(10)) {
            // Pasted: the program's own text setter, as a paste would put it.
            const QString text = any(pastes());
            note(QStringLiteral("paste"), box->parentWidget()->objectName());
            if (auto *t = qobject_cast<FTextBox *>(box->parentWidget()))
                t->setText(text);
            else
                box->setText(text);
            return;
        }
        const QString text = any(vocabulary());
        note(QStringLiteral("type"), box->parentWidget()->objectName() + QStringLiteral(" <- ") + text);
        if (chance(70)) box->selectAll();
        QPointer<QLineEdit> guard(box);
        for (const QChar ch : text) {
            if (!guard) return;
            if (ch.unicode() < 128)
                QTest::keyClick(box, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
        if (guard && chance(60)) QTest::keyClick(box, Qt::Key_Return);
    }

    void chooseItem(QWidget *top)
    {
        QList<FCombo *> combos;
        for (QWidget *w : controls(top))
            if (auto *c = qobject_cast<FCombo *>(w); c && c->ListCount() > 0) combos << c;
        if (combos.isEmpty()) return;
        FCombo *c = any(combos);
        const int i = below(c->ListCount());
        note(QStringLiteral("choose"), c->objectName() + QStringLiteral(" #") + QString::number(i));
        // As the user picks it from the list: the choice raises the combo's Click.
        c->setListIndex(i);
    }

    void key(QWidget *top)
    {
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,
                                       Qt::Key_Delete, Qt::Key_Up,     Qt::Key_Down,   Qt::Key_Backspace};
        const Qt::Key k = keys[below(int(std::size(keys)))];
        QWidget *to = QApplication::focusWidget();
        if (!to || to->window() != top) to = top;
        note(QStringLiteral("key"), QString::number(int(k), 16) + QStringLiteral(" to ") + to->objectName());
        QTest::keyClick(to, k);
    }

    void frameClose(QWidget *top)
    {
        note(QStringLiteral("frame close"), top->objectName());
        top->close();
    }

    void resize(QWidget *top)
    {
        note(QStringLiteral("resize"), top->objectName());
        top->resize(600 + below(1200), 400 + below(800));
    }

    void closeModal(QWidget *top)
    {
        m_modalEvents = 0;
        for (const char *name : {"Cmd_TBarClose", "Cmd_Close", "Cmd_GoBack", "Cmd_Cancel", "Cmd_OK"})
            if (auto *b = top->findChild<XButton *>(QLatin1String(name)); b && b->isVisibleTo(top)) {
                note(QStringLiteral("close modal"), top->objectName() + QLatin1Char('.') + QLatin1String(name));
                clickButton(b);
                return;
            }
        frameClose(top);
    }

    // ---------------------------------------------------------------- a clerk who knows the passwords

    // An account that can log in (name, password), read beside the program.
    std::pair<QString, QString> account(const QString &name = QString())
    {
        const QList<QStringList> rows = m_db.rows(QStringLiteral("SELECT 用户名, 密码 FROM 账户 ORDER BY 用户名"));
        QList<std::pair<QString, QString>> usable;
        for (const QStringList &r : rows)
            if (!r.value(1).isEmpty() && (name.isEmpty() || r.value(0).compare(name, Qt::CaseInsensitive) == 0))
                usable.append({r.value(0), r.value(1)});
        return usable.isEmpty() ? std::pair<QString, QString>() : any(usable);
    }

    void logIn()
    {
        Frm_Login &l = vb::Default<Frm_Login>();
        const auto [name, password] = account();
        if (name.isEmpty()) {
            m_endedEarly = QStringLiteral("no account left to log in with");
            return;
        }
        note(QStringLiteral("log in"), name);
        l.Txt_SQLServer->setText(m_db.server());
        l.Txt_SQLUID->setText(m_db.uid());
        l.Txt_SQLPassword->setText(m_db.pwd());
        l.Txt_SQLDB->setText(m_db.database());
        l.Cmb_UID->setText(name);
        l.Txt_Password->setText(password);
        l.Cmd_Login_Click();
    }

    void unlock()
    {
        Frm_LockApp &l = vb::Default<Frm_LockApp>();
        const QString password = account(CurUID).second;
        if (password.isEmpty()) {
            m_endedEarly = QStringLiteral("locked out: the account %1 is gone").arg(CurUID);
            return;
        }
        note(QStringLiteral("unlock"), CurUID);
        l.Txt_Password->setText(password);
        l.Cmd_Unlock_Click();
    }

    void swapUser(Frm_SwapUser *w)
    {
        const auto [name, password] = account();
        note(QStringLiteral("change user"), name);
        w->Cmb_UID->setText(name);
        w->Txt_Password->setText(password);
        w->Cmd_Change_Click();
    }
};

}  // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Frm_Main::SetEndHandler([] {});
        Frm_Login::SetExitHandler([] {});
        RegisterSessionDialogs();
        RegisterAdminForms();
        RegisterBookForms();
        RegisterLibraryForms();
        RegisterReaderForms();
        RegisterCirculationForms();
    }

    void thousandsOfRandomEvents()
    {
        const qint64 seconds = qEnvironmentVariableIsSet("LIBRARY_MONKEY_SECONDS")
                                   ? qEnvironmentVariableIntValue("LIBRARY_MONKEY_SECONDS")
                                   : 100;
        const quint32 seed = qEnvironmentVariableIsSet("LIBRARY_MONKEY_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("LIBRARY_MONKEY_SEED"))
                                 : 2024u;
        SharedDb db;
        QVERIFY(db.isOpen());
        agreeingFill();
        QVERIFY(CheckInvariants(SQLConn()).isEmpty());
        SQLConn().Close();

        // The program's folder: the settings files and the pictures; the
        // file dialog answers with a picture, a file that is none, or cancel.
        AppFolder app;
        app.write(QStringLiteral("Server.ini"), db.db.settings().toUtf8() + "\r\n");
        app.write(QStringLiteral("UIDList.ini"), "admin\r\n");
        AppPath = app.path;
        QRandomGenerator answers(seed ^ 0x5a5a5a5au);
        int asked = 0;
        Monkey *monkey = nullptr;
        SetMsgBoxHook([&](const QString &text, const QString &, const QString &) {
            ++asked;
            if (monkey) monkey->checkNoTransaction(QStringLiteral("message ") + text.left(40));
            return answers.bounded(2u) == 0 ? 1 : 2;
        });
        vb::CommonDialog::setHook([&](const vb::CommonDialog &, bool) {
            if (monkey) monkey->checkNoTransaction(QStringLiteral("file dialog"));
            const QString choices[] = {QString(),
                                       testsupport::resourcesDir() + QStringLiteral("Images/Picture/Zorv.jpg"),
                                       app.file(QStringLiteral("Server.ini"))};
            return choices[answers.bounded(3u)];
        });

        vb::Default<Frm_Login>().Show();
        Monkey theMonkey(seed, seconds * 1000, db.db);
        monkey = &theMonkey;
        theMonkey.run();
        monkey = nullptr;

        SetMsgBoxHook(nullptr);
        vb::CommonDialog::setHook(nullptr);
        QString kinds;
        for (const auto &[kind, n] : theMonkey.kinds()) kinds += QStringLiteral("%1 %2, ").arg(kind).arg(n);
        const QList<QStringList> loans = db.db.rows(QStringLiteral("SELECT COUNT(*), SUM(是否已还) FROM 图书借阅"));
        qInfo("seed %u: %d events in %lld s (%s%d messages answered); loans now %s, returned %s%s", seed,
              theMonkey.events(), seconds, qPrintable(kinds), asked, qPrintable(loans.value(0).value(0)),
              qPrintable(loans.value(0).value(1)),
              theMonkey.endedEarly().isEmpty()
                  ? ""
                  : qPrintable(QStringLiteral("; ended early: ") + theMonkey.endedEarly()));

        QVERIFY2(theMonkey.waitsInTransaction().isEmpty(),
                 qPrintable(theMonkey.waitsInTransaction().join(QLatin1Char('\n'))));
        const QStringList v = CheckInvariants(db.db.conn());
        QVERIFY2(v.isEmpty(), qPrintable(v.join(QLatin1Char('\n'))));
        QVERIFY(theMonkey.events() > 1000 || !theMonkey.endedEarly().isEmpty());

        // Leave as the program leaves.
        if (vb::Default<Frm_Main>().IsLoaded()) vb::Default<Frm_Main>().Unload();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<vb::Form *>(w); f && f->IsLoaded()) f->Unload();
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
