#include "settings/PersistentUserDefaultsService.hpp"

namespace tidemark {

nlohmann::json deepMerging(const nlohmann::json& stored, const nlohmann::json& defaults)
{
    if (!stored.is_object() || !defaults.is_object())
        return stored;
    nlohmann::json result = stored;
    for (const auto& [key, value] : defaults.items()) {
        auto found = result.find(key);
        if (found == result.end())
            result[key] = value;
        else if (found->is_object() && value.is_object())
            *found = deepMerging(*found, value);
    }
    return result;
}

namespace {

void salvageInto(nlohmann::json& working, const nlohmann::json::json_pointer& at,
    const std::string& path, const nlohmann::json& stored, const nlohmann::json& defaults,
    const std::function<bool(const nlohmann::json&)>& decodes, SalvagedValue& result)
{
    for (const auto& [key, storedPart] : stored.items()) {
        auto pointer = at / key;
        auto keyPath = path.empty() ? key : path + "." + key;
        auto defaultPart = defaults.find(key);
        auto candidate = working;
        candidate[pointer] = storedPart;
        if (decodes(candidate)) {
            working = std::move(candidate);
        } else if (defaultPart != defaults.end() && storedPart.is_object()
            && defaultPart->is_object()) {
            salvageInto(working, pointer, keyPath, storedPart, *defaultPart, decodes, result);
        } else {
            result.setAside.emplace_back(keyPath, storedPart);
        }
    }
}

} // namespace

SalvagedValue salvage(const nlohmann::json& stored, const nlohmann::json& defaults,
    const std::function<bool(const nlohmann::json&)>& decodes)
{
    SalvagedValue result { defaults, {} };
    if (!stored.is_object() || !defaults.is_object()) {
        result.setAside.emplace_back("", stored);
        return result;
    }
    salvageInto(result.json, nlohmann::json::json_pointer(), "", stored, defaults, decodes, result);
    return result;
}

std::string setAsideKey(const std::string& key)
{
    return key + ".unreadable";
}

} // namespace tidemark
