#pragma once

namespace tidemark {

class EventStore;

// Destroys a store from any thread. A store watches files and runs a timer of the thread
// that made it, so it goes there: at once when called on that thread, otherwise at that
// thread's next turn of its event loop.
void destroyEventStore(EventStore* store);

} // namespace tidemark
