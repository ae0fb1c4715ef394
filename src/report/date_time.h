#pragma once

#include <ctime>
#include <string>

namespace brevo {

// The long local date and time, e.g. "Monday, December 07, 2026, 03:40:16" (C locale).
std::string longDateTimeNow();

namespace detail {
std::string longDateTime(std::time_t when);
}  // namespace detail

}  // namespace brevo
