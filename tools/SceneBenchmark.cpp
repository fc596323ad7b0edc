// Prints what one frame of the scene costs for levels of many blocks: the
// update pass and the collision pass of the sprite manager, without drawing.
//
//   quillfen-scene-benchmark [frames]
#include "sprites/CImageSprite.h"
#include "sprites/CSpriteManager.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace
{
// Stands on the floor like the player: touches a block every frame and is pushed back.
class CWalker : public CImageSprite
{
public:
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

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}
} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 120;
    std::printf("%8s %14s %14s\n", "blocks", "update ms", "collisions ms");
    for (int blocks : {1000, 3000, 10000, 30000})
    {
        CSpriteManager scene;
        CWalker* walker = new CWalker();
        walker->SetSize(52, 64);
        walker->SetPosition(0, 436);
        scene.AddSprite(walker);
        // A floor of 64-pixel tiles with walls and ledges above it, as levels are built.
        for (int i = 0; i < blocks; ++i)
        {
            CImageSprite* block = new CImageSprite();
            block->SetSize(64, 64);
            const int column = i / 4;
            block->SetPosition(column * 64.0, 500.0 - (i % 4) * 160.0);
            scene.AddSprite(block);
        }
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
        std::printf("%8d %14.3f %14.3f\n", blocks, Milliseconds(update) / frames, Milliseconds(collide) / frames);
    }
    return 0;
}
