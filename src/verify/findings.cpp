#include "verify/findings.h"

#include <vector>

namespace brevo {

void Findings::count(Severity severity) {
    ++messageCount;
    if (severity == Severity::Alert) ++alertCount;
    if (severity == Severity::Warning) ++warningCount;
}

std::string Findings::numbered(Severity severity, int id, std::initializer_list<MessageArg> args) {
    count(severity);
    std::vector<MessageArg> all;
    all.reserve(args.size() + 1);
    all.emplace_back(static_cast<long long>(messageCount));
    all.insert(all.end(), args.begin(), args.end());
    return formatText(messageText(id), all);
}

std::string Findings::counted(Severity severity, int id, std::initializer_list<MessageArg> args) {
    count(severity);
    return formatMessage(id, args);
}

}  // namespace brevo
