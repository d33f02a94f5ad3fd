// The record editors side by side: two desks on one record (a change or a
// deletion by the other desk between this desk's load and its save is never
// written over, the user is told, and a reload keeps the user's typing where
// the user typed), the numbers each editor checks again when it saves, and
// the caret in the first box after 添加. The other desk is a second
// connection to the same database.
#include "catalogue/BookFixture.h"
#include "catalogue/Frm_BookDamage.h"
#include "catalogue/Frm_BookDamageItem.h"
#include "catalogue/Frm_BookInfo.h"
#include "catalogue/Frm_BookStore.h"
#include "catalogue/Frm_LabInfo.h"
#include "catalogue/Frm_PressInfo.h"
#include "catalogue/Frm_ReaderAdd.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "catalogue/Frm_ReaderType.h"
#include "catalogue/LibraryForms.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_AccountAdd.h"
#include "core/Frm_AccountMag.h"
#include "core/Frm_AccountType.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

using namespace bookfix;

namespace {

template <class W> W &win() { return vb::Default<W>(); }

// A modal editor loaded as its list leaves it before showing it, without the modal loop.
template <class E> E &editor(ChildListForm &list, const QString &mode, const std::function<void(E &)> &setKey)
{
    showChild(list);
    E &ed = win<E>();
    if (ed.IsLoaded()) ed.Unload();
    ed.Mode = mode;
    setKey(ed);
    ed.CallerForm = &list;
    ed.Show();
    QCoreApplication::processEvents();
    return ed;
}

void unload(vb::Form &f)
{
    if (f.IsLoaded()) f.Unload();
}

// Opens a panel window's frame on the listed row whose key is `key`.
template <class W> void modifyRow(const QString &key)
{
    W &w = win<W>();
    showChild(w);
    w.CurRow = rowWith(*w.Grid_ShowData.get(), 0, key);
    QVERIFY(w.CurRow >= 1);
    w.Cmd_Modify_Click();
}

int powerIndex(const QString &column)
{
    for (int i = 0; i < Frm_AccountType::PowerCount; ++i)
        if (win<Frm_AccountType>().Lbl_Power(i)->Caption() == column) return i;
    return -1;
}

// One editor of a record that another desk may change.
struct Editor {
    const char *name;
    QString table, keyColumn, key;  // keyColumn "" for the one row of its table
    std::function<void()> open;     // the editor loaded with the record, as its list opens it
    std::function<void()> save;     // the click that saves
    std::function<void()> close;
    // This desk's change: typed into the box of `typedColumn`, stored as `typed`.
    QString typedColumn, typed;
    std::function<void()> type;
    // The other desk's SET: another column to `otherValue`, and `typedColumn`
    // to `clash` (what the row then holds there).
    QString otherSet, otherColumn, otherValue, clash;
    std::function<QString()> otherBox;  // what the box of otherColumn shows
    // A SET of columns the editor does not write ("" when it writes them all).
    QString unwrittenSet;

    QString where() const
    {
        return keyColumn.isEmpty() ? QString()
                                   : QStringLiteral(" WHERE ") + keyColumn + QStringLiteral(" = ") + SQLQuote(key);
    }
    QString stored(const QString &column) const
    {
        return scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table + where());
    }
    QString recordName() const
    {
        return keyColumn.isEmpty() ? table : table + QStringLiteral(" [ ") + key + QStringLiteral(" ]");
    }
};

