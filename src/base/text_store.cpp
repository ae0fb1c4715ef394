#include "base/text_store.h"

#include <algorithm>
#include <string>

#include "base/memory_advice.h"

namespace brevo {
namespace {

// Small enough that a small file does not ask for much, large enough that a big file needs few.
constexpr std::size_t kMinimumBlock = 64 * 1024;

}  // namespace

// Room for exactly what is asked: a file's size is known, and twice a large file might be
// more than the system will promise.
void TextStore::reserve(std::size_t bytes) {
    if (capacity_ - end_ >= bytes) return;
    newBlock(std::max(kMinimumBlock, end_ - openStart_ + bytes));
}

// Growing by doubling keeps appends cheap when the final size is not known.
void TextStore::grow(std::size_t needed) {
    newBlock(std::max({kMinimumBlock, 2 * (end_ - openStart_ + needed), capacity_}));
}

// The open stretch moves to the new block; what was taken stays where it is.
void TextStore::newBlock(std::size_t capacity) {
    const std::size_t openSize = end_ - openStart_;
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

void TextStore::adopt(std::shared_ptr<char[]> block, std::size_t capacity) {
    blocks_.push_back(std::move(block));
    block_ = blocks_.back().get();
    capacity_ = capacity;
    openStart_ = 0;
    end_ = 0;
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
