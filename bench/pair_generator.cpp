#include "pair_generator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace brevo::bench {
namespace {

// splitmix64: tiny, fast, and the same sequence on every platform and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<std::size_t>(high - low + 1)));
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    bool chance(double probability) { return unit() < probability; }
    template <class T, std::size_t N>
    const T& pick(const std::array<T, N>& values) {
        return values[below(N)];
    }

private:
    std::uint64_t state_;
};

// Spreads a share of damage over all tags seen, so that the share reached is the one asked for
// even where only some of the tags can take that kind of damage.
class Quota {
public:
    explicit Quota(double percent) : rate_(percent / 100) {}

    // `seen` more tags have gone by; true when `cost` of them are to be spoiled.
    bool take(Random& random, int seen, int cost) {
        if (rate_ <= 0) return false;
        credit_ += rate_ * seen;
        if (cost == 0 || random.unit() * cost >= credit_) return false;
        credit_ -= cost;
        return true;
    }

private:
    double rate_;
    double credit_ = 0;
};

// --- the document ------------------------------------------------------------------------

// A stretch of a line: text, optionally inside an internal tag pair or after a lone tag.
struct Item {
    std::string open;
    std::string text;
    std::string close;

    std::uint64_t tagCount() const { return (open.empty() ? 0u : 1u) + (close.empty() ? 0u : 1u); }
};

enum class LineKind {
    Fixed,      // the header and the end tag: never spoiled, or the file would not load
    Paragraph,  // a paragraph: may receive internal tags moved from elsewhere
    Other,
};

// One line of the source and its translation: an external tag and what follows it.
struct Line {
    LineKind kind = LineKind::Other;
    std::string tag;
    std::vector<Item> source;
    std::vector<Item> target;
};

constexpr std::array<std::string_view, 50> kSourceWords = {
    "the",       "printer",  "driver",   "must",      "be",     "installed", "before",    "you",
    "connect",   "cable",    "press",    "button",    "to",     "start",     "system",    "check",
    "settings",  "network",  "and",      "select",    "option", "from",      "menu",      "each",
    "page",      "document", "contains", "table",     "of",     "values",    "which",     "are",
    "shown",     "below",    "for",      "reference", "manual", "chapter",   "describes", "how",
    "configure", "server",   "user",     "account",   "file",   "open",      "close",     "save",
    "print",     "copy"};

// Latin-1 bytes on purpose: translations carry accented letters. A hexadecimal escape runs on
// through hex digits, hence the split literals.
constexpr std::array<std::string_view, 50> kTargetWords = {"der",
                                                           "Drucker",
                                                           "Treiber",
                                                           "m\xfcssen",
                                                           "werden",
                                                           "installiert",
                                                           "bevor",
                                                           "Sie",
                                                           "anschlie\xdf"
                                                           "en",
                                                           "Kabel",
                                                           "dr\xfc"
                                                           "cken",
                                                           "Schaltfl\xe4"
                                                           "che",
                                                           "zu",
                                                           "starten",
                                                           "System",
                                                           "pr\xfc"
                                                           "fen",
                                                           "Einstellungen",
                                                           "Netzwerk",
                                                           "und",
                                                           "w\xe4hlen",
                                                           "Option",
                                                           "aus",
                                                           "Men\xfc",
                                                           "jede",
                                                           "Seite",
                                                           "Dokument",
                                                           "enth\xe4lt",
                                                           "Tabelle",
                                                           "von",
                                                           "Werte",
                                                           "die",
                                                           "sind",
                                                           "gezeigt",
                                                           "unten",
                                                           "f\xfcr",
                                                           "Verweis",
                                                           "Handbuch",
                                                           "Kapitel",
                                                           "beschreibt",
                                                           "wie",
                                                           "konfigurieren",
                                                           "Server",
                                                           "Benutzer",
                                                           "Konto",
                                                           "Datei",
                                                           "\xf6"
                                                           "ffnen",
                                                           "schlie\xdf"
                                                           "en",
                                                           "speichern",
                                                           "drucken",
                                                           "kopieren"};

