#pragma once

#include <SDL/SDL.h>

#include <string>
#include <string_view>

// One SDL event as a line of text for recordings: the type number, then the
// fields its handler reads. Only the kinds that reach a handler are written:
// window, keyboard and mouse events, and a joystick's axes, hats and buttons
// ("which axis value", "which hat value", "which button state").
bool EventIsRecorded(const SDL_Event& event);
std::string EventToText(const SDL_Event& event);
// False when the text is not an event of a recorded kind with all its fields.
bool EventFromText(std::string_view text, SDL_Event& event);

// Recording lines are words separated by blanks. Takes the next word off `text`
// ("" when none is left).
std::string_view EventTextNextWord(std::string_view& text);
// Takes the next word off `text` as a decimal integer within [low, high]; false
// for anything else (a fraction, "nan", a number too large for any integer).
bool EventTextReadInt(std::string_view& text, long long low, long long high, long long& value);
