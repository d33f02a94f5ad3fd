#include "tools/Invariants.h"

#include "db/Engine.h"
#include "db/PostgresEngine.h"
#include "db/SchemaVersion.h"

namespace {

// Every row of a SELECT, its fields joined by ", ".
QStringList lines(ado::Connection &conn, const QString &select)
{
    ado::Recordset rs;
    rs.Open(select, conn, ado::adOpenKeyset, ado::adLockReadOnly);
    QStringList out;
    const ado::ResultSetPtr r = rs.result();
    for (int row = 0; r && row < r->rowCount(); ++row) {
        QStringList fields;
        for (int c = 0; c < r->columnCount(); ++c) fields << r->text(row, c);
        out << fields.join(QStringLiteral(", "));
    }
    return out;
}

void add(QStringList &out, const QString &what, const QStringList &rows)
{
    for (const QString &r : rows) out << what + QStringLiteral(": ") + r;
}

}  // namespace

QStringList CheckInvariants(ado::Connection &conn)
{
    QStringList out;
    add(out, QStringLiteral("图书库存 借出 without an open loan"),
        lines(conn, QStringLiteral("SELECT 图书编号 FROM 图书库存 WHERE 状态 = '借出' AND NOT EXISTS (SELECT 图书编号 "
                                   "FROM 图书借阅 WHERE 图书借阅.图书编号 = 图书库存.图书编号 AND 是否已还 = 0) "
                                   "ORDER BY 图书编号")));
    add(out, QStringLiteral("图书库存 with an open loan but not 借出"),
        lines(conn, QStringLiteral("SELECT DISTINCT 图书库存.图书编号, 状态 FROM 图书库存, 图书借阅 "
                                   "WHERE 图书库存.图书编号 = 图书借阅.图书编号 AND 是否已还 = 0 "
                                   "AND (状态 IS NULL OR 状态 <> '借出') ORDER BY 图书库存.图书编号")));
    add(out, QStringLiteral("图书库存 with more than one open loan (copy, loans)"),
        lines(conn, QStringLiteral("SELECT 图书编号, COUNT(*) FROM 图书借阅 WHERE 是否已还 = 0 "
                                   "GROUP BY 图书编号 HAVING COUNT(*) > 1 ORDER BY 图书编号")));
    {
        ado::Recordset rs;
        rs.Open(
            QStringLiteral("SELECT 读者编号, 当前借书数量, 未还书总数, (SELECT COUNT(*) FROM 图书借阅 WHERE "
                           "图书借阅.读者编号 = 读者档案.读者编号 AND 是否已还 = 0) FROM 读者档案 ORDER BY 读者编号"),
            conn, ado::adOpenKeyset, ado::adLockReadOnly);
        const ado::ResultSetPtr r = rs.result();
        for (int row = 0; r && row < r->rowCount(); ++row) {
            const QString open = r->text(row, 3);
            if (r->text(row, 1) != open || r->text(row, 2) != open)
                out << QStringLiteral("读者档案 %1: 当前借书数量 %2, 未还书总数 %3, open loans %4")
                           .arg(r->text(row, 0), r->text(row, 1), r->text(row, 2), open);
        }
    }
    add(out, QStringLiteral("图书借阅 open loan of a missing copy (loan, copy)"),
        lines(conn, QStringLiteral("SELECT 图书借阅编号, 图书编号 FROM 图书借阅 WHERE 是否已还 = 0 AND NOT EXISTS "
                                   "(SELECT 图书编号 FROM 图书库存 WHERE 图书库存.图书编号 = 图书借阅.图书编号) "
                                   "ORDER BY 图书借阅编号")));
    add(out, QStringLiteral("图书借阅 open loan of a missing reader (loan, reader)"),
        lines(conn, QStringLiteral("SELECT 图书借阅编号, 读者编号 FROM 图书借阅 WHERE 是否已还 = 0 AND NOT EXISTS "
                                   "(SELECT 读者编号 FROM 读者档案 WHERE 读者档案.读者编号 = 图书借阅.读者编号) "
                                   "ORDER BY 图书借阅编号")));
    add(out, QStringLiteral("图书借阅 open loan of a copy without its title (loan, copy)"),
        lines(conn, QStringLiteral("SELECT 图书借阅编号, 图书借阅.图书编号 FROM 图书借阅, 图书库存 WHERE "
                                   "图书借阅.图书编号 = 图书库存.图书编号 AND 是否已还 = 0 AND NOT EXISTS "
                                   "(SELECT ISBN FROM 图书档案 WHERE 图书档案.ISBN = 图书库存.ISBN) "
                                   "ORDER BY 图书借阅编号")));
    // Deposit numbers are unique (the schema's index holds them so; a database
    // that has two deposits under one number keeps them, without the index).
    add(out, QStringLiteral("充值记录 number used more than once (number, deposits)"),
        lines(conn, QStringLiteral("SELECT 充值编号, COUNT(*) FROM 充值记录 WHERE 充值编号 IS NOT NULL "
                                   "GROUP BY 充值编号 HAVING COUNT(*) > 1 ORDER BY 充值编号")));
    // The open loans the database counts as they are lent and returned (the
    // returning window shows that count).
    if (ado::SchemaVersion(conn) >= 6) {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT (SELECT ISNULL(SUM(未还), 0) FROM lib_open_loans), (SELECT COUNT(*) FROM "
                               "图书借阅 WHERE 是否已还 = 0)"),
                conn, ado::adOpenKeyset, ado::adLockReadOnly);
        const QString kept = rs.Fields(0).toString(), open = rs.Fields(1).toString();
        if (kept != open) out << QStringLiteral("lib_open_loans: counted %1, open loans %2").arg(kept, open);
    }
    // The loans the server counts per copy as they are made (the statistics'
    // ranking reads them) are each copy's loans.
    if (const auto *pg = dynamic_cast<const ado::PostgresEngine *>(conn.engine());
        pg && pg->catalog().find(QStringLiteral("lib_copy_loans"))) {
        const QString loans =
            QStringLiteral("(SELECT COUNT(*) FROM 图书借阅 WHERE 图书借阅.图书编号 = lib_copy_loans.图书编号)");
        QStringList off = lines(conn, QStringLiteral("SELECT 图书编号, 借阅次数, ") + loans
                                          + QStringLiteral(" FROM lib_copy_loans WHERE 借阅次数 <> ") + loans);
        off +=
            lines(conn, QStringLiteral("SELECT 图书编号, 0, COUNT(*) FROM 图书借阅 WHERE 图书编号 IS NOT NULL AND NOT "
                                       "EXISTS (SELECT 图书编号 FROM lib_copy_loans WHERE lib_copy_loans.图书编号 = "
                                       "图书借阅.图书编号) GROUP BY 图书编号"));
        off.sort();
        for (const QString &line : off) {
            const QStringList f = line.split(QStringLiteral(", "));
            out << QStringLiteral("lib_copy_loans %1: counted %2, loans %3").arg(f.value(0), f.value(1), f.value(2));
        }
    }
    if (conn.engine()) add(out, QStringLiteral("engine integrity"), conn.engine()->integrityProblems());
    return out;
}
