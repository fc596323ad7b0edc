#include "game/CGameMain.h"

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "engine/CFPSControl.h"
#include "game/CPlayer.h"
#include "game/LevelLoader.h"
#include "game/SoundConfig.h"
#include "log/Log.h"
#include "platform/CFileWatcher.h"
#include "platform/FilePath.h"
#include "platform/CIniReader.h"
#include "platform/Random.h"
#include "platform/CGLSharedContext.h"
#include "resources/CFont.h"
#include "resources/CFontFactory.h"
#include "resources/CScreenText.h"
#include "resources/CSoundManager.h"
#include "resources/CTextureManager.h"
#include "resources/TextRenderer.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"

#include <cstdlib>
#include <system_error>
#include <typeinfo>

namespace
{
const int HUD_FONT_SIZE = 15;
const double LOGO_TURN_SPEED = -90.0;  // degrees per second
const int SCREEN_TEXT_GAP = 50;        // pixels between the logo's lower edge and its text
const char* const LOADING_TEXT = "Loading...";
const int SCREEN_LINE_GAP = 8;         // pixels between the pause screen's two lines
const int WALK_LEFT_ANIMATION = 1;
const int WALK_RIGHT_ANIMATION = 2;
const double PAUSED_MUSIC_LEVEL = 0.35;  // of the music's volume while running
// The level checker's messages after a reload: small, yellow, below the FPS line.
const int MESSAGE_FONT_SIZE = 11;
const double MESSAGE_SECONDS = 6.0;      // how long they stay on screen
const int MESSAGE_LEFT = 10;             // pixels
const int MESSAGE_TOP = 32;              // pixels

// The music's level in each state: none while loading and on the end screen.
double MusicLevel(GameState state)
{
    switch (state)
    {
    case Paused: return PAUSED_MUSIC_LEVEL;
    case Running: return 1.0;
    default: return 0.0;
    }
}

// A value of config.ini's section "sound"; outside 0..highest, as missing, the default.
int SoundSetting(const SoundConfigKey& key)
{
    const int value = IniReadInt(SOUND_SECTION, key.name, key.defaultValue, CONFIG_FILE);
    return value >= 0 && value <= key.highest ? value : key.defaultValue;
}

// A press or release of the rules' own key for the action.
SDL_Event RuleKeyEvent(ControlAction action, bool pressed)
{
    SDL_Event event{};
    event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = pressed ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = CControls::RuleKey(action);
    return event;
}

SDL_Color Colour(Uint8 r, Uint8 g, Uint8 b)
{
    SDL_Color colour{};
    colour.r = r;
    colour.g = g;
    colour.b = b;
    return colour;
}
} // namespace

CGameMain::CGameMain() : CGameMain(ReadWindowSettings())
{
}

CGameMain::CGameMain(const WindowSettings& settings)
    : CGameBase(settings.width, settings.height, settings.fullscreen, true, false, true, {"QUILLFEN_", "quillfen"})
{
}

CGameMain::WindowSettings CGameMain::ReadWindowSettings()
{
    // A refused file reads as missing, so the defaults follow; the log says why.
    std::string reason;
    if (!CIniReader::CheckFile(StartupDirectory() + CONFIG_FILE, reason))
        LogWrite(LOG_ERROR, "File " + CONFIG_FILE + " not read: " + reason + ".", LogClassName(typeid(CGameMain)));
    return WindowSettings{IniReadInt("game", "sizeW", 800, CONFIG_FILE), IniReadInt("game", "sizeH", 600, CONFIG_FILE),
                          IniReadBool("game", "fullscreen", false, CONFIG_FILE)};
}

CGameMain::~CGameMain()
{
    JoinLoader();
}

