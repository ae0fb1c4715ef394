#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace brevo {

// A value for a placeholder: %d takes a number, %s a text (NUL bytes included), %c one byte.
using MessageArg = std::variant<long long, std::string_view, char>;

// The text of a report message by its number; empty for an unknown number.
std::string_view messageText(int id);

// printf-style %d, %s, %c and %% with the arguments in order; texts are never cut at a NUL.
std::string formatText(std::string_view pattern, std::span<const MessageArg> args);
std::string formatMessage(int id, std::initializer_list<MessageArg> args = {});

}  // namespace brevo
