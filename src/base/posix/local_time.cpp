#include "base/local_time.h"

namespace brevo {

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}

}  // namespace brevo
