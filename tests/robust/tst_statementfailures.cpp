// A failure at every statement of every action that writes. Each action runs
// once on its own to learn the statements it sends; then, on a fresh copy of
// the same data, once per statement with that statement failed: the first,
// the second, ... up to its last write or its COMMIT. After each failure
//  - the data is exactly as before (two dumps of every table compared), or,
//    where the failed statement was a read the action can do without,
//    exactly as after the action's run without a failure: never in between;
//  - the window said so: a failed write or COMMIT shows the failure;
//  - the data's invariants hold and no transaction is left open;
//  - the same window, asked again without the failure, does the whole action
//    with the same messages as the run without a failure.
#include "catalogue/BookForms.h"
#include "catalogue/Frm_BookAdd.h"
#include "catalogue/Frm_BookDamage.h"
#include "catalogue/Frm_BookDamageItem.h"
#include "catalogue/Frm_BookInfo.h"
#include "catalogue/Frm_BookStore.h"
#include "catalogue/Frm_LabInfo.h"
#include "catalogue/Frm_PressInfo.h"
#include "catalogue/Frm_ReaderAdd.h"
#include "catalogue/Frm_ReaderDeposit.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "catalogue/Frm_ReaderType.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "core/AdminForms.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_AccountAdd.h"
#include "core/Frm_AccountLoginInfo.h"
#include "core/Frm_AccountMag.h"
#include "core/Frm_AccountType.h"
#include "core/Frm_DBClear.h"
#include "robust/RobustFixture.h"
#include "tools/Invariants.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>
#include <functional>

using namespace robustfix;

