// The server dialect read by the database layer: literals never rewritten,
// forms outside the dialect refused, dates and money converted as the server
// reads them.

#include "db/Dialect.h"
#include "support/TempDb.h"

#include <QtTest>

using testsupport::TempDb;
using Rows = QList<QStringList>;

class TestDialect : public QObject {
    Q_OBJECT

private slots:
    void literalsComeBackUnchanged_data();
    void literalsComeBackUnchanged();
    void identifiersAndComments();
    void likeAsTheServerMatches_data();
    void likeAsTheServerMatches();
    void topAndDistinctInEitherOrder();
    void outerJoinKeepsInnerConditionsInOn();
    void refusedForms_data();
    void refusedForms();
    void refusedStatementRunsNothing();
    void datesAsTheServerReadsThem_data();
    void datesAsTheServerReadsThem();
    void datesStoredNormalised();
    void moneyTexts();
    void moneyRoundsToTheCentAlike_data();
    void moneyRoundsToTheCentAlike();
    void numbersPastTheirRangeAreRefused();
    void dateStyles();
    void batchConvertsLikeLiterals();
    void splitScript();
    void computedColumnDefinitions();
};

void TestDialect::literalsComeBackUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("old join operator") << QStringLiteral("a *= b");
    QTest::newRow("right join operator") << QStringLiteral("a =* b");
    QTest::newRow("top") << QStringLiteral("SELECT TOP 5 * FROM 出版社");
    QTest::newRow("line comment") << QStringLiteral("x -- y");
    QTest::newRow("block comment") << QStringLiteral("/* 注释 */");
    QTest::newRow("semicolon") << QStringLiteral("a; DELETE FROM 出版社");
    QTest::newRow("apostrophes") << QStringLiteral("it''s ''quoted''");
    QTest::newRow("brackets and quotes") << QStringLiteral("[x] \"y\" CONVERT(varchar(10), z, 23)");
    QTest::newRow("alias form") << QStringLiteral("性别 = CASE WHEN 1 = 1 THEN ''a'' END");
    QTest::newRow("chinese") << QStringLiteral("人民出版社，第二版");
}

void TestDialect::literalsComeBackUnchanged()
{
    QFETCH(QString, text);  // as written inside the quotes (apostrophes doubled)
    TempDb db;
    QString stored = text;
    stored.replace(QStringLiteral("''"), QStringLiteral("'"));
    QCOMPARE(db.conn().Execute(QStringLiteral("INSERT 出版社 VALUES ('%1', '%1', Null)").arg(text)), 1L);
    QCOMPARE(db.rows(QStringLiteral("SELECT 出版社名称, 地址 FROM 出版社 WHERE 出版社名称 = '%1'").arg(text)),
             Rows({{stored, stored}}));
    QCOMPARE(db.rows(QStringLiteral("SELECT '%1' AS 文字 FROM 出版社").arg(text)), Rows({{stored}}));
    QCOMPARE(db.conn().Execute(QStringLiteral("UPDATE 出版社 SET 邮编 = '%1' WHERE 地址 = '%1'").arg(text)), 1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE 出版社 WHERE 邮编 = '%1'").arg(text)), 1L);
}

void TestDialect::identifiersAndComments()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT INTO 出版社 VALUES (N'科学出版社', '上海', '200000') -- with INTO and N''"),
             QStringLiteral("/* a note */ INSERT [出版社] ([出版社名称], 邮编) VALUES ('人民出版社', '100000');")});
    // Text sorts by pinyin: 科 (ke) before 人 (ren).
    QCOMPARE(db.rows(QStringLiteral("select [出版社名称], \"邮编\" from dbo.出版社 order by 出版社名称 desc")),
             Rows({{"人民出版社", "100000"}, {"科学出版社", "200000"}}));
    QCOMPARE(db.header(QStringLiteral("SELECT 出版社名称 名称, 地址 AS '所在地', 邮编 AS [邮 编] FROM 出版社")),
             QStringList({"名称", "所在地", "邮 编"}));
    // Field names as the server gives them: the column's own spelling, no table prefix.
    QCOMPARE(db.header(QStringLiteral("SELECT 出版社.出版社名称, COUNT(*) FROM 出版社 GROUP BY 出版社.出版社名称")),
             QStringList({"出版社名称", ""}));
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 出版社 WHERE 出版社名称 IN ('科学出版社', 'x')")), 1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE 出版社")), 1L);
}