QList<Editor> editors()
{
    return {
        {.name = "reader",
         .table = QStringLiteral("读者档案"),
         .keyColumn = QStringLiteral("读者编号"),
         .key = QStringLiteral("R001"),
         .open =
             [] {
                 editor<Frm_ReaderAdd>(win<Frm_ReaderDoc>(), QStringLiteral("MOD"),
                                       [](Frm_ReaderAdd &e) { e.RID = QStringLiteral("R001"); });
             },
         .save = [] { win<Frm_ReaderAdd>().Cmd_Add_Click(); },
         .close =
             [] {
                 unload(win<Frm_ReaderAdd>());
                 unload(win<Frm_ReaderDoc>());
             },
         .typedColumn = QStringLiteral("姓名"),
         .typed = QStringLiteral("张三丰"),
         .type = [] { win<Frm_ReaderAdd>().Txt_Name->setText(QStringLiteral("张三丰")); },
         .otherSet = QStringLiteral("联系电话 = '13900000000', 姓名 = '张小三'"),
         .otherColumn = QStringLiteral("联系电话"),
         .otherValue = QStringLiteral("13900000000"),
         .clash = QStringLiteral("张小三"),
         .otherBox = [] { return win<Frm_ReaderAdd>().Txt_Phone->Text(); },
         .unwrittenSet = QStringLiteral("账户金额 = 账户金额 + 10, 当前借书数量 = 1, 未还书总数 = 1")},
        {.name = "title",
         .table = QStringLiteral("图书档案"),
         .keyColumn = QStringLiteral("ISBN"),
         .key = QStringLiteral("978-1"),
         .open =
             [] {
                 editor<Frm_BookAdd>(win<Frm_BookInfo>(), QStringLiteral("MOD_Book"),
                                     [](Frm_BookAdd &e) { e.BookISBN = QStringLiteral("978-1"); });
             },
         .save = [] { win<Frm_BookAdd>().Cmd_Add_Click(); },
         .close =
             [] {
                 unload(win<Frm_BookAdd>());
                 unload(win<Frm_BookInfo>());
             },
         .typedColumn = QStringLiteral("每日租金"),
         .typed = QStringLiteral("0.8"),
         .type = [] { win<Frm_BookAdd>().Txt_Rent->setText(QStringLiteral("0.8")); },
         .otherSet = QStringLiteral("价格 = 45, 每日租金 = 0.6"),
         .otherColumn = QStringLiteral("价格"),
         .otherValue = QStringLiteral("45"),
         .clash = QStringLiteral("0.6"),
         .otherBox = [] { return win<Frm_BookAdd>().Txt_Price->Text(); },
         .unwrittenSet = QString()},
        {.name = "damage record",
         .table = QStringLiteral("图书损坏"),
         .keyColumn = QStringLiteral("图书损坏编号"),
         .key = QStringLiteral("240120100001"),
         .open =
             [] {
                 editor<Frm_BookDamageItem>(win<Frm_BookDamage>(), QStringLiteral("MOD"),
                                            [](Frm_BookDamageItem &e) { e.DamageID = QStringLiteral("240120100001"); });
             },
         .save = [] { win<Frm_BookDamageItem>().Cmd_OK_Click(); },
         .close =
             [] {
                 unload(win<Frm_BookDamageItem>());
                 unload(win<Frm_BookDamage>());
             },
         .typedColumn = QStringLiteral("损坏描述"),
         .typed = QStringLiteral("封面破损"),
         .type = [] { win<Frm_BookDamageItem>().Txt_Info->setText(QStringLiteral("封面破损")); },
         .otherSet = QStringLiteral("赔偿金额 = 9, 损坏描述 = '书脊断裂'"),
         .otherColumn = QStringLiteral("赔偿金额"),
         .otherValue = QStringLiteral("9"),
         .clash = QStringLiteral("书脊断裂"),
         .otherBox = [] { return win<Frm_BookDamageItem>().Txt_Cash->Text(); },
         .unwrittenSet = QString()},
        // A disabling made at one desk is not undone by another desk's older editor.
        {.name = "account",
         .table = QStringLiteral("账户"),
         .keyColumn = QStringLiteral("用户名"),
         .key = QStringLiteral("clerk"),
         .open =
             [] {
                 editor<Frm_AccountAdd>(win<Frm_AccountMag>(), QStringLiteral("MOD"),
                                        [](Frm_AccountAdd &e) { e.UID = QStringLiteral("clerk"); });
             },
         .save = [] { win<Frm_AccountAdd>().Cmd_Add_Click(); },
         .close =
             [] {
                 unload(win<Frm_AccountAdd>());
                 unload(win<Frm_AccountMag>());
             },
         .typedColumn = QStringLiteral("真实姓名"),
         .typed = QStringLiteral("柜台主管"),
         .type = [] { win<Frm_AccountAdd>().Txt_Name->setText(QStringLiteral("柜台主管")); },
         .otherSet = QStringLiteral("状态 = '停用', 真实姓名 = '柜台乙'"),
         .otherColumn = QStringLiteral("状态"),
         .otherValue = QStringLiteral("停用"),
         .clash = QStringLiteral("柜台乙"),
         .otherBox = [] { return win<Frm_AccountAdd>().Cmb_Status->Text(); },
         .unwrittenSet = QStringLiteral("最后登录时间 = '2024-03-15 09:00:00', 密码 = 'other'")},
        {.name = "account type",
         .table = QStringLiteral("账户类型"),
         .keyColumn = QStringLiteral("账户类型"),
         .key = QStringLiteral("职员"),
         .open =
             [] {
                 Frm_AccountType &w = win<Frm_AccountType>();
                 showChild(w);
                 for (int i = 0; i < w.Cmb_AccType->ListCount(); ++i)
                     if (w.Cmb_AccType->List(i) == QStringLiteral("职员")) w.Cmb_AccType->setListIndex(i);
             },
         .save = [] { win<Frm_AccountType>().Cmd_OK_Click(); },
         .close = [] { unload(win<Frm_AccountType>()); },
         .typedColumn = QStringLiteral("修改图书馆信息权限"),
         .typed = QStringLiteral("1"),
         .type = [] { win<Frm_AccountType>().Lbl_Power_Click(powerIndex(QStringLiteral("修改图书馆信息权限"))); },
         .otherSet = QStringLiteral("打印报表权限 = 1, 修改图书馆信息权限 = 0"),
         .otherColumn = QStringLiteral("打印报表权限"),
         .otherValue = QStringLiteral("1"),
         .clash = QStringLiteral("0"),
         .otherBox =
             [] {
                 return QString::number(
                     win<Frm_AccountType>().Chk_Power(powerIndex(QStringLiteral("打印报表权限")))->Value());
             },
         .unwrittenSet = QString()},
        {.name = "reader category",
         .table = QStringLiteral("读者类别"),
         .keyColumn = QStringLiteral("读者类别"),
         .key = QStringLiteral("学生"),
         .open = [] { modifyRow<Frm_ReaderType>(QStringLiteral("学生")); },
         .save = [] { win<Frm_ReaderType>().Cmd_Save_Click(); },
         .close = [] { unload(win<Frm_ReaderType>()); },
         .typedColumn = QStringLiteral("借书数量限制"),
         .typed = QStringLiteral("8"),
         .type = [] { win<Frm_ReaderType>().Txt(2)->setText(QStringLiteral("8")); },
         .otherSet = QStringLiteral("借书时间期限 = '45', 借书数量限制 = '6'"),
         .otherColumn = QStringLiteral("借书时间期限"),
         .otherValue = QStringLiteral("45"),
         .clash = QStringLiteral("6"),
         .otherBox = [] { return win<Frm_ReaderType>().Txt(1)->Text(); },
         .unwrittenSet = QString()},
        {.name = "publisher",
         .table = QStringLiteral("出版社"),
         .keyColumn = QStringLiteral("出版社名称"),
         .key = QStringLiteral("人民出版社"),
         .open = [] { modifyRow<Frm_PressInfo>(QStringLiteral("人民出版社")); },
         .save = [] { win<Frm_PressInfo>().Cmd_Save_Click(); },
         .close = [] { unload(win<Frm_PressInfo>()); },
         .typedColumn = QStringLiteral("地址"),
         .typed = QStringLiteral("上海"),
         .type = [] { win<Frm_PressInfo>().Txt(1)->setText(QStringLiteral("上海")); },
         .otherSet = QStringLiteral("邮编 = '510000', 地址 = '广州'"),
         .otherColumn = QStringLiteral("邮编"),
         .otherValue = QStringLiteral("510000"),
         .clash = QStringLiteral("广州"),
         .otherBox = [] { return win<Frm_PressInfo>().Txt(2)->Text(); },
         .unwrittenSet = QString()},
        {.name = "library information",
         .table = QStringLiteral("图书馆信息"),
         .keyColumn = QString(),
         .key = QString(),
         .open =
             [] {
                 showMain();
                 ChildFormSwitch(&win<Frm_LabInfo>(), nullptr);
                 QCoreApplication::processEvents();
             },
         .save = [] { win<Frm_LabInfo>().Cmd_Save_Click(); },
         .close =
             [] {
                 if (win<Frm_LabInfo>().IsLoaded()) CloseChildForm(&win<Frm_LabInfo>());
             },
         .typedColumn = QStringLiteral("联系电话"),
         .typed = QStringLiteral("010-12345678"),
         .type = [] { win<Frm_LabInfo>().Txt_Tel->setText(QStringLiteral("010-12345678")); },
         .otherSet = QStringLiteral("负责人 = '王馆长', 联系电话 = '020-1'"),
         .otherColumn = QStringLiteral("负责人"),
         .otherValue = QStringLiteral("王馆长"),
         .clash = QStringLiteral("020-1"),
         .otherBox = [] { return win<Frm_LabInfo>().Txt_Charger->Text(); },
         .unwrittenSet = QString()},
    };
}

