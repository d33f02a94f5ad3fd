// The desk's own work on a large library: 50,000 readers, 300,000 copies and
// 1,000,000 loans in the embedded database.
//
//   bench_circulation [database-file]   (run with QT_QPA_PLATFORM=offscreen)
//
// With a file name the database is made there once and reused on later runs;
// without, it is made in a temporary folder. Times, through the windows themselves:
//   reader look-up       Enter in the lending window's reader box
//   copy look-up         Enter in its copy box (the copy is added to the list)
//   five-copy lending    the confirmation: re-check, 5 loans, 5 copies, the reader, in one transaction
// (each must stay under 10 ms), and the returning window's list of open loans
// (statement, result and first screen) against the engine's own time to step
// through the same statement's rows (limit 1.3x).
#include "circulation/CirculationForms.h"
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "common/Generator.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "db/Engine.h"
#include "db/SqliteEngine.h"
#include "db/SqliteFunctions.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

struct Stats {
    double median = 0, p95 = 0, max = 0;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    Stats s;
    s.median = v[v.size() / 2];
    s.p95 = v[std::min(v.size() - 1, size_t(v.size() * 0.95))];
    s.max = v.back();
    return s;
}

void report(const char *what, const Stats &s, double limit)
{
    std::printf("%-34s median %6.2f ms  p95 %6.2f ms  max %6.2f ms  %s (limit %.0f ms)\n", what, s.median, s.p95, s.max,
                s.p95 < limit ? "ok" : "OVER", limit);
}

// The engine alone: the translated statement stepped on a plain handle, every column read.
double engineMs(const QString &path, const QString &sql, long &rows)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    ado::RegisterSqliteFunctions(db);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "engine: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    const int cols = sqlite3_column_count(st);
    rows = 0;
    long bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                bytes += sqlite3_column_bytes(st, c);
            else
                bytes += sqlite3_column_int64(st, c) & 1;
        }
        ++rows;
    }
    sqlite3_finalize(st);
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    return bytes < 0 ? 0 : ms;
}

