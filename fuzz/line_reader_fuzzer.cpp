// The line reader against a plain model of its line breaks, then the header checks.
#include <cstdint>
#include <string>
#include <vector>

#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "brx/line_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevo;
    static fuzz::MemoryFile file;
    const std::string_view bytes = fuzz::asBytes(data, size);

    std::vector<std::string> lines;
    LineReader reader;
    reader.open(file.hold(bytes));
    std::string line;
    while (reader.readLine(line)) lines.push_back(line);
    if (reader.readLine(line) || !line.empty()) fuzz::fault("a line after the end");
    if (lines != fuzz::expectedLines(bytes)) fuzz::fault("lines differ from the model");

    LanguageSettings languages;
    try {
        detail::validateHeader(lines, languages);
    } catch (const BrxFailure&) {
    }
    return 0;
}
