#include "store/transaction.h"

#include "store/connection.h"

namespace corvane {

Transaction::Transaction(Connection &connection, Kind kind) : m_engine(connection.engine())
{
    m_engine.begin(kind);
}

Transaction::~Transaction()
{
    // The database may already have rolled back by itself (some errors do):
    // then there is nothing left to undo.
    if (!m_committed && m_engine.inTransaction())
        m_engine.rollback();
}

void Transaction::commit()
{
    m_engine.commit();
    m_committed = true;
}

} // namespace corvane
