// The statements the windows write, run on a seeded database, checked
// against the rows the server gives for them.

#include "StatementsSeed.h"
#include "support/TempDb.h"

#include <QtTest>

using testsupport::TempDb;
using Rows = QList<QStringList>;

namespace {

const QString kTitlesSelect =
    QStringLiteral("SELECT 图书名称, 作者, 图书档案.ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, "
                   "CONVERT(varchar(10),价格,0) AS 价格, "
                   "CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' "
                   "END, COUNT(图书库存.ISBN) AS 数量");
const QString kTitlesFrom = QStringLiteral("FROM 图书档案,图书库存");
const QString kTitlesWhere = QStringLiteral("WHERE 图书档案.ISBN *= 图书库存.ISBN");
const QString kTitlesGroup =
    QStringLiteral("GROUP BY 图书名称, 作者, 图书档案.ISBN, 出版社名称, 出版时间, 价格, 每日租金, 可否外借");

const QString kCopiesSelect =
    QStringLiteral("SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, "
                   "经手人, 最近读者编号, 最近借阅日期, 状态");

const QString kReadersSelect =
    QStringLiteral("SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, CONVERT(varchar(10), "
                   "账户金额,0) AS 账户金额, 读者档案.读者类别, "
                   "状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, 身份证号码, 联系电话, 地址, "
                   "邮编, CONVERT(varchar(10),登记日期,23) AS 登记日期, 经手人");

const QString kLoansSelect = QStringLiteral(
    "SELECT 图书借阅编号, 图书借阅.图书编号, 图书名称, 图书库存.ISBN, 图书借阅.读者编号, 姓名, "
    "CONVERT(varchar(10),借书日期,23) AS 借书日期, "
    "CONVERT(varchar(10),理论还书日期,23) AS 理论还书日期, CONVERT(varchar(10),实际还书日期,23) AS 实际还书日期, "
    "是否已还 = CASE WHEN 是否已还 = 1 THEN '是' ELSE '否' END, 借书经手人, 还书经手人");
const QString kLoansFrom = QStringLiteral("FROM 读者档案, 图书档案, 图书借阅, 图书库存");
const QString kLoansWhere = QStringLiteral("WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = "
                                           "图书档案.ISBN AND 图书借阅.读者编号 = 读者档案.读者编号");

QString join(std::initializer_list<QString> parts) { return QStringList(parts).join(QLatin1Char(' ')); }

QStringList column(const Rows &rows, int c)
{
    QStringList out;
    for (const QStringList &r : rows) out << r.value(c);
    return out;
}

}  // namespace

class TestStatements : public QObject {
    Q_OBJECT

private slots:
    void positionalInsertsOfEveryTable();
    void titlesListKeepsTitlesWithoutCopies();
    void copiesListKeepsCopiesWithoutTitle();
    void readersListKeepsReadersWithoutCategory();
    void searchKinds();
    void loanAndDamageLists();
    void rankings();
    void loginLogFilter();
    void lendingAndReturning();
    void depositsAddUpExactly();
    void accountsAndTypes();
    void cleanUpDeletes();
    void cleanUpOfReturnedLoansInRange();
};

