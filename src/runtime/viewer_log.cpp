// Files beside the viewer's executable, and the viewer's log.
#include "runtime/viewer_log.h"

#include "platform/win32.h"

#include <cstring>

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

void AppendViewerLog(const char* line) {
    char path[MAX_PATH];
    if (!PathBesideViewer("lumenpane.log", path, sizeof path)) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, DWORD(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}
