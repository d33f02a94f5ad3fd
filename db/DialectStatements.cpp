// translate(): one statement of the server dialect into the engine's SQL.
#include "db/DialectParser.h"
#include "db/DialectTranslator.h"

#include <algorithm>

namespace dialect {

using ado::Error;
using namespace detail;

Translation translate(const QString &statement, const Catalog &catalog, bool updatable)
{
    Parser p(statement, catalog);
    Translation out;
    if (p.atEnd()) throw Error(QStringLiteral("The statement is empty."));

    if (p.isKw("SELECT")) {
        std::unique_ptr<Query> q = p.query();
        if (!p.atEnd()) p.fail();
        Translator tr(catalog, p.paramCount);
        tr.resolveQuery(q.get(), nullptr);
        out.type = Translation::Select;
        const Core &first = q->cores.front();
        for (const SelectItem &it : first.items) {
            if (it.named)
                out.columnNames << it.alias;
            else if (it.e->k == Node::Col)
                out.columnNames << it.e->ref->info->columns[size_t(it.e->col)].name;
            else
                out.columnNames << QString();
            out.columnKinds.push_back(it.e->kind);
        }
        bool single =
            q->cores.size() == 1 && first.from.size() == 1 && !first.distinct && first.group.empty() && !first.having;
        for (const SelectItem &it : first.items)
            if (Translator::hasAggregate(it.e.get())) single = false;
        QString extra;
        if (updatable && single) {
            out.updatable = true;
            out.table = first.from.front().info->name;
            for (const SelectItem &it : first.items)
                out.sourceColumns.push_back(it.e->k == Node::Col && it.e->ref == &first.from.front() ? it.e->col : -1);
            extra = quoteIdent(first.from.front().qualifier()) + QStringLiteral(".rowid");
        }
        out.sql = tr.emitQuery(*q, extra);
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    if (p.acceptKw("INSERT")) {
        p.acceptKw("INTO");
        const TableInfo *t = p.tableName();
        std::vector<int> cols;
        if (p.acceptOp("(")) {
            do {
                const QString c = p.name();
                const int idx = t->findColumn(c);
                if (idx < 0) throw Error(QStringLiteral("Invalid column name '%1'.").arg(c));
                if (t->columns[size_t(idx)].generated)
                    throw Error(
                        QStringLiteral("The column \"%1\" cannot be modified because it is a computed column.").arg(c));
                if (std::find(cols.begin(), cols.end(), idx) != cols.end())
                    throw Error(
                        QStringLiteral("The column name '%1' is specified more than once in the INSERT.").arg(c));
                cols.push_back(idx);
            } while (p.acceptOp(","));
            p.expectOp(")");
        } else {
            for (size_t i = 0; i < t->columns.size(); ++i)
                if (!t->columns[i].generated) cols.push_back(int(i));
        }
        if (p.isKw("SELECT") || p.isKw("DEFAULT") || p.isKw("EXEC"))
            throw Error(QStringLiteral("INSERT %1 is not supported by the database layer: give VALUES (...).")
                            .arg(p.peek().s.toUpper()));
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
        Translator tr(catalog, p.paramCount);
        std::vector<TableRef> none;
        Scope sc{&none, nullptr};
        QStringList rowTexts;
        for (auto &row : rows) {
            if (row.size() != cols.size())
                throw Error(
                    cols.size() == t->columns.size() || row.size() > cols.size()
                        ? QStringLiteral("Column name or number of supplied values does not match table definition.")
                        : QStringLiteral("Column name or number of supplied values does not match table definition."));
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
        out.type = Translation::Insert;
        out.table = t->name;
        out.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                      .arg(quoteIdent(t->name), names.join(QStringLiteral(", ")), rowTexts.join(QStringLiteral(", ")));
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    if (p.acceptKw("UPDATE")) {
        std::vector<TableRef> from(1);
        from[0].info = p.tableName();
        const TableInfo *t = from[0].info;
        p.expectKw("SET");
        std::vector<Assignment> sets;
        do {
            QString c = p.name();
            if (p.acceptOp(".")) c = p.name();  // table.column
            const int idx = t->findColumn(c);
            if (idx < 0) throw Error(QStringLiteral("Invalid column name '%1'.").arg(c));
            if (t->columns[size_t(idx)].generated)
                throw Error(
                    QStringLiteral("The column \"%1\" cannot be modified because it is a computed column.").arg(c));
            p.expectOp("=");
            Assignment a;
            a.col = idx;
            a.e = p.expr();
            sets.push_back(std::move(a));
        } while (p.acceptOp(","));
        if (p.isKw("FROM")) throw Error(QStringLiteral("UPDATE ... FROM is not supported by the database layer."));
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
        out.type = Translation::Update;
        out.table = t->name;
        out.sql = QStringLiteral("UPDATE %1 SET %2").arg(quoteIdent(t->name), assigns.join(QStringLiteral(", ")));
        if (where) {
            tr.resolve(where.get(), &sc);
            if (Translator::holdsOuterJoin(where.get()))
                throw Error(QStringLiteral("The outer join operators *= and =* need a SELECT with two tables."));
            out.sql += QStringLiteral(" WHERE ") + tr.ex(where.get());
        }
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    if (p.acceptKw("DELETE")) {
        p.acceptKw("FROM");
        std::vector<TableRef> from(1);
        from[0].info = p.tableName();
        if (p.isKw("FROM"))
            throw Error(QStringLiteral("DELETE ... FROM ... FROM is not supported by the database layer."));
        NodeP where;
        if (p.acceptKw("WHERE")) where = p.expr();
        if (!p.atEnd()) p.fail();
        Translator tr(catalog, p.paramCount);
        Scope sc{&from, nullptr};
        out.type = Translation::Delete;
        out.table = from[0].info->name;
        out.sql = QStringLiteral("DELETE FROM %1").arg(quoteIdent(from[0].info->name));
        if (where) {
            tr.resolve(where.get(), &sc);
            if (Translator::holdsOuterJoin(where.get()))
                throw Error(QStringLiteral("The outer join operators *= and =* need a SELECT with two tables."));
            out.sql += QStringLiteral(" WHERE ") + tr.ex(where.get());
        }
        out.paramKinds = tr.m_paramKinds;
        return out;
    }

    const Tok &t = p.peek();
    if (t.t == T::Ident)
        throw Error(
            QStringLiteral("'%1' statements are not run by the database layer: only SELECT, INSERT, UPDATE and DELETE.")
                .arg(t.s.toUpper()));
    p.fail();
}

}  // namespace dialect
