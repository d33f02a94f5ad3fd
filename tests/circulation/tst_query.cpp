// The search window: every kind of search on a seeded database (prefix match,
// outer joins, CASE columns, CONVERT styles, order), the refusal of an empty
// text, Enter as the button, and a statement the database refuses.
#include "circulation/CirculationFixture.h"
#include "circulation/CirculationForms.h"
#include "circulation/Frm_Query.h"
#include "core/ChildFormSwitch.h"

#include <QFontMetrics>
#include <QTableView>
#include <QtTest>

using namespace circfix;

class TestQuery : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_Query &w() { return vb::Default<Frm_Query>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }

    // Runs one search of the given kind through the button.
    void search(int kind, const QString &text)
    {
        w().Opt_Case(kind)->setValue(true);
        w().Txt_Info->setText(text);
        w().Cmd_Query_Click();
    }
    QStringList header()
    {
        QStringList h;
        for (int c = 0; c < grid().Cols(); ++c) h << grid().TextMatrix(0, c);
        return h;
    }
    QStringList column(int col)
    {
        QStringList v;
        for (int r = 1; r < grid().Rows(); ++r) v << grid().TextMatrix(r, col);
        return v;
    }
    QStringList row(int r)
    {
        QStringList v;
        for (int c = 0; c < grid().Cols(); ++c) v << grid().TextMatrix(r, c);
        return v;
    }
    static void lend(const QString &loanNo, const QString &copy, const QString &reader, const QString &day,
                     bool returned)
    {
        exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,%2,%3,%4,'2024-04-01',%5,%6,'admin',%7)")
                 .arg(SQLQuote(loanNo), SQLQuote(copy), SQLQuote(reader), SQLQuote(day),
                      returned ? QStringLiteral("'2024-03-20'") : QStringLiteral("Null"),
                      returned ? QStringLiteral("'1'") : QStringLiteral("'0'"),
                      returned ? QStringLiteral("'lib2'") : QStringLiteral("Null")));
    }

