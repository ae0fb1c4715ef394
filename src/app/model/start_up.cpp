#include "app/model/start_up.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace brevo::app {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool isSwitch(std::string_view argument, std::string_view name) {
    if (argument.empty() || (argument[0] != '/' && argument[0] != '-')) return false;
    return equalIgnoringCase(argument.substr(1), name);
}

}  // namespace

bool splashEnabled(const std::vector<std::string>& arguments) {
    return std::none_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return isSwitch(argument, "Embedding") || isSwitch(argument, "Automation");
    });
}

}  // namespace brevo::app
