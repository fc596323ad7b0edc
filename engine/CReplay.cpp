#include "engine/CReplay.h"

#include "engine/CRecorder.h"
#include "engine/EventText.h"
#include "platform/FileRead.h"

#include <limits>
#include <string_view>

namespace
{
// The longest frame a recording may claim; longer ones are damage, not play.
constexpr long MAX_FRAME_MS = 60 * 60 * 1000;
// Far beyond a run played by hand (nine hours of frames, an event and a key
// question in every one), and a bound on what a hostile file can make us hold.
constexpr size_t MAX_FRAMES = 2 * 1000 * 1000;
constexpr size_t MAX_EVENTS = 2 * 1000 * 1000;
constexpr size_t MAX_KEY_ANSWERS = 2 * 1000 * 1000;

// Takes the next line off `text`, without its line end.
std::string_view NextLine(std::string_view& text)
{
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}
} // namespace

bool CReplay::Load(const std::string& fileName, std::string& error)
{
    frames.clear();
    events.clear();
    keys.clear();
    seed = 0;
    hasSeed = false;
    loadedFrames.clear();
    std::string content, reason;
    // A pipe or a device is refused like a missing file, never waited on.
    if (!PlatformReadFile(fileName, content, reason))
    {
        error = "cannot open the recording " + fileName;
        return false;
    }
    std::string_view text = content;
    if (!CRecorder::IsHeader(NextLine(text)))
    {
        error = fileName + " is not a recording";
        return false;
    }
    bool good = true;
    for (long lineNumber = 2; good && !text.empty(); ++lineNumber)
    {
        good = ReadLine(NextLine(text));
        if (!good)
            error = fileName + " is damaged at line " + std::to_string(lineNumber);
    }
    // Events and answers of a frame that never ended are dropped.
    events.resize(frames.empty() ? 0 : frames.back().eventsEnd);
    keys.resize(frames.empty() ? 0 : frames.back().keysEnd);
    return good;
}

size_t CReplay::EventCount(long frame) const
{
    if (!HasFrame(frame))
        return 0;
    const size_t index = static_cast<size_t>(frame);
    return frames[index].eventsEnd - (index == 0 ? 0 : frames[index - 1].eventsEnd);
}

const SDL_Event& CReplay::Event(long frame, size_t index) const
{
    const size_t first = frame == 0 ? 0 : frames[static_cast<size_t>(frame) - 1].eventsEnd;
    return events[first + index];
}

bool CReplay::KeyHeld(long frame, SDLKey key, size_t& cursor) const
{
    if (!HasFrame(frame))
        return false;
    const size_t index = static_cast<size_t>(frame);
    const size_t first = index == 0 ? 0 : frames[index - 1].keysEnd;
    for (size_t i = first + cursor; i < frames[index].keysEnd; ++i)
    {
        if (keys[i].key == key)
        {
            cursor = i - first + 1;
            return keys[i].held;
        }
    }
    return false;
}

bool CReplay::ReadLine(std::string_view line)
{
    const std::string_view word = EventTextNextWord(line);
    long long value = 0;
    if (word == "e")
    {
        SDL_Event event;
        if (events.size() >= MAX_EVENTS || !EventFromText(line, event))
            return false;
        events.push_back(event);
        return true;
    }
    if (word == "k")
    {
        long long held = 0;
        if (keys.size() >= MAX_KEY_ANSWERS || !EventTextReadInt(line, 0, SDLK_LAST - 1, value) ||
            !EventTextReadInt(line, 0, 1, held) || !EventTextNextWord(line).empty())
            return false;
        keys.push_back(KeyAnswer{static_cast<SDLKey>(value), held != 0});
        return true;
    }
    if (word == "f")
    {
        if (frames.size() >= MAX_FRAMES || !EventTextReadInt(line, 0, MAX_FRAME_MS, value) ||
            !EventTextNextWord(line).empty())
            return false;
        frames.push_back(Frame{static_cast<Uint32>(events.size()), static_cast<Uint32>(keys.size()),
                               static_cast<int>(value)});
        return true;
    }
    if (word == "seed")
    {
        if (!EventTextReadInt(line, 0, std::numeric_limits<unsigned int>::max(), value) ||
            !EventTextNextWord(line).empty())
            return false;
        seed = static_cast<unsigned int>(value);
        hasSeed = true;
        return true;
    }
    if (word == "loaded")
    {
        if (!EventTextReadInt(line, 0, std::numeric_limits<long>::max(), value) || !EventTextNextWord(line).empty())
            return false;
        // Loadings complete in the order they start, never two in one frame.
        if (!loadedFrames.empty() && value <= loadedFrames.back())
            return false;
        loadedFrames.push_back(value);
        return true;
    }
    return false;
}
