#include "verify/lexical_check.h"

#include <string>
#include <string_view>

#include "brx/bracket_scan.h"

namespace brevo {
namespace {

constexpr int kMaxDepth = 3;

constexpr int kUnbalanced = 18051;
constexpr int kWrongOrder = 18052;
constexpr int kTooDeep = 18053;
constexpr int kNestedExternal = 18054;
constexpr int kEndOfFile = 18055;

// The first bracket fault of `text`, or 0. Balanced counts come first: only then is the
// order and depth walk meaningful. Depth changes only at brackets, so only they are visited.
int bracketFault(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    long long opens = 0;
    long long closes = 0;
    int depth = 0;
    int walkFault = 0;
    while ((p = findBracket(p, end)) < end) {
        if (*p++ == '<') {
            ++opens;
            ++depth;
        } else {
            ++closes;
            --depth;
        }
        if (walkFault == 0 && depth < 0) walkFault = kWrongOrder;
        if (walkFault == 0 && depth > kMaxDepth) walkFault = kTooDeep;
    }
    return opens != closes ? kUnbalanced : walkFault;
}

class LexicalPass {
public:
    explicit LexicalPass(Findings& findings) : findings_(findings) {}

    void run(std::vector<Segment>& segments) {
        for (Segment& segment : segments) {
            if (segment.tagText.empty()) {
                holdTagless(segment);
                continue;
            }
            if (pendingFlag_) placePending(segment);
            checkSegment(segment);
        }
        // A file that ends in tagless segments has nothing to put them in front of.
        if (pendingFlag_) {
            checkSegment(segments.back());
            findings_.addLine(formatMessage(kEndOfFile));
        }
    }

private:
    void holdTagless(const Segment& segment) {
        pending_ += segment.text;
        ++steps_;
        pendingFlag_ = true;
    }

    void placePending(Segment& segment) {
        pendingFlag_ = false;
        pending_ += segment.text;
        segment.text.swap(pending_);
        pending_.clear();
    }

    void checkSegment(const Segment& segment) {
        if (int fault = bracketFault(segment.text)) {
            report(fault, segment);
        } else if (lastReported_ < steps_) {
            // Tagless text since the last message: an external tag began inside another tag.
            report(kNestedExternal, segment);
        }
    }

    void report(int id, const Segment& segment) {
        findings_.reportWithSegment(findings_.numbered(Severity::Error, id), segment.text, false);
        ++steps_;
        lastReported_ = steps_;
    }

    Findings& findings_;
    std::string pending_;
    bool pendingFlag_ = false;
    long long steps_ = 0;
    long long lastReported_ = 0;
};

}  // namespace

void checkLexical(std::vector<Segment>& segments, Findings& findings) {
    LexicalPass(findings).run(segments);
}

}  // namespace brevo
