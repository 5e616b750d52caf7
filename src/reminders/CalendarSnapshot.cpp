#include "reminders/CalendarSnapshot.hpp"

#include <nlohmann/json.hpp>

#include <limits>

namespace tidemark::snapshot {

namespace {

template <class Json> std::int64_t signedInteger(const Json& json, const char* key)
{
    const auto& value = json.at(key);
    if (value.is_number_integer()) {
        if (value.is_number_unsigned()
            && value.template get<std::uint64_t>()
                > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            throw Json::type_error::create(
                302, std::string(key) + " does not fit a signed 64-bit integer", &value);
        return value.template get<std::int64_t>();
    }
    throw Json::type_error::create(302, std::string(key) + " must be an integer", &value);
}

template <class Json> std::uint64_t unsignedInteger(const Json& json, const char* key)
{
    const auto& value = json.at(key);
    if (!value.is_number_unsigned())
        throw Json::type_error::create(
            302, std::string(key) + " must be an unsigned integer", &value);
    return value.template get<std::uint64_t>();
}

template <class Json> std::string text(const Json& json, const char* key)
{
    const auto& value = json.at(key);
    if (!value.is_string())
        throw Json::type_error::create(302, std::string(key) + " must be a string", &value);
    return value.template get<std::string>();
}

template <class Json> void encode(Json& json, const SourceIdentifier& source)
{
    json = Json::object();
    json["sourceIdentifier"] = source.sourceIdentifier;
    json["sourceType"] = source.sourceType;
    json["title"] = source.title;
}

template <class Json> void decode(const Json& json, SourceIdentifier& source)
{
    SourceIdentifier read;
    read.sourceIdentifier = text(json, "sourceIdentifier");
    read.sourceType = signedInteger(json, "sourceType");
    read.title = text(json, "title");
    source = std::move(read);
}

template <class Json> void encode(Json& json, const CalendarIdentifier& calendar)
{
    json = Json::object();
    json["title"] = calendar.title;
    json["type"] = calendar.type;
    json["allowedEntityTypes"] = calendar.allowedEntityTypes;
    Json source;
    encode(source, calendar.source);
    json["source"] = std::move(source);
    json["supportedEventAvailabilities"] = calendar.supportedEventAvailabilities;
    json["calendarIdentifier"] = calendar.calendarIdentifier;
}

template <class Json> void decode(const Json& json, CalendarIdentifier& calendar)
{
    CalendarIdentifier read;
    read.title = text(json, "title");
    read.type = signedInteger(json, "type");
    read.allowedEntityTypes = unsignedInteger(json, "allowedEntityTypes");
    decode(json.at("source"), read.source);
    read.supportedEventAvailabilities = unsignedInteger(json, "supportedEventAvailabilities");
    read.calendarIdentifier = text(json, "calendarIdentifier");
    calendar = std::move(read);
}

} // namespace

bool SourceIdentifier::isEqual(const LiveSource& source) const
{
    if (sourceIdentifier == source.sourceIdentifier)
        return true;
    return sourceType == source.sourceType && title == source.title;
}

bool CalendarIdentifier::isEqual(const LiveCalendar& calendar) const
{
    if (calendarIdentifier == calendar.calendarIdentifier)
        return true;
    return title == calendar.title && type == calendar.type
        && allowedEntityTypes == calendar.allowedEntityTypes && calendar.source
        && source.isEqual(*calendar.source)
        && supportedEventAvailabilities == calendar.supportedEventAvailabilities;
}

void to_json(nlohmann::json& json, const SourceIdentifier& source)
{
    encode(json, source);
}
void to_json(nlohmann::ordered_json& json, const SourceIdentifier& source)
{
    encode(json, source);
}
void from_json(const nlohmann::json& json, SourceIdentifier& source)
{
    decode(json, source);
}
void from_json(const nlohmann::ordered_json& json, SourceIdentifier& source)
{
    decode(json, source);
}
void to_json(nlohmann::json& json, const CalendarIdentifier& calendar)
{
    encode(json, calendar);
}
void to_json(nlohmann::ordered_json& json, const CalendarIdentifier& calendar)
{
    encode(json, calendar);
}
void from_json(const nlohmann::json& json, CalendarIdentifier& calendar)
{
    decode(json, calendar);
}
void from_json(const nlohmann::ordered_json& json, CalendarIdentifier& calendar)
{
    decode(json, calendar);
}

} // namespace tidemark::snapshot

namespace tidemark {

AnyListObjectWrapper::AnyListObjectWrapper(std::string id, std::string title)
    : m_id(std::move(id))
    , m_title(std::move(title))
{
}

std::string AnyListObjectWrapper::id() const
{
    return m_id;
}
void AnyListObjectWrapper::setId(std::string id)
{
    m_id = std::move(id);
}
std::string AnyListObjectWrapper::title() const
{
    return m_title;
}
void AnyListObjectWrapper::setTitle(std::string title)
{
    m_title = std::move(title);
}

AnyList AnyListObjectWrapper::toAnyList() const
{
    return AnyList { id(), title() };
}

} // namespace tidemark
