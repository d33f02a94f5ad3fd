// Whatever text reaches the dialect layer, it either runs, or is refused with
// an error the window can show: never a crash, a hang or an altered statement.
#include "support/TempDb.h"

#include <QRandomGenerator>
#include <QtTest>

class TestDialectRobust : public QObject {
    Q_OBJECT

    // Pieces of the statements the windows write, and of broken ones.
    static QStringList pieces()
    {
        return {QStringLiteral("SELECT"),
                QStringLiteral("TOP"),
                QStringLiteral("5"),
                QStringLiteral("DISTINCT"),
                QStringLiteral("*"),
                QStringLiteral("FROM"),
                QStringLiteral("图书档案"),
                QStringLiteral("图书库存"),
                QStringLiteral("读者档案"),
                QStringLiteral("WHERE"),
                QStringLiteral("图书档案.ISBN"),
                QStringLiteral("*="),
                QStringLiteral("=*"),
                QStringLiteral("="),
                QStringLiteral("图书库存.ISBN"),
                QStringLiteral("AND"),
                QStringLiteral("OR"),
                QStringLiteral("("),
                QStringLiteral(")"),
                QStringLiteral(","),
                QStringLiteral("CONVERT"),
                QStringLiteral("varchar(10)"),
                QStringLiteral("23"),
                QStringLiteral("0"),
                QStringLiteral("CASE"),
                QStringLiteral("WHEN"),
                QStringLiteral("THEN"),
                QStringLiteral("ELSE"),
                QStringLiteral("END"),
                QStringLiteral("性别"),
                QStringLiteral("AS"),
                QStringLiteral("'男'"),
                QStringLiteral("'it''s'"),
                QStringLiteral("'*= TOP 5 -- ;'"),
                QStringLiteral("'"),
                QStringLiteral("["),
                QStringLiteral("]"),
                QStringLiteral("--"),
                QStringLiteral(";"),
                QStringLiteral("INSERT"),
                QStringLiteral("VALUES"),
                QStringLiteral("DELETE"),
                QStringLiteral("UPDATE"),
                QStringLiteral("SET"),
                QStringLiteral("账户金额"),
                QStringLiteral("+"),
                QStringLiteral("0.1"),
                QStringLiteral("ORDER BY"),
                QStringLiteral("GROUP BY"),
                QStringLiteral("HAVING"),
                QStringLiteral("COUNT(*)"),
                QStringLiteral("BETWEEN"),
                QStringLiteral("'2024-03-01'"),
                QStringLiteral("LIKE"),
                QStringLiteral("'R%'"),
                QStringLiteral("UNION"),
                QStringLiteral("IN"),
                QStringLiteral("未还书总价值"),
                QStringLiteral("Null"),
                QStringLiteral("\""),
                QStringLiteral("/*"),
                QStringLiteral("*/"),
                QStringLiteral("N'x'")};
    }

private slots:
    void randomStatementsRunOrFailCleanly()
    {
        testsupport::TempDb db;
        db.exec({QStringLiteral("INSERT 出版社 VALUES ('社', '', '')"),
                 QStringLiteral("INSERT 图书档案 VALUES ('I1', '书', '作者', '社', '2024-01-01', 10, 1, '1')"),
                 QStringLiteral("INSERT 读者类别 VALUES ('学生', '30', '5')")});
        const QStringList p = pieces();
        QRandomGenerator rng(20241207);
        int ran = 0, refused = 0;
        bool changedRows = false;
        for (int i = 0; i < 4000; ++i) {
            QStringList words;
            const int n = 1 + int(rng.bounded(14));
            for (int k = 0; k < n; ++k) words << p.at(int(rng.bounded(int(p.size()))));
            const QString sql = words.join(QLatin1Char(' '));
            try {
                ado::Recordset rs;
                rs.Open(sql, db.conn());
                ++ran;
                changedRows = changedRows || !sql.startsWith(QLatin1String("SELECT"));
            } catch (const ado::Error &e) {
                QVERIFY2(!e.Description().isEmpty(), qPrintable(sql));
                ++refused;
            }
        }
        QVERIFY(refused > 0);
        // Only statements that write may have changed the seeded rows.
        if (!changedRows) QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 图书档案")), QStringLiteral("1"));
        if (!changedRows) QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM 读者类别")), QStringLiteral("1"));
        qInfo("ran %d, refused %d", ran, refused);
    }

    // The program's own statements with one word dropped or doubled.
    void damagedStatementsRunOrFailCleanly()
    {
        testsupport::TempDb db;
        const QStringList statements = {
            QStringLiteral("SELECT 图书名称, 作者, 图书档案.ISBN, COUNT(图书库存.ISBN) AS 数量 FROM 图书档案, 图书库存 "
                           "WHERE 图书档案.ISBN *= 图书库存.ISBN GROUP BY 图书名称, 作者, 图书档案.ISBN"),
            QStringLiteral("SELECT 读者编号, 性别 = CASE WHEN 性别 = 1 THEN '男' ELSE '女' END, "
                           "CONVERT(varchar(10), 账户金额, 0) AS 账户金额 FROM 读者档案, 读者类别 "
                           "WHERE 读者档案.读者类别 *= 读者类别.读者类别 ORDER BY 读者档案.姓名 DESC"),
            QStringLiteral("SELECT TOP 10 图书名称, COUNT(*) AS 次数 FROM 图书借阅, 图书库存, 图书档案 WHERE "
                           "图书借阅.图书编号 = 图书库存.图书编号 AND 图书库存.ISBN = 图书档案.ISBN AND 借书日期 "
                           "BETWEEN '2000-01-01' AND '2024-03-01' GROUP BY 图书名称 ORDER BY 次数 DESC"),
            QStringLiteral("UPDATE 读者档案 SET 账户金额 = 账户金额 + 0.1 WHERE 读者编号 = 'R001'"),
            QStringLiteral(
                "DELETE 图书借阅 WHERE 是否已还 = 1 AND (实际还书日期 BETWEEN '2000-01-01' AND '2024-03-01')")};
        int refused = 0;
        for (const QString &statement : statements) {
            const QStringList words = statement.split(QLatin1Char(' '));
            for (int i = 0; i < words.size(); ++i) {
                for (int doubled = 0; doubled < 2; ++doubled) {
                    QStringList w = words;
                    if (doubled)
                        w.insert(i, words.at(i));
                    else
                        w.removeAt(i);
                    try {
                        ado::Recordset rs;
                        rs.Open(w.join(QLatin1Char(' ')), db.conn());
                    } catch (const ado::Error &e) {
                        QVERIFY(!e.Description().isEmpty());
                        ++refused;
                    }
                }
            }
        }
        QVERIFY(refused > 0);
    }
};

QTEST_GUILESS_MAIN(TestDialectRobust)
#include "tst_dialect_robust.moc"
