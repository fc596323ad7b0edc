// The collision pass against the plain double loop over every pair that the
// collision groups let react: the same handler calls in the same order, also
// when handlers move sprites mid-pass, and none for pairs that cannot react.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sprites/CImageSprite.h"
#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"

namespace {

using Calls = std::vector<std::string>;

struct Identified {
    virtual ~Identified() = default;
    virtual int Id() const = 0;
};

// Records its contacts; some contacts push it aside, as the player's do.
template <typename Base>
class CRecordingSprite : public Base, public Identified {
public:
    CRecordingSprite(int spriteId, Calls& log) : id(spriteId), calls(log) {}
    int Id() const override { return id; }
    void OnCollision(CSprite* other) override {
        const int otherId = dynamic_cast<Identified*>(other)->Id();
        calls.push_back(std::to_string(id) + "(" + std::to_string(otherId) + ")");
        if ((id + otherId) % 3 == 0) {
            this->Move(7, -3);
        }
    }
    int id;
    Calls& calls;
};

// The groups of a level: mostly scenery, some triggers, a few actors, and
// sprites that never set a group.
void SetRandomGroup(CSprite& sprite, int roll) {
    if (roll < 5) {
        sprite.collisionCategory = COLLISION_SCENERY;
        sprite.collisionMask = COLLISION_NONE;
    } else if (roll < 7) {
        sprite.collisionCategory = COLLISION_TRIGGER;
        sprite.collisionMask = COLLISION_ACTOR;
    } else if (roll < 8) {
        sprite.collisionCategory = COLLISION_ACTOR;
        sprite.collisionMask = COLLISION_ALL;
    }
}

// The same random scene, built anew for each manager.
void BuildScene(CSpriteManager& manager, unsigned seed, bool groups, Calls& calls) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> position(0.0, 400.0);
    std::uniform_int_distribution<int> size(0, 60);
    std::uniform_int_distribution<int> roll(0, 9);
    for (int id = 0; id < 120; ++id) {
        CImageSprite* sprite;
        const int k = roll(random);
        if (k < 2) {
            auto* turned = new CRecordingSprite<CImageSpriteEx>(id, calls);
            turned->SetSize(size(random), size(random));
            turned->SetRotation(position(random));
            sprite = turned;
        } else {
            sprite = new CRecordingSprite<CImageSprite>(id, calls);
            // Some without area, as blocks without a caption are.
            sprite->SetSize(k == 2 ? 0 : size(random), size(random));
        }
        sprite->SetPosition(position(random), position(random));
        const int group = roll(random);
        if (groups) {
            SetRandomGroup(*sprite, group);
        }
        manager.AddSprite(sprite);
    }
}

// Every pair that can react, in order, each judged with the positions of its turn.
void ReferencePass(CSpriteManager& manager) {
    std::vector<CSprite*>& sprites = manager.activeSprites;
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        for (std::size_t j = i + 1; j < sprites.size(); ++j) {
            if (sprites[i]->CanCollideWith(*sprites[j]) && sprites[i]->CollidesWith(sprites[j])) {
                sprites[i]->OnCollision(sprites[j]);
                sprites[j]->OnCollision(sprites[i]);
            }
        }
    }
}

class CCountingSprite : public CImageSprite {
public:
    CCountingSprite(int& counter, std::uint32_t category, std::uint32_t mask) : calls(counter) {
        collisionCategory = category;
        collisionMask = mask;
    }
    void OnCollision(CSprite*) override { ++calls; }
    int& calls;
};

}  // namespace

TEST(CollisionPass, MatchesTheDoubleLoopOverReactingPairsOnRandomScenesWhoseHandlersMoveSprites) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const bool groups = seed % 2 == 1;  // without groups every pair can react
        Calls fast, reference;
        CSpriteManager fastManager, referenceManager;
        BuildScene(fastManager, seed, groups, fast);
        BuildScene(referenceManager, seed, groups, reference);
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

TEST(CollisionPass, CoincidentSceneryCostsOnlyItsPairsWithTheSpritesThatReact) {
    // A level of default blocks: all at one point, without size. Only the
    // actor's pairs may reach handlers, whichever way the blocks are grouped.
    const int blocks = 20000;
    int calls = 0;
    CSpriteManager manager;
    manager.AddSprite(new CCountingSprite(calls, COLLISION_ACTOR, COLLISION_ALL));
    for (int k = 0; k < blocks; ++k) {
        const bool trigger = k % 4 == 0;
        manager.AddSprite(new CCountingSprite(calls, trigger ? COLLISION_TRIGGER : COLLISION_SCENERY,
                                              trigger ? COLLISION_ACTOR : COLLISION_NONE));
    }
    manager.CheckCollisions();
    EXPECT_EQ(calls, 2 * blocks);

    // Without the actor nothing reacts at all.
    manager.activeSprites.front()->collisionMask = COLLISION_NONE;
    manager.activeSprites.front()->collisionCategory = COLLISION_SCENERY;
    calls = 0;
    manager.CheckCollisions();
    EXPECT_EQ(calls, 0);
}
