#pragma once

#include <string>

#include "app/model/settings_store.h"
#include "app/model/verify_settings.h"

namespace brevo::app {

// Reads the settings as a run starts: the paths first, then the options. Stored directories are
// read only when the paths are kept during a session, and one that no longer exists becomes
// the home directory; an empty language name becomes "English (US)".
VerifySettings readSettings(SettingsStore& store, const std::string& homeDirectory);

// Writes what this program lets the user change, the options before the paths; the values
// without a control are never written. Without "Between Sessions" the directories are stored
// as the home directory.
void writeSettings(SettingsStore& store, const VerifySettings& settings,
                   const std::string& homeDirectory);

}  // namespace brevo::app
