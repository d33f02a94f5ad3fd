// What the database layer supplies beyond plain translation: the value of a
// reader's copies still out (读者档案.未还书总价值), the Chinese text order of
// ORDER BY, and the date texts the windows accept.

#include "db/Dialect.h"
#include "db/ServerMessages.h"
#include "support/TempDb.h"
#include "ui/Runtime.h"

#include <QCollator>
#include <QtTest>
#include <sqlite3.h>

using testsupport::TempDb;
using Rows = QList<QStringList>;

namespace {

QStringList column(const Rows &rows, int c)
{
    QStringList out;
    for (const QStringList &r : rows) out << r.value(c);
    return out;
}

// R1 has two copies out (45.50 + 53.30) and one returned; R2 none; R3 one
// copy out whose title row is gone (no price to count).
void seedLoans(TempDb &db)
{
    db.exec({
        QStringLiteral("INSERT 读者类别 VALUES ('学生','30','5')"),
        QStringLiteral("INSERT 图书档案 VALUES('978-1','C++入门','张三','人民出版社','2020-3-5',45.5,0.1,'1')"),
        QStringLiteral("INSERT 图书档案 VALUES('978-2','数据库','李四','科学出版社','',53.3,0,'1')"),
        QStringLiteral("INSERT 图书档案 VALUES('978-3','古籍','王五','人民出版社','',100,0,'1')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B1','978-1','2024-01-02 10:00:00','admin')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B2','978-2','2024-01-02 10:00:00','admin')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B3','978-3','2024-01-02 10:00:00','admin')"),
        QStringLiteral(
            "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES('B9','978-9','2024-01-02 10:00:00','admin')"),
        QStringLiteral("INSERT 读者档案 VALUES('R1','学生','王小明',1, 0, '', '', '', '', 2, 3, 2, 0, 2, "
                       "'240315','admin', '正常')"),
        QStringLiteral("INSERT 读者档案 VALUES('R2','学生','李小红',0, 0, '', '', '', '', 0, 0, 0, 0, 0, "
                       "'240316','admin', '正常')"),
        QStringLiteral("INSERT 读者档案 VALUES('R3','无此类别','赵老师',1, 0, '', '', '', '', 1, 1, 1, 0, 1, "
                       "'240101','admin', '正常')"),
        QStringLiteral(
            "INSERT 图书借阅 VALUES('240301101010001','B1','R1','2024-03-01','2024-03-31', Null, '0', 'admin', Null)"),
        QStringLiteral(
            "INSERT 图书借阅 VALUES('240301101010002','B2','R1','2024-03-01','2024-03-31', Null, '0', 'admin', Null)"),
        QStringLiteral("INSERT 图书借阅 VALUES('240201101010001','B3','R1','2024-02-01','2024-03-02', '2024-02-20', "
                       "'1', 'admin', 'admin')"),
        QStringLiteral(
            "INSERT 图书借阅 VALUES('240301101010003','B9','R3','2024-03-01','2024-03-31', Null, '0', 'admin', Null)"),
    });
}

// The reader search by number, as the search window writes it.
const QString kReaderSearch = QStringLiteral(
    "SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), 账户金额,0) AS "
    "账户金额, "
    "读者档案.读者类别, 状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, "
    "CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, 联系电话, 地址, 邮编, 登记日期, 经手人 "
    "FROM 读者档案,读者类别 WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE 'R%' ORDER BY 读者编号 ASC");

// Readers N<first>, N<first+1> ... with the given names (当前借书数量 3, 6, 9, 1 ...).
void addReaders(TempDb &db, const QStringList &names, int first = 1)
{
    int n = first;
    for (const QString &name : names) {
        db.conn().Execute(QStringLiteral("INSERT 读者档案 VALUES('N%1','学生','%2',1, 0, '', '', '', '', %3, 0, 0, 0, "
                                         "0, '240315','admin', '正常')")
                              .arg(n)
                              .arg(name)
                              .arg(n * 3 % 11));
        ++n;
    }
}

}  // namespace

