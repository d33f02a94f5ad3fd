#pragma once
// Text as the dialect compares it, the same on both engines: what LIKE and
// the text order see of a text, LIKE's match, and the text order of ORDER BY
// for the embedded engine's collation (dialect::kTextOrderCollation). The
// server writes the same in its own SQL (lib_fold, lib_order and lib_like in
// postgres.sql), with the same collator: the two are held to each other by
// the differential test.
//
// The order is the Chinese collation of the locale kCollatorLocale (pinyin;
// Latin letters, digits and signs before Chinese; accents after the letters)
// taken character by character: the collation reads some words as one
// (沈阳, 重庆 and 藏文, 重庆 as chong-qing), which the order does not, as the
// program's first server did not (重庆 sorts as 重, zhong). Letter case does
// not count; texts equal but for it are equal.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <string>

namespace dialect::text {

// The ICU locale of the order and of its lower-casing (postgres.sql makes the
// server's collation lib_chinese from the same locale).
inline constexpr char kCollatorLocale[] = "zh-u-kr-zzzz-hani";

// A text as LIKE and the order see it, one code point a character: each
// character lower-cased as the collator's locale lower-cases it, the dotted
// capital I as i and a combining dot above, and the final sigma as σ, so
// that a Greek word's form does not depend on what follows it. Bytes that
// are no UTF-8 read as U+FFFD.
std::u32string fold(const char *utf8, int bytes);
std::u32string fold(QStringView text);

// Whether a folded text matches a folded LIKE pattern: % any run, _ one
// character, [abc] [a-z] [^abc] one character of (or not of) a set (a range
// whose ends are reversed holds nothing; a [ without its ] stands for
// itself), `escape` (kNoEscape: none) before a character makes it stand for
// itself; an escape at the very end stands for itself.
inline constexpr char32_t kNoEscape = 0xFFFFFFFF;
bool like(const std::u32string &pattern, const std::u32string &text, char32_t escape);

// The order of two UTF-8 texts: -1, 0 or 1, 0 only for equal texts. A
// text's sort form is its fold, each character followed by a combining
// grapheme joiner (which the collator ignores, but which keeps it from
// reading characters together as a word), then U+FFFE (which the collator
// puts before every character, so a text that starts another comes first)
// and the text itself (which orders texts that fold alike: zebra before
// Zebra); U+FFFE and U+FFFF of the folded text read as U+FFFD, so that
// U+FFFF after a folded start is past every text with that start. The
// collator compares the sort forms; sort forms it takes for equal compare
// by code point, as the server's strcmp does. Most comparisons are decided
// by the first two characters that differ, from a table; the rest go
// through the collator.
int compare(const char *a, int na, const char *b, int nb);
// The same, always through the collator: what compare() is held to.
int compareThroughCollator(const char *a, int na, const char *b, int nb);
// The order of the folded texts alone, as <, > and BETWEEN compare texts:
// 0 for texts equal but for letter case.
int compareFolded(const char *a, int na, const char *b, int nb);

// A text the order above reads as a place in it: where the texts that
// start with `start` (as LIKE sees it) begin, or (`end`) where they end, for
// a find's range. Its first byte, 0xFF, is never part of UTF-8, so no stored
// text is one.
QByteArray orderBound(QStringView start, bool end);

// UPPER and LOWER as the server's collation maps case (a whole text at once:
// ß as SS, a final sigma as ς).
QString upper(QStringView text);
QString lower(QStringView text);

}  // namespace dialect::text
