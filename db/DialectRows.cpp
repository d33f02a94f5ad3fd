// What the translator knows of a query's rows beyond writing them out: how to
// count them cheaply, how to group them in an index's order, and a total
// order in which they can be read in parts.
#include "db/DialectTranslator.h"

#include <QScopeGuard>

namespace dialect::detail {

// A query with a row for each row of `q`, for counting them: what the rows
// show is left out, and so is a table that an outer join hangs on another by
// its whole key (it adds at most one row's columns and never drops a row), so
// the engine reads no more than it must to know the rows are there.
QString Translator::emitCountBody(const Query &q)
{
    m_counting = true;
    const auto done = qScopeGuard([this] { m_counting = false; });
    QString order;
    if (q.cores.size() != 1) return emitQueryBody(q, QString(), order);
    const Core &c = q.cores.front();
    bool aggregate = false;
    for (const SelectItem &it : c.items) aggregate = aggregate || hasAggregate(it.e.get());
    if (c.distinct && !keyedRows(c)) return emitQueryBody(q, QString(), order);
    if (c.having || (c.group.empty() && aggregate)) return emitQueryBody(q, QString(), order);
    QStringList filters;
    if (!c.group.empty()) {
        if (const TableRef *t = groupsAreRows(c, filters)) {
            QString out = QStringLiteral("SELECT 1 FROM ") + tableText(*t);
            if (!filters.isEmpty()) out += QStringLiteral(" WHERE ") + filters.join(QStringLiteral(" AND "));
            return out;
        }
        return emitQueryBody(q, QString(), order);
    }
    const QSet<const TableRef *> hanging = keyHangingTables(c);
    if (hanging.isEmpty()) return QStringLiteral("SELECT 1") + emitFromWhere(c);
    std::vector<const Node *> conds;
    if (c.where) conjuncts(c.where.get(), conds);
    QStringList tables;
    for (const TableRef &r : c.from)
        if (!hanging.contains(&r)) tables << tableText(r);
    for (const Node *n : conds) {
        QSet<const TableRef *> used;
        tablesUsed(n, c.from, used);
        if (!used.intersects(hanging)) filters << emitExpr(n);
    }
    QString out = QStringLiteral("SELECT 1 FROM ") + tables.join(QStringLiteral(", "));
    if (!filters.isEmpty()) out += QStringLiteral(" WHERE ") + filters.join(QStringLiteral(" AND "));
    return out;
}

namespace {
// Whether `columns` hold the whole key of the table (false for a table with no key).
bool wholeKey(const TableRef *t, const QSet<int> &columns)
{
    bool keyed = false;
    for (size_t i = 0; i < t->info->columns.size(); ++i)
        if (t->info->columns[i].key) {
            if (!columns.contains(int(i))) return false;
            keyed = true;
        }
    return keyed;
}
}  // namespace

// Whether the rows of a one-table SELECT are distinct already: its items
// name the table's whole key (a DISTINCT of them changes nothing).
bool Translator::keyedRows(const Core &c)
{
    if (c.from.size() != 1 || !c.group.empty() || c.having) return false;
    const TableRef *t = &c.from.front();
    QSet<int> named;
    for (const SelectItem &it : c.items)
        if (it.e && it.e->form == Node::Col && it.e->ref == t) named.insert(it.e->col);
    return wholeKey(t, named);
}

// The table each group of a GROUP BY is one row of: every group key is a
// column of it, its key among them, and every other table of the query only
// hangs off it by an outer join that keeps its rows. Then the groups are the
// rows of that table that pass the conditions on it alone (`filters`).
const TableRef *Translator::groupsAreRows(const Core &c, QStringList &filters)
{
    const TableRef *t = nullptr;
    QSet<int> grouped;
    for (const auto &g : c.group) {
        if (g->form != Node::Col || !g->ref || (t && g->ref != t)) return nullptr;
        t = g->ref;
        grouped.insert(g->col);
    }
    bool keyed = false;
    for (size_t i = 0; i < t->info->columns.size(); ++i)
        if (t->info->columns[i].key) {
            if (!grouped.contains(int(i))) return nullptr;
            keyed = true;
        }
    if (!keyed) return nullptr;
    std::vector<const Node *> conds;
    if (c.where) conjuncts(c.where.get(), conds);
    QSet<const TableRef *> hanging;  // inner tables of outer joins that keep t's rows
    for (const Node *n : conds) {
        if (n->form != Node::Bin || (n->text != QLatin1String("*=") && n->text != QLatin1String("=*"))) continue;
        QSet<const TableRef *> lt, rt;
        tablesUsed(n->args[0].get(), c.from, lt);
        tablesUsed(n->args[1].get(), c.from, rt);
        const QSet<const TableRef *> &outer = n->text == QLatin1String("*=") ? lt : rt;
        const QSet<const TableRef *> &inner = n->text == QLatin1String("*=") ? rt : lt;
        if (outer.size() != 1 || *outer.begin() != t || inner.size() != 1) return nullptr;
        hanging.insert(*inner.begin());
    }
    for (const TableRef &r : c.from)
        if (&r != t && !hanging.contains(&r)) return nullptr;
    for (const Node *n : conds) {
        if (n->form == Node::Bin && (n->text == QLatin1String("*=") || n->text == QLatin1String("=*"))) continue;
        QSet<const TableRef *> used;
        tablesUsed(n, c.from, used);
        if (used.isEmpty() || (used.size() == 1 && used.contains(t)))
            filters << emitExpr(n);
        else if (used.size() != 1 || !hanging.contains(*used.begin()))
            return nullptr;  // a condition that joins: the groups are not simply t's rows
    }
    return t;
}

// The tables of a SELECT that every old outer join hangs on the others by
// the table's whole key, and that nothing else joins: when they are all the
// outer joins there are, empty otherwise (the count then keeps every join).
QSet<const TableRef *> Translator::keyHangingTables(const Core &c)
{
    std::vector<const Node *> conds;
    if (c.where) conjuncts(c.where.get(), conds);
    QHash<const TableRef *, QSet<int>> keyed;  // inner table -> its columns an outer join equates
    QSet<const TableRef *> preserved;
    for (const Node *n : conds) {
        if (n->form != Node::Bin || (n->text != QLatin1String("*=") && n->text != QLatin1String("=*"))) continue;
        const Node *outer = n->text == QLatin1String("*=") ? n->args[0].get() : n->args[1].get();
        const Node *inner = n->text == QLatin1String("*=") ? n->args[1].get() : n->args[0].get();
        if (outer->form != Node::Col || inner->form != Node::Col || !outer->ref || !inner->ref) return {};
        keyed[inner->ref].insert(inner->col);
        preserved.insert(outer->ref);
    }
    QSet<const TableRef *> out;
    for (auto it = keyed.cbegin(); it != keyed.cend(); ++it) {
        const TableRef *t = it.key();
        if (preserved.contains(t)) return {};  // a chain of outer joins
        bool hasKey = false;
        for (size_t i = 0; i < t->info->columns.size(); ++i)
            if (t->info->columns[i].key) {
                if (!it.value().contains(int(i))) return {};
                hasKey = true;
            }
        if (!hasKey) return {};
        out.insert(t);
    }
    // Anything else that reads a hanging table along with another joins it.
    for (const Node *n : conds) {
        if (n->form == Node::Bin && (n->text == QLatin1String("*=") || n->text == QLatin1String("=*"))) continue;
        QSet<const TableRef *> used;
        tablesUsed(n, c.from, used);
        if (used.intersects(out) && used.size() > 1) return {};
    }
    return out;
}

// The GROUP BY keys. When the groups are the rows of one table, that table's
// key comes first (the groups are the same in any order of their keys), so
// that its index can feed the grouping in the order the rows are read in: a
// text key in the text order (which groups the rows as the key itself does,
// a key's texts being unique) when the rows are read in it (the statement
// orders by nothing, or by that key), else as the key's own index has it.
QStringList Translator::groupKeys(const Core &c, bool ordered)
{
    QStringList keys, rest;
    QStringList filters;
    const TableRef *t = groupsAreRows(c, filters);
    for (const auto &e : c.group) {
        const bool key = t && e->form == Node::Col && e->ref == t && t->info->columns[size_t(e->col)].key;
        const bool inTextOrder =
            !ordered || (m_orderColumn && m_orderColumn->ref == e->ref && m_orderColumn->col == e->col);
        if (key && e->kind == Kind::Text && inTextOrder) {
            if (pg()) keys << orderKey(emitExpr(e.get()));
            keys << (pg() ? emitExpr(e.get()) : orderKey(emitExpr(e.get())));
        } else {
            (key ? keys : rest) << emitExpr(e.get());
        }
    }
    // The groups are the rows of t: its key groups them alone (the server
    // takes the table's other columns as its key's), and the engine then
    // groups in the order of the key's index.
    if (t) return keys;
    return keys + rest;
}

// The tables of a SELECT whose columns an outer join may leave Null.
QSet<const TableRef *> Translator::nullableTables(const Core &c)
{
    QSet<const TableRef *> out;
    std::vector<const Node *> conds;
    if (c.where) conjuncts(c.where.get(), conds);
    for (const Node *n : conds) {
        if (n->form != Node::Bin || (n->text != QLatin1String("*=") && n->text != QLatin1String("=*"))) continue;
        tablesUsed(n->text == QLatin1String("*=") ? n->args[1].get() : n->args[0].get(), c.from, out);
    }
    return out;
}

// A term of a tiebreak: text in the text order, or in the order of its bytes;
// Null first as the embedded engine sorts it, but for a value that is never
// Null (so that its index, which keeps no Null, serves the order).
QString Translator::tiebreakTerm(const QString &e, bool text, bool nullable, bool bytes) const
{
    const QString term = !text ? e : bytes ? bytesKey(e) : orderKey(e);
    return pg() && nullable ? term + QStringLiteral(" NULLS FIRST") : term;
}

// Terms after the statement's own ORDER BY that make the order total, so
// that reading the rows in parts (LIMIT and OFFSET) neither repeats nor
// misses one whatever plan each part gets, and so that both engines give the
// rows in the same order: the keys of the tables read (a table without a key
// by its row locator), the key of the table whose rows the groups are or
// else the group keys, or the fields of a DISTINCT or UNION. Rows of a
// statement without an order of its own come in the text order of these, as
// a clustered key gives them; ties in a statement's own order are broken in
// the order of the texts' bytes, which both engines compare alike and
// cheaply (a ranking's ties among every group). Empty when the statement's
// order is total already or its rows can't be told apart (UNION ALL: it is
// read whole).
QString Translator::emitTiebreak(const Query &q, bool &pageable)
{
    pageable = true;
    const Core &c = q.cores.front();
    const bool bytes = !q.order.empty();
    QStringList terms;
    const QSet<const TableRef *> nullable = nullableTables(c);
    const auto nullableColumn = [&](const Node *e) {
        return !(e->form == Node::Col && e->ref && !nullable.contains(e->ref)
                 && e->ref->info->columns[size_t(e->col)].notNull);
    };
    if (q.cores.size() > 1) {
        for (bool all : q.unionAll)
            if (all) pageable = false;
        if (!pageable) return QString();
        const bool wrapped = sortedOutside(q);
        for (size_t i = 0; i < c.items.size(); ++i) {
            const QString field =
                wrapped ? QStringLiteral("lib_sorted.") + sortedField(int(i)) : QString::number(i + 1);
            terms << tiebreakTerm(field, c.items[i].e->kind == Kind::Text, true, bytes);
        }
    } else if (distinctGroups(c)) {
        // The groups, in the order their texts are grouped in.
        for (const SelectItem &it : c.items) {
            const QString e = emitExpr(it.e.get());
            terms << tiebreakTerm(it.e->kind == Kind::Text ? foldedText(e) : e, false, true, bytes);
        }
    } else if (!c.group.empty()) {
        // Groups that are a table's rows come in its key's order (the GROUP
        // BY's own: the engine groups in it and need not sort again); other
        // groups in the order of their keys.
        QStringList filters;
        if (const TableRef *t = groupsAreRows(c, filters); t && !bytes) {
            terms = groupKeys(c, false);
        } else {
            for (const auto &e : c.group)
                if (!t || (e->form == Node::Col && e->ref == t && t->info->columns[size_t(e->col)].key))
                    terms << tiebreakTerm(emitExpr(e.get()), e->kind == Kind::Text, nullableColumn(e.get()), bytes);
        }
    } else if (c.distinct && !keyedRows(c)) {
        for (size_t i = 0; i < c.items.size(); ++i) terms << tiebreakTerm(QString::number(i + 1), false, true, bytes);
    } else {
        bool aggregate = false;
        for (const SelectItem &it : c.items) aggregate = aggregate || hasAggregate(it.e.get());
        if (aggregate || orderedByKey(q, {})) return QString();
        // Keys are added table by table until the order is total: the
        // tables that hang on those by key need none.
        QSet<const TableRef *> told;
        for (const TableRef &r : c.from) {
            const QString table = quoteIdent(r.qualifier()) + QLatin1Char('.');
            QStringList key;
            for (const ColumnInfo &column : r.info->columns)
                if (column.key)
                    key << tiebreakTerm(table + quoteIdent(column.name), column.kind == Kind::Text,
                                        nullable.contains(&r) || !column.notNull, bytes);
            if (key.isEmpty()) key << table + m_cat.flavour.rowLocator();
            terms << key;
            told.insert(&r);
            if (orderedByKey(q, told)) break;
        }
    }
    return terms.join(QStringLiteral(", "));
}

// Whether a SELECT's order is total: it sorts by the whole key of one of its
// tables (or by the tiebreak of one in `told`), and every other table is
// joined to the tables so far by its own whole key (so each row of the first
// meets at most one row of each other). An outer join passes this on from
// its outer table to its inner one only, and the first table is never the
// inner table of one, whose key may be Null.
bool Translator::orderedByKey(const Query &q, const QSet<const TableRef *> &told)
{
    const Core &c = q.cores.front();
    QHash<const TableRef *, QSet<int>> ordered;
    for (const OrderItem &o : q.order) {
        const Node *e = o.e->aliasIndex >= 0 ? c.items[size_t(o.e->aliasIndex)].e.get() : o.e.get();
        if (e->form == Node::Col && e->ref) ordered[e->ref].insert(e->col);
    }
    std::vector<const Node *> conds;
    if (c.where) conjuncts(c.where.get(), conds);
    struct Link {
        const Node *from, *to;  // to's column equals from's
    };
    std::vector<Link> links;
    QSet<const TableRef *> nullable;  // inner tables of outer joins
    for (const Node *n : conds) {
        if (n->form != Node::Bin) continue;
        const Node *l = n->args[0].get();
        const Node *r = n->args[1].get();
        if (l->form != Node::Col || r->form != Node::Col || !l->ref || !r->ref) continue;
        if (n->text == QLatin1String("=")) {
            links.push_back({l, r});
            links.push_back({r, l});
        } else if (n->text == QLatin1String("*=")) {
            links.push_back({l, r});
            nullable.insert(r->ref);
        } else if (n->text == QLatin1String("=*")) {
            links.push_back({r, l});
            nullable.insert(l->ref);
        }
    }
    QSet<const TableRef *> known;
    for (const TableRef &t : c.from)
        if (!nullable.contains(&t) && (told.contains(&t) || wholeKey(&t, ordered.value(&t)))) known.insert(&t);
    if (known.isEmpty()) return false;
    for (bool grew = true; grew;) {
        grew = false;
        for (const TableRef &t : c.from) {
            if (known.contains(&t)) continue;
            QSet<int> bound;
            for (const Link &k : links)
                if (k.to->ref == &t && known.contains(k.from->ref)) bound.insert(k.to->col);
            if (wholeKey(&t, bound)) {
                known.insert(&t);
                grew = true;
            }
        }
    }
    return known.size() == qsizetype(c.from.size());
}

}  // namespace dialect::detail
