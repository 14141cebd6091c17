// lumenpane-scale: its output for each filter, the PNG conversions it accepts, and the bad
// inputs and outputs it must refuse without leaving a file behind.
#include "memory_need.h"
#include "pixels/hq2x.h"
#include "pixels/pixel_convert.h"
#include "pixels/scale2x.h"
#include "pixels_reference.h"
#include "png_builder.h"
#include "png_io.h"
#include "scale_picture.h"
#include "scale_tool.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class ScaleToolTest : public ::testing::Test {
  protected:
    TempFolder temp{"lmp-scale"};
    const fs::path& folder = temp.path();
    std::string messages;

    std::string Path(const char* name) const { return (folder / name).string(); }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "lumenpane-scale");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream errors;
        const int code = RunScaleTool(int(argv.size()), argv.data(), errors, errors);
        messages = errors.str();
        return code;
    }

    // Runs the tool on a picture and reads its output back.
    Picture Scale(const std::vector<std::uint8_t>& png, const char* filter) {
        WriteFileBytes(Path("in.png"), png);
        EXPECT_EQ(Run({"--filter", filter, Path("in.png"), Path("out.png")}), 0) << messages;
        Picture out;
        std::string error;
        EXPECT_TRUE(ReadPng(Path("out.png"), &out, &error)) << error;
        return out;
    }

    // The tool refuses the input: non-zero exit, a message naming the problem, no output.
    void ExpectRefused(const std::vector<std::uint8_t>& png, const char* problem) {
        WriteFileBytes(Path("in.png"), png);
        EXPECT_EQ(Run({Path("in.png"), Path("out.png")}), 1);
        EXPECT_NE(messages.find(problem), std::string::npos) << messages;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1)
            << "only the input may be left";
    }
};

std::vector<std::uint32_t> RandomPixels(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint32_t> pixels(std::size_t(count), 0);
    // Few colours, so the filters find equal neighbours and take their interesting cases.
    const std::uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x2040C0, 0x808080};
    for (auto& p : pixels) p = 0xFF000000u | colours[random() % 5];
    return pixels;
}

TEST_F(ScaleToolTest, OffDoublesEveryPixel) {
    const auto pixels = RandomPixels(7 * 5, 1);
    const Picture out = Scale(BuildPng(RgbLayout(7, 5, pixels)), "off");
    ASSERT_EQ(out.width, 14);
    ASSERT_EQ(out.height, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 14; ++x)
            ASSERT_EQ(out.pixels[y * 14 + x], pixels[(y / 2) * 7 + x / 2]) << x << "," << y;
}

TEST_F(ScaleToolTest, Scale2xIsTheViewersFilter) {
    const auto pixels = RandomPixels(12 * 9, 2);
    const Picture out = Scale(BuildPng(RgbLayout(12, 9, pixels)), "scale2x");
    std::vector<std::uint32_t> expected(24 * 18);
    Scale2x(pixels.data(), expected.data(), 12, 9, 24 * 4);
    EXPECT_EQ(out.width, 24);
    EXPECT_EQ(out.pixels, expected);
}

// --grid N: Scale2x works as Scale3x and Scale4x, Off repeats each pixel N times.
TEST_F(ScaleToolTest, TheGridEnlargesByItsFactor) {
    const auto pixels = RandomPixels(9 * 7, 4);
    WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(9, 7, pixels)));
    for (const char* grid : {"3", "4"}) {
        const int n = grid[0] - '0';
        std::vector<std::uint32_t> expected(std::size_t(n * n) * 9 * 7);
        (n == 3 ? ReferenceScale3x : ReferenceScale4x)(pixels.data(), expected.data(), 9, 7);
        for (const char* filter : {"scale2x", "off"}) {
            ASSERT_EQ(Run({"--filter", filter, "--grid", grid, Path("in.png"), Path("out.png")}),
                      0);
            Picture out;
            std::string error;
            ASSERT_TRUE(ReadPng(Path("out.png"), &out, &error)) << error;
            ASSERT_EQ(out.width, 9 * n);
            if (filter[0] == 's') {
                EXPECT_EQ(out.pixels, expected) << grid;
            }
            for (int i = 0; filter[0] == 'o' && i < 9 * n * 7 * n; ++i)
                ASSERT_EQ(out.pixels[i], pixels[(i / (9 * n)) / n * 9 + (i % (9 * n)) / n]) << i;
        }
    }
    EXPECT_EQ(Run({"--grid", "5", Path("in.png"), Path("out.png")}), 2);
}

