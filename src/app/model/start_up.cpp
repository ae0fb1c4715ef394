#include "app/model/start_up.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "base/file_names.h"

namespace brevo::app {
namespace {

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
