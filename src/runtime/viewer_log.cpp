// Files beside the viewer's executable, and the viewer's log.
#include "runtime/viewer_log.h"

#include "platform/program_files.h"
#include "platform/wide_text.h"
#include "platform/win32.h"

#include <cstring>

std::string PathBesideViewer(const char* name) {
    std::string path = ProgramPath();
    if (path.empty()) return path;
    path.erase(path.find_last_of('\\') + 1); // npos + 1: no folder at all
    return path + name;
}

namespace {

constexpr char LogName[] = "lumenpane.log";

HANDLE OpenForAppending(const std::wstring& path) {
    // The viewer and the guard (two processes) may append at once: each line goes whole.
    return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The log beside the viewer when it can be opened there for appending (or is only busy);
// otherwise, as for a viewer under Program Files, %LOCALAPPDATA%\Lumenpane\lumenpane.log,
// the folder made when needed. Empty when neither path is known.
std::wstring ChooseLogPath() {
    const std::wstring beside = WideFromUtf8(PathBesideViewer(LogName));
    if (!beside.empty()) {
        const HANDLE file = OpenForAppending(beside);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return beside;
        }
        if (GetLastError() == ERROR_SHARING_VIOLATION) return beside;
    }
    const std::wstring folder = ViewerAppDataFolder();
    return folder.empty() ? beside : folder + L"\\" + WideFromUtf8(LogName);
}

} // namespace

std::wstring ViewerAppDataFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    const std::wstring folder = std::wstring(path, length) + L"\\Lumenpane";
    CreateDirectoryW(folder.c_str(), nullptr); // fails harmlessly when it exists
    return folder;
}

void AppendViewerLog(const char* line) {
    // Decided on the first line written and kept for the viewer's run.
    static const std::wstring path = ChooseLogPath();
    if (path.empty()) return;
    HANDLE file = OpenForAppending(path);
    if (file == INVALID_HANDLE_VALUE) return;
    // The line and its end in one write: appended whole, never between another's two parts.
    const std::string whole = std::string(line) + "\r\n";
    DWORD written = 0;
    WriteFile(file, whole.data(), DWORD(whole.size()), &written, nullptr);
    CloseHandle(file);
}
