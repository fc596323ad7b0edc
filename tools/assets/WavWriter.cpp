#include "tools/assets/WavWriter.h"

#include <cstdint>
#include <fstream>

namespace {

void Put(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

} // namespace

bool WriteWav(const std::string& path, const std::vector<short>& samples, int rate)
{
    if (samples.empty() || rate <= 0) return false;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    Put(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2);             // PCM
    Put(out, 1, 2);             // mono
    Put(out, static_cast<std::uint32_t>(rate), 4);
    Put(out, static_cast<std::uint32_t>(rate) * 2, 4);  // bytes per second
    Put(out, 2, 2);             // bytes per sample frame
    Put(out, 16, 2);            // bits per sample
    out += "data";
    Put(out, dataBytes, 4);
    for (short s : samples) Put(out, static_cast<std::uint16_t>(s), 2);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}
