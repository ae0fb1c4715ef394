#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace brevo {

// The text of one document, kept in a few large blocks instead of one string per segment.
// Text grows at the end as an open stretch; take() hands out the front of that stretch as a
// view that stays valid as long as the store or a copy of it lives, whatever is added later.
// Copies share the blocks.
class TextStore {
public:
    // Room for about `bytes` of text before a second block is needed.
    void reserve(std::size_t bytes);

    void append(const char* data, std::size_t size) {
        if (size > capacity_ - end_) grow(size);
        std::char_traits<char>::copy(block_ + end_, data, size);
        end_ += size;
    }
    void append(std::string_view text) { append(text.data(), text.size()); }
    void push_back(char c) {
        if (end_ == capacity_) grow(1);
        block_[end_++] = c;
    }

    // What was appended since the last take().
    std::string_view open() const { return {block_ + openStart_, end_ - openStart_}; }
    // Closes the first `size` bytes of the open stretch and returns them.
    std::string_view take(std::size_t size) {
        std::string_view taken(block_ + openStart_, size);
        openStart_ += size;
        return taken;
    }
    // Whether `text`, handed out before, ends where the open stretch begins, so that the two
    // can be taken as one view.
    bool endsAtOpen(std::string_view text) const {
        return text.data() + text.size() == block_ + openStart_;
    }
    // Takes `before` and the whole open stretch as one view, copying them when they do not
    // already stand side by side.
    std::string_view takeJoined(std::string_view before);

    // Text from here on goes into `block`, which holds `capacity` bytes and is filled in place
    // through room() and commit(). The open stretch must be empty.
    void adopt(std::shared_ptr<char[]> block, std::size_t capacity);

    // Room for at least `size` more bytes after the end, to fill in place: bytes written there
    // become text only when commit() moves the end past them. May move the open stretch.
    char* room(std::size_t size) {
        if (size > capacity_ - end_) grow(size);
        return block_ + end_;
    }
    std::size_t roomSize() const { return capacity_ - end_; }
    // The end of the text is now at `end`, inside the room handed out last.
    void commit(const char* end) { end_ = static_cast<std::size_t>(end - block_); }
    // Where the open stretch begins, for text being filled in place.
    const char* openBegin() const { return block_ + openStart_; }

    // Copies `text` in and returns it as a view of its own.
    std::string_view keep(std::string_view text) {
        append(text);
        return take(text.size());
    }

private:
    void grow(std::size_t needed);
    void newBlock(std::size_t capacity);

    std::vector<std::shared_ptr<char[]>> blocks_;
    char* block_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t openStart_ = 0;
    std::size_t end_ = 0;
};

}  // namespace brevo
