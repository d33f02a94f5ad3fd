// What a user of the program waits for, on a generated library of a real
// library's size, through the windows themselves (logged in as admin,
// offscreen), each figure beside its limit: the engine's best plan for the
// same rows, run in the same process on a plain handle (common/Limits.h).
//
//   bench_windows run --engine sqlite|server --scale S [--server LINE] [--seed N]
//                     [--reps N] [--data DIR] [--out FILE] [--only ID,...]
//   bench_windows report --data DIR --scales S,S... [--show S,...]
//
// `run` makes (or takes from DIR) the library at `scale` times the default
// counts, times every step and writes one line a step to FILE; `report`
// prints the table of the runs in DIR/results, each step's growth from the
// smaller scale beside it. bench/run-all runs both on both engines.
#include "catalogue/Frm_BookInfo.h"
#include "catalogue/Frm_BookStore.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_Query.h"
#include "circulation/Frm_ReturnBook.h"
#include "circulation/Frm_Statistics.h"
#include "common/AllForms.h"
#include "common/Generator.h"
#include "common/Limits.h"
#include "common/Native.h"
#include "common/Report.h"
#ifdef BENCH_SCREEN
#include "common/Screen.h"
#endif
#include "core/ChildFormSwitch.h"
#include "core/ChildListForm.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "tools/Invariants.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <malloc.h>
#include <map>
#include <optional>

using namespace bench;