void TestDialect::likeAsTheServerMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");
    QTest::newRow("prefix") << "B0012"
                            << "b001%" << true;
    QTest::newRow("prefix longer") << "B0"
                                   << "B00%" << false;
    QTest::newRow("one char") << "R01"
                              << "R_1" << true;
    QTest::newRow("inner run") << "人民出版社"
                               << "%出版%" << true;
    QTest::newRow("set") << "x1"
                         << "[xyz]%" << true;
    QTest::newRow("set is not literal") << "[x]1"
                                        << "[x]%" << false;
    QTest::newRow("range") << "c9"
                           << "[a-c][0-9]" << true;
    QTest::newRow("negated set") << "a"
                                 << "[^a]" << false;
    QTest::newRow("other case") << "Ünïcode"
                                << "üNÏ%" << true;
    QTest::newRow("empty pattern") << "a"
                                   << "" << false;
    // A fixed start is also read as a range of the column: the range must keep every match.
    QTest::newRow("upper-case text, lower-case start") << "ABC-1"
                                                       << "abc%" << true;
    QTest::newRow("start ends in z") << "xyz9"
                                     << "XYZ%" << true;
    QTest::newRow("start past the text") << "xy"
                                         << "xyz%" << false;
    QTest::newRow("chinese start") << "人民出版社"
                                   << "人民%" << true;
    QTest::newRow("chinese start, other text") << "人们出版社"
                                               << "人民%" << false;
    QTest::newRow("apostrophe in the start") << "it''s"
                                             << "it''%" << true;
    QTest::newRow("blank start") << " a"
                                 << " %" << true;
    QTest::newRow("start then one char") << "240101"
                                         << "2401_1" << true;
    QTest::newRow("greek of other case") << "Σοφία"
                                         << "σο%" << true;
    QTest::newRow("set, then letters of other case") << "Ünïcode"
                                                     << "[Üü]NÏ%" << true;
    QTest::newRow("the start alone, digits and signs") << "978-7-1"
                                                       << "978-7-1%" << true;
    QTest::newRow("the start alone, other case") << "rEAder"
                                                 << "Rea%" << true;
    QTest::newRow("the start alone, one short") << "97"
                                                << "978%" << false;
    QTest::newRow("kelvin sign folds to k") << QString::fromUtf8("\u212Aiwi") << "ki%" << true;
    // The server reads a start as ranges of each spelling in either case: a
    // letter that folds to ASCII, a start too long to spell out, a case
    // outside ASCII after a caseless head, and letters of other categories
    // that have a case are all still matched.
    QTest::newRow("kelvin sign, the start alone") << QString::fromUtf8("\u212Aant") << "k%" << true;
    QTest::newRow("start of many letters") << "ABCDEFgh"
                                           << "abcdefg%" << true;
    QTest::newRow("start of many letters, one differs") << "ABCDEXgh"
                                                        << "abcdefg%" << false;
    QTest::newRow("caseless head, greek after it")
        << QString::fromUtf8("978-\u03A3X") << QString::fromUtf8("978-\u03C3x%") << true;
    QTest::newRow("roman numeral of other case") << QString::fromUtf8("\u216B") << QString::fromUtf8("\u217B%") << true;
    QTest::newRow("circled letter of other case")
        << QString::fromUtf8("\u24B6b") << QString::fromUtf8("\u24D0%") << true;
    QTest::newRow("combining mark after the start") << QString::fromUtf8("a\u0301b") << "A%" << true;
    QTest::newRow("ignored control after the start") << QString::fromUtf8("ab\u0001") << "AB%" << true;
    QTest::newRow("wide letter sorts with a, folds apart") << QString::fromUtf8("\uFF41bc") << "ab%" << false;
    QTest::newRow("wide k sorts with k, folds apart") << QString::fromUtf8("\uFF4Bb") << "kb%" << false;
    QTest::newRow("ignored control inside the text") << QString::fromUtf8("a\u0001bc") << "ab%" << false;
}

