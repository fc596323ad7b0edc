#include "engine/CReplay.h"

#include "engine/CRecorder.h"
#include "engine/EventText.h"

#include <fstream>
#include <limits>
#include <sstream>

namespace
{
// The longest frame a recording may claim; longer ones are damage, not play.
constexpr long MAX_FRAME_MS = 60 * 60 * 1000;
} // namespace

bool CReplay::Load(const std::string& fileName, std::string& error)
{
    frames.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
    {
        error = "cannot open the recording " + fileName;
        return false;
    }
    std::string line;
    if (!std::getline(in, line) || line != CRecorder::HEADER)
    {
        error = fileName + " is not a recording";
        return false;
    }
    Frame pending;
    long lineNumber = 1;
    while (std::getline(in, line))
    {
        ++lineNumber;
        std::istringstream fields(line);
        std::string word, rest;
        fields >> word;
        bool good = false;
        if (word == "e")
        {
            std::getline(fields, rest);
            SDL_Event event;
            good = EventFromText(rest, event);
            if (good)
                pending.events.push_back(event);
        }
        else if (word == "f")
        {
            long ms;
            good = (fields >> ms) && ms >= 0 && ms <= MAX_FRAME_MS && !(fields >> rest);
            if (good)
            {
                pending.duration = static_cast<int>(ms);
                frames.push_back(pending);
                pending = Frame{};
            }
        }
        else if (word == "seed")
        {
            unsigned long value;
            good = (fields >> value) && value <= std::numeric_limits<unsigned int>::max() && !(fields >> rest);
            if (good)
            {
                seed = static_cast<unsigned int>(value);
                hasSeed = true;
            }
        }
        else if (word == "loaded")
        {
            long frame;
            good = (fields >> frame) && frame >= 0 && !(fields >> rest);
            if (good)
                loadedFrame = frame;
        }
        if (!good)
        {
            error = fileName + " is damaged at line " + std::to_string(lineNumber);
            return false;
        }
    }
    return true;
}
