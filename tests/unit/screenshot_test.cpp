// Screenshots: their names and places (beside the viewer, else in Pictures, never over a file)
// as one table, and what the frame step copies.
#include "frame/screenshots.h"
#include "pixels/hq2x.h"
#include "viewer_fixture.h"

#include <map>
#include <set>

namespace {

using Kind = ScreenshotDisk::Kind;

// Files by path; folders, and those that cannot be made or written.
struct FakeDisk final : ScreenshotDisk {
    std::map<std::wstring, std::vector<std::uint8_t>> files;
    std::set<std::wstring> folders, unmakeable, unwritable;
    Kind Look(const std::wstring& p) override {
        return folders.count(p) ? Kind::Folder : files.count(p) ? Kind::Other : Kind::Missing;
    }
    bool MakeFolder(const std::wstring& p) override {
        return !unmakeable.count(p) && folders.insert(p).second;
    }
    std::wstring WriteTemporary(const std::wstring& folder,
                                const std::vector<std::uint8_t>& bytes) override {
        if (unwritable.count(folder)) return {};
        const std::wstring path = folder + L"\\lmp" + std::to_wstring(files.size()) + L".tmp";
        files[path] = bytes;
        return path;
    }
    int busyRenames = 0, pausedMs = 0; // renames refused as held by another program
    Renamed Rename(const std::wstring& from, const std::wstring& to) override {
        if (busyRenames > 0 && busyRenames--) return Renamed::Busy;
        if (Look(to) != Kind::Missing) return Renamed::Taken;
        files[to] = files[from];
        files.erase(from);
        return Renamed::Done;
    }
    void Remove(const std::wstring& path) override { files.erase(path); }
    void Pause(int ms) override { pausedMs += ms; }
    std::string LastError() override { return "error 5"; }
};

TEST(Screenshots, AreNamedByTimeAndFilterAndGoBesideTheViewerElseToPicturesNeverOverAFile) {
    enum Beside { New, Taken, AFile, Unmakeable, Unwritable };
    enum Pictures { Unknown, Writable, Full };
    const SYSTEMTIME t1{2026, 12, 3, 9, 14, 3, 27, 512}, t2{2027, 1, 6, 2, 3, 4, 5, 6};
    const struct {
        Beside beside;
        Pictures pictures;
        SYSTEMTIME time;
        FilterMode filter;
        const char* savedAs; // or the reason it was not saved
    } rows[] = {
        {New, Writable, t1, FilterHq2x, "2026-12-09 14-03-27.512 hq2x"},
        {Taken, Writable, t2, FilterOff, "2027-01-02 03-04-05.006 off (3)"},
        {AFile, Writable, t1, FilterScale2x, "2026-12-09 14-03-27.512 scale2x"},
        {Unmakeable, Writable, t1, FilterHq2x, "2026-12-09 14-03-27.512 hq2x"},
        {Unwritable, Writable, t1, FilterHq2x, "2026-12-09 14-03-27.512 hq2x"},
        {AFile, Unknown, t1, FilterHq2x,
         "screenshots beside the viewer: not a folder; Lumenpane in Pictures: folder unknown"},
        {Unwritable, Full, t1, FilterHq2x,
         "screenshots beside the viewer: cannot be written (error 5); Lumenpane in Pictures: "
         "cannot be written (error 5)"},
    };
    const std::wstring beside = L"C:\\Game\\screenshots", pictures = L"C:\\Pictures\\Lumenpane";
    const std::vector<std::uint8_t> frame = {1, 2}, game = {3};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.savedAs);
        const std::string name = ScreenshotName(row.time, row.filter);
        const std::wstring wide(name.begin(), name.end());
        FakeDisk disk;
        if (row.beside == Taken) {
            disk.folders.insert(beside);
            disk.files[beside + L"\\" + wide + L".png"] = {7};
            disk.files[beside + L"\\" + wide + L" (2)-game.png"] = {7};
        }
        if (row.beside == AFile) disk.files[beside] = {7};
        if (row.beside == Unmakeable) disk.unmakeable.insert(beside);
        if (row.beside == Unwritable) disk.unwritable.insert(beside);
        if (row.pictures == Full) disk.unwritable.insert(pictures);
        const auto before = disk.files;
        const ScreenshotOutcome outcome = StoreScreenshot(
            disk, L"C:\\Game", row.pictures ? L"C:\\Pictures" : L"", name, frame, game);
        EXPECT_EQ(outcome.saved ? outcome.name : outcome.reason, row.savedAs);
        for (const auto& [path, bytes] : before) EXPECT_EQ(disk.files[path], bytes) << "kept";
        const std::string saved(row.savedAs);
        const std::wstring path = (row.beside > Taken ? pictures : beside) + L"\\" +
                                  std::wstring(saved.begin(), saved.end());
        if (outcome.saved) {
            EXPECT_EQ(disk.files[path + L".png"], frame);
            EXPECT_EQ(disk.files[path + L"-game.png"], game);
        }
        EXPECT_EQ(disk.files.size(), before.size() + 2 * outcome.saved) << "no temporary left";
    }
}

