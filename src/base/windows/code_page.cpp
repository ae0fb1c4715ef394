#include "base/code_page.h"

#include <windows.h>

#include "base/windows/wide_names.h"

namespace brevo {
namespace {

// The UTF-16 of `bytes` when every one of them converts.
std::optional<std::wstring> strictlyWide(std::string_view bytes, UINT codePage) {
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length == 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::optional<std::string> utf8FromCodePage(std::string_view bytes, int codePage) {
    const auto page = static_cast<UINT>(codePage);
    if (!::IsValidCodePage(page)) return std::nullopt;
    if (bytes.empty()) return std::string();
    if (const auto wide = strictlyWide(bytes, page)) return windows::utf8FromWide(*wide);
    // Character by character, so that only the bytes that do not convert fall back.
    std::string out;
    while (!bytes.empty()) {
        const auto lead = static_cast<BYTE>(bytes.front());
        const std::size_t length =
            bytes.size() > 1 && ::IsDBCSLeadByteEx(page, lead) ? std::size_t{2} : std::size_t{1};
        if (const auto wide = strictlyWide(bytes.substr(0, length), page)) {
            out += windows::utf8FromWide(*wide);
            bytes.remove_prefix(length);
        } else {
            appendLatin1(out, lead);
            bytes.remove_prefix(1);
        }
    }
    return out;
}

std::optional<std::string> codePageFromUtf8(std::string_view utf8, int codePage) {
    const auto page = static_cast<UINT>(codePage);
    if (!::IsValidCodePage(page)) return std::nullopt;
    if (utf8.empty()) return std::string();
    const auto wide = strictlyWide(utf8, CP_UTF8);
    if (!wide) return std::nullopt;
    const int size = static_cast<int>(wide->size());
    BOOL defaulted = FALSE;
    const int length = ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide->data(), size,
                                             nullptr, 0, nullptr, &defaulted);
    if (length == 0 || defaulted) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide->data(), size, bytes.data(), length,
                          nullptr, &defaulted);
    return bytes;
}

}  // namespace brevo