// Adding copies to a title: there is nothing of the title to write over, but
// the title must still be there.
Editor copiesOfATitle()
{
    return {.name = "copies of a title",
            .table = QStringLiteral("图书档案"),
            .keyColumn = QStringLiteral("ISBN"),
            .key = QStringLiteral("978-2"),
            .open =
                [] {
                    editor<Frm_BookAdd>(win<Frm_BookStore>(), QStringLiteral("ADD_Store"),
                                        [](Frm_BookAdd &e) { e.BookISBN = QStringLiteral("978-2"); });
                },
            .save = [] { win<Frm_BookAdd>().Cmd_Add_Click(); },
            .close =
                [] {
                    unload(win<Frm_BookAdd>());
                    unload(win<Frm_BookStore>());
                },
            .typedColumn = QStringLiteral("图书名称"),
            .typed = QStringLiteral("操作系统"),
            .type =
                [] {
                    Frm_BookAdd &ed = win<Frm_BookAdd>();
                    ed.Txt_Num->setText(QStringLiteral("1"));
                    ed.runValidate(ed.Txt_Num.get());
                    ed.Txt_BookID->setText(QStringLiteral("N001"));
                    QTest::keyClick(ed.Txt_BookID->textBox(), Qt::Key_Return);
                },
            .otherSet = QStringLiteral("价格 = 99"),
            .otherColumn = QStringLiteral("价格"),
            .otherValue = QStringLiteral("99"),
            .clash = QString(),
            .otherBox = {},
            .unwrittenSet = QStringLiteral("图书名称 = '操作系统', 价格 = 99")};
}

