#include "db/Trace.h"

#include "db/Engine.h"
#include "db/PagedResult.h"

#include <cstdio>

namespace ado::trace {

bool enabled()
{
    static const bool on = [] {
        const QByteArray v = qgetenv("LIBRARY_TRACE");
        return !v.isEmpty() && v != "0";
    }();
    return on;
}

namespace {
QString rows(qint64 n, const char *what)
{
    return QStringLiteral("%1 %2%3").arg(QString::number(n), n == 1 ? QStringLiteral("row") : QStringLiteral("rows"),
                                         QLatin1String(what));
}
}  // namespace

QString outcome(long touched) { return touched < 0 ? QStringLiteral("done") : rows(touched, " touched"); }

QString outcome(const ResultSetPtr &result)
{
    if (!result) return QStringLiteral("done");
    // Asking a result read in parts for its rows could read them all: the
    // trace must not read what the program would not.
    if (dynamic_cast<const PagedResult *>(result.get()))
        return QStringLiteral("the first rows of more (the rest read as they are asked for)");
    return rows(result->rowCount(), "");
}

QString outcome(const std::vector<QVariant> &) { return QStringLiteral("the row written back"); }

QString translationOf(Engine &engine, const QString &sql, bool updatable)
{
    try {
        return engine.translation(sql, updatable).sql;
    } catch (const Error &) {
        return QString();  // the statement failed for it, and the trace says so
    }
}

void write(const QString &statement, const QString &translation, const QString &outcome, qint64 nanoseconds,
           const QString &failure)
{
    QString text = QStringLiteral("trace: ") + statement + QLatin1Char('\n');
    if (!translation.isEmpty()) text += QStringLiteral("  engine: ") + translation + QLatin1Char('\n');
    const QString ms = QString::number(double(nanoseconds) / 1e6, 'f', 2);
    text += QStringLiteral("  %1 ms, %2\n").arg(ms, failure.isEmpty() ? outcome : QStringLiteral("failed: ") + failure);
    // One write for the whole statement, so that desks tracing into one
    // terminal don't interleave their lines.
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

}  // namespace ado::trace
