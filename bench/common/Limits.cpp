#include "Limits.h"

namespace bench {

namespace {

// The open loans' tables, joined on their keys. The loans lead: on the
// embedded engine a CROSS JOIN keeps them first (its planner would rather
// walk the titles and sort every open loan for a screen of them, 450 ms).
QString loanJoins(const Sql &s)
{
    return QStringLiteral("FROM 图书借阅 l %4 图书库存 c ON %1 %4 图书档案 t ON %2 %4 读者档案 r ON %3")
        .arg(s.eq(QStringLiteral("c.图书编号"), QStringLiteral("l.图书编号")),
             s.eq(QStringLiteral("t.\"ISBN\""), QStringLiteral("c.\"ISBN\"")),
             s.eq(QStringLiteral("r.读者编号"), QStringLiteral("l.读者编号")),
             s.server() ? QStringLiteral("JOIN") : QStringLiteral("CROSS JOIN"));
}

QString damageJoins(const Sql &s)
{
    return QStringLiteral("FROM 图书损坏 d JOIN 图书借阅 l ON %1 ")
               .arg(s.eq(QStringLiteral("l.图书借阅编号"), QStringLiteral("d.图书借阅编号")))
           + loanJoins(s).mid(QStringLiteral("FROM 图书借阅 l ").size());
}

QString where(const QStringList &conditions)
{
    QStringList c;
    for (const QString &x : conditions)
        if (!x.isEmpty()) c << x;
    return c.isEmpty() ? QString() : QStringLiteral(" WHERE ") + c.join(QStringLiteral(" AND "));
}

// The prefix's range condition, or nothing for no prefix.
QString range(const Sql &s, const QString &column, const QString &prefix)
{
    return prefix.isEmpty() ? QString() : s.startsWith(column, prefix);
}

}  // namespace

QString Sql::k(const QString &column) const
{
    return m_server ? QStringLiteral("(%1::text COLLATE \"C\")").arg(column) : column;
}

QString Sql::eq(const QString &a, const QString &b) const { return k(a) + QStringLiteral(" = ") + k(b); }

QString Sql::startsWith(const QString &column, const QString &prefix) const
{
    // The first text after every text that begins with the prefix: its last
    // character one higher (UTF-8 order is the characters' order).
    QString next = prefix;
    next[next.size() - 1] = QChar(next.back().unicode() + 1);
    return QStringLiteral("%1 >= %2 AND %1 < %3").arg(k(column), quote(prefix), quote(next));
}

QString Sql::quote(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString Sql::begin() const { return m_server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"); }

QString Sql::forUpdate() const { return m_server ? QStringLiteral(" FOR UPDATE") : QString(); }

QStringList Sql::limitIndexes() const
{
    if (!m_server)
        // The schema's keys are NOCASE already, and so are their primary-key indexes.
        return {QStringLiteral("CREATE INDEX lim_title_name ON 图书档案 (图书名称, 作者, \"ISBN\")"),
                QStringLiteral("CREATE INDEX lim_title_press ON 图书档案 (出版社名称)"),
                QStringLiteral("CREATE INDEX lim_reader_name ON 读者档案 (姓名)"),
                QStringLiteral("CREATE INDEX lim_reader_balance ON 读者档案 (账户金额)"),
                QStringLiteral("CREATE INDEX lim_reader_total ON 读者档案 (总借书数量)"),
                QStringLiteral("CREATE INDEX lim_loan_copy_day ON 图书借阅 (图书编号, 借书日期)"),
                QStringLiteral("CREATE INDEX lim_loan_open ON 图书借阅 (是否已还, 图书借阅编号)"),
                QStringLiteral("CREATE INDEX lim_deposit_no ON 充值记录 (充值编号)"),
                QStringLiteral("CREATE INDEX lim_login_time ON 账户登录 (登录时间)"),
                QStringLiteral("ANALYZE")};
    auto idx = [this](const QString &table, const QStringList &keys, const QString &cond = QString()) {
        QStringList parts;
        for (const QString &key : keys) parts << (key.startsWith(QLatin1Char('=')) ? key.mid(1) : k(key));
        return QStringLiteral("CREATE INDEX ON %1 (%2)%3")
            .arg(table, parts.join(QStringLiteral(", ")),
                 cond.isEmpty() ? QString() : QStringLiteral(" WHERE ") + cond);
    };
    return {idx(QStringLiteral("图书库存"), {QStringLiteral("图书编号")}),
            idx(QStringLiteral("图书库存"), {QStringLiteral("\"ISBN\"")}),
            idx(QStringLiteral("图书档案"), {QStringLiteral("\"ISBN\"")}),
            idx(QStringLiteral("图书档案"),
                {QStringLiteral("图书名称"), QStringLiteral("作者"), QStringLiteral("\"ISBN\"")}),
            idx(QStringLiteral("图书档案"), {QStringLiteral("=出版社名称")}),
            idx(QStringLiteral("读者档案"), {QStringLiteral("读者编号")}),
            idx(QStringLiteral("读者档案"), {QStringLiteral("姓名")}),
            idx(QStringLiteral("读者档案"), {QStringLiteral("=账户金额")}),
            idx(QStringLiteral("读者档案"), {QStringLiteral("=总借书数量")}),
            idx(QStringLiteral("图书借阅"), {QStringLiteral("图书借阅编号")}),
            idx(QStringLiteral("图书借阅"), {QStringLiteral("=是否已还"), QStringLiteral("图书借阅编号")}),
            idx(QStringLiteral("图书借阅"), {QStringLiteral("读者编号")}, QStringLiteral("是否已还 = 0")),
            idx(QStringLiteral("图书借阅"), {QStringLiteral("图书编号")}),
            idx(QStringLiteral("图书借阅"), {QStringLiteral("=图书编号"), QStringLiteral("=借书日期")}),
            idx(QStringLiteral("图书损坏"), {QStringLiteral("图书损坏编号")}),
            idx(QStringLiteral("出版社"), {QStringLiteral("出版社名称")}),
            idx(QStringLiteral("充值记录"), {QStringLiteral("充值编号")}),
            idx(QStringLiteral("账户登录"), {QStringLiteral("=登录时间")}),
            QStringLiteral("VACUUM ANALYZE")};
}

Limit titlesList(const Sql &s, const QString &isbnPrefix)
{
    // The list groups each title with its copies and names no order, so the
    // limit takes the cheapest: the ISBN's, which a prefix of it ranges too.
    const QString w = where({range(s, QStringLiteral("t.\"ISBN\""), isbnPrefix)});
    return {QStringLiteral("SELECT COUNT(*) FROM 图书档案 t") + w,
            QStringLiteral("SELECT t.\"ISBN\", t.图书名称, t.作者, t.出版社名称, t.出版时间, t.价格, t.每日租金, "
                           "t.可否外借, (SELECT COUNT(*) FROM 图书库存 c WHERE %1) FROM 图书档案 t")
                    .arg(s.eq(QStringLiteral("c.\"ISBN\""), QStringLiteral("t.\"ISBN\"")))
                + w + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("t.\"ISBN\""))};
}

Limit copiesList(const Sql &s, const QString &copyPrefix)
{
    const QString w = where({range(s, QStringLiteral("c.图书编号"), copyPrefix)});
    return {QStringLiteral("SELECT COUNT(*) FROM 图书库存 c") + w,
            QStringLiteral("SELECT c.图书编号, t.图书名称, t.作者, c.\"ISBN\", c.入库日期, c.经手人, c.最近读者编号, "
                           "c.最近借阅日期, c.状态 FROM 图书库存 c LEFT JOIN 图书档案 t ON %1")
                    .arg(s.eq(QStringLiteral("t.\"ISBN\""), QStringLiteral("c.\"ISBN\"")))
                + w + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("c.图书编号"))};
}

Limit damageList(const Sql &s, const QString &numberPrefix)
{
    const QString w = where({range(s, QStringLiteral("d.图书损坏编号"), numberPrefix)});
    return {
        QStringLiteral("SELECT COUNT(*) ") + damageJoins(s) + w,
        QStringLiteral("SELECT d.图书损坏编号, l.读者编号, r.姓名, l.图书编号, t.图书名称, l.实际还书日期, d.损坏描述, "
                       "d.赔偿金额, d.备注 ")
            + damageJoins(s) + w + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("d.图书损坏编号"))
            + QStringLiteral(" DESC")};
}

