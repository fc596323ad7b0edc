#include "game/CPlayer.h"

#include "config/Paths.h"
#include "resources/CSoundManager.h"

#include <algorithm>
#include <cmath>

namespace
{
const double GRAVITY = 16.0;             // pixels per frame per second
const double GROUND_THRESHOLD = 0.1;     // |velocityY| below it: standing, steering works
const double JUMP_THRESHOLD = 0.01;      // |velocityY| below it: a jump may start
// Landing faster than this (pixels per frame) is heard; standing, which lands
// every frame at one frame's gravity, and stepping down a ledge are not.
const double AUDIBLE_LANDING_SPEED = 3.0;
const double WALK_FRAMES_PER_SECOND = 12.0;  // walking animation at full speed
const double TAKE_OFF_FRAMES_PER_SECOND = 18.0;

const int ANIMATION_LEFT = 1;
const int ANIMATION_RIGHT = 2;
const int ANIMATION_TAKE_OFF_LEFT = 3;
const int ANIMATION_TAKE_OFF_RIGHT = 5;

bool IsTakeOff(int id) { return id == ANIMATION_TAKE_OFF_LEFT || id == ANIMATION_TAKE_OFF_RIGHT; }

// Slows `velocity` by `amount` towards 0, never past it.
double Decelerate(double velocity, double amount)
{
    if (velocity > 0.0)
        return std::max(0.0, velocity - amount);
    if (velocity < 0.0)
        return std::min(0.0, velocity + amount);
    return velocity;
}

double Clamp(double value, double limit) { return std::min(limit, std::max(-limit, value)); }
} // namespace

CPlayer::CPlayer(CSprite* parent)
    : CImageSprite(parent),
      keyRight(false),
      keyLeft(false),
      keyDown(false),
      playingOnce(false),
      jumpPending(false),
      currentAnimation(NO_ANIMATION),
      nextAnimation(1),
      jumpSpeed(8.0),
      acceleration(10.0),
      brakeFactor(1.5),
      maxSpeed(10.0),
      controllable(true),
      velocityX(0.0),
      velocityY(0.0),
      spawnX(0),
      spawnY(0),
      spawnZ(0),
      minX(-1000000),
      minY(-1000000),
      maxX(1000000),
      maxY(1000000)
{
    // Pushed out of whatever it touches at its depth.
    SetCollisionGroups(COLLISION_ACTOR, COLLISION_ALL);
    for (int id = 0; id <= 7; ++id)
        SetAnimationRange(id, 0, 0);
}

void CPlayer::Update(double seconds)
{
    if (!controllable)
        return;

    const double dt = seconds;
    const bool onGround = std::fabs(velocityY) < GROUND_THRESHOLD;

    if (keyDown && onGround)
        velocityX = Decelerate(velocityX, brakeFactor * acceleration * dt);

    // In the air the horizontal velocity keeps its value.
    if (onGround)
    {
        if (!keyLeft && !keyRight)
        {
            velocityX = Decelerate(velocityX, acceleration * dt);
        }
        else
        {
            if (keyRight)
                velocityX += acceleration * dt;
            if (keyLeft)
                velocityX -= acceleration * dt;
        }
    }

    if (jumpPending)
    {
        jumpPending = false;
        velocityY = -jumpSpeed;
        PlayEffect(SOUND_JUMP);
    }

    velocityY += GRAVITY * dt;
    velocityX = Clamp(velocityX, maxSpeed);
    velocityY = Clamp(velocityY, maxSpeed);

    x += velocityX;
    y += velocityY;

    // The box's edges are still inside.
    if (x < minX || x > maxX || y < minY || y > maxY)
    {
        Respawn();
        PlayEffect(SOUND_RESPAWN);
    }

    if (!playingOnce)
    {
        SetAnimationSpeed(std::fabs(velocityX) * WALK_FRAMES_PER_SECOND / maxSpeed);
        // Standing shows the first frame of the current animation.
        if (GetAnimationSpeed() == 0.0)
            SetFrame(GetFirstFrame());
    }

    CImageSprite::Update(dt);
}

