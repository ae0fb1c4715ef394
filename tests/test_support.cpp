#include "test_support.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <unistd.h>

#include <atomic>
#include <deque>
#include <iterator>
#include <mutex>
#include <random>

#include "base/file_names.h"
#include "brx/brx_loader.h"

namespace brevo::test {

namespace {

#if defined(_WIN32)
// The file system library reaches no name past the old length limit here, so the tree goes
// through the wide interface, with read-only files made writable first.
void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            const DWORD kind = found.dwFileAttributes;
            // A link to a directory goes, never what it points to.
            if ((kind & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                (kind & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                ::RemoveDirectoryW(child.c_str());
            } else if ((kind & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                removeTree(child);
            } else {
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}
#endif

}  // namespace

TempDir::TempDir() {
    // Process ids come round again, under Wine even from run to run.
    static const unsigned salt = std::random_device{}();
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("brevo-test-" + std::to_string(::getpid()) + "-" + std::to_string(salt % 100000) +
             "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
#if defined(_WIN32)
    removeTree(L"\\\\?\\" + path_.wstring());
#else
    namespace fs = std::filesystem;
    std::error_code ignored;
    // Tests leave directories that their owner may not write.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto entry = fs::recursive_directory_iterator(path_, ignored);
         entry != fs::recursive_directory_iterator(); entry.increment(ignored)) {
        fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
#endif
}

std::string TempDir::dir() const {
#if defined(_WIN32)
    const std::u8string name = path_.u8string();
    return std::string(name.begin(), name.end()) + kDirSeparator;
#else
    return path_.string() + kDirSeparator;
#endif
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const {
    const std::string file = dir() + withNativeSeparators(name);
    std::filesystem::create_directories(fsPath(file).parent_path());
    std::ofstream out(fsPath(file), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readFile(const std::string& path) {
    return readFile(fsPath(path));
}

std::filesystem::path fsPath(const std::string& path) {
#if defined(_WIN32)
    // Past the old length limit only the "\\?\" form of an absolute name reaches a file.
    std::u8string name(path.begin(), path.end());
    if (name.size() >= 240 && !name.starts_with(u8"\\\\")) name = u8"\\\\?\\" + name;
    return std::filesystem::path(name);
#else
    return std::filesystem::path(path);
#endif
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
