#include "test_support.h"

#include <unistd.h>

#include <atomic>
#include <deque>
#include <iterator>
#include <mutex>

#include "brx/brx_loader.h"

namespace brevo::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("brevo-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const {
    std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string_view keepText(std::string_view text) {
    static std::mutex mutex;
    static std::deque<std::string> kept;
    std::lock_guard lock(mutex);
    return kept.emplace_back(text);
}

Segment segmentWithTag(std::string_view tag, std::string_view rest) {
    Segment made;
    std::string text(tag);
    text += rest;
    made.text = keepText(text);
    made.tagLength = static_cast<std::uint32_t>(tag.size());
    return made;
}

Segment segmentWithForeignTag(std::string_view tag, std::string_view text) {
    // The tag is kept right after the text, where the segment's view of its tag reaches.
    std::string stored(text);
    stored += tag;
    Segment made;
    made.text = keepText(stored).substr(0, text.size());
    made.tagStart = static_cast<std::uint32_t>(text.size());
    made.tagLength = static_cast<std::uint32_t>(tag.size());
    return made;
}

std::vector<Segment> segmentsOf(const std::vector<std::string>& lines) {
    static std::mutex mutex;
    static std::deque<TextStore> kept;
    BrxDocument document;
    detail::segmentLines(lines, document);
    std::lock_guard lock(mutex);
    kept.push_back(std::move(document.text));
    return std::move(document.segments);
}

std::string brxText(std::string_view body, std::string_view language) {
    std::string text = "<brx \"I2.00\">\n<language \"";
    text += language;
    text += "\">\n<quotes \"As text\">\n<readonly \"Translate\">\n";
    text += body;
    return text;
}

}  // namespace brevo::test