class TestDialectExtra : public QObject {
    Q_OBJECT

private slots:
    void outstandingValueInTheReaderSearch();
    void outstandingValueWhereverItIsRead();
    void outstandingValueFollowsLendingAndReturning();
    void chineseSortsByPinyin();
    void latinSortsWithoutRegardToCase();
    void sortByAliasPositionAndExpression();
    void sortAgreesWithTheLocaleCollation();
    void equalityAndLikeStillIgnoreCase();
    void databaseFileReadableByAnyClient();
    void programDatesReadAsTheServerReadsThem_data();
    void programDatesReadAsTheServerReadsThem();
    void datesInStatements();
    void lengthCountsCharacters();
    void mixedTextOrder();
    void arithmeticAsTheDialectMeansIt_data();
    void arithmeticAsTheDialectMeansIt();
    void everyTypedPatternIsValid_data();
    void everyTypedPatternIsValid();
};

void TestDialectExtra::outstandingValueInTheReaderSearch()
{
    TempDb db;
    seedLoans(db);
    QCOMPARE(db.header(kReaderSearch).at(11), QStringLiteral("未还书总价值"));
    const Rows rows = db.rows(kReaderSearch);
    QCOMPARE(column(rows, 0), QStringList({"R1", "R2", "R3"}));
    QCOMPARE(column(rows, 10), QStringList({"2", "0", "1"}));
    // 45.50 + 53.30; none; a copy without its title row counts nothing.
    QCOMPARE(column(rows, 11), QStringList({"98.80", "0.00", "0.00"}));
    // The reader whose category is missing is still listed (outer join kept).
    QCOMPARE(column(rows, 4), QStringList({"学生", "学生", "无此类别"}));
}

void TestDialectExtra::outstandingValueWhereverItIsRead()
{
    TempDb db;
    seedLoans(db);
    // Bare, qualified by the table, through an alias, and in SELECT *.
    QCOMPARE(db.scalar(QStringLiteral("SELECT 未还书总价值 FROM 读者档案 WHERE 读者编号 = 'R1'")),
             QStringLiteral("98.8"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT 读者档案.未还书总价值 FROM 读者档案 WHERE 读者编号 = 'r1'")),
             QStringLiteral("98.8"));
    QCOMPARE(
        db.rows(QStringLiteral(
            "SELECT r.读者编号, CONVERT(varchar(10), r.未还书总价值, 0) AS 值 FROM 读者档案 r ORDER BY r.读者编号")),
        Rows({{"R1", "98.80"}, {"R2", "0.00"}, {"R3", "0.00"}}));
    QCOMPARE(db.header(QStringLiteral("SELECT * FROM 读者档案")).last(), QStringLiteral("未还书总价值"));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 读者档案 WHERE 读者编号 = 'R1'")).value(0).last(),
             QStringLiteral("98.8"));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 未还书总价值 FROM 读者档案 WHERE 读者编号 = 'R1'"), db.conn());
    QCOMPARE(rs.Fields(QStringLiteral("未还书总价值")).toDouble(), 98.8);
    // In conditions, sorting, grouping and arithmetic.
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 读者编号 FROM 读者档案 WHERE 未还书总价值 > 50")), 0),
             QStringList({"R1"}));
    QCOMPARE(
        column(db.rows(QStringLiteral("SELECT 读者编号 FROM 读者档案 WHERE 未还书总价值 = 0 ORDER BY 读者编号")), 0),
        QStringList({"R2", "R3"}));
    QCOMPARE(
        column(db.rows(QStringLiteral("SELECT 读者编号 FROM 读者档案 ORDER BY 未还书总价值 DESC, 读者编号 ASC")), 0),
        QStringList({"R1", "R2", "R3"}));
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT CONVERT(varchar(10), 未还书总价值, 0), COUNT(*) FROM 读者档案 GROUP BY 未还书总价值 "
                 "HAVING 未还书总价值 < 1")),
             Rows({{"0.00", "2"}}));
    QCOMPARE(db.scalar(QStringLiteral("SELECT CONVERT(varchar(10), SUM(未还书总价值 + 账户金额), 0) FROM 读者档案")),
             QStringLiteral("98.80"));
    QCOMPARE(
        db.scalar(QStringLiteral(
            "SELECT COUNT(*) FROM 读者档案 WHERE 读者编号 IN (SELECT 读者编号 FROM 读者档案 WHERE 未还书总价值 > 0)")),
        QStringLiteral("1"));
    // With the loan tables in the statement as well: each row shows its reader's whole value.
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT 图书借阅编号, CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值 FROM 读者档案, 图书借阅 "
                 "WHERE 图书借阅.读者编号 = 读者档案.读者编号 ORDER BY 图书借阅编号")),
             Rows({{"240201101010001", "98.80"},
                   {"240301101010001", "98.80"},
                   {"240301101010002", "98.80"},
                   {"240301101010003", "0.00"}}));
    // UPDATE and DELETE may test it; nothing writes it.
    QCOMPARE(db.conn().Execute(QStringLiteral("UPDATE 读者档案 SET 状态 = '停用' WHERE 未还书总价值 = 0")), 2L);
    QVERIFY_THROWS_EXCEPTION(ado::Error, db.conn().Execute(QStringLiteral("UPDATE 读者档案 SET 未还书总价值 = 1")));
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE 读者档案 WHERE 未还书总价值 > 90")), 1L);
}