TEST_F(ScaleToolTest, Hq2xIsTheViewersPipelineAndTheDefault) {
    const auto pixels = RandomPixels(16 * 10, 3);
    const Picture out = Scale(BuildPng(RgbLayout(16, 10, pixels)), "hq2x");
    PrepareFilterTables();
    std::vector<std::uint16_t> narrow(16 * 10), wide(32 * 20);
    for (int y = 0; y < 10; ++y) ConvertRowTo565(&pixels[y * 16], &narrow[y * 16], 16);
    Hq2xScale(narrow.data(), wide.data(), 16, 10, 64);
    std::vector<std::uint32_t> expected(32 * 20);
    for (int y = 0; y < 20; ++y) ConvertRowFrom565(&wide[y * 32], &expected[y * 32], 32);
    EXPECT_EQ(out.pixels, expected);

    ASSERT_EQ(Run({Path("in.png"), Path("default.png")}), 0) << messages;
    EXPECT_EQ(ReadFileBytes(Path("default.png")), ReadFileBytes(Path("out.png")));
}

// The narrowing works on pixel pairs; an odd width must still fill the last column.
TEST_F(ScaleToolTest, Hq2xOfAnOddWidthFillsTheLastColumn) {
    const std::vector<std::uint32_t> pixels(5 * 3, 0xFFFFFFFFu);
    const Picture out = Scale(BuildPng(RgbLayout(5, 3, pixels)), "hq2x");
    ASSERT_EQ(out.width, 10);
    for (std::uint32_t p : out.pixels) ASSERT_EQ(p, 0xFFFFFFFFu);
}

TEST_F(ScaleToolTest, OtherPixelFormatsBecomeEightBitRgb) {
    struct Case {
        const char* name;
        PngLayout layout;
        std::vector<std::uint32_t> expected; // the 4x2 picture as 0xRRGGBB
    };
    const std::vector<std::uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    Case cases[] = {
        {"grey 8",
         {4, 2, 8, 0, {0, 1, 127, 255, 200, 100, 50, 25}, {}},
         {0x000000, 0x010101, 0x7F7F7F, 0xFFFFFF, 0xC8C8C8, 0x646464, 0x323232, 0x191919}},
        {"grey 1",
         {4, 2, 1, 0, {0xA0, 0x50}, {}},
         {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF}},
        {"grey 4",
         {4, 2, 4, 0, {0x0F, 0x3C, 0x12, 0xFE}, {}},
         {0x000000, 0xFFFFFF, 0x333333, 0xCCCCCC, 0x111111, 0x222222, 0xFFFFFF, 0xEEEEEE}},
        {"palette 8",
         {4, 2, 8, 3, {0, 1, 2, 3, 3, 2, 1, 0}, palette},
         {0xFF0000, 0x00FF00, 0x0000FF, 0x0A141E, 0x0A141E, 0x0000FF, 0x00FF00, 0xFF0000}},
        {"palette 2",
         {4, 2, 2, 3, {0x1B, 0xE4}, palette},
         {0xFF0000, 0x00FF00, 0x0000FF, 0x0A141E, 0x0A141E, 0x0000FF, 0x00FF00, 0xFF0000}},
        {"RGBA", {4, 2, 8, 6, {}, {}}, {}},
        {"grey+alpha", {4, 2, 8, 4, {}, {}}, {}},
        {"RGB 16", {4, 2, 16, 2, {}, {}}, {}},
    };
    // Alpha (any value) is dropped; 16-bit samples v * 257 become v.
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t v = std::uint8_t(i * 33 + 7), alpha = std::uint8_t(i * 30);
        cases[5].layout.scanlines.insert(cases[5].layout.scanlines.end(),
                                         {v, std::uint8_t(v / 2), std::uint8_t(255 - v), alpha});
        cases[5].expected.push_back(std::uint32_t(v) << 16 | std::uint32_t(v / 2) << 8 |
                                    (255u - v));
        cases[6].layout.scanlines.insert(cases[6].layout.scanlines.end(), {v, alpha});
        cases[6].expected.push_back(std::uint32_t(v) * 0x010101u);
        cases[7].layout.scanlines.insert(cases[7].layout.scanlines.end(),
                                         {v, v, std::uint8_t(v / 3), std::uint8_t(v / 3), 0, 0});
        cases[7].expected.push_back(std::uint32_t(v) << 16 | std::uint32_t(v / 3) << 8);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture out = Scale(BuildPng(c.layout), "off");
        ASSERT_EQ(out.pixels.size(), 8u * 4);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(out.pixels[(i / 4) * 2 * 8 + (i % 4) * 2], 0xFF000000u | c.expected[i])
                << "pixel " << i;
    }
}

