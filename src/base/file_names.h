#pragma once

#include <string>
#include <string_view>

namespace brevo {

// The directory separator of this platform; every directory ends with it. Windows takes "/"
// as well, and names are written with "\\" there as its users see them.
#if defined(_WIN32)
inline constexpr char kDirSeparator = '\\';
#else
inline constexpr char kDirSeparator = '/';
#endif

constexpr bool isDirSeparator(char c) {
    return c == '/' || c == kDirSeparator;
}

// A name as given, with every "/" written as this platform's separator.
std::string withNativeSeparators(std::string path);

// "dir/a.txt" -> "dir/"; "a.txt" -> "".
std::string directoryOf(std::string_view path);

// "dir" -> "dir/"; an empty directory stays empty.
std::string withTrailingSeparator(std::string directory);

// Names compared as the original platform compares them: ASCII letters without regard to case,
// every other byte as it is.
std::string foldCase(std::string_view text);
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace brevo