void TestDialectExtra::outstandingValueFollowsLendingAndReturning()
{
    TempDb db;
    seedLoans(db);
    const QString value =
        QStringLiteral("SELECT CONVERT(varchar(10),未还书总价值,0) FROM 读者档案 WHERE 读者编号 = 'R2'");
    QCOMPARE(db.scalar(value), QStringLiteral("0.00"));
    db.exec(
        {QStringLiteral(
             "INSERT 图书借阅 VALUES('240401101010001','B3','R2','2024-04-01','2024-05-01', Null, '0', 'admin', Null)"),
         QStringLiteral("UPDATE 图书库存 SET 状态 = '借出' WHERE 图书编号 = 'B3'")});
    QCOMPARE(db.scalar(value), QStringLiteral("100.00"));
    // A price changed later counts at its new value, as the titles hold it.
    db.conn().Execute(QStringLiteral("UPDATE 图书档案 SET 价格 = 12.34 WHERE ISBN = '978-3'"));
    QCOMPARE(db.scalar(value), QStringLiteral("12.34"));
    db.conn().Execute(QStringLiteral(
        "UPDATE 图书借阅 SET 实际还书日期 = '2024-04-10',是否已还 = '1' WHERE 图书借阅编号 = '240401101010001'"));
    QCOMPARE(db.scalar(value), QStringLiteral("0.00"));
    // The 17-value insert still fills the stored columns.
    QCOMPARE(db.conn().Execute(QStringLiteral("INSERT 读者档案 VALUES('R4','学生','新读者',1, 0, '', '', '', '', 0, 0, "
                                              "0, 0, 0, '240501','admin', '正常')")),
             1L);
}

void TestDialectExtra::chineseSortsByPinyin()
{
    TempDb db;
    addReaders(db, {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")});
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 ORDER BY 姓名 ASC")), 0),
             QStringList({"李四", "王五", "张三", "赵六"}));
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 ORDER BY 姓名 DESC")), 0),
             QStringList({"赵六", "张三", "王五", "李四"}));
    // A longer text after its beginning; Latin letters and digits before Chinese.
    addReaders(db, {QStringLiteral("张三丰"), QStringLiteral("Zoe"), QStringLiteral("9号")}, 5);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 ORDER BY 姓名")), 0),
             QStringList({"9号", "Zoe", "李四", "王五", "张三", "张三丰", "赵六"}));
}

