// The sprite manager's passes, queries and lifetime; no GL needed. The collision
// pass must make the same handler calls, in order, as the plain double loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sprites/CImageSpriteEx.h"
#include "sprites/CSpriteManager.h"

namespace {

using Events = std::vector<std::string>;

// Records its contacts ("1(2)") and its destruction ("~1"). Turned or not: the
// pass must treat both shapes alike.
class CRecorder : public CImageSpriteEx {
public:
    CRecorder(int spriteId, Events& log, double px = 0, double w = 10) : id(spriteId), events(log) {
        SetPosition(px, 0);
        SetSize(w, 10);
    }
    ~CRecorder() override { events.push_back("~" + std::to_string(id)); }
    void OnCollision(CSprite* other) override {
        events.push_back(std::to_string(id) + "(" + std::to_string(static_cast<CRecorder*>(other)->id) + ")");
        if (onCollision)
            onCollision(static_cast<CRecorder*>(other)->id);
    }
    void OnUpdate(double) override {
        events.push_back("u" + std::to_string(id));
        if (onUpdate)
            onUpdate();
    }
    int id;
    Events& events;
    std::function<void()> onUpdate;
    std::function<void(int)> onCollision;
};

class SpriteManagerTest : public ::testing::Test {
protected:
    CRecorder* Add(int id, double px, double w = 10) {
        auto* s = new CRecorder(id, events, px, w);
        manager.AddSprite(s);
        return s;
    }
    Events events;  // outlives the manager, which destroys the sprites
    CSpriteManager manager;
};

void SetGroup(CSprite* s, std::uint32_t category, std::uint32_t mask) { s->collisionCategory = category, s->collisionMask = mask; }

// A random scene: `blocks` still blocks in rows among sprites of every group, some
// turned or without area, whose contacts move themselves or a third (non-scenery)
// sprite; apart, a pile of `pile` blocks rising a pixel each pushes an actor up.
void BuildScene(CSpriteManager& manager, unsigned seed, int blocks, bool groups, Events& events, int pile = 0) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> position(0.0, blocks > 0 ? 6400.0 : 400.0);
    std::uniform_int_distribution<int> size(0, 60);
    std::uniform_int_distribution<int> roll(0, 9);
    auto movers = std::make_shared<std::vector<CRecorder*>>();
    for (int id = 0; id < 120 + blocks; ++id) {
        auto* s = new CRecorder(id, events);
        manager.AddSprite(s);
        if (id % (1 + blocks / 120) != 0) {
            s->SetSize(16, 16);
            s->SetPosition(id % 400 * 16.0, id / 400 * 16.0);
            SetGroup(s, COLLISION_SCENERY, COLLISION_NONE);
            continue;
        }
        const int k = roll(random);
        s->SetSize(k == 2 ? 0 : size(random), size(random));
        if (k < 2)
            s->SetRotation(position(random));
        s->SetPosition(position(random), position(random));
        const int group = groups ? roll(random) : 9;
        if (group < 8) {
            SetGroup(s, group < 4 ? COLLISION_SCENERY : group < 7 ? COLLISION_TRIGGER : COLLISION_ACTOR,
                     group < 4 ? COLLISION_NONE : group < 7 ? COLLISION_ACTOR : COLLISION_ALL);
        }
        if (group >= 4) {
            movers->push_back(s);
            s->onCollision = [s, movers](int other) {
                if ((s->id + other) % 3 == 0) {
                    s->Move(7, -3);
                } else if ((s->id + other) % 4 == 0) {
                    (*movers)[(s->id * 7 + other) % movers->size()]->Move(-11, 5);
                }
            };
        }
    }
    if (pile == 0)
        return;
    auto* climber = new CRecorder(static_cast<int>(manager.activeSprites.size()), events, 9000, 20);
    climber->SetPosition(9000, 8990);
    SetGroup(climber, COLLISION_ACTOR, COLLISION_ALL);
    manager.AddSprite(climber);
    climber->onCollision = [climber, &manager](int other) {
        const CSprite* below = manager.activeSprites[static_cast<std::size_t>(other)];
        climber->SetPosition(climber->x, std::min(climber->y, below->y - 10));
    };
    for (int i = 0; i < pile; ++i) {
        auto* block = new CRecorder(static_cast<int>(manager.activeSprites.size()), events, 8990.0 + i % 7, 40);
        block->SetPosition(block->x, 9000.0 - i);
        block->SetSize(40, i % 3 == 0 ? 30 : i % 3 == 1 ? 3000 : 40000);
        SetGroup(block, COLLISION_SCENERY, COLLISION_NONE);
        manager.AddSprite(block);
    }
}

// Every pair that can react, in order, each judged with the positions of its
// turn. Still scenery never reacts to still scenery: those pairs are not walked.
void ReferencePass(std::vector<CSprite*>& sprites) {
    std::vector<std::size_t> others;
    for (std::size_t j = 0; j < sprites.size(); ++j) {
        if (sprites[j]->collisionMask != COLLISION_NONE)
            others.push_back(j);
    }
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const bool still = sprites[i]->collisionMask == COLLISION_NONE;
        for (std::size_t n = 0, j = i + 1; still ? n < others.size() : j < sprites.size(); ++n, ++j) {
            CSprite* other = sprites[still ? others[n] : j];
            if ((!still || others[n] > i) && sprites[i]->CanCollideWith(*other) && sprites[i]->CollidesWith(other)) {
                sprites[i]->OnCollision(other);
                other->OnCollision(sprites[i]);
            }
        }
    }
}

}  // namespace

