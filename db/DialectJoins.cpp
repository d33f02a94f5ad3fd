// FROM and WHERE of one SELECT: its tables, and the old outer joins "*=" and
// "=*" of its WHERE written as LEFT JOINs with their ON conditions.
#include "db/DialectTranslator.h"
#include "db/ServerMessages.h"

#include <utility>

namespace dialect::detail {

using ado::Error;
void Translator::tablesUsed(const Node *n, const std::vector<TableRef> &from, QSet<const TableRef *> &out)
{
    if (!n) return;
    if (n->form == Node::Col && n->ref) {
        for (const TableRef &r : from)
            if (&r == n->ref) out.insert(n->ref);
    }
    for (const auto &c : n->args) tablesUsed(c.get(), from, out);
    if (n->subquery)
        for (const Core &c : n->subquery->cores) {
            for (const auto &it : c.items) tablesUsed(it.e.get(), from, out);
            tablesUsed(c.where.get(), from, out);
            tablesUsed(c.having.get(), from, out);
            for (const auto &g : c.group) tablesUsed(g.get(), from, out);
        }
}

void Translator::conjuncts(const Node *n, std::vector<const Node *> &out)
{
    if (n->form == Node::Bin && n->text == QLatin1String("AND")) {
        conjuncts(n->args[0].get(), out);
        conjuncts(n->args[1].get(), out);
    } else {
        out.push_back(n);
    }
}

bool Translator::holdsOuterJoin(const Node *n)
{
    if (n->form == Node::Bin && (n->text == QLatin1String("*=") || n->text == QLatin1String("=*"))) return true;
    for (const auto &c : n->args)
        if (holdsOuterJoin(c.get())) return true;
    return false;
}

QString Translator::tableText(const TableRef &r) const
{
    QString out = quoteIdent(r.info->name);
    if (!r.alias.isEmpty()) out += QStringLiteral(" AS ") + quoteIdent(r.alias);
    return out;
}

// The outer joins of one SELECT: for each inner (null-supplying) table, the
// tables whose rows it keeps and the ON conditions; the other conditions stay.
struct Translator::OuterJoins {
    struct Join {
        const TableRef *inner;
        QSet<const TableRef *> preserved;
        QStringList on;
    };
    std::vector<Join> joins;
    std::vector<const Node *> rest;

    const Join *of(const TableRef *t) const
    {
        for (const Join &j : joins)
            if (j.inner == t) return &j;
        return nullptr;
    }
    Join *of(const TableRef *t) { return const_cast<Join *>(std::as_const(*this).of(t)); }
};

void Translator::addOuterJoin(const Core &c, const Node *n, OuterJoins &oj)
{
    const Node *l = n->args[0].get();
    const Node *r = n->args[1].get();
    QSet<const TableRef *> lt, rt;
    tablesUsed(l, c.from, lt);
    tablesUsed(r, c.from, rt);
    if (lt.size() != 1 || rt.size() != 1 || *lt.begin() == *rt.begin())
        throw Error(ado::msg::outerJoinSidesSameTable(n->text));
    const bool left = n->text == QLatin1String("*=");
    const TableRef *outer = left ? *lt.begin() : *rt.begin();
    const TableRef *inner = left ? *rt.begin() : *lt.begin();
    OuterJoins::Join *j = oj.of(inner);
    if (!j) {
        oj.joins.push_back(OuterJoins::Join{inner, {}, {}});
        j = &oj.joins.back();
    }
    j->preserved.insert(outer);
    const Kind k = commonKind(l, r);
    j->on << QStringLiteral("%1 = %2").arg(emitCompared(l, k), emitCompared(r, k));
}

// A condition that reads only one inner table joins it (ON), as the server
// applies it before the outer rows are added; others stay in WHERE.
QStringList Translator::placeConditions(const Core &c, OuterJoins &oj)
{
    QStringList where;
    for (const Node *n : oj.rest) {
        QSet<const TableRef *> used;
        tablesUsed(n, c.from, used);
        const OuterJoins::Join *innerJoin = nullptr;
        bool others = false;
        for (const TableRef *t : used) {
            if (const OuterJoins::Join *j = oj.of(t)) {
                if (innerJoin && innerJoin != j) others = true;
                innerJoin = j;
            } else {
                others = true;
            }
        }
        if (innerJoin && !others) {
            oj.of(innerJoin->inner)->on << emitExpr(n);
        } else if (innerJoin) {
            throw Error(ado::msg::outerJoinInnerAlsoJoined(innerJoin->inner->qualifier()));
        } else {
            where << emitExpr(n);
        }
    }
    return where;
}

// Tables that no outer join fills come first, in their order; each inner
// table follows once every table it is joined to is placed.
QString Translator::joinedTables(const Core &c, const OuterJoins &oj) const
{
    const auto cycle = [] { return Error(ado::msg::outerJoinCycle()); };
    QStringList from;
    QSet<const TableRef *> placed;
    for (const TableRef &r : c.from)
        if (!oj.of(&r)) {
            from << tableText(r);
            placed.insert(&r);
        }
    if (from.isEmpty()) throw cycle();
    QString out = QStringLiteral(" FROM ") + from.join(QStringLiteral(", "));
    size_t done = 0;
    std::vector<bool> emitted(oj.joins.size(), false);
    while (done < oj.joins.size()) {
        bool progress = false;
        for (size_t i = 0; i < oj.joins.size(); ++i) {
            if (emitted[i]) continue;
            bool ready = true;
            for (const TableRef *p : oj.joins[i].preserved)
                if (!placed.contains(p)) ready = false;
            if (!ready) continue;
            out += QStringLiteral(" LEFT JOIN %1 ON %2")
                       .arg(tableText(*oj.joins[i].inner), oj.joins[i].on.join(QStringLiteral(" AND ")));
            placed.insert(oj.joins[i].inner);
            emitted[i] = true;
            ++done;
            progress = true;
        }
        if (!progress) throw cycle();
    }
    return out;
}

// FROM and WHERE of one SELECT. The old outer joins become LEFT JOINs.
QString Translator::emitFromWhere(const Core &c)
{
    std::vector<const Node *> conds;
    if (c.where) conjuncts(c.where.get(), conds);
    OuterJoins oj;
    for (const Node *n : conds) {
        if (n->form == Node::Bin && (n->text == QLatin1String("*=") || n->text == QLatin1String("=*"))) {
            addOuterJoin(c, n, oj);
        } else {
            if (holdsOuterJoin(n)) throw Error(ado::msg::outerJoinOnlyInAndWhere(QStringLiteral("*= 和 =*")));
            oj.rest.push_back(n);
        }
    }
    QString out;
    QStringList where;
    if (oj.joins.empty()) {
        QStringList tables;
        for (const TableRef &r : c.from) tables << tableText(r);
        if (!tables.isEmpty()) out = QStringLiteral(" FROM ") + tables.join(QStringLiteral(", "));
        for (const Node *n : oj.rest) where << emitExpr(n);
    } else {
        where = placeConditions(c, oj);
        out = joinedTables(c, oj);
    }
    if (!where.isEmpty()) out += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return out;
}

}  // namespace dialect::detail
