// The sprite manager's passes, queries and lifetime; no GL needed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "log/Log.h"
#include "sprites/CImageSprite.h"
#include "sprites/CSpriteManager.h"

namespace {

using Events = std::vector<std::string>;

// A 10-pixel-high sprite that records its collisions ("S1(S2)") and its
// destruction ("~S1").
class RecordingSprite : public CImageSprite {
public:
    RecordingSprite(std::string spriteName, Events& eventList, double px, double w = 10)
        : name(std::move(spriteName)), events(eventList) {
        SetPosition(px, 0);
        SetSize(w, 10);
    }
    ~RecordingSprite() override { events.push_back("~" + name); }
    void OnCollision(CSprite* other) override {
        events.push_back(name + "(" + static_cast<RecordingSprite*>(other)->name + ")");
        if (onCollision) {
            onCollision();
        }
    }
    std::string name;
    Events& events;
    std::function<void()> onCollision;
};

class SpriteManagerTest : public ::testing::Test {
protected:
    RecordingSprite* Add(std::string name, double px, double w = 10) {
        auto* s = new RecordingSprite(std::move(name), events, px, w);
        manager.AddSprite(s);
        return s;
    }
    Events events;  // outlives the manager, which destroys the sprites
    CSpriteManager manager;
};

}  // namespace

TEST_F(SpriteManagerTest, ReportsEveryOverlappingPairToBothInInsertionOrder) {
    Add("S1", 0, 30);
    Add("S2", 5);
    Add("S3", 12);
    Add("far", 400);
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"S1(S2)", "S2(S1)", "S1(S3)", "S3(S1)", "S2(S3)", "S3(S2)"}));
}

TEST_F(SpriteManagerTest, LaterPairsOfAPassSeeWhatEarlierHandlersDid) {
    Add("S1", 0);
    RecordingSprite* s2 = Add("S2", 5);
    Add("S3", 12);
    Add("S4", 300);
    // S2 leaves S3 behind and lands on S4 in its first handler.
    s2->onCollision = [s2] { s2->SetPosition(305, 0); };
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"S1(S2)", "S2(S1)", "S2(S4)", "S4(S2)"}));

    // A sprite added by a handler takes part in the same pass.
    events.clear();
    s2->onCollision = [this] {
        if (manager.activeSprites.size() == 4) {
            Add("new", 302);
        }
    };
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"S2(S4)", "S4(S2)", "S2(new)", "new(S2)", "S4(new)", "new(S4)"}));
}

TEST_F(SpriteManagerTest, FindsTheNearestSpriteAtAWorldPointBehindTheCamera) {
    RecordingSprite* back = Add("back", 10);
    RecordingSprite* front = Add("front", 15);
    RecordingSprite* twin = Add("twin", 15);
    EXPECT_EQ(back->parent, &manager);
    back->z = 0.5;
    front->z = twin->z = 0.2;
    manager.x = -100;
    manager.y = 50;
    SpriteQuad corners;
    back->GetCorners(corners);
    EXPECT_EQ(corners.p3.x, -90);
    EXPECT_EQ(corners.p3.y, 50);
    EXPECT_EQ(manager.GetSpriteAt(-83, 55), back);
    EXPECT_EQ(manager.GetSpritesAt(-83, 55).size(), 3u);
    EXPECT_EQ(manager.GetSpriteAt(-75, 60), front);  // on the edge of both twins
    EXPECT_EQ(manager.GetSpriteAt(-74, 55), nullptr);
}

TEST_F(SpriteManagerTest, NullSpriteIsAnEmptySlotThatEveryPassSkips) {
    Add("S1", 0);
    EXPECT_EQ(manager.AddSprite(nullptr), 1);
    Add("S2", 5);
    EXPECT_EQ(manager.activeSprites.size(), 2u);
    manager.Update(0.1);
    manager.CheckCollisions();
    EXPECT_EQ(events, (Events{"S1(S2)", "S2(S1)"}));
}

TEST(SpriteManager, LogsItsLifeAndDestroysSpritesFrontFirst) {
    LogEnable();
    Events events;
    testing::internal::CaptureStdout();
    {
        CSpriteManager manager;
        manager.AddSprite(new RecordingSprite("S1", events, 0));
        manager.AddSprite(new RecordingSprite("S2", events, 0));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "STATUS in class CTextureManager: Instance initialized.\n"
              "STATUS in class CSpriteManager: Instance initialized.\n"
              "STATUS in class CSpriteManager: All Sprites removed.\n"
              "STATUS in class CTextureManager: All textures unloaded.\n"
              "STATUS in class CTextureManager: Instance removed.\n"
              "STATUS in class CSpriteManager: Instance removed.\n");
    EXPECT_EQ(events, (Events{"~S1", "~S2"}));
}
