// Values as the server reads and shows them: dates in every form the windows
// write or a user types, money in exact ten-thousandths, and the stored form
// of a value for a column of each kind.
#include "db/Dialect.h"
#include "db/ServerMessages.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>

namespace dialect {

using ado::Error;

namespace {

bool validTime(int h, int mi, int s) { return h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s < 60; }

QString formatStamp(int y, int mo, int d, int h, int mi, int s)
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(mo, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'))
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(mi, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

}  // namespace

namespace {

// Reads 1..maxDigits digits at i; -1 when there are none.
int digits(const QString &t, int &i, int maxDigits)
{
    int v = 0, n = 0;
    while (i < t.size() && n < maxDigits && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9')) {
        v = v * 10 + (t[i].unicode() - '0');
        ++i;
        ++n;
    }
    return n ? v : -1;
}

bool allDigits(const QString &t)
{
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return !t.isEmpty();
}

// Two-digit years as the server reads them: 00-49 are 20xx, 50-99 19xx.
int centuryOf(int yy) { return yy < 50 ? 2000 + yy : 1900 + yy; }

struct Ymd {
    int y = 0, mo = 0, d = 0;
};

// The date part: "yyyymmdd" and "yymmdd" without separators, or three numbers
// joined by one separator "-", "/" or ".": a four-digit year first reads
// year-month-day; otherwise month-day-year (the server's US order), the year
// of four digits or of one or two (see centuryOf).
std::optional<Ymd> parseDatePart(const QString &t)
{
    Ymd r;
    if (allDigits(t) && (t.size() == 6 || t.size() == 8)) {
        if (t.size() == 8) {
            r.y = t.left(4).toInt();
            r.mo = t.mid(4, 2).toInt();
            r.d = t.mid(6, 2).toInt();
        } else {
            r.y = centuryOf(t.left(2).toInt());
            r.mo = t.mid(2, 2).toInt();
            r.d = t.mid(4, 2).toInt();
        }
        return r;
    }
    int n[3] = {0, 0, 0}, len[3] = {0, 0, 0};
    QChar sep;
    int i = 0;
    for (int part = 0; part < 3; ++part) {
        const int start = i;
        n[part] = digits(t, i, 4);
        len[part] = i - start;
        if (n[part] < 0) return std::nullopt;
        if (part == 2) break;
        if (i >= t.size()) return std::nullopt;
        const QChar c = t[i];
        if (part == 0) {
            if (c != QLatin1Char('-') && c != QLatin1Char('/') && c != QLatin1Char('.')) return std::nullopt;
            sep = c;
        } else if (c != sep) {
            return std::nullopt;
        }
        ++i;
    }
    if (i != t.size()) return std::nullopt;
    if (len[0] == 4 && len[1] <= 2 && len[2] <= 2) {
        r.y = n[0], r.mo = n[1], r.d = n[2];
    } else if (len[0] <= 2 && len[1] <= 2 && len[2] == 4) {
        r.mo = n[0], r.d = n[1], r.y = n[2];
    } else if (len[0] <= 2 && len[1] <= 2 && len[2] <= 2) {
        r.mo = n[0], r.d = n[1], r.y = centuryOf(n[2]);
    } else {
        return std::nullopt;
    }
    return r;
}

struct Hms {
    int h = 0, mi = 0, s = 0;
};

// The time part: "h:nn", "h:nn:ss" or "h:nn:ss.fff", each optionally followed
// (with or without a blank) by AM or PM, which need an hour from 1 to 12.
std::optional<Hms> parseTimePart(const QString &input)
{
    QString t = input;
    int ampm = 0;  // 1 AM, 2 PM
    if (t.size() >= 2) {
        const QString tail = t.right(2).toUpper();
        if (tail == QLatin1String("AM") || tail == QLatin1String("PM")) {
            ampm = tail == QLatin1String("AM") ? 1 : 2;
            t.chop(2);
            while (t.endsWith(QLatin1Char(' '))) t.chop(1);
        }
    }
    Hms r;
    int i = 0;
    r.h = digits(t, i, 2);
    if (r.h < 0 || i >= t.size() || t[i] != QLatin1Char(':')) return std::nullopt;
    ++i;
    r.mi = digits(t, i, 2);
    if (r.mi < 0) return std::nullopt;
    if (i < t.size()) {
        if (t[i] != QLatin1Char(':')) return std::nullopt;
        ++i;
        r.s = digits(t, i, 2);
        if (r.s < 0) return std::nullopt;
        if (i < t.size()) {
            if (t[i] != QLatin1Char('.')) return std::nullopt;
            ++i;
            if (digits(t, i, 3) < 0 || i != t.size()) return std::nullopt;
        }
    }
    if (ampm) {
        if (r.h < 1 || r.h > 12) return std::nullopt;
        r.h = r.h % 12 + (ampm == 2 ? 12 : 0);
    }
    if (!validTime(r.h, r.mi, r.s)) return std::nullopt;
    return r;
}

}  // namespace

std::optional<QString> normalizeDate(const QString &input)
{
    const QString text = input.trimmed();
    if (text.isEmpty()) return std::nullopt;
    // A time alone is that time on the server's day zero.
    if (auto t = parseTimePart(text)) return formatStamp(1900, 1, 1, t->h, t->mi, t->s);
    int sep = -1;
    for (int k = 0; k < text.size(); ++k)
        if (text[k] == QLatin1Char(' ') || text[k] == QLatin1Char('T')) {
            sep = k;
            break;
        }
    const QString datePart = sep > 0 ? text.left(sep) : text;
    const QString timeText = sep > 0 ? text.mid(sep + 1).trimmed() : QString();
    // "T" joins a time only to the ISO date "yyyy-mm-dd".
    if (sep > 0 && text[sep] == QLatin1Char('T')
        && !(datePart.size() == 10 && datePart[4] == QLatin1Char('-') && datePart[7] == QLatin1Char('-')))
        return std::nullopt;
    const std::optional<Ymd> d = parseDatePart(datePart);
    if (!d || d->y < 1753 || d->y > 9999 || !QDate(d->y, d->mo, d->d).isValid()) return std::nullopt;
    Hms t;
    if (sep > 0) {
        const std::optional<Hms> parsed = parseTimePart(timeText);
        if (!parsed) return std::nullopt;
        t = *parsed;
    }
    return formatStamp(d->y, d->mo, d->d, t.h, t.mi, t.s);
}

namespace {
constexpr ExactDecimal::Wide kExactLimit = ExactDecimal::Wide(1000000000000000LL) * 1000000000000000LL;  // 10^30
}

std::optional<ExactDecimal> ExactDecimal::parse(const QString &input)
{
    const QString text = input.trimmed();
    ExactDecimal d;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) negative = text[i++] == QLatin1Char('-');
    bool any = false, point = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9') break;
        d.digits = d.digits * 10 + (c - u'0');
        if (d.digits >= kExactLimit) return std::nullopt;
        if (point) ++d.scale;
        any = true;
    }
    if (!any) return std::nullopt;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool down = false;
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) down = text[i++] == QLatin1Char('-');
        int e = 0;
        bool exponent = false;
        for (; i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9'; ++i) {
            exponent = true;
            if ((e = e * 10 + (text[i].unicode() - u'0')) > 30) return std::nullopt;
        }
        if (!exponent) return std::nullopt;
        d.scale += down ? e : -e;
    }
    if (i != n) return std::nullopt;
    for (; d.scale < 0; ++d.scale)
        if ((d.digits *= 10) >= kExactLimit) return std::nullopt;
    if (d.scale > 30) return std::nullopt;
    if (negative) d.digits = -d.digits;
    return d;
}

