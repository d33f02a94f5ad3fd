// The translator's LIKE: the match as both engines make it, and the ranges of
// a pattern's fixed start that let an index find the rows.
#include "db/DialectText.h"
#include "db/DialectTranslator.h"
#include "db/ServerMessages.h"
#include <algorithm>

namespace dialect::detail {

using ado::Error;

namespace {

// The fixed start of a LIKE pattern: its characters before the first
// wildcard, set or escape character.
QString likePrefix(const QString &pattern, const QString &escape)
{
    QString prefix;
    for (const QChar c : pattern) {
        // A NUL ends the embedded engine's case-blind comparison: the range stops before it.
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('[') || c.unicode() == 0
            || (escape.size() == 1 && c == escape[0]))
            break;
        prefix += c;
    }
    return prefix;
}

// Whether a prefix compares the same in the embedded engine's NOCASE (which
// folds only ASCII letters) as LIKE matches it (which folds every letter).
bool caseFoldsAsAscii(const QString &prefix)
{
    for (const QChar c : prefix)
        if (c.unicode() >= 0x80 && (c.toCaseFolded() != c || c.toUpper() != c || c.toLower() != c || c.isSurrogate()))
            return false;
    return true;
}

// Whether NOCASE, which folds ASCII letters only, reads a prefix as LIKE
// does: no letter outside ASCII in it, and none of its letters one that a
// letter outside ASCII folds to: the Kelvin sign folds to k, and the dotted
// capital I to i and a combining dot, so a text starting with it matches a
// start ending in i, or holding i and that dot.
bool nocaseReadsAsLike(const QString &prefix)
{
    if (!caseFoldsAsAscii(prefix) || prefix.back().unicode() >= 0xD7FF) return false;
    if (prefix.back().toLower() == QLatin1Char('i') || prefix.contains(QChar(0x0307))) return false;
    for (const QChar c : prefix) {
        const char16_t l = c.toLower().unicode();
        if (l == u'k' || l == u's') return false;
    }
    return true;
}

// A pattern whose escape character ends it unpaired: the embedded engine
// reads that escape as itself, the server's LIKE refuses the pattern, so
// the escape is doubled there.
QString escapeClosed(const QString &pattern, const QString &escape)
{
    if (escape.isEmpty() || !pattern.endsWith(escape)) return pattern;
    const QList<uint> p = pattern.toUcs4();
    const uint e = escape.toUcs4().value(0);
    bool unpaired = false;
    for (qsizetype k = 0; k < p.size();) {
        if (p[k] == e) {
            if (k + 1 == p.size()) unpaired = true;
            k += 2;
        } else {
            ++k;
        }
    }
    return unpaired ? pattern + escape : pattern;
}

// Whether a character folds to itself (no letter case): an escape the
// folding of a pattern can't change.
bool foldsToItself(const QString &c)
{
    const std::u32string f = dialect::text::fold(QStringView(c));
    const QList<uint> raw = c.toUcs4();
    return raw.size() == 1 && f.size() == 1 && f[0] == raw[0];
}

// How many of a column's texts a start of n characters is taken to begin:
// a sixteenth for each character, down to one in a thousand million.
QString startLikelihood(qsizetype n)
{
    double p = 1;
    for (qsizetype i = 0; i < n && p > 1e-9; ++i) p /= 16;
    return QString::number(std::max(p, 1e-9), 'g', 3);
}

// The texts that a start matched without regard to case can begin with on
// PostgreSQL, as the lower-casing of its collation reads them: a character
// without case stands for itself, an ASCII letter for either case (k also for
// the Kelvin sign, and a closing i also for the dotted capital I, which
// lower-cases to i and a combining dot). They are the start's longest head
// with at most 16 spellings; a character after it (a letter outside ASCII)
// is left to the full match. Empty when not even the first character can be
// spelt so.
QStringList caseSpellings(const QString &prefix, bool *whole)
{
    QStringList heads{QString()};
    int i = 0;
    for (; i < prefix.size(); ++i) {
        const QChar c = prefix[i];
        const char16_t u = c.unicode();
        QString forms;
        if (u < 0x80 && c.isLetter()) {
            forms = QString(c.toLower()) + c.toUpper();
            if (c.toLower() == QLatin1Char('k')) forms += QChar(0x212A);
        } else if (u < 0x80) {
            forms = c;
        } else {
            // No case at all: not a letter of a cased script, a modifier or
            // a combining mark (the dotted capital I lower-cases into one).
            switch (c.category()) {
            case QChar::Letter_Other:
            case QChar::Number_DecimalDigit:
            case QChar::Number_Letter:
            case QChar::Number_Other:
            case QChar::Punctuation_Connector:
            case QChar::Punctuation_Dash:
            case QChar::Punctuation_Open:
            case QChar::Punctuation_Close:
            case QChar::Punctuation_InitialQuote:
            case QChar::Punctuation_FinalQuote:
            case QChar::Punctuation_Other:
            case QChar::Symbol_Math:
            case QChar::Symbol_Currency:
            case QChar::Symbol_Modifier:
            case QChar::Symbol_Other:
            case QChar::Separator_Space:
                if (c.toLower() == c && c.toUpper() == c && u != 0xD7FF && u != 0xFFFF) forms = c;
                break;
            default: break;
            }
        }
        if (forms.isEmpty() || heads.size() * forms.size() > 16) break;
        QStringList next;
        for (const QString &h : heads)
            for (const QChar f : forms) next << h + f;
        heads = next;
    }
    *whole = i == prefix.size();
    if (i == 0) return {};
    // A head ending in i also begins the texts that start with the dotted
    // capital I: that one is read in full by the match after the range.
    if (prefix[i - 1].toLower() == QLatin1Char('i')) {
        const QStringList plain = heads;
        for (QString h : plain) {
            h.back() = QChar(0x0130);
            if (!heads.contains(h)) heads << h;
        }
        *whole = false;
    }
    return heads;
}

}  // namespace

