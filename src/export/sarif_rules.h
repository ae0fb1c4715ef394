#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "verify/messages.h"

namespace brevo {

// What a code review tool shows for a kind of finding: a name and a sentence that stand
// without the finding's values.
struct SarifRule {
    MessageId id;
    std::string_view name;
    std::string_view description;
};

// The rule of a counted message; nothing for a message that is never a finding.
std::optional<SarifRule> sarifRule(MessageId id);

// A message text with its printf placeholders numbered as SARIF writes them: "[%d] ... %s"
// becomes "[{0}] ... {1}". A "%c%c" pair, the two bytes of one character, is one placeholder,
// and braces are doubled.
std::string sarifMessageString(std::string_view printfText);

// The values a message was formatted with, grouped as sarifMessageString numbers them.
std::vector<std::string> sarifArguments(std::string_view printfText,
                                        const std::vector<std::string>& values);

}  // namespace brevo
