#include "core/ClockNumber.h"

#include "core/Mdl_SQLConnection.h"

QString FreeClockNumber(ado::Connection &conn, const QString &table, const QString &column, const QString &candidate)
{
    QString number = candidate;
    for (;;) {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE ")
                    + column + QStringLiteral(" = ") + SQLQuote(number),
                conn, ado::adOpenKeyset, ado::adLockReadOnly);
        if (rs.EOF_()) return number;
        bool ok = false;
        const qulonglong next = number.toULongLong(&ok) + 1;
        const QString text = QString::number(next).rightJustified(int(number.size()), QLatin1Char('0'));
        // A number that is no number, or one that would grow a digit, can't move on.
        if (!ok || text.size() != number.size()) return candidate;
        number = text;
    }
}
