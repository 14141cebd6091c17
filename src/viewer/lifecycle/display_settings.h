// The player's display settings in lumenpane.ini beside the viewer.
#pragma once

// Reads [display] fit=, scaling=, pacing=, dpi= and monitor= from lumenpane.ini beside the
// viewer's executable: the fit, the scaling and the DPI awareness go to the surface, the pacing
// to the frame step, the monitor to the window-mode switching (before the render thread
// starts). A missing file or key means the default (stretch, nearest, fixed, aware, primary)
// and is no error; an unknown value means the default and leaves one line naming it in
// lumenpane.log (for the monitor, followed by one line per monitor present).
void ReadDisplaySettings();
