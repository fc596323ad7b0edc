#pragma once

#include "sprites/CImageSprite.h"

#include <SDL/SDL.h>

#include <string>
#include <vector>
#include <typeinfo>

class CSoundManager;

// One row of the player's animation table: frames firstFrame..lastFrame, inclusive.
struct AnimationRange
{
    int id;
    int firstFrame;
    int lastFrame;
};

// The character the user steers: an animated image sprite with its own physics,
// a two-stage jump, a level box it respawns from, and a collision response that
// pushes it out of whatever it overlaps at its own depth.
//
// Velocities are pixels per frame (added once per frame, not scaled by time);
// accelerations are pixels per frame per second (scaled by the frame's seconds).
class CPlayer : public CImageSprite
{
public:
    // Drawn as its base draws, so the scene batches it.
    bool DrawsAsBase() const override { return typeid(*this) == typeid(CPlayer); }

    bool keyRight;                        // 'd' is held
    bool keyLeft;                         // 'a' is held
    bool keyDown;                         // 's' is held: brakes on the ground
    bool playingOnce;                     // the current animation ends at its first wrap
    bool jumpPending;                     // the next Update applies the jump impulse
    int currentAnimation;                 // id shown now; NO_ANIMATION before the first PlayAnimation
    int nextAnimation;                    // looped when a one-shot ends
    std::vector<AnimationRange> animations;  // searched by id, first entry wins
    double jumpSpeed;                     // pixels per frame, upwards
    double acceleration;                  // pixels per frame per second; also the friction
    double brakeFactor;                   // 's' brakes with brakeFactor * acceleration
    double maxSpeed;                      // limit of |velocityX| and |velocityY|, pixels per frame
    bool controllable;                    // when false, Update does nothing at all
    double velocityX;                     // pixels per frame, positive to the right
    double velocityY;                     // pixels per frame, positive downwards
    int spawnX;                           // respawn point, level pixels; written by checkpoints
    int spawnY;
    int spawnZ;                           // taken only within -1..1
    int minX;                             // the level box; leaving it respawns the player
    int minY;
    int maxX;
    int maxY;
    CSoundManager* sounds = nullptr;      // not owned; null plays nothing. Set by the loader

    // Marks currentAnimation before anything has been played; not an id of the table.
    static constexpr int NO_ANIMATION = -1;

    explicit CPlayer(CSprite* parent = nullptr);

    void Update(double seconds) override;
    void OnCollision(CSprite* other) override;
    void OnAnimationLoop() override;

    // Overwrites the entry of this id, or appends one.
    void SetAnimationRange(int id, int firstFrame, int lastFrame);
    // A copy of the first entry of this id, or {id, 0, 0}.
    AnimationRange GetAnimationRange(int id);
    // Switches to the animation from its first frame; the current one is left alone.
    void PlayAnimation(int id);
    // Plays `id` until its first wrap, then loops `thenId`.
    void PlayAnimationOnce(int id, int thenId);
    // Back to the spawn point, at rest, walking right.
    void Respawn();
    // 'a', 'd', 's' and space; other keys are ignored.
    void HandleKeyDown(const SDL_Event* event);
    // Plays a sound when the player has sounds; changes nothing else.
    void PlayEffect(const std::string& fileName);
};
