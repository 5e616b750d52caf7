#pragma once

#include "core/Action.hpp"
#include "core/Error.hpp"
#include "platform/reactive/Result.hpp"

#include <functional>
#include <optional>
#include <set>
#include <variant>

namespace tidemark {

// An absent payload: what a request takes or gives when it takes or gives nothing.
struct EquatableVoid {
    bool operator==(const EquatableVoid&) const = default;
    auto operator<=>(const EquatableVoid&) const = default;
};

enum class Status {
    idle,
    loading,
    completed,
};

template <class T> using RequestResult = rx::Result<T, Error>;

template <class Input, class Output> struct SubmittableActionCases {
    struct Submit {
        Input input;
        bool operator==(const Submit&) const = default;
    };
    struct Result {
        RequestResult<Output> result;
        bool operator==(const Result&) const = default;
    };
    struct Reset {
        bool operator==(const Reset&) const = default;
    };
    using Variant = std::variant<Submit, Result, Reset>;
};

// One step of a request: submit it, answer it, or reset its state.
template <class Input, class Output>
struct SubmittableAction : ActionOf<SubmittableActionCases<Input, Output>> {
    using Cases = SubmittableActionCases<Input, Output>;
    using Submit = typename Cases::Submit;
    using Result = typename Cases::Result;
    using Reset = typename Cases::Reset;
    using ActionOf<Cases>::ActionOf;
    using InputType = Input;
    using OutputType = Output;

    static SubmittableAction submit(Input input) { return Submit { std::move(input) }; }
    static SubmittableAction success(Output output)
    {
        return Result { RequestResult<Output>::success(std::move(output)) };
    }
    static SubmittableAction failure(Error error)
    {
        return Result { RequestResult<Output>::failure(std::move(error)) };
    }
    static SubmittableAction result(RequestResult<Output> result)
    {
        return Result { std::move(result) };
    }
    static SubmittableAction reset() { return Reset {}; }

    const typename Cases::Variant& base() const { return *this; }
    const Submit* asSubmit() const { return std::get_if<Submit>(&base()); }
    const Result* asResult() const { return std::get_if<Result>(&base()); }
    bool isReset() const { return std::holds_alternative<Reset>(base()); }
    // The output of a successful result, none otherwise.
    const Output* successValue() const
    {
        auto result = asResult();
        return result && result->result.isSuccess() ? &result->result.value() : nullptr;
    }
};

// The state of a request that keeps no value.
struct SubmittableState {
    std::optional<Error> error;
    Status status = Status::idle;

    bool operator==(const SubmittableState&) const = default;
};

// What was submitted and not yet confirmed by a read.
template <class Value> struct SubmittedValues {
    std::optional<Value> create;
    std::optional<Value> update;
    std::optional<Value> delete_;

    bool operator==(const SubmittedValues&) const = default;
};

// The state of a request on model data: its progress, its value as last read, and what
// was submitted since.
template <class Value> struct SubmittableValueState {
    std::optional<Error> error;
    Status status = Status::idle;
    Value value {};
    SubmittedValues<Value> submittedValues {};

    bool operator==(const SubmittableValueState&) const = default;
};

template <class Value, class Query, class Identifier> struct ModelOperationCases {
    template <class Input, class Output, int Tag> struct Case {
        SubmittableAction<Input, Output> action;
        bool operator==(const Case&) const = default;
    };
    using Create = Case<Value, Value, 0>;
    using Read = Case<Query, Value, 1>;
    using Update = Case<Value, EquatableVoid, 2>;
    using Delete = Case<std::set<Identifier>, EquatableVoid, 3>;
    using Variant = std::variant<Create, Read, Update, Delete>;
};

// One model operation and its request step.
template <class Value, class Query, class Identifier>
struct ModelOperationAction : ActionOf<ModelOperationCases<Value, Query, Identifier>> {
    using Cases = ModelOperationCases<Value, Query, Identifier>;
    using Create = typename Cases::Create;
    using Read = typename Cases::Read;
    using Update = typename Cases::Update;
    using Delete = typename Cases::Delete;
    using ActionOf<Cases>::ActionOf;

    using CreateAction = SubmittableAction<Value, Value>;
    using ReadAction = SubmittableAction<Query, Value>;
    using UpdateAction = SubmittableAction<Value, EquatableVoid>;
    using DeleteAction = SubmittableAction<std::set<Identifier>, EquatableVoid>;

    static ModelOperationAction create(CreateAction action) { return Create { std::move(action) }; }
    static ModelOperationAction read(ReadAction action) { return Read { std::move(action) }; }
    static ModelOperationAction update(UpdateAction action) { return Update { std::move(action) }; }
    static ModelOperationAction delete_(DeleteAction action)
    {
        return Delete { std::move(action) };
    }

