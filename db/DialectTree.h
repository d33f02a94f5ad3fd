#pragma once
// A statement of the server dialect as the parser reads it, and the names and
// kinds the translator resolves on it.
#include "db/Dialect.h"

#include <QString>
#include <memory>
#include <vector>

namespace dialect::detail {

struct Query;
struct Node;
using NodeP = std::unique_ptr<Node>;

struct TableRef {
    const TableInfo *info = nullptr;
    QString alias;
    // WITH (UPDLOCK): the rows read from this table are locked for writing
    // until the transaction ends; NOWAIT: a row another desk holds fails at once.
    bool updateLock = false;
    bool noWait = false;
    QString qualifier() const { return alias.isEmpty() ? info->name : alias; }
};

// One expression: its form says which of the fields below it uses; its kind,
// set when the names are resolved, is the kind of its value.
struct Node {
    enum Form {
        Str,
        Num,
        Null,
        Param,
        Col,
        Unary,
        Bin,
        Between,
        Like,
        InList,
        InSub,
        IsNull,
        Exists,
        Func,
        Convert,
        Case,
        Sub
    };
    Form form;
    QString text;  // literal, operator, function name (upper case), column name
    QString qual;  // qualifier of a column
    bool neg = false;
    bool distinct = false;
    bool star = false;  // COUNT(*)
    bool hasOperand = false, hasElse = false;
    std::vector<NodeP> args;          // operands, arguments, list items, CASE's parts
    std::unique_ptr<Query> subquery;  // IN (SELECT ...), EXISTS, a sub-query as a value
    QString typeName;                 // CONVERT / CAST target, upper case
    int typeLen = -1;
    int style = -1;
    int paramIndex = -1;
    // resolution
    const TableRef *ref = nullptr;
    int col = -1;
    int aliasIndex = -1;  // ORDER BY naming a select item
    Kind kind = Kind::Unknown;
    explicit Node(Form f) : form(f) { }
};

struct SelectItem {
    NodeP e;
    QString alias;
    bool named = false;  // written with an alias
    bool star = false;
    QString starQual;
};

struct Core {
    bool distinct = false;
    qint64 top = -1;
    std::vector<SelectItem> items;
    std::vector<TableRef> from;
    NodeP where;
    std::vector<NodeP> group;
    NodeP having;
};

struct OrderItem {
    NodeP e;
    bool desc = false;
};

struct Query {
    std::vector<Core> cores;
    std::vector<bool> unionAll;  // between cores[i] and cores[i+1]
    std::vector<OrderItem> order;
};

struct Assignment {
    int col = -1;
    NodeP e;
};

// The tables a name may refer to: a query's own FROM list, then those of the
// queries around it.
struct Scope {
    std::vector<TableRef> *tables = nullptr;
    const Scope *parent = nullptr;
};

}  // namespace dialect::detail
