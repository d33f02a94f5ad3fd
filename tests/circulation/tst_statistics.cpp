// The statistics window: the three views and their navigator, the counts, the
// rankings drawn into the charts (TOP, GROUP BY, date ranges with their
// defaults), rows kept or cleared, and figures that cannot be read.
#include "circulation/CirculationFixture.h"
#include "circulation/CirculationForms.h"
#include "circulation/Frm_Statistics.h"
#include "core/ChildFormSwitch.h"
#include "db/Dialect.h"
#include "db/Engine.h"
#include "support/TempDb.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QtTest>

using namespace circfix;

class TestStatistics : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_Statistics &w() { return vb::Default<Frm_Statistics>(); }

    // The chart's rows as "label=value".
    static QStringList rows(vb::Chart *c)
    {
        QStringList r;
        for (int i = 1; i <= c->RowCount(); ++i) r << c->rowLabel(i) + QLatin1Char('=') + QString::number(c->value(i));
        return r;
    }
    static QStringList emptyRows(int n) { return QStringList(n, QStringLiteral("=0")); }

    static void loan(const QString &no, const QString &copy, const QString &day)
    {
        exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,%2,'R001',%3,'2024-04-30',Null,'0','admin',Null)")
                 .arg(SQLQuote(no), SQLQuote(copy), SQLQuote(day)));
    }
    // A click as the user makes it: the pointer comes over the button first.
    static void click(XButton *b)
    {
        const QPoint at = b->rect().center();
        QCursor::setPos(b->mapToGlobal(at));
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(b->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(b, &move);
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
    static void verifyNav(XButton *b, bool current)
    {
        QCOMPARE(b->BackColor(), current ? 0xFFFFFFL : 0x8000000FL);
        QCOMPARE(b->ForeColor(), current ? 0x000000L : 0x808080L);
        QCOMPARE(b->Font().bold(), current);
    }

private slots:
    void initTestCase() { RegisterCirculationForms(); }

    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();  // 3 titles of 人民出版社, 8 copies, readers R001..R004 with R003 having 3 loans in total
        exec(QStringLiteral("INSERT 出版社 VALUES ('清华大学出版社','北京','100084')"));
        exec(QStringLiteral(
            "INSERT 图书档案 VALUES ('978-4','编译原理','甲','清华大学出版社','2020-01-01',30,0.5,'1')"));
        exec(QStringLiteral(
            "INSERT 图书档案 VALUES ('978-5','离散数学','乙','清华大学出版社','2020-01-01',30,0.5,'1')"));
        exec(QStringLiteral(
            "INSERT 图书档案 VALUES ('978-6','机械设计','丙','机械工业出版社','2020-01-01',30,0.5,'1')"));
        exec(QStringLiteral("INSERT 图书档案 VALUES ('978-7','无名之书','丁',Null,'2020-01-01',30,0.5,'1')"));
        exec(QStringLiteral("UPDATE 读者档案 SET 账户金额 = 100, 总借书数量 = 7 WHERE 读者编号 = 'R001'"));
        exec(QStringLiteral("UPDATE 读者档案 SET 账户金额 = 50.5, 总借书数量 = 5 WHERE 读者编号 = 'R002'"));
        exec(QStringLiteral("UPDATE 读者档案 SET 账户金额 = 20 WHERE 读者编号 = 'R003'"));
        // A reader number with blanks around it, as another program may have stored it.
        QVERIFY(m_db->raw(QStringLiteral(
            "INSERT INTO 读者档案 (读者编号, 姓名, 账户金额, 总借书数量) VALUES (' R009 ', '空格', 0, 9)")));
        loan(QStringLiteral("L1"), QStringLiteral("B001"), QStringLiteral("2024-03-01"));
        loan(QStringLiteral("L2"), QStringLiteral("B002"), QStringLiteral("2024-03-05"));
        loan(QStringLiteral("L3"), QStringLiteral("C001"),
             QStringLiteral("2024-03-15"));  // today: inside the default range
        loan(QStringLiteral("L4"), QStringLiteral("B003"), QStringLiteral("2024-02-01"));
        loan(QStringLiteral("L5"), QStringLiteral("B004"), QStringLiteral("2024-03-10"));
        loan(QStringLiteral("L6"), QStringLiteral("B007"), QStringLiteral("1999-12-31"));  // before the default start
        loan(QStringLiteral("L7"), QStringLiteral("B005"), QStringLiteral("2024-03-16"));  // after today
        vb::SetTestClock(fixedNow());
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        vb::ClearTestClock();
        m_db.reset();
    }

    void opensOnTheCatalogue()
    {
        QCOMPARE(ChildForm(QStringLiteral("Frm_Statistics")), static_cast<vb::Form *>(&w()));
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("统计"));
        for (vb::Frame *f : {w().Frame_Book.get(), w().Frame_Reader.get(), w().Frame_Borrow.get()}) {
            QCOMPARE(f->Left(), 480);
            QCOMPARE(f->Top(), 1200);
        }
        QVERIFY(w().Frame_Book->isVisible());
        QVERIFY(!w().Frame_Reader->isVisible());
        QVERIFY(!w().Frame_Borrow->isVisible());
        QCOMPARE(w().CurNavButton(), w().Cmd_Book.get());
        verifyNav(w().Cmd_Book.get(), true);
        verifyNav(w().Cmd_Reader.get(), false);
        verifyNav(w().Cmd_Borrow.get(), false);

        QCOMPARE(w().Lbl_BookNum->Caption(), QStringLiteral("共有图书 7 种，总计库存 8 本"));
        vb::Chart *c = w().Chart_Book.get();
        QCOMPARE(c->TitleText(), QStringLiteral("出版社图书种类排行"));
        QCOMPARE(c->ColumnCount(), 1);
        // Four publishers (the title without one counts 0): the fifth row is not written.
        QCOMPARE(rows(c),
                 (QStringList{QStringLiteral("人民出版社=3"), QStringLiteral("清华大学出版社=2"),
                              QStringLiteral("机械工业出版社=1"), QStringLiteral("=0"), QStringLiteral("=0")}));
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void navigatorReadsAViewOnlyWhenItChanges()
    {
        vb::Chart *c = w().Chart_Book.get();
        c->setRow(5);
        c->setRowLabel(QStringLiteral("旧"));
        c->setData(9.0);
        exec(QStringLiteral("INSERT 图书档案 VALUES ('978-8','新书','戊','机械工业出版社','2020-01-01',30,0.5,'1')"));
        click(w().Cmd_Book.get());  // the view shown: nothing read
        QCOMPARE(w().Lbl_BookNum->Caption(), QStringLiteral("共有图书 7 种，总计库存 8 本"));

        click(w().Cmd_Reader.get());
        QVERIFY(w().Frame_Reader->isVisible());
        QVERIFY(!w().Frame_Book->isVisible());
        QCOMPARE(w().CurNavButton(), w().Cmd_Reader.get());
        verifyNav(w().Cmd_Reader.get(), true);
        verifyNav(w().Cmd_Book.get(), false);

        click(w().Cmd_Book.get());
        QCOMPARE(w().Lbl_BookNum->Caption(), QStringLiteral("共有图书 8 种，总计库存 8 本"));
        // Rewritten rows 1..4, the fifth keeps what it showed. The ranking orders
        // by count only: two publishers of 2 titles may come in either order.
        QStringList shown = rows(c);
        QCOMPARE(shown.size(), 5);
        std::sort(shown.begin() + 1, shown.begin() + 3);
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("人民出版社=3"), QStringLiteral("机械工业出版社=2"),
                              QStringLiteral("清华大学出版社=2"), QStringLiteral("=0"), QStringLiteral("旧=9")}));
    }

    // More publishers than the ranking's five, with ties across its end: the
    // five with most titles, a tie in any order, and at the cut any two of
    // the four publishers tied there, each once.
    void publisherRankingKeepsTheFirstFiveOfMore()
    {
        exec(QStringLiteral("INSERT 图书档案 VALUES ('978-8','新书','戊','机械工业出版社','2020-01-01',30,0.5,'1')"));
        const QStringList single{QStringLiteral("甲社"), QStringLiteral("乙社"), QStringLiteral("丙社"),
                                 QStringLiteral("丁社")};
        for (int i = 0; i < single.size(); ++i)
            exec(QStringLiteral("INSERT 图书档案 VALUES ('979-%1','书%1','己',%2,'2020-01-01',30,0.5,'1')")
                     .arg(i)
                     .arg(SQLQuote(single[i])));
        click(w().Cmd_Reader.get());
        click(w().Cmd_Book.get());
        QCOMPARE(w().Lbl_BookNum->Caption(), QStringLiteral("共有图书 12 种，总计库存 8 本"));
        QStringList shown = rows(w().Chart_Book.get());
        QCOMPARE(shown.size(), 5);
        std::sort(shown.begin() + 1, shown.begin() + 3);
        QCOMPARE(shown.mid(0, 3), (QStringList{QStringLiteral("人民出版社=3"), QStringLiteral("机械工业出版社=2"),
                                               QStringLiteral("清华大学出版社=2")}));
        QVERIFY2(shown[3] != shown[4], qPrintable(shown.join(QLatin1Char(' '))));
        for (const QString &cut : shown.mid(3))
            QVERIFY2(cut.endsWith(QLatin1String("=1")) && single.contains(cut.chopped(2)), qPrintable(cut));
    }

    void readersCountAndBalanceRanking()
    {
        w().Cmd_Reader_Click();
        QCOMPARE(w().Lbl_ReaderNum->Caption(), QStringLiteral("共有读者 5 名"));
        vb::Chart *c = w().Chart_Reader.get();
        QCOMPARE(c->TitleText(), QStringLiteral("读者账户金额排行"));
        QCOMPARE(c->RowCount(), 10);
        // The label is not trimmed here.
        QCOMPARE(rows(c),
                 QStringList({QStringLiteral("R001=100"), QStringLiteral("R002=50.5"), QStringLiteral("R003=20"),
                              QStringLiteral("R004=12.5"), QStringLiteral(" R009 =0")})
                     + emptyRows(5));

        exec(QStringLiteral("DELETE 读者档案"));
        w().Cmd_Book_Click();
        w().Cmd_Reader_Click();
        QCOMPARE(w().Lbl_ReaderNum->Caption(), QStringLiteral("共有读者 0 名"));
        QCOMPARE(rows(c).first(), QStringLiteral("R001=100"));  // nothing found: no row rewritten
    }

    void lendingOpensOnTheReaderRanking()
    {
        w().Cmd_Borrow_Click();
        QVERIFY(w().Frame_Borrow->isVisible());
        QVERIFY(!w().Frame_Book->isVisible());
        QVERIFY(w().Opt_Reader->Value());
        vb::Chart *c = w().Chart_Brw.get();
        QCOMPARE(c->TitleText(), QStringLiteral("读者借书总数排行"));
        QCOMPARE(rows(c), QStringList({QStringLiteral("R009=9"), QStringLiteral("R001=7"), QStringLiteral("R002=5"),
                                       QStringLiteral("R003=3"), QStringLiteral("R004=0")})
                              + emptyRows(5));
        QCOMPARE(w().Txt_From->Text(), QString());  // the dates are not used
        QCOMPARE(w().Txt_To->Text(), QString());
    }

    // 确定 with empty boxes: from 2000-01-01 to today, both days included.
    void titleRankingWithTheDefaultRange()
    {
        w().Cmd_Borrow_Click();
        w().Cmd_OK_Click();
        QVERIFY(w().Opt_Book->Value());
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01"));
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15"));
        vb::Chart *c = w().Chart_Brw.get();
        QCOMPARE(c->TitleText(), QStringLiteral("图书借阅次数排行"));
        QCOMPARE(rows(c), QStringList({QStringLiteral("978-1=3"), QStringLiteral("978-2=2")}) + emptyRows(8));
        QVERIFY(
            w().SQLText.contains(QStringLiteral("借书日期 BETWEEN '2000-01-01' AND '2024-03-15' GROUP BY 图书档案.ISBN "
                                                "ORDER BY 借阅次数 DESC")));
        // The server ranks from the loans it counts per copy: the database
        // layer knows this statement by the window's own text.
        const QString ranking = QStringLiteral("titles ranked by their loans between two dates");
        QCOMPARE(dialect::libraryStatement(w().SQLText), ranking);

        // Typed dates are used as typed; a range without loans gives ten empty rows.
        w().Txt_From->setText(QStringLiteral(" 2024/3/2 "));
        w().Txt_To->setText(QStringLiteral("2024-03-15"));
        w().Cmd_OK_Click();
        QCOMPARE(rows(c), QStringList({QStringLiteral("978-1=2"), QStringLiteral("978-2=1")}) + emptyRows(8));
        QCOMPARE(w().Txt_From->Text(), QStringLiteral(" 2024/3/2 "));
        QCOMPARE(dialect::libraryStatement(w().SQLText), ranking);
        w().Txt_From->setText(QStringLiteral("1990-01-01"));
        w().Txt_To->setText(QStringLiteral("1999-12-30"));
        w().Cmd_OK_Click();
        QCOMPARE(rows(c), emptyRows(10));
    }

    // The titles ranked by loans are the join's answer, ties included, after
    // every kind of change to the loans and copies (the server counts each
    // copy's loans as they are made) and for spans that take in most loans
    // or few of them.
    void titleRankingIsTheJoinsAnswer_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        const QString all = QStringLiteral("2000-01-01"), end = QStringLiteral("2024-03-31");
        QTest::newRow("as lent, every loan") << QString() << all << end;
        QTest::newRow("as lent, a few days")
            << QString() << QStringLiteral("2024-03-01") << QStringLiteral("2024-03-09");
        QTest::newRow("a loan deleted") << QStringLiteral("DELETE FROM 图书借阅 WHERE 图书借阅编号 = 'L1'") << all
                                        << end;
        QTest::newRow("a loan moved to another copy")
            << QStringLiteral("UPDATE 图书借阅 SET 图书编号 = 'B006' WHERE 图书借阅编号 = 'L4'") << all << end;
        QTest::newRow("a loan's copy spelt in other case")
            << QStringLiteral("UPDATE 图书借阅 SET 图书编号 = 'b006' WHERE 图书借阅编号 = 'L5'") << all << end;
        QTest::newRow("a copy moved to another title")
            << QStringLiteral("UPDATE 图书库存 SET ISBN = '978-4' WHERE 图书编号 = 'B004'") << all << end;
        QTest::newRow("a loan of a copy not on file") << QStringLiteral(
            "INSERT 图书借阅 VALUES('L8','X999','R001','2024-03-02','2024-04-30',Null,'0','admin',Null)")
                                                      << all << end;
        QTest::newRow("a copy whose title is gone")
            << QStringLiteral("DELETE FROM 图书档案 WHERE ISBN = '978-3'") << QStringLiteral("1999-01-01") << end;
        QTest::newRow("a loan without a date")
            << QStringLiteral("UPDATE 图书借阅 SET 借书日期 = Null WHERE 图书借阅编号 = 'L4'") << all << end;
        QTest::newRow("ties past the tenth") << QStringLiteral("ties") << all << end;
        QTest::newRow("ties past the tenth, a few days")
            << QStringLiteral("ties") << QStringLiteral("2024-03-02") << QStringLiteral("2024-03-03");
    }
    void titleRankingIsTheJoinsAnswer()
    {
        QFETCH(QString, change);
        QFETCH(QString, from);
        QFETCH(QString, to);
        if (change == QLatin1String("ties")) {
            // Twelve titles lent once on the same day, in no order of their numbers.
            for (int i = 0; i < 12; ++i) {
                const QString n = QString::number((i * 7) % 12 + 10);
                addTitle(QStringLiteral("979-") + n, QStringLiteral("书") + n);
                addCopy(QStringLiteral("T") + n, QStringLiteral("979-") + n);
                loan(QStringLiteral("LT") + n, QStringLiteral("T") + n, QStringLiteral("2024-03-02"));
            }
        } else if (!change.isEmpty()) {
            exec(change);
        }
        // The join itself: the window's statement with a condition that changes nothing.
        ado::Recordset rs;
        rs.Open(
            QStringLiteral("SELECT TOP 10 图书档案.ISBN, COUNT(图书档案.ISBN) AS 借阅次数 FROM 图书借阅, 图书档案, "
                           "图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN "
                           "AND 借书日期 BETWEEN '%1' AND '%2' AND 1 = 1 GROUP BY 图书档案.ISBN ORDER BY 借阅次数 DESC")
                .arg(from, to),
            SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
        QStringList expected;
        for (; !rs.EOF_(); rs.MoveNext())
            expected << rs.Fields(0).toString().trimmed() + QLatin1Char('=') + rs.Fields(1).toString();
        expected += emptyRows(10 - int(expected.size()));
        w().Cmd_Borrow_Click();
        w().Txt_From->setText(from);
        w().Txt_To->setText(to);
        w().Cmd_OK_Click();
        QCOMPARE(rows(w().Chart_Brw.get()), expected);
        QVERIFY(expected.front() != QLatin1String("=0"));
        // On the server the window's own statement is answered from the counts.
        QCOMPARE(SQLConn().engine()->translation(w().SQLText).sql.contains(QStringLiteral("lib_copy_loans")),
                 testsupport::TempDb::onServer());
    }

    void startAfterEndAndTextThatIsNoDate()
    {
        w().Cmd_Borrow_Click();
        w().Txt_From->setText(QStringLiteral("2024-03-10"));
        w().Txt_To->setText(QStringLiteral("2024-03-01"));
        w().Cmd_OK_Click();
        QCOMPARE(rows(w().Chart_Brw.get()), emptyRows(10));
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2024-03-10"));
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-01"));

        w().Txt_From->setText(QStringLiteral("上个月"));
        w().Txt_To->setText(QStringLiteral("2024-02-30"));
        w().Cmd_OK_Click();
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01"));
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15"));
        QCOMPARE(rows(w().Chart_Brw.get()).first(), QStringLiteral("978-1=3"));
    }

    // Dates the database would not read as the boxes do take the defaults too.
    void datesTheDatabaseCannotReadTakeTheDefaults()
    {
        w().Cmd_Borrow_Click();
        w().Txt_From->setText(QStringLiteral("2024年3月2日"));
        w().Txt_To->setText(QStringLiteral("3/15"));
        w().Cmd_OK_Click();
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01"));
        QCOMPARE(w().Txt_To->Text(), QStringLiteral("2024-03-15"));
        QCOMPARE(rows(w().Chart_Brw.get()),
                 QStringList({QStringLiteral("978-1=3"), QStringLiteral("978-2=2")}) + emptyRows(8));
        w().Txt_From->setText(QStringLiteral("1-1-24"));  // 2001-01-24 to the box, 2024-01-01 to the database
        w().Cmd_OK_Click();
        QCOMPARE(w().Txt_From->Text(), QStringLiteral("2000-01-01"));
    }

    // A click into a date box chooses the title ranking without drawing it; 确定 draws it.
    void clickIntoADateBoxChoosesTheTitleRanking()
    {
        w().Cmd_Borrow_Click();
        vb::Chart *c = w().Chart_Brw.get();
        QTest::mouseClick(w().Txt_To->textBox(), Qt::LeftButton);
        QVERIFY(w().Opt_Book->Value());
        QCOMPARE(c->TitleText(), QStringLiteral("读者借书总数排行"));
        QCOMPARE(c->rowLabel(1), QStringLiteral("R009"));
        QCOMPARE(QApplication::focusWidget(), w().Txt_To->textBox());  // the keyboard stays where the user clicked

        w().Opt_Reader->setValue(true);  // the reader ranking again, drawn at once
        QCOMPARE(c->TitleText(), QStringLiteral("读者借书总数排行"));
        QTest::mouseClick(w().Txt_From->textBox(), Qt::LeftButton);
        QVERIFY(w().Opt_Book->Value());
        QCOMPARE(QApplication::focusWidget(), w().Txt_From->textBox());
        QCOMPARE(c->rowLabel(1), QStringLiteral("R009"));

        click(w().Cmd_OK.get());
        QCOMPARE(c->TitleText(), QStringLiteral("图书借阅次数排行"));
        QCOMPARE(c->rowLabel(1), QStringLiteral("978-1"));
    }

    // An ISBN stored with blanks is shown trimmed; a title of several copies counts every loan.
    void isbnWithBlanksIsTrimmed()
    {
        QVERIFY(m_db->raw(QStringLiteral("INSERT INTO 图书档案 (\"ISBN\", 图书名称) VALUES (' 978-9 ', '空格书')")));
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(m_db->raw(
                QStringLiteral("INSERT INTO 图书库存 (图书编号, \"ISBN\") VALUES ('S%1', ' 978-9 ')").arg(i)));
            loan(QStringLiteral("S%1").arg(i), QStringLiteral("S%1").arg(i), QStringLiteral("2024-01-0%1").arg(i));
        }
        w().Cmd_Borrow_Click();
        w().Cmd_OK_Click();
        QCOMPARE(rows(w().Chart_Brw.get()).mid(0, 3),
                 (QStringList{QStringLiteral("978-9=4"), QStringLiteral("978-1=3"), QStringLiteral("978-2=2")}));
    }

    // A statement that cannot run shows nothing and leaves the chart as it was.
    void refusedStatementLeavesTheFigures()
    {
        w().Cmd_Borrow_Click();
        const QStringList before = rows(w().Chart_Brw.get());
        QVERIFY(m_db->raw(QStringLiteral("DROP TABLE 图书借阅")));
        w().Cmd_OK_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QCOMPARE(rows(w().Chart_Brw.get()), before);
        QCOMPARE(w().Chart_Brw->TitleText(), QStringLiteral("图书借阅次数排行"));

        QVERIFY(m_db->raw(QStringLiteral("DROP TABLE 图书库存")));
        w().Cmd_Book_Click();
        QCOMPARE(w().Lbl_BookNum->Caption(), QStringLiteral("共有图书 7 种"));  // the copies count cannot be read
        QCOMPARE(w().Chart_Book->rowLabel(1), QStringLiteral("人民出版社"));
        QVERIFY(m_msg->msgs.isEmpty());
    }

    void layoutFollowsTheWindow()
    {
        w().resize(1100, 720);
        QCoreApplication::processEvents();
        const int W = w().Width(), H = w().Height();
        QCOMPARE(w().Pic_NBar->Width(), W - w().Pic_NBar->Left() - 240 - 45);
        QCOMPARE(w().Pic_NBarSub1->Width(), w().Pic_NBar->Width() - w().Pic_NBarSub1->Left());
        const int fw = W - 480 - 240 - 45, fh = H - 1200 - 240 - 435;
        for (vb::Frame *f : {w().Frame_Book.get(), w().Frame_Reader.get(), w().Frame_Borrow.get()}) {
            QCOMPARE(f->Width(), fw);
            QCOMPARE(f->Height(), fh);
        }
        for (vb::Chart *c : {w().Chart_Book.get(), w().Chart_Reader.get(), w().Chart_Brw.get()}) {
            QCOMPARE(c->Width(), fw - c->Left() - 240 - 45);
            QCOMPARE(c->Height(), fh - c->Top() - 240 - 45);
        }
    }

    void nextOpeningStartsOnTheCatalogueAgain()
    {
        w().Cmd_Borrow_Click();
        w().Cmd_OK_Click();
        ShowSBarTip(QStringLiteral("某提示"));
        w().Unload();
        QCOMPARE(statusTip(), QString());
        showChild(w());
        QCOMPARE(w().CurNavButton(), w().Cmd_Book.get());
        QVERIFY(w().Frame_Book->isVisible());
        QVERIFY(!w().Frame_Borrow->isVisible());
        verifyNav(w().Cmd_Borrow.get(), false);
        QCOMPARE(w().Txt_From->Text(), QString());
    }
};

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