// Names that a changed tag may take instead of its own; all of them occur in the sources.
constexpr std::array<std::string_view, 8> kParagraphStyles = {
    "Body", "Heading 1", "Heading 2", "List Bullet", "Note", "Cell", "Footnote", "Caption"};
constexpr std::array<std::string_view, 4> kCharacterStyles = {"Emphasis", "Strong", "Code", "Menu"};
constexpr std::array<std::string_view, 2> kSmallCapsStyles = {"Acronym", "Small Caps"};
constexpr std::array<std::string_view, 2> kIndexNames = {"Index", "Glossary"};
constexpr std::array<std::string_view, 3> kPageFormats = {"Default", "Left", "Right"};
constexpr std::array<std::string_view, 2> kNumberFormats = {"Heading", "Numbered"};
constexpr std::array<std::string_view, 2> kVariableFormats = {"Date", "Time"};
constexpr std::array<std::string_view, 2> kPageNumberFormats = {"Page", "Roman"};

struct TagSwap {
    std::string_view from;
    std::string_view to;
};

constexpr std::array<TagSwap, 20> kSwaps = {{
    {"<:b>", "<:i>"},     {"<:/b>", "<:/i>"},   {"<:i>", "<:b>"},     {"<:/i>", "<:/b>"},
    {"<:bi>", "<:b>"},    {"<:/bi>", "<:/b>"},  {"<:c>", "<:s>"},     {"<:/c>", "<:/s>"},
    {"<:s>", "<:c>"},     {"<:/s>", "<:/c>"},   {"<:lt>", "<:gt>"},   {"<:gt>", "<:lt>"},
    {"<:ldq>", "<:rdq>"}, {"<:rdq>", "<:ldq>"}, {"<:ens>", "<:ems>"}, {"<:ems>", "<:ens>"},
    {"<:hs>", "<:sh>"},   {"<:sh>", "<:hs>"},   {"<:t>", "<:ens>"},   {"<il>", "<ie>"},
}};

template <std::size_t N>
std::optional<std::string_view> nextName(const std::array<std::string_view, N>& names,
                                         std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == name) return names[(i + 1) % N];
    }
    return std::nullopt;
}

std::optional<std::string_view> nextKnownName(std::string_view name) {
    if (auto next = nextName(kParagraphStyles, name)) return next;
    if (auto next = nextName(kCharacterStyles, name)) return next;
    if (auto next = nextName(kSmallCapsStyles, name)) return next;
    if (auto next = nextName(kIndexNames, name)) return next;
    if (auto next = nextName(kPageFormats, name)) return next;
    if (auto next = nextName(kNumberFormats, name)) return next;
    if (auto next = nextName(kVariableFormats, name)) return next;
    return nextName(kPageNumberFormats, name);
}

// The tag with its last number raised by one, if it has a number.
std::optional<std::string> withNextNumber(std::string_view tag) {
    std::size_t end = tag.size();
    while (end > 0 && !std::isdigit(static_cast<unsigned char>(tag[end - 1]))) --end;
    if (end == 0) return std::nullopt;
    std::size_t begin = end;
    while (begin > 0 && std::isdigit(static_cast<unsigned char>(tag[begin - 1]))) --begin;
    const long long number = std::stoll(std::string(tag.substr(begin, end - begin)));
    return std::string(tag.substr(0, begin)) + std::to_string(number + 1) +
           std::string(tag.substr(end));
}

// A similar tag for `tag`, as a translator's slip would make it, or nothing for tags such as
// "</row>" that have no near relative.
std::optional<std::string> alternativeTag(std::string_view tag) {
    for (const TagSwap& swap : kSwaps) {
        if (swap.from == tag) return std::string(swap.to);
    }
    const std::size_t open = tag.find('"');
    const std::size_t close = open == std::string_view::npos ? open : tag.find('"', open + 1);
    if (close != std::string_view::npos) {
        if (auto name = nextKnownName(tag.substr(open + 1, close - open - 1))) {
            return std::string(tag.substr(0, open + 1)) + std::string(*name) +
                   std::string(tag.substr(close));
        }
    }
    return withNextNumber(tag);
}

