// translate(): one statement of the server dialect into the engine's SQL.
#include "db/DialectParser.h"
#include "db/DialectTranslator.h"
#include "db/ServerMessages.h"

#include <algorithm>
#include <limits>

namespace dialect {

using ado::Error;
using namespace detail;

namespace {

[[noreturn]] void computedColumn(const QString &column) { throw Error(ado::msg::computedColumnNotModifiable(column)); }

// The column of `t` named next in the statement, which must be one that can be written.
int writableColumn(const TableInfo *t, const QString &name)
{
    const int idx = t->findColumn(name);
    if (idx < 0) throw Error(ado::msg::invalidColumnName(name));
    if (t->columns[size_t(idx)].generated) computedColumn(name);
    return idx;
}

// The fields of a SELECT as the server names them, and how each is read.
void describeFields(const Core &first, Translation &out)
{
    for (const SelectItem &it : first.items) {
        if (it.named)
            out.columnNames << it.alias;
        else if (it.e->form == Node::Col)
            out.columnNames << it.e->ref->info->columns[size_t(it.e->col)].name;
        else
            out.columnNames << QString();
        out.columnKinds.push_back(it.e->kind);
    }
}

// A recordset can write back only the rows of a plain one-table SELECT; it
// finds them again by the engine's row locator, read as a hidden last field.
QString rowLocator(const Query &q, const Catalog &catalog, bool updatable, Translation &out)
{
    const Core &first = q.cores.front();
    bool single =
        q.cores.size() == 1 && first.from.size() == 1 && !first.distinct && first.group.empty() && !first.having;
    for (const SelectItem &it : first.items)
        if (Translator::hasAggregate(it.e.get())) single = false;
    if (!updatable || !single) return QString();
    const TableRef &table = first.from.front();
    out.updatable = true;
    out.table = table.info->name;
    for (const SelectItem &it : first.items)
        out.sourceColumns.push_back(it.e->form == Node::Col && it.e->ref == &table ? it.e->col : -1);
    return quoteIdent(table.qualifier()) + QLatin1Char('.') + catalog.flavour.rowLocator();
}

// The rows of tables read WITH (UPDLOCK) stay locked for writing until the
// transaction ends: FOR UPDATE on the server; nothing on the embedded engine,
// whose write transaction (BEGIN IMMEDIATE) already keeps every other writer out.
QString lockClause(const Query &q, const Catalog &catalog)
{
    QStringList locked;
    bool noWait = false;
    for (const Core &c : q.cores)
        for (const TableRef &r : c.from)
            if (r.updateLock) {
                locked << quoteIdent(r.qualifier());
                noWait = noWait || r.noWait;
            }
    if (locked.isEmpty()) return QString();
    bool plain = q.cores.size() == 1;
    for (const Core &c : q.cores) {
        if (c.distinct || !c.group.empty() || c.having) plain = false;
        for (const SelectItem &it : c.items)
            if (Translator::hasAggregate(it.e.get())) plain = false;
    }
    if (!plain) throw Error(ado::msg::lockHintNeedsPlainRows());
    if (!catalog.flavour.postgres()) return QString();
    return QStringLiteral(" FOR UPDATE OF ") + locked.join(QStringLiteral(", "))
           + (noWait ? QStringLiteral(" NOWAIT") : QString());
}

Translation translateSelect(const QString &statement, Parser &p, const Catalog &catalog, bool updatable)
{
    p.lockHintsAllowed = true;
    std::unique_ptr<Query> q = p.query();
    if (!p.atEnd()) p.fail();
    Translator tr(catalog, p.paramCount);
    tr.resolveQuery(q.get(), nullptr);
    Translation out;
    out.type = Translation::Select;
    describeFields(q->cores.front(), out);
    const QString locator = rowLocator(*q, catalog, updatable, out);
    out.body = tr.emitQueryBody(*q, locator, out.order);
    out.top = q->cores.size() == 1 ? q->cores.front().top : -1;
    out.countBody = tr.emitCountBody(*q);
    out.tiebreak = tr.emitTiebreak(*q, out.pageable);
    out.lockClause = lockClause(*q, catalog);
    if (!out.lockClause.isEmpty()) out.pageable = false;  // locked rows are read at once, all of them
    out.sql = out.rows(-1, 0);
    out.paramKinds = tr.m_paramKinds;
    takeLibraryStatement(statement, catalog, out);
    return out;
}

// The columns an INSERT fills: those it names, else every stored column in order.
std::vector<int> insertColumns(Parser &p, const TableInfo *t)
{
    std::vector<int> cols;
    if (p.acceptOp("(")) {
        do {
            const QString c = p.name();
            const int idx = writableColumn(t, c);
            if (std::find(cols.begin(), cols.end(), idx) != cols.end())
                throw Error(ado::msg::columnNamedTwiceInInsert(c));
            cols.push_back(idx);
        } while (p.acceptOp(","));
        p.expectOp(")");
        return cols;
    }
    for (size_t i = 0; i < t->columns.size(); ++i)
        if (!t->columns[i].generated) cols.push_back(int(i));
    return cols;
}

std::vector<std::vector<NodeP>> insertRows(Parser &p)
{
    if (p.isKw("SELECT") || p.isKw("DEFAULT") || p.isKw("EXEC"))
        throw Error(ado::msg::unsupportedInsertForm(p.peek().text.toUpper()));
    p.expectKw("VALUES");
    std::vector<std::vector<NodeP>> rows;
    do {
        p.expectOp("(");
        std::vector<NodeP> row;
        do {
            row.push_back(p.expr());
        } while (p.acceptOp(","));
        p.expectOp(")");
        rows.push_back(std::move(row));
    } while (p.acceptOp(","));
    if (!p.atEnd()) p.fail();
    return rows;
}

Translation translateInsert(Parser &p, const Catalog &catalog)
{
    p.acceptKw("INTO");
    const TableInfo *t = p.tableName();
    const std::vector<int> cols = insertColumns(p, t);
    std::vector<std::vector<NodeP>> rows = insertRows(p);
    Translator tr(catalog, p.paramCount);
    std::vector<TableRef> none;
    Scope sc{&none, nullptr};
    QStringList rowTexts;
    for (auto &row : rows) {
        if (row.size() != cols.size()) throw Error(ado::msg::valueCountMismatch());
        QStringList vals;
        for (size_t i = 0; i < row.size(); ++i) {
            tr.resolve(row[i].get(), &sc);
            const ColumnInfo &ci = t->columns[size_t(cols[i])];
            vals << tr.emitAs(row[i].get(), ci.kind, true, ci.name);
        }
        rowTexts << QLatin1Char('(') + vals.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    QStringList names;
    for (int c : cols) names << quoteIdent(t->columns[size_t(c)].name);
    Translation out;
    out.type = Translation::Insert;
    out.table = t->name;
    out.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                  .arg(quoteIdent(t->name), names.join(QStringLiteral(", ")), rowTexts.join(QStringLiteral(", ")));
    out.paramKinds = tr.m_paramKinds;
    return out;
}

// The WHERE of an UPDATE or DELETE on its one table ("" when there is none).
QString whereClause(Translator &tr, Node *where, const Scope &sc)
{
    if (!where) return QString();
    tr.resolve(where, &sc);
    if (Translator::holdsOuterJoin(where)) throw Error(ado::msg::outerJoinNeedsTwoTables());
    return QStringLiteral(" WHERE ") + tr.emitExpr(where);
}

Translation translateUpdate(Parser &p, const Catalog &catalog)
{
    std::vector<TableRef> from(1);
    from[0].info = p.tableName();
    const TableInfo *t = from[0].info;
    p.expectKw("SET");
    std::vector<Assignment> sets;
    do {
        QString c = p.name();
        if (p.acceptOp(".")) c = p.name();  // table.column
        Assignment a;
        a.col = writableColumn(t, c);
        p.expectOp("=");
        a.e = p.expr();
        sets.push_back(std::move(a));
    } while (p.acceptOp(","));
    if (p.isKw("FROM")) throw Error(ado::msg::unsupported(QStringLiteral("UPDATE ... FROM")));
    NodeP where;
    if (p.acceptKw("WHERE")) where = p.expr();
    if (!p.atEnd()) p.fail();
    Translator tr(catalog, p.paramCount);
    Scope sc{&from, nullptr};
    QStringList assigns;
    for (Assignment &a : sets) {
        tr.resolve(a.e.get(), &sc);
        const ColumnInfo &ci = t->columns[size_t(a.col)];
        assigns << quoteIdent(ci.name) + QStringLiteral(" = ") + tr.emitAs(a.e.get(), ci.kind, true, ci.name);
    }
    Translation out;
    out.type = Translation::Update;
    out.table = t->name;
    out.sql = QStringLiteral("UPDATE %1 SET %2").arg(quoteIdent(t->name), assigns.join(QStringLiteral(", ")))
              + whereClause(tr, where.get(), sc);
    out.paramKinds = tr.m_paramKinds;
    return out;
}

Translation translateDelete(Parser &p, const Catalog &catalog)
{
    p.acceptKw("FROM");
    std::vector<TableRef> from(1);
    from[0].info = p.tableName();
    if (p.isKw("FROM")) throw Error(ado::msg::unsupported(QStringLiteral("DELETE ... FROM ... FROM")));
    NodeP where;
    if (p.acceptKw("WHERE")) where = p.expr();
    if (!p.atEnd()) p.fail();
    Translator tr(catalog, p.paramCount);
    Scope sc{&from, nullptr};
    Translation out;
    out.type = Translation::Delete;
    out.table = from[0].info->name;
    out.sql = QStringLiteral("DELETE FROM %1").arg(quoteIdent(from[0].info->name)) + whereClause(tr, where.get(), sc);
    out.paramKinds = tr.m_paramKinds;
    return out;
}

}  // namespace

QString Translation::rows(qint64 limit, qint64 offset) const
{
    // The TOP caps what the parts can reach.
    if (top >= 0)
        limit = limit < 0 ? std::max<qint64>(0, top - offset) : std::min(limit, std::max<qint64>(0, top - offset));
    QString out = body + order;
    if ((limit >= 0 || offset > 0) && !tiebreak.isEmpty())
        out += (order.isEmpty() ? QStringLiteral(" ORDER BY ") : QStringLiteral(", ")) + tiebreak;
    // Both engines take the largest whole number for "no limit" before an OFFSET.
    if (limit >= 0 || offset > 0)
        out += QStringLiteral(" LIMIT %1").arg(limit >= 0 ? limit : std::numeric_limits<qint64>::max());
    if (offset > 0) out += QStringLiteral(" OFFSET %1").arg(offset);
    return out + lockClause;
}

QString Translation::countRows() const
{
    return QStringLiteral("SELECT COUNT(*) FROM (%1) AS lib_count").arg(countBody.isEmpty() ? body : countBody);
}

Translation translate(const QString &statement, const Catalog &catalog, bool updatable)
{
    Parser p(statement, catalog);
    if (p.atEnd()) throw Error(ado::msg::emptyStatement());
    if (p.isKw("SELECT")) return translateSelect(statement, p, catalog, updatable);
    if (p.acceptKw("INSERT")) return translateInsert(p, catalog);
    if (p.acceptKw("UPDATE")) return translateUpdate(p, catalog);
    if (p.acceptKw("DELETE")) return translateDelete(p, catalog);
    const Tok &t = p.peek();
    if (t.type == TokenType::Ident) throw Error(ado::msg::statementNotRun(t.text.toUpper()));
    p.fail();
}

}  // namespace dialect