void TestStatements::positionalInsertsOfEveryTable()
{
    TempDb db;
    seedSmallLibrary(db);
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 图书档案 WHERE ISBN = '978-1'")),
             Rows({{"978-1", "C++入门", "张三", "人民出版社", "2020-03-05", "45.5", "0.1", "1"}}));
    // An empty text into a date column is stored as Null.
    QVERIFY(db.conn().engine());
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 出版时间, 价格 FROM 图书档案 WHERE ISBN = '978-2'"), db.conn());
    QVERIFY(rs.Fields(QStringLiteral("出版时间")).isNull());
    QCOMPARE(rs.Fields(QStringLiteral("价格")).toDouble(), 4235.98);
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 图书库存 WHERE 图书编号 = 'B001'")),
             Rows({{"B001", "978-1", "2024-01-02 10:11:12", "admin", "", "", "空闲"}}));
    QCOMPARE(
        db.rows(QStringLiteral("SELECT * FROM 图书借阅 WHERE 图书借阅编号 = '240410090000001'")),
        Rows({{"240410090000001", "B002", "R003", "2024-04-10", "2024-05-10", "2024-04-15", "1", "admin", "admin"}}));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 图书损坏 ORDER BY 图书损坏编号")),
             Rows({{"240320101010", "240301101010001", "封面破损", "5.5", ""},
                   {"240415101010", "240410090000001", "缺页", "12", "备注"}}));
    // 17 values fill the stored columns; 未还书总价值 follows, computed: R001
    // still has copy B003 of title 978-3 (100.00) out.
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 读者档案 WHERE 读者编号 = 'R001'")),
             Rows({{"R001", "学生", "王小明", "1", "0", "13800000000", "地址一", "100001", "ID1", "0", "0", "0", "0",
                    "0", "2024-03-15", "admin", "正常", "100"}}));
    QCOMPARE(db.header(QStringLiteral("SELECT * FROM 读者档案")).last(), QStringLiteral("未还书总价值"));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 读者类别 ORDER BY 借书数量限制 ASC")),
             Rows({{"学生", "30", "5"}, {"教师", "60", "10"}}));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 充值记录 WHERE 读者编号 = 'R003'")),
             Rows({{"240316101010", "R003", "50.5", "2024-03-16", "Zhang"}}));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 出版社 WHERE 出版社名称 = '无地址出版社'")),
             Rows({{"无地址出版社", "", ""}}));
    QCOMPARE(db.conn().Execute(
                 QStringLiteral("INSERT 图书馆信息 VALUES ('分馆','负责人','电话','地址','邮编',1,'0',0.5,Null)")),
             1L);
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 图书馆信息 WHERE 图书馆名称 = '分馆'")),
             Rows({{"分馆", "负责人", "电话", "地址", "邮编", "1", "0", "0.5", ""}}));
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书馆信息")), QStringLiteral("2"));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 账户 WHERE 用户名 = 'ZHANG'")),
             Rows({{"Zhang", "pw", "张三", "sub", "借阅员", "", "正常"}}));
    QCOMPARE(db.header(QStringLiteral("SELECT * FROM 账户类型")).size(), 14);
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 WHERE 用户名 = 'zhang'")),
             Rows({{"Zhang", "2024-04-30 12:00:00"}}));
    // A key used twice fails.
    QVERIFY_THROWS_EXCEPTION(ado::Error,
                             db.conn().Execute(QStringLiteral("INSERT 图书损坏 VALUES('240415101010','x','y',1,'')")));
    QVERIFY_THROWS_EXCEPTION(ado::Error, db.conn().Execute(QStringLiteral(
                                             "INSERT 账户 VALUES('ADMIN','x','x','x','系统管理员', Null, '正常')")));
}

void TestStatements::titlesListKeepsTitlesWithoutCopies()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString sql =
        join({kTitlesSelect, kTitlesFrom, kTitlesWhere, kTitlesGroup, QStringLiteral("ORDER BY 图书档案.ISBN ASC")});
    QCOMPARE(db.header(sql), QStringList({"图书名称", "作者", "ISBN", "出版社名称", "出版时间", "价格", "每日租金",
                                          "可否外借", "数量"}));
    QCOMPARE(db.rows(sql), Rows({{"C++入门", "张三", "978-1", "人民出版社", "2020-03-05", "45.50", "0.10", "是", "2"},
                                 {"数据库", "李四", "978-2", "科学出版社", "", "4235.98", "0.00", "是", "0"},
                                 {"古籍", "王五", "978-3", "人民出版社", "1999-12-31", "100.00", "1.25", "否", "1"}}));
    // Filters on the title table keep the outer join: a title without copies stays with 0.
    QCOMPARE(column(db.rows(join({kTitlesSelect, kTitlesFrom,
                                  kTitlesWhere + QStringLiteral(" AND 出版社名称 = '科学出版社'"), kTitlesGroup})),
                    8),
             QStringList({"0"}));
    QCOMPARE(column(db.rows(join({kTitlesSelect, kTitlesFrom, kTitlesWhere + QStringLiteral(" AND 作者 = '张三'"),
                                  kTitlesGroup})),
                    8),
             QStringList({"2"}));
    QCOMPARE(column(db.rows(join({kTitlesSelect, kTitlesFrom,
                                  kTitlesWhere + QStringLiteral(" AND 图书档案.ISBN LIKE '978-2%'"), kTitlesGroup})),
                    2),
             QStringList({"978-2"}));
    // The sort by a stored column of the title table.
    QCOMPARE(column(db.rows(join({kTitlesSelect, kTitlesFrom, kTitlesWhere, kTitlesGroup,
                                  QStringLiteral("ORDER BY 图书档案.价格 DESC,图书档案.ISBN ASC")})),
                    2),
             QStringList({"978-2", "978-3", "978-1"}));
}

