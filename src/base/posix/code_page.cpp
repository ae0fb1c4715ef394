#include "base/code_page.h"

#include <iconv.h>

#include <cerrno>

namespace brevo {
namespace {

class Converter {
public:
    explicit Converter(int codePage)
        : handle_(::iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str())) {}
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

private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> utf8FromCodePage(std::string_view bytes, int codePage) {
    Converter converter(codePage);
    if (!converter.valid()) return std::nullopt;
    return converter.convert(bytes);
}

}  // namespace brevo
