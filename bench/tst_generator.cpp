// The benchmarks' library generator makes what a library that has run the
// program for years holds, on either engine: the data's invariants hold, the
// counters agree with the loans row by row, copies are never lent twice at
// once, numbers are in the program's own forms, and one seed gives one library.
#include "common/Generator.h"
#include "support/TempDb.h"
#include "tools/Invariants.h"

#include <QtTest>
#include <map>

namespace {

bench::Options small(quint32 seed = 7)
{
    bench::Options o;
    o.readers = 300;
    o.titles = 400;
    o.copies = 1200;
    o.loans = 6000;
    o.openLoans = 250;
    o.logins = 500;
    o.deposits = 100;
    o.damages = 40;
    o.publishers = 30;
    o.staff = 8;
    o.seed = seed;
    return o;
}

void fill(testsupport::TempDb &db, const bench::Options &o)
{
    const bench::Library library(o);
    bench::fill(ado::ConnectionInfo::fromSettings(db.settings()), library);
}

}  // namespace

class TestGenerator : public QObject {
    Q_OBJECT

private slots:
    void theDataHoldsWhatALibraryHolds()
    {
        testsupport::TempDb db;
        const bench::Options o = small();
        fill(db, o);
        QCOMPARE(CheckInvariants(db.conn()), QStringList());

        const std::map<QString, int> rows = {
            {QStringLiteral("读者档案"), o.readers}, {QStringLiteral("图书档案"), o.titles},
            {QStringLiteral("图书库存"), o.copies},  {QStringLiteral("图书借阅"), o.loans},
            {QStringLiteral("账户登录"), o.logins},  {QStringLiteral("充值记录"), o.deposits},
            {QStringLiteral("图书损坏"), o.damages}, {QStringLiteral("出版社"), o.publishers},
            {QStringLiteral("账户"), o.staff + 1}};
        for (const auto &[table, n] : rows)
            QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table), QString::number(n));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 是否已还 = 0")),
                 QString::number(o.openLoans));
        // The administrator still logs in with the initial password.
        QCOMPARE(db.scalar(QStringLiteral("SELECT 密码 FROM 账户 WHERE 用户名 = 'admin'")), QStringLiteral("admin"));
    }

    void countersAndCopiesAgreeWithTheLoans()
    {
        testsupport::TempDb db;
        fill(db, small());

        // Every open loan's copy names the loan's reader and day.
        QCOMPARE(
            db.scalar(QStringLiteral(
                "SELECT COUNT(*) FROM 图书借阅, 图书库存 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 是否已还 = 0 "
                "AND (最近读者编号 <> 图书借阅.读者编号 OR 最近借阅日期 <> 借书日期 OR 状态 <> '借出')")),
            QStringLiteral("0"));

        // Per reader: loans, lendings (the loans of one lending share the
        // lending's clock, the first twelve digits of their numbers), open
        // loans within the category's limit and none for a suspended reader,
        // damaged returns.
        struct Seen {
            int loans = 0, open = 0, damaged = 0;
            QSet<QString> lendings;
        };
        std::map<QString, Seen> seen;
        for (const QStringList &l : db.rows(QStringLiteral(
                 "SELECT 读者编号, 图书借阅编号, 是否已还, CONVERT(varchar(10),借书日期,112) FROM 图书借阅"))) {
            Seen &s = seen[l[0]];
            ++s.loans;
            s.open += l[2] == QStringLiteral("0");
            s.lendings.insert(l[1].left(12));
            QCOMPARE(l[1].size(), 15);
            QCOMPARE(l[1].left(6), l[3].mid(2, 6));  // yymmdd of the day it was lent
        }
        for (const QStringList &d : db.rows(QStringLiteral("SELECT 图书借阅.读者编号, 是否已还, 图书损坏编号 FROM "
                                                           "图书损坏, 图书借阅 WHERE 图书损坏.图书借阅编号 = "
                                                           "图书借阅.图书借阅编号"))) {
            ++seen[d[0]].damaged;
            QCOMPARE(d[1], QStringLiteral("1"));
            QCOMPARE(d[2].size(), 12);
        }
        int readers = 0;
        for (const QStringList &r :
             db.rows(QStringLiteral("SELECT 读者编号, 当前借书数量, 未还书总数, 总借书数量, 总借书次数, 有损还书次数, "
                                    "借书数量限制, 读者档案.状态 "
                                    "FROM 读者档案, 读者类别 WHERE 读者档案.读者类别 = 读者类别.读者类别"))) {
            const Seen &s = seen[r[0]];
            QCOMPARE(r[1].toInt(), s.open);
            QCOMPARE(r[2].toInt(), s.open);
            QCOMPARE(r[3].toInt(), s.loans);
            QCOMPARE(r[4].toInt(), int(s.lendings.size()));
            QCOMPARE(r[5].toInt(), s.damaged);
            QVERIFY2(s.open <= r[6].toInt(), qPrintable(r[0]));
            QVERIFY2(s.open == 0 || r[7] == QStringLiteral("正常"), qPrintable(r[0]));
            ++readers;
        }
        QCOMPARE(readers, small().readers);

        // A copy is lent again only after its earlier loan came back.
        QString copy, returned;
        for (const QStringList &l : db.rows(QStringLiteral(
                 "SELECT 图书编号, CONVERT(varchar(10),借书日期,23), CONVERT(varchar(10),实际还书日期,23), 是否已还 "
                 "FROM 图书借阅 ORDER BY 图书编号, 图书借阅编号"))) {
            if (l[0] == copy)
                QVERIFY2(!returned.isEmpty() && returned < l[1], qPrintable(l[0] + QLatin1Char(' ') + l[1]));
            copy = l[0];
            returned = l[3] == QStringLiteral("1") ? l[2] : QString();
        }

        // Each account's last login is the last one in the log.
        QCOMPARE(db.scalar(QStringLiteral(
                     "SELECT COUNT(*) FROM 账户 WHERE 最后登录时间 <> (SELECT MAX(登录时间) FROM 账户登录 WHERE "
                     "账户登录.用户名 = 账户.用户名)")),
                 QStringLiteral("0"));
    }

    void oneSeedGivesOneLibrary()
    {
        testsupport::TempDb a, b, c;
        fill(a, small(11));
        fill(b, small(11));
        fill(c, small(12));
        const QString dumpA = a.dump();
        QCOMPARE(b.dump(), dumpA);
        QVERIFY(c.dump() != dumpA);
    }
};

QTEST_MAIN(TestGenerator)
#include "tst_generator.moc"
