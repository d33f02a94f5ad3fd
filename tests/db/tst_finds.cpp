// A search or a find for 沈, 重 or 藏 through the real windows finds every
// row whose text starts with it, on either engine, however a collation would
// read 沈阳, 重庆 or 藏文 as words: every kind of the general search, and the
// finds of the copies and readers lists. The list shows what it counts, no
// row blank, in the text order.
#include "catalogue/Frm_BookStore.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "circulation/CirculationFixture.h"
#include "circulation/Frm_Query.h"
#include "db/DialectText.h"
#include "db/Transaction.h"

#include <QtTest>

using namespace circfix;

namespace {

// Starts of words a collation may read as one, and texts of the same first
// character read alone.
const QStringList kWords = {"沈阳", "沈", "重庆", "重", "藏文", "藏", "红"};

bool before(const QString &a, const QString &b)
{
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return dialect::text::compare(x.constData(), int(x.size()), y.constData(), int(y.size())) < 0;
}

QStringList starting(const QStringList &values, const QString &start)
{
    QStringList out;
    for (const QString &v : values)
        if (v.startsWith(start)) out << v;
    return out;
}

}  // namespace

class TestFinds : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;
    // Numbers "A" or "a", one ASCII character and digits, on a database of their own.
    std::unique_ptr<testsupport::TempDb> m_ascii;
    QStringList m_asciiIds;
    // What each kind of search reads, as the data has it.
    QStringList m_isbns, m_titles, m_copies, m_presses, m_readers, m_names, m_loans, m_damages;

    // A grid's column, every data row; a row left blank shows as "".
    static QStringList column(vb::Grid &g, int col)
    {
        QStringList v;
        for (int r = 1; r < g.Rows(); ++r) v << g.TextMatrix(r, col);
        return v;
    }

    // What a list shows of its searched column holds exactly the values that
    // start with `start`, in the text order (or its reverse), and the status
    // bar counts them when `counted`.
    static void holdsExactly(vb::Grid &g, int col, const QStringList &values, const QString &start, bool descending,
                             bool counted)
    {
        QStringList expected = starting(values, start);
        std::sort(expected.begin(), expected.end(), before);
        QCoreApplication::processEvents();  // a long list's count comes in after its first screen
        if (descending) std::reverse(expected.begin(), expected.end());
        QCOMPARE(column(g, col), expected);
        if (counted) QCOMPARE(statusTip(), QStringLiteral("共有 %1 条记录").arg(expected.size()));
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        int n = 0;
        for (const QString &w : kWords) {
            for (int i = 1; i <= 2; ++i, ++n) {
                const QString isbn = QStringLiteral("%1-978-%2").arg(w).arg(i);
                const QString press = w + QStringLiteral("出版社%1").arg(i);
                const QString copy = QStringLiteral("%1-%2").arg(w).arg(i, 3, 10, QLatin1Char('0'));
                const QString reader = QStringLiteral("%1R%2").arg(w).arg(i);
                const QString loan = QStringLiteral("%1%2").arg(w).arg(240601090000000LL + n);
                const QString damage = QStringLiteral("%1%2").arg(w).arg(240601090000LL + n);
                exec(QStringLiteral("INSERT 出版社 VALUES (%1, '', '')").arg(SQLQuote(press)));
                exec(QStringLiteral("INSERT 图书档案 VALUES (%1, %2, '作者', %3, '2020-01-01', 10, 0.1, '1')")
                         .arg(SQLQuote(isbn), SQLQuote(w + QString::number(i)), SQLQuote(press)));
                addCopy(copy, isbn);
                addReader(reader, QStringLiteral("学生"), w + QStringLiteral("某%1").arg(i));
                exec(QStringLiteral("INSERT 图书借阅 VALUES (%1, %2, %3, '2024-06-01', '2024-07-01', '2024-06-10', "
                                    "'1', 'admin', 'admin')")
                         .arg(SQLQuote(loan), SQLQuote(copy), SQLQuote(reader)));
                exec(QStringLiteral("INSERT 图书损坏 VALUES (%1, %2, '破损', 1, '')")
                         .arg(SQLQuote(damage), SQLQuote(loan)));
                m_isbns << isbn;
                m_titles << w + QString::number(i);
                m_copies << copy;
                m_presses << press;
                m_readers << reader;
                m_names << w + QStringLiteral("某%1").arg(i);
                m_loans << loan;
                m_damages << damage;
            }
        }
        // More than a screen of readers named 沈…, a third of them 沈阳…: read in parts.
        for (int i = 1; i <= 300; ++i) {
            const QString name = (i % 3 ? QStringLiteral("沈") : QStringLiteral("沈阳")) + QString::number(i);
            addReader(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("学生"), name);
            m_names << name;
        }
        for (const QString &t : {QStringLiteral("数据库原理"), QStringLiteral("操作系统"), QStringLiteral("珍本古籍")})
            m_titles << t;
        m_presses << QStringLiteral("人民出版社");
        m_names << QStringLiteral("张三") << QStringLiteral("李四") << QStringLiteral("王五") << QStringLiteral("赵六");
        m_msg = std::make_unique<MsgRecorder>();
    }
    void cleanupTestCase()
    {
        m_msg.reset();
        m_ascii.reset();
        m_db.reset();
    }

    void generalSearch_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("start");
        for (const QString &start : {QStringLiteral("沈"), QStringLiteral("重"), QStringLiteral("藏")})
            for (int kind = 0; kind < Frm_Query::CaseCount; ++kind)
                QTest::addRow("kind %d, %s", kind, qPrintable(start)) << kind << start;
    }
    void generalSearch()
    {
        QFETCH(int, kind);
        QFETCH(QString, start);
        Frm_Query &w = vb::Default<Frm_Query>();
        showChild(w);
        w.Opt_Case(kind)->setValue(true);
        w.Txt_Info->setText(start);
        w.Cmd_Query_Click();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
        vb::Grid &g = *w.Grid_ShowData.get();
        const QList<std::pair<int, QStringList>> searched = {{2, m_isbns},   {0, m_copies},  {0, m_titles},
                                                             {0, m_presses}, {0, m_readers}, {1, m_names},
                                                             {0, m_loans},   {0, m_damages}};
        holdsExactly(g, searched[kind].first, searched[kind].second, start, kind == 7, true);
        w.Unload();
    }

    // A typed start ending in any ASCII character finds exactly the numbers
    // that begin with it, whatever letter case they have, and a delete with it
    // touches those alone: a range that reads the start must not let in the
    // characters between '@' and 'a' that the embedded engine's case-blind
    // order puts there.
    void startEndingInAnyCharacter_data()
    {
        QTest::addColumn<QString>("start");
        for (char16_t c = 0x20; c < 0x7F; ++c)
            if (c != u'%' && c != u'_' && c != u'[')
                QTest::addRow("A%s (0x%x)", qPrintable(QString(QChar(c))), unsigned(c))
                    << QStringLiteral("A") + QChar(c);
    }
    void startEndingInAnyCharacter()
    {
        QFETCH(QString, start);
        if (!m_ascii) {
            m_ascii = std::make_unique<testsupport::TempDb>();
            for (char16_t c = 0x20; c < 0x7F; ++c)
                for (const QString &head : {QStringLiteral("A"), QStringLiteral("a")}) {
                    // The character's code keeps "AA…" and "Aa…" apart: the keys compare without case.
                    const QString id =
                        head + QChar(c) + QString::number(int(c)) + (head == QLatin1String("A") ? "1" : "2");
                    m_ascii->conn().Execute(
                        QStringLiteral("INSERT 读者档案 VALUES (%1, '学生', '某', 1, 0, '', '', '', '', 0, 0, 0, 0, 0, "
                                       "'240601', 'admin', '正常')")
                            .arg(SQLQuote(id)));
                    m_asciiIds << id;
                }
        }
        QStringList expected;
        for (const QString &id : m_asciiIds)
            if (id.startsWith(start, Qt::CaseInsensitive)) expected << id;
        expected.sort();
        const QString where = QStringLiteral(" FROM 读者档案 WHERE 读者编号 LIKE ") + SQLQuote(start + "%");
        QStringList found;
        for (const QStringList &row : m_ascii->rows("SELECT 读者编号" + where)) found << row.value(0);
        found.sort();
        QCOMPARE(found, expected);
        ado::Transaction undo(m_ascii->conn());
        QCOMPARE(m_ascii->conn().Execute("DELETE" + where), long(expected.size()));
    }

    void listFinds_data()
    {
        QTest::addColumn<QString>("start");
        for (const QString &start : {QStringLiteral("沈"), QStringLiteral("重"), QStringLiteral("藏")})
            QTest::newRow(qPrintable(start)) << start;
    }
    void listFinds()
    {
        QFETCH(QString, start);
        Frm_BookStore &copies = vb::Default<Frm_BookStore>();
        showChild(copies);
        copies.Txt_Find_BID->setText(start);
        holdsExactly(*copies.Grid_ShowData.get(), 0, m_copies, start, false, false);
        copies.Unload();
        Frm_ReaderDoc &readers = vb::Default<Frm_ReaderDoc>();
        showChild(readers);
        readers.Txt_Find_RID->setText(start);
        holdsExactly(*readers.Grid_ShowData.get(), 0, m_readers, start, false, false);
        readers.Unload();
        QVERIFY2(m_msg->msgs.isEmpty(), qPrintable(m_msg->last()));
    }
};

QTEST_MAIN(TestFinds)
#include "tst_finds.moc"
