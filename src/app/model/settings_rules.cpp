#include "app/model/settings_rules.h"

#include "app/model/path_rules.h"

namespace brevo::app {
namespace {

constexpr char kPaths[] = "PATHS";
constexpr char kOptions[] = "OPTIONS";
constexpr char kDefaultLanguage[] = "English (US)";

void readInt(SettingsStore& store, const char* section, const char* key, int& field) {
    field = store.readInt(section, key).value_or(field);
}

// The numbers of the store and what they mean: each decoded and encoded here alone.
template <typename Value>
Value decoded(int number);

template <>
bool decoded<bool>(int number) {
    return number != 0;
}
template <>
FileFormat decoded<FileFormat>(int number) {
    return number == 1 ? FileFormat::Rtf : FileFormat::Text;
}
template <>
PageSize decoded<PageSize>(int number) {
    return number == 0 ? PageSize::A4 : PageSize::Letter;
}

int encode(bool value) {
    return value ? 1 : 0;
}
int encode(FileFormat value) {
    return value == FileFormat::Rtf ? 1 : 0;
}

template <typename Value>
void readInt(SettingsStore& store, const char* section, const char* key, Stored<Value>& field) {
    field.read = store.readInt(section, key);
    if (field.read) field.value = decoded<Value>(*field.read);
}

// A number read that still means the value is written back as it was read.
template <typename Value>
void writeInt(SettingsStore& store, const char* section, const char* key,
              const Stored<Value>& field) {
    const bool unchanged = field.read && decoded<Value>(*field.read) == field.value;
    store.writeInt(section, key, unchanged ? *field.read : encode(field.value));
}

void readString(SettingsStore& store, const char* section, const char* key, std::string& field) {
    field = store.readString(section, key).value_or(field);
}

void readPaths(SettingsStore& store, const std::string& home, VerifySettings& settings) {
    readInt(store, kPaths, "DURING_SESSION", settings.keepPathsDuringSession);
    readInt(store, kPaths, "BETWEEN_SESSIONS", settings.keepPathsBetweenSessions);
    if (!settings.keepPathsDuringSession) return;
    for (auto [key, field] : {std::pair{"SOURCE_FILES", &settings.sourceFilesPath},
                              std::pair{"ORG_FILES", &settings.orgFilesPath},
                              std::pair{"TRANSLATED_FILES", &settings.translatedFilesPath}}) {
        readString(store, kPaths, key, *field);
        *field = existingDirectoryOr(*field, home);
    }
}

void readOptions(SettingsStore& store, VerifySettings& settings) {
    readInt(store, kOptions, "OVERWRITE_FILES", settings.overwriteFiles);
    readInt(store, kOptions, "FILE_FORMAT_FOR_BRX", settings.fileFormat);
    readString(store, kOptions, "TARGET_LANGUAGE", settings.targetLanguage);
    readString(store, kOptions, "SOURCE_LANGUAGE", settings.sourceLanguage);
    readInt(store, kOptions, "RTF_PAGE_SIZE", settings.rtfPageSize);
    readInt(store, kOptions, "MARKER_PLACEHOLDERS", settings.handedOn.markerPlaceholders);
    readInt(store, kOptions, "TRANSLATION_HYPHENATION", settings.handedOn.translationHyphenation);
    readInt(store, kOptions, "CHARACTER_SET_TEXT", settings.handedOn.characterSetText);
    readInt(store, kOptions, "SOURCE_HYPHENATION", settings.handedOn.sourceHyphenation);
    readInt(store, kOptions, "SMART_QUOTES", settings.handedOn.smartQuotes);
    readInt(store, kOptions, "READ_ONLY_COMPONENTS", settings.handedOn.readOnlyComponents);
    readInt(store, kOptions, "TARGET_LANGUAGE_SELECTION", settings.targetLanguageSelection);
    readInt(store, kOptions, "SOURCE_LANGUAGE_SELECTION", settings.sourceLanguageSelection);
    if (settings.sourceLanguage.empty()) settings.sourceLanguage = kDefaultLanguage;
    if (settings.targetLanguage.empty()) settings.targetLanguage = kDefaultLanguage;
}

}  // namespace

VerifySettings readSettings(SettingsStore& store, const std::string& homeDirectory) {
    VerifySettings settings = defaultSettings(homeDirectory);
    readPaths(store, homeDirectory, settings);
    readOptions(store, settings);
    return settings;
}

void writeSettings(SettingsStore& store, const VerifySettings& settings,
                   const std::string& homeDirectory) {
    writeInt(store, kOptions, "OVERWRITE_FILES", settings.overwriteFiles);
    writeInt(store, kOptions, "FILE_FORMAT_FOR_BRX", settings.fileFormat);
    store.writeString(kOptions, "TARGET_LANGUAGE", settings.targetLanguage);
    store.writeInt(kOptions, "TARGET_LANGUAGE_SELECTION", settings.targetLanguageSelection);

    writeInt(store, kPaths, "DURING_SESSION", settings.keepPathsDuringSession);
    writeInt(store, kPaths, "BETWEEN_SESSIONS", settings.keepPathsBetweenSessions);
    const bool keep = settings.keepPathsBetweenSessions;
    store.writeString(kPaths, "ORG_FILES", keep ? settings.orgFilesPath : homeDirectory);
    store.writeString(kPaths, "TRANSLATED_FILES",
                      keep ? settings.translatedFilesPath : homeDirectory);
}

}  // namespace brevo::app
