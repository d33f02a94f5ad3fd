#include "core/ClockNumber.h"

#include "core/Mdl_SQLConnection.h"
#include "db/Engine.h"

#include <algorithm>
#include <vector>

namespace {

// Numbers claimed in one go: more than the desks that can be taking a number
// of the same second at once, so the first try nearly always finds one free.
constexpr int kClaimBatch = 48;
constexpr int kSecondDigits = 12;

// The key a number is claimed under (the same on every desk): FNV-1a of the
// table's name and the number.
qint64 claimKey(const QString &table, qulonglong number)
{
    quint64 h = 14695981039346656037ULL;
    const QByteArray bytes = table.toUtf8() + '\x1f' + QByteArray::number(number);
    for (const char c : bytes) {
        h ^= quint8(c);
        h *= 1099511628211ULL;
    }
    return qint64(h);
}

}  // namespace

QString FreeClockNumber(ado::Connection &conn, const QString &table, const QString &column, const QString &candidate)
{
    const int width = int(candidate.size());
    bool ok = false;
    qulonglong number = candidate.toULongLong(&ok);
    if (!ok || width == 0) return candidate;
    // The last number of the same width; the digits after the clock's twelve are the place in a second.
    qulonglong widest = 0;
    for (int i = 0; i < width; ++i) widest = widest * 10 + 9;
    const int placeDigits = std::max(0, width - kSecondDigits);
    const auto text = [width](qulonglong n) { return QString::number(n).rightJustified(width, QLatin1Char('0')); };

    ado::Engine *engine = conn.engine();
    // Every round moves the number on, past numbers another desk holds or stored.
    for (int round = 0; round < 1000 && engine; ++round) {
        std::vector<qint64> keys;
        for (qulonglong n = number; n <= widest && keys.size() < size_t(kClaimBatch); ++n)
            keys.push_back(claimKey(table, n));
        if (keys.empty()) break;
        const int claimed = engine->claimFirst(keys);
        if (claimed < 0) {
            number += keys.size();
            continue;
        }
        number += qulonglong(claimed);
        // Read after the claim: a desk that stored this number before it, or
        // a later one of the same second, has committed and shows here. The
        // second is read as the numbers that begin with it (an index reads
        // them as a range).
        const QString second = text(number).left(width - placeDigits);
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 1 ") + column + QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE ")
                    + column + QStringLiteral(" LIKE ") + SQLQuote(second + QStringLiteral("%"))
                    + QStringLiteral(" AND LEN(") + column + QStringLiteral(") = ") + QString::number(width)
                    + QStringLiteral(" ORDER BY ") + column + QStringLiteral(" DESC"),
                conn, ado::adOpenKeyset, ado::adLockReadOnly);
        if (rs.EOF_()) return text(number);
        const qulonglong highest = rs.Fields(0).toString().toULongLong(&ok);
        if (ok && highest < number) return text(number);
        if (!ok || highest >= widest) break;
        number = highest + 1;
    }
    // No number left of this width: the candidate, which the key then refuses.
    return candidate;
}
