#include "brx/rtf_reader.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "brx/failure.h"
#include "brx/line_reader.h"

namespace brevo {
namespace {

// Lines are reserved generously so that appending single bytes rarely reallocates.
constexpr std::size_t kLineReserve = 32678;

enum class WordKind { Character, Destination, Property, Special };

// For characters `value` is the byte produced; for properties the value of `hidden` (the
// parameter, when `takesParameter` and the word has one); for specials one of the codes below.
struct ControlWord {
    std::string_view text;
    WordKind kind;
    int value;
    bool takesParameter;
};

constexpr int kBinary = 'b';
constexpr int kSkipIfUnknown = '*';
constexpr int kHexByte = '\'';

constexpr ControlWord character(std::string_view text, int byte) {
    return {text, WordKind::Character, byte, false};
}
constexpr ControlWord destination(std::string_view text) {
    return {text, WordKind::Destination, 0, false};
}
constexpr ControlWord special(std::string_view text, int code) {
    return {text, WordKind::Special, code, false};
}

// Looked up in this order; the first exact match wins. "private1" can never match, because the
// digit is read as the word's parameter.
constexpr std::array<ControlWord, 53> kControlWords = {{
    {"v", WordKind::Property, 1, true},
    {"plain", WordKind::Property, 0, false},
    character("par", '\n'),
    character("tab", 9),
    character("lquote", 0x91),
    character("rquote", 0x92),
    character("ldblquote", 0x93),
    character("rdblquote", 0x94),
    character("bullet", 0x95),
    character("endash", 0x96),
    character("emdash", 0x97),
    character("~", ' '),
    character("_", '-'),
    special("bin", kBinary),
    special("*", kSkipIfUnknown),
    special("'", kHexByte),
    destination("author"),
    destination("buptim"),
    destination("colortbl"),
    destination("comment"),
    destination("creatim"),
    destination("doccomm"),
    destination("fonttbl"),
    destination("footer"),
    destination("footerf"),
    destination("footerl"),
    destination("footerr"),
    destination("footnote"),
    destination("ftncn"),
    destination("ftnsep"),
    destination("ftnsepc"),
    destination("header"),
    destination("headerf"),
    destination("headerl"),
    destination("headerr"),
    destination("info"),
    destination("keywords"),
    destination("object"),
    destination("operator"),
    destination("pict"),
    destination("printim"),
    destination("private1"),
    destination("revtim"),
    destination("rxe"),
    destination("stylesheet"),
    destination("subject"),
    destination("tc"),
    destination("title"),
    destination("txe"),
    destination("xe"),
    character("{", '{'),
    character("}", '}'),
    character("\\", '\\'),
}};

// Every control word of a file is looked up, so the table is indexed by its texts, which are
// all different: the first exact match is the only one.
const ControlWord* findControlWord(std::string_view word) {
    static const auto index = [] {
        std::unordered_map<std::string_view, const ControlWord*> made;
        for (const ControlWord& entry : kControlWords) made.try_emplace(entry.text, &entry);
        return made;
    }();
    const auto found = index.find(word);
    return found == index.end() ? nullptr : found->second;
}

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int hexDigitValue(unsigned char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Appends a decimal digit, sticking at the largest value instead of wrapping.
std::int32_t appendDigit(std::int32_t number, unsigned char digit) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const int value = digit - '0';
    if (number > (kMax - value) / 10) return kMax;
    return number * 10 + value;
}

bool isSyntax(char c) {
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n';
}

// The lines of the file as one byte stream: line breaks are no part of the RTF text.
class RtfByteStream {
public:
    RtfByteStream(LineReader& reader, std::string firstLine)
        : reader_(reader), line_(std::move(firstLine)) {}

    bool next(unsigned char& c) {
        while (position_ == line_.size()) {
            if (ended_ || !reader_.readLine(line_)) {
                ended_ = true;
                line_.clear();
                position_ = 0;
                return false;
            }
            position_ = 0;
        }
        c = static_cast<unsigned char>(line_[position_++]);
        return true;
    }

    // Gives back the byte just taken; it is always still in the current line.
    void putBack() { --position_; }

    // Takes the bytes from here to the next group brace or backslash within the current line:
    // text that needs no decoding.
    std::string_view takePlainText() {
        const std::size_t start = position_;
        while (position_ < line_.size() && !isSyntax(line_[position_])) ++position_;
        return std::string_view(line_).substr(start, position_ - start);
    }

private:
    LineReader& reader_;
    std::string line_;
    std::size_t position_ = 0;
    bool ended_ = false;
};

class RtfDecoder {
public:
    RtfDecoder(RtfByteStream& input, const std::function<void(std::string_view)>& onLine)
        : input_(input), onLine_(onLine) {
        currentLine_.reserve(kLineReserve);
        word_.reserve(64);
    }

    void decode() {
        unsigned char c;
        while (input_.next(c)) {
            takeByte(c);
            // Plain text that is kept goes over in one piece rather than byte by byte.
            if (inputState_ == InputState::Normal && destination_ == Destination::Normal &&
                hidden_ == 0) {
                currentLine_ += input_.takePlainText();
            }
        }
        if (!groups_.empty()) fail(BrxError::RtfOpenGroups);
        if (!currentLine_.empty()) onLine_(currentLine_);
    }

private:
    enum class Destination { Normal, Skip };
    enum class InputState { Normal, Binary, Hex };

