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
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <libpq-fe.h>
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

// How many copies a desk may lend in a run when it only lends.
int lendingsAtMost(const Args &a) { return a.mode == QLatin1String("lend") ? a.seconds * 100 : 64; }

Pool readPool(NativeDb &db, const Args &a)
{
    Pool p;
    const int want = lendingsAtMost(a);
    const Sql s(db.isServer());
    const NativeDb::Result readers = db.query(readersSql(s), 1 << 30);
    for (size_t r = size_t(a.index); r < readers.kept.size() && p.readers.size() < want; r += size_t(a.desks)) {
        p.readers << readers.kept[r].value(0);
        p.room.push_back(readers.kept[r].value(1).toInt());
    }
    const NativeDb::Result copies = db.query(copiesSql(s), (want + 1) * a.desks);
    for (size_t r = size_t(a.index); r < copies.kept.size() && p.copies.size() < want; r += size_t(a.desks))
        p.copies << copies.kept[r].value(0);
    if (p.readers.isEmpty() || p.copies.isEmpty()) throw ado::Error(QStringLiteral("no reader or copy to lend"));
    return p;
}

// Walks a pool: the next copy, and a reader with room for it.
class Walk {
public:
    Walk(Pool &p, bool returning) : m_p(p), m_returning(returning) { }
    bool next(QString &reader, QString &copy)
    {
        if (m_returning) {
            // Every loan comes back before the copy is lent again: the room stays.
            reader = m_p.readers[m_i % m_p.readers.size()];
            copy = m_p.copies[m_i % m_p.copies.size()];
            ++m_i;
            return true;
        }
        if (m_i >= m_p.copies.size()) return false;
        while (m_r < m_p.readers.size() && m_p.room[size_t(m_r)] <= 0) ++m_r;
        if (m_r >= m_p.readers.size()) return false;
        --m_p.room[size_t(m_r)];
        reader = m_p.readers[m_r];
        copy = m_p.copies[m_i++];
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
    QCoreApplication::processEvents();
    const auto typeAndEnter = [](FTextBox *box, const QString &text) {
        box->setText(text);
        int key = 13;
        emit box->KeyPress(key);
    };

    std::cout << "ready" << std::endl;
    std::string go;
    if (!std::getline(std::cin, go)) return 1;
    QTextStream out(stdout);
    Walk walk(pool, a.mode != QLatin1String("lend"));
    QElapsedTimer run;
    run.start();
    QString reader, copy;
    bool cleared = true;  // a confirmed lending clears the window itself
    while (run.elapsed() < qint64(a.seconds) * 1000 && walk.next(reader, copy)) {
        if (!cleared) lend.Cmd_Clear_Click();
        last.clear();
        typeAndEnter(lend.Txt_RID.get(), reader);
        typeAndEnter(lend.Txt_BID.get(), copy);
        if (lend.Lst_View->ListItems().Count() == 0) {  // a look-up failed: its message says why
            out << "E " << kindOf(last) << '\t' << last.simplified() << '\n';
            cleared = false;
            continue;
        }
        last.clear();
        QElapsedTimer t;
        t.start();
        lend.Cmd_OK_Click();
        const double ms = msOf(t);
        cleared = last == u("借书成功！共借出 1 本图书。");
        if (!cleared) {
            out << "E " << kindOf(last) << '\t' << last.simplified() << '\n';
            continue;
        }
        out << "L " << ms << '\n';
        if (a.mode == QLatin1String("lend")) continue;
        give.Opt_BID->setValue(true);
        give.Txt_ID->setText(copy);
        give.Cmd_Find_Click();
        last.clear();
        t.restart();
        give.Cmd_ReturnSel_Click();
        const double back = msOf(t);
        if (last != u("还书成功！共归还 1 本图书。"))
            out << "E " << kindOf(last) << '\t' << last.simplified() << '\n';
        else
            out << "R " << back << '\n';
    }
    out << "T " << run.elapsed() << '\n';
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
    void add(const Tally &t)
    {
        lend.insert(lend.end(), t.lend.begin(), t.lend.end());
        give.insert(give.end(), t.give.begin(), t.give.end());
        for (auto it = t.errors.cbegin(); it != t.errors.cend(); ++it) errors[it.key()] += it.value();
        sample.insert(t.sample);
        rate += t.rate;
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
    QString reader, copy, why;
    const QString day = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    const QString due = QDate::currentDate().addDays(30).toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    for (qint64 n = 0; run.elapsed() < qint64(a.seconds) * 1000 && walk.next(reader, copy); ++n) {
        // A number of the loan numbers' shape no other desk makes: the desk, then a count.
        const QString number =
            QStringLiteral("9%1%2").arg(index, 2, 10, QLatin1Char('0')).arg(n, 12, 10, QLatin1Char('0'));
        QElapsedTimer t;
        t.start();
        if (!transaction(*db, lendCopies(s, reader, {copy}, {number}, day, due), why)) {
            ++tally.errors[why];
            continue;
        }
        tally.lend.push_back(msOf(t));
        if (a.mode == QLatin1String("lend")) continue;
        t.restart();
        if (!transaction(*db, returnLoan(s, number, copy, reader, day), why))
            ++tally.errors[why];
        else
            tally.give.push_back(msOf(t));
    }
    tally.worked(run.elapsed());
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
        a.command,
        a.engine,
        a.mode,
        QString::number(a.desks),
        QString::number(t.rate, 'f', 1),
        QString::number(t.rate * double(t.lend.size()) / double(std::max<size_t>(1, all.size())), 'f', 1),
        QString::number(percentile(all, 50), 'f', 1),
        QString::number(percentile(all, 95), 'f', 1),
        QString::number(percentile(all, 99), 'f', 1),
        QString::number(percentile(t.lend, 99), 'f', 1),
        QString::number(percentile(t.give, 99), 'f', 1),
        errors.isEmpty() ? QStringLiteral("none") : errors.join(QStringLiteral("; ")),
        violations < 0 ? QStringLiteral("-") : QString::number(violations),
        QString::number(load, 'f', 1)}
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
    if (a.command == QLatin1String("limit")) {
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
    } catch (const std::exception &e) {
        say(QStringLiteral("bench_desks: %1").arg(ErrorText(e)));
        return 1;
    }
    say(QStringLiteral("usage: bench_desks run|limit --engine sqlite|server --desks N [--seconds T] [--mode both|lend] "
                       "[--scale S] [--seed N] [--server LINE] [--data DIR] [--out FILE]"));
    return 2;
}
