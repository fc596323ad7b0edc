#pragma once

#include <SDL/SDL.h>

#include <string>

// Keys by the names SDL gives them (SDL_GetKeyName: "a", "left", "space",
// "escape", "right shift", "[1]"), for settings a person writes. Needs SDL's
// video started (it fills the names); letter case does not matter.

// The key of that name; false for a name SDL does not give any key.
bool KeyFromName(const std::string& name, SDLKey& key);
// SDL's name of the key.
std::string KeyName(SDLKey key);