void CGameMain::OnInit()
{
    PlatformSeedRandom(RandomSeed());
    SetCaption("Quillfen");
    spriteManager = new CSpriteManager();
    SetState(Loading);
    logo = new CImageSpriteEx();
    logo->SetPivot(0.5, 0.5);
    // The first font request creates the font factory, here on the main thread.
    TakeScreenFonts();
    screenText = new CScreenText();
    fpsText = new CScreenText();
    controlsText = new CScreenText();
    controls.ReadConfig(CONFIG_FILE, LogClassName(typeid(*this)));
    const auto label = [this](ControlAction action) { return "[" + controls.KeyLabel(action) + "]"; };
    pausedText = "Paused. Press " + label(CONTROL_PAUSE) + " to continue, " + label(CONTROL_QUIT) + " to quit...";
    controlsLine = "Walk " + label(CONTROL_LEFT) + " " + label(CONTROL_RIGHT) + ", brake " + label(CONTROL_BRAKE) +
                   ", jump " + label(CONTROL_JUMP) + "; the arrow keys and a gamepad too.";
    StartSound();
    if (const char* watch = std::getenv("QUILLFEN_WATCH"); watch && std::string(watch) == "1")
        watcher = new CFileWatcher();

    StartLoader();
}

void CGameMain::TakeScreenFonts()
{
    font = GetFontFactory()->GetFont(DEFAULT_FONT_FILE, HUD_FONT_SIZE);
    messageFont = GetFontFactory()->GetFont(DEFAULT_FONT_FILE, MESSAGE_FONT_SIZE);
    CTexture* logoTexture = spriteManager->textureManager->GetTexture(LOGO_IMAGE, true, false);
    logo->SetTexture(logoTexture);
    logo->SetWidth(logoTexture->width);
    logo->SetHeight(logoTexture->height);
    logo->x = (width / 2) - logo->GetWidth() * 0.5;
    logo->y = (height / 2) - logo->GetHeight() * 0.5;
}

void CGameMain::StartSound()
{
    sounds = new CSoundManager(
        SoundSettings{SoundSetting(SOUND_VOLUME), SoundSetting(SOUND_MUSIC), SoundSetting(SOUND_ENABLED) == 1});
    if (!sounds->IsOpen())
        return;
    for (const std::string* name : {&SOUND_JUMP, &SOUND_LAND, &SOUND_CHECKPOINT, &SOUND_RESPAWN, &SOUND_PLATFORM,
                                    &SOUND_TRAP, &SOUND_GLITCH, &SOUND_GOAL, &MUSIC_LOOP})
        sounds->GetSound(*name);
}

void CGameMain::StartLoader()
{
    const std::string self = LogClassName(typeid(*this));
    // Fresh hand-overs for this loading; no thread holds the old ones.
    levelBuilt.store(false, std::memory_order_relaxed);
    loaderContextReady = std::promise<bool>();
    loaderMayStart = std::promise<void>();
    loaderStart = loaderMayStart.get_future().share();
    loaderReleased = false;
    loaderContext = new CGLSharedContext();
    const CGLSharedContext::Result made = loaderContext->Create();
    if (made == CGLSharedContext::NO_WINDOW_INFO)
    {
        LogWrite(LOG_FATAL, "Error in SDL_GetWMInfo", self);
        std::exit(1);
    }

    if (made == CGLSharedContext::CREATED)
    {
        std::future<bool> contextCurrent = loaderContextReady.get_future();
        try
        {
            loader = std::thread(LoaderThreadProc, this);
        }
        catch (const std::system_error& error)
        {
            loaderContext->error = std::string("no thread: ") + error.what();
            loaderContext->Destroy();
        }
        if (loader.joinable())
        {
            if (contextCurrent.get())
                return;
            // The thread has given up and touches nothing more.
            loader.join();
        }
    }

    LogWrite(LOG_WARNING, "No GL context for the loader thread (" + loaderContext->error +
                              "); loading the level on the main thread.", self);
    delete loaderContext;
    loaderContext = nullptr;
    LoadLevel(this);
}

void CGameMain::ReportLoaderContext(bool current)
{
    loaderContextReady.set_value(current);
}

void CGameMain::LevelBuilt()
{
    levelBuilt.store(true, std::memory_order_release);
    if (std::this_thread::get_id() == mainThread)
        SetState(Paused);
}

void CGameMain::WaitUntilLoaderMayStart()
{
    loaderStart.wait();
}

