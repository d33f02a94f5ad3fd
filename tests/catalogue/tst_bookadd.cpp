// The title and copies editor: its three modes, the copy count and numbers,
// the ISBN look-up, the publisher added by name, saving as one unit,
// translucency and the Validate of a box before a button's click.
#include "catalogue/BookFixture.h"
#include "catalogue/Frm_BookInfo.h"

#include <QDialog>
#include <QtTest>

using namespace bookfix;

class TestBookAdd : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<AnswerQueue> m_msg;

    Frm_BookAdd &ed() { return vb::Default<Frm_BookAdd>(); }
    Frm_BookInfo &list() { return vb::Default<Frm_BookInfo>(); }

    void open(const QString &mode, const QString &isbn = QString())
    {
        ed().Mode = mode;
        ed().BookISBN = isbn;
        ed().CallerForm = &list();
        ed().Show();
        QCoreApplication::processEvents();
    }
    bool setCount(const QString &text)
    {
        ed().Txt_Num->setText(text);
        return ed().runValidate(ed().Txt_Num.get());
    }
    void enterNumber(const QString &id)
    {
        ed().Txt_BookID->setText(id);
        QTest::keyClick(ed().Txt_BookID->textBox(), Qt::Key_Return);
    }
    void fillTitle(const QString &isbn)
    {
        ed().Txt_ISBN->setText(isbn);
        ed().Txt_BookName->setText(QStringLiteral("新书"));
        ed().Txt_Writer->setText(QStringLiteral("作者丙"));
        ed().Cmb_Press->setText(QStringLiteral("人民出版社"));
    }
    QString field(const QString &column, const QString &isbn)
    {
        return scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM 图书档案 WHERE ISBN = ")
                      + SQLQuote(isbn));
    }
    int copies(const QString &isbn)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM 图书库存 WHERE ISBN = ") + SQLQuote(isbn));
    }
    int titles(const QString &isbn)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM 图书档案 WHERE ISBN = ") + SQLQuote(isbn));
    }
    // A real click on a drawn button: the pointer moves onto it, then presses
    // and releases (the press moves the keyboard first).
    static void clickButton(XButton *b)
    {
        const QPointF at(b->width() / 2.0, b->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, b->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(b, &move);
        QVERIFY(b->isHovering());
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, at.toPoint());
    }
    // Narrows the caller's list, so that a refresh shows as the find being gone.
    void narrowCaller() { list().Txt_Find_ISBN->setText(QStringLiteral("978-3")); }
    bool callerRefreshed() { return !list().SQLText.contains(QStringLiteral("LIKE")); }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fillBooks();
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<AnswerQueue>();
        showChild(list());
    }
    void cleanup()
    {
        if (ed().IsLoaded()) ed().Unload();
        list().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    // ---------------------------------------------------------------- modes

    void newTitleLayout()
    {
        open(QStringLiteral("ADD_Book"));
        QCOMPARE(ed().Caption(), QStringLiteral("添加图书"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加图书"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("添加"));
        QCOMPARE(ed().Width(), 5160);
        QCOMPARE(ed().Height(), 5760);
        QVERIFY(ed().Txt_ISBN->Enabled());
        QVERIFY(ed().Frame_BaseInfo->isEnabled());
        QCOMPARE(ed().Chk_FrameSwitch->Value(), 1);
        QVERIFY(ed().Frame_Add2Store->isEnabled());
        QCOMPARE(ed().Chk_AutoClose->Value(), 1);
        QCOMPARE(ed().LayeredAlpha(), 255);
        QCOMPARE(ed().Cmb_IsBrw->ListIndex(), -1);
        // The copies frame follows its switch.
        ed().Chk_FrameSwitch->setValue(vb::vbUnchecked);
        QVERIFY(!ed().Frame_Add2Store->isEnabled());
    }

    void changingATitleLoadsItAndFixesItsKey()
    {
        open(QStringLiteral("MOD_Book"), QStringLiteral("978-3"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("修改图书"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("修改"));
        QCOMPARE(ed().Height(), 4800);
        QVERIFY(!ed().Txt_ISBN->Enabled());
        QCOMPARE(ed().Txt_ISBN->Text(), QStringLiteral("978-3"));
        QCOMPARE(ed().Txt_BookName->Text(), QStringLiteral("珍本古籍"));
        QCOMPARE(ed().Txt_Writer->Text(), QStringLiteral("作者甲"));
        QCOMPARE(ed().Cmb_Press->Text(), QStringLiteral("人民出版社"));
        QCOMPARE(ed().Txt_PressDate->Text(), QStringLiteral("2020-01-01"));
        QCOMPARE(ed().Txt_Price->Text(), QStringLiteral("30"));
        QCOMPARE(ed().Txt_Rent->Text(), QStringLiteral("0.5"));
        QCOMPARE(ed().Cmb_IsBrw->ListIndex(), 1);
        QVERIFY(!ed().Frame_Add2Store->isVisible());
        QVERIFY(!ed().Chk_FrameSwitch->isVisible());
        QCOMPARE(ed().Chk_FrameSwitch->Value(), 0);
        QVERIFY(!ed().Chk_AutoClose->isVisible());
        QVERIFY(!ed().Lbl_Tip->isVisible());
        QCOMPARE(ed().Chk_Transparent->Top(), 3840);
        QVERIFY(ed().Chk_Transparent->Top() + ed().Chk_Transparent->Height() <= 4800);
        QVERIFY(ed().Line_Split->Y2() < 4800);
        QVERIFY(ed().Line_SplitShadow->Y2() < 4800);
        // A later new-title opening gets the full window again.
        ed().Cmd_GoBack_Click();
        open(QStringLiteral("ADD_Book"));
        QCOMPARE(ed().Height(), 5760);
        QCOMPARE(ed().Chk_Transparent->Top(), 5280);
        QCOMPARE(ed().Txt_ISBN->Text(), QString());
    }

    void addingCopiesShowsTheTitleReadOnly()
    {
        open(QStringLiteral("ADD_Store"), QStringLiteral("978-2"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加库存"));
        QCOMPARE(ed().Cmd_Add->Caption(), QStringLiteral("添加"));
        QCOMPARE(ed().Height(), 5760);
        QVERIFY(!ed().Frame_BaseInfo->isEnabled());
        QCOMPARE(ed().Txt_BookName->Text(), QStringLiteral("操作系统"));
        QCOMPARE(ed().Chk_FrameSwitch->Value(), 1);
        QVERIFY(!ed().Chk_FrameSwitch->isEnabled());
        QVERIFY(ed().Frame_Add2Store->isEnabled());
        QVERIFY(!ed().Cmd_Clear->isVisible());
        QCOMPARE(ed().Cmd_GoBack->Top(), 1200);
        QVERIFY(!ed().Chk_AutoClose->isVisible());
        QVERIFY(!ed().Lbl_Tip->isVisible());
    }

    void anExistingIsbnWithEnterTurnsIntoAddingCopies()
    {
        open(QStringLiteral("ADD_Book"));
        ed().Txt_ISBN->setText(QStringLiteral(" 978-x "));
        QTest::keyClick(ed().Txt_ISBN->textBox(), Qt::Key_Return);
        QCOMPARE(ed().Mode, QStringLiteral("ADD_Book"));
        QCOMPARE(ed().Txt_ISBN->Text(), QStringLiteral("978-x"));
        QVERIFY(m_msg->msgs.isEmpty());
        ed().Chk_Transparent->setValue(vb::vbChecked);
        ed().Txt_ISBN->setText(QStringLiteral("978-2"));
        QTest::keyClick(ed().Txt_ISBN->textBox(), Qt::Key_Return);
        QCOMPARE(ed().Mode, QStringLiteral("ADD_Store"));
        QCOMPARE(ed().BookISBN, QStringLiteral("978-2"));
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加库存"));
        QCOMPARE(ed().Txt_BookName->Text(), QStringLiteral("操作系统"));
        QVERIFY(!ed().Frame_BaseInfo->isEnabled());
        QVERIFY(!ed().Cmd_Clear->isVisible());
        QVERIFY(!ed().Chk_AutoClose->isVisible());
        QVERIFY(!ed().Chk_FrameSwitch->isEnabled());
        QCOMPARE(ed().LayeredAlpha(), 255);  // opaque again with the new mode
    }

    // ---------------------------------------------------------------- count and numbers

    void theCopyCountRules()
    {
        open(QStringLiteral("ADD_Book"));
        QVERIFY(!setCount(QStringLiteral("1001")));  // the keyboard stays in the box
        QCOMPARE(m_msg->last(), QStringLiteral("数量超出范围(1~1000)"));
        QCOMPARE(m_msg->msgs.last().icon, QStringLiteral("x"));
        QCOMPARE(ed().bookCount(), 0);
        m_msg->clear();
        QVERIFY(setCount(QStringLiteral("0")));
        QVERIFY(setCount(QString()));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(ed().bookCount(), 0);
        // "." is not taken.
        ed().Txt_Num->setText(QStringLiteral("2"));
        QTest::keyClick(ed().Txt_Num->textBox(), Qt::Key_End);
        QTest::keyClick(ed().Txt_Num->textBox(), '.');
        QCOMPARE(ed().Txt_Num->Text(), QStringLiteral("2"));

        QVERIFY(setCount(QStringLiteral("5")));
        QCOMPARE(ed().bookCount(), 5);
        QCOMPARE(ed().Cmb_Index->ListCount(), 5);
        QCOMPARE(ed().Cmb_Index->ListIndex(), 0);
        for (int i = 1; i <= 5; ++i) enterNumber(QStringLiteral("N%1").arg(i));
        // Enter in the last copy's box goes back to copy 1 and shows its number.
        QCOMPARE(ed().Cmb_Index->ListIndex(), 0);
        QCOMPARE(ed().Txt_BookID->Text(), QStringLiteral("N1"));
        QCOMPARE(ed().bookIDList(), QStringList({"N1", "N2", "N3", "N4", "N5"}));

        // A smaller count asks first; Cancel keeps the old one.
        m_msg->answers = {2};
        setCount(QStringLiteral("3"));
        QCOMPARE(m_msg->last(), QStringLiteral("输入的数比之前的小，这样会造成部分数据丢失，请确认？"));
        QCOMPARE(ed().Txt_Num->Text(), QStringLiteral("5"));
        QCOMPARE(ed().bookCount(), 5);
        QCOMPARE(ed().bookIDList().size(), 5);
        m_msg->clear();
        setCount(QStringLiteral("3"));
        QCOMPARE(ed().bookIDList(), QStringList({"N1", "N2", "N3"}));
        QCOMPARE(ed().Cmb_Index->ListCount(), 3);
        // A larger one keeps every number typed.
        setCount(QStringLiteral("4"));
        QCOMPARE(ed().bookIDList(), QStringList({"N1", "N2", "N3", ""}));
        QCOMPARE(m_msg->msgs.size(), 1);
        // Choosing a copy shows its number (the keyboard is elsewhere, as when the list is clicked).
        ed().Txt_Num->textBox()->setFocus();
        ed().Cmb_Index->setListIndex(2);
        QCOMPARE(ed().Txt_BookID->Text(), QStringLiteral("N3"));
    }

    void theSaveChecksInOrder()
    {
        open(QStringLiteral("ADD_Book"));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QCOMPARE(m_msg->msgs.last().icon, QStringLiteral("!"));
        QCOMPARE(m_msg->msgs.last().title, QStringLiteral("提示"));
        fillTitle(QStringLiteral("978-9"));
        ed().Cmb_Press->setText(QStringLiteral("   "));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        ed().Cmb_Press->setText(QStringLiteral("人民出版社"));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入数量！"));
        setCount(QStringLiteral("3"));
        enterNumber(QStringLiteral("N1"));
        enterNumber(QString());
        enterNumber(QStringLiteral("N3"));
        m_msg->clear();
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->texts(), QStringList({QStringLiteral("请输入第2本数的编号！")}));
        QCOMPARE(ed().Cmb_Index->ListIndex(), 1);
        QCOMPARE(ed().Txt_BookID->Text(), QString());
        QCOMPARE(titles(QStringLiteral("978-9")), 0);
        QVERIFY(ed().IsLoaded());
    }

    // ---------------------------------------------------------------- saving

    void aNewTitleAloneWithANewPublisher()
    {
        open(QStringLiteral("ADD_Book"));
        narrowCaller();
        ed().Txt_ISBN->setText(QStringLiteral(" 978-9 "));
        ed().Txt_BookName->setText(QStringLiteral("O'Reilly 指南"));
        ed().Txt_Writer->setText(QStringLiteral("作者丙"));
        ed().Cmb_Press->setText(QStringLiteral("新华出版社"));
        ed().Chk_FrameSwitch->setValue(vb::vbUnchecked);
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(field(QStringLiteral("图书名称"), QStringLiteral("978-9")), QStringLiteral("O'Reilly 指南"));
        QCOMPARE(field(QStringLiteral("出版社名称"), QStringLiteral("978-9")), QStringLiteral("新华出版社"));
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),出版时间,23)"), QStringLiteral("978-9")), QString());
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),价格,0)"), QStringLiteral("978-9")), QStringLiteral("0.00"));
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),每日租金,0)"), QStringLiteral("978-9")),
                 QStringLiteral("0.00"));
        QCOMPARE(field(QStringLiteral("可否外借"), QStringLiteral("978-9")), QStringLiteral("0"));
        QCOMPARE(copies(QStringLiteral("978-9")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 = '新华出版社' AND 地址 IS NULL")),
                 1);
        // Closed after the save; the list shows the title.
        QVERIFY(!ed().IsLoaded());
        QVERIFY(callerRefreshed());
        QVERIFY(rowWith(*list().Grid_ShowData.get(), 2, QStringLiteral("978-9")) >= 1);
        // Next time the publisher is offered.
        open(QStringLiteral("ADD_Book"));
        QVERIFY(ed().Cmb_Press->comboBox()->findText(QStringLiteral("新华出版社")) >= 0);
    }

    void aNewTitleWithCopiesStaysOpenForTheNext()
    {
        open(QStringLiteral("ADD_Book"));
        fillTitle(QStringLiteral("978-9"));
        ed().Txt_PressDate->setText(QStringLiteral("2024-3-5"));
        ed().Txt_Price->setText(QStringLiteral("45.5"));
        ed().Txt_Rent->setText(QStringLiteral("1.25"));
        ed().Cmb_IsBrw->setListIndex(0);
        ed().Chk_AutoClose->setValue(vb::vbUnchecked);
        setCount(QStringLiteral("2"));
        enterNumber(QStringLiteral(" N1 "));
        enterNumber(QStringLiteral("N2"));
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),出版时间,23)"), QStringLiteral("978-9")),
                 QStringLiteral("2024-03-05"));
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),价格,0)"), QStringLiteral("978-9")),
                 QStringLiteral("45.50"));
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),每日租金,0)"), QStringLiteral("978-9")),
                 QStringLiteral("1.25"));
        QCOMPARE(field(QStringLiteral("可否外借"), QStringLiteral("978-9")), QStringLiteral("1"));
        QCOMPARE(scalar(QStringLiteral("SELECT CONVERT(varchar(20),入库日期,20) FROM 图书库存 WHERE 图书编号 = 'N1'")),
                 QStringLiteral("2024-03-15 10:20:30"));
        QCOMPARE(scalar(QStringLiteral("SELECT 经手人 FROM 图书库存 WHERE 图书编号 = 'N2'")), QStringLiteral("admin"));
        QCOMPARE(scalar(QStringLiteral("SELECT ISBN FROM 图书库存 WHERE 图书编号 = 'N2'")), QStringLiteral("978-9"));
        // Still open, empty, ready for the next title; the list already shows this one.
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Lbl_TBarText->Caption(), QStringLiteral("添加图书"));
        QCOMPARE(ed().Txt_ISBN->Text(), QString());
        QCOMPARE(ed().Txt_BookName->Text(), QString());
        QCOMPARE(ed().bookCount(), 0);
        QCOMPARE(ed().Cmb_Index->ListCount(), 0);
        vb::Grid &g = *list().Grid_ShowData.get();
        QCOMPARE(g.TextMatrix(rowWith(g, 2, QStringLiteral("978-9")), 8), QStringLiteral("2"));
    }

    void addingCopiesToATitle()
    {
        open(QStringLiteral("ADD_Store"), QStringLiteral("978-3"));
        narrowCaller();
        setCount(QStringLiteral("2"));
        enterNumber(QStringLiteral("N1"));
        enterNumber(QStringLiteral("N2"));
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(copies(QStringLiteral("978-3")), 3);
        QVERIFY(!ed().IsLoaded());
        QVERIFY(callerRefreshed());
        // A title whose publisher is not on the list cannot take copies here.
        exec(QStringLiteral("UPDATE 图书档案 SET 出版社名称 = '已撤销出版社' WHERE ISBN = '978-3'"));
        open(QStringLiteral("ADD_Store"), QStringLiteral("978-3"));
        QCOMPARE(ed().Cmb_Press->Text(), QString());
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
    }

    // A refused copy number leaves nothing of the save behind, so the corrected
    // input can be saved again.
    void aFailedSaveWritesNothingAndCanBeRepeated()
    {
        open(QStringLiteral("ADD_Book"));
        narrowCaller();
        fillTitle(QStringLiteral("978-9"));
        ed().Cmb_Press->setText(QStringLiteral("新华出版社"));
        setCount(QStringLiteral("2"));
        enterNumber(QStringLiteral("N1"));
        enterNumber(QStringLiteral("B001"));  // exists already
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->msgs[0].icon, QStringLiteral("x"));
        QCOMPARE(m_msg->msgs[0].title, QStringLiteral("错误"));
        QVERIFY(!m_msg->last().isEmpty());
        QCOMPARE(titles(QStringLiteral("978-9")), 0);
        QCOMPARE(copies(QStringLiteral("978-9")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 = '新华出版社'")), 0);
        QVERIFY(!SQLConn().InTransaction());
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Txt_BookName->Text(), QStringLiteral("新书"));
        QVERIFY(callerRefreshed());
        // Corrected and saved again.
        m_msg->clear();
        ed().Cmb_Index->setListIndex(1);
        enterNumber(QStringLiteral("N2"));
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(titles(QStringLiteral("978-9")), 1);
        QCOMPARE(copies(QStringLiteral("978-9")), 2);
        QVERIFY(!ed().IsLoaded());

        // A batch of copies is all or nothing too.
        open(QStringLiteral("ADD_Store"), QStringLiteral("978-3"));
        setCount(QStringLiteral("3"));
        enterNumber(QStringLiteral("M1"));
        enterNumber(QStringLiteral("M2"));
        enterNumber(QStringLiteral("N1"));
        ed().Cmd_Add_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(copies(QStringLiteral("978-3")), 1);
        QVERIFY(ed().IsLoaded());
    }

    void changingATitleWritesEveryColumn()
    {
        open(QStringLiteral("MOD_Book"), QStringLiteral("978-3"));
        ed().Txt_BookName->setText(QStringLiteral("珍本古籍（修订）"));
        ed().Txt_Writer->setText(QStringLiteral("作者丁"));
        ed().Cmb_Press->setText(QStringLiteral("新华出版社"));
        ed().Txt_PressDate->setText(QStringLiteral("2021-05-06"));
        ed().Txt_Price->setText(QStringLiteral("88"));
        ed().Txt_Rent->setText(QStringLiteral("2"));
        ed().Cmb_IsBrw->setListIndex(0);
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(field(QStringLiteral("图书名称"), QStringLiteral("978-3")), QStringLiteral("珍本古籍（修订）"));
        QCOMPARE(field(QStringLiteral("作者"), QStringLiteral("978-3")), QStringLiteral("作者丁"));
        QCOMPARE(field(QStringLiteral("出版社名称"), QStringLiteral("978-3")), QStringLiteral("新华出版社"));
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),出版时间,23)"), QStringLiteral("978-3")),
                 QStringLiteral("2021-05-06"));
        QCOMPARE(field(QStringLiteral("CONVERT(varchar(10),价格,0)"), QStringLiteral("978-3")),
                 QStringLiteral("88.00"));
        QCOMPARE(field(QStringLiteral("可否外借"), QStringLiteral("978-3")), QStringLiteral("1"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 = '新华出版社'")), 1);
        QCOMPARE(titles(QStringLiteral("978-1")), 1);
        QCOMPARE(field(QStringLiteral("图书名称"), QStringLiteral("978-1")), QStringLiteral("数据库原理"));
        QVERIFY(!ed().IsLoaded());
    }

    void aRefusedChangeKeepsTheDialogAndRefreshesTheList()
    {
        testsupport::StatementFailer fail(QStringLiteral("UPDATE 图书档案"), 0,
                                          QStringLiteral("titles locked for test"));
        open(QStringLiteral("MOD_Book"), QStringLiteral("978-3"));
        narrowCaller();
        ed().Txt_Writer->setText(QStringLiteral("作者丁"));
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->last().contains(QStringLiteral("titles locked for test")));
        QVERIFY(ed().IsLoaded());
        QCOMPARE(ed().Txt_Writer->Text(), QStringLiteral("作者丁"));
        QVERIFY(callerRefreshed());
    }

    void closingSavesNothingAndLeavesTheList()
    {
        open(QStringLiteral("ADD_Book"));
        narrowCaller();
        fillTitle(QStringLiteral("978-9"));
        ed().Cmd_GoBack_Click();
        QVERIFY(!ed().IsLoaded());
        open(QStringLiteral("MOD_Book"), QStringLiteral("978-3"));
        ed().Txt_Writer->setText(QStringLiteral("作者丁"));
        emit ed().Cmd_TBarClose->Click();
        QVERIFY(!ed().IsLoaded());
        QCOMPARE(titles(QStringLiteral("978-9")), 0);
        QCOMPARE(field(QStringLiteral("作者"), QStringLiteral("978-3")), QStringLiteral("作者甲"));
        QVERIFY(!callerRefreshed());
    }

    // ---------------------------------------------------------------- boxes and looks

    void publicationDateIsEmptiedWhenNoDate()
    {
        open(QStringLiteral("ADD_Book"));
        ed().Txt_PressDate->setText(QStringLiteral("去年"));
        QVERIFY(ed().runValidate(ed().Txt_PressDate.get()));
        QCOMPARE(ed().Txt_PressDate->Text(), QString());
        ed().Txt_PressDate->setText(QStringLiteral("2024/3/5"));
        ed().runValidate(ed().Txt_PressDate.get());
        QCOMPARE(ed().Txt_PressDate->Text(), QStringLiteral("2024/3/5"));
    }

    void aPublicationDateTheBoxKeepsIsTheDateStored()
    {
        // Forms a clerk types: those the box keeps are stored as that day;
        // those the database would not store as the day the box read are emptied.
        const QList<std::pair<QString, QString>> cases = {
            {QStringLiteral("2024-1-5"), QStringLiteral("2024-01-05")},
            {QStringLiteral("2024/01/05"), QStringLiteral("2024-01-05")},
            {QStringLiteral("2024.1.5"), QStringLiteral("2024-01-05")},
            {QStringLiteral("1/5/2024"), QStringLiteral("2024-01-05")},
            {QStringLiteral(" 2024-01-05 10:30 "), QStringLiteral("2024-01-05 10:30:00")},
            {QStringLiteral("2024年1月5日"), QString()},
            {QStringLiteral("24年1月5日"), QString()},
            {QStringLiteral("1/5"), QString()},
            {QStringLiteral("24-1-5"), QString()},
            {QStringLiteral("1-5-24"), QString()},  // 2001-05-24 to the box, 2024-01-05 to the database
            {QStringLiteral("1700-01-01"), QString()},
            {QStringLiteral("2024-1-5 10:30 下午"), QString()},
        };
        int n = 0;
        for (const auto &[typed, stored] : cases) {
            const QString isbn = QStringLiteral("978-D%1").arg(++n);
            open(QStringLiteral("ADD_Book"));
            fillTitle(isbn);
            ed().Chk_FrameSwitch->setValue(vb::vbUnchecked);
            ed().Txt_PressDate->setText(typed);
            QVERIFY(ed().runValidate(ed().Txt_PressDate.get()));
            QCOMPARE(ed().Txt_PressDate->Text(), stored.isEmpty() ? QString() : typed);
            ed().Cmd_Add_Click();
            QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(typed + QStringLiteral(": ") + m_msg->msgs.value(0).text));
            QCOMPARE(titles(isbn), 1);
            QCOMPARE(field(QStringLiteral("CONVERT(varchar(20),出版时间,20)"), isbn),
                     stored.size() == 10 ? stored + QStringLiteral(" 00:00:00") : stored);
        }
        // Changing a title goes the same way.
        open(QStringLiteral("MOD_Book"), QStringLiteral("978-D1"));
        ed().Txt_PressDate->setText(QStringLiteral("2023年12月1日"));
        ed().runValidate(ed().Txt_PressDate.get());
        ed().Cmd_Add_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(field(QStringLiteral("出版时间"), QStringLiteral("978-D1")), QString());
    }

    void translucencySwitch()
    {
        open(QStringLiteral("ADD_Book"));
        QCOMPARE(ed().LayeredAlpha(), 255);
        QTest::mouseClick(ed().Chk_Transparent.get(), Qt::LeftButton);
        QCOMPARE(ed().Chk_Transparent->Value(), 1);
        QCOMPARE(ed().LayeredAlpha(), 192);
        ed().Chk_Transparent->setValue(vb::vbUnchecked);
        QCOMPARE(ed().LayeredAlpha(), 255);
        ed().Chk_Transparent->setValue(vb::vbChecked);
        ed().Cmd_GoBack_Click();
        open(QStringLiteral("ADD_Book"));
        QCOMPARE(ed().Chk_Transparent->Value(), 0);
        QCOMPARE(ed().LayeredAlpha(), 255);
    }

    // The count and the last copy's number are taken when the keyboard leaves
    // their boxes, before the save button's click runs.
    void boxesAreValidatedBeforeTheSaveButtonClicks()
    {
        open(QStringLiteral("ADD_Book"));
        QApplication::setActiveWindow(&ed());
        QVERIFY(QTest::qWaitForWindowActive(&ed()));
        fillTitle(QStringLiteral("978-9"));
        QLineEdit *num = ed().Txt_Num->textBox();
        QTest::mouseClick(num, Qt::LeftButton);
        QVERIFY(num->hasFocus());
        QTest::keyClicks(num, QStringLiteral("2"));
        QLineEdit *id = ed().Txt_BookID->textBox();
        QTest::mouseClick(id, Qt::LeftButton);
        QCOMPARE(ed().bookCount(), 2);
        QVERIFY(id->hasFocus());
        QTest::keyClicks(id, QStringLiteral("N1"));
        QTest::keyClick(id, Qt::Key_Return);
        QTest::keyClicks(id, QStringLiteral("N2"));
        clickButton(ed().Cmd_Add.get());
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(copies(QStringLiteral("978-9")), 2);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书库存 WHERE 图书编号 = 'N2'")), 1);
        QVERIFY(!ed().IsLoaded());
    }

    // A count out of range keeps the keyboard in its box: the click it was
    // leaving for does not run.
    void aRefusedCountStopsTheClick()
    {
        open(QStringLiteral("ADD_Book"));
        QApplication::setActiveWindow(&ed());
        QVERIFY(QTest::qWaitForWindowActive(&ed()));
        fillTitle(QStringLiteral("978-9"));
        QLineEdit *num = ed().Txt_Num->textBox();
        QTest::mouseClick(num, Qt::LeftButton);
        QTest::keyClicks(num, QStringLiteral("5000"));
        clickButton(ed().Cmd_Add.get());
        QCOMPARE(m_msg->texts(), QStringList({QStringLiteral("数量超出范围(1~1000)")}));
        QVERIFY(num->hasFocus());
        QCOMPARE(titles(QStringLiteral("978-9")), 0);
        QVERIFY(ed().IsLoaded());
    }

    // 数量 1001, then straight to 关闭, as a real window system delivers it: the
    // press moves the keyboard out of the box, Validate refuses with its
    // message, and the release arrives while the message is up, so the window
    // never sees it. Dismissed, the count cleared: one click on 关闭 closes.
    void theClickAfterARefusedCountIsNotLost()
    {
        open(QStringLiteral("ADD_Book"));
        QApplication::setActiveWindow(&ed());
        QVERIFY(QTest::qWaitForWindowActive(&ed()));
        QWindow *win = ed().windowHandle();
        QVERIFY(win);
        XButton *goBack = ed().Cmd_GoBack.get();
        const QPoint at = goBack->mapTo(goBack->window(), goBack->rect().center());
        QStringList shown;
        SetMsgBoxHook([&](const QString &text, const QString &, const QString &) {
            shown << text;
            QDialog box;
            box.setModal(true);
            QTimer::singleShot(30, &box, [&] {
                QTest::mouseRelease(win, Qt::LeftButton, {}, at);
                box.accept();
            });
            box.exec();
            return 1;
        });
        QLineEdit *num = ed().Txt_Num->textBox();
        QTest::mouseClick(num, Qt::LeftButton);
        QTest::keyClicks(num, QStringLiteral("1001"));
        QTest::mouseMove(win, at);
        QTest::mousePress(win, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        QCOMPARE(shown, QStringList{QStringLiteral("数量超出范围(1~1000)")});
        QVERIFY(ed().IsLoaded());
        QApplication::setActiveWindow(&ed());
        QTRY_VERIFY(num->hasFocus());

        num->selectAll();
        QTest::keyClick(num, Qt::Key_Backspace);  // an emptied count box holds 0
        QCOMPARE(ed().Txt_Num->Text(), QStringLiteral("0"));
        QTest::mouseMove(win, at);
        QTest::mousePress(win, Qt::LeftButton, {}, at);
        QTest::mouseRelease(win, Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        QCOMPARE(shown.size(), 1);
        QVERIFY(!ed().IsLoaded());
    }
};

QTEST_MAIN(TestBookAdd)
#include "tst_bookadd.moc"
