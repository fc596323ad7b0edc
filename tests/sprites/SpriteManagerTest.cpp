// The sprite manager's passes, queries and lifetime; no GL needed. The collision
// pass must make the same handler calls, in order, as the plain double loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "log/Log.h"
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

void SetGroup(CSprite* s, std::uint32_t category, std::uint32_t mask) { s->SetCollisionGroups(category, mask); }

// A random scene: `blocks` still blocks in rows among sprites of every group, some
// still, some turned or without area, whose contacts move themselves or a third
// (moving) sprite; apart, a pile of `pile` still blocks rising a pixel each
// pushes an actor up.
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
            s->MarkAsScenery();
            continue;
        }
        const int k = roll(random);
        s->SetSize(k == 2 ? 0 : size(random), size(random));
        if (k < 2)
            s->SetRotation(position(random));
        s->SetPosition(position(random), position(random));
        const int group = groups ? roll(random) : 9;
        if (group < 8) {
            SetGroup(s, group < 2 ? COLLISION_SCENERY : group < 7 ? COLLISION_TRIGGER : COLLISION_ACTOR,
                     group < 2 ? COLLISION_NONE : group < 7 ? COLLISION_ACTOR : COLLISION_ALL);
        }
        s->SetStill(group < 3);  // never moved: only those of group 4 and above are
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
        block->MarkAsScenery();
        manager.AddSprite(block);
    }
}

// Every pair that can react, in order, each judged with the positions of its
// turn, but for pairs of two still sprites.
void ReferencePass(std::vector<CSprite*>& sprites) {
    std::vector<std::size_t> others;
    for (std::size_t j = 0; j < sprites.size(); ++j) {
        if (!sprites[j]->IsStill())
            others.push_back(j);
    }
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const bool still = sprites[i]->IsStill();
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
    Add(2, 0)->SetNeedsUpdate(false);
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
    Add(1, 0)->MarkAsScenery();
    SetGroup(Add(2, 5), COLLISION_ACTOR, COLLISION_ALL);
    manager.CheckCollisions();
    manager.RemoveAllSprites();
    Add(3, 400)->MarkAsScenery();
    SetGroup(Add(4, 5), COLLISION_ACTOR, COLLISION_ALL);
    SetGroup(Add(5, 405), COLLISION_ACTOR, COLLISION_ALL);
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"1(2)", "2(1)", "~1", "~2", "3(5)", "5(3)"}));
    EXPECT_EQ(manager.GetSpriteAt(2, 2), nullptr);
}

// Sprites 1 (0 to 30), 2 (5 to 15) and 3 (12 to 22) test against everything; 4
// (25 to 35) is still scenery. A frame is an update and a collision pass.
struct Frames {
    Frames() {
        for (int id = 1; id <= 4; ++id) {
            sprites[id] = new CRecorder(id, events, id == 1 ? 0 : id == 2 ? 5 : id == 3 ? 12 : 25, id == 1 ? 30 : 10);
            manager.AddSprite(sprites[id]);
        }
        sprites[4]->MarkAsScenery();
    }
    void Run(int frames) {
        for (int i = 0; i < frames; ++i) {
            manager.Update(0.1);
            manager.CheckCollisions();
        }
    }
    // Removes sprite `id` once.
    void Remove(int id) {
        if (sprites[id] != nullptr) {
            manager.RemoveSprite(sprites[id]);
            sprites[id] = nullptr;
        }
    }
    Events events;
    CSpriteManager manager;
    CRecorder* sprites[6] = {};  // by id; null once removed
};

TEST(SpriteManagerChanges, TakeEffectAtTheNextPass) {
    const Events before = {"u1", "u2", "u3", "1(2)", "2(1)", "1(3)", "3(1)", "1(4)", "4(1)", "2(3)", "3(2)"};
    struct Case {
        const char* name;
        std::function<void(Frames&)> change;
        Events after;
    } cases[] = {
        {"no update", [](Frames& f) { f.sprites[1]->SetNeedsUpdate(false); },
         {"u2", "u3", "1(2)", "2(1)", "1(3)", "3(1)", "1(4)", "4(1)", "2(3)", "3(2)"}},
        {"updated scenery", [](Frames& f) { f.sprites[4]->SetNeedsUpdate(true); },
         {"u1", "u2", "u3", "u4", "1(2)", "2(1)", "1(3)", "3(1)", "1(4)", "4(1)", "2(3)", "3(2)"}},
        // 1 reacts to scenery only, 2 to triggers only, and 4 is scenery no more.
        {"groups", [](Frames& f) {
             f.sprites[1]->SetCollisionGroups(COLLISION_ACTOR, COLLISION_SCENERY);
             f.sprites[2]->SetCollisionGroups(COLLISION_TRIGGER, COLLISION_TRIGGER);
             f.sprites[4]->SetCollisionGroups(COLLISION_USER, COLLISION_NONE);
         },
         {"u1", "u2", "u3", "1(3)", "3(1)", "2(3)", "3(2)"}},
        // Still, 2 and 3 meet no more; moving again, 4 meets 3 where it now is.
        {"still and moving", [](Frames& f) {
             f.sprites[2]->SetStill(true);
             f.sprites[3]->SetStill(true);
             f.sprites[4]->SetStill(false);
             f.sprites[4]->Move(-4, 0);
         },
         {"u1", "u2", "u3", "1(2)", "2(1)", "1(3)", "3(1)", "1(4)", "4(1)", "3(4)", "4(3)"}},
        {"still moved on purpose", [](Frames& f) {
             f.sprites[4]->Move(100, 0);
             f.sprites[1]->Move(100, 0);
             f.manager.Refile(f.sprites[4]);
         },
         {"u1", "u2", "u3", "1(4)", "4(1)", "2(3)", "3(2)"}},
    };
    for (const Case& c : cases) {
        Frames f;
        f.Run(1);
        ASSERT_EQ(f.events, before);
        f.events.clear();
        c.change(f);
        f.Run(1);
        EXPECT_EQ(f.events, c.after) << c.name;
    }
}