std::string quoted(std::string_view name, std::string_view prefix) {
    std::string tag(prefix);
    tag += " \"";
    tag += name;
    tag += "\">";
    return tag;
}

std::string numbered(std::string_view prefix, long long number) {
    return std::string(prefix) + " " + std::to_string(number) + ">";
}

// --- output ------------------------------------------------------------------------------

// Writes lines as BRX text, or as RTF with tags in character styles and long lines wrapped.
class Sink {
public:
    Sink(std::FILE* file, Form form) : file_(file), form_(form) { buffer_.reserve(kFlushAt); }

    void begin() {
        if (form_ != Form::Rtf) return;
        put("{\\rtf1\\ansi\\ansicpg1252\\deff0\n");
        put("{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\n");
        put("{\\colortbl;\\red0\\green0\\blue0;\\red128\\green0\\blue0;}\n");
        put("{\\stylesheet{\\s0\\f0\\fs20 Normal;}{\\*\\cs5\\f1\\cf2 External Tag;}"
            "{\\*\\cs6\\f1\\cf2 Internal Tag;}}\n");
        put("{\\info{\\title BRX export}{\\author Brevo}}\n");
    }

    void line(std::string_view tag, const std::vector<Item>& items) {
        if (tag.empty() && items.empty()) return;
        textBytes_ += tag.size() + 1;
        for (const Item& item : items) {
            textBytes_ += item.open.size() + item.text.size() + item.close.size();
        }
        if (form_ == Form::Rtf) put("\\pard\\plain\\f0\\fs20 ");
        putTag(tag);
        for (const Item& item : items) {
            putTag(item.open);
            putText(item.text);
            putTag(item.close);
        }
        put(form_ == Form::Rtf ? "\\par \n" : "\n");
    }

    void end() {
        if (form_ == Form::Rtf) put("}\n");
        flush();
    }

    std::uint64_t bytes() const { return bytes_; }
    // What the lines would take as BRX text, whatever the form written.
    std::uint64_t textBytes() const { return textBytes_; }
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    static constexpr std::size_t kRtfLineWidth = 200;

    void put(std::string_view bytes) {
        buffer_ += bytes;
        bytes_ += bytes.size();
        const std::size_t lineFeed = bytes.rfind('\n');
        column_ = lineFeed == std::string_view::npos ? column_ + bytes.size()
                                                     : bytes.size() - lineFeed - 1;
        if (buffer_.size() >= kFlushAt) flush();
    }

    // A line break is no part of RTF text, so long lines may be broken anywhere but inside an
    // escape.
    void wrapRtf() {
        if (column_ >= kRtfLineWidth) put("\n");
    }

    void putTag(std::string_view tag) {
        if (tag.empty()) return;
        if (form_ == Form::Text) return put(tag);
        wrapRtf();
        put(tag.starts_with("<:") ? "{\\cs6\\f1\\cf2 " : "{\\cs5\\f1\\cf2 ");
        put(tag);
        put("}");
    }

    void putText(std::string_view text) {
        if (form_ == Form::Text) return put(text);
        static constexpr char kHex[] = "0123456789abcdef";
        for (char c : text) {
            wrapRtf();
            const auto byte = static_cast<unsigned char>(c);
            if (c == '\\' || c == '{' || c == '}') {
                const char escaped[] = {'\\', c};
                put(std::string_view(escaped, 2));
            } else if (byte >= 0x80) {
                const char escaped[] = {'\\', '\'', kHex[byte >> 4], kHex[byte & 15]};
                put(std::string_view(escaped, 4));
            } else {
                put(std::string_view(&c, 1));
            }
        }
    }

    void flush() {
        if (!buffer_.empty() &&
            std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
            failed_ = true;
        }
        buffer_.clear();
    }

    std::FILE* file_;
    Form form_;
    std::string buffer_;
    std::uint64_t bytes_ = 0;
    std::uint64_t textBytes_ = 0;
    std::size_t column_ = 0;
    bool failed_ = false;
};

// --- the translation and its damage --------------------------------------------------------

