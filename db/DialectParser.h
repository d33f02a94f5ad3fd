#pragma once
// Reads a statement of the server dialect into the statement tree (DialectTree.h).
#include "db/DialectTokens.h"
#include "db/DialectTree.h"

namespace dialect::detail {

class Parser {
public:
    Parser(const QString &sql, const Catalog &cat) : m_toks(tokenize(sql)), m_cat(cat) { }

    const Tok &peek(int ahead = 0) const;
    const Tok &next();
    bool isKw(const char *kw, int ahead = 0) const;
    bool isOp(const char *op, int ahead = 0) const;
    bool acceptKw(const char *kw);
    bool acceptOp(const char *op);
    [[noreturn]] void fail() const;
    void expectKw(const char *kw);
    void expectOp(const char *op);
    bool atEnd() const { return peek().type == TokenType::End; }
    bool isName(int ahead = 0) const;
    QString name();

    const TableInfo *table(const QString &n) const;
    // [db.][owner.]table
    const TableInfo *tableName();

    int paramCount = 0;
    // Lock hints are taken in the FROM of a top-level SELECT only.
    bool lockHintsAllowed = false;

    // --- queries ---------------------------------------------------------
    std::unique_ptr<Query> query();

    qint64 topCount();

    Core core();
    void tableHints(TableRef &r);

    SelectItem selectItem();

    // --- expressions -----------------------------------------------------
    NodeP expr() { return orExpr(); }

    static NodeP bin(const QString &op, NodeP l, NodeP r);

    NodeP orExpr();
    NodeP andExpr();
    NodeP notExpr();
    NodeP predicate();
    NodeP additive();
    NodeP multiplicative();
    NodeP unary();

    int typeLength();

    NodeP primary();

    NodeP caseExpr();

    NodeP function();

    const Catalog &catalog() const { return m_cat; }

private:
    std::vector<Tok> m_toks;
    size_t m_i = 0;
    int m_queryDepth = 0;
    const Catalog &m_cat;
};

}  // namespace dialect::detail
