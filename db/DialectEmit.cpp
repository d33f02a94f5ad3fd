// The translator's output: the engine's SQL for a resolved statement tree.
#include "db/DialectParser.h"
#include "db/DialectTranslator.h"
#include "db/ServerMessages.h"

#include <QScopeGuard>
#include <limits>

namespace dialect::detail {

using ado::Error;

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

QString Translator::col(const Node *n)
{
    const ColumnInfo &ci = n->ref->info->columns[size_t(n->col)];
    if (!ci.computedAs.isEmpty()) return computedValue(*n->ref, ci);
    return quoteIdent(n->ref->qualifier()) + QLatin1Char('.') + quoteIdent(ci.name);
}

namespace {

// Points the names "table.column" of an expression, sub-queries included, at
// the statement's own name for that table.
void requalify(Node *n, const QString &table, const QString &qualifier)
{
    if (!n) return;
    if (n->form == Node::Col && n->qual.compare(table, Qt::CaseInsensitive) == 0) n->qual = qualifier;
    for (auto &c : n->args) requalify(c.get(), table, qualifier);
    if (!n->subquery) return;
    for (Core &c : n->subquery->cores) {
        for (SelectItem &it : c.items) requalify(it.e.get(), table, qualifier);
        requalify(c.where.get(), table, qualifier);
        requalify(c.having.get(), table, qualifier);
        for (auto &g : c.group) requalify(g.get(), table, qualifier);
    }
    for (OrderItem &o : n->subquery->order) requalify(o.e.get(), table, qualifier);
}

}  // namespace

// A column the catalog computes (ColumnInfo::computedAs): its expression, in
// which "table.column" reads the row the statement is reading.
QString Translator::computedValue(const TableRef &row, const ColumnInfo &ci)
{
    if (m_computing.contains(&ci)) throw Error(ado::msg::computedColumnFromItself(ci.name));
    NodeP e;
    try {
        Parser p(ci.computedAs, m_cat);
        e = p.expr();
        if (!p.atEnd()) p.fail();
    } catch (const Error &err) {
        throw Error(ado::msg::computedColumnInvalid(row.info->name, ci.name, err.Description()));
    }
    requalify(e.get(), row.info->name, row.qualifier());
    std::vector<TableRef> self{row};
    const Scope sc{&self, nullptr};
    resolve(e.get(), &sc);
    m_computing.insert(&ci);
    const QString out = QLatin1Char('(') + emitExpr(e.get()) + QLatin1Char(')');
    m_computing.remove(&ci);
    return out;
}

QString Translator::emitAs(const Node *n, Kind target, bool storing, const QString &column)
{
    if (n->form == Node::Null) return QStringLiteral("NULL");
    if (n->form == Node::Param) {
        m_paramKinds[size_t(n->paramIndex)] = target;
        return param(n->paramIndex);
    }
    // A whole number stored into an int column must be one an int holds.
    const auto inRange = [&](const QVariant &v) {
        if (storing && target == Kind::Int && !v.isNull()
            && (v.toLongLong() < std::numeric_limits<qint32>::min()
                || v.toLongLong() > std::numeric_limits<qint32>::max()))
            throw Error(ado::msg::arithmeticOverflow());
        return v.isNull() ? QStringLiteral("NULL") : QString::number(v.toLongLong());
    };
    if (n->form == Node::Unary && n->text == QLatin1String("-") && (n->args[0]->form == Node::Num)
        && (target == Kind::Money || target == Kind::Int || target == Kind::Flag))
        return inRange(toStorage(target, QVariant(QLatin1Char('-') + n->args[0]->text), column));
    if (target == Kind::Money && n->form != Node::Num && n->kind == Kind::Decimal)
        if (const std::optional<ExactDecimal> d = exactNumber(n))  // 0.613 * 1.15, exactly
            return QString::number(toStorage(Kind::Money, d->toString(), column).toLongLong());
    // Text is no number: the statement is refused on both engines alike
    // (the server would take a text that reads as one).
    if (storing && n->form != Node::Str && n->kind == Kind::Text
        && (target == Kind::Int || target == Kind::Flag || target == Kind::Money))
        throw Error(ado::msg::operandTypeClash(QStringLiteral("varchar"), kindName(target)));
    const bool literal = n->form == Node::Str || n->form == Node::Num;
    switch (target) {
    case Kind::Date:
        if (n->form == Node::Str) {
            if (n->text.trimmed().isEmpty())
                return storing ? QStringLiteral("NULL") : textLiteral(QStringLiteral("1900-01-01 00:00:00"));
            const QVariant v = toStorage(Kind::Date, n->text, column);
            return textLiteral(v.toString());
        }
        if (n->form == Node::Num) throw Error(ado::msg::numbersAreNoDates(n->text));
        if (n->kind == Kind::Date || n->kind == Kind::Null) return emitExpr(n);
        if (n->kind == Kind::Text || n->kind == Kind::Unknown)
            return QStringLiteral("lib_to_date(%1)").arg(emitExpr(n));
        throw Error(ado::msg::operandTypeClash(kindName(n->kind), QStringLiteral("datetime")));
    case Kind::Money:
        if (literal) return QString::number(toStorage(Kind::Money, n->text, column).toLongLong());
        if (n->kind == Kind::Money || n->kind == Kind::Null) return emitExpr(n);
        // Whole numbers times 10000 as 64-bit ones (the server's int stops at 2^31).
        if (n->kind == Kind::Int || n->kind == Kind::Flag)
            return (pg() ? QStringLiteral("(CAST(%1 AS BIGINT) * 10000)") : QStringLiteral("(%1 * 10000)"))
                .arg(emitExpr(n));
        if (n->kind == Kind::Decimal || n->kind == Kind::Unknown)
            return QStringLiteral("lib_money((%1) * 10000)").arg(emitExpr(n));
        throw Error(ado::msg::operandTypeClash(kindName(n->kind), QStringLiteral("money")));
    case Kind::Int:
    case Kind::Flag:
        if (literal) {
            QVariant v = n->form == Node::Num ? QVariant(n->text.toDouble()) : QVariant(n->text);
            bool whole = false;  // a whole number past 64 bits stays a double, which the conversion refuses
            const qlonglong i = n->text.toLongLong(&whole);
            if (n->form == Node::Num && target == Kind::Int && whole) v = QVariant(i);
            return inRange(toStorage(target, v, column));
        }
        if (storing && target == Kind::Int) {
            // Stored into an int column: money rounds, a fraction is cut,
            // and the engine refuses what an int does not hold.
            QString e = emitExpr(n);
            if (n->kind == Kind::Money) e = QStringLiteral("ROUND(%1 / 10000.0)").arg(e);
            if (pg())
                return n->kind == Kind::Int || n->kind == Kind::Flag
                           ? e
                           : QStringLiteral("CAST(trunc(%1) AS INTEGER)").arg(e);
            return QStringLiteral("lib_int(%1)").arg(e);
        }
        if (n->kind == Kind::Money) return QStringLiteral("(%1 / 10000.0)").arg(emitExpr(n));
        return emitExpr(n);
    case Kind::Text:
        if (n->form == Node::Num) return textLiteral(n->text);
        if (n->kind == Kind::Money) return QStringLiteral("lib_money_text(%1, -1, 8000)").arg(emitExpr(n));
        return emitExpr(n);
    default: return emitExpr(n);
    }
}

Kind Translator::commonKind(const Node *l, const Node *r)
{
    const Kind lk = l->kind, rk = r->kind;
    auto strong = [](Kind k) { return k == Kind::Date || k == Kind::Money; };
    if (strong(lk) && lk != rk) return lk;
    if (strong(rk) && lk != rk) return rk;
    if ((lk == Kind::Int || lk == Kind::Flag) && (r->form == Node::Str || r->form == Node::Param)) return lk;
    if ((rk == Kind::Int || rk == Kind::Flag) && (l->form == Node::Str || l->form == Node::Param)) return rk;
    if (l->form == Node::Param && rk != Kind::Unknown) return rk;
    if (r->form == Node::Param && lk != Kind::Unknown) return lk;
    return Kind::Unknown;
}

QString Translator::emitCompared(const Node *n, Kind common)
{
    return common == Kind::Unknown ? emitExpr(n) : emitAs(n, common, false);
}

QString Translator::emitExpr(const Node *n)
{
    switch (n->form) {
    case Node::Str: return textLiteral(n->text);
    case Node::Num: return n->text;
    case Node::Null: return QStringLiteral("NULL");
    case Node::Param: return param(n->paramIndex);
    case Node::Col:
        if (n->aliasIndex >= 0) return QString();  // handled by ORDER BY
        return col(n);
    case Node::Unary:
        if (n->text == QLatin1String("NOT")) return QStringLiteral("NOT (%1)").arg(emitExpr(n->args[0].get()));
        if (n->args[0]->kind == Kind::Date)
            throw Error(ado::msg::operandTypeInvalid(QStringLiteral("datetime"), QStringLiteral("minus")));
        return QStringLiteral("(-%1)").arg(emitExpr(n->args[0].get()));
    case Node::Bin: return emitBinary(n);
    case Node::Between: {
        const Node *x = n->args[0].get();
        const Kind k1 = commonKind(x, n->args[1].get()), k2 = commonKind(x, n->args[2].get());
        const Kind k = k1 != Kind::Unknown ? k1 : k2;
        if (k == Kind::Unknown && x->kind == Kind::Text && n->args[1]->kind == Kind::Text
            && n->args[2]->kind == Kind::Text)
            return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
                .arg(foldedText(emitExpr(x)), n->neg ? QStringLiteral("NOT ") : QString(),
                     foldedText(emitExpr(n->args[1].get())), foldedText(emitExpr(n->args[2].get())));
        return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
            .arg(emitCompared(x, k), n->neg ? QStringLiteral("NOT ") : QString(), emitCompared(n->args[1].get(), k),
                 emitCompared(n->args[2].get(), k));
    }
    case Node::Like: return emitLike(n);
    case Node::InList: {
        const Node *x = n->args[0].get();
        QStringList items;
        Kind k = Kind::Unknown;
        for (size_t i = 1; i < n->args.size() && k == Kind::Unknown; ++i) k = commonKind(x, n->args[i].get());
        for (size_t i = 1; i < n->args.size(); ++i) items << emitCompared(n->args[i].get(), k);
        return QStringLiteral("(%1 %2IN (%3))")
            .arg(emitCompared(x, k), n->neg ? QStringLiteral("NOT ") : QString(), items.join(QStringLiteral(", ")));
    }
    case Node::InSub:
        return QStringLiteral("(%1 %2IN (%3))")
            .arg(emitExpr(n->args[0].get()), n->neg ? QStringLiteral("NOT ") : QString(), emitQuery(*n->subquery));
    case Node::IsNull:
        return QStringLiteral("(%1 IS %2NULL)")
            .arg(emitExpr(n->args[0].get()), n->neg ? QStringLiteral("NOT ") : QString());
    case Node::Exists: return QStringLiteral("EXISTS (%1)").arg(emitQuery(*n->subquery));
    case Node::Sub: return QStringLiteral("(%1)").arg(emitQuery(*n->subquery));
    case Node::Func: return emitFunction(n);
    case Node::Convert: return emitConvert(n);
    case Node::Case: return emitCase(n);
    }
    return QString();
}

namespace {

// Whether a value is a whole number of the server's int (4 bytes): an int
// column, a number that fits, and sums, differences, products and quotients
// of those; the server refuses such arithmetic past the int range. (Counts
// and sums are wider there.)
bool isInt4(const Node *n)
{
    switch (n->form) {
    case Node::Col: return n->kind == Kind::Int || n->kind == Kind::Flag;
    case Node::Num: return n->kind == Kind::Int;
    case Node::Unary: return n->text == QLatin1String("-") && isInt4(n->args[0].get());
    case Node::Bin:
        return (n->text == QLatin1String("+") || n->text == QLatin1String("-") || n->text == QLatin1String("*")
                || n->text == QLatin1String("/") || n->text == QLatin1String("%"))
               && isInt4(n->args[0].get()) && isInt4(n->args[1].get());
    default: return false;
    }
}

bool isComparison(const QString &op)
{
    return op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<") || op == QLatin1String(">")
           || op == QLatin1String("<=") || op == QLatin1String(">=");
}

}  // namespace

// A number written in the statement, or a sum, difference or product of
// such, as the exact decimal it is (the server computes those exactly; the
// embedded engine would in floating point).
std::optional<ExactDecimal> Translator::exactNumber(const Node *n)
{
    if (n->form == Node::Num) return ExactDecimal::parse(n->text);
    if (n->form == Node::Unary && n->text == QLatin1String("-")) {
        const std::optional<ExactDecimal> d = exactNumber(n->args[0].get());
        return d ? std::optional<ExactDecimal>(d->negated()) : std::nullopt;
    }
    if (n->form != Node::Bin) return std::nullopt;
    const std::optional<ExactDecimal> l = exactNumber(n->args[0].get()), r = exactNumber(n->args[1].get());
    if (!l || !r) return std::nullopt;
    if (n->text == QLatin1String("+")) return l->plus(*r);
    if (n->text == QLatin1String("-")) return l->plus(r->negated());
    if (n->text == QLatin1String("*")) return l->times(*r);
    return std::nullopt;
}

// A divisor: the embedded engine's division by zero is Null, the server's a
// failure; lib_nonzero() makes it one there too.
QString Translator::divisor(const Node *n)
{
    return pg() ? emitExpr(n) : QStringLiteral("lib_nonzero(%1)").arg(emitExpr(n));
}

// Money from an exact number on the server (bigint would overflow unchecked),
// from whole numbers or floating point on the embedded engine; past the
// money range either refuses it (lib_money()).
QString Translator::moneyOf(const QString &number) const { return QStringLiteral("lib_money(%1)").arg(number); }

QString Translator::emitBinary(const Node *n)
{
    const QString &op = n->text;
    const Node *l = n->args[0].get();
    const Node *r = n->args[1].get();
    if (op == QLatin1String("AND") || op == QLatin1String("OR"))
        return QStringLiteral("(%1 %2 %3)").arg(emitExpr(l), op, emitExpr(r));
    if (op == QLatin1String("*=") || op == QLatin1String("=*")) throw Error(ado::msg::outerJoinOnlyInAndWhere(op));
    if (isComparison(op)) {
        const Kind k = commonKind(l, r);
        // Texts compare as the text order has them, letter case aside; = and
        // <> keep the columns' own comparison (and their indexes).
        if (k == Kind::Unknown && l->kind == Kind::Text && r->kind == Kind::Text && op != QLatin1String("=")
            && op != QLatin1String("<>"))
            return QStringLiteral("(%1 %2 %3)").arg(foldedText(emitExpr(l)), op, foldedText(emitExpr(r)));
        return QStringLiteral("(%1 %2 %3)").arg(emitCompared(l, k), op, emitCompared(r, k));
    }
    // arithmetic
    const Kind lk = l->kind, rk = r->kind;
    const QString numeric = pg() ? QStringLiteral("CAST(%1 AS NUMERIC)") : QStringLiteral("%1");
    if (lk == Kind::Date || rk == Kind::Date) throw Error(ado::msg::dateArithmetic());
    if (op == QLatin1String("+") || op == QLatin1String("-")) {
        if (lk == Kind::Money || rk == Kind::Money)
            return moneyOf(QStringLiteral("%1 %2 %3")
                               .arg(numeric.arg(emitAs(l, Kind::Money, false)), op, emitAs(r, Kind::Money, false)));
        if (op == QLatin1String("+") && lk == Kind::Text && rk == Kind::Text)
            return QStringLiteral("(%1 || %2)").arg(emitExpr(l), emitExpr(r));
        return intChecked(n, QStringLiteral("(%1 %2 %3)").arg(emitExpr(l), op, emitExpr(r)));
    }
    if (op == QLatin1String("*")) {
        if (lk == Kind::Money && rk == Kind::Money) throw Error(ado::msg::moneyTimesMoney());
        if (lk == Kind::Money || rk == Kind::Money) {
            const Node *m = lk == Kind::Money ? l : r;
            const Node *o = lk == Kind::Money ? r : l;
            if (!pg())
                if (const std::optional<ExactDecimal> d = exactNumber(o))
                    return QStringLiteral("lib_money_scale(%1, '%2', 0)").arg(emitExpr(m), d->toString());
            return moneyOf(QStringLiteral("%1 * (%2)").arg(numeric.arg(emitExpr(m)), emitExpr(o)));
        }
    }
    if (op == QLatin1String("/")) {
        if (lk == Kind::Money && rk == Kind::Money)
            return QStringLiteral("(%1 * 1.0 / %2)").arg(emitExpr(l), divisor(r));
        if (lk == Kind::Money) {
            if (!pg())
                if (const std::optional<ExactDecimal> d = exactNumber(r))
                    return QStringLiteral("lib_money_scale(%1, '%2', 1)").arg(emitExpr(l), d->toString());
            return moneyOf(QStringLiteral("%1 %2 %3")
                               .arg(pg() ? numeric.arg(emitExpr(l)) : emitExpr(l) + QStringLiteral(" * 1.0"),
                                    QStringLiteral("/"), divisor(r)));
        }
        if (rk == Kind::Money) throw Error(ado::msg::divisionByMoney());
    }
    if (op == QLatin1String("%") && (lk == Kind::Money || rk == Kind::Money)) throw Error(ado::msg::moduloOfMoney());
    if (op == QLatin1String("/") || op == QLatin1String("%"))
        return intChecked(n, QStringLiteral("(%1 %2 %3)").arg(emitExpr(l), op, divisor(r)));
    return intChecked(n, QStringLiteral("(%1 %2 %3)").arg(emitExpr(l), op, emitExpr(r)));
}

// Arithmetic of the server's ints past their range fails there; the
// embedded engine's whole numbers go on to 64 bits, so it is checked there.
QString Translator::intChecked(const Node *n, const QString &e) const
{
    return !pg() && isInt4(n) ? QStringLiteral("lib_int(%1)").arg(e) : e;
}

// A text as <, > and BETWEEN compare it, and DISTINCT groups it: the text
// order without letter case (texts equal but for it are equal).
QString Translator::foldedText(const QString &e) const
{
    return pg() ? QStringLiteral("(lib_order_from(%1) COLLATE %2)").arg(e, QLatin1String(kTextOrderCollation))
                : QStringLiteral("(%1 COLLATE %2)").arg(e, QLatin1String(kTextCompareCollation));
}

QString Translator::emitFunction(const Node *n)
{
    const QString &f = n->text;
    QStringList args;
    for (const auto &a : n->args) args << emitExpr(a.get());
    const QString dist = n->distinct ? QStringLiteral("DISTINCT ") : QString();
    if (f == QLatin1String("COUNT"))
        return n->star ? QStringLiteral("COUNT(*)") : QStringLiteral("COUNT(%1%2)").arg(dist, args[0]);
    // The least and greatest text in the text order.
    if ((f == QLatin1String("MIN") || f == QLatin1String("MAX")) && n->args[0]->kind == Kind::Text)
        return pg() ? QStringLiteral("lib_order_text(%1(%2%3))").arg(f, dist, orderKey(args[0]))
                    : QStringLiteral("%1(%2%3)").arg(f, dist, orderKey(args[0]));
    if (f == QLatin1String("SUM") || f == QLatin1String("MIN") || f == QLatin1String("MAX"))
        return QStringLiteral("%1(%2%3)").arg(f, dist, args[0]);
    if (f == QLatin1String("AVG")) {
        const Kind k = n->args[0]->kind;
        if (k == Kind::Money) return QStringLiteral("CAST(ROUND(AVG(%1%2)) AS BIGINT)").arg(dist, args[0]);
        // The server's average of whole numbers is whole, cut toward zero.
        if (k == Kind::Int || k == Kind::Flag)
            return (pg() ? QStringLiteral("CAST(trunc(AVG(%1%2)) AS BIGINT)")
                         : QStringLiteral("CAST(AVG(%1%2) AS BIGINT)"))
                .arg(dist, args[0]);
        return QStringLiteral("AVG(%1%2)").arg(dist, args[0]);
    }
    // Letter case of every script as the text order's collation maps it (the
    // embedded engine's upper() and lower() are replaced by ones that do this).
    if (f == QLatin1String("UPPER") || f == QLatin1String("LOWER"))
        return pg() ? QStringLiteral("%1(CAST(%2 AS TEXT) COLLATE %3)")
                          .arg(f, args[0], QLatin1String(kTextOrderCollation))
                    : QStringLiteral("%1(%2)").arg(f, args[0]);
    if (f == QLatin1String("LTRIM")) return QStringLiteral("ltrim(%1, ' ')").arg(args[0]);
    if (f == QLatin1String("RTRIM")) return QStringLiteral("rtrim(%1, ' ')").arg(args[0]);
    // The characters without the trailing blanks; the embedded engine's own
    // length() would stop at a NUL.
    if (f == QLatin1String("LEN"))
        return (pg() ? QStringLiteral("length(rtrim(%1, ' '))") : QStringLiteral("lib_len(%1)")).arg(args[0]);
    if (f == QLatin1String("ISNULL"))
        return QStringLiteral("coalesce(%1, %2)").arg(args[0], emitAs(n->args[1].get(), n->kind, false));
    if (f == QLatin1String("GETDATE")) return QStringLiteral("lib_now()");
    fail(f);
}

QString Translator::emitConvert(const Node *n)
{
    const Node *x = n->args[0].get();
    const QString &t = n->typeName;
    if (isTextType(t)) {
        const QString len = QString::number(n->typeLen);
        switch (x->kind) {
        case Kind::Date: return QStringLiteral("lib_date_text(%1, %2, %3)").arg(emitExpr(x)).arg(n->style).arg(len);
        case Kind::Money: return QStringLiteral("lib_money_text(%1, %2, %3)").arg(emitExpr(x)).arg(n->style).arg(len);
        case Kind::Null: return QStringLiteral("NULL");
        case Kind::Text: return QStringLiteral("substr(%1, 1, %2)").arg(emitExpr(x), len);
        default:
            if (x->form == Node::Num) return QStringLiteral("substr(%1, 1, %2)").arg(textLiteral(x->text), len);
            return QStringLiteral("substr(CAST(%1 AS TEXT), 1, %2)").arg(emitExpr(x), len);
        }
    }
    if (isIntType(t)) {
        if (x->kind == Kind::Money) return QStringLiteral("CAST(ROUND(%1 / 10000.0) AS BIGINT)").arg(emitExpr(x));
        return emitAs(x, Kind::Int, false);
    }
    if (t == QLatin1String("MONEY") || t == QLatin1String("SMALLMONEY")) return emitAs(x, Kind::Money, false);
    return emitAs(x, Kind::Date, false);
}

QString Translator::emitCase(const Node *n)
{
    QString out = QStringLiteral("CASE");
    size_t i = 0;
    const Node *operand = nullptr;
    if (n->hasOperand) {
        operand = n->args[0].get();
        out += QLatin1Char(' ') + emitExpr(operand);
        i = 1;
    }
    const size_t pairsEnd = n->hasElse ? n->args.size() - 1 : n->args.size();
    auto result = [&](const Node *r) {
        return (n->kind == Kind::Money || n->kind == Kind::Date) ? emitAs(r, n->kind, false) : emitExpr(r);
    };
    for (; i < pairsEnd; i += 2) {
        const Node *w = n->args[i].get();
        QString when = operand ? emitCompared(w, commonKind(operand, w)) : emitExpr(w);
        out += QStringLiteral(" WHEN %1 THEN %2").arg(when, result(n->args[i + 1].get()));
    }
    if (n->hasElse) out += QStringLiteral(" ELSE ") + result(n->args.back().get());
    return out + QStringLiteral(" END");
}

// Whether a field shows one text of a group of texts equal but for letter
// case (a column the rows are grouped by that is no key of its table): which
// one each engine shows would be its own choice, so both show the first in
// the order of their bytes. Not in a sub-query, whose fields are compared,
// not shown.
bool Translator::showsGroupText(const Core &c, const Node *e)
{
    if (m_nested > 0 || c.group.empty() || e->form != Node::Col || e->kind != Kind::Text || !e->ref
        || e->ref->info->columns[size_t(e->col)].key)
        return false;
    QStringList filters;
    if (groupsAreRows(c, filters)) return false;  // a group is one row
    for (const auto &g : c.group)
        if (g->form == Node::Col && g->ref == e->ref && g->col == e->col) return true;
    return false;
}

// Whether a DISTINCT of texts (but one of a table's key, whose rows are
// distinct already) is written as groups: of texts equal but for letter case
// in any script, as the fold has them (the server's own DISTINCT would ignore
// only the case of ASCII letters, in no order the other engine knows), each
// shown as the first of its texts in the order of their bytes, the groups in
// the text order, which an index of the fold keeps. Not in a sub-query.
bool Translator::distinctGroups(const Core &c) const
{
    if (m_nested > 0 || !c.distinct || keyedRows(c)) return false;
    for (const SelectItem &it : c.items)
        if (it.e->kind == Kind::Text) return true;
    return false;
}

// The first of a group's texts in the order of their bytes.
QString Translator::firstText(const QString &e) const
{
    return (pg() ? QStringLiteral("MIN(CAST(%1 AS TEXT) COLLATE \"C\")") : QStringLiteral("MIN(%1 COLLATE BINARY)"))
        .arg(e);
}

QString Translator::emitCore(const Core &c, const QString &extraColumn, bool positional)
{
    const bool grouped = distinctGroups(c);
    QStringList items, groups;
    for (size_t i = 0; i < c.items.size(); ++i) {
        const SelectItem &it = c.items[i];
        QString e = emitExpr(it.e.get());
        if (grouped) groups << (it.e->kind == Kind::Text ? foldedText(e) : e);
        if ((grouped && it.e->kind == Kind::Text) || showsGroupText(c, it.e.get())) e = firstText(e);
        if (positional)
            e += QStringLiteral(" AS ") + sortedField(int(i));
        else if (it.named)
            e += QStringLiteral(" AS ") + quoteIdent(it.alias);
        items << e;
    }
    if (!extraColumn.isEmpty()) items << extraColumn;
    QString out = QStringLiteral("SELECT ");
    // A DISTINCT of a table's key is its rows as they are.
    if (c.distinct && !grouped && !keyedRows(c)) out += QStringLiteral("DISTINCT ");
    out += items.join(QStringLiteral(", "));
    out += emitFromWhere(c);
    if (grouped) out += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    if (!c.group.empty()) out += QStringLiteral(" GROUP BY ") + groupKeys(c, m_ordered).join(QStringLiteral(", "));
    if (c.having) out += QStringLiteral(" HAVING ") + emitExpr(c.having.get());
    return out;
}

QString Translator::emitQuery(const Query &q, const QString &extraColumn)
{
    ++m_nested;
    const auto leave = qScopeGuard([this] { --m_nested; });
    QString order;
    QString out = emitQueryBody(q, extraColumn, order) + order;
    if (q.cores.size() == 1 && q.cores.front().top >= 0) out += QStringLiteral(" LIMIT %1").arg(q.cores.front().top);
    return out;
}

// A query without its ORDER BY (handed back in `order`) and the LIMIT of a
// single SELECT's TOP.
QString Translator::emitQueryBody(const Query &q, const QString &extraColumn, QString &order)
{
    const Node *outerOrder = m_orderColumn;
    const Node *outerGroupOrder = m_groupOrderColumn;
    const bool outerOrdered = m_ordered;
    m_orderColumn = m_counting ? nullptr : firstOrderColumn(q);
    m_groupOrderColumn = m_counting || !q.order.empty() ? nullptr : groupKeyOrderColumn(q);
    m_ordered = !q.order.empty();
    const auto restore = qScopeGuard([this, outerOrder, outerGroupOrder, outerOrdered] {
        m_orderColumn = outerOrder;
        m_groupOrderColumn = outerGroupOrder;
        m_ordered = outerOrdered;
    });
    QString out;
    const bool compound = q.cores.size() > 1;
    const bool wrapped = !m_counting && sortedOutside(q);
    const bool grouped = !m_counting && groupedUnion(q);
    for (size_t i = 0; i < q.cores.size(); ++i) {
        const Core &c = q.cores[i];
        if (i > 0) out += q.unionAll[i - 1] || grouped ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
        QString part = emitCore(c, extraColumn, (wrapped || grouped) && i == 0);
        if (compound && c.top >= 0)
            part = QStringLiteral("SELECT * FROM (%1 LIMIT %2) AS lib_top%3").arg(part).arg(c.top).arg(i + 1);
        out += part;
    }
    if (grouped) {
        // The UNION as the groups of all the rows, as distinctGroups() has them.
        QStringList fields, keys;
        const std::vector<SelectItem> &items = q.cores.front().items;
        for (size_t i = 0; i < items.size(); ++i) {
            const QString field = QStringLiteral("lib_union.") + sortedField(int(i));
            const bool text = items[i].e->kind == Kind::Text;
            keys << (text ? foldedText(field) : field);
            fields << (text ? firstText(field) : field) + QStringLiteral(" AS ") + sortedField(int(i));
        }
        out = QStringLiteral("SELECT %1 FROM (%2) AS lib_union GROUP BY %3")
                  .arg(fields.join(QStringLiteral(", ")), out, keys.join(QStringLiteral(", ")));
    }
    if (wrapped) out = QStringLiteral("SELECT * FROM (%1) AS lib_sorted").arg(out);
    order.clear();
    if (!q.order.empty()) {
        QStringList o;
        for (const OrderItem &it : q.order) o << orderTerm(q, it, wrapped);
        order = QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
    }
    return out;
}

// Whether the server sorts a query's rows outside it: the text order is an
// expression of a field (lib_order), which a UNION can't sort by in itself;
// its fields are then named lib_1, lib_2 ... inside (the fields are read by
// position) and sorted by those.
bool Translator::sortedOutside(const Query &q) const
{
    if (!pg() || q.cores.size() == 1) return false;
    for (const SelectItem &it : q.cores.front().items)
        if (it.e->kind == Kind::Text) return true;
    return false;
}

// Whether a UNION (none of it UNION ALL) of texts is written as the groups of
// all its rows (see emitQueryBody); its fields are named lib_1, lib_2 ...
bool Translator::groupedUnion(const Query &q) const
{
    if (m_nested > 0 || q.cores.size() < 2) return false;
    for (bool all : q.unionAll)
        if (all) return false;
    for (const SelectItem &it : q.cores.front().items)
        if (it.e->kind == Kind::Text) return true;
    return false;
}

QString Translator::sortedField(int index) { return quoteIdent(QStringLiteral("lib_%1").arg(index + 1)); }

QString Translator::orderKey(const QString &e) const
{
    return pg() ? QStringLiteral("lib_order(%1) COLLATE %2").arg(e, QLatin1String(kTextOrderCollation))
                : QStringLiteral("%1 COLLATE %2").arg(e, QLatin1String(kTextOrderCollation));
}

QString Translator::bytesKey(const QString &e) const
{
    return pg() ? QStringLiteral("CAST(%1 AS TEXT) COLLATE \"C\"").arg(e) : QStringLiteral("%1 COLLATE BINARY").arg(e);
}

namespace {

// A date written as text in one of the styles whose text order is the date
// order (year first, every part zero-padded): the date it shows.
const Node *dateShownInOrder(const Node *n)
{
    static const QList<int> styles = {20, 120, 21, 121, 23, 102, 111, 112};
    if (n->form != Node::Convert || n->kind != Kind::Text || n->args.empty() || n->args[0]->kind != Kind::Date)
        return nullptr;
    return styles.contains(n->style) ? n->args[0].get() : nullptr;
}

// A column that never holds Null.
bool neverNull(const Node *n)
{
    return n->form == Node::Col && n->ref && n->ref->info->columns[size_t(n->col)].notNull;
}

}  // namespace

const Node *Translator::firstOrderColumn(const Query &q)
{
    if (q.order.empty() || q.cores.size() != 1) return nullptr;
    const std::vector<SelectItem> &items = q.cores.front().items;
    const Node *e = q.order.front().e.get();
    if (e->aliasIndex >= 0) {
        e = items[size_t(e->aliasIndex)].e.get();
    } else if (e->form == Node::Num) {
        bool ok = false;
        const qint64 pos = e->text.toLongLong(&ok);
        if (!ok || pos < 1 || pos > qint64(items.size())) return nullptr;
        e = items[size_t(pos - 1)].e.get();
    }
    return e->form == Node::Col && e->kind == Kind::Text && e->ref ? e : nullptr;
}

// The text key column a single SELECT's GROUP BY comes in when every group
// key is a column of one table and its key is among them (groupKeys then
// groups in the key's text order, where the groups are that table's rows).
const Node *Translator::groupKeyOrderColumn(const Query &q)
{
    if (q.cores.size() != 1 || q.cores.front().group.empty()) return nullptr;
    const Core &c = q.cores.front();
    const TableRef *t = c.group.front()->ref;
    QSet<int> grouped;
    for (const auto &g : c.group) {
        if (g->form != Node::Col || !g->ref || g->ref != t) return nullptr;
        grouped.insert(g->col);
    }
    const Node *first = nullptr;
    for (size_t i = 0; i < t->info->columns.size(); ++i)
        if (t->info->columns[i].key && !grouped.contains(int(i))) return nullptr;
    for (const auto &g : c.group)
        if (!first && t->info->columns[size_t(g->col)].key) first = g.get();
    return first && first->kind == Kind::Text ? first : nullptr;
}

// One ORDER BY item. Text sorts in the text order (see DialectText.h):
// the embedded engine is told the collation on every text item, the server
// sorts by lib_order() of it. Null comes first, as on the server. On the
// server an item that names an output column is ordered by the column's
// expression, or, where a DISTINCT or UNION is sorted outside (see
// sortedOutside), by the field of the rows sorted.
//
// A date shown as year-first text sorts as the date itself (rows of one day
// then come in time order, which the text leaves open), so that an index on
// the date can serve the order.
QString Translator::orderTerm(const Query &q, const OrderItem &it, bool wrapped)
{
    const std::vector<SelectItem> &items = q.cores.front().items;
    const Core &first = q.cores.front();
    const bool simple = q.cores.size() == 1;
    const Node *item = nullptr;  // the select item the term names, if any
    int position = -1;
    QString e;
    if (it.e->aliasIndex >= 0) {
        position = it.e->aliasIndex;
        const SelectItem &si = items[size_t(position)];
        item = si.e.get();
        e = si.named ? quoteIdent(si.alias) : QString::number(position + 1);
    } else {
        e = emitExpr(it.e.get());
        if (it.e->form == Node::Num) {  // ORDER BY 2: the second field
            bool ok = false;
            const qint64 pos = it.e->text.toLongLong(&ok);
            if (ok && pos >= 1 && pos <= qint64(items.size())) {
                position = int(pos - 1);
                item = items[size_t(position)].e.get();
            }
        } else if (wrapped || distinctGroups(first)) {
            // The field the term names: a DISTINCT's rows are its fields only.
            for (size_t i = 0; i < items.size() && position < 0; ++i)
                if (emitExpr(items[i].e.get()) == e) position = int(i);
            if (position < 0) throw Error(ado::msg::distinctOrderByNotSelected());
            item = items[size_t(position)].e.get();
        }
    }
    const Node *value = item ? item : it.e.get();
    if (wrapped) {
        e = QStringLiteral("lib_sorted.") + sortedField(position);
    } else if (groupedUnion(q) && position >= 0) {
        e = QString::number(position + 1);
    } else if (const Node *date = dateShownInOrder(value); date && (simple || !item)) {
        value = date;
        e = emitExpr(date);
    } else if (pg() && item && simple && value->kind == Kind::Text && !distinctGroups(first)) {
        e = emitExpr(item);
    }
    const bool text = value->kind == Kind::Text;
    if (text && simple && item && distinctGroups(first))
        e = foldedText(emitExpr(item));  // the groups' order: they are apart in it
    else if (text)
        e = orderKey(pg() && !wrapped && !item ? QStringLiteral("(%1)").arg(e) : e);
    const QString desc = it.desc ? QStringLiteral(" DESC") : QString();
    if (!pg()) return e + desc;
    // Null first ascending, last descending, as the server sorts; a column
    // without Nulls says nothing, so that its index serves either way.
    if (neverNull(value)) return e + desc;
    return e + desc + (it.desc ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST"));
}

QString Translator::param(int index) const
{
    return (pg() ? QStringLiteral("$%1") : QStringLiteral("?%1")).arg(index + 1);
}

// A text literal. The embedded engine reads a statement only up to a NUL
// character, so a NUL inside a text is written as char(0) joined to its
// neighbours; PostgreSQL stores no NUL in a text at all.
QString Translator::textLiteral(const QString &s) const
{
    if (!s.contains(QChar(0))) return quoteText(s);
    if (pg()) throw Error(ado::msg::nulInText(s));
    QStringList parts;
    for (const QString &piece : s.split(QChar(0))) parts << quoteText(piece);
    return QLatin1Char('(') + parts.join(QStringLiteral(" || char(0) || ")) + QLatin1Char(')');
}

bool Translator::hasAggregate(const Node *n)
{
    if (!n) return false;
    if (n->form == Node::Func && isAggregate(n->text)) return true;
    for (const auto &c : n->args)
        if (hasAggregate(c.get())) return true;
    return false;
}

}  // namespace dialect::detail
