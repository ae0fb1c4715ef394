#include "base/local_time.h"

namespace brevo {

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}

}  // namespace brevo
