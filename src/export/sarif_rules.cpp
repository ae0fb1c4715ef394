#include "export/sarif_rules.h"

#include <algorithm>
#include <iterator>

namespace brevo {
namespace {

using enum MessageId;

// Sorted by id.
constexpr SarifRule kRules[] = {
    {BracketCountsDiffer, "BracketCountsDiffer", "A segment has different numbers of < and >."},
    {BracketsInWrongOrder, "BracketsInWrongOrder", "A > comes before its < in a segment."},
    {TooManyInternalOpens, "TooManyInternalOpens", "Brackets are nested more than three deep."},
    {NestedExternalTags, "NestedExternalTags", "An external tag begins inside another tag."},
    {AddedSyntaxInSource, "AddedSyntaxInSource",
     "The source file adds an external tag with the <#...> syntax."},
    {UnknownExternalTag, "UnknownExternalTag", "An external tag is unknown."},
    {UnknownInternalTag, "UnknownInternalTag", "An internal tag is unknown."},
    {TextAfterEndOfBrx, "TextAfterEndOfBrx", "Text or internal tags follow </brx>."},
    {TextBeforeNextExternalTag, "TextBeforeNextExternalTag",
     "Text or internal tags follow an external tag that must be followed by another external "
     "tag."},
    {IndexMarkerTooLong, "IndexMarkerTooLong", "The text of an index marker is too long."},
    {TextTooLong, "TextTooLong", "The text of an external tag is too long."},
    {TextInElementTooLong, "TextInElementTooLong",
     "The text of an external tag inside an element is too long."},
    {EndWithoutStart, "EndWithoutStart", "An ending tag has no starting tag."},
    {StartWithoutEnd, "StartWithoutEnd", "An element is left without its ending tag."},
    {StartsWithoutEnd, "StartsWithoutEnd", "Elements are left without their ending tags."},
    {IndexEntryMissing, "IndexEntryMissing", "An index marker lacks its <ie> tag."},
    {EndOfBrxMissing, "EndOfBrxMissing", "The file does not end with </brx>."},
    {TagAfterEndOfBrx, "TagAfterEndOfBrx", "Tags follow the end of the file (</brx>)."},
    {NotAllowedInContext, "NotAllowedInContext", "An external tag stands where it is not allowed."},
    {CnsWithoutEnd, "CnsWithoutEnd", "A <:cns> tag has no ending <:/cns>."},
    {CnsEndWithoutStart, "CnsEndWithoutStart", "A <:/cns> tag has no starting <:cns>."},
    {CsWithoutEnd, "CsWithoutEnd", "A <:cs> tag has no ending <:/cs>."},
    {CsEndWithoutStart, "CsEndWithoutStart", "A <:/cs> tag has no starting <:cs>."},
    {ScWithoutEnd, "ScWithoutEnd", "A <:sc> tag has no ending <:/sc>."},
    {ScEndWithoutStart, "ScEndWithoutStart", "A <:/sc> tag has no starting <:sc>."},
    {FcWithoutEnd, "FcWithoutEnd", "A <:fc> tag has no ending <:/fc>."},
    {FcEndWithoutStart, "FcEndWithoutStart", "A <:/fc> tag has no starting <:fc>."},
    {BoldWithoutEnd, "BoldWithoutEnd", "A <:b> tag has no ending <:/b>."},
    {BoldEndWithoutStart, "BoldEndWithoutStart", "A <:/b> tag has no starting <:b>."},
    {ItalicWithoutEnd, "ItalicWithoutEnd", "An <:i> tag has no ending <:/i>."},
    {ItalicEndWithoutStart, "ItalicEndWithoutStart", "An <:/i> tag has no starting <:i>."},
    {BoldItalicWithoutEnd, "BoldItalicWithoutEnd", "A <:bi> tag has no ending <:/bi>."},
    {BoldItalicEndWithoutStart, "BoldItalicEndWithoutStart", "A <:/bi> tag has no starting <:bi>."},
    {CodeWithoutEnd, "CodeWithoutEnd", "A <:c> tag has no ending <:/c>."},
    {CodeEndWithoutStart, "CodeEndWithoutStart", "A <:/c> tag has no starting <:c>."},
    {SWithoutEnd, "SWithoutEnd", "An <:s> tag has no ending <:/s>."},
    {SEndWithoutStart, "SEndWithoutStart", "An <:/s> tag has no starting <:s>."},
    {NotInsideTextSection, "NotInsideTextSection",
     "An internal tag stands in a text section, where it is not allowed."},
    {NotInsideIndexEntry, "NotInsideIndexEntry",
     "An internal tag stands in an index entry, where it is not allowed."},
    {NotInsideIndexLevel, "NotInsideIndexLevel",
     "An internal tag stands in an index level, where it is not allowed."},
    {NotInsideSortString, "NotInsideSortString",
     "An internal tag stands in a sort string, where it is not allowed."},
    {NotInsideBuildingBlock, "NotInsideBuildingBlock",
     "An internal tag stands in an external building block, where it is not allowed."},
    {NotInsideSeeAlso, "NotInsideSeeAlso",
     "An internal tag stands in a see also, where it is not allowed."},
    {NotInsideTitle, "NotInsideTitle",
     "An internal tag stands in a title, where it is not allowed."},
    {NotAfterCrossReferenceVariable, "NotAfterCrossReferenceVariable",
     "An internal tag follows a cross-reference variable, where it is not allowed."},
    {NotInsideFrameArticle, "NotInsideFrameArticle",
     "An internal tag stands in a frame article, where it is not allowed."},
    {InvalidExternalTag, "InvalidExternalTag", "An external tag is not valid."},
    {AddedTagNotAllowed, "AddedTagNotAllowed",
     "An external tag that may not be added is added with the # symbol."},
    {InvalidInternalTag, "InvalidInternalTag", "An internal tag is not valid."},
    {JapaneseCharacterMissing, "JapaneseCharacterMissing",
     "A Japanese character that does not exist in Interleaf is used."},
    {ExternalTagAdded, "ExternalTagAdded", "An external tag is added with the <#...> syntax."},
    {ExternalTagDeletedWarning, "ExternalTagDeletedWarning",
     "An external tag is deleted from the translation."},
    {ExternalTagDeletedAlert, "ExternalTagDeletedAlert",
     "An external tag is deleted from the translation."},
    {ExternalTagDeletedError, "ExternalTagDeletedError",
     "An external tag is deleted from the translation."},
    {UnknownExternalTagDeleted, "UnknownExternalTagDeleted",
     "An unknown external tag is deleted from the translation."},
    {ExternalTagIllegallyAdded, "ExternalTagIllegallyAdded",
     "An external tag is added to the translation without the <#...> syntax."},
    {ExternalTagChanged, "ExternalTagChanged", "An external tag is changed in the translation."},
    {InternalTagDeletedWarning, "InternalTagDeletedWarning",
     "An internal tag is deleted from the translation."},
    {InternalTagDeletedAlert, "InternalTagDeletedAlert",
     "An internal tag is deleted from the translation."},
    {InternalTagDeletedError, "InternalTagDeletedError",
     "An internal tag is deleted from the translation."},
    {UnknownInternalTagDeleted, "UnknownInternalTagDeleted",
     "An unknown internal tag is deleted from the translation."},
    {InternalTagAddedWarning, "InternalTagAddedWarning",
     "An internal tag is added to the translation."},
    {InternalTagAddedAlert, "InternalTagAddedAlert",
     "An internal tag is added to the translation."},
    {InternalTagAddedError, "InternalTagAddedError",
     "An internal tag is added to the translation."},
    {UnknownInternalTagAdded, "UnknownInternalTagAdded",
     "An unknown internal tag is added to the translation."},
};

// The placeholders of a printf text in order; a "%c%c" pair counts as one of two values.
struct Placeholder {
    std::size_t at;
    std::size_t length;
    std::size_t values;
};

std::vector<Placeholder> placeholdersOf(std::string_view text) {
    std::vector<Placeholder> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (text[i + 1] == '%') {
            ++i;
            continue;
        }
        if (text.substr(i, 4) == "%c%c") {
            found.push_back({i, 4, 2});
            i += 3;
        } else {
            found.push_back({i, 2, 1});
            ++i;
        }
    }
    return found;
}

void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
        out += c;
        if (c == '{' || c == '}') out += c;
    }
}

}  // namespace

std::optional<SarifRule> sarifRule(MessageId id) {
    const auto found =
        std::lower_bound(std::begin(kRules), std::end(kRules), id,
                         [](const SarifRule& rule, MessageId key) { return rule.id < key; });
    if (found != std::end(kRules) && found->id == id) return *found;
    return std::nullopt;
}

std::string sarifMessageString(std::string_view printfText) {
    std::string out;
    std::size_t from = 0;
    std::size_t number = 0;
    for (const Placeholder& placeholder : placeholdersOf(printfText)) {
        appendEscaped(out, printfText.substr(from, placeholder.at - from));
        out += '{';
        out += std::to_string(number++);
        out += '}';
        from = placeholder.at + placeholder.length;
    }
    appendEscaped(out, printfText.substr(from));
    return out;
}

std::vector<std::string> sarifArguments(std::string_view printfText,
                                        const std::vector<std::string>& values) {
    std::vector<std::string> arguments;
    std::size_t next = 0;
    for (const Placeholder& placeholder : placeholdersOf(printfText)) {
        std::string argument;
        for (std::size_t i = 0; i < placeholder.values && next < values.size(); ++i) {
            argument += values[next++];
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

}  // namespace brevo