void TestDialect::likeAsTheServerMatches()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    TempDb db;
    db.conn().Execute(QStringLiteral("INSERT 出版社 VALUES ('%1', Null, Null)").arg(text));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 出版社 WHERE 出版社名称 LIKE '%1'").arg(pattern)).size(),
             matches ? 1 : 0);
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 出版社 WHERE 出版社名称 NOT LIKE '%1'").arg(pattern)).size(),
             matches ? 0 : 1);
    // Sorted by the column, the start is also read as a range in the text order.
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 出版社 WHERE 出版社名称 LIKE '%1' ORDER BY 出版社名称").arg(pattern))
                 .size(),
             matches ? 1 : 0);
}

void TestDialect::topAndDistinctInEitherOrder()
{
    TempDb db;
    for (int i = 0; i < 6; ++i)
        db.conn().Execute(QStringLiteral("INSERT 图书档案 VALUES('I%1','书%1','作者%2','社%2','2020-01-01',1,0,'1')")
                              .arg(i)
                              .arg(i % 3));
    const Rows expected{{"作者0"}, {"作者1"}};
    QCOMPARE(db.rows(QStringLiteral("SELECT DISTINCT TOP 2 作者 FROM 图书档案 ORDER BY 作者")), expected);
    QCOMPARE(db.rows(QStringLiteral("SELECT TOP 2 DISTINCT 作者 FROM 图书档案 ORDER BY 作者")), expected);
    QCOMPARE(db.rows(QStringLiteral("SELECT TOP (4) ISBN FROM 图书档案 ORDER BY ISBN DESC")).size(), 4);
    QCOMPARE(db.rows(QStringLiteral("SELECT 作者 FROM 图书档案 WHERE ISBN = 'I0' UNION SELECT 作者 FROM 图书档案 WHERE "
                                    "ISBN = 'I3' ORDER BY 作者")),
             Rows({{"作者0"}}));
    QCOMPARE(
        db
            .rows(QStringLiteral(
                "SELECT 作者 FROM 图书档案 WHERE ISBN = 'I0' UNION ALL SELECT 作者 FROM 图书档案 WHERE ISBN = 'I3'"))
            .size(),
        2);
    QCOMPARE(db.scalar(QStringLiteral(
                 "SELECT COUNT(*) FROM 图书档案 WHERE 作者 BETWEEN '作者0' AND '作者1' AND NOT ISBN IN ('I0')")),
             QStringLiteral("3"));
}

void TestDialect::outerJoinKeepsInnerConditionsInOn()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 图书档案 VALUES('A','甲','x','p','',1,0,'1')"),
             QStringLiteral("INSERT 图书档案 VALUES('B','乙','y','p','',1,0,'1')"),
             QStringLiteral("INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('1','A','2024-01-01','u1')"),
             QStringLiteral("INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('2','A','2024-01-01','u2')"),
             QStringLiteral("INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('3','B','2024-01-01','u2')")});
    // A condition on the inner table restricts the joined rows, not the titles.
    QCOMPARE(
        db.rows(QStringLiteral(
            "SELECT 图书档案.ISBN, COUNT(图书库存.ISBN) FROM 图书档案, 图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN "
            "AND 图书库存.经手人 = 'u1' GROUP BY 图书档案.ISBN ORDER BY 图书档案.ISBN")),
        Rows({{"A", "1"}, {"B", "0"}}));
    // A condition on the outer table restricts its rows.
    QCOMPARE(
        db.rows(QStringLiteral(
            "SELECT 图书档案.ISBN, COUNT(图书库存.ISBN) FROM 图书档案, 图书库存 WHERE 图书库存.ISBN =* 图书档案.ISBN "
            "AND 图书名称 = '乙' GROUP BY 图书档案.ISBN")),
        Rows({{"B", "1"}}));
    QVERIFY(db.conn()
                .Translate(QStringLiteral("SELECT * FROM 图书档案, 图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN"))
                .contains(QStringLiteral("LEFT JOIN")));
}