void CGameMain::ReleaseLoader()
{
    if (loaderReleased)
        return;
    loaderReleased = true;
    loaderMayStart.set_value();
}

bool CGameMain::LevelReadyToShow()
{
    if (IsReplaying())
    {
        const long recordedFrame = ReplayLoadedFrame(loadsShown);
        if (recordedFrame < 0 || FrameIndex() < recordedFrame)
            return false;
        // The recorded run had its level by this frame: so must the replay. A
        // closed window is still heard, so that the wait ends with the game.
        while (!levelBuilt.load(std::memory_order_acquire))
        {
            if (SDL_QuitRequested())
                return false;
            std::this_thread::yield();
        }
        return true;
    }
    return levelBuilt.load(std::memory_order_acquire);
}

void CGameMain::OnFrameStart()
{
    ReleaseLoader();
    if (GetState() == Loading && loader.joinable() && LevelReadyToShow())
        SetState(Paused);
    if (loadsShown < loadsStarted && GetState() != Loading)
    {
        // The loaded scene is this thread's from here: filed now, the first
        // running frame (whose length the next frame steps by) does not pay for it.
        spriteManager->Refresh();
        ++loadsShown;
        NoteLoadingComplete();
        if (reloading)
            FinishReload();
        WatchLevelFiles();
    }
    // A save is asked for as the key would be, so that a recording keeps it and
    // its replay reloads in the same frame (a replay plays no live events).
    if (watcher && (GetState() == Running || GetState() == Paused) && watcher->Changed(SDL_GetTicks()))
    {
        SDL_Event f5{};
        f5.type = SDL_KEYDOWN;
        f5.key.type = SDL_KEYDOWN;
        f5.key.state = SDL_PRESSED;
        f5.key.keysym.sym = SDLK_F5;
        SDL_PushEvent(&f5);
        f5.type = f5.key.type = SDL_KEYUP;
        f5.key.state = SDL_RELEASED;
        SDL_PushEvent(&f5);
    }
}

bool CGameMain::Reload()
{
    const GameState current = GetState();
    if (reloading || (current != Running && current != Paused) || !player)
        return false;
    reloadStartTicks = SDL_GetTicks();
    kept = ReloadKeep{current, player->x, player->y, player->velocityX, player->velocityY,
                      player->keyLeft, player->keyRight, player->keyDown};
    LogWrite(LOG_STATUS, "Reloading the level...", LogClassName(typeid(*this)));
    // The loader of the last loading has handed over; its thread ends now.
    JoinLoader();
    // Nothing outside the scene points into it or into the caches but the screen
    // fonts and the logo, which are taken anew before the loader starts: so every
    // file is read again, and what the level no longer names is freed.
    spriteManager->RemoveAllSprites();
    player = nullptr;
    delete endLabel;
    endLabel = nullptr;
    spriteManager->textureManager->UnloadAll();
    GetFontFactory()->RemoveAll();
    TakeScreenFonts();
    loaderMessages.clear();
    shownMessages.clear();
    reloading = true;
    ++loadsStarted;
    logo->SetRotation(0.0);
    SetState(Loading);
    StartLoader();
    return true;
}

void CGameMain::FinishReload()
{
    JoinLoader();
    reloading = false;
    player->x = kept.x;
    player->y = kept.y;
    player->velocityX = kept.velocityX;
    player->velocityY = kept.velocityY;
    player->keyLeft = kept.keyLeft;
    player->keyRight = kept.keyRight;
    player->keyDown = kept.keyDown;
    if (player->keyLeft != player->keyRight)
        player->PlayAnimation(player->keyLeft ? WALK_LEFT_ANIMATION : WALK_RIGHT_ANIMATION);
    SetState(kept.state);
    // A key released while the level was loading is released now.
    if (kept.state == Running)
        TakeHeldKeys();
    const std::string self = LogClassName(typeid(*this));
    LogWrite(LOG_STATUS, "Level reloaded in " + std::to_string(SDL_GetTicks() - reloadStartTicks) + " ms.", self);
    for (const std::string& message : loaderMessages)
        LogWrite(LOG_WARNING, message, self);
    shownMessages = loaderMessages;
    messageSeconds = shownMessages.empty() ? 0.0 : MESSAGE_SECONDS;
}

