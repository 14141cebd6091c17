// Setting and checking a folder's Unix mode from inside Wine (see wine_unix_mode.h).
#include "capture/wine_unix_mode.h"

#include "platform/win32.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned OwnerOnlyMode = 0700;

#if defined(__i386__)
constexpr long ChmodCall = 15, Stat64Call = 195;
constexpr std::size_t ModeOffset = 16; // struct stat64: st_dev, padding, st_ino, st_mode

long LinuxCall2(long number, const void* first, long second) {
    long result;
    asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(first), "c"(second) : "memory");
    return result;
}

long LinuxChmod(const char* path, unsigned mode) {
    return LinuxCall2(ChmodCall, path, long(mode));
}

long LinuxStat(const char* path, void* buffer) {
    return LinuxCall2(Stat64Call, path, long(reinterpret_cast<std::uintptr_t>(buffer)));
}
#elif defined(__x86_64__)
constexpr long ChmodCall = 90, StatCall = 4;
constexpr std::size_t ModeOffset = 24; // struct stat: st_dev, st_ino, st_nlink, st_mode

long LinuxCall2(long number, const void* first, long second) {
    long result;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(number), "D"(first), "S"(second)
                 : "rcx", "r11", "memory");
    return result;
}

long LinuxChmod(const char* path, unsigned mode) {
    return LinuxCall2(ChmodCall, path, long(mode));
}

long LinuxStat(const char* path, void* buffer) {
    return LinuxCall2(StatCall, path, long(reinterpret_cast<std::uintptr_t>(buffer)));
}
#endif

using HostVersion = void(CDECL*)(const char** system, const char** release);
using UnixFileName = char*(CDECL*)(const WCHAR* dosName);

bool WineOnLinux() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto hostVersion = ntdll ? reinterpret_cast<HostVersion>(reinterpret_cast<void*>(
                                   GetProcAddress(ntdll, "wine_get_host_version")))
                             : nullptr;
    if (!hostVersion) return false;
    const char* system = nullptr;
    const char* release = nullptr;
    hostVersion(&system, &release);
    return system && std::strcmp(system, "Linux") == 0;
}

} // namespace

UnixModeResult MakeFolderOwnerOnlyUnderWine(const wchar_t* folder) {
#if defined(__i386__) || defined(__x86_64__)
    if (!WineOnLinux()) return UnixModeResult::NotAvailable;
    auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName) return UnixModeResult::NotAvailable;
    char* path = unixFileName(folder);
    if (!path) return UnixModeResult::Failed;
    alignas(8) unsigned char status[256] = {};
    const bool owned = LinuxChmod(path, OwnerOnlyMode) == 0 && LinuxStat(path, status) == 0;
    HeapFree(GetProcessHeap(), 0, path);
    unsigned mode = 0;
    std::memcpy(&mode, status + ModeOffset, sizeof mode);
    return owned && (mode & 0777) == OwnerOnlyMode ? UnixModeResult::OwnerOnly
                                                   : UnixModeResult::Failed;
#else
    (void)folder;
    return UnixModeResult::NotAvailable;
#endif
}
