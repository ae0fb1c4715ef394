#include "brx/text_store.h"

#include <algorithm>
#include <string>

#include "brx/memory_advice.h"

namespace brevo {
namespace {

// Small enough that a small file does not ask for much, large enough that a big file needs few.
constexpr std::size_t kMinimumBlock = 64 * 1024;

}  // namespace

void TextStore::reserve(std::size_t bytes) {
    if (capacity_ - end_ >= bytes) return;
    grow(bytes);
}

// The open stretch moves to the new block; what was taken stays where it is.
void TextStore::grow(std::size_t needed) {
    const std::size_t openSize = end_ - openStart_;
    const std::size_t capacity = std::max({kMinimumBlock, 2 * (openSize + needed), capacity_});
    // Not value-initialised: untouched room costs no memory.
    std::shared_ptr<char[]> block(new char[capacity]);
    adviseBigPages(block.get(), capacity);
    if (openSize != 0) std::char_traits<char>::copy(block.get(), block_ + openStart_, openSize);
    blocks_.push_back(std::move(block));
    block_ = blocks_.back().get();
    capacity_ = capacity;
    openStart_ = 0;
    end_ = openSize;
}

std::string_view TextStore::takeJoined(std::string_view before) {
    if (endsAtOpen(before)) {
        const std::size_t size = end_ - openStart_;
        openStart_ = end_;
        return {before.data(), before.size() + size};
    }
    std::string joined(before);
    joined += open();
    openStart_ = end_;
    return keep(joined);
}

}  // namespace brevo
