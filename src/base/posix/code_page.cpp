#include "base/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

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

    // What to do with a byte that does not convert, or a character converted only by
    // approximation.
    enum class Misfit { KeepLatin1, Refuse };

    // With KeepLatin1 a byte that does not convert is kept by its Latin-1 reading; with Refuse
    // nothing comes back unless every character converts exactly.
    std::optional<std::string> convert(std::string_view bytes, Misfit misfit) {
        // A conversion refused half way leaves its state behind.
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char buffer[256];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = ::iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            const bool stopped = result == static_cast<std::size_t>(-1);
            // EILSEQ or EINVAL: the byte here does not convert, or ends the text too early.
            const bool failed = stopped && errno != E2BIG;
            if (misfit == Misfit::Refuse) {
                if (failed || (!stopped && result > 0)) return std::nullopt;
                continue;
            }
            if (!failed) continue;
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

// Opening a converter costs more than converting a file name with it, and every pair of a
// batch converts two: each thread keeps the converter it used last for each direction.
class CachedConverter {
public:
    CachedConverter(const char* fixedSide, bool toFixedSide)
        : fixedSide_(fixedSide), toFixedSide_(toFixedSide) {}

    Converter* forCodePage(int codePage) {
        if (!converter_ || codePage_ != codePage) {
            converter_.reset();
            const std::string other = codePageName(codePage);
            converter_ = toFixedSide_ ? std::make_unique<Converter>(fixedSide_, other)
                                      : std::make_unique<Converter>(other, fixedSide_);
            codePage_ = codePage;
        }
        return converter_->valid() ? converter_.get() : nullptr;
    }

private:
    std::string fixedSide_;
    bool toFixedSide_;
    int codePage_ = 0;
    std::unique_ptr<Converter> converter_;
};

}  // namespace

std::optional<std::string> utf8FromCodePage(std::string_view bytes, int codePage) {
    thread_local CachedConverter cache("UTF-8", true);
    Converter* converter = cache.forCodePage(codePage);
    if (converter == nullptr) return std::nullopt;
    return converter->convert(bytes, Converter::Misfit::KeepLatin1);
}

std::optional<std::string> codePageFromUtf8(std::string_view utf8, int codePage) {
    thread_local CachedConverter cache("UTF-8", false);
    Converter* converter = cache.forCodePage(codePage);
    if (converter == nullptr) return std::nullopt;
    return converter->convert(utf8, Converter::Misfit::Refuse);
}

}  // namespace brevo
