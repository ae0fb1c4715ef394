#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevo::app {

// Where the settings are kept between runs, by section and key. A value that is missing, or
// that cannot be read as the type asked for, comes back empty. Failures to write are not
// reported: the next run then starts from the defaults.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<int> readInt(const std::string& section, const std::string& key) = 0;
    virtual std::optional<std::string> readString(const std::string& section,
                                                  const std::string& key) = 0;
    virtual void writeInt(const std::string& section, const std::string& key, int value) = 0;
    virtual void writeString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// A store in memory; it keeps every value as the text it would be stored as.
class MemoryStore : public SettingsStore {
public:
    std::optional<int> readInt(const std::string& section, const std::string& key) override;
    std::optional<std::string> readString(const std::string& section,
                                          const std::string& key) override;
    void writeInt(const std::string& section, const std::string& key, int value) override;
    void writeString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    using Key = std::pair<std::string, std::string>;
    struct Value {
        std::string text;
        bool number = false;
    };
    std::map<Key, Value> values;
    std::vector<std::string> writes;  // "SECTION/KEY" in the order written
};

}  // namespace brevo::app
