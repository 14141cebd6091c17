// The player's display settings in lumenpane.ini beside the viewer.
#pragma once

// Reads [display] fit=, scaling= and pacing= from lumenpane.ini beside the viewer's
// executable: the fit and the scaling go to the surface, the pacing to the frame step (before
// the render thread starts). A missing file or key means the default (stretch, nearest,
// fixed) and is no error; an unknown value
// means the default and leaves one line naming it in lumenpane.log.
void ReadDisplaySettings();
