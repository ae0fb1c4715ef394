#pragma once

#include <optional>
#include <string>

#include "verify/verify_job.h"

namespace brevo::app {

// A choice as the program uses it, with the number it was read as: the settings rules write a
// number that still means the value back as it was, so that a store edited by hand keeps it.
template <typename Value>
struct Stored {
    Value value{};
    std::optional<int> read;  // as found in the store, when it was there

    Stored() = default;
    Stored(Value initial) : value(initial) {}  // NOLINT: a setting is its value
    Stored& operator=(Value changed) {
        value = changed;
        return *this;
    }
    operator Value() const { return value; }  // NOLINT
};

// The user's choices, kept between runs. Values without a control are handed on as they are.
struct VerifySettings {
    // PATHS
    Stored<bool> keepPathsDuringSession = true;
    Stored<bool> keepPathsBetweenSessions = true;
    std::string sourceFilesPath;  // never shown, never written
    std::string orgFilesPath;     // the source BRX files
    std::string translatedFilesPath;

    // OPTIONS
    Stored<bool> overwriteFiles = false;  // otherwise always prompt
    Stored<FileFormat> fileFormat = FileFormat::Rtf;
    std::string targetLanguage = "English (US)";
    int targetLanguageSelection = 1000;  // the list entry; 1000 until the list was shown
    std::string sourceLanguage = "English (US)";
    int sourceLanguageSelection = 1000;
    Stored<PageSize> rtfPageSize = PageSize::A4;
    HandedOnOptions handedOn;  // no control: read, handed on, never written
    int pairsAtOnce = 0;       // pairs verified at once; 0 for one per core. Never stored
};

// The settings of a first run: every directory is the user's home directory.
VerifySettings defaultSettings(const std::string& homeDirectory);

}  // namespace brevo::app