    struct SavedState {
        int hidden;
        Destination destination;
        InputState inputState;
    };

    void takeByte(unsigned char c) {
        if (inputState_ == InputState::Binary) {
            emit(c);
            return;
        }
        switch (c) {
            case '{':
                groups_.push_back({hidden_, destination_, inputState_});
                inputState_ = InputState::Normal;
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                readControlWord();
                break;
            case '\r':
            case '\n':
                break;
            default:
                if (inputState_ == InputState::Normal) {
                    emit(c);
                } else {
                    takeHexDigit(c);
                }
        }
    }

    void closeGroup() {
        if (groups_.empty()) fail(BrxError::RtfUnmatchedBrace);
        const SavedState& saved = groups_.back();
        hidden_ = saved.hidden;
        destination_ = saved.destination;
        inputState_ = saved.inputState;
        groups_.pop_back();
    }

    // The pending high digit survives groups and further "\'" on purpose.
    void takeHexDigit(unsigned char c) {
        const int digit = hexDigitValue(c);
        if (digit < 0) fail(BrxError::RtfBadHexDigit);
        if (!highDigitPending_) {
            highDigit_ = digit;
            highDigitPending_ = true;
            return;
        }
        highDigitPending_ = false;
        inputState_ = InputState::Normal;
        const int byte = highDigit_ * 16 + digit;
        if (byte != 0) emit(static_cast<unsigned char>(byte));
    }

    unsigned char nextInWord() {
        unsigned char c;
        if (!input_.next(c)) fail(BrxError::RtfUnexpectedEnd);
        return c;
    }

    void readControlWord() {
        unsigned char c = nextInWord();
        word_.clear();
        if (!isLetter(c)) {
            word_ += static_cast<char>(c);
            apply(std::nullopt);
            return;
        }
        while (isLetter(c)) {
            word_ += static_cast<char>(c);
            c = nextInWord();
        }
        bool negative = false;
        if (c == '-') {
            negative = true;
            c = nextInWord();
        }
        std::optional<std::int32_t> value;
        if (isDigit(c)) {
            std::int32_t number = 0;
            while (isDigit(c)) {
                number = appendDigit(number, c);
                c = nextInWord();
            }
            parameter_ = number;
            value = negative ? -number : number;
        }
        // Only a blank belongs to the word; anything else is text or the next token.
        if (c != ' ') input_.putBack();
        apply(value);
    }

    // A control word, with the number that followed it, if any.
    void apply(std::optional<std::int32_t> parameter) {
        const ControlWord* entry = findControlWord(word_);
        if (entry == nullptr) {
            if (skipIfUnknown_) destination_ = Destination::Skip;
            skipIfUnknown_ = false;
            return;
        }
        skipIfUnknown_ = false;
        switch (entry->kind) {
            case WordKind::Character:
                emit(static_cast<unsigned char>(entry->value));
                break;
            case WordKind::Destination:
                destination_ = Destination::Skip;
                break;
            case WordKind::Property:
                if (destination_ == Destination::Skip) break;
                hidden_ = entry->takesParameter && parameter ? *parameter : entry->value;
                break;
            case WordKind::Special:
                applySpecial(entry->value);
                break;
        }
    }

    void applySpecial(int code) {
        if (destination_ == Destination::Skip && code != kBinary) return;
        if (code == kBinary) {
            // A bare "\bin" takes the last number any control word had.
            inputState_ = InputState::Binary;
            binaryLeft_ = parameter_;
        } else if (code == kHexByte) {
            inputState_ = InputState::Hex;
        } else {
            skipIfUnknown_ = true;
        }
    }

    void emit(unsigned char b) {
        if (inputState_ == InputState::Binary && --binaryLeft_ <= 0) {
            inputState_ = InputState::Normal;
        }
        if (destination_ == Destination::Skip) return;
        // A line feed ends the line even inside hidden text.
        if (b == '\n') {
            onLine_(currentLine_);
            currentLine_.clear();
            return;
        }
        if (hidden_ != 0) return;
        currentLine_ += static_cast<char>(b);
    }

    RtfByteStream& input_;
    std::vector<SavedState> groups_;
    Destination destination_ = Destination::Normal;
    InputState inputState_ = InputState::Normal;
    int hidden_ = 0;
    std::int32_t binaryLeft_ = 0;
    std::int32_t parameter_ = 0;
    bool skipIfUnknown_ = false;
    bool highDigitPending_ = false;
    int highDigit_ = 0;
    std::string word_;
    std::string currentLine_;
    const std::function<void(std::string_view)>& onLine_;
};

}  // namespace

void readRtfLines(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    LineReader reader;
    reader.open(path);
    std::string firstLine;
    firstLine.reserve(kLineReserve);
    if (!reader.readLine(firstLine)) fail(BrxError::RtfUnexpectedEnd);
    if (!std::string_view(firstLine).starts_with("{\\rtf")) fail(BrxError::NotRtf);

    RtfByteStream input(reader, std::move(firstLine));
    RtfDecoder(input, onLine).decode();
}

void readRtfLines(const std::string& path, std::vector<std::string>& lines) {
    std::vector<std::string> decoded;
    readRtfLines(path, [&decoded](std::string_view line) { decoded.emplace_back(line); });
    lines.insert(lines.end(), std::make_move_iterator(decoded.begin()),
                 std::make_move_iterator(decoded.end()));
}

}  // namespace brevo
