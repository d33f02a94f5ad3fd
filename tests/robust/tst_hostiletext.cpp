// Hostile text through every box whose text reaches a statement: apostrophes,
// double quotes, backslashes, % and _, emoji, a NUL, 10,000 characters,
// blanks at both ends and the text of a statement. Each editor stores the
// text and the database holds it verbatim (trimmed where the window trims),
// the editor shows it again when it opens the record, and saving it back
// unchanged loses nothing; or the window refuses it with its message and
// writes nothing: the server holds no NUL. Find boxes find the record whose
// key is the text; date boxes put their default in place of it.
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
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_Query.h"
#include "circulation/Frm_ReturnBook.h"
#include "circulation/Frm_Statistics.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_AccountAdd.h"
#include "core/Frm_AccountLoginInfo.h"
#include "core/Frm_AccountMag.h"
#include "core/Frm_AccountType.h"
#include "core/Frm_DBClear.h"
#include "core/Frm_FindPassword.h"
#include "robust/RobustFixture.h"
#include "tools/Invariants.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace robustfix;

namespace {

struct Hostile {
    const char *what;
    QString text;
};

QList<Hostile> hostileTexts()
{
    QString longText;
    while (longText.size() < 10000) longText += QStringLiteral("长'名\"%_\\ ");
    longText.truncate(10000);
    return {
        {"apostrophes", QStringLiteral("O'Brien's ''书'' '")},
        {"double quotes", QStringLiteral("他说\"你好\" \"\"")},
        {"backslashes", QStringLiteral("C:\\tmp\\ \\' \\\\")},
        {"percent and underscore", QStringLiteral("100%_off %% __")},
        {"emoji", QStringLiteral("📚😀 书")},
        {"a NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b")},
        {"10,000 characters", longText},
        {"blanks at both ends", QStringLiteral("  两端空格  ")},
        {"a statement", QStringLiteral("x'); DELETE FROM 读者档案; --")},
    };
}

// What the windows' statements make of a value: blanks (only blanks) off both ends.
QString trimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

bool holdsNul(const QString &s) { return s.contains(QChar(0)); }

// Every value of a column, as stored.
QStringList values(const QString &table, const QString &column)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table, SQLConn());
    QStringList out;
    for (; !rs.EOF_(); rs.MoveNext()) out << rs.Fields(0).toString();
    return out;
}

// One box of an editor whose text is stored.
struct Box {
    const char *name;
    QString table, column;
    bool trims;  // the window trims the value (its statements do)
    // Opens the editor, puts `text` into the box (and whatever else the save
    // needs) and saves.
    std::function<void(const QString &text)> store;
    // Opens the stored record again and returns what the box shows (none: not checked).
    std::function<QString(const QString &stored)> shown;
    // Saves the opened record back unchanged, closing the editor.
    std::function<void()> saveAgain;
    std::function<void()> close;
};

// ---------------------------------------------------------------- the editors

Frm_ReaderAdd &readerEditor(const QString &mode, const QString &rid)
{
    showChild(win<Frm_ReaderDoc>());
    Frm_ReaderAdd &ed = win<Frm_ReaderAdd>();
    if (ed.IsLoaded()) ed.Unload();
    ed.Mode = mode;
    ed.RID = rid;
    ed.CallerForm = &win<Frm_ReaderDoc>();
    ed.Show();
    return ed;
}

Box readerBox(const char *name, const QString &column, vb::Ctl<FTextBox> Frm_ReaderAdd::*box)
{
    const bool key = column == QStringLiteral("读者编号");
    return {name,
            QStringLiteral("读者档案"),
            column,
            true,
            [=](const QString &text) {
                Frm_ReaderAdd &ed = readerEditor(key ? QStringLiteral("ADD") : QStringLiteral("MOD"),
                                                 key ? QString() : QStringLiteral("R001"));
                if (key) {
                    ed.Txt_Name->setText(QStringLiteral("新读者"));
                    pick(ed.Cmb_Sex.get(), QStringLiteral("男"));
                    pick(ed.Cmb_Type.get(), QStringLiteral("学生"));
                }
                (ed.*box)->setText(text);
                ed.Cmd_Add_Click();
            },
            [=](const QString &stored) {
                Frm_ReaderAdd &ed = readerEditor(QStringLiteral("MOD"), key ? stored : QStringLiteral("R001"));
                return (ed.*box)->Text();
            },
            [] { win<Frm_ReaderAdd>().Cmd_Add_Click(); },
            [] {
                if (win<Frm_ReaderAdd>().IsLoaded()) win<Frm_ReaderAdd>().Unload();
                closeList(win<Frm_ReaderDoc>());
            }};
}

