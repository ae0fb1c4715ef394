#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace brevo {

// A file written whole that takes the place of `path` only once it is complete. The bytes go
// to a new file in the same directory, which replaces the old one at commit(); a failure, or
// destruction before commit(), leaves the earlier file as it was and nothing partial. Where
// the system can, the new file has no name before commit(), so that not even a killed process
// leaves it behind. A
// replaced file keeps its owner and permissions where the process may set them, and a
// symbolic link stays while its target is replaced. A device or pipe is written in place.
// Every failure throws FileFailure naming `path`.
class ReplacingFile {
public:
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // All of `bytes`, unbuffered.
    void write(std::string_view bytes);
    // The bytes are on the disk before the file takes the old one's place.
    void commit();

private:
    struct State;  // the platform's handles and names
    std::unique_ptr<State> state_;
};

}  // namespace brevo
