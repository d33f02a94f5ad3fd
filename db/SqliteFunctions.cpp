// The functions and the text order that statements translated for the
// embedded engine call (see RegisterSqliteFunctions).
#include "db/SqliteFunctions.h"

#include "db/Dialect.h"
#include "db/DialectText.h"
#include "db/ServerMessages.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <sqlite3.h>
#include <string>

namespace ado {

namespace {

void resultQString(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

QString valueText(sqlite3_value *v)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

// Fails the statement with `text`, which the engine then reports as it stands.
void resultError(sqlite3_context *ctx, const QString &text)
{
    const QByteArray u = text.toUtf8();
    sqlite3_result_error(ctx, u.constData(), int(u.size()));
}

// lib_date_text(stored, style, length): CONVERT(varchar(length), date, style)
void fnDateText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int style = sqlite3_value_int(argv[1]);
    const int len = sqlite3_value_int(argv[2]);
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    if ((style == 23 || style == 20 || style == 120) && n >= 19) {
        const int take = std::min(style == 23 ? 10 : 19, len);
        sqlite3_result_text(ctx, s, take, SQLITE_TRANSIENT);
        return;
    }
    resultQString(ctx, dialect::dateText(QString::fromUtf8(s, n), style < 0 ? 0 : style).left(len));
}

// lib_money_text(tenThousandths, style, length): CONVERT(varchar(length), money, style)
void fnMoneyText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 v = type == SQLITE_FLOAT ? std::llround(sqlite3_value_double(argv[0])) : sqlite3_value_int64(argv[0]);
    const int style = sqlite3_value_int(argv[1]);
    const int len = sqlite3_value_int(argv[2]);
    char buf[dialect::kMoneyChars];
    const int k = dialect::moneyChars(v, style, buf);
    if (k > len) {
        resultError(ctx, msg::moneyOverflow());
        return;
    }
    sqlite3_result_text(ctx, buf, k, SQLITE_TRANSIENT);
}

// lib_to_date(text): a text read as a date, normalised; '' gives Null.
void fnToDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = valueText(argv[0]);
    if (s.trimmed().isEmpty()) {
        sqlite3_result_null(ctx);
        return;
    }
    if (auto d = dialect::normalizeDate(s)) {
        resultQString(ctx, *d);
        return;
    }
    resultError(ctx, msg::dateConversionFailed());
}

// like(pattern, text[, escape]): "text LIKE pattern [ESCAPE escape]", as
// dialect::text::like() matches the folded texts. The pattern of a
// statement is the same for every row: its fold is kept between calls.
void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    char32_t esc = dialect::text::kNoEscape;
    if (argc == 3) {
        const char *e = reinterpret_cast<const char *>(sqlite3_value_text(argv[2]));
        const int en = sqlite3_value_bytes(argv[2]);
        const std::u32string raw = QString::fromUtf8(e, en).toStdU32String();
        if (raw.size() != 1) {
            resultError(ctx, msg::likeEscapeNotSingle());
            return;
        }
        // The escape is compared with the folded pattern, so it is folded too.
        const std::u32string folded = dialect::text::fold(e, en);
        esc = folded.size() == 1 ? folded[0] : raw[0];
    }
    thread_local std::string lastPattern;
    thread_local std::u32string pattern;
    const char *p = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int pn = sqlite3_value_bytes(argv[0]);
    if (lastPattern.size() != size_t(pn) || std::memcmp(lastPattern.data(), p, size_t(pn)) != 0) {
        lastPattern.assign(p, size_t(pn));
        pattern = dialect::text::fold(p, pn);
    }
    const char *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int tn = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(ctx, dialect::text::like(pattern, dialect::text::fold(t, tn), esc) ? 1 : 0);
}

// The text order of ORDER BY (dialect::kTextOrderCollation, see DialectText.h).
int collateText(void *, int na, const void *a, int nb, const void *b)
{
    return dialect::text::compare(static_cast<const char *>(a), na, static_cast<const char *>(b), nb);
}

int collateFolded(void *, int na, const void *a, int nb, const void *b)
{
    return dialect::text::compareFolded(static_cast<const char *>(a), na, static_cast<const char *>(b), nb);
}

// upper(text), lower(text): UPPER and LOWER as the server maps case.
void fnCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = valueText(argv[0]);
    const bool up = sqlite3_user_data(ctx) != nullptr;
    resultQString(ctx, up ? dialect::text::upper(s) : dialect::text::lower(s));
}

// lib_nonzero(x): the divisor x, refused when it is zero (the engine's own
// division by zero is Null).
void fnNonZero(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int type = sqlite3_value_numeric_type(argv[0]);
    if ((type == SQLITE_INTEGER && sqlite3_value_int64(argv[0]) == 0)
        || (type == SQLITE_FLOAT && sqlite3_value_double(argv[0]) == 0.0)) {
        resultError(ctx, msg::divisionByZero());
        return;
    }
    sqlite3_result_value(ctx, argv[0]);
}

