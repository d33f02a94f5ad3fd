// How fast a large query result reaches the screen through the grid, and what
// it costs in memory, measured side by side with the embedded engine's own
// time to step through the same rows.
//
//   bench_grid [rows]        (default 300000; run with QT_QPA_PLATFORM=offscreen)
#include "platform/Ado.h"
#include "platform/Grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace {

const char *kSelect = "SELECT 图书编号, ISBN, 图书名称, 状态, 最近读者编号, 最近借阅日期, 价格 FROM 书目样本";

long rssBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void makeTable(const QString &path, int rows)
{
    sqlite3 *db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db,
                       "CREATE TABLE 书目样本 (图书编号 TEXT COLLATE NOCASE PRIMARY KEY, ISBN TEXT COLLATE NOCASE,"
                       " 图书名称 TEXT COLLATE NOCASE, 状态 TEXT COLLATE NOCASE, 最近读者编号 TEXT COLLATE NOCASE,"
                       " 最近借阅日期 DATETIME, 价格 INTEGER);"
                       "BEGIN;",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_stmt *st = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO 书目样本 VALUES (?,?,?,?,?,?,?)", -1, &st, nullptr), db);
    for (int i = 0; i < rows; ++i) {
        const QByteArray id = QByteArray("B") + QByteArray::number(i).rightJustified(7, '0');
        const QByteArray isbn = QByteArray("978-7-") + QByteArray::number(100000 + i % 5000);
        const QByteArray title = QStringLiteral("数据库系统概论（第%1版）").arg(i % 97).toUtf8();
        const QByteArray state = (i % 3 ? QStringLiteral("空闲") : QStringLiteral("借出")).toUtf8();
        const QByteArray reader = QByteArray("R") + QByteArray::number(i % 4000).rightJustified(5, '0');
        const QByteArray date = QByteArray("2024-0") + QByteArray::number(1 + i % 9) + "-1"
            + QByteArray::number(i % 10) + " 10:00:00";
        sqlite3_bind_text(st, 1, id.constData(), id.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, isbn.constData(), isbn.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, title.constData(), title.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, state.constData(), state.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, reader.constData(), reader.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, date.constData(), date.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 7, 1000 + i % 9000);
        check(sqlite3_step(st), db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// The engine alone: step through every row and read every value as text.
double rawStepMs(const QString &path, long *bytes, int *rows)
{
    sqlite3 *db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    check(sqlite3_prepare_v2(db, kSelect, -1, &st, nullptr), db);
    const int cols = sqlite3_column_count(st);
    long total = 0;
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c) {
            sqlite3_column_text(st, c);
            total += sqlite3_column_bytes(st, c);
        }
        ++n;
    }
    sqlite3_finalize(st);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    if (bytes)
        *bytes = total;
    if (rows)
        *rows = n;
    return ms;
}

struct GridRun {
    double openMs = 0;   // statement run and result read by the database layer
    double showMs = 0;   // bind and first screen painted
    long rssResult = 0;  // memory taken by the result
    long rssGrid = 0;    // memory taken by the grid on top of it
};

GridRun gridRun(ado::Connection &conn, vb::Grid &grid)
{
    GridRun r;
    grid.Clear();
    QCoreApplication::processEvents();
    const long rss0 = rssBytes();
    QElapsedTimer t;
    t.start();
    {
        ado::Recordset rs;
        rs.Open(QString::fromUtf8(kSelect), conn, ado::adOpenKeyset, ado::adLockReadOnly);
        r.openMs = t.nsecsElapsed() / 1e6;
        r.rssResult = rssBytes() - rss0;
        grid.bind(rs.result());
    }
    grid.setRow(1);
    grid.setCol(0);
    grid.setColSel(grid.Cols() - 1);
    QCoreApplication::processEvents();
    grid.view()->viewport()->repaint();
    r.showMs = t.nsecsElapsed() / 1e6 - r.openMs;
    r.rssGrid = rssBytes() - rss0 - r.rssResult;
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
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 300000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    makeTable(path, rows);

    vb::Grid grid;
    grid.resize(1000, 700);
    grid.show();
    if (!QTest::qWaitForWindowExposed(&grid))
        return 1;

    ado::Connection conn;
    conn.Open(QStringLiteral("Driver={SQL Server};Server=sqlite;UID=bench;PWD=bench;Database=") + path);

    // Memory first, in a process that has not held a result yet.
    long dataBytes = 0;
    int counted = 0;
    rawStepMs(path, &dataBytes, &counted);
    const GridRun first = gridRun(conn, grid);
    if (grid.Rows() != counted + 1) {
        std::fprintf(stderr, "grid shows %d rows, engine %d\n", grid.Rows() - 1, counted);
        return 1;
    }

    std::vector<double> raw, open, show, total;
    for (int i = 0; i < 5; ++i) {
        raw.push_back(rawStepMs(path, nullptr, nullptr));
        const GridRun g = gridRun(conn, grid);
        open.push_back(g.openMs);
        show.push_back(g.showMs);
        total.push_back(g.openMs + g.showMs);
    }
    const double rawMs = median(raw), totalMs = median(total);

    std::printf("rows: %d, columns: %d, data: %.1f MB (text bytes as stored)\n", counted, grid.Cols(),
                dataBytes / 1048576.0);
    std::printf("engine step loop:            %8.1f ms\n", rawMs);
    std::printf("open + bind + first screen:  %8.1f ms  (open %.1f, bind and paint %.1f)  ratio %.2f (limit 1.30)\n",
                totalMs, median(open), median(show), totalMs / rawMs);
    std::printf("memory: result %.1f MB, grid %.1f MB, together %.2f x data (limit 2.00)\n",
                first.rssResult / 1048576.0, first.rssGrid / 1048576.0,
                double(first.rssResult + first.rssGrid) / double(std::max(1L, dataBytes)));
    return 0;
}
