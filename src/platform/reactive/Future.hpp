#pragma once

#include "platform/reactive/Publisher.hpp"
#include "platform/reactive/Result.hpp"

#include <stop_token>

namespace tidemark::rx {

// Work done elsewhere, as a publisher: nothing runs until a subscriber arrives; each
// subscription runs `work` once on `queue` with its own stop token, and then delivers its
// one value and the end of the stream, or its failure. Cancelling a subscription requests
// the stop of its work; whatever that work produces afterwards is dropped.
template <class T, class E>
Publisher<T, E> Future(std::function<Result<T, E>(std::stop_token)> work, Scheduler& queue)
{
    return Publisher<T, E>([work = std::move(work), &queue](Subscriber<T, E> subscriber) {
        auto source = std::make_shared<std::stop_source>();
        auto shared = std::make_shared<Subscriber<T, E>>(std::move(subscriber));
        queue.post([work, source, shared] {
            auto result = work(source->get_token());
            if (source->stop_requested())
                return;
            if (result.isSuccess()) {
                shared->receive(result.value());
                shared->complete(Completion<E>::finished());
            } else {
                shared->complete(Completion<E>::failed(result.error()));
            }
        });
        return Cancellable([source] { source->request_stop(); });
    });
}

// The outcome of a failing publisher, as a publisher that cannot fail: every value becomes
// `transform(success)`, a failure one last `transform(failure)` before the stream finishes.
template <class T, class E, class F>
auto mapResult(const Publisher<T, E>& upstream, F transform)
    -> Publisher<std::decay_t<std::invoke_result_t<F, Result<T, E>>>, Never>
{
    using U = std::decay_t<std::invoke_result_t<F, Result<T, E>>>;
    return Publisher<U, Never>(
        [upstream, transform](Subscriber<U, Never> subscriber) {
            auto shared = std::make_shared<Subscriber<U, Never>>(std::move(subscriber));
            return upstream.subscribe({ [shared, transform](const T& value) {
                                           shared->receive(transform(Result<T, E>::success(value)));
                                       },
                [shared, transform](const Completion<E>& completion) {
                    if (completion.failure)
                        shared->receive(transform(Result<T, E>::failure(*completion.failure)));
                    shared->complete(Completion<Never>::finished());
                } });
        },
        upstream.isKnownEmpty());
}

} // namespace tidemark::rx
