#pragma once

#include <string>
#include <string_view>

namespace brevo {

// The directory separator of this platform; every directory ends with it.
inline constexpr char kDirSeparator = '/';

// "dir/a.txt" -> "dir/"; "a.txt" -> "".
std::string directoryOf(std::string_view path);

// "dir" -> "dir/"; an empty directory stays empty.
std::string withTrailingSeparator(std::string directory);

// Names compared as the original platform compares them: ASCII letters without regard to case,
// every other byte as it is.
std::string foldCase(std::string_view text);
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace brevo
