// Writing the helper library out of the viewer's resources into the temporary folder, and
// holding the checked file.
#include "capture/helper_parts.h"

#include "capture/remote_capture.h"
#include "capture/remote_frame.h"
#include "platform/wide_text.h"

#include <cstring>
#include <vector>

namespace {

// Opens the file at `path` when it holds exactly `size` bytes equal to `bytes`, for reading
// only and with no write or delete sharing. INVALID_HANDLE_VALUE otherwise.
HANDLE OpenCheckedFile(const std::wstring& path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    bool same = GetFileSize(file, nullptr) == size;
    const auto* expected = static_cast<const BYTE*>(bytes);
    BYTE chunk[4096];
    for (DWORD done = 0; same && done < size;) {
        DWORD got = 0;
        const DWORD want = size - done < sizeof chunk ? size - done : DWORD(sizeof chunk);
        same = ReadFile(file, chunk, want, &got, nullptr) && got == want &&
               std::memcmp(chunk, expected + done, want) == 0;
        done += got;
    }
    if (same) return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

bool WriteWholeFile(const std::wstring& path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

// The user's temporary folder, ending in a backslash, at any length; empty when unknown.
std::wstring TemporaryFolder() {
    std::vector<wchar_t> folder(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetTempPathW(DWORD(folder.size()), folder.data());
        if (length == 0) return std::wstring();
        if (length < folder.size()) return std::wstring(folder.data(), length);
        folder.resize(length + 1); // the size it needs
    }
}

} // namespace

HANDLE PrepareHelperFile(std::wstring* path) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(LMP_CAPTURE_HELPER_RESOURCE),
                                   MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    if (!bytes || size == 0) {
        LogHelperFailure("the viewer holds no helper library", GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    const std::wstring folder = TemporaryFolder();
    char name[64];
    HelperFileName(bytes, size, int(sizeof(void*) * 8), name, sizeof name);
    if (folder.empty()) {
        LogHelperFailure("no usable temporary folder", GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    if (!PrepareHelperFolder(folder + L"lumenpane")) return INVALID_HANDLE_VALUE;
    *path = folder + L"lumenpane\\" + WideFromUtf8(name);
    HANDLE held = OpenCheckedFile(*path, bytes, size);
    if (held != INVALID_HANDLE_VALUE) return held;
    if (WriteWholeFile(*path, bytes, size)) held = OpenCheckedFile(*path, bytes, size);
    if (held == INVALID_HANDLE_VALUE)
        LogHelperFailure("the helper library cannot be written to the temporary folder",
                         GetLastError());
    return held;
}
