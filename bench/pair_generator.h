#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace brevo::bench {

// How much of the translation to spoil, each in percent of the tags concerned.
struct Damage {
    double loseExternal = 0;  // external tags removed, their text kept
    double moveInternal = 0;  // internal tags moved, with their text, to a later paragraph
    double changeTags = 0;    // tags replaced by a similar tag, external and internal alike
    double dropInternal = 0;  // internal tags removed, their text kept
    double addMarked = 0;     // paragraphs after which the translator adds a "<#ps ...>" one

    bool any() const {
        return loseExternal > 0 || moveInternal > 0 || changeTags > 0 || dropInternal > 0 ||
               addMarked > 0;
    }
};

enum class Form { Text, Rtf };

struct PairOptions {
    std::uint64_t seed = 1;
    // The source grows until its text form has at least this many bytes; the RTF form of the
    // same options holds the same lines.
    std::uint64_t sourceBytes = 64 * 1024;
    Form form = Form::Text;
    Damage damage;
};

struct PairStats {
    std::uint64_t sourceBytes = 0;
    std::uint64_t targetBytes = 0;
    std::uint64_t externalTags = 0;  // in the source
    std::uint64_t internalTags = 0;  // in the source
    std::uint64_t lostExternal = 0;
    std::uint64_t movedInternal = 0;
    std::uint64_t changedTags = 0;
    std::uint64_t droppedInternal = 0;
    std::uint64_t addedMarked = 0;

    PairStats& operator+=(const PairStats& other);
};

// Writes one source file and its translation. The same options always give the same bytes.
PairStats generatePair(const PairOptions& options, std::FILE* source, std::FILE* target);

// The same, into two files; throws std::runtime_error when a file cannot be written.
PairStats generatePairFiles(const PairOptions& options, const std::string& sourcePath,
                            const std::string& targetPath);

}  // namespace brevo::bench
