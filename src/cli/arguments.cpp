#include "cli/arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <thread>
#include <vector>

#include "base/file_failure.h"
#include "base/file_status.h"
#include "base/path_lookup.h"
#include "batch/batch_plan.h"
#include "batch/status_messages.h"
#include "brx/language_table.h"
#include "cli/name_list.h"

namespace brevo::cli {
namespace {

constexpr std::size_t kJobsPerCore = 4;

// The options whose value names a file or a directory.
constexpr std::string_view kNameOptions[] = {"--source-dir", "--json", "--sarif", "--files-from"};

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

int cores() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// More pairs at once than the machine runs only costs memory; none are left waiting for a file.
int usefulJobs(int asked, std::size_t files) {
    const std::size_t most = std::min(files, kJobsPerCore * static_cast<std::size_t>(cores()));
    return static_cast<int>(std::clamp(static_cast<std::size_t>(asked), std::size_t{1},
                                       std::max<std::size_t>(1, most)));
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
    std::optional<std::string> filesFrom;
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
    app.add_option(
           "-j,--jobs", typed.jobs,
           "Pairs verified at once (default: one per core; at most 4 per core and one per file)")
        ->type_name("N");
    app.add_option("--json", result.jsonPath, "Write the findings as JSON (- for stdout)")
        ->type_name("FILE");
    app.add_option("--sarif", result.sarifPath, "Write the findings as SARIF 2.1.0 (- for stdout)")
        ->type_name("FILE");
    app.add_option("--fail-on", typed.failOn, "Least severity that exits with 1 (default warning)")
        ->type_name("error|alert|warning|never");
    app.add_flag("--diagnostics", result.diagnostics,
                 "Each finding on stderr as compilers print theirs");
    app.add_option("--files-from", typed.filesFrom,
                   "Verify the files named in LIST, one a line (- for stdin)")
        ->type_name("LIST");
    app.add_flag("-q,--quiet", result.quiet, "No results lines, only the summary");
    app.add_flag("--version", result.showVersion, "Print the version and exit");
    // The names are taken from the parser rather than copied: a batch may name thousands.
    const auto takeNames = [&typed](const CLI::results_t& names) {
        typed.names = std::move(const_cast<CLI::results_t&>(names));
        return true;
    };
    app.add_option("FILE", takeNames, "Translated BRX files, all in one directory")
        ->type_name("")
        ->type_size(1)
        ->expected(CLI::detail::expected_max_vector_size);
}

// CLI11's own words for a fault, in this program's.
UsageError usageErrorOf(const CLI::ParseError& error, const CLI::App& app) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        const std::size_t colon = what.find(": ");
        const std::string extra = colon == std::string::npos ? what : what.substr(colon + 2);
        return UsageError{"Unknown option " + extra + ". Try --help."};
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        const std::string option = what.substr(0, what.find(':'));
        const CLI::Option* given = app.get_option_no_throw(option);
        if (given != nullptr && given->count() > 1) {
            return UsageError{"Option " + option + " is given more than once."};
        }
        return UsageError{"Option " + option + " needs a value."};
    }
    return UsageError{what + " Try --help."};
}

void applyOptions(const Typed& typed, Arguments& result) {
    BatchRequest& request = result.request;
    if (typed.format) {
        result.format = choice<FileFormat>("--format", *typed.format,
                                           {{"text", FileFormat::Text}, {"rtf", FileFormat::Rtf}});
    }
    request.jobs = typed.jobs ? parseJobs(*typed.jobs) : cores();
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
    request.options.keepFindings = result.jsonPath || result.sarifPath || result.diagnostics;
}

// The names given as arguments, then those of the --files-from list.
std::vector<std::string> namesToVerify(Typed& typed, Arguments& result) {
    std::vector<std::string> names = std::move(typed.names);
    if (!typed.filesFrom) return names;
    const std::string& list = *typed.filesFrom;
    result.namesFromStdin = list == "-";
    try {
        std::vector<std::string> listed = namesOfList(readList(list));
        names.insert(names.end(), std::make_move_iterator(listed.begin()),
                     std::make_move_iterator(listed.end()));
    } catch (const FileFailure& failure) {
        throw UsageError{"cannot read the list " + list + ": " +
                         std::string(fileErrorMessage(failure.cause))};
    }
    return names;
}

