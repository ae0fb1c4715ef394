#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brevo::app {

// Saves the results list, one line each ended by CR LF. The file takes its place only when
// complete, so a failed save leaves an earlier file as it was. On failure, the two lines that
// say so for the results list: the cause and "Filename:" with the file's name.
std::vector<std::string> saveResults(const std::string& path,
                                     const std::vector<std::string>& lines);

// The report of the pair that a results line belongs to, when that report exists: the line
// itself or the nearest "Verifying" line above it in the same block names the file.
std::optional<std::string> reportOfResultLine(const std::vector<std::string>& lines,
                                              std::size_t row);

}  // namespace brevo::app
