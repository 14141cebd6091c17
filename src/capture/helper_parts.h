// The parts of the viewer's side of the capture helper, shared by the files of this folder:
// the access rule for the shared objects, the helper file, loading it into the game.
#pragma once

#include "platform/win32.h"

#include <string>

// How long the viewer waits for the helper of an earlier viewer to end before it gives up.
constexpr DWORD EarlierHelperWaitMs = 1500;

// One line in the viewer's log saying why the capture helper is not used.
void LogHelperFailure(const char* what, DWORD error);

// A security descriptor whose only entry grants the current user full access.
struct OwnerOnlySecurity {
    SECURITY_DESCRIPTOR descriptor;
    alignas(8) BYTE acl[256];
    alignas(8) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    SECURITY_ATTRIBUTES attributes;
};

// Fills `security` so that its attributes grant only the current user; false on failure.
bool MakeOwnerOnlySecurity(OwnerOnlySecurity* security);

// Makes or checks the per-user folder for the helper library (helper_folder.h says which
// folder may be used); false, with a line in the log, when it may not.
bool PrepareHelperFolder(const std::wstring& folder);

// Writes the helper library from the viewer's resources into the per-user temporary folder,
// unless an identical copy is there, and leaves its path in `path`. Returns the checked file,
// held open without write or delete sharing so that it cannot change until it is closed, or
// INVALID_HANDLE_VALUE.
HANDLE PrepareHelperFile(std::wstring* path);

// Whether the game process runs with the viewer's pointer size.
bool SameBitness(HANDLE game);
// Waits (bounded) until no helper of this file name is loaded in the game any more.
bool EarlierHelperGone(DWORD gameProcessId, const std::wstring& path);
// Runs LoadLibraryW(path) on a new thread of the game, waits for it to return and checks the
// game's module list for the library.
bool LoadHelperIntoGame(HANDLE game, DWORD gameProcessId, const std::wstring& path);
