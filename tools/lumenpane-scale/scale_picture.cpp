// The viewer's three picture paths applied to a whole picture of any size.
#include "scale_picture.h"

#include "pixels/hq2x.h"
#include "pixels/hq2x_frame.h"
#include "pixels/scale2x.h"

#include <vector>

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

// The shared hq2x frame routine holds the input, its RGB565 copy, the hq2x result and the
// output at once; the two work buffers go when it returns.
void Hq2xDouble(const Picture& in, Picture* out) {
    const int w = in.width, h = in.height;
    std::vector<std::uint16_t> narrow(std::size_t(w) * h + 1);
    std::vector<std::uint16_t> wide(std::size_t(out->width) * out->height);
    Hq2xFrame(in.pixels.data(), std::size_t(w) * 4, w, h, narrow.data(), wide.data(),
              std::size_t(out->width) * 2, out->pixels.data(), std::size_t(out->width) * 4);
}

} // namespace

void PrepareFilterTables() {
    MakeFilterTables();
}

void ScalePicture(Picture&& in, ScaleFilter filter, Picture* out) {
    out->width = 2 * in.width;
    out->height = 2 * in.height;
    Release(out->pixels);
    out->pixels.assign(std::size_t(out->width) * out->height, 0);
    switch (filter) {
    case ScaleFilter::Off:
        NearestDouble(in, out);
        break;
    case ScaleFilter::Scale2x:
        Scale2xDouble(in, out);
        break;
    case ScaleFilter::Hq2x:
        PrepareFilterTables();
        Hq2xDouble(in, out);
        break;
    }
    Release(in.pixels);
}
