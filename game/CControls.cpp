#include "game/CControls.h"

#include "config/Ini.h"
#include "engine/KeyNames.h"
#include "log/Log.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace
{
const char* const ACTION_NAMES[CONTROL_COUNT] = {"left", "right", "brake", "jump", "pause", "quit"};
const SDLKey RULE_KEYS[CONTROL_COUNT] = {SDLK_a, SDLK_d, SDLK_s, SDLK_SPACE, SDLK_ESCAPE, SDLK_BACKSPACE};
const SDLKey ARROW_KEYS[CONTROL_COUNT] = {SDLK_LEFT, SDLK_RIGHT, SDLK_DOWN, SDLK_UP, SDLK_UNKNOWN, SDLK_UNKNOWN};
const int DEFAULT_PAD_BUTTONS[CONTROL_COUNT] = {-1, -1, 1, 0, 7, 6};
const int MAX_PAD_BUTTON = 31;
// A value quoted in a log line: short and printable, whatever the file held.
const size_t MAX_QUOTED = 40;

std::string Quoted(const std::string& value)
{
    std::string out = "\"";
    for (size_t i = 0; i < value.size() && i < MAX_QUOTED; ++i)
        out += std::isprint(static_cast<unsigned char>(value[i])) ? value[i] : '?';
    return out + (value.size() > MAX_QUOTED ? "...\"" : "\"");
}
} // namespace

CControls::CControls()
{
    std::copy(RULE_KEYS, RULE_KEYS + CONTROL_COUNT, configured);
    std::copy(DEFAULT_PAD_BUTTONS, DEFAULT_PAD_BUTTONS + CONTROL_COUNT, padButton);
    Bind();
}

SDLKey CControls::RuleKey(ControlAction action)
{
    return RULE_KEYS[action];
}

void CControls::ReadConfig(const std::string& file, const std::string& className)
{
    for (int a = 0; a < CONTROL_COUNT; ++a)
    {
        const std::string name = IniReadString("keys", ACTION_NAMES[a], "", file);
        SDLKey key;
        if (name.empty())
            continue;
        if (KeyFromName(name, key))
            configured[a] = key;
        else
            LogWrite(LOG_WARNING,
                     "No key is called " + Quoted(name) + " (keys, " + ACTION_NAMES[a] + " in " + file + "); " +
                         ACTION_NAMES[a] + " stays on " + Quoted(KeyName(configured[a])) + ".",
                     className);
    }
    for (int a = 0; a < CONTROL_COUNT; ++a)
    {
        if (padButton[a] < 0)
            continue;
        const std::string text = IniReadString("gamepad", ACTION_NAMES[a], "", file);
        int button = -1;
        const char* end = text.data() + text.size();
        const auto [last, error] = std::from_chars(text.data(), end, button);
        if (text.empty())
            continue;
        if (error == std::errc() && last == end && button >= 0 && button <= MAX_PAD_BUTTON)
            padButton[a] = button;
        else
            LogWrite(LOG_WARNING,
                     "No gamepad button " + Quoted(text) + " (gamepad, " + ACTION_NAMES[a] + " in " + file +
                         "); " + ACTION_NAMES[a] + " stays on button " + std::to_string(padButton[a]) + ".",
                     className);
    }
    Bind();
}

void CControls::Bind()
{
    std::fill(keyAction, keyAction + SDLK_LAST, -1);
    std::fill(keySource, keySource + SDLK_LAST, 0u);
    for (int a = 0; a < CONTROL_COUNT; ++a)
    {
        keys[a].clear();
        keyAction[configured[a]] = a;
        keySource[configured[a]] = SOURCE_CONFIGURED_KEY;
    }
    for (int a = 0; a < CONTROL_COUNT; ++a)
    {
        const SDLKey arrow = ARROW_KEYS[a];
        if (arrow != SDLK_UNKNOWN && keyAction[arrow] < 0)
        {
            keyAction[arrow] = a;
            keySource[arrow] = SOURCE_ARROW_KEY;
        }
    }
    // A key configured twice belongs to the later action.
    for (int k = 0; k < SDLK_LAST; ++k)
        if (keyAction[k] >= 0)
            keys[keyAction[k]].push_back(static_cast<SDLKey>(k));
    for (int a = 0; a < CONTROL_COUNT; ++a)
        std::stable_sort(keys[a].begin(), keys[a].end(),
                         [this](SDLKey x, SDLKey y) { return keySource[x] < keySource[y]; });
    std::fill(heldBy, heldBy + CONTROL_COUNT, 0u);
}

void CControls::Set(ControlAction action, unsigned source, bool held, std::vector<ControlChange>* changes)
{
    const bool before = heldBy[action] != 0;
    heldBy[action] = held ? heldBy[action] | source : heldBy[action] & ~source;
    const bool after = heldBy[action] != 0;
    // Jumping, pausing and quitting act on every press, as their keys always did;
    // walking and braking last while any of their inputs is held.
    const bool everyPress = action >= CONTROL_JUMP && held;
    if (changes && (before != after || everyPress))
        changes->push_back(ControlChange{action, held});
}

void CControls::SetDirection(unsigned source, bool left, bool right, std::vector<ControlChange>& changes)
{
    // Releases first, so that a key still held picks the walking animation as
    // its key-up would.
    if (!left)
        Set(CONTROL_LEFT, source, false, &changes);
    if (!right)
        Set(CONTROL_RIGHT, source, false, &changes);
    if (left)
        Set(CONTROL_LEFT, source, true, &changes);
    if (right)
        Set(CONTROL_RIGHT, source, true, &changes);
}

void CControls::SetKeyHeld(SDLKey key, bool held)
{
    if (key >= 0 && key < SDLK_LAST && keyAction[key] >= 0)
        Set(static_cast<ControlAction>(keyAction[key]), keySource[key], held, nullptr);
}

std::vector<ControlChange> CControls::Translate(const SDL_Event& event)
{
    std::vector<ControlChange> changes;
    switch (event.type)
    {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        const SDLKey key = event.key.keysym.sym;
        if (key >= 0 && key < SDLK_LAST && keyAction[key] >= 0)
            Set(static_cast<ControlAction>(keyAction[key]), keySource[key], event.type == SDL_KEYDOWN, &changes);
        break;
    }
    case SDL_JOYHATMOTION:
        if (event.jhat.hat == 0)
            SetDirection(SOURCE_PAD_HAT, event.jhat.value & SDL_HAT_LEFT, event.jhat.value & SDL_HAT_RIGHT, changes);
        break;
    case SDL_JOYAXISMOTION:
        if (event.jaxis.axis == 0)
            SetDirection(SOURCE_PAD_STICK, event.jaxis.value < -STICK_DEAD_ZONE, event.jaxis.value > STICK_DEAD_ZONE,
                         changes);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        for (int a = 0; a < CONTROL_COUNT; ++a)
            if (padButton[a] == event.jbutton.button)
                Set(static_cast<ControlAction>(a), SOURCE_PAD_BUTTON, event.type == SDL_JOYBUTTONDOWN, &changes);
        break;
    default:
        break;
    }
    return changes;
}

std::string CControls::KeyLabel(ControlAction action) const
{
    if (configured[action] == SDLK_ESCAPE)
        return "ESC";
    std::string label = KeyName(configured[action]);
    for (char& c : label)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return label;
}
