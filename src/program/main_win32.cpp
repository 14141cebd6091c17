// The viewer program's entry: run the guard when started with its private argument, or else
// read the display settings and run the viewer; end the process with its exit code.
#include "game/game_guard.h"
#include "platform/program_files.h"
#include "platform/win32.h"
#include "program/settings.h"
#include "program/viewer.h"
#include "window/surface.h"

#include <cstdlib>
#include <exception>
#include <string>

namespace {

// A crash ends the process at once, with no error dialog to wait on: the guard gives the
// game back. (Wine does not honour SEM_NOGPFAULTERRORBOX, hence the filter as well.)
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* crash) {
    TerminateProcess(GetCurrentProcess(), crash->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void EndOnTerminate() {
    TerminateProcess(GetCurrentProcess(), 3);
    std::_Exit(3);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    std::set_terminate(EndOnTerminate);
    const std::string commandLine = ProgramCommandLine();
    if (IsGuardCommandLine(commandLine.c_str())) EndProgram(GuardMain(commandLine.c_str()));
    ApplySettings(ReadSettings());
    EndProgram(ViewerMain());
}
