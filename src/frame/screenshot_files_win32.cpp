// Saving screenshots on Windows: both pictures encoded by the Windows Imaging Component, then
// stored by the rules of screenshot_files.h in Windows' own folders and files. Runs on the
// saving thread, which is in COM.
#include "frame/screenshot_files.h"
#include "frame/screenshots.h"
#include "pixels/image.h"
#include "platform/program_files.h"
#include "platform/wide_text.h"
#include "platform/win32_com.h"
#include "runtime/png_encoder.h"
#include "runtime/viewer_log.h"

namespace {

class WindowsDisk final : public ScreenshotDisk {
  public:
    Kind Look(const std::wstring& path) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::Missing;
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::Folder : Kind::Other;
    }

    bool MakeFolder(const std::wstring& path) override {
        return CreateDirectoryW(path.c_str(), nullptr) || Failed();
    }

    std::wstring WriteTemporary(const std::wstring& folder,
                                const std::vector<std::uint8_t>& bytes) override {
        wchar_t path[MAX_PATH];
        if (!GetTempFileNameW(folder.c_str(), L"lmp", 0, path)) {
            Failed();
            return std::wstring();
        }
        const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool complete =
            file != INVALID_HANDLE_VALUE &&
            WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
            written == bytes.size() && FlushFileBuffers(file);
        if (!complete) Failed();
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (complete) return path;
        DeleteFileW(path);
        return std::wstring();
    }

    Renamed Rename(const std::wstring& from, const std::wstring& to) override {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return Renamed::Done;
        Failed();
        if (error_ == ERROR_ALREADY_EXISTS || error_ == ERROR_FILE_EXISTS) return Renamed::Taken;
        // An antivirus that holds the fresh file makes the rename fail at once.
        if (error_ == ERROR_SHARING_VIOLATION || error_ == ERROR_ACCESS_DENIED)
            return Renamed::Busy;
        return Renamed::Failed;
    }

    void Remove(const std::wstring& path) override { DeleteFileW(path.c_str()); }

    void Pause(int ms) override { SleepEx(DWORD(ms), FALSE); }

    std::string LastError() override {
        char text[160] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error_,
                       0, text, sizeof text, nullptr);
        std::string line = "error " + std::to_string(error_);
        std::string message = text;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == '.' || message.back() == ' '))
            message.pop_back();
        return message.empty() ? line : line + ": " + message;
    }

  private:
    // Keeps the error of the call that just failed; false.
    bool Failed() {
        error_ = GetLastError();
        return false;
    }

    DWORD error_ = 0;
};

bool Encode(Image* image, std::vector<std::uint8_t>* png, std::string* error) {
    const PngPixels pixels{ImagePixels(image), int(image->width), int(image->height), image->pitch};
    return EncodePngWithWic(
        pixels,
        [png](const std::uint8_t* data, std::size_t size) {
            png->assign(data, data + size);
            return true;
        },
        error);
}

// The folder of lumenpane.exe; empty when unknown.
std::wstring ViewerFolder() {
    const std::wstring folder = WideFromUtf8(ProgramPath());
    const std::size_t slash = folder.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

// The user's Pictures folder (made when missing); empty when unknown.
std::wstring PicturesFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_CREATE, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

} // namespace

ScreenshotOutcome SaveScreenshotFiles(const ScreenshotSlot& slot, const std::string& name) {
    // The saving thread works below the render thread, which must never wait for it.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    std::vector<std::uint8_t> framePng, gamePng;
    std::string error;
    if (!Encode(slot.frame, &framePng, &error) || !Encode(slot.game, &gamePng, &error))
        return ScreenshotOutcome{false, std::string(), "the PNG codec failed: " + error};
    WindowsDisk disk;
    return StoreScreenshot(disk, ViewerFolder(), PicturesFolder(), name, framePng, gamePng,
                           ViewerAppDataFolder());
}
