// Draws every image and synthesises every sound of the game into a data folder,
// and draws the desktop icons:
//   quillfen_assets [data folder [icon folder]]
// The output depends on nothing but this code, so running it again gives
// byte-identical files.

#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/assets/BlockArt.h"
#include "tools/assets/IcoWriter.h"
#include "tools/assets/LogoArt.h"
#include "tools/assets/SoundArt.h"
#include "tools/assets/Track.h"
#include "tools/assets/WavWriter.h"
#include "tools/PngWriter.h"
#include "tools/assets/TovikArt.h"

#ifndef QUILLFEN_DATA_DIR
#define QUILLFEN_DATA_DIR "data"
#endif
#ifndef QUILLFEN_ICON_DIR
#define QUILLFEN_ICON_DIR "dist/icons"
#endif

namespace {

bool Save(const std::filesystem::path& folder, const char* name, const Canvas& canvas, int channels)
{
    const std::string path = (folder / name).string();
    if (!WritePng(path, canvas.ToPng(channels))) {
        std::fprintf(stderr, "quillfen_assets: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

bool SaveSound(const std::filesystem::path& folder, const char* name, const std::vector<short>& samples)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path = (folder / name).string();
    if (error || !WriteWav(path, samples, SOUND_RATE)) {
        std::fprintf(stderr, "quillfen_assets: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

// Tovik's face at each size of the desktop's hicolor theme, drawn anew at
// every size rather than scaled from one picture, so small icons stay sharp.
bool SaveDesktopIcons(const std::filesystem::path& folder)
{
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string edge = std::to_string(size);
        const std::filesystem::path apps = folder / "hicolor" / (edge + "x" + edge) / "apps";
        std::error_code error;
        std::filesystem::create_directories(apps, error);
        ok = !error && Save(apps, "quillfen.png", DrawTovikIcon(size), 4) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::printf("Usage: quillfen_assets [DATA_FOLDER [ICON_FOLDER]]\n"
                    "For whoever changes the game's art: draws every image of the game into\n"
                    "DATA_FOLDER/gfx (default: the repository's data folder), synthesises its\n"
                    "sounds into DATA_FOLDER/sfx and its music into DATA_FOLDER/music (WAV,\n"
                    "mono, 22050 Hz, 16-bit), and draws the desktop\n"
                    "icons into ICON_FOLDER/hicolor (default: the repository's dist/icons),\n"
                    "printing the name of each file it writes. The same code gives the same files.\n");
        return 0;
    }
    const std::filesystem::path data = argc > 1 ? argv[1] : QUILLFEN_DATA_DIR;
    const std::filesystem::path icons = argc > 2 ? argv[2] : QUILLFEN_ICON_DIR;
    const std::filesystem::path gfx = data / "gfx";
    std::error_code error;
    std::filesystem::create_directories(gfx, error);
    if (error) {
        std::fprintf(stderr, "quillfen_assets: cannot create %s: %s\n", gfx.string().c_str(), error.message().c_str());
        return 1;
    }

    // Opaque textures are stored without alpha; the rest keep it.
    bool ok = Save(gfx, "tovik.png", DrawTovikSheet(), 4);
    ok = Save(gfx, "logo.png", DrawLogo(), 4) && ok;
    ok = Save(gfx, "ground.png", DrawGround(), 3) && ok;
    ok = Save(gfx, "stone.png", DrawStone(), 3) && ok;
    ok = Save(gfx, "platform.png", DrawPlatform(), 3) && ok;
    ok = Save(gfx, "checkpoint.png", DrawCheckpoint(), 4) && ok;
    ok = Save(gfx, "goal.png", DrawGoal(), 4) && ok;
    ok = Save(gfx, "evil.png", DrawTrapChest(), 4) && ok;
    ok = Save(gfx, "sign.png", DrawSign(), 4) && ok;
    ok = Save(gfx, "sky.png", DrawSky(), 3) && ok;

    const std::string icon = (gfx / "icon.ico").string();
    if (WriteIcoFromRgba(icon, DrawTovikIcon(32).ToPng(4))) {
        std::printf("%s\n", icon.c_str());
    } else {
        std::fprintf(stderr, "quillfen_assets: cannot write %s\n", icon.c_str());
        ok = false;
    }
    const std::filesystem::path sfx = data / "sfx";
    ok = SaveSound(sfx, "jump.wav", MakeJumpSound()) && ok;
    ok = SaveSound(sfx, "land.wav", MakeLandSound()) && ok;
    ok = SaveSound(sfx, "checkpoint.wav", MakeCheckpointSound()) && ok;
    ok = SaveSound(sfx, "respawn.wav", MakeRespawnSound()) && ok;
    ok = SaveSound(sfx, "platform.wav", MakePlatformSound()) && ok;
    ok = SaveSound(sfx, "trap.wav", MakeTrapSound()) && ok;
    ok = SaveSound(sfx, "glitch.wav", MakeGlitchSound()) && ok;
    ok = SaveSound(sfx, "goal.wav", MakeGoalSound()) && ok;
    ok = SaveSound(data / "music", "calm.wav", MakeMusicLoop()) && ok;

    if (!SaveDesktopIcons(icons)) {
        std::fprintf(stderr, "quillfen_assets: cannot write the icons into %s\n", icons.string().c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