void TestDialect::refusedForms_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown table") << "SELECT * FROM 不存在"
                                   << "对象名 '不存在' 无效。";
    QTest::newRow("unknown column") << "SELECT 电话 FROM 出版社"
                                    << "列名 '电话' 无效。";
    QTest::newRow("ambiguous column") << "SELECT 地址 FROM 出版社, 读者档案"
                                      << "列名 '地址' 不明确。";
    QTest::newRow("two statements") << "SELECT * FROM 出版社; SELECT * FROM 账户"
                                    << "一次只能运行一条语句";
    QTest::newRow("ansi join") << "SELECT * FROM 出版社 JOIN 图书档案 ON 1 = 1"
                               << "数据库层不支持 JOIN ... ON";
    QTest::newRow("other statement") << "DROP TABLE 出版社"
                                     << "只运行 SELECT、INSERT、UPDATE 和 DELETE 语句，不运行 'DROP' 语句";
    QTest::newRow("unknown function") << "SELECT SOUNDEX(地址) FROM 出版社"
                                      << "'SOUNDEX' 不是可以识别的内置函数名称";
    QTest::newRow("top percent") << "SELECT TOP 5 PERCENT * FROM 出版社"
                                 << "数据库层不支持 TOP ... PERCENT";
    QTest::newRow("value count") << "INSERT 出版社 VALUES ('a', 'b')"
                                 << "列名或所提供值的数目与表定义不匹配";
    QTest::newRow("outer join in OR")
        << "SELECT * FROM 图书档案, 图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN OR 1 = 1"
        << "只能出现在以 AND 连接的 WHERE 条件中";
    QTest::newRow("inner table joined") << "SELECT * FROM 图书档案, 图书库存, 图书借阅 WHERE 图书档案.ISBN *= "
                                           "图书库存.ISBN AND 图书库存.图书编号 = 图书借阅.图书编号"
                                        << "表 '图书库存' 是外部联接子句的内部成员";
    QTest::newRow("computed column") << "UPDATE 读者档案 SET 未还书总价值 = 1"
                                     << "无法修改列 \"未还书总价值\"，因为它是计算列";
    QTest::newRow("no date") << "INSERT 账户登录 VALUES ('a', '2024-02-30')"
                             << "转换成数据类型 datetime 时失败";
    QTest::newRow("no number") << "INSERT 读者类别 VALUES ('a', 'abc', '1')"
                               << "将值 'abc' 转换成数据类型 int 时失败";
    QTest::newRow("no money") << "UPDATE 图书档案 SET 价格 = 'abc'"
                              << "将值 'abc' 转换成数据类型 money 时失败";
    QTest::newRow("date like") << "SELECT * FROM 账户登录 WHERE 登录时间 LIKE '2024%'"
                               << "数据库层不支持对 datetime 值使用 LIKE";
    QTest::newRow("unclosed literal") << "SELECT * FROM 出版社 WHERE 地址 = 'abc"
                                      << "字符串 'abc' 后的引号不完整";
    QTest::newRow("bad syntax") << "SELECT FROM 出版社"
                                << "'FROM' 附近有语法错误";
    QTest::newRow("condition as a value") << "SELECT 出版社.地址 = '北京' FROM 出版社"
                                          << "'=' 附近有语法错误";
    QTest::newRow("convert style") << "SELECT CONVERT(varchar(10), 登录时间, 7) FROM 账户登录"
                                   << "7 不是有效的样式号";
}

void TestDialect::refusedForms()
{
    QFETCH(QString, sql);
    QFETCH(QString, message);
    TempDb db;
    try {
        db.conn().Execute(sql);
        QFAIL("the statement ran");
    } catch (const ado::Error &e) {
        QVERIFY2(e.Description().contains(message), qPrintable(e.Description()));
    }
}

