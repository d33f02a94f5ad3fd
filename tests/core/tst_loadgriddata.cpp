// Filling a grid from a query: records, an empty result, failures, the count tip.
#include "support/TempDb.h"

#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Grid.h"

#include <QTableView>
#include <QtTest>

class TestLoadGridData : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TempDb> m_db;

    static QString tip() { return vb::Default<Frm_Main>().Lbl_SBarTip->Caption(); }
    static QStringList header(vb::Grid &g)
    {
        QStringList h;
        for (int c = 0; c < g.Cols(); ++c) h << g.TextMatrix(0, c);
        return h;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<testsupport::TempDb>();
        OpenSQLConnection(SQLConn(), m_db->server(), m_db->uid(), m_db->pwd(), m_db->database());
        m_db->exec({QStringLiteral("INSERT 出版社 VALUES ('高等教育出版社', '北京', '100029')"),
                    QStringLiteral("INSERT 出版社 VALUES ('清华大学出版社', '北京', NULL)"),
                    QStringLiteral("INSERT 出版社 VALUES ('人民邮电出版社', '北京', '100164')")});
        ShowSBarTip(QString());
    }
    void cleanup()
    {
        if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
        m_db.reset();
    }
    void cleanupTestCase() { vb::Default<Frm_Main>().Unload(); }

    void recordsWithNamesAndAliases()
    {
        vb::Grid g;
        g.setColWidth(1, 3000);
        QString err = QStringLiteral("unchanged");
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT 出版社名称, 地址 AS 所在地, 邮编 FROM 出版社 ORDER BY 邮编"),
                             err, true));
        QCOMPARE(err, QStringLiteral("unchanged"));
        QCOMPARE(g.Rows(), 4);
        QCOMPARE(g.Cols(), 3);
        QCOMPARE(header(g), (QStringList{"出版社名称", "所在地", "邮编"}));
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("清华大学出版社"));  // Null sorts first, shown as ""
        QCOMPARE(g.TextMatrix(1, 2), QString());
        QCOMPARE(g.TextMatrix(3, 2), QStringLiteral("100164"));
        // The first record is selected whole.
        QCOMPARE(g.Row(), 1);
        QCOMPARE(g.Col(), 0);
        QCOMPARE(g.ColSel(), 2);
        QCOMPARE(g.view()->selectionModel()->selectedIndexes().size(), 3);
        // Widths set before the load stay.
        QCOMPARE(g.ColWidth(1), 3000);
        QCOMPARE(tip(), QStringLiteral("共有 3 条记录"));

        // Without the count the tip is left alone.
        ShowSBarTip(QStringLiteral("别的提示"));
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT * FROM 出版社 WHERE 地址 = '北京'"), err, false));
        QCOMPARE(g.Rows(), 4);
        QCOMPARE(tip(), QStringLiteral("别的提示"));
    }

    void emptyResultShowsHeaderAndOneEmptyRow()
    {
        vb::Grid g;
        QString err;
        // A fuller grid before: its records must not survive.
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT 出版社名称, 地址 FROM 出版社"), err, false));
        g.setTextMatrix(2, 1, QStringLiteral("改过"));
        QVERIFY(LoadGridData(
            g, QStringLiteral("SELECT 出版社名称, 邮编 AS 编码, 地址 FROM 出版社 WHERE 出版社名称 LIKE '无%'"), err,
            true));
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(g.Cols(), 3);
        QCOMPARE(header(g), (QStringList{"出版社名称", "编码", "地址"}));
        for (int c = 0; c < 3; ++c) QCOMPARE(g.TextMatrix(1, c), QString());
        QCOMPARE(g.Row(), 1);
        QCOMPARE(g.ColSel(), 2);
        QCOMPARE(tip(), QStringLiteral("共有 0 条记录"));
    }

    void failureLeavesTwoRows()
    {
        vb::Grid g;
        QString err;
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT 出版社名称, 地址 FROM 出版社 ORDER BY 出版社名称"), err, true));
        const QString firstName = g.TextMatrix(1, 0);
        ShowSBarTip(QStringLiteral("之前的提示"));

        QVERIFY(!LoadGridData(g, QStringLiteral("SELECT 名称 FROM 无此表"), err, true));
        QVERIFY(!err.isEmpty());
        // Header and first row as they were, nothing below them.
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(g.Cols(), 2);
        QCOMPARE(header(g), (QStringList{"出版社名称", "地址"}));
        QCOMPARE(g.TextMatrix(1, 0), firstName);
        QCOMPARE(g.view()->model()->rowCount(), 1);
        QCOMPARE(tip(), QStringLiteral("之前的提示"));

        // A closed connection fails the same way.
        SQLConn().Close();
        err.clear();
        QVERIFY(!LoadGridData(g, QStringLiteral("SELECT * FROM 出版社"), err, true));
        QVERIFY(!err.isEmpty());
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(tip(), QStringLiteral("之前的提示"));
    }
};

QTEST_MAIN(TestLoadGridData)
#include "tst_loadgriddata.moc"
