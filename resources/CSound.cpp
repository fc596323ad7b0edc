#include "resources/CSound.h"

#include "config/Paths.h"
#include "log/Log.h"
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "resources/WaveFormat.h"

namespace {

const char* const CLASS_NAME = "class CSound";
// Far above a 60-second 16-bit stereo file at 44100 Hz.
constexpr std::size_t MAX_SOUND_FILE_BYTES = 16u * 1024u * 1024u;

// Decodes the WAV file of the stored name `name`, or gives null and the reason.
// Read here and decoded from memory, as images are: a pipe or device is refused
// at once, and a header that lies about its chunks before SDL sees it.
Mix_Chunk* ReadSound(const std::string& name, std::string& reason) {
    std::string bytes;
    if (!PlatformReadFile(NativePath(MakeAbsolutePath(name)), bytes, reason, MAX_SOUND_FILE_BYTES)) {
        return nullptr;
    }
    reason = WaveRefusal(bytes);
    if (!reason.empty()) {
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    Mix_Chunk* chunk = source != nullptr ? Mix_LoadWAV_RW(source, 1) : nullptr;
    if (chunk == nullptr) {
        reason = Mix_GetError();
    }
    return chunk;
}

}  // namespace

CSound::CSound(std::string requestedName, int volume) : valid(false), fileName(requestedName), chunk(nullptr) {
    std::string reason;
    chunk = ReadSound(requestedName, reason);
    if (chunk == nullptr) {
        LogWrite(LOG_ERROR, "Failed to load sound from " + requestedName + ", SDL reports: \n" + reason, CLASS_NAME);
        return;
    }
    // Set before the chunk is ever played, so the mixer's thread only reads it.
    Mix_VolumeChunk(chunk, volume);
    valid = true;
}

CSound::~CSound() {
    if (chunk != nullptr) {
        Mix_FreeChunk(chunk);
    }
}
