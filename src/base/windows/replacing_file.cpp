#include "base/replacing_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>

#include "base/file_failure.h"
#include "base/file_names.h"
#include "base/windows/wide_names.h"

namespace brevo {
namespace {

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        const bool closed = !valid() || ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The name the system resolves `file` to, links followed, in the long form.
std::wstring finalPath(HANDLE file) {
    const DWORD size = ::GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
    if (size == 0) return {};
    std::wstring path(size, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), size, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= size) return {};
    path.resize(length);
    return path;
}

std::wstring wideDirectoryOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

struct ReplacingFile::State {
    std::string path;          // as asked for; every failure names it
    std::wstring destination;  // what the temporary file replaces
    std::wstring temporary;    // empty when writing in place
    bool replacing = false;    // there is an earlier file to keep until the end
    Handle file;

    void openBeside(const std::wstring& where);
    void moveIntoPlace();
    [[noreturn]] void fail(DWORD error);
    void discard();
};

ReplacingFile::ReplacingFile(const std::string& path) : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.path = path;
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    const std::wstring name = windows::widePath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        state.openBeside(name);
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) failFile(EISDIR, path);
    // Opened for writing, as it would be to write over it: a read-only file, or one that
    // another program holds open against writers, fails here with the old file untouched.
    Handle existing(::CreateFileW(name.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!existing.valid()) failFileWithWindowsError(::GetLastError(), path);
    if (::GetFileType(existing.get()) != FILE_TYPE_DISK) {
        // A console or device such as NUL: written in place, there is nothing to keep.
        state.file = std::move(existing);
        return;
    }
    // A link stays a link: the file it points to is replaced.
    std::wstring where = name;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        const std::wstring target = finalPath(existing.get());
        if (!target.empty()) where = target;
    }
    existing.close();
    state.replacing = true;
    state.openBeside(where);
}

ReplacingFile::~ReplacingFile() {
    state_->discard();
}

void ReplacingFile::State::openBeside(const std::wstring& where) {
    static std::atomic<unsigned> counter{0};
    const std::wstring prefix =
        wideDirectoryOf(where) + L".brevo-" + std::to_wstring(::GetCurrentProcessId()) + L"-";
    DWORD error = ERROR_SUCCESS;
    do {
        temporary = windows::withLongForm(prefix + std::to_wstring(counter++) + L".tmp");
        file = Handle(::CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file.valid() ? ERROR_SUCCESS : ::GetLastError();
    } while (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
    if (!file.valid()) {
        temporary.clear();
        failFileWithWindowsError(error, path);
    }
    destination = windows::withLongForm(where);
}

void ReplacingFile::write(std::string_view bytes) {
    State& state = *state_;
    while (!bytes.empty()) {
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD wrote = 0;
        if (!::WriteFile(state.file.get(), bytes.data(), wanted, &wrote, nullptr)) {
            state.fail(::GetLastError());
        }
        if (wrote == 0) state.fail(ERROR_WRITE_FAULT);
        bytes.remove_prefix(wrote);
    }
}

void ReplacingFile::commit() {
    State& state = *state_;
    if (!state.temporary.empty() && !::FlushFileBuffers(state.file.get())) {
        state.fail(::GetLastError());
    }
    if (!state.file.close()) state.fail(::GetLastError());
    if (state.temporary.empty()) return;
    state.moveIntoPlace();
    state.temporary.clear();
}

// ReplaceFileW keeps the old file's attributes and security, as a report written over in place
// would. The old file goes to a backup name first, so that whatever step fails, it can be put
// back and is never lost.
void ReplacingFile::State::moveIntoPlace() {
    if (replacing) {
        const std::wstring backup = windows::withLongForm(temporary + L".old");
        if (::ReplaceFileW(destination.c_str(), temporary.c_str(), backup.c_str(),
                           REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                           nullptr)) {
            ::DeleteFileW(backup.c_str());
            return;
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            ::MoveFileExW(backup.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        // The old file went away meanwhile: there is nothing left to keep.
        if (error != ERROR_FILE_NOT_FOUND) fail(error);
    }
    if (!::MoveFileExW(temporary.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        fail(::GetLastError());
    }
}

void ReplacingFile::State::fail(DWORD error) {
    discard();
    failFileWithWindowsError(error, path);
}

// Closes the file and removes the temporary one, so that nothing partial is left in place.
void ReplacingFile::State::discard() {
    file.close();
    if (!temporary.empty()) ::DeleteFileW(temporary.c_str());
    temporary.clear();
}

}  // namespace brevo
