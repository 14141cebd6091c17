// A picture in memory as the filters take it: width x height 32-bit pixels, rows `pitch` bytes
// apart. The view owns nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

template <typename Pixel> struct PixelViewOf {
    Pixel* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t pitch = 0; // bytes

    bool Empty() const { return !pixels || width <= 0 || height <= 0; }
    Pixel* Row(int y) const {
        using Byte = std::conditional_t<std::is_const_v<Pixel>, const std::uint8_t, std::uint8_t>;
        return reinterpret_cast<Pixel*>(reinterpret_cast<Byte*>(pixels) + y * pitch);
    }
};

using PixelView = PixelViewOf<std::uint32_t>;
using ConstPixelView = PixelViewOf<const std::uint32_t>;

inline ConstPixelView AsConst(const PixelView& view) {
    return {view.pixels, view.width, view.height, view.pitch};
}

// Whether two pixels show the same colour: the pictures are opaque, so the alpha byte
// plays no part.
constexpr bool SameColour(std::uint32_t a, std::uint32_t b) {
    return ((a ^ b) & 0x00FFFFFFu) == 0;
}