// Writes each line to the source, then spoils its translation as asked and writes that.
class PairWriter {
public:
    PairWriter(const PairOptions& options, Sink& source, Sink& target)
        : random_(options.seed ^ 0x5eed0fda3a9eULL),
          lose_(options.damage.loseExternal),
          move_(options.damage.moveInternal),
          change_(options.damage.changeTags),
          drop_(options.damage.dropInternal),
          add_(options.damage.addMarked),
          source_(source),
          target_(target) {}

    void take(Line line) {
        source_.line(line.tag, line.source);
        stats_.externalTags += line.tag.empty() ? 0u : 1u;
        for (const Item& item : line.source) stats_.internalTags += item.tagCount();

        const std::string tag = spoilExternal(line);
        std::vector<Item> items = spoilInternal(line);
        target_.line(tag, items);
        if (line.kind == LineKind::Paragraph && add_.take(random_, 1, 1)) addParagraph();
    }

    // Measured as text, so that a pair has the same content in either form.
    std::uint64_t sourceBytes() const { return source_.textBytes(); }

    PairStats stats() const {
        PairStats stats = stats_;
        stats.sourceBytes = source_.bytes();
        stats.targetBytes = target_.bytes();
        return stats;
    }

private:
    std::string spoilExternal(const Line& line) {
        const bool fixed = line.kind == LineKind::Fixed;
        if (lose_.take(random_, 1, fixed ? 0 : 1)) {
            ++stats_.lostExternal;
            change_.take(random_, 1, 0);
            return {};
        }
        const auto changed = fixed ? std::nullopt : alternativeTag(line.tag);
        if (change_.take(random_, 1, changed ? 1 : 0)) {
            ++stats_.changedTags;
            return *changed;
        }
        return line.tag;
    }

    std::vector<Item> spoilInternal(const Line& line) {
        std::vector<Item> items;
        std::vector<Item> leaving;
        items.reserve(line.target.size() + carried_.size());
        for (Item item : line.target) {
            if (spoilItem(line.kind, item)) {
                items.push_back(std::move(item));
            } else {
                leaving.push_back(std::move(item));
            }
        }
        if (line.kind == LineKind::Paragraph && !carried_.empty()) {
            // Tags moved out of an earlier paragraph land before this one's full stop.
            const auto at = items.empty() ? items.end() : std::prev(items.end());
            items.insert(at, std::make_move_iterator(carried_.begin()),
                         std::make_move_iterator(carried_.end()));
            carried_.clear();
        }
        carried_.insert(carried_.end(), std::make_move_iterator(leaving.begin()),
                        std::make_move_iterator(leaving.end()));
        return items;
    }

    // False when the item was moved away.
    bool spoilItem(LineKind kind, Item& item) {
        const int tags = static_cast<int>(item.tagCount());
        if (tags == 0) return true;
        if (move_.take(random_, tags, kind == LineKind::Paragraph ? tags : 0)) {
            stats_.movedInternal += static_cast<std::uint64_t>(tags);
            drop_.take(random_, tags, 0);
            change_.take(random_, tags, 0);
            return false;
        }
        if (drop_.take(random_, tags, tags)) {
            stats_.droppedInternal += static_cast<std::uint64_t>(tags);
            change_.take(random_, tags, 0);
            item.open.clear();
            item.close.clear();
            return true;
        }
        changeItem(item, tags);
        return true;
    }

    void changeItem(Item& item, int tags) {
        const auto open = item.open.empty() ? std::nullopt : alternativeTag(item.open);
        const auto close = item.close.empty() ? std::nullopt : alternativeTag(item.close);
        const int changeable = (open ? 1 : 0) + (close ? 1 : 0);
        if (!change_.take(random_, tags, changeable)) return;
        if (open) item.open = *open;
        if (close) item.close = *close;
        stats_.changedTags += static_cast<std::uint64_t>(changeable);
    }

    // A paragraph of the translator's own, marked as added.
    void addParagraph() {
        ++stats_.addedMarked;
        std::vector<Item> items;
        items.push_back({"", "Zus\xe4tzlicher Hinweis ", ""});
        items.push_back({"<:ldq>", "", ""});
        items.push_back({"", "siehe oben", ""});
        items.push_back({"<:rdq>", ".", ""});
        target_.line("<#ps \"Note\">", items);
    }

