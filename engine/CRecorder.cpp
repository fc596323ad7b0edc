#include "engine/CRecorder.h"

#include "engine/EventText.h"
#include "platform/FileWrite.h"

#include <cerrno>
#include <cstring>

const char* const CRecorder::HEADER = "velmora-recording 1";

bool CRecorder::IsHeader(std::string_view line)
{
    constexpr std::string_view suffix = "-recording 1";
    if (line.size() <= suffix.size() || line.substr(line.size() - suffix.size()) != suffix)
        return false;
    for (const char c : line.substr(0, line.size() - suffix.size()))
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return false;
    return true;
}

CRecorder::CRecorder(const std::string& fileName, const std::string& header)
{
    file = PlatformOpenOutputFile(fileName, error);
    if (file)
        std::fprintf(file, "%s\n", header.c_str());
}

CRecorder::~CRecorder()
{
    Close();
}

bool CRecorder::Close()
{
    if (!file)
        return error.empty();
    const bool lost = std::ferror(file) != 0;
    const bool closed = std::fclose(file) == 0 && !lost;
    file = nullptr;
    if (!closed)
        error = std::strerror(errno);
    return closed;
}

void CRecorder::Fail()
{
    error = std::strerror(errno);
    std::fclose(file);
    file = nullptr;
}

void CRecorder::WriteSeed(unsigned int seed)
{
    if (file)
        std::fprintf(file, "seed %u\n", seed);
}

void CRecorder::WriteEvent(const SDL_Event& event)
{
    if (file && EventIsRecorded(event))
        std::fprintf(file, "e %s\n", EventToText(event).c_str());
}

void CRecorder::WriteLoaded(long frame)
{
    if (file)
        std::fprintf(file, "loaded %ld\n", frame);
}

void CRecorder::WriteKeyHeld(SDLKey key, bool held)
{
    if (file)
        std::fprintf(file, "k %d %d\n", static_cast<int>(key), held ? 1 : 0);
}

void CRecorder::EndFrame(int milliseconds)
{
    if (!file)
        return;
    // The frame's lines sit in the buffer until here, so this is where a full disk shows.
    if (std::fprintf(file, "f %d\n", milliseconds) < 0 || std::fflush(file) != 0 || std::ferror(file))
        Fail();
}
