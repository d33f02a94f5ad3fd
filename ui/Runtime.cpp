#include "ui/Runtime.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace vb {

// ---------------------------------------------------------------- Val

double Val(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            s.append(c);
    int i = 0;
    const int n = int(s.size());
    QString num;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) num.append(s[i++]);
    bool digits = false, dot = false;
    while (i < n) {
        const QChar c = s[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
            num.append(c);
        } else if (c == QLatin1Char('.') && !dot) {
            dot = true;
            num.append(c);
        } else {
            break;
        }
        ++i;
    }
    if (!digits) return 0.0;
    if (i < n
        && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E') || s[i] == QLatin1Char('d')
            || s[i] == QLatin1Char('D'))) {
        int j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-'))) exp.append(s[j++]);
        bool expDigits = false;
        while (j < n && s[j] >= QLatin1Char('0') && s[j] <= QLatin1Char('9')) {
            exp.append(s[j++]);
            expDigits = true;
        }
        if (expDigits) num.append(exp);
    }
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok ? v : 0.0;
}

// ---------------------------------------------------------------- date format

namespace {

struct Tok {
    QChar kind;  // 'y','m','d','h','n','s','a' (AM/PM) or 0 for literal
    int len = 0;
    QString text;
};

QList<Tok> tokenize(const QString &fmt)
{
    QList<Tok> out;
    const int n = int(fmt.size());
    for (int i = 0; i < n;) {
        const QChar c = fmt[i];
        const QChar lc = c.toLower();
        if (c == QLatin1Char('"')) {
            const int end = fmt.indexOf(QLatin1Char('"'), i + 1);
            const int stop = end < 0 ? n : end;
            out.push_back({QChar(), 0, fmt.mid(i + 1, stop - i - 1)});
            i = stop + 1;
        } else if (c == QLatin1Char('\\') && i + 1 < n) {
            out.push_back({QChar(), 0, QString(fmt[i + 1])});
            i += 2;
        } else if (fmt.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            out.push_back({QLatin1Char('a'), 5, fmt.mid(i, 5)});
            i += 5;
        } else if (lc == QLatin1Char('y') || lc == QLatin1Char('m') || lc == QLatin1Char('d') || lc == QLatin1Char('h')
                   || lc == QLatin1Char('n') || lc == QLatin1Char('s')) {
            int j = i;
            while (j < n && fmt[j].toLower() == lc) ++j;
            out.push_back({lc, j - i, QString()});
            i = j;
        } else {
            out.push_back({QChar(), 0, QString(c)});
            ++i;
        }
    }
    return out;
}

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

QString formatDateTime(const QDate &d, const QTime &t, const QString &fmt)
{
    const QList<Tok> toks = tokenize(fmt);
    bool ampm = false;
    for (const Tok &k : toks)
        if (k.kind == QLatin1Char('a')) ampm = true;
    QString out;
    for (int i = 0; i < toks.size(); ++i) {
        const Tok &k = toks[i];
        if (k.kind.isNull()) {
            out += k.text;
            continue;
        }
        QChar kind = k.kind;
        if (kind == QLatin1Char('m') && k.len <= 2) {
            // A month unless it stands right after an hour or right before a second.
            QChar prev, next;
            for (int j = i - 1; j >= 0; --j)
                if (!toks[j].kind.isNull()) {
                    prev = toks[j].kind;
                    break;
                }
            for (int j = i + 1; j < toks.size(); ++j)
                if (!toks[j].kind.isNull()) {
                    next = toks[j].kind;
                    break;
                }
            if (prev == QLatin1Char('h') || next == QLatin1Char('s')) kind = QLatin1Char('n');
        }
        const int len = k.len;
        switch (kind.unicode()) {
        case 'y':
            if (len >= 3)
                out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            else if (len == 2)
                out += two(d.year() % 100);
            else
                out += QString::number(d.dayOfYear());
            break;
        case 'm': out += len >= 2 ? two(d.month()) : QString::number(d.month()); break;
        case 'd': out += len >= 2 ? two(d.day()) : QString::number(d.day()); break;
        case 'h': {
            int h = t.hour();
            if (ampm) {
                h %= 12;
                if (h == 0) h = 12;
            }
            out += len >= 2 ? two(h) : QString::number(h);
            break;
        }
        case 'n': out += len >= 2 ? two(t.minute()) : QString::number(t.minute()); break;
        case 's': out += len >= 2 ? two(t.second()) : QString::number(t.second()); break;
        case 'a': {
            const bool upper = k.text.at(0).isUpper();
            const QString s = t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += upper ? s : s.toLower();
            break;
        }
        default: break;
        }
    }
    return out;
}

const QDate kZeroDate(1899, 12, 30);

}  // namespace