Limit publishersList(const Sql &s, const QString &namePrefix)
{
    const QString w = where({range(s, QStringLiteral("出版社名称"), namePrefix)});
    return {QStringLiteral("SELECT COUNT(*) FROM 出版社") + w,
            QStringLiteral("SELECT 出版社名称, 地址, 邮编 FROM 出版社") + w + QStringLiteral(" ORDER BY ")
                + s.k(QStringLiteral("出版社名称"))};
}

namespace {

Limit readers(const Sql &s, const QString &condition, const QString &order, bool withValue)
{
    // What a reader's open loans are worth, for the rows shown only.
    const QString value =
        withValue ? QStringLiteral(", (SELECT COALESCE(SUM(t.价格), 0) FROM 图书借阅 l JOIN 图书库存 c ON %1 JOIN "
                                   "图书档案 t ON %2 WHERE %3 AND l.是否已还 = 0)")
                        .arg(s.eq(QStringLiteral("c.图书编号"), QStringLiteral("l.图书编号")),
                             s.eq(QStringLiteral("t.\"ISBN\""), QStringLiteral("c.\"ISBN\"")),
                             s.eq(QStringLiteral("l.读者编号"), QStringLiteral("r.读者编号")))
                  : QString();
    const QString w = where({condition});
    return {
        QStringLiteral("SELECT COUNT(*) FROM 读者档案 r") + w,
        QStringLiteral("SELECT r.读者编号, r.姓名, r.性别, r.账户金额, r.读者类别, r.状态, r.当前借书数量, "
                       "r.总借书数量, r.总借书次数, r.有损还书次数, r.未还书总数")
            + value
            + QStringLiteral(", r.身份证号码, r.联系电话, r.地址, r.邮编, r.登记日期, r.经手人 FROM 读者档案 r LEFT "
                             "JOIN 读者类别 y ON y.读者类别 = r.读者类别")
            + w + QStringLiteral(" ORDER BY ") + order};
}

}  // namespace