ExactDecimal::Wide ExactDecimal::power() const
{
    Wide p = 1;
    for (int i = 0; i < scale; ++i) p *= 10;
    return p;
}

QString ExactDecimal::toString() const
{
    Wide a = digits < 0 ? -digits : digits;
    QString out;
    for (int i = 0; a > 0 || i <= scale; ++i) {
        if (i == scale && scale > 0) out.prepend(QLatin1Char('.'));
        out.prepend(QChar(char16_t(u'0' + int(a % 10))));
        a /= 10;
    }
    return digits < 0 ? QLatin1Char('-') + out : out;
}

std::optional<ExactDecimal> ExactDecimal::plus(const ExactDecimal &o) const
{
    ExactDecimal a = *this, b = o;
    for (; a.scale < b.scale; ++a.scale) a.digits *= 10;
    for (; b.scale < a.scale; ++b.scale) b.digits *= 10;
    const Wide sum = a.digits + b.digits;
    if (sum >= kExactLimit || sum <= -kExactLimit) return std::nullopt;
    return ExactDecimal{sum, a.scale};
}

std::optional<ExactDecimal> ExactDecimal::times(const ExactDecimal &o) const
{
    const Wide a = digits < 0 ? -digits : digits, b = o.digits < 0 ? -o.digits : o.digits;
    if (a != 0 && b >= kExactLimit / a) return std::nullopt;
    if (scale + o.scale > 30) return std::nullopt;
    return ExactDecimal{digits * o.digits, scale + o.scale};
}

