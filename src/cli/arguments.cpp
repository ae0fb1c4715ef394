#include "cli/arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <thread>
#include <vector>

#include "base/file_status.h"
#include "base/path_lookup.h"
#include "batch/file_selection.h"
#include "brx/language_table.h"

namespace brevo::cli {
namespace {

bool isDirectory(const std::string& path) {
    return fileKind(path) == FileKind::Directory;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The valid name closest to a mistyped one, when one is close enough to be meant.
std::optional<std::string_view> nearestLanguage(std::string_view name) {
    const std::string typed = foldCase(name);
    std::optional<std::string_view> nearest;
    std::size_t best = std::max<std::size_t>(2, typed.size() / 3) + 1;
    for (std::string_view valid : languageNames()) {
        const std::size_t distance = editDistance(typed, foldCase(valid));
        if (distance < best) {
            best = distance;
            nearest = valid;
        }
    }
    return nearest;
}

std::string unknownLanguageMessage(const std::string& name) {
    std::string message = "Unknown target language \"" + name + "\"";
    if (auto nearest = nearestLanguage(name)) {
        message += " (did you mean ";
        message += *nearest;
        message += "?)";
    }
    message += ". Valid names are:";
    std::vector<std::string_view> sorted = languageNames();
    std::sort(sorted.begin(), sorted.end());
    for (std::string_view valid : sorted) {
        message += "\n  ";
        message += valid;
    }
    message += "\n(any name beginning with \"Japanese\" is Japanese)";
    return message;
}

int parseJobs(const std::string& value) {
    int jobs = 0;
    const char* end = value.data() + value.size();
    auto [stop, error] = std::from_chars(value.data(), end, jobs);
    if (error != std::errc() || stop != end || jobs < 1) {
        throw UsageError{"--jobs takes a number of at least 1, not \"" + value + "\"."};
    }
    return jobs;
}

int defaultJobs() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void checkSourceDirectory(const std::string& sourceDir) {
    if (!isDirectory(sourceDir)) {
        throw UsageError{sourceDir + ": The path you entered doesn't exist. Please try again."};
    }
}

// One of a few words, or a usage error that names them.
template <typename Value>
Value choice(const std::string& option, const std::string& value,
             std::initializer_list<std::pair<std::string_view, Value>> words) {
    for (const auto& [word, meaning] : words) {
        if (value == word) return meaning;
    }
    std::string allowed;
    for (const auto& [word, meaning] : words) {
        if (!allowed.empty()) allowed += words.size() == 2 ? " or " : ", ";
        allowed += word;
    }
    throw UsageError{option + " takes " + allowed + ", not \"" + value + "\"."};
}

// The values of the options as they were typed; checked after parsing, with this program's
// own messages.
struct Typed {
    std::optional<std::string> sourceDir;
    std::optional<std::string> format;
    std::optional<std::string> targetLanguage;
    std::optional<std::string> pageSize;
    std::optional<std::string> jobs;
    std::string failOn = "warning";
    std::vector<std::string> names;
};

void describeOptions(CLI::App& app, Typed& typed, Arguments& result) {
    app.set_help_flag("-h,--help", "Print this help and exit");
    app.get_formatter()->column_width(34);
    app.add_option("--source-dir", typed.sourceDir, "Directory of the source BRX files (required)")
        ->type_name("DIR");
    app.add_option("--format", typed.format, "How BRX files are stored (default: by extension)")
        ->type_name("text|rtf");
    app.add_option("--target-language", typed.targetLanguage,
                   "Language of the translation (default English (US))")
        ->type_name("NAME");
    app.add_option("--page-size", typed.pageSize, "Page size of RTF reports (default a4)")
        ->type_name("a4|letter");
    app.add_flag("--overwrite", result.request.options.overwriteFiles,
                 "Replace existing reports without asking");
    app.add_option("-j,--jobs", typed.jobs, "Pairs verified at once (default: one per core)")
        ->type_name("N");
    app.add_option("--json", result.jsonPath, "Write the findings as JSON (- for stdout)")
        ->type_name("FILE");
    app.add_option("--sarif", result.sarifPath, "Write the findings as SARIF 2.1.0 (- for stdout)")
        ->type_name("FILE");
    app.add_option("--fail-on", typed.failOn, "Least severity that exits with 1 (default warning)")
        ->type_name("error|alert|warning|never");
    app.add_flag("-q,--quiet", result.quiet, "No results lines, only the summary");
    app.add_flag("--version", result.showVersion, "Print the version and exit");
    app.add_option("FILE", typed.names, "Translated BRX files, all in one directory")
        ->type_name("");
}

// CLI11's own words for a fault, in this program's.
UsageError usageErrorOf(const CLI::ParseError& error) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        const std::size_t colon = what.find(": ");
        const std::string extra = colon == std::string::npos ? what : what.substr(colon + 2);
        return UsageError{"Unknown option " + extra + ". Try --help."};
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return UsageError{"Option " + what.substr(0, what.find(':')) + " needs a value."};
    }
    return UsageError{what + " Try --help."};
}

void applyOptions(const Typed& typed, Arguments& result) {
    BatchRequest& request = result.request;
    if (typed.format) {
        result.format = choice<FileFormat>("--format", *typed.format,
                                           {{"text", FileFormat::Text}, {"rtf", FileFormat::Rtf}});
    }
    request.jobs = typed.jobs ? parseJobs(*typed.jobs) : defaultJobs();
    if (typed.targetLanguage) {
        std::optional<std::string> known = languageNameIgnoringCase(*typed.targetLanguage);
        if (!known) throw UsageError{unknownLanguageMessage(*typed.targetLanguage)};
        request.targetLanguage = std::move(*known);
    }
    if (typed.pageSize) {
        request.options.pageSize = choice<PageSize>(
            "--page-size", *typed.pageSize, {{"a4", PageSize::A4}, {"letter", PageSize::Letter}});
    }
    result.failOn = choice<FailOn>("--fail-on", typed.failOn,
                                   {{"error", FailOn::Error},
                                    {"alert", FailOn::Alert},
                                    {"warning", FailOn::Warning},
                                    {"never", FailOn::Never}});
    if (result.jsonPath && result.sarifPath && *result.jsonPath == "-" &&
        *result.sarifPath == "-") {
        throw UsageError{"Only one of --json and --sarif can write to standard output."};
    }
    request.options.keepFindings = result.jsonPath || result.sarifPath;
}

void selectTranslatedFiles(const Typed& typed, Arguments& result) {
    if (!typed.sourceDir) throw UsageError{"--source-dir is required. Try --help."};
    if (typed.names.empty()) throw UsageError{"No translated BRX files given. Try --help."};
    checkSourceDirectory(*typed.sourceDir);

    FileSelection selection = selectFiles(typed.names, result.format);
    if (selection.severalDirectories) {
        throw UsageError{"All translated files must be in one directory."};
    }
    result.rejected = std::move(selection.rejected);
    if (selection.files.empty()) return;
    BatchRequest& request = result.request;
    request.files = std::move(selection.files);
    request.targetDir = std::move(selection.directory);
    request.sourceDir = withTrailingSeparator(withNativeSeparators(*typed.sourceDir));
    request.options.fileFormat = selection.format;
    if (sameDirectory(request.sourceDir, request.targetDir)) {
        throw UsageError{std::string(kTwoDirectoriesMessage)};
    }
    orderSelection(request.files);
}

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments result;
    Typed typed;
    CLI::App app;
    describeOptions(app, typed, result);
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        result.showHelp = true;
        return result;
    } catch (const CLI::ParseError& error) {
        throw usageErrorOf(error);
    }
    if (result.showVersion) return result;
    applyOptions(typed, result);
    selectTranslatedFiles(typed, result);
    return result;
}

std::string helpText() {
    Typed typed;
    Arguments result;
    CLI::App app(
        "Verifies translated BRX files against their source files, which have the same names\n"
        "in DIR. A report NAME.CMP is written beside each translated file with findings.\n"
        "A FILE that does not exist, is no regular file or lacks the format's extension is\n"
        "named on standard error and left out. See brevo-verify(1) for more.",
        "brevo-verify");
    describeOptions(app, typed, result);
    app.footer(
        "Output: the results log on standard output, then the summary; progress on standard\n"
        "error when it is a terminal. Ctrl-C cancels the batch.\n\n"
        "Exit status:\n"
        "  0   every file verified without findings (at or above --fail-on)\n"
        "  1   every file verified, with such findings\n"
        "  2   some file could not be (fully) verified or was left out, or the JSON or\n"
        "      SARIF could not be written\n"
        "  3   the batch was stopped (cancelled, out of memory, unknown error)\n"
        "  64  usage error");
    return app.help();
}

}  // namespace brevo::cli