void typeAndEnter(FTextBox *box, const QString &text)
{
    box->setText(text);
    int key = 13;
    emit box->KeyPress(key);
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.filePath(QStringLiteral("library.db"));

    bench::Sizes sizes;
    sizes.titles = 100000;
    sizes.copiesPerTitle = 3;
    sizes.readers = 50000;
    sizes.loans = 1000000;
    if (!QFile::exists(path)) {
        std::printf("making %s ...\n", qPrintable(path));
        QElapsedTimer t;
        t.start();
        bench::createDatabase(path, sizes);
        std::printf("made in %.1f s\n", t.elapsed() / 1000.0);
    }

    OpenSQLConnection(SQLConn(), QStringLiteral("sqlite"), QStringLiteral("bench"), QStringLiteral("bench"), path);
    CurUID = QStringLiteral("admin");
    QString lastMessage;
    SetMsgBoxHook([&](const QString &m, const QString &, const QString &) {
        lastMessage = m;
        return 1;
    });
    RegisterCirculationForms();
    Frm_Main &main = vb::Default<Frm_Main>();
    main.Show();
    if (!QTest::qWaitForWindowExposed(&main)) return 1;

    // Readers of the teachers' category (limit 10), each lending once.
    std::vector<QString> teachers;
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral(
                    "SELECT 读者编号 FROM 读者档案 WHERE 读者类别 = '教师' AND 状态 = '正常' AND 当前借书数量 = 0"),
                SQLConn());
        while (!rs.EOF_() && teachers.size() < 200) {
            teachers.push_back(rs.Fields(0).toString());
            rs.MoveNext();
        }
    }
    // Copies that can be lent: free, of a title that may be lent.
    std::vector<QString> copies;
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 图书编号 FROM 图书库存, 图书档案 WHERE 图书库存.ISBN = 图书档案.ISBN AND "
                               "可否外借 = 1 AND 状态 = '空闲' AND 图书编号 > 'B0150000'"),
                SQLConn());
        while (!rs.EOF_() && copies.size() < 2000) {
            copies.push_back(rs.Fields(0).toString());
            rs.MoveNext();
        }
    }
    if (teachers.size() < 100 || copies.size() < 1000) {
        std::fprintf(stderr, "not enough readers (%zu) or copies (%zu) left in %s\n", teachers.size(), copies.size(),
                     qPrintable(path));
        return 1;
    }

    // ---- Lending.
    Frm_BorrowBook &borrow = vb::Default<Frm_BorrowBook>();
    ChildFormSwitch(&borrow, main.Cmd_NBarBrwBook.get());
    QCoreApplication::processEvents();
    std::vector<double> readerMs, copyMs, confirmMs;
    // A day of its own for each run on the same database (500 loans a run).
    int earlierRuns = 0;
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT COUNT(*) FROM 图书借阅 WHERE 借书日期 >= '2031-01-01'"), SQLConn());
        earlierRuns = rs.Fields(0).toInt() / 500;
    }
    const QDateTime clock(QDate(2031, 1, 1).addDays(earlierRuns), QTime(10, 0, 0));
    size_t nextCopy = 0;
    for (int i = 0; i < 100; ++i) {
        vb::SetTestClock(clock.addSecs(i));  // loan numbers come from the clock: one lending per second
        QElapsedTimer t;
        t.start();
        typeAndEnter(borrow.Txt_RID.get(), teachers[size_t(i)]);
        readerMs.push_back(t.nsecsElapsed() / 1e6);
        if (borrow.AcceptedReader() != teachers[size_t(i)]) {
            std::fprintf(stderr, "reader %s not accepted: %s\n", qPrintable(teachers[size_t(i)]),
                         qPrintable(lastMessage));
            return 1;
        }
        for (int c = 0; c < 5; ++c) {
            t.restart();
            typeAndEnter(borrow.Txt_BID.get(), copies[nextCopy++]);
            copyMs.push_back(t.nsecsElapsed() / 1e6);
        }
        if (borrow.Lst_View->ListItems().Count() != 5) {
            std::fprintf(stderr, "copies not added: %s\n", qPrintable(lastMessage));
            return 1;
        }
        t.restart();
        borrow.Cmd_OK_Click();
        confirmMs.push_back(t.nsecsElapsed() / 1e6);
        if (lastMessage != QStringLiteral("借书成功！共借出 5 本图书。")) {
            std::fprintf(stderr, "lending failed: %s\n", qPrintable(lastMessage));
            return 1;
        }
    }
    vb::ClearTestClock();
    report("reader look-up", stats(readerMs), 10);
    report("copy look-up (added to the list)", stats(copyMs), 10);
    report("five-copy lending confirmed", stats(confirmMs), 10);

    // ---- Returning: the list of open loans.
    Frm_ReturnBook &ret = vb::Default<Frm_ReturnBook>();
    ChildFormSwitch(&ret, main.Cmd_NBarReturnBook.get());
    QCoreApplication::processEvents();
    const QString translated = SQLConn().engine()->translate(ret.SQLText);
    std::vector<double> windowMs, rawMs;
    long rows = 0;
    for (int i = 0; i < 5; ++i) {
        rawMs.push_back(engineMs(path, translated, rows));
        QElapsedTimer t;
        t.start();
        ret.Cmd_Refresh_Click();
        QCoreApplication::processEvents();
        ret.Grid_ShowData->view()->viewport()->repaint();
        windowMs.push_back(t.nsecsElapsed() / 1e6);
    }
    if (ret.Grid_ShowData->Rows() != rows + 1) {
        std::fprintf(stderr, "grid shows %d rows, engine %ld\n", ret.Grid_ShowData->Rows() - 1, rows);
        return 1;
    }
    const double eng = *std::min_element(rawMs.begin(), rawMs.end());
    const double win = *std::min_element(windowMs.begin(), windowMs.end());
    std::printf("open loans listed: %ld rows\n", rows);
    std::printf("engine step loop                   %8.1f ms\n", eng);
    std::printf("returning window refresh + paint   %8.1f ms  ratio %.2f (limit 1.30) %s\n", win, win / eng,
                win / eng <= 1.3 ? "ok" : "OVER");
    main.Unload();
    return 0;
}
