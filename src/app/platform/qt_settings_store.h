#pragma once

#include <QSettings>
#include <QString>

#include "app/model/settings_store.h"

namespace brevo::app {

// The settings in the platform's own store (the registry on Windows, a settings file
// elsewhere), under the program's base name and then the section.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& programName);

    std::optional<int> readInt(const std::string& section, const std::string& key) override;
    std::optional<std::string> readString(const std::string& section,
                                          const std::string& key) override;
    void writeInt(const std::string& section, const std::string& key, int value) override;
    void writeString(const std::string& section, const std::string& key,
                     const std::string& value) override;
    // Hands what was written on to the disk.
    void flush();

private:
    QString keyOf(const std::string& section, const std::string& key) const;

    QSettings settings_;
    QString programName_;
};

}  // namespace brevo::app
