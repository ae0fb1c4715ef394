#pragma once

// Names and texts at the edge of the Windows interface, which takes UTF-16. The core holds
// every name as UTF-8, so that any name the file system has can be given and shown.

#include <string>
#include <string_view>

namespace brevo::windows {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

// A file name for the wide file interface: "/" as "\", and a name too long for the ordinary
// interface as the absolute "\\?\" name that has no length limit.
std::wstring widePath(std::string_view path);

// A wide name with "\" alone, in the long form once it is too long for the ordinary interface.
std::wstring withLongForm(std::wstring path);

}  // namespace brevo::windows
