// The player's display settings in lumenpane.ini beside the viewer.
#pragma once

// Reads [display] fit= from lumenpane.ini beside the viewer's executable and hands it to
// the surface. A missing file or key means stretch and is no error; an unknown value means
// stretch and leaves one line naming it in lumenpane.log.
void ReadDisplaySettings();
