#pragma once

// Lets Xlib be used from more than one thread: the level loader drives a GL
// context of its own on the game's display. Must run before SDL opens the display.
void PlatformInitDisplayThreads();
