#include "verify/external_structure.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace brevo {
namespace {

// The context before the header has opened; no tag has this id.
constexpr std::int32_t kNoContext = 124;
constexpr std::int32_t kHeaderId = 35;
constexpr std::int32_t kFileId = 72;
constexpr std::int32_t kPageId = 8;
constexpr std::int32_t kIndexMarkerId = 29;

// Context ids in one bit set, so a rule check costs the same however many contexts it allows.
class ContextSet {
public:
    constexpr ContextSet() = default;
    constexpr ContextSet(std::initializer_list<std::int32_t> ids) {
        for (std::int32_t id : ids) {
            bits_[static_cast<std::size_t>(id / 64)] |= std::uint64_t{1} << (id % 64);
        }
    }
    constexpr bool contains(std::int32_t id) const {
        return id >= 0 && id < 128 &&
               ((bits_[static_cast<std::size_t>(id / 64)] >> (id % 64)) & 1) != 0;
    }

private:
    std::array<std::uint64_t, 2> bits_{};
};

// Elements in the order in which open ones are looked for when a page, file or header ends.
enum Element : std::size_t {
    kFile,
    kPage,
    kTr,
    kTs,
    kTl,
    kAf,
    kTb,
    kRow,
    kCt,
    kCtart,
    kFn,
    kImk,
    kXrv,
    kPnfmt,
    kVfmt,
    kPgfmt,
    kAnfmt,
    kHeader,
    kElementCount
};

struct ElementRule {
    std::int32_t openId;
    std::int32_t closeId;
    std::string_view contextName;
    std::string_view startName;  // how an element left open is named
    ContextSet allowedIn;
};

constexpr ContextSet kTextContexts{4, 8, 51, 67, 69};

constexpr std::array<ElementRule, kElementCount> kElements = {{
    {72, 73, "<file> to </file>", "<file>", {35}},
    {8, 9, "<page> to </page>", "<page>", {35, 72}},
    {4, 5, "<tr ?> to </tr>", "<tr ?>", {18}},
    {6, 7, "<ts ?> to </ts>", "<ts ?>", {18}},
    {15, 16, "<tl ?> to </tl>", "<tl ?>", {18}},
    {18, 19, "<af ?> to </af>", "<af ?>", {8, 23, 25, 67, 69, 72}},
    {37, 38, "<tb ?> to </tb>", "<tb ?>", {8}},
    {47, 48, "<row ?> to </row>", "<row ?>", {37}},
    {51, 52, "<ct ?> to </ct>", "<ct ?>", {47}},
    {25, 26, "<ctart ?> to </ctart>", "<ctart ?>", {47}},
    {23, 24, "<fn ?> to </fn>", "<fn ?>", {8, 67, 69}},
    {29, 30, "<imk ?> to </imk>", "<imk ?>", kTextContexts},
    {2, 3, "<xrv ?> to </xrv>", "<xrv ?>", kTextContexts},
    {69, 70, "<pnfmt ?> to </pnfmt>", "<pnfmt ?>", {72}},
    {67, 68, "<vfmt ?> to </vfmt>", "<vfmt ?>", {72}},
    {64, 65, "<pgfmt ?> to </pgfmt>", "<pgfmt ?>", {72}},
    {62, 63, "<anfmt ?> to </anfmt>", "<anfmt ?>", {72}},
    {35, 36, "<brx \"I2.xx\"> to </brx>", "", {kNoContext}},
}};

enum class Action {
    None,
    Open,
    Close,
    Standalone,
    Page,
    EndPage,
    File,
    EndFile,
    Header,
    EndHeader,
    IndexMarker,
    EndIndexMarker,
    IndexEntry,
    IndexElement,  // <il>, <ss>, <sa>: only after the <ie> of a marker
};

struct TagRule {
    Action action = Action::None;
    Element element = kElementCount;
    ContextSet allowedIn;  // for tags that open nothing
};

constexpr std::size_t kRuleCount = 128;

constexpr std::array<TagRule, kRuleCount> makeTagRules() {
    std::array<TagRule, kRuleCount> rules{};
    for (std::size_t e = 0; e < kHeader; ++e) {
        const auto element = static_cast<Element>(e);
        rules[static_cast<std::size_t>(kElements[e].openId)] = {Action::Open, element, {}};
        rules[static_cast<std::size_t>(kElements[e].closeId)] = {Action::Close, element, {}};
    }
    rules[8] = {Action::Page, kPage, {}};
    rules[9] = {Action::EndPage, kPage, {}};
    rules[72] = {Action::File, kFile, {}};
    rules[73] = {Action::EndFile, kFile, {}};
    rules[35] = {Action::Header, kHeader, {}};
    rules[36] = {Action::EndHeader, kHeader, {}};
    rules[29] = {Action::IndexMarker, kImk, {}};
    rules[30] = {Action::EndIndexMarker, kImk, {}};
    rules[31] = {Action::IndexEntry, kElementCount, {}};
    for (std::size_t id : {32u, 33u, 34u}) rules[id] = {Action::IndexElement, kElementCount, {}};

    const auto standalone = [&rules](std::initializer_list<std::size_t> ids, ContextSet in) {
        for (std::size_t id : ids) rules[id] = {Action::Standalone, kElementCount, in};
    };
    standalone({0u, 54u}, kTextContexts);
    standalone({1u, 55u}, {4, 8, 51, 67, 69, 72});
    standalone({11u, 13u, 14u}, {35});
    standalone({17u}, {18, 72});
    standalone({20u}, {72});
    standalone({49u, 50u}, {37});
    standalone({61u}, {62, 64, 72});
    return rules;
}

constexpr std::array<TagRule, kRuleCount> kTagRules = makeTagRules();

const TagRule& ruleFor(std::int32_t id) {
    static constexpr TagRule kNone{};
    const auto index = static_cast<std::size_t>(id);
    return id >= 0 && index < kRuleCount ? kTagRules[index] : kNone;
}

// One walk over the external tags of a file with a stack of open contexts. Only the first
// fault of a page is reported; pages, files and </brx> start reporting again.
class StructureWalk {
public:
    StructureWalk(const std::vector<Segment>& segments, Findings& findings)
        : segments_(segments), findings_(findings) {}