void TestStatements::copiesListKeepsCopiesWithoutTitle()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString from = QStringLiteral("FROM 图书档案,图书库存");
    const QString where = QStringLiteral("WHERE 图书档案.ISBN =* 图书库存.ISBN");
    QCOMPARE(db.rows(join({kCopiesSelect, from, where, QStringLiteral("ORDER BY 图书编号 ASC")})),
             Rows({{"B001", "C++入门", "张三", "978-1", "2024-01-02 10:11:12", "admin", "", "", "空闲"},
                   {"B002", "C++入门", "张三", "978-1", "2024-01-03 08:00:00", "old", "", "", "空闲"},
                   {"B003", "古籍", "王五", "978-3", "2024-01-04 09:30:00", "admin", "", "", "空闲"},
                   {"B009", "", "", "978-9", "2024-01-05 14:00:00", "admin", "", "", "空闲"}}));
    QCOMPARE(column(db.rows(join({kCopiesSelect, from, where + QStringLiteral(" AND 经手人 = 'ADMIN'"),
                                  QStringLiteral("ORDER BY 图书编号 ASC")})),
                    0),
             QStringList({"B001", "B003", "B009"}));
    QCOMPARE(column(db.rows(join({kCopiesSelect, from, where + QStringLiteral(" AND 图书库存.ISBN = '978-9'"),
                                  QStringLiteral("ORDER BY 图书编号 ASC")})),
                    0),
             QStringList({"B009"}));
    QCOMPARE(column(db.rows(join({kCopiesSelect, from, where + QStringLiteral(" AND 图书编号 LIKE 'b00%'"),
                                  QStringLiteral("ORDER BY 图书库存.入库日期 DESC")})),
                    0),
             QStringList({"B009", "B003", "B002", "B001"}));
}

void TestStatements::readersListKeepsReadersWithoutCategory()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString from = QStringLiteral("FROM 读者档案,读者类别");
    const QString where = QStringLiteral("WHERE 读者档案.读者类别 *= 读者类别.读者类别");
    const Rows all = db.rows(join({kReadersSelect, from, where, QStringLiteral("ORDER BY 读者编号 ASC")}));
    QCOMPARE(column(all, 0), QStringList({"R001", "R002", "R003"}));
    // "性别 = CASE ..." names the column; it is not a comparison.
    QCOMPARE(column(all, 2), QStringList({"男", "女", "男"}));
    QCOMPARE(db.header(join({kReadersSelect, from, where})).at(2), QStringLiteral("性别"));
    QCOMPARE(column(all, 4), QStringList({"学生", "已撤销类别", "教师"}));
    QCOMPARE(column(all, 15), QStringList({"2024-03-15", "2024-03-16", "2024-01-01"}));
    QCOMPARE(column(db.rows(join({kReadersSelect, from, where + QStringLiteral(" AND 读者档案.状态 = '停用'")})), 0),
             QStringList({"R003"}));
    QCOMPARE(
        column(db.rows(join({kReadersSelect, from, where + QStringLiteral(" AND 读者档案.读者类别 = '已撤销类别'")})),
               0),
        QStringList({"R002"}));
    QCOMPARE(column(db.rows(join({kReadersSelect, from, where + QStringLiteral(" AND 读者编号 LIKE 'r00%'"),
                                  QStringLiteral("ORDER BY 读者档案.登记日期 DESC")})),
                    0),
             QStringList({"R002", "R001", "R003"}));
    // The lending look-up is an inner join: a reader whose category is gone is not found.
    const QString lookup = QStringLiteral("SELECT 姓名, 性别, 读者档案.读者类别, CONVERT(varchar(10),账户金额,0) AS "
                                          "账户余额, 状态, 借书时间期限, 当前借书数量, "
                                          "借书数量限制 - 当前借书数量, 借书数量限制 FROM 读者档案, 读者类别 WHERE "
                                          "读者编号 = '%1' AND 读者档案.读者类别 = 读者类别.读者类别");
    QCOMPARE(db.rows(lookup.arg(QStringLiteral("R001"))),
             Rows({{"王小明", "1", "学生", "0.00", "正常", "30", "0", "5", "5"}}));
    QVERIFY(db.rows(lookup.arg(QStringLiteral("R002"))).isEmpty());
}

