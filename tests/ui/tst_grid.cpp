// The record grid: cells, binding to query results, selection, keys and mouse.
#include "ui/Grid.h"

#include <QAbstractItemModel>
#include <QCursor>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

namespace {

// Rows made up in memory, in the shape the database layer hands to the grid.
class FakeResult : public ado::ResultSet {
public:
    FakeResult(QStringList names, QList<QVariantList> rows) : m_names(std::move(names)), m_rows(std::move(rows)) { }
    int rowCount() const override { return int(m_rows.size()); }
    int columnCount() const override { return int(m_names.size()); }
    QString columnName(int col) const override { return m_names.value(col); }
    bool isNull(int row, int col) const override { return !m_rows[row][col].isValid(); }
    QVariant value(int row, int col) const override { return m_rows[row][col]; }
    QString text(int row, int col) const override { return m_rows[row][col].toString(); }

private:
    QStringList m_names;
    QList<QVariantList> m_rows;
};

ado::ResultSetPtr makeResult(int rows, const QStringList &names = {"编号", "名称", "数量"})
{
    QList<QVariantList> data;
    for (int r = 0; r < rows; ++r) {
        QVariantList row;
        for (int c = 0; c < names.size(); ++c) row << QVariant(QStringLiteral("r%1c%2").arg(r + 1).arg(c));
        data << row;
    }
    return std::make_shared<FakeResult>(names, data);
}

}  // namespace

class TestGrid : public QObject {
    Q_OBJECT

private:
    // Puts the grid in a shown top-level window of a fixed size.
    static void show(vb::Grid &g, int w = 400, int h = 300)
    {
        g.resize(w, h);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
    }
    // Moves the pointer; over a shown window this also delivers the move.
    static void pointTo(const QPoint &global)
    {
        QCursor::setPos(global);
        QCoreApplication::processEvents();
    }
    static QPoint cellCentre(vb::Grid &g, int row, int col)
    {
        QTableView *v = g.view();
        const QRect r = v->visualRect(v->model()->index(row - g.FixedRows(), col));
        return r.center();
    }

private slots:
    void unboundCellsAndSize()
    {
        vb::Grid g;
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(g.Cols(), 2);
        QCOMPARE(g.FixedRows(), 1);
        g.setRows(13);
        g.setCols(3);
        g.setTextMatrix(0, 1, "头");
        g.setTextMatrix(12, 2, "末");
        QCOMPARE(g.TextMatrix(0, 1), QString("头"));
        QCOMPARE(g.TextMatrix(12, 2), QString("末"));
        QCOMPARE(g.TextMatrix(13, 0), QString());  // outside: empty, no crash
        g.setTextMatrix(20, 0, "x");               // outside: ignored
        QCOMPARE(g.view()->model()->rowCount(), 12);
        QCOMPARE(g.view()->model()->headerData(1, Qt::Horizontal).toString(), QString("头"));

        // Without a fixed row, row 0 is an ordinary row.
        g.setFixedRows(0);
        QCOMPARE(g.view()->model()->rowCount(), 13);
        QCOMPARE(g.view()->model()->index(0, 1).data().toString(), QString("头"));
        QVERIFY(g.view()->horizontalHeader()->isHidden());

        // Shrinking drops the cells outside; growing again gives empty cells.
        g.setRows(5);
        g.setRows(13);
        QCOMPARE(g.TextMatrix(12, 2), QString());
        QCOMPARE(g.TextMatrix(0, 1), QString("头"));
    }

