// Capture through a helper inside the game process, for Wine, which cannot print a window of
// another process. On Windows, and for a game window of the viewer's own process, it is
// never used and the capture prints across processes as usual.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>

// The resource id of the helper library inside the viewer's executable.
#define LMP_CAPTURE_HELPER_RESOURCE 201

// Whether the capture of `window` goes through the helper. The first call decides: under Wine,
// for a window of another process, it loads the helper into the game; a helper that cannot be
// loaded leaves one line in lumenpane.log beside the viewer and the viewer prints as usual.
bool RemoteCaptureActive(HWND window);

// Asks the helper for a picture of `window` and waits up to RemoteFrameWaitMs; a picture
// asked for ahead (RequestRemoteFrameAhead) for the same window is taken instead of asking
// anew. Returns the reply (remote_frame.h): for RemoteFrameReady, width x height pixels at
// *pixels, rows width x 4 bytes apart, valid until the next call; RemoteFrameWaiting when no
// reply came.
int FetchRemoteFrame(HWND window, int* width, int* height, const std::uint8_t** pixels);
// Asks the helper, without waiting, for the next picture of the window fetched last, printed
// to be ready just before `wakeUpMs` from now: the render thread asks before its pacing
// sleep, so the print is done while it sleeps. Does nothing while no helper is used.
void RequestRemoteFrameAhead(int wakeUpMs);
// The same for a print that begins at `dueSeconds` (Timer() seconds, the performance counter's):
// the pass of that moment waits for it, the picture as new as it can be.
void RequestRemoteFrameAt(double dueSeconds);
// Whether the reply to the picture asked ahead for `window` has come: the helper printed it,
// so the game's window thread answered meanwhile, and fetching it waits for nothing.
bool RemoteFrameArrived(HWND window);
// When the helper began and ended the print of the latest reply (QueryPerformanceCounter's
// counter, the same in both processes); 0 and 0 when there is none.
void RemotePrintTimes(std::int64_t* began, std::int64_t* ended);

// Ask the helper to end and release the exchange. The helper also ends by itself when the
// viewer's process ends.
void StopRemoteCapture();

// Whether a module with the file name of `path` (the part after its last backslash) is
// loaded in the process.
bool ModuleLoadedInProcess(DWORD processId, const std::wstring& path);
