#include "db/DialectParser.h"

#include "db/ServerMessages.h"

#include <QScopeGuard>
#include <algorithm>

namespace dialect::detail {

using ado::Error;

const Tok &Parser::peek(int ahead) const
{
    const size_t i = std::min(m_i + size_t(ahead), m_toks.size() - 1);
    return m_toks[i];
}

const Tok &Parser::next()
{
    const Tok &t = m_toks[m_i];
    if (m_i + 1 < m_toks.size()) ++m_i;
    return t;
}

bool Parser::isKw(const char *kw, int ahead) const
{
    const Tok &t = peek(ahead);
    return t.type == TokenType::Ident && t.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
}

bool Parser::isOp(const char *op, int ahead) const
{
    const Tok &t = peek(ahead);
    return t.type == TokenType::Op && t.text == QLatin1String(op);
}

bool Parser::acceptKw(const char *kw)
{
    if (!isKw(kw)) return false;
    next();
    return true;
}

bool Parser::acceptOp(const char *op)
{
    if (!isOp(op)) return false;
    next();
    return true;
}

[[noreturn]] void Parser::fail() const
{
    const Tok &t = peek();
    if (t.type == TokenType::End) throw Error(ado::msg::syntaxErrorAtEnd());
    if (t.type == TokenType::String) syntaxError(QLatin1Char('\'') + t.text + QLatin1Char('\''));
    syntaxError(t.text);
}

void Parser::expectKw(const char *kw)
{
    if (!acceptKw(kw)) fail();
}

void Parser::expectOp(const char *op)
{
    if (!acceptOp(op)) fail();
}

bool Parser::isName(int ahead) const
{
    const Tok &t = peek(ahead);
    return t.type == TokenType::QIdent || (t.type == TokenType::Ident && !reservedWords().contains(t.text.toUpper()));
}

QString Parser::name()
{
    if (!isName()) fail();
    return next().text;
}

const TableInfo *Parser::table(const QString &n) const
{
    const TableInfo *t = m_cat.find(n);
    if (!t) throw Error(ado::msg::invalidObjectName(n));
    return t;
}

const TableInfo *Parser::tableName()
{
    QString n = name();
    while (isOp(".")) {
        next();
        n = name();
    }
    return table(n);
}

std::unique_ptr<Query> Parser::query()
{
    ++m_queryDepth;
    const auto leave = qScopeGuard([this] { --m_queryDepth; });
    auto q = std::make_unique<Query>();
    q->cores.push_back(core());
    while (isKw("UNION")) {
        next();
        q->unionAll.push_back(acceptKw("ALL"));
        q->cores.push_back(core());
    }
    if (isKw("INTERSECT") || isKw("EXCEPT")) throw Error(ado::msg::unsupported(peek().text.toUpper()));
    if (acceptKw("ORDER")) {
        expectKw("BY");
        do {
            OrderItem o;
            o.e = expr();
            if (acceptKw("DESC"))
                o.desc = true;
            else
                acceptKw("ASC");
            q->order.push_back(std::move(o));
        } while (acceptOp(","));
    }
    if (isKw("COMPUTE") || isKw("FOR") || isKw("OPTION"))
        throw Error(ado::msg::unsupported(peek().text.toUpper() + QStringLiteral(" ...")));
    return q;
}

qint64 Parser::topCount()
{
    const bool paren = acceptOp("(");
    if (peek().type != TokenType::Number || peek().text.contains(QLatin1Char('.'))) fail();
    const qint64 n = next().text.toLongLong();
    if (paren) expectOp(")");
    if (isKw("PERCENT") || isKw("WITH"))
        throw Error(ado::msg::unsupported(QStringLiteral("TOP ... ") + peek().text.toUpper()));
    return n;
}

Core Parser::core()
{
    Core c;
    expectKw("SELECT");
    for (;;) {
        if (acceptKw("DISTINCT")) {
            c.distinct = true;
        } else if (acceptKw("ALL")) {
            continue;
        } else if (c.top < 0 && acceptKw("TOP")) {
            c.top = topCount();
        } else {
            break;
        }
    }
    do {
        c.items.push_back(selectItem());
    } while (acceptOp(","));
    if (isKw("INTO")) throw Error(ado::msg::unsupported(QStringLiteral("SELECT ... INTO")));
    if (acceptKw("FROM")) {
        do {
            TableRef r;
            r.info = tableName();
            if (acceptKw("AS"))
                r.alias = name();
            else if (isName())
                r.alias = name();
            if (acceptKw("WITH")) tableHints(r);
            c.from.push_back(r);
            if (isKw("JOIN") || isKw("INNER") || isKw("LEFT") || isKw("RIGHT") || isKw("FULL") || isKw("CROSS"))
                throw Error(ado::msg::unsupportedJoinOn());
        } while (acceptOp(","));
    }
    if (acceptKw("WHERE")) c.where = expr();
    if (acceptKw("GROUP")) {
        expectKw("BY");
        if (isKw("ALL")) throw Error(ado::msg::unsupported(QStringLiteral("GROUP BY ALL")));
        do {
            c.group.push_back(expr());
        } while (acceptOp(","));
    }
    if (acceptKw("HAVING")) c.having = expr();
    return c;
}

// WITH (UPDLOCK [, ROWLOCK] [, NOWAIT]): the hints that lock the rows a
// transaction reads before it writes them. Every other hint is refused.
void Parser::tableHints(TableRef &r)
{
    if (!lockHintsAllowed || m_queryDepth != 1) throw Error(ado::msg::unsupportedTableHints());
    expectOp("(");
    do {
        if (acceptKw("UPDLOCK"))
            r.updateLock = true;
        else if (acceptKw("NOWAIT"))
            r.noWait = true;
        else if (!acceptKw("ROWLOCK"))
            throw Error(ado::msg::unsupportedTableHints());
    } while (acceptOp(","));
    expectOp(")");
    if (!r.updateLock) throw Error(ado::msg::unsupportedTableHints());
}

SelectItem Parser::selectItem()
{
    SelectItem it;
    if (acceptOp("*")) {
        it.star = true;
        return it;
    }
    if (isName() && isOp(".", 1) && isOp("*", 2)) {
        it.star = true;
        it.starQual = next().text;
        next();
        next();
        return it;
    }
    // alias = expression
    const Tok &t0 = peek();
    if ((t0.type == TokenType::Ident || t0.type == TokenType::QIdent || t0.type == TokenType::String) && isOp("=", 1)
        && !(t0.type == TokenType::Ident && reservedWords().contains(t0.text.toUpper()))) {
        it.alias = next().text;
        it.named = true;
        next();
        it.e = expr();
        return it;
    }
    it.e = expr();
    // A condition is no value of a select list on the server ("a.b = 1"
    // is refused there; the engine would return 0 or 1).
    const Node *e = it.e.get();
    const bool condition =
        e->form == Node::Between || e->form == Node::Like || e->form == Node::InList || e->form == Node::InSub
        || e->form == Node::IsNull || e->form == Node::Exists
        || (e->form == Node::Unary && e->text == QLatin1String("NOT"))
        || (e->form == Node::Bin
            && !(e->text == QLatin1String("+") || e->text == QLatin1String("-") || e->text == QLatin1String("*")
                 || e->text == QLatin1String("/") || e->text == QLatin1String("%")));
    if (condition) syntaxError(e->form == Node::Bin ? e->text : ado::msg::selectListName());
    if (acceptKw("AS")) {
        if (peek().type == TokenType::String)
            it.alias = next().text;
        else
            it.alias = name();
        it.named = true;
    } else if (isName() || peek().type == TokenType::String) {
        it.alias = next().text;
        it.named = true;
    }
    return it;
}

NodeP Parser::bin(const QString &op, NodeP l, NodeP r)
{
    auto n = std::make_unique<Node>(Node::Bin);
    n->text = op;
    n->args.push_back(std::move(l));
    n->args.push_back(std::move(r));
    return n;
}

NodeP Parser::orExpr()
{
    NodeP l = andExpr();
    while (acceptKw("OR")) l = bin(QStringLiteral("OR"), std::move(l), andExpr());
    return l;
}

NodeP Parser::andExpr()
{
    NodeP l = notExpr();
    while (acceptKw("AND")) l = bin(QStringLiteral("AND"), std::move(l), notExpr());
    return l;
}

NodeP Parser::notExpr()
{
    if (acceptKw("NOT")) {
        auto n = std::make_unique<Node>(Node::Unary);
        n->text = QStringLiteral("NOT");
        n->args.push_back(notExpr());
        return n;
    }
    return predicate();
}

NodeP Parser::predicate()
{
    if (acceptKw("EXISTS")) {
        expectOp("(");
        auto n = std::make_unique<Node>(Node::Exists);
        n->subquery = query();
        expectOp(")");
        return n;
    }
    NodeP l = additive();
    static const char *cmp[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "*=", "=*", "!<", "!>"};
    for (const char *op : cmp) {
        if (isOp(op)) {
            next();
            QString o = QLatin1String(op);
            if (o == QLatin1String("!=")) o = QStringLiteral("<>");
            if (o == QLatin1String("!<")) o = QStringLiteral(">=");
            if (o == QLatin1String("!>")) o = QStringLiteral("<=");
            return bin(o, std::move(l), additive());
        }
    }
    bool neg = false;
    if (isKw("NOT") && (isKw("BETWEEN", 1) || isKw("LIKE", 1) || isKw("IN", 1))) {
        next();
        neg = true;
    }
    if (acceptKw("BETWEEN")) {
        auto n = std::make_unique<Node>(Node::Between);
        n->neg = neg;
        n->args.push_back(std::move(l));
        n->args.push_back(additive());
        expectKw("AND");
        n->args.push_back(additive());
        return n;
    }
    if (acceptKw("LIKE")) {
        auto n = std::make_unique<Node>(Node::Like);
        n->neg = neg;
        n->args.push_back(std::move(l));
        n->args.push_back(additive());
        if (acceptKw("ESCAPE")) n->args.push_back(additive());
        return n;
    }
    if (acceptKw("IN")) {
        expectOp("(");
        if (isKw("SELECT")) {
            auto n = std::make_unique<Node>(Node::InSub);
            n->neg = neg;
            n->args.push_back(std::move(l));
            n->subquery = query();
            expectOp(")");
            return n;
        }
        auto n = std::make_unique<Node>(Node::InList);
        n->neg = neg;
        n->args.push_back(std::move(l));
        do {
            n->args.push_back(expr());
        } while (acceptOp(","));
        expectOp(")");
        return n;
    }
    if (neg) fail();
    if (acceptKw("IS")) {
        auto n = std::make_unique<Node>(Node::IsNull);
        n->neg = acceptKw("NOT");
        expectKw("NULL");
        n->args.push_back(std::move(l));
        return n;
    }
    return l;
}

NodeP Parser::additive()
{
    NodeP l = multiplicative();
    for (;;) {
        if (isOp("+") || isOp("-")) {
            const QString op = next().text;
            l = bin(op, std::move(l), multiplicative());
        } else {
            return l;
        }
    }
}

NodeP Parser::multiplicative()
{
    NodeP l = unary();
    for (;;) {
        if (isOp("*") || isOp("/") || isOp("%")) {
            const QString op = next().text;
            l = bin(op, std::move(l), unary());
        } else {
            return l;
        }
    }
}

NodeP Parser::unary()
{
    if (isOp("-") || isOp("+")) {
        const QString op = next().text;
        NodeP inner = unary();
        if (op == QLatin1String("+")) return inner;
        auto n = std::make_unique<Node>(Node::Unary);
        n->text = op;
        n->args.push_back(std::move(inner));
        return n;
    }
    return primary();
}

int Parser::typeLength()
{
    int len = -1;
    if (acceptOp("(")) {
        if (isKw("MAX")) {
            next();
            len = 1 << 30;
        } else {
            if (peek().type != TokenType::Number) fail();
            len = next().text.toInt();
        }
        expectOp(")");
    }
    return len;
}

NodeP Parser::primary()
{
    const Tok &t = peek();
    switch (t.type) {
    case TokenType::String: {
        auto n = std::make_unique<Node>(Node::Str);
        n->text = next().text;
        return n;
    }
    case TokenType::Number: {
        auto n = std::make_unique<Node>(Node::Num);
        n->text = next().text;
        return n;
    }
    case TokenType::Param: {
        next();
        auto n = std::make_unique<Node>(Node::Param);
        n->paramIndex = paramCount++;
        return n;
    }
    case TokenType::Op:
        if (acceptOp("(")) {
            if (isKw("SELECT")) {
                auto n = std::make_unique<Node>(Node::Sub);
                n->subquery = query();
                expectOp(")");
                return n;
            }
            NodeP e = expr();
            expectOp(")");
            return e;
        }
        fail();
    case TokenType::Ident:
    case TokenType::QIdent: {
        if (t.type == TokenType::Ident) {
            const QString up = t.text.toUpper();
            if (up == QLatin1String("NULL")) {
                next();
                return std::make_unique<Node>(Node::Null);
            }
            if (up == QLatin1String("CASE")) return caseExpr();
            if (isOp("(", 1)) return function();
            if (reservedWords().contains(up)) fail();
        }
        auto n = std::make_unique<Node>(Node::Col);
        QStringList parts;
        parts << next().text;
        while (isOp(".")) {
            next();
            parts << name();
        }
        n->text = parts.last();
        if (parts.size() >= 2) n->qual = parts[parts.size() - 2];
        return n;
    }
    default: fail();
    }
}

NodeP Parser::caseExpr()
{
    expectKw("CASE");
    auto n = std::make_unique<Node>(Node::Case);
    if (!isKw("WHEN")) {
        n->hasOperand = true;
        n->args.push_back(expr());
    }
    if (!isKw("WHEN")) fail();
    while (acceptKw("WHEN")) {
        n->args.push_back(expr());
        expectKw("THEN");
        n->args.push_back(expr());
    }
    if (acceptKw("ELSE")) {
        n->hasElse = true;
        n->args.push_back(expr());
    }
    expectKw("END");
    return n;
}

NodeP Parser::function()
{
    const QString fname = next().text.toUpper();
    expectOp("(");
    if (fname == QLatin1String("CONVERT")) {
        auto n = std::make_unique<Node>(Node::Convert);
        n->typeName = name().toUpper();
        n->typeLen = typeLength();
        expectOp(",");
        n->args.push_back(expr());
        if (acceptOp(",")) {
            bool neg = acceptOp("-");
            if (peek().type != TokenType::Number) fail();
            n->style = next().text.toInt() * (neg ? -1 : 1);
        }
        expectOp(")");
        return n;
    }
    if (fname == QLatin1String("CAST")) {
        auto n = std::make_unique<Node>(Node::Convert);
        n->args.push_back(expr());
        expectKw("AS");
        n->typeName = name().toUpper();
        n->typeLen = typeLength();
        expectOp(")");
        return n;
    }
    auto n = std::make_unique<Node>(Node::Func);
    n->text = fname;
    if (acceptOp(")")) return n;
    if (fname == QLatin1String("COUNT") && acceptOp("*")) {
        n->star = true;
        expectOp(")");
        return n;
    }
    if (acceptKw("DISTINCT"))
        n->distinct = true;
    else
        acceptKw("ALL");
    do {
        n->args.push_back(expr());
    } while (acceptOp(","));
    expectOp(")");
    return n;
}

}  // namespace dialect::detail
