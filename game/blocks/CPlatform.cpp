#include "game/blocks/CPlatform.h"

#include "config/Ini.h"
#include "config/Paths.h"
#include "game/CPlayer.h"
#include "sprites/SpriteGeometry.h"

#include <cmath>

namespace
{
// Beyond this many legs in one update the legs are counted at once: subtracting
// a leg far shorter than the frame would not change `elapsed` and never end.
const double MAX_LEGS_BY_STEPPING = 1024.0;
// Seconds without contact after which carrying the player is heard again: a
// platform going down leaves a player who falls after it, so contact comes and
// goes while it carries.
const double CARRY_PAUSE = 0.5;

// to - from, without int overflow.
double Span(int from, int to) { return static_cast<double>(static_cast<long long>(to) - from); }
} // namespace

CPlatform::CPlatform(CSprite* parent)
    : CGameBlock(parent),
      startX(0),
      startY(0),
      endX(0),
      endY(0),
      speed(0.0),
      travelTime(0.0),
      elapsed(0.0),
      lastDx(0.0),
      lastDy(0.0),
      forward(true)
{
    // Reacts to the player alone.
    SetCollisionGroups(COLLISION_TRIGGER, COLLISION_ACTOR);
}

void CPlatform::OnCollision(CSprite* other)
{
    CPlayer* player = dynamic_cast<CPlayer*>(other);
    if (!player)
        return;
    if (sinceCarry >= CARRY_PAUSE && speed > 0.0)
        player->PlayEffect(SOUND_PLATFORM);
    sinceCarry = 0.0;
    player->x += lastDx;
    player->y += lastDy;
}

void CPlatform::OnUpdate(double seconds)
{
    sinceCarry += seconds;
    if (!(speed > 0.0))
        return;

    const double oldX = x;
    const double oldY = y;

    if (travelTime > 0.0)
    {
        elapsed += seconds;
        if (elapsed >= travelTime * MAX_LEGS_BY_STEPPING)
        {
            const double legs = std::floor(elapsed / travelTime);
            if (std::fmod(legs, 2.0) == 1.0)
                forward = !forward;
            elapsed = std::fmod(elapsed, travelTime);
        }
        while (elapsed >= travelTime)
        {
            forward = !forward;
            elapsed -= travelTime;
        }
        const double f = elapsed / travelTime;
        if (forward)
        {
            x = startX + Span(startX, endX) * f;
            y = startY + Span(startY, endY) * f;
        }
        else
        {
            x = endX + Span(endX, startX) * f;
            y = endY + Span(endY, startY) * f;
        }
    }
    else
    {
        // Both end points coincide: a leg takes no time, and the platform rests
        // on its start point.
        x = startX;
        y = startY;
    }

    lastDx = x - oldX;
    lastDy = y - oldY;
}

void CPlatform::LoadFromIni(std::string file, std::string section)
{
    CGameBlock::LoadFromIni(file, section);
    startX = TruncateToInt(x);
    startY = TruncateToInt(y);
    endX = IniReadInt(section, "X2", 0, file);
    endY = IniReadInt(section, "Y2", 0, file);
    speed = IniReadDouble(section, "speed", 0.0, file);
    const double dx = Span(startX, endX);
    const double dy = Span(startY, endY);
    // A platform that does not move has no leg to time.
    travelTime = speed > 0.0 ? std::sqrt(dx * dx + dy * dy) / speed : 0.0;
}
