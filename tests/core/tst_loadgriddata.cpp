// Filling a grid from a query: records, an empty result, failures, the count tip.
#include "support/TempDb.h"

#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/ServerMessages.h"
#include "ui/Grid.h"

#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

// The rows the grid shows when each of its paintings begins.
class PaintedRows : public QObject {
public:
    explicit PaintedRows(vb::Grid &g) : m_g(g) { g.view()->viewport()->installEventFilter(this); }
    QList<int> rows;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) rows << m_g.Rows();
        return false;
    }

private:
    vb::Grid &m_g;
};

// Every statement the program runs while it lives.
class Statements {
public:
    Statements()
    {
        ado::Connection::SetStatementHook([this](const QString &s) { run << s; });
    }
    ~Statements() { ado::Connection::SetStatementHook(nullptr); }
    Statements(const Statements &) = delete;
    Statements &operator=(const Statements &) = delete;
    QStringList run;
};

// 出版社 has three rows; these add `n` more.
QStringList morePublishers(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("INSERT 出版社 VALUES ('出版社%1', '城市', NULL)").arg(i, 4, 10, QLatin1Char('0'));
    return out;
}

}  // namespace

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

    // A list longer than its first part is painted before it is counted; the
    // count then fills in the grid's rows (its scroll range) and the status
    // bar, from the engine or from the caller's own count statement, and a
    // count that fails leaves the rows shown without a tip.
    void longListPaintedFirstThenCounted_data()
    {
        QTest::addColumn<QString>("countSql");
        QTest::addColumn<int>("counted");  // -1: no count comes in
        QTest::newRow("the engine's count") << QString() << 203;
        QTest::newRow("the caller's count") << QStringLiteral("SELECT COUNT(*) FROM 出版社") << 203;
        QTest::newRow("a count that fails") << QStringLiteral("SELECT COUNT(*) FROM 无此表") << -1;
    }
    void longListPaintedFirstThenCounted()
    {
        QFETCH(QString, countSql);
        QFETCH(int, counted);
        m_db->exec(morePublishers(200));
        vb::Grid g;
        g.resize(400, 300);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        ShowSBarTip(QStringLiteral("之前的提示"));
        PaintedRows painted(g);
        QString err;
        QVERIFY(
            LoadGridData(g, QStringLiteral("SELECT 出版社名称 FROM 出版社 ORDER BY 出版社名称"), err, true, countSql));
        const int first = g.Rows();
        QVERIFY2(first > 2 && first < 204, qPrintable(QString::number(first)));
        QCOMPARE(tip(), QStringLiteral("之前的提示"));
        QTRY_VERIFY(!painted.rows.isEmpty());
        QTRY_COMPARE(g.Rows(), counted < 0 ? first : counted + 1);
        QCOMPARE(painted.rows.front(), first);  // the first screen was painted before the count
        QCOMPARE(tip(), counted < 0 ? QStringLiteral("之前的提示") : QStringLiteral("共有 %1 条记录").arg(counted));
        if (counted < 0) return;
        g.view()->scrollToBottom();
        QCOMPARE(g.TextMatrix(counted, 0), QStringLiteral("人民邮电出版社"));
        QCOMPARE(g.Row(), 1);
    }

    // A count that comes in after a newer list took the grid is dropped: it
    // neither sizes the newer list nor runs at all.
    void staleCountIsDropped()
    {
        m_db->exec(morePublishers(100));
        vb::Grid g;
        QString err;
        Statements statements;
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT 出版社名称 FROM 出版社"), err, true,
                             QStringLiteral("SELECT COUNT(*) FROM 出版社 WHERE 1 = 1")));
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT 出版社名称 FROM 出版社 WHERE 出版社名称 LIKE '出版社00%'"), err,
                             true));
        QTRY_COMPARE(tip(), QStringLiteral("共有 100 条记录"));
        QCoreApplication::processEvents();
        QCOMPARE(g.Rows(), 101);
        QCOMPARE(tip(), QStringLiteral("共有 100 条记录"));
        QVERIFY(!statements.run.join('\n').contains(QStringLiteral("1 = 1")));
    }

private:
    // 300 more publishers in a grid on screen, every row of the list known.
    void showManyPublishers(vb::Grid &g)
    {
        m_db->exec(morePublishers(300));
        g.resize(400, 300);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QString err;
        QVERIFY(LoadGridData(g, QStringLiteral("SELECT 出版社名称 FROM 出版社 ORDER BY 出版社名称"), err, true));
        QTRY_COMPARE(g.Rows(), 304);
    }

private slots:
    // Rows another desk deleted after the count are found missing when their
    // part is read: the grid's rows follow, no blank rows stay at the end.
    void rowsDeletedAfterTheCountLeaveTheGrid()
    {
        vb::Grid g;
        showManyPublishers(g);
        if (QTest::currentTestFailed()) return;
        QVERIFY(m_db->raw(QStringLiteral("DELETE FROM 出版社 WHERE 出版社名称 LIKE '出版社02%'")));
        g.view()->scrollToBottom();
        QTRY_COMPARE(g.Rows(), 204);
        QCOMPARE(g.TextMatrix(203, 0), QStringLiteral("人民邮电出版社"));
    }

    // Rows that can't be read when the grid reaches them (another desk holds
    // the table past the time-out) are not shown as blank records: the grid
    // ends before them and the clerk is told the database's message, once;
    // going to the end again once the lock is gone reads them.
    void rowsThatCantBeReadAreToldAndReadAgain()
    {
        QStringList told;
        SetMsgBoxHook([&](const QString &text, const QString &, const QString &) {
            told << text;
            return 1;
        });
        const auto unhook = qScopeGuard([] { SetMsgBoxHook(nullptr); });
        vb::Grid g;
        showManyPublishers(g);
        if (QTest::currentTestFailed()) return;
        {
            const testsupport::HeldLock lock(*m_db, QStringLiteral("出版社"));
            g.view()->setFocus();
            QTest::keyClick(g.view(), Qt::Key_End, Qt::ControlModifier);
            QTRY_COMPARE(told.size(), 1);
            QCOMPARE(told.front(), ado::msg::busy());
            QVERIFY2(g.Rows() < 304, qPrintable(QString::number(g.Rows())));
            QCOMPARE(tip(), QStringLiteral("共有 303 条记录"));
        }
        QTest::keyClick(g.view(), Qt::Key_End, Qt::ControlModifier);
        QTRY_COMPARE(g.Rows(), 304);
        QCOMPARE(g.TextMatrix(303, 0), QStringLiteral("人民邮电出版社"));
        QCOMPARE(told.size(), 1);
    }
};

QTEST_MAIN(TestLoadGridData)
#include "tst_loadgriddata.moc"