namespace {

// One action as a clerk does it.
struct Action {
    const char *name;
    std::function<void()> seed;     // data beyond the standard set
    std::function<void()> prepare;  // the window opened and filled in
    std::function<void()> attempt;  // the click that writes
    std::function<void()> close;    // the window closed again
    // What the window's failure message holds when it names neither the
    // failure's description nor the statement (empty: the description).
    QString failureNote;
};

bool isWrite(const QString &statement)
{
    const QString s = statement.trimmed().toUpper();
    for (const char *w : {"INSERT", "UPDATE", "DELETE", "COMMIT"})
        if (s.startsWith(QLatin1String(w))) return true;
    return false;
}

// Where two dumps part, for the failure's text.
QString firstDifference(const QString &a, const QString &b)
{
    const QStringList la = a.split(QLatin1Char('\n')), lb = b.split(QLatin1Char('\n'));
    for (int i = 0; i < qMax(la.size(), lb.size()); ++i)
        if (la.value(i) != lb.value(i))
            return QStringLiteral("before: %1\nnow:    %2").arg(la.value(i).left(200), lb.value(i).left(200));
    return QString();
}

// Data on which every clean-up option finds something to delete (no book is
// out: the options that would take away an open loan are not done).
void clearSeed()
{
    exec(QStringLiteral("INSERT 账户 VALUES ('old','p','离职','s','系统管理员',Null,'停用')"));
    exec(QStringLiteral("INSERT 账户登录 VALUES ('old','2024-03-01 08:00:00')"));
    exec(QStringLiteral("INSERT 账户登录 VALUES ('admin','2024-03-02 08:00:00')"));
    returnedLoan(QStringLiteral("240101090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
                 QStringLiteral("old"));
    returnedLoan(QStringLiteral("240101090000002"), QStringLiteral("B003"), QStringLiteral("R004"),
                 QStringLiteral("admin"));
    returnedLoan(QStringLiteral("240101090000003"), QStringLiteral("B004"), QStringLiteral("R002"),
                 QStringLiteral("admin"));
    for (int i = 1; i <= 3; ++i)
        exec(QStringLiteral("INSERT 图书损坏 VALUES('24012010000%1','24010109000000%1','破损',5,'')").arg(i));
    exec(QStringLiteral("INSERT 图书档案 VALUES ('978-9','无库存','作者','人民出版社','',1,0,'1')"));
    exec(QStringLiteral(
        "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('K001','978-2','2024-01-01 10:00:00','old')"));
    exec(QStringLiteral("INSERT 充值记录 VALUES ('240301000001','R001',50,'2024-03-01','old')"));
    exec(QStringLiteral("INSERT 充值记录 VALUES ('240301000002','R004',50,'2024-03-01','admin')"));
    exec(QStringLiteral("INSERT 充值记录 VALUES ('240301000003','R002',50,'2024-03-01','admin')"));
}

Action clearOption(const char *name, vb::Ctl<vb::CheckBox> Frm_DBClear::*box, std::function<void()> seed = clearSeed)
{
    return {name,
            std::move(seed),
            [box] {
                win<Frm_DBClear>().Show();
                (win<Frm_DBClear>().*box)->setValue(vb::vbChecked);
            },
            [] { win<Frm_DBClear>().Cmd_Clear_Click(); },
            [] { win<Frm_DBClear>().Unload(); },
            QStringLiteral("清理操作未全部完成")};
}

// The title editor over the titles list.
void openBookEditor(const QString &mode, const QString &isbn)
{
    showChild(win<Frm_BookInfo>());
    Frm_BookAdd &ed = win<Frm_BookAdd>();
    ed.Mode = mode;
    ed.BookISBN = isbn;
    ed.CallerForm = &win<Frm_BookInfo>();
    ed.Show();
    QCoreApplication::processEvents();
}
void bookCopies(const QStringList &numbers)
{
    Frm_BookAdd &ed = win<Frm_BookAdd>();
    ed.Txt_Num->setText(QString::number(numbers.size()));
    ed.runValidate(ed.Txt_Num.get());
    for (const QString &n : numbers) {
        ed.Txt_BookID->setText(n);
        QTest::keyClick(ed.Txt_BookID->textBox(), Qt::Key_Return);
    }
}
void closeBookEditor()
{
    if (win<Frm_BookAdd>().IsLoaded()) win<Frm_BookAdd>().Unload();
    closeList(win<Frm_BookInfo>());
}

QString g_logo;  // the picture the file dialog answers with

QList<Action> actions()
{
    return {
        {"lending three copies",
         {},
         [] {
             Frm_BorrowBook &w = win<Frm_BorrowBook>();
             showChild(w);
             typeInto(w.Txt_RID.get(), QStringLiteral("R001"));
             pressEnter(w.Txt_RID.get());
             for (const char *copy : {"B001", "B003", "B004"}) {
                 typeInto(w.Txt_BID.get(), QString::fromLatin1(copy));
                 pressEnter(w.Txt_BID.get());
             }
         },
         [] { win<Frm_BorrowBook>().Cmd_OK_Click(); },
         [] { closeList(win<Frm_BorrowBook>()); },
         {}},
        {"returning a loan",
         [] { loanOut(QStringLiteral("240301090000001"), QStringLiteral("B003"), QStringLiteral("R002")); },
         [] { showChild(win<Frm_ReturnBook>()); },
         [] {
             choose(win<Frm_ReturnBook>(), 0, QStringLiteral("240301090000001"));
             win<Frm_ReturnBook>().Cmd_ReturnSel_Click();
         },
         [] { closeList(win<Frm_ReturnBook>()); },
         {}},
        {"a deposit",
         {},
         [] {
             Frm_ReaderDeposit &w = win<Frm_ReaderDeposit>();
             showChild(w);
             w.Cmd_Deposit_Click();
             typeInto(w.Txt_RID.get(), QStringLiteral("R001"));
             pressEnter(w.Txt_RID.get());
             typeInto(w.Txt_Cash.get(), QStringLiteral("25.5"));
         },
         [] { win<Frm_ReaderDeposit>().Cmd_Save_Click(); },
         [] { closeList(win<Frm_ReaderDeposit>()); },
         {}},
        {"a new title with a new publisher and three copies",
         {},
         [] {
             openBookEditor(QStringLiteral("ADD_Book"), QString());
             Frm_BookAdd &ed = win<Frm_BookAdd>();
             ed.Txt_ISBN->setText(QStringLiteral("978-7"));
             ed.Txt_BookName->setText(QStringLiteral("新书"));
             ed.Txt_Writer->setText(QStringLiteral("作者丙"));
             ed.Cmb_Press->setText(QStringLiteral("新华出版社"));
             ed.Txt_Price->setText(QStringLiteral("12.5"));
             bookCopies({QStringLiteral("N001"), QStringLiteral("N002"), QStringLiteral("N003")});
         },
         [] { win<Frm_BookAdd>().Cmd_Add_Click(); },
         closeBookEditor,
         {}},
        {"copies added to a title",
         {},
         [] {
             openBookEditor(QStringLiteral("ADD_Store"), QStringLiteral("978-2"));
             bookCopies({QStringLiteral("N001"), QStringLiteral("N002")});
         },
         [] { win<Frm_BookAdd>().Cmd_Add_Click(); },
         closeBookEditor,
         {}},
        {"a title changed to a new publisher",
         {},
         [] {
             openBookEditor(QStringLiteral("MOD_Book"), QStringLiteral("978-1"));
             win<Frm_BookAdd>().Txt_BookName->setText(QStringLiteral("数据库原理（第二版）"));
             win<Frm_BookAdd>().Cmb_Press->setText(QStringLiteral("新华出版社"));
         },
         [] { win<Frm_BookAdd>().Cmd_Add_Click(); },
         closeBookEditor,
         {}},
        {"an account added",
         {},
         [] {
             showChild(win<Frm_AccountMag>());
             Frm_AccountAdd &ed = win<Frm_AccountAdd>();
             ed.Mode = QStringLiteral("ADD");
             ed.UID.clear();
             ed.CallerForm = &win<Frm_AccountMag>();
             ed.Show();
             ed.Txt_UID->setText(QStringLiteral("clerk"));
             ed.Txt_PWD->setText(QStringLiteral("pw"));
             ed.Txt_PWD2->setText(QStringLiteral("pw"));
             ed.Txt_Name->setText(QStringLiteral("职员"));
             ed.Txt_SubPWD->setText(QStringLiteral("sub"));
             pick(ed.Cmb_Type.get(), QStringLiteral("系统管理员"));
         },
         [] { win<Frm_AccountAdd>().Cmd_Add_Click(); },
         [] {
             if (win<Frm_AccountAdd>().IsLoaded()) win<Frm_AccountAdd>().Unload();
             closeList(win<Frm_AccountMag>());
         },
         {}},
        {"an account changed",
         {},
         [] {
             showChild(win<Frm_AccountMag>());
             Frm_AccountAdd &ed = win<Frm_AccountAdd>();
             ed.Mode = QStringLiteral("MOD");
             ed.UID = QStringLiteral("admin");
             ed.CallerForm = &win<Frm_AccountMag>();
             ed.Show();
             ed.Txt_Name->setText(QStringLiteral("管理员"));
             ed.Txt_PWD->setText(QStringLiteral("new"));
             ed.Txt_PWD2->setText(QStringLiteral("new"));
         },
         [] { win<Frm_AccountAdd>().Cmd_Add_Click(); },
         [] {
             if (win<Frm_AccountAdd>().IsLoaded()) win<Frm_AccountAdd>().Unload();
             closeList(win<Frm_AccountMag>());
         },
         {}},
        clearOption("clean-up: the login log", &Frm_DBClear::Chk_Acc_Login),
        clearOption("clean-up: disabled accounts with what they handled", &Frm_DBClear::Chk_Acc_Standby),
        clearOption("clean-up: returned loans", &Frm_DBClear::Chk_Brw_Return),
        // Its box ticks the damage records' too, an option of its own, done
        // or not apart from the loans': with no damage record left to delete,
        // what the failures reach is the loans' option alone.
        clearOption("clean-up: all loans", &Frm_DBClear::Chk_Brw_All,
                    [] {
                        clearSeed();
                        exec(QStringLiteral("DELETE FROM 图书损坏"));
                    }),
        clearOption("clean-up: damage records", &Frm_DBClear::Chk_Book_Damag),
        clearOption("clean-up: titles without copies", &Frm_DBClear::Chk_Book_NoStore),
        clearOption("clean-up: deposits", &Frm_DBClear::Chk_Reader_Dep),
        clearOption("clean-up: disabled readers with their records", &Frm_DBClear::Chk_Reader_Standby),
        {"a title deleted with its copies",
         {},
         [] { showChild(win<Frm_BookInfo>()); },
         [] {
             choose(win<Frm_BookInfo>(), 2, QStringLiteral("978-2"));
             win<Frm_BookInfo>().Cmd_Delete_Click();
         },
         [] { closeList(win<Frm_BookInfo>()); },
         {}},
        {"a copy deleted with the other copies of its title",
         {},
         [] { showChild(win<Frm_BookStore>()); },
         [] {
             choose(win<Frm_BookStore>(), 0, QStringLiteral("B004"));
             win<Frm_BookStore>().Cmd_Delete_Click();
         },
         [] { closeList(win<Frm_BookStore>()); },
         {}},
        {"a reader deleted",
         [] {
             returnedLoan(QStringLiteral("240101090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
                          QStringLiteral("admin"));
             exec(QStringLiteral("INSERT 充值记录 VALUES ('240301000001','R001',50,'2024-03-01','admin')"));
         },
         [] { showChild(win<Frm_ReaderDoc>()); },
         [] {
             choose(win<Frm_ReaderDoc>(), 0, QStringLiteral("R001"));
             win<Frm_ReaderDoc>().Cmd_Delete_Click();
         },
         [] { closeList(win<Frm_ReaderDoc>()); },
         {}},
        {"an account type deleted",
         [] { exec(QStringLiteral("INSERT 账户类型 VALUES ('临时', 0,1,0,1,0,1,0,1,0,1,0,1,0)")); },
         [] {
             showChild(win<Frm_AccountType>());
             pick(win<Frm_AccountType>().Cmb_AccType.get(), QStringLiteral("临时"));
         },
         [] { win<Frm_AccountType>().Lbl_Del_Click(); },
         [] { closeList(win<Frm_AccountType>()); },
         {}},
        {"an account type saved",
         {},
         [] {
             showChild(win<Frm_AccountType>());
             pick(win<Frm_AccountType>().Cmb_AccType.get(), QStringLiteral("系统管理员"));
             win<Frm_AccountType>().Chk_Power(12)->setValue(vb::vbUnchecked);
         },
         [] { win<Frm_AccountType>().Cmd_OK_Click(); },
         [] { closeList(win<Frm_AccountType>()); },
         {}},
        {"a publisher deleted",
         [] { exec(QStringLiteral("INSERT 出版社 VALUES ('上海出版社','上海','200000')")); },
         [] { showChild(win<Frm_PressInfo>()); },
         [] {
             choose(win<Frm_PressInfo>(), 0, QStringLiteral("上海出版社"));
             win<Frm_PressInfo>().Cmd_Delete_Click();
         },
         [] { closeList(win<Frm_PressInfo>()); },
         {}},
        {"a publisher added",
         {},
         [] {
             Frm_PressInfo &w = win<Frm_PressInfo>();
             showChild(w);
             w.Cmd_Add_Click();
             w.Txt(0)->setText(QStringLiteral("上海出版社"));
             w.Txt(1)->setText(QStringLiteral("上海"));
         },
         [] { win<Frm_PressInfo>().Cmd_Save_Click(); },
         [] { closeList(win<Frm_PressInfo>()); },
         {}},
        {"a reader category deleted",
         [] { addCategory(QStringLiteral("访客"), 7, 1); },
         [] { showChild(win<Frm_ReaderType>()); },
         [] {
             choose(win<Frm_ReaderType>(), 0, QStringLiteral("访客"));
             win<Frm_ReaderType>().Cmd_Delete_Click();
         },
         [] { closeList(win<Frm_ReaderType>()); },
         {}},
        {"a reader added",
         {},
         [] {
             showChild(win<Frm_ReaderDoc>());
             Frm_ReaderAdd &ed = win<Frm_ReaderAdd>();
             ed.Mode = QStringLiteral("ADD");
             ed.RID.clear();
             ed.CallerForm = &win<Frm_ReaderDoc>();
             ed.Show();
             ed.Txt_RID->setText(QStringLiteral("R100"));
             ed.Txt_Name->setText(QStringLiteral("新读者"));
             pick(ed.Cmb_Sex.get(), QStringLiteral("女"));
             pick(ed.Cmb_Type.get(), QStringLiteral("学生"));
         },
         [] { win<Frm_ReaderAdd>().Cmd_Add_Click(); },
         [] {
             if (win<Frm_ReaderAdd>().IsLoaded()) win<Frm_ReaderAdd>().Unload();
             closeList(win<Frm_ReaderDoc>());
         },
         {}},
        {"a damage record added",
         [] {
             returnedLoan(QStringLiteral("240101090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
                          QStringLiteral("admin"));
         },
         [] {
             showChild(win<Frm_BookDamage>());
             Frm_BookDamageItem &ed = win<Frm_BookDamageItem>();
             ed.Mode = QStringLiteral("ADD");
             ed.DamageID.clear();
             ed.CallerForm = &win<Frm_BookDamage>();
             ed.Show();
             ed.Txt_BrwID->setText(QStringLiteral("240101090000001"));
             ed.Txt_Info->setText(QStringLiteral("封面破损"));
             ed.Txt_Cash->setText(QStringLiteral("5"));
         },
         [] { win<Frm_BookDamageItem>().Cmd_OK_Click(); },
         [] {
             if (win<Frm_BookDamageItem>().IsLoaded()) win<Frm_BookDamageItem>().Unload();
             closeList(win<Frm_BookDamage>());
         },
         {}},
        {"a damage record deleted",
         [] {
             returnedLoan(QStringLiteral("240101090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
                          QStringLiteral("admin"));
             exec(QStringLiteral("INSERT 图书损坏 VALUES('240120100000','240101090000001','破损',5,'')"));
         },
         [] { showChild(win<Frm_BookDamage>()); },
         [] {
             choose(win<Frm_BookDamage>(), 0, QStringLiteral("240120100000"));
             win<Frm_BookDamage>().Cmd_Delete_Click();
         },
         [] { closeList(win<Frm_BookDamage>()); },
         {}},
        {"a user's login log deleted",
         [] { exec(QStringLiteral("INSERT 账户登录 VALUES ('admin','2024-03-02 08:00:00')")); },
         [] {
             showChild(win<Frm_AccountLoginInfo>());
             pick(win<Frm_AccountLoginInfo>().Cmb_DUID.get(), QStringLiteral("admin"));
         },
         [] { win<Frm_AccountLoginInfo>().Cmd_Del_Click(); },
         [] { closeList(win<Frm_AccountLoginInfo>()); },
         {}},
        {"every deposit deleted",
         [] { exec(QStringLiteral("INSERT 充值记录 VALUES ('240301000001','R001',50,'2024-03-01','admin')")); },
         [] { showChild(win<Frm_ReaderDeposit>()); },
         [] { win<Frm_ReaderDeposit>().Cmd_Clear_Click(); },
         [] { closeList(win<Frm_ReaderDeposit>()); },
         {}},
        {"the library information saved with a logo",
         {},
         [] {
             Frm_LabInfo &w = win<Frm_LabInfo>();
             showMain();
             ChildFormSwitch(&w, nullptr);
             QCoreApplication::processEvents();
             w.Txt_LabName->setText(QStringLiteral("新城图书馆"));
             w.Txt_Fine->setText(QStringLiteral("0.5"));
             w.Pic_Logo_Click();
         },
         [] { win<Frm_LabInfo>().Cmd_Save_Click(); },
         [] { closeList(win<Frm_LabInfo>()); },
         {}},
    };
}

}  // namespace

class TestStatementFailures : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_app;  // the program's folder (the library logo passes through it)
    int m_failed = 0;                      // statements failed, over all actions
    int m_absorbed = 0;                    // of them, failures the action was done whole in spite of
    std::function<void()> m_close;         // closes the windows of the action under test

    // The data of one run: a fresh database with the standard set and the
    // action's own rows, the clock fixed, every message answered yes.
    struct Run {
        SharedDb db;
        MsgRecorder msgs;
        QStringList shownInTransaction;  // messages shown while a transaction was open
        explicit Run(const Action &a)
        {
            // Every message is recorded, and one shown in the middle of a
            // transaction (another desk would wait on it) noted.
            SetMsgBoxHook([this](const QString &m, const QString &i, const QString &t) {
                msgs.msgs.append({m, i, t});
                if (SQLConn().State() == ado::adStateOpen && SQLConn().InTransaction()) shownInTransaction << m;
                return msgs.answer;
            });
            agreeingFill();
            if (a.seed) a.seed();
            vb::SetTestClock(fixedNow());
            a.prepare();
            msgs.clear();
        }
        QStringList texts() const
        {
            QStringList t;
            for (const Msg &m : msgs.msgs) t << m.text;
            return t;
        }
    };

private slots:
    void initTestCase()
    {
        RegisterAdminForms();
        RegisterBookForms();
        RegisterLibraryForms();
        RegisterReaderForms();
        RegisterCirculationForms();
        m_app = std::make_unique<QTemporaryDir>();
        AppPath = m_app->path() + QStringLiteral("/");
        QDir().mkpath(AppPath + QStringLiteral("Images/Picture"));
        QFile::copy(testsupport::resourcesDir() + QStringLiteral("Images/Picture/LabLogo.jpg"),
                    AppPath + QStringLiteral("Images/Picture/LabLogo.jpg"));
        g_logo = testsupport::resourcesDir() + QStringLiteral("Images/Picture/Zorv.jpg");
        vb::CommonDialog::setHook([](const vb::CommonDialog &, bool) { return g_logo; });
    }
    void cleanupTestCase()
    {
        vb::CommonDialog::setHook(nullptr);
        vb::ClearTestClock();
        qInfo("statements failed: %d; actions done whole in spite of the failure: %d", m_failed, m_absorbed);
    }

    void cleanup()
    {
        // A failed check leaves the action's windows open: they must not
        // carry their state into the next action.
        if (m_close) m_close();
        m_close = nullptr;
    }

    void everyStatement_data()
    {
        QTest::addColumn<int>("index");
        const QList<Action> all = actions();
        for (int i = 0; i < all.size(); ++i) QTest::newRow(all.at(i).name) << i;
    }

    void everyStatement()
    {
        QFETCH(int, index);
        const Action a = actions().at(index);
        m_close = a.close;

        // The run without a failure: the statements it sends and what it leaves.
        QStringList statements, okTexts;
        QString before, after;
        {
            Run run(a);
            before = run.db.db.dump();
            {
                testsupport::StatementFailer record(QString(), INT_MAX);
                a.attempt();
                statements = record.seen();
            }
            after = run.db.db.dump();
            okTexts = run.texts();
            QVERIFY2(run.shownInTransaction.isEmpty(), qPrintable(run.shownInTransaction.join(QLatin1Char('|'))));
            const QStringList v = CheckInvariants(SQLConn());
            QVERIFY2(v.isEmpty(), qPrintable(v.join(QLatin1Char('\n'))));
            a.close();
        }
        QVERIFY2(before != after, "the action wrote nothing");
        int last = -1;
        for (int i = 0; i < statements.size(); ++i)
            if (isWrite(statements.at(i))) last = i;
        QVERIFY(last >= 0);

        for (int n = 1; n <= last + 1; ++n) {
            const QString statement = statements.at(n - 1);
            const QString why =
                QStringLiteral("%1, statement %2 (%3)").arg(QLatin1String(a.name)).arg(n).arg(statement);
            const QString injected = QStringLiteral("注入的故障 #%1").arg(n);
            Run run(a);
            {
                testsupport::StatementFailer fail(QString(), n, injected);
                a.attempt();
                QVERIFY2(fail.fired(), qPrintable(why));
                QVERIFY2(fail.seen().mid(0, n) == statements.mid(0, n),
                         qPrintable(why + QStringLiteral(": other statements")));
            }
            QVERIFY2(!SQLConn().InTransaction(), qPrintable(why));
            QVERIFY2(run.shownInTransaction.isEmpty(), qPrintable(why + QStringLiteral(": shown in a transaction: ")
                                                                  + run.shownInTransaction.join(QLatin1Char('|'))));
            const QStringList v = CheckInvariants(SQLConn());
            QVERIFY2(v.isEmpty(), qPrintable(why + QLatin1Char('\n') + v.join(QLatin1Char('\n'))));
            const QString now = run.db.db.dump();
            ++m_failed;
            // Never in between.
            QVERIFY2(now == before || now == after,
                     qPrintable(why + QStringLiteral(": half written\n") + firstDifference(before, now)));
            // A failed write or COMMIT is shown.
            if (isWrite(statement)) {
                const QString note = a.failureNote.isEmpty() ? injected : a.failureNote;
                bool shown = false;
                for (const Msg &m : std::as_const(run.msgs.msgs))
                    shown = shown || (m.icon == QStringLiteral("x") && m.text.contains(note));
                QVERIFY2(shown, qPrintable(why + QStringLiteral(": shown ") + run.texts().join(QStringLiteral(" | "))));
            }
            if (now == after) {
                // Done whole all the same: the failed read did not matter to
                // the action, or the failed write would have changed nothing
                // (one option of a clean-up with nothing to delete).
                if (!isWrite(statement)) QCOMPARE(run.texts(), okTexts);
                ++m_absorbed;
                a.close();
                continue;
            }
            QVERIFY2(!run.msgs.msgs.isEmpty(), qPrintable(why + QStringLiteral(": nothing shown")));
            // And it still works: the same window does the whole action.
            run.msgs.clear();
            a.attempt();
            QVERIFY2(run.db.db.dump() == after, qPrintable(why + QStringLiteral(": the next attempt")));
            QCOMPARE(run.texts(), okTexts);
            a.close();
        }
        qInfo("%s: %d statements failed in turn", a.name, last + 1);
    }
};

QTEST_MAIN(TestStatementFailures)
#include "tst_statementfailures.moc"
