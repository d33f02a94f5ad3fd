// The functions and the text order that statements translated for the
// embedded engine call (see RegisterSqliteFunctions).
#include "db/SqliteFunctions.h"

#include "db/Dialect.h"
#include "db/ServerMessages.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sqlite3.h>
#include <vector>

namespace ado {

namespace {

void resultQString(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
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
    char buf[48];
    int k;
    if (style <= 0) {
        const bool neg = v < 0;
        const unsigned long long a =
            neg ? static_cast<unsigned long long>(-(v + 1)) + 1 : static_cast<unsigned long long>(v);
        const unsigned long long cents = (a + 50) / 100;
        k = std::snprintf(buf, sizeof buf, "%s%llu.%02llu", neg && cents ? "-" : "", cents / 100, cents % 100);
    } else {
        const QByteArray u = dialect::moneyText(v, style).toUtf8();
        k = int(u.size());
        std::memcpy(buf, u.constData(), size_t(std::min<int>(k, sizeof buf - 1)));
    }
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
    const QString s =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
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

// The server's LIKE: % any run, _ any one character, [abc] [a-z] [^abc] one
// character of (or not of) a set, an optional escape character; letters
// compared without regard to case.
bool likeMatch(const char16_t *p, int pn, const char16_t *s, int sn, int esc)
{
    auto fold = [](char16_t c) { return QChar(c).toCaseFolded().unicode(); };
    int pi = 0, si = 0, starP = -1, starS = -1;
    while (si < sn) {
        if (pi < pn) {
            const char16_t pc = p[pi];
            int len = 1;
            bool matched = false;
            if (esc >= 0 && pc == esc && pi + 1 < pn) {
                matched = fold(p[pi + 1]) == fold(s[si]);
                len = 2;
            } else if (pc == u'%') {
                starP = ++pi;
                starS = si;
                continue;
            } else if (pc == u'_') {
                matched = true;
            } else if (pc == u'[') {
                int close = -1;
                for (int k = pi + 2; k < pn; ++k)
                    if (p[k] == u']') {
                        close = k;
                        break;
                    }
                if (close < 0) {
                    matched = fold(pc) == fold(s[si]);
                } else {
                    int k = pi + 1;
                    const bool negate = p[k] == u'^' && close > k + 1;
                    if (negate) ++k;
                    bool in = false;
                    const char16_t c = fold(s[si]);
                    for (; k < close; ++k) {
                        if (k + 2 < close && p[k + 1] == u'-') {
                            if (c >= fold(p[k]) && c <= fold(p[k + 2])) in = true;
                            k += 2;
                        } else if (fold(p[k]) == c) {
                            in = true;
                        }
                    }
                    matched = in != negate;
                    len = close - pi + 1;
                }
            } else {
                matched = fold(pc) == fold(s[si]);
            }
            if (matched) {
                pi += len;
                ++si;
                continue;
            }
        }
        if (starP < 0) return false;
        pi = starP;
        si = ++starS;
    }
    while (pi < pn && p[pi] == u'%') ++pi;
    return pi == pn;
}

// like(pattern, text[, escape]): "text LIKE pattern [ESCAPE escape]"
void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    int esc = -1;
    if (argc == 3) {
        const auto *e = static_cast<const char16_t *>(sqlite3_value_text16(argv[2]));
        if (sqlite3_value_bytes16(argv[2]) != 2) {
            resultError(ctx, msg::likeEscapeNotSingle());
            return;
        }
        esc = e[0];
    }
    const auto *p = static_cast<const char16_t *>(sqlite3_value_text16(argv[0]));
    const int pn = sqlite3_value_bytes16(argv[0]) / 2;
    const auto *t = static_cast<const char16_t *>(sqlite3_value_text16(argv[1]));
    const int tn = sqlite3_value_bytes16(argv[1]) / 2;
    sqlite3_result_int(ctx, likeMatch(p, pn, t, tn, esc) ? 1 : 0);
}

// The text order of ORDER BY (dialect::kTextOrderCollation): the Chinese
// collation of the locale zh_CN without regard to case, taken character by
// character. Every character of the Basic Multilingual Plane gets its rank in
// that collation once per process (about 60,000 characters); two texts then
// compare by the ranks of their characters, first difference deciding, a
// shorter text first. Han characters are ranked after all others (Latin
// letters, digits and signs first, as the server sorts), letters that differ
// only in case share a rank, and characters the collation ignores (controls)
// are skipped. Characters beyond the plane follow all of it, by code point.

class TextOrder {
public:
    static const TextOrder &instance()
    {
        static const TextOrder order;
        return order;
    }

