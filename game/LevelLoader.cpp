#include "game/LevelLoader.h"

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/CGameMain.h"
#include "game/CPlayer.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "game/level/CLevelChecker.h"
#include "game/level/LevelDescription.h"
#include "log/Log.h"
#include "platform/CGLSharedContext.h"
#include "platform/CIniReader.h"
#include "resources/CFontFactory.h"
#include "resources/CTextureManager.h"
#include "resources/TextRenderer.h"
#include "sprites/CLabelSprite.h"
#include "sprites/CSpriteManager.h"

#include <atomic>
#include <mutex>
#include <string>
#include <type_traits>
#include <typeinfo>

namespace
{
std::atomic<int> blockLimit{LEVEL_BLOCK_LIMIT};

const double PLAYER_WIDTH = 52.0;   // pixels
const double PLAYER_HEIGHT = 64.0;  // pixels
const int PLAYER_FRAME_WIDTH = 52;  // texture pixels of one sheet cell
const int PLAYER_FRAME_HEIGHT = 64;

// Registered in this order; 8 is new, the others overwrite the player's own rows.
const AnimationRange PLAYER_ANIMATIONS[] = {
    {0, 0, 0}, {1, 0, 3}, {2, 4, 7}, {3, 8, 11}, {5, 12, 15},
    {4, 16, 19}, {6, 20, 23}, {7, 11, 11}, {8, 15, 15},
};
const int PLAYER_START_ANIMATION = 2;

const int END_LABEL_FONT_SIZE = 30;
const char* const END_LABEL_CAPTION = "Congratulations, you beat the game! Now, to find some cake...";

void CreatePlayer(CGameMain* game)
{
    CPlayer* player = new CPlayer();
    game->player = player;
    player->SetTexture(game->spriteManager->textureManager->GetTexture(PLAYER_IMAGE, true, false));
    // The texture resets the frame grid, so it comes first.
    player->SetWidth(PLAYER_WIDTH);
    player->SetHeight(PLAYER_HEIGHT);
    player->SetFrameWidth(PLAYER_FRAME_WIDTH);
    player->SetFrameHeight(PLAYER_FRAME_HEIGHT);
    for (const AnimationRange& row : PLAYER_ANIMATIONS)
        player->SetAnimationRange(row.id, row.firstFrame, row.lastFrame);
    player->PlayAnimation(PLAYER_START_ANIMATION);

    player->spawnZ = ReadLevelPlayerKey("spawnZ");
    player->spawnY = ReadLevelPlayerKey("spawnY");
    player->spawnX = ReadLevelPlayerKey("spawnX");
    player->minY = ReadLevelPlayerKey("minY");
    player->minX = ReadLevelPlayerKey("minX");
    player->maxY = ReadLevelPlayerKey("maxY");
    player->maxX = ReadLevelPlayerKey("maxX");
    player->Respawn();
    player->sounds = game->sounds;

    game->spriteManager->AddSprite(player);
}

// The evil and end blocks act on the game object; the others need nothing of it.
void AttachGame(CGameBlock*, CGameMain*) {}
void AttachGame(CEvilBlock* block, CGameMain* game) { block->game = game; }
void AttachGame(CEndBlock* block, CGameMain* game) { block->game = game; }

// The number of blocks to build from a file: "count", cut to the limit.
int BlockCount(CGameMain* game, const std::string& file)
{
    const int count = IniReadInt("main", "count", 0, file);
    const int limit = blockLimit.load(std::memory_order_relaxed);
    if (count <= limit)
        return count;
    LogWrite(LOG_WARNING,
             file + " lists " + std::to_string(count) + " blocks; loading only the first " +
                 std::to_string(limit) + ".",
             LogClassName(typeid(*game)));
    return limit;
}

// A level file or the script that exists but is refused (a pipe, a device, a
// directory, a huge file) reads as missing; the log says why, once.
void ReportRefused(CGameMain* game, const std::string& file)
{
    std::string reason;
    if (!CIniReader::CheckFile(StartupDirectory() + file, reason))
        LogWrite(LOG_ERROR, "File " + file + " not read: " + reason + ".", LogClassName(typeid(*game)));
}

// Holds one level file for this thread while its blocks are read: the file is
// looked up on disk once instead of for every key.
class FileHold
{
public:
    explicit FileHold(const std::string& file) { IniHoldFile(file); }
    ~FileHold() { IniReleaseFile(); }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
};

template <class Block>
void LoadBlocks(CGameMain* game, const std::string& file)
{
    if (game->LoadingCancelled())
        return;
    const FileHold hold(file);
    const int count = BlockCount(game, file);
    for (int i = 0; i < count && !game->LoadingCancelled(); ++i)
    {
        Block* block = new Block(game->spriteManager);
        if constexpr (std::is_same_v<Block, CGameBlock>)
            block->MarkAsScenery();
        block->fontFactory = game->GetFontFactory();
        AttachGame(block, game);
        block->LoadFromIni(file, NumberToString(i));
        game->spriteManager->AddSprite(block);
    }
}

// A reload shows the designer the checker's first messages on the files just read.
const std::size_t CHECKER_MESSAGES = 3;

std::vector<std::string> CheckerMessages()
{
    std::vector<CLevelChecker::Problem> problems;
    {
        // The checker opens fonts with SDL_ttf, which the main thread draws with.
        std::lock_guard<std::recursive_mutex> lock(TextLock());
        // The largest file as read once, rather than looked up on disk for every key.
        const FileHold hold(LEVEL_STATIC_FILE);
        problems = CLevelChecker("").Check();
    }
    std::vector<std::string> messages;
    for (std::size_t i = 0; i < problems.size() && i < CHECKER_MESSAGES; ++i)
    {
        const CLevelChecker::Problem& problem = problems[i];
        messages.push_back(problem.file + (problem.line > 0 ? ":" + std::to_string(problem.line) : "") + ": " +
                           problem.text);
    }
    if (problems.size() > CHECKER_MESSAGES)
        messages.push_back("... and " + std::to_string(problems.size() - CHECKER_MESSAGES) +
                           " more; quillfen-level-check lists them all.");
    return messages;
}

void CreateEndLabel(CGameMain* game)
{
    CLabelSprite* label = new CLabelSprite(nullptr, game->GetFontFactory()->GetFont(DEFAULT_FONT_FILE, END_LABEL_FONT_SIZE));
    game->endLabel = label;
    label->SetWidth(static_cast<double>(game->width));
    label->SetHeight(static_cast<double>(game->height));
    label->x = 0.0;
    label->y = 0.0;
    SDL_Color white{};
    white.r = 255;
    white.g = 255;
    white.b = 255;
    label->SetFontColor(white);
    label->SetTextRect(SpriteBox{0.0, 0.0, label->GetWidth(), label->GetHeight()});
    label->SetAlignH(ALIGN_CENTER);
    label->SetAlignV(ALIGN_CENTER);
    label->SetCaption(END_LABEL_CAPTION);
}
} // namespace

