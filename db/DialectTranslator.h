#pragma once
// Resolves the names and kinds of a statement tree against the catalog and
// writes it out as the engine's SQL.
#include "db/DialectTokens.h"
#include "db/DialectTree.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace dialect::detail {

// Names and texts as the engine's SQL writes them.
QString quoteIdent(const QString &s);
QString quoteText(const QString &s);
bool isAggregate(const QString &upperName);
bool isNumeric(Kind k);
// A kind as the server's error messages name it.
QString kindName(Kind k);
// A statement of the library the server runs otherwise (db/LibraryStatements.cpp):
// `out`, the statement's translation, then holds what the server runs for it.
void takeLibraryStatement(const QString &statement, const Catalog &catalog, Translation &out);

class Translator {
public:
    Translator(const Catalog &cat, int paramCount);

    std::vector<Kind> m_paramKinds;

    // --- resolution ------------------------------------------------------
    void resolveColumn(Node *n, const Scope *sc);

    static Kind arithKind(const QString &op, Kind l, Kind r);

    void resolve(Node *n, const Scope *sc);

    void resolveFunction(Node *n);

    [[noreturn]] static void fail(const QString &near) { syntaxError(near); }

    static bool isTextType(const QString &t);
    static bool isIntType(const QString &t);

    void resolveConvert(Node *n);

    static std::vector<Kind> outputKinds(const Query &q);

    void expandStars(Core &c);

    void resolveQuery(Query *q, const Scope *parent);

    // --- the engine's text ----------------------------------------------
    QString col(const Node *n);
    QString computedValue(const TableRef &row, const ColumnInfo &ci);

    // A literal or expression put where a value of `target` kind is wanted.
    // `storing` is true for values written into a column (INSERT, SET).
    QString emitAs(const Node *n, Kind target, bool storing, const QString &column = QString());

    // The kind both sides of a comparison are brought to.
    static Kind commonKind(const Node *l, const Node *r);

    QString emitCompared(const Node *n, Kind common);

    // An expression as the engine's SQL, its own kind kept (emitAs converts it).
    QString emitExpr(const Node *n);

    QString emitBinary(const Node *n);
    static std::optional<ExactDecimal> exactNumber(const Node *n);
    QString divisor(const Node *n);
    QString moneyOf(const QString &number) const;
    QString intChecked(const Node *n, const QString &e) const;
    QString foldedText(const QString &e) const;

    QString emitFunction(const Node *n);

    QString emitConvert(const Node *n);

    QString emitCase(const Node *n);

    // Tables a condition reads from `from` (sub-queries included).
    static void tablesUsed(const Node *n, const std::vector<TableRef> &from, QSet<const TableRef *> &out);

    static void conjuncts(const Node *n, std::vector<const Node *> &out);

    static bool holdsOuterJoin(const Node *n);

    QString tableText(const TableRef &r) const;

    // FROM and WHERE of one SELECT. The old outer joins become LEFT JOINs: the
    // "*=" / "=*" conditions and every other condition that reads only the
    // inner (null-supplying) table go into ON, as the server applies them
    // before the outer rows are added; all other conditions stay in WHERE.
    QString emitFromWhere(const Core &c);
    struct OuterJoins;
    void addOuterJoin(const Core &c, const Node *n, OuterJoins &oj);
    QStringList placeConditions(const Core &c, OuterJoins &oj);
    QString joinedTables(const Core &c, const OuterJoins &oj) const;

    QString emitCore(const Core &c, const QString &extraColumn = QString(), bool positional = false);
    bool showsGroupText(const Core &c, const Node *e);
    bool distinctGroups(const Core &c) const;
    QString firstText(const QString &e) const;

    QString emitQuery(const Query &q, const QString &extraColumn = QString());
    QString emitQueryBody(const Query &q, const QString &extraColumn, QString &order);
    QString emitCountBody(const Query &q);
    const TableRef *groupsAreRows(const Core &c, QStringList &filters);
    QSet<const TableRef *> keyHangingTables(const Core &c);
    static bool keyedRows(const Core &c);
    QStringList groupKeys(const Core &c, bool ordered);
    QSet<const TableRef *> nullableTables(const Core &c);
    QString tiebreakTerm(const QString &e, bool text, bool nullable, bool bytes) const;
    QString emitTiebreak(const Query &q, bool &pageable);
    bool sortedOutside(const Query &q) const;
    bool groupedUnion(const Query &q) const;
    static QString sortedField(int index);
    // A text value as the text order sorts it (see DialectText.h).
    QString orderKey(const QString &e) const;
    // A text value in the order of its bytes (the same on both engines).
    QString bytesKey(const QString &e) const;
    QString orderBound(const QString &prefix, bool end) const;
    static bool orderedByKey(const Query &q, const QSet<const TableRef *> &told);

    static bool hasAggregate(const Node *n);
    QString orderTerm(const Query &q, const OrderItem &it, bool wrapped);
    QString emitLike(const Node *n);
    QStringList serverStartReads(const Node *x, const QString &prefix, bool *whole);
    static const Node *firstOrderColumn(const Query &q);
    static const Node *groupKeyOrderColumn(const Query &q);
    QString param(int index) const;
    QString textLiteral(const QString &s) const;
    bool pg() const { return m_cat.flavour.postgres(); }

    const Catalog &m_cat;
    QSet<const ColumnInfo *> m_computing;  // computed columns being written out
    // The text column the SELECT being written sorts by first (none while
    // counting): a LIKE on it also reads the range in the text order.
    const Node *m_orderColumn = nullptr;
    // Without an ORDER BY, the text key a GROUP BY of one table's rows comes
    // in (groupKeys): the embedded engine reads a LIKE on it in that order too.
    const Node *m_groupOrderColumn = nullptr;
    bool m_counting = false;
    bool m_ordered = false;  // the query being written has an ORDER BY of its own
    int m_nested = 0;        // inside a sub-query
};

}  // namespace dialect::detail
