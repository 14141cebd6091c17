// Files beside the viewer's executable, and the viewer's log: lumenpane.log there, one line
// per event, or %LOCALAPPDATA%\Lumenpane\lumenpane.log when the viewer's folder cannot be
// written (a viewer under Program Files).
#pragma once

#include <string>

// The full path (UTF-8) of the file with this name in the viewer's folder; empty when the
// viewer's own path is unknown.
std::string PathBesideViewer(const char* name);

// %LOCALAPPDATA%\Lumenpane, made when missing: the viewer's place when its own folder refuses
// its files (the log, screenshots). Empty when unknown.
std::wstring ViewerAppDataFolder();

// Appends one line (and a line end) to the log; does nothing when the file cannot be opened.
// The first line decides the log's place (beside the viewer when it can be opened there) and
// every later line goes to the same place.
void AppendViewerLog(const char* line);
