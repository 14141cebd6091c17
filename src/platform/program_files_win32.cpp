// The program's path, command line, program starts and file opening through the wide calls.
#include "platform/program_files.h"

#include "platform/wide_text.h"

#include <vector>

std::string ProgramPath() {
    // A path may reach 32767 characters; the buffer grows until the whole one fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return Utf8FromWide(std::wstring_view(path.data(), length));
        if (path.size() > 65536) return std::string();
        path.resize(path.size() * 2);
    }
}

std::string ProgramCommandLine() {
    return Utf8FromWide(GetCommandLineW());
}

BOOL StartProgram(const std::string& application, std::string commandLine, BOOL inheritHandles,
                  PROCESS_INFORMATION* started) {
    const std::wstring wideApplication = WideFromUtf8(application);
    std::wstring line = WideFromUtf8(commandLine); // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    *started = PROCESS_INFORMATION{};
    return CreateProcessW(wideApplication.c_str(), line.data(), nullptr, nullptr, inheritHandles, 0,
                          nullptr, nullptr, &startup, started);
}

std::FILE* OpenFileAt(const std::string& path, const char* mode) {
    return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
}
