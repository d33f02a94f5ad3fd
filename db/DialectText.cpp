// Text as the dialect compares it (see DialectText.h).
#include "db/DialectText.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/ustring.h>

namespace dialect::text {

namespace {

constexpr char32_t kJoiner = 0x034F;  // COMBINING GRAPHEME JOINER: ignored, but no contraction spans it
constexpr char32_t kReplacement = 0xFFFD;

// The code point at s[i], moving i past it. A byte that starts no UTF-8
// sequence reads as U+FFFD on its own, so decoding may start at any byte
// that is no continuation byte and reads as it would from the text's start.
char32_t decode(const unsigned char *s, int n, int &i)
{
    const unsigned char c0 = s[i];
    if (c0 < 0x80) {
        ++i;
        return c0;
    }
    int len = 0;
    char32_t cp = 0, least = 0;
    if (c0 >= 0xC2 && c0 < 0xE0) {
        len = 2, cp = c0 & 0x1F, least = 0x80;
    } else if (c0 >= 0xE0 && c0 < 0xF0) {
        len = 3, cp = c0 & 0x0F, least = 0x800;
    } else if (c0 >= 0xF0 && c0 < 0xF5) {
        len = 4, cp = c0 & 0x07, least = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + len > n) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < len; ++k) {
        const unsigned char ck = s[i + k];
        if ((ck & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (ck & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += len;
    return cp;
}

void foldInto(char32_t c, std::u32string &out)
{
    if (c == 0x0130) {  // İ lower-cases to i and a combining dot above
        out += U'i';
        out += char32_t(0x0307);
        return;
    }
    char32_t l = char32_t(u_tolower(UChar32(c)));
    if (l == 0x03C2) l = 0x03C3;  // ς as σ
    out += l;
}

// The character of the sort form that a folded character stands for:
// U+FFFE separates the folded text from the text itself, and U+FFFF is kept
// for the end of a range.
char32_t sortChar(char32_t folded) { return folded == 0xFFFE || folded == 0xFFFF ? kReplacement : folded; }

class Collator {
public:
    static const UCollator *get()
    {
        static const Collator c;
        return c.m_coll;
    }

private:
    Collator()
    {
        UErrorCode err = U_ZERO_ERROR;
        m_coll = ucol_open(kCollatorLocale, &err);
        if (U_FAILURE(err)) {
            if (m_coll) ucol_close(m_coll);
            m_coll = nullptr;
        }
    }
    ~Collator()
    {
        if (m_coll) ucol_close(m_coll);
    }
    UCollator *m_coll = nullptr;
};

void appendUtf16(char32_t c, std::u16string &out)
{
    if (c < 0x10000) {
        out += char16_t(c);
    } else {
        out += char16_t(0xD800 + ((c - 0x10000) >> 10));
        out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

// A text's sort form (see compare()): for the collator in UTF-16, and as
// code points for comparing sort forms the collator takes for equal. A range
// bound (orderBound()) stands for the folded start alone, or followed by
// U+FFFF.
void sortForm(const char *s, int n, bool withText, std::u16string &form, std::u32string &chars)
{
    const auto *u = reinterpret_cast<const unsigned char *>(s);
    const bool bound = n >= 2 && u[0] == 0xFF;
    std::u32string folded;
    if (bound) {
        for (int i = 2; i < n;) folded += decode(u, n, i);
    } else {
        folded = fold(s, n);
    }
    chars.clear();
    chars.reserve(folded.size() * 2 + size_t(n) + 1);
    for (const char32_t c : folded) {
        chars += sortChar(c);
        chars += kJoiner;
    }
    if (bound) {
        if (u[1] == '>') chars += char32_t(0xFFFF);
    } else if (withText) {
        chars += char32_t(0xFFFE);
        for (int i = 0; i < n;) chars += decode(u, n, i);
    }
    form.clear();
    form.reserve(chars.size() + 8);
    for (const char32_t c : chars) appendUtf16(c, form);
}

// What the table knows of a character of the Basic Multilingual Plane, found
// on first use: bit 63 known; bit 62 set when the character's sort form is
// one collation element with a primary weight, so that a difference there
// decides the order alone; bits 32-47 the character of its sort form; bits
// 0-31 the primary weight (the sort key's primary bytes, left-aligned).
constexpr uint64_t kKnown = uint64_t(1) << 63;
constexpr uint64_t kDecides = uint64_t(1) << 62;
std::atomic<uint64_t> g_entries[0x10000];

uint64_t lookUp(char32_t c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c == 0x0130) return kKnown;
    std::u32string folded;
    foldInto(c, folded);
    const char32_t f = sortChar(folded[0]);
    if (f > 0xFFFF) return kKnown;
    const uint64_t form = uint64_t(f) << 32;
    const UCollator *coll = Collator::get();
    if (!coll) return kKnown | form;
    const UChar u = UChar(f);
    UErrorCode err = U_ZERO_ERROR;
    UCollationElements *it = ucol_openElements(coll, &u, 1, &err);
    if (U_FAILURE(err)) return kKnown | form;
    int elements = 0;
    for (int32_t ce = ucol_next(it, &err); ce != UCOL_NULLORDER && U_SUCCESS(err); ce = ucol_next(it, &err))
        if ((ce & 0xC0) != 0xC0) ++elements;  // the second half of a long one is marked 0xC0
    ucol_closeElements(it);
    if (U_FAILURE(err) || elements != 1) return kKnown | form;
    uint8_t key[64];
    const int32_t len = ucol_getSortKey(coll, &u, 1, key, int32_t(sizeof key));
    uint32_t primary = 0;
    int bytes = 0;
    for (int32_t k = 0; k < len && k < int32_t(sizeof key) && key[k] > 1; ++k) {  // 1 ends the primary level
        if (bytes == 4) return kKnown | form;
        primary |= uint32_t(key[k]) << (24 - 8 * bytes++);
    }
    if (bytes == 0) return kKnown | form;  // ignored at the primary level
    return kKnown | kDecides | form | primary;
}

uint64_t entry(char32_t c)
{
    uint64_t e = g_entries[c].load(std::memory_order_relaxed);
    if (!e) {
        e = lookUp(c);
        g_entries[c].store(e, std::memory_order_relaxed);
    }
    return e;
}

bool decides(uint64_t e) { return (e & kDecides) != 0; }
uint32_t formChar(uint64_t e) { return uint32_t(e >> 32) & 0xFFFF; }
uint32_t primaryOf(uint64_t e) { return uint32_t(e); }

}  // namespace

std::u32string fold(const char *utf8, int bytes)
{
    std::u32string out;
    out.reserve(size_t(bytes));
    const auto *s = reinterpret_cast<const unsigned char *>(utf8);
    for (int i = 0; i < bytes;) foldInto(decode(s, bytes, i), out);
    return out;
}

std::u32string fold(QStringView text)
{
    std::u32string out;
    out.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c))
            c = kReplacement;
        foldInto(c, out);
    }
    return out;
}

bool like(const std::u32string &p, const std::u32string &s, char32_t esc)
{
    const size_t pn = p.size(), sn = s.size();
    size_t pi = 0, si = 0;
    size_t starP = SIZE_MAX, starS = 0;
    while (si < sn) {
        if (pi < pn) {
            const char32_t pc = p[pi];
            size_t len = 1;
            bool matched = false;
            if (pc == esc && pi + 1 < pn) {
                matched = p[pi + 1] == s[si];
                len = 2;
            } else if (pc == U'%') {
                starP = ++pi;
                starS = si;
                continue;
            } else if (pc == U'_') {
                matched = true;
            } else if (pc == U'[') {
                size_t close = SIZE_MAX;
                for (size_t k = pi + 2; k < pn; ++k)
                    if (p[k] == U']') {
                        close = k;
                        break;
                    }
                if (close == SIZE_MAX) {
                    matched = pc == s[si];
                } else {
                    size_t k = pi + 1;
                    const bool negate = p[k] == U'^' && close > k + 1;
                    if (negate) ++k;
                    bool in = false;
                    const char32_t c = s[si];
                    for (; k < close; ++k) {
                        if (k + 2 < close && p[k + 1] == U'-') {
                            if (c >= p[k] && c <= p[k + 2]) in = true;
                            k += 2;
                        } else if (p[k] == c) {
                            in = true;
                        }
                    }
                    matched = in != negate;
                    len = close - pi + 1;
                }
            } else {
                matched = pc == s[si];
            }
            if (matched) {
                pi += len;
                ++si;
                continue;
            }
        }
        if (starP == SIZE_MAX) return false;
        pi = starP;
        si = ++starS;
    }
    while (pi < pn && p[pi] == U'%') ++pi;
    return pi == pn;
}

namespace {

int throughCollator(const char *a, int na, const char *b, int nb, bool withText)
{
    thread_local std::u16string formA, formB;
    thread_local std::u32string charsA, charsB;
    sortForm(a, na, withText, formA, charsA);
    sortForm(b, nb, withText, formB, charsB);
    if (const UCollator *coll = Collator::get()) {
        const UCollationResult r =
            ucol_strcoll(coll, formA.data(), int32_t(formA.size()), formB.data(), int32_t(formB.size()));
        if (r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
    }
    const int r = charsA.compare(charsB);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int quickly(const char *a, int na, const char *b, int nb, bool withText)
{
    const auto *x = reinterpret_cast<const unsigned char *>(a);
    const auto *y = reinterpret_cast<const unsigned char *>(b);
    if ((na > 0 && x[0] == 0xFF) || (nb > 0 && y[0] == 0xFF)) return throughCollator(a, na, b, nb, withText);
    // Equal bytes are equal characters: start at the character holding the first difference.
    int k = 0;
    const int m = std::min(na, nb);
    while (k < m && x[k] == y[k]) ++k;
    if (k == na && k == nb) return 0;
    while (k > 0 && ((k < na && (x[k] & 0xC0) == 0x80) || (k < nb && (y[k] & 0xC0) == 0x80))) --k;
    int i = k, j = k;
    for (;;) {
        if (i >= na || j >= nb) {
            if (i >= na && j >= nb) {  // they fold alike: the texts themselves decide
                if (!withText) return 0;
                break;
            }
            // One folded text starts the other: the shorter is first (its
            // U+FFFE is before everything) when the longer goes on with a
            // character that has a primary weight.
            const bool aEnded = i >= na;
            int &at = aEnded ? j : i;
            const char32_t c = decode(aEnded ? y : x, aEnded ? nb : na, at);
            if (c < 0x10000 && decides(entry(c))) return aEnded ? -1 : 1;
            break;
        }
        const char32_t ca = decode(x, na, i), cb = decode(y, nb, j);
        if (ca == cb) continue;
        if (ca >= 0x10000 || cb >= 0x10000) break;
        const uint64_t ea = entry(ca), eb = entry(cb);
        if (!decides(ea) || !decides(eb)) break;
        if (formChar(ea) == formChar(eb)) continue;
        if (primaryOf(ea) != primaryOf(eb)) return primaryOf(ea) < primaryOf(eb) ? -1 : 1;
        break;  // the same letter but for an accent: what follows may still decide first
    }
    return throughCollator(a, na, b, nb, withText);
}

}  // namespace

int compare(const char *a, int na, const char *b, int nb) { return quickly(a, na, b, nb, true); }

int compareThroughCollator(const char *a, int na, const char *b, int nb) { return throughCollator(a, na, b, nb, true); }

int compareFolded(const char *a, int na, const char *b, int nb) { return quickly(a, na, b, nb, false); }

QByteArray orderBound(QStringView start, bool end)
{
    QByteArray out;
    out += char(0xFF);
    out += end ? '>' : '<';
    const std::u32string f = fold(start);
    out += QString::fromUcs4(f.data(), qsizetype(f.size())).toUtf8();
    return out;
}

namespace {

using CaseMap = int32_t (*)(UChar *, int32_t, const UChar *, int32_t, const char *, UErrorCode *);

QString mapCase(QStringView text, CaseMap map)
{
    const auto *src = reinterpret_cast<const UChar *>(text.utf16());
    QString out(text.size() + 8, Qt::Uninitialized);
    UErrorCode err = U_ZERO_ERROR;
    int32_t n = map(reinterpret_cast<UChar *>(out.data()), int32_t(out.size()), src, int32_t(text.size()),
                    kCollatorLocale, &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(n);
        err = U_ZERO_ERROR;
        n = map(reinterpret_cast<UChar *>(out.data()), int32_t(out.size()), src, int32_t(text.size()), kCollatorLocale,
                &err);
    }
    if (U_FAILURE(err)) return text.toString();
    out.resize(n);
    return out;
}

}  // namespace

QString upper(QStringView text) { return mapCase(text, u_strToUpper); }

QString lower(QStringView text) { return mapCase(text, u_strToLower); }

}  // namespace dialect::text
