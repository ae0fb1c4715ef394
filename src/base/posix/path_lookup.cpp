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

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::uint64_t foldedHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(lowerAscii(c));
        hash *= 1099511628211u;
    }
    return hash;
}

// The names of one directory, found by their case-folded form. A batch keeps the listings of
// two directories of thousands of files each, so they are held compactly: the names end to end
// in one string, and an open-addressing table of where each begins, placed by the hash of its
// folded form. Names that differ only in case share that hash.
class Names {
public:
    void add(std::string_view name) {
        if (slotOf(name)) return;
        if ((count_ + removed_ + 1) * 2 > table_.size()) rebuild();
        const std::size_t slot = freeSlotFor(foldedHash(name));
        if (table_[slot] == kRemoved) --removed_;
        table_[slot] = store(name);
        ++count_;
    }

    void remove(std::string_view name) {
        const std::optional<std::size_t> slot = slotOf(name);
        if (!slot) return;
        table_[*slot] = kRemoved;
        ++removed_;
        --count_;
        unused_ += name.size() + 1;
    }

    bool contains(std::string_view name) const { return slotOf(name).has_value(); }

    // A listing read whole keeps no room to grow in: later changes are few.
    void shrinkToFit() { bytes_.shrink_to_fit(); }

    // The first in byte order of the names whose folded form is `foldedName`.
    std::optional<std::string> first(const std::string& foldedName) const {
        std::optional<std::string_view> best;
        for (std::size_t slot = home(foldedHash(foldedName)); table_[slot] != kEmpty;
             slot = next(slot)) {
            if (table_[slot] == kRemoved) continue;
            const std::string_view name = nameAt(table_[slot]);
            if (equalIgnoringCase(name, foldedName) && (!best || name < *best)) best = name;
        }
        if (!best) return std::nullopt;
        return std::string(*best);
    }

private:
    // Table entries: empty, removed, or the place of a name in `bytes_` plus kFirstPlace.
    static constexpr std::uint32_t kEmpty = 0;
    static constexpr std::uint32_t kRemoved = 1;
    static constexpr std::uint32_t kFirstPlace = 2;

    std::size_t home(std::uint64_t hash) const {
        return static_cast<std::size_t>(hash) & (table_.size() - 1);
    }
    std::size_t next(std::size_t slot) const { return (slot + 1) & (table_.size() - 1); }

    std::string_view nameAt(std::uint32_t entry) const {
        return std::string_view(bytes_.c_str() + (entry - kFirstPlace));
    }

    std::optional<std::size_t> slotOf(std::string_view name) const {
        for (std::size_t slot = home(foldedHash(name)); table_[slot] != kEmpty; slot = next(slot)) {
            if (table_[slot] != kRemoved && nameAt(table_[slot]) == name) return slot;
        }
        return std::nullopt;
    }

    std::size_t freeSlotFor(std::uint64_t hash) const {
        std::size_t slot = home(hash);
        while (table_[slot] != kEmpty && table_[slot] != kRemoved) slot = next(slot);
        return slot;
    }

    std::uint32_t store(std::string_view name) {
        const auto entry = static_cast<std::uint32_t>(bytes_.size() + kFirstPlace);
        bytes_.append(name).push_back('\0');
        return entry;
    }

    // A table filled to a third at most, without removed entries, and the names' bytes without
    // those of removed names.
    void rebuild() {
        std::size_t size = 16;
        while (size < (count_ + 1) * 3) size *= 2;
        const std::vector<std::uint32_t> previous =
            std::exchange(table_, std::vector<std::uint32_t>(size, kEmpty));
        const std::string previousBytes = std::exchange(bytes_, std::string());
        bytes_.reserve(previousBytes.size() - unused_);
        unused_ = 0;
        removed_ = 0;
        for (const std::uint32_t entry : previous) {
            if (entry == kEmpty || entry == kRemoved) continue;
            const std::string_view name(previousBytes.c_str() + (entry - kFirstPlace));
            table_[freeSlotFor(foldedHash(name))] = store(name);
        }
    }

    std::string bytes_;  // each name followed by a NUL
    std::vector<std::uint32_t> table_ = std::vector<std::uint32_t>(16, kEmpty);
    std::size_t count_ = 0;
    std::size_t removed_ = 0;
    std::size_t unused_ = 0;  // bytes of removed names
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
    names.shrinkToFit();
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
    // `name` itself when `path`, its name in `directory`, exists; else the first name that
    // differs from it only in case.
    std::optional<std::string> find(const std::string& directory, std::string_view name,
                                    const std::string& path) {
        struct stat info;
        if (::stat(directory.c_str(), &info) != 0) return std::nullopt;
        const DirectoryKey key{info.st_dev, info.st_ino};
        const std::string wanted = foldCase(name);
        {
            // A listing that change notices keep current knows whether the name is there
            // without asking the disk again.
            std::lock_guard lock(mutex_);
            applyNotices();
            const auto cached = listings_.find(key);
            if (cached != listings_.end() && cached->second.watched) {
                const Names& names = cached->second.names;
                return names.contains(name) ? std::string(name) : names.first(wanted);
            }
        }
        if (fileExists(path)) return std::string(name);
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
    if (path.find('\0') != std::string::npos) return path;
    std::size_t slash = path.rfind(kDirSeparator);
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty()) return path;

    static ListingCache cache;
    const std::optional<std::string> found = cache.find(directory, name, path);
    if (!found) return path;
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + *found;
}

}  // namespace brevo
