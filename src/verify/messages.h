#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace brevo {

// A value for a placeholder: %d takes a number, %s a text (NUL bytes included), %c one byte.
using MessageArg = std::variant<long long, std::string_view, char>;

// The report messages by their numbers.
enum class MessageId : int {
    BracketCountsDiffer = 18051,
    BracketsInWrongOrder = 18052,
    TooManyInternalOpens = 18053,
    NestedExternalTags = 18054,
    RefersToEndOfFile = 18055,
    AddedSyntaxInSource = 18071,
    UnknownExternalTag = 18072,
    UnknownInternalTag = 18074,
    TextAfterEndOfBrx = 18110,
    TextBeforeNextExternalTag = 18111,
    IndexMarkerTooLong = 18113,
    TextTooLong = 18115,
    TextInElementTooLong = 18116,
    EndWithoutStart = 18210,
    StartWithoutEnd = 18211,
    StartsWithoutEnd = 18212,
    IndexEntryMissing = 18217,
    EndOfBrxMissing = 18218,
    TagAfterEndOfBrx = 18219,
    NotAllowedInContext = 18220,
    CnsWithoutEnd = 18401,
    CnsEndWithoutStart = 18402,
    CsWithoutEnd = 18403,
    CsEndWithoutStart = 18404,
    ScWithoutEnd = 18405,
    ScEndWithoutStart = 18406,
    FcWithoutEnd = 18407,
    FcEndWithoutStart = 18408,
    BoldWithoutEnd = 18409,
    BoldEndWithoutStart = 18410,
    ItalicWithoutEnd = 18411,
    ItalicEndWithoutStart = 18412,
    BoldItalicWithoutEnd = 18413,
    BoldItalicEndWithoutStart = 18414,
    CodeWithoutEnd = 18415,
    CodeEndWithoutStart = 18416,
    SWithoutEnd = 18421,
    SEndWithoutStart = 18422,
    NotInsideTextSection = 18510,
    NotInsideIndexEntry = 18512,
    NotInsideIndexLevel = 18513,
    NotInsideSortString = 18514,
    NotInsideBuildingBlock = 18519,
    NotInsideSeeAlso = 18522,
    NotInsideTitle = 18523,
    NotAfterCrossReferenceVariable = 18526,
    NotInsideFrameArticle = 18527,
    InvalidExternalTag = 18611,
    AddedTagNotAllowed = 18612,
    InvalidInternalTag = 18613,
    JapaneseCharacterMissing = 18651,
    ExternalTagsDeletedCount = 18663,
    UnknownExternalTagsDeletedCount = 18664,
    ExternalTagsAddedCount = 18665,
    ExternalTagAdded = 18682,
    ExternalTagTotals = 18702,
    AddedSyntaxNotCounted = 18703,
    AssumingDeleted = 18704,
    AssumingAdded = 18705,
    NotFullyComparedNote = 18706,
    OrderChangedNote = 18707,
    AddedAtEnd = 18708,
    DeletedAtEnd = 18709,
    ExternalTagDeletedWarning = 18710,
    ExternalTagDeletedAlert = 18711,
    ExternalTagDeletedError = 18712,
    UnknownExternalTagDeleted = 18713,
    ExternalTagIllegallyAdded = 18714,
    ExternalTagChanged = 18715,
    InternalTagsDeletedCount = 18733,
    UnknownInternalTagsDeletedCount = 18734,
    InternalTagsAddedCount = 18735,
    UnknownInternalTagsAddedCount = 18736,
    AllInternalTagsAdded = 18751,
    AllInternalTagsDeleted = 18752,
    InternalTagDeletedWarning = 18753,
    InternalTagDeletedAlert = 18754,
    InternalTagDeletedError = 18755,
    UnknownInternalTagDeleted = 18756,
    InternalTagAddedWarning = 18757,
    InternalTagAddedAlert = 18758,
    InternalTagAddedError = 18759,
    UnknownInternalTagAdded = 18760,
};

// The headings of the report's sections, in the order a report has them.
enum class Heading {
    SourceLexical,
    SourceValidity,
    SourceExternalPositioning,
    SourceExternalStructure,
    SourceInternalPositioning,
    SourceInternalStructure,
    TargetLexical,
    TargetValidity,
    TargetExternalPositioning,
    TargetExternalStructure,
    TargetInternalPositioning,
    TargetInternalStructure,
    ExternalTagsReport,
    AddedExternalTagsReport,
    ExternalComparison,
    InternalTagsReport,
    InternalComparison,
};

// The text of a report message; the report's line of a section heading.
std::string_view messageText(MessageId id);
std::string_view headingText(Heading heading);

// printf-style %d, %s, %c and %% with the arguments in order; texts are never cut at a NUL.
std::string formatText(std::string_view pattern, std::span<const MessageArg> args);
// formatText appended to `out`, whose room is reused.
void appendFormatted(std::string& out, std::string_view pattern, std::span<const MessageArg> args);
// The same for message `id`, whose text was cut at its placeholders beforehand.
void appendMessage(std::string& out, MessageId id, std::span<const MessageArg> args);
// One argument as a placeholder shows it.
void appendArgument(std::string& out, const MessageArg& arg);
// Message `id` made afresh, as appendMessage makes it.
std::string formatMessage(MessageId id, std::initializer_list<MessageArg> args = {});

}  // namespace brevo
