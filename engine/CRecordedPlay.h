#pragma once

#include <SDL/SDL.h>

#include <cstddef>
#include <string>
#include <typeinfo>

class CFPSControl;
class CRecorder;
class CReplay;

// Recorded play: everything in which two runs of the game could differ passes
// through here, so that a run can be written to a file (VELMORA_RECORD) and
// played again from it frame for frame (VELMORA_REPLAY; VELMORA_REPLAY_PACE=1
// keeps the recorded speed): the clock, the random
// seed, the events, the answers to whether a key is held and the frames at which
// loading and each reload completed. Without either variable it hands SDL's own answers through.
// Main thread only.
class CRecordedPlay
{
public:
    // What a game adds to the engine's names: its own variables `variablePrefix`
    // RECORD, REPLAY and REPLAY_PACE, read where the VELMORA_ one is not set, and
    // the kind its recordings name in their first line ("<kind>-recording 1").
    // A replay takes any kind's recording.
    struct GameNames
    {
        std::string variablePrefix;  // e.g. "MYGAME_"; empty for the engine's names only
        std::string recordingKind;   // e.g. "mygame"; empty for the engine's "velmora"
    };

    CRecordedPlay() = default;
    ~CRecordedPlay();
    CRecordedPlay(const CRecordedPlay&) = delete;
    CRecordedPlay& operator=(const CRecordedPlay&) = delete;

    // Reads the environment (the engine's names, then the game's) and opens the
    // recording to write or to play. Log lines name `owner`'s class.
    void Start(const std::type_info& owner, const GameNames& names = GameNames());

    bool IsReplaying() const { return replay != nullptr; }
    // The clock the frame-rate control reads (ms) and its wait, which a replay skips.
    Uint32 Ticks() const;
    void Delay(Uint32 milliseconds) const;

    // The time, or the recorded seed when replaying; recorded when recording.
    unsigned int RandomSeed();
    // The frame at which the recorded run saw its loading number `load` complete
    // (0 the first loading, 1 the first reload, ...), or -1.
    long LoadedFrame(std::size_t load) const;
    void NoteLoadingComplete(long frame);
    // SDL's key state, or the recorded answer when replaying; recorded when recording.
    bool IsKeyHeld(SDLKey key);

    // Before the events of `frame`: a replay without that frame stops here, and the
    // game goes on with the keyboard. Log lines name `owner`'s class.
    void BeginFrame(long frame, const std::type_info& owner);
    // The frame's next event, as SDL_PollEvent: SDL's queue in live play (each one
    // recorded); when replaying, only the window's close from the queue, then the
    // recorded events.
    bool PollEvent(SDL_Event& event);
    // After the buffer swap: a replay's clock moves on by the recorded duration
    // before `fpsControl` measures the frame; a recording keeps what it measured.
    // A recording that cannot be written (a full disk) is reported once and
    // stopped; the game goes on. Log lines name `owner`'s class.
    void EndFrame(CFPSControl& fpsControl, const std::type_info& owner);

private:
    void StopReplay(const std::type_info& owner);
    void ReportRecordingLost(const std::type_info& owner);

    CRecorder* recorder = nullptr;  // owned; set while recording
    CReplay* replay = nullptr;      // owned; set while replaying
    std::string recordName;         // the recording's file name, for the log
    long frame = 0;                 // the frame being played
    Uint32 realFrameStart = 0;      // ms, SDL's clock when the frame began
    size_t nextEvent = 0;           // index among the replayed frame's events
    size_t nextKeyAnswer = 0;       // index among the replayed frame's answers
    Uint32 replayClock = 0;         // ms; the clock while replaying
    bool replayPaced = false;       // VELMORA_REPLAY_PACE=1: a replay frame lasts its recorded time
    Uint32 clockOffset = 0;         // ms added to SDL's clock after a replay ran out
};
