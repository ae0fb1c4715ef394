#include "verify/messages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace brevo {
namespace {

struct MessageRow {
    MessageId id;
    std::string_view text;
};

struct HeadingRow {
    Heading heading;
    std::string_view text;
};

constexpr HeadingRow kHeadings[] = {
    {Heading::SourceLexical, "\nVerify external source tags"},
    {Heading::SourceValidity, "\nVerify validity of source tags"},
    {Heading::SourceExternalPositioning, "\nVerify positioning of external source tags"},
    {Heading::SourceExternalStructure, "\nVerify structure of external source tags"},
    {Heading::SourceInternalPositioning, "\nVerify positioning of internal source tags"},
    {Heading::SourceInternalStructure, "\nVerify structure of internal source tags"},
    {Heading::TargetLexical, "\nVerify external target tags"},
    {Heading::TargetValidity, "\nVerify validity of target tags"},
    {Heading::TargetExternalPositioning, "\nVerify positioning of external target tags"},
    {Heading::TargetExternalStructure, "\nVerify structure of external target tags"},
    {Heading::TargetInternalPositioning, "\nVerify positioning of internal target tags"},
    {Heading::TargetInternalStructure, "\nVerify structure of internal target tags"},
    {Heading::ExternalTagsReport, "\nExternal tags report"},
    {Heading::AddedExternalTagsReport, "\nAdded External tags report"},
    {Heading::ExternalComparison, "\nComparing external tags"},
    {Heading::InternalTagsReport, "\nInternal Tags Report"},
    {Heading::InternalComparison, "\nComparing internal tags"},
};

// Sorted by id.
constexpr MessageRow kMessages[] = {
    {MessageId::BracketCountsDiffer, "[%d] ERROR! Different number of < and >."},
    {MessageId::BracketsInWrongOrder, "[%d] ERROR! > and <: occur in the wrong order."},
    {MessageId::TooManyInternalOpens, "[%d] ERROR! Too many <: in a row."},
    {MessageId::NestedExternalTags, "[%d] ERROR! Nested external tags."},
    {MessageId::RefersToEndOfFile, "The previous message refers to the end of the file."},
    {MessageId::AddedSyntaxInSource,
     "[%d] ERROR! External tags may not be added in the source file using the <#...> syntax."},
    {MessageId::UnknownExternalTag,
     "[%d] ERROR! The external tag %s is unknown to The Brevo Verifier."},
    {MessageId::UnknownInternalTag,
     "[%d] ERROR! The internal tag %s is unknown to The Brevo Verifier."},
    {MessageId::TextAfterEndOfBrx,
     "[%d] ERROR! There may be no text or internal tags after </brx>."},
    {MessageId::TextBeforeNextExternalTag,
     "[%d] ERROR! There may be no text or internal tags between %s and the next external tag."},
    {MessageId::IndexMarkerTooLong,
     "[%d] ERROR! The text in the index marker %s is %d character(s) too long.\nSee the on-line "
     "help system or the User Guide for more information about marker length."},
    {MessageId::TextTooLong, "[%d] ERROR! The text in %s is %d character(s) too long."},
    {MessageId::TextInElementTooLong,
     "[%d] ERROR! The text in %s in %s is %d character(s) too long."},
    {MessageId::EndWithoutStart, "[%d] ERROR! %s without starting tag %s!"},
    {MessageId::StartWithoutEnd, "[%d] ERROR! %s without ending tag %s!"},
    {MessageId::StartsWithoutEnd, "[%d] ERROR! %d occurrences of %s without ending tags %s!"},
    {MessageId::IndexEntryMissing, "[%d] ERROR! %s must be followed by a <ie> tag."},
    {MessageId::EndOfBrxMissing, "[%d] ERROR! </brx> missing at the end of the file."},
    {MessageId::TagAfterEndOfBrx,
     "[%d] ERROR! No tag(s) are allowed after the end of the BRX file (</brx>)."},
    {MessageId::NotAllowedInContext, "[%d] ERROR! %s is not allowed in the context of %s %s."},
    {MessageId::CnsWithoutEnd, "[%d] ERROR! %d <:cns ?> without ending <:/cns>!"},
    {MessageId::CnsEndWithoutStart, "[%d] ERROR! %d <:/cns> without starting <:cns ?>!"},
    {MessageId::CsWithoutEnd, "[%d] ERROR! %d <:cs ?> without ending <:/cs>!"},
    {MessageId::CsEndWithoutStart, "[%d] ERROR! %d <:/cs> without starting <:cs ?>!"},
    {MessageId::ScWithoutEnd, "[%d] ERROR! %d <:sc ?> without ending <:/sc>!"},
    {MessageId::ScEndWithoutStart, "[%d] ERROR! %d <:/sc> without starting <:sc ?>!"},
    {MessageId::FcWithoutEnd, "[%d] ERROR! %d <:fc ?> without ending <:/fc>!"},
    {MessageId::FcEndWithoutStart, "[%d] ERROR! %d <:/fc> without starting <:fc ?>!"},
    {MessageId::BoldWithoutEnd, "[%d] ERROR! %d <:b> without ending <:/b>!"},
    {MessageId::BoldEndWithoutStart, "[%d] ERROR! %d <:/b> without starting <:b>!"},
    {MessageId::ItalicWithoutEnd, "[%d] ERROR! %d <:i> without ending <:/i>!"},
    {MessageId::ItalicEndWithoutStart, "[%d] ERROR! %d <:/i> without starting <:i>!"},
    {MessageId::BoldItalicWithoutEnd, "[%d] ERROR! %d <:bi> without ending <:/bi>!"},
    {MessageId::BoldItalicEndWithoutStart, "[%d] ERROR! %d <:/bi> without starting <:bi>!"},
    {MessageId::CodeWithoutEnd, "[%d] ERROR! %d <:c> without ending <:/c>!"},
    {MessageId::CodeEndWithoutStart, "[%d] ERROR! %d <:/c> without starting <:c>!"},
    {MessageId::SWithoutEnd, "[%d] ERROR! %d <:s> without ending <:/s>!"},
    {MessageId::SEndWithoutStart, "[%d] ERROR! %d <:/s> without starting <:s>!"},
    {MessageId::NotInsideTextSection, "[%d] ERROR! %s may not appear between <ts ?> and </ts>!"},
    {MessageId::NotInsideIndexEntry, "[%d] ERROR! %s may not appear inside an index entry!"},
    {MessageId::NotInsideIndexLevel, "[%d] ERROR! %s may not appear inside an index level!"},
    {MessageId::NotInsideSortString, "[%d] ERROR! %s may not appear inside a sort string!"},
    {MessageId::NotInsideBuildingBlock,
     "[%d] ERROR! %s may not appear inside the external building block %s."},
    {MessageId::NotInsideSeeAlso, "[%d] ERROR! %s may not appear inside a see also!"},
    {MessageId::NotInsideTitle, "[%d] ERROR! %s may not appear between <tl ?> and </tl>!"},
    {MessageId::NotAfterCrossReferenceVariable,
     "[%d] ERROR! %s may not appear after a cross-reference variable!"},
    {MessageId::NotInsideFrameArticle,
     "[%d] ERROR! %s may not appear between <ctart ?> and </ctart>."},
    {MessageId::InvalidExternalTag, "[%d] ERROR! The external tag %s is not a valid tag."},
    {MessageId::AddedTagNotAllowed,
     "[%d] ERROR! You may not add the external tag %s even with the # symbol in front of it."},
    {MessageId::InvalidInternalTag, "[%d] ERROR! The internal tag %s is not a valid tag."},
    {MessageId::JapaneseCharacterMissing,
     "[%d] ALERT! The following Japanese character does not exist in Interleaf and may therefore "
     "not be used: \"%c%c\"."},
    {MessageId::ExternalTagsDeletedCount, "%d occurrence(s) of the external tag %s deleted."},
    {MessageId::UnknownExternalTagsDeletedCount,
     "%d occurrence(s) of the unknown external tag %s deleted."},
    {MessageId::ExternalTagsAddedCount,
     "%d occurrence(s) of the external tag %s added without using the <#...> syntax."},
    {MessageId::ExternalTagAdded, "[%d] WARNING! The external tag %s has been added."},
    {MessageId::ExternalTagTotals,
     "There are %d external tag(s) in the source file and %d in the translated file "},
    {MessageId::AddedSyntaxNotCounted,
     "(not including tags in the translated file that have been added using the <#...> syntax).\n"},
    {MessageId::AssumingDeleted, "Assuming %d external tag(s) deleted, none added.\n"},
    {MessageId::AssumingAdded,
     "Assuming %d external tag(s) added (not using the <#...> syntax), none deleted.\n"},
    {MessageId::NotFullyComparedNote, "\nThe files could not be fully compared!"},
    {MessageId::OrderChangedNote,
     "If you intentionally changed the order of some external tags, and there are no Errors "
     "reported, you can ignore this message.\n"},
    {MessageId::AddedAtEnd, "External tags added at the end of the translated file!"},
    {MessageId::DeletedAtEnd, "External tags deleted at the end of the translated file!"},
    {MessageId::ExternalTagDeletedWarning, "[%d] WARNING! The external tag %s has been deleted."},
    {MessageId::ExternalTagDeletedAlert, "[%d] ALERT! The external tag %s has been deleted."},
    {MessageId::ExternalTagDeletedError, "[%d] ERROR! The external tag %s has been deleted."},
    {MessageId::UnknownExternalTagDeleted,
     "[%d] ERROR! The unknown external tag %s has been deleted."},
    {MessageId::ExternalTagIllegallyAdded,
     "[%d] ERROR! The external tag %s has been illegally added."},
    {MessageId::ExternalTagChanged, "[%d] ALERT! The external tag %s has been changed to %s."},
    {MessageId::InternalTagsDeletedCount, "%d occurrence(s) of the internal tag %s deleted."},
    {MessageId::UnknownInternalTagsDeletedCount,
     "%d occurrence(s) of the unknown internal tag %s deleted."},
    {MessageId::InternalTagsAddedCount, "%d occurrence(s) of the internal tag %s added."},
    {MessageId::UnknownInternalTagsAddedCount,
     "%d occurrence(s) of the unknown internal tag %s added."},
    {MessageId::AllInternalTagsAdded, "All internal tags have been added!\n"},
    {MessageId::AllInternalTagsDeleted, "All internal tags have been deleted!\n"},
    {MessageId::InternalTagDeletedWarning, "[%d] WARNING! The internal tag %s has been deleted."},
    {MessageId::InternalTagDeletedAlert, "[%d] ALERT! The internal tag %s has been deleted."},
    {MessageId::InternalTagDeletedError, "[%d] ERROR! The internal tag %s has been deleted."},
    {MessageId::UnknownInternalTagDeleted,
     "[%d] ERROR! The unknown internal tag %s has been deleted."},
    {MessageId::InternalTagAddedWarning, "[%d] WARNING! The internal tag %s has been added."},
    {MessageId::InternalTagAddedAlert, "[%d] ALERT! The internal tag %s has been added."},
    {MessageId::InternalTagAddedError, "[%d] ERROR! The internal tag %s has been added."},
    {MessageId::UnknownInternalTagAdded, "[%d] ERROR! The unknown internal tag %s has been added."},
};

constexpr int kFirstMessage = static_cast<int>(kMessages[0].id);
constexpr int kLastMessage = static_cast<int>(std::end(kMessages)[-1].id);

// Every finding looks its message up, so each number has the place of its row, from 1; 0
// where no message has that number.
static_assert(std::size(kMessages) < 256);
constexpr auto kRowByNumber = [] {
    std::array<std::uint8_t, kLastMessage - kFirstMessage + 1> rows{};
    for (std::size_t row = 0; row < std::size(kMessages); ++row) {
        const int number = static_cast<int>(kMessages[row].id);
        rows[static_cast<std::size_t>(number - kFirstMessage)] = static_cast<std::uint8_t>(row + 1);
    }
    return rows;
}();

const MessageRow* rowOf(MessageId id) {
    const int number = static_cast<int>(id);
    if (number < kFirstMessage || number > kLastMessage) return nullptr;
    const std::uint8_t row = kRowByNumber[static_cast<std::size_t>(number - kFirstMessage)];
    return row == 0 ? nullptr : &kMessages[row - 1];
}

// A message's text cut at its placeholders: each piece is copied as it stands, and an
// argument follows it where it ended at a placeholder. "%%" leaves one "%" at the end of its
// piece; a "%" that ends the text stays in the last piece.
struct CutMessage {
    static constexpr std::size_t kMostPieces = 6;
    std::array<std::string_view, kMostPieces> pieces{};
    std::array<bool, kMostPieces> argumentAfter{};
    std::size_t count = 0;
    std::size_t pieceBytes = 0;

