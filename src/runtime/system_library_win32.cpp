// Windows DLLs loaded at run time from the system folder only.
#include "runtime/system_library.h"

#include <cstring>

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without the loader update Windows 7 refuses the flag itself; any other failure stands.
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const std::size_t nameBytes = std::strlen(name) + 1;
    if (folder == 0 || folder + 1 + nameBytes > MAX_PATH) return nullptr;
    path[folder] = '\\';
    std::memcpy(path + folder + 1, name, nameBytes);
    // The DLL's own imports are then looked for in the system folder too, not the viewer's.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
