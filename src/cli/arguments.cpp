#include "cli/arguments.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <thread>
#include <vector>

#include "base/path_lookup.h"
#include "batch/file_selection.h"
#include "brx/language_table.h"

namespace brevo::cli {
namespace {

bool isDirectory(const std::string& path) {
    struct stat info;
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
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

struct Parser {
    const std::vector<std::string>& args;
    std::size_t next = 0;

    bool done() const { return next >= args.size(); }
    const std::string& take() { return args[next++]; }
    std::string valueOf(const std::string& option) {
        if (done()) throw UsageError{"Option " + option + " needs a value."};
        return take();
    }
};

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

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments result;
    BatchRequest& request = result.request;
    request.jobs = defaultJobs();
    std::optional<std::string> sourceDir;
    std::optional<FileFormat> format;
    std::vector<std::string> names;
    Parser parser{args};
    bool onlyFiles = false;
    while (!parser.done()) {
        const std::string& arg = parser.take();
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            names.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            result.showHelp = true;
            return result;
        } else if (arg == "--source-dir") {
            sourceDir = parser.valueOf(arg);
        } else if (arg == "--format") {
            std::string value = parser.valueOf(arg);
            if (value == "text") {
                format = FileFormat::Text;
            } else if (value == "rtf") {
                format = FileFormat::Rtf;
            } else {
                throw UsageError{"--format takes text or rtf, not \"" + value + "\"."};
            }
        } else if (arg == "--target-language") {
            std::string name = parser.valueOf(arg);
            std::optional<std::string> known = languageNameIgnoringCase(name);
            if (!known) throw UsageError{unknownLanguageMessage(name)};
            request.targetLanguage = std::move(*known);
        } else if (arg == "--page-size") {
            std::string value = parser.valueOf(arg);
            if (value != "a4" && value != "letter") {
                throw UsageError{"--page-size takes a4 or letter, not \"" + value + "\"."};
            }
            request.options.pageSize = value == "a4" ? PageSize::A4 : PageSize::Letter;
        } else if (arg == "--jobs" || arg == "-j") {
            request.jobs = parseJobs(parser.valueOf(arg));
        } else if (arg == "--overwrite") {
            request.options.overwriteFiles = true;
        } else {
            throw UsageError{"Unknown option " + arg + ". Try --help."};
        }
    }

    if (!sourceDir) throw UsageError{"--source-dir is required. Try --help."};
    if (names.empty()) throw UsageError{"No translated BRX files given. Try --help."};
    checkSourceDirectory(*sourceDir);

    FileSelection selection = selectFiles(names, format);
    if (selection.severalDirectories) {
        throw UsageError{"All translated files must be in one directory."};
    }
    result.rejected = std::move(selection.rejected);
    if (selection.files.empty()) return result;
    request.files = std::move(selection.files);
    request.targetDir = std::move(selection.directory);
    request.sourceDir = withTrailingSeparator(*sourceDir);
    request.options.fileFormat = selection.format;
    if (sameDirectory(request.sourceDir, request.targetDir)) {
        throw UsageError{std::string(kTwoDirectoriesMessage)};
    }
    orderSelection(request.files);
    return result;
}

std::string helpText() {
    return R"HELP(Usage: brevo-verify --source-dir DIR [options] FILE...

Verifies translated BRX files against their source files. Each FILE is a translated
BRX file; all of them must be in one directory. The source file of the same name is
looked up in DIR. A report NAME.CMP is written next to each translated file that has
findings; a pair without findings leaves no report. A FILE that does not exist, is no
regular file or lacks the format's extension is named on standard error and left out.

Options:
  --source-dir DIR          directory of the source BRX files (required); must differ
                            from the directory of the translated files
  --format text|rtf         how BRX files and reports are stored (default: from the first
                            file's extension, .txt text, .rtf RTF)
  --target-language NAME    language of the translation (default "English (US)"), in
                            any case;
                            Japanese targets also get the Japanese character check
  --page-size a4|letter     page size of RTF reports (default a4)
  --overwrite               replace existing reports without asking; otherwise the
                            question is asked on a terminal (y, n, a: yes to all
                            remaining, c: cancel) and existing reports are kept when
                            the input is not a terminal
  -j, --jobs N              verify N pairs at once (default: the number of cores); the
                            output is the same as one at a time, and every overwrite
                            question is asked before any work starts
  -h, --help                this text

Output: the results log of the batch on standard output, then its summary. Progress
bars go to standard error when it is a terminal. Ctrl-C cancels the batch.

Exit status:
  0   every file verified without findings
  1   every file verified, with findings
  2   some file could not be (fully) verified, or was left out
  3   the batch was stopped (cancelled, out of memory, unknown error)
  64  usage error
)HELP";
}

}  // namespace brevo::cli
