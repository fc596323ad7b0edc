// For engine developers: prints what one frame of the scene costs for levels of
// many blocks, the update pass and the collision pass of the sprite manager,
// without drawing. Two scenes per size: a level of tiles with a walker and a few
// moving triggers, and a pile of blocks all at one point without size (what a
// level file that only gives a count makes). Blocks are scenery, so only the
// pairs of the walker and the movers are tested.
//
//   quillfen-scene-benchmark [frames]
#include "sprites/CImageSprite.h"
#include "sprites/CSpriteManager.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// Stands on the floor like the player: touches a block every frame and is pushed back.
class CWalker : public CImageSprite
{
public:
    CWalker()
    {
        collisionCategory = COLLISION_ACTOR;
        collisionMask = COLLISION_ALL;
    }
    void OnCollision(CSprite* other) override
    {
        if (other->y > y)
            y = other->y - GetHeight();
    }
    void OnUpdate(double) override
    {
        x += 3.0;
        y += 1.0;
    }
};

// Moves to and fro like a platform and reacts to the walker only.
class CMover : public CImageSprite
{
public:
    CMover()
    {
        collisionCategory = COLLISION_TRIGGER;
        collisionMask = COLLISION_ACTOR;
    }
    void OnUpdate(double) override
    {
        x += step;
        if (x > 2000.0 || x < 0.0)
            step = -step;
    }
    double step = 4.0;
};

CImageSprite* Block(double x, double y, double size)
{
    CImageSprite* block = new CImageSprite();
    block->collisionCategory = COLLISION_SCENERY;
    block->collisionMask = COLLISION_NONE;
    block->SetSize(size, size);
    block->SetPosition(x, y);
    return block;
}

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void Measure(const char* name, int blocks, bool pile, int frames)
{
    CSpriteManager scene;
    CWalker* walker = new CWalker();
    walker->SetSize(52, 64);
    walker->SetPosition(0, pile ? 0 : 436);
    scene.AddSprite(walker);
    for (int i = 0; i < 8; ++i)
    {
        CMover* mover = new CMover();
        mover->SetSize(96, 16);
        mover->SetPosition(i * 250.0, pile ? 0.0 : 300.0);
        scene.AddSprite(mover);
    }
    // A floor of 64-pixel tiles with walls and ledges above it, as levels are built.
    for (int i = 0; i < blocks; ++i)
        scene.AddSprite(pile ? Block(0, 0, 0) : Block((i / 4) * 64.0, 500.0 - (i % 4) * 160.0, 64));
    std::chrono::steady_clock::duration update{}, collide{};
    for (int f = 0; f < frames; ++f)
    {
        const auto t0 = std::chrono::steady_clock::now();
        scene.Update(0.016);
        const auto t1 = std::chrono::steady_clock::now();
        scene.CheckCollisions();
        const auto t2 = std::chrono::steady_clock::now();
        update += t1 - t0;
        collide += t2 - t1;
    }
    std::printf("%-6s %8d %14.3f %14.3f\n", name, blocks, Milliseconds(update) / frames, Milliseconds(collide) / frames);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        std::printf("usage: quillfen-scene-benchmark [frames]\n"
                    "For engine developers: the milliseconds per frame of the sprite manager's update and\n"
                    "collision passes (default 120 frames) for levels of 1000 to 100000 blocks, laid out\n"
                    "as a level and piled at one point.\n");
        return 0;
    }
    const int frames = argc > 1 ? std::atoi(argv[1]) : 120;
    if (frames < 1)
    {
        std::fprintf(stderr, "frames must be a positive number\n");
        return 1;
    }
    std::printf("%-6s %8s %14s %14s\n", "scene", "blocks", "update ms", "collisions ms");
    for (int blocks : {1000, 3000, 10000, 30000, 100000})
    {
        Measure("level", blocks, false, frames);
        Measure("pile", blocks, true, frames);
    }
    return 0;
}
