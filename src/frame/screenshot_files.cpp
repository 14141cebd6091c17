// Where screenshots go and the names they get (see screenshot_files.h).
#include "frame/screenshot_files.h"

#include <cstdio>

namespace {

// A taken name gets " (2)" up to this; beyond it the press is not saved.
constexpr int MaxNameNumber = 99;

using Kind = ScreenshotDisk::Kind;
using Renamed = ScreenshotDisk::Renamed;

// The names are ASCII.
std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring Inside(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// A rename, tried again while another program holds the file, up to RenameRetrySeconds.
Renamed RenameWhenFree(ScreenshotDisk& disk, const std::wstring& from, const std::wstring& to) {
    Renamed renamed = disk.Rename(from, to);
    for (int waited = 0; renamed == Renamed::Busy && waited < RenameRetrySeconds * 1000;
         waited += RenameRetryPauseMs) {
        disk.Pause(RenameRetryPauseMs);
        renamed = disk.Rename(from, to);
    }
    return renamed;
}

// Both files in this folder, made when missing; false with the reason.
bool StoreIn(ScreenshotDisk& disk, const std::wstring& folder, const std::string& name,
             const std::vector<std::uint8_t>& framePng, const std::vector<std::uint8_t>& gamePng,
             ScreenshotOutcome* outcome) {
    const Kind kind = disk.Look(folder);
    if (kind == Kind::Other) {
        outcome->reason = "not a folder";
        return false;
    }
    if (kind == Kind::Missing && !disk.MakeFolder(folder)) {
        outcome->reason = "cannot be made (" + disk.LastError() + ")";
        return false;
    }
    const std::wstring frameTemporary = disk.WriteTemporary(folder, framePng);
    const std::wstring gameTemporary =
        frameTemporary.empty() ? std::wstring() : disk.WriteTemporary(folder, gamePng);
    if (gameTemporary.empty()) {
        outcome->reason = "cannot be written (" + disk.LastError() + ")";
        if (!frameTemporary.empty()) disk.Remove(frameTemporary);
        return false;
    }
    for (int number = 1; number <= MaxNameNumber; ++number) {
        const std::string numbered =
            number == 1 ? name : name + " (" + std::to_string(number) + ")";
        const std::wstring frame = Inside(folder, Wide(numbered + ".png"));
        const std::wstring game = Inside(folder, Wide(numbered + "-game.png"));
        if (disk.Look(frame) != Kind::Missing || disk.Look(game) != Kind::Missing) continue;
        const Renamed renamed = RenameWhenFree(disk, frameTemporary, frame);
        if (renamed == Renamed::Taken) continue; // taken since the look
        if (renamed == Renamed::Done &&
            RenameWhenFree(disk, gameTemporary, game) == Renamed::Done) {
            outcome->saved = true;
            outcome->name = numbered;
            return true;
        }
        outcome->reason = "cannot be renamed (" + disk.LastError() + ")";
        disk.Remove(gameTemporary);
        if (renamed != Renamed::Done) disk.Remove(frameTemporary);
        return false;
    }
    outcome->reason = "every name up to (" + std::to_string(MaxNameNumber) + ") is taken";
    disk.Remove(frameTemporary);
    disk.Remove(gameTemporary);
    return false;
}

} // namespace

std::string ScreenshotName(const SYSTEMTIME& time, FilterMode filter, int grid) {
    char name[64];
    std::snprintf(name, sizeof name, "%04u-%02u-%02u %02u-%02u-%02u.%03u %s", unsigned(time.wYear),
                  unsigned(time.wMonth), unsigned(time.wDay), unsigned(time.wHour),
                  unsigned(time.wMinute), unsigned(time.wSecond), unsigned(time.wMilliseconds),
                  FilterRowOf(filter).fileNames[GridIndex(grid)]);
    return name;
}

ScreenshotOutcome StoreScreenshot(ScreenshotDisk& disk, const std::wstring& viewerFolder,
                                  const std::wstring& picturesFolder, const std::string& name,
                                  const std::vector<std::uint8_t>& framePng,
                                  const std::vector<std::uint8_t>& gamePng,
                                  const std::wstring& appDataFolder) {
    const struct {
        std::wstring folder;
        const char* label;
    } places[] = {
        {viewerFolder.empty() ? L"" : Inside(viewerFolder, L"screenshots"),
         "screenshots beside the viewer"},
        {picturesFolder.empty() ? L"" : Inside(picturesFolder, L"Lumenpane"),
         "Lumenpane in Pictures"},
        {appDataFolder.empty() ? L"" : Inside(appDataFolder, L"screenshots"),
         "screenshots in AppData"},
    };
    std::string reasons;
    for (const auto& place : places) {
        const bool appData = &place == &places[2];
        if (appData && appDataFolder.empty()) break; // no third place
        ScreenshotOutcome outcome;
        outcome.inAppData = appData;
        if (place.folder.empty())
            outcome.reason = "folder unknown";
        else if (StoreIn(disk, place.folder, name, framePng, gamePng, &outcome))
            return outcome;
        reasons += std::string(reasons.empty() ? "" : "; ") + place.label + ": " + outcome.reason;
    }
    return ScreenshotOutcome{false, std::string(), reasons};
}