void TestStatements::searchKinds()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString bookSelect = QStringLiteral(
        "SELECT 图书名称, 作者, ISBN, 出版社名称,CONVERT(varchar(10),出版时间,23) AS 出版时间, "
        "CONVERT(varchar(10),价格,0) AS 价格, "
        "CONVERT(varchar(10),每日租金,0) AS 每日租金, 可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END");
    QCOMPARE(db.rows(join({bookSelect, QStringLiteral("FROM 图书档案 WHERE ISBN LIKE '978-3%' ORDER BY ISBN ASC")})),
             Rows({{"古籍", "王五", "978-3", "人民出版社", "1999-12-31", "100.00", "1.25", "否"}}));
    QCOMPARE(column(db.rows(join({bookSelect,
                                  QStringLiteral("FROM 图书档案 WHERE 图书名称 LIKE 'c++%' ORDER BY 图书名称 ASC")})),
                    2),
             QStringList({"978-1"}));
    QCOMPARE(column(db.rows(join(
                        {kCopiesSelect, QStringLiteral("FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN "
                                                       "AND 图书编号 LIKE 'B009%' ORDER BY 图书编号 ASC")})),
                    0),
             QStringList({"B009"}));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 出版社 WHERE 出版社名称 LIKE '人民%' ORDER BY 出版社名称 ASC")),
             Rows({{"人民出版社", "北京", "100000"}}));
    const QString readerSelect = QStringLiteral("SELECT 读者编号, 姓名, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' "
                                                "END, CONVERT(varchar(10), 账户金额,0) AS 账户金额, 读者档案.读者类别, "
                                                "状态, 当前借书数量, 总借书数量, 总借书次数, 有损还书次数, 未还书总数, "
                                                "CONVERT(varchar(10),未还书总价值,0) AS 未还书总价值, 身份证号码, "
                                                "联系电话, 地址, 邮编, 登记日期, 经手人 FROM 读者档案,读者类别");
    const Rows byNumber =
        db.rows(readerSelect
                + QStringLiteral(
                    " WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 读者编号 LIKE 'R00%' ORDER BY 读者编号 ASC"));
    QCOMPARE(column(byNumber, 0), QStringList({"R001", "R002", "R003"}));
    // The value of the copies still out: R001 has B003 (100.00); R003 returned B002.
    QCOMPARE(column(byNumber, 11), QStringList({"100.00", "0.00", "0.00"}));
    QCOMPARE(column(byNumber, 16), QStringList({"2024-03-15", "2024-03-16", "2024-01-01"}));
    QCOMPARE(column(db.rows(readerSelect
                            + QStringLiteral(
                                " WHERE 读者档案.读者类别 *= 读者类别.读者类别 AND 姓名 LIKE '李%' ORDER BY 姓名 ASC")),
                    0),
             QStringList({"R002"}));
    // Returned and open loans alike.
    const Rows loans = db.rows(join({kLoansSelect, kLoansFrom, kLoansWhere,
                                     QStringLiteral("AND 图书借阅编号 LIKE '24%' ORDER BY 图书借阅编号 ASC")}));
    QCOMPARE(column(loans, 0), QStringList({"240301101010001", "240410090000001", "240501090000001"}));
    QCOMPARE(column(loans, 9), QStringList({"是", "是", "否"}));
    QCOMPARE(column(loans, 8), QStringList({"2024-03-20", "2024-04-15", ""}));
}

