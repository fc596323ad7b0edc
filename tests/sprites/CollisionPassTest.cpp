// The collision pass against the plain double loop over every pair: the same
// handler calls in the same order, also when handlers move sprites mid-pass.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sprites/CImageSprite.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"

namespace {

using Calls = std::vector<std::string>;

// Records its contacts; some contacts push it aside, as the player's do.
struct Identified {
    virtual ~Identified() = default;
    virtual int Id() const = 0;
};

class CPlainSprite : public CImageSprite, public Identified {
public:
    CPlainSprite(int spriteId, Calls& log) : id(spriteId), calls(log) {}
    int Id() const override { return id; }
    void OnCollision(CSprite* other) override { Record(this, id, other, calls); }
    static void Record(CImageSprite* self, int id, CSprite* other, Calls& calls) {
        const int otherId = dynamic_cast<Identified*>(other)->Id();
        calls.push_back(std::to_string(id) + "(" + std::to_string(otherId) + ")");
        if ((id + otherId) % 3 == 0) {
            self->Move(7, -3);
        }
    }
    int id;
    Calls& calls;
};

class CTurnedSprite : public CImageSpriteEx, public Identified {
public:
    CTurnedSprite(int spriteId, Calls& log) : id(spriteId), calls(log) {}
    int Id() const override { return id; }
    void OnCollision(CSprite* other) override { CPlainSprite::Record(this, id, other, calls); }
    int id;
    Calls& calls;
};

// The same random scene, built anew for each manager.
void BuildScene(CSpriteManager& manager, unsigned seed, int count, Calls& calls) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> position(0.0, 400.0);
    std::uniform_int_distribution<int> size(0, 60);
    std::uniform_int_distribution<int> kind(0, 9);
    for (int id = 0; id < count; ++id) {
        CImageSprite* sprite;
        const int k = kind(random);
        if (k < 2) {
            auto* turned = new CTurnedSprite(id, calls);
            turned->SetSize(size(random), size(random));
            turned->SetRotation(position(random));
            sprite = turned;
        } else {
            sprite = new CPlainSprite(id, calls);
            // Some without area, as blocks without a caption are.
            sprite->SetSize(k == 2 ? 0 : size(random), size(random));
        }
        sprite->SetPosition(position(random), position(random));
        manager.AddSprite(sprite);
    }
}

// Every pair in order, each judged with the positions of its turn.
void ReferencePass(CSpriteManager& manager) {
    std::vector<CSprite*>& sprites = manager.activeSprites;
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        for (std::size_t j = i + 1; j < sprites.size(); ++j) {
            if (sprites[i]->CollidesWith(sprites[j])) {
                sprites[i]->OnCollision(sprites[j]);
                sprites[j]->OnCollision(sprites[i]);
            }
        }
    }
}

}  // namespace

TEST(CollisionPass, MatchesTheFullDoubleLoopOnRandomScenesWhoseHandlersMoveSprites) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        Calls fast, reference;
        CSpriteManager fastManager, referenceManager;
        BuildScene(fastManager, seed, 120, fast);
        BuildScene(referenceManager, seed, 120, reference);
        for (int pass = 0; pass < 3; ++pass) {
            fastManager.CheckCollisions();
            ReferencePass(referenceManager);
        }
        ASSERT_FALSE(reference.empty());
        ASSERT_EQ(fast, reference) << "seed " << seed;
        for (std::size_t k = 0; k < fastManager.activeSprites.size(); ++k) {
            EXPECT_EQ(fastManager.activeSprites[k]->x, referenceManager.activeSprites[k]->x);
            EXPECT_EQ(fastManager.activeSprites[k]->y, referenceManager.activeSprites[k]->y);
        }
    }
}