Frm_AccountAdd &accountEditor(const QString &mode, const QString &uid)
{
    showChild(win<Frm_AccountMag>());
    Frm_AccountAdd &ed = win<Frm_AccountAdd>();
    if (ed.IsLoaded()) ed.Unload();
    ed.Mode = mode;
    ed.UID = uid;
    ed.CallerForm = &win<Frm_AccountMag>();
    ed.Show();
    return ed;
}

void closeAccounts()
{
    if (win<Frm_AccountAdd>().IsLoaded()) win<Frm_AccountAdd>().Unload();
    closeList(win<Frm_AccountMag>());
}

Frm_BookAdd &bookEditor(const QString &mode, const QString &isbn)
{
    showChild(win<Frm_BookInfo>());
    Frm_BookAdd &ed = win<Frm_BookAdd>();
    if (ed.IsLoaded()) ed.Unload();
    ed.Mode = mode;
    ed.BookISBN = isbn;
    ed.CallerForm = &win<Frm_BookInfo>();
    ed.Show();
    return ed;
}

void closeBooks()
{
    if (win<Frm_BookAdd>().IsLoaded()) win<Frm_BookAdd>().Unload();
    closeList(win<Frm_BookInfo>());
}

Box titleBox(const char *name, const QString &column, vb::Ctl<FTextBox> Frm_BookAdd::*box)
{
    const bool key = column == QStringLiteral("ISBN");
    return {name,
            QStringLiteral("图书档案"),
            column,
            true,
            [=](const QString &text) {
                Frm_BookAdd &ed = bookEditor(key ? QStringLiteral("ADD_Book") : QStringLiteral("MOD_Book"),
                                             key ? QString() : QStringLiteral("978-1"));
                if (key) {
                    ed.Chk_FrameSwitch->setValue(vb::vbUnchecked);
                    ed.Txt_BookName->setText(QStringLiteral("新书"));
                    ed.Txt_Writer->setText(QStringLiteral("作者"));
                    ed.Cmb_Press->setText(QStringLiteral("人民出版社"));
                }
                (ed.*box)->setText(text);
                ed.Cmd_Add_Click();
            },
            [=](const QString &stored) {
                Frm_BookAdd &ed = bookEditor(QStringLiteral("MOD_Book"), key ? stored : QStringLiteral("978-1"));
                return (ed.*box)->Text();
            },
            [] { win<Frm_BookAdd>().Cmd_Add_Click(); },
            closeBooks};
}

Frm_BookDamageItem &damageEditor(const QString &mode, const QString &id)
{
    showChild(win<Frm_BookDamage>());
    Frm_BookDamageItem &ed = win<Frm_BookDamageItem>();
    if (ed.IsLoaded()) ed.Unload();
    ed.Mode = mode;
    ed.DamageID = id;
    ed.CallerForm = &win<Frm_BookDamage>();
    ed.Show();
    return ed;
}

Box damageBox(const char *name, const QString &column, vb::Ctl<FTextBox> Frm_BookDamageItem::*box)
{
    return {name,
            QStringLiteral("图书损坏"),
            column,
            true,
            [=](const QString &text) {
                Frm_BookDamageItem &ed = damageEditor(QStringLiteral("MOD"), QStringLiteral("240120100001"));
                (ed.*box)->setText(text);
                ed.Cmd_OK_Click();
            },
            [=](const QString &) {
                return (damageEditor(QStringLiteral("MOD"), QStringLiteral("240120100001")).*box)->Text();
            },
            [] { win<Frm_BookDamageItem>().Cmd_OK_Click(); },
            [] {
                if (win<Frm_BookDamageItem>().IsLoaded()) win<Frm_BookDamageItem>().Unload();
                closeList(win<Frm_BookDamage>());
            }};
}

