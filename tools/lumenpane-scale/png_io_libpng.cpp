// Decoding and encoding PNG in memory with libpng.
#include "file_access.h"
#include "png_io.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

// libpng reports errors by longjmp; the message is kept here on the way out.
struct Session {
    const std::vector<std::uint8_t>* input = nullptr;
    std::size_t readAt = 0;
    const ByteSink* output = nullptr;
    char message[200] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* session = static_cast<Session*>(png_get_error_ptr(png));
    std::snprintf(session->message, sizeof session->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// libpng's words when its own allocation fails.
bool OutOfMemory(const char* message) {
    return std::strstr(message, "ut of memory") || std::strstr(message, "nsufficient memory");
}

void ReadBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* session = static_cast<Session*>(png_get_io_ptr(png));
    if (session->input->size() - session->readAt < size) png_error(png, "the file ends early");
    std::memcpy(data, session->input->data() + session->readAt, size);
    session->readAt += size;
}

void WriteBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* session = static_cast<Session*>(png_get_io_ptr(png));
    if (!(*session->output)(data, size)) png_error(png, "write failed");
}

void FlushNothing(png_structp) {}

// Asks libpng for 8-bit RGB whatever the file holds.
void RequestRgb8(png_structp png, png_infop info) {
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Everything between setjmp and a possible longjmp: no C++ objects with destructors live
// in these frames, and nothing in them allocates through C++; the buffers belong to the
// caller.
bool ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    RequestRgb8(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(*width) * 3) png_error(png, "unexpected layout");
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Each row was decoded as RGB bytes at the start of its own pixels; spreading them from the
// right end never overwrites bytes not yet read.
void WidenRow(std::uint32_t* row, std::size_t width) {
    const auto* rgb = reinterpret_cast<const std::uint8_t*>(row);
    for (std::size_t x = width; x-- > 0;) {
        const std::uint32_t r = rgb[3 * x], g = rgb[3 * x + 1], b = rgb[3 * x + 2];
        row[x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
}

bool EncodeRows(png_structp png, png_infop info, const Picture& picture,
                std::vector<std::uint8_t>* row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint32_t* in = picture.pixels.data() + std::size_t(y) * picture.width;
        for (int x = 0; x < picture.width; ++x) {
            (*row)[3 * x] = std::uint8_t(in[x] >> 16);
            (*row)[3 * x + 1] = std::uint8_t(in[x] >> 8);
            (*row)[3 * x + 2] = std::uint8_t(in[x]);
        }
        png_write_row(png, row->data());
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool DecodePng(const std::vector<std::uint8_t>& bytes, Picture* picture, std::string* error) {
    Session session;
    session.input = &bytes;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &session, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        *error = "out of memory";
        return false;
    }
    png_set_read_fn(png, &session, ReadBytes);
    png_uint_32 width = 0, height = 0;
    bool decoded = ReadHeader(png, info, &width, &height);
    if (decoded) {
        // The rows are read straight into the picture's pixels, 3 of every 4 bytes used.
        try {
            picture->pixels.assign(std::size_t(width) * height, 0);
            std::vector<png_bytep> rows(height);
            for (png_uint_32 y = 0; y < height; ++y)
                rows[y] =
                    reinterpret_cast<png_bytep>(picture->pixels.data() + std::size_t(y) * width);
            decoded = ReadRows(png, rows.data());
        } catch (...) {
            png_destroy_read_struct(&png, &info, nullptr);
            throw;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded) {
        Release(picture->pixels);
        *error =
            std::string(OutOfMemory(session.message) ? "not enough memory: " : "corrupt PNG: ") +
            Printable(session.message);
        return false;
    }
    for (png_uint_32 y = 0; y < height; ++y)
        WidenRow(picture->pixels.data() + std::size_t(y) * width, width);
    picture->width = int(width);
    picture->height = int(height);
    return true;
}

bool EncodePng(const Picture& picture, const ByteSink& sink, std::string* error) {
    Session session;
    session.output = &sink;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &session, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        *error = "out of memory";
        return false;
    }
    png_set_write_fn(png, &session, WriteBytes, FlushNothing);
    std::vector<std::uint8_t> row;
    bool encoded = false;
    try {
        row.resize(std::size_t(picture.width) * 3);
        encoded = EncodeRows(png, info, picture, &row);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    if (!encoded)
        *error = std::string(OutOfMemory(session.message) ? "not enough memory: "
                                                          : "cannot encode PNG: ") +
                 Printable(session.message);
    return encoded;
}
