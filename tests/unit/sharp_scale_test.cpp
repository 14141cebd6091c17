// Sharp scaling of a 640x480 frame to many picture sizes against the double-precision
// reference, at every instruction-set level the build and the processor offer: within 2 per
// channel, bit for bit nearest neighbour along whole and shrinking axes, the same bits at
// every level, and rescaling a range of changed rows equal to scaling the whole new frame.
#include "pixels/sharp_scale_rows.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

void PrintTo(SimdLevel level, std::ostream* out) {
    *out << SimdLevelName(level);
}

namespace {

constexpr int kFrameWidth = 640, kFrameHeight = 480;
constexpr int kTolerance = 2;
constexpr std::uint32_t kUntouched = 0xA5A5A5A5;

using Pixels = std::vector<std::uint32_t>;

struct PictureSize {
    int width, height;
};

constexpr PictureSize kSizes[] = {
    {1440, 1080}, {1920, 1080}, {1280, 960}, {1920, 1440}, {3840, 2160}, {1024, 768},
    {800, 600},   {320, 240},   {641, 479},  {1, 1},       {640, 480},   {1280, 700},
    {700, 960},   {320, 1080},  {1500, 200}, {643, 481},
};

// Whole or shrinking: one frame pixel per picture pixel along that axis.
bool Nearest(int frame, int size) {
    return size % frame == 0 || size < frame;
}

// The frame pixel shown along a nearest axis.
int NearestPixel(int frame, int size, int i) {
    return size % frame == 0 ? i / (size / frame) : int((i + 0.5) * frame / size);
}

// The picture rows pitch = width + 3 apart, the 3 pixels between them left untouched.
struct Scaled {
    Pixels pixels;
    int begin = -1, end = -1; // the rows SharpScaleRows reported
};

Scaled ScaleWhole(const Pixels& frame, PictureSize size) {
    SharpScale scale;
    PrepareSharpScale(scale, kFrameWidth, kFrameHeight, size.width, size.height);
    Scaled out;
    out.pixels.assign(std::size_t(size.width + 3) * size.height, kUntouched);
    out.begin = SharpScaleRows(scale, frame.data(), kFrameWidth, 0, kFrameHeight, out.pixels.data(),
                               size.width + 3, &out.end);
    return out;
}

std::uint32_t At(const Scaled& picture, PictureSize size, int x, int y) {
    return picture.pixels[std::size_t(y) * (size.width + 3) + x];
}

int WorstChannel(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return worst;
}

class SharpScaling : public testing::TestWithParam<SimdLevel> {
  protected:
    static void SetUpTestSuite() { startLevel = SharpLevels::InUse(); }
    static void TearDownTestSuite() { SharpLevels::Use(startLevel); }
    void SetUp() override {
        if (!SharpLevels::Use(GetParam())) GTEST_SKIP() << SimdLevelName(GetParam()) << " not here";
    }

    static const Pixels& Frame() {
        static const Pixels frame = NoiseArgb(kFrameWidth, kFrameHeight, 22);
        return frame;
    }
    // The reference of each size, made once for all levels.
    static const Pixels& Reference(PictureSize size) {
        static std::map<std::pair<int, int>, Pixels> made;
        Pixels& picture = made[{size.width, size.height}];
        if (picture.empty()) {
            picture.resize(std::size_t(size.width) * size.height);
            ReferenceSharpScale(Frame().data(), kFrameWidth, kFrameHeight, picture.data(),
                                size.width, size.height);
        }
        return picture;
    }
    static Scaled AtLevel(SimdLevel level, const Pixels& frame, PictureSize size) {
        const SimdLevel before = SharpLevels::InUse();
        SharpLevels::Use(level);
        Scaled out = ScaleWhole(frame, size);
        SharpLevels::Use(before);
        return out;
    }

