#pragma once

#include <SDL/SDL.h>

#include <string>

// One SDL event as a line of text for recordings: the type number, then the
// fields its handler reads. Only the kinds that reach a handler are written.
bool EventIsRecorded(const SDL_Event& event);
std::string EventToText(const SDL_Event& event);
// False when the text is not an event of a recorded kind with all its fields.
bool EventFromText(const std::string& text, SDL_Event& event);
