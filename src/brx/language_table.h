#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevo {

// The languages of a pair and the code pages their text is written in.
struct LanguageSettings {
    std::string sourceLanguage = "English (US)";
    std::string targetLanguage = "English (US)";
    int sourceCodePage = 1252;
    int targetCodePage = 1252;
};

// Code page of a display name, or 0 when the name is no language of the table. Every name
// that begins with "Japanese" is Japanese.
int codePageOf(std::string_view name);

bool isJapanese(std::string_view name);

// Double-byte code pages: Japanese, Chinese and Korean.
bool isAsianCodePage(int codePage);

// On an unknown name both leave the language and code page as they were; the source form
// reports it by returning false.
bool setSourceLanguage(LanguageSettings& languages, const std::string& name);
void setTargetLanguage(LanguageSettings& languages, const std::string& name);

// The table's spelling of `name` compared without regard to case ("french" -> "French",
// "japanese (euc)" -> "Japanese (euc)"), or nothing when it names no language.
std::optional<std::string> languageNameIgnoringCase(std::string_view name);

// Every exact name of the table, in table order ("Japanese" stands for its whole family).
const std::vector<std::string_view>& languageNames();

}  // namespace brevo