    constexpr void add(std::string_view piece, bool argument) {
        pieces[count] = piece;  // past kMostPieces this stops the build
        argumentAfter[count++] = argument;
        pieceBytes += piece.size();
    }
};

constexpr CutMessage cutMessage(std::string_view text) {
    CutMessage cut;
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        const bool percent = text[i + 1] == '%';
        cut.add(text.substr(start, i + (percent ? 1 : 0) - start), !percent);
        start = ++i + 1;
    }
    cut.add(text.substr(std::min(start, text.size())), false);
    return cut;
}

// Cut while compiling: looking for the placeholders of every finding's message each time
// would cost more than copying it.
constexpr auto kCutMessages = [] {
    std::array<CutMessage, std::size(kMessages)> cuts{};
    for (std::size_t row = 0; row < std::size(kMessages); ++row) {
        cuts[row] = cutMessage(kMessages[row].text);
    }
    return cuts;
}();

// The most bytes an argument can take: a number's digits and sign, a text's bytes.
std::size_t argumentRoom(const MessageArg& arg) {
    if (const auto* text = std::get_if<std::string_view>(&arg)) return text->size();
    return std::numeric_limits<long long>::digits10 + 2;
}

char* putArgument(char* out, const MessageArg& arg) {
    if (const auto* number = std::get_if<long long>(&arg)) {
        return std::to_chars(out, out + argumentRoom(arg), *number).ptr;
    }
    if (const auto* text = std::get_if<std::string_view>(&arg)) {
        if (!text->empty()) std::memcpy(out, text->data(), text->size());
        return out + text->size();
    }
    *out = std::get<char>(arg);
    return out + 1;
}

}  // namespace