void TestDialect::refusedStatementRunsNothing()
{
    TempDb db;
    db.conn().Execute(QStringLiteral("INSERT 出版社 VALUES ('a', 'b', 'c')"));
    QVERIFY_THROWS_EXCEPTION(ado::Error, db.conn().Execute(QStringLiteral("SELECT 1 FROM 出版社; DELETE FROM 出版社")));
    QVERIFY_THROWS_EXCEPTION(ado::Error, db.conn().Execute(QStringLiteral("DELETE FROM 出版社; DELETE FROM 账户")));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")), QStringLiteral("1"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 账户")), QStringLiteral("1"));
    // One statement with a trailing ";" (and a comment) is one statement.
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 出版社; -- done")), 1L);
}

void TestDialect::datesAsTheServerReadsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");  // "" for no date
    QTest::newRow("iso") << "2024-03-05"
                         << "2024-03-05 00:00:00";
    QTest::newRow("typed") << "2024-3-5"
                           << "2024-03-05 00:00:00";
    QTest::newRow("slashes") << "2024/03/05"
                             << "2024-03-05 00:00:00";
    QTest::newRow("with time") << "2024-03-05 7:05"
                               << "2024-03-05 07:05:00";
    QTest::newRow("date-time") << " 2024-03-05 23:59:59 "
                               << "2024-03-05 23:59:59";
    QTest::newRow("registration") << "240315"
                                  << "2024-03-15 00:00:00";
    QTest::newRow("two-digit year 49") << "491231"
                                       << "2049-12-31 00:00:00";
    QTest::newRow("two-digit year 50") << "500101"
                                       << "1950-01-01 00:00:00";
    QTest::newRow("compact") << "20240229"
                             << "2024-02-29 00:00:00";
    QTest::newRow("iso with T") << "2024-03-01T08:00:00"
                                << "2024-03-01 08:00:00";
    QTest::newRow("no such day") << "2023-02-29"
                                 << "";
    QTest::newRow("mixed separators") << "2024-03/05"
                                      << "";
    QTest::newRow("bad time") << "2024-03-05 24:00"
                              << "";
    QTest::newRow("text") << "明天"
                          << "";
    QTest::newRow("before 1753") << "1700-01-01"
                                 << "";
}

void TestDialect::datesAsTheServerReadsThem()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    const std::optional<QString> d = dialect::normalizeDate(text);
    QCOMPARE(d.value_or(QString()), stored);
}