void CGameMain::WatchLevelFiles()
{
    if (!watcher)
        return;
    std::vector<std::string> files = {LEVEL_STATIC_FILE, LEVEL_CHECK_FILE, LEVEL_PLATFORM_FILE,
                                      ASSETS_FILE_0,     LEVEL_FINISH_FILE, ASSETS_FILE_1};
    for (const CTexture* texture : spriteManager->textureManager->textures)
        if (texture && !texture->fileName.empty())
            files.push_back(texture->fileName);
    std::vector<std::string> native;
    for (const std::string& file : files)
        native.push_back(NativePath(MakeAbsolutePath(file)));
    std::string error;
    if (!watcher->Watch(native, error))
        LogWrite(LOG_ERROR, "Saved files are not followed: " + error + ".", LogClassName(typeid(*this)));
}

void CGameMain::RenderMessages()
{
    if (shownMessages.empty())
        return;
    while (messageTexts.size() < shownMessages.size())
        messageTexts.push_back(new CScreenText());
    for (std::size_t i = 0; i < shownMessages.size(); ++i)
    {
        // Room below the baseline, where an underscore lies.
        const int lineHeight = messageFont->size + 6;
        const int top = MESSAGE_TOP + static_cast<int>(i) * lineHeight;
        messageTexts[i]->Draw(messageFont, shownMessages[i], Colour(255, 220, 90),
                              TextRect{MESSAGE_LEFT, top, width - 2 * MESSAGE_LEFT, lineHeight}, ALIGN_START,
                              ALIGN_START);
    }
}

void CGameMain::JoinLoader()
{
    if (loader.joinable())
    {
        // A level that was never shown is not finished: the loader stops at its
        // next block and hands back what it built, which OnShutdown frees.
        if (GetState() == Loading)
            loadingCancelled.store(true, std::memory_order_release);
        ReleaseLoader();
        loader.join();
    }
    delete loaderContext;
    loaderContext = nullptr;
}

void CGameMain::OnShutdown()
{
    JoinLoader();
    if (spriteManager)
    {
        delete spriteManager;
        spriteManager = nullptr;
        player = nullptr;
    }
    if (logo)
    {
        delete logo;
        logo = nullptr;
    }
    if (endLabel)
    {
        delete endLabel;
        endLabel = nullptr;
    }
    delete screenText;
    screenText = nullptr;
    delete fpsText;
    fpsText = nullptr;
    delete controlsText;
    controlsText = nullptr;
    for (CScreenText* text : messageTexts)
        delete text;
    messageTexts.clear();
    delete watcher;
    watcher = nullptr;
    // After the scene, whose player and blocks hold the pointer.
    delete sounds;
    sounds = nullptr;
}

void CGameMain::OnRender(SDL_Surface* screen)
{
    const GameState current = GetState();
    switch (current)
    {
    case Loading:
    case Paused:
    {
        logo->Render(screen);
        const TextRect below{0, static_cast<int>(logo->y + logo->GetHeight() + SCREEN_TEXT_GAP), width, font->size};
        screenText->Draw(font, current == Loading ? LOADING_TEXT : pausedText, Colour(255, 255, 255), below,
                         ALIGN_CENTER, ALIGN_CENTER);
        if (current == Paused)
        {
            const TextRect next{0, below.y + font->size + SCREEN_LINE_GAP, width, font->size};
            controlsText->Draw(font, controlsLine, Colour(200, 200, 200), next, ALIGN_CENTER, ALIGN_CENTER);
            RenderMessages();
        }
        break;
    }
    case Running:
    {
        spriteManager->Render(screen);
        const int shownFps = static_cast<int>(fpsControl->fps + 0.5);
        fpsText->Draw(font, "FPS: " + NumberToString(shownFps), Colour(200, 200, 200), TextRect{10, 10, 80, 15},
                      ALIGN_START, ALIGN_START);
        RenderMessages();
        break;
    }
    case Finished:
        endLabel->Render(screen);
        break;
    }
}

