// Checking a PNG's chunk structure before decoding, so that truncated and corrupt files are
// refused alike whichever codec decodes them.
#include "png_io.h"

#include <array>
#include <cstring>

namespace {

constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// A chunk name as text; a damaged one may hold any byte, shown as \xNN when not printable.
std::string ChunkName(const std::uint8_t* type) {
    std::string name;
    for (int i = 0; i < 4; ++i) {
        if (type[i] >= 0x20 && type[i] < 0x7F) {
            name += char(type[i]);
        } else {
            static const char digits[] = "0123456789ABCDEF";
            name += {'\\', 'x', digits[type[i] >> 4], digits[type[i] & 15]};
        }
    }
    return name;
}

bool Fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

bool CheckHeader(const std::uint8_t* data, std::uint32_t length, std::string* error) {
    if (length != 13) return Fail(error, "corrupt PNG: bad IHDR chunk");
    const std::uint32_t width = BigEndian32(data), height = BigEndian32(data + 4);
    if (width == 0 || height == 0) return Fail(error, "corrupt PNG: zero picture size");
    if (width > MaxPictureSide || height > MaxPictureSide)
        return Fail(error, "picture is " + std::to_string(width) + "x" + std::to_string(height) +
                               ", larger than " + std::to_string(MaxPictureSide) + "x" +
                               std::to_string(MaxPictureSide));
    if (width < MinPictureWidth || height < MinPictureHeight)
        return Fail(error, "picture is " + std::to_string(width) + "x" + std::to_string(height) +
                               ", smaller than " + std::to_string(MinPictureWidth) + "x" +
                               std::to_string(MinPictureHeight));
    return true;
}

} // namespace

bool CheckPngStructure(const std::vector<std::uint8_t>& bytes, std::string* error) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), Signature, 8) != 0)
        return Fail(error, "not a PNG file");
    std::size_t at = 8;
    bool sawHeader = false, sawData = false;
    while (true) {
        if (bytes.size() - at < 12) return Fail(error, "truncated PNG: the file ends early");
        const std::uint32_t length = BigEndian32(&bytes[at]);
        const std::uint8_t* type = &bytes[at + 4];
        if (length > 0x7FFFFFFFu) return Fail(error, "corrupt PNG: bad chunk length");
        if (bytes.size() - at - 12 < length)
            return Fail(error, "truncated PNG: the file ends early");
        if (Crc32(type, 4 + std::size_t(length)) != BigEndian32(type + 4 + length))
            return Fail(error, "corrupt PNG: checksum error in chunk " + ChunkName(type));
        const bool header = std::memcmp(type, "IHDR", 4) == 0;
        if (header != !sawHeader) return Fail(error, "corrupt PNG: IHDR must come first, once");
        if (header && !CheckHeader(type + 4, length, error)) return false;
        sawHeader = true;
        sawData |= std::memcmp(type, "IDAT", 4) == 0;
        at += 12 + std::size_t(length);
        if (std::memcmp(type, "IEND", 4) == 0) break;
    }
    if (!sawData) return Fail(error, "corrupt PNG: no picture data");
    return true;
}
