// The RTF reader on any bytes: a status or lines, and nothing appended on failure.
#include <cstdint>
#include <string>
#include <vector>

#include "brx/failure.h"
#include "brx/rtf_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevo;
    static fuzz::MemoryFile file;
    const std::string& path = file.hold(fuzz::asBytes(data, size));

    const std::vector<std::string> before = {"line read earlier"};
    std::vector<std::string> lines = before;
    try {
        readRtfLines(path, lines);
    } catch (const BrxFailure&) {
        if (lines != before) fuzz::fault("lines appended by a failed decoding");
        return 0;
    }
    if (lines.empty() || lines.front() != before.front()) fuzz::fault("earlier lines lost");
    return 0;
}
