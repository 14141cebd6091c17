// 16-byte-aligned blocks for frame buffers and images, without any platform header.
#pragma once

#include <cstddef>
#include <cstdlib>
#ifdef _WIN32
#include <malloc.h>
#endif

inline void* AlignedAlloc(std::size_t size) {
    size = (size + 15) & ~std::size_t{15};
#ifdef _WIN32
    return _aligned_malloc(size, 16);
#else
    return std::aligned_alloc(16, size);
#endif
}

inline void AlignedFree(void* block) {
#ifdef _WIN32
    _aligned_free(block);
#else
    std::free(block);
#endif
}
