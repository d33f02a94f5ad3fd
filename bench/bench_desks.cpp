// Several desks at once on one library: N desk processes, each the program's
// own lending and returning windows on a connection of its own, lend and
// return for a fixed time on the generated library; then how many actions
// went through a second, how long each confirmation took (median, 95th and
// 99th percentile), what failed and why, and the check of what must hold of
// the data. Beside it, the same transactions sent by N connections of the
// engine alone (a plain handle each, no windows, no translation): the limit.
//
//   bench_desks run --engine sqlite|server --desks N [--seconds T] [--mode both|lend]
//                   [--scale S] [--seed N] [--server LINE] [--data DIR] [--out FILE]
//   bench_desks limit (the same options): the engine alone
//
// --mode both (the default): each desk lends a copy to a reader and returns
// it through the returning window (a find by the copy's number, then the
// return, which refreshes the whole list of open loans); lend: lendings
// only. Each desk works on readers and copies of its own, so no two desks
// need the same row. The library is made once per size and seed (embedded:
// kept in DIR; server: a database kept in the cluster) and each run works on
// a fresh copy of it. A result line per run goes to standard output and is
// appended to FILE. bench/run-desks runs the whole table.
#include "circulation/Frm_BorrowBook.h"
#include "circulation/Frm_ReturnBook.h"
#include "common/AllForms.h"
#include "common/Generator.h"
#include "common/Limits.h"
#include "common/Native.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "tools/Invariants.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <libpq-fe.h>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace bench;

namespace {

struct Args {
    QString command, engine = QStringLiteral("server"), server, data, out, mode = QStringLiteral("both");
    int desks = 1, seconds = 60, index = 0;
    double scale = 1;
    quint32 seed = 1;
};

void say(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

double msOf(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// The p-th percentile (0..100) of `v`, nearest rank.
double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return std::nan("");
    std::sort(v.begin(), v.end());
    const size_t rank = size_t(std::ceil(p / 100 * double(v.size())));
    return v[std::min(v.size() - 1, rank > 0 ? rank - 1 : 0)];
}

QString u(const char *s) { return QString::fromUtf8(s); }

// ---------------------------------------------------------------- the library

// The work database of a run, a fresh copy of the kept library.
ado::ConnectionInfo workLibrary(const Args &a, QString &made)
{
    Options o = Options::scaled(a.scale);
    o.seed = a.seed;
    if (a.engine != QLatin1String("server")) {
        const QString kept = keptEmbeddedLibrary(a.data, o, made);
        const QString work = QDir(a.data).filePath(QStringLiteral("desks-work.db"));
        copyFile(kept, work);
        return ado::ConnectionInfo::fromSettings(QStringLiteral("sqlite|bench|bench|") + work);
    }
    const ado::ConnectionInfo base = ado::ConnectionInfo::fromSettings(a.server);
    const QString name = QStringLiteral("desks_")
                         + QString::fromLatin1(QCryptographicHash::hash((o.key() + schemaFingerprint()).toUtf8(),
                                                                        QCryptographicHash::Sha1)
                                                   .toHex()
                                                   .left(12));
    ado::ConnectionInfo kept = base, work = base;
    kept.database = name;
    work.database = QStringLiteral("desks_work");
    PGconn *admin = connectServer(base, base.database);
    const auto close = qScopeGuard([admin] { PQfinish(admin); });
    PGresult *res =
        PQexec(admin, QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(name).toUtf8().constData());
    const bool there = PQresultStatus(res) == PGRES_TUPLES_OK && PQntuples(res) == 1;
    PQclear(res);
    made = QStringLiteral("taken from the database %1").arg(name);
    if (!there) {
        // Loaded under another name first: a load that breaks off leaves no library that looks whole.
        ado::ConnectionInfo part = base;
        part.database = name + QStringLiteral("_part");
        execServer(admin, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoteName(part.database)));
        QElapsedTimer t;
        t.start();
        say(QStringLiteral("loading the library into %1 (%2) ...").arg(name, o.key()));
        const Library library(o);
        createAndFill(part, library);
        execServer(admin, QStringLiteral("ALTER DATABASE %1 SET work_mem = '256MB'").arg(quoteName(part.database)));
        checkInvariants(part);
        execServer(admin, QStringLiteral("ALTER DATABASE %1 RESET work_mem").arg(quoteName(part.database)));
        execServer(admin,
                   QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(quoteName(part.database), quoteName(name)));
        made = QStringLiteral("loaded in %1 s").arg(msOf(t) / 1000, 0, 'f', 1);
    }
    execServer(admin, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoteName(work.database)));
    execServer(admin, QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY")
                          .arg(quoteName(work.database), quoteName(name)));
    return work;
}