void TestStatements::loanAndDamageLists()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString open = join({kLoansSelect, kLoansFrom, kLoansWhere, QStringLiteral("AND 是否已还 = '0'"),
                               QStringLiteral("ORDER BY 图书借阅编号 ASC")});
    QCOMPARE(db.rows(open), Rows({{"240501090000001", "B003", "古籍", "978-3", "R001", "王小明", "2024-05-01",
                                   "2024-05-31", "", "否", "old", ""}}));
    QCOMPARE(db.rows(join({kLoansSelect, kLoansFrom, kLoansWhere,
                           QStringLiteral("AND 是否已还 = '0' AND 图书库存.ISBN LIKE '978-1%'")}))
                 .size(),
             0);
    const QString damage =
        QStringLiteral("SELECT 图书损坏编号, 图书借阅.读者编号, 读者档案.姓名, 图书借阅.图书编号, 图书档案.图书名称, "
                       "CONVERT(varchar(10),图书借阅.实际还书日期,23) AS 损坏日期, "
                       "损坏描述, CONVERT(varchar(10),赔偿金额,0) AS 赔偿金额, 备注 FROM 图书损坏, 图书借阅, 图书档案, "
                       "图书库存, 读者档案 WHERE 图书损坏.图书借阅编号 = 图书借阅.图书借阅编号 "
                       "AND 图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND "
                       "图书借阅.读者编号 = 读者档案.读者编号");
    QCOMPARE(db.rows(damage + QStringLiteral(" ORDER BY 图书损坏编号 DESC")),
             Rows({{"240415101010", "R003", "赵老师", "B002", "C++入门", "2024-04-15", "缺页", "12.00", "备注"},
                   {"240320101010", "R001", "王小明", "B001", "C++入门", "2024-03-20", "封面破损", "5.50", ""}}));
    QCOMPARE(column(db.rows(damage + QStringLiteral(" AND 图书借阅.读者编号 = 'R001' ORDER BY 图书损坏编号 DESC")), 0),
             QStringList({"240320101010"}));
    QCOMPARE(db.rows(QStringLiteral("SELECT 充值编号, 充值记录.读者编号, 姓名 AS 读者姓名, 读者类别, "
                                    "CONVERT(varchar(10),充值金额,0) AS 充值金额, "
                                    "充值记录.经手人 FROM 充值记录,读者档案 WHERE 充值记录.读者编号 = "
                                    "读者档案.读者编号 ORDER BY 充值编号 ASC")),
             Rows({{"240315101010", "R001", "王小明", "学生", "100.00", "admin"},
                   {"240316101010", "R003", "赵老师", "教师", "50.50", "Zhang"}}));
}