private slots:
    void initTestCase() { RegisterCirculationForms(); }

    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        // A second publisher and title, a title without publisher row, a copy without title,
        // a woman reader, a reader whose category no longer exists.
        exec(QStringLiteral("INSERT 出版社 VALUES ('清华大学出版社','北京','100084')"));
        exec(QStringLiteral(
            "INSERT 图书档案 VALUES ('978-10','数据挖掘','作者乙','清华大学出版社','2019-06-30',45.8,1,'1')"));
        addCopy(QStringLiteral("X001"), QStringLiteral("999-9"));
        exec(QStringLiteral(
            "INSERT 读者档案 VALUES ('R005','临时','张小花',0,0,'','','','',0,0,0,0,0,'240102','admin','正常')"));
        lend(QStringLiteral("240301090000001"), QStringLiteral("B001"), QStringLiteral("R001"),
             QStringLiteral("2024-03-01"), true);
        lend(QStringLiteral("240310090000001"), QStringLiteral("B003"), QStringLiteral("R002"),
             QStringLiteral("2024-03-10"), false);
        exec(QStringLiteral("INSERT 图书损坏 VALUES ('240320100000','240301090000001','封面破损',5,'')"));
        exec(QStringLiteral("INSERT 图书损坏 VALUES ('240321100000','240310090000001','缺页',12.5,'已赔')"));
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        m_db.reset();
    }

    void registeredAndOpensEmptyOnIsbn()
    {
        QCOMPARE(ChildForm(QStringLiteral("Frm_Query")), static_cast<vb::Form *>(&w()));
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("查询"));
        QCOMPARE(w().Frame_Query->Caption(), QStringLiteral("查询条件"));
        QVERIFY(w().Opt_Case(0)->Value());
        QCOMPARE(w().Opt_Case(0)->Caption(), QStringLiteral("ISBN"));
        QCOMPARE(w().Opt_Case(7)->Caption(), QStringLiteral("图书损坏编号"));
        QCOMPARE(w().Opt_Case(8), nullptr);
        QVERIFY(w().SQLText.isEmpty());
        QVERIFY(w().Grid_ShowData->boundResult() == nullptr);
        QVERIFY(grid().isVisible());
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void emptyTextOrNoKindIsRefusedAndTheGridKept()
    {
        search(0, QStringLiteral("978-1"));
        const int rows = grid().Rows();
        const QString sql = w().SQLText;
        search(2, QStringLiteral("   "));
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->last(), QStringLiteral("请输入查询条件！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("提示"));
        QCOMPARE(w().SQLText, sql);
        QCOMPARE(grid().Rows(), rows);
        QCOMPARE(grid().TextMatrix(1, 2), QStringLiteral("978-1"));

        w().Opt_Case(2)->setValue(false);  // no option chosen at all
        w().Txt_Info->setText(QStringLiteral("数据"));
        w().Cmd_Query_Click();
        QCOMPARE(m_msg->msgs.size(), 2);
        QCOMPARE(m_msg->last(), QStringLiteral("请输入查询条件！"));
        QCOMPARE(w().SQLText, sql);
    }

    // Titles by ISBN: the pattern is the trimmed text and "%", the CASE and
    // CONVERT columns carry their names and show the values as the server does.
    void titlesByIsbnPrefix()
    {
        search(0, QStringLiteral("  978-1  "));
        QVERIFY(w().SQLWhere.endsWith(QStringLiteral("WHERE ISBN LIKE '978-1%'")));
        QCOMPARE(header(),
                 (QStringList{QStringLiteral("图书名称"), QStringLiteral("作者"), QStringLiteral("ISBN"),
                              QStringLiteral("出版社名称"), QStringLiteral("出版时间"), QStringLiteral("价格"),
                              QStringLiteral("每日租金"), QStringLiteral("可否外借")}));
        QCOMPARE(column(2), (QStringList{QStringLiteral("978-1"), QStringLiteral("978-10")}));
        QCOMPARE(row(1), (QStringList{QStringLiteral("数据库原理"), QStringLiteral("作者甲"), QStringLiteral("978-1"),
                                      QStringLiteral("人民出版社"), QStringLiteral("2020-01-01"),
                                      QStringLiteral("30.00"), QStringLiteral("0.50"), QStringLiteral("是")}));
        QCOMPARE(row(2).mid(4), (QStringList{QStringLiteral("2019-06-30"), QStringLiteral("45.80"),
                                             QStringLiteral("1.00"), QStringLiteral("是")}));
        QCOMPARE(statusTip(), QStringLiteral("共有 2 条记录"));
        QCOMPARE(w().CurRow, 1);

        search(0, QStringLiteral("978-3"));
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(grid().TextMatrix(1, 7), QStringLiteral("否"));
    }

    // (Names whose order is the same by pinyin and by character code.)
    void titlesByNameInNameOrder()
    {
        search(2, QStringLiteral("数据"));
        QVERIFY(w().SQLText.endsWith(QStringLiteral("WHERE 图书名称 LIKE '数据%' ORDER BY 图书名称 ASC")));
        QCOMPARE(column(0), (QStringList{QStringLiteral("数据库原理"), QStringLiteral("数据挖掘")}));
    }

    // A copy whose title row is missing is still found, its title columns empty.
    void copiesKeepThoseWithoutTitle()
    {
        search(1, QStringLiteral("x"));
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(header(),
                 (QStringList{QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("作者"),
                              QStringLiteral("ISBN"), QStringLiteral("入库日期"), QStringLiteral("经手人"),
                              QStringLiteral("最近读者编号"), QStringLiteral("最近借阅日期"), QStringLiteral("状态")}));
        QCOMPARE(row(1), (QStringList{QStringLiteral("X001"), QString(), QString(), QStringLiteral("999-9"),
                                      QStringLiteral("2024-01-01 10:00:00"), QStringLiteral("admin"), QString(),
                                      QString(), QStringLiteral("空闲")}));

        search(1, QStringLiteral("B00"));
        QCOMPARE(column(0), (QStringList{QStringLiteral("B001"), QStringLiteral("B002"), QStringLiteral("B003"),
                                         QStringLiteral("B004"), QStringLiteral("B005"), QStringLiteral("B006"),
                                         QStringLiteral("B007")}));
        QCOMPARE(grid().TextMatrix(6, 1), QStringLiteral("数据库原理"));
        QCOMPARE(grid().TextMatrix(6, 8), QStringLiteral("借出"));
    }

    void publishersWithEveryColumn()
    {
        search(3, QStringLiteral("清华"));
        QCOMPARE(header(), (QStringList{QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")}));
        QCOMPARE(row(1),
                 (QStringList{QStringLiteral("清华大学出版社"), QStringLiteral("北京"), QStringLiteral("100084")}));
        QCOMPARE(grid().Rows(), 2);
    }

    // Readers by number and by name include a reader whose category row is missing;
    // 性别 comes back as 男/女 under its own name, money with two decimals.
    void readersByNumberAndByName()
    {
        search(4, QStringLiteral("r00"));  // letter case does not matter
        QCOMPARE(column(0), (QStringList{QStringLiteral("R001"), QStringLiteral("R002"), QStringLiteral("R003"),
                                         QStringLiteral("R004"), QStringLiteral("R005")}));
        QCOMPARE(
            header(),
            (QStringList{QStringLiteral("读者编号"), QStringLiteral("姓名"), QStringLiteral("性别"),
                         QStringLiteral("账户金额"), QStringLiteral("读者类别"), QStringLiteral("状态"),
                         QStringLiteral("当前借书数量"), QStringLiteral("总借书数量"), QStringLiteral("总借书次数"),
                         QStringLiteral("有损还书次数"), QStringLiteral("未还书总数"), QStringLiteral("未还书总价值"),
                         QStringLiteral("身份证号码"), QStringLiteral("联系电话"), QStringLiteral("地址"),
                         QStringLiteral("邮编"), QStringLiteral("登记日期"), QStringLiteral("经手人")}));
        QCOMPARE(
            row(1).mid(0, 12),
            (QStringList{QStringLiteral("R001"), QStringLiteral("张三"), QStringLiteral("男"), QStringLiteral("12.50"),
                         QStringLiteral("学生"), QStringLiteral("正常"), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0.00")}));
        QCOMPARE(grid().TextMatrix(3, 6), QStringLiteral("3"));
        QCOMPARE(grid().TextMatrix(4, 5), QStringLiteral("停用"));
        QCOMPARE(row(5).mid(0, 5), (QStringList{QStringLiteral("R005"), QStringLiteral("张小花"), QStringLiteral("女"),
                                                QStringLiteral("0.00"), QStringLiteral("临时")}));
        QCOMPARE(grid().TextMatrix(5, 16), QStringLiteral("2024-01-02"));
        // Columns are as wide as their headers.
        const QFontMetrics fm(grid().view()->font());
        QVERIFY(grid().ColWidth(11) >= fm.horizontalAdvance(QStringLiteral("未还书总价值")) * 15);

        search(5, QStringLiteral("张"));
        QVERIFY(w().SQLWhere.contains(QStringLiteral("读者档案.读者类别 *= 读者类别.读者类别 AND 姓名 LIKE '张%'")));
        QCOMPARE(column(1), (QStringList{QStringLiteral("张三"), QStringLiteral("张小花")}));
        QCOMPARE(grid().TextMatrix(2, 4), QStringLiteral("临时"));
    }

    void loansReturnedAndOpen()
    {
        search(6, QStringLiteral("2403"));
        QCOMPARE(grid().Rows(), 3);
        QCOMPARE(header().at(9), QStringLiteral("是否已还"));
        QCOMPARE(row(1),
                 (QStringList{QStringLiteral("240301090000001"), QStringLiteral("B001"), QStringLiteral("数据库原理"),
                              QStringLiteral("978-1"), QStringLiteral("R001"), QStringLiteral("张三"),
                              QStringLiteral("2024-03-01"), QStringLiteral("2024-04-01"), QStringLiteral("2024-03-20"),
                              QStringLiteral("是"), QStringLiteral("admin"), QStringLiteral("lib2")}));
        QCOMPARE(row(2).mid(8), (QStringList{QString(), QStringLiteral("否"), QStringLiteral("admin"), QString()}));
    }

    void damageRecordsNewestFirst()
    {
        search(7, QStringLiteral("2403"));
        QCOMPARE(column(0), (QStringList{QStringLiteral("240321100000"), QStringLiteral("240320100000")}));
        QCOMPARE(header(),
                 (QStringList{QStringLiteral("图书损坏编号"), QStringLiteral("读者编号"), QStringLiteral("姓名"),
                              QStringLiteral("图书编号"), QStringLiteral("图书名称"), QStringLiteral("损坏日期"),
                              QStringLiteral("损坏描述"), QStringLiteral("赔偿金额"), QStringLiteral("备注")}));
        QCOMPARE(row(1), (QStringList{QStringLiteral("240321100000"), QStringLiteral("R002"), QStringLiteral("李四"),
                                      QStringLiteral("B003"), QStringLiteral("操作系统"), QString(),
                                      QStringLiteral("缺页"), QStringLiteral("12.50"), QStringLiteral("已赔")}));
        QCOMPARE(row(2).mid(5, 3),
                 (QStringList{QStringLiteral("2024-03-20"), QStringLiteral("封面破损"), QStringLiteral("5.00")}));
    }

    void nothingFoundShowsTheHeaderAndACountOfNought()
    {
        search(3, QStringLiteral("不存在"));
        QCOMPARE(grid().Rows(), 2);
        QCOMPARE(header(), (QStringList{QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")}));
        QCOMPARE(row(1), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(statusTip(), QStringLiteral("共有 0 条记录"));
        QVERIFY(m_msg->msgs.isEmpty());
    }

    // An apostrophe is part of the text searched for, never the end of the literal.
    void apostropheIsSearchedForLiterally()
    {
        exec(QStringLiteral("INSERT 出版社 VALUES ('O''Reilly','','')"));
        search(3, QStringLiteral("O'R"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(column(0), QStringList{QStringLiteral("O'Reilly")});
        search(3, QStringLiteral("x' OR '1'='1"));
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(grid().TextMatrix(1, 0), QString());
    }

    void enterInTheTextRunsTheSearch()
    {
        w().Opt_Case(4)->setValue(true);
        w().Txt_Info->setText(QStringLiteral("R002"));
        QTest::keyClick(w().Txt_Info->textBox(), Qt::Key_Return);
        QCOMPARE(column(0), QStringList{QStringLiteral("R002")});
        QCOMPARE(w().Txt_Info->Text(), QStringLiteral("R002"));
    }

    void refusedStatementShowsTheServerText()
    {
        QVERIFY(m_db->raw(QStringLiteral("DROP TABLE 图书损坏")));
        search(7, QStringLiteral("2403"));
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY(!m_msg->last().isEmpty());
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(w().CurRow, 1);
        QCOMPARE(grid().Rows(), 2);
    }

    void layoutFollowsTheWindow()
    {
        w().resize(1000, 700);
        QCoreApplication::processEvents();
        const int W = w().Width(), H = w().Height();
        QCOMPARE(w().Frame_Query->Width(), W - 240 - 240 - 45);
        QCOMPARE(w().Txt_Info->Width(), w().Frame_Query->Width() - 240 - 240 - 45);
        // Centred in the frame, to the pixel.
        QVERIFY(qAbs(w().Cmd_Query->Left() - (w().Frame_Query->Width() - w().Cmd_Query->Width()) / 2) < 15);
        QCOMPARE(grid().Width(), W - 240 - 240 - 45);
        QCOMPARE(grid().Height(), H - grid().Top() - 240 - 435);
    }

    void unloadClearsTheTipAndTheNextOpeningStartsAfresh()
    {
        search(4, QStringLiteral("R"));
        QVERIFY(!statusTip().isEmpty());
        w().Unload();
        QCOMPARE(statusTip(), QString());
        showChild(w());
        QVERIFY(w().Opt_Case(0)->Value());
        QVERIFY(!w().Opt_Case(4)->Value());
        QCOMPARE(w().Txt_Info->Text(), QString());
        QVERIFY(w().Grid_ShowData->boundResult() == nullptr);
    }
};

QTEST_MAIN(TestQuery)
#include "tst_query.moc"
