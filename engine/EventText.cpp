#include "engine/EventText.h"

#include <charconv>
#include <sstream>

bool EventIsRecorded(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_ACTIVEEVENT:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_QUIT:
    case SDL_VIDEORESIZE:
    case SDL_JOYAXISMOTION:
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        return true;
    default:
        return false;
    }
}

std::string EventToText(const SDL_Event& event)
{
    std::ostringstream out;
    out << static_cast<int>(event.type);
    switch (event.type)
    {
    case SDL_ACTIVEEVENT:
        out << ' ' << int(event.active.gain) << ' ' << int(event.active.state);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out << ' ' << int(event.key.state) << ' ' << int(event.key.keysym.scancode) << ' '
            << int(event.key.keysym.sym) << ' ' << int(event.key.keysym.mod) << ' ' << int(event.key.keysym.unicode);
        break;
    case SDL_MOUSEMOTION:
        out << ' ' << int(event.motion.state) << ' ' << event.motion.x << ' ' << event.motion.y << ' '
            << event.motion.xrel << ' ' << event.motion.yrel;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out << ' ' << int(event.button.button) << ' ' << int(event.button.state) << ' ' << event.button.x << ' '
            << event.button.y;
        break;
    case SDL_VIDEORESIZE:
        out << ' ' << event.resize.w << ' ' << event.resize.h;
        break;
    case SDL_JOYAXISMOTION:
        out << ' ' << int(event.jaxis.which) << ' ' << int(event.jaxis.axis) << ' ' << event.jaxis.value;
        break;
    case SDL_JOYHATMOTION:
        out << ' ' << int(event.jhat.which) << ' ' << int(event.jhat.hat) << ' ' << int(event.jhat.value);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        out << ' ' << int(event.jbutton.which) << ' ' << int(event.jbutton.button) << ' ' << int(event.jbutton.state);
        break;
    default:
        break;
    }
    return out.str();
}

std::string_view EventTextNextWord(std::string_view& text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    size_t end = start;
    while (end < text.size() && !blank(text[end]))
        ++end;
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

bool EventTextReadInt(std::string_view& text, long long low, long long high, long long& value)
{
    const std::string_view word = EventTextNextWord(text);
    long long parsed = 0;
    const char* last = word.data() + word.size();
    const auto [end, error] = std::from_chars(word.data(), last, parsed);
    if (word.empty() || error != std::errc() || end != last || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

namespace
{
// Reads n integers, each within [low, high]; nothing may follow them.
bool ReadFields(std::string_view text, int* values, int n, long low, long high)
{
    for (int i = 0; i < n; ++i)
    {
        long long value;
        if (!EventTextReadInt(text, low, high, value))
            return false;
        values[i] = static_cast<int>(value);
    }
    return EventTextNextWord(text).empty();
}
} // namespace

bool EventFromText(std::string_view text, SDL_Event& event)
{
    long long type;
    if (!EventTextReadInt(text, 0, 255, type))
        return false;
    event = SDL_Event{};
    event.type = static_cast<Uint8>(type);
    int f[5];
    switch (type)
    {
    case SDL_ACTIVEEVENT:
        if (!ReadFields(text, f, 2, 0, 255))
            return false;
        event.active.gain = static_cast<Uint8>(f[0]);
        event.active.state = static_cast<Uint8>(f[1]);
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (!ReadFields(text, f, 5, 0, 65535) || f[0] > 255 || f[1] > 255 || f[2] >= SDLK_LAST)
            return false;
        event.key.state = static_cast<Uint8>(f[0]);
        event.key.keysym.scancode = static_cast<Uint8>(f[1]);
        event.key.keysym.sym = static_cast<SDLKey>(f[2]);
        event.key.keysym.mod = static_cast<SDLMod>(f[3]);
        event.key.keysym.unicode = static_cast<Uint16>(f[4]);
        return true;
    case SDL_MOUSEMOTION:
        if (!ReadFields(text, f, 5, -32768, 65535))
            return false;
        event.motion.state = static_cast<Uint8>(f[0]);
        event.motion.x = static_cast<Uint16>(f[1]);
        event.motion.y = static_cast<Uint16>(f[2]);
        event.motion.xrel = static_cast<Sint16>(f[3]);
        event.motion.yrel = static_cast<Sint16>(f[4]);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (!ReadFields(text, f, 4, 0, 65535))
            return false;
        event.button.button = static_cast<Uint8>(f[0]);
        event.button.state = static_cast<Uint8>(f[1]);
        event.button.x = static_cast<Uint16>(f[2]);
        event.button.y = static_cast<Uint16>(f[3]);
        return true;
    case SDL_QUIT:
        return ReadFields(text, f, 0, 0, 0);
    case SDL_VIDEORESIZE:
        if (!ReadFields(text, f, 2, 1, 16384))
            return false;
        event.resize.w = f[0];
        event.resize.h = f[1];
        return true;
    case SDL_JOYAXISMOTION:
        if (!ReadFields(text, f, 3, -32768, 32767) || f[0] < 0 || f[0] > 255 || f[1] < 0 || f[1] > 255)
            return false;
        event.jaxis.which = static_cast<Uint8>(f[0]);
        event.jaxis.axis = static_cast<Uint8>(f[1]);
        event.jaxis.value = static_cast<Sint16>(f[2]);
        return true;
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
    {
        if (!ReadFields(text, f, 3, 0, 255))
            return false;
        // which, then the hat or button, then its value or state
        const Uint8 t = event.type, which = f[0], index = f[1], value = f[2];
        if (type == SDL_JOYHATMOTION)
            event.jhat = SDL_JoyHatEvent{t, which, index, value};
        else
            event.jbutton = SDL_JoyButtonEvent{t, which, index, value};
        return true;
    }
    default:
        return false;
    }
}