    Random random_;
    Quota lose_;
    Quota move_;
    Quota change_;
    Quota drop_;
    Quota add_;
    Sink& source_;
    Sink& target_;
    std::vector<Item> carried_;  // moved tags waiting for the next paragraph
    PairStats stats_;
};

// --- the content -------------------------------------------------------------------------

// Builds a book: chapters with their formats, pages of paragraphs, index markers, cross
// references, tables, frames and footnotes, in the nesting every check expects.
class BookBuilder {
public:
    BookBuilder(std::uint64_t seed, std::uint64_t sourceBytes, PairWriter& writer)
        : random_(seed), wanted_(sourceBytes), writer_(writer) {}

    void build() {
        for (std::string_view tag : {"<brx \"I2.00\">", "<language \"English (US)\">",
                                     "<quotes \"As text\">", "<readonly \"Translate\">"}) {
            emit(LineKind::Fixed, std::string(tag));
        }
        for (int chapter = 1; chapter == 1 || !full(); ++chapter) this->chapter(chapter);
        emit(LineKind::Fixed, "</brx>");
    }

private:
    bool full() const { return writer_.sourceBytes() >= wanted_; }

    void emit(LineKind kind, std::string tag, std::vector<Item> items = {}) {
        Line line{kind, std::move(tag), {}, {}};
        line.target = translate(items);
        line.source = std::move(items);
        writer_.take(std::move(line));
    }

    void chapter(int number) {
        const std::string file = quoted("chapter" + std::to_string(number) + ".doc", "<file");
        emit(LineKind::Other, file);
        formats(number);
        const int pages = random_.between(20, 60);
        for (int i = 0; i < pages && (i == 0 || !full()); ++i) page();
        emit(LineKind::Other, "</file" + file.substr(5));
    }

    void formats(int chapter) {
        const auto formatName = [&](const auto& names) {
            return names[static_cast<std::size_t>(chapter) % names.size()];
        };
        emit(LineKind::Other, quoted(formatName(kPageFormats), "<pgfmt"));
        emit(LineKind::Other, "<bb \"Prefix\">", {plain(std::to_string(chapter) + ".")});
        emit(LineKind::Other, "</pgfmt>");
        emit(LineKind::Other, quoted(formatName(kNumberFormats), "<anfmt"));
        emit(LineKind::Other, "<bb \"Level 1\">", {plain(std::to_string(chapter) + ".1")});
        emit(LineKind::Other, "</anfmt>");
        emit(LineKind::Other, "<bb \"Variable Format\">",
             {{quoted(formatName(kVariableFormats), "<:v"), "", ""}});
        emit(LineKind::Other, quoted("Frame " + std::to_string(chapter), "<saf"));
        emit(LineKind::Other, quoted(formatName(kVariableFormats), "<vfmt"));
        paragraph("Body");
        emit(LineKind::Other, "</vfmt>");
        emit(LineKind::Other, quoted(formatName(kPageNumberFormats), "<pnfmt"));
        paragraph("Body");
        emit(LineKind::Other, "</pnfmt>");
    }

    void page() {
        ++pageNumber_;
        emit(LineKind::Other, quoted(std::to_string(pageNumber_), "<page"));
        paragraph(random_.chance(0.5) ? "Heading 1" : "Heading 2");
        const int paragraphs = random_.between(2, 7);
        for (int i = 0; i < paragraphs; ++i) {
            paragraph(random_.chance(0.8) ? "Body"
                                          : (random_.chance(0.5) ? "List Bullet" : "Note"));
            if (random_.chance(0.12)) indexMarker();
            if (random_.chance(0.06)) crossReference();
        }
        if (random_.chance(0.35)) table();
        if (random_.chance(0.2)) frame();
        if (random_.chance(0.25)) footnote();
        emit(LineKind::Other, quoted(std::to_string(pageNumber_), "<pn"));
        emit(LineKind::Other, "</page>");
    }

