#include "platform/foundation/Animation.hpp"

namespace tidemark {

namespace {

Transaction& transactionSlot()
{
    thread_local Transaction current;
    return current;
}

} // namespace

const Transaction& currentTransaction()
{
    return transactionSlot();
}

TransactionScope::TransactionScope(Transaction transaction)
    : m_previous(std::exchange(transactionSlot(), std::move(transaction)))
{
}

TransactionScope::~TransactionScope()
{
    transactionSlot() = std::move(m_previous);
}

} // namespace tidemark