// LIKE as both engines match it (dialect::text::like): the folded text
// against the folded pattern. The embedded engine's own like() is replaced
// by one that does this. PostgreSQL folds both sides with lib_fold() and
// matches with its own LIKE, where that means the same (a pattern written in
// the statement, without a set, with an escape that has no letter case);
// any other goes through lib_like().
//
// A pattern with a fixed start on a text column is also read as ranges of
// that column, so that an index can find the rows; a range only narrows
// what is read, and the match decides, but where it is the match itself (the
// start and a closing %, every character of it read by the range). On the
// embedded engine: the column's own (case-blind) order from the start to just
// past it; on PostgreSQL the column's text from each way the start can be
// spelt in either case (pattern indexes on the column's text serve it). When
// the list sorts by the column, also the texts that start with it in the text
// order (see DialectText.h), which an index in that order reads in the
// list's order: a range no word the collation knows can cut short, as the
// order reads every character alone.
QString Translator::emitLike(const Node *n)
{
    const Node *x = n->args[0].get();
    const Node *pattern = n->args[1].get();
    const Node *escape = n->args.size() > 2 ? n->args[2].get() : nullptr;
    if (x->kind == Kind::Date || x->kind == Kind::Money || x->kind == Kind::Blob)
        throw Error(ado::msg::unsupportedLike(kindName(x->kind)));
    if (escape && escape->form == Node::Str && escape->text.toUcs4().size() != 1)
        throw Error(ado::msg::likeEscapeNotSingle());
    const QString no = n->neg ? QStringLiteral("NOT ") : QString();
    const bool literal = pattern->form == Node::Str && (!escape || escape->form == Node::Str);
    const QString esc = escape && literal ? escape->text : QString();
    const bool column = x->form == Node::Col && x->kind == Kind::Text && !n->neg;
    const QString prefix = column && literal ? likePrefix(pattern->text, esc) : QString();
    const auto sameColumn = [x](const Node *c) { return c && c->ref == x->ref && c->col == x->col; };
    const bool ordered = sameColumn(m_orderColumn) || (!pg() && sameColumn(m_groupOrderColumn));
    if (!pg()) {
        const QString like = QStringLiteral("%1 %2LIKE %3").arg(emitExpr(x), no, emitAs(pattern, Kind::Text, false))
                             + (escape ? QStringLiteral(" ESCAPE ") + emitAs(escape, Kind::Text, false) : QString());
        if (prefix.isEmpty()) return QLatin1Char('(') + like + QLatin1Char(')');
        QStringList parts;
        if (nocaseReadsAsLike(prefix)) {
            QString low = prefix;
            for (QChar &c : low)
                if (c.unicode() < 0x80) c = c.toLower();
            // The range ends just past the start's last character in NOCASE's
            // order, which reads an ASCII capital as its small letter: after
            // '@' comes 'A', read as 'a', so such an end steps past 'Z' to '['
            // (no folded text holds a capital) lest the range take in
            // "[\\]^_`" too.
            QString high = low;
            char16_t next = char16_t(high.back().unicode() + 1);
            if (next >= u'A' && next <= u'Z') next = u'[';
            high.back() = QChar(next);
            // A pattern that is its start and a closing % is the range itself.
            if (pattern->text != prefix + QLatin1Char('%')) parts << like;
            // Without statistics the engine takes a range for a sixteenth of
            // the rows however long its start is, and walks the list's order
            // instead. Each character of a start makes it rarer: told so, the
            // engine reads a long start (a whole reader or copy number) from
            // the column's index. Not where the list sorts by the column: the
            // range in the text order below reads that in the list's order.
            const QString from = ordered ? QStringLiteral("%1 >= %2").arg(emitExpr(x), textLiteral(low))
                                         : QStringLiteral("likelihood(%1 >= %2, %3)")
                                               .arg(emitExpr(x), textLiteral(low), startLikelihood(prefix.size()));
            parts << QStringLiteral("%1 AND %2 < %3").arg(from, emitExpr(x), textLiteral(high));
        } else {
            parts << like;
        }
        if (ordered)
            parts << QStringLiteral("%1 COLLATE %4 >= %2 AND %1 COLLATE %4 < %3")
                         .arg(emitExpr(x), orderBound(prefix, false), orderBound(prefix, true),
                              QLatin1String(kTextOrderCollation));
        return QLatin1Char('(') + parts.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    }
    const QString value = x->kind == Kind::Text ? emitExpr(x) : QStringLiteral("CAST(%1 AS TEXT)").arg(emitExpr(x));
    if (literal && !pattern->text.contains(QLatin1Char('[')) && (esc.isEmpty() || foldsToItself(esc))) {
        const QString text = escapeClosed(pattern->text, esc);
        QStringList reads;
        if (column) {
            bool whole = false;
            reads = serverStartReads(x, prefix, &whole);
            if (whole && text == prefix + QLatin1Char('%'))
                return QLatin1Char('(') + reads.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        }
        reads << QStringLiteral("lib_fold(%1) %2LIKE lib_fold(%3) ESCAPE %4")
                     .arg(value, no, textLiteral(text), textLiteral(esc));
        return QLatin1Char('(') + reads.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    }
    QString call = QStringLiteral("lib_like(%1, %2").arg(value, emitAs(pattern, Kind::Text, false));
    if (escape) call += QStringLiteral(", ") + emitAs(escape, Kind::Text, false);
    return QStringLiteral("(%1%2))").arg(no, call);
}

