#pragma once

#include <string>

#include "verify/verify_job.h"

namespace brevo::app {

// The user's choices, kept between runs. Numbers stay ints as they are stored: a store edited
// by hand may hold any number, and values without a control are handed on as they are.
struct VerifySettings {
    // PATHS
    int keepPathsDuringSession = 1;
    int keepPathsBetweenSessions = 1;
    std::string sourceFilesPath;  // never shown, never written
    std::string orgFilesPath;     // the source BRX files
    std::string translatedFilesPath;

    // OPTIONS
    int overwriteFiles = 0;  // 0 always prompt, 1 always overwrite
    int fileFormat = 1;      // 0 ANSI text, 1 RTF
    std::string targetLanguage = "English (US)";
    int targetLanguageSelection = 1000;  // the list entry; 1000 until the list was shown
    std::string sourceLanguage = "English (US)";
    int sourceLanguageSelection = 1000;
    int rtfPageSize = 0;
    HandedOnOptions handedOn;  // no control: read, handed on, never written
    int pairsAtOnce = 0;       // pairs verified at once; 0 for one per core. Never stored
};

// The settings of a first run: every directory is the user's home directory.
VerifySettings defaultSettings(const std::string& homeDirectory);

}  // namespace brevo::app