// lib_int(x): a whole number as an int column holds it (a fraction cut
// toward zero), refused past the int range; the engine's own whole numbers
// go on to 64 bits.
void fnInt(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_numeric_type(argv[0])) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_value_int64(argv[0]);
        if (v < INT32_MIN || v > INT32_MAX) break;
        sqlite3_result_int64(ctx, v);
        return;
    }
    case SQLITE_FLOAT: {
        const double d = std::trunc(sqlite3_value_double(argv[0]));
        if (!(d >= INT32_MIN && d <= INT32_MAX)) break;
        sqlite3_result_int64(ctx, sqlite3_int64(d));
        return;
    }
    default: resultError(ctx, msg::operandTypeClash(QStringLiteral("varchar"), QStringLiteral("int"))); return;
    }
    resultError(ctx, msg::arithmeticOverflow());
}

// lib_money(x): money in ten-thousandths, refused past the money range
// (where the engine's whole numbers would turn into floating point).
void fnMoney(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_numeric_type(argv[0])) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0])); return;
    case SQLITE_FLOAT: {
        const double d = std::round(sqlite3_value_double(argv[0]));
        if (d >= -9223372036854775808.0 && d < 9223372036854775808.0) {
            sqlite3_result_int64(ctx, sqlite3_int64(d));
            return;
        }
        break;
    }
    default: break;
    }
    resultError(ctx, msg::arithmeticOverflow());
}

// lib_money_scale(m, factor, divide): money m (ten-thousandths) times (or,
// with divide 1, divided by) a decimal written as text, exactly, the result
// rounded half away from zero to ten-thousandths, as the server's money
// arithmetic gives it; refused past the money range.
void fnMoneyScale(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    using Wide = dialect::ExactDecimal::Wide;
    const std::optional<dialect::ExactDecimal> f = dialect::ExactDecimal::parse(
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])), sqlite3_value_bytes(argv[1])));
    if (!f) {
        resultError(ctx, msg::arithmeticOverflow());
        return;
    }
    const bool divide = sqlite3_value_int(argv[2]) != 0;
    if (divide && f->digits == 0) {
        resultError(ctx, msg::divisionByZero());
        return;
    }
    // m * digits / 10^scale, or m * 10^scale / digits; a product past 128
    // bits is past the money range too, but for a division by a decimal of
    // many places, which is taken to long double.
    Wide num = 0;
    const Wide den = divide ? Wide(f->digits) : f->power();
    Wide q = 0;
    if (!__builtin_mul_overflow(Wide(sqlite3_value_int64(argv[0])), divide ? f->power() : Wide(f->digits), &num)) {
        const bool negative = (num < 0) != (den < 0);
        const Wide an = num < 0 ? -num : num, ad = den < 0 ? -den : den;
        q = an / ad;
        if ((an % ad) * 2 >= ad) ++q;
        if (negative) q = -q;
    } else if (divide) {
        using Long = long double;
        const Long r = std::round(Long(sqlite3_value_int64(argv[0])) * Long(f->power()) / Long(f->digits));
        q = std::fabs(r) < 9.3e18L ? Wide(r) : Wide(INT64_MAX) + 1;
    } else {
        q = Wide(INT64_MAX) + 1;
    }
    if (q < Wide(INT64_MIN) || q > Wide(INT64_MAX)) {
        resultError(ctx, msg::arithmeticOverflow());
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(q));
}

void fnNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultQString(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// lib_len(text): LEN(text), the characters but the trailing blanks, a NUL
// counted like any other character.
void fnLen(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *p = static_cast<const unsigned char *>(sqlite3_value_text(argv[0]));
    int n = sqlite3_value_bytes(argv[0]);
    while (n > 0 && p[n - 1] == ' ') --n;
    sqlite3_int64 chars = 0;
    for (int i = 0; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80) ++chars;
    sqlite3_result_int64(ctx, chars);
}

}  // namespace

void RegisterSqliteFunctions(sqlite3 *db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "lib_date_text", 3, det, nullptr, fnDateText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_money_text", 3, det, nullptr, fnMoneyText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_to_date", 1, det, nullptr, fnToDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_now", 0, SQLITE_UTF8, nullptr, fnNow, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_len", 1, det, nullptr, fnLen, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 2, det, nullptr, fnLike, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, det, nullptr, fnLike, nullptr, nullptr, nullptr);
    static int up = 1;
    sqlite3_create_function_v2(db, "upper", 1, det, &up, fnCase, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lower", 1, det, nullptr, fnCase, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_nonzero", 1, det, nullptr, fnNonZero, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_int", 1, det, nullptr, fnInt, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_money", 1, det, nullptr, fnMoney, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "lib_money_scale", 3, det, nullptr, fnMoneyScale, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, dialect::kTextOrderCollation, SQLITE_UTF8, nullptr, collateText, nullptr);
    sqlite3_create_collation_v2(db, dialect::kTextCompareCollation, SQLITE_UTF8, nullptr, collateFolded, nullptr);
}

}  // namespace ado
