#include "engine/CRecorder.h"

#include "engine/EventText.h"

const char* const CRecorder::HEADER = "quillfen-recording 1";

CRecorder::CRecorder(const std::string& fileName) : file(std::fopen(fileName.c_str(), "wb"))
{
    if (file)
        std::fprintf(file, "%s\n", HEADER);
}

CRecorder::~CRecorder()
{
    if (file)
        std::fclose(file);
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
    std::fprintf(file, "f %d\n", milliseconds);
    std::fflush(file);
}