TEST_F(ScaleToolTest, InterlacedPicturesAreReassembled) {
    for (const auto& [width, height] : {std::pair{13, 11}, std::pair{4, 2}, std::pair{9, 3}}) {
        const auto pixels = RandomPixels(width * height, unsigned(width));
        PngLayout layout = RgbLayout(width, height, pixels);
        layout.interlaced = true;
        const Picture out = Scale(BuildPng(layout), "off");
        ASSERT_EQ(out.width, 2 * width);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(out.pixels[std::size_t(2 * y) * out.width + 2 * x], pixels[y * width + x])
                    << width << "x" << height << " at " << x << "," << y;
    }
}

TEST_F(ScaleToolTest, MissingUnreadableAndForeignInputs) {
    EXPECT_EQ(Run({Path("nowhere.png"), Path("out.png")}), 1);
    EXPECT_NE(messages.find("nowhere.png"), std::string::npos) << messages;
    EXPECT_FALSE(fs::exists(Path("out.png")));
    ExpectRefused({}, "not a PNG");
    ExpectRefused({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "not a PNG");
    std::vector<std::uint8_t> text(100, 'x');
    ExpectRefused(text, "not a PNG");
}

TEST_F(ScaleToolTest, EveryTruncationIsRefused) {
    const auto png = BuildPng(RgbLayout(6, 4, RandomPixels(24, 4)));
    for (std::size_t size = 8; size < png.size(); ++size) {
        SCOPED_TRACE(size);
        ExpectRefused(std::vector<std::uint8_t>(png.begin(), png.begin() + std::ptrdiff_t(size)),
                      "truncated");
    }
}

TEST_F(ScaleToolTest, CorruptFilesAreRefused) {
    const auto good = BuildPng(RgbLayout(6, 4, RandomPixels(24, 5)));
    const std::size_t data = ChunkDataOffset(good, "IDAT");
    ASSERT_NE(data, 0u);

    auto flipped = good; // a damaged byte the chunk checksum catches
    flipped[data + 20] ^= 0x40;
    ExpectRefused(flipped, "corrupt");

    auto badStream = good; // damaged compressed data under a correct checksum
    badStream[data] = 0x00;
    badStream[data + 2] = 0x07;
    FixChunkCrc(badStream, data);
    ExpectRefused(badStream, "corrupt");

    auto badFilter = good; // an unknown row filter type
    badFilter[data + 7] = 9;
    FixChunkCrc(badFilter, data);
    ExpectRefused(badFilter, "corrupt");

    auto badName = good; // a damaged chunk name is shown escaped
    badName[data - 4] = 0x01, badName[data - 2] = 0xFF;
    ExpectRefused(badName, "checksum error in chunk \\x01D\\xFFT");

    auto badDepth = good; // RGB at 3 bits per sample does not exist
    badDepth[ChunkDataOffset(good, "IHDR") + 8] = 3;
    FixChunkCrc(badDepth, ChunkDataOffset(good, "IHDR"));
    ExpectRefused(badDepth, "corrupt");
}

TEST_F(ScaleToolTest, PictureSizeLimits) {
    ExpectRefused(BuildPng(RgbLayout(3, 2, RandomPixels(6, 6))), "smaller than 4x2");
    ExpectRefused(BuildPng(RgbLayout(4, 1, RandomPixels(4, 6))), "smaller than 4x2");

    // Too large is refused from the header alone, before any picture data is decoded.
    auto huge = BuildPng(RgbLayout(4, 2, RandomPixels(8, 7)));
    const std::size_t hugeHeader = ChunkDataOffset(huge, "IHDR");
    huge[hugeHeader + 2] = 0x20, huge[hugeHeader + 3] = 0x01; // width 8193
    FixChunkCrc(huge, hugeHeader);
    ExpectRefused(huge, "larger than 8192x8192");

    const Picture smallest = Scale(BuildPng(RgbLayout(4, 2, RandomPixels(8, 8))), "hq2x");
    EXPECT_EQ(smallest.width, 8);
    // The widest input; its output is beyond what the reader takes, so look at its header.
    WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(8192, 2, RandomPixels(8192 * 2, 9))));
    ASSERT_EQ(Run({"--filter", "off", Path("in.png"), Path("out.png")}), 0) << messages;
    const auto png = ReadFileBytes(Path("out.png"));
    const std::size_t header = ChunkDataOffset(png, "IHDR");
    ASSERT_NE(header, 0u);
    EXPECT_EQ(png[header + 2] << 8 | png[header + 3], 16384); // width
    EXPECT_EQ(png[header + 7], 4);                            // height
}