void CPlayer::OnCollision(CSprite* other)
{
    // Sprites at another depth are scenery: walk through them.
    if (other->GetWorldZ() != GetWorldZ())
        return;

    SpriteRect rect;
    GetWorldRect(rect);
    const SpriteBox a{static_cast<double>(rect.x), static_cast<double>(rect.y), static_cast<double>(rect.w),
                      static_cast<double>(rect.h)};
    SpriteQuad corners;
    const SpriteBox b = QuadBounds(*other->GetCorners(corners));

    const double toRight = std::fabs(a.x + a.w - b.x);   // our right edge to its left edge
    const double toBottom = std::fabs(a.y + a.h - b.y);  // our bottom to its top
    const double toLeft = std::fabs(b.x + b.w - a.x);    // its right edge to our left edge
    const double toTop = std::fabs(b.y + b.h - a.y);     // its bottom to our top

    // Ties go to landing, then to the right side. The head and left-side cases
    // leave a pixel of room where the others touch: that asymmetry is the game's feel.
    if (toBottom <= toRight && toBottom <= toLeft && toBottom <= toTop)
    {
        SetWorldY(b.y - a.h);
        if (velocityY > AUDIBLE_LANDING_SPEED)
            PlayEffect(SOUND_LAND);
        velocityY = 0.0;
    }
    else if (toRight <= toBottom && toRight <= toLeft && toRight <= toTop)
    {
        SetWorldX(b.x - a.w);
        velocityX = 0.0;
    }
    else if (toTop < toRight && toTop < toBottom && toTop < toLeft)
    {
        SetWorldY(b.y + b.h + 1);
        velocityY = 0.0;
    }
    else
    {
        SetWorldX(b.x + b.w + 1);
        velocityX = 0.0;
    }
}

void CPlayer::OnAnimationLoop()
{
    if (!playingOnce)
        return;
    playingOnce = false;
    // A take-off that played to its end lifts off in the next update; one that a
    // walking key replaced ends without a jump.
    if (IsTakeOff(currentAnimation))
        jumpPending = true;
    PlayAnimation(nextAnimation);
}

void CPlayer::PlayEffect(const std::string& fileName)
{
    if (sounds)
        sounds->Play(fileName);
}

void CPlayer::SetAnimationRange(int id, int firstFrame, int lastFrame)
{
    for (AnimationRange& range : animations)
    {
        if (range.id == id)
        {
            range.firstFrame = firstFrame;
            range.lastFrame = lastFrame;
            return;
        }
    }
    animations.push_back(AnimationRange{id, firstFrame, lastFrame});
}

AnimationRange CPlayer::GetAnimationRange(int id)
{
    for (const AnimationRange& range : animations)
        if (range.id == id)
            return range;
    return AnimationRange{id, 0, 0};
}

void CPlayer::PlayAnimation(int id)
{
    if (id == currentAnimation)
        return;
    const AnimationRange range = GetAnimationRange(id);
    SetFirstFrame(range.firstFrame);
    SetLastFrame(range.lastFrame);
    SetFrame(range.firstFrame);
    SetAnimating(true);
    currentAnimation = id;
}

void CPlayer::PlayAnimationOnce(int id, int thenId)
{
    nextAnimation = thenId;
    playingOnce = true;
    PlayAnimation(id);
}

void CPlayer::Respawn()
{
    x = spawnX;
    y = spawnY;
    if (spawnZ >= -1 && spawnZ <= 1)
        z = spawnZ;
    velocityX = 0.0;
    velocityY = 0.0;
    PlayAnimation(ANIMATION_RIGHT);
}

void CPlayer::HandleKeyDown(const SDL_Event* event)
{
    switch (event->key.keysym.sym)
    {
    case SDLK_SPACE:
        // A second press during the take-off would make the take-off the animation
        // to return to, and the player would walk on with take-off frames. The
        // jump is already on its way, so the press is ignored.
        if (playingOnce && IsTakeOff(currentAnimation))
            break;
        if (std::fabs(velocityY) < JUMP_THRESHOLD)
        {
            SetAnimationSpeed(TAKE_OFF_FRAMES_PER_SECOND);
            PlayAnimationOnce(currentAnimation == ANIMATION_LEFT ? ANIMATION_TAKE_OFF_LEFT : ANIMATION_TAKE_OFF_RIGHT,
                              currentAnimation);
        }
        break;
    case SDLK_a:
        keyLeft = true;
        PlayAnimation(ANIMATION_LEFT);
        break;
    case SDLK_d:
        keyRight = true;
        PlayAnimation(ANIMATION_RIGHT);
        break;
    case SDLK_s:
        keyDown = true;
        break;
    default:
        break;
    }
}