namespace {

// Rows of a first screen: the grid of a maximised window shows fewer.
constexpr int kScreen = 40;
// How long a window may take before its step is given up.
constexpr int kGiveUpMs = 120000;

struct Args {
    QString command, engine = QStringLiteral("sqlite"), server, data, out;
    QStringList only, scales, show;
    double scale = 1;
    quint32 seed = 1;
    int reps = 5;
    bool clerk = false;    // time what the screen shows (bench/run-all's clerk run, under Xvfb)
    bool crowded = false;  // the library shaped otherwise (Options::crowded)
};

double median(std::vector<double> v)
{
    if (v.empty()) return std::nan("");
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double msOf(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// Heap in use: what is allocated and not freed, without the allocator's
// free lists and the page cache that resident size carries.
long heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return long(m.uordblks + m.hblkhd);
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void say(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

QString u(const char *s) { return QString::fromUtf8(s); }

// Counts the paintings of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *w) : m_w(w) { w->installEventFilter(this); }
    ~PaintCounter() override
    {
        if (m_w) m_w->removeEventFilter(this);
    }
    PaintCounter(const PaintCounter &) = delete;
    PaintCounter &operator=(const PaintCounter &) = delete;
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }

private:
    QPointer<QWidget> m_w;
};

// The statements the program runs while it lives, each timed until the next
// one begins (or the log ends): what a window spends besides its statements
// is counted with the statement before it.
class StatementLog {
public:
    StatementLog()
    {
        m_clock.start();
        ado::Connection::SetStatementHook(
            [this](const QString &statement) { m_starts.emplace_back(statement, m_clock.nsecsElapsed()); });
    }
    ~StatementLog()
    {
        ado::Connection::SetStatementHook(nullptr);
        if (qEnvironmentVariableIsSet("BENCH_TRACE")) trace();
    }
    StatementLog(const StatementLog &) = delete;
    StatementLog &operator=(const StatementLog &) = delete;

    // "N ms: statement" of the slowest, up to now; "" when none ran.
    QString slowest() const
    {
        const qint64 end = m_clock.nsecsElapsed();
        qint64 most = -1;
        QString which;
        for (size_t i = 0; i < m_starts.size(); ++i) {
            const qint64 took = (i + 1 < m_starts.size() ? m_starts[i + 1].second : end) - m_starts[i].second;
            if (took > most) {
                most = took;
                which = m_starts[i].first;
            }
        }
        if (most < 0) return QString();
        const QString text = which.simplified();
        return QStringLiteral("%1 ms: %2")
            .arg(double(most) / 1e6, 0, 'f', 1)
            .arg(text.size() > 200 ? text.left(197) + QStringLiteral("...") : text);
    }

private:
    // BENCH_TRACE=1: every statement of the round and its time, on stderr.
    void trace() const
    {
        const qint64 end = m_clock.nsecsElapsed();
        for (size_t i = 0; i < m_starts.size(); ++i) {
            const qint64 took = (i + 1 < m_starts.size() ? m_starts[i + 1].second : end) - m_starts[i].second;
            say(QStringLiteral("    %1 ms  %2")
                    .arg(double(took) / 1e6, 7, 'f', 2)
                    .arg(m_starts[i].first.simplified().left(160)));
        }
    }

    QElapsedTimer m_clock;
    std::vector<std::pair<QString, qint64>> m_starts;
};

// ---------------------------------------------------------------- the databases

struct Databases {
    ado::ConnectionInfo work;   // the windows' database
    ado::ConnectionInfo limit;  // a copy with the limits' indexes
    ado::ConnectionInfo empty;  // the schema and the initial contents only
    QString made;               // how it was made, for the log
};

void makeLimitCopy(const ado::ConnectionInfo &limit)
{
    const std::unique_ptr<NativeDb> db = NativeDb::open(limit);
    for (const QString &sql : Sql(db->isServer()).limitIndexes()) db->exec(sql);
}

// The embedded engine: the library is made once per contents and kept in
// DIR; each run works on a copy of it, and the limits on a copy with indexes.
Databases embedded(const Args &a, const Options &o)
{
    QString made;
    const QString cache = keptEmbeddedLibrary(a.data, o, made);
    const QString key = o.key() + QLatin1Char('-') + schemaFingerprint();
    const QString limit = QDir(a.data).filePath(QStringLiteral("limit-%1.db").arg(key));
    const QString work = QDir(a.data).filePath(QStringLiteral("work-%1.db").arg(key));
    auto info = [](const QString &path) {
        return ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|bench|bench|") + path);
    };
    const QString empty = QDir(a.data).filePath(QStringLiteral("empty.db"));
    Databases d{info(work), info(limit), info(empty), made};
    QFile::remove(empty);
    ado::CreateDatabase(d.empty, schemaDir());
    // A limit copy older than the library is of another one.
    if (QFile::exists(limit) && QFileInfo(limit).lastModified() < QFileInfo(cache).lastModified()) QFile::remove(limit);
    if (!QFile::exists(limit)) {
        const QString part = limit + QStringLiteral(".part");
        copyFile(cache, part);
        makeLimitCopy(info(part));
        QFile::rename(part, limit);
    }
    copyFile(cache, work);
    // The limits write too (a return, a lending): a fresh copy each run keeps them beside the windows' data.
    const QString limitRun = QDir(a.data).filePath(QStringLiteral("limit-run-%1.db").arg(key));
    copyFile(limit, limitRun);
    d.limit = info(limitRun);
    return d;
}

// The server: the cluster is new on every run, so the library is loaded anew
// (by COPY); the limits' copy is made from it as the server copies databases.
Databases server(const Args &a, const Options &o)
{
    const ado::ConnectionInfo base = ado::ConnectionInfo::fromSettings(a.server);
    const QString name =
        QStringLiteral("bench_")
        + QString::fromLatin1(QCryptographicHash::hash(o.key().toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    Databases d{base, base, base, QString()};
    d.work.database = name;
    d.limit.database = name + QStringLiteral("_limit");
    d.empty.database = QStringLiteral("bench_empty");
    PGconn *admin = connectServer(base, base.database);
    // BENCH_REUSE=1 takes the databases a former run left, to look into one
    // step again without loading the library anew (its returns and lendings stay).
    if (qEnvironmentVariableIsSet("BENCH_REUSE")) {
        PGresult *res =
            PQexec(admin, QStringLiteral("SELECT count(*) FROM pg_database WHERE datname IN ('%1', '%2', '%3')")
                              .arg(d.work.database, d.limit.database, d.empty.database)
                              .toUtf8()
                              .constData());
        const bool all = PQresultStatus(res) == PGRES_TUPLES_OK && QByteArray(PQgetvalue(res, 0, 0)) == "3";
        PQclear(res);
        if (all) {
            PQfinish(admin);
            d.made = QStringLiteral("taken from a former run");
            return d;
        }
    }
    try {
        for (const QString &db : {d.limit.database, d.work.database, d.empty.database})
            execServer(admin, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoteName(db)));
        QElapsedTimer t;
        t.start();
        say(QStringLiteral("loading the library into %1 (%2) ...").arg(name, o.key()));
        const Library library(o);
        const double madeMs = msOf(t);
        createAndFill(d.work, library);
        d.made = QStringLiteral("made in %1 s (%2 s of it by COPY and VACUUM ANALYZE)")
                     .arg(msOf(t) / 1000, 0, 'f', 1)
                     .arg((msOf(t) - madeMs) / 1000, 0, 'f', 1);
        // The check's "NOT IN (SELECT 图书编号 FROM 图书库存)" is hashed only when
        // every copy number fits in work_mem; with the server's default (4 MB)
        // it compares each open loan with every copy, for hours at this size.
        // Raised for the check alone: the windows run with the default.
        execServer(admin, QStringLiteral("ALTER DATABASE %1 SET work_mem = '256MB'").arg(quoteName(name)));
        t.restart();
        checkInvariants(d.work);
        execServer(admin, QStringLiteral("ALTER DATABASE %1 RESET work_mem").arg(quoteName(name)));
        d.made += QStringLiteral(", checked in %1 s").arg(msOf(t) / 1000, 0, 'f', 1);
        execServer(admin,
                   QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(quoteName(d.limit.database), quoteName(name)));
        ado::CreateDatabase(d.empty, schemaDir());
    } catch (...) {
        PQfinish(admin);
        throw;
    }
    PQfinish(admin);
    makeLimitCopy(d.limit);
    return d;
}

// ---------------------------------------------------------------- the session

class Bench {
public:
    Bench(const Args &a, const Databases &d) : m_a(a), m_db(d), m_lim(NativeDb::open(d.limit)), m_sql(m_lim->isServer())
    {
        if (m_lim->isServer()) m_lim->exec(QStringLiteral("SET random_page_cost = 1.1"));
    }

    void login();
    void use(const ado::ConnectionInfo &info);
    void runAll();
    const std::vector<Result> &results() const { return m_results; }

private:
    struct Expect {
        long count = 0;
        QStringList keys;  // the first screen's keys, in order; empty when the list names no order
        double ms = 0;     // the limit's time
    };
    // The limit of a list: count and first screen, timed.
    Expect limitOf(const Limit &l, bool ordered);
    double timeStatements(const QStringList &statements);

    bool wanted(const QString &id) const
    {
        if (m_a.only.isEmpty()) return true;
        return std::any_of(m_a.only.begin(), m_a.only.end(), [&](const QString &p) { return id.startsWith(p); });
    }
    Result result(const QString &id, const QString &title, const QString &kind) const
    {
        Result r;
        r.id = id;
        r.title = title;
        r.engine = m_lim->isServer() ? QStringLiteral("server") : QStringLiteral("sqlite");
        r.scale = m_a.scale;
        r.kind = kind;
        r.value = std::nan("");
        return r;
    }
    void add(Result r)
    {
        // A first screen's limit is the window's own cost with no rows (on
        // an empty library) and the best plan for the rows; a window's memory
        // counts above the same window's on the empty library.
        // Painting the rows of a first screen is the window's too: what the
        // grid takes to paint them again as shown, above painting it empty.
        const auto floor = m_floor.find(r.id);
        if (floor != m_floor.end()) {
            if (r.kind == QLatin1String("memory"))
                r.value -= floor->second;
            else
                r.empty = floor->second;
        }
        const auto emptyPaint = m_floorPaint.find(r.id);
        if (emptyPaint != m_floorPaint.end()) r.paint = std::max(0.0, r.paint - emptyPaint->second);
        r.limit = r.kind == QLatin1String("memory") ? r.plan : r.plan + r.empty + r.paint;
        say(QStringLiteral("  %1 [%2]: %3 %4 (limit %5)%6")
                .arg(r.title, r.engine)
                .arg(r.value, 0, 'f', 2)
                .arg(r.kind == QLatin1String("memory") ? QStringLiteral("bytes") : QStringLiteral("ms"))
                .arg(r.limit, 0, 'f', 2)
                .arg(r.check.isEmpty() ? QString() : QStringLiteral(" -- ") + r.check));
        m_results.push_back(r);
    }
    // Runs a step; a failure of it becomes its line's check.
    void step(const QString &id, const QString &title, const QString &kind, const std::function<void(Result &)> &body)
    {
        if (!wanted(id)) return;
        Result r = result(id, title, kind);
        try {
            body(r);
        } catch (const std::exception &e) {
            r.value = std::nan("");
            r.check = QStringLiteral("failed: ") + ErrorText(e);
        }
        add(r);
    }

    // Waits until the grid holds the first screen of `expect`: the count's
    // rows, the first screen's cells read, and the first key where the list
    // names its order. Returns false after kGiveUpMs.
    bool waitScreen(vb::Grid *g, const Expect &expect, int keyCol);
    // What differs between the grid and the limit's rows; "" when nothing.
    QString compare(vb::Grid *g, const Expect &expect, int keyCol, bool countTip);
    // Times `act` (which returns the grid it fills) reps + 1 times, `prepare`
    // untimed before each: it readies the window for round `round` and gives
    // what the grid must then hold, with the limit's time. The first round
    // only fills the caches. The line gets the medians, the rows, and the
    // first difference from the limit (or what `verify` finds after a round).
    void timeScreens(Result &r, const std::function<Expect(int round)> &prepare, const std::function<vb::Grid *()> &act,
                     int keyCol, bool countTip, const std::function<QString()> &verify = nullptr);

    void closeWindow();
    ChildListForm *openList(void (Frm_Main::*open)(), const QString &className);

    void listWindows();
    void searches();
    void finds();
    void statistics();
    void returning();
    void lending();
    void startUp();
#ifdef BENCH_SCREEN
public:
    // The clerk's run: the same windows timed from the key press (or the
    // menu item, the button) until the screen shows the result, on the
    // empty library first (the floor), then on the library.
    void clerkRun(Screen &screen);

private:
    void clerk(Screen &screen);
    void clerkLine(const QString &id, const QString &title, const QString &kind, const std::vector<double> &times,
                   const QString &check);
#endif

    Args m_a;
    Databases m_db;
    bool m_empty = false;                    // the windows run on the empty library
    std::map<QString, double> m_floor;       // step: the window's time (or memory) on the empty library
    std::map<QString, double> m_floorPaint;  // step: its grid painted empty
    std::unique_ptr<NativeDb> m_lim;
    Sql m_sql;
    std::vector<Result> m_results;
    QString m_lastMessage;
};

// The program's one connection, to `info`, as a login makes it.
void Bench::use(const ado::ConnectionInfo &info)
{
    closeWindow();
    UseDatabase(info);
}

void Bench::login()
{
    closeWindow();
    Frm_Main &m = AdminSession(m_db.work, [this](const QString &text) { m_lastMessage = text; });
    m.resize(1280, 800);
    if (!QTest::qWaitForWindowExposed(&m)) throw ado::Error(QStringLiteral("the main window did not show"));
    settle();
}

Bench::Expect Bench::limitOf(const Limit &l, bool ordered)
{
    Expect e;
    QElapsedTimer t;
    t.start();
    e.count = m_lim->scalar(l.count).toLong();
    const NativeDb::Result rows = m_lim->query(l.rows + QStringLiteral(" LIMIT %1").arg(kScreen), kScreen);
    e.ms = msOf(t);
    if (ordered)
        for (const QStringList &row : rows.kept) e.keys << row.value(0);
    return e;
}

double Bench::timeStatements(const QStringList &statements)
{
    QElapsedTimer t;
    t.start();
    try {
        for (const QString &s : statements) {
            if (s.startsWith(QLatin1String("SELECT")))
                m_lim->query(s, 0);
            else
                m_lim->exec(s);
        }
    } catch (...) {
        if (statements.value(0).startsWith(QLatin1String("BEGIN"))) m_lim->exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    return msOf(t);
}

bool Bench::waitScreen(vb::Grid *g, const Expect &expect, int keyCol)
{
    QElapsedTimer t;
    t.start();
    const int need = int(std::min<long>(kScreen, expect.count));
    // The screen counts once it is painted: the window paints what changed
    // as its events are handled, and the grid is asked to paint once more
    // only when it has not (painting it twice would count twice).
    PaintCounter painted(g->view()->viewport());
    for (;;) {
        g->view()->viewport()->update();
        QCoreApplication::processEvents();
        if (painted.count == 0) g->view()->viewport()->repaint();
        bool filled =
            expect.count == 0
            || (g->Rows() - 1 == expect.count && !g->TextMatrix(1, 0).isEmpty() && !g->TextMatrix(need, 0).isEmpty());
        if (filled && keyCol >= 0 && !expect.keys.isEmpty()) filled = g->TextMatrix(1, keyCol) == expect.keys.front();
        if (filled) return true;
        painted.count = 0;
        if (t.elapsed() > kGiveUpMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

QString Bench::compare(vb::Grid *g, const Expect &expect, int keyCol, bool countTip)
{
    QStringList diff;
    const long shown = g->Rows() - 1 == 1 && g->TextMatrix(1, 0).isEmpty() ? 0 : g->Rows() - 1;
    if (shown != expect.count) diff << QStringLiteral("%1 rows where the limit counts %2").arg(shown).arg(expect.count);
    if (countTip) {
        const QString tip = vb::Default<Frm_Main>().Lbl_SBarTip->Caption();
        const QString want = u("共有 %1 条记录").arg(expect.count);
        if (tip != want) diff << QStringLiteral("status bar '%1' where '%2'").arg(tip, want);
    }
    if (keyCol >= 0)
        for (int i = 0; i < expect.keys.size() && i + 1 < g->Rows(); ++i)
            if (g->TextMatrix(i + 1, keyCol) != expect.keys[i]) {
                diff << QStringLiteral("row %1 is %2 where the limit has %3")
                            .arg(i + 1)
                            .arg(g->TextMatrix(i + 1, keyCol), expect.keys[i]);
                break;
            }
    return diff.join(QStringLiteral("; "));
}

void Bench::timeScreens(Result &r, const std::function<Expect(int)> &prepare, const std::function<vb::Grid *()> &act,
                        int keyCol, bool countTip, const std::function<QString()> &verify)
{
    std::vector<double> window, limit, paint;
    for (int i = 0; i <= m_a.reps; ++i) {
        const Expect e = prepare(i);
        std::optional<StatementLog> log;  // the last round's statements
        if (i == m_a.reps) log.emplace();
        QElapsedTimer t;
        t.start();
        vb::Grid *g = act();
        if (!waitScreen(g, e, keyCol)) {
            r.check =
                QStringLiteral("no first screen after %1 s: ").arg(kGiveUpMs / 1000) + compare(g, e, keyCol, countTip);
            return;
        }
        const double ms = msOf(t);
        if (log) r.slowest = log->slowest();
        if (r.check.isEmpty() && verify) r.check = verify();
        if (r.check.isEmpty()) r.check = compare(g, e, keyCol, countTip);
        r.rows = e.count;
        if (i == 0) continue;
        window.push_back(ms);
        limit.push_back(e.ms);
        QElapsedTimer p;
        p.start();
        g->view()->viewport()->repaint();
        paint.push_back(msOf(p));
    }
    r.value = median(window);
    r.plan = median(limit);
    r.paint = median(paint);
}

void Bench::closeWindow()
{
    if (CurForm && qobject_cast<ChildListForm *>(CurForm.data())) CloseChildForm(CurForm.data());
    settle();
}

ChildListForm *Bench::openList(void (Frm_Main::*open)(), const QString &className)
{
    (vb::Default<Frm_Main>().*open)();
    auto *w = qobject_cast<ChildListForm *>(ChildForm(className));
    if (!w || !w->Grid_ShowData.peek()) throw ado::Error(className + QStringLiteral(" has no grid"));
    return w;
}

// ---------------------------------------------------------------- the list windows

void Bench::listWindows()
{
    struct List {
        const char *id, *title;
        void (Frm_Main::*open)();
        const char *className;
        Limit limit;
        int keyCol;  // the grid's column of the limit's first one; -1: the list names no order
        bool memory;
    };
    const Sql &s = m_sql;
    const List lists[] = {
        {"titles", "titles", &Frm_Main::Menu_DataMag_BookDoc_Click, "Frm_BookInfo", titlesList(s), -1, true},
        {"copies", "copies", &Frm_Main::Menu_DataMag_BookStore_Click, "Frm_BookStore", copiesList(s), 0, true},
        {"damage", "damage records", &Frm_Main::Menu_DataMag_BookDamage_Click, "Frm_BookDamage", damageList(s), 0,
         true},
        {"publishers", "publishers", &Frm_Main::Menu_DataMag_PressDoc_Click, "Frm_PressInfo", publishersList(s), -1,
         false},
        {"readers", "readers", &Frm_Main::Menu_DataMag_ReaderDoc_Click, "Frm_ReaderDoc", readersList(s), 0, true},
        {"categories", "reader categories", &Frm_Main::Menu_DataMag_ReaderType_Click, "Frm_ReaderType",
         categoriesList(s), -1, false},
        {"deposits", "deposits", &Frm_Main::Menu_DataMag_ReaderDeposit_Click, "Frm_ReaderDeposit", depositsList(s), 0,
         true},
        {"returning", "returning", &Frm_Main::Menu_BaseCtrl_ReturnBook_Click, "Frm_ReturnBook", returningList(s), 0,
         true},
        {"accounts", "accounts", &Frm_Main::Menu_Security_AccountMag_Click, "Frm_AccountMag", accountsList(s), -1,
         false},
        {"loginlog", "login log", &Frm_Main::Menu_Security_LogInfo_Click, "Frm_AccountLoginInfo", loginLog(s), 1, true},
    };
    for (const List &l : lists) {
        const QString id = QString::fromLatin1(l.id);
        const QString className = QString::fromLatin1(l.className);
        auto open = [&] { return openList(l.open, className)->Grid_ShowData.get(); };
        if (m_empty) {
            if (!wanted(id + QStringLiteral(".open"))) continue;
            // The window's own cost, with no rows to show.
            Result empty;
            timeScreens(
                empty,
                [&](int) {
                    closeWindow();
                    return Expect();
                },
                open, -1, false);
            m_floor[id + QStringLiteral(".open")] = empty.value;
            m_floorPaint[id + QStringLiteral(".open")] = empty.paint;
            if (l.memory) {
                closeWindow();
                const long before = heapBytes();
                waitScreen(open(), Expect(), -1);
                settle();
                m_floor[id + QStringLiteral(".memory")] = double(heapBytes() - before);
            }
            continue;
        }
        Expect expect;
        step(id + QStringLiteral(".open"), QString::fromLatin1(l.title) + QStringLiteral(": open, first screen"),
             QStringLiteral("screen"), [&](Result &r) {
                 timeScreens(
                     r,
                     [&](int) {
                         closeWindow();
                         return expect = limitOf(l.limit, l.keyCol >= 0);
                     },
                     open, l.keyCol, true);
             });
        if (!l.memory) continue;
        step(id + QStringLiteral(".memory"), QString::fromLatin1(l.title) + QStringLiteral(": memory of the window"),
             QStringLiteral("memory"), [&](Result &r) {
                 closeWindow();
                 const long before = heapBytes();
                 waitScreen(open(), expect, l.keyCol);
                 settle();
                 r.value = double(heapBytes() - before);
                 r.plan = double(m_lim->query(l.limit.rows, 0).bytes);
                 r.rows = expect.count;
             });
    }
    closeWindow();
}

// ---------------------------------------------------------------- the search window

void Bench::searches()
{
    // Prefixes a librarian types: a publisher's ISBN block, a run of copy and
    // reader numbers, the start of a title, a publisher's city, a surname,
    // the loans of one day, the damage records of one month.
    const QString midCopy = Library::copyId(m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 图书库存")).toInt() / 2);
    const QString midReader =
        Library::readerId(m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 读者档案")).toInt() / 2);
    const QString midLoan =
        m_lim->scalar(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 ORDER BY %1 LIMIT 1 OFFSET %2")
                          .arg(m_sql.k(QStringLiteral("图书借阅编号")))
                          .arg(m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 图书借阅")).toLong() * 9 / 10));
    const QString midDamage =
        m_lim->scalar(QStringLiteral("SELECT 图书损坏编号 FROM 图书损坏 ORDER BY %1 LIMIT 1 OFFSET %2")
                          .arg(m_sql.k(QStringLiteral("图书损坏编号")))
                          .arg(m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 图书损坏")).toLong() / 2));
    struct Search {
        const char *id, *title;
        int option;  // Opt_Case
        QString prefix;
        Limit limit;
        int keyCol;  // -1: the order is the pinyin's, which the built-in collation does not share
    };
    const Sql &s = m_sql;
    const QString isbnBlock = QStringLiteral("978-7-1000");
    const QString press =
        m_lim
            ->scalar(QStringLiteral("SELECT 出版社名称 FROM 出版社 ORDER BY %1 LIMIT 1 OFFSET %2")
                         .arg(m_sql.k(QStringLiteral("出版社名称")))
                         .arg(m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 出版社")).toLong() / 2))
            .left(2);
    const std::vector<Search> list = {
        {"search.isbn", "search: ISBN", 0, isbnBlock, isbnSearch(s, isbnBlock), 2},
        {"search.copy", "search: copy number", 1, midCopy.left(6), copiesList(s, midCopy.left(6)), 0},
        {"search.title", "search: title", 2, u("数据"), titleNameSearch(s, u("数据")), -1},
        {"search.publisher", "search: publisher", 3, press, publishersList(s, press), -1},
        {"search.reader", "search: reader number", 4, midReader.left(5), readerSearch(s, midReader.left(5)), 0},
        {"search.readername", "search: reader name", 5, u("王"), readerNameSearch(s, u("王")), -1},
        {"search.loan", "search: loans of a day", 6, midLoan.left(6), loanSearch(s, midLoan.left(6)), 0},
        {"search.damage", "search: damage of a month", 7, midDamage.left(4), damageList(s, midDamage.left(4)), 0},
    };
    closeWindow();
    vb::Default<Frm_Main>().Menu_BaseCtrl_Query_Click();
    Frm_Query &q = vb::Default<Frm_Query>();
    settle();
    vb::Grid *g = q.Grid_ShowData.get();
    auto search = [&] {
        q.Cmd_Query_Click();
        return g;
    };
    for (const Search &x : list) {
        const QString id = QString::fromLatin1(x.id);
        if (!wanted(id)) continue;
        q.Opt_Case(x.option)->setValue(true);
        q.Txt_Info->setText(x.prefix);
        if (m_empty) {
            // A search that finds nothing: the window's own cost of a search.
            Result empty;
            timeScreens(
                empty,
                [&](int) {
                    g->Clear();
                    settle();
                    return Expect();
                },
                search, -1, false);
            m_floor[id] = empty.value;
            m_floorPaint[id] = empty.paint;
            continue;
        }
        step(id, QString::fromLatin1(x.title), QStringLiteral("screen"), [&](Result &r) {
            timeScreens(
                r,
                [&](int) {
                    g->Clear();
                    settle();
                    return limitOf(x.limit, x.keyCol >= 0);
                },
                search, x.keyCol, true);
        });
    }
    if (m_empty) {
        closeWindow();
        return;
    }

    // One loan by its whole number, as a clerk types it from a slip.
    step(QStringLiteral("search.oneloan"), QStringLiteral("search: one loan number"), QStringLiteral("find"),
         [&](Result &r) {
             const long loans = m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 图书借阅")).toLong();
             q.Opt_Case(6)->setValue(true);
             timeScreens(
                 r,
                 [&](int i) {
                     const QString number =
                         m_lim->scalar(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 ORDER BY %1 LIMIT 1 OFFSET %2")
                                           .arg(m_sql.k(QStringLiteral("图书借阅编号")))
                                           .arg(loans * (i + 1) / (m_a.reps + 2)));
                     q.Txt_Info->setText(number);
                     g->Clear();
                     settle();
                     return limitOf(loanSearch(m_sql, number), true);
                 },
                 search, 0, true);
         });
    closeWindow();
}

// ---------------------------------------------------------------- a keystroke in a find box

// The find boxes a clerk types into, with the keys that exist to type.
struct Find {
    const char *id, *title;
    void (Frm_Main::*open)();
    const char *className;
    std::function<FTextBox *(ChildListForm *)> box;
    QString keysSql;  // keys to type, in order
    std::function<Limit(const QString &)> limit;
    int keyCol;    // the grid's column of the key typed
    bool ordered;  // whether the list names its order
};
std::vector<Find> findList(const Sql &s)
{
    return {
        {"titles.find", "titles: find keystroke (ISBN)", &Frm_Main::Menu_DataMag_BookDoc_Click, "Frm_BookInfo",
         [](ChildListForm *w) { return static_cast<Frm_BookInfo *>(w)->Txt_Find_ISBN.get(); },
         QStringLiteral("SELECT \"ISBN\" FROM 图书档案 ORDER BY %1").arg(s.k(QStringLiteral("\"ISBN\""))),
         [&s](const QString &k) { return titlesList(s, k); }, 2, false},
        {"copies.find", "copies: find keystroke (copy number)", &Frm_Main::Menu_DataMag_BookStore_Click,
         "Frm_BookStore", [](ChildListForm *w) { return static_cast<Frm_BookStore *>(w)->Txt_Find_BID.get(); },
         QStringLiteral("SELECT 图书编号 FROM 图书库存 ORDER BY %1").arg(s.k(QStringLiteral("图书编号"))),
         [&s](const QString &k) { return copiesList(s, k); }, 0, true},
        {"readers.find", "readers: find keystroke (reader number)", &Frm_Main::Menu_DataMag_ReaderDoc_Click,
         "Frm_ReaderDoc", [](ChildListForm *w) { return static_cast<Frm_ReaderDoc *>(w)->Txt_Find_RID.get(); },
         QStringLiteral("SELECT 读者编号 FROM 读者档案 ORDER BY %1").arg(s.k(QStringLiteral("读者编号"))),
         [&s](const QString &k) { return readersList(s, k); }, 0, true},
    };
}

void Bench::finds()
{
    const std::vector<Find> list = findList(m_sql);
    // The first keystroke into the empty box: every row begins with it, so the
    // list is whole again, its first screen at once.
    for (const Find &f : list)
        step(QString::fromLatin1(f.id) + QStringLiteral(".first"),
             QString::fromLatin1(f.title).section(QLatin1Char(':'), 0, 0) + QStringLiteral(": first keystroke in find"),
             QStringLiteral("screen"), [&](Result &r) {
                 closeWindow();
                 ChildListForm *w = openList(f.open, QString::fromLatin1(f.className));
                 vb::Grid *g = w->Grid_ShowData.get();
                 FTextBox *box = f.box(w);
                 const QString first = m_lim->scalar(f.keysSql + QStringLiteral(" LIMIT 1")).left(1);
                 timeScreens(
                     r,
                     [&](int) {
                         // The box emptied without a find of its own; the grid's cells too,
                         // so that the first screen is seen to come.
                         box->blockSignals(true);
                         box->setText(QString());
                         box->blockSignals(false);
                         g->Clear();
                         settle();
                         return limitOf(f.limit(first), f.ordered);
                     },
                     [&] {
                         QTest::keyClick(box->textBox(), first.front().toLatin1());
                         return g;
                     },
                     f.ordered ? f.keyCol : -1, false);
             });
    for (const Find &f : list)
        step(QString::fromLatin1(f.id), QString::fromLatin1(f.title), QStringLiteral("find"), [&](Result &r) {
            closeWindow();
            ChildListForm *w = openList(f.open, QString::fromLatin1(f.className));
            vb::Grid *g = w->Grid_ShowData.get();
            FTextBox *box = f.box(w);
            const long all = m_lim->query(f.keysSql, 0).rows;
            QString key;
            timeScreens(
                r,
                [&](int i) {
                    // The whole key but its last character is typed already; the
                    // last keystroke narrows the list to the one row.
                    key = m_lim->scalar(f.keysSql
                                        + QStringLiteral(" LIMIT 1 OFFSET %1").arg(all * (i + 1) / (m_a.reps + 2)));
                    box->setText(key.chopped(1));
                    settle();
                    box->textBox()->deselect();
                    box->textBox()->end(false);
                    return limitOf(f.limit(key), true);
                },
                [&] {
                    QTest::keyClick(box->textBox(), key.back().toLatin1());
                    return g;
                },
                f.keyCol, false);
        });

    // The returning window: the open loans of the reader at the desk.
    step(QStringLiteral("returning.find"), QStringLiteral("returning: a reader's open loans"), QStringLiteral("find"),
         [&](Result &r) {
             closeWindow();
             auto *w = static_cast<Frm_ReturnBook *>(
                 openList(&Frm_Main::Menu_BaseCtrl_ReturnBook_Click, QStringLiteral("Frm_ReturnBook")));
             vb::Grid *g = w->Grid_ShowData.get();
             w->Opt_RID->setValue(true);
             const QString keys =
                 QStringLiteral("SELECT DISTINCT 读者编号 FROM 图书借阅 WHERE 是否已还 = 0 ORDER BY 1");
             const long all = m_lim->query(keys, 0).rows;
             timeScreens(
                 r,
                 [&](int i) {
                     const QString reader =
                         m_lim->scalar(keys + QStringLiteral(" LIMIT 1 OFFSET %1").arg(all * (i + 1) / (m_a.reps + 2)));
                     w->Txt_ID->setText(reader);
                     g->Clear();
                     settle();
                     return limitOf(returningList(m_sql, reader), true);
                 },
                 [&] {
                     w->Cmd_Find_Click();
                     return g;
                 },
                 0, true);
         });
    closeWindow();
}

// ---------------------------------------------------------------- statistics

void Bench::statistics()
{
    if (!wanted(QStringLiteral("stats"))) return;
    const QString today = vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd 00:00:00"));
    auto window = [] { return &vb::Default<Frm_Statistics>(); };
    struct View {
        const char *id, *title;
        std::function<void()> show;
        QStringList limit;
        std::vector<double> times = {}, limits = {};
        QString slowest = {};
    };
    // The catalogue view comes with the window; the others follow as a user clicks them.
    std::vector<View> views = {
        {"stats.books", "statistics: catalogue view (opens it)",
         [&] {
             vb::Default<Frm_Main>().Menu_BaseCtrl_Statistics_Click();
             window()->Chart_Book->repaint();
         },
         booksView(m_sql)},
        {"stats.readers", "statistics: readers view",
         [&] {
             window()->Cmd_Reader_Click();
             window()->Chart_Reader->repaint();
         },
         readersView(m_sql)},
        {"stats.readerrank", "statistics: lending, readers ranked",
         [&] {
             window()->Cmd_Borrow_Click();
             window()->Chart_Brw->repaint();
         },
         readerRanking(m_sql)},
        {"stats.titlerank", "statistics: lending, titles ranked",
         [&] {
             window()->Cmd_OK_Click();
             window()->Chart_Brw->repaint();
         },
         titleRanking(m_sql, QStringLiteral("2000-01-01 00:00:00"), today)},
    };
    const QString books =
        u("共有图书 %1 种，总计库存 %2 本").arg(m_lim->scalar(booksView(m_sql)[0]), m_lim->scalar(booksView(m_sql)[1]));
    QString check;
    try {
        for (int i = 0; i <= m_a.reps; ++i) {
            closeWindow();
            for (View &v : views) {
                std::optional<StatementLog> log;
                if (i == m_a.reps) log.emplace();
                QElapsedTimer t;
                t.start();
                v.show();
                const double ms = msOf(t);
                if (log) v.slowest = log->slowest();
                const double limit = timeStatements(v.limit);
                if (i == 0) continue;  // the first round fills the caches
                v.times.push_back(ms);
                v.limits.push_back(limit);
            }
            if (check.isEmpty() && window()->Lbl_BookNum->Caption() != books)
                check = QStringLiteral("'%1' where '%2'").arg(window()->Lbl_BookNum->Caption(), books);
        }
    } catch (const std::exception &e) {
        check = QStringLiteral("failed: ") + ErrorText(e);
    }
    for (const View &v : views) {
        Result r = result(QString::fromLatin1(v.id), QString::fromLatin1(v.title), QStringLiteral("stats"));
        r.value = median(v.times);
        r.plan = median(v.limits);
        r.check = check;
        r.slowest = v.slowest;
        add(r);
    }
    closeWindow();
}

// ---------------------------------------------------------------- a return

void Bench::returning()
{
    step(QStringLiteral("return"), QStringLiteral("return: confirm to refreshed list"), QStringLiteral("return"),
         [&](Result &r) {
             closeWindow();
             auto *w = static_cast<Frm_ReturnBook *>(
                 openList(&Frm_Main::Menu_BaseCtrl_ReturnBook_Click, QStringLiteral("Frm_ReturnBook")));
             vb::Grid *g = w->Grid_ShowData.get();
             const Expect first = limitOf(returningList(m_sql), true);
             waitScreen(g, first, 0);
             const QString today = vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd 00:00:00"));
             QString loan;
             timeScreens(
                 r,
                 [&](int) {
                     // The first loan on the screen, returned in the limit's copy as well.
                     loan = g->TextMatrix(1, 0);
                     QElapsedTimer t;
                     t.start();
                     timeStatements(returnLoan(m_sql, loan, g->TextMatrix(1, 1), g->TextMatrix(1, 4), today));
                     Expect after = limitOf(returningList(m_sql), true);
                     after.ms = msOf(t);
                     m_lastMessage.clear();
                     return after;
                 },
                 [&] {
                     w->Cmd_ReturnSel_Click();
                     return g;
                 },
                 0, true,
                 [&] {
                     return m_lastMessage == u("还书成功！共归还 1 本图书。")
                                ? QString()
                                : QStringLiteral("returning %1 said '%2'").arg(loan, m_lastMessage);
                 });
         });
    closeWindow();
}

// ---------------------------------------------------------------- lending

void Bench::lending()
{
    if (!wanted(QStringLiteral("lend"))) return;
    const int n = std::max(10, 4 * m_a.reps);
    // Readers in good standing with room for five more, and copies on the shelf that may be lent.
    QStringList readers, copies;
    for (const QStringList &row :
         m_lim
             ->query(
                 QStringLiteral("SELECT r.读者编号 FROM 读者档案 r JOIN 读者类别 y ON y.读者类别 = r.读者类别 WHERE "
                                "r.状态 = '正常' AND r.当前借书数量 + 5 <= y.借书数量限制 ORDER BY %1 LIMIT %2")
                     .arg(m_sql.k(QStringLiteral("r.读者编号")))
                     .arg(n),
                 n)
             .kept)
        readers << row[0];
    const long shelf = m_lim->scalar(QStringLiteral("SELECT COUNT(*) FROM 图书库存")).toLong();
    for (const QStringList &row :
         m_lim
             ->query(
                 QStringLiteral("SELECT c.图书编号 FROM 图书库存 c JOIN 图书档案 t ON t.\"ISBN\" = c.\"ISBN\" WHERE "
                                "c.状态 = '空闲' AND t.可否外借 = 1 AND %1 >= %2 ORDER BY %1 LIMIT %3")
                     .arg(m_sql.k(QStringLiteral("c.图书编号")), Sql::quote(Library::copyId(int(shelf / 2))))
                     .arg(5 * n),
                 5 * n)
             .kept)
        copies << row[0];
    Result lookups = result(QStringLiteral("lend.lookups"), QStringLiteral("lend: reader and 5 copies looked up"),
                            QStringLiteral("info"));
    Result confirm =
        result(QStringLiteral("lend.confirm"), QStringLiteral("lend: 5 copies confirmed"), QStringLiteral("lend"));
    if (readers.size() < n || copies.size() < 5 * n) {
        confirm.check = QStringLiteral("only %1 readers and %2 copies to lend").arg(readers.size()).arg(copies.size());
        add(lookups);
        add(confirm);
        return;
    }
    std::vector<double> look, ok, limit;
    try {
        closeWindow();
        vb::Default<Frm_Main>().Menu_BaseCtrl_BorrowBook_Click();
        Frm_BorrowBook &w = vb::Default<Frm_BorrowBook>();
        settle();
        auto typeAndEnter = [](FTextBox *box, const QString &text) {
            box->setText(text);
            int key = 13;
            emit box->KeyPress(key);
        };
        // A day after every generated loan; the loan numbers come from the clock, one lending a second.
        const QDateTime clock(QDate(2031, 1, 1), QTime(10, 0, 0));
        for (int i = 0; i < n; ++i) {
            const QDateTime now = clock.addSecs(i);
            vb::SetTestClock(now);
            const QStringList mine = copies.mid(5 * i, 5);
            QElapsedTimer t;
            t.start();
            typeAndEnter(w.Txt_RID.get(), readers[i]);
            for (const QString &c : mine) typeAndEnter(w.Txt_BID.get(), c);
            look.push_back(msOf(t));
            if (w.AcceptedReader() != readers[i] || w.Lst_View->ListItems().Count() != 5)
                throw ado::Error(QStringLiteral("lending to %1: %2").arg(readers[i], m_lastMessage));
            t.restart();
            w.Cmd_OK_Click();
            ok.push_back(msOf(t));
            if (m_lastMessage != u("借书成功！共借出 5 本图书。"))
                throw ado::Error(QStringLiteral("lending to %1: %2").arg(readers[i], m_lastMessage));
            QStringList numbers;
            for (int k = 1; k <= 5; ++k)
                numbers << now.toString(QStringLiteral("yyMMddHHmmss"))
                               + QStringLiteral("%1").arg(k, 3, 10, QLatin1Char('0'));
            limit.push_back(timeStatements(
                lendCopies(m_sql, readers[i], mine, numbers, now.date().toString(QStringLiteral("yyyy-MM-dd 00:00:00")),
                           now.date().addDays(30).toString(QStringLiteral("yyyy-MM-dd 00:00:00")))));
        }
        vb::ClearTestClock();
    } catch (const std::exception &e) {
        vb::ClearTestClock();
        confirm.check = QStringLiteral("failed: ") + ErrorText(e);
    }
    // The first lendings fill the caches.
    auto rest = [](std::vector<double> v) {
        return std::vector<double>(v.begin() + std::min<size_t>(2, v.size()), v.end());
    };
    lookups.value = median(rest(look));
    confirm.value = median(rest(ok));
    confirm.plan = median(rest(limit));
    lookups.rows = confirm.rows = 5;
    add(lookups);
    add(confirm);
    closeWindow();
}

// ---------------------------------------------------------------- start-up

void Bench::startUp()
{
    if (!wanted(QStringLiteral("start"))) return;
    const QString program = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"))
                                .absoluteFilePath(QStringLiteral("bench_start"));
    QTemporaryDir runtime;  // a lock of its own: a program running elsewhere is no obstacle
    auto once = [&](bool bare) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(program, bare ? QStringList{QStringLiteral("--bare")} : QStringList{});
        QByteArray line;
        while (!line.contains('\n') && p.waitForReadyRead(20000)) line += p.readAllStandardOutput();
        const double ms = msOf(t);
        p.waitForFinished(20000);
        if (!line.startsWith("shown"))
            throw ado::Error(QStringLiteral("%1 said '%2'").arg(program, QString::fromUtf8(line).trimmed()));
        return ms;
    };
    Result r = result(QStringLiteral("start"), QStringLiteral("start to the login window"), QStringLiteral("start"));
    r.engine = QStringLiteral("-");
    try {
        std::vector<double> prog, bare;
        for (int i = 0; i < 2 * m_a.reps + 2; ++i) {
            prog.push_back(once(false));
            bare.push_back(once(true));
        }
        prog.erase(prog.begin(), prog.begin() + 2);
        bare.erase(bare.begin(), bare.begin() + 2);
        r.value = median(prog);
        r.plan = median(bare);
    } catch (const std::exception &e) {
        r.check = QStringLiteral("failed: ") + ErrorText(e);
    }
    add(r);
}

// ---------------------------------------------------------------- what the clerk sees

#ifdef BENCH_SCREEN
void Bench::clerkLine(const QString &id, const QString &title, const QString &kind, const std::vector<double> &times,
                      const QString &check)
{
    // value: the median, plan: the slowest, rows: how many were timed;
    // empty: the same on the empty library (kept from its run before).
    Result r = result(id, title, kind);
    std::vector<double> ok;
    for (double t : times)
        if (!std::isnan(t)) ok.push_back(t);
    r.value = median(ok);
    r.plan = ok.empty() ? std::nan("") : *std::max_element(ok.begin(), ok.end());
    r.rows = long(times.size());
    r.check = check;
    if (ok.size() < times.size() && r.check.isEmpty())
        r.check = QStringLiteral("%1 of %2 never showed a change").arg(times.size() - ok.size()).arg(times.size());
    if (m_empty) {
        m_floor[id] = r.value;
        m_floorPaint[id] = r.plan;
        return;
    }
    const auto floor = m_floor.find(id);
    r.empty = floor == m_floor.end() ? std::nan("") : floor->second;
    const auto floorMax = m_floorPaint.find(id);
    r.paint = floorMax == m_floorPaint.end() ? std::nan("") : floorMax->second;
    say(QStringLiteral("  %1 [%2]: median %3 ms, slowest %4 ms of %5 (empty library %6 ms)%7")
            .arg(r.title, r.engine)
            .arg(r.value, 0, 'f', 1)
            .arg(r.plan, 0, 'f', 1)
            .arg(r.rows)
            .arg(r.empty, 0, 'f', 1)
            .arg(r.check.isEmpty() ? QString() : QStringLiteral(" -- ") + r.check));
    m_results.push_back(r);
}

void Bench::clerk(Screen &screen)
{
    Frm_Main &main = vb::Default<Frm_Main>();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main)) say(QStringLiteral("the main window never became active"));
    QWidget *client = main.client();
    // The window area without the status bar, whose count may come later.
    const int above = client->height() - 40;
    const int reps = std::max(3, m_a.reps);

    // Keys typed into each find box, a character at a time: three keys of
    // the library's own, each keystroke narrowing the list from every row to one.
    for (const Find &f : findList(m_sql)) {
        const QString id = QString::fromLatin1(f.id);
        if (!wanted(id)) continue;
        QStringList keys;
        const long all = m_lim->query(f.keysSql, 0).rows;
        for (int i = 1; i <= 3; ++i)
            keys << m_lim->scalar(f.keysSql + QStringLiteral(" LIMIT 1 OFFSET %1").arg(all * i / 4));
        std::vector<double> times;
        QString check;
        closeWindow();
        ChildListForm *w = openList(f.open, QString::fromLatin1(f.className));
        vb::Grid *g = w->Grid_ShowData.get();
        FTextBox *box = f.box(w);
        box->SetFocus();
        settle();
        for (const QString &key : keys) {
            box->blockSignals(true);
            box->setText(QString());
            box->blockSignals(false);
            for (int k = 0; k < key.size(); ++k) {
                const QString typed = key.left(k + 1);
                // The grid emptied first, so that its rows are seen to come.
                g->Clear();
                settle();
                const double ms = screen.timePainted(
                    {box->textBox(), g->view()->viewport()}, 160, [&] { screen.type(key[k]); },
                    [&] {
                        return box->Text() == typed
                               && (m_empty || g->TextMatrix(1, f.keyCol).startsWith(typed, Qt::CaseInsensitive));
                    });
                times.push_back(ms);
                if (check.isEmpty() && box->Text() != typed)
                    check = QStringLiteral("the box shows '%1' where '%2' was typed").arg(box->Text(), typed);
            }
        }
        clerkLine(id, QString::fromLatin1(f.title), QStringLiteral("clerk-find"), times, check);
    }

    // A list opened from its menu until its first screen shows.
    struct Open {
        const char *id, *title;
        void (Frm_Main::*open)();
    };
    const Open opens[] = {
        {"titles.open", "titles: open, first screen", &Frm_Main::Menu_DataMag_BookDoc_Click},
        {"copies.open", "copies: open, first screen", &Frm_Main::Menu_DataMag_BookStore_Click},
        {"readers.open", "readers: open, first screen", &Frm_Main::Menu_DataMag_ReaderDoc_Click},
        {"returning.open", "returning: open, first screen", &Frm_Main::Menu_BaseCtrl_ReturnBook_Click},
    };
    for (const Open &o : opens) {
        const QString id = QString::fromLatin1(o.id);
        if (!wanted(id)) continue;
        std::vector<double> times;
        for (int i = 0; i <= reps; ++i) {
            closeWindow();
            const double ms = screen.timePainted(
                {client}, above, [&] { (main.*o.open)(); }, [] { return true; });
            if (i > 0) times.push_back(ms);  // the first fills the caches
        }
        clerkLine(id, QString::fromLatin1(o.title), QStringLiteral("clerk-screen"), times, QString());
    }
    if (m_empty) {
        closeWindow();
        return;
    }

    // A return confirmed until the refreshed list shows.
    if (wanted(QStringLiteral("return"))) {
        closeWindow();
        auto *w = static_cast<Frm_ReturnBook *>(
            openList(&Frm_Main::Menu_BaseCtrl_ReturnBook_Click, QStringLiteral("Frm_ReturnBook")));
        vb::Grid *g = w->Grid_ShowData.get();
        settle();
        std::vector<double> times;
        QString check;
        for (int i = 0; i <= reps; ++i) {
            const QString loan = g->TextMatrix(1, 0);
            m_lastMessage.clear();
            const double ms = screen.timePainted(
                {g->view()->viewport()}, 160, [&] { w->Cmd_ReturnSel_Click(); },
                [&] { return g->TextMatrix(1, 0) != loan; });
            if (check.isEmpty() && m_lastMessage != u("还书成功！共归还 1 本图书。"))
                check = QStringLiteral("returning %1 said '%2'").arg(loan, m_lastMessage);
            if (i > 0) times.push_back(ms);
        }
        clerkLine(QStringLiteral("return"), QStringLiteral("return: confirm to refreshed list"),
                  QStringLiteral("clerk-screen"), times, check);
    }

    // The titles ranked by loans, from 确定 until the chart shows them.
    if (wanted(QStringLiteral("stats"))) {
        closeWindow();
        main.Menu_BaseCtrl_Statistics_Click();
        Frm_Statistics &st = vb::Default<Frm_Statistics>();
        st.Cmd_Borrow_Click();
        settle();
        std::vector<double> times;
        for (int i = 0; i <= reps; ++i) {
            // The readers ranked first, so that the titles are seen to come.
            st.Opt_Reader->setValue(true);
            st.Opt_Reader_Click();
            settle();
            const double ms = screen.timePainted(
                {st.Chart_Brw.get()}, 10000, [&] { st.Cmd_OK_Click(); }, [] { return true; });
            if (i > 0) times.push_back(ms);
        }
        clerkLine(QStringLiteral("stats.titlerank"), QStringLiteral("statistics: lending, titles ranked"),
                  QStringLiteral("clerk-stats"), times, QString());
    }
    closeWindow();
}

void Bench::clerkRun(Screen &screen)
{
    use(m_db.empty);
    m_empty = true;
    clerk(screen);
    m_empty = false;
    use(m_db.work);
    clerk(screen);
}
#endif

void Bench::runAll()
{
    // The windows on the empty library first: what they cost with no rows.
    use(m_db.empty);
    m_empty = true;
    listWindows();
    searches();
    m_empty = false;
    use(m_db.work);

    listWindows();
    searches();
    finds();
    statistics();
    returning();
    lending();
    if (!m_lim->isServer()) startUp();
}

// ---------------------------------------------------------------- main

Args parse(const QStringList &argv)
{
    Args a;
    a.command = argv.value(1);
    for (int i = 2; i < argv.size(); ++i) {
        const QString k = argv[i], v = argv.value(i + 1);
        if (k == QLatin1String("--engine"))
            a.engine = v;
        else if (k == QLatin1String("--server"))
            a.server = v;
        else if (k == QLatin1String("--scale"))
            a.scale = v.toDouble();
        else if (k == QLatin1String("--scales"))
            a.scales = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (k == QLatin1String("--show"))
            a.show = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (k == QLatin1String("--seed"))
            a.seed = v.toUInt();
        else if (k == QLatin1String("--reps"))
            a.reps = std::max(1, v.toInt());
        else if (k == QLatin1String("--data"))
            a.data = v;
        else if (k == QLatin1String("--out"))
            a.out = v;
        else if (k == QLatin1String("--only"))
            a.only = v.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (k == QLatin1String("--clerk") || k == QLatin1String("--crowded")) {
            (k == QLatin1String("--clerk") ? a.clerk : a.crowded) = true;
            continue;  // takes no value
        } else {
            say(QStringLiteral("unknown option %1").arg(k));
            std::exit(2);
        }
        ++i;
    }
    if (a.data.isEmpty()) a.data = QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data");
    // The embedded engine takes a relative name as one beside the program.
    a.data = QDir(a.data).absolutePath();
    return a;
}

// The tables of the scales in --show (default: every scale with results),
// each step's growth from the next smaller scale with results.
int report(const Args &a)
{
    if (a.clerk) {
        // The clerk's runs: results-clerk/LIBRARY-ENGINE-sSCALE.tsv, the first
        // scale given as the tenth, the last as the full size.
        std::map<QString, std::vector<Result>> runs;
        for (const char *library : {"generated", "crowded"})
            for (const char *engine : {"sqlite", "server"})
                for (const QString &size : {QStringLiteral("tenth"), QStringLiteral("full")}) {
                    const QString scale =
                        size == QLatin1String("tenth") ? a.scales.value(0) : a.scales.value(a.scales.size() - 1);
                    std::vector<Result> r = readResults(
                        QDir(a.data).filePath(QStringLiteral("results-clerk/%1-%2-s%3.tsv")
                                                  .arg(QLatin1String(library), QLatin1String(engine), scale)));
                    if (!r.empty())
                        runs[QStringLiteral("%1/%2/%3").arg(QLatin1String(library), QLatin1String(engine), size)] =
                            std::move(r);
                }
        std::fputs(qPrintable(clerkTable(runs)), stdout);
        return 0;
    }
    QString out;
    std::vector<Result> smaller;
    for (const QString &scale : a.scales) {
        std::vector<Result> rows;
        for (const char *engine : {"sqlite", "server"}) {
            const std::vector<Result> r = readResults(
                QDir(a.data).filePath(QStringLiteral("results/%1-s%2.tsv").arg(QString::fromLatin1(engine), scale)));
            rows.insert(rows.end(), r.begin(), r.end());
        }
        if (rows.empty()) continue;
        if (!a.show.isEmpty() && !a.show.contains(scale)) {
            smaller = rows;
            continue;
        }
        const Options o = Options::scaled(scale.toDouble());
        out += QStringLiteral("\n== scale %1: %2 readers, %3 titles, %4 copies, %5 loans (%6 open), %7 logins, %8 "
                              "deposits, %9 damage records\n")
                   .arg(scale)
                   .arg(o.readers)
                   .arg(o.titles)
                   .arg(o.copies)
                   .arg(o.loans)
                   .arg(o.openLoans)
                   .arg(o.logins)
                   .arg(o.deposits)
                   .arg(o.damages);
        out += resultTable(rows, smaller);
        smaller = rows;
    }
    std::fputs(qPrintable(out), stdout);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    // The report needs no windows, nor a display.
    if (argc > 1 && qstrcmp(argv[1], "report") == 0) {
        QCoreApplication app(argc, argv);
        return report(parse(app.arguments()));
    }
    QApplication app(argc, argv);
    const Args a = parse(app.arguments());
    if (a.command != QLatin1String("run")) {
        say(QStringLiteral("usage: bench_windows run --engine sqlite|server --scale S [--server LINE] [--seed N] "
                           "[--reps N] [--data DIR] [--out FILE] [--only ID,...]\n"
                           "       bench_windows report --data DIR --scales S,S... [--show S,...]"));
        return 2;
    }
    Options o = Options::scaled(a.scale);
    o.seed = a.seed;
    o.crowded = a.crowded;
    try {
        QElapsedTimer t;
        t.start();
        const Databases d = a.engine == QLatin1String("server") ? server(a, o) : embedded(a, o);
        say(QStringLiteral("%1 at scale %2: the library %3; ready in %4 s")
                .arg(a.engine)
                .arg(a.scale)
                .arg(d.made)
                .arg(msOf(t) / 1000, 0, 'f', 1));
        Bench b(a, d);
        b.login();
        if (a.clerk) {
#ifdef BENCH_SCREEN
            QString why;
            const std::unique_ptr<Screen> screen = Screen::open(why);
            if (!screen) throw ado::Error(QStringLiteral("the clerk's run needs a screen: ") + why);
            // A caret that blinks would change the picture after the result.
            QApplication::setCursorFlashTime(0);
            b.clerkRun(*screen);
#else
            throw ado::Error(QStringLiteral("built without X11 (package libx11-dev): no clerk's run"));
#endif
        } else {
            b.runAll();
        }
        if (!a.out.isEmpty()) {
            QDir().mkpath(QFileInfo(a.out).absolutePath());
            writeResults(a.out, b.results());
        }
        std::fputs(qPrintable(resultTable(b.results(), {})), stdout);
    } catch (const std::exception &e) {
        say(QStringLiteral("bench_windows: %1").arg(ErrorText(e)));
        return 1;
    }
    return 0;
}
