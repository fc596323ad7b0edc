#pragma once

#include <SDL/SDL.h>

#include <cstdio>
#include <string>

// Writes a run to a file as it happens, so that CReplay can play it again
// frame for frame: the random seed, every dispatched event, every answer to
// whether a key is held, every frame's duration and the frame at which loading
// completed. Each frame is flushed,
// so a run that ends abruptly still leaves everything up to its last frame.
class CRecorder
{
public:
    explicit CRecorder(const std::string& fileName);
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    bool IsOpen() const { return file != nullptr; }
    void WriteSeed(unsigned int seed);
    void WriteEvent(const SDL_Event& event);
    void WriteLoaded(long frame);
    void WriteKeyHeld(SDLKey key, bool held);
    // Closes the frame's record with its duration (ms, waiting included).
    void EndFrame(int milliseconds);

    static const char* const HEADER;  // first line of every recording

private:
    std::FILE* file = nullptr;
};
