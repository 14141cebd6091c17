// Under Wine on Linux a folder's real protection is its Unix mode. Wine maps a Windows access
// list onto it only roughly (an entry for the user also opens the group's bits), so the
// capture helper's folder is set to mode 0700 directly: Wine's path mapping gives its Unix
// name, and the Linux system call sets and reads the mode.
#pragma once

enum class UnixModeResult { NotAvailable, OwnerOnly, Failed };

// Sets the folder's Unix mode to 0700 and reads it back. NotAvailable where there is no Wine
// on Linux underneath (on Windows, or Wine on another system).
UnixModeResult MakeFolderOwnerOnlyUnderWine(const wchar_t* folder);