void TestDialect::datesStoredNormalised()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 读者档案 VALUES('R1','c','n',1,0,'','','','',0,0,0,0,0,'240315','u','正常')"),
             QStringLiteral("INSERT 读者档案 VALUES('R2','c','n',1,0,'','','','',0,0,0,0,0,'2024/3/16','u','正常')"),
             QStringLiteral("INSERT 读者档案 VALUES('R3','c','n',1,0,'','','','',0,0,0,0,0,'','u','正常')"),
             QStringLiteral("UPDATE 读者档案 SET 登记日期 = '2024-3-17' WHERE 读者编号 = 'R3'")});
    QCOMPARE(db.rows(QStringLiteral("SELECT 读者编号, CONVERT(varchar(10),登记日期,23), "
                                    "CONVERT(varchar(20),登记日期,20) FROM 读者档案 ORDER BY 登记日期 DESC")),
             Rows({{"R3", "2024-03-17", "2024-03-17 00:00:00"},
                   {"R2", "2024-03-16", "2024-03-16 00:00:00"},
                   {"R1", "2024-03-15", "2024-03-15 00:00:00"}}));
    QCOMPARE(
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 登记日期 BETWEEN '2024-3-16' AND '2024/03/17'")),
        QStringLiteral("2"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 登记日期 >= '240316'")),
             QStringLiteral("2"));
    // '' into a date is Null (the server would store 1900-01-01).
    db.conn().Execute(QStringLiteral("UPDATE 读者档案 SET 登记日期 = '' WHERE 读者编号 = 'R1'"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 读者档案 WHERE 登记日期 IS NULL")), QStringLiteral("1"));
}

void TestDialect::moneyTexts()
{
    QCOMPARE(dialect::parseMoney(QStringLiteral("0.1")).value_or(-1), 1000);
    QCOMPARE(dialect::parseMoney(QStringLiteral("-0.10")).value_or(-1), -1000);
    QCOMPARE(dialect::parseMoney(QStringLiteral("12.34565")).value_or(-1), 123457);
    QCOMPARE(dialect::parseMoney(QStringLiteral("1,234.5")).value_or(-1), 12345000);
    QCOMPARE(dialect::parseMoney(QStringLiteral(".5")).value_or(-1), 5000);
    QVERIFY(!dialect::parseMoney(QStringLiteral("1.2.3")));
    QVERIFY(!dialect::parseMoney(QStringLiteral("元")));
    QCOMPARE(dialect::moneyText(42359800), QStringLiteral("4235.98"));
    QCOMPARE(dialect::moneyText(42359800, 1), QStringLiteral("4,235.98"));
    QCOMPARE(dialect::moneyText(42359800, 2), QStringLiteral("4235.9800"));
    QCOMPARE(dialect::moneyText(125), QStringLiteral("0.01"));
    QCOMPARE(dialect::moneyText(-5000), QStringLiteral("-0.50"));
    QCOMPARE(dialect::moneyText(-40), QStringLiteral("0.00"));
    QCOMPARE(dialect::moneyPlain(3000), QStringLiteral("0.3"));
    QCOMPARE(dialect::moneyPlain(-125000), QStringLiteral("-12.5"));
    TempDb db;
    db.exec({QStringLiteral("INSERT 图书档案 VALUES('1','a','b','c','',4235.98,'0.5','1')"),
             QStringLiteral("UPDATE 图书档案 SET 每日租金 = 每日租金 * 3, 价格 = 价格 - 0.98 WHERE ISBN = '1'")});
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT CONVERT(varchar(10),价格,0), CONVERT(varchar(10),每日租金), 价格 FROM 图书档案")),
             Rows({{"4235.00", "1.50", "4235"}}));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书档案 WHERE 价格 > 4234.99 AND 每日租金 IN (1.5, 2)")),
             QStringLiteral("1"));
}

// One table of halves for both engines' money text: the layer's own
// (dialect::moneyText, which the embedded engine's CONVERT calls) and the
// server's function. An amount is first stored to the ten-thousandth, then
// shown to the cent, each time halves away from zero; a double's 2.675
// (2.67499...) would show 2.67. (From about 2 * 10^14 yuan on, the server's
// function rounds its quotient of cents where it should cut it, a cent too
// many; no window writes such an amount.)
void TestDialect::moneyRoundsToTheCentAlike_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("twoPlaces");   // style 0
    QTest::addColumn<QString>("grouped");     // style 1
    QTest::addColumn<QString>("fourPlaces");  // style 2
    const auto row = [](const char *amount, const char *two, const char *grouped, const char *four) {
        QTest::newRow(amount) << QString::fromLatin1(amount) << QString::fromLatin1(two) << QString::fromLatin1(grouped)
                              << QString::fromLatin1(four);
    };
    row("0.125", "0.13", "0.13", "0.1250");
    row("2.675", "2.68", "2.68", "2.6750");
    row("2.665", "2.67", "2.67", "2.6650");
    row("1.005", "1.01", "1.01", "1.0050");
    row("19.99995", "20.00", "20.00", "20.0000");
    row("1.00495", "1.01", "1.01", "1.0050");
    row("0.0049", "0.00", "0.00", "0.0049");
    row("0.005", "0.01", "0.01", "0.0050");
    row("999.995", "1000.00", "1,000.00", "999.9950");
    row("1234567.895", "1234567.90", "1,234,567.90", "1234567.8950");
    row("9999999.994", "9999999.99", "9,999,999.99", "9999999.9940");
    row("0", "0.00", "0.00", "0.0000");
    row("-0.125", "-0.13", "-0.13", "-0.1250");
    row("-2.675", "-2.68", "-2.68", "-2.6750");
    row("-1.005", "-1.01", "-1.01", "-1.0050");
    row("-19.99995", "-20.00", "-20.00", "-20.0000");
    row("-0.0049", "0.00", "0.00", "-0.0049");
    row("-0.005", "-0.01", "-0.01", "-0.0050");
    row("-999999.995", "-1000000.00", "-1,000,000.00", "-999999.9950");
    row("12345678901234.565", "12345678901234.57", "12,345,678,901,234.57", "12345678901234.5650");
    row("-99999999999999.995", "-100000000000000.00", "-100,000,000,000,000.00", "-99999999999999.9950");
}

