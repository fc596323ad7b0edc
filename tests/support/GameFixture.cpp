#include "GameFixture.h"

#include "GLDriver.h"

#include "config/Paths.h"
#include "game/LevelLoader.h"
#include "log/Log.h"
#include "sprites/CSpriteManager.h"
#include "tools/PngWriter.h"

#include <SDL/SDL.h>
#include <SDL/SDL_opengl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

void GameFixture::SetUp() {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run the tests through ./test.sh)";
    KeepGLDriverLoaded();
    // The game's sounds go to SDL's dummy driver: silent on a machine with
    // speakers, and the same log on one without a device.
    if (!std::getenv("SDL_AUDIODRIVER"))
        SDL_putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    folder = std::make_unique<CTempDir>();
    inFolder = std::make_unique<CChangeDirectory>(folder->Path());
    SetStartupDirectoryForTesting(folder->Path() + "/");
    LogResetForTesting();
    LogEnable();
    LogEnableFile();
    Write("config.ini", "[game]\nsizeW=800\nsizeH=600\nfullscreen=0\n");
}

void GameFixture::TearDown() {
    if (game) {
        if (started)
            game->OnShutdown();
        delete game;
        game = nullptr;
    }
    SetLevelBlockLimitForTesting(LEVEL_BLOCK_LIMIT);
    inFolder.reset();
    folder.reset();
}

void GameFixture::Write(const std::string& relativeName, const std::string& text) {
    folder->Write(relativeName, text);
}

void GameFixture::WriteSolidPng(const std::string& relativeName, int width, int height, unsigned char r,
                                unsigned char g, unsigned char b) {
    PngImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < width * height; ++i)
        image.pixels.insert(image.pixels.end(), {r, g, b, 255});
    std::filesystem::create_directories(std::filesystem::path(folder->File(relativeName)).parent_path());
    ASSERT_TRUE(WritePng(folder->File(relativeName), image)) << relativeName;
}

bool GameFixture::InstallFont() {
    const char* source = std::getenv("QUILLFEN_SOURCE_DIR");
    if (!source)
        return false;
    std::filesystem::create_directories(folder->File("fnt"));
    std::error_code error;
    std::filesystem::copy_file(std::string(source) + "/data/fnt/Lucida Console.ttf", folder->File("fnt/Lucida Console.ttf"),
                               error);
    return !error;
}

void GameFixture::StartGame() {
    if (!game)
        game = new CTestGame();
    game->OnInit();
    started = true;
}

bool GameFixture::WaitUntilLoaded(double timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (game->GetState() == Loading) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Frame();
    }
    return true;
}

void GameFixture::StartRunning() {
    StartGame();
    ASSERT_TRUE(WaitUntilLoaded());
    ASSERT_EQ(game->GetState(), Paused);
    KeyDown(SDLK_ESCAPE);
    KeyUp(SDLK_ESCAPE);
    ASSERT_EQ(game->GetState(), Running);
}

void GameFixture::Frame(double seconds) {
    game->OnFrameStart();
    game->OnUpdate(seconds);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    game->OnRender(game->screen);
}

void GameFixture::Update(double seconds, int count) {
    for (int i = 0; i < count; ++i)
        game->OnUpdate(seconds);
}

void GameFixture::Key(Uint8 type, SDLKey key) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    game->DispatchEvent(event);
}

int GameFixture::CountPixelsNear(int x, int y, int w, int h, int r, int g, int b, int tolerance) {
    glFinish();
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, game->height - y - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (std::abs(pixels[i] - r) <= tolerance && std::abs(pixels[i + 1] - g) <= tolerance &&
            std::abs(pixels[i + 2] - b) <= tolerance)
            ++count;
    return count;
}

std::string GameFixture::LogText() {
    return folder->Read("logfile.txt");
}

int GameFixture::Logged(const std::string& text) {
    const std::string log = LogText();
    int count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

std::vector<CSprite*> GameFixture::Scene() {
    return game->spriteManager->activeSprites;
}
