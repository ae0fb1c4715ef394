#include "base/code_page.h"

#include <iconv.h>

#include <cerrno>

namespace brevo {
namespace {

std::string codePageName(int codePage) {
    return "CP" + std::to_string(codePage);
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (valid()) ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; a byte it cannot take is kept by its Latin-1 reading.
    std::string convert(std::string_view bytes) {
        std::string out;
        char buffer[256];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = ::iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL: the byte here does not convert, or ends the text too early.
            appendLatin1(out, static_cast<unsigned char>(*in));
            ++in;
            --inLeft;
            ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

    // All of `bytes`, or nothing when one of them does not convert.
    std::optional<std::string> convertStrictly(std::string_view bytes) {
        std::string out;
        char buffer[256];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = ::iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return std::nullopt;
            // Characters converted by approximation count as not converted.
            if (result != static_cast<std::size_t>(-1) && result > 0) return std::nullopt;
        }
        return out;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> utf8FromCodePage(std::string_view bytes, int codePage) {
    Converter converter("UTF-8", codePageName(codePage));
    if (!converter.valid()) return std::nullopt;
    return converter.convert(bytes);
}

std::optional<std::string> codePageFromUtf8(std::string_view utf8, int codePage) {
    Converter converter(codePageName(codePage), "UTF-8");
    if (!converter.valid()) return std::nullopt;
    return converter.convertStrictly(utf8);
}

}  // namespace brevo
