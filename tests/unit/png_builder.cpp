// A minimal PNG writer for tests: zlib stream of stored blocks, chunks with their CRC.
#include "png_builder.h"

#include <cstdio>
#include <cstring>

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
}

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        c ^= data[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    Put32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc(&out[start], out.size() - start));
}

std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        out.push_back(at + n == raw.size() ? 1 : 0);
        out.push_back(std::uint8_t(n)), out.push_back(std::uint8_t(n >> 8));
        out.push_back(std::uint8_t(~n)), out.push_back(std::uint8_t(~n >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    Put32(out, b << 16 | a);
    return out;
}

int SamplesPerPixel(int colourType) {
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// The scanlines, each behind a filter byte of 0 (none).
std::vector<std::uint8_t> PlainRows(const PngLayout& layout, std::size_t rowBytes) {
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < layout.height; ++y) {
        raw.push_back(0);
        const auto first = layout.scanlines.begin() + std::ptrdiff_t(y * rowBytes);
        raw.insert(raw.end(), first, first + std::ptrdiff_t(rowBytes));
    }
    return raw;
}

// The seven Adam7 passes one after the other, each a small picture of its own rows.
std::vector<std::uint8_t> InterlacedRows(const PngLayout& layout, std::size_t pixelBytes) {
    const int startX[7] = {0, 4, 0, 2, 0, 1, 0}, startY[7] = {0, 0, 4, 0, 2, 0, 1};
    const int stepX[7] = {8, 8, 4, 4, 2, 2, 1}, stepY[7] = {8, 8, 8, 4, 4, 2, 2};
    const std::size_t rowBytes = pixelBytes * std::size_t(layout.width);
    std::vector<std::uint8_t> raw;
    for (int pass = 0; pass < 7; ++pass) {
        if (startX[pass] >= layout.width) continue; // an empty pass has no rows at all
        for (int y = startY[pass]; y < layout.height; y += stepY[pass]) {
            raw.push_back(0);
            for (int x = startX[pass]; x < layout.width; x += stepX[pass]) {
                const auto first = layout.scanlines.begin() +
                                   std::ptrdiff_t(y * rowBytes + std::size_t(x) * pixelBytes);
                raw.insert(raw.end(), first, first + std::ptrdiff_t(pixelBytes));
            }
        }
    }
    return raw;
}

} // namespace

std::vector<std::uint8_t> BuildPng(const PngLayout& layout) {
    const std::size_t bitsPerPixel =
        std::size_t(SamplesPerPixel(layout.colourType)) * layout.bitDepth;
    const std::vector<std::uint8_t> raw =
        layout.interlaced ? InterlacedRows(layout, bitsPerPixel / 8)
                          : PlainRows(layout, (std::size_t(layout.width) * bitsPerPixel + 7) / 8);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, std::uint32_t(layout.width));
    Put32(header, std::uint32_t(layout.height));
    header.insert(header.end(), {std::uint8_t(layout.bitDepth), std::uint8_t(layout.colourType), 0,
                                 0, std::uint8_t(layout.interlaced ? 1 : 0)});
    PutChunk(png, "IHDR", header);
    if (layout.colourType == 3) PutChunk(png, "PLTE", layout.palette);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

PngLayout RgbLayout(int width, int height, const std::vector<std::uint32_t>& pixels) {
    PngLayout layout;
    layout.width = width, layout.height = height;
    for (std::uint32_t p : pixels)
        layout.scanlines.insert(layout.scanlines.end(),
                                {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
    return layout;
}

std::size_t ChunkDataOffset(const std::vector<std::uint8_t>& png, const char* type) {
    std::size_t at = 8;
    while (at + 8 <= png.size()) {
        const std::uint32_t length = std::uint32_t(png[at]) << 24 |
                                     std::uint32_t(png[at + 1]) << 16 |
                                     std::uint32_t(png[at + 2]) << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], type, 4) == 0) return at + 8;
        at += 12 + length;
    }
    return 0;
}

void FixChunkCrc(std::vector<std::uint8_t>& png, std::size_t dataOffset) {
    const std::size_t at = dataOffset - 8;
    const std::uint32_t length = std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 |
                                 std::uint32_t(png[at + 2]) << 8 | png[at + 3];
    const std::uint32_t crc = Crc(&png[at + 4], 4 + std::size_t(length));
    for (int i = 0; i < 4; ++i) png[dataOffset + length + i] = std::uint8_t(crc >> (24 - 8 * i));
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(std::uint8_t(c));
    std::fclose(file);
    return bytes;
}
