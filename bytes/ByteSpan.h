#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// A run of bytes read or filled by one that does not own it (the link, the windows' values):
// where it starts and how long it is.
struct ByteSpan {
    ByteSpan() = default;
    // Implicit: an array of the windows' is seen as the run of its bytes.
    template <std::size_t N> ByteSpan(std::array<std::uint8_t, N> &bytes) : data(bytes.data()), size(N) {}

    [[nodiscard]] std::uint8_t *begin() const { return data; }
    [[nodiscard]] std::uint8_t *end() const { return data + size; }

    std::uint8_t *data = nullptr;
    std::size_t size = 0;
};
