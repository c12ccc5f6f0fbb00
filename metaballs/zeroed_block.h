#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

// `count` value-initialised (zero) entries of T for the grid of `owner`. The grid's sizes are
// fixed, so a failed allocation ends the program with a message rather than leaving the field
// or the polygonizer half built.
template <typename T>
std::unique_ptr<T[]> allocateZeroed(const std::int32_t count, const char* const owner) {
    std::unique_ptr<T[]> block(new (std::nothrow) T[static_cast<std::size_t>(count)]());
    if (!block) {
        std::fprintf(stderr, "Error: no memory for %s (%d entries)\n", owner, count);
        std::abort();
    }
    return block;
}