int LoaderThreadProc(void* parameter)
{
    CGameMain* game = static_cast<CGameMain*>(parameter);
    // Taken before the hand-over: afterwards the game object is the main thread's.
    CGLSharedContext* context = game->loaderContext;
    const bool current = context->MakeCurrent();
    if (!current)
        context->Destroy();
    game->ReportLoaderContext(current);
    if (!current)
        return 0;  // the main thread builds the level instead
    game->WaitUntilLoaderMayStart();
    LoadLevel(game);
    context->Destroy();
    return 0;
}

void LoadLevel(CGameMain* game)
{
    for (const std::string& file : {LEVEL_STATIC_FILE, LEVEL_CHECK_FILE, LEVEL_PLATFORM_FILE, ASSETS_FILE_0,
                                     LEVEL_FINISH_FILE, ASSETS_FILE_1})
        ReportRefused(game, file);
    CreatePlayer(game);
    LoadBlocks<CGameBlock>(game, LEVEL_STATIC_FILE);
    LoadBlocks<CCheckPointBlock>(game, LEVEL_CHECK_FILE);
    LoadBlocks<CPlatform>(game, LEVEL_PLATFORM_FILE);
    LoadBlocks<CEvilBlock>(game, ASSETS_FILE_0);
    LoadBlocks<CEndBlock>(game, LEVEL_FINISH_FILE);
    if (game->LoadingCancelled())
        LogWrite(LOG_STATUS, "Loading stopped: the game ended before the level was shown.",
                 LogClassName(typeid(*game)));
    else
        CreateEndLabel(game);
    if (game->IsReloading() && !game->LoadingCancelled())
        game->loaderMessages = CheckerMessages();
    // The uploads of this context must be complete before the main context draws them.
    CGLSharedContext::FinishCommands();
    game->LevelBuilt();
}

void SetLevelBlockLimitForTesting(int limit)
{
    blockLimit.store(limit, std::memory_order_relaxed);
}
