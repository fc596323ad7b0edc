#include "engine/CRecordedPlay.h"

#include "engine/CFPSControl.h"
#include "engine/CRecorder.h"
#include "engine/CReplay.h"
#include "log/Log.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

namespace
{
// A paced replay waits at most this long for one frame (ms), so that a recording
// claiming an hour-long frame cannot freeze the window.
constexpr Uint32 MAX_PACED_WAIT_MS = 1000;

// The engine's variable `name`, or else the game's; null when neither is set.
const char* Variable(const std::string& name, const CRecordedPlay::GameNames& names)
{
    if (const char* value = std::getenv(("VELMORA_" + name).c_str()); value && *value)
        return value;
    if (names.variablePrefix.empty())
        return nullptr;
    const char* value = std::getenv((names.variablePrefix + name).c_str());
    return value && *value ? value : nullptr;
}
} // namespace

CRecordedPlay::~CRecordedPlay()
{
    if (recorder && !recorder->Close())
        ReportRecordingLost(typeid(*this));
    delete recorder;
    delete replay;
}

void CRecordedPlay::ReportRecordingLost(const std::type_info& owner)
{
    LogWrite(LOG_ERROR, "Writing the recording " + recordName + " failed (" + recorder->Error() +
                            "); the rest of the run is not recorded.", LogClassName(owner));
}

void CRecordedPlay::Start(const std::type_info& owner, const GameNames& names)
{
    if (const char* name = Variable("REPLAY", names))
    {
        replay = new CReplay();
        std::string error;
        if (!replay->Load(name, error))
        {
            if (replay->FrameCount() > 0)
                LogWrite(LOG_ERROR, "Recording " + error + "; replaying what comes before it, then the keyboard.",
                         LogClassName(owner));
            else
            {
                LogWrite(LOG_ERROR, "Recording not used: " + error + ". Playing with the keyboard.",
                         LogClassName(owner));
                delete replay;
                replay = nullptr;
            }
        }
        if (replay)
        {
            replayClock = SDL_GetTicks();
            const char* pace = Variable("REPLAY_PACE", names);
            replayPaced = pace && std::string(pace) == "1";
        }
    }
    if (const char* name = Variable("RECORD", names); name && !replay)
    {
        recorder = new CRecorder(name, names.recordingKind.empty() ? std::string(CRecorder::HEADER)
                                                                 : names.recordingKind + "-recording 1");
        recordName = name;
        if (!recorder->IsOpen())
        {
            LogWrite(LOG_ERROR, "Cannot write the recording " + recordName + " (" + recorder->Error() +
                                    "). Playing without recording.", LogClassName(owner));
            delete recorder;
            recorder = nullptr;
        }
    }
}

Uint32 CRecordedPlay::Ticks() const
{
    return replay ? replayClock : SDL_GetTicks() + clockOffset;
}

void CRecordedPlay::Delay(Uint32 milliseconds) const
{
    // A replay runs as fast as the machine can go.
    if (!replay)
        SDL_Delay(milliseconds);
}

unsigned int CRecordedPlay::RandomSeed()
{
    if (replay && replay->hasSeed)
        return replay->seed;
    const unsigned int seed = static_cast<unsigned int>(std::time(nullptr));
    if (recorder)
        recorder->WriteSeed(seed);
    return seed;
}

long CRecordedPlay::LoadedFrame(std::size_t load) const
{
    return replay && load < replay->loadedFrames.size() ? replay->loadedFrames[load] : -1;
}

void CRecordedPlay::NoteLoadingComplete(long loadedFrame)
{
    if (recorder)
        recorder->WriteLoaded(loadedFrame);
}

bool CRecordedPlay::IsKeyHeld(SDLKey key)
{
    if (replay)
        return replay->KeyHeld(frame, key, nextKeyAnswer);
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    const bool held = key >= 0 && key < count && keys[key] != 0;
    if (recorder)
        recorder->WriteKeyHeld(key, held);
    return held;
}

void CRecordedPlay::BeginFrame(long newFrame, const std::type_info& owner)
{
    frame = newFrame;
    nextEvent = 0;
    realFrameStart = SDL_GetTicks();
    if (replay && !replay->HasFrame(frame))
        StopReplay(owner);
}

void CRecordedPlay::StopReplay(const std::type_info& owner)
{
    LogWrite(LOG_ERROR, "The recording ended before the game did; going on with the keyboard.", LogClassName(owner));
    // The clock goes on from the replayed time, so the next frame is not a jump.
    clockOffset = replayClock - SDL_GetTicks();
    delete replay;
    replay = nullptr;
}

bool CRecordedPlay::PollEvent(SDL_Event& event)
{
    if (!replay)
    {
        if (!SDL_PollEvent(&event))
            return false;
        if (recorder)
            recorder->WriteEvent(event);
        return true;
    }
    // The window's own events are not played; closing it still quits.
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT)
            return true;
    if (nextEvent >= replay->EventCount(frame))
        return false;
    event = replay->Event(frame, nextEvent++);
    return true;
}

void CRecordedPlay::EndFrame(CFPSControl& fpsControl, const std::type_info& owner)
{
    if (replay)
    {
        const Uint32 duration = static_cast<Uint32>(replay->Duration(frame));
        replayClock += duration;
        // A paced replay can be watched (and photographed) as it was played.
        const Uint32 spent = SDL_GetTicks() - realFrameStart;
        if (replayPaced && spent < duration)
            SDL_Delay(std::min(duration - spent, MAX_PACED_WAIT_MS));
    }
    fpsControl.FrameEnd();
    if (recorder)
    {
        recorder->EndFrame(fpsControl.frameTime);
        if (!recorder->IsOpen())
        {
            ReportRecordingLost(owner);
            delete recorder;
            recorder = nullptr;
        }
    }
    // Answers asked for before the next frame begins belong to it.
    ++frame;
    nextKeyAnswer = 0;
}