QString Format(const QDateTime &value, const QString &fmt)
{
    if (fmt.isEmpty()) return formatDateTime(value.date(), value.time(), QStringLiteral("yyyy-m-d h:nn:ss"));
    return formatDateTime(value.date(), value.time(), fmt);
}

QString Format(const QDate &value, const QString &fmt)
{
    if (fmt.isEmpty()) return formatDateTime(value, QTime(0, 0), QStringLiteral("yyyy-m-d"));
    return formatDateTime(value, QTime(0, 0), fmt);
}

QString Format(const QTime &value, const QString &fmt)
{
    if (fmt.isEmpty()) return formatDateTime(kZeroDate, value, QStringLiteral("h:nn:ss"));
    return formatDateTime(kZeroDate, value, fmt);
}

// ---------------------------------------------------------------- number format

namespace {

// Rounds a non-negative decimal text ("123.456") half away from zero to `dec` places.
QString roundDecimal(const QString &digits, int dec)
{
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString frac = digits.section(QLatin1Char('.'), 1);
    if (intPart.isEmpty()) intPart = QStringLiteral("0");
    if (frac.size() <= dec)
        return intPart + (dec > 0 ? QLatin1Char('.') + frac.leftJustified(dec, QLatin1Char('0')) : QString());
    const bool up = frac.at(dec) >= QLatin1Char('5');
    QString all = intPart + frac.left(dec);
    if (up) {
        int i = int(all.size()) - 1;
        while (i >= 0) {
            if (all[i] == QLatin1Char('9')) {
                all[i] = QLatin1Char('0');
                --i;
            } else {
                all[i] = QChar(all[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) all.prepend(QLatin1Char('1'));
    }
    const int intLen = int(all.size()) - dec;
    return all.left(intLen) + (dec > 0 ? QLatin1Char('.') + all.mid(intLen) : QString());
}

QString plainNumber(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    QString s = QString::number(v, 'g', 15);
    return s;
}

}  // namespace

QString Format(double value, const QString &fmtIn)
{
    QString fmt = fmtIn.section(QLatin1Char(';'), 0, 0);
    if (fmt.isEmpty() || std::isnan(value) || std::isinf(value)) return plainNumber(value);
    // Split into literal prefix, digit pattern and literal suffix.
    int first = -1, last = -1;
    for (int i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt[i];
        if (c == QLatin1Char('0') || c == QLatin1Char('#')
            || ((c == QLatin1Char('.') || c == QLatin1Char(',')) && first >= 0)) {
            if (first < 0) first = i;
            last = i;
        } else if (c == QLatin1Char('.') && first < 0 && i + 1 < fmt.size()
                   && (fmt[i + 1] == QLatin1Char('0') || fmt[i + 1] == QLatin1Char('#'))) {
            first = last = i;
        } else if (first >= 0) {
            break;
        }
    }
    if (first < 0) return fmt;  // no digit places: the format is all literal
    auto literal = [](const QString &s) {
        QString out;
        for (int i = 0; i < s.size(); ++i) {
            if (s[i] == QLatin1Char('\\') && i + 1 < s.size())
                out += s[++i];
            else if (s[i] != QLatin1Char('"'))
                out += s[i];
        }
        return out;
    };
    const QString prefix = literal(fmt.left(first));
    const QString suffix = literal(fmt.mid(last + 1));
    const QString pattern = fmt.mid(first, last - first + 1);
    if (prefix.contains(QLatin1Char('%')) || suffix.contains(QLatin1Char('%'))) value *= 100.0;
    const int dotAt = int(pattern.indexOf(QLatin1Char('.')));
    const QString intPat = dotAt < 0 ? pattern : pattern.left(dotAt);
    const QString decPat = dotAt < 0 ? QString() : pattern.mid(dotAt + 1);
    const bool thousands = intPat.contains(QLatin1Char(','));
    const int intMin = int(intPat.count(QLatin1Char('0')));
    const int decMax = int(decPat.count(QLatin1Char('0')) + decPat.count(QLatin1Char('#')));
    int decMin = 0;
    for (QChar c : decPat) {
        if (c == QLatin1Char('0'))
            ++decMin;
        else
            break;
    }

    const bool negative = value < 0;
    // 15 significant digits, as the value is meant, then decimal rounding.
    const double mag = std::floor(std::log10(std::max(std::fabs(value), 1e-20)));
    const QString digits = QString::number(std::fabs(value), 'f', qBound(0, 14 - int(mag), 20));
    const QString rounded = roundDecimal(digits, decMax);
    QString ip = rounded.section(QLatin1Char('.'), 0, 0);
    QString dp = rounded.section(QLatin1Char('.'), 1);
    ip.remove(QRegularExpression(QStringLiteral("^0+")));
    if (ip.size() < intMin) ip = ip.rightJustified(intMin, QLatin1Char('0'));
    if (thousands && ip.size() > 3) {
        QString g;
        int cnt = 0;
        for (int i = int(ip.size()) - 1; i >= 0; --i) {
            g.prepend(ip[i]);
            if (++cnt % 3 == 0 && i > 0) g.prepend(QLatin1Char(','));
        }
        ip = g;
    }
    while (dp.size() > decMin && dp.endsWith(QLatin1Char('0'))) dp.chop(1);
    QString body = ip;
    if (dotAt >= 0) body += QLatin1Char('.') + dp;
    const bool isZero = !rounded.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return (negative && !isZero ? QStringLiteral("-") : QString()) + prefix + body + suffix;
}

QString Format(const QString &value, const QString &fmt)
{
    const QString t = value.trimmed();
    static const QRegularExpression numRe(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (numRe.match(t).hasMatch()) return Format(t.toDouble(), fmt);
    const QDateTime d = ToDate(t);
    if (d.isValid()) return Format(d, fmt);
    return value;
}

// ---------------------------------------------------------------- dates from text

namespace {

int fullYear(const QString &y)
{
    const int v = y.toInt();
    if (y.size() <= 2) return v < 30 ? 2000 + v : 1900 + v;
    return v;
}

std::optional<QDate> parseDatePart(const QString &s)
{
    static const QRegularExpression three(QStringLiteral("^(\\d{1,4})([-/.])(\\d{1,2})\\2(\\d{1,4})$"));
    static const QRegularExpression cn(QStringLiteral("^(\\d{2,4})年(\\d{1,2})月(\\d{1,2})日?$"));
    static const QRegularExpression twoPart(QStringLiteral("^(\\d{1,2})[-/](\\d{1,2})$"));
    QRegularExpressionMatch m = three.match(s);
    if (m.hasMatch()) {
        const QString a = m.captured(1), b = m.captured(3), c = m.captured(4);
        int y, mo, d;
        if (a.size() >= 3) {
            if (c.size() > 2) return std::nullopt;
            y = fullYear(a);
            mo = b.toInt();
            d = c.toInt();
        } else if (c.size() >= 3) {
            y = fullYear(c);
            mo = a.toInt();
            d = b.toInt();  // month first
        } else {
            y = fullYear(a);
            mo = b.toInt();
            d = c.toInt();
        }
        if (y < 100 || y > 9999) return std::nullopt;
        const QDate r(y, mo, d);
        if (!r.isValid()) return std::nullopt;
        return r;
    }
    m = cn.match(s);
    if (m.hasMatch()) {
        const int y = fullYear(m.captured(1));
        const QDate r(y, m.captured(2).toInt(), m.captured(3).toInt());
        if (!r.isValid() || y < 100) return std::nullopt;
        return r;
    }
    m = twoPart.match(s);
    if (m.hasMatch()) {
        const QDate r(Date().year(), m.captured(1).toInt(), m.captured(2).toInt());
        if (!r.isValid()) return std::nullopt;
        return r;
    }
    return std::nullopt;
}

std::optional<QTime> parseTimePart(const QString &s)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*(AM|PM|A|P|上午|下午)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(s);
    if (!m.hasMatch()) return std::nullopt;
    int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int se = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString ap = m.captured(4).toUpper();
    if (!ap.isEmpty()) {
        if (h < 1 || h > 12) return std::nullopt;
        const bool pm = ap.startsWith(QLatin1Char('P')) || ap == QStringLiteral("下午");
        h = (h % 12) + (pm ? 12 : 0);
    }
    const QTime t(h, mi, se);
    if (!t.isValid()) return std::nullopt;
    return t;
}

}  // namespace

QDateTime ToDate(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty()) return QDateTime();
    if (auto d = parseDatePart(s)) return QDateTime(*d, QTime(0, 0));
    if (auto t = parseTimePart(s)) return QDateTime(kZeroDate, *t);
    const int sp = int(s.indexOf(QLatin1Char(' ')));
    if (sp > 0) {
        const auto d = parseDatePart(s.left(sp));
        const auto t = parseTimePart(s.mid(sp + 1).trimmed());
        if (d && t) return QDateTime(*d, *t);
    }
    return QDateTime();
}

bool IsDate(const QString &text) { return ToDate(text).isValid(); }

QDateTime CDate(const QString &text)
{
    const QDateTime d = ToDate(text);
    if (!d.isValid()) throw std::runtime_error("类型不匹配");
    return d;
}

// ---------------------------------------------------------------- strings

// Every Unicode blank, not only " ": a Chinese input method types U+3000, a
// paste brings tabs and no-break spaces, and a key with one of them around it
// would list exactly like the key without. So do the invisible format
// characters a paste from a web page or a document brings (zero-width space,
// non-joiner and joiner, word joiner, byte order mark): "R006" with one of
// them after it shows as R006 and could never be found by typing it.
static bool trimmed(QChar c)
{
    const char16_t u = c.unicode();
    return c.isSpace() || (u >= 0x200B && u <= 0x200D) || u == 0x2060 || u == 0xFEFF;
}

QString LTrim(const QString &s)
{
    int i = 0;
    while (i < s.size() && trimmed(s[i])) ++i;
    return s.mid(i);
}

QString RTrim(const QString &s)
{
    int n = int(s.size());
    while (n > 0 && trimmed(s[n - 1])) --n;
    return s.left(n);
}

QString Trim(const QString &s) { return LTrim(RTrim(s)); }

QString Left(const QString &s, int n) { return n <= 0 ? QString() : s.left(n); }
int Len(const QString &s) { return int(s.size()); }
QString UCase(const QString &s) { return s.toUpper(); }

// ---------------------------------------------------------------- date arithmetic

QDateTime DateAdd(const QString &interval, long long number, const QDateTime &when)
{
    const QString iv = interval.toLower();
    if (iv == QLatin1String("yyyy")) return when.addYears(int(number));
    if (iv == QLatin1String("q")) return when.addMonths(int(number * 3));
    if (iv == QLatin1String("m")) return when.addMonths(int(number));
    if (iv == QLatin1String("d") || iv == QLatin1String("y") || iv == QLatin1String("w")) return when.addDays(number);
    if (iv == QLatin1String("ww")) return when.addDays(number * 7);
    if (iv == QLatin1String("h")) return when.addSecs(number * 3600);
    if (iv == QLatin1String("n")) return when.addSecs(number * 60);
    if (iv == QLatin1String("s")) return when.addSecs(number);
    throw std::invalid_argument("DateAdd: unknown interval");
}

QDate DateAdd(const QString &interval, long long number, const QDate &when)
{
    return DateAdd(interval, number, QDateTime(when, QTime(0, 0))).date();
}

// ---------------------------------------------------------------- clock

namespace {
std::optional<QDateTime> &testClock()
{
    static std::optional<QDateTime> c;
    return c;
}
}  // namespace

QDateTime Now()
{
    if (testClock()) return *testClock();
    const QDateTime n = QDateTime::currentDateTime();
    return QDateTime(n.date(), QTime(n.time().hour(), n.time().minute(), n.time().second()));
}
QDate Date() { return Now().date(); }
QTime Time() { return Now().time(); }
void SetTestClock(const QDateTime &moment) { testClock() = moment; }
void ClearTestClock() { testClock().reset(); }

}  // namespace vb