    static SimdLevel startLevel;
};

SimdLevel SharpScaling::startLevel = SimdLevel::Plain;

TEST_P(SharpScaling, EverySizeMatchesTheAreaWeights) {
    for (const PictureSize size : kSizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const Scaled picture = ScaleWhole(Frame(), size);
        ASSERT_EQ(picture.begin, 0);
        ASSERT_EQ(picture.end, size.height);
        const Pixels& reference = Reference(size);
        const bool nearestAcross = Nearest(kFrameWidth, size.width);
        const bool nearestDown = Nearest(kFrameHeight, size.height);
        // Along a nearest axis the picture repeats (or picks) what the other axis alone makes.
        const Scaled downOnly = AtLevel(GetParam(), Frame(), {kFrameWidth, size.height});
        const Scaled acrossOnly = AtLevel(GetParam(), Frame(), {size.width, kFrameHeight});
        const Scaled plain = AtLevel(SimdLevel::Plain, Frame(), size);
        int failures = 0;
        for (int y = 0; y < size.height && failures < 5; ++y) {
            for (int x = 0; x < size.width + 3 && failures < 5; ++x) {
                const std::uint32_t got = At(picture, size, x, y);
                if (x >= size.width) {
                    failures += got != kUntouched;
                    EXPECT_EQ(got, kUntouched) << "past the row at " << x << "," << y;
                    continue;
                }
                const std::uint32_t exact = reference[std::size_t(y) * size.width + x];
                std::uint32_t expected = exact;
                int tolerance = kTolerance;
                if (nearestAcross && nearestDown) {
                    tolerance = 0;
                } else if (nearestAcross) {
                    expected = At(downOnly, {kFrameWidth, size.height},
                                  NearestPixel(kFrameWidth, size.width, x), y);
                    tolerance = 0;
                } else if (nearestDown) {
                    expected = At(acrossOnly, {size.width, kFrameHeight}, x,
                                  NearestPixel(kFrameHeight, size.height, y));
                    tolerance = 0;
                }
                const bool bad = WorstChannel(got, expected) > tolerance ||
                                 WorstChannel(got, exact) > kTolerance ||
                                 got != At(plain, size, x, y);
                failures += bad;
                EXPECT_FALSE(bad) << "at " << x << "," << y << std::hex << ": 0x" << got
                                  << ", expected 0x" << expected << ", exact 0x" << exact
                                  << ", plain C++ 0x" << At(plain, size, x, y);
            }
        }
    }
}

// Scaling a frame, then changing some of its rows and scaling only those, gives the picture
// of the changed frame, and touches only the picture rows reported.
TEST_P(SharpScaling, ChangedRowsGiveThePictureOfTheWholeFrame) {
    const Pixels other = NoiseArgb(kFrameWidth, kFrameHeight, 23);
    const std::pair<int, int> ranges[] = {{0, 1}, {100, 101}, {479, 480}, {200, 263}, {0, 480}};
    for (const PictureSize size : kSizes) {
        if (size.width * size.height > 1920 * 1440) continue; // the largest adds nothing here
        SharpScale scale;
        PrepareSharpScale(scale, kFrameWidth, kFrameHeight, size.width, size.height);
        Pixels frame = Frame();
        Pixels picture(std::size_t(size.width) * size.height);
        int end = 0;
        ASSERT_EQ(SharpScaleRows(scale, frame.data(), kFrameWidth, 0, kFrameHeight, picture.data(),
                                 size.width, &end),
                  0);
        ASSERT_EQ(end, size.height);
        for (const auto& [from, to] : ranges) {
            SCOPED_TRACE(testing::Message()
                         << size.width << "x" << size.height << " rows " << from << "-" << to);
            for (int y = from; y < to; ++y)
                for (int x = 0; x < kFrameWidth; ++x)
                    frame[y * kFrameWidth + x] = other[y * kFrameWidth + x] ^ (from + x);
            Pixels before = picture;
            const int begin = SharpScaleRows(scale, frame.data(), kFrameWidth, from, to,
                                             picture.data(), size.width, &end);
            const Scaled whole = ScaleWhole(frame, size);
            for (int y = 0; y < size.height; ++y) {
                const bool reported = y >= begin && y < end;
                for (int x = 0; x < size.width; ++x) {
                    const std::uint32_t got = picture[std::size_t(y) * size.width + x];
                    ASSERT_EQ(got, At(whole, size, x, y)) << "at " << x << "," << y;
                    if (!reported) {
                        ASSERT_EQ(got, before[std::size_t(y) * size.width + x])
                            << "row " << y << " outside " << begin << "-" << end;
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, SharpScaling,
                         testing::Values(SimdLevel::Plain, SimdLevel::Sse2, SimdLevel::Ssse3,
                                         SimdLevel::Avx2),
                         [](const testing::TestParamInfo<SimdLevel>& info) {
                             std::string name = SimdLevelName(info.param);
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

} // namespace