void TestDialectExtra::latinSortsWithoutRegardToCase()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 出版社 VALUES ('banana', '', '')"),
             QStringLiteral("INSERT 出版社 VALUES ('Apple', '', '')"),
             QStringLiteral("INSERT 出版社 VALUES ('cherry', '', '')"),
             QStringLiteral("INSERT 出版社 VALUES ('apricot', '', '')"),
             QStringLiteral("INSERT 出版社 VALUES ('Banana split', '', '')"),
             QStringLiteral("INSERT 出版社 VALUES ('CHERRY PIE', '', '')")});
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 出版社名称 FROM 出版社 ORDER BY 出版社名称")), 0),
             QStringList({"Apple", "apricot", "banana", "Banana split", "cherry", "CHERRY PIE"}));
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 出版社名称 FROM 出版社 ORDER BY 出版社名称 DESC")), 0),
             QStringList({"CHERRY PIE", "cherry", "Banana split", "banana", "apricot", "Apple"}));
}

void TestDialectExtra::sortByAliasPositionAndExpression()
{
    TempDb db;
    addReaders(db, {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")});
    const QStringList pinyin({"李四", "王五", "张三", "赵六"});
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 AS 名字 FROM 读者档案 ORDER BY 名字")), 0), pinyin);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 读者编号, 姓名 FROM 读者档案 ORDER BY 2")), 1), pinyin);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 读者编号, 名字 = LTRIM(姓名) FROM 读者档案 ORDER BY 名字")), 1),
             pinyin);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 ORDER BY ISNULL(姓名, '') + 'x'")), 0), pinyin);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 WHERE 读者编号 IN ('N1', 'N2') UNION "
                                           "SELECT 姓名 FROM 读者档案 WHERE 读者编号 IN ('N3', 'N4') ORDER BY 姓名")),
                    0),
             pinyin);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT TOP 2 姓名 FROM 读者档案 ORDER BY 姓名 DESC")), 0),
             QStringList({"赵六", "张三"}));
    // Numbers keep their numeric order (3, 6, 9, 1 as counters: 1, 3, 6, 9).
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 当前借书数量 FROM 读者档案 ORDER BY 当前借书数量")), 0),
             QStringList({"1", "3", "6", "9"}));
    // Several sort items: the second decides among equal firsts.
    db.conn().Execute(QStringLiteral("UPDATE 读者档案 SET 读者类别 = '教师' WHERE 姓名 IN ('张三', '李四')"));
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 ORDER BY 读者类别 DESC, 姓名 ASC")), 0),
             QStringList({"王五", "赵六", "李四", "张三"}));  // 学生 (xue) before 教师 (jiao) when descending
}

void TestDialectExtra::sortAgreesWithTheLocaleCollation()
{
    // Common surnames and given names in the order the Chinese collation gives.
    const QStringList names = {
        QStringLiteral("欧阳明"), QStringLiteral("周杰"),   QStringLiteral("吴刚"),     QStringLiteral("郑爽"),
        QStringLiteral("孙悦"),   QStringLiteral("马云"),   QStringLiteral("朱丹"),     QStringLiteral("胡歌"),
        QStringLiteral("郭靖"),   QStringLiteral("何炅"),   QStringLiteral("高圆圆"),   QStringLiteral("林峰"),
        QStringLiteral("罗志祥"), QStringLiteral("梁朝伟"), QStringLiteral("宋江"),     QStringLiteral("谢霆锋"),
        QStringLiteral("韩寒"),   QStringLiteral("唐僧"),   QStringLiteral("冯巩"),     QStringLiteral("于谦"),
        QStringLiteral("董卿"),   QStringLiteral("萧峰"),   QStringLiteral("程咬金"),   QStringLiteral("曹操"),
        QStringLiteral("袁隆平"), QStringLiteral("邓超"),   QStringLiteral("许巍"),     QStringLiteral("傅雷"),
        QStringLiteral("沈从文"), QStringLiteral("曾国藩"), QStringLiteral("长孙无忌"), QStringLiteral("阿Q"),
        QStringLiteral("啊呀"),   QStringLiteral("张三"),   QStringLiteral("章子怡")};
    TempDb db;
    addReaders(db, names);
    QStringList expected = names;
    QCollator zh{QLocale(QLocale::Chinese, QLocale::China)};
    zh.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(expected.begin(), expected.end(), zh);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 姓名 FROM 读者档案 ORDER BY 姓名")), 0), expected);
}

