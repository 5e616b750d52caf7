#include "platform/persistence/FetchRequest.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace tidemark {

std::vector<std::string> identifiersOf(const std::vector<CDReminder>& objects)
{
    std::vector<std::string> identifiers;
    identifiers.reserve(objects.size());
    for (const auto& object : objects)
        identifiers.push_back(object.identifierString());
    return identifiers;
}

std::string_view attributeName(ReminderAttribute attribute)
{
    switch (attribute) {
    case ReminderAttribute::completionDate:
        return "completionDate";
    case ReminderAttribute::dueDate:
        return "dueDate";
    case ReminderAttribute::identifier:
        return "identifier";
    case ReminderAttribute::isCompleted:
        return "isCompleted";
    case ReminderAttribute::startDate:
        return "startDate";
    case ReminderAttribute::title:
        return "title";
    }
    return "";
}

namespace {

template <class T> AttributeValue optionalValue(const std::optional<T>& value)
{
    if (value)
        return AttributeValue(*value);
    return AttributeValue();
}

std::string valueDescription(const AttributeValue& value)
{
    struct Describe {
        std::string operator()(std::monostate) const { return "nil"; }
        std::string operator()(const std::string& text) const { return "\"" + text + "\""; }
        std::string operator()(Date date) const
        {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.6f", timeIntervalSince1970(date));
            return std::string("date(") + buffer + ")";
        }
        std::string operator()(bool flag) const { return flag ? "true" : "false"; }
    };
    return std::visit(Describe {}, value);
}

AttributeValue normalized(AttributeValue value)
{
    if (auto* date = std::get_if<Date>(&value))
        *date = truncatedToMicroseconds(*date);
    return value;
}

} // namespace

AttributeValue attributeValue(const CDReminder& object, ReminderAttribute attribute)
{
    switch (attribute) {
    case ReminderAttribute::completionDate:
        return optionalValue(object.completionDate);
    case ReminderAttribute::dueDate:
        return optionalValue(object.dueDate);
    case ReminderAttribute::identifier:
        return optionalValue(object.identifier);
    case ReminderAttribute::isCompleted:
        return AttributeValue(object.isCompleted);
    case ReminderAttribute::startDate:
        return optionalValue(object.startDate);
    case ReminderAttribute::title:
        return optionalValue(object.title);
    }
    return AttributeValue();
}

struct Predicate::Node {
    enum class Kind { constant, equal, notEqual, in, anyOf, allOf, negation };
    Kind kind = Kind::constant;
    bool constant = true;
    ReminderAttribute attribute = ReminderAttribute::identifier;
    std::vector<AttributeValue> values;
    std::vector<Predicate> operands;
};

Predicate::Predicate(std::shared_ptr<const Node> node)
    : m_node(std::move(node))
{
}

Predicate Predicate::truePredicate()
{
    auto node = std::make_shared<Node>();
    node->constant = true;
    return Predicate(node);
}

Predicate Predicate::falsePredicate()
{
    auto node = std::make_shared<Node>();
    node->constant = false;
    return Predicate(node);
}

Predicate Predicate::equal(ReminderAttribute attribute, AttributeValue value)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::equal;
    node->attribute = attribute;
    node->values.push_back(normalized(std::move(value)));
    return Predicate(node);
}

Predicate Predicate::notEqual(ReminderAttribute attribute, AttributeValue value)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::notEqual;
    node->attribute = attribute;
    node->values.push_back(normalized(std::move(value)));
    return Predicate(node);
}

Predicate Predicate::in(ReminderAttribute attribute, std::vector<AttributeValue> values)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::in;
    node->attribute = attribute;
    for (auto& value : values)
        node->values.push_back(normalized(std::move(value)));
    return Predicate(node);
}

Predicate Predicate::anyOf(std::vector<Predicate> predicates)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::anyOf;
    node->operands = std::move(predicates);
    return Predicate(node);
}

Predicate Predicate::allOf(std::vector<Predicate> predicates)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::allOf;
    node->operands = std::move(predicates);
    return Predicate(node);
}

Predicate Predicate::negation(Predicate predicate)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::negation;
    node->operands.push_back(std::move(predicate));
    return Predicate(node);
}

Predicate Predicate::identifierIn(const std::set<std::string>& identifiers)
{
    std::vector<AttributeValue> values(identifiers.begin(), identifiers.end());
    return in(ReminderAttribute::identifier, std::move(values));
}

Predicate Predicate::notCompleted()
{
    return notEqual(ReminderAttribute::isCompleted, true);
}

