#include "base/terminal.h"

#include <cerrno>

namespace brevo {

int writeAndFlush(std::FILE* stream, std::string_view text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    if (std::fflush(stream) == 0 && written && !std::ferror(stream)) return 0;
    return errno != 0 ? errno : EIO;
}

}  // namespace brevo
