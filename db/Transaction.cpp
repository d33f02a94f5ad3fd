#include "db/Transaction.h"

namespace ado {

Transaction::Transaction(Connection &conn) : m_conn(conn) { m_conn.BeginTrans(); }

Transaction::~Transaction()
{
    if (m_committed) return;
    try {
        m_conn.RollbackTrans();
    } catch (...) {
        // A destructor may run while an exception unwinds: throwing here would end the program.
    }
}

void Transaction::Commit()
{
    m_conn.CommitTrans();
    m_committed = true;
}

}  // namespace ado