void TestDialectExtra::equalityAndLikeStillIgnoreCase()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 出版社 VALUES ('Apple', '', '')"),
             QStringLiteral("INSERT 出版社 VALUES ('张三书局', '', '')")});
    QCOMPARE(db.scalar(QStringLiteral("SELECT 出版社名称 FROM 出版社 WHERE 出版社名称 = 'APPLE'")),
             QStringLiteral("Apple"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 LIKE 'ap%'")), QStringLiteral("1"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 出版社名称 LIKE '张%'")), QStringLiteral("1"));
    // A key differing only in case is still a duplicate.
    QVERIFY_THROWS_EXCEPTION(ado::Error, db.conn().Execute(QStringLiteral("INSERT 出版社 VALUES ('APPLE', '', '')")));
}

void TestDialectExtra::databaseFileReadableByAnyClient()
{
    // The file's columns name only built-in collations: any client reads it.
    // (Indexes that serve the lists' pinyin order need the layer's collation
    // to be written.)
    if (TempDb::onServer()) QSKIP("a property of the embedded database file");
    TempDb db;
    addReaders(db, {QStringLiteral("张三"), QStringLiteral("李四")});
    sqlite3 *h = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(db.path()).constData(), &h, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    char *err = nullptr;
    int rows = 0;
    const int rc = sqlite3_exec(
        h, "SELECT 姓名 FROM 读者档案 ORDER BY 姓名; SELECT * FROM 图书借阅 WHERE 是否已还 = 0 ORDER BY 图书借阅编号",
        [](void *n, int, char **, char **) {
            ++*static_cast<int *>(n);
            return 0;
        },
        &rows, &err);
    const QString message = QString::fromUtf8(err ? err : "");
    sqlite3_free(err);
    sqlite3_close_v2(h);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
    QCOMPARE(rows, 2);
}

void TestDialectExtra::programDatesReadAsTheServerReadsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");  // "" when refused
    // The forms the windows accept as dates, as the server reads them.
    QTest::newRow("us month first") << "3/1/2024"
                                    << "2024-03-01 00:00:00";
    QTest::newRow("us with hyphens") << "12-31-2023"
                                     << "2023-12-31 00:00:00";
    QTest::newRow("us with dots") << "03.01.2024"
                                  << "2024-03-01 00:00:00";
    QTest::newRow("us two-digit year") << "3/1/24"
                                       << "2024-03-01 00:00:00";
    QTest::newRow("us two-digit year 50") << "3/1/50"
                                          << "1950-03-01 00:00:00";
    QTest::newRow("two-digit first is the month") << "12-3-5"
                                                  << "2005-12-03 00:00:00";
    QTest::newRow("us with time") << "3/1/2024 14:05"
                                  << "2024-03-01 14:05:00";
    QTest::newRow("pm") << "3/1/2024 2:05 PM"
                        << "2024-03-01 14:05:00";
    QTest::newRow("pm without blank") << "2024-3-1 2:05:09pm"
                                      << "2024-03-01 14:05:09";
    QTest::newRow("midnight am") << "2024-03-01 12:30 AM"
                                 << "2024-03-01 00:30:00";
    QTest::newRow("noon pm") << "2024-03-01 12:30 PM"
                             << "2024-03-01 12:30:00";
    QTest::newRow("time alone") << "10:30"
                                << "1900-01-01 10:30:00";
    QTest::newRow("time alone with seconds") << " 23:59:59 "
                                             << "1900-01-01 23:59:59";
    QTest::newRow("time alone pm") << "9:05 pm"
                                   << "1900-01-01 21:05:00";
    QTest::newRow("one-digit minute") << "2024-3-5 10:5"
                                      << "2024-03-05 10:05:00";
    // Refused by the server as well.
    QTest::newRow("two numbers") << "3/5"
                                 << "";
    QTest::newRow("month 13") << "13/1/2024"
                              << "";
    QTest::newRow("no such day") << "2/30/2024"
                                 << "";
    QTest::newRow("not a leap year") << "2/29/2023"
                                     << "";
    QTest::newRow("two-digit month 24") << "24-3-5"
                                        << "";
    QTest::newRow("three-digit year") << "3/1/202"
                                      << "";
    QTest::newRow("mixed separators") << "3/1-2024"
                                      << "";
    QTest::newRow("chinese words") << "2024年3月5日"
                                   << "";
    QTest::newRow("hour 13 pm") << "13:00 PM"
                                << "";
    QTest::newRow("hour 0 am") << "0:30 AM"
                               << "";
    QTest::newRow("minute 60") << "10:60"
                               << "";
    QTest::newRow("time without minutes") << "10:"
                                          << "";
    QTest::newRow("before 1753") << "12/31/1752"
                                 << "";
    QTest::newRow("am alone") << "AM"
                              << "";
    QTest::newRow("T after a us date") << "3/1/2024T08:00"
                                       << "";
}

