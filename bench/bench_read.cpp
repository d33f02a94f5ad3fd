// Reading a large result through ado::Recordset against the engine's own time
// for the same statement.
//
//   bench_read [copies=300000] [repetitions=5]
//
// Makes a temporary database with `copies` copies (one title per three
// copies), then times, side by side:
//   engine  the translated statement run on a plain sqlite3 handle, stepping
//           every row and reading every column (text as UTF-8, numbers as
//           numbers): the least any reader can spend;
//   layer   Recordset::Open of the program's statement: translation, the same
//           steps, and the rows stored in the compact ResultSet.
// Prints the best of the repetitions of each and their ratio (target <= 1.3).

#include "common/Generator.h"
#include "db/Ado.h"
#include "db/SqliteEngine.h"
#include "db/SqliteFunctions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <sqlite3.h>

namespace {

const char *kStatement =
    "SELECT 图书编号, 图书名称, 作者, 图书库存.ISBN, CONVERT(varchar(20),入库日期,20) AS 入库日期, 经手人, "
    "最近读者编号, "
    "最近借阅日期, 状态 FROM 图书档案,图书库存 WHERE 图书档案.ISBN =* 图书库存.ISBN ORDER BY 图书编号 ASC";

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : 0;
}

// The engine alone: step and read every column.
double engineRun(const QString &path, const QString &sql, long &rows, qint64 &checksum)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    ado::RegisterSqliteFunctions(db);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr);
    const int cols = sqlite3_column_count(st);
    rows = 0;
    checksum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: checksum += sqlite3_column_int64(st, c); break;
            case SQLITE_FLOAT: checksum += qint64(sqlite3_column_double(st, c)); break;
            case SQLITE_TEXT:
                checksum += sqlite3_column_bytes(st, c);
                checksum += sqlite3_column_text(st, c)[0];
                break;
            default: break;
            }
        }
        ++rows;
    }
    sqlite3_finalize(st);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close_v2(db);
    return ms;
}

double layerRun(ado::Connection &conn, long &rows, ado::ResultSetPtr &keep)
{
    QElapsedTimer t;
    t.start();
    ado::Recordset rs;
    rs.Open(QString::fromUtf8(kStatement), conn, ado::adOpenKeyset, ado::adLockReadOnly);
    rows = rs.RecordCount();
    const double ms = t.nsecsElapsed() / 1e6;
    keep = rs.result();
    return ms;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int copies = args.size() > 1 ? args[1].toInt() : 300000;
    const int reps = args.size() > 2 ? std::max(1, args[2].toInt()) : 5;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    // Copies and titles at their full number, the rest small: only the copies list is read.
    bench::Options sizes = bench::Options::scaled(0.001);
    sizes.copies = std::max(3, copies);
    sizes.titles = std::max(1, (copies + 2) / 3);
    QElapsedTimer gen;
    gen.start();
    QString cs;
    try {
        const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|u|p|") + path);
        bench::createAndFill(info, bench::Library(sizes));
        cs = info.toString();
    } catch (const ado::Error &e) {
        out << "cannot make the database: " << e.Description() << Qt::endl;
        return 1;
    }
    out << "generated " << sizes.titles << " titles, " << sizes.copies << " copies in " << gen.elapsed() << " ms"
        << Qt::endl;

    ado::Connection conn;
    conn.Open(cs);
    const QString translated = conn.Translate(QString::fromUtf8(kStatement));

    double bestEngine = 1e300, bestLayer = 1e300;
    long engineRows = 0, layerRows = 0;
    qint64 checksum = 0;
    ado::ResultSetPtr keep;
    // One unmeasured round of each warms the page cache.
    engineRun(path, translated, engineRows, checksum);
    layerRun(conn, layerRows, keep);
    keep.reset();
    const long rssBefore = residentKb();
    for (int i = 0; i < reps; ++i) {
        bestEngine = std::min(bestEngine, engineRun(path, translated, engineRows, checksum));
        keep.reset();
        bestLayer = std::min(bestLayer, layerRun(conn, layerRows, keep));
    }
    const long rssAfter = residentKb();

    out << "statement: " << QString::fromUtf8(kStatement) << Qt::endl;
    out << "rows: engine " << engineRows << ", layer " << layerRows << Qt::endl;
    out << QStringLiteral("engine step loop : %1 ms (best of %2)").arg(bestEngine, 0, 'f', 1).arg(reps) << Qt::endl;
    out << QStringLiteral("ado::Recordset   : %1 ms (best of %2)").arg(bestLayer, 0, 'f', 1).arg(reps) << Qt::endl;
    out << QStringLiteral("ratio            : %1 (target <= 1.30)").arg(bestLayer / bestEngine, 0, 'f', 2) << Qt::endl;
    out << QStringLiteral("result held in memory: %1 MB (%2 bytes per row); resident growth %3 MB")
               .arg(double(keep->memoryBytes()) / 1048576.0, 0, 'f', 1)
               .arg(double(keep->memoryBytes()) / std::max(1L, layerRows), 0, 'f', 1)
               .arg(double(std::max(0L, rssAfter - rssBefore)) / 1024.0, 0, 'f', 1)
        << Qt::endl;
    return engineRows == layerRows ? 0 : 1;
}
