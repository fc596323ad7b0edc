#pragma once

#include <string>
#include <vector>

#include "resources/CFont.h"

// What the five level files hold: their block kinds and every key a kind reads,
// with its type as the game reads it, its default and its limits. The blocks'
// readers, the level checker, the map and the Tiled tool all take it from here;
// a new key or kind of block is one edit of LevelDescription.cpp (and of the
// block that reads it, which a test holds against this).

enum class LevelKeyType { Int, Double, Bool, Text };
// When a block reads the key: always, or only with hasTexture=1 / hasCaption=1.
enum class LevelKeyNeed { Always, WithTexture, WithCaption };

struct LevelKey {
    const char* name;
    LevelKeyType type;
    LevelKeyNeed need;
    double defaultNumber; // Int, Double and Bool (0 or 1)
    const char* defaultText; // Text
    // Values outside [lowest, highest] are not used as they stand (the game
    // falls back or cuts them); both infinite when any value goes.
    double lowest, highest;
};

struct LevelBlockKind {
    const std::string* file; // stored name, as config/Paths.h gives it
    const char* layer;       // the file's own name without folder or ".ini"
    const char* noun;        // plural, as messages use it: "platforms"
    std::vector<LevelKey> keys; // in the order the kind reads them
    // The keys of a second position that belongs to the block (a platform's far
    // end, a trap's throw target, a checkpoint's respawn point), or null.
    const char* pointX;
    const char* pointY;
};

// Sections of the level files that are not blocks.
constexpr const char* LEVEL_MAIN_SECTION = "main";     // "count" of each file
constexpr const char* LEVEL_PLAYER_SECTION = "player"; // in the static blocks' file
constexpr const char* LEVEL_SCRIPT_SECTION = "evil";   // of the trap script, ass\ets.1
// The keys of the trap script's lines: l<n> (log level), t<n> (text), w<n>.
constexpr const char* LEVEL_SCRIPT_KEY_LETTERS = "ltw";
// A trap's script is cut to this many lines.
constexpr int LEVEL_SCRIPT_LINE_LIMIT = 10000;
// A caption's font is used from 1 to this size; a size beyond is brought to the nearer end.
constexpr int LEVEL_MAX_FONT_SIZE = MAX_FONT_SIZE;

// In the order the game loads them.
const std::vector<LevelBlockKind>& LevelBlockKinds();
// [main] and [player], in the order they are read.
const std::vector<LevelKey>& LevelMainKeys();
const std::vector<LevelKey>& LevelPlayerKeys();
// The key of that name (ASCII letters compared without regard to case), or null.
const LevelKey* FindLevelKey(const std::vector<LevelKey>& keys, const std::string& name);
// The default of an Int key of `keys` (0 for a name not among them).
int LevelKeyDefaultInt(const char* name, const std::vector<LevelKey>& keys);
// A key of [player] as the game reads it from the static blocks' file.
int ReadLevelPlayerKey(const char* name);
