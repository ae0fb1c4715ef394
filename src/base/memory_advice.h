#pragma once

#include <cstddef>
#include <vector>

namespace brevo {

// Asks the system to back the untouched part of a large buffer with big pages, where it can.
// Filling a buffer of many megabytes page by page costs more than the work done on it; with
// big pages the cost of first touching its memory almost vanishes. Only a hint: nothing changes
// where it is not supported.
void adviseBigPages(const void* data, std::size_t bytes);

// Asks the allocator to keep memory that is freed rather than give it back at once. A batch
// frees and asks again for about the same memory pair after pair; memory given back comes
// back as fresh pages, which the system must clear first. Only a hint, like the above.
void keepFreedMemory();

// The same for the room reserved in a vector.
template <class T>
void adviseBigPages(const std::vector<T>& values) {
    adviseBigPages(values.data(), values.capacity() * sizeof(T));
}

}  // namespace brevo
