#include "game/CGameMain.h"

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "engine/CFPSControl.h"
#include "game/CPlayer.h"
#include "game/LevelLoader.h"
#include "log/Log.h"
#include "platform/CIniReader.h"
#include "platform/Random.h"
#include "platform/CGLSharedContext.h"
#include "resources/CFont.h"
#include "resources/CFontFactory.h"
#include "resources/CScreenText.h"
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
const char* const PAUSED_TEXT = "Paused. Press [ESC] to continue, [BACKSPACE] to quit...";
const int WALK_LEFT_ANIMATION = 1;
const int WALK_RIGHT_ANIMATION = 2;

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
    : CGameBase(settings.width, settings.height, settings.fullscreen, true, false)
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
    // The first request creates the font factory, here on the main thread.
    font = GetFontFactory()->GetFont(DEFAULT_FONT_FILE, HUD_FONT_SIZE);

    logo = new CImageSpriteEx();
    CTexture* logoTexture = spriteManager->textureManager->GetTexture(LOGO_IMAGE, true, false);
    logo->SetTexture(logoTexture);
    logo->SetWidth(logoTexture->width);
    logo->SetHeight(logoTexture->height);
    logo->SetPivot(0.5, 0.5);
    logo->x = (width / 2) - logo->GetWidth() * 0.5;
    logo->y = (height / 2) - logo->GetHeight() * 0.5;
    screenText = new CScreenText();
    fpsText = new CScreenText();

    StartLoader();
}

void CGameMain::StartLoader()
{
    const std::string self = LogClassName(typeid(*this));
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
        const long recordedFrame = ReplayLoadedFrame();
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
    if (!loadingNoted && GetState() != Loading)
    {
        loadingNoted = true;
        NoteLoadingComplete();
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
        screenText->Draw(font, current == Loading ? LOADING_TEXT : PAUSED_TEXT, Colour(255, 255, 255), below,
                         ALIGN_CENTER, ALIGN_CENTER);
        break;
    }
    case Running:
    {
        spriteManager->Render(screen);
        const int shownFps = static_cast<int>(fpsControl->fps + 0.5);
        fpsText->Draw(font, "FPS: " + NumberToString(shownFps), Colour(200, 200, 200), TextRect{10, 10, 80, 15},
                      ALIGN_START, ALIGN_START);
        break;
    }
    case Finished:
        endLabel->Render(screen);
        break;
    }
}

void CGameMain::OnUpdate(double seconds)
{
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
    // Releases first, so that a key still held picks the walking animation as
    // its key-up handler would.
    const SDLKey keys[] = {SDLK_a, SDLK_d, SDLK_s};
    const bool* flags[] = {&player->keyLeft, &player->keyRight, &player->keyDown};
    bool held[3];
    for (int i = 0; i < 3; ++i)
        held[i] = IsKeyHeld(keys[i]);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < 3; ++i)
        {
            const bool releasing = pass == 0 && *flags[i] && !held[i];
            const bool pressing = pass == 1 && !*flags[i] && held[i];
            if (!releasing && !pressing)
                continue;
            SDL_Event event{};
            event.type = releasing ? SDL_KEYUP : SDL_KEYDOWN;
            event.key.type = event.type;
            event.key.state = releasing ? SDL_RELEASED : SDL_PRESSED;
            event.key.keysym.sym = keys[i];
            if (releasing)
                OnKeyUp(&event);
            else
                player->HandleKeyDown(&event);
        }
}

void CGameMain::OnKeyUp(const SDL_Event* event)
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
