// The program's own path and command line, starting programs and opening files, through
// Windows' wide calls so that a folder named in any language works on a Windows of any code
// page and at any length Windows allows. Text is UTF-8 (platform/wide_text.h) on this side.
// program_files_win32.cpp holds the calls; natively the simulated desktop stands in.
#pragma once

#include "platform/win32.h"

#include <cstdio>
#include <string>

// The full path of this program's executable as Windows spells it; empty when unknown.
std::string ProgramPath();
// This program's command line as Windows gave it.
std::string ProgramCommandLine();
// CreateProcessW with only the names, the handle inheritance and a blank start-up record.
BOOL StartProgram(const std::string& application, std::string commandLine, BOOL inheritHandles,
                  PROCESS_INFORMATION* started);
// _wfopen: null when the file cannot be opened.
std::FILE* OpenFileAt(const std::string& path, const char* mode);