TEST_F(ScaleToolTest, UnwritableOutputLeavesNothingBehind) {
    WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(4, 2, RandomPixels(8, 10))));
    EXPECT_EQ(Run({Path("in.png"), (folder / "missing" / "out.png").string()}), 1);
    EXPECT_NE(messages.find("cannot write"), std::string::npos) << messages;

    fs::create_directory(folder / "taken.png"); // a folder where the file should go
    EXPECT_EQ(Run({Path("in.png"), Path("taken.png")}), 1);
    EXPECT_NE(messages.find("cannot write"), std::string::npos) << messages;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 2)
        << "no temporary file may be left";
}

TEST_F(ScaleToolTest, OutputIsReplacedOnlyOnSuccess) {
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    WriteFileBytes(Path("out.png"), old);
    WriteFileBytes(Path("in.png"), {'b', 'a', 'd'});
    EXPECT_EQ(Run({Path("in.png"), Path("out.png")}), 1);
    EXPECT_EQ(ReadFileBytes(Path("out.png")), old);

    WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(4, 2, RandomPixels(8, 11))));
    EXPECT_EQ(Run({Path("in.png"), Path("out.png")}), 0) << messages;
    Picture out;
    std::string error;
    EXPECT_TRUE(ReadPng(Path("out.png"), &out, &error)) << error;
    EXPECT_EQ(out.width, 8);
}

TEST_F(ScaleToolTest, CommandLineMistakes) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_NE(messages.find("usage"), std::string::npos);
    EXPECT_EQ(Run({"a.png"}), 2);
    EXPECT_EQ(Run({"a.png", "b.png", "c.png"}), 2);
    EXPECT_EQ(Run({"--filter", "hq3x", "a.png", "b.png"}), 2);
    EXPECT_NE(messages.find("hq3x"), std::string::npos);
    EXPECT_EQ(Run({"--frobnicate", "a.png", "b.png"}), 2);
    EXPECT_EQ(Run({"a.png", "b.png", "--filter"}), 2);
}

// A picture that needs more memory than there is ends with a message and exit 1, not a crash,
// and leaves no output. 8192x8192 from the header alone: the size is refused or the first
// large allocation fails before any picture data is decoded.
TEST_F(ScaleToolTest, HugePictureEndsCleanlyWhenMemoryIsShort) {
    std::string error;
    EXPECT_FALSE(CheckMemory(0, 8192, 8192, ScaleFilter::Hq2x, std::uint64_t{1} << 30, &error));
    EXPECT_NE(error.find("8192x8192 picture needs about"), std::string::npos) << error;
    EXPECT_FALSE(CheckMemory(0, ~0ull >> 8, ~0ull >> 8, ScaleFilter::Off, ~0ull, &error));
    EXPECT_TRUE(CheckMemory(1 << 20, 8192, 8192, ScaleFilter::Hq2x, MemoryBudget, &error) ||
                sizeof(void*) < 8);

    auto huge = BuildPng(RgbLayout(4, 2, RandomPixels(8, 12)));
    const std::size_t header = ChunkDataOffset(huge, "IHDR");
    huge[header + 2] = huge[header + 6] = 0x20, huge[header + 3] = huge[header + 7] = 0;
    FixChunkCrc(huge, header);
    WriteFileBytes(Path("in.png"), huge);
#ifdef _WIN32
    if (sizeof(void*) == 8) GTEST_SKIP() << "a 64-bit build has room for this picture";
    EXPECT_EQ(Run({"--filter", "off", Path("in.png"), Path("out.png")}), 1);
#else
#ifdef LMP_SANITIZED
    GTEST_SKIP() << "the address sanitizer's shadow memory needs a vast address space";
#endif
    // The tool in a child process whose address space cannot hold the 256 MiB input.
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const rlim_t bytes = rlim_t{256} << 20;
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
        const int code = Run({"--filter", "off", Path("in.png"), Path("out.png")});
        std::ofstream(Path("messages.txt")) << messages;
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream file(Path("messages.txt"));
    messages.assign(std::istreambuf_iterator<char>(file), {});
    fs::remove(Path("messages.txt"));
#endif
    EXPECT_NE(messages.find("not enough memory"), std::string::npos) << messages;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1)
        << "only the input may be left";
}