TEST(SpriteManagerChanges, AStillSpriteFoundMovedIsNamedOnceAndFiledWhereItIs) {
    LogEnable();
    Frames f;
    f.Run(1);
    f.events.clear();
    testing::internal::CaptureStdout();
    f.sprites[4]->SetPosition(200, 0);  // 1 still meets where it was filed
    f.Run(1);
    f.sprites[4]->SetPosition(300, 0);
    f.sprites[1]->SetPosition(200, 0);
    f.Run(1);
    f.sprites[1]->SetPosition(300, 0);
    f.Run(1);
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string line = "CRecorder at 200, 0 has moved since it was filed";
    EXPECT_NE(log.find("ERROR in class CSpriteManager: Still sprite class "), std::string::npos) << log;
    EXPECT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find("Still sprite", log.find(line)), std::string::npos) << "once: " << log;
    EXPECT_EQ(f.events, (Events{"u1", "u2", "u3", "1(2)", "2(1)", "1(3)", "3(1)", "2(3)", "3(2)",  // 4 moved away
                                "u1", "u2", "u3", "2(3)", "3(2)",                                 // and again
                                "u1", "u2", "u3", "1(4)", "4(1)", "2(3)", "3(2)"}));
}

TEST(SpriteManagerRemoval, DestroysAtTheEndOfThePassAndKeepsTheOthersInOrder) {
    // Two frames each; what the hooks remove is removed once.
    struct Case {
        const char* name;
        std::function<void(Frames&)> setUp;
        Events events;
    } cases[] = {
        {"during an update", [](Frames& f) { f.sprites[1]->onUpdate = [&f] { f.Remove(2); }; },
         {"u1", "u3", "~2", "1(3)", "3(1)", "1(4)", "4(1)", "u1", "u3", "1(3)", "3(1)", "1(4)", "4(1)"}},
        {"by a handler of its own pair",
         [](Frames& f) {
             f.sprites[1]->onCollision = [&f](int other) {
                 if (other == 2) f.Remove(2);
             };
         },
         {"u1", "u2", "u3", "1(2)", "1(3)", "3(1)", "1(4)", "4(1)", "~2", "u1", "u3", "1(3)", "3(1)", "1(4)", "4(1)"}},
        {"by a handler of an earlier pair, still scenery too",
         [](Frames& f) {
             f.sprites[1]->onCollision = [&f](int) {
                 f.Remove(3);
                 f.Remove(4);
             };
         },
         {"u1", "u2", "u3", "1(2)", "2(1)", "~3", "~4", "u1", "u2", "1(2)", "2(1)"}},
        {"between frames, then one added",
         [](Frames& f) {
             f.Remove(4);
             f.Remove(2);
             {
                 CRecorder stranger(9, f.events);
                 EXPECT_FALSE(f.manager.RemoveSprite(&stranger));
             }
             f.sprites[5] = new CRecorder(5, f.events, 20);
             EXPECT_EQ(f.manager.AddSprite(f.sprites[5]), 4);
             EXPECT_EQ(f.manager.slots[1], nullptr);
         },
         {"~4", "~2", "~9", "u1", "u3", "u5", "1(3)", "3(1)", "1(5)", "5(1)", "3(5)", "5(3)", "u1", "u3", "u5",
          "1(3)", "3(1)", "1(5)", "5(1)", "3(5)", "5(3)"}},
    };
    for (const Case& c : cases) {
        Frames f;
        c.setUp(f);
        f.Run(2);
        EXPECT_EQ(f.events, c.events) << c.name;
        std::vector<CSprite*> left;
        std::copy_if(std::begin(f.sprites), std::end(f.sprites), std::back_inserter(left),
                     [](CSprite* s) { return s != nullptr; });
        EXPECT_EQ(f.manager.activeSprites, left) << c.name;
        EXPECT_EQ(f.manager.GetSpritesAt(8, 5).size(), f.sprites[2] != nullptr ? 2u : 1u) << c.name;
    }
}