TEST_F(SpriteManagerTest, ReportsEveryOverlappingPairToBothInInsertionOrderSkippingEmptySlots) {
    Add(1, 0, 30);
    EXPECT_EQ(manager.AddSprite(nullptr), 1);
    Add(2, 5);
    Add(3, 12);
    Add(4, 400);
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"1(2)", "2(1)", "1(3)", "3(1)", "2(3)", "3(2)"}));
}

TEST_F(SpriteManagerTest, UpdatesInOrderThoseThatNeedItAlsoOneAddedByAnUpdate) {
    Add(1, 0)->onUpdate = [this] {
        if (manager.activeSprites.size() == 3)
            Add(4, 0);
    };
    Add(2, 0)->needsUpdate = false;
    Add(3, 0);
    manager.Update(0.1);
    EXPECT_EQ(events, (Events{"u1", "u3", "u4"}));
}

TEST_F(SpriteManagerTest, ASpriteAddedByAHandlerTakesPartInTheSamePass) {
    CRecorder* s1 = Add(1, 0);
    Add(2, 5);
    Add(3, 300);
    s1->onCollision = [this](int) {
        if (manager.activeSprites.size() == 3)
            Add(4, 2);
    };
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"1(2)", "2(1)", "1(4)", "4(1)", "2(4)", "4(2)"}));
}

TEST(CollisionPass, MatchesTheDoubleLoopOverReactingPairsOnRandomScenesWhoseHandlersMoveSprites) {
    struct Case {
        unsigned seeds;
        int blocks;
        int pile;
    } cases[] = {{40, 0, 0}, {2, 100000, 0}, {2, 0, 400}};
    for (const Case& c : cases) {
        for (unsigned seed = 1; seed <= c.seeds; ++seed) {
            const bool groups = seed % 2 == 1 || c.blocks > 0;  // without groups every pair can react
            Events fast, reference;
            CSpriteManager fastManager, referenceManager;
            BuildScene(fastManager, seed, c.blocks, groups, fast, c.pile);
            BuildScene(referenceManager, seed, c.blocks, groups, reference, c.pile);
            for (int pass = 0; pass < 3; ++pass) {
                fastManager.x = referenceManager.x = pass * 0.7;  // the camera moves nothing in the level
                fastManager.CheckCollisions();
                ReferencePass(referenceManager.activeSprites);
            }
            ASSERT_FALSE(reference.empty());
            if (c.pile > 0) {
                ASSERT_LT(fastManager.activeSprites[120 + static_cast<std::size_t>(c.blocks)]->y, 9000.0 - c.pile)
                    << "the pile pushed the climber up once per block";
            }
            ASSERT_EQ(fast, reference) << "seed " << seed << ", blocks " << c.blocks;
            for (std::size_t k = 0; k < fastManager.activeSprites.size(); ++k) {
                ASSERT_EQ(fastManager.activeSprites[k]->x, referenceManager.activeSprites[k]->x);
                ASSERT_EQ(fastManager.activeSprites[k]->y, referenceManager.activeSprites[k]->y);
            }
        }
    }
}

TEST_F(SpriteManagerTest, FindsTheNearestSpriteAtAWorldPointBehindTheCamera) {
    CRecorder* back = Add(1, 10);
    CRecorder* front = Add(2, 15);
    Add(3, 15)->z = front->z = 0.2;
    back->z = 0.5;
    manager.x = -100;
    manager.y = 50;
    SpriteQuad corners;
    EXPECT_EQ(back->GetCorners(corners)->p3.x, -90);
    EXPECT_EQ(corners.p3.y, 50);
    EXPECT_EQ(manager.GetSpriteAt(-83, 55), back);
    EXPECT_EQ(manager.GetSpritesAt(-83, 55).size(), 3u);
    EXPECT_EQ(manager.GetSpriteAt(-75, 60), front);  // on the edge of both twins
    EXPECT_EQ(manager.GetSpriteAt(-74, 55), nullptr);
    // A turned sprite is hit inside its shape only, not inside its bounding box.
    CRecorder* diamond = Add(4, 200, 20);
    diamond->SetSize(20, 20);
    diamond->SetRotation(45);
    EXPECT_EQ(manager.GetSpriteAt(110, 64), diamond);
    EXPECT_EQ(manager.GetSpriteAt(102, 52), nullptr);
}

TEST(SpriteManager, DestroysSpritesFrontFirst) {
    Events events;
    {
        CSpriteManager manager;
        manager.AddSprite(new CRecorder(1, events));
        manager.AddSprite(new CRecorder(2, events));
    }
    EXPECT_EQ(events, (Events{"~1", "~2"}));
}

TEST_F(SpriteManagerTest, ASceneClearedAndBuiltAgainMeetsOnlyItsNewSprites) {
    // Still scenery and an actor on it; then the scene is replaced: an actor where
    // the old scenery lay meets nothing, one on the new scenery meets it.
    SetGroup(Add(1, 0), COLLISION_SCENERY, COLLISION_NONE);
    SetGroup(Add(2, 5), COLLISION_ACTOR, COLLISION_ALL);
    manager.CheckCollisions();
    manager.RemoveAllSprites();
    SetGroup(Add(3, 400), COLLISION_SCENERY, COLLISION_NONE);
    SetGroup(Add(4, 5), COLLISION_ACTOR, COLLISION_ALL);
    SetGroup(Add(5, 405), COLLISION_ACTOR, COLLISION_ALL);
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"1(2)", "2(1)", "~1", "~2", "3(5)", "5(3)"}));
    EXPECT_EQ(manager.GetSpriteAt(2, 2), nullptr);
}
