#pragma once

#include <SDL/SDL.h>

#include <cstdio>
#include <string>
#include <string_view>

// Writes a run to a file as it happens, so that CReplay can play it again
// frame for frame: the random seed, every dispatched event, every answer to
// whether a key is held, every frame's duration and the frame at which loading
// completed. Each frame is flushed,
// so a run that ends abruptly still leaves everything up to its last frame.
// Only a regular file is written (see PlatformOpenOutputFile); once a write fails
// (a full disk) the recorder writes nothing more and says why in Error().
class CRecorder
{
public:
    // `header` is the first line written: HEADER, or a game's own "<kind>-recording 1".
    explicit CRecorder(const std::string& fileName, const std::string& header = HEADER);
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    // Open, and nothing written so far has been lost.
    bool IsOpen() const { return file != nullptr; }
    // Why the file was refused or stopped being written; empty while all is well.
    const std::string& Error() const { return error; }
    // Flushes and closes the file; false (with Error()) when anything was lost.
    bool Close();
    void WriteSeed(unsigned int seed);
    void WriteEvent(const SDL_Event& event);
    void WriteLoaded(long frame);
    void WriteKeyHeld(SDLKey key, bool held);
    // Closes the frame's record with its duration (ms, waiting included).
    void EndFrame(int milliseconds);

    static const char* const HEADER;  // "velmora-recording 1", the engine's first line
    // Whether `line` opens a recording: "<kind>-recording 1", the kind being the
    // engine's or a game's name in lower-case letters, digits and '-'.
    static bool IsHeader(std::string_view line);

private:
    void Fail();

    std::FILE* file = nullptr;
    std::string error;
};