// ---------------------------------------------------------------- what each desk works on

// Readers in good standing with room for more loans, and copies on the
// shelf that may be lent, every desks-th of each list from the index-th:
// no two desks share one.
struct Pool {
    QStringList readers;
    std::vector<int> room;
    QStringList copies;
};

// In the engine's own SQL (a plain handle reads them), in an order every desk reads alike.
QString readersSql(const Sql &s)
{
    return u("SELECT 读者档案.读者编号, 借书数量限制 - 当前借书数量 FROM 读者档案, 读者类别 WHERE 读者档案.读者类别 = "
             "读者类别.读者类别 AND 状态 = '正常' AND 当前借书数量 < 借书数量限制 ORDER BY ")
           + s.k(u("读者档案.读者编号"));
}
QString copiesSql(const Sql &s)
{
    return u("SELECT 图书编号 FROM 图书库存, 图书档案 WHERE 图书库存.\"ISBN\" = 图书档案.\"ISBN\" AND 可否外借 = 1 AND "
             "(状态 IS NULL OR 状态 <> '借出') ORDER BY ")
           + s.k(u("图书编号"));
}

// A lending takes two copies; each comes back by a return of its own.
constexpr int kCopies = 2;

// How many lendings a desk may make in a run when it only lends.
// (pgbench, faster than a desk, takes every copy its stride gives: a client
// whose copies run out stops, and its rate is counted over its own time.)
int lendingsAtMost(const Args &a)
{
    if (a.mode != QLatin1String("lend")) return 64;
    return a.seconds * (a.command == QLatin1String("pgbench") ? 1000 : 100);
}
// Readers with room for a lending of kCopies; copies for as many lendings.
int readersAtMost(const Args &a) { return lendingsAtMost(a); }
int copiesAtMost(const Args &a) { return lendingsAtMost(a) * kCopies; }

Pool readPool(NativeDb &db, const Args &a)
{
    Pool p;
    const Sql s(db.isServer());
    const NativeDb::Result readers = db.query(readersSql(s), 1 << 30);
    for (size_t r = size_t(a.index); r < readers.kept.size() && p.readers.size() < readersAtMost(a);
         r += size_t(a.desks)) {
        if (readers.kept[r].value(1).toInt() < kCopies) continue;
        p.readers << readers.kept[r].value(0);
        p.room.push_back(readers.kept[r].value(1).toInt());
    }
    const NativeDb::Result copies = db.query(copiesSql(s), (copiesAtMost(a) + 1) * a.desks);
    for (size_t r = size_t(a.index); r < copies.kept.size() && p.copies.size() < copiesAtMost(a); r += size_t(a.desks))
        p.copies << copies.kept[r].value(0);
    if (p.readers.isEmpty() || p.copies.size() < kCopies) throw ado::Error(QStringLiteral("no reader or copy to lend"));
    return p;
}