Limit readersList(const Sql &s, const QString &readerPrefix)
{
    return readers(s, range(s, QStringLiteral("r.读者编号"), readerPrefix), s.k(QStringLiteral("r.读者编号")), false);
}

Limit readerSearch(const Sql &s, const QString &prefix)
{
    return readers(s, range(s, QStringLiteral("r.读者编号"), prefix), s.k(QStringLiteral("r.读者编号")), true);
}

Limit readerNameSearch(const Sql &s, const QString &namePrefix)
{
    return readers(s, range(s, QStringLiteral("r.姓名"), namePrefix), s.k(QStringLiteral("r.姓名")), true);
}

Limit categoriesList(const Sql &)
{
    return {QStringLiteral("SELECT COUNT(*) FROM 读者类别"),
            QStringLiteral("SELECT 读者类别, 借书时间期限, 借书数量限制 FROM 读者类别 ORDER BY 借书数量限制")};
}

Limit depositsList(const Sql &s)
{
    const QString joins = QStringLiteral("FROM 充值记录 d JOIN 读者档案 r ON ")
                          + s.eq(QStringLiteral("r.读者编号"), QStringLiteral("d.读者编号"));
    return {QStringLiteral("SELECT COUNT(*) ") + joins,
            QStringLiteral("SELECT d.充值编号, d.读者编号, r.姓名, r.读者类别, d.充值金额, d.经手人 ") + joins
                + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("d.充值编号"))};
}