// A bound of the texts that start with `prefix` in the embedded engine's
// text order: where they begin, or (`end`) where they end (see
// dialect::text::orderBound; a text literal the collation reads as a bound).
QString Translator::orderBound(const QString &prefix, bool end) const
{
    return QStringLiteral("CAST(X'%1' AS TEXT)")
        .arg(QString::fromLatin1(dialect::text::orderBound(QStringView(prefix), end).toHex().toUpper()));
}

// The ranges that read a start on PostgreSQL: the column's text from each
// spelling of the start to just past it, in the byte order of the column's
// pattern index. When the list sorts by the column, also the column's place
// in the text order from where the texts with the start begin to where they
// end, which the index of the list's order reads in the list's order; the
// spellings are then only checked on the rows read, as calls of the range's
// functions (which the planner neither serves from an index nor estimates
// from the column's statistics, so that it doesn't take the two ranges for
// independent, guess too few rows and sort what the ordered index would give
// at once). Whole when the spellings hold the start's every character.
QStringList Translator::serverStartReads(const Node *x, const QString &prefix, bool *whole)
{
    *whole = false;
    if (prefix.isEmpty()) return {};
    const bool ordered = m_orderColumn && m_orderColumn->ref == x->ref && m_orderColumn->col == x->col;
    QStringList parts;
    const QString text = QStringLiteral("CAST(%1 AS TEXT)").arg(emitExpr(x));
    for (const QString &head : caseSpellings(prefix, whole)) {
        QString high = head;
        high.back() = QChar(char16_t(high.back().unicode() + 1));
        parts << (ordered ? QStringLiteral("text_pattern_ge(%1, %2) AND text_pattern_lt(%1, %3)")
                          : QStringLiteral("%1 ~>=~ %2 AND %1 ~<~ %3"))
                     .arg(text, textLiteral(head), textLiteral(high));
    }
    QStringList reads;
    if (parts.isEmpty())
        *whole = false;
    else if (parts.size() == 1)
        reads << parts[0];
    else
        reads << QStringLiteral("((") + parts.join(QStringLiteral(") OR (")) + QStringLiteral("))");
    if (ordered)
        reads << QStringLiteral("%1 >= lib_order_from(%2) AND %1 < lib_order_from(%2) || %3")
                     .arg(orderKey(emitExpr(x)), textLiteral(prefix), textLiteral(QString(QChar(0xFFFF))));
    return reads;
}

}  // namespace dialect::detail
