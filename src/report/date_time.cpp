#include "report/date_time.h"

#include <array>
#include <cstdio>

#include "base/local_time.h"

namespace brevo {

std::string detail::longDateTime(std::time_t when) {
    static constexpr std::array<const char*, 7> kDays = {
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static constexpr std::array<const char*, 12> kMonths = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const std::tm local = localTime(when);
    // Spelled out by hand so that the process locale cannot change it.
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s, %s %02d, %04d, %02d:%02d:%02d",
                  kDays[static_cast<std::size_t>(local.tm_wday) % 7],
                  kMonths[static_cast<std::size_t>(local.tm_mon) % 12], local.tm_mday,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

std::string longDateTimeNow() {
    return detail::longDateTime(std::time(nullptr));
}

}  // namespace brevo
