#include "brx/rtf_reader.h"

#include <array>
#include <bit>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/file_mapping.h"
#include "base/regular_file.h"
#include "brx/bracket_scan.h"
#include "brx/failure.h"

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
// all different: the first exact match is the only one. A small open table with a plain hash
// costs less than a general map for words of a few letters.
constexpr std::size_t kWordSlots = 256;

// The length and the first and last letters tell words well enough apart.
constexpr std::size_t wordHash(std::string_view word) {
    if (word.empty()) return 0;
    const auto at = [&word](std::size_t i) { return static_cast<unsigned char>(word[i]); };
    return word.size() * 31 + at(0) * 7 + at(word.size() - 1);
}

// Made while compiling, so that a lookup needs no check that it is ready.
constexpr auto kWordTable = [] {
    std::array<const ControlWord*, kWordSlots> made{};
    for (const ControlWord& entry : kControlWords) {
        std::size_t slot = wordHash(entry.text) % kWordSlots;
        while (made[slot] != nullptr) slot = (slot + 1) % kWordSlots;
        made[slot] = &entry;
    }
    return made;
}();

const ControlWord* findControlWord(std::string_view word) {
    for (std::size_t slot = wordHash(word) % kWordSlots;; slot = (slot + 1) % kWordSlots) {
        const ControlWord* entry = kWordTable[slot];
        if (entry == nullptr || entry->text == word) return entry;
    }
}

bool isLetter(unsigned char c) {
    // Setting bit 5 makes capitals small and no other byte a letter.
    return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
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
    // Below a tenth of the largest value, no digit can overflow.
    if (number >= kMax / 10 && number > (kMax - value) / 10) [[unlikely]]
        return kMax;
    return number * 10 + value;
}

// The first byte in [p, end) that is no letter, or end: sixteen bytes at once where there are
// as many, since control words are most of an RTF file's markup.
const char* skipLetters(const char* p, const char* end) {
#if defined(__SSE2__)
    if (end - p >= 16) {
        // Setting bit 5 makes capitals small; bytes from 0x80 on compare as negative.
        const __m128i block =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8(0x20));
        const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(block, _mm_set1_epi8('a' - 1)),
                                              _mm_cmplt_epi8(block, _mm_set1_epi8('z' + 1)));
        const unsigned others = ~static_cast<unsigned>(_mm_movemask_epi8(letters)) & 0xffffu;
        if (others != 0) return p + std::countr_zero(others);
        p += 16;
    }
