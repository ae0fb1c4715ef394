#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevo {

// `byte` read as Latin-1, added to `out` as UTF-8.
void appendLatin1(std::string& out, unsigned char byte);

// Text in a Windows code page (1252, 932, ...) as UTF-8. A byte that does not convert is kept
// as the character of its Latin-1 reading, never dropped. Nothing when the system does not
// know the code page.
std::optional<std::string> utf8FromCodePage(std::string_view bytes, int codePage);

// UTF-8 text, such as a file name, in a Windows code page: only when it is valid UTF-8 and
// every character of it exists in the code page, with no near match put in its place.
std::optional<std::string> codePageFromUtf8(std::string_view utf8, int codePage);

}  // namespace brevo
