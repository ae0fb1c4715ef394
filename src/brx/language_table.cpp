#include "brx/language_table.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "base/file_names.h"

namespace brevo {
namespace {

struct LanguageRow {
    std::string_view name;
    int codePage;
};

constexpr std::array kLanguages = {
    LanguageRow{"Japanese", 932},
    LanguageRow{"Chinese (Simplified)", 936},
    LanguageRow{"Chinese (Traditional)", 950},
    LanguageRow{"Korean", 949},
    LanguageRow{"Albanian", 1250},
    LanguageRow{"Croatian", 1250},
    LanguageRow{"Czech", 1250},
    LanguageRow{"Hungarian", 1250},
    LanguageRow{"Polish", 1250},
    LanguageRow{"Romanian", 1250},
    LanguageRow{"Serbian", 1250},
    LanguageRow{"Slovak", 1250},
    LanguageRow{"Slovenian", 1250},
    LanguageRow{"Bulgarian", 1251},
    LanguageRow{"Byelorussian", 1251},
    LanguageRow{"Russian", 1251},
    LanguageRow{"Ukrainian", 1251},
    LanguageRow{"Basque", 1252},
    LanguageRow{"Faeroese", 1252},
    LanguageRow{"Icelandic", 1252},
    LanguageRow{"Catalan", 1252},
    LanguageRow{"Danish", 1252},
    LanguageRow{"Dutch", 1252},
    LanguageRow{"English (AUS)", 1252},
    LanguageRow{"English (UK)", 1252},
    LanguageRow{"English (US)", 1252},
    LanguageRow{"Finnish", 1252},
    LanguageRow{"French", 1252},
    LanguageRow{"French (Canadian)", 1252},
    LanguageRow{"German", 1252},
    LanguageRow{"German (Swiss)", 1252},
    LanguageRow{"Italian", 1252},
    LanguageRow{"None", 1252},
    LanguageRow{"Norwegian", 1252},
    LanguageRow{"Norwegian (Nynorsk)", 1252},
    LanguageRow{"Portuguese", 1252},
    LanguageRow{"Portuguese (Brazilian)", 1252},
    LanguageRow{"Spanish", 1252},
    LanguageRow{"Swedish", 1252},
    LanguageRow{"Greek", 1253},
    LanguageRow{"Turkish", 1254},
    LanguageRow{"Estonian", 1257},
    LanguageRow{"Latvian", 1257},
    LanguageRow{"Lithuanian", 1257},
};

}  // namespace

bool isJapanese(std::string_view name) {
    return name.starts_with("Japanese");
}

int codePageOf(std::string_view name) {
    if (isJapanese(name)) return 932;
    for (const LanguageRow& row : kLanguages) {
        if (row.name == name) return row.codePage;
    }
    return 0;
}

bool isAsianCodePage(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool setSourceLanguage(LanguageSettings& languages, const std::string& name) {
    int codePage = codePageOf(name);
    if (codePage == 0) return false;
    languages.sourceLanguage = name;
    languages.sourceCodePage = codePage;
    return true;
}

void setTargetLanguage(LanguageSettings& languages, const std::string& name) {
    int codePage = codePageOf(name);
    if (codePage == 0) return;
    languages.targetLanguage = name;
    languages.targetCodePage = codePage;
}

std::optional<std::string> languageNameIgnoringCase(std::string_view name) {
    constexpr std::string_view kJapanese = "Japanese";
    if (name.size() >= kJapanese.size() &&
        equalIgnoringCase(name.substr(0, kJapanese.size()), kJapanese)) {
        return std::string(kJapanese) + std::string(name.substr(kJapanese.size()));
    }
    for (const LanguageRow& row : kLanguages) {
        if (equalIgnoringCase(row.name, name)) return std::string(row.name);
    }
    return std::nullopt;
}

const std::vector<std::string_view>& languageNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const LanguageRow& row : kLanguages) all.push_back(row.name);
        return all;
    }();
    return names;
}

}  // namespace brevo
