#include "platform/eventstore/EventStoreDisposal.hpp"

#include "platform/eventstore/EventStore.hpp"

#include <QThread>

namespace tidemark {

void destroyEventStore(EventStore* store)
{
    if (!store)
        return;
    if (QThread::currentThread() == store->thread())
        delete store;
    else
        store->deleteLater();
}

} // namespace tidemark
