#include "base/temporary_file.h"

#include <sys/types.h>

namespace brevo {

OwnedFile openTemporaryFile() {
    return OwnedFile(std::tmpfile());
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace brevo
