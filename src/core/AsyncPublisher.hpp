#pragma once

#include "core/Error.hpp"
#include "platform/reactive/Executor.hpp"
#include "platform/reactive/Future.hpp"

#include <exception>
#include <functional>
#include <stop_token>

namespace tidemark {

// Runs `operation` off the main thread, once per subscription, each with a task of its
// own: cancelling one subscription stops only its own work. A thrown exception becomes
// the failure; a value produced after cancellation is dropped.
template <class T>
rx::Publisher<T, Error> makeAsyncPublisher(
    std::function<T(std::stop_token)> operation, rx::Scheduler& queue = rx::backgroundQueue())
{
    return rx::Future<T, Error>(
        [operation = std::move(operation)](std::stop_token stop) {
            try {
                T value = operation(stop);
                if (stop.stop_requested())
                    return rx::Result<T, Error>::failure(cancellationError());
                return rx::Result<T, Error>::success(std::move(value));
            } catch (const std::exception& error) {
                return rx::Result<T, Error>::failure(Error(error.what()));
            } catch (...) {
                return rx::Result<T, Error>::failure(Error("unknown error"));
            }
        },
        queue);
}

// Like rx::mapResult, but the success handed to `transform` is an optional value, present
// for every value of the upstream.
template <class T, class E, class F>
auto mapResultWithContext(const rx::Publisher<T, E>& upstream, F transform)
{
    return rx::mapResult(upstream, [transform](const rx::Result<T, E>& result) {
        if (result.isSuccess())
            return transform(
                rx::Result<std::optional<T>, E>::success(std::optional<T>(result.value())));
        return transform(rx::Result<std::optional<T>, E>::failure(result.error()));
    });
}

} // namespace tidemark
