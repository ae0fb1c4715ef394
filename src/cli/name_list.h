#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevo::cli {

// The names of a list such as `find` or `ls` writes: one a line, in order. Line ends may be
// CR LF; empty lines and a UTF-8 byte order mark in front are skipped. Everything else on a
// line, spaces too, is part of the name.
std::vector<std::string> namesOfList(std::string_view text);

// The whole of the list file `path`, or of standard input for "-". Throws FileFailure naming
// `path`; a named list must be a regular file.
std::string readList(const std::string& path);

}  // namespace brevo::cli
