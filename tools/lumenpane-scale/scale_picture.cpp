// The viewer's three picture paths applied to a whole picture of any size.
#include "scale_picture.h"

#include "viewer/pipeline/hq2x.h"
#include "viewer/pipeline/pixel_convert.h"
#include "viewer/pipeline/scale2x.h"

#include <algorithm>
#include <utility>

namespace {

void NearestDouble(const Picture& in, Picture* out) {
    for (int y = 0; y < out->height; ++y)
        for (int x = 0; x < out->width; ++x)
            out->pixels[std::size_t(y) * out->width + x] =
                in.pixels[std::size_t(y / 2) * in.width + x / 2];
}

void Scale2xDouble(const Picture& in, Picture* out) {
    Scale2x(in.pixels.data(), out->pixels.data(), in.width, in.height, out->width * 4);
}

// Narrow to RGB565 row by row, hq2x, widen back row by row. The narrowing converts pixel
// pairs, so a row of odd width goes through a staging row with its last pixel repeated.
// Each buffer is freed once used and the output is made last, so at most the hq2x result
// and the output are held together.
void Hq2xDouble(Picture&& in, Picture* out) {
    const int w = in.width, h = in.height;
    std::vector<std::uint16_t> narrow(std::size_t(w) * h + 1);
    {
        const std::size_t even = std::size_t(w + 1) & ~std::size_t{1};
        std::vector<std::uint32_t> staging(even);
        std::vector<std::uint16_t> narrowRow(even);
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* row = in.pixels.data() + std::size_t(y) * w;
            std::copy(row, row + w, staging.begin());
            staging[even - 1] = row[w - 1];
            ConvertRowTo565(staging.data(), narrowRow.data(), std::uint32_t(even));
            std::copy(narrowRow.begin(), narrowRow.begin() + w,
                      narrow.begin() + std::size_t(y) * w);
        }
    }
    Release(in.pixels);
    std::vector<std::uint16_t> wide(std::size_t(out->width) * out->height);
    Hq2xScale(narrow.data(), wide.data(), w, h, out->width * 2);
    Release(narrow);
    out->pixels.resize(std::size_t(out->width) * out->height);
    for (int y = 0; y < out->height; ++y)
        ConvertRowFrom565(wide.data() + std::size_t(y) * out->width,
                          out->pixels.data() + std::size_t(y) * out->width, out->width);
}

} // namespace

void PrepareFilterTables() {
    if (Rgb565To888Table && Rgb565ToYuvTable) return;
    static std::vector<std::uint32_t> rgb(65536), yuv(65536);
    Rgb565To888Table = rgb.data();
    Rgb565ToYuvTable = yuv.data();
    BuildFilterTables();
}

void ScalePicture(Picture&& in, ScaleFilter filter, Picture* out) {
    out->width = 2 * in.width;
    out->height = 2 * in.height;
    Release(out->pixels);
    if (filter == ScaleFilter::Hq2x) {
        PrepareFilterTables();
        Hq2xDouble(std::move(in), out);
        return;
    }
    out->pixels.assign(std::size_t(out->width) * out->height, 0);
    if (filter == ScaleFilter::Off)
        NearestDouble(in, out);
    else
        Scale2xDouble(in, out);
    Release(in.pixels);
}
