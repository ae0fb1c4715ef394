// brevo-read-lines: the benchmark's baseline. Reads each translated file and its source line by
// line with the verifier's own line reader, and does nothing else with them.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/file_failure.h"
#include "brx/line_reader.h"

namespace {

struct Totals {
    unsigned long long lines = 0;
    unsigned long long bytes = 0;
};

void readAll(const std::string& path, Totals& totals) {
    brevo::LineReader reader;
    reader.open(path);
    std::string line;
    while (reader.readLine(line)) {
        ++totals.lines;
        totals.bytes += line.size();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || std::string_view(argv[1]) != "--source-dir") {
        std::fputs("usage: brevo-read-lines --source-dir DIR FILE...\n", stderr);
        return 64;
    }
    const std::filesystem::path sourceDir = argv[2];
    Totals totals;
    try {
        for (int i = 3; i < argc; ++i) {
            const std::filesystem::path target = argv[i];
            readAll((sourceDir / target.filename()).string(), totals);
            readAll(target.string(), totals);
        }
    } catch (const brevo::FileFailure& failure) {
        std::fprintf(stderr, "brevo-read-lines: cannot read %s\n", failure.fileName.c_str());
        return 2;
    }
    std::printf("%llu lines, %llu bytes\n", totals.lines, totals.bytes);
    return 0;
}