void TestDialect::moneyRoundsToTheCentAlike()
{
    QFETCH(QString, amount);
    QFETCH(QString, twoPlaces);
    QFETCH(QString, grouped);
    QFETCH(QString, fourPlaces);
    const std::optional<qint64> stored = dialect::parseMoney(amount);
    QVERIFY(stored);
    QCOMPARE(dialect::moneyText(*stored, 0), twoPlaces);
    QCOMPARE(dialect::moneyText(*stored, 1), grouped);
    QCOMPARE(dialect::moneyText(*stored, 2), fourPlaces);
    TempDb db;
    db.exec({QStringLiteral("INSERT 图书档案 VALUES ('1', '书', Null, Null, Null, %1, 0, '1')").arg(amount)});
    QCOMPARE(db.rows(QStringLiteral("SELECT CONVERT(varchar(30), 价格, 0), CONVERT(varchar(30), 价格, 1), "
                                    "CONVERT(varchar(30), 价格, 2), CONVERT(varchar(30), 价格) FROM 图书档案")),
             Rows({{twoPlaces, grouped, fourPlaces, twoPlaces}}));
}

void TestDialect::numbersPastTheirRangeAreRefused()
{
    // The ends of the money range; one ten-thousandth past them is refused, not wrapped around.
    QCOMPARE(dialect::parseMoney(QStringLiteral("922337203685477.5807")).value_or(0),
             std::numeric_limits<qint64>::max());
    QCOMPARE(dialect::parseMoney(QStringLiteral("-922337203685477.5808")).value_or(0),
             std::numeric_limits<qint64>::min());
    QVERIFY(!dialect::parseMoney(QStringLiteral("922337203685477.5808")));
    QVERIFY(!dialect::parseMoney(QStringLiteral("-922337203685477.5809")));
    TempDb db;
    QVERIFY_THROWS_EXCEPTION(
        ado::Error, db.conn().Execute(
                        QStringLiteral("INSERT 充值记录 VALUES ('1','R1',922337203685477.5808,'2024-03-15','admin')")));
    // A whole number past 64 bits is no int: refused, not stored as 0.
    QVERIFY_THROWS_EXCEPTION(
        ado::Error, db.conn().Execute(QStringLiteral("INSERT 读者类别 VALUES ('学生', 99999999999999999999, 5)")));
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             db.conn().Execute(QStringLiteral("INSERT 读者类别 VALUES ('学生', 30, 1e300)")));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 读者类别")), QStringLiteral("0"));
}

void TestDialect::dateStyles()
{
    const QString d = QStringLiteral("2024-03-05 14:05:09");
    QCOMPARE(dialect::dateText(d, 0), QStringLiteral("Mar  5 2024  2:05PM"));
    QCOMPARE(dialect::dateText(d, 23), QStringLiteral("2024-03-05"));
    QCOMPARE(dialect::dateText(d, 20), d);
    QCOMPARE(dialect::dateText(d, 111), QStringLiteral("2024/03/05"));
    QCOMPARE(dialect::dateText(d, 112), QStringLiteral("20240305"));
    QCOMPARE(dialect::dateDisplay(QStringLiteral("2024-03-05 00:00:00")), QStringLiteral("2024-03-05"));
    QCOMPARE(dialect::dateDisplay(d), d);
}

