#pragma once

#include <string>
#include <string_view>

namespace brevo {

// Text of a file in its code page ("1252", "932", ...) as UTF-8. A byte that does not convert
// is kept as the character of its Latin-1 reading, never dropped.
std::string codePageToUtf8(std::string_view bytes, int codePage);

// Text that should be UTF-8 already, such as a file name: valid sequences pass, every other
// byte becomes the character of its Latin-1 reading.
std::string asUtf8(std::string_view bytes);

}  // namespace brevo
