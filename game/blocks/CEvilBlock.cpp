#include "game/blocks/CEvilBlock.h"

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/CGameMain.h"
#include "game/CPlayer.h"
#include "sprites/SpriteGeometry.h"
#include "log/Log.h"
#include "sprites/CLabelSprite.h"
#include "platform/Random.h"

#include <cstdlib>
#include <typeinfo>

namespace
{
const double SHAKE_OFFSET = 5.0;      // pixels around the anchor
const double SCRIPT_STEP = 2.0;      // seconds between timed script steps
const char* const SCRIPT_SECTION = "evil";
const char* const FATAL_TEXT = "FATAL ERROR in class CPlayer: div by 0.";
// A script longer than this is cut: all its lines may be written at once on the
// capture, and a long frame walks through the steps in one update.
const int SCRIPT_LINE_LIMIT = 10000;
} // namespace

CEvilBlock::CEvilBlock(CSprite* parent, CGameMain* gameObject)
    : CGameBlock(parent),
      startX(0),
      startY(0),
      endX(0),
      endY(0),
      anchorX(0),
      anchorY(0),
      victim(nullptr),
      timer(0.0),
      nextLine(0),
      startLines(0),
      switchLine(0),
      lineCount(0),
      game(gameObject)
{
    // Reacts to the player alone.
    SetCollisionGroups(COLLISION_TRIGGER, COLLISION_ACTOR);
}

void CEvilBlock::OnCollision(CSprite* other)
{
    if (victim)
        return;
    CPlayer* player = dynamic_cast<CPlayer*>(other);
    if (!player)
        return;
    // A player held by another trap is that trap's alone: however many traps lie
    // at one spot, one script runs and the log gets one trap's lines.
    if (!player->controllable)
        return;

    player->controllable = false;
    victim = player;
    SetPosition(endX, endY);
    player->Move(static_cast<double>(static_cast<long long>(endX) - startX),
                 static_cast<double>(static_cast<long long>(endY) - startY));
    anchorX = TruncateToInt(player->x);
    anchorY = TruncateToInt(player->y);
    if (game)
        game->IconifyWindow();
    // The capture's sound stands for the lines written with it.
    player->PlayEffect(SOUND_TRAP);

    while (nextLine < startLines && nextLine < lineCount)
    {
        PrintScriptLine(nextLine, 0);
        ++nextLine;
    }
}

void CEvilBlock::OnUpdate(double seconds)
{
    if (!victim)
        return;

    // Never on the anchor itself: always one of the four neighbours.
    switch (PlatformRandom() % 4)
    {
    case 0: victim->SetPosition(anchorX + SHAKE_OFFSET, anchorY); break;
    case 1: victim->SetPosition(anchorX - SHAKE_OFFSET, anchorY); break;
    case 2: victim->SetPosition(anchorX, anchorY + SHAKE_OFFSET); break;
    default: victim->SetPosition(anchorX, anchorY - SHAKE_OFFSET); break;
    }

    timer += seconds;
    while (timer >= SCRIPT_STEP)
    {
        if (nextLine < lineCount)
        {
            PrintScriptLine(nextLine, -1);
            ++nextLine;
            victim->PlayEffect(SOUND_GLITCH);
        }
        else if (nextLine == lineCount)
        {
            if (game && game->endLabel)
            {
                game->endLabel->SetCaption(FATAL_TEXT);
                SDL_Color red{};
                red.r = 255;
                game->endLabel->SetFontColor(red);
            }
            if (game)
                game->SetState(Finished);
            // With the subtraction below the timer starts from -2: the quit comes
            // four seconds after the fatal screen.
            timer = 0.0;
            ++nextLine;
        }
        else
        {
            // Nothing follows the quit: a huge frame time must not keep stepping.
            if (game)
                game->quit = true;
            timer = 0.0;
            return;
        }
        timer -= SCRIPT_STEP;
    }
}

void CEvilBlock::LoadFromIni(std::string file, std::string section)
{
    CGameBlock::LoadFromIni(file, section);
    startX = TruncateToInt(x);
    startY = TruncateToInt(y);
    endX = IniReadInt(section, "X2", 0, file);
    endY = IniReadInt(section, "Y2", 0, file);
    lineCount = IniReadInt(section, "lines", 0, file);
    if (lineCount < 0 || lineCount > SCRIPT_LINE_LIMIT)
    {
        const int cut = lineCount < 0 ? 0 : SCRIPT_LINE_LIMIT;
        LogWrite(LOG_WARNING,
                 "Script length " + std::to_string(lineCount) + " of block " + section + " in " + file +
                     " cannot be used; using " + std::to_string(cut) + ".",
                 LogClassName(typeid(*this)));
        lineCount = cut;
    }
    switchLine = IniReadInt(section, "switch", 0, file);
    startLines = IniReadInt(section, "start", 0, file);
}

void CEvilBlock::PrintScriptLine(int line, int thresholdDefault)
{
    // A refused script reads as missing (the loader has said why).
    const std::string number = NumberToString(line);
    const int level = IniReadInt(SCRIPT_SECTION, "l" + number, 0, ASSETS_FILE_1);
    const std::string message = IniReadString(SCRIPT_SECTION, "t" + number, "", ASSETS_FILE_1);
    // Written as if the captured player had written it.
    LogWrite(level, message, victim ? LogClassName(typeid(*victim)) : LogClassName(typeid(CPlayer)));
    if (line == switchLine)
        LogDisableConsole();
    const int threshold = IniReadInt(SCRIPT_SECTION, "w" + number, thresholdDefault, ASSETS_FILE_1);
    if (threshold > thresholdDefault)
        LogSetLevel(threshold);
}