// A box of a panel window: index 0 is the key, added; the others changed on `row`.
template <class W>
Box panelBox(const char *name, const QString &table, const QString &column, int index, const QString &row,
             const QStringList &plain)
{
    return {name,
            table,
            column,
            true,
            [=](const QString &text) {
                W &w = win<W>();
                showChild(w);
                if (index == 0) {
                    w.Cmd_Add_Click();
                    for (int i = 1; i < 3; ++i) w.Txt(i)->setText(plain.value(i - 1));
                } else {
                    choose(w, 0, row);
                    w.Cmd_Modify_Click();
                }
                w.Txt(index)->setText(text);
                w.Cmd_Save_Click();
            },
            [=](const QString &stored) {
                W &w = win<W>();
                choose(w, 0, index == 0 ? stored : row);
                w.Cmd_Modify_Click();
                return w.Txt(index)->Text();
            },
            [] { win<W>().Cmd_Save_Click(); },
            [] { closeList(win<W>()); }};
}

Box libraryBox(const char *name, const QString &column, vb::Ctl<FTextBox> Frm_LabInfo::*box)
{
    const auto open = [] {
        showMain();
        if (!win<Frm_LabInfo>().IsLoaded()) ChildFormSwitch(&win<Frm_LabInfo>(), nullptr);
        return &win<Frm_LabInfo>();
    };
    return {name,
            QStringLiteral("图书馆信息"),
            column,
            false,  // stored as the box holds it
            [=](const QString &text) {
                Frm_LabInfo *w = open();
                (w->*box)->setText(text);
                w->Cmd_Save_Click();
            },
            [=](const QString &) { return (open()->*box)->Text(); },
            [] { win<Frm_LabInfo>().Cmd_Save_Click(); },
            [] { closeList(win<Frm_LabInfo>()); }};
}

QList<Box> boxes()
{
    QList<Box> out = {
        readerBox("reader: number", QStringLiteral("读者编号"), &Frm_ReaderAdd::Txt_RID),
        readerBox("reader: name", QStringLiteral("姓名"), &Frm_ReaderAdd::Txt_Name),
        readerBox("reader: telephone", QStringLiteral("联系电话"), &Frm_ReaderAdd::Txt_Phone),
        readerBox("reader: address", QStringLiteral("地址"), &Frm_ReaderAdd::Txt_Address),
        readerBox("reader: post code", QStringLiteral("邮编"), &Frm_ReaderAdd::Txt_Code),
        readerBox("reader: identity number", QStringLiteral("身份证号码"), &Frm_ReaderAdd::Txt_CID),
        titleBox("title: ISBN", QStringLiteral("ISBN"), &Frm_BookAdd::Txt_ISBN),
        titleBox("title: name", QStringLiteral("图书名称"), &Frm_BookAdd::Txt_BookName),
        titleBox("title: author", QStringLiteral("作者"), &Frm_BookAdd::Txt_Writer),
        damageBox("damage: description", QStringLiteral("损坏描述"), &Frm_BookDamageItem::Txt_Info),
        damageBox("damage: remark", QStringLiteral("备注"), &Frm_BookDamageItem::Txt_Other),
        panelBox<Frm_PressInfo>("publisher: name", QStringLiteral("出版社"), QStringLiteral("出版社名称"), 0, QString(),
                                {QStringLiteral("北京"), QStringLiteral("100000")}),
        panelBox<Frm_PressInfo>("publisher: address", QStringLiteral("出版社"), QStringLiteral("地址"), 1,
                                QStringLiteral("人民出版社"), {}),
        panelBox<Frm_PressInfo>("publisher: post code", QStringLiteral("出版社"), QStringLiteral("邮编"), 2,
                                QStringLiteral("人民出版社"), {}),
        panelBox<Frm_ReaderType>("reader category: name", QStringLiteral("读者类别"), QStringLiteral("读者类别"), 0,
                                 QString(), {QStringLiteral("30"), QStringLiteral("5")}),
        libraryBox("library: name", QStringLiteral("图书馆名称"), &Frm_LabInfo::Txt_LabName),
        libraryBox("library: person in charge", QStringLiteral("负责人"), &Frm_LabInfo::Txt_Charger),
        libraryBox("library: telephone", QStringLiteral("联系电话"), &Frm_LabInfo::Txt_Tel),
        libraryBox("library: address", QStringLiteral("地址"), &Frm_LabInfo::Txt_Address),
        libraryBox("library: post code", QStringLiteral("邮编"), &Frm_LabInfo::Txt_Zipcode),
    };
    // The account editor: the name is added, the other boxes change admin's row.
    const auto accountBox = [](const char *name, const QString &column, vb::Ctl<FTextBox> Frm_AccountAdd::*box) {
        const bool key = column == QStringLiteral("用户名");
        const bool password = column == QStringLiteral("密码");
        return Box{
            name, QStringLiteral("账户"), column, true,
            [=](const QString &text) {
                Frm_AccountAdd &ed = accountEditor(key ? QStringLiteral("ADD") : QStringLiteral("MOD"),
                                                   key ? QString() : QStringLiteral("admin"));
                if (key) {
                    for (FTextBox *t : {ed.Txt_PWD.get(), ed.Txt_PWD2.get(), ed.Txt_SubPWD.get()})
                        t->setText(QStringLiteral("pw"));
                    ed.Txt_Name->setText(QStringLiteral("职员"));
                    pick(ed.Cmb_Type.get(), QStringLiteral("系统管理员"));
                }
                (ed.*box)->setText(text);
                if (password) ed.Txt_PWD2->setText(text);
                ed.Cmd_Add_Click();
            },
            // Passwords are never shown again; the name is, and the box of the key.
            column == QStringLiteral("真实姓名") || key ? std::function<QString(const QString &)>(
                [=](const QString &stored) {
                    return (accountEditor(QStringLiteral("MOD"), key ? stored : QStringLiteral("admin")).*box)->Text();
                })
                                                        : std::function<QString(const QString &)>(),
            [] { win<Frm_AccountAdd>().Cmd_Add_Click(); }, closeAccounts};
    };
    out << accountBox("account: user name", QStringLiteral("用户名"), &Frm_AccountAdd::Txt_UID)
        << accountBox("account: real name", QStringLiteral("真实姓名"), &Frm_AccountAdd::Txt_Name)
        << accountBox("account: password", QStringLiteral("密码"), &Frm_AccountAdd::Txt_PWD)
        << accountBox("account: second password", QStringLiteral("二级密码"), &Frm_AccountAdd::Txt_SubPWD);
    return out;
}

}  // namespace