    void run();

private:
    struct Context {
        std::string_view name;
        std::int32_t id;
        std::size_t opened = 0;  // the position of the tag that opened it
    };

    void visit(std::size_t position);
    void open(Element element, std::size_t position);
    void close(Element element, std::size_t position);
    void startPage(std::size_t position);
    void endPage(std::size_t position);
    void startFile(std::size_t position);
    void endFile(std::size_t position);
    void startHeader(std::size_t position);
    void endHeader(std::size_t position);
    void startIndexMarker(std::size_t position);
    void endIndexMarker(std::size_t position);
    void indexElement(std::size_t position);
    void indexEntry(std::size_t position);

    void enter(Element element, std::size_t position);
    void pushContext(Element element, std::size_t position);
    void leave() { leaveContexts(1); }
    void leaveContexts(long long count);
    // Where open elements are closed: at a new or ending page, or at the end of a file or
    // header, which closes pages too.
    enum class Closing { AtPage, AtFile };
    void closeOpenElements(std::size_t position, Closing closing);
    void reportFirstOpenElement(std::size_t position, Closing closing);
    void reportOpenElement(Element element, long long count, std::size_t position);
    std::size_t openedAt(Element element, std::size_t otherwise) const;
    void clearIndexMarker();

    void misplaced(std::size_t position);
    void reportMisplaced(std::size_t position);
    void reportAround(MessageId id, Findings::Args args, std::size_t position);
    void reportPlain(MessageId id, Findings::Args args, SegmentRefs segments = {}) {
        findings_.report(Severity::Error, id, args, std::move(segments));
    }
    std::string_view tagOf(std::size_t position) const { return segments_[position].tagText(); }
    void locate(std::string_view word, std::size_t position) {
        locationWord_ = word;
        locationAt_ = position;
    }
    std::string location() const {
        if (locationWord_.empty()) return {};
        std::string text(locationWord_);
        text += tagOf(locationAt_);
        return text;
    }

