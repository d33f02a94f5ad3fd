#pragma once
// The statement trace. With the environment variable LIBRARY_TRACE set (to
// anything but "" or "0") every statement the program runs is written to
// standard error: as the window wrote it, as the engine runs it, what it gave
// and how long it took, e.g.
//
//   trace: SELECT TOP 5 读者编号 FROM 读者档案
//     engine: SELECT 读者编号 FROM 读者档案 ... LIMIT 5
//     0.41 ms, 5 rows
//
// A SELECT read in parts (db/PagedResult.h) shows the rows read at once; the
// later parts are the same statement with LIMIT and OFFSET. Transactions show
// as BEGIN TRANSACTION, COMMIT and ROLLBACK, the time of BEGIN being the wait
// for the writer's lock.
//
// A call site wraps what it runs (db/Ado.cpp):
//   return trace::statement(*m_engine, sql, false, [&] { return m_engine->execute(sql); });
// With the trace off that costs the test of one flag.

#include "db/Ado.h"

#include <QElapsedTimer>
#include <type_traits>
#include <utility>
#include <vector>

namespace ado {

class Engine;

namespace trace {

bool enabled();

// What a statement gave, in the trace's words.
QString outcome(long touched);  // rows touched; -1 (a SELECT run for its effect): "done"
QString outcome(const ResultSetPtr &rows);
QString outcome(const std::vector<QVariant> &written);  // a recordset's row written back

// The statement `engine` runs for `sql`, or why there is none.
QString translationOf(Engine &engine, const QString &sql, bool updatable);

// Writes one statement's lines at once: the outcome, or the failure when
// there is one (an empty translation writes no engine line).
void write(const QString &statement, const QString &translation, const QString &outcome, qint64 nanoseconds,
           const QString &failure = QString());

// Runs `run`, and with the trace on writes `statement`, the translation
// `translate()` gives, the outcome and the time; a failure is written and
// raised again.
template <class Run, class Translate>
auto timed(const QString &statement, Translate &&translate, Run &&run) -> decltype(run())
{
    if (!enabled()) return run();
    QElapsedTimer clock;
    clock.start();
    try {
        if constexpr (std::is_void_v<decltype(run())>) {
            run();
            write(statement, translate(), QStringLiteral("done"), clock.nsecsElapsed());
        } else {
            auto result = run();
            write(statement, translate(), outcome(result), clock.nsecsElapsed());
            return result;
        }
    } catch (const Error &e) {
        write(statement, translate(), QString(), clock.nsecsElapsed(), e.Description());
        throw;
    }
}

// A statement in the program's dialect, run on `engine`.
template <class Run> auto statement(Engine &engine, const QString &sql, bool updatable, Run &&run) -> decltype(run())
{
    return timed(
        sql, [&] { return translationOf(engine, sql, updatable); }, std::forward<Run>(run));
}

// What is not a statement of the dialect: a transaction's steps, a row written back.
template <class Run> auto action(const QString &what, Run &&run) -> decltype(run())
{
    return timed(
        what, [] { return QString(); }, std::forward<Run>(run));
}

}  // namespace trace
}  // namespace ado
