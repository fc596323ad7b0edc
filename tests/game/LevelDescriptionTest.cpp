#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/blocks/CCheckPointBlock.h"
#include "game/blocks/CEndBlock.h"
#include "game/blocks/CEvilBlock.h"
#include "game/blocks/CGameBlock.h"
#include "game/blocks/CPlatform.h"
#include "game/level/LevelDescription.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> asked;

void Record(const std::string&, const std::string& key, char type, const std::string& defaultText)
{
    asked.push_back(key + " " + type + " " + defaultText);
}

std::string Described(const LevelKey& key)
{
    static const char types[] = {'i', 'd', 'b', 's'};
    const char type = types[static_cast<int>(key.type)];
    std::string byDefault = key.defaultText;
    if (type == 'i') byDefault = std::to_string(static_cast<int>(key.defaultNumber));
    if (type == 'd') byDefault = NumberToString(key.defaultNumber);
    if (type == 'b') byDefault = key.defaultNumber != 0.0 ? "1" : "0";
    return std::string(key.name) + " " + type + " " + byDefault;
}
} // namespace

// Each block kind asks for exactly the keys its description lists, in that
// order, with those types and defaults (a block with texture and caption reads
// them all).
TEST(LevelDescription, EachBlockReadsTheKeysItsDescriptionLists)
{
    CTempDir folder;
    const std::string file =
        folder.Write("level.ini", "[0]\nhasTexture=1\nhasCaption=1\nfontSize=10\n");
    const std::vector<std::unique_ptr<CGameBlock>> blocks = [] {
        std::vector<std::unique_ptr<CGameBlock>> made;
        made.emplace_back(new CGameBlock(nullptr));
        made.emplace_back(new CCheckPointBlock());
        made.emplace_back(new CPlatform());
        made.emplace_back(new CEvilBlock(nullptr, nullptr));
        made.emplace_back(new CEndBlock());
        return made;
    }();
    ASSERT_EQ(blocks.size(), LevelBlockKinds().size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        const LevelBlockKind& kind = LevelBlockKinds()[i];
        std::vector<std::string> described;
        for (const LevelKey& key : kind.keys) described.push_back(Described(key));
        asked.clear();
        IniSetReadObserverForTesting(Record);
        blocks[i]->LoadFromIni(file, "0");
        IniSetReadObserverForTesting(nullptr);
        EXPECT_EQ(asked, described) << kind.layer;
    }
}
