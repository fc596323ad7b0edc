// The sound layer: which WAV files are decoded, the cache, and a game that stays
// silent but unharmed without a device or with hostile files. Mixed samples are
// read back through SDL's disk audio driver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "log/Log.h"
#include "resources/CSoundManager.h"
#include "resources/WaveFormat.h"
#include "support/TempDir.h"

namespace {

using Lines = std::vector<std::string>;

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

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// A fresh working folder with the log file on, and SDL's audio driver chosen by the test.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        LogEnable();
        LogEnableFile();
        SetEnv("SDL_DISKAUDIOFILE", dir.File("mixed.raw").c_str());
    }
    void TearDown() override { LogResetForTesting(); }
    // The log's lines of the sound classes, as "LEVEL: message".
    Lines SoundLines() const {
        Lines lines;
        std::istringstream log(dir.Read("logfile.txt"));
        for (std::string line; std::getline(log, line);)
            for (const std::string marker : {" in class CSound: ", " in class CSoundManager: "})
                if (line.find(marker) != std::string::npos)
                    lines.push_back(line.substr(0, line.find(marker)) + ": " + line.substr(line.find(marker) + marker.size()));
        return lines;
    }
    bool MixedSomething() const { return dir.Read("mixed.raw").find_first_not_of('\0') != std::string::npos; }

    CTempDir dir;
    CChangeDirectory inside{dir.Path()};
};

// Pipes and sparse files are POSIX's.
#ifndef _WIN32
TEST_F(SoundTest, PlaysCachedSoundsAndReportsEachBrokenFileOnceWithItsReason) {
    SetEnv("SDL_AUDIODRIVER", "disk");
    const std::string tone = Wave(4000);
    dir.Write("sfx/tone.wav", tone);
    dir.Write("sfx/cut.wav", tone.substr(0, 3000));
    dir.Write("sfx/noise.wav", std::string(3000, '\x5A'));
    ASSERT_EQ(mkfifo(dir.File("sfx/pipe.wav").c_str(), 0600), 0);
    ASSERT_EQ(truncate(dir.Write("sfx/huge.wav", "").c_str(), 100 << 20), 0);
    const std::pair<const char*, const char*> broken[] = {
        {"sfx\\cut.wav", "chunk 'data' runs past the end of the file"}, {"sfx\\noise.wav", "not a WAV file"},
        {"sfx\\pipe.wav", "not a regular file"}, {"sfx\\huge.wav", "larger than 16 MiB"}, {"sfx\\none.wav", "no such file"}};
    {
        CSoundManager sounds(SoundSettings{80, 60, true});
        ASSERT_TRUE(sounds.IsOpen());
        CSound* played = sounds.GetSound("SFX\\Tone.WAV");
        EXPECT_TRUE(played->valid);
        EXPECT_EQ(sounds.GetSound("sfx\\tone.wav"), played);
        for (int round = 0; round < 2; ++round)
            for (const auto& b : broken) {
                sounds.Play(b.first);
                EXPECT_FALSE(sounds.GetSound(b.first)->valid) << b.first;
            }
        EXPECT_EQ(sounds.sounds.size(), 6u);
        sounds.SetMusic("sfx\\tone.wav", 0.5);
        sounds.Play("sfx\\tone.wav");
        // The driver writes what it mixed every few hundred milliseconds.
        for (int wait = 0; wait < 600 && !MixedSomething(); ++wait) usleep(100 * 1000);
        EXPECT_TRUE(MixedSomething());
    }
    EXPECT_EQ(SoundLines().size(), 5u);  // each broken file once
    for (const auto& b : broken)
        EXPECT_NE(dir.Read("logfile.txt").find(std::string("Failed to load sound from ") + b.first + ", SDL reports: \n" + b.second + "\n"),
                  std::string::npos) << b.first;
}

#endif

TEST_F(SoundTest, SwitchedOffOrWithoutADeviceEveryCallDoesNothing) {
    SetEnv("SDL_AUDIODRIVER", "disk");
    {
        CSoundManager off(SoundSettings{80, 60, false});
        EXPECT_FALSE(off.IsOpen());
        off.Play("sfx\\none.wav");
        off.SetMusic("music\\none.wav", 1.0);
        EXPECT_TRUE(off.sounds.empty());
    }
    EXPECT_TRUE(SoundLines().empty());
    EXPECT_FALSE(std::ifstream(dir.File("mixed.raw")).good());

    SetEnv("SDL_AUDIODRIVER", "no-such-driver");
    {
        CSoundManager none(SoundSettings{80, 60, true});
        EXPECT_FALSE(none.IsOpen());
        none.Play("sfx\\none.wav");
        none.SetMusic("music\\none.wav", 1.0);
    }
    const Lines lines = SoundLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("WARNING: No sound: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("; the game plays silently."), std::string::npos) << lines[0];
}

}  // namespace
