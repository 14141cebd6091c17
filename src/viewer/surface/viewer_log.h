// The viewer's log: lumenpane.log beside the viewer's executable, one line per event.
#pragma once

// Appends one line (and a line end) to the log; does nothing when the file cannot be opened.
void AppendViewerLog(const char* line);