// Walks a pool: the next copies (kCopies of them, one lending), and a reader with room for them.
class Walk {
public:
    Walk(Pool &p, bool returning) : m_p(p), m_returning(returning) { }
    bool next(QString &reader, QStringList &copies)
    {
        copies.clear();
        if (m_returning) {
            // Every loan comes back before the copy is lent again: the room stays.
            reader = m_p.readers[m_i % m_p.readers.size()];
            for (int k = 0; k < kCopies; ++k) copies << m_p.copies[(m_i * kCopies + k) % m_p.copies.size()];
            ++m_i;
            return true;
        }
        if ((m_i + 1) * kCopies > m_p.copies.size()) return false;
        while (m_r < m_p.readers.size() && m_p.room[size_t(m_r)] < kCopies) ++m_r;
        if (m_r >= m_p.readers.size()) return false;
        m_p.room[size_t(m_r)] -= kCopies;
        reader = m_p.readers[m_r];
        for (int k = 0; k < kCopies; ++k) copies << m_p.copies[m_i * kCopies + k];
        ++m_i;
        return true;
    }

private:
    Pool &m_p;
    bool m_returning;
    int m_i = 0, m_r = 0;
};

// ---------------------------------------------------------------- one desk (a process)

// What a desk tells the run: "L ms" a lending confirmed, "R ms" a return
// confirmed (with the list refreshed), "E kind\ttext" an action that failed.
QString kindOf(const QString &message)
{
    if (message.contains(u("数据库正忙"))) return QStringLiteral("busy");
    if (message.contains(u("已借出"))) return QStringLiteral("lent meanwhile");
    if (message.contains(u("已经归还"))) return QStringLiteral("returned meanwhile");
    return QStringLiteral("other");
}

// The processor time this process has taken, in ms.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000 + double(t.tv_nsec) / 1e6;
}