std::optional<qint64> parseMoney(const QString &input)
{
    QString text = input.trimmed();
    if (text.startsWith(QLatin1Char('$'))) text = text.mid(1).trimmed();
    text.remove(QLatin1Char(','));
    if (text.isEmpty()) return std::nullopt;
    bool negative = false;
    int i = 0;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    qint64 units = 0;
    int wholeDigits = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        if (++wholeDigits > 15) return std::nullopt;
        units = units * 10 + (text[i].unicode() - '0');
        ++i;
    }
    int frac[5] = {0, 0, 0, 0, 0};
    int fracDigits = 0;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
            if (fracDigits < 5) frac[fracDigits] = text[i].unicode() - '0';
            ++fracDigits;
            ++i;
        }
    }
    if (wholeDigits + fracDigits == 0) return std::nullopt;
    if (i < text.size()) {
        // 1e2, 1.5E-1: read as a floating number.
        if (text[i] != QLatin1Char('e') && text[i] != QLatin1Char('E')) return std::nullopt;
        bool ok = false;
        const double v = text.mid(negative || text[0] == QLatin1Char('+') ? 1 : 0).toDouble(&ok);
        if (!ok || !std::isfinite(v) || std::fabs(v) > 9e14) return std::nullopt;
        const qint64 r = std::llround(v * 10000.0);
        return negative ? -r : r;
    }
    // Money holds what a 64-bit integer holds, one ten-thousandth more below
    // zero than above; past that the server refuses the value, it never wraps.
    quint64 v = quint64(units) * 10000 + quint64(frac[0] * 1000 + frac[1] * 100 + frac[2] * 10 + frac[3]);
    if (frac[4] >= 5) v += 1;  // half away from zero
    const quint64 limit = negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    if (v > limit) return std::nullopt;
    return negative ? qint64(0 - v) : qint64(v);
}

int moneyChars(qint64 v, int style, char *out)
{
    const bool neg = v < 0;
    const quint64 a = neg ? quint64(-(v + 1)) + 1 : quint64(v);
    // Four decimals show the stored value as it is; two round it to the
    // cent, halves away from zero (0.125 shows 0.13, -0.125 -0.13).
    const bool toCents = style != 2;
    const quint64 units = toCents ? (a + 50) / 100 : a;
    const int places = toCents ? 2 : 4;
    char reversed[kMoneyChars];
    int n = 0;
    quint64 rest = units;
    for (int i = 0; i < places; ++i, rest /= 10) reversed[n++] = char('0' + rest % 10);
    reversed[n++] = '.';
    int whole = 0;
    do {
        if (style == 1 && whole > 0 && whole % 3 == 0) reversed[n++] = ',';
        reversed[n++] = char('0' + rest % 10);
        rest /= 10;
        ++whole;
    } while (rest > 0);
    // What rounds to zero shows no sign.
    if (neg && units > 0) reversed[n++] = '-';
    std::reverse_copy(reversed, reversed + n, out);
    return n;
}

QString moneyText(qint64 v, int style)
{
    char buf[kMoneyChars];
    return QString::fromLatin1(buf, moneyChars(v, style, buf));
}

QString moneyPlain(qint64 v)
{
    const bool neg = v < 0;
    const quint64 a = neg ? quint64(-(v + 1)) + 1 : quint64(v);
    QString out = QString::number(a / 10000);
    if (a % 10000) {
        QString frac = QStringLiteral("%1").arg(a % 10000, 4, 10, QLatin1Char('0'));
        while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
        out += QLatin1Char('.') + frac;
    }
    if (neg) out.prepend(QLatin1Char('-'));
    return out;
}

