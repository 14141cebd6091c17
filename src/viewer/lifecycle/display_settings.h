// The player's display settings in lumenpane.ini beside the viewer.
#pragma once

// Reads [display] fit= and pacing= from lumenpane.ini beside the viewer's executable: the fit
// goes to the surface, the pacing to the frame step (before the render thread starts). A
// missing file or key means the default (stretch, fixed) and is no error; an unknown value
// means the default and leaves one line naming it in lumenpane.log.
void ReadDisplaySettings();