std::string_view messageText(MessageId id) {
    const MessageRow* row = rowOf(id);
    return row != nullptr ? row->text : std::string_view();
}

void appendMessage(std::string& out, MessageId id, std::span<const MessageArg> args) {
    const MessageRow* row = rowOf(id);
    if (row == nullptr) return;
    const CutMessage& cut = kCutMessages[static_cast<std::size_t>(row - kMessages)];
    std::size_t most = cut.pieceBytes;
    for (const MessageArg& arg : args) most += argumentRoom(arg);
    // Room for the longest the message can be, given back once it is written.
    const std::size_t start = out.size();
    out.resize(start + most);
    char* const begin = out.data();
    char* end = begin + start;
    auto next = args.begin();
    for (std::size_t i = 0; i < cut.count; ++i) {
        const std::string_view piece = cut.pieces[i];
        if (!piece.empty()) std::memcpy(end, piece.data(), piece.size());
        end += piece.size();
        if (cut.argumentAfter[i] && next != args.end()) end = putArgument(end, *next++);
    }
    out.resize(static_cast<std::size_t>(end - begin));
}

std::string_view headingText(Heading heading) {
    for (const HeadingRow& row : kHeadings) {
        if (row.heading == heading) return row.text;
    }
    return {};
}

void appendArgument(std::string& out, const MessageArg& arg) {
    const std::size_t start = out.size();
    out.resize(start + argumentRoom(arg));
    out.resize(static_cast<std::size_t>(putArgument(out.data() + start, arg) - out.data()));
}

void appendFormatted(std::string& out, std::string_view pattern, std::span<const MessageArg> args) {
    auto next = args.begin();
    const char* p = pattern.data();
    const char* const end = p + pattern.size();
    while (p < end) {
        // Text between placeholders goes over in one piece.
        const void* found = std::memchr(p, '%', static_cast<std::size_t>(end - p));
        const char* percent = found ? static_cast<const char*>(found) : end;
        out.append(p, percent);
        if (percent == end) break;
        p = percent + 1;
        // A "%" at the very end stands for itself.
        if (p == end) {
            out += '%';
            break;
        }
        const char kind = *p++;
        if (kind == '%') {
            out += '%';
        } else if (next != args.end()) {
            appendArgument(out, *next++);
        }
    }
}

std::string formatText(std::string_view pattern, std::span<const MessageArg> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    appendFormatted(out, pattern, args);
    return out;
}

std::string formatMessage(MessageId id, std::initializer_list<MessageArg> args) {
    std::string out;
    appendMessage(out, id, std::span<const MessageArg>(args.begin(), args.size()));
    return out;
}

}  // namespace brevo