bool Predicate::evaluate(const CDReminder& object) const
{
    const Node& node = *m_node;
    switch (node.kind) {
    case Node::Kind::constant:
        return node.constant;
    case Node::Kind::equal:
        return attributeValue(object, node.attribute) == node.values.front();
    case Node::Kind::notEqual:
        return attributeValue(object, node.attribute) != node.values.front();
    case Node::Kind::in: {
        const auto value = attributeValue(object, node.attribute);
        if (std::holds_alternative<std::monostate>(value))
            return false;
        return std::find(node.values.begin(), node.values.end(), value) != node.values.end();
    }
    case Node::Kind::anyOf:
        return std::any_of(node.operands.begin(), node.operands.end(),
            [&](const Predicate& operand) { return operand.evaluate(object); });
    case Node::Kind::allOf:
        return std::all_of(node.operands.begin(), node.operands.end(),
            [&](const Predicate& operand) { return operand.evaluate(object); });
    case Node::Kind::negation:
        return !node.operands.front().evaluate(object);
    }
    return false;
}

std::string Predicate::description() const
{
    const Node& node = *m_node;
    const std::string name(attributeName(node.attribute));
    auto joined = [&](const char* separator) {
        if (node.operands.empty())
            return std::string(node.kind == Node::Kind::anyOf ? "FALSEPREDICATE" : "TRUEPREDICATE");
        std::string text = "(";
        for (std::size_t i = 0; i < node.operands.size(); ++i)
            text += (i ? separator : "") + node.operands[i].description();
        return text + ")";
    };
    switch (node.kind) {
    case Node::Kind::constant:
        return node.constant ? "TRUEPREDICATE" : "FALSEPREDICATE";
    case Node::Kind::equal:
        return name + " == " + valueDescription(node.values.front());
    case Node::Kind::notEqual:
        return name + " != " + valueDescription(node.values.front());
    case Node::Kind::in: {
        std::string text = name + " IN {";
        for (std::size_t i = 0; i < node.values.size(); ++i)
            text += (i ? ", " : "") + valueDescription(node.values[i]);
        return text + "}";
    }
    case Node::Kind::anyOf:
        return joined(" OR ");
    case Node::Kind::allOf:
        return joined(" AND ");
    case Node::Kind::negation:
        return "NOT " + node.operands.front().description();
    }
    return {};
}

// Every condition is written so that it yields 0 or 1, never NULL, matching `evaluate`:
// `IS` and `IS NOT` compare NULL as a value, and IN is guarded against a NULL column.
std::string Predicate::sql(std::vector<AttributeValue>& bindings) const
{
    const Node& node = *m_node;
    const std::string column(attributeName(node.attribute));
    auto joined = [&](const char* separator, const char* whenEmpty) {
        if (node.operands.empty())
            return std::string(whenEmpty);
        std::string text = "(";
        for (std::size_t i = 0; i < node.operands.size(); ++i)
            text += (i ? separator : "") + node.operands[i].sql(bindings);
        return text + ")";
    };
    switch (node.kind) {
    case Node::Kind::constant:
        return node.constant ? "1" : "0";
    case Node::Kind::equal:
        bindings.push_back(node.values.front());
        return "(" + column + " IS ?)";
    case Node::Kind::notEqual:
        bindings.push_back(node.values.front());
        return "(" + column + " IS NOT ?)";
    case Node::Kind::in: {
        std::vector<AttributeValue> present;
        for (const auto& value : node.values) {
            if (!std::holds_alternative<std::monostate>(value))
                present.push_back(value);
        }
        if (present.empty())
            return "0";
        std::string text = "(" + column + " IS NOT NULL AND " + column + " IN (";
        for (std::size_t i = 0; i < present.size(); ++i) {
            text += i ? ", ?" : "?";
            bindings.push_back(present[i]);
        }
        return text + "))";
    }
    case Node::Kind::anyOf:
        return joined(" OR ", "0");
    case Node::Kind::allOf:
        return joined(" AND ", "1");
    case Node::Kind::negation:
        return "(NOT " + node.operands.front().sql(bindings) + ")";
    }
    return "0";
}

std::size_t Predicate::bindingCount() const
{
    const Node& node = *m_node;
    switch (node.kind) {
    case Node::Kind::constant:
        return 0;
    case Node::Kind::equal:
    case Node::Kind::notEqual:
    case Node::Kind::in:
        return node.values.size();
    case Node::Kind::anyOf:
    case Node::Kind::allOf:
    case Node::Kind::negation: {
        std::size_t count = 0;
        for (const auto& operand : node.operands)
            count += operand.bindingCount();
        return count;
    }
    }
    return 0;
}

std::vector<ManagedObjectID> BatchDeleteResult::deletedObjectIDs() const
{
    std::vector<ManagedObjectID> ids;
    ids.reserve(deletedObjects.size());
    for (const auto& object : deletedObjects)
        ids.push_back(object.objectID);
    return ids;
}

} // namespace tidemark
