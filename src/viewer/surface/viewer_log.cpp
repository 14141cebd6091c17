// The viewer's log file beside its executable.
#include "viewer/surface/viewer_log.h"

#include "platform/win32.h"

#include <cstring>

void AppendViewerLog(const char* line) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    char* slash = std::strrchr(path, '\\');
    const std::size_t folder = slash ? std::size_t(slash - path + 1) : 0;
    if (folder + sizeof "lumenpane.log" > sizeof path) return;
    std::memcpy(path + folder, "lumenpane.log", sizeof "lumenpane.log");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, DWORD(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}
