// Files beside the viewer's executable, and the viewer's log.
#include "runtime/viewer_log.h"

#include "platform/win32.h"

#include <cstring>
#include <string>

bool PathBesideViewer(const char* name, char* path, std::size_t capacity) {
    const DWORD length = GetModuleFileNameA(nullptr, path, DWORD(capacity));
    if (length == 0 || length >= capacity) return false;
    const char* slash = std::strrchr(path, '\\');
    const std::size_t folder = slash ? std::size_t(slash - path + 1) : 0;
    const std::size_t nameBytes = std::strlen(name) + 1;
    if (folder + nameBytes > capacity) return false;
    std::memcpy(path + folder, name, nameBytes);
    return true;
}

namespace {

constexpr wchar_t LogName[] = L"lumenpane.log";

HANDLE OpenForAppending(const std::wstring& path) {
    // The viewer and the guard (two processes) may append at once: each line goes whole.
    return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The log beside the viewer when it can be opened there for appending (or is only busy);
// otherwise, as for a viewer under Program Files, %LOCALAPPDATA%\Lumenpane\lumenpane.log,
// the folder made when needed. Empty when neither path is known.
std::wstring ChooseLogPath() {
    std::wstring beside;
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length != 0 && length < MAX_PATH) {
        beside.assign(module, length);
        beside.erase(beside.find_last_of(L'\\') + 1); // npos + 1: no folder at all
        beside += LogName;
        const HANDLE file = OpenForAppending(beside);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return beside;
        }
        if (GetLastError() == ERROR_SHARING_VIOLATION) return beside;
    }
    wchar_t localAppData[MAX_PATH];
    const DWORD folder = GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH) return beside;
    std::wstring path(localAppData, folder);
    path += L"\\Lumenpane";
    CreateDirectoryW(path.c_str(), nullptr); // fails harmlessly when it exists
    return path + L"\\" + LogName;
}

} // namespace

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