class TestHostileText : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;
    std::unique_ptr<QTemporaryDir> m_app;
    std::function<void()> m_close;
    int m_stored = 0, m_refused = 0;

    QStringList errors() const
    {
        QStringList out;
        for (const Msg &m : m_msg->msgs)
            if (m.icon == QStringLiteral("x")) out << m.text.left(300);
        return out;
    }

    void seed()
    {
        agreeingFill();
        returnedLoan(QStringLiteral("240101090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
                     QStringLiteral("admin"));
        exec(QStringLiteral("INSERT 图书损坏 VALUES('240120100001','240101090000001','破损',5,'')"));
    }

private slots:
    void initTestCase()
    {
        RegisterLibraryForms();
        m_app = std::make_unique<QTemporaryDir>();
        AppPath = m_app->path() + QStringLiteral("/");
        QDir().mkpath(AppPath + QStringLiteral("Images/Picture"));
        QFile::copy(testsupport::resourcesDir() + QStringLiteral("Images/Picture/LabLogo.jpg"),
                    AppPath + QStringLiteral("Images/Picture/LabLogo.jpg"));
    }
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        seed();
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
    }
    void cleanup()
    {
        if (m_close) m_close();
        m_close = nullptr;
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }
    void cleanupTestCase()
    {
        qInfo("hostile texts stored and read back: %d, refused with a message and nothing written: %d", m_stored,
              m_refused);
    }

    // ------------------------------------------------------------ editors

    void editorsStoreVerbatimOrRefuse_data()
    {
        QTest::addColumn<int>("box");
        const QList<Box> all = boxes();
        for (int i = 0; i < all.size(); ++i) QTest::newRow(all.at(i).name) << i;
    }

    void editorsStoreVerbatimOrRefuse()
    {
        QFETCH(int, box);
        const Box b = boxes().at(box);
        m_close = b.close;
        for (const Hostile &h : hostileTexts()) {
            const QString why = QLatin1String(b.name) + QStringLiteral(", ") + QLatin1String(h.what);
            const QString expected = b.trims ? trimmed(h.text) : h.text;
            const QString before = m_db->db.dump();
            m_msg->clear();
            b.store(h.text);
            if (testsupport::TempDb::onServer() && holdsNul(h.text)) {
                // The server holds no NUL: refused with the window's message, nothing written.
                QVERIFY2(!errors().isEmpty(), qPrintable(why + QStringLiteral(": not refused")));
                QVERIFY2(m_db->db.dump() == before, qPrintable(why + QStringLiteral(": written all the same")));
                QVERIFY(!SQLConn().InTransaction());
                ++m_refused;
                b.close();
                continue;
            }
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QVERIFY2(values(b.table, b.column).contains(expected), qPrintable(why + QStringLiteral(": not stored")));
            if (b.shown) {
                // Shown again as stored, and saved back unchanged it stays so.
                QVERIFY2(b.shown(expected) == expected, qPrintable(why + QStringLiteral(": shown otherwise")));
                const QString stored = m_db->db.dump();
                b.saveAgain();
                QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
                QVERIFY2(m_db->db.dump() == stored, qPrintable(why + QStringLiteral(": changed by saving it back")));
            }
            ++m_stored;
            b.close();
        }
    }

    // A box's MaxLength cuts what is typed, never a text set by the program: a
    // stored post code longer than the box is shown and saved back whole.
    void maxLengthCutsTypingOnly()
    {
        Frm_PressInfo &w = win<Frm_PressInfo>();
        m_close = [&w] { closeList(w); };
        const QString longCode = QString(10000, QLatin1Char('9')) + QStringLiteral("'");
        exec(QStringLiteral("UPDATE 出版社 SET 邮编 = ") + SQLQuote(longCode)
             + QStringLiteral(" WHERE 出版社名称 = '人民出版社'"));
        showChild(w);
        choose(w, 0, QStringLiteral("人民出版社"));
        w.Cmd_Modify_Click();
        QCOMPARE(w.Txt(2)->MaxLength(), 8);
        QCOMPARE(w.Txt(2)->Text(), longCode);
        w.Cmd_Save_Click();
        QCOMPARE(values(QStringLiteral("出版社"), QStringLiteral("邮编")), QStringList{longCode});
        // Typed, the text stops at eight characters.
        choose(w, 0, QStringLiteral("人民出版社"));
        w.Cmd_Modify_Click();
        w.Txt(2)->setText(QString());
        w.Txt(2)->textBox()->setFocus();
        QTest::keyClicks(w.Txt(2)->textBox(), QStringLiteral("1234567890"));
        QCOMPARE(w.Txt(2)->Text(), QStringLiteral("12345678"));
    }

    // A typed publisher name the title editor adds on its own.
    void newPublisherTypedIntoTheTitleEditor()
    {
        m_close = closeBooks;
        for (const Hostile &h : hostileTexts()) {
            const QString why = QLatin1String(h.what);
            const QString before = m_db->db.dump();
            m_msg->clear();
            Frm_BookAdd &ed = bookEditor(QStringLiteral("MOD_Book"), QStringLiteral("978-2"));
            ed.Cmb_Press->setText(h.text);
            ed.Cmd_Add_Click();
            if (testsupport::TempDb::onServer() && holdsNul(h.text)) {
                QVERIFY2(!errors().isEmpty(), qPrintable(why));
                QVERIFY2(m_db->db.dump() == before, qPrintable(why));
                ++m_refused;
                continue;
            }
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QVERIFY2(values(QStringLiteral("出版社"), QStringLiteral("出版社名称")).contains(trimmed(h.text)),
                     qPrintable(why));
            QVERIFY2(values(QStringLiteral("图书档案"), QStringLiteral("出版社名称")).contains(trimmed(h.text)),
                     qPrintable(why));
            QCOMPARE(bookEditor(QStringLiteral("MOD_Book"), QStringLiteral("978-2")).Cmb_Press->Text(),
                     trimmed(h.text));
            ++m_stored;
        }
    }

    // Copy numbers typed for new copies, and a new account type's name.
    void copyNumbersAndAccountTypes()
    {
        m_close = [] {
            closeBooks();
            closeList(win<Frm_AccountType>());
        };
        for (const Hostile &h : hostileTexts()) {
            const QString why = QLatin1String(h.what);
            const QString before = m_db->db.dump();
            m_msg->clear();
            Frm_BookAdd &ed = bookEditor(QStringLiteral("ADD_Store"), QStringLiteral("978-2"));
            ed.Txt_Num->setText(QStringLiteral("1"));
            ed.runValidate(ed.Txt_Num.get());
            ed.Txt_BookID->setText(h.text);
            QTest::keyClick(ed.Txt_BookID->textBox(), Qt::Key_Return);
            ed.Cmd_Add_Click();

            Frm_AccountType &types = win<Frm_AccountType>();
            showChild(types);
            types.Lbl_Add_Click();
            types.Cmb_AccType->setText(h.text);
            types.Cmd_OK_Click();
            if (testsupport::TempDb::onServer() && holdsNul(h.text)) {
                QCOMPARE(errors().size(), 2);
                QVERIFY2(m_db->db.dump() == before, qPrintable(why));
                m_refused += 2;
                continue;
            }
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QVERIFY2(values(QStringLiteral("图书库存"), QStringLiteral("图书编号")).contains(trimmed(h.text)),
                     qPrintable(why));
            QVERIFY2(values(QStringLiteral("账户类型"), QStringLiteral("账户类型")).contains(trimmed(h.text)),
                     qPrintable(why));
            m_stored += 2;
        }
    }

    // Boxes for numbers, given text (a paste: typing there takes digits
    // only): a number is stored, or the save is refused with the window's
    // message and nothing is written. Never a text in a number's column.
    void numberBoxesStoreANumberOrRefuse()
    {
        m_close = [] {
            closeBooks();
            closeList(win<Frm_ReaderType>());
            closeList(win<Frm_LabInfo>());
            closeList(win<Frm_ReaderDeposit>());
        };
        const struct {
            const char *name;
            std::function<void(const QString &)> store;
            QString table, column;
        } boxes[] = {
            {"title: price",
             [](const QString &t) {
                 Frm_BookAdd &ed = bookEditor(QStringLiteral("MOD_Book"), QStringLiteral("978-1"));
                 ed.Txt_Price->setText(t);
                 ed.Cmd_Add_Click();
             },
             QStringLiteral("图书档案"), QStringLiteral("价格")},
            {"reader category: loan period",
             [](const QString &t) {
                 Frm_ReaderType &w = win<Frm_ReaderType>();
                 showChild(w);
                 choose(w, 0, QStringLiteral("学生"));
                 w.Cmd_Modify_Click();
                 w.Txt(1)->setText(t);
                 w.Cmd_Save_Click();
             },
             QStringLiteral("读者类别"), QStringLiteral("借书时间期限")},
            {"library: daily fine",
             [](const QString &t) {
                 showMain();
                 if (!win<Frm_LabInfo>().IsLoaded()) ChildFormSwitch(&win<Frm_LabInfo>(), nullptr);
                 win<Frm_LabInfo>().Txt_Fine->setText(t);
                 win<Frm_LabInfo>().Cmd_Save_Click();
             },
             QStringLiteral("图书馆信息"), QStringLiteral("每日超期罚金")},
            {"deposit: amount",
             [](const QString &t) {
                 Frm_ReaderDeposit &w = win<Frm_ReaderDeposit>();
                 showChild(w);
                 w.Cmd_Deposit_Click();
                 w.Txt_RID->setText(QStringLiteral("R001"));
                 QTest::keyClick(w.Txt_RID->textBox(), Qt::Key_Return);
                 w.Txt_Cash->setText(t);
                 w.Cmd_Save_Click();
             },
             QStringLiteral("读者档案"), QStringLiteral("账户金额")},
        };
        for (const auto &b : boxes) {
            for (const Hostile &h : hostileTexts()) {
                const QString why = QLatin1String(b.name) + QStringLiteral(", ") + QLatin1String(h.what);
                const QString before = m_db->db.dump();
                m_msg->clear();
                b.store(h.text);
                if (!errors().isEmpty()) {
                    QVERIFY2(m_db->db.dump() == before, qPrintable(why + QStringLiteral(": written all the same")));
                    QVERIFY(!SQLConn().InTransaction());
                    ++m_refused;
                } else {
                    for (const QString &v : values(b.table, b.column)) {
                        bool number = false;
                        v.toDouble(&number);
                        QVERIFY2(number || v.isEmpty(), qPrintable(why + QStringLiteral(": stored ") + v.left(60)));
                    }
                    ++m_stored;
                }
                m_close();
            }
        }
    }

    // ------------------------------------------------------------ look-ups and finds

    // Rows whose keys are the hostile texts, written beside the windows, are
    // found by every box that looks a key up, and lent, returned and topped up
    // through the lending, returning and deposit windows.
    void lookUpsAndFinds()
    {
        m_close = [] {
            for (vb::Form *f : std::initializer_list<vb::Form *>{
                     &win<Frm_BorrowBook>(), &win<Frm_ReturnBook>(), &win<Frm_ReaderDeposit>(), &win<Frm_BookInfo>(),
                     &win<Frm_BookStore>(), &win<Frm_ReaderDoc>(), &win<Frm_Query>()})
                closeList(*f);
        };
        int n = 0;
        for (const Hostile &h : hostileTexts()) {
            const QString why = QLatin1String(h.what);
            const QString key = trimmed(h.text);
            ++n;
            m_msg->clear();
            if (testsupport::TempDb::onServer() && holdsNul(h.text)) {
                // Nothing can hold it; a find for it is refused with the window's message.
                Frm_ReaderDoc &readers = win<Frm_ReaderDoc>();
                showChild(readers);
                readers.Txt_Find_RID->setText(h.text);
                QVERIFY2(!errors().isEmpty(), qPrintable(why));
                ++m_refused;
                continue;
            }
            addReader(key, QStringLiteral("学生"), QStringLiteral("读者"));
            addTitle(key, QStringLiteral("书名"));
            addCopy(key, key, QStringLiteral("空闲"));

            // Lending: the reader and the copy looked up by what was typed.
            Frm_BorrowBook &lend = win<Frm_BorrowBook>();
            showChild(lend);
            lend.Cmd_Clear_Click();
            lend.Txt_RID->setText(h.text);
            QTest::keyClick(lend.Txt_RID->textBox(), Qt::Key_Return);
            lend.Txt_BID->setText(h.text);
            QTest::keyClick(lend.Txt_BID->textBox(), Qt::Key_Return);
            lend.Cmd_OK_Click();
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QCOMPARE(m_msg->last(), QStringLiteral("借书成功！共借出 1 本图书。"));
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = 0 AND 读者编号 = ")
                           + SQLQuote(key) + QStringLiteral(" AND 图书编号 = ") + SQLQuote(key)),
                     1);

            // Returning: found by the reader number, then returned.
            // A prefix find appends its "%" before the blanks at the ends go:
            // blanks typed after the text stay in the pattern. Typed without them.
            QString prefix = h.text;
            while (prefix.endsWith(QLatin1Char(' '))) prefix.chop(1);
            Frm_ReturnBook &ret = win<Frm_ReturnBook>();
            showChild(ret);
            ret.Opt_RID->setValue(true);
            ret.Txt_ID->setText(prefix);
            ret.Cmd_Find_Click();
            choose(ret, 4, key);
            QCOMPARE(ret.Grid_ShowData->TextMatrix(ret.CurRow, 1), key);
            ret.Cmd_ReturnSel_Click();
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QCOMPARE(copyStatus(key), QStringLiteral("空闲"));

            // A deposit: the reader looked up, the record written with the number upper-cased.
            Frm_ReaderDeposit &dep = win<Frm_ReaderDeposit>();
            showChild(dep);
            dep.Cmd_Deposit_Click();
            dep.Txt_RID->setText(h.text);
            QTest::keyClick(dep.Txt_RID->textBox(), Qt::Key_Return);
            dep.Txt_Cash->setText(QStringLiteral("10"));
            dep.Cmd_Save_Click();
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QVERIFY2(values(QStringLiteral("充值记录"), QStringLiteral("读者编号")).contains(key.toUpper()),
                     qPrintable(why));
            QCOMPARE(scalar(QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = ") + SQLQuote(key)),
                     QStringLiteral("22.5"));

            // The find boxes of the lists.
            const struct {
                ChildListForm *list;
                FTextBox *box;
                int col;
            } finds[] = {
                {&win<Frm_BookInfo>(), nullptr, 2},
                {&win<Frm_BookStore>(), nullptr, 0},
                {&win<Frm_ReaderDoc>(), nullptr, 0},
            };
            for (const auto &f : finds) {
                showChild(*f.list);
                FTextBox *box = f.list == &win<Frm_BookInfo>()    ? win<Frm_BookInfo>().Txt_Find_ISBN.get()
                                : f.list == &win<Frm_BookStore>() ? win<Frm_BookStore>().Txt_Find_BID.get()
                                                                  : win<Frm_ReaderDoc>().Txt_Find_RID.get();
                box->setText(prefix);
                QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
                f.list->CurRow = -1;
                choose(*f.list, f.col, key);
                QVERIFY2(f.list->CurRow > 0, qPrintable(why + QStringLiteral(": not found in ") + f.list->Caption()));
                closeList(*f.list);
            }
            Frm_Query &query = win<Frm_Query>();
            showChild(query);
            query.Txt_Info->setText(h.text);
            query.Cmd_Query_Click();
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            closeList(query);
            m_stored += 7;
        }
        const QStringList v = CheckInvariants(SQLConn());
        QVERIFY2(v.isEmpty(), qPrintable(v.join(QLatin1Char('\n'))));
    }

    // The user name and the second password of the password retrieval, and a
    // login with that name.
    void passwordRetrieval()
    {
        Frm_FindPassword &w = win<Frm_FindPassword>();
        // Unloading it closes the connection the login window opened for it.
        m_close = [&w] {
            if (w.IsLoaded()) w.Unload();
        };
        w.Show();
        for (const Hostile &h : hostileTexts()) {
            if (testsupport::TempDb::onServer() && holdsNul(h.text)) continue;  // no account can hold it
            const QString why = QLatin1String(h.what);
            const QString name = trimmed(h.text);
            exec(QStringLiteral("DELETE FROM 账户 WHERE 用户名 <> 'admin'"));
            exec(QStringLiteral("INSERT 账户 VALUES (%1,'secret','某人',%1,'系统管理员',Null,'正常')")
                     .arg(SQLQuote(name)));
            m_msg->clear();
            w.Cmd_Pre_Click();  // back to the first page
            w.Cmd_Pre_Click();
            w.Txt_UID->setText(h.text);
            w.Cmd_Next_Click();
            w.Txt_Password->setText(name);  // compared exactly with what was stored
            w.Cmd_Next_Click();
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
            QVERIFY2(w.Lbl_Info->Caption().contains(QStringLiteral("secret")), qPrintable(why + w.Lbl_Info->Caption()));
            QVERIFY2(CheckLogin(h.text, QStringLiteral("secret")), qPrintable(why + QStringLiteral(": no login")));
            ++m_stored;
        }
    }

    // Date boxes take their default in place of a text that is no date; the
    // clean-up refuses it.
    void dateBoxesPutTheirDefault()
    {
        m_close = [] {
            closeList(win<Frm_AccountLoginInfo>());
            closeList(win<Frm_Statistics>());
            if (win<Frm_DBClear>().IsLoaded()) win<Frm_DBClear>().Unload();
        };
        for (const Hostile &h : hostileTexts()) {
            const QString why = QLatin1String(h.what);
            m_msg->clear();
            Frm_AccountLoginInfo &log = win<Frm_AccountLoginInfo>();
            showChild(log);
            log.Txt_From->setText(h.text);
            log.Txt_To->setText(h.text);
            log.Cmd_OK_Click();
            QCOMPARE(log.Txt_From->Text(), QStringLiteral("2000-01-01 00:00:00"));
            QCOMPARE(log.Txt_To->Text(), QStringLiteral("2024-03-15 10:20:30"));

            Frm_Statistics &stats = win<Frm_Statistics>();
            showChild(stats);
            stats.Opt_Book->setValue(true);
            stats.Txt_From->setText(h.text);
            stats.Txt_To->setText(h.text);
            stats.Cmd_OK_Click();
            QCOMPARE(stats.Txt_From->Text(), QStringLiteral("2000-01-01"));
            QCOMPARE(stats.Txt_To->Text(), QStringLiteral("2024-03-15"));

            Frm_DBClear &clear = win<Frm_DBClear>();
            clear.Show();
            clear.Chk_Brw_Return->setValue(vb::vbChecked);
            clear.Txt_From->setText(h.text);
            clear.Txt_To->setText(h.text);
            m_msg->clear();
            clear.Cmd_Clear_Click();
            // The clean-up would delete a wider range than the one typed: it refuses instead, and keeps the text.
            if (vb::Trim(h.text).isEmpty()) {
                QCOMPARE(clear.Txt_From->Text(), QStringLiteral("2000-01-01"));
                QCOMPARE(clear.Txt_To->Text(), QStringLiteral("2024-03-15"));
            } else if (!IsSQLDate(h.text)) {
                QCOMPARE(clear.Txt_From->Text(), h.text);
                QVERIFY2(m_msg->last().startsWith(QStringLiteral("“从”日期“")), qPrintable(why));
            }
            clear.Unload();
            QVERIFY2(errors().isEmpty(), qPrintable(why + QStringLiteral(": ") + errors().join(QLatin1Char('|'))));
        }
    }
};

QTEST_MAIN(TestHostileText)
#include "tst_hostiletext.moc"
