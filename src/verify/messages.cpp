#include "verify/messages.h"

#include <algorithm>
#include <charconv>

namespace brevo {
namespace {

struct MessageRow {
    int id;
    std::string_view text;
};

// Sorted by id.
constexpr MessageRow kMessages[] = {
    {18051, "[%d] ERROR! Different number of < and >."},
    {18052, "[%d] ERROR! > and <: occur in the wrong order."},
    {18053, "[%d] ERROR! Too many <: in a row."},
    {18054, "[%d] ERROR! Nested external tags."},
    {18055, "The previous message refers to the end of the file."},
    {18070, "\nVerify validity of source tags"},
    {18071,
     "[%d] ERROR! External tags may not be added in the source file using the <#...> syntax."},
    {18072, "[%d] ERROR! The external tag %s is unknown to The Brevo Verifier."},
    {18074, "[%d] ERROR! The internal tag %s is unknown to The Brevo Verifier."},
    {18100, "\nVerify positioning of external source tags"},
    {18110, "[%d] ERROR! There may be no text or internal tags after </brx>."},
    {18111,
     "[%d] ERROR! There may be no text or internal tags between %s and the next external tag."},
    {18113,
     "[%d] ERROR! The text in the index marker %s is %d character(s) too long.\nSee the on-line "
     "help system or the User Guide for more information about marker length."},
    {18115, "[%d] ERROR! The text in %s is %d character(s) too long."},
    {18116, "[%d] ERROR! The text in %s in %s is %d character(s) too long."},
    {18200, "\nVerify structure of external source tags"},
    {18210, "[%d] ERROR! %s without starting tag %s!"},
    {18211, "[%d] ERROR! %s without ending tag %s!"},
    {18212, "[%d] ERROR! %d occurrences of %s without ending tags %s!"},
    {18217, "[%d] ERROR! %s must be followed by a <ie> tag."},
    {18218, "[%d] ERROR! </brx> missing at the end of the file."},
    {18219, "[%d] ERROR! No tag(s) are allowed after the end of the BRX file (</brx>)."},
    {18220, "[%d] ERROR! %s is not allowed in the context of %s %s."},
    {18400, "\nVerify positioning of internal source tags"},
    {18401, "[%d] ERROR! %d <:cns ?> without ending <:/cns>!"},
    {18402, "[%d] ERROR! %d <:/cns> without starting <:cns ?>!"},
    {18403, "[%d] ERROR! %d <:cs ?> without ending <:/cs>!"},
    {18404, "[%d] ERROR! %d <:/cs> without starting <:cs ?>!"},
    {18405, "[%d] ERROR! %d <:sc ?> without ending <:/sc>!"},
    {18406, "[%d] ERROR! %d <:/sc> without starting <:sc ?>!"},
    {18407, "[%d] ERROR! %d <:fc ?> without ending <:/fc>!"},
    {18408, "[%d] ERROR! %d <:/fc> without starting <:fc ?>!"},
    {18409, "[%d] ERROR! %d <:b> without ending <:/b>!"},
    {18410, "[%d] ERROR! %d <:/b> without starting <:b>!"},
    {18411, "[%d] ERROR! %d <:i> without ending <:/i>!"},
    {18412, "[%d] ERROR! %d <:/i> without starting <:i>!"},
    {18413, "[%d] ERROR! %d <:bi> without ending <:/bi>!"},
    {18414, "[%d] ERROR! %d <:/bi> without starting <:bi>!"},
    {18415, "[%d] ERROR! %d <:c> without ending <:/c>!"},
    {18416, "[%d] ERROR! %d <:/c> without starting <:c>!"},
    {18421, "[%d] ERROR! %d <:s> without ending <:/s>!"},
    {18422, "[%d] ERROR! %d <:/s> without starting <:s>!"},
    {18500, "\nVerify structure of internal source tags"},
    {18510, "[%d] ERROR! %s may not appear between <ts ?> and </ts>!"},
    {18512, "[%d] ERROR! %s may not appear inside an index entry!"},
    {18513, "[%d] ERROR! %s may not appear inside an index level!"},
    {18514, "[%d] ERROR! %s may not appear inside a sort string!"},
    {18519, "[%d] ERROR! %s may not appear inside the external building block %s."},
    {18522, "[%d] ERROR! %s may not appear inside a see also!"},
    {18523, "[%d] ERROR! %s may not appear between <tl ?> and </tl>!"},
    {18526, "[%d] ERROR! %s may not appear after a cross-reference variable!"},
    {18527, "[%d] ERROR! %s may not appear between <ctart ?> and </ctart>."},
    {18610, "\nVerify validity of target tags"},
    {18611, "[%d] ERROR! The external tag %s is not a valid tag."},
    {18612,
     "[%d] ERROR! You may not add the external tag %s even with the # symbol in front of it."},
    {18613, "[%d] ERROR! The internal tag %s is not a valid tag."},
    {18620, "\nVerify positioning of external target tags"},
    {18630, "\nVerify structure of external target tags"},
    {18640, "\nVerify positioning of internal target tags"},
    {18650, "\nVerify structure of internal target tags"},
    {18651,
     "[%d] ALERT! The following Japanese character does not exist in Interleaf and may therefore "
     "not be used: \"%c%c\"."},
    {18663, "%d occurrence(s) of the external tag %s deleted."},
    {18664, "%d occurrence(s) of the unknown external tag %s deleted."},
    {18665, "%d occurrence(s) of the external tag %s added without using the <#...> syntax."},
    {18682, "[%d] WARNING! The external tag %s has been added."},
    {18702, "There are %d external tag(s) in the source file and %d in the translated file "},
    {18703,
     "(not including tags in the translated file that have been added using the <#...> syntax).\n"},
    {18704, "Assuming %d external tag(s) deleted, none added.\n"},
    {18705, "Assuming %d external tag(s) added (not using the <#...> syntax), none deleted.\n"},
    {18706, "\nThe files could not be fully compared!"},
    {18707,
     "If you intentionally changed the order of some external tags, and there are no Errors "
     "reported, you can ignore this message.\n"},
    {18708, "External tags added at the end of the translated file!"},
    {18709, "External tags deleted at the end of the translated file!"},
    {18710, "[%d] WARNING! The external tag %s has been deleted."},
    {18711, "[%d] ALERT! The external tag %s has been deleted."},
    {18712, "[%d] ERROR! The external tag %s has been deleted."},
    {18713, "[%d] ERROR! The unknown external tag %s has been deleted."},
    {18714, "[%d] ERROR! The external tag %s has been illegally added."},
    {18715, "[%d] ALERT! The external tag %s has been changed to %s."},
    {18733, "%d occurrence(s) of the internal tag %s deleted."},
    {18734, "%d occurrence(s) of the unknown internal tag %s deleted."},
    {18735, "%d occurrence(s) of the internal tag %s added."},
    {18736, "%d occurrence(s) of the unknown internal tag %s added."},
    {18751, "All internal tags have been added!\n"},
    {18752, "All internal tags have been deleted!\n"},
    {18753, "[%d] WARNING! The internal tag %s has been deleted."},
    {18754, "[%d] ALERT! The internal tag %s has been deleted."},
    {18755, "[%d] ERROR! The internal tag %s has been deleted."},
    {18756, "[%d] ERROR! The unknown internal tag %s has been deleted."},
    {18757, "[%d] WARNING! The internal tag %s has been added."},
    {18758, "[%d] ALERT! The internal tag %s has been added."},
    {18759, "[%d] ERROR! The internal tag %s has been added."},
    {18760, "[%d] ERROR! The unknown internal tag %s has been added."},
};

}  // namespace

std::string_view messageText(int id) {
    auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), id,
                               [](const MessageRow& row, int key) { return row.id < key; });
    return it != std::end(kMessages) && it->id == id ? it->text : std::string_view();
}

std::string formatText(std::string_view pattern, std::span<const MessageArg> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    // Text between placeholders goes over in one piece.
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t percent = std::min(pattern.find('%', i), pattern.size() - 1);
        out.append(pattern, i, percent - i);
        i = percent;
        char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        char kind = pattern[++i];
        if (kind == '%') {
            out += '%';
            continue;
        }
        if (next == args.end()) continue;
        const MessageArg& arg = *next++;
        if (const auto* number = std::get_if<long long>(&arg)) {
            char digits[24];
            out.append(digits, std::to_chars(digits, digits + sizeof digits, *number).ptr);
        } else if (const auto* text = std::get_if<std::string_view>(&arg)) {
            out += *text;
        } else if (const auto* byte = std::get_if<char>(&arg)) {
            out += *byte;
        }
    }
    return out;
}

std::string formatMessage(int id, std::initializer_list<MessageArg> args) {
    return formatText(messageText(id), std::span<const MessageArg>(args.begin(), args.size()));
}

}  // namespace brevo
