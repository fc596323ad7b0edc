#pragma once

#include <SDL/SDL.h>

#include <string>
#include <vector>

// The game's six actions. The rules know one key for each ('a', 'd', 's',
// space, ESC, BACKSPACE); every other way to press them is mapped onto that key
// here, at the input edge, so that what an action does stays the rules' own.
enum ControlAction : int
{
    CONTROL_LEFT,
    CONTROL_RIGHT,
    CONTROL_BRAKE,
    CONTROL_JUMP,
    CONTROL_PAUSE,
    CONTROL_QUIT,
    CONTROL_COUNT
};

// An action pressed by the first of its inputs, or released by the last.
struct ControlChange
{
    ControlAction action;
    bool pressed;
};

// Which keys and gamepad inputs press which action, and which of them are held.
//
// Keys: config.ini section "keys", entries "left", "right", "brake", "jump",
// "pause" and "quit", each an SDL key name (default a, d, s, space, escape,
// backspace); a name SDL does not know keeps the default with a WARNING. The
// arrow keys always walk (Left, Right), brake (Down) and jump (Up), unless a
// configured key takes them.
//
// Gamepad (SDL's joystick 0): the D-pad (hat 0) or the left stick (axis 0,
// beyond a dead zone) walks; buttons by number, section "gamepad": "jump"
// (default 0), "brake" (1), "pause" (7) and "quit" (6), the A, B, Start and
// Back of an Xbox-style pad under Linux's drivers.
//
// Walking and braking are held: by two inputs at once (a key and the stick)
// they are released when the last of them lets go. Jumping, pausing and
// quitting act on every press of any of their inputs.
class CControls
{
public:
    CControls();

    // Reads the sections "keys" and "gamepad" of `file`; bad values are logged
    // at level WARNING under `className` and keep their default.
    void ReadConfig(const std::string& file, const std::string& className);

    // The key the rules know for the action.
    static SDLKey RuleKey(ControlAction action);

    // What a key or joystick event changes, releases before presses.
    std::vector<ControlChange> Translate(const SDL_Event& event);
    // The keys that press the action, configured key first.
    const std::vector<SDLKey>& KeysOf(ControlAction action) const { return keys[action]; }
    // Whether `key` is held, as the keyboard answers when asked; reports nothing.
    void SetKeyHeld(SDLKey key, bool held);
    bool IsHeld(ControlAction action) const { return heldBy[action] != 0; }

    // The configured key as a screen names it: "ESC", "BACKSPACE", "A", "SPACE".
    std::string KeyLabel(ControlAction action) const;

    // A stick must lean further than this (of 32767) to walk.
    static constexpr int STICK_DEAD_ZONE = 12000;

private:
    // Input sources, one bit each in heldBy.
    enum Source : unsigned
    {
        SOURCE_CONFIGURED_KEY = 1u << 0,
        SOURCE_ARROW_KEY = 1u << 1,
        SOURCE_PAD_HAT = 1u << 2,
        SOURCE_PAD_STICK = 1u << 3,
        SOURCE_PAD_BUTTON = 1u << 4,
    };
    void Bind();
    // Sets or clears a source of an action; appends the change it makes, if any.
    void Set(ControlAction action, unsigned source, bool held, std::vector<ControlChange>* changes);
    // Left and right from one pad source.
    void SetDirection(unsigned source, bool left, bool right, std::vector<ControlChange>& changes);

    SDLKey configured[CONTROL_COUNT];   // the configured key of each action
    int padButton[CONTROL_COUNT];       // button number, -1 for none
    std::vector<SDLKey> keys[CONTROL_COUNT];
    int keyAction[SDLK_LAST];           // action of each key, -1 for none
    unsigned keySource[SDLK_LAST];      // which source bit the key is
    unsigned heldBy[CONTROL_COUNT] = {};
};