void TestDialectExtra::programDatesReadAsTheServerReadsThem()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QCOMPARE(dialect::normalizeDate(text).value_or(QString()), stored);
    // Where the windows read a date with four-digit year, or a time, they read the same moment.
    const bool fourDigitYear = text.contains(QRegularExpression(QStringLiteral("\\d{4}")));
    const bool timeOnly = stored.startsWith(QLatin1String("1900-01-01"));
    if (!stored.isEmpty() && fourDigitYear) {
        QVERIFY(vb::IsDate(text));
        QCOMPARE(vb::CDate(text).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), stored);
    } else if (!stored.isEmpty() && timeOnly) {
        QVERIFY(vb::IsDate(text));
        QCOMPARE(vb::CDate(text).time().toString(QStringLiteral("HH:mm:ss")), stored.mid(11));
    }
}

void TestDialectExtra::datesInStatements()
{
    TempDb db;
    seedLoans(db);
    // Written as the windows may hold them: US order, a time alone.
    db.exec({QStringLiteral(
                 "INSERT 图书借阅 VALUES('240402101010001','B3','R2','4/2/2024','5/2/2024', Null, '0', 'admin', Null)"),
             QStringLiteral(
                 "UPDATE 图书借阅 SET 实际还书日期 = '4/20/2024 3:15 PM' WHERE 图书借阅编号 = '240402101010001'"),
             QStringLiteral("INSERT 账户登录 VALUES ('admin', '10:30')")});
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT CONVERT(varchar(10),借书日期,23), CONVERT(varchar(10),理论还书日期,23), "
                 "CONVERT(varchar(20),实际还书日期,20) FROM 图书借阅 WHERE 图书借阅编号 = '240402101010001'")),
             Rows({{"2024-04-02", "2024-05-02", "2024-04-20 15:15:00"}}));
    QCOMPARE(
        db.scalar(QStringLiteral("SELECT CONVERT(varchar(20),登录时间,20) FROM 账户登录 WHERE 登录时间 < '1/2/1900'")),
        QStringLiteral("1900-01-01 10:30:00"));
    // Compared: the statistics range typed in US order.
    QCOMPARE(
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 BETWEEN '3/1/2024' AND '4/2/2024'")),
        QStringLiteral("4"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 IN ('2/1/2024', '4/2/24')")),
             QStringLiteral("2"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 > CONVERT(datetime, '3/15/2024')")),
             QStringLiteral("1"));
    // What the server refuses stays refused, and the statement changes nothing.
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             db.conn().Execute(QStringLiteral(
                                 "UPDATE 图书借阅 SET 借书日期 = '2/30/2024' WHERE 图书借阅编号 = '240402101010001'")));
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             db.rows(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 > '3/5'")));
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             db.rows(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 > '2024年3月5日'")));
    QCOMPARE(db.scalar(QStringLiteral(
                 "SELECT CONVERT(varchar(10),借书日期,23) FROM 图书借阅 WHERE 图书借阅编号 = '240402101010001'")),
             QStringLiteral("2024-04-02"));
}

// LEN counts characters, not bytes, without the trailing blanks; a NUL (the
// embedded engine can hold one) is a character like any other.
void TestDialectExtra::lengthCountsCharacters()
{
    TempDb db;
    db.exec({QStringLiteral("INSERT 出版社 VALUES ('人民出版社  ', ' a ', Null)")});
    QCOMPARE(db.scalar(QStringLiteral("SELECT LEN(出版社名称) FROM 出版社")), QStringLiteral("5"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT LEN(地址) FROM 出版社")), QStringLiteral("2"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT LEN(邮编) FROM 出版社")), QString());
    if (TempDb::onServer()) return;
    db.exec({QStringLiteral("UPDATE 出版社 SET 地址 = ") + QStringLiteral("'a") + QChar(0) + QStringLiteral("b'")});
    QCOMPARE(db.scalar(QStringLiteral("SELECT LEN(地址) FROM 出版社")), QStringLiteral("3"));
}

// Codes, Latin, digits, signs, other scripts and Chinese in one order on
// either engine: signs, digits, Latin (case-blind), other scripts, then Chinese
// by pinyin; a text before the longer texts it starts.
void TestDialectExtra::mixedTextOrder()
{
    const QStringList ordered = {
        QStringLiteral("_x"),    QStringLiteral("-x"),   QStringLiteral("(x)"),  QStringLiteral("01"),
        QStringLiteral("10"),    QStringLiteral("9"),    QStringLiteral("a"),    QStringLiteral("ABC"),
        QStringLiteral("abd"),   QStringLiteral("Abe"),  QStringLiteral("B 12"), QStringLiteral("b_12"),
        QStringLiteral("B-12"),  QStringLiteral("B.12"), QStringLiteral("B12"),  QStringLiteral("R001"),
        QStringLiteral("R0010"), QStringLiteral("r002"), QStringLiteral("R01"),  QStringLiteral("x)"),
        QStringLiteral("Zhang"), QStringLiteral("zhao"), QStringLiteral("α"),    QStringLiteral("Ω"),
        QStringLiteral("阿Q"),   QStringLiteral("啊"),   QStringLiteral("读者"), QStringLiteral("二"),
        QStringLiteral("你"),    QStringLiteral("你好"), QStringLiteral("你们"), QStringLiteral("一二"),
        QStringLiteral("张三")};
    TempDb db;
    QStringList shuffled = ordered;
    std::reverse(shuffled.begin(), shuffled.end());
    std::rotate(shuffled.begin(), shuffled.begin() + 11, shuffled.end());
    for (const QString &v : shuffled) db.exec({QStringLiteral("INSERT 出版社 VALUES ('%1', Null, Null)").arg(v)});
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 出版社名称 FROM 出版社 ORDER BY 出版社名称")), 0), ordered);
    QStringList descending = ordered;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 出版社名称 AS 名 FROM 出版社 ORDER BY 名 DESC")), 0), descending);
}

// What both engines give (the differential test holds them to each other;
// this holds them to the right answer): money times a decimal exactly,
// halves away from zero; a division by zero, a whole number past an int, an
// amount past money and text into a number column refused, in Chinese.
void TestDialectExtra::arithmeticAsTheDialectMeansIt_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("result");  // the first field of the first row, or the refusal
    const QString overflow = ado::msg::arithmeticOverflow();
    QTest::newRow("money times a decimal, half away from zero")
        << "SELECT CONVERT(varchar(10), CONVERT(money, 0.613) * 1.15, 0)"
        << "0.71";
    QTest::newRow("a stored amount times a decimal") << "SELECT 价格 * 1.15 FROM 图书档案 WHERE ISBN = '978-1'"
                                                     << "52.325";
    QTest::newRow("money divided by a decimal") << "SELECT 价格 / 0.3 FROM 图书档案 WHERE ISBN = '978-1'"
                                                << "151.6667";
    QTest::newRow("a negative half") << "SELECT CONVERT(varchar(10), CONVERT(money, -0.005) * 1, 0)"
                                     << "-0.01";
    QTest::newRow("numbers written exactly into money")
        << "UPDATE 读者档案 SET 账户金额 = 账户金额 + 0.613 * 1.15 WHERE 读者编号 = 'R2'"
        << "1";
    QTest::newRow("whole numbers divide whole") << "SELECT -7 / 2"
                                                << "-3";
    QTest::newRow("a division by zero") << "SELECT 1 / 0" << ado::msg::divisionByZero();
    QTest::newRow("a division by a column's zero")
        << "SELECT 总借书数量 / 当前借书数量 FROM 读者档案 WHERE 读者编号 = 'R2'" << ado::msg::divisionByZero();
    QTest::newRow("money divided by zero") << "SELECT 价格 / 0 FROM 图书档案" << ado::msg::divisionByZero();
    QTest::newRow("a remainder of zero") << "SELECT 5 % 0" << ado::msg::divisionByZero();
    QTest::newRow("ints past their range") << "SELECT 2147483647 + 1" << overflow;
    QTest::newRow("a wider number is no int") << "SELECT 2147483648 + 1"
                                              << "2147483649";
    QTest::newRow("a number past an int column")
        << "UPDATE 读者档案 SET 总借书数量 = 2147483648 WHERE 读者编号 = 'R1'" << overflow;
    QTest::newRow("a sum past an int column")
        << "UPDATE 读者档案 SET 总借书数量 = 总借书数量 + 2147483647 WHERE 读者编号 = 'R1'" << overflow;
    QTest::newRow("an amount past money")
        << "UPDATE 读者档案 SET 账户金额 = 账户金额 + 922337203685477 + 1 WHERE 读者编号 = 'R1'" << overflow;
    QTest::newRow("text into a number column")
        << "UPDATE 读者档案 SET 总借书数量 = 姓名 WHERE 读者编号 = 'R1'"
        << ado::msg::operandTypeClash(QStringLiteral("varchar"), QStringLiteral("int"));
    QTest::newRow("text into money") << "UPDATE 读者档案 SET 账户金额 = 姓名 WHERE 读者编号 = 'R1'"
                                     << ado::msg::operandTypeClash(QStringLiteral("varchar"), QStringLiteral("money"));
}

