#pragma once
// The benchmarks' results: one line a step, kept in a file per engine and
// scale, and the table that sets each step beside its limit and its target.
#include <QString>
#include <map>
#include <vector>

namespace bench {

struct Result {
    QString id;      // "copies.open"
    QString title;   // "copies: first screen"
    QString engine;  // "sqlite", "server", or "-" for a step no database takes part in
    double scale = 1;
    // What the step is held to (its target): screen, find, return, stats,
    // memory, lend, start, or info (none).
    QString kind;
    double value = 0;  // milliseconds (median); bytes for memory
    double plan = 0;   // the engine's best plan for the rows, milliseconds; for memory the bytes of the data shown
    double empty = 0;  // a first screen: the same window on an empty library, milliseconds
    // A first screen: painting its rows, milliseconds (the grid painted again
    // as shown, less the same grid painted empty).
    double paint = 0;
    double limit = 0;  // what the step is held against: plan + empty + paint; 0 when none
    long rows = -1;    // rows the step shows (the limit's count)
    QString check;     // empty when the window showed what the limit found, else the difference
    QString slowest;   // the program's slowest statement in the step: "N ms: statement"
};

void writeResults(const QString &path, const std::vector<Result> &results);
std::vector<Result> readResults(const QString &path);

// The table of `results`, with each step's growth from the same step in
// `smaller` (a run at a smaller scale; empty for none).
QString resultTable(const std::vector<Result> &results, const std::vector<Result> &smaller);

// The clerk's run (what the screen shows), one line a step, library and
// engine: the median on the empty library (the floor), at the tenth and at
// the full size, the growth between them, the target and the verdict.
// `runs` maps "library/engine/tenth|full" to that run's results.
QString clerkTable(const std::map<QString, std::vector<Result>> &runs);

}  // namespace bench
