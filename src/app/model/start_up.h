#pragma once

#include <string>
#include <vector>

namespace brevo::app {

// The splash is left out when another program starts this one: "/Embedding", "-Automation"
// and the like, in any case. Every other argument is ignored.
bool splashEnabled(const std::vector<std::string>& arguments);

}  // namespace brevo::app