    const typename Cases::Variant& base() const { return *this; }
    const CreateAction* asCreate() const
    {
        auto c = std::get_if<Create>(&base());
        return c ? &c->action : nullptr;
    }
    const ReadAction* asRead() const
    {
        auto c = std::get_if<Read>(&base());
        return c ? &c->action : nullptr;
    }
    const UpdateAction* asUpdate() const
    {
        auto c = std::get_if<Update>(&base());
        return c ? &c->action : nullptr;
    }
    const DeleteAction* asDelete() const
    {
        auto c = std::get_if<Delete>(&base());
        return c ? &c->action : nullptr;
    }
};

// The request state of anything with `error` and `status`.
template <class S>
concept Submittable = requires(S& s)
{
    s.error;
    s.status;
};

// Folds one request step into a request state.
template <Submittable S, class Input, class Output>
void reduce(S& state, const SubmittableAction<Input, Output>& action)
{
    if (action.asSubmit()) {
        state.status = Status::loading;
    } else if (auto result = action.asResult()) {
        state.status = Status::completed;
        if (!result->result.isSuccess())
            state.error = result->result.error();
    } else {
        state.error.reset();
        state.status = Status::idle;
    }
}

// Every model operation moves the same one status and error.
template <Submittable S, class Value, class Query, class Identifier>
void reduceStatus(S& state, const ModelOperationAction<Value, Query, Identifier>& action)
{
    std::visit([&state](const auto& operation) { reduce(state, operation.action); }, action.base());
}

// The identifier of a member of a set-valued state.
template <class Element> auto identifierOf(const Element& element) -> decltype(element.id)
{
    return element.id;
}

// Records submitted creations, updates and (as members) deletions.
template <class Set, class Query, class Identifier>
void reduceUnion(
    SubmittableValueState<Set>& state, const ModelOperationAction<Set, Query, Identifier>& action)
{
    auto unite = [](std::optional<Set>& field, const Set& added) {
        if (!field)
            field = Set {};
        // A newer submission of a member replaces the older one with the same identifier,
        // so what is pending holds one version of each member: the latest.
        std::set<decltype(identifierOf(*added.begin()))> ids;
        for (const auto& member : added)
            ids.insert(identifierOf(member));
        std::erase_if(
            *field, [&ids](const auto& member) { return ids.contains(identifierOf(member)); });
        field->insert(added.begin(), added.end());
    };
    if (auto create = action.asCreate(); create && create->asSubmit()) {
        unite(state.submittedValues.create, create->asSubmit()->input);
    } else if (auto update = action.asUpdate(); update && update->asSubmit()) {
        unite(state.submittedValues.update, update->asSubmit()->input);
    } else if (auto remove = action.asDelete(); remove && remove->asSubmit()) {
        const auto& identifiers = remove->asSubmit()->input;
        Set members;
        for (const auto& member : state.value) {
            if (identifiers.contains(identifierOf(member)))
                members.insert(member);
        }
        unite(state.submittedValues.delete_, members);
    }
}

// Takes the old versions of submitted updates out of the value.
template <class Set, class Query, class Identifier>
void reduceFilter(
    SubmittableValueState<Set>& state, const ModelOperationAction<Set, Query, Identifier>& action)
{
    auto update = action.asUpdate();
    if (!update || !update->asSubmit())
        return;
    std::set<Identifier> updated;
    for (const auto& member : update->asSubmit()->input)
        updated.insert(identifierOf(member));
    std::erase_if(state.value,
        [&updated](const auto& member) { return updated.contains(identifierOf(member)); });
}

// A successful read replaces the value and forgets what was submitted.
template <class Value, class Query, class Identifier>
void reduceOptionalValue(SubmittableValueState<Value>& state,
    const ModelOperationAction<Value, Query, Identifier>& action)
{
    auto read = action.asRead();
    if (!read)
        return;
    if (auto value = read->successValue()) {
        state.value = *value;
        state.submittedValues = {};
    }
}

// The whole fold for a set-valued state.
template <class Set, class Query, class Identifier>
void reduceSetOperation(
    SubmittableValueState<Set>& state, const ModelOperationAction<Set, Query, Identifier>& action)
{
    reduceStatus(state, action);
    reduceUnion(state, action);
    reduceFilter(state, action);
    reduceOptionalValue(state, action);
}

// The fold for a state whose value is not a set.
template <class Value, class Query, class Identifier>
void reduceValueOperation(SubmittableValueState<Value>& state,
    const ModelOperationAction<Value, Query, Identifier>& action)
{
    reduceStatus(state, action);
    reduceOptionalValue(state, action);
}

} // namespace tidemark