// Lets the desk's event loop run until the work the windows left to it is
// done, as it runs between a clerk's actions: the list's count after its
// first screen, paints, timers of no delay. A marker posted behind all of it
// at the lowest priority comes back last; twice, for what that work posted.
void settle()
{
    class Marker final : public QObject {
    public:
        explicit Marker(bool &done) : m_done(done) { }
        bool event(QEvent *e) override
        {
            if (e->type() != QEvent::User) return QObject::event(e);
            m_done = true;
            return true;
        }

    private:
        bool &m_done;
    };
    for (int round = 0; round < 2; ++round) {
        bool done = false;
        Marker marker(done);
        QCoreApplication::postEvent(&marker, new QEvent(QEvent::User), std::numeric_limits<int>::min());
        while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

int runDesk(const Args &a)
{
    const ado::ConnectionInfo info = ado::ConnectionInfo::fromSettings(a.server);
    Pool pool;
    {
        const std::unique_ptr<NativeDb> db = NativeDb::open(info);
        pool = readPool(*db, a);
    }
    QString last;
    AdminSession(info, [&last](const QString &text) { last = text; });
    Frm_BorrowBook &lend = vb::Default<Frm_BorrowBook>();
    Frm_ReturnBook &give = vb::Default<Frm_ReturnBook>();
    lend.Show();
    if (a.mode != QLatin1String("lend")) give.Show();
    settle();
    const auto typeAndEnter = [](FTextBox *box, const QString &text) {
        box->setText(text);
        int key = 13;
        emit box->KeyPress(key);
        settle();
    };
    const QString lent = u("借书成功！共借出 %1 本图书。").arg(kCopies);

    std::cout << "ready" << std::endl;
    std::string go;
    if (!std::getline(std::cin, go)) return 1;
    QTextStream out(stdout);
    Walk walk(pool, a.mode != QLatin1String("lend"));
    QElapsedTimer run;
    run.start();
    const double cpuAtStart = cpuMs();
    QString reader;
    QStringList copies;
    bool cleared = true;  // a confirmed lending clears the window itself
    while (run.elapsed() < qint64(a.seconds) * 1000 && walk.next(reader, copies)) {
        if (!cleared) {
            lend.Cmd_Clear_Click();
            settle();
        }
        last.clear();
        typeAndEnter(lend.Txt_RID.get(), reader);
        for (const QString &copy : copies) typeAndEnter(lend.Txt_BID.get(), copy);
        if (lend.Lst_View->ListItems().Count() != copies.size()) {  // a look-up failed: its message says why
            out << "E " << kindOf(last) << '\t' << last.simplified() << '\n';
            cleared = false;
            continue;
        }
        last.clear();
        QElapsedTimer t;
        t.start();
        lend.Cmd_OK_Click();
        settle();
        const double ms = msOf(t);
        cleared = last == lent;
        if (!cleared) {
            out << "E " << kindOf(last) << '\t' << last.simplified() << '\n';
            continue;
        }
        out << "L " << ms << '\n';
        if (a.mode == QLatin1String("lend")) continue;
        for (const QString &copy : copies) {
            give.Opt_BID->setValue(true);
            give.Txt_ID->setText(copy);
            give.Cmd_Find_Click();
            settle();
            last.clear();
            t.restart();
            give.Cmd_ReturnSel_Click();
            settle();  // the refreshed list, counted
            const double back = msOf(t);
            if (last != u("还书成功！共归还 1 本图书。"))
                out << "E " << kindOf(last) << '\t' << last.simplified() << '\n';
            else
                out << "R " << back << '\n';
        }
    }
    out << "T " << run.elapsed() << '\n';
    out << "C " << cpuMs() - cpuAtStart << '\n';
    out.flush();
    if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
    return 0;
}

// ---------------------------------------------------------------- the engine alone (a thread a desk)

struct Tally {
    std::vector<double> lend, give;
    QMap<QString, int> errors;
    QMap<QString, QString> sample;  // an error's text, by kind
    double rate = 0;                // actions a second, the desks' own rates added up
    double cpu = 0;                 // the desks' processor time (ms)
    void add(const Tally &t)
    {
        lend.insert(lend.end(), t.lend.begin(), t.lend.end());
        give.insert(give.end(), t.give.begin(), t.give.end());
        for (auto it = t.errors.cbegin(); it != t.errors.cend(); ++it) errors[it.key()] += it.value();
        sample.insert(t.sample);
        rate += t.rate;
        cpu += t.cpu;
    }
    // What one desk did in `ms` (a desk that runs out of copies stops early).
    void worked(qint64 ms) { rate = ms > 0 ? double(lend.size() + give.size()) * 1000 / double(ms) : 0; }
};

// Runs the statements of one transaction; false (and rolled back) when one fails.
bool transaction(NativeDb &db, const QStringList &statements, QString &why)
{
    try {
        for (const QString &sql : statements) {
            if (sql.startsWith(QLatin1String("SELECT")))
                db.query(sql, 0);
            else
                db.exec(sql);
        }
        return true;
    } catch (const ado::Error &e) {
        why = e.Description().section(QLatin1Char('\n'), 0, 0);
        try {
            db.exec(QStringLiteral("ROLLBACK"));
        } catch (const ado::Error &) {
            // Nothing was begun, or the connection is gone: nothing to undo.
        }
        return false;
    }
}

// One desk of the limit: `ready` counts the desks that have read their
// readers and copies; all begin once every one has (a desk that lent before
// another read its pool would change what that one reads).
Tally limitDesk(const ado::ConnectionInfo &info, Args a, int index, std::atomic<int> &ready)
{
    a.index = index;
    Tally tally;
    const std::unique_ptr<NativeDb> db = NativeDb::open(info);
    const Sql s(db->isServer());
    Pool pool = readPool(*db, a);
    Walk walk(pool, a.mode != QLatin1String("lend"));
    ++ready;
    while (ready < a.desks) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QElapsedTimer run;
    run.start();
    QString reader, why;
    QStringList copies;
    const QString day = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    const QString due = QDate::currentDate().addDays(30).toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    for (qint64 n = 0; run.elapsed() < qint64(a.seconds) * 1000 && walk.next(reader, copies); ++n) {
        // Numbers of the loan numbers' shape no other desk makes: the desk, then a count.
        QStringList numbers;
        for (int k = 0; k < copies.size(); ++k)
            numbers << QStringLiteral("9%1%2")
                           .arg(index, 2, 10, QLatin1Char('0'))
                           .arg(n * kCopies + k, 12, 10, QLatin1Char('0'));
        QElapsedTimer t;
        t.start();
        if (!transaction(*db, lendCopies(s, reader, copies, numbers, day, due), why)) {
            ++tally.errors[why];
            continue;
        }
        tally.lend.push_back(msOf(t));
        if (a.mode == QLatin1String("lend")) continue;
        for (int k = 0; k < copies.size(); ++k) {
            t.restart();
            if (!transaction(*db, returnLoan(s, numbers[k], copies[k], reader, day), why))
                ++tally.errors[why];
            else
                tally.give.push_back(msOf(t));
        }
    }
    tally.worked(run.elapsed());
    return tally;
}

// ---------------------------------------------------------------- pgbench

// The same transactions as the engine alone sends, as a pgbench script: each
// client (its desk's readers and copies, from the table bench_pool) lends
// two copies and returns them. Loan numbers are the limit's shape, counted
// by a variable each client keeps.
QString pgbenchScript(const Args &a)
{
    const Sql s(true);
    const QString day = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    const QString due = QDate::currentDate().addDays(30).toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    // Stand-ins the script's variables take the place of.
    QStringList copies, numbers;
    for (int k = 0; k < kCopies; ++k) {
        copies << QStringLiteral("COPY%1STANDIN").arg(k);
        numbers << QStringLiteral("N%1").arg(k).leftJustified(15, QLatin1Char('Z'));
    }
    const auto vars = [&](QString sql) {
        sql.replace(s.quote(QStringLiteral("READERSTANDIN")), QStringLiteral("':r'"));
        for (int k = 0; k < kCopies; ++k) {
            sql.replace(s.quote(copies[k]), QStringLiteral("':c%1'").arg(k));
            sql.replace(s.quote(numbers[k]), QStringLiteral("':n%1'").arg(k));
            sql.replace(s.quote(numbers[k].left(12) + QStringLiteral("999")), QStringLiteral("':u%1'").arg(k));
        }
        sql = sql.simplified();
        return sql + (sql.endsWith(QLatin1Char(';')) ? QStringLiteral("\n") : QStringLiteral(";\n"));
    };
    QString out;
    const bool lendOnly = a.mode == QLatin1String("lend");
    if (lendOnly)
        out += QStringLiteral("\\set i :n\n");  // each lending its own copies, until they run out
    else
        out += QStringLiteral("\\set i :n % %1\n").arg(lendingsAtMost(a));
    out += QStringLiteral("\\set n :n + 1\n");
    for (int k = 0; k < kCopies; ++k) {
        out += QStringLiteral("\\set n%1 900000000000000 + :client_id * 1000000000000 + :n * %2 + %1\n")
                   .arg(k)
                   .arg(kCopies);
        out += QStringLiteral("\\set u%1 (:n%1 / 1000) * 1000 + 999\n").arg(k);
    }
    QStringList pick;
    for (int k = 0; k < kCopies; ++k) pick << QStringLiteral("c%1").arg(k);
    out += QStringLiteral("SELECT r, %1 FROM bench_pool WHERE client = :client_id AND i = :i \\gset\n")
               .arg(pick.join(QStringLiteral(", ")));
    for (const QString &sql : lendCopies(s, QStringLiteral("READERSTANDIN"), copies, numbers, day, due))
        out += vars(sql);
    if (!lendOnly)
        for (int k = 0; k < kCopies; ++k)
            for (const QString &sql : returnLoan(s, numbers[k], copies[k], QStringLiteral("READERSTANDIN"), day))
                out += vars(sql);
    return out;
}

// Runs pgbench with N clients on the work database: what the server does
// with the same transactions sent as fast as one client each can send them.
Tally runPgbench(const ado::ConnectionInfo &work, const Args &a)
{
    {
        // Each client's readers and copies, as the desks' pools.
        const std::unique_ptr<NativeDb> db = NativeDb::open(work);
        QStringList cols;
        for (int k = 0; k < kCopies; ++k) cols << QStringLiteral("c%1 text").arg(k);
        db->exec(QStringLiteral("CREATE TABLE bench_pool (client integer, i integer, r text, %1, PRIMARY KEY "
                                "(client, i))")
                     .arg(cols.join(QStringLiteral(", "))));
        QStringList rows;
        for (int d = 0; d < a.desks; ++d) {
            Args one = a;
            one.index = d;
            Pool pool = readPool(*db, one);
            Walk walk(pool, a.mode != QLatin1String("lend"));
            QString reader;
            QStringList copies;
            for (int i = 0; i < lendingsAtMost(a) && walk.next(reader, copies); ++i) {
                QStringList values{QString::number(d), QString::number(i), Sql(true).quote(reader)};
                for (const QString &c : copies) values << Sql(true).quote(c);
                rows << QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
        }
        db->exec(QStringLiteral("INSERT INTO bench_pool VALUES ") + rows.join(QStringLiteral(", ")));
        db->exec(QStringLiteral("VACUUM ANALYZE bench_pool"));
    }
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("desk.sql"));
    {
        QFile f(script);
        if (!f.open(QIODevice::WriteOnly)) throw ado::Error(QStringLiteral("cannot write ") + script);
        f.write(pgbenchScript(a).toUtf8());
    }
    QString bin = QStandardPaths::findExecutable(QStringLiteral("pgbench"));
    if (bin.isEmpty()) {
        QStringList found = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(found.begin(), found.end(), [](const QString &x, const QString &y) { return x.toInt() < y.toInt(); });
        if (!found.isEmpty()) bin = QStringLiteral("/usr/lib/postgresql/%1/bin/pgbench").arg(found.last());
    }
    const QString host = work.server.section(QLatin1Char(','), 0, 0);
    const QString port = work.server.section(QLatin1Char(','), 1, 1);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), work.pwd);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(bin, {QStringLiteral("-n"),
                  QStringLiteral("-M"),
                  QStringLiteral("simple"),
                  QStringLiteral("-c"),
                  QString::number(a.desks),
                  QStringLiteral("-j"),
                  QString::number(std::min(a.desks, 8)),
                  QStringLiteral("-T"),
                  QString::number(a.seconds),
                  QStringLiteral("-D"),
                  QStringLiteral("n=0"),
                  QStringLiteral("-f"),
                  script,
                  QStringLiteral("-l"),
                  QStringLiteral("--log-prefix"),
                  dir.filePath(QStringLiteral("log")),
                  QStringLiteral("-h"),
                  host,
                  QStringLiteral("-p"),
                  port.isEmpty() ? QStringLiteral("5432") : port,
                  QStringLiteral("-U"),
                  work.uid,
                  work.database});
    if (!p.waitForFinished(qint64(a.seconds) * 1000 + 120000)) p.kill();
    const QString text = QString::fromUtf8(p.readAll());
    Tally tally;
    if (!QRegularExpression(QStringLiteral(R"(tps = [0-9.]+ \(without)")).match(text).hasMatch())
        throw ado::Error(QStringLiteral("pgbench: ") + text.right(2000));
    // A script is a lending and its returns; its log line gives its time
    // (counted as the lending's: the returns' times are not apart) and when it
    // ended. Each client's rate is over its own time, as a desk's is.
    const int perScript = a.mode == QLatin1String("lend") ? 1 : 1 + kCopies;
    QMap<int, std::pair<double, double>> span;  // client: first start, last end (s)
    QMap<int, int> scripts;
    for (const QString &log : QDir(dir.path()).entryList({QStringLiteral("log*")})) {
        QFile f(dir.filePath(log));
        if (!f.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QList<QByteArray> cols = line.split(' ');
            if (cols.size() < 6) continue;
            const int client = cols[0].toInt();
            const double ms = cols[2].toDouble() / 1000;
            const double end = cols[4].toDouble() + cols[5].toDouble() / 1e6;
            tally.lend.push_back(ms);
            auto it = span.find(client);
            if (it == span.end())
                span.insert(client, {end - ms / 1000, end});
            else
                *it = {std::min(it->first, end - ms / 1000), std::max(it->second, end)};
            ++scripts[client];
        }
    }
    for (auto it = span.cbegin(); it != span.cend(); ++it)
        if (it->second > it->first) tally.rate += perScript * scripts[it.key()] / (it->second - it->first);
    for (const QString &l : text.split(QLatin1Char('\n')))
        if (l.contains(QLatin1String("ERROR"))) ++tally.errors[l.simplified().left(120)];
    return tally;
}