void TestDialectExtra::arithmeticAsTheDialectMeansIt()
{
    QFETCH(QString, statement);
    QFETCH(QString, result);
    TempDb db;
    seedLoans(db);
    QString got;
    try {
        if (statement.startsWith(QLatin1String("SELECT")))
            got = db.scalar(statement);
        else
            got = QString::number(db.conn().Execute(statement));
    } catch (const ado::Error &e) {
        got = e.Description();
    }
    QCOMPARE(got, result);
}

// A text typed into a search box is a pattern both engines take, and match alike.
void TestDialectExtra::everyTypedPatternIsValid_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("escape");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("a reversed range holds nothing") << "[9-0]%"
                                                    << "" << QStringList();
    QTest::newRow("a range and a start") << "[a-z]%"
                                         << "" << QStringList();
    QTest::newRow("a set of Chinese") << "[王李]%"
                                      << "" << QStringList({"王小明", "李小红"});
    QTest::newRow("an escape at the end stands for itself") << "王小明!"
                                                            << "!" << QStringList();
    QTest::newRow("an escaped wildcard") << "王!%"
                                         << "!" << QStringList();
    QTest::newRow("a bracket without its end") << "[王%"
                                               << "" << QStringList();
    QTest::newRow("a backslash is no escape") << "\\%"
                                              << "" << QStringList();
}

void TestDialectExtra::everyTypedPatternIsValid()
{
    QFETCH(QString, pattern);
    QFETCH(QString, escape);
    QFETCH(QStringList, names);
    TempDb db;
    seedLoans(db);
    const QString sql = QStringLiteral("SELECT 姓名 FROM 读者档案 WHERE 姓名 LIKE '%1'%2 ORDER BY 读者编号")
                            .arg(pattern, escape.isEmpty() ? QString() : QStringLiteral(" ESCAPE '%1'").arg(escape));
    QCOMPARE(column(db.rows(sql), 0), names);
}

QTEST_GUILESS_MAIN(TestDialectExtra)
#include "tst_dialect_extra.moc"