void TestStatements::rankings()
{
    TempDb db;
    seedSmallLibrary(db);
    db.exec({QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + 30 WHERE (读者编号 = 'R002')"),
             QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + 12.5 WHERE (读者编号 = 'R003')")});
    QCOMPARE(db.rows(QStringLiteral("SELECT TOP 5 出版社名称, COUNT(出版社名称) AS 图书种类 FROM 图书档案 GROUP BY "
                                    "出版社名称 ORDER BY 图书种类 DESC")),
             Rows({{"人民出版社", "2"}, {"科学出版社", "1"}}));
    QCOMPARE(db.rows(QStringLiteral("SELECT TOP 2 读者编号, 账户金额 FROM 读者档案 ORDER BY 账户金额 DESC")),
             Rows({{"R002", "30"}, {"R003", "12.5"}}));
    QCOMPARE(db.rows(QStringLiteral("SELECT DISTINCT ISBN FROM 图书档案")).size(), 3);
    QCOMPARE(db.rows(QStringLiteral("SELECT 图书编号 FROM 图书库存")).size(), 4);
    const QString titles = QStringLiteral("SELECT TOP 10 图书档案.ISBN, COUNT(图书档案.ISBN) AS 借阅次数 FROM "
                                          "图书借阅, 图书档案, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 "
                                          "AND 图书库存.ISBN = 图书档案.ISBN AND 借书日期 BETWEEN '%1' AND '%2' GROUP "
                                          "BY 图书档案.ISBN ORDER BY 借阅次数 DESC");
    QCOMPARE(db.rows(titles.arg(QStringLiteral("2000-01-01"), QStringLiteral("2024-12-31"))),
             Rows({{"978-1", "2"}, {"978-3", "1"}}));
    // A date as a user types it; the last day of the range counts whole for dates without time.
    QCOMPARE(db.rows(titles.arg(QStringLiteral("2024/3/1"), QStringLiteral("2024-5-1"))),
             Rows({{"978-1", "2"}, {"978-3", "1"}}));
    QCOMPARE(db.rows(titles.arg(QStringLiteral("2024-05-02"), QStringLiteral("2024-04-01"))), Rows());
    QCOMPARE(db.rows(QStringLiteral("SELECT TOP 1 读者编号, 总借书数量 FROM 读者档案 ORDER BY 总借书数量 DESC")).size(),
             1);
}

void TestStatements::loginLogFilter()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString sel = QStringLiteral("SELECT %1 用户名, CONVERT(varchar(20), 登录时间, 20) AS 登录时间 FROM 账户登录 "
                                       "WHERE%2 (登录时间 BETWEEN '%3' AND '%4') ORDER BY 登录时间 DESC");
    QCOMPARE(db.rows(sel.arg(QString(), QString(), QStringLiteral("2000-01-01 00:00:00"),
                             QStringLiteral("2024-12-31 23:59:59"))),
             Rows({{"admin", "2024-05-01 18:30:00"},
                   {"admin", "2024-05-01 09:00:00"},
                   {"Zhang", "2024-04-30 12:00:00"},
                   {"old", "2024-04-29 08:00:00"}}));
    // A "to" date without a time is midnight: later logins of that day drop out.
    QCOMPARE(db.rows(sel.arg(QString(), QString(), QStringLiteral("2000-01-01 00:00:00"), QStringLiteral("2024-05-01")))
                 .size(),
             2);
    QCOMPARE(db.rows(sel.arg(QStringLiteral("TOP 1"), QStringLiteral(" (用户名 = 'ADMIN') AND "),
                             QStringLiteral("2000-01-01"), QStringLiteral("2024-12-31"))),
             Rows({{"admin", "2024-05-01 18:30:00"}}));
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 账户登录 WHERE 用户名 = 'admin'")), 2L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 账户登录")), 2L);
}

void TestStatements::lendingAndReturning()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString copy =
        QStringLiteral("SELECT 图书名称, 作者, CONVERT(varchar(10),每日租金,0) AS 每日租金, 出版社名称, 图书档案.ISBN, "
                       "可否外借 = CASE WHEN 可否外借 = 1 THEN '是' ELSE '否' END, 状态 "
                       "FROM 图书档案, 图书库存 WHERE 图书编号 = 'B002' AND 图书档案.ISBN = 图书库存.ISBN");
    QCOMPARE(db.rows(copy), Rows({{"C++入门", "张三", "0.10", "人民出版社", "978-1", "是", "空闲"}}));
    db.exec({QStringLiteral("INSERT 图书借阅 VALUES('240601100000001','B002','R001','2024-06-01','2024-07-01', Null, "
                            "'0', 'admin', Null)"),
             QStringLiteral("UPDATE 图书库存 SET 状态 = '借出',最近读者编号 = 'R001',最近借阅日期 = '2024-06-01' WHERE "
                            "图书编号 = 'B002'"),
             QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 + 1,总借书数量 = 总借书数量 + "
                            "1,总借书次数 = 总借书次数 + 1,未还书总数 = 未还书总数 + 1 WHERE 读者编号 = 'R001'")});
    QCOMPARE(db.rows(copy).first().last(), QStringLiteral("借出"));
    QCOMPARE(db.rows(QStringLiteral("SELECT 最近读者编号, 最近借阅日期 FROM 图书库存 WHERE 图书编号 = 'B002'")),
             Rows({{"R001", "2024-06-01"}}));
    QCOMPARE(db.rows(QStringLiteral(
                 "SELECT 当前借书数量, 总借书数量, 总借书次数, 未还书总数 FROM 读者档案 WHERE 读者编号 = 'R001'")),
             Rows({{"1", "1", "1", "1"}}));
    QCOMPARE(db.conn().Execute(QStringLiteral("UPDATE 图书借阅 SET 实际还书日期 = '2024-06-10',是否已还 = "
                                              "'1',还书经手人 = 'admin' WHERE 图书借阅编号 = '240601100000001'")),
             1L);
    db.exec({QStringLiteral("UPDATE 图书库存 SET 状态 = '空闲' WHERE 图书编号 = 'B002'"),
             QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 - 1,未还书总数 = 未还书总数 - 1 WHERE "
                            "读者编号 = 'R001'")});
    QCOMPARE(
        db.rows(QStringLiteral("SELECT 当前借书数量, 总借书数量, 未还书总数 FROM 读者档案 WHERE 读者编号 = 'R001'")),
        Rows({{"0", "1", "0"}}));
    QCOMPARE(db.scalar(QStringLiteral(
                 "SELECT CONVERT(varchar(10),实际还书日期,23) FROM 图书借阅 WHERE 图书借阅编号 = '240601100000001'")),
             QStringLiteral("2024-06-10"));
}

