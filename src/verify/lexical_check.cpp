#include "verify/lexical_check.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "verify/bracket_walk.h"

namespace brevo {
namespace {

// The first bracket fault of `text`, if any.
std::optional<MessageId> bracketFault(std::string_view text) {
    return walkBrackets(text, text.size(), [](std::string_view) {});
}

class LexicalPass {
public:
    LexicalPass(TextStore& text, Findings& findings) : text_(text), findings_(findings) {}

    void run(std::vector<Segment>& segments) {
        for (Segment& segment : segments) {
            if (segment.tagText().empty()) {
                holdTagless(segment);
                continue;
            }
            // A message on held text points where that text began.
            const Segment& start = pendingFlag_ ? *heldFrom_ : segment;
            if (pendingFlag_) placePending(segment);
            checkSegment(segment, start);
        }
        // A file that ends in tagless segments has nothing to put them in front of.
        if (pendingFlag_) {
            checkSegment(segments.back(), segments.back());
            findings_.note(formatMessage(MessageId::RefersToEndOfFile));
        }
    }

private:
    void holdTagless(const Segment& segment) {
        if (!pendingFlag_) heldFrom_ = &segment;
        pending_ += segment.text;
        ++steps_;
        pendingFlag_ = true;
    }

    // The held text goes in front of the segment, and is copied with it and with the whole
    // of its tag, which may run past its text.
    void placePending(Segment& segment) {
        pendingFlag_ = false;
        const std::size_t held = pending_.size();
        if (held > UINT32_MAX - segment.tagStart) throw std::bad_alloc();
        const std::size_t tagEnd = std::size_t{segment.tagStart} + segment.tagLength;
        pending_.append(segment.text.data(), std::max(segment.text.size(), tagEnd));
        const std::size_t size = held + segment.text.size();
        segment.tagStart += static_cast<std::uint32_t>(held);
        segment.text = text_.keep(pending_).substr(0, size);
        pending_.clear();
    }

    void checkSegment(const Segment& segment, const Segment& start) {
        if (const auto fault = bracketFault(segment.text)) {
            report(*fault, segment, start);
        } else if (lastReported_ < steps_) {
            // Tagless text since the last message: an external tag began inside another tag.
            report(MessageId::NestedExternalTags, segment, start);
        }
    }

    void report(MessageId id, const Segment& segment, const Segment& start) {
        findings_.reportWithSegment(Severity::Error, id, {}, segment, findings_.refsTo(start),
                                    Marking::Plain);
        ++steps_;
        lastReported_ = steps_;
    }

    TextStore& text_;
    Findings& findings_;
    std::string pending_;
    const Segment* heldFrom_ = nullptr;  // the first tagless segment held, while pendingFlag_
    bool pendingFlag_ = false;
    long long steps_ = 0;
    long long lastReported_ = 0;
};

}  // namespace

// Every tagless segment is reported, whatever its brackets, so a file without one and without a
// bracket fault gets no message and no change.
bool isLexicallyClean(const std::vector<Segment>& segments) {
    for (const Segment& segment : segments) {
        if (segment.tagText().empty() || bracketFault(segment.text)) return false;
    }
    return true;
}

void checkLexical(std::vector<Segment>& segments, TextStore& text, Findings& findings) {
    LexicalPass(text, findings).run(segments);
}

}  // namespace brevo