    const std::vector<Segment>& segments_;
    Findings& findings_;
    Context current_{"", kNoContext};
    std::vector<Context> stack_;  // never holds the outermost context
    std::array<long long, kElementCount> counters_{};
    // Where messages say the walk is, "on" a page or "in" a file: made only for a message.
    std::string_view locationWord_;
    std::size_t locationAt_ = 0;
    bool reporting_ = true;
    bool insideIndexMarker_ = false;  // an <imk still waiting for its <ie>
    std::string_view indexMarkerText_;
    std::size_t indexMarkerPosition_ = 0;
    bool ended_ = false;
};

void StructureWalk::run() {
    std::size_t position = 0;
    while (position < segments_.size() && !ended_) visit(position++);
    if (ended_) {
        for (; position < segments_.size(); ++position)
            reportAround(MessageId::TagAfterEndOfBrx, {}, position);
    }
    if (counters_[kHeader] > 0) reportPlain(MessageId::EndOfBrxMissing, {});
    stack_.clear();
}

void StructureWalk::visit(std::size_t position) {
    const TagRule& rule = ruleFor(segments_[position].id);
    switch (rule.action) {
        case Action::None:
            break;
        case Action::Open:
            open(rule.element, position);
            break;
        case Action::Close:
            close(rule.element, position);
            break;
        case Action::Standalone:
            if (!rule.allowedIn.contains(current_.id)) misplaced(position);
            break;
        case Action::Page:
            startPage(position);
            break;
        case Action::EndPage:
            endPage(position);
            break;
        case Action::File:
            startFile(position);
            break;
        case Action::EndFile:
            endFile(position);
            break;
        case Action::Header:
            startHeader(position);
            break;
        case Action::EndHeader:
            endHeader(position);
            break;
        case Action::IndexMarker:
            startIndexMarker(position);
            break;
        case Action::EndIndexMarker:
            endIndexMarker(position);
            break;
        case Action::IndexElement:
            indexElement(position);
            break;
        case Action::IndexEntry:
            indexEntry(position);
            break;
    }
}

void StructureWalk::open(Element element, std::size_t position) {
    if (kElements[element].allowedIn.contains(current_.id)) {
        enter(element, position);
    } else {
        misplaced(position);
    }
}

void StructureWalk::close(Element element, std::size_t position) {
    if (current_.id == kElements[element].openId) {
        --counters_[element];
        leave();
    } else {
        misplaced(position);
    }
}

void StructureWalk::startPage(std::size_t position) {
    closeOpenElements(position, Closing::AtPage);
    clearIndexMarker();
    locate("on ", position);
    reporting_ = true;
    if (current_.id == kHeaderId || current_.id == kFileId) {
        counters_[kPage] = 1;
        pushContext(kPage, position);
    } else {
        reportMisplaced(position);
        reporting_ = false;
    }
}

void StructureWalk::endPage(std::size_t position) {
    if (current_.id == kPageId) {
        --counters_[kPage];
        leave();
    } else if (reporting_) {
        reportAround(MessageId::EndWithoutStart, {tagOf(position), location()}, position);
        reporting_ = false;
    }
}

void StructureWalk::startFile(std::size_t position) {
    closeOpenElements(position, Closing::AtFile);
    counters_[kFile] = 0;
    locate("in ", position);
    reporting_ = true;
    if (current_.id == kHeaderId) {
        counters_[kFile] = 1;
        pushContext(kFile, position);
    } else {
        reportMisplaced(position);  // the new file keeps its own first report
    }
}

void StructureWalk::endFile(std::size_t position) {
    if (current_.id == kFileId) {
        --counters_[kFile];
        leave();
    } else {
        reportMisplaced(position);
    }
}

void StructureWalk::startHeader(std::size_t position) {
    if (current_.id == kNoContext) {
        enter(kHeader, position);
    } else {
        misplaced(position);
    }
}

void StructureWalk::endHeader(std::size_t position) {
    closeOpenElements(position, Closing::AtFile);
    counters_[kFile] = 0;
    clearIndexMarker();
    reporting_ = true;
    if (current_.id != kHeaderId) {
        reportMisplaced(position);
        reporting_ = false;
        return;
    }
    --counters_[kHeader];
    if (!stack_.empty()) {
        leave();
    } else if (counters_[kHeader] == 0) {
        ended_ = true;
    }
}

void StructureWalk::startIndexMarker(std::size_t position) {
    open(kImk, position);
    insideIndexMarker_ = true;
    indexMarkerText_ = tagOf(position);
    indexMarkerPosition_ = position;
}

void StructureWalk::endIndexMarker(std::size_t position) {
    close(kImk, position);
    clearIndexMarker();
}

void StructureWalk::indexElement(std::size_t position) {
    if (insideIndexMarker_ && reporting_ && !indexMarkerText_.empty()) {
        // The marker the message names is where the entry is missing.
        findings_.reportWithNeighbours(Severity::Error, MessageId::IndexEntryMissing,
                                       {indexMarkerText_}, segments_, position,
                                       findings_.refsTo(segments_[indexMarkerPosition_]));
        reporting_ = false;
    }
    indexEntry(position);
}

void StructureWalk::indexEntry(std::size_t position) {
    insideIndexMarker_ = false;
    if (current_.id != kIndexMarkerId) misplaced(position);
}

void StructureWalk::enter(Element element, std::size_t position) {
    ++counters_[element];
    pushContext(element, position);
}

void StructureWalk::pushContext(Element element, std::size_t position) {
    if (!current_.name.empty()) stack_.push_back(current_);
    current_ = {kElements[element].contextName, kElements[element].openId, position};
}

// The tag that opened the outermost open `element`, or `otherwise` when none is open.
std::size_t StructureWalk::openedAt(Element element, std::size_t otherwise) const {
    const std::int32_t id = kElements[element].openId;
    for (const Context& context : stack_) {
        if (context.id == id) return context.opened;
    }
    return current_.id == id ? current_.opened : otherwise;
}

// Leaving more contexts than are saved ends at the outermost one, as single leaves would.
void StructureWalk::leaveContexts(long long count) {
    if (count <= 0 || stack_.empty()) return;
    const std::size_t keep = static_cast<unsigned long long>(count) >= stack_.size()
                                 ? 0
                                 : stack_.size() - static_cast<std::size_t>(count);
    current_ = stack_[keep];
    stack_.resize(keep);
}

// Elements still open when a page, file or header ends are closed implicitly, so that one
// fault does not spoil the pages after it.
void StructureWalk::closeOpenElements(std::size_t position, Closing closing) {
    reportFirstOpenElement(position, closing);
    const bool atPage = closing == Closing::AtPage;
    long long openCount = 0;
    for (std::size_t e = atPage ? kPage : kFile; e < kHeader; ++e) {
        openCount += counters_[e];
        counters_[e] = 0;
    }
    leaveContexts(openCount);
}

void StructureWalk::reportFirstOpenElement(std::size_t position, Closing closing) {
    const bool atPage = closing == Closing::AtPage;
    if (!reporting_) return;
    for (std::size_t e = atPage ? kPage : kFile; e < kHeader; ++e) {
        const long long count = counters_[e];
        if (count == 0) continue;
        if (atPage && e == kPage && count == 1) {
            reportMisplaced(position);  // a page inside a page: blame the new page tag
        } else {
            reportOpenElement(static_cast<Element>(e), count, position);
        }
        reporting_ = false;
        return;
    }
}

// The message names the element left open, so it points at the tag that opened it.
void StructureWalk::reportOpenElement(Element element, long long count, std::size_t position) {
    auto place = findings_.refsTo(segments_[openedAt(element, position)]);
    if (count == 1) {
        reportPlain(MessageId::StartWithoutEnd, {kElements[element].startName, location()},
                    std::move(place));
    } else {
        reportPlain(MessageId::StartsWithoutEnd, {count, kElements[element].startName, location()},
                    std::move(place));
    }
}

void StructureWalk::clearIndexMarker() {
    insideIndexMarker_ = false;
    indexMarkerText_ = {};
}

void StructureWalk::misplaced(std::size_t position) {
    if (!reporting_) return;
    reportMisplaced(position);
    reporting_ = false;
}

void StructureWalk::reportMisplaced(std::size_t position) {
    reportAround(MessageId::NotAllowedInContext, {tagOf(position), current_.name, location()},
                 position);
}

void StructureWalk::reportAround(MessageId id, Findings::Args args, std::size_t position) {
    findings_.reportWithNeighbours(Severity::Error, id, args, segments_, position);
}

}  // namespace

void checkExternalStructure(const std::vector<Segment>& segments, Findings& findings) {
    StructureWalk(segments, findings).run();
}

}  // namespace brevo