// ---------------------------------------------------------------- the run

// "SERVER|UID|PWD|DATABASE", as a desk's Saves/Server.ini holds it.
QString settingsOf(const ado::ConnectionInfo &info)
{
    return QStringList{info.server, info.uid, info.pwd, info.isEmbedded() ? info.embeddedPath() : info.database}.join(
        QLatin1Char('|'));
}

double loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toDouble() : std::nan("");
}

// One line of results: what the table in bench/README.md shows.
QString resultLine(const Args &a, const Tally &t, int violations, double load)
{
    std::vector<double> all = t.lend;
    all.insert(all.end(), t.give.begin(), t.give.end());
    QStringList errors;
    for (auto it = t.errors.cbegin(); it != t.errors.cend(); ++it)
        errors << QStringLiteral("%1 × %2").arg(it.value()).arg(it.key());
    return QStringList{
        a.command, a.engine, a.mode, QString::number(a.desks), QString::number(t.rate, 'f', 1),
        // (pgbench's times are its scripts', a lending and its returns each)
        QString::number(a.command == QLatin1String("pgbench")
                            ? t.rate / (a.mode == QLatin1String("lend") ? 1 : 1 + kCopies)
                            : t.rate * double(t.lend.size()) / double(std::max<size_t>(1, all.size())),
                        'f', 1),
        QString::number(percentile(all, 50), 'f', 1), QString::number(percentile(all, 95), 'f', 1),
        QString::number(percentile(all, 99), 'f', 1), QString::number(percentile(t.lend, 99), 'f', 1),
        QString::number(percentile(t.give, 99), 'f', 1),
        errors.isEmpty() ? QStringLiteral("none") : errors.join(QStringLiteral("; ")),
        violations < 0 ? QStringLiteral("-") : QString::number(violations), QString::number(load, 'f', 1),
        // the desks' own processor time an action (the program's windows, the layer)
        t.cpu > 0 ? QString::number(t.cpu / double(std::max<size_t>(1, all.size())), 'f', 1) : QStringLiteral("-")}
        .join(QLatin1Char('\t'));
}

