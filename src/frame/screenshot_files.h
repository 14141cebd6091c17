// Where screenshots go and the names they get. The rules are here, without platform calls,
// over the few things they ask of the system (ScreenshotDisk); screenshot_files_win32.cpp
// gives Windows' own folders, files and PNG codec.
//
// A press gives two files, <name>.png (the frame shown) and <name>-game.png (the game's own
// picture); <name> is the local date and time to the millisecond and the filter,
// "2026-12-09 14-03-27.512 hq2x". They go into `screenshots` beside the viewer, else
// `Lumenpane` in the user's Pictures folder, else (a viewer under Program Files with Windows'
// Controlled Folder Access on) `Lumenpane\screenshots` in the user's local application data,
// each made when missing. Each file is written under a temporary name in that folder and
// renamed when complete, never over an existing file: where either name is taken, both get
// " (2)", " (3)" ... A rename refused because another program holds the file (an antivirus
// reading it) is tried again for up to RenameRetrySeconds.
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
    bool inAppData = false; // saved in the third place
};

constexpr double RenameRetrySeconds = 1.0;
constexpr int RenameRetryPauseMs = 50;

// The file operations the rules use. Paths are Windows' (wide, backslashes).
class ScreenshotDisk {
  public:
    enum class Kind { Missing, Folder, Other };
    // Busy: refused for now (a sharing violation, access denied), worth trying again.
    enum class Renamed { Done, Taken, Busy, Failed };
    virtual Kind Look(const std::wstring& path) = 0;
    virtual bool MakeFolder(const std::wstring& path) = 0;
    // A new file in the folder under a temporary name, holding bytes, complete and closed;
    // its path, or empty with nothing left behind.
    virtual std::wstring WriteTemporary(const std::wstring& folder,
                                        const std::vector<std::uint8_t>& bytes) = 0;
    // Never replaces a file: Taken when `to` exists.
    virtual Renamed Rename(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Remove(const std::wstring& path) = 0;
    // A pause before a rename is tried again.
    virtual void Pause(int ms) { (void)ms; }
    // Why the last operation that failed did so, for the log.
    virtual std::string LastError() = 0;

  protected:
    ~ScreenshotDisk() = default;
};

// "2026-12-09 14-03-27.512 hq2x": the filter's file name at the frame's grid ("scale4x").
std::string ScreenshotName(const SYSTEMTIME& time, FilterMode filter, int grid = MinGrid);

// Stores the two PNG files of one press under `name` by the rules above. viewerFolder and
// picturesFolder are empty where unknown; appDataFolder is the viewer's folder in the local
// application data (`...\Lumenpane`), empty for none. Not saved: the reason names each folder
// tried.
ScreenshotOutcome StoreScreenshot(ScreenshotDisk& disk, const std::wstring& viewerFolder,
                                  const std::wstring& picturesFolder, const std::string& name,
                                  const std::vector<std::uint8_t>& framePng,
                                  const std::vector<std::uint8_t>& gamePng,
                                  const std::wstring& appDataFolder = std::wstring());