    void indexMarker() {
        emit(LineKind::Other, quoted(random_.pick(kIndexNames), "<imk"));
        std::vector<Item> entry = {plain(std::string(random_.pick(kSourceWords)))};
        if (random_.chance(0.2)) entry.push_back({"<:lt>", "", ""});
        entry.push_back(plain(std::string(1, ' ').append(random_.pick(kSourceWords))));
        emit(LineKind::Other, "<ie>", std::move(entry));
        if (random_.chance(0.3)) {
            emit(LineKind::Other, "<il>", {plain(std::string(random_.pick(kSourceWords)))});
        }
        emit(LineKind::Other, "</imk>");
    }

    void crossReference() {
        emit(LineKind::Other, quoted("Section " + std::to_string(random_.between(1, 40)), "<xrv"),
             {plain("see page " + std::to_string(random_.between(1, 999)))});
        emit(LineKind::Other, "</xrv>");
    }

    void table() {
        const int columns = random_.between(2, 4);
        emit(LineKind::Other, numbered("<tb", columns));
        emit(LineKind::Other, numbered("<hrow", 1));
        const int rows = random_.between(2, 6);
        for (int row = 1; row <= rows; ++row) {
            emit(LineKind::Other, numbered("<row", row));
            for (int column = 1; column <= columns; ++column) {
                emit(LineKind::Other, numbered("<ct", column));
                paragraph("Cell", 1, 6);
                emit(LineKind::Other, "</ct>");
            }
            if (random_.chance(0.1)) {
                emit(LineKind::Other, numbered("<ctart", 1),
                     {{numbered("<:iaf", random_.between(1, 20)), "", ""}});
                emit(LineKind::Other, "</ctart>");
            }
            emit(LineKind::Other, "</row>");
        }
        emit(LineKind::Other, "</tb>");
    }

    void frame() {
        emit(LineKind::Other, numbered("<af", ++frameNumber_ % 50 + 1));
        emit(LineKind::Other, numbered("<tn", 1));
        emit(LineKind::Other, numbered("<tr", 1));
        paragraph("Caption", 2, 10);
        emit(LineKind::Other, "</tr>");
        std::vector<Item> label = {plain(std::string(random_.pick(kSourceWords)) + " ")};
        if (random_.chance(0.3)) label.push_back({"<:r1>", "", ""});
        emit(LineKind::Other, numbered("<ts", 2), std::move(label));
        emit(LineKind::Other, "</ts>");
        emit(LineKind::Other, numbered("<tl", 3), {plain(sentence(2, 5))});
        emit(LineKind::Other, "</tl>");
        emit(LineKind::Other, "</af>");
    }

    void footnote() {
        const int number = random_.between(1, 9);
        emit(LineKind::Other, numbered("<fn", number));
        emit(LineKind::Other, numbered("<af", number));
        emit(LineKind::Other, numbered("<tr", 1));
        paragraph("Footnote", 4, 20);
        emit(LineKind::Other, "</tr>");
        emit(LineKind::Other, "</af>");
        emit(LineKind::Other, "</fn>");
    }

    // Text with inline tags between its runs, ending in a full stop.
    void paragraph(std::string_view style, int minWords = 6, int maxWords = 60) {
        std::vector<Item> items;
        int words = random_.between(minWords, maxWords);
        while (words > 0) {
            const int run = std::min(words, random_.between(2, 10));
            words -= run;
            std::string text = sentence(run, run);
            if (!items.empty()) text.insert(0, 1, ' ');
            items.push_back(plain(std::move(text)));
            if (words > 0 && random_.chance(0.7)) {
                items.back().text += ' ';
                items.push_back(inlineItem());
            }
        }
        items.push_back(plain("."));
        emit(LineKind::Paragraph, quoted(style, "<ps"), std::move(items));
    }