Limit returningList(const Sql &s, const QString &readerPrefix)
{
    // Counted from the open loans alone: every open loan has its copy, title
    // and reader (CheckInvariants holds each generated library to it), so the
    // join adds no row and drops none.
    const QString w = where({QStringLiteral("l.是否已还 = 0"), range(s, QStringLiteral("l.读者编号"), readerPrefix)});
    return {QStringLiteral("SELECT COUNT(*) FROM 图书借阅 l") + w,
            QStringLiteral("SELECT l.图书借阅编号, l.图书编号, t.图书名称, c.\"ISBN\", l.读者编号, r.姓名, l.借书日期, "
                           "l.理论还书日期, l.实际还书日期, l.是否已还, l.借书经手人, l.还书经手人 ")
                + loanJoins(s) + w + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("l.图书借阅编号"))};
}

Limit accountsList(const Sql &s)
{
    return {QStringLiteral("SELECT COUNT(*) FROM 账户"),
            QStringLiteral("SELECT 用户名, 真实姓名, 账户类型, 最后登录时间, 状态 FROM 账户 ORDER BY ")
                + s.k(QStringLiteral("用户名"))};
}

Limit loginLog(const Sql &)
{
    return {QStringLiteral("SELECT COUNT(*) FROM 账户登录"),
            QStringLiteral("SELECT 登录时间, 用户名 FROM 账户登录 ORDER BY 登录时间 DESC")};
}

Limit isbnSearch(const Sql &s, const QString &prefix)
{
    const QString w = where({range(s, QStringLiteral("\"ISBN\""), prefix)});
    return {
        QStringLiteral("SELECT COUNT(*) FROM 图书档案") + w,
        QStringLiteral("SELECT \"ISBN\", 图书名称, 作者, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 FROM 图书档案")
            + w + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("\"ISBN\""))};
}

Limit titleNameSearch(const Sql &s, const QString &prefix)
{
    const QString w = where({range(s, QStringLiteral("图书名称"), prefix)});
    return {
        QStringLiteral("SELECT COUNT(*) FROM 图书档案") + w,
        QStringLiteral("SELECT \"ISBN\", 图书名称, 作者, 出版社名称, 出版时间, 价格, 每日租金, 可否外借 FROM 图书档案")
            + w
            + QStringLiteral(" ORDER BY %1, %2, %3")
                  .arg(s.k(QStringLiteral("图书名称")), s.k(QStringLiteral("作者")), s.k(QStringLiteral("\"ISBN\"")))};
}

Limit loanSearch(const Sql &s, const QString &prefix)
{
    const QString w = where({range(s, QStringLiteral("l.图书借阅编号"), prefix)});
    return {QStringLiteral("SELECT COUNT(*) ") + loanJoins(s) + w,
            QStringLiteral("SELECT l.图书借阅编号, l.图书编号, t.图书名称, c.\"ISBN\", l.读者编号, r.姓名, l.借书日期, "
                           "l.理论还书日期, l.实际还书日期, l.是否已还, l.借书经手人, l.还书经手人 ")
                + loanJoins(s) + w + QStringLiteral(" ORDER BY ") + s.k(QStringLiteral("l.图书借阅编号"))};
}

QStringList booksView(const Sql &s)
{
    return {QStringLiteral("SELECT COUNT(*) FROM 图书档案"), QStringLiteral("SELECT COUNT(*) FROM 图书库存"),
            QStringLiteral("SELECT %1, COUNT(*) FROM 图书档案 GROUP BY %1 ORDER BY COUNT(*) DESC LIMIT 5")
                .arg(s.k(QStringLiteral("出版社名称")))};
}

QStringList readersView(const Sql &)
{
    return {QStringLiteral("SELECT COUNT(*) FROM 读者档案"),
            QStringLiteral("SELECT 读者编号, 账户金额 FROM 读者档案 ORDER BY 账户金额 DESC LIMIT 10")};
}

QStringList readerRanking(const Sql &)
{
    return {QStringLiteral("SELECT 读者编号, 总借书数量 FROM 读者档案 ORDER BY 总借书数量 DESC LIMIT 10")};
}

