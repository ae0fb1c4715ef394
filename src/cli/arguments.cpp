#include "cli/arguments.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <thread>

#include "brx/language_table.h"
#include "brx/path_lookup.h"

namespace brevo::cli {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isDirectory(const std::string& path) {
    struct stat info;
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

// "a.txt" stands for "./a.txt": every file has a directory ending with the separator.
std::string withDirectory(const std::string& file) {
    if (file.find(kDirSeparator) != std::string::npos) return file;
    std::string path(1, '.');
    path += kDirSeparator;
    path += file;
    return path;
}

std::string directoryOf(const std::string& path) {
    return path.substr(0, path.rfind(kDirSeparator) + 1);
}

FileFormat formatFromExtension(const std::string& path) {
    const std::string name = lowerCase(path.substr(path.rfind(kDirSeparator) + 1));
    return name.ends_with(".rtf") ? FileFormat::Rtf : FileFormat::Text;
}

std::string unknownLanguageMessage(const std::string& name) {
    std::string message = "Unknown target language \"" + name + "\". Valid names are:";
    for (std::string_view valid : languageNames()) {
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

void checkDirectories(BatchRequest& request) {
    if (request.sourceDir == request.targetDir) {
        throw UsageError{"You must select files in two different directories."};
    }
    if (!isDirectory(request.sourceDir)) {
        throw UsageError{"The path you entered doesn't exist. Please try again."};
    }
}

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments result;
    BatchRequest& request = result.request;
    request.jobs = defaultJobs();
    std::optional<std::string> sourceDir;
    std::optional<FileFormat> format;
    Parser parser{args};
    bool onlyFiles = false;
    while (!parser.done()) {
        const std::string& arg = parser.take();
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            request.files.push_back(withDirectory(arg));
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
            if (codePageOf(name) == 0) throw UsageError{unknownLanguageMessage(name)};
            request.targetLanguage = name;
        } else if (arg == "--page-size") {
            std::string value = parser.valueOf(arg);
            if (value != "a4" && value != "letter") {
                throw UsageError{"--page-size takes a4 or letter, not \"" + value + "\"."};
            }
            request.options.rtfPageSize = value == "a4" ? 0 : 1;
        } else if (arg == "--jobs" || arg == "-j") {
            request.jobs = parseJobs(parser.valueOf(arg));
        } else if (arg == "--overwrite") {
            request.options.overwriteFiles = true;
        } else {
            throw UsageError{"Unknown option " + arg + ". Try --help."};
        }
    }

    if (!sourceDir) throw UsageError{"--source-dir is required. Try --help."};
    if (request.files.empty()) throw UsageError{"No translated BRX files given. Try --help."};
    request.targetDir = directoryOf(request.files.front());
    for (const std::string& file : request.files) {
        if (directoryOf(file) != request.targetDir) {
            throw UsageError{"All translated files must be in one directory."};
        }
    }
    request.sourceDir = withTrailingSeparator(*sourceDir);
    request.options.fileFormat = format.value_or(formatFromExtension(request.files.front()));
    checkDirectories(request);
    orderSelection(request.files);
    return result;
}

std::string helpText() {
    return R"HELP(Usage: brevo-verify --source-dir DIR [options] FILE...

Verifies translated BRX files against their source files. Each FILE is a translated
BRX file; all of them must be in one directory. The source file of the same name is
looked up in DIR. A report NAME.CMP is written next to each translated file that has
findings; a pair without findings leaves no report.

Options:
  --source-dir DIR          directory of the source BRX files (required); must differ
                            from the directory of the translated files
  --format text|rtf         how BRX files and reports are stored (default: from the first
                            file's extension, .txt text, .rtf RTF)
  --target-language NAME    language of the translation (default "English (US)");
                            Japanese targets also get the Japanese character check
  --page-size a4|letter     page size of RTF reports (default a4)
  --overwrite               replace existing reports without asking; otherwise the
                            question is asked on a terminal and answered No when the
                            input is not a terminal
  -j, --jobs N              verify N pairs at once (default: the number of cores); the
                            output is the same as one at a time, and every overwrite
                            question is asked before any work starts
  -h, --help                this text

Output: the results log of the batch on standard output, then its summary. Progress
bars go to standard error when it is a terminal. Ctrl-C cancels the batch.

Exit status:
  0   every file verified without findings
  1   every file verified, with findings
  2   some file could not be (fully) verified
  3   the batch was stopped (cancelled, out of memory, unknown error)
  64  usage error
)HELP";
}

}  // namespace brevo::cli