    Item inlineItem() {
        static constexpr std::array<std::string_view, 5> kFormats = {"b", "i", "bi", "c", "s"};
        static constexpr std::array<std::string_view, 9> kSpecials = {
            "<:lt>", "<:gt>", "<:ldq>", "<:rdq>", "<:ems>", "<:ens>", "<:hs>", "<:sh>", "<:t>"};
        const double kind = random_.unit();
        const std::string words = sentence(1, 3);
        if (kind < 0.35) {
            const std::string_view format = random_.pick(kFormats);
            return {"<:" + std::string(format) + ">", words, "<:/" + std::string(format) + ">"};
        }
        if (kind < 0.5) return {quoted(random_.pick(kCharacterStyles), "<:cs"), words, "<:/cs>"};
        if (kind < 0.53) return {quoted(random_.pick(kSmallCapsStyles), "<:sc"), words, "<:/sc>"};
        if (kind < 0.58) return {numbered("<:fc", random_.between(8, 14)), words, "<:/fc>"};
        if (kind < 0.78) return {std::string(random_.pick(kSpecials)), "", ""};
        if (kind < 0.88) return {"<:r" + std::to_string(random_.between(1, 12)) + ">", "", ""};
        static constexpr std::array<std::string_view, 4> kReferences = {"<:xr", "<:fn", "<:imk",
                                                                        "<:an"};
        return {numbered(random_.pick(kReferences), random_.between(1, 30)), "", ""};
    }

    std::string sentence(int minWords, int maxWords) {
        const int count = random_.between(minWords, maxWords);
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) text += ' ';
            text += random_.pick(kSourceWords);
        }
        return text;
    }

    static Item plain(std::string text) { return {"", std::move(text), ""}; }

    // Word by word, with a word order of its own now and then; tags stay with their text.
    std::vector<Item> translate(const std::vector<Item>& items) {
        std::vector<Item> translated = items;
        for (Item& item : translated) item.text = translatedText(item.text);
        for (std::size_t i = 0; i + 2 < translated.size(); ++i) {
            if (random_.chance(0.1)) std::swap(translated[i], translated[i + 1]);
        }
        return translated;
    }

    static std::string translatedText(std::string_view text) {
        std::string out;
        out.reserve(text.size() + text.size() / 4);
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find(' ', start);
            if (end == std::string_view::npos) end = text.size();
            out += translatedWord(text.substr(start, end - start));
            if (end < text.size()) out += ' ';
            start = end + 1;
        }
        return out;
    }

    static std::string_view translatedWord(std::string_view word) {
        for (std::size_t i = 0; i < kSourceWords.size(); ++i) {
            if (kSourceWords[i] == word) return kTargetWords[i];
        }
        return word;  // numbers, punctuation
    }

    Random random_;
    std::uint64_t wanted_;
    PairWriter& writer_;
    int pageNumber_ = 0;
    int frameNumber_ = 0;
};

}  // namespace

PairStats& PairStats::operator+=(const PairStats& other) {
    sourceBytes += other.sourceBytes;
    targetBytes += other.targetBytes;
    externalTags += other.externalTags;
    internalTags += other.internalTags;
    lostExternal += other.lostExternal;
    movedInternal += other.movedInternal;
    changedTags += other.changedTags;
    droppedInternal += other.droppedInternal;
    addedMarked += other.addedMarked;
    return *this;
}

PairStats generatePair(const PairOptions& options, std::FILE* source, std::FILE* target) {
    Sink sourceSink(source, options.form);
    Sink targetSink(target, options.form);
    sourceSink.begin();
    targetSink.begin();
    PairWriter writer(options, sourceSink, targetSink);
    BookBuilder(options.seed, options.sourceBytes, writer).build();
    sourceSink.end();
    targetSink.end();
    if (sourceSink.failed() || targetSink.failed()) throw std::runtime_error("write failed");
    return writer.stats();
}

PairStats generatePairFiles(const PairOptions& options, const std::string& sourcePath,
                            const std::string& targetPath) {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using File = std::unique_ptr<std::FILE, Closer>;
    File source(std::fopen(sourcePath.c_str(), "wb"));
    if (!source) throw std::runtime_error("cannot write " + sourcePath);
    File target(std::fopen(targetPath.c_str(), "wb"));
    if (!target) throw std::runtime_error("cannot write " + targetPath);
    const PairStats stats = generatePair(options, source.get(), target.get());
    if (std::fclose(source.release()) != 0 || std::fclose(target.release()) != 0) {
        throw std::runtime_error("cannot finish " + targetPath);
    }
    return stats;
}

}  // namespace brevo::bench