QStringList titleRanking(const Sql &s, const QString &from, const QString &to)
{
    if (s.server())
        // Hashed on the keys' bytes, the loans joined to their copies at once.
        return {
            QStringLiteral("SELECT %1, COUNT(*) FROM 图书借阅 l JOIN 图书库存 c ON %2 WHERE l.借书日期 BETWEEN %3 AND "
                           "%4 GROUP BY 1 ORDER BY 2 DESC LIMIT 10")
                .arg(s.k(QStringLiteral("c.\"ISBN\"")),
                     s.eq(QStringLiteral("c.图书编号"), QStringLiteral("l.图书编号")), s.quote(from), s.quote(to))};
    // Loans counted per copy from the index of copies and days, then per title.
    return {
        QStringLiteral("SELECT c.\"ISBN\", SUM(l.n) FROM (SELECT 图书编号, COUNT(*) AS n FROM 图书借阅 WHERE 借书日期 "
                       "BETWEEN %1 AND %2 GROUP BY 图书编号) l JOIN 图书库存 c ON c.图书编号 = l.图书编号 GROUP BY "
                       "c.\"ISBN\" ORDER BY SUM(l.n) DESC LIMIT 10")
            .arg(s.quote(from), s.quote(to))};
}

QStringList returnLoan(const Sql &s, const QString &loan, const QString &copy, const QString &reader,
                       const QString &day)
{
    return {s.begin(),
            QStringLiteral("SELECT 是否已还 FROM 图书借阅 WHERE 图书借阅编号 = ") + s.quote(loan) + s.forUpdate(),
            QStringLiteral(
                "UPDATE 图书借阅 SET 实际还书日期 = %1, 是否已还 = 1, 还书经手人 = 'admin' WHERE 图书借阅编号 = %2")
                .arg(s.quote(day), s.quote(loan)),
            QStringLiteral("UPDATE 图书库存 SET 状态 = '空闲' WHERE 图书编号 = ") + s.quote(copy),
            QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 - 1, 未还书总数 = 未还书总数 - 1 WHERE "
                           "读者编号 = ")
                + s.quote(reader),
            QStringLiteral("COMMIT")};
}

QStringList lendCopies(const Sql &s, const QString &reader, const QStringList &copies, const QStringList &numbers,
                       const QString &day, const QString &due)
{
    QStringList quoted;
    for (const QString &c : copies) quoted << s.quote(c);
    QStringList out{
        s.begin(),
        QStringLiteral("SELECT 图书编号, 状态 FROM 图书库存 WHERE 图书编号 IN (%1) ORDER BY 图书编号")
                .arg(quoted.join(QStringLiteral(", ")))
            + s.forUpdate(),
        QStringLiteral("SELECT 读者编号, 读者类别, 姓名, 当前借书数量, 状态 FROM 读者档案 WHERE 读者编号 = ")
            + s.quote(reader) + s.forUpdate()};
    for (int i = 0; i < copies.size(); ++i) {
        if (s.server())
            out << QStringLiteral("SELECT pg_try_advisory_xact_lock(hashtext(%1))").arg(s.quote(numbers[i]));
        out << QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 WHERE 图书借阅编号 >= %1 AND 图书借阅编号 <= %2 "
                              "ORDER BY 图书借阅编号 DESC LIMIT 1")
                   .arg(s.quote(numbers[i]), s.quote(numbers[i].left(12) + QStringLiteral("999")));
        out << QStringLiteral("INSERT INTO 图书借阅 VALUES (%1, %2, %3, %4, %5, NULL, 0, 'admin', NULL)")
                   .arg(s.quote(numbers[i]), s.quote(copies[i]), s.quote(reader), s.quote(day), s.quote(due));
        out << QStringLiteral(
                   "UPDATE 图书库存 SET 状态 = '借出', 最近读者编号 = %1, 最近借阅日期 = %2 WHERE 图书编号 = %3")
                   .arg(s.quote(reader), s.quote(day), s.quote(copies[i]));
    }
    out << QStringLiteral(
               "UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 + %1, 总借书数量 = 总借书数量 + %1, 总借书次数 "
               "= 总借书次数 + 1, 未还书总数 = 未还书总数 + %1 WHERE 读者编号 = %2")
               .arg(copies.size())
               .arg(s.quote(reader));
    out << QStringLiteral("COMMIT");
    return out;
}

}  // namespace bench
