#include "resources/WaveFormat.h"

#include <cstddef>
#include <cstdint>

namespace {

std::uint32_t Le(const std::string& data, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(data[at + i]);
    return value;
}

}  // namespace

std::string WaveRefusal(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return "not a WAV file";
    bool haveFormat = false;
    std::uint32_t channels = 0, rate = 0, bits = 0, dataBytes = 0;
    bool haveData = false;
    // Chunks follow one another, each padded to an even length.
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::string id = bytes.substr(at, 4);
        const std::uint64_t length = Le(bytes, at + 4, 4);
        if (length > bytes.size() - at - 8) return "chunk '" + id + "' runs past the end of the file";
        if (id == "fmt ") {
            if (length < 16) return "format chunk too short";
            if (Le(bytes, at + 8, 2) != 1) return "not PCM";
            channels = Le(bytes, at + 10, 2);
            rate = Le(bytes, at + 12, 4);
            bits = Le(bytes, at + 22, 2);
            haveFormat = true;
        } else if (id == "data" && !haveData) {
            dataBytes = static_cast<std::uint32_t>(length);
            haveData = true;
        }
        at += 8 + static_cast<std::size_t>(length) + (length & 1);
        if (at > bytes.size()) break;
    }
    if (!haveFormat) return "no format chunk";
    if (!haveData) return "no data chunk";
    if (channels < 1 || channels > 2) return "not mono or stereo";
    if (bits != 8 && bits != 16) return "not 8- or 16-bit samples";
    if (rate < 4000 || rate > 192000) return "sample rate out of range";
    const double seconds = static_cast<double>(dataBytes) / (channels * (bits / 8) * static_cast<double>(rate));
    if (seconds > MAX_SOUND_SECONDS) return "longer than 60 seconds";
    return "";
}
