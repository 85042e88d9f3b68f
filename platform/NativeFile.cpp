#include "NativeFile.h"

#include <algorithm>

// The same everywhere, over each system's read.
bool NativeFile::readUpTo(std::size_t maxBytes, std::vector<std::uint8_t> &bytes)
{
    std::vector<std::uint8_t> read;
    std::size_t count = 0;
    while (count < maxBytes) {
        // Grown as the file turns out longer than it was, never past maxBytes.
        if (count == read.size())
            read.resize(std::min(maxBytes, count + 64 * 1024));
        std::size_t n = 0;
        if (!this->read(read.data() + count, read.size() - count, n))
            return false;
        if (n == 0)
            break;
        count += n;
    }
    read.resize(count);
    bytes = std::move(read);
    return true;
}
