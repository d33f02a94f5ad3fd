#include "Generator.h"

#include "db/Engine.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace bench {

namespace {

QString money(QRandomGenerator &rng, int minCents, int maxCents)
{
    const int c = int(rng.bounded(minCents, maxCents + 1));
    return QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
}

QString day(QRandomGenerator &rng, const QDate &from, int spanDays)
{
    return from.addDays(rng.bounded(spanDays)).toString(QStringLiteral("yyyy-MM-dd"));
}

}  // namespace

QString schemaDir()
{
    const QDir app(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {QStringLiteral("Schema"), QStringLiteral("../bin/Schema")})
        if (QFileInfo::exists(app.filePath(candidate + QStringLiteral("/sqlite.sql")))) return app.filePath(candidate);
    return app.filePath(QStringLiteral("Schema"));
}

Counts generate(ado::Connection &conn, const Sizes &s, quint32 seed)
{
    QRandomGenerator rng(seed);
    Counts n;
    const QDate base(2015, 1, 1);
    static const char *surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    static const char *given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳"};
    static const char *words[] = {"数据", "结构", "算法", "历史", "文学", "经济",
                                  "管理", "艺术", "物理", "化学", "程序", "设计"};

    ado::Transaction trans(conn);
    std::vector<QVariantList> rows;
    for (int i = 1; i <= s.publishers; ++i)
        rows.push_back({QStringLiteral("出版社%1").arg(i, 3, 10, QLatin1Char('0')),
                        QStringLiteral("北京市第%1街").arg(i),
                        QStringLiteral("1000%1").arg(i % 100, 2, 10, QLatin1Char('0'))});
    n.publishers = conn.ExecuteBatch(QStringLiteral("INSERT 出版社 VALUES (?, ?, ?)"), rows);

    rows = {{QStringLiteral("学生"), QStringLiteral("30"), QStringLiteral("5")},
            {QStringLiteral("教师"), QStringLiteral("60"), QStringLiteral("10")},
            {QStringLiteral("社会读者"), QStringLiteral("15"), QStringLiteral("3")}};
    n.categories = conn.ExecuteBatch(QStringLiteral("INSERT 读者类别 VALUES (?, ?, ?)"), rows);

    rows.clear();
    rows.reserve(size_t(s.titles));
    for (int i = 1; i <= s.titles; ++i) {
        const QString name = QString::fromUtf8(words[rng.bounded(12)]) + QString::fromUtf8(words[rng.bounded(12)])
                             + QStringLiteral("%1").arg(i);
        rows.push_back({QStringLiteral("978-7-%1").arg(i, 6, 10, QLatin1Char('0')), name,
                        QString::fromUtf8(surnames[rng.bounded(10)]) + QString::fromUtf8(given[rng.bounded(12)]),
                        QStringLiteral("出版社%1").arg(int(rng.bounded(s.publishers)) + 1, 3, 10, QLatin1Char('0')),
                        day(rng, QDate(1990, 1, 1), 12000), money(rng, 500, 20000), money(rng, 0, 100),
                        QStringLiteral("%1").arg(rng.bounded(10) == 0 ? 0 : 1)});
    }
    n.titles = conn.ExecuteBatch(QStringLiteral("INSERT 图书档案 VALUES (?, ?, ?, ?, ?, ?, ?, ?)"), rows);

    rows.clear();
    rows.reserve(size_t(s.titles) * size_t(s.copiesPerTitle));
    int copy = 0;
    for (int i = 1; i <= s.titles; ++i)
        for (int c = 0; c < s.copiesPerTitle; ++c) {
            ++copy;
            rows.push_back({QStringLiteral("B%1").arg(copy, 7, 10, QLatin1Char('0')),
                            QStringLiteral("978-7-%1").arg(i, 6, 10, QLatin1Char('0')),
                            day(rng, base, 3000)
                                + QStringLiteral(" %1:%2:%3")
                                      .arg(rng.bounded(8, 18), 2, 10, QLatin1Char('0'))
                                      .arg(rng.bounded(60), 2, 10, QLatin1Char('0'))
                                      .arg(rng.bounded(60), 2, 10, QLatin1Char('0')),
                            QStringLiteral("admin")});
        }
    n.copies = conn.ExecuteBatch(
        QStringLiteral("INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES (?, ?, ?, ?)"), rows);

    rows.clear();
    static const char *cats[] = {"学生", "教师", "社会读者"};
    for (int i = 1; i <= s.readers; ++i) {
        const QString name = QString::fromUtf8(surnames[rng.bounded(10)]) + QString::fromUtf8(given[rng.bounded(12)])
                             + QString::fromUtf8(given[rng.bounded(12)]);
        rows.push_back(
            {QStringLiteral("R%1").arg(i, 6, 10, QLatin1Char('0')), QString::fromUtf8(cats[rng.bounded(3)]), name,
             int(rng.bounded(2)), money(rng, 0, 50000), QStringLiteral("138%1").arg(rng.bounded(10000000, 99999999)),
             QStringLiteral("某市某区%1号").arg(i), QStringLiteral("100080"),
             QStringLiteral("11010519900101%1").arg(i % 10000, 4, 10, QLatin1Char('0')), 0, 0, 0, 0, 0,
             QDate(2015, 1, 1).addDays(rng.bounded(3000)).toString(QStringLiteral("yyMMdd")), QStringLiteral("admin"),
             rng.bounded(20) == 0 ? QStringLiteral("停用") : QStringLiteral("正常")});
    }
    n.readers = conn.ExecuteBatch(
        QStringLiteral("INSERT 读者档案 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"), rows);

    rows.clear();
    const int copies = s.titles * s.copiesPerTitle;
    for (int i = 1; i <= s.loans && copies > 0 && s.readers > 0; ++i) {
        const QDate lent = base.addDays(rng.bounded(3000));
        const bool returned = rng.bounded(3) != 0;
        rows.push_back(
            {lent.toString(QStringLiteral("yyMMdd")) + QStringLiteral("%1").arg(i, 9, 10, QLatin1Char('0')),
             QStringLiteral("B%1").arg(int(rng.bounded(copies)) + 1, 7, 10, QLatin1Char('0')),
             QStringLiteral("R%1").arg(int(rng.bounded(s.readers)) + 1, 6, 10, QLatin1Char('0')),
             lent.toString(QStringLiteral("yyyy-MM-dd")), lent.addDays(30).toString(QStringLiteral("yyyy-MM-dd")),
             returned ? QVariant(lent.addDays(rng.bounded(40)).toString(QStringLiteral("yyyy-MM-dd"))) : QVariant(),
             returned ? QStringLiteral("1") : QStringLiteral("0"), QStringLiteral("admin"),
             returned ? QVariant(QStringLiteral("admin")) : QVariant()});
    }
    n.loans = conn.ExecuteBatch(QStringLiteral("INSERT 图书借阅 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"), rows);
    trans.Commit();
    return n;
}

QString createDatabase(const QString &path, const Sizes &sizes, quint32 seed)
{
    const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p|") + path);
    ado::CreateDatabase(info, schemaDir());
    ado::Connection conn;
    conn.Open(info.toString());
    generate(conn, sizes, seed);
    return info.toString();
}

}  // namespace bench