QString dateText(const QString &s, int style)
{
    if (s.size() < 19) return s;
    const QString y = s.mid(0, 4), mo = s.mid(5, 2), d = s.mid(8, 2), h = s.mid(11, 2), mi = s.mid(14, 2),
                  sec = s.mid(17, 2);
    switch (style) {
    case 20:
    case 120: return s.left(19);
    case 21:
    case 121: return s.left(19) + QLatin1String(".000");
    case 23: return s.left(10);
    case 101: return mo + QLatin1Char('/') + d + QLatin1Char('/') + y;
    case 102: return y + QLatin1Char('.') + mo + QLatin1Char('.') + d;
    case 108: return h + QLatin1Char(':') + mi + QLatin1Char(':') + sec;
    case 111: return y + QLatin1Char('/') + mo + QLatin1Char('/') + d;
    case 112: return y + mo + d;
    default: {  // 0 / 100: "Mar  5 2024  2:05PM"
        static const char *months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const int month = mo.toInt(), hour = h.toInt();
        const int h12 = hour % 12 == 0 ? 12 : hour % 12;
        return QStringLiteral("%1 %2 %3 %4:%5%6")
            .arg(QLatin1String(months[(month + 11) % 12]))
            .arg(d.toInt(), 2)
            .arg(y)
            .arg(h12, 2)
            .arg(mi)
            .arg(hour < 12 ? QLatin1String("AM") : QLatin1String("PM"));
    }
    }
}

QString dateDisplay(const QString &s)
{
    if (s.size() >= 19 && s.mid(10, 9) == QLatin1String(" 00:00:00")) return s.left(10);
    return s;
}

namespace {

QString conversionError(const QString &value, const QString &type, const QString &column)
{
    return ado::msg::conversionFailed(value, type, column);
}

std::optional<qint64> parseInteger(const QString &input)
{
    const QString t = input.trimmed();
    if (t.isEmpty()) return qint64(0);  // the server reads '' as 0
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (ok) return v;
    return std::nullopt;
}

}  // namespace

QVariant toStorage(Kind kind, const QVariant &value, const QString &column)
{
    if (!value.isValid() || value.isNull()) return QVariant();
    const int type = value.typeId();
    const bool isText = type == QMetaType::QString || type == QMetaType::QByteArray || type == QMetaType::QChar;
    switch (kind) {
    case Kind::Date: {
        if (type == QMetaType::QDateTime) return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (type == QMetaType::QDate)
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1String(" 00:00:00");
        const QString s = value.toString();
        if (s.trimmed().isEmpty()) return QVariant();  // an empty text is no date: stored as Null
        if (auto d = normalizeDate(s)) return *d;
        throw Error(conversionError(s, QStringLiteral("datetime"), column));
    }
    case Kind::Money: {
        if (type == QMetaType::Double || type == QMetaType::Float) {
            const double d = value.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > 9e14)
                throw Error(conversionError(value.toString(), QStringLiteral("money"), column));
            return qlonglong(std::llround(d * 10000.0));
        }
        if (!isText && value.canConvert<qlonglong>() && type != QMetaType::Bool)
            return qlonglong(value.toLongLong() * 10000);
        if (type == QMetaType::Bool) return qlonglong(value.toBool() ? 10000 : 0);
        const QString s = value.toString();
        if (s.trimmed().isEmpty()) return qlonglong(0);
        if (auto m = parseMoney(s)) return qlonglong(*m);
        throw Error(conversionError(s, QStringLiteral("money"), column));
    }
    case Kind::Int: {
        if (type == QMetaType::Double || type == QMetaType::Float) {
            // A number past the 64-bit range has no whole value to store.
            const double d = value.toDouble();
            if (!std::isfinite(d) || std::fabs(d) >= 9223372036854775808.0)
                throw Error(conversionError(value.toString(), QStringLiteral("int"), column));
            return qlonglong(d);
        }
        if (!isText) return value.toLongLong();
        const QString s = value.toString();
        if (auto i = parseInteger(s)) return qlonglong(*i);
        throw Error(conversionError(s, QStringLiteral("int"), column));
    }
    case Kind::Flag: {
        if (!isText) return qlonglong(value.toDouble() != 0 ? 1 : 0);
        const QString s = value.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return qlonglong(1);
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return qlonglong(0);
        if (auto i = parseInteger(s)) return qlonglong(*i != 0 ? 1 : 0);
        throw Error(conversionError(s, QStringLiteral("bit"), column));
    }
    case Kind::Text:
        if (type == QMetaType::QDateTime) return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return value.toString();
    case Kind::Blob:
        if (type == QMetaType::QByteArray) return value;
        return value.toString().toUtf8();
    default: return value;
    }
}

}  // namespace dialect
