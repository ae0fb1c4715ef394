#pragma once

#include <ctime>

namespace brevo {

// `when` on the local clock, safely from any thread.
std::tm localTime(std::time_t when);

}  // namespace brevo
