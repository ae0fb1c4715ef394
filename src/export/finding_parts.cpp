#include "export/finding_parts.h"

#include <array>

#include "export/text_encoding.h"

namespace brevo {

std::optional<std::uint32_t> lineOf(const Finding& finding, Side side) {
    for (const SegmentRef& segment : finding.segments) {
        if (segment.side == side && segment.line != 0) return segment.line;
    }
    return std::nullopt;
}

std::string findingTextUtf8(std::string_view text, const Finding& finding,
                            const PairOutcome& outcome) {
    const Side side = finding.segments.empty() ? finding.file : finding.segments.front().side;
    return codePageToUtf8(text,
                          side == Side::Target ? outcome.targetCodePage : outcome.sourceCodePage);
}

std::string messageUtf8(const Finding& finding, const PairOutcome& outcome) {
    return findingTextUtf8(finding.text, finding, outcome);
}

std::string_view diagnosticLevel(Severity severity) {
    switch (severity) {
        case Severity::Alert:
            return "warning";
        case Severity::Warning:
            return "note";
        case Severity::Error:
            break;
    }
    return "error";
}

std::string_view withoutNumberAndSeverity(std::string_view message) {
    static constexpr std::array<std::string_view, 3> kSeverities = {"ERROR! ", "ALERT! ",
                                                                    "WARNING! "};
    if (!message.starts_with('[')) return message;
    const std::size_t close = message.find("] ");
    if (close == std::string_view::npos) return message;
    const std::string_view rest = message.substr(close + 2);
    for (std::string_view severity : kSeverities) {
        if (rest.starts_with(severity)) return rest.substr(severity.size());
    }
    return message;
}

}  // namespace brevo
