#pragma once

// Prepares the window system for the game before SDL opens its window: the level
// loader drives a GL context of its own on the game's window from another thread,
// and SDL must pick a video driver with OpenGL. Must run before SDL starts.
void PlatformInitDisplayThreads();