void TestStatements::depositsAddUpExactly()
{
    TempDb db;
    seedSmallLibrary(db);
    db.exec({QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + 0.1 WHERE (读者编号 = 'R001')"),
             QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + 0.2 WHERE (读者编号 = 'R001')")});
    QCOMPARE(db.scalar(QStringLiteral(
                 "SELECT CONVERT(varchar(10),账户金额,0) AS 账户余额 FROM 读者档案 WHERE 读者编号 = 'R001'")),
             QStringLiteral("0.30"));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = 'R001'"), db.conn());
    QCOMPARE(rs.Fields(0).toDouble(), 0.3);
    QCOMPARE(db.scalar(QStringLiteral("SELECT 读者编号 FROM 读者档案 WHERE 账户金额 = 0.3")), QStringLiteral("R001"));
    // A thousand deposits of 0.01 make exactly 10.00.
    for (int i = 0; i < 1000; ++i)
        db.conn().Execute(QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + 0.01 WHERE (读者编号 = 'R002')"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT 账户金额 FROM 读者档案 WHERE 读者编号 = 'R002'")), QStringLiteral("10"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT CONVERT(varchar(10),账户金额,0) FROM 读者档案 WHERE 读者编号 = 'R002'")),
             QStringLiteral("10.00"));
    // A value too wide for the text fails as on the server.
    db.conn().Execute(QStringLiteral("UPDATE 图书档案 SET 价格 = 123456789.5 WHERE ISBN = '978-1'"));
    QVERIFY_THROWS_EXCEPTION(
        ado::Error, db.rows(QStringLiteral("SELECT CONVERT(varchar(10),价格,0) FROM 图书档案 WHERE ISBN = '978-1'")));
}

void TestStatements::accountsAndTypes()
{
    TempDb db;
    seedSmallLibrary(db);
    QCOMPARE(db.scalar(QStringLiteral(
                 "SELECT COUNT(修改账户权限) AS 数量 FROM 账户类型 WHERE 修改账户权限 = 1 GROUP BY 修改账户权限")),
             QStringLiteral("1"));
    const QStringList names = db.header(QStringLiteral("SELECT * FROM 账户类型")).mid(1);
    QStringList assigns;
    for (const QString &n : names) assigns << n + QStringLiteral("=1");
    QCOMPARE(db.conn().Execute(QStringLiteral("UPDATE 账户类型 SET ") + assigns.join(QLatin1Char(','))
                               + QStringLiteral(" WHERE 账户类型 = '借阅员'")),
             1L);
    QCOMPARE(db.scalar(QStringLiteral(
                 "SELECT COUNT(修改账户权限) AS 数量 FROM 账户类型 WHERE 修改账户权限 = 1 GROUP BY 修改账户权限")),
             QStringLiteral("2"));
    // The permission check: the flags start at the ninth field of the join.
    const QStringList header = db.header(
        QStringLiteral("SELECT * FROM 账户,账户类型 WHERE 用户名 = 'zhang' AND 账户.账户类型 = 账户类型.账户类型"));
    QCOMPARE(header.size(), 7 + 14);
    QCOMPARE(header.at(8), names.first());
    QCOMPARE(db.conn().Execute(QStringLiteral("UPDATE 账户 SET 真实姓名 = '张三丰',账户类型 = '系统管理员',状态 = "
                                              "'正常',密码 = 'new' WHERE 用户名 = 'ZHANG'")),
             1L);
    QCOMPARE(db.rows(QStringLiteral("SELECT 用户名, 真实姓名, 账户类型, CONVERT(varchar(20),最后登录时间,20) AS "
                                    "最后登录时间, 状态 FROM 账户 WHERE 用户名 = 'Zhang'")),
             Rows({{"Zhang", "张三丰", "系统管理员", "", "正常"}}));
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 账户类型 WHERE 账户类型 = '借阅员'")), 1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE 出版社 WHERE 出版社名称 ='无地址出版社'")), 1L);
    QCOMPARE(db.conn().Execute(
                 QStringLiteral("UPDATE 读者类别 SET  借书时间期限 ='45',借书数量限制 ='' WHERE 读者类别 ='学生'")),
             1L);
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM 读者类别 WHERE 读者类别 = '学生'")), Rows({{"学生", "45", "0"}}));
}

