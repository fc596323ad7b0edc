#include "engine/KeyNames.h"

#include <cctype>

namespace
{
bool SameIgnoringCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}
} // namespace

bool KeyFromName(const std::string& name, SDLKey& key)
{
    const std::string unknown = SDL_GetKeyName(SDLK_UNKNOWN);
    if (name.empty() || SameIgnoringCase(name, unknown.c_str()))
        return false;
    for (int k = SDLK_FIRST + 1; k < SDLK_LAST; ++k)
    {
        if (SameIgnoringCase(name, SDL_GetKeyName(static_cast<SDLKey>(k))))
        {
            key = static_cast<SDLKey>(k);
            return true;
        }
    }
    return false;
}

std::string KeyName(SDLKey key)
{
    return SDL_GetKeyName(key);
}
