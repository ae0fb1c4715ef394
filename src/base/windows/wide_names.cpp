#include "base/windows/wide_names.h"

#include <windows.h>

#include <algorithm>

namespace brevo::windows {
namespace {

// Beyond this the ordinary interface refuses some names (a directory's limit is MAX_PATH less
// room for an 8.3 file name).
constexpr std::size_t kLongPath = MAX_PATH - 12;

std::wstring fullPath(const std::wstring& path) {
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    size = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(size);
    return full;
}

}  // namespace

std::wstring wideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string utf8FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring widePath(std::string_view path) {
    return withLongForm(wideFromUtf8(path));
}

std::wstring withLongForm(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.size() < kLongPath || path.starts_with(L"\\\\?\\")) return path;
    // The long form takes the name as it stands: it must be absolute, without "." or "..".
    const std::wstring full = fullPath(path);
    if (full.empty()) return path;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace brevo::windows
