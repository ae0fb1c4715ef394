#pragma once

#include <string>
#include <vector>

namespace brevo::app {

// Saves the results list, one line each ended by CR LF. The file takes its place only when
// complete, so a failed save leaves an earlier file as it was. On failure, the two lines that
// say so for the results list: the cause and "Filename:" with the file's name.
std::vector<std::string> saveResults(const std::string& path,
                                     const std::vector<std::string>& lines);

}  // namespace brevo::app
