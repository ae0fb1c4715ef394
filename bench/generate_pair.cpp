// brevo-generate: writes realistic BRX source files and their translations, spoiled as asked.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pair_generator.h"

namespace {

using brevo::bench::Form;
using brevo::bench::PairOptions;
using brevo::bench::PairStats;

constexpr std::string_view kUsage =
    "usage: brevo-generate --out DIR [--name NAME] [--files N] [--size BYTES[K|M]] [--seed N]\n"
    "                      [--format text|rtf] [--lose-external PCT] [--move-internal PCT]\n"
    "                      [--change-tags PCT] [--drop-internal PCT] [--add-marked PCT]\n"
    "Writes DIR/source/NAME.EXT and DIR/target/NAME.EXT; with --files N, N pairs NAME0001...\n"
    "whose sizes vary around --size. The same arguments always give the same bytes.\n";

struct Request {
    std::filesystem::path out;
    std::string name = "book";
    int files = 1;
    PairOptions options;
};

[[noreturn]] void usageError(const std::string& message) {
    std::fprintf(stderr, "brevo-generate: %s\n%.*s", message.c_str(),
                 static_cast<int>(kUsage.size()), kUsage.data());
    std::exit(64);
}

std::uint64_t parseSize(const std::string& text) {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    const std::string_view unit = std::string_view(text).substr(used);
    double factor = 1;
    if (unit == "K" || unit == "k") factor = 1024;
    if (unit == "M" || unit == "m") factor = 1024 * 1024;
    if (unit == "G" || unit == "g") factor = 1024.0 * 1024 * 1024;
    if (!unit.empty() && factor == 1) throw std::invalid_argument(text);
    return static_cast<std::uint64_t>(value * factor);
}

double parsePercent(const std::string& text) {
    const double value = std::stod(text);
    if (value < 0 || value > 100) throw std::invalid_argument(text);
    return value;
}

Request parseRequest(const std::vector<std::string>& args) {
    Request request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 == args.size()) usageError("missing value for " + option);
        const std::string& value = args[++i];
        try {
            if (option == "--out") {
                request.out = value;
            } else if (option == "--name") {
                request.name = value;
            } else if (option == "--files") {
                request.files = std::stoi(value);
            } else if (option == "--size") {
                request.options.sourceBytes = parseSize(value);
            } else if (option == "--seed") {
                request.options.seed = std::stoull(value);
            } else if (option == "--format") {
                if (value != "text" && value != "rtf") throw std::invalid_argument(value);
                request.options.form = value == "rtf" ? Form::Rtf : Form::Text;
            } else if (option == "--lose-external") {
                request.options.damage.loseExternal = parsePercent(value);
            } else if (option == "--move-internal") {
                request.options.damage.moveInternal = parsePercent(value);
            } else if (option == "--change-tags") {
                request.options.damage.changeTags = parsePercent(value);
            } else if (option == "--drop-internal") {
                request.options.damage.dropInternal = parsePercent(value);
            } else if (option == "--add-marked") {
                request.options.damage.addMarked = parsePercent(value);
            } else {
                usageError("unknown option " + option);
            }
        } catch (const std::logic_error&) {
            usageError("bad value for " + option + ": " + value);
        }
    }
    if (request.out.empty()) usageError("--out is required");
    if (request.files < 1) usageError("--files must be at least 1");
    return request;
}

std::string fileName(const Request& request, int index) {
    const char* extension = request.options.form == Form::Rtf ? ".rtf" : ".txt";
    if (request.files == 1) return request.name + extension;
    char number[16];
    std::snprintf(number, sizeof number, "%04d", index + 1);
    return request.name + number + extension;
}

void printStats(const PairStats& stats) {
    auto percentOf = [](std::uint64_t part, std::uint64_t whole) {
        return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    };
    const std::uint64_t tags = stats.externalTags + stats.internalTags;
    std::printf("source %llu bytes, target %llu bytes; %llu external and %llu internal tags\n",
                static_cast<unsigned long long>(stats.sourceBytes),
                static_cast<unsigned long long>(stats.targetBytes),
                static_cast<unsigned long long>(stats.externalTags),
                static_cast<unsigned long long>(stats.internalTags));
    std::printf(
        "lost %.1f%% of external, moved %.1f%% and dropped %.1f%% of internal, changed %.1f%% "
        "of all tags; %llu paragraphs added\n",
        percentOf(stats.lostExternal, stats.externalTags),
        percentOf(stats.movedInternal, stats.internalTags),
        percentOf(stats.droppedInternal, stats.internalTags), percentOf(stats.changedTags, tags),
        static_cast<unsigned long long>(stats.addedMarked));
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = parseRequest(std::vector<std::string>(argv + 1, argv + argc));
    try {
        std::filesystem::create_directories(request.out / "source");
        std::filesystem::create_directories(request.out / "target");
        PairStats total;
        for (int index = 0; index < request.files; ++index) {
            PairOptions options = request.options;
            if (request.files > 1) {
                // Small files of varying size, each from a seed of its own.
                options.seed = request.options.seed * 1000003 + static_cast<std::uint64_t>(index);
                options.sourceBytes = request.options.sourceBytes / 2 +
                                      options.seed * 7919 % (request.options.sourceBytes + 1);
            }
            const std::string name = fileName(request, index);
            total += brevo::bench::generatePairFiles(options, request.out / "source" / name,
                                                     request.out / "target" / name);
        }
        printStats(total);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "brevo-generate: %s\n", error.what());
        return 1;
    }
    return 0;
}