// A box whose number is checked again on save, in an editor that adds a record.
struct NumberBox {
    const char *name;
    QString caption;                   // the box's label, as the refusal names it
    bool whole;                        // a whole number from 1 (else money from 0)
    std::function<FTextBox *()> open;  // the editor filled in but for the box, which it returns
    std::function<void()> save;
    QString stored;  // the value stored for the new record ("" when there is none)
    std::function<void()> close;
};

QList<NumberBox> numberBoxes()
{
    const auto category = [](int index) {
        return [index]() -> FTextBox * {
            Frm_ReaderType &w = win<Frm_ReaderType>();
            showChild(w);
            w.Cmd_Add_Click();
            w.Txt(0)->setText(QStringLiteral("研究生"));
            for (int i = 1; i <= 2; ++i) w.Txt(i)->setText(QStringLiteral("30"));
            return w.Txt(index);
        };
    };
    const auto title = [](FTextBox *(*box)(Frm_BookAdd &)) {
        return [box]() -> FTextBox * {
            Frm_BookAdd &ed = editor<Frm_BookAdd>(win<Frm_BookInfo>(), QStringLiteral("ADD_Book"),
                                                  [](Frm_BookAdd &e) { e.BookISBN.clear(); });
            ed.Txt_ISBN->setText(QStringLiteral("978-9"));
            ed.Txt_BookName->setText(QStringLiteral("新书"));
            ed.Txt_Writer->setText(QStringLiteral("作者丙"));
            ed.Cmb_Press->setText(QStringLiteral("人民出版社"));
            ed.Chk_FrameSwitch->setValue(vb::vbUnchecked);
            return box(ed);
        };
    };
    const auto closeTitle = [] {
        unload(win<Frm_BookAdd>());
        unload(win<Frm_BookInfo>());
    };
    const auto titleColumn = [](const QString &column) {
        return QStringLiteral("SELECT ") + column + QStringLiteral(" FROM 图书档案 WHERE ISBN = '978-9'");
    };
    return {
        {"loan period", QStringLiteral("借书时间期限(天)"), true, category(1),
         [] { win<Frm_ReaderType>().Cmd_Save_Click(); },
         QStringLiteral("SELECT 借书时间期限 FROM 读者类别 WHERE 读者类别 = '研究生'"),
         [] { unload(win<Frm_ReaderType>()); }},
        {"loan limit", QStringLiteral("借书数量限制(本)"), true, category(2),
         [] { win<Frm_ReaderType>().Cmd_Save_Click(); },
         QStringLiteral("SELECT 借书数量限制 FROM 读者类别 WHERE 读者类别 = '研究生'"),
         [] { unload(win<Frm_ReaderType>()); }},
        {"price", QStringLiteral("价格"), false, title([](Frm_BookAdd &e) { return e.Txt_Price.get(); }),
         [] { win<Frm_BookAdd>().Cmd_Add_Click(); }, titleColumn(QStringLiteral("价格")), closeTitle},
        {"rent", QStringLiteral("每日租金"), false, title([](Frm_BookAdd &e) { return e.Txt_Rent.get(); }),
         [] { win<Frm_BookAdd>().Cmd_Add_Click(); }, titleColumn(QStringLiteral("每日租金")), closeTitle},
        {"compensation", QStringLiteral("赔偿金额"), false,
         []() -> FTextBox * {
             Frm_BookDamageItem &ed = editor<Frm_BookDamageItem>(win<Frm_BookDamage>(), QStringLiteral("ADD"),
                                                                 [](Frm_BookDamageItem &e) { e.DamageID.clear(); });
             ed.Txt_BrwID->setText(QStringLiteral("240101090000009"));
             ed.Txt_Info->setText(QStringLiteral("破损"));
             return ed.Txt_Cash.get();
         },
         [] { win<Frm_BookDamageItem>().Cmd_OK_Click(); },
         QStringLiteral("SELECT 赔偿金额 FROM 图书损坏 WHERE 图书借阅编号 = '240101090000009'"),
         [] {
             unload(win<Frm_BookDamageItem>());
             unload(win<Frm_BookDamage>());
         }},
    };
}

}  // namespace

