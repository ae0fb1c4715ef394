#include "verify/findings.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace brevo {

void Findings::count(Severity severity) {
    ++messageCount;
    if (severity == Severity::Alert) ++alertCount;
    if (severity == Severity::Warning) ++warningCount;
}

std::string Findings::numbered(Severity severity, int id, std::initializer_list<MessageArg> args) {
    count(severity);
    // Messages have a few arguments at most; the list is kept off the heap.
    constexpr std::size_t kMostArgs = 8;
    if (args.size() >= kMostArgs) {
        std::vector<MessageArg> all{static_cast<long long>(messageCount)};
        all.insert(all.end(), args.begin(), args.end());
        return formatText(messageText(id), all);
    }
    std::array<MessageArg, kMostArgs> all;
    all[0] = static_cast<long long>(messageCount);
    std::copy(args.begin(), args.end(), all.begin() + 1);
    return formatText(messageText(id), std::span(all.data(), args.size() + 1));
}

std::string Findings::counted(Severity severity, int id, std::initializer_list<MessageArg> args) {
    count(severity);
    return formatMessage(id, args);
}

}  // namespace brevo