// With both places refused the third takes the pictures; a rename held by another program is
// tried again for up to a second.
TEST(Screenshots, GoToAppDataWhenBothPlacesRefuseAndWaitForAHeldFile) {
    const struct {
        bool refused;   // beside the viewer and in Pictures
        int busy;       // renames refused as held
        const char* at; // the folder both files are in, or the reason
        int pausedMs;
    } rows[] = {
        {true, 0, "C:\\Local\\Lumenpane\\screenshots", 0},
        {false, 3, "C:\\Game\\screenshots", 150},
        {false, 21, "C:\\Pictures\\Lumenpane", 1000},
        {true, 21,
         "screenshots beside the viewer: cannot be written (error 5); Lumenpane in "
         "Pictures: cannot be written (error 5); screenshots in AppData: cannot be "
         "renamed (error 5)",
         1000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at);
        FakeDisk disk;
        if (row.refused) disk.unwritable = {L"C:\\Game\\screenshots", L"C:\\Pictures\\Lumenpane"};
        disk.busyRenames = row.busy;
        const ScreenshotOutcome outcome = StoreScreenshot(disk, L"C:\\Game", L"C:\\Pictures", "n",
                                                          {1}, {2}, L"C:\\Local\\Lumenpane");
        const std::wstring at(row.at, row.at + std::strlen(row.at));
        EXPECT_EQ(outcome.saved ? "" : outcome.reason, outcome.saved ? "" : row.at);
        EXPECT_EQ(outcome.saved,
                  disk.files.count(at + L"\\n.png") && disk.files.count(at + L"\\n-game.png"));
        EXPECT_EQ(outcome.inAppData, outcome.saved && row.refused);
        EXPECT_EQ(disk.files.size(), 2u * outcome.saved) << "no temporary left";
        EXPECT_EQ(disk.pausedMs, row.pausedMs);
    }
}

std::vector<std::uint32_t> Pixels(Image* image) {
    std::vector<std::uint32_t> pixels(std::size_t(image->width) * image->height);
    for (std::uint32_t y = 0; y < image->height; ++y)
        std::memcpy(&pixels[y * image->width], ImageRow(image, int(y)), image->width * 4);
    return pixels;
}

std::vector<std::uint32_t> keptFrame, keptGame; // as the saving thread got them

ScreenshotOutcome Keep(const ScreenshotSlot& slot, const std::string& name) {
    keptFrame = Pixels(slot.frame);
    keptGame = Pixels(slot.game);
    return ScreenshotOutcome{true, name, ""};
}

using ScreenshotOfFrame = ViewerOnSim;

// The counter shows on the frame buffer; the copies hold the picture beneath it and the
// game's own single-size picture, with either pacing (the smooth one draws nothing anew for a
// frozen game) and in every filter.
TEST_F(ScreenshotOfFrame, HoldsThePictureWithoutTheOverlayAndTheGamesOwnPicture) {
    ASSERT_TRUE(MakeFilterTables());
    Screenshots.save = Keep;
    for (const Pacing pacing : {Pacing::Fixed, Pacing::Smooth})
        for (const FilterMode mode : {FilterOff, FilterScale2x, FilterHq2x}) {
            SCOPED_TRACE(int(mode) + 3 * int(pacing));
            FramePacing.pacing = pacing;
            FrameState.filterMode = mode;
            ShowGameFrame(mode == FilterOff);
            StartScreenshots();
            FrameState.fpsOverlayOn = false;
            Frame();
            const std::vector<std::uint32_t> picture = FrameBuffer();
            FrameState.fpsOverlayOn = true;
            Frame();
            const std::vector<std::uint32_t> shown = FrameBuffer();
            SimTap(VK_F9);
            Frame();
            EXPECT_EQ(FrameBuffer(), shown) << "the overlay is back after the copy";
            StopScreenshots(); // the saving thread runs now and saves the queued slot
            EXPECT_EQ(keptFrame, picture);
            EXPECT_EQ(keptGame, SingleFrame());
            EXPECT_NE(shown, picture);
        }
    Screenshots.save = nullptr;
}

} // namespace