Q_DECLARE_METATYPE(Editor)
Q_DECLARE_METATYPE(std::function<void()>)
Q_DECLARE_METATYPE(std::function<QWidget *()>)
Q_DECLARE_METATYPE(ChildListForm *)

class TestEditors : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<AnswerQueue> m_msg;
    std::unique_ptr<QTemporaryDir> m_app;
    std::function<void()> m_close;

    // The other desk: its own connection to the same database.
    void otherDesk(const QString &sql) { m_db->db.conn().Execute(sql); }

    void addData(const QList<Editor> &list)
    {
        QTest::addColumn<Editor>("e");
        for (const Editor &e : list) QTest::newRow(e.name) << e;
    }
    Editor opened()
    {
        QFETCH(Editor, e);
        m_close = e.close;
        e.open();
        e.type();
        m_msg->clear();
        return e;
    }

private slots:
    void initTestCase()
    {
        RegisterLibraryForms();
        m_app = std::make_unique<QTemporaryDir>();
        AppPath = m_app->path() + QStringLiteral("/");
    }
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fillBooks();
        exec(QStringLiteral("INSERT 账户类型 VALUES ('职员', 0,1,0,1,0,1,1,1,0,0,0,0,0)"));
        exec(QStringLiteral("INSERT 账户 VALUES ('clerk','pw','柜台职员','cl2nd','职员',Null,'正常')"));
        exec(QStringLiteral("INSERT 图书损坏 VALUES ('240120100001','240101090000001','破损',5,'')"));
        // The loan the compensation box's new record is for.
        exec(QStringLiteral("INSERT 图书借阅 VALUES ('240101090000009', 'B001', 'R001', '2024-01-01', '2024-01-31', "
                            "'2024-01-10', '1', 'admin', 'admin')"));
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<AnswerQueue>();
    }
    void cleanup()
    {
        if (m_close) m_close();
        m_close = nullptr;
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    // The other desk changed the record after this desk loaded it. The save
    // writes nothing and says which record changed; keeping the typing leaves
    // the boxes alone (a second save is refused again); a reload takes the
    // other desk's value where this user typed nothing and keeps this user's
    // typing; the save after it writes both.
    void anotherDesksChangeIsNeverWrittenOver_data() { addData(editors()); }
    void anotherDesksChangeIsNeverWrittenOver()
    {
        const Editor e = opened();
        const QString shownBefore = e.otherBox();
        otherDesk(QStringLiteral("UPDATE ") + e.table + QStringLiteral(" SET ") + e.otherSet + e.where());

        m_msg->answers = {2};  // keep what was typed
        e.save();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("?"));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("记录已被修改"));
        QVERIFY2(
            m_msg->msgs[0].text.startsWith(e.recordName() + QStringLiteral(" 已被其他用户修改，本次未保存任何内容。")),
            qPrintable(m_msg->msgs[0].text));
        QCOMPARE(e.stored(e.typedColumn), e.clash);
        QCOMPARE(e.stored(e.otherColumn), e.otherValue);
        QCOMPARE(e.otherBox(), shownBefore);

        m_msg->clear();
        m_msg->answers = {1};  // reload
        e.save();
        QCOMPARE(m_msg->texts().size(), 1);
        QCOMPARE(e.stored(e.typedColumn), e.clash);
        QCOMPARE(e.otherBox(), e.otherValue);

        m_msg->clear();
        e.save();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(e.stored(e.typedColumn), e.typed);
        QCOMPARE(e.stored(e.otherColumn), e.otherValue);
    }

    // The other desk deleted the record: the save writes nothing and says so
    // in plain words, not in the words of a recordset at its end.
    void aRecordDeletedMeanwhileIsReportedInPlainWords_data() { addData(editors() << copiesOfATitle()); }
    void aRecordDeletedMeanwhileIsReportedInPlainWords()
    {
        const Editor e = opened();
        otherDesk(QStringLiteral("DELETE FROM ") + e.table + e.where());
        const QString before = m_db->db.dump();
        e.save();
        QCOMPARE(m_msg->texts(),
                 QStringList{e.recordName() + QStringLiteral(" 已被其他用户删除，本次未保存任何内容。")});
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("x"));
        QCOMPARE(m_db->db.dump(), before);
    }

    // Nobody else changed the record, or changed only columns this editor
    // does not write (a lending moving a reader's counters, a login): the
    // save writes as it always did, without a word.
    void anUnchangedRecordSavesAsBefore_data()
    {
        QTest::addColumn<Editor>("e");
        QTest::addColumn<bool>("othersWrote");
        const QList<Editor> all = editors() << copiesOfATitle();
        for (const Editor &e : all) {
            QTest::newRow(e.name) << e << false;
            if (!e.unwrittenSet.isEmpty()) QTest::addRow("%s, other columns changed", e.name) << e << true;
        }
    }
    void anUnchangedRecordSavesAsBefore()
    {
        QFETCH(bool, othersWrote);
        const Editor e = opened();
        if (othersWrote)
            otherDesk(QStringLiteral("UPDATE ") + e.table + QStringLiteral(" SET ") + e.unwrittenSet + e.where());
        e.save();
        QCOMPARE(m_msg->texts(), QStringList());
        QCOMPARE(e.stored(e.typedColumn), e.typed);
        if (QString::fromUtf8(e.name) == QStringLiteral("copies of a title"))
            QCOMPARE(scalar(QStringLiteral("SELECT ISBN FROM 图书库存 WHERE 图书编号 = 'N001'")), e.key);
    }

    // The compare reads the row with a write lock inside the save's own
    // transaction, before the save writes anything: another desk's save of
    // the row waits for this one and then finds the row changed.
    void theCompareLocksTheRowInsideTheSave_data() { addData(editors() << copiesOfATitle()); }
    void theCompareLocksTheRowInsideTheSave()
    {
        const Editor e = opened();
        QStringList seen;  // each statement, after "T " when a transaction runs it
        ado::Connection::SetStatementHook([&seen](const QString &statement) {
            seen << (SQLConn().InTransaction() ? QStringLiteral("T ") : QStringLiteral("- ")) + statement;
        });
        e.save();
        ado::Connection::SetStatementHook(nullptr);
        // The row's own lock (an account type's save locks every type first, to take turns with other desks).
        const auto lock = std::find_if(seen.cbegin(), seen.cend(), [&e](const QString &s) {
            return s.contains(QStringLiteral("WITH (UPDLOCK)")) && s.endsWith(e.where());
        });
        QVERIFY2(lock != seen.cend(), qPrintable(seen.join(QLatin1Char('\n'))));
        QVERIFY2(
            lock->startsWith(QStringLiteral("T SELECT "))
                && lock->endsWith(QStringLiteral(" FROM ") + e.table + QStringLiteral(" WITH (UPDLOCK)") + e.where()),
            qPrintable(*lock));
        int writes = 0;
        for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
            const QString s = it->mid(2);
            if (!s.startsWith(QStringLiteral("INSERT")) && !s.startsWith(QStringLiteral("UPDATE"))) continue;
            ++writes;
            QVERIFY2(it > lock && it->startsWith(QStringLiteral("T ")), qPrintable(*it));
        }
        QVERIFY(writes > 0);
    }

    // Every number an editor writes is checked again on save, whatever got
    // into its box: refused, the save names the box and writes nothing.
    void numbersAreCheckedWhenSaved_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("storedAs");
        const QList<NumberBox> boxes = numberBoxes();
        for (int i = 0; i < boxes.size(); ++i) {
            const auto row = [&](const char *what, const QString &text, bool accepted, const QString &storedAs) {
                QTest::addRow("%s: %s", boxes[i].name, what) << i << text << accepted << storedAs;
            };
            row("negative", QStringLiteral("-30"), false, QString());
            if (boxes[i].whole) {
                row("zero", QStringLiteral("0"), false, QString());
                row("not a whole number", QStringLiteral("3a"), false, QString());
                row("past the column", QStringLiteral("2147483648"), false, QString());
                row("one", QStringLiteral("1"), true, QStringLiteral("1"));
                row("the column's largest", QStringLiteral("2147483647"), true, QStringLiteral("2147483647"));
            } else {
                row("a fraction below zero", QStringLiteral("-0.01"), false, QString());
                row("past the money range", QStringLiteral("01e300"), false, QString());
                row("past what the lists show", QStringLiteral("9999999.991"), false, QString());
                row("the lists' largest", QStringLiteral("9999999.99"), true, QStringLiteral("9999999.99"));
                row("zero", QStringLiteral("0"), true, QStringLiteral("0"));
                row("fine", QStringLiteral("12.5"), true, QStringLiteral("12.5"));
            }
        }
    }
    void numbersAreCheckedWhenSaved()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, storedAs);
        const NumberBox b = numberBoxes().at(box);
        m_close = b.close;
        FTextBox *t = b.open();
        // Whatever got into the box: text put there by the program passes no
        // filter, and the box's length limit is lifted for the column's range.
        t->setMaxLength(0);
        t->textBox()->setText(text);
        m_msg->clear();
        b.save();
        if (accepted) {
            QCOMPARE(m_msg->texts(), QStringList());
            QCOMPARE(scalar(b.stored).toDouble(), storedAs.toDouble());
            return;
        }
        const QString expected = b.whole ? QStringLiteral("请在“%1”中填写 1 至 2147483647 之间的整数！").arg(b.caption)
                                         : QStringLiteral("请在“%1”中填写 0 至 9999999.99 之间的金额！").arg(b.caption);
        QCOMPARE(m_msg->texts(), QStringList{expected});
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("!"));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("提示"));
        QCOMPARE(scalar(b.stored), QString());
    }

    // After 添加 the caret is in the box the user types first.
    void theCaretStartsInTheFirstBoxAfterAdd_data()
    {
        QTest::addColumn<ChildListForm *>("list");
        QTest::addColumn<std::function<void()>>("add");
        QTest::addColumn<std::function<QWidget *()>>("first");
        using Add = std::function<void()>;
        using First = std::function<QWidget *()>;
        QTest::newRow("reader") << static_cast<ChildListForm *>(&win<Frm_ReaderDoc>())
                                << Add([] { win<Frm_ReaderDoc>().Cmd_Add_Click(); })
                                << First([] { return win<Frm_ReaderAdd>().Txt_RID->textBox(); });
        QTest::newRow("account") << static_cast<ChildListForm *>(&win<Frm_AccountMag>())
                                 << Add([] { win<Frm_AccountMag>().Cmd_Add_Click(); })
                                 << First([] { return win<Frm_AccountAdd>().Txt_UID->textBox(); });
        QTest::newRow("title") << static_cast<ChildListForm *>(&win<Frm_BookInfo>())
                               << Add([] { win<Frm_BookInfo>().Cmd_Add_Click(); })
                               << First([] { return win<Frm_BookAdd>().Txt_ISBN->textBox(); });
        QTest::newRow("copies of a title") << static_cast<ChildListForm *>(&win<Frm_BookStore>()) << Add([] {
            Frm_BookStore &w = win<Frm_BookStore>();
            w.CurRow = rowWith(*w.Grid_ShowData.get(), 0, QStringLiteral("B003"));
            w.Grid_ShowData_DblClick();
        }) << First([] { return win<Frm_BookAdd>().Txt_Num->textBox(); });
        QTest::newRow("damage record") << static_cast<ChildListForm *>(&win<Frm_BookDamage>())
                                       << Add([] { win<Frm_BookDamage>().Cmd_Add_Click(); })
                                       << First([] { return win<Frm_BookDamageItem>().Txt_BrwID->textBox(); });
        QTest::newRow("publisher") << static_cast<ChildListForm *>(&win<Frm_PressInfo>())
                                   << Add([] { win<Frm_PressInfo>().Cmd_Add_Click(); })
                                   << First([] { return win<Frm_PressInfo>().Txt(0)->textBox(); });
        QTest::newRow("reader category") << static_cast<ChildListForm *>(&win<Frm_ReaderType>())
                                         << Add([] { win<Frm_ReaderType>().Cmd_Add_Click(); })
                                         << First([] { return win<Frm_ReaderType>().Txt(0)->textBox(); });
    }
    void theCaretStartsInTheFirstBoxAfterAdd()
    {
        QFETCH(ChildListForm *, list);
        QFETCH(std::function<void()>, add);
        QFETCH(std::function<QWidget *()>, first);
        const QList<vb::Form *> editorForms = {&win<Frm_ReaderAdd>(), &win<Frm_AccountAdd>(), &win<Frm_BookAdd>(),
                                               &win<Frm_BookDamageItem>()};
        m_close = [editorForms] {
            for (vb::Form *f : editorForms) unload(*f);
            for (vb::Form *f : std::initializer_list<vb::Form *>{
                     &win<Frm_ReaderDoc>(), &win<Frm_AccountMag>(), &win<Frm_BookInfo>(), &win<Frm_BookStore>(),
                     &win<Frm_BookDamage>(), &win<Frm_PressInfo>(), &win<Frm_ReaderType>()})
                unload(*f);
        };
        showChild(*list);
        bool hadCaret = false;
        // A modal editor is looked at while it is up, then closed.
        QTimer::singleShot(0, [&] {
            hadCaret = QTest::qWaitFor([&] { return QApplication::focusWidget() == first(); }, 2000);
            for (vb::Form *f : editorForms)
                if (f->IsModalShowing()) f->Unload();
        });
        add();
        QTest::qWait(20);
        QVERIFY(hadCaret);
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
