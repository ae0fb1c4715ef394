#include "brx/path_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <chrono>
#include <ctime>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace brevo {
namespace {

// A listing is kept only for a directory last changed well before it was read, so that any
// later change shows as a new modification time even on file systems with coarse clocks.
constexpr std::chrono::seconds kSettledFor{1};

std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The names of one directory by their case-folded form, each the first in byte order.
struct Listing {
    dev_t device = 0;
    ino_t inode = 0;
    std::timespec modified{};
    std::timespec changed{};  // catches a modification time set back by hand
    std::unordered_map<std::string, std::string> firstByFolded;
};

bool sameDirectory(const Listing& listing, const struct stat& info) {
    return listing.device == info.st_dev && listing.inode == info.st_ino &&
           listing.modified.tv_sec == info.st_mtim.tv_sec &&
           listing.modified.tv_nsec == info.st_mtim.tv_nsec &&
           listing.changed.tv_sec == info.st_ctim.tv_sec &&
           listing.changed.tv_nsec == info.st_ctim.tv_nsec;
}

bool settled(const struct stat& info) {
    const auto changed = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(info.st_mtim.tv_sec) +
            std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
    return changed + kSettledFor < std::chrono::system_clock::now();
}

bool readListing(const std::string& directory, const struct stat& info, Listing& listing) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return false;
    listing.device = info.st_dev;
    listing.inode = info.st_ino;
    listing.modified = {info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    listing.changed = {info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        auto [first, inserted] = listing.firstByFolded.try_emplace(folded(name), name);
        if (!inserted && name < first->second) first->second = name;
    }
    ::closedir(dir);
    return true;
}

// Every pair of a batch looks its files up in the same two directories: reading a directory
// of thousands of files for each would make a batch quadratic in its length. Listings are
// shared by all threads of a batch.
class ListingCache {
public:
    // The entry of `directory` named `name` regardless of case, or nothing.
    std::optional<std::string> find(const std::string& directory, std::string_view name) {
        struct stat info;
        if (::stat(directory.c_str(), &info) != 0) return std::nullopt;
        const std::string key = folded(name);
        {
            std::lock_guard lock(mutex_);
            const auto cached = listings_.find(directory);
            if (cached != listings_.end() && sameDirectory(cached->second, info)) {
                return entryOf(cached->second, key);
            }
        }
        Listing listing;
        if (!readListing(directory, info, listing)) return std::nullopt;
        std::optional<std::string> found = entryOf(listing, key);
        if (settled(info)) {
            std::lock_guard lock(mutex_);
            listings_[directory] = std::move(listing);
        }
        return found;
    }

private:
    static std::optional<std::string> entryOf(const Listing& listing, const std::string& key) {
        const auto entry = listing.firstByFolded.find(key);
        if (entry == listing.firstByFolded.end()) return std::nullopt;
        return entry->second;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, Listing> listings_;
};

}  // namespace

bool fileExists(const std::string& path) {
    struct stat info;
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0;
}

std::string resolvePathIgnoringCase(const std::string& path) {
    if (fileExists(path)) return path;
    std::size_t slash = path.rfind(kDirSeparator);
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || path.find('\0') != std::string::npos) return path;

    static ListingCache cache;
    const std::optional<std::string> found = cache.find(directory, name);
    if (!found) return path;
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + *found;
}

std::string withTrailingSeparator(std::string directory) {
    if (!directory.empty() && directory.back() != kDirSeparator) directory += kDirSeparator;
    return directory;
}

}  // namespace brevo