    int compare(const unsigned char *a, int na, const unsigned char *b, int nb) const
    {
        // Equal bytes are equal characters: start at the character holding the first difference.
        int k = 0;
        const int m = std::min(na, nb);
        while (k < m && a[k] == b[k]) ++k;
        if (k == na && k == nb) return 0;
        while (k > 0 && ((k < na && (a[k] & 0xC0) == 0x80) || (k < nb && (b[k] & 0xC0) == 0x80))) --k;
        int i = k, j = k;
        for (;;) {
            uint32_t ra = 0, rb = 0;
            while (i < na && (ra = next(a, na, i)) == 0) { }
            while (j < nb && (rb = next(b, nb, j)) == 0) { }
            if (ra != rb) return ra < rb ? -1 : 1;
            if (ra == 0) return 0;  // both ended
        }
    }

private:
    TextOrder() : m_rank(0x10000, 0)
    {
        QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<char16_t> chars;
        chars.reserve(0x10000);
        for (uint32_t c = 1; c < 0x10000; ++c)
            if (c < 0xD800 || c > 0xDFFF) chars.push_back(char16_t(c));
        // Each character's sort key once; sorting then compares the keys' bytes.
        std::vector<QCollatorSortKey> keys;
        keys.reserve(0x10000);
        for (uint32_t c = 0; c < 0x10000; ++c) keys.push_back(collator.sortKey(QString(QChar(char16_t(c)))));
        const QCollatorSortKey none = collator.sortKey(QString());
        auto han = [](char16_t c) { return QChar::script(c) == QChar::Script_Han; };
        std::sort(chars.begin(), chars.end(), [&](char16_t x, char16_t y) {
            if (han(x) != han(y)) return han(y);
            const int r = keys[x].compare(keys[y]);
            return r != 0 ? r < 0 : x < y;
        });
        uint32_t rank = 0;
        char16_t prev = 0;
        for (char16_t c : chars) {
            if (keys[c].compare(none) == 0) continue;  // ignored: rank 0
            if (rank == 0 || han(prev) != han(c) || keys[prev].compare(keys[c]) != 0) ++rank;
            m_rank[c] = rank;
            prev = c;
        }
    }

    // The rank of the character at i (UTF-8), moving i past it.
    uint32_t next(const unsigned char *s, int n, int &i) const
    {
        const unsigned char c0 = s[i];
        if (c0 < 0x80) {
            ++i;
            return m_rank[c0];
        }
        int len = c0 >= 0xF0 ? 4 : c0 >= 0xE0 ? 3 : c0 >= 0xC0 ? 2 : 1;
        if (len == 1 || i + len > n) {  // not UTF-8: the byte ranks after every character
            ++i;
            return 0x220000u + c0;
        }
        uint32_t cp = c0 & (0x3F >> (len - 1));
        for (int k = 1; k < len; ++k) {
            const unsigned char ck = s[i + k];
            if ((ck & 0xC0) != 0x80) {
                ++i;
                return 0x220000u + c0;
            }
            cp = (cp << 6) | (ck & 0x3F);
        }
        i += len;
        if (cp < 0x10000) return m_rank[cp] ? m_rank[cp] : (cp >= 0xD800 && cp <= 0xDFFF ? 0x110000u + cp : 0);
        return 0x110000u + cp;
    }

    std::vector<uint32_t> m_rank;
};

int collateText(void *, int na, const void *a, int nb, const void *b)
{
    return TextOrder::instance().compare(static_cast<const unsigned char *>(a), na,
                                         static_cast<const unsigned char *>(b), nb);
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
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fnLike, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fnLike, nullptr, nullptr,
                               nullptr);
    sqlite3_create_collation_v2(db, dialect::kTextOrderCollation, SQLITE_UTF8, nullptr, collateText, nullptr);
}

}  // namespace ado
