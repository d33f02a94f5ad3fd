// Name and kind resolution of the translator.
#include "db/DialectTranslator.h"
#include "db/ServerMessages.h"

#include <limits>

namespace dialect::detail {

using ado::Error;

Translator::Translator(const Catalog &cat, int paramCount) : m_cat(cat)
{
    m_paramKinds.assign(size_t(paramCount), Kind::Unknown);
}

void Translator::resolveColumn(Node *n, const Scope *sc)
{
    for (const Scope *s = sc; s; s = s->parent) {
        const TableRef *found = nullptr;
        int foundCol = -1;
        for (const TableRef &r : *s->tables) {
            if (!n->qual.isEmpty() && r.qualifier().compare(n->qual, Qt::CaseInsensitive) != 0) continue;
            const int c = r.info->findColumn(n->text);
            if (c < 0) continue;
            if (found) throw Error(ado::msg::ambiguousColumnName(n->text));
            found = &r;
            foundCol = c;
        }
        if (!found && !n->qual.isEmpty()) {
            // A qualifier naming a table of this scope whose column is missing.
            for (const TableRef &r : *s->tables)
                if (r.qualifier().compare(n->qual, Qt::CaseInsensitive) == 0)
                    throw Error(ado::msg::invalidColumnName(n->text));
        }
        if (found) {
            n->ref = found;
            n->col = foundCol;
            n->kind = found->info->columns[size_t(foundCol)].kind;
            return;
        }
    }
    if (!n->qual.isEmpty()) throw Error(ado::msg::unboundIdentifier(n->qual, n->text));
    throw Error(ado::msg::invalidColumnName(n->text));
}

Kind Translator::arithKind(const QString &op, Kind l, Kind r)
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

void Translator::resolve(Node *n, const Scope *sc)
{
    for (auto &c : n->args) resolve(c.get(), sc);
    switch (n->form) {
    case Node::Str: n->kind = Kind::Text; break;
    case Node::Num: {
        // A whole number past the int range is a decimal, as on the server.
        bool whole = false;
        const qlonglong v = n->text.toLongLong(&whole);
        n->kind = whole && v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max()
                      ? Kind::Int
                      : Kind::Decimal;
        break;
    }
    case Node::Null: n->kind = Kind::Null; break;
    case Node::Param: n->kind = Kind::Unknown; break;
    case Node::Col: resolveColumn(n, sc); break;
    case Node::Unary:
        n->kind = n->text == QLatin1String("NOT")  ? Kind::Int
                  : n->args[0]->kind == Kind::Flag ? Kind::Int
                                                   : n->args[0]->kind;
        break;
    case Node::Bin: {
        const QString &op = n->text;
        if (op == QLatin1String("+") || op == QLatin1String("-") || op == QLatin1String("*") || op == QLatin1String("/")
            || op == QLatin1String("%"))
            n->kind = arithKind(op, n->args[0]->kind, n->args[1]->kind);
        else
            n->kind = Kind::Int;
        break;
    }
    case Node::InSub:
    case Node::Exists:
        resolveQuery(n->subquery.get(), sc);
        n->kind = Kind::Int;
        break;
    case Node::Between:
    case Node::Like:
    case Node::InList:
    case Node::IsNull: n->kind = Kind::Int; break;
    case Node::Sub:
        resolveQuery(n->subquery.get(), sc);
        n->kind = outputKinds(*n->subquery).empty() ? Kind::Unknown : outputKinds(*n->subquery).front();
        break;
    case Node::Func: resolveFunction(n); break;
    case Node::Convert: resolveConvert(n); break;
    case Node::Case: {
        n->kind = Kind::Null;
        const size_t first = n->hasOperand ? 1 : 0;
        for (size_t i = first; i < n->args.size(); ++i) {
            const bool isResult = (i >= first && (i - first) % 2 == 1) || (n->hasElse && i + 1 == n->args.size());
            if (isResult && n->args[i]->kind != Kind::Null) {
                n->kind = n->args[i]->kind;
                break;
            }
        }
        if (n->kind == Kind::Null) n->kind = Kind::Unknown;
        break;
    }
    }
}

void Translator::resolveFunction(Node *n)
{
    const QString &f = n->text;
    auto argc = [&](size_t lo, size_t hi) {
        if (n->args.size() < lo || n->args.size() > hi) throw Error(ado::msg::functionArgumentCount(f, int(lo)));
    };
    if (f == QLatin1String("COUNT")) {
        if (!n->star) argc(1, 1);
        n->kind = Kind::Int;
    } else if (f == QLatin1String("SUM") || f == QLatin1String("MIN") || f == QLatin1String("MAX")
               || f == QLatin1String("AVG")) {
        argc(1, 1);
        const Kind k = n->args[0]->kind;
        n->kind = k == Kind::Flag ? Kind::Int : k;
        if ((f == QLatin1String("SUM") || f == QLatin1String("AVG")) && (k == Kind::Text || k == Kind::Date))
            throw Error(ado::msg::operandTypeInvalid(kindName(k), f.toLower()));
    } else if (f == QLatin1String("UPPER") || f == QLatin1String("LOWER") || f == QLatin1String("LTRIM")
               || f == QLatin1String("RTRIM")) {
        argc(1, 1);
        n->kind = Kind::Text;
    } else if (f == QLatin1String("LEN")) {
        argc(1, 1);
        n->kind = Kind::Int;
    } else if (f == QLatin1String("ISNULL")) {
        argc(2, 2);
        n->kind = n->args[0]->kind == Kind::Null ? n->args[1]->kind : n->args[0]->kind;
    } else if (f == QLatin1String("GETDATE")) {
        argc(0, 0);
        n->kind = Kind::Date;
    } else {
        throw Error(ado::msg::unknownFunction(f));
    }
    if (!isAggregate(f) && n->distinct) fail(f);
}

bool Translator::isTextType(const QString &t)
{
    return t == QLatin1String("VARCHAR") || t == QLatin1String("NVARCHAR") || t == QLatin1String("CHAR")
           || t == QLatin1String("NCHAR");
}

bool Translator::isIntType(const QString &t)
{
    return t == QLatin1String("INT") || t == QLatin1String("INTEGER") || t == QLatin1String("BIGINT")
           || t == QLatin1String("SMALLINT") || t == QLatin1String("TINYINT");
}

void Translator::resolveConvert(Node *n)
{
    const QString &t = n->typeName;
    const Kind src = n->args[0]->kind;
    if (isTextType(t)) {
        n->kind = Kind::Text;
        if (n->typeLen < 0) n->typeLen = 30;
        if (src == Kind::Date) {
            static const QList<int> styles = {-1, 0, 100, 20, 120, 21, 121, 23, 101, 102, 108, 111, 112};
            if (!styles.contains(n->style))
                throw Error(ado::msg::convertStyleInvalid(n->style, QStringLiteral("datetime")));
        } else if (src == Kind::Money) {
            if (n->style > 2 || n->style < -1)
                throw Error(ado::msg::convertStyleInvalid(n->style, QStringLiteral("money")));
        }
        return;
    }
    if (isIntType(t)) {
        if (!(isNumeric(src) || src == Kind::Null || n->args[0]->form == Node::Str || src == Kind::Money))
            throw Error(ado::msg::unsupportedConvert(kindName(src), QStringLiteral("int")));
        n->kind = Kind::Int;
        return;
    }
    if (t == QLatin1String("MONEY") || t == QLatin1String("SMALLMONEY")) {
        if (!(isNumeric(src) || src == Kind::Money || src == Kind::Null || n->args[0]->form == Node::Str))
            throw Error(ado::msg::unsupportedConvert(kindName(src), QStringLiteral("money")));
        n->kind = Kind::Money;
        return;
    }
    if (t == QLatin1String("DATETIME") || t == QLatin1String("SMALLDATETIME")) {
        if (!(src == Kind::Text || src == Kind::Date || src == Kind::Null || src == Kind::Unknown))
            throw Error(ado::msg::unsupportedConvert(kindName(src), QStringLiteral("datetime")));
        n->kind = Kind::Date;
        return;
    }
    throw Error(ado::msg::unsupported(QStringLiteral("CONVERT(%1, ...)").arg(t.toLower())));
}

std::vector<Kind> Translator::outputKinds(const Query &q)
{
    std::vector<Kind> out;
    for (const SelectItem &it : q.cores.front().items) out.push_back(it.e ? it.e->kind : Kind::Unknown);
    return out;
}

void Translator::expandStars(Core &c)
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
                col.e->text = r.info->columns[i].name;
                col.e->qual = r.qualifier();
                items.push_back(std::move(col));
            }
        }
        if (!any) {
            if (c.from.empty()) throw Error(ado::msg::selectStarWithoutTables());
            throw Error(ado::msg::objectNameNotValidHere(it.starQual));
        }
    }
    c.items = std::move(items);
}

void Translator::resolveQuery(Query *q, const Scope *parent)
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
        if (c.items.size() != width) throw Error(ado::msg::unionWidthsDiffer());
    // ORDER BY: a bare name of a select item first, then a column.
    Core &first = q->cores.front();
    Scope sc{&first.from, parent};
    for (OrderItem &o : q->order) {
        Node *e = o.e.get();
        if (e->form == Node::Col && e->qual.isEmpty()) {
            int idx = -1;
            for (size_t i = 0; i < first.items.size(); ++i) {
                const SelectItem &it = first.items[i];
                const bool matches = it.named ? it.alias.compare(e->text, Qt::CaseInsensitive) == 0
                                              : (q->cores.size() > 1 && it.e->form == Node::Col
                                                 && it.e->text.compare(e->text, Qt::CaseInsensitive) == 0);
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
        if (e->form == Node::Num) continue;  // ORDER BY 2
        if (q->cores.size() > 1) throw Error(ado::msg::unionOrderByNotSelected());
        resolve(e, &sc);
    }
}

}  // namespace dialect::detail