void TestDialect::batchConvertsLikeLiterals()
{
    TempDb db;
    const long n =
        db.conn().ExecuteBatch(QStringLiteral("INSERT 充值记录 VALUES (?, ?, ?, ?, ?)"),
                               {{QStringLiteral("1"), QStringLiteral("R1"), QStringLiteral("0.1"),
                                 QStringLiteral("2024-3-5"), QStringLiteral("u")},
                                {QStringLiteral("2"), QStringLiteral("R1"), 0.2, QDate(2024, 3, 6), QVariant()}});
    QCOMPARE(n, 2L);
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT 充值编号, CONVERT(varchar(10),充值金额,0), 充值日期, 经手人 FROM 充值记录 ORDER BY 充值编号")),
             Rows({{"1", "0.10", "2024-03-05", "u"}, {"2", "0.20", "2024-03-06", ""}}));
    QCOMPARE(db.conn().ExecuteBatch(QStringLiteral("DELETE FROM 充值记录 WHERE 充值日期 = ?"),
                                    {{QStringLiteral("2024/03/05")}}),
             1L);
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             db.conn().ExecuteBatch(QStringLiteral("DELETE FROM 充值记录 WHERE 充值编号 = ?"), {{}}));
    QVERIFY_THROWS_EXCEPTION(ado::Error, db.conn().Execute(QStringLiteral("DELETE FROM 充值记录 WHERE 充值编号 = ?")));
}

void TestDialect::splitScript()
{
    QCOMPARE(dialect::splitStatements(
                 QStringLiteral("-- it's a note; really\nINSERT a VALUES ('x;y'); /* ; */ DELETE b;\n\n")),
             QStringList({"INSERT a VALUES ('x;y')", "DELETE b"}));
}

// Computed columns are data beside the schema: the translator knows no table.
void TestDialect::computedColumnDefinitions()
{
    dialect::Catalog cat;
    dialect::TableInfo t;
    t.name = QStringLiteral("T");
    const auto column = [](const char *name, dialect::Kind kind, bool generated) {
        dialect::ColumnInfo c;
        c.name = QString::fromUtf8(name);
        c.kind = kind;
        c.generated = generated;
        return c;
    };
    t.columns = {column("k", dialect::Kind::Text, false), column("v", dialect::Kind::Int, false),
                 column("twice", dialect::Kind::Int, true), column("loop", dialect::Kind::Int, true)};
    cat.tables.push_back(t);
    dialect::defineComputedColumns(cat, QStringLiteral("-- a comment line\n"
                                                       "T.twice = T.v\n"
                                                       "    * 2  -- continued\n"
                                                       "Missing.x = 1\n"
                                                       "T.nothing = 1\n"
                                                       "T.loop = T.loop + 1\n"));
    QCOMPARE(cat.tables[0].columns[2].computedAs, QStringLiteral("T.v * 2"));

    // Read under an alias, the row is the aliased table's; a sub-query keeps its own tables.
    const QString sql = dialect::translate(QStringLiteral("SELECT a.twice FROM T a WHERE a.twice > 2"), cat).sql;
    QVERIFY2(sql.contains(QStringLiteral("\"a\".\"v\" * 2")), qPrintable(sql));
    QVERIFY2(!sql.contains(QStringLiteral("\"twice\"")), qPrintable(sql));

    // Writing it stays refused; a definition that reads itself is refused, not looped.
    QVERIFY_THROWS_EXCEPTION(ado::Error, dialect::translate(QStringLiteral("UPDATE T SET twice = 1"), cat));
    QVERIFY_THROWS_EXCEPTION(ado::Error, dialect::translate(QStringLiteral("SELECT loop FROM T"), cat));
    // Only a generated column can be computed; a line without "=" is refused.
    QVERIFY_THROWS_EXCEPTION(ado::Error, dialect::defineComputedColumns(cat, QStringLiteral("T.v = 1")));
    QVERIFY_THROWS_EXCEPTION(ado::Error, dialect::defineComputedColumns(cat, QStringLiteral("T.twice")));
}

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
