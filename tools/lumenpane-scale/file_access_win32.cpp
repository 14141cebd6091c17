// The tool's files with the Windows API: devices and reserved device names refused, the
// output replaced through a temporary file created exclusively beside it.
#include "file_access.h"

#include "platform/win32.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <random>

namespace {

constexpr int MaxTemporaryTries = 100;

std::string Reason(DWORD code) {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    if (reason.empty()) reason = "error " + std::to_string(code);
    return reason;
}

std::size_t NameStart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? 0 : cut + 1;
}

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 name devices in every folder, also with an
// extension ("nul.png") or trailing blanks and dots.
bool IsReservedDeviceName(const std::string& path) {
    std::string base = path.substr(NameStart(path));
    base = base.substr(0, base.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
    for (char& c : base) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

std::string Folder(const std::string& path) {
    const std::size_t start = NameStart(path);
    return start == 0 ? std::string(".\\") : path.substr(0, start);
}

} // namespace

bool ReadInputFile(const std::string& path, std::uint64_t maxBytes,
                   std::vector<std::uint8_t>* bytes, std::string* error) {
    const std::string shown = Printable(path);
    if (IsReservedDeviceName(path)) {
        *error = "cannot read " + shown + ": a device, not a regular file";
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = "cannot read " + shown + ": a directory, not a regular file";
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = "cannot open " + shown + ": " + Reason(GetLastError());
        return false;
    }
    bool ok = true;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        *error = "cannot read " + shown + ": a device, not a regular file";
        ok = false;
    } else if (!GetFileSizeEx(file, &size)) {
        *error = "cannot read " + shown + ": " + Reason(GetLastError());
        ok = false;
    } else if (std::uint64_t(size.QuadPart) > maxBytes) {
        *error = "cannot read " + shown + ": the file is " + std::to_string(size.QuadPart) +
                 " bytes, more than this build can hold (" + std::to_string(maxBytes) + ")";
        ok = false;
    }
    if (ok) {
        bytes->resize(std::size_t(size.QuadPart));
        std::size_t got = 0;
        while (got < bytes->size()) {
            DWORD n = 0;
            const DWORD want = DWORD(std::min<std::size_t>(bytes->size() - got, 1u << 20));
            if (!ReadFile(file, bytes->data() + got, want, &n, nullptr)) {
                *error = "cannot read " + shown + ": " + Reason(GetLastError());
                ok = false;
                break;
            }
            if (n == 0) break;
            got += n;
        }
        bytes->resize(got);
    }
    CloseHandle(file);
    return ok;
}

bool CheckOutputPath(const std::string& path, std::string* error) {
    if (IsReservedDeviceName(path)) {
        *error = "cannot write " + Printable(path) + ": a reserved device name";
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = "cannot write " + Printable(path) + ": a directory, not a regular file";
        return false;
    }
    return true;
}

OutputFile::~OutputFile() {
    Discard();
}

void OutputFile::Discard() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    if (!temporary_.empty() && !committed_) DeleteFileA(temporary_.c_str());
    temporary_.clear();
}

bool OutputFile::Open(const std::string& path, std::string* error) {
    shownPath_ = Printable(path);
    finalPath_ = path;
    if (!CheckOutputPath(path, error)) return false;
    std::mt19937_64 random(
        std::random_device{}() ^
        std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    DWORD problem = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < MaxTemporaryTries; ++attempt) {
        std::string name = Folder(path) + ".lmp";
        for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(file);
            temporary_ = name;
            return true;
        }
        problem = GetLastError();
        if (problem != ERROR_FILE_EXISTS && problem != ERROR_ALREADY_EXISTS) break;
    }
    *error = "cannot write " + shownPath_ + ": " + Reason(problem);
    return false;
}

bool OutputFile::Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0 && writeError_ == 0) {
        const DWORD want = DWORD(std::min<std::size_t>(size, 1u << 20));
        DWORD n = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle_), data, want, &n, nullptr) || n == 0) {
            writeError_ = int(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
            break;
        }
        data += n;
        size -= n;
    }
    return writeError_ == 0;
}

bool OutputFile::WriteFailed(std::string* error) const {
    if (writeError_ != 0) *error = "cannot write " + shownPath_ + ": " + Reason(DWORD(writeError_));
    return writeError_ != 0;
}

bool OutputFile::Commit(std::string* error) {
    DWORD problem = DWORD(writeError_);
    if (!CloseHandle(reinterpret_cast<HANDLE>(handle_)) && problem == 0) problem = GetLastError();
    handle_ = -1;
    if (problem == 0 && !MoveFileExA(temporary_.c_str(), finalPath_.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        problem = GetLastError();
    if (problem != 0) {
        *error = "cannot write " + shownPath_ + ": " + Reason(problem);
        Discard();
        return false;
    }
    committed_ = true;
    temporary_.clear();
    return true;
}
