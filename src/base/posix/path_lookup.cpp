#include "base/path_lookup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__linux__)
#include <sys/inotify.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace brevo {
namespace {

// A listing that no change notices keep current is kept only for a directory last changed well
// before it was read, so that any later change shows as a new modification time even on file
// systems with coarse clocks.
constexpr std::chrono::seconds kSettledFor{1};

// The names of one directory by their case-folded form, each group in byte order.
class Names {
public:
    void add(std::string_view name) {
        std::vector<std::string>& group = byFolded_[foldCase(name)];
        const auto at = std::lower_bound(group.begin(), group.end(), name);
        if (at == group.end() || *at != name) group.emplace(at, name);
    }

    void remove(std::string_view name) {
        const auto group = byFolded_.find(foldCase(name));
        if (group == byFolded_.end()) return;
        std::erase(group->second, name);
        if (group->second.empty()) byFolded_.erase(group);
    }

    std::optional<std::string> first(const std::string& foldedName) const {
        const auto group = byFolded_.find(foldedName);
        if (group == byFolded_.end()) return std::nullopt;
        return group->second.front();
    }

private:
    std::unordered_map<std::string, std::vector<std::string>> byFolded_;
};

struct Listing {
    std::timespec modified{};
    std::timespec changed{};  // catches a modification time set back by hand
    bool watched = false;     // change notices keep it current, whatever its times say
    Names names;
};

bool sameTime(const std::timespec& a, const std::timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool settled(const struct stat& info) {
    const auto changed = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(info.st_mtim.tv_sec) +
            std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
    return changed + kSettledFor < std::chrono::system_clock::now();
}

bool readNames(const std::string& directory, Names& names) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = ::readdir(dir)) names.add(entry->d_name);
    ::closedir(dir);
    return true;
}

// A directory by its identity rather than by one of the paths that lead to it.
using DirectoryKey = std::pair<dev_t, ino_t>;

struct KeyHash {
    std::size_t operator()(const DirectoryKey& key) const {
        return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(key.first) * 1000003u ^
                                          static_cast<std::uint64_t>(key.second));
    }
};

// Every pair of a batch looks its files up in the same two directories: reading a directory
// of thousands of files for each would make a batch quadratic in its length, all the more as
// every report written changes the target directory. Listings are kept current by the
// system's change notices where there are such, and otherwise trusted only while the
// directory's times stay the same. They are shared by all threads of a batch.
class ListingCache {
public:
    std::optional<std::string> find(const std::string& directory, std::string_view name) {
        struct stat info;
        if (::stat(directory.c_str(), &info) != 0) return std::nullopt;
        const DirectoryKey key{info.st_dev, info.st_ino};
        const std::string wanted = foldCase(name);
        std::lock_guard lock(mutex_);
        applyNotices();
        const auto cached = listings_.find(key);
        if (cached != listings_.end() && current(cached->second, info)) {
            return cached->second.names.first(wanted);
        }
        Listing listing;
        listing.modified = {info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
        listing.changed = {info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
        // Watched before it is read, so that no change can fall between the two.
        listing.watched = watch(directory, key);
        if (!readNames(directory, listing.names)) return std::nullopt;
        std::optional<std::string> found = listing.names.first(wanted);
        if (listing.watched || settled(info)) {
            listings_[key] = std::move(listing);
            // Changes made while the directory was being read.
            applyNotices();
            found = listings_.contains(key) ? listings_[key].names.first(wanted) : found;
        }
        return found;
    }

private:
    static bool current(const Listing& listing, const struct stat& info) {
        if (listing.watched) return true;
        return sameTime(listing.modified, {info.st_mtim.tv_sec, info.st_mtim.tv_nsec}) &&
               sameTime(listing.changed, {info.st_ctim.tv_sec, info.st_ctim.tv_nsec});
    }

#if defined(__linux__)
    bool watch(const std::string& directory, const DirectoryKey& key) {
        if (notices_ == kNotOpened) notices_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (notices_ < 0) return false;
        const int watch = ::inotify_add_watch(
            notices_, directory.c_str(),
            IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR);
        if (watch < 0) return false;
        keyOfWatch_[watch] = key;
        return true;
    }

    void applyNotices() {
        if (notices_ < 0) return;
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t got = ::read(notices_, buffer, sizeof buffer);
            if (got <= 0) return;
            for (ssize_t at = 0; at < got;) {
                const auto* notice = reinterpret_cast<const inotify_event*>(buffer + at);
                apply(*notice);
                at += static_cast<ssize_t>(sizeof(inotify_event) + notice->len);
            }
        }
    }

    void apply(const inotify_event& notice) {
        if ((notice.mask & IN_Q_OVERFLOW) != 0) {
            // Notices were lost: no watched listing can be trusted.
            std::erase_if(listings_, [](const auto& entry) { return entry.second.watched; });
            return;
        }
        const auto key = keyOfWatch_.find(notice.wd);
        if (key == keyOfWatch_.end()) return;
        if ((notice.mask & (IN_DELETE_SELF | IN_IGNORED)) != 0) {
            listings_.erase(key->second);
            if ((notice.mask & IN_IGNORED) != 0) keyOfWatch_.erase(key);
            return;
        }
        const auto listing = listings_.find(key->second);
        if (listing == listings_.end() || notice.len == 0) return;
        const std::string_view name(notice.name);
        if ((notice.mask & (IN_CREATE | IN_MOVED_TO)) != 0) listing->second.names.add(name);
        if ((notice.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) listing->second.names.remove(name);
    }

    static constexpr int kNotOpened = -2;
    int notices_ = kNotOpened;  // the change notice queue, or -1 where there is none
    std::unordered_map<int, DirectoryKey> keyOfWatch_;
#else
    bool watch(const std::string&, const DirectoryKey&) {
        return false;
    }
    void applyNotices() {}
#endif

    std::mutex mutex_;
    std::unordered_map<DirectoryKey, Listing, KeyHash> listings_;
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

}  // namespace brevo