#ifdef _WIN32
TEST_F(ScaleToolTest, ReservedDeviceNamesAreRefusedAsTheOutput) {
    WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(4, 2, RandomPixels(8, 13))));
    for (const char* name : {"nul.png", "CON", "com1.x.png", "Lpt9", "aux "}) {
        EXPECT_EQ(Run({Path("in.png"), Path(name)}), 1) << name;
        EXPECT_NE(messages.find("reserved device name"), std::string::npos) << messages;
    }
    EXPECT_EQ(Run({Path("in.png"), Path("console.png")}), 0) << messages;
}
#endif

#ifndef _WIN32
// Runs the tool on a small picture into out, which exists already in some form.
class ScaleToolPathTest : public ScaleToolTest {
  protected:
    void SetUp() override {
        ScaleToolTest::SetUp();
        WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(4, 2, RandomPixels(8, 13))));
    }
    bool IsPicture(const std::string& path) {
        Picture out;
        std::string error;
        return ReadPng(path, &out, &error) && out.width == 8;
    }
    std::size_t Entries() {
        return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}));
    }
};

TEST_F(ScaleToolPathTest, OnlyARegularFileIsRead) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "dir");
    for (const auto& [name, reason] :
         {std::pair{"fifo", "a FIFO"}, std::pair{"dir", "a directory"}}) {
        EXPECT_EQ(Run({Path(name), Path("out.png")}), 1) << name; // a FIFO must not be waited on
        EXPECT_NE(messages.find(reason), std::string::npos) << messages;
        EXPECT_FALSE(fs::exists(Path("out.png")));
    }
}

TEST_F(ScaleToolPathTest, AnOutputThatIsNoRegularFileIsLeftAsItWas) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "dir");
    fs::create_symlink("fifo", folder / "link-to-fifo");
    for (const char* name : {"fifo", "dir", "link-to-fifo"}) {
        EXPECT_EQ(Run({Path("in.png"), Path(name)}), 1) << name;
        EXPECT_NE(messages.find("not a regular file"), std::string::npos) << messages;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(Path("fifo"))));
    EXPECT_TRUE(fs::is_directory(Path("dir")));
    EXPECT_TRUE(fs::is_empty(Path("dir")));
    EXPECT_TRUE(fs::is_symlink(Path("link-to-fifo")));
    EXPECT_EQ(Entries(), 4u) << "no temporary file may be left";
}

TEST_F(ScaleToolPathTest, LinksStayLinksAndModesAreKept) {
    fs::create_directory(folder / "sub");
    WriteFileBytes(Path("sub/target.png"), {'o', 'l', 'd'});
    fs::create_symlink("sub/target.png", folder / "link.png");
    fs::create_symlink("missing.png", folder / "sub" / "dangling.png");
    ASSERT_EQ(Run({Path("in.png"), Path("link.png")}), 0) << messages;
    EXPECT_TRUE(fs::is_symlink(Path("link.png")));
    EXPECT_TRUE(IsPicture(Path("sub/target.png")));
    ASSERT_EQ(Run({Path("in.png"), Path("sub/dangling.png")}), 0) << messages;
    EXPECT_TRUE(fs::is_symlink(Path("sub/dangling.png")));
    EXPECT_TRUE(IsPicture(Path("sub/missing.png")));

    for (const mode_t mode : {0600, 0640, 0755}) {
        WriteFileBytes(Path("kept.png"), {'o', 'l', 'd'});
        ASSERT_EQ(chmod(Path("kept.png").c_str(), mode), 0);
        ASSERT_EQ(Run({Path("in.png"), Path("kept.png")}), 0) << messages;
        struct stat info {};
        ASSERT_EQ(stat(Path("kept.png").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_TRUE(IsPicture(Path("kept.png")));
    }

    // A second name of the old file keeps the old picture.
    fs::create_hard_link(Path("kept.png"), Path("other-name.png"));
    WriteFileBytes(Path("in.png"), BuildPng(RgbLayout(5, 2, RandomPixels(10, 14))));
    const auto before = ReadFileBytes(Path("other-name.png"));
    ASSERT_EQ(Run({Path("in.png"), Path("kept.png")}), 0) << messages;
    EXPECT_EQ(ReadFileBytes(Path("other-name.png")), before);
    EXPECT_NE(ReadFileBytes(Path("kept.png")), before);
    EXPECT_EQ(Entries(), 5u) << "no temporary file may be left";
}

TEST_F(ScaleToolPathTest, TheLongestValidNameCanBeWritten) {
    const std::string name(255, 'n');
    ASSERT_EQ(Run({Path("in.png"), Path(name.c_str())}), 0) << messages;
    EXPECT_TRUE(IsPicture(Path(name.c_str())));
    EXPECT_EQ(Entries(), 2u);
}
#endif

} // namespace
