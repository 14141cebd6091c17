// Loading a Windows DLL at run time from the system folder only, so that a DLL of the same
// name lying in the game's or the viewer's folder (or the current one) is never loaded.
#pragma once

#include "platform/win32.h"

// Loads the DLL of this file name (no folder, e.g. "dwmapi.dll") from Windows' system folder:
// LoadLibraryExA with LOAD_LIBRARY_SEARCH_SYSTEM32, or, where Windows lacks that flag
// (Windows 7 without its loader update), by the system folder's full path. nullptr when it
// cannot be loaded; FreeLibrary releases it.
HMODULE LoadSystemLibrary(const char* name);

// The function of that name in a module (null module or missing name: null), as the caller's
// function pointer type.
template <typename Function> Function ModuleFunction(HMODULE module, const char* name) {
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}