void selectTranslatedFiles(Typed& typed, Arguments& result) {
    if (!typed.sourceDir) throw UsageError{"--source-dir is required. Try --help."};
    std::vector<std::string> names = namesToVerify(typed, result);
    if (names.empty()) throw UsageError{"No translated BRX files given. Try --help."};
    if (!isExistingDirectory(*typed.sourceDir)) {
        throw UsageError{*typed.sourceDir + ": " + std::string(kNoSuchDirectoryMessage)};
    }
    BatchPlan plan = planFiles(std::move(names), result.format, std::move(result.request));
    if (plan.severalDirectories) throw UsageError{std::string(kSeveralDirectoriesMessage)};
    result.rejected = std::move(plan.rejected);
    if (!plan.request.files.empty() &&
        takeSourceDirectory(plan, *typed.sourceDir) == SourceProblem::SameAsTarget) {
        throw UsageError{std::string(kTwoDirectoriesMessage)};
    }
    result.request = std::move(plan.request);
    result.request.jobs = usefulJobs(result.request.jobs, result.request.files.size());
}

bool isNameOption(std::string_view option) {
    return std::find(std::begin(kNameOptions), std::end(kNameOptions), option) !=
           std::end(kNameOptions);
}

std::string emptyValueMessage(std::string_view option) {
    const std::string name(option);
    if (isNameOption(option)) return "Option " + name + " needs a name, not an empty value.";
    return "Option " + name + " needs a value.";
}

// "--json=" would otherwise take the next argument, a translated file, as its value.
void rejectEmptyValues(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return;
        if (arg.starts_with("--") && arg.ends_with('=') && arg.find('=') == arg.size() - 1) {
            throw UsageError{emptyValueMessage(std::string_view(arg).substr(0, arg.size() - 1))};
        }
    }
}

void rejectEmptyNames(const Typed& typed, const Arguments& result) {
    const std::pair<std::string_view, const std::optional<std::string>*> given[] = {
        {"--source-dir", &typed.sourceDir},
        {"--json", &result.jsonPath},
        {"--sarif", &result.sarifPath},
        {"--files-from", &typed.filesFrom}};
    for (const auto& [option, value] : given) {
        if (*value && (*value)->empty()) throw UsageError{emptyValueMessage(option)};
    }
}

// The findings must not take the place of a file the batch reads or writes, nor of each other.
void checkFindingsFiles(const Typed& typed, const Arguments& result) {
    std::vector<std::pair<std::string_view, std::string>> outputs;
    if (result.jsonPath && *result.jsonPath != "-")
        outputs.emplace_back("--json", *result.jsonPath);
    if (result.sarifPath && *result.sarifPath != "-") {
        outputs.emplace_back("--sarif", *result.sarifPath);
    }
    if (outputs.size() == 2 && sameFileOrPlace(outputs[0].second, outputs[1].second)) {
        throw UsageError{"--json and --sarif name the same file, " + outputs[1].second + "."};
    }
    if (outputs.empty()) return;
    std::vector<std::string> batchFiles = filesOfBatch(result.request);
    if (typed.filesFrom && *typed.filesFrom != "-") batchFiles.push_back(*typed.filesFrom);
    for (const auto& [option, path] : outputs) {
        for (const std::string& file : batchFiles) {
            if (sameFileOrPlace(path, file)) {
                throw UsageError{std::string(option) + " " + path + " would take the place of " +
                                 file + ", a file of the batch."};
            }
        }
    }
}

// The options into `typed` and `result`; false when only help is wanted. The parser, with its
// copies of what may be thousands of names, ends here, before the files are looked at.
bool parseOptions(std::vector<std::string> args, Typed& typed, Arguments& result) {
    CLI::App app;
    describeOptions(app, typed, result);
    try {
        // CLI11 takes the arguments last first.
        std::reverse(args.begin(), args.end());
        app.parse(args);
    } catch (const CLI::CallForHelp&) {
        result.showHelp = true;
        return false;
    } catch (const CLI::ParseError& error) {
        throw usageErrorOf(error, app);
    }
    return true;
}

}  // namespace

Arguments parseArguments(std::vector<std::string> args) {
    rejectEmptyValues(args);
    Arguments result;
    Typed typed;
    if (!parseOptions(std::move(args), typed, result) || result.showVersion) return result;
    rejectEmptyNames(typed, result);
    applyOptions(typed, result);
    selectTranslatedFiles(typed, result);
    checkFindingsFiles(typed, result);
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
