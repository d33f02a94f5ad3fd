// How fast a large query result reaches the screen through the grid, and what
// it costs in memory, measured side by side with the embedded engine's own
// time to step through the same rows.
//
//   bench_grid [copies=300000] [repetitions=5]   (QT_QPA_PLATFORM=offscreen)
//
// The statement is the copies list's; the engine runs its translation on a
// plain sqlite3 handle, stepping every row and reading every value. The grid
// side is what a list refresh does: Recordset::Open, bind, first screen painted.
#include "common/Generator.h"
#include "db/Ado.h"
#include "db/SqliteEngine.h"
#include "db/SqliteFunctions.h"
#include "ui/Grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sqlite3.h>
#include <vector>

namespace {

const char *kStatement =
    "SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, "
    "最近读者编号, "
    "最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN ORDER BY 图书编号 ASC";

// Bytes of the heap in use now: what was allocated and not freed, free of
// the allocator's and the page cache's noise that resident size carries.
long heapBytes() { return long(mallinfo2().uordblks + mallinfo2().hblkhd); }

qint64 g_sink = 0;  // keeps the reads of the engine loop

// The engine alone: step through every row and read every value
// (text as UTF-8, numbers as numbers). `bytes` gets the size of the values.
double rawStepMs(const QString &path, const QString &sql, long *bytes, int *rows)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    ado::RegisterSqliteFunctions(db);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr);
    const int cols = sqlite3_column_count(st);
    long total = 0;
    qint64 acc = 0;
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                acc += sqlite3_column_int64(st, c);
                total += 8;
                break;
            case SQLITE_FLOAT:
                acc += qint64(sqlite3_column_double(st, c));
                total += 8;
                break;
            case SQLITE_TEXT:
                acc += sqlite3_column_text(st, c)[0];
                total += sqlite3_column_bytes(st, c);
                break;
            default: break;
            }
        }
        ++n;
    }
    sqlite3_finalize(st);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close_v2(db);
    g_sink += acc;
    if (bytes) *bytes = total;
    if (rows) *rows = n;
    return ms;
}

struct GridRun {
    double openMs = 0;    // statement run and result read by the database layer
    double showMs = 0;    // bind and first screen painted
    long heapResult = 0;  // memory taken by the result
    long heapGrid = 0;    // memory taken by the grid on top of it
};

GridRun gridRun(ado::Connection &conn, vb::Grid &grid)
{
    GridRun r;
    grid.Clear();
    QCoreApplication::processEvents();
    const long heap0 = heapBytes();
    QElapsedTimer t;
    t.start();
    {
        ado::Recordset rs;
        rs.Open(QString::fromUtf8(kStatement), conn, ado::adOpenKeyset, ado::adLockReadOnly);
        r.openMs = t.nsecsElapsed() / 1e6;
        r.heapResult = heapBytes() - heap0;
        grid.bind(rs.result());
    }
    grid.setRow(1);
    grid.setCol(0);
    grid.setColSel(grid.Cols() - 1);
    QCoreApplication::processEvents();
    grid.view()->viewport()->repaint();
    r.showMs = t.nsecsElapsed() / 1e6 - r.openMs;
    r.heapGrid = heapBytes() - heap0 - r.heapResult;
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int copies = argc > 1 ? std::max(3, atoi(argv[1])) : 300000;
    const int reps = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    // Copies and titles at their full number, the rest small: only the copies list is read.
    bench::Options sizes = bench::Options::scaled(0.001);
    sizes.copies = std::max(3, copies);
    sizes.titles = std::max(1, (copies + 2) / 3);
    QString cs;
    try {
        const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p|") + path);
        bench::createAndFill(info, bench::Library(sizes));
        cs = info.toString();
    } catch (const ado::Error &e) {
        std::fprintf(stderr, "cannot make the database: %s\n", qPrintable(e.Description()));
        return 1;
    }

    vb::Grid grid;
    grid.resize(1000, 700);
    grid.show();
    if (!QTest::qWaitForWindowExposed(&grid)) return 1;

    ado::Connection conn;
    conn.Open(cs);
    const QString translated = conn.Translate(QString::fromUtf8(kStatement));

    // One small list first, so that fonts and caches the first paint of any
    // list needs are not counted against the rows.
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 50 * FROM 图书库存"), conn, ado::adOpenKeyset, ado::adLockReadOnly);
        grid.bind(rs.result());
        QCoreApplication::processEvents();
        grid.view()->viewport()->repaint();
        grid.Clear();
    }
    long dataBytes = 0;
    int counted = 0;
    rawStepMs(path, translated, &dataBytes, &counted);
    const GridRun first = gridRun(conn, grid);
    if (grid.Rows() != counted + 1) {
        std::fprintf(stderr, "grid shows %d rows, engine %d\n", grid.Rows() - 1, counted);
        return 1;
    }
    const qint64 resultBytes = grid.boundResult() ? grid.boundResult()->memoryBytes() : -1;

    std::vector<double> raw, open, show, total;
    for (int i = 0; i < reps; ++i) {
        raw.push_back(rawStepMs(path, translated, nullptr, nullptr));
        const GridRun g = gridRun(conn, grid);
        open.push_back(g.openMs);
        show.push_back(g.showMs);
        total.push_back(g.openMs + g.showMs);
    }
    const double rawMs = median(raw), totalMs = median(total);

    std::printf("rows: %d, columns: %d, values as the engine hands them: %.1f MB\n", counted, grid.Cols(),
                dataBytes / 1048576.0);
    std::printf("engine step loop:             %8.1f ms (median of %d)\n", rawMs, reps);
    std::printf("open + bind + first screen:   %8.1f ms (open %.1f, bind and paint %.1f)\n", totalMs, median(open),
                median(show));
    std::printf("ratio:                        %8.2f (limit 1.30)\n", totalMs / rawMs);
    std::printf("memory: result %.1f MB of heap (%.1f MB by its own count), grid %.1f MB\n",
                first.heapResult / 1048576.0, resultBytes / 1048576.0, first.heapGrid / 1048576.0);
    std::printf("        together %.2f x the data (limit 2.00)\n",
                double(first.heapResult + first.heapGrid) / double(std::max(1L, dataBytes)));
    return 0;
}
