// The viewer's drivers: the main entry, start-up and shutdown, and the render thread that
// runs the frame step. Nothing below them includes this header.
#pragma once

// Takes the game window over, opens the viewer window and starts the render thread.
void StartViewer();
// Stops the render thread, closes the viewer window and gives the game window back.
void StopViewer();

// The render thread's entry and one pass of its loop; RenderPass returns false when the
// loop must end (the game window is gone or running was cleared).
void RenderThread(void* parameter);
bool RenderPass();

// The viewer's main entry; returns the exit code.
int ViewerMain();