int runTable(const Args &a)
{
    QString made;
    const ado::ConnectionInfo work = workLibrary(a, made);
    say(QStringLiteral("%1 %2, %3 desks, %4 s: the library %5")
            .arg(a.command, a.engine)
            .arg(a.desks)
            .arg(a.seconds)
            .arg(made));
    Tally tally;
    const double loadBefore = loadAverage();
    if (a.command == QLatin1String("pgbench")) {
        tally = runPgbench(work, a);
    } else if (a.command == QLatin1String("limit")) {
        std::atomic<int> ready{0};
        std::vector<Tally> tallies(size_t(a.desks));
        std::vector<std::thread> threads;
        for (int i = 0; i < a.desks; ++i)
            threads.emplace_back([&, i] { tallies[size_t(i)] = limitDesk(work, a, i, ready); });
        for (std::thread &t : threads) t.join();
        for (const Tally &t : tallies) tally.add(t);
    } else {
        std::vector<std::unique_ptr<QProcess>> desks;
        for (int i = 0; i < a.desks; ++i) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("desk"), QStringLiteral("--server"), settingsOf(work), QStringLiteral("--desks"),
                      QString::number(a.desks), QStringLiteral("--index"), QString::number(i),
                      QStringLiteral("--seconds"), QString::number(a.seconds), QStringLiteral("--mode"), a.mode});
            desks.push_back(std::move(p));
        }
        for (auto &p : desks) {
            while (!p->canReadLine())
                if (!p->waitForReadyRead(600000)) throw ado::Error(QStringLiteral("a desk did not get ready"));
            if (p->readLine().trimmed() != "ready") throw ado::Error(QStringLiteral("a desk did not get ready"));
        }
        for (auto &p : desks) p->write("go\n");
        for (auto &p : desks) p->waitForBytesWritten();
        for (auto &p : desks) {
            if (!p->waitForFinished(qint64(a.seconds) * 1000 + 300000)) p->kill();
            Tally desk;
            for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
                const QString l = QString::fromUtf8(line);
                if (l.startsWith(QLatin1String("L ")))
                    desk.lend.push_back(l.mid(2).toDouble());
                else if (l.startsWith(QLatin1String("R ")))
                    desk.give.push_back(l.mid(2).toDouble());
                else if (l.startsWith(QLatin1String("T ")))
                    desk.worked(l.mid(2).toLongLong());
                else if (l.startsWith(QLatin1String("C ")))
                    desk.cpu = l.mid(2).toDouble();
                else if (l.startsWith(QLatin1String("E "))) {
                    const QString kind = l.mid(2).section(QLatin1Char('\t'), 0, 0);
                    ++desk.errors[kind];
                    desk.sample.insert(kind, l.section(QLatin1Char('\t'), 1));
                }
            }
            tally.add(desk);
        }
    }
    const double load = std::max(loadBefore, loadAverage());
    for (auto it = tally.sample.cbegin(); it != tally.sample.cend(); ++it)
        say(QStringLiteral("  failed (%1): %2").arg(it.key(), it.value()));
    int violations = -1;
    {
        ado::Connection conn;
        conn.Open(work.toString());
        const QStringList v = CheckInvariants(conn);
        violations = int(v.size());
        for (const QString &line : v.mid(0, 5)) say(QStringLiteral("  violation: ") + line);
    }
    const QString line = resultLine(a, tally, violations, load);
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    if (!a.out.isEmpty()) {
        QFile f(a.out);
        if (f.open(QIODevice::Append | QIODevice::Text)) f.write((line + QLatin1Char('\n')).toUtf8());
    }
    return 0;
}

