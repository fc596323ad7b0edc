#include "game/level/LevelDescription.h"

#include <limits>

#include "config/Ini.h"
#include "config/Paths.h"
#include "game/LevelLoader.h"

namespace {

const double ANY = std::numeric_limits<double>::infinity();
using T = LevelKeyType;
using N = LevelKeyNeed;

LevelKey Int(const char* name, int byDefault, N need = N::Always, double lowest = -ANY, double highest = ANY)
{
    return {name, T::Int, need, static_cast<double>(byDefault), "", lowest, highest};
}
LevelKey Double(const char* name, double byDefault, N need = N::Always, double lowest = -ANY, double highest = ANY)
{
    return {name, T::Double, need, byDefault, "", lowest, highest};
}
LevelKey Bool(const char* name) { return {name, T::Bool, N::Always, 0.0, "", 0.0, 1.0}; }
LevelKey Text(const char* name, N need = N::Always) { return {name, T::Text, need, 0.0, "", -ANY, ANY}; }

// Every block reads these first, in this order (CGameBlock::LoadFromIni); a Z
// outside -1..1 would clip the block away, so the game keeps 0 then.
std::vector<LevelKey> BlockKeys(std::vector<LevelKey> own)
{
    std::vector<LevelKey> keys = {
        Double("X", 0.0), Double("Y", 0.0), Double("Z", 0.0, N::Always, -1.0, 1.0), Bool("hasTexture"),
        Text("texture", N::WithTexture), Bool("hasCaption"),
        Int("fontSize", 1, N::WithCaption, 1, LEVEL_MAX_FONT_SIZE), Text("font", N::WithCaption),
        Int("fontB", 0, N::WithCaption), Int("fontG", 0, N::WithCaption), Int("fontR", 0, N::WithCaption),
        Text("caption", N::WithCaption), Int("textH", -1, N::WithCaption), Int("textW", -1, N::WithCaption),
        Int("textY", 0, N::WithCaption), Int("textX", 0, N::WithCaption), Double("width", -1.0, N::WithCaption),
        Double("height", -1.0, N::WithCaption), Int("alignH", 0, N::WithCaption), Int("alignV", 0, N::WithCaption),
    };
    keys.insert(keys.end(), own.begin(), own.end());
    return keys;
}

bool SameLetters(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

} // namespace

const std::vector<LevelBlockKind>& LevelBlockKinds()
{
    static const std::vector<LevelBlockKind> kinds = {
        {&LEVEL_STATIC_FILE, "level_static", "static blocks", BlockKeys({}), nullptr, nullptr},
        {&LEVEL_CHECK_FILE, "level_check", "checkpoints",
         BlockKeys({Int("spawnZ", 0), Int("spawnY", 0), Int("spawnX", 0)}), "spawnX", "spawnY"},
        {&LEVEL_PLATFORM_FILE, "level_platform", "platforms",
         BlockKeys({Int("X2", 0), Int("Y2", 0), Double("speed", 0.0)}), "X2", "Y2"},
        {&ASSETS_FILE_0, "ets.0", "evil blocks",
         BlockKeys({Int("X2", 0), Int("Y2", 0), Int("lines", 0, N::Always, 0, LEVEL_SCRIPT_LINE_LIMIT),
                    Int("switch", 0), Int("start", 0)}),
         "X2", "Y2"},
        {&LEVEL_FINISH_FILE, "level_finish", "end blocks", BlockKeys({Text("text")}), nullptr, nullptr},
    };
    return kinds;
}

const std::vector<LevelKey>& LevelMainKeys()
{
    static const std::vector<LevelKey> keys = {Int("count", 0, N::Always, 0, LEVEL_BLOCK_LIMIT)};
    return keys;
}

const std::vector<LevelKey>& LevelPlayerKeys()
{
    static const std::vector<LevelKey> keys = {
        Int("spawnZ", 0), Int("spawnY", 0), Int("spawnX", 0), Int("minY", -1000000),
        Int("minX", -1000000), Int("maxY", 1000000), Int("maxX", 1000000),
    };
    return keys;
}

const LevelKey* FindLevelKey(const std::vector<LevelKey>& keys, const std::string& name)
{
    for (const LevelKey& key : keys)
        if (SameLetters(name, key.name)) return &key;
    return nullptr;
}

int LevelKeyDefaultInt(const char* name, const std::vector<LevelKey>& keys)
{
    const LevelKey* key = FindLevelKey(keys, name);
    return key ? static_cast<int>(key->defaultNumber) : 0;
}

int ReadLevelPlayerKey(const char* name)
{
    return IniReadInt(LEVEL_PLAYER_SECTION, name, LevelKeyDefaultInt(name, LevelPlayerKeys()), LEVEL_STATIC_FILE);
}
