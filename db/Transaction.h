#pragma once
// Several statements that must agree are written together or not at all:
//
//   ado::Transaction trans(conn);  // begins
//   conn.Execute(...);
//   conn.Execute(...);
//   trans.Commit();                // everything stays
//
// Leaving the scope without a successful Commit (an exception, a refusal, an
// early return, a commit that failed) rolls back what was written.

#include "db/Ado.h"

namespace ado {

class Transaction {
public:
    // Begins on `conn`. When that fails the Error propagates and nothing is
    // left to undo (transactions do not nest: a running one raises Error).
    explicit Transaction(Connection &conn);
    // Rolls back unless committed. Never throws: a rollback that fails (the
    // connection closed meanwhile, which has rolled back already) is passed over.
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Commits. A failed commit raises Error and the destructor still rolls back.
    void Commit();

private:
    Connection &m_conn;
    bool m_committed = false;
};

}  // namespace ado
