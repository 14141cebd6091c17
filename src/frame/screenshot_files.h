// Where screenshots go and the names they get. The rules are here, without platform calls,
// over the few things they ask of the system (ScreenshotDisk); screenshot_files_win32.cpp
// gives Windows' own folders, files and PNG codec.
//
// A press gives two files, <name>.png (the frame shown) and <name>-game.png (the game's own
// picture); <name> is the local date and time to the millisecond and the filter,
// "2026-12-09 14-03-27.512 hq2x". They go into `screenshots` beside the viewer, else
// `Lumenpane` in the user's Pictures folder, each made when missing. Each file is written
// under a temporary name in that folder and renamed when complete, never over an existing
// file: where either name is taken, both get " (2)", " (3)" ...
#pragma once

#include "frame/frame_step.h"
#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <vector>

// What one save came to: the name both files got, or why they could not be saved.
struct ScreenshotOutcome {
    bool saved = false;
    std::string name;
    std::string reason;
};

// The file operations the rules use. Paths are Windows' (wide, backslashes).
class ScreenshotDisk {
  public:
    enum class Kind { Missing, Folder, Other };
    enum class Renamed { Done, Taken, Failed };
    virtual Kind Look(const std::wstring& path) = 0;
    virtual bool MakeFolder(const std::wstring& path) = 0;
    // A new file in the folder under a temporary name, holding bytes, complete and closed;
    // its path, or empty with nothing left behind.
    virtual std::wstring WriteTemporary(const std::wstring& folder,
                                        const std::vector<std::uint8_t>& bytes) = 0;
    // Never replaces a file: Taken when `to` exists.
    virtual Renamed Rename(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Remove(const std::wstring& path) = 0;
    // Why the last operation that failed did so, for the log.
    virtual std::string LastError() = 0;

  protected:
    ~ScreenshotDisk() = default;
};

// "2026-12-09 14-03-27.512 hq2x": the filter's file name at the frame's grid ("scale4x").
std::string ScreenshotName(const SYSTEMTIME& time, FilterMode filter, int grid = MinGrid);

// Stores the two PNG files of one press under `name` by the rules above. viewerFolder and
// picturesFolder are empty where unknown. Not saved: the reason names each folder tried.
ScreenshotOutcome StoreScreenshot(ScreenshotDisk& disk, const std::wstring& viewerFolder,
                                  const std::wstring& picturesFolder, const std::string& name,
                                  const std::vector<std::uint8_t>& framePng,
                                  const std::vector<std::uint8_t>& gamePng);
