// Which WAV files the sound layer decodes. The game with hostile sound files, without
// a device and with sound off: tests/e2e/test_hostile_sounds.sh and test_sound.sh.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "resources/WaveFormat.h"

namespace {

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
    return out;
}

// A WAV file: its format fields and `samples` bytes of a 440 Hz tone, 16-bit.
std::string Wave(uint32_t samples, int channels = 1, uint32_t rate = 22050, int bits = 16, int format = 1) {
    std::string data;
    for (uint32_t i = 0; i < samples; ++i) data += Le(static_cast<uint16_t>(8000 * std::sin(i * 0.125)), 2);
    const std::string fmt = "fmt " + Le(16, 4) + Le(format, 2) + Le(channels, 2) + Le(rate, 4) +
                            Le(rate * channels * bits / 8, 4) + Le(channels * bits / 8, 2) + Le(bits, 2);
    return "RIFF" + Le(static_cast<uint32_t>(4 + fmt.size() + 8 + data.size()), 4) + "WAVE" + fmt + "data" +
           Le(static_cast<uint32_t>(data.size()), 4) + data;
}

TEST(WaveFormatTest, RefusesWhatIsNotSmallPcmOrLiesAboutItsChunks) {
    const std::string tone = Wave(2000);
    std::string lying = tone;
    lying.replace(lying.size() - 4000 - 4, 4, Le(0xFFFFFFF0u, 4));  // data length far past the end
    const std::pair<std::string, std::string> cases[] = {
        {tone, ""},
        {Wave(2000, 2, 44100, 8), ""},
        {tone.substr(0, tone.size() - 10), "chunk 'data' runs past the end of the file"},
        {lying, "chunk 'data' runs past the end of the file"},
        {tone.substr(0, 12), "no format chunk"},
        {tone.substr(0, 36), "no data chunk"},
        {"OggS" + tone.substr(4), "not a WAV file"},
        {std::string(50, '\xA7'), "not a WAV file"},
        {Wave(200, 1, 22050, 16, 3), "not PCM"},
        {Wave(200, 6), "not mono or stereo"},
        {Wave(200, 1, 22050, 24), "not 8- or 16-bit samples"},
        {Wave(200, 1, 1000), "sample rate out of range"},
        {Wave(61 * 4000, 1, 4000), "longer than 60 seconds"},
    };
    for (const auto& c : cases) EXPECT_EQ(WaveRefusal(c.first), c.second) << c.second;
}

}  // namespace