    void columnWidthsAndAlignment()
    {
        vb::Grid g;
        g.setCols(3);
        g.setColWidth(0, 100);
        g.setColWidth(1, 3000);
        g.setColWidth(2, 250);
        QCOMPARE(g.ColWidth(1), 3000);
        QCOMPARE(g.view()->horizontalHeader()->sectionSize(1), 200);
        // A width set before the grid is filled holds for the bound columns.
        g.setColWidth(3, 1500);
        g.Clear();
        g.bind(makeResult(3, {"a", "b", "c", "d"}));
        QCOMPARE(g.view()->horizontalHeader()->sectionSize(1), 200);
        QCOMPARE(g.view()->horizontalHeader()->sectionSize(3), 100);
        QCOMPARE(g.ColWidth(3), 1500);

        QAbstractItemModel *m = g.view()->model();
        g.setColAlignment(0, vb::flexAlignLeftCenter);
        QCOMPARE(Qt::Alignment(m->index(0, 0).data(Qt::TextAlignmentRole).toInt()), Qt::AlignLeft | Qt::AlignVCenter);
        // General alignment: numbers to the right, text to the left.
        g.setTextMatrix(1, 1, "12.50");
        g.setTextMatrix(2, 1, "abc");
        QCOMPARE(Qt::Alignment(m->index(0, 1).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(Qt::Alignment(m->index(1, 1).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
    }

    void bindShowsNamesAndRows()
    {
        vb::Grid g;
        QList<QVariantList> rows{{QVariant("B001"), QVariant()}, {QVariant("B002"), QVariant(3)}};
        auto res = std::make_shared<FakeResult>(QStringList{"图书编号", "借阅次数"}, rows);
        g.bind(res);
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(g.Cols(), 2);
        QCOMPARE(g.TextMatrix(0, 0), QString("图书编号"));
        QCOMPARE(g.TextMatrix(0, 1), QString("借阅次数"));  // an alias is a name like any other
        QCOMPARE(g.view()->model()->headerData(1, Qt::Horizontal).toString(), QString("借阅次数"));
        QCOMPARE(g.TextMatrix(1, 1), QString());  // Null
        QCOMPARE(g.TextMatrix(2, 0), QString("B002"));
        QCOMPARE(g.view()->model()->index(1, 1).data().toString(), QString("3"));
        QVERIFY(g.boundResult() == res);
    }

    void writingOnABoundGrid()
    {
        vb::Grid g;
        g.bind(makeResult(100));
        g.setTextMatrix(5, 1, "改");
        QCOMPARE(g.TextMatrix(5, 1), QString("改"));
        QCOMPARE(g.TextMatrix(5, 0), QString("r5c0"));
        QCOMPARE(g.TextMatrix(6, 1), QString("r6c1"));

        // Down to two rows: header and first record stay as they were.
        g.setRows(2);
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(g.TextMatrix(0, 2), QString("数量"));
        QCOMPARE(g.TextMatrix(1, 2), QString("r1c2"));
        QCOMPARE(g.TextMatrix(2, 0), QString());
        // Rows added afterwards are empty, not the old records.
        g.setRows(4);
        QCOMPARE(g.TextMatrix(3, 0), QString());

        // Clear empties every cell and keeps the size.
        g.Clear();
        QCOMPARE(g.Rows(), 4);
        QCOMPARE(g.Cols(), 3);
        QCOMPARE(g.TextMatrix(0, 0), QString());
        QCOMPARE(g.TextMatrix(1, 0), QString());
        QVERIFY(!g.boundResult());
    }

    void selectionOfAWholeRow()
    {
        vb::Grid g;
        g.bind(makeResult(10));
        g.setRow(3);
        g.setCol(0);
        g.setColSel(g.Cols() - 1);
        QCOMPARE(g.Row(), 3);
        QCOMPARE(g.RowSel(), 3);
        QCOMPARE(g.ColSel(), 2);
        const QModelIndexList sel = g.view()->selectionModel()->selectedIndexes();
        QCOMPARE(sel.size(), 3);
        for (const QModelIndex &i : sel) QCOMPARE(i.row(), 2);  // grid row 3 is the third record
        QCOMPARE(g.view()->currentIndex().row(), 2);
        // Setting Row collapses the selection onto it.
        g.setRow(5);
        QCOMPARE(g.RowSel(), 5);
        QCOMPARE(g.view()->selectionModel()->selectedIndexes().size(), 1);
        // Rows outside the grid are refused.
        g.setRow(11);
        QCOMPARE(g.Row(), 5);
    }

    void upDownMoveBeforeKeyDown()
    {
        vb::Grid g;
        g.bind(makeResult(10));
        show(g);
        g.setRow(1);
        g.setCol(0);
        g.setColSel(2);
        g.setFocus();
        QList<QPair<int, int>> seen;  // key code, Row at the time
        connect(&g, &vb::Grid::KeyDown, &g, [&](int &code, int &) { seen.append({code, g.Row()}); });
        QTest::keyClick(g.view(), Qt::Key_Down);
        QTest::keyClick(g.view(), Qt::Key_Down);
        QTest::keyClick(g.view(), Qt::Key_Up);
        QTest::keyClick(g.view(), Qt::Key_Delete);
        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen[0], qMakePair(40, 2));
        QCOMPARE(seen[1], qMakePair(40, 3));
        QCOMPARE(seen[2], qMakePair(38, 2));
        QCOMPARE(seen[3], qMakePair(46, 2));  // Delete after Down acts on the row now highlighted
        // The highlighted row is the new row.
        QCOMPARE(g.view()->selectionModel()->selectedRows().value(0).row(), 1);
        // Up on the first record stays there.
        g.setRow(1);
        QTest::keyClick(g.view(), Qt::Key_Up);
        QCOMPARE(g.Row(), 1);
        // Letters do not move the row (no search by typing).
        g.setRow(1);
        QTest::keyClick(g.view(), Qt::Key_R);
        QCOMPARE(g.Row(), 1);
    }

    // The user's moves of the current row raise RowColChange with the new row
    // in place; Home and End go to the first and last record in the same
    // column; rows set from code raise nothing.
    void userMovesRaiseRowColChange()
    {
        vb::Grid g;
        g.bind(makeResult(30));
        show(g, 400, 150);
        g.setRow(1);
        g.setCol(1);
        g.setFocus();
        QList<int> rows;
        connect(&g, &vb::Grid::RowColChange, &g, [&] { rows.append(g.Row()); });
        QTest::keyClick(g.view(), Qt::Key_End);
        QCOMPARE(g.Row(), 30);
        QCOMPARE(g.Col(), 1);
        QTest::keyClick(g.view(), Qt::Key_Home);
        QCOMPARE(g.Row(), 1);
        QTest::keyClick(g.view(), Qt::Key_PageDown);
        const int paged = g.Row();
        QVERIFY(paged > 2 && paged < 30);
        QTest::keyClick(g.view(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(g.Row(), 30);
        QCOMPARE(rows, (QList<int>{30, 1, paged, 30}));
        g.setRow(5);
        QCOMPARE(rows.size(), 4);
        QTest::mouseClick(g.view()->viewport(), Qt::LeftButton, {}, cellCentre(g, 6, 0));
        QCOMPARE(rows.last(), 6);
    }

    void clickAndDoubleClick()
    {
        vb::Grid g;
        g.bind(makeResult(10));
        show(g);
        int clicks = 0, dbl = 0, rowAtDbl = -1;
        connect(&g, &vb::Grid::Click, &g, [&] { ++clicks; });
        connect(&g, &vb::Grid::DblClick, &g, [&] {
            ++dbl;
            rowAtDbl = g.Row();
        });
        const QPoint p = cellCentre(g, 4, 1);
        QTest::mouseClick(g.view()->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(clicks, 1);
        QCOMPARE(g.Row(), 4);
        QTest::mouseDClick(g.view()->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(g.view()->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(dbl, 1);
        QCOMPARE(rowAtDbl, 4);
        QCOMPARE(clicks, 1);  // the release ending a double click is no second click
    }

    void mouseRowIgnoresHeader()
    {
        vb::Grid g;
        g.bind(makeResult(3));
        show(g);
        QList<int> rows;
        int lastButton = -1;
        float lastX = -1, lastY = -1;
        connect(&g, &vb::Grid::MouseMove, &g, [&](int &button, int &, float &x, float &y) {
            rows << g.MouseRow();
            lastButton = button;
            lastX = x;
            lastY = y;
        });
        QHeaderView *h = g.view()->horizontalHeader();
        QWidget *vp = g.view()->viewport();
        const QPoint below(10, vp->height() - 3);
        pointTo(h->mapToGlobal(QPoint(10, h->height() / 2)));
        QCOMPARE(g.MouseRow(), 0);
        pointTo(vp->mapToGlobal(cellCentre(g, 2, 0)));
        QCOMPARE(g.MouseRow(), 2);
        QCOMPARE(g.MouseCol(), 0);
        pointTo(vp->mapToGlobal(below));
        QCOMPARE(g.MouseRow(), -1);
        pointTo(g.mapToGlobal(QPoint(-20, -20)));
        QCOMPARE(g.MouseRow(), -1);
        QCOMPARE(g.MouseCol(), -1);
        // Each move over the grid raises MouseMove, with no button held, in twips.
        QCOMPARE(rows, (QList<int>{0, 2, -1}));
        QCOMPARE(lastButton, 0);
        const QPoint inGrid = vp->mapTo(&g, below);
        QCOMPARE(lastX, float(inGrid.x() * 15));
        QCOMPARE(lastY, float(inGrid.y() * 15));
    }

    void cellPicturesAreDrawn()
    {
        // The home page's list: 13 x 3, no fixed row, pictures in columns 0 and 2.
        vb::Grid g;
        g.setFixedRows(0);
        g.setRows(13);
        g.setCols(3);
        g.setColWidth(0, 300);
        g.setColWidth(1, 3000);
        g.setColWidth(2, 300);
        QPixmap red(16, 16);
        red.fill(Qt::red);
        g.setRow(4);
        g.setCol(2);
        g.setCellPicture(red);
        g.setTextMatrix(4, 1, "查看图书权限");
        QCOMPARE(g.cellPicture(4, 2).size(), QSize(16, 16));
        QVERIFY(g.cellPicture(4, 0).isNull());
        g.setRow(0);  // picture drawn whatever the current cell
        show(g);
        const QImage img = g.view()->viewport()->grab().toImage();
        const QRect cell = g.view()->visualRect(g.view()->model()->index(4, 2));
        int reds = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (img.pixelColor(x, y) == QColor(Qt::red)) ++reds;
        QVERIFY2(reds > 50, qPrintable(QString::number(reds)));
        // Clear takes the pictures away too.
        g.Clear();
        QVERIFY(g.cellPicture(4, 2).isNull());
    }

    void largeResultBindsWithoutCopying()
    {
        // A bound grid reads the rows in place: binding does not touch each row.
        class Counting : public FakeResult {
        public:
            using FakeResult::FakeResult;
            int rowCount() const override { return 300000; }
            QString text(int row, int col) const override
            {
                ++reads;
                return QStringLiteral("%1/%2").arg(row).arg(col);
            }
            mutable int reads = 0;
        };
        auto res = std::make_shared<Counting>(QStringList{"a", "b"}, QList<QVariantList>{});
        vb::Grid g;
        g.bind(res);
        show(g);
        QCOMPARE(g.Rows(), 300001);
        QVERIFY2(res->reads < 2000, qPrintable(QString::number(res->reads)));
        QCOMPARE(g.TextMatrix(300000, 1), QString("299999/1"));
    }

    // A list counted after its first screen is painted: rows added below the
    // screen move the scroll bar alone; rows that fit on the screen are shown.
    void countComingInRepaintsOnlyWhatItShows_data()
    {
        QTest::addColumn<int>("known");
        QTest::addColumn<int>("counted");
        QTest::addColumn<bool>("repainted");
        QTest::newRow("below the screen") << 60 << 5000 << false;
        QTest::newRow("screen not yet full") << 3 << 5000 << true;
        QTest::newRow("fewer than known") << 60 << 4 << true;
    }
    void countComingInRepaintsOnlyWhatItShows()
    {
        QFETCH(int, known);
        QFETCH(int, counted);
        QFETCH(bool, repainted);
        class Growing : public FakeResult {
        public:
            using FakeResult::FakeResult;
            int rowCount() const override { return count; }
            QString text(int row, int col) const override { return QStringLiteral("%1/%2").arg(row).arg(col); }
            int count = 0;
        };
        auto res = std::make_shared<Growing>(QStringList{"a", "b"}, QList<QVariantList>{});
        res->count = known;
        vb::Grid g;
        g.bind(res);
        show(g);
        QCoreApplication::processEvents();
        struct Paints : QObject {
            int n = 0;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::Paint) ++n;
                return false;
            }
        } paints;
        QWidget *viewport = g.view()->viewport();
        viewport->installEventFilter(&paints);
        res->count = counted;
        g.followRowCount();
        QTest::qWait(50);  // the view lays its rows out on a timer
        QCOMPARE(g.Rows(), counted + 1);
        QCOMPARE(paints.n > 0, repainted);
        // The scroll bar reaches the last row, which is drawn once there.
        QScrollBar *bar = g.view()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        const int last = g.view()->rowAt(viewport->height() - 1);
        QCOMPARE(last < 0 ? g.Rows() - 2 : last, g.Rows() - 2);
        QCOMPARE(g.TextMatrix(g.Rows() - 1, 1), QStringLiteral("%1/1").arg(counted - 1));
    }

    // Cells drawn from the pictures kept look as cells laid out anew do:
    // selected or not, elided, numbers to the right, after a refresh that
    // moves the texts a row, and after a column is narrowed.
    void keptCellsLookAsDrawnAnew_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("first screen") << 0;
        QTest::newRow("list refreshed a row shorter") << 1;
        QTest::newRow("column narrowed") << 2;
        QTest::newRow("another row selected") << 3;
    }
    void keptCellsLookAsDrawnAnew()
    {
        QFETCH(int, change);
        auto result = [](int skip) {
            QList<QVariantList> rows;
            for (int r = skip; r < 40; ++r)
                rows << QVariantList{r, QStringLiteral("第%1本 一个很长很长的书名，窄列里要省略").arg(r), 12.5 * r};
            return std::make_shared<FakeResult>(QStringList{"编号", "名称", "数量"}, rows);
        };
        auto shown = [&](bool kept) {
            vb::Grid::setCellPicturesKept(kept);
            vb::Grid g;
            g.bind(result(0));
            g.setColWidth(1, 1500);
            show(g);
            g.view()->setFocus();
            QCoreApplication::processEvents();
            if (change == 1) g.bind(result(1));
            if (change == 2) g.setColWidth(1, 900);
            if (change == 3) g.setRow(5);
            QTest::qWait(50);
            const QImage img = g.screen()->grabWindow(g.winId()).toImage();
            vb::Grid::setCellPicturesKept(true);
            return img;
        };
        const QImage kept = shown(true);
        QVERIFY(!kept.isNull());
        QCOMPARE(kept, shown(false));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