#endif
    while (p != end && isLetter(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// The bytes that end plain text: group braces, backslashes and line breaks.
constexpr auto kSyntaxBytes = [] {
    std::array<bool, 256> syntax{};
    for (const char c : {'\\', '{', '}', '\r', '\n'}) syntax[static_cast<unsigned char>(c)] = true;
    return syntax;
}();

bool isSyntax(char c) {
    return kSyntaxBytes[static_cast<unsigned char>(c)];
}

bool isLineBreak(char c) {
    // Fewer than a backslash: one test leaves the common bytes aside.
    return static_cast<unsigned char>(c) <= '\r' && (c == '\r' || c == '\n');
}

// The first group brace, backslash or line break in [p, end), or end: plain text, most of an
// RTF file's bytes, lies between them.
const char* findSyntax(const char* p, const char* end) {
    return findFirstOf<'{', '}', '\\', '\r', '\n'>(p, end);
}

// The file's bytes as one stream without its line breaks, which are no part of the RTF text.
class RtfByteStream {
public:
    // `mapping`, when the bytes are a mapped file's, lets the pages behind go as it is read.
    RtfByteStream(std::string_view bytes, FileMapping* mapping)
        : start_(bytes.data()),
          next_(bytes.data()),
          end_(bytes.data() + bytes.size()),
          mapping_(mapping) {}

    // Read bytes are never needed again, but those of a mapped file would count as the
    // program's memory until its end.
    void dropReadPages() {
        const auto read = static_cast<std::size_t>(next_ - start_);
        if (mapping_ == nullptr || read - dropped_ < kDropEvery) return;
        // A byte or so may still be given back.
        dropped_ = read - kKeptBehind;
        mapping_->dropPagesBefore(dropped_);
    }

    bool next(unsigned char& c) {
        if (next_ == end_ || isLineBreak(*next_)) [[unlikely]] {
            while (next_ != end_ && isLineBreak(*next_)) ++next_;
            if (next_ == end_) return false;
        }
        c = static_cast<unsigned char>(*next_++);
        return true;
    }

    // A control word from its first letter on, taken in place with the blank that may end
    // it, unless no letter comes next, or a line break or the end of the file comes first:
    // then nothing is taken.
    // Control words are most of an RTF file's markup.
    struct Word {
        std::string_view letters;
        std::string_view parameter;  // its "-" and digits, as written
    };
    std::optional<Word> takeWordInPlace() {
        if (next_ == end_ || !isLetter(static_cast<unsigned char>(*next_))) return std::nullopt;
        const char* const lettersEnd = skipLetters(next_, end_);
        const char* end = lettersEnd;
        if (end != end_ && *end == '-') ++end;
        while (end != end_ && isDigit(static_cast<unsigned char>(*end))) ++end;
        if (end == end_ || isLineBreak(*end)) return std::nullopt;
        const Word word{{next_, static_cast<std::size_t>(lettersEnd - next_)},
                        {lettersEnd, static_cast<std::size_t>(end - lettersEnd)}};
        next_ = *end == ' ' ? end + 1 : end;
        return word;
    }

    // Gives back the byte just taken.
    void putBack() { --next_; }

    // Takes the bytes from here to the next group brace, backslash or line break: text that
    // needs no decoding. Control words often follow each other, so the next byte is looked
    // at first.
    std::string_view takePlainText() {
        const char* start = next_;
        if (next_ == end_ || isSyntax(*next_)) return {};
        next_ = findSyntax(next_ + 1, end_);
        return {start, static_cast<std::size_t>(next_ - start)};
    }

private:
    static constexpr std::size_t kDropEvery = std::size_t{8} << 20;
    static constexpr std::size_t kKeptBehind = 4096;

    const char* start_;
    const char* next_;
    const char* end_;
    FileMapping* mapping_;
    std::size_t dropped_ = 0;
};

// The bytes of a file: in place when it is large, read whole otherwise.
class FileBytes {
public:
    explicit FileBytes(const std::string& path) : path_(path) {
        RegularFile file;
        file.open(path);
        const std::optional<std::uint64_t> size = file.sizeWhenOpened();
        if (size && *size >= kMapFrom) mapping_ = FileMapping::map(file, 0);
        if (mapping_) {
            bytes_ = {mapping_->data(), mapping_->size()};
            return;
        }
        if (size) read_.reserve(static_cast<std::size_t>(*size));
        std::array<char, kReadChunk> chunk;
        while (const std::size_t got = file.read(chunk.data(), chunk.size())) {
            read_.append(chunk.data(), got);
        }
        bytes_ = read_;
    }

    std::string_view bytes() const { return bytes_; }
    FileMapping* mapping() const { return mapping_.get(); }

    // A file shortened by another program while it was mapped read as zeros from there on:
    // nothing decoded from it may stand.
    void failIfShrunk() const {
        if (mapping_ && mapping_->shrunk()) throw FileFailure{FileErrorCause::EndOfFile, path_};
    }

private:
    static constexpr std::uint64_t kMapFrom = std::uint64_t{1} << 20;
    static constexpr std::size_t kReadChunk = std::size_t{64} << 10;

    std::string path_;
    std::shared_ptr<FileMapping> mapping_;
    std::string read_;
    std::string_view bytes_;
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
                const std::string_view text = input_.takePlainText();
                if (!text.empty()) currentLine_ += text;
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
        const RtfByteStream::Word word = takeControlWord();
        apply(word.letters, parameterOf(word.parameter));
    }

    // A control word or symbol after its backslash.
    RtfByteStream::Word takeControlWord() {
        if (const std::optional<RtfByteStream::Word> word = input_.takeWordInPlace()) {
            return *word;
        }
        unsigned char c = nextInWord();
        word_.clear();
        if (!isLetter(c)) {
            word_ += static_cast<char>(c);
            return {word_, {}};
        }
        input_.putBack();
        // Interrupted by a line break: byte by byte, as the stream skips them.
        parameterText_.clear();
        c = nextInWord();
        while (isLetter(c)) {
            word_ += static_cast<char>(c);
            c = nextInWord();
        }
        if (c == '-') {
            parameterText_ += '-';
            c = nextInWord();
        }
        while (isDigit(c)) {
            parameterText_ += static_cast<char>(c);
            c = nextInWord();
        }
        // Only a blank belongs to the word; anything else is text or the next token.
        if (c != ' ') input_.putBack();
        return {word_, parameterText_};
    }

    // The number of a word's "-" and digits; a minus without digits gives none. A number
    // read is kept for a bare "\bin".
    std::optional<std::int32_t> parameterOf(std::string_view text) {
        const bool negative = text.starts_with('-');
        if (negative) text.remove_prefix(1);
        if (text.empty()) return std::nullopt;
        std::int32_t number = 0;
        for (const char digit : text)
            number = appendDigit(number, static_cast<unsigned char>(digit));
        parameter_ = number;
        return negative ? -number : number;
    }

    // A control word, with the number that followed it, if any.
    void apply(std::string_view word, std::optional<std::int32_t> parameter) {
        const ControlWord* entry = findControlWord(word);
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
            input_.dropReadPages();
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
    std::string parameterText_;
    std::string currentLine_;
    const std::function<void(std::string_view)>& onLine_;
};

}  // namespace

void readRtfLines(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    const FileBytes file(path);
    const std::string_view bytes = file.bytes();
    // Nothing but line breaks is a file without a first line.
    if (bytes.find_first_not_of("\r\n") == std::string_view::npos) {
        fail(BrxError::RtfUnexpectedEnd);
    }
    if (!bytes.starts_with("{\\rtf")) fail(BrxError::NotRtf);

    RtfByteStream input(bytes, file.mapping());
    try {
        RtfDecoder(input, onLine).decode();
    } catch (const BrxFailure&) {
        // The zeros of a shortened file break its RTF; the file is at fault, not its form.
        file.failIfShrunk();
        throw;
    }
    file.failIfShrunk();
}

void readRtfLines(const std::string& path, std::vector<std::string>& lines) {
    std::vector<std::string> decoded;
    readRtfLines(path, [&decoded](std::string_view line) { decoded.emplace_back(line); });
    lines.insert(lines.end(), std::make_move_iterator(decoded.begin()),
                 std::make_move_iterator(decoded.end()));
}

}  // namespace brevo
