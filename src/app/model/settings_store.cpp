#include "app/model/settings_store.h"

#include <charconv>

namespace brevo::app {

std::optional<int> MemoryStore::readInt(const std::string& section, const std::string& key) {
    const auto found = values.find({section, key});
    if (found == values.end()) return std::nullopt;
    const std::string& text = found->second.text;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::string> MemoryStore::readString(const std::string& section,
                                                   const std::string& key) {
    const auto found = values.find({section, key});
    if (found == values.end()) return std::nullopt;
    return found->second.text;
}

void MemoryStore::writeInt(const std::string& section, const std::string& key, int value) {
    values[{section, key}] = {std::to_string(value), true};
    writes.push_back(section + "/" + key);
}

void MemoryStore::writeString(const std::string& section, const std::string& key,
                              const std::string& value) {
    values[{section, key}] = {value, false};
    writes.push_back(section + "/" + key);
}

}  // namespace brevo::app