void TestStatements::cleanUpDeletes()
{
    TempDb db;
    seedSmallLibrary(db);
    auto count = [&](const QString &table) {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
    };
    // B1-B6: the disabled account "old" lent 240501090000001 and entered B002.
    const QString inactiveLoans =
        QStringLiteral("(SELECT 图书借阅编号 FROM 图书借阅 WHERE 借书经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = "
                       "'停用') UNION SELECT 图书借阅编号 FROM 图书借阅 "
                       "WHERE 还书经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用'))");
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书损坏 WHERE 图书借阅编号 IN ") + inactiveLoans), 0L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书借阅 WHERE 图书借阅编号 IN ") + inactiveLoans), 1L);
    QCOMPARE(db.conn().Execute(
                 QStringLiteral("DELETE FROM 图书库存 WHERE 经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用')")),
             1L);
    QCOMPARE(db.conn().Execute(
                 QStringLiteral("DELETE FROM 充值记录 WHERE 经手人 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用')")),
             0L);
    QCOMPARE(db.conn().Execute(
                 QStringLiteral("DELETE FROM 账户登录 WHERE 用户名 IN (SELECT 用户名 FROM 账户 WHERE 状态 = '停用')")),
             1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 账户 WHERE 状态 = '停用'")), 1L);
    QCOMPARE(count(QStringLiteral("图书借阅")), 2);
    // F1: titles without copies (978-2, and now none else).
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书档案 WHERE ISBN IN (SELECT 图书档案.ISBN FROM 图书档案, "
                                              "图书库存 WHERE 图书档案.ISBN *= 图书库存.ISBN "
                                              "GROUP BY 图书档案.ISBN HAVING COUNT(图书库存.ISBN) = 0)")),
             1L);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT ISBN FROM 图书档案 ORDER BY ISBN")), 0),
             QStringList({"978-1", "978-3"}));
    // H1-H4: the disabled reader R003 with its loans, damage records and deposits.
    QCOMPARE(db.conn().Execute(QStringLiteral(
                 "DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM 图书借阅 WHERE 读者编号 IN "
                 "(SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用'))")),
             1L);
    QCOMPARE(db.conn().Execute(QStringLiteral(
                 "DELETE FROM 图书借阅 WHERE 读者编号 IN (SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用')")),
             1L);
    QCOMPARE(db.conn().Execute(QStringLiteral(
                 "DELETE FROM 充值记录 WHERE 读者编号 IN (SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用')")),
             1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 读者档案 WHERE 状态 = '停用'")), 1L);
    // A1, D1/D2 (twice is harmless), E1, G1.
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 账户登录")), 3L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书损坏")), 1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书损坏")), 0L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书借阅")), 1L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 充值记录")), 1L);
    QCOMPARE(count(QStringLiteral("读者档案")), 2);
}

void TestStatements::cleanUpOfReturnedLoansInRange()
{
    TempDb db;
    seedSmallLibrary(db);
    const QString cond = QStringLiteral("是否已还 = 1 AND (实际还书日期 BETWEEN '2000-01-01' AND '2024-04-15')");
    QCOMPARE(db.conn().Execute(
                 QStringLiteral("DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM 图书借阅 WHERE ")
                 + cond + QLatin1Char(')')),
             2L);
    QCOMPARE(db.conn().Execute(QStringLiteral("DELETE FROM 图书借阅 WHERE ") + cond), 2L);
    QCOMPARE(column(db.rows(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅")), 0), QStringList({"240501090000001"}));
}

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
