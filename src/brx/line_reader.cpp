#include "brx/line_reader.h"

namespace brevo {

void LineReader::open(const std::string& path) {
    file_.open(path);
    count_ = position_ = 0;
    pendingBreak_ = ended_ = false;
    fillBuffer();
}

bool LineReader::fillBuffer() {
    count_ = position_ = 0;
    if (ended_) return false;
    count_ = file_.read(buffer_, kBlockSize);
    ended_ = count_ == 0;
    return !ended_;
}

bool LineReader::readLine(std::string& out) {
    out.clear();
    for (;;) {
        if (position_ == count_ && !fillBuffer()) {
            pendingBreak_ = false;
            return !out.empty();
        }
        const char* p = buffer_ + position_;
        const char* end = buffer_ + count_;
        while (p < end) {
            if (*p == '\r' || *p == '\n') {
                pendingBreak_ = true;
                ++p;
                continue;
            }
            if (pendingBreak_) {
                pendingBreak_ = false;
                position_ = static_cast<std::size_t>(p - buffer_);
                return true;
            }
            const char* stop = p;
            while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
            out.append(p, stop);
            p = stop;
        }
        position_ = count_;
    }
}

}  // namespace brevo
