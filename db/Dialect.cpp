#include "db/Dialect.h"

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace dialect {

using ado::Error;

// ============================================================================
// Schema
// ============================================================================

Kind kindFromDeclaredType(const QString &declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t.startsWith(QLatin1String("MONEY"))) return Kind::Money;
    if (t.startsWith(QLatin1String("DATETIME")) || t == QLatin1String("DATE")) return Kind::Date;
    if (t.startsWith(QLatin1String("BIT"))) return Kind::Flag;
    if (t.startsWith(QLatin1String("INT")) || t.startsWith(QLatin1String("BIGINT"))
        || t.startsWith(QLatin1String("SMALLINT")))
        return Kind::Int;
    if (t.startsWith(QLatin1String("BLOB")) || t.startsWith(QLatin1String("IMAGE"))) return Kind::Blob;
    if (t.startsWith(QLatin1String("REAL")) || t.startsWith(QLatin1String("FLOAT"))
        || t.startsWith(QLatin1String("DECIMAL")) || t.startsWith(QLatin1String("NUMERIC")))
        return Kind::Decimal;
    return Kind::Text;
}

int TableInfo::findColumn(const QString &n) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(n, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

const TableInfo *Catalog::find(const QString &n) const
{
    for (const TableInfo &t : tables)
        if (t.name.compare(n, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

// ============================================================================
// Values
// ============================================================================

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
    qint64 v = units * 10000 + frac[0] * 1000 + frac[1] * 100 + frac[2] * 10 + frac[3];
    if (frac[4] >= 5) v += 1;  // half away from zero
    return negative ? -v : v;
}

QString moneyText(qint64 v, int style)
{
    const bool neg = v < 0;
    const quint64 a = neg ? quint64(-(v + 1)) + 1 : quint64(v);
    QString whole;
    QString frac;
    if (style == 2) {
        whole = QString::number(a / 10000);
        frac = QStringLiteral("%1").arg(a % 10000, 4, 10, QLatin1Char('0'));
    } else {
        const quint64 cents = (a + 50) / 100;
        whole = QString::number(cents / 100);
        frac = QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
        if (style == 1)
            for (int p = whole.size() - 3; p > 0; p -= 3) whole.insert(p, QLatin1Char(','));
    }
    QString out = whole + QLatin1Char('.') + frac;
    const bool nonZero =
        std::any_of(out.cbegin(), out.cend(), [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); });
    if (neg && nonZero) out.prepend(QLatin1Char('-'));
    return out;
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
    QString msg = QStringLiteral("Conversion failed when converting the value '%1' to data type %2").arg(value, type);
    if (!column.isEmpty()) msg += QStringLiteral(" (column %1)").arg(column);
    return msg + QLatin1Char('.');
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
        if (type == QMetaType::Double || type == QMetaType::Float) return qlonglong(value.toDouble());
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

// ============================================================================
// Tokens
// ============================================================================

namespace {

enum class T { End, Ident, QIdent, String, Number, Op, Param };

struct Tok {
    T t = T::End;
    QString s;
    int pos = 0;
};

bool identStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#') || c.isSurrogate();
}
bool identPart(QChar c) { return identStart(c) || c.isDigit() || c == QLatin1Char('$') || c.isMark(); }

[[noreturn]] void syntaxError(const QString &near)
{
    throw Error(QStringLiteral("Incorrect syntax near '%1'.").arg(near));
}

std::vector<Tok> tokenize(const QString &sql)
{
    std::vector<Tok> out;
    const int n = int(sql.size());
    int i = 0;
    bool sawSemicolon = false;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n')) ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) throw Error(QStringLiteral("Missing end comment mark '*/'."));
            i = end + 2;
            continue;
        }
        if (sawSemicolon)
            throw Error(QStringLiteral("Only one statement can be run at a time; the text holds more after ';'."));
        Tok tok;
        tok.pos = i;
        // N'...' is a text literal like '...'.
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n && sql[i + 1] == QLatin1Char('\'')) {
            ++i;
        }
        if (sql[i] == QLatin1Char('\'')) {
            QString v;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    throw Error(QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(v));
                if (sql[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('\'')) {
                        v += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += sql[j++];
            }
            tok.t = T::String;
            tok.s = v;
            i = j + 1;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            QString v;
            int j = i + 1;
            for (;;) {
                if (j >= n) throw Error(QStringLiteral("Unclosed quotation mark after the identifier '%1'.").arg(v));
                if (sql[j] == close) {
                    if (j + 1 < n && sql[j + 1] == close) {
                        v += close;
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += sql[j++];
            }
            if (v.isEmpty()) syntaxError(QString(c) + close);
            tok.t = T::QIdent;
            tok.s = v;
            i = j + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            int j = i;
            while (j < n && sql[j].isDigit()) ++j;
            if (j < n && sql[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && sql[j].isDigit()) ++j;
            }
            if (j < n && (sql[j] == QLatin1Char('e') || sql[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (sql[k] == QLatin1Char('+') || sql[k] == QLatin1Char('-'))) ++k;
                if (k < n && sql[k].isDigit()) {
                    while (k < n && sql[k].isDigit()) ++k;
                    j = k;
                }
            }
            if (j < n && identPart(sql[j])) syntaxError(sql.mid(i, j - i + 1));
            tok.t = T::Number;
            tok.s = sql.mid(i, j - i);
            i = j;
        } else if (identStart(c)) {
            int j = i;
            while (j < n && identPart(sql[j])) ++j;
            tok.t = T::Ident;
            tok.s = sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('?')) {
            tok.t = T::Param;
            tok.s = QStringLiteral("?");
            ++i;
        } else {
            static const char *twoChar[] = {"<>", "!=", "<=", ">=", "*=", "=*", "!<", "!>"};
            tok.t = T::Op;
            QString two = sql.mid(i, 2);
            bool matched = false;
            for (const char *op : twoChar) {
                if (two == QLatin1String(op)) {
                    tok.s = two;
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                if (QStringLiteral("(),.;*=<>+-/%").contains(c)) {
                    tok.s = QString(c);
                    ++i;
                } else {
                    syntaxError(QString(c));
                }
            }
            if (tok.s == QLatin1String(";")) {
                sawSemicolon = true;
                continue;
            }
        }
        out.push_back(tok);
    }
    Tok end;
    end.pos = n;
    out.push_back(end);
    return out;
}

const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),  QStringLiteral("FROM"),      QStringLiteral("WHERE"),    QStringLiteral("GROUP"),
        QStringLiteral("BY"),      QStringLiteral("HAVING"),    QStringLiteral("ORDER"),    QStringLiteral("ASC"),
        QStringLiteral("DESC"),    QStringLiteral("TOP"),       QStringLiteral("DISTINCT"), QStringLiteral("ALL"),
        QStringLiteral("AS"),      QStringLiteral("AND"),       QStringLiteral("OR"),       QStringLiteral("NOT"),
        QStringLiteral("IN"),      QStringLiteral("IS"),        QStringLiteral("NULL"),     QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"), QStringLiteral("EXISTS"),    QStringLiteral("CASE"),     QStringLiteral("WHEN"),
        QStringLiteral("THEN"),    QStringLiteral("ELSE"),      QStringLiteral("END"),      QStringLiteral("UNION"),
        QStringLiteral("INSERT"),  QStringLiteral("INTO"),      QStringLiteral("VALUES"),   QStringLiteral("UPDATE"),
        QStringLiteral("SET"),     QStringLiteral("DELETE"),    QStringLiteral("JOIN"),     QStringLiteral("ON"),
        QStringLiteral("INNER"),   QStringLiteral("LEFT"),      QStringLiteral("RIGHT"),    QStringLiteral("OUTER"),
        QStringLiteral("FULL"),    QStringLiteral("CROSS"),     QStringLiteral("ESCAPE"),   QStringLiteral("PERCENT"),
        QStringLiteral("WITH"),    QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"),   QStringLiteral("COMPUTE"),
        QStringLiteral("FOR"),     QStringLiteral("OPTION")};
    return words;
}

// ============================================================================
// Statement tree
// ============================================================================

struct Query;
struct Node;
using NodeP = std::unique_ptr<Node>;

struct TableRef {
    const TableInfo *info = nullptr;
    QString alias;
    QString qualifier() const { return alias.isEmpty() ? info->name : alias; }
};

struct Node {
    enum K {
        Str,
        Num,
        Null,
        Param,
        Col,
        Unary,
        Bin,
        Between,
        Like,
        InList,
        InSub,
        IsNull,
        Exists,
        Func,
        Convert,
        Case,
        Sub
    };
    K k;
    QString s;     // literal, operator, function name (upper case), column name
    QString qual;  // qualifier of a column
    bool neg = false;
    bool distinct = false;
    bool star = false;  // COUNT(*)
    bool hasOperand = false, hasElse = false;
    std::vector<NodeP> a;
    std::unique_ptr<Query> q;
    QString typeName;  // CONVERT / CAST target, upper case
    int typeLen = -1;
    int style = -1;
    int paramIndex = -1;
    // resolution
    const TableRef *ref = nullptr;
    int col = -1;
    int aliasIndex = -1;  // ORDER BY naming a select item
    Kind kind = Kind::Unknown;
    explicit Node(K kk) : k(kk) { }
};

struct SelectItem {
    NodeP e;
    QString alias;
    bool named = false;  // written with an alias
    bool star = false;
    QString starQual;
};

struct Core {
    bool distinct = false;
    qint64 top = -1;
    std::vector<SelectItem> items;
    std::vector<TableRef> from;
    NodeP where;
    std::vector<NodeP> group;
    NodeP having;
};

struct OrderItem {
    NodeP e;
    bool desc = false;
};

struct Query {
    std::vector<Core> cores;
    std::vector<bool> unionAll;  // between cores[i] and cores[i+1]
    std::vector<OrderItem> order;
};

struct Assignment {
    int col = -1;
    NodeP e;
};

// ============================================================================
// Parser
// ============================================================================

class Parser {
public:
    Parser(const QString &sql, const Catalog &cat) : m_toks(tokenize(sql)), m_cat(cat) { }

    const Tok &peek(int ahead = 0) const
    {
        const size_t i = std::min(m_i + size_t(ahead), m_toks.size() - 1);
        return m_toks[i];
    }
    const Tok &next()
    {
        const Tok &t = m_toks[m_i];
        if (m_i + 1 < m_toks.size()) ++m_i;
        return t;
    }
    bool isKw(const char *kw, int ahead = 0) const
    {
        const Tok &t = peek(ahead);
        return t.t == T::Ident && t.s.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
    }
    bool isOp(const char *op, int ahead = 0) const
    {
        const Tok &t = peek(ahead);
        return t.t == T::Op && t.s == QLatin1String(op);
    }
    bool acceptKw(const char *kw)
    {
        if (!isKw(kw)) return false;
        next();
        return true;
    }
    bool acceptOp(const char *op)
    {
        if (!isOp(op)) return false;
        next();
        return true;
    }
    [[noreturn]] void fail() const
    {
        const Tok &t = peek();
        if (t.t == T::End) throw Error(QStringLiteral("Incorrect syntax near the end of the statement."));
        if (t.t == T::String) syntaxError(QLatin1Char('\'') + t.s + QLatin1Char('\''));
        syntaxError(t.s);
    }
    void expectKw(const char *kw)
    {
        if (!acceptKw(kw)) fail();
    }
    void expectOp(const char *op)
    {
        if (!acceptOp(op)) fail();
    }
    bool atEnd() const { return peek().t == T::End; }
    bool isName(int ahead = 0) const
    {
        const Tok &t = peek(ahead);
        return t.t == T::QIdent || (t.t == T::Ident && !reservedWords().contains(t.s.toUpper()));
    }
    QString name()
    {
        if (!isName()) fail();
        return next().s;
    }

    const TableInfo *table(const QString &n) const
    {
        const TableInfo *t = m_cat.find(n);
        if (!t) throw Error(QStringLiteral("Invalid object name '%1'.").arg(n));
        return t;
    }
    // [db.][owner.]table
    const TableInfo *tableName()
    {
        QString n = name();
        while (isOp(".")) {
            next();
            n = name();
        }
        return table(n);
    }

    int paramCount = 0;

    // --- queries ---------------------------------------------------------
    std::unique_ptr<Query> query()
    {
        auto q = std::make_unique<Query>();
        q->cores.push_back(core());
        while (isKw("UNION")) {
            next();
            q->unionAll.push_back(acceptKw("ALL"));
            q->cores.push_back(core());
        }
        if (isKw("INTERSECT") || isKw("EXCEPT"))
            throw Error(QStringLiteral("%1 is not supported by the database layer.").arg(peek().s.toUpper()));
        if (acceptKw("ORDER")) {
            expectKw("BY");
            do {
                OrderItem o;
                o.e = expr();
                if (acceptKw("DESC"))
                    o.desc = true;
                else
                    acceptKw("ASC");
                q->order.push_back(std::move(o));
            } while (acceptOp(","));
        }
        if (isKw("COMPUTE") || isKw("FOR") || isKw("OPTION"))
            throw Error(QStringLiteral("%1 clauses are not supported by the database layer.").arg(peek().s.toUpper()));
        return q;
    }

    qint64 topCount()
    {
        const bool paren = acceptOp("(");
        if (peek().t != T::Number || peek().s.contains(QLatin1Char('.'))) fail();
        const qint64 n = next().s.toLongLong();
        if (paren) expectOp(")");
        if (isKw("PERCENT") || isKw("WITH"))
            throw Error(QStringLiteral("TOP ... %1 is not supported by the database layer.").arg(peek().s.toUpper()));
        return n;
    }

    Core core()
    {
        Core c;
        expectKw("SELECT");
        for (;;) {
            if (acceptKw("DISTINCT")) {
                c.distinct = true;
            } else if (acceptKw("ALL")) {
                continue;
            } else if (c.top < 0 && acceptKw("TOP")) {
                c.top = topCount();
            } else {
                break;
            }
        }
        do {
            c.items.push_back(selectItem());
        } while (acceptOp(","));
        if (isKw("INTO")) throw Error(QStringLiteral("SELECT ... INTO is not supported by the database layer."));
        if (acceptKw("FROM")) {
            do {
                TableRef r;
                r.info = tableName();
                if (acceptKw("AS"))
                    r.alias = name();
                else if (isName())
                    r.alias = name();
                if (isKw("WITH")) throw Error(QStringLiteral("Table hints are not supported by the database layer."));
                c.from.push_back(r);
                if (isKw("JOIN") || isKw("INNER") || isKw("LEFT") || isKw("RIGHT") || isKw("FULL") || isKw("CROSS"))
                    throw Error(QStringLiteral("JOIN ... ON is not supported by the database layer: list the tables "
                                               "after FROM and join them in WHERE."));
            } while (acceptOp(","));
        }
        if (acceptKw("WHERE")) c.where = expr();
        if (acceptKw("GROUP")) {
            expectKw("BY");
            if (isKw("ALL")) throw Error(QStringLiteral("GROUP BY ALL is not supported by the database layer."));
            do {
                c.group.push_back(expr());
            } while (acceptOp(","));
        }
        if (acceptKw("HAVING")) c.having = expr();
        return c;
    }

    SelectItem selectItem()
    {
        SelectItem it;
        if (acceptOp("*")) {
            it.star = true;
            return it;
        }
        if (isName() && isOp(".", 1) && isOp("*", 2)) {
            it.star = true;
            it.starQual = next().s;
            next();
            next();
            return it;
        }
        // alias = expression
        const Tok &t0 = peek();
        if ((t0.t == T::Ident || t0.t == T::QIdent || t0.t == T::String) && isOp("=", 1)
            && !(t0.t == T::Ident && reservedWords().contains(t0.s.toUpper()))) {
            it.alias = next().s;
            it.named = true;
            next();
            it.e = expr();
            return it;
        }
        it.e = expr();
        // A condition is no value of a select list on the server ("a.b = 1"
        // is refused there; the engine would return 0 or 1).
        const Node *e = it.e.get();
        const bool condition =
            e->k == Node::Between || e->k == Node::Like || e->k == Node::InList || e->k == Node::InSub
            || e->k == Node::IsNull || e->k == Node::Exists || (e->k == Node::Unary && e->s == QLatin1String("NOT"))
            || (e->k == Node::Bin
                && !(e->s == QLatin1String("+") || e->s == QLatin1String("-") || e->s == QLatin1String("*")
                     || e->s == QLatin1String("/") || e->s == QLatin1String("%")));
        if (condition) syntaxError(e->k == Node::Bin ? e->s : QStringLiteral("select list"));
        if (acceptKw("AS")) {
            if (peek().t == T::String)
                it.alias = next().s;
            else
                it.alias = name();
            it.named = true;
        } else if (isName() || peek().t == T::String) {
            it.alias = next().s;
            it.named = true;
        }
        return it;
    }

    // --- expressions -----------------------------------------------------
    NodeP expr() { return orExpr(); }

    static NodeP bin(const QString &op, NodeP l, NodeP r)
    {
        auto n = std::make_unique<Node>(Node::Bin);
        n->s = op;
        n->a.push_back(std::move(l));
        n->a.push_back(std::move(r));
        return n;
    }

    NodeP orExpr()
    {
        NodeP l = andExpr();
        while (acceptKw("OR")) l = bin(QStringLiteral("OR"), std::move(l), andExpr());
        return l;
    }
    NodeP andExpr()
    {
        NodeP l = notExpr();
        while (acceptKw("AND")) l = bin(QStringLiteral("AND"), std::move(l), notExpr());
        return l;
    }
    NodeP notExpr()
    {
        if (acceptKw("NOT")) {
            auto n = std::make_unique<Node>(Node::Unary);
            n->s = QStringLiteral("NOT");
            n->a.push_back(notExpr());
            return n;
        }
        return predicate();
    }
    NodeP predicate()
    {
        if (acceptKw("EXISTS")) {
            expectOp("(");
            auto n = std::make_unique<Node>(Node::Exists);
            n->q = query();
            expectOp(")");
            return n;
        }
        NodeP l = additive();
        static const char *cmp[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "*=", "=*", "!<", "!>"};
        for (const char *op : cmp) {
            if (isOp(op)) {
                next();
                QString o = QLatin1String(op);
                if (o == QLatin1String("!=")) o = QStringLiteral("<>");
                if (o == QLatin1String("!<")) o = QStringLiteral(">=");
                if (o == QLatin1String("!>")) o = QStringLiteral("<=");
                return bin(o, std::move(l), additive());
            }
        }
        bool neg = false;
        if (isKw("NOT") && (isKw("BETWEEN", 1) || isKw("LIKE", 1) || isKw("IN", 1))) {
            next();
            neg = true;
        }
        if (acceptKw("BETWEEN")) {
            auto n = std::make_unique<Node>(Node::Between);
            n->neg = neg;
            n->a.push_back(std::move(l));
            n->a.push_back(additive());
            expectKw("AND");
            n->a.push_back(additive());
            return n;
        }
        if (acceptKw("LIKE")) {
            auto n = std::make_unique<Node>(Node::Like);
            n->neg = neg;
            n->a.push_back(std::move(l));
            n->a.push_back(additive());
            if (acceptKw("ESCAPE")) n->a.push_back(additive());
            return n;
        }
        if (acceptKw("IN")) {
            expectOp("(");
            if (isKw("SELECT")) {
                auto n = std::make_unique<Node>(Node::InSub);
                n->neg = neg;
                n->a.push_back(std::move(l));
                n->q = query();
                expectOp(")");
                return n;
            }
            auto n = std::make_unique<Node>(Node::InList);
            n->neg = neg;
            n->a.push_back(std::move(l));
            do {
                n->a.push_back(expr());
            } while (acceptOp(","));
            expectOp(")");
            return n;
        }
        if (neg) fail();
        if (acceptKw("IS")) {
            auto n = std::make_unique<Node>(Node::IsNull);
            n->neg = acceptKw("NOT");
            expectKw("NULL");
            n->a.push_back(std::move(l));
            return n;
        }
        return l;
    }
    NodeP additive()
    {
        NodeP l = multiplicative();
        for (;;) {
            if (isOp("+") || isOp("-")) {
                const QString op = next().s;
                l = bin(op, std::move(l), multiplicative());
            } else {
                return l;
            }
        }
    }
    NodeP multiplicative()
    {
        NodeP l = unary();
        for (;;) {
            if (isOp("*") || isOp("/") || isOp("%")) {
                const QString op = next().s;
                l = bin(op, std::move(l), unary());
            } else {
                return l;
            }
        }
    }
    NodeP unary()
    {
        if (isOp("-") || isOp("+")) {
            const QString op = next().s;
            NodeP inner = unary();
            if (op == QLatin1String("+")) return inner;
            auto n = std::make_unique<Node>(Node::Unary);
            n->s = op;
            n->a.push_back(std::move(inner));
            return n;
        }
        return primary();
    }

    int typeLength()
    {
        int len = -1;
        if (acceptOp("(")) {
            if (isKw("MAX")) {
                next();
                len = 1 << 30;
            } else {
                if (peek().t != T::Number) fail();
                len = next().s.toInt();
            }
            expectOp(")");
        }
        return len;
    }

    NodeP primary()
    {
        const Tok &t = peek();
        switch (t.t) {
        case T::String: {
            auto n = std::make_unique<Node>(Node::Str);
            n->s = next().s;
            return n;
        }
        case T::Number: {
            auto n = std::make_unique<Node>(Node::Num);
            n->s = next().s;
            return n;
        }
        case T::Param: {
            next();
            auto n = std::make_unique<Node>(Node::Param);
            n->paramIndex = paramCount++;
            return n;
        }
        case T::Op:
            if (acceptOp("(")) {
                if (isKw("SELECT")) {
                    auto n = std::make_unique<Node>(Node::Sub);
                    n->q = query();
                    expectOp(")");
                    return n;
                }
                NodeP e = expr();
                expectOp(")");
                return e;
            }
            fail();
        case T::Ident:
        case T::QIdent: {
            if (t.t == T::Ident) {
                const QString up = t.s.toUpper();
                if (up == QLatin1String("NULL")) {
                    next();
                    return std::make_unique<Node>(Node::Null);
                }
                if (up == QLatin1String("CASE")) return caseExpr();
                if (isOp("(", 1)) return function();
                if (reservedWords().contains(up)) fail();
            }
            auto n = std::make_unique<Node>(Node::Col);
            QStringList parts;
            parts << next().s;
            while (isOp(".")) {
                next();
                parts << name();
            }
            n->s = parts.last();
            if (parts.size() >= 2) n->qual = parts[parts.size() - 2];
            return n;
        }
        default: fail();
        }
    }

    NodeP caseExpr()
    {
        expectKw("CASE");
        auto n = std::make_unique<Node>(Node::Case);
        if (!isKw("WHEN")) {
            n->hasOperand = true;
            n->a.push_back(expr());
        }
        if (!isKw("WHEN")) fail();
        while (acceptKw("WHEN")) {
            n->a.push_back(expr());
            expectKw("THEN");
            n->a.push_back(expr());
        }
        if (acceptKw("ELSE")) {
            n->hasElse = true;
            n->a.push_back(expr());
        }
        expectKw("END");
        return n;
    }

    NodeP function()
    {
        const QString fname = next().s.toUpper();
        expectOp("(");
        if (fname == QLatin1String("CONVERT")) {
            auto n = std::make_unique<Node>(Node::Convert);
            n->typeName = name().toUpper();
            n->typeLen = typeLength();
            expectOp(",");
            n->a.push_back(expr());
            if (acceptOp(",")) {
                bool neg = acceptOp("-");
                if (peek().t != T::Number) fail();
                n->style = next().s.toInt() * (neg ? -1 : 1);
            }
            expectOp(")");
            return n;
        }
        if (fname == QLatin1String("CAST")) {
            auto n = std::make_unique<Node>(Node::Convert);
            n->a.push_back(expr());
            expectKw("AS");
            n->typeName = name().toUpper();
            n->typeLen = typeLength();
            expectOp(")");
            return n;
        }
        auto n = std::make_unique<Node>(Node::Func);
        n->s = fname;
        if (acceptOp(")")) return n;
        if (fname == QLatin1String("COUNT") && acceptOp("*")) {
            n->star = true;
            expectOp(")");
            return n;
        }
        if (acceptKw("DISTINCT"))
            n->distinct = true;
        else
            acceptKw("ALL");
        do {
            n->a.push_back(expr());
        } while (acceptOp(","));
        expectOp(")");
        return n;
    }

    const Catalog &catalog() const { return m_cat; }

private:
    std::vector<Tok> m_toks;
    size_t m_i = 0;
    const Catalog &m_cat;
};

// ============================================================================
// Names, kinds and the engine's text
// ============================================================================

QString quoteIdent(const QString &s)
{
    QString v = s;
    v.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QString quoteText(const QString &s)
{
    QString v = s;
    v.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

bool isAggregate(const QString &f)
{
    return f == QLatin1String("COUNT") || f == QLatin1String("SUM") || f == QLatin1String("AVG")
           || f == QLatin1String("MIN") || f == QLatin1String("MAX");
}

bool isNumeric(Kind k) { return k == Kind::Int || k == Kind::Flag || k == Kind::Decimal; }

QString kindName(Kind k)
{
    switch (k) {
    case Kind::Text: return QStringLiteral("varchar");
    case Kind::Int: return QStringLiteral("int");
    case Kind::Flag: return QStringLiteral("bit");
    case Kind::Money: return QStringLiteral("money");
    case Kind::Decimal: return QStringLiteral("numeric");
    case Kind::Date: return QStringLiteral("datetime");
    case Kind::Blob: return QStringLiteral("image");
    default: return QStringLiteral("value");
    }
}

struct Scope {
    std::vector<TableRef> *tables = nullptr;
    const Scope *parent = nullptr;
};

class Translator {
public:
    Translator(const Catalog &cat, int paramCount) : m_cat(cat)
    {
        m_paramKinds.assign(size_t(paramCount), Kind::Unknown);
        findOutstandingValue();
    }

    std::vector<Kind> m_paramKinds;

    // --- resolution ------------------------------------------------------
    void resolveColumn(Node *n, const Scope *sc)
    {
        for (const Scope *s = sc; s; s = s->parent) {
            const TableRef *found = nullptr;
            int foundCol = -1;
            for (const TableRef &r : *s->tables) {
                if (!n->qual.isEmpty() && r.qualifier().compare(n->qual, Qt::CaseInsensitive) != 0) continue;
                const int c = r.info->findColumn(n->s);
                if (c < 0) continue;
                if (found) throw Error(QStringLiteral("Ambiguous column name '%1'.").arg(n->s));
                found = &r;
                foundCol = c;
            }
            if (!found && !n->qual.isEmpty()) {
                // A qualifier naming a table of this scope whose column is missing.
                for (const TableRef &r : *s->tables)
                    if (r.qualifier().compare(n->qual, Qt::CaseInsensitive) == 0)
                        throw Error(QStringLiteral("Invalid column name '%1'.").arg(n->s));
            }
            if (found) {
                n->ref = found;
                n->col = foundCol;
                n->kind = found->info->columns[size_t(foundCol)].kind;
                return;
            }
        }
        if (!n->qual.isEmpty())
            throw Error(QStringLiteral("The multi-part identifier '%1.%2' could not be bound.").arg(n->qual, n->s));
        throw Error(QStringLiteral("Invalid column name '%1'.").arg(n->s));
    }

    static Kind arithKind(const QString &op, Kind l, Kind r)
    {
        if (op == QLatin1String("+") || op == QLatin1String("-")) {
            if (l == Kind::Money || r == Kind::Money) return Kind::Money;
            if (op == QLatin1String("+") && l == Kind::Text && r == Kind::Text) return Kind::Text;
            if (l == Kind::Date || r == Kind::Date) return Kind::Date;
            if (l == Kind::Decimal || r == Kind::Decimal) return Kind::Decimal;
            if ((l == Kind::Int || l == Kind::Flag) && (r == Kind::Int || r == Kind::Flag)) return Kind::Int;
            return Kind::Unknown;
        }
        if (op == QLatin1String("*")) {
            if (l == Kind::Money || r == Kind::Money) return Kind::Money;
        }
        if (op == QLatin1String("/")) {
            if (l == Kind::Money && r == Kind::Money) return Kind::Decimal;
            if (l == Kind::Money) return Kind::Money;
        }
        if (l == Kind::Decimal || r == Kind::Decimal) return Kind::Decimal;
        if ((l == Kind::Int || l == Kind::Flag) && (r == Kind::Int || r == Kind::Flag)) return Kind::Int;
        return Kind::Unknown;
    }

    void resolve(Node *n, const Scope *sc)
    {
        for (auto &c : n->a) resolve(c.get(), sc);
        switch (n->k) {
        case Node::Str: n->kind = Kind::Text; break;
        case Node::Num:
            n->kind = (n->s.contains(QLatin1Char('.')) || n->s.contains(QLatin1Char('e'), Qt::CaseInsensitive))
                          ? Kind::Decimal
                          : Kind::Int;
            break;
        case Node::Null: n->kind = Kind::Null; break;
        case Node::Param: n->kind = Kind::Unknown; break;
        case Node::Col: resolveColumn(n, sc); break;
        case Node::Unary:
            n->kind = n->s == QLatin1String("NOT")  ? Kind::Int
                      : n->a[0]->kind == Kind::Flag ? Kind::Int
                                                    : n->a[0]->kind;
            break;
        case Node::Bin: {
            const QString &op = n->s;
            if (op == QLatin1String("+") || op == QLatin1String("-") || op == QLatin1String("*")
                || op == QLatin1String("/") || op == QLatin1String("%"))
                n->kind = arithKind(op, n->a[0]->kind, n->a[1]->kind);
            else
                n->kind = Kind::Int;
            break;
        }
        case Node::InSub:
        case Node::Exists:
            resolveQuery(n->q.get(), sc);
            n->kind = Kind::Int;
            break;
        case Node::Between:
        case Node::Like:
        case Node::InList:
        case Node::IsNull: n->kind = Kind::Int; break;
        case Node::Sub:
            resolveQuery(n->q.get(), sc);
            n->kind = outputKinds(*n->q).empty() ? Kind::Unknown : outputKinds(*n->q).front();
            break;
        case Node::Func: resolveFunction(n); break;
        case Node::Convert: resolveConvert(n); break;
        case Node::Case: {
            n->kind = Kind::Null;
            const size_t first = n->hasOperand ? 1 : 0;
            for (size_t i = first; i < n->a.size(); ++i) {
                const bool isResult = (i >= first && (i - first) % 2 == 1) || (n->hasElse && i + 1 == n->a.size());
                if (isResult && n->a[i]->kind != Kind::Null) {
                    n->kind = n->a[i]->kind;
                    break;
                }
            }
            if (n->kind == Kind::Null) n->kind = Kind::Unknown;
            break;
        }
        }
    }

    void resolveFunction(Node *n)
    {
        const QString &f = n->s;
        auto argc = [&](size_t lo, size_t hi) {
            if (n->a.size() < lo || n->a.size() > hi)
                throw Error(QStringLiteral("The %1 function requires %2 argument(s).").arg(f).arg(lo));
        };
        if (f == QLatin1String("COUNT")) {
            if (!n->star) argc(1, 1);
            n->kind = Kind::Int;
        } else if (f == QLatin1String("SUM") || f == QLatin1String("MIN") || f == QLatin1String("MAX")
                   || f == QLatin1String("AVG")) {
            argc(1, 1);
            const Kind k = n->a[0]->kind;
            n->kind = k == Kind::Flag ? Kind::Int : k;
            if ((f == QLatin1String("SUM") || f == QLatin1String("AVG")) && (k == Kind::Text || k == Kind::Date))
                throw Error(
                    QStringLiteral("Operand data type %1 is invalid for %2 operator.").arg(kindName(k), f.toLower()));
        } else if (f == QLatin1String("UPPER") || f == QLatin1String("LOWER") || f == QLatin1String("LTRIM")
                   || f == QLatin1String("RTRIM")) {
            argc(1, 1);
            n->kind = Kind::Text;
        } else if (f == QLatin1String("LEN")) {
            argc(1, 1);
            n->kind = Kind::Int;
        } else if (f == QLatin1String("ISNULL")) {
            argc(2, 2);
            n->kind = n->a[0]->kind == Kind::Null ? n->a[1]->kind : n->a[0]->kind;
        } else if (f == QLatin1String("GETDATE")) {
            argc(0, 0);
            n->kind = Kind::Date;
        } else {
            throw Error(QStringLiteral("'%1' is not a recognized built-in function name.").arg(f));
        }
        if (!isAggregate(f) && n->distinct) fail(f);
    }

    [[noreturn]] static void fail(const QString &near) { syntaxError(near); }

    static bool isTextType(const QString &t)
    {
        return t == QLatin1String("VARCHAR") || t == QLatin1String("NVARCHAR") || t == QLatin1String("CHAR")
               || t == QLatin1String("NCHAR");
    }
    static bool isIntType(const QString &t)
    {
        return t == QLatin1String("INT") || t == QLatin1String("INTEGER") || t == QLatin1String("BIGINT")
               || t == QLatin1String("SMALLINT") || t == QLatin1String("TINYINT");
    }

    void resolveConvert(Node *n)
    {
        const QString &t = n->typeName;
        const Kind src = n->a[0]->kind;
        if (isTextType(t)) {
            n->kind = Kind::Text;
            if (n->typeLen < 0) n->typeLen = 30;
            if (src == Kind::Date) {
                static const QList<int> styles = {-1, 0, 100, 20, 120, 21, 121, 23, 101, 102, 108, 111, 112};
                if (!styles.contains(n->style))
                    throw Error(
                        QStringLiteral(
                            "%1 is not a valid style number when converting from datetime to a character string.")
                            .arg(n->style));
            } else if (src == Kind::Money) {
                if (n->style > 2 || n->style < -1)
                    throw Error(QStringLiteral(
                                    "%1 is not a valid style number when converting from money to a character string.")
                                    .arg(n->style));
            }
            return;
        }
        if (isIntType(t)) {
            if (!(isNumeric(src) || src == Kind::Null || n->a[0]->k == Node::Str || src == Kind::Money))
                throw Error(
                    QStringLiteral("CONVERT of %1 to int is not supported by the database layer.").arg(kindName(src)));
            n->kind = Kind::Int;
            return;
        }
        if (t == QLatin1String("MONEY") || t == QLatin1String("SMALLMONEY")) {
            if (!(isNumeric(src) || src == Kind::Money || src == Kind::Null || n->a[0]->k == Node::Str))
                throw Error(QStringLiteral("CONVERT of %1 to money is not supported by the database layer.")
                                .arg(kindName(src)));
            n->kind = Kind::Money;
            return;
        }
        if (t == QLatin1String("DATETIME") || t == QLatin1String("SMALLDATETIME")) {
            if (!(src == Kind::Text || src == Kind::Date || src == Kind::Null || src == Kind::Unknown))
                throw Error(QStringLiteral("CONVERT of %1 to datetime is not supported by the database layer.")
                                .arg(kindName(src)));
            n->kind = Kind::Date;
            return;
        }
        throw Error(QStringLiteral("CONVERT to %1 is not supported by the database layer.").arg(t.toLower()));
    }

    static std::vector<Kind> outputKinds(const Query &q)
    {
        std::vector<Kind> out;
        for (const SelectItem &it : q.cores.front().items) out.push_back(it.e ? it.e->kind : Kind::Unknown);
        return out;
    }

    void expandStars(Core &c)
    {
        std::vector<SelectItem> items;
        for (SelectItem &it : c.items) {
            if (!it.star) {
                items.push_back(std::move(it));
                continue;
            }
            bool any = false;
            for (const TableRef &r : c.from) {
                if (!it.starQual.isEmpty() && r.qualifier().compare(it.starQual, Qt::CaseInsensitive) != 0) continue;
                any = true;
                for (size_t i = 0; i < r.info->columns.size(); ++i) {
                    SelectItem col;
                    col.e = std::make_unique<Node>(Node::Col);
                    col.e->s = r.info->columns[i].name;
                    col.e->qual = r.qualifier();
                    items.push_back(std::move(col));
                }
            }
            if (!any) {
                if (c.from.empty()) throw Error(QStringLiteral("SELECT * with no tables specified is not valid."));
                throw Error(QStringLiteral("The object name '%1' is not valid here.").arg(it.starQual));
            }
        }
        c.items = std::move(items);
    }

    void resolveQuery(Query *q, const Scope *parent)
    {
        for (Core &c : q->cores) {
            expandStars(c);
            Scope sc{&c.from, parent};
            for (SelectItem &it : c.items) resolve(it.e.get(), &sc);
            if (c.where) resolve(c.where.get(), &sc);
            for (auto &g : c.group) resolve(g.get(), &sc);
            if (c.having) resolve(c.having.get(), &sc);
        }
        const size_t width = q->cores.front().items.size();
        for (const Core &c : q->cores)
            if (c.items.size() != width)
                throw Error(QStringLiteral("All queries combined using a UNION operator must have an equal number of "
                                           "expressions in their target lists."));
        // ORDER BY: a bare name of a select item first, then a column.
        Core &first = q->cores.front();
        Scope sc{&first.from, parent};
        for (OrderItem &o : q->order) {
            Node *e = o.e.get();
            if (e->k == Node::Col && e->qual.isEmpty()) {
                int idx = -1;
                for (size_t i = 0; i < first.items.size(); ++i) {
                    const SelectItem &it = first.items[i];
                    const bool matches = it.named ? it.alias.compare(e->s, Qt::CaseInsensitive) == 0
                                                  : (q->cores.size() > 1 && it.e->k == Node::Col
                                                     && it.e->s.compare(e->s, Qt::CaseInsensitive) == 0);
                    if (matches) {
                        idx = int(i);
                        break;
                    }
                }
                if (idx >= 0) {
                    e->aliasIndex = idx;
                    e->kind = first.items[size_t(idx)].e->kind;
                    continue;
                }
            }
            if (e->k == Node::Num) continue;  // ORDER BY 2
            if (q->cores.size() > 1)
                throw Error(QStringLiteral(
                    "ORDER BY items must appear in the select list if the statement contains a UNION operator."));
            resolve(e, &sc);
        }
    }

    // --- the engine's text ----------------------------------------------
    QString col(const Node *n) const
    {
        if (n->ref->info == m_readers && n->col == m_outstandingCol) return outstandingValue(*n->ref);
        return quoteIdent(n->ref->qualifier()) + QLatin1Char('.')
               + quoteIdent(n->ref->info->columns[size_t(n->col)].name);
    }

    // 读者档案.未还书总价值 is kept in the table only as a placeholder (a
    // computed 0, so that the 17-value insert still fills the stored columns):
    // wherever a statement reads it, the value of the reader's copies still out
    // is computed instead: the prices of the titles of the unreturned loans.
    void findOutstandingValue()
    {
        const TableInfo *readers = m_cat.find(QStringLiteral("读者档案"));
        const TableInfo *loans = m_cat.find(QStringLiteral("图书借阅"));
        const TableInfo *copies = m_cat.find(QStringLiteral("图书库存"));
        const TableInfo *titles = m_cat.find(QStringLiteral("图书档案"));
        if (!readers || !loans || !copies || !titles) return;
        const int c = readers->findColumn(QStringLiteral("未还书总价值"));
        const bool sources =
            readers->findColumn(QStringLiteral("读者编号")) >= 0 && loans->findColumn(QStringLiteral("读者编号")) >= 0
            && loans->findColumn(QStringLiteral("是否已还")) >= 0 && loans->findColumn(QStringLiteral("图书编号")) >= 0
            && copies->findColumn(QStringLiteral("图书编号")) >= 0 && copies->findColumn(QStringLiteral("ISBN")) >= 0
            && titles->findColumn(QStringLiteral("ISBN")) >= 0 && titles->findColumn(QStringLiteral("价格")) >= 0;
        if (c < 0 || !sources) return;
        m_readers = readers;
        m_outstandingCol = c;
    }

    static QString outstandingValue(const TableRef &reader)
    {
        // The sub-query's own names cannot be taken for tables of the statement around it.
        return QStringLiteral(
                   "COALESCE((SELECT SUM(\"lib_ov_title\".\"价格\") FROM \"图书借阅\" AS \"lib_ov_loan\", "
                   "\"图书库存\" AS \"lib_ov_copy\", \"图书档案\" AS \"lib_ov_title\" "
                   "WHERE \"lib_ov_loan\".\"读者编号\" = %1.\"读者编号\" AND \"lib_ov_loan\".\"是否已还\" = 0 "
                   "AND \"lib_ov_loan\".\"图书编号\" = \"lib_ov_copy\".\"图书编号\" "
                   "AND \"lib_ov_copy\".\"ISBN\" = \"lib_ov_title\".\"ISBN\"), 0)")
            .arg(quoteIdent(reader.qualifier()));
    }

    // A literal or expression put where a value of `target` kind is wanted.
    // `storing` is true for values written into a column (INSERT, SET).
    QString emitAs(const Node *n, Kind target, bool storing, const QString &column = QString())
    {
        if (n->k == Node::Null) return QStringLiteral("NULL");
        if (n->k == Node::Param) {
            m_paramKinds[size_t(n->paramIndex)] = target;
            return QStringLiteral("?%1").arg(n->paramIndex + 1);
        }
        if (n->k == Node::Unary && n->s == QLatin1String("-") && (n->a[0]->k == Node::Num)
            && (target == Kind::Money || target == Kind::Int || target == Kind::Flag)) {
            const QVariant v = toStorage(target, QVariant(QLatin1Char('-') + n->a[0]->s), column);
            return v.isNull() ? QStringLiteral("NULL") : QString::number(v.toLongLong());
        }
        const bool literal = n->k == Node::Str || n->k == Node::Num;
        switch (target) {
        case Kind::Date:
            if (n->k == Node::Str) {
                if (n->s.trimmed().isEmpty())
                    return storing ? QStringLiteral("NULL") : quoteText(QStringLiteral("1900-01-01 00:00:00"));
                const QVariant v = toStorage(Kind::Date, n->s, column);
                return quoteText(v.toString());
            }
            if (n->k == Node::Num)
                throw Error(QStringLiteral("Numbers are not accepted as dates by the database layer (%1).").arg(n->s));
            if (n->kind == Kind::Date || n->kind == Kind::Null) return ex(n);
            if (n->kind == Kind::Text || n->kind == Kind::Unknown) return QStringLiteral("lib_to_date(%1)").arg(ex(n));
            throw Error(QStringLiteral("Operand type clash: %1 is incompatible with datetime.").arg(kindName(n->kind)));
        case Kind::Money:
            if (literal) return QString::number(toStorage(Kind::Money, n->s, column).toLongLong());
            if (n->kind == Kind::Money || n->kind == Kind::Null) return ex(n);
            if (n->kind == Kind::Int || n->kind == Kind::Flag) return QStringLiteral("(%1 * 10000)").arg(ex(n));
            if (n->kind == Kind::Decimal || n->kind == Kind::Unknown)
                return QStringLiteral("CAST(ROUND((%1) * 10000) AS INTEGER)").arg(ex(n));
            throw Error(QStringLiteral("Operand type clash: %1 is incompatible with money.").arg(kindName(n->kind)));
        case Kind::Int:
        case Kind::Flag:
            if (literal) {
                QVariant v = n->k == Node::Num ? QVariant(n->s.toDouble()) : QVariant(n->s);
                if (n->k == Node::Num && target == Kind::Int && !n->s.contains(QLatin1Char('.'))
                    && !n->s.contains(QLatin1Char('e'), Qt::CaseInsensitive))
                    v = QVariant(n->s.toLongLong());
                return QString::number(toStorage(target, v, column).toLongLong());
            }
            if (n->kind == Kind::Money) return QStringLiteral("(%1 / 10000.0)").arg(ex(n));
            return ex(n);
        case Kind::Text:
            if (n->k == Node::Num) return quoteText(n->s);
            if (n->kind == Kind::Money) return QStringLiteral("lib_money_text(%1, -1, 8000)").arg(ex(n));
            return ex(n);
        default: return ex(n);
        }
    }

    // The kind both sides of a comparison are brought to.
    static Kind commonKind(const Node *l, const Node *r)
    {
        const Kind lk = l->kind, rk = r->kind;
        auto strong = [](Kind k) { return k == Kind::Date || k == Kind::Money; };
        if (strong(lk) && lk != rk) return lk;
        if (strong(rk) && lk != rk) return rk;
        if ((lk == Kind::Int || lk == Kind::Flag) && (r->k == Node::Str || r->k == Node::Param)) return lk;
        if ((rk == Kind::Int || rk == Kind::Flag) && (l->k == Node::Str || l->k == Node::Param)) return rk;
        if (l->k == Node::Param && rk != Kind::Unknown) return rk;
        if (r->k == Node::Param && lk != Kind::Unknown) return lk;
        return Kind::Unknown;
    }

    QString emitCompared(const Node *n, Kind common)
    {
        return common == Kind::Unknown ? ex(n) : emitAs(n, common, false);
    }

    QString ex(const Node *n)
    {
        switch (n->k) {
        case Node::Str: return quoteText(n->s);
        case Node::Num: return n->s;
        case Node::Null: return QStringLiteral("NULL");
        case Node::Param: return QStringLiteral("?%1").arg(n->paramIndex + 1);
        case Node::Col:
            if (n->aliasIndex >= 0) return QString();  // handled by ORDER BY
            return col(n);
        case Node::Unary:
            if (n->s == QLatin1String("NOT")) return QStringLiteral("NOT (%1)").arg(ex(n->a[0].get()));
            if (n->a[0]->kind == Kind::Date)
                throw Error(QStringLiteral("Operand data type datetime is invalid for minus operator."));
            return QStringLiteral("(-%1)").arg(ex(n->a[0].get()));
        case Node::Bin: return emitBinary(n);
        case Node::Between: {
            const Node *x = n->a[0].get();
            const Kind k1 = commonKind(x, n->a[1].get()), k2 = commonKind(x, n->a[2].get());
            const Kind k = k1 != Kind::Unknown ? k1 : k2;
            return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
                .arg(emitCompared(x, k), n->neg ? QStringLiteral("NOT ") : QString(), emitCompared(n->a[1].get(), k),
                     emitCompared(n->a[2].get(), k));
        }
        case Node::Like: {
            const Node *x = n->a[0].get();
            if (x->kind == Kind::Date || x->kind == Kind::Money || x->kind == Kind::Blob)
                throw Error(QStringLiteral("LIKE on a %1 value is not supported by the database layer.")
                                .arg(kindName(x->kind)));
            QString out =
                QStringLiteral("(%1 %2LIKE %3")
                    .arg(ex(x), n->neg ? QStringLiteral("NOT ") : QString(), emitAs(n->a[1].get(), Kind::Text, false));
            if (n->a.size() > 2) out += QStringLiteral(" ESCAPE ") + emitAs(n->a[2].get(), Kind::Text, false);
            return out + QLatin1Char(')');
        }
        case Node::InList: {
            const Node *x = n->a[0].get();
            QStringList items;
            Kind k = Kind::Unknown;
            for (size_t i = 1; i < n->a.size() && k == Kind::Unknown; ++i) k = commonKind(x, n->a[i].get());
            for (size_t i = 1; i < n->a.size(); ++i) items << emitCompared(n->a[i].get(), k);
            return QStringLiteral("(%1 %2IN (%3))")
                .arg(emitCompared(x, k), n->neg ? QStringLiteral("NOT ") : QString(), items.join(QStringLiteral(", ")));
        }
        case Node::InSub:
            return QStringLiteral("(%1 %2IN (%3))")
                .arg(ex(n->a[0].get()), n->neg ? QStringLiteral("NOT ") : QString(), emitQuery(*n->q));
        case Node::IsNull:
            return QStringLiteral("(%1 IS %2NULL)").arg(ex(n->a[0].get()), n->neg ? QStringLiteral("NOT ") : QString());
        case Node::Exists: return QStringLiteral("EXISTS (%1)").arg(emitQuery(*n->q));
        case Node::Sub: return QStringLiteral("(%1)").arg(emitQuery(*n->q));
        case Node::Func: return emitFunction(n);
        case Node::Convert: return emitConvert(n);
        case Node::Case: return emitCase(n);
        }
        return QString();
    }

    QString emitBinary(const Node *n)
    {
        const QString &op = n->s;
        const Node *l = n->a[0].get();
        const Node *r = n->a[1].get();
        if (op == QLatin1String("AND") || op == QLatin1String("OR"))
            return QStringLiteral("(%1 %2 %3)").arg(ex(l), op, ex(r));
        if (op == QLatin1String("*=") || op == QLatin1String("=*"))
            throw Error(QStringLiteral("The outer join operator %1 may only stand in a WHERE condition joined by AND.")
                            .arg(op));
        if (op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<")
            || op == QLatin1String(">") || op == QLatin1String("<=") || op == QLatin1String(">=")) {
            const Kind k = commonKind(l, r);
            return QStringLiteral("(%1 %2 %3)").arg(emitCompared(l, k), op, emitCompared(r, k));
        }
        // arithmetic
        const Kind lk = l->kind, rk = r->kind;
        if (lk == Kind::Date || rk == Kind::Date)
            throw Error(QStringLiteral("Date arithmetic is not supported by the database layer."));
        if (op == QLatin1String("+") || op == QLatin1String("-")) {
            if (lk == Kind::Money || rk == Kind::Money)
                return QStringLiteral("(%1 %2 %3)")
                    .arg(emitAs(l, Kind::Money, false), op, emitAs(r, Kind::Money, false));
            if (op == QLatin1String("+") && lk == Kind::Text && rk == Kind::Text)
                return QStringLiteral("(%1 || %2)").arg(ex(l), ex(r));
            return QStringLiteral("(%1 %2 %3)").arg(ex(l), op, ex(r));
        }
        if (op == QLatin1String("*")) {
            if (lk == Kind::Money && rk == Kind::Money)
                throw Error(QStringLiteral("Multiplying two money values is not supported by the database layer."));
            if (lk == Kind::Money || rk == Kind::Money) {
                const Node *m = lk == Kind::Money ? l : r;
                const Node *o = lk == Kind::Money ? r : l;
                if (o->kind == Kind::Int || o->kind == Kind::Flag) return QStringLiteral("(%1 * %2)").arg(ex(m), ex(o));
                return QStringLiteral("CAST(ROUND(%1 * (%2)) AS INTEGER)").arg(ex(m), ex(o));
            }
        }
        if (op == QLatin1String("/")) {
            if (lk == Kind::Money && rk == Kind::Money) return QStringLiteral("(%1 * 1.0 / %2)").arg(ex(l), ex(r));
            if (lk == Kind::Money) return QStringLiteral("CAST(ROUND(%1 * 1.0 / (%2)) AS INTEGER)").arg(ex(l), ex(r));
            if (rk == Kind::Money)
                throw Error(QStringLiteral("Dividing by a money value is not supported by the database layer."));
        }
        if (op == QLatin1String("%") && (lk == Kind::Money || rk == Kind::Money))
            throw Error(QStringLiteral("The modulo of money values is not supported by the database layer."));
        return QStringLiteral("(%1 %2 %3)").arg(ex(l), op, ex(r));
    }

    QString emitFunction(const Node *n)
    {
        const QString &f = n->s;
        QStringList args;
        for (const auto &a : n->a) args << ex(a.get());
        const QString dist = n->distinct ? QStringLiteral("DISTINCT ") : QString();
        if (f == QLatin1String("COUNT"))
            return n->star ? QStringLiteral("COUNT(*)") : QStringLiteral("COUNT(%1%2)").arg(dist, args[0]);
        if (f == QLatin1String("SUM") || f == QLatin1String("MIN") || f == QLatin1String("MAX"))
            return QStringLiteral("%1(%2%3)").arg(f, dist, args[0]);
        if (f == QLatin1String("AVG")) {
            const Kind k = n->a[0]->kind;
            if (k == Kind::Money) return QStringLiteral("CAST(ROUND(AVG(%1%2)) AS INTEGER)").arg(dist, args[0]);
            if (k == Kind::Int || k == Kind::Flag)
                return QStringLiteral("CAST(AVG(%1%2) AS INTEGER)").arg(dist, args[0]);
            return QStringLiteral("AVG(%1%2)").arg(dist, args[0]);
        }
        if (f == QLatin1String("UPPER") || f == QLatin1String("LOWER")) return QStringLiteral("%1(%2)").arg(f, args[0]);
        if (f == QLatin1String("LTRIM")) return QStringLiteral("ltrim(%1, ' ')").arg(args[0]);
        if (f == QLatin1String("RTRIM")) return QStringLiteral("rtrim(%1, ' ')").arg(args[0]);
        if (f == QLatin1String("LEN")) return QStringLiteral("length(rtrim(%1, ' '))").arg(args[0]);
        if (f == QLatin1String("ISNULL"))
            return QStringLiteral("coalesce(%1, %2)").arg(args[0], emitAs(n->a[1].get(), n->kind, false));
        if (f == QLatin1String("GETDATE")) return QStringLiteral("lib_now()");
        fail(f);
    }

    QString emitConvert(const Node *n)
    {
        const Node *x = n->a[0].get();
        const QString &t = n->typeName;
        if (isTextType(t)) {
            const QString len = QString::number(n->typeLen);
            switch (x->kind) {
            case Kind::Date: return QStringLiteral("lib_date_text(%1, %2, %3)").arg(ex(x)).arg(n->style).arg(len);
            case Kind::Money: return QStringLiteral("lib_money_text(%1, %2, %3)").arg(ex(x)).arg(n->style).arg(len);
            case Kind::Null: return QStringLiteral("NULL");
            case Kind::Text: return QStringLiteral("substr(%1, 1, %2)").arg(ex(x), len);
            default:
                if (x->k == Node::Num) return QStringLiteral("substr(%1, 1, %2)").arg(quoteText(x->s), len);
                return QStringLiteral("substr(CAST(%1 AS TEXT), 1, %2)").arg(ex(x), len);
            }
        }
        if (isIntType(t)) {
            if (x->kind == Kind::Money) return QStringLiteral("CAST(ROUND(%1 / 10000.0) AS INTEGER)").arg(ex(x));
            return emitAs(x, Kind::Int, false);
        }
        if (t == QLatin1String("MONEY") || t == QLatin1String("SMALLMONEY")) return emitAs(x, Kind::Money, false);
        return emitAs(x, Kind::Date, false);
    }

    QString emitCase(const Node *n)
    {
        QString out = QStringLiteral("CASE");
        size_t i = 0;
        const Node *operand = nullptr;
        if (n->hasOperand) {
            operand = n->a[0].get();
            out += QLatin1Char(' ') + ex(operand);
            i = 1;
        }
        const size_t pairsEnd = n->hasElse ? n->a.size() - 1 : n->a.size();
        auto result = [&](const Node *r) {
            return (n->kind == Kind::Money || n->kind == Kind::Date) ? emitAs(r, n->kind, false) : ex(r);
        };
        for (; i < pairsEnd; i += 2) {
            const Node *w = n->a[i].get();
            QString when = operand ? emitCompared(w, commonKind(operand, w)) : ex(w);
            out += QStringLiteral(" WHEN %1 THEN %2").arg(when, result(n->a[i + 1].get()));
        }
        if (n->hasElse) out += QStringLiteral(" ELSE ") + result(n->a.back().get());
        return out + QStringLiteral(" END");
    }

    // Tables a condition reads from `from` (sub-queries included).
    static void tablesUsed(const Node *n, const std::vector<TableRef> &from, QSet<const TableRef *> &out)
    {
        if (!n) return;
        if (n->k == Node::Col && n->ref) {
            for (const TableRef &r : from)
                if (&r == n->ref) out.insert(n->ref);
        }
        for (const auto &c : n->a) tablesUsed(c.get(), from, out);
        if (n->q)
            for (const Core &c : n->q->cores) {
                for (const auto &it : c.items) tablesUsed(it.e.get(), from, out);
                tablesUsed(c.where.get(), from, out);
                tablesUsed(c.having.get(), from, out);
                for (const auto &g : c.group) tablesUsed(g.get(), from, out);
            }
    }

    static void conjuncts(const Node *n, std::vector<const Node *> &out)
    {
        if (n->k == Node::Bin && n->s == QLatin1String("AND")) {
            conjuncts(n->a[0].get(), out);
            conjuncts(n->a[1].get(), out);
        } else {
            out.push_back(n);
        }
    }

    static bool holdsOuterJoin(const Node *n)
    {
        if (n->k == Node::Bin && (n->s == QLatin1String("*=") || n->s == QLatin1String("=*"))) return true;
        for (const auto &c : n->a)
            if (holdsOuterJoin(c.get())) return true;
        return false;
    }

    QString tableText(const TableRef &r) const
    {
        QString out = quoteIdent(r.info->name);
        if (!r.alias.isEmpty()) out += QStringLiteral(" AS ") + quoteIdent(r.alias);
        return out;
    }

    // FROM and WHERE of one SELECT. The old outer joins become LEFT JOINs: the
    // "*=" / "=*" conditions and every other condition that reads only the
    // inner (null-supplying) table go into ON, as the server applies them
    // before the outer rows are added; all other conditions stay in WHERE.
    QString emitFromWhere(const Core &c)
    {
        std::vector<const Node *> conds;
        if (c.where) conjuncts(c.where.get(), conds);
        struct Join {
            const TableRef *inner;
            QSet<const TableRef *> preserved;
            QStringList on;
        };
        std::vector<Join> joins;
        auto joinOf = [&](const TableRef *t) -> Join * {
            for (Join &j : joins)
                if (j.inner == t) return &j;
            return nullptr;
        };
        std::vector<const Node *> rest;
        for (const Node *n : conds) {
            if (n->k == Node::Bin && (n->s == QLatin1String("*=") || n->s == QLatin1String("=*"))) {
                const Node *l = n->a[0].get();
                const Node *r = n->a[1].get();
                QSet<const TableRef *> lt, rt;
                tablesUsed(l, c.from, lt);
                tablesUsed(r, c.from, rt);
                if (lt.size() != 1 || rt.size() != 1 || *lt.begin() == *rt.begin())
                    throw Error(
                        QStringLiteral("Each side of %1 must name a column of a different table of the FROM list.")
                            .arg(n->s));
                const bool left = n->s == QLatin1String("*=");
                const TableRef *outer = left ? *lt.begin() : *rt.begin();
                const TableRef *inner = left ? *rt.begin() : *lt.begin();
                Join *j = joinOf(inner);
                if (!j) {
                    joins.push_back(Join{inner, {}, {}});
                    j = &joins.back();
                }
                j->preserved.insert(outer);
                const Kind k = commonKind(l, r);
                j->on << QStringLiteral("%1 = %2").arg(emitCompared(l, k), emitCompared(r, k));
            } else {
                if (holdsOuterJoin(n))
                    throw Error(QStringLiteral(
                        "The outer join operators *= and =* may only stand in a WHERE condition joined by AND."));
                rest.push_back(n);
            }
        }
        QStringList where;
        if (joins.empty()) {
            QStringList tables;
            for (const TableRef &r : c.from) tables << tableText(r);
            QString out;
            if (!tables.isEmpty()) out = QStringLiteral(" FROM ") + tables.join(QStringLiteral(", "));
            for (const Node *n : rest) where << ex(n);
            if (!where.isEmpty()) out += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
            return out;
        }
        for (const Node *n : rest) {
            QSet<const TableRef *> used;
            tablesUsed(n, c.from, used);
            const Join *innerJoin = nullptr;
            bool others = false;
            for (const TableRef *t : used) {
                if (const Join *j = joinOf(t)) {
                    if (innerJoin && innerJoin != j) others = true;
                    innerJoin = j;
                } else {
                    others = true;
                }
            }
            if (innerJoin && !others) {
                joinOf(innerJoin->inner)->on << ex(n);
            } else if (innerJoin) {
                throw Error(QStringLiteral("The table '%1' is an inner member of an outer-join clause. This is not "
                                           "allowed if the table also "
                                           "participates in a regular join clause.")
                                .arg(innerJoin->inner->qualifier()));
            } else {
                where << ex(n);
            }
        }
        // Tables that no outer join fills come first, in their order; each
        // inner table follows once every table it is joined to is placed.
        QStringList from;
        QSet<const TableRef *> placed;
        for (const TableRef &r : c.from)
            if (!joinOf(&r)) {
                from << tableText(r);
                placed.insert(&r);
            }
        if (from.isEmpty())
            throw Error(QStringLiteral("The outer joins of this query form a cycle; no table keeps all its rows."));
        QString out = QStringLiteral(" FROM ") + from.join(QStringLiteral(", "));
        size_t done = 0;
        std::vector<bool> emitted(joins.size(), false);
        while (done < joins.size()) {
            bool progress = false;
            for (size_t i = 0; i < joins.size(); ++i) {
                if (emitted[i]) continue;
                bool ready = true;
                for (const TableRef *p : joins[i].preserved)
                    if (!placed.contains(p)) ready = false;
                if (!ready) continue;
                out += QStringLiteral(" LEFT JOIN %1 ON %2")
                           .arg(tableText(*joins[i].inner), joins[i].on.join(QStringLiteral(" AND ")));
                placed.insert(joins[i].inner);
                emitted[i] = true;
                ++done;
                progress = true;
            }
            if (!progress)
                throw Error(QStringLiteral("The outer joins of this query form a cycle; no table keeps all its rows."));
        }
        if (!where.isEmpty()) out += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
        return out;
    }

    QString emitCore(const Core &c, const QString &extraColumn = QString())
    {
        QStringList items;
        for (const SelectItem &it : c.items) {
            QString e = ex(it.e.get());
            if (it.named) e += QStringLiteral(" AS ") + quoteIdent(it.alias);
            items << e;
        }
        if (!extraColumn.isEmpty()) items << extraColumn;
        QString out = QStringLiteral("SELECT ");
        if (c.distinct) out += QStringLiteral("DISTINCT ");
        out += items.join(QStringLiteral(", "));
        out += emitFromWhere(c);
        if (!c.group.empty()) {
            QStringList g;
            for (const auto &e : c.group) g << ex(e.get());
            out += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
        }
        if (c.having) out += QStringLiteral(" HAVING ") + ex(c.having.get());
        return out;
    }

    QString emitQuery(const Query &q, const QString &extraColumn = QString())
    {
        QString out;
        const bool compound = q.cores.size() > 1;
        for (size_t i = 0; i < q.cores.size(); ++i) {
            const Core &c = q.cores[i];
            if (i > 0) out += q.unionAll[i - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
            QString part = emitCore(c, extraColumn);
            if (compound && c.top >= 0) part = QStringLiteral("SELECT * FROM (%1 LIMIT %2)").arg(part).arg(c.top);
            out += part;
        }
        if (!q.order.empty()) {
            QStringList o;
            const std::vector<SelectItem> &items = q.cores.front().items;
            for (const OrderItem &it : q.order) {
                QString e;
                Kind kind = it.e->kind;
                if (it.e->aliasIndex >= 0) {
                    const SelectItem &si = items[size_t(it.e->aliasIndex)];
                    e = si.named ? quoteIdent(si.alias) : QString::number(it.e->aliasIndex + 1);
                } else {
                    e = ex(it.e.get());
                    if (it.e->k == Node::Num) {  // ORDER BY 2: the second field
                        bool ok = false;
                        const qint64 pos = it.e->s.toLongLong(&ok);
                        kind = ok && pos >= 1 && pos <= qint64(items.size()) ? items[size_t(pos - 1)].e->kind
                                                                             : Kind::Unknown;
                    }
                }
                // Text sorts as the server's Chinese collation does (see kTextOrderCollation).
                if (kind == Kind::Text) e += QStringLiteral(" COLLATE ") + QLatin1String(kTextOrderCollation);
                o << e + (it.desc ? QStringLiteral(" DESC") : QString());
            }
            out += QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
        }
        if (!compound && q.cores.front().top >= 0) out += QStringLiteral(" LIMIT %1").arg(q.cores.front().top);
        return out;
    }

    static bool hasAggregate(const Node *n)
    {
        if (!n) return false;
        if (n->k == Node::Func && isAggregate(n->s)) return true;
        for (const auto &c : n->a)
            if (hasAggregate(c.get())) return true;
        return false;
    }

    const Catalog &m_cat;
    const TableInfo *m_readers = nullptr;  // 读者档案, when its 未还书总价值 can be computed
    int m_outstandingCol = -1;
};

}  // namespace

// ============================================================================
// Statements
// ============================================================================

Translation translate(const QString &statement, const Catalog &catalog, bool updatable)
{
    Parser p(statement, catalog);
    Translation out;
    if (p.atEnd()) throw Error(QStringLiteral("The statement is empty."));

    if (p.isKw("SELECT")) {
        std::unique_ptr<Query> q = p.query();
        if (!p.atEnd()) p.fail();
        Translator tr(catalog, p.paramCount);
        tr.resolveQuery(q.get(), nullptr);
        out.type = Translation::Select;
        const Core &first = q->cores.front();
        for (const SelectItem &it : first.items) {
            if (it.named)
                out.columnNames << it.alias;
            else if (it.e->k == Node::Col)
                out.columnNames << it.e->ref->info->columns[size_t(it.e->col)].name;
            else
                out.columnNames << QString();
            out.columnKinds.push_back(it.e->kind);
        }
        bool single =
            q->cores.size() == 1 && first.from.size() == 1 && !first.distinct && first.group.empty() && !first.having;
        for (const SelectItem &it : first.items)
            if (Translator::hasAggregate(it.e.get())) single = false;
        QString extra;
        if (updatable && single) {
            out.updatable = true;
            out.table = first.from.front().info->name;
            for (const SelectItem &it : first.items)
                out.sourceColumns.push_back(it.e->k == Node::Col && it.e->ref == &first.from.front() ? it.e->col : -1);
            extra = quoteIdent(first.from.front().qualifier()) + QStringLiteral(".rowid");
        }
        out.sql = tr.emitQuery(*q, extra);
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    if (p.acceptKw("INSERT")) {
        p.acceptKw("INTO");
        const TableInfo *t = p.tableName();
        std::vector<int> cols;
        if (p.acceptOp("(")) {
            do {
                const QString c = p.name();
                const int idx = t->findColumn(c);
                if (idx < 0) throw Error(QStringLiteral("Invalid column name '%1'.").arg(c));
                if (t->columns[size_t(idx)].generated)
                    throw Error(
                        QStringLiteral("The column \"%1\" cannot be modified because it is a computed column.").arg(c));
                if (std::find(cols.begin(), cols.end(), idx) != cols.end())
                    throw Error(
                        QStringLiteral("The column name '%1' is specified more than once in the INSERT.").arg(c));
                cols.push_back(idx);
            } while (p.acceptOp(","));
            p.expectOp(")");
        } else {
            for (size_t i = 0; i < t->columns.size(); ++i)
                if (!t->columns[i].generated) cols.push_back(int(i));
        }
        if (p.isKw("SELECT") || p.isKw("DEFAULT") || p.isKw("EXEC"))
            throw Error(QStringLiteral("INSERT %1 is not supported by the database layer: give VALUES (...).")
                            .arg(p.peek().s.toUpper()));
        p.expectKw("VALUES");
        std::vector<std::vector<NodeP>> rows;
        do {
            p.expectOp("(");
            std::vector<NodeP> row;
            do {
                row.push_back(p.expr());
            } while (p.acceptOp(","));
            p.expectOp(")");
            rows.push_back(std::move(row));
        } while (p.acceptOp(","));
        if (!p.atEnd()) p.fail();
        Translator tr(catalog, p.paramCount);
        std::vector<TableRef> none;
        Scope sc{&none, nullptr};
        QStringList rowTexts;
        for (auto &row : rows) {
            if (row.size() != cols.size())
                throw Error(
                    cols.size() == t->columns.size() || row.size() > cols.size()
                        ? QStringLiteral("Column name or number of supplied values does not match table definition.")
                        : QStringLiteral("Column name or number of supplied values does not match table definition."));
            QStringList vals;
            for (size_t i = 0; i < row.size(); ++i) {
                tr.resolve(row[i].get(), &sc);
                const ColumnInfo &ci = t->columns[size_t(cols[i])];
                vals << tr.emitAs(row[i].get(), ci.kind, true, ci.name);
            }
            rowTexts << QLatin1Char('(') + vals.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        QStringList names;
        for (int c : cols) names << quoteIdent(t->columns[size_t(c)].name);
        out.type = Translation::Insert;
        out.table = t->name;
        out.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                      .arg(quoteIdent(t->name), names.join(QStringLiteral(", ")), rowTexts.join(QStringLiteral(", ")));
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    if (p.acceptKw("UPDATE")) {
        std::vector<TableRef> from(1);
        from[0].info = p.tableName();
        const TableInfo *t = from[0].info;
        p.expectKw("SET");
        std::vector<Assignment> sets;
        do {
            QString c = p.name();
            if (p.acceptOp(".")) c = p.name();  // table.column
            const int idx = t->findColumn(c);
            if (idx < 0) throw Error(QStringLiteral("Invalid column name '%1'.").arg(c));
            if (t->columns[size_t(idx)].generated)
                throw Error(
                    QStringLiteral("The column \"%1\" cannot be modified because it is a computed column.").arg(c));
            p.expectOp("=");
            Assignment a;
            a.col = idx;
            a.e = p.expr();
            sets.push_back(std::move(a));
        } while (p.acceptOp(","));
        if (p.isKw("FROM")) throw Error(QStringLiteral("UPDATE ... FROM is not supported by the database layer."));
        NodeP where;
        if (p.acceptKw("WHERE")) where = p.expr();
        if (!p.atEnd()) p.fail();
        Translator tr(catalog, p.paramCount);
        Scope sc{&from, nullptr};
        QStringList assigns;
        for (Assignment &a : sets) {
            tr.resolve(a.e.get(), &sc);
            const ColumnInfo &ci = t->columns[size_t(a.col)];
            assigns << quoteIdent(ci.name) + QStringLiteral(" = ") + tr.emitAs(a.e.get(), ci.kind, true, ci.name);
        }
        out.type = Translation::Update;
        out.table = t->name;
        out.sql = QStringLiteral("UPDATE %1 SET %2").arg(quoteIdent(t->name), assigns.join(QStringLiteral(", ")));
        if (where) {
            tr.resolve(where.get(), &sc);
            if (Translator::holdsOuterJoin(where.get()))
                throw Error(QStringLiteral("The outer join operators *= and =* need a SELECT with two tables."));
            out.sql += QStringLiteral(" WHERE ") + tr.ex(where.get());
        }
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    if (p.acceptKw("DELETE")) {
        p.acceptKw("FROM");
        std::vector<TableRef> from(1);
        from[0].info = p.tableName();
        if (p.isKw("FROM"))
            throw Error(QStringLiteral("DELETE ... FROM ... FROM is not supported by the database layer."));
        NodeP where;
        if (p.acceptKw("WHERE")) where = p.expr();
        if (!p.atEnd()) p.fail();
        Translator tr(catalog, p.paramCount);
        Scope sc{&from, nullptr};
        out.type = Translation::Delete;
        out.table = from[0].info->name;
        out.sql = QStringLiteral("DELETE FROM %1").arg(quoteIdent(from[0].info->name));
        if (where) {
            tr.resolve(where.get(), &sc);
            if (Translator::holdsOuterJoin(where.get()))
                throw Error(QStringLiteral("The outer join operators *= and =* need a SELECT with two tables."));
            out.sql += QStringLiteral(" WHERE ") + tr.ex(where.get());
        }
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    const Tok &t = p.peek();
    if (t.t == T::Ident)
        throw Error(
            QStringLiteral("'%1' statements are not run by the database layer: only SELECT, INSERT, UPDATE and DELETE.")
                .arg(t.s.toUpper()));
    p.fail();
}

QStringList splitStatements(const QString &script)
{
    QStringList out;
    QString cur;
    const int n = int(script.size());
    int i = 0;
    auto flush = [&]() {
        if (!cur.trimmed().isEmpty()) out << cur.trimmed();
        cur.clear();
    };
    while (i < n) {
        const QChar c = script[i];
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            while (i < n && script[i] != QLatin1Char('\n')) ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const int end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            cur += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            cur += c;
            ++i;
            while (i < n) {
                cur += script[i];
                if (script[i] == close) {
                    if (i + 1 < n && script[i + 1] == close) {
                        cur += script[i + 1];
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char(';')) {
            flush();
            ++i;
            continue;
        }
        cur += c;
        ++i;
    }
    flush();
    return out;
}

}  // namespace dialect