Args parse(const QStringList &argv)
{
    Args a;
    a.command = argv.value(1);
    for (int i = 2; i < argv.size(); i += 2) {
        const QString k = argv[i], v = argv.value(i + 1);
        if (k == QLatin1String("--engine"))
            a.engine = v;
        else if (k == QLatin1String("--server"))
            a.server = v;
        else if (k == QLatin1String("--desks"))
            a.desks = std::max(1, v.toInt());
        else if (k == QLatin1String("--index"))
            a.index = v.toInt();
        else if (k == QLatin1String("--seconds"))
            a.seconds = std::max(1, v.toInt());
        else if (k == QLatin1String("--mode"))
            a.mode = v;
        else if (k == QLatin1String("--scale"))
            a.scale = v.toDouble();
        else if (k == QLatin1String("--seed"))
            a.seed = v.toUInt();
        else if (k == QLatin1String("--data"))
            a.data = v;
        else if (k == QLatin1String("--out"))
            a.out = v;
        else {
            say(QStringLiteral("unknown option %1").arg(k));
            std::exit(2);
        }
    }
    if (a.data.isEmpty()) a.data = QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data");
    a.data = QDir(a.data).absolutePath();
    return a;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const Args a = parse(app.arguments());
    try {
        if (a.command == QLatin1String("desk")) return runDesk(a);
        if ((a.command == QLatin1String("run") || a.command == QLatin1String("limit"))
            && (a.engine != QLatin1String("server") || !a.server.isEmpty()))
            return runTable(a);
        if (a.command == QLatin1String("pgbench") && !a.server.isEmpty()) return runTable(a);
    } catch (const std::exception &e) {
        say(QStringLiteral("bench_desks: %1").arg(ErrorText(e)));
        return 1;
    }
    say(QStringLiteral("usage: bench_desks run|limit --engine sqlite|server --desks N [--seconds T] [--mode both|lend] "
                       "[--scale S] [--seed N] [--server LINE] [--data DIR] [--out FILE]"));
    return 2;
}