void CGameMain::OnUpdate(double seconds)
{
    if (sounds)
        sounds->SetMusic(MUSIC_LOOP, MusicLevel(GetState()));
    if (!shownMessages.empty() && (messageSeconds -= seconds) <= 0.0)
        shownMessages.clear();
    switch (GetState())
    {
    case Loading:
    case Paused:
        logo->Rotate(seconds * LOGO_TURN_SPEED);
        break;
    case Running:
        // The camera centres the player as it stood at the end of the last frame.
        spriteManager->x = (width / 2 - player->x) - player->GetWidth() * 0.5;
        spriteManager->y = (height / 2 - player->y) - player->GetHeight() * 0.5;
        spriteManager->Update(seconds);
        spriteManager->CheckCollisions();
        break;
    case Finished:
        // The blocks' timers end the game from here.
        spriteManager->Update(seconds);
        break;
    }
}

void CGameMain::OnKeyDown(const SDL_Event* event)
{
    if (event->key.keysym.sym == SDLK_F5)
        Reload();
    ApplyControls(*event);
}

void CGameMain::OnKeyUp(const SDL_Event* event)
{
    ApplyControls(*event);
}

void CGameMain::OnJoystick(const SDL_Event* event)
{
    ApplyControls(*event);
}

void CGameMain::ApplyControls(const SDL_Event& event)
{
    for (const ControlChange& change : controls.Translate(event))
    {
        const SDL_Event key = RuleKeyEvent(change.action, change.pressed);
        if (change.pressed)
            PressKey(&key);
        else
            ReleaseKey(&key);
    }
}

void CGameMain::PressKey(const SDL_Event* event)
{
    const SDLKey key = event->key.keysym.sym;
    switch (GetState())
    {
    case Paused:
        if (key == SDLK_BACKSPACE)
            quit = true;
        else if (key == SDLK_ESCAPE)
        {
            SetState(Running);
            TakeHeldKeys();
        }
        break;
    case Running:
        if (key == SDLK_ESCAPE)
        {
            logo->SetRotation(0.0);
            SetState(Paused);
        }
        else
        {
            player->HandleKeyDown(event);
        }
        break;
    case Loading:
    case Finished:
        break;
    }
}

void CGameMain::OnActiveEvent(const SDL_Event* event)
{
    if (GetState() == Running && (event->active.state & SDL_APPINPUTFOCUS) && event->active.gain)
        TakeHeldKeys();
}

void CGameMain::TakeHeldKeys()
{
    // Every key bound to a held action is asked about (the gamepad's state is
    // known from its events, which arrive with or without the focus). Releases
    // first, so that a key still held picks the walking animation as its key-up
    // handler would.
    const ControlAction actions[] = {CONTROL_LEFT, CONTROL_RIGHT, CONTROL_BRAKE};
    const bool* flags[] = {&player->keyLeft, &player->keyRight, &player->keyDown};
    for (ControlAction action : actions)
        for (SDLKey key : controls.KeysOf(action))
            controls.SetKeyHeld(key, IsKeyHeld(key));
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < 3; ++i)
        {
            const bool held = controls.IsHeld(actions[i]);
            const bool releasing = pass == 0 && *flags[i] && !held;
            const bool pressing = pass == 1 && !*flags[i] && held;
            if (!releasing && !pressing)
                continue;
            const SDL_Event event = RuleKeyEvent(actions[i], pressing);
            if (releasing)
                ReleaseKey(&event);
            else
                player->HandleKeyDown(&event);
        }
}

void CGameMain::ReleaseKey(const SDL_Event* event)
{
    if (GetState() != Running)
        return;
    switch (event->key.keysym.sym)
    {
    case SDLK_a:
        player->keyLeft = false;
        if (player->keyRight)
            player->PlayAnimation(WALK_RIGHT_ANIMATION);
        break;
    case SDLK_d:
        player->keyRight = false;
        if (player->keyLeft)
            player->PlayAnimation(WALK_LEFT_ANIMATION);
        break;
    case SDLK_s:
        player->keyDown = false;
        break;
    default:
        break;
    }
}
