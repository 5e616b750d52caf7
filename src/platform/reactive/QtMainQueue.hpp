#pragma once

#include "platform/reactive/Scheduler.hpp"

#include <QObject>

namespace tidemark::rx {

// The main queue of the program: posts to the Qt event loop of the thread that made it
// (the main thread). Work posted from any thread runs there, in posting order.
class QtMainQueue final : public QObject, public Scheduler {
    Q_OBJECT
public:
    explicit QtMainQueue(QObject* parent = nullptr);
    void post(std::function<void()> work) override;
};

} // namespace tidemark::rx
