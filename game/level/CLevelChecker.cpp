#include "game/level/CLevelChecker.h"

#include <SDL/SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <set>

#include "config/Ini.h"
#include "config/NumberText.h"
#include "config/Paths.h"
#include "game/LevelLoader.h"
#include "game/SoundConfig.h"
#include "game/level/LevelDescription.h"
#include "platform/CIniReader.h"
#include "platform/FilePath.h"
#include "platform/FileRead.h"
#include "resources/ImageDecode.h"

namespace {

enum ValueType { INT, DOUBLE, BOOL, TEXT };
enum Need { ALWAYS, WITH_TEXTURE, WITH_CAPTION };

// The window's limit, as the game applies it; the level's come with its description.
const int MAX_WINDOW_SIDE = 16384;
const int SCRIPT_LINE_LIMIT = LEVEL_SCRIPT_LINE_LIMIT;
const char* const SCRIPT_SECTION = LEVEL_SCRIPT_SECTION;
// Findings of one kind in one section shown one by one; the rest are counted.
const int SHOWN_PER_KIND = 5;

std::string Quote(const std::string& text) { return "'" + text + "'"; }

bool ReadsAsNumber(const std::string& value, ValueType type)
{
    if (type == INT) return !(StringToInt(value, INT_MIN) == INT_MIN && StringToInt(value, INT_MAX) == INT_MAX);
    if (type == DOUBLE) return !std::isnan(StringToDouble(value, std::numeric_limits<double>::quiet_NaN()));
    return true;
}

int EditDistance(const std::string& a, const std::string& b)
{
    std::vector<int> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The block index that section `name` stands for, or -1: the loader asks only
// for the text NumberToString gives ("7", never "07" or "7.0").
long SectionIndex(const std::string& name)
{
    if (name.empty() || name.size() > 9) return -1;
    for (char c : name)
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    const long index = std::stol(name);
    return NumberToString(static_cast<double>(index)) == name ? index : -1;
}

// Latin-1 text as the terminal shows it: UTF-8, control characters as \xHH.
std::string Shown(const std::string& latin1)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0))
            out += std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
        else if (byte < 0x80)
            out += c;
        else
            out += std::string{static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
    }
    return out;
}

std::string CodePoint(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(value));
    return text;
}

std::string Range(long first, long last)
{
    return first == last ? "[" + std::to_string(first) + "] is" : "[" + std::to_string(first) + "] to [" +
                                                                     std::to_string(last) + "] are";
}

} // namespace

struct CLevelChecker::KeyRule {
    const char* name;
    ValueType type;
    Need need;
};

struct CLevelChecker::BlockKind {
    const std::string* file;
    const char* noun; // plural: "read only by platforms"
    std::vector<KeyRule> keys;
};

namespace {

// The level's keys as its description gives them.
std::vector<CLevelChecker::KeyRule> Rules(const std::vector<LevelKey>& keys)
{
    static const ValueType types[] = {INT, DOUBLE, BOOL, TEXT};
    static const Need needs[] = {ALWAYS, WITH_TEXTURE, WITH_CAPTION};
    std::vector<CLevelChecker::KeyRule> rules;
    for (const LevelKey& key : keys)
        rules.push_back({key.name, types[static_cast<int>(key.type)], needs[static_cast<int>(key.need)]});
    return rules;
}

const std::vector<CLevelChecker::KeyRule> PLAYER_KEYS = Rules(LevelPlayerKeys());
const std::vector<CLevelChecker::KeyRule> MAIN_KEYS = Rules(LevelMainKeys());
const std::vector<CLevelChecker::KeyRule> CONFIG_KEYS = {
    {"sizeW", INT, ALWAYS}, {"sizeH", INT, ALWAYS}, {"fullscreen", BOOL, ALWAYS}};
// The controls: keys by name (the game itself tells a name it does not know),
// gamepad buttons by number.
const std::vector<CLevelChecker::KeyRule> KEYS_KEYS = {
    {"left", TEXT, ALWAYS},  {"right", TEXT, ALWAYS}, {"brake", TEXT, ALWAYS},
    {"jump", TEXT, ALWAYS},  {"pause", TEXT, ALWAYS}, {"quit", TEXT, ALWAYS}};
const std::vector<CLevelChecker::KeyRule> GAMEPAD_KEYS = {
    {"brake", INT, ALWAYS}, {"jump", INT, ALWAYS}, {"pause", INT, ALWAYS}, {"quit", INT, ALWAYS}};
const std::vector<CLevelChecker::KeyRule> SOUND_CONFIG_KEYS = {
    {SOUND_VOLUME.name, INT, ALWAYS}, {SOUND_MUSIC.name, INT, ALWAYS}, {SOUND_ENABLED.name, INT, ALWAYS}};

const CLevelChecker::KeyRule* Find(const std::vector<CLevelChecker::KeyRule>& rules, const std::string& key)
{
    const std::string lower = CIniScan::Lower(key);
    for (const CLevelChecker::KeyRule& rule : rules)
        if (CIniScan::Lower(rule.name) == lower) return &rule;
    return nullptr;
}

// The known key a typing slip most likely meant, or "".
std::string Nearest(const std::vector<CLevelChecker::KeyRule>& rules, const std::string& key)
{
    const std::string lower = CIniScan::Lower(key);
    const int allowed = lower.size() < 4 ? 1 : 2;
    std::string best;
    int bestDistance = allowed + 1;
    for (const CLevelChecker::KeyRule& rule : rules) {
        const int distance = EditDistance(lower, CIniScan::Lower(rule.name));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = rule.name;
        }
    }
    return best;
}

} // namespace

const std::vector<CLevelChecker::BlockKind>& CLevelChecker::Kinds()
{
    static const std::vector<BlockKind> kinds = [] {
        std::vector<BlockKind> made;
        for (const LevelBlockKind& kind : LevelBlockKinds()) made.push_back({kind.file, kind.noun, Rules(kind.keys)});
        return made;
    }();
    return kinds;
}

CLevelChecker::CLevelChecker(std::string shownFolder) : shownFolder(std::move(shownFolder)) {}

std::vector<CLevelChecker::Problem> CLevelChecker::Check()
{
    problems.clear();
    alike.clear();
    shownOfKind.clear();
    CheckConfig();
    for (const BlockKind& kind : Kinds()) CheckLevelFile(kind);
    CheckScript();
    for (size_t i = 0; i < problems.size(); ++i)
        if (alike[i] > 0) problems[i].text += " (and " + std::to_string(alike[i]) + " more like it in this section)";
    shownOfKind.clear();
    // Each file's problems in line order; the files stay in reading order.
    std::map<std::string, size_t> fileOrder;
    for (const Problem& problem : problems) fileOrder.emplace(problem.file, fileOrder.size());
    std::stable_sort(problems.begin(), problems.end(), [&fileOrder](const Problem& a, const Problem& b) {
        const size_t fa = fileOrder[a.file], fb = fileOrder[b.file];
        return fa != fb ? fa < fb : a.line < b.line;
    });
    return problems;
}

void CLevelChecker::Report(const std::string& stored, int line, const std::string& text)
{
    std::string shown = stored;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    problems.push_back(Problem{shownFolder + shown, line, text});
    alike.push_back(0);
}

void CLevelChecker::ReportOnce(const std::string& stored, const std::string& section, const char* kind, int line,
                               const std::string& text)
{
    // A few are shown as they come; what follows only counts, on the last shown.
    const std::string key = stored + '\n' + CIniScan::Lower(section) + '\n' + kind;
    auto shown = shownOfKind.find(key);
    if (shown == shownOfKind.end()) shown = shownOfKind.emplace(key, std::make_pair(0, size_t{0})).first;
    if (shown->second.first == SHOWN_PER_KIND) {
        ++alike[shown->second.second];
        return;
    }
    ++shown->second.first;
    shown->second.second = problems.size();
    Report(stored, line, text);
}

bool CLevelChecker::Scan(const std::string& stored, bool required,
                         const std::function<void(const CIniScan::Section&)>& visit)
{
    const std::string full = StartupDirectory() + stored;
    std::string reason;
    if (!CIniReader::CheckFile(full, reason)) {
        Report(stored, 0, "not read: " + reason + "; the game reads it as missing");
        return false;
    }
    const std::string native = NativePath(full);
    if (!PlatformIsRegularFile(native)) {
        if (required) Report(stored, 0, "missing: the game would start an empty level");
        return false;
    }
    if (!CIniScan::Scan(native, reason, wideText, visit)) {
        Report(stored, 0, "not read: " + reason);
        return false;
    }
    return true;
}

bool CLevelChecker::ReportOddLine(const std::string& stored, const CIniScan::Section& section,
                                  const CIniScan::Entry& entry)
{
    if (entry.hasValue && !entry.key.empty()) return false;
    if (entry.key.empty()) {
        ReportOnce(stored, section.name, "no key name", entry.line,
                   "[" + section.name + "] line " + Quote("=" + entry.value) + " has no key name; the game never reads it");
        return true;
    }
    const std::string where = "[" + section.name + "] line " + Quote(entry.key);
    if (entry.key[0] == '[')
        ReportOnce(stored, section.name, "no ']'", entry.line,
                   where + " has no ']': it is no section header, the keys below stay in [" + section.name + "]");
    else
        ReportOnce(stored, section.name, "no '='", entry.line,
                   where + " has no '='; a key of that name reads as its default");
    return true;
}

void CLevelChecker::CheckText(const std::string& stored, const std::string& where, const CIniScan::Entry& entry)
{
    // File names are opened as Latin-1 and, failing that, as UTF-8, on Linux and
    // on Windows alike: only a character that does not survive matters for them.
    const std::string lower = CIniScan::Lower(entry.key);
    const bool fileName = lower == "texture" || lower == "font";
    const std::string& value = entry.value;
    for (size_t pos = 0; pos < value.size();) {
        std::uint32_t codePoint = 0;
        const size_t length = CIniReader::ReadCharacter(value, pos, codePoint);
        const std::string spelled = value.substr(pos, std::max<size_t>(length, 1));
        // With a byte-order mark each character keeps its low byte; without one
        // each byte is a character of its own (Latin-1), as on Windows.
        if (wideText && length > 0 && codePoint > 0xFF) {
            Report(stored, entry.line,
                   where + entry.key + " holds " + CodePoint(codePoint) + " '" + spelled + "', beyond U+00FF: the game " +
                       (fileName ? "reads '" : "shows '") + Shown(CIniReader::Narrow(spelled, true)) + "'");
            return;
        }
        if (!wideText && !fileName && length > 1) {
            Report(stored, entry.line,
                   where + entry.key + " holds UTF-8 '" + spelled +
                       "' in a file without a byte-order mark: the game shows '" + Shown(spelled) +
                       "'; save the file as UTF-16");
            return;
        }
        pos += spelled.size();
    }
}

int CLevelChecker::LineOf(const CIniScan::Section& section, const std::string& key) const
{
    const std::string lower = CIniScan::Lower(key);
    for (const CIniScan::Entry& entry : section.entries)
        if (CIniScan::Lower(entry.key) == lower) return entry.line;
    return section.line;
}

void CLevelChecker::CheckKeys(const std::string& stored, const CIniScan::Section& section,
                              const std::vector<KeyRule>& known, const std::string& what)
{
    for (const CIniScan::Entry& entry : section.entries) {
        if (entry.repeats > 0) {
            const std::string times = entry.repeats == 1 ? "twice" : std::to_string(entry.repeats + 1) + " times";
            ReportOnce(stored, section.name, "repeated key", entry.repeatLine,
                       "[" + section.name + "] key " + Quote(entry.key) + " given " + times + "; the first (line " +
                           std::to_string(entry.line) + ") counts");
        }
        if (ReportOddLine(stored, section, entry)) continue;
        const KeyRule* rule = Find(known, entry.key);
        if (!rule) {
            std::string text = "[" + section.name + "] key " + Quote(entry.key) + " is not read by " + what;
            const std::string nearest = Nearest(known, entry.key);
            if (!nearest.empty()) {
                text += "; did you mean " + Quote(nearest) + "?";
            } else if (std::any_of(Kinds().begin(), Kinds().end(), [&what](const BlockKind& k) { return what == k.noun; })) {
                for (const BlockKind& kind : Kinds())
                    if (Find(kind.keys, entry.key) && what != kind.noun) {
                        text += std::string("; it is read by ") + kind.noun;
                        break;
                    }
            }
            ReportOnce(stored, section.name, "unknown key", entry.line, text);
            continue;
        }
        // The value as the game gets it: the first of the key in the first
        // section of the name, cut as the reader cuts it.
        const std::string value = IniReadString(section.name, entry.key, "", stored);
        if (rule->type == TEXT) CheckText(stored, "[" + section.name + "] ", entry);
        if ((rule->type == INT || rule->type == DOUBLE) && !ReadsAsNumber(value, rule->type)) {
            ReportOnce(stored, section.name, "not a number", entry.line,
                       "[" + section.name + "] " + rule->name + "=" + value +
                           " is not a number; the game reads its default");
        } else if (rule->type == BOOL && value != "1" && value != "0" && !value.empty()) {
            ReportOnce(stored, section.name, "reads as no", entry.line,
                       "[" + section.name + "] " + rule->name + "=" + value + " reads as no; only 1 means yes");
        }
    }
}

void CLevelChecker::CheckConfig()
{
    std::set<std::string> sections;
    Scan(CONFIG_FILE, false, [&](const CIniScan::Section& section) {
        if (!sections.insert(CIniScan::Lower(section.name)).second) {
            ReportOnce(CONFIG_FILE, section.name, "repeated section", section.line,
                       "section [" + section.name + "] given twice; its keys are never read");
        } else if (CIniScan::Lower(section.name) == "keys") {
            CheckKeys(CONFIG_FILE, section, KEYS_KEYS, "the game");
        } else if (CIniScan::Lower(section.name) == "gamepad") {
            CheckKeys(CONFIG_FILE, section, GAMEPAD_KEYS, "the game");
        } else if (CIniScan::Lower(section.name) == SOUND_SECTION) {
            CheckKeys(CONFIG_FILE, section, SOUND_CONFIG_KEYS, "the game");
            for (const SoundConfigKey& key : SOUND_KEYS) {
                const int value = IniReadInt(SOUND_SECTION, key.name, key.defaultValue, CONFIG_FILE);
                if (value < 0 || value > key.highest)
                    Report(CONFIG_FILE, LineOf(section, key.name),
                           std::string("[sound] ") + key.name + "=" + std::to_string(value) +
                               " cannot be used; the game uses " + std::to_string(key.defaultValue));
            }
        } else if (CIniScan::Lower(section.name) != "game") {
            Report(CONFIG_FILE, section.line,
                   "section [" + section.name + "] is never read (the game reads [game], [keys], [gamepad] and [sound])");
        } else {
            CheckKeys(CONFIG_FILE, section, CONFIG_KEYS, "the game");
            for (const char* key : {"sizeW", "sizeH"}) {
                const int size = IniReadInt("game", key, key[4] == 'W' ? 800 : 600, CONFIG_FILE);
                if (size < 1 || size > MAX_WINDOW_SIDE)
                    Report(CONFIG_FILE, LineOf(section, key),
                           std::string("[game] ") + key + "=" + std::to_string(size) +
                               " cannot be used; the game opens 800 x 600");
            }
        }
    });
}

void CLevelChecker::CheckLevelFile(const BlockKind& kind)
{
    const std::string& stored = *kind.file;
    const int count = IniReadInt("main", "count", 0, stored);
    const long blocks = std::min(count, LEVEL_BLOCK_LIMIT);
    int countLine = 1;
    std::set<std::string> seen;
    std::set<long> present;
    const bool isStatic = &kind == &Kinds().front();
    bool anySection = false;
    bool hasMain = false;
    const bool read = Scan(stored, isStatic, [&](const CIniScan::Section& section) {
        const std::string lower = CIniScan::Lower(section.name);
        anySection = true;
        hasMain = hasMain || lower == "main";
        if (!seen.insert(lower).second) {
            ReportOnce(stored, section.name, "repeated section", section.line,
                       "section [" + section.name + "] given twice; the first counts, these keys are never read");
            return;
        }
        const long index = SectionIndex(section.name);
        if (lower == "main") {
            countLine = LineOf(section, "count");
            CheckKeys(stored, section, MAIN_KEYS, "the level loader");
            if (count > LEVEL_BLOCK_LIMIT)
                Report(stored, countLine, "[main] count=" + std::to_string(count) + " is above " +
                                              std::to_string(LEVEL_BLOCK_LIMIT) + "; the game builds only that many");
        } else if (lower == "player" && isStatic) {
            CheckPlayer(stored, section);
        } else if (index >= 0 && index < blocks) {
            present.insert(index);
            CheckBlock(kind, stored, section);
        } else if (index >= 0) {
            Report(stored, section.line,
                   "section [" + section.name + "] is beyond count=" + std::to_string(count) + "; it is never read");
        } else {
            Report(stored, section.line,
                   "section [" + section.name + "] is never read (blocks are named 0 to count-1" +
                       std::string(isStatic ? ", the player [player])" : ")"));
        }
    });
    if (!read) return;
    if (!hasMain && anySection)
        Report(stored, 0, "no [main] section with count; the game builds no block of this file");

    // Missing sections, in runs, so a large count gives a few lines.
    long runStart = -1;
    int runs = 0;
    for (long i = 0; i <= blocks && runs < 20; ++i) {
        const bool missing = i < blocks && !present.count(i);
        if (missing && runStart < 0) runStart = i;
        if (!missing && runStart >= 0) {
            Report(stored, countLine, "section " + Range(runStart, i - 1) +
                                          " missing; the game builds such a block from defaults (at 0,0, nothing drawn)");
            runStart = -1;
            ++runs;
        }
    }
}

void CLevelChecker::CheckPlayer(const std::string& stored, const CIniScan::Section& section)
{
    CheckKeys(stored, section, PLAYER_KEYS, "the player");
    const auto read = ReadLevelPlayerKey;
    playerMinX = read("minX");
    playerMinY = read("minY");
    playerMaxX = read("maxX");
    playerMaxY = read("maxY");
    const int x = read("spawnX");
    const int y = read("spawnY");
    if (x < playerMinX || x > playerMaxX || y < playerMinY || y > playerMaxY)
        Report(stored, LineOf(section, "spawnX"),
               "[player] spawn point " + std::to_string(x) + "," + std::to_string(y) +
                   " is outside the level box (minX..maxX, minY..maxY); the player would respawn forever");
}

void CLevelChecker::CheckBlock(const BlockKind& kind, const std::string& stored, const CIniScan::Section& section)
{
    const std::string& name = section.name;
    CheckKeys(stored, section, kind.keys, kind.noun);
    const bool hasTexture = IniReadBool(name, "hasTexture", false, stored);
    const bool hasCaption = IniReadBool(name, "hasCaption", false, stored);
    std::set<std::string> told;
    for (const CIniScan::Entry& entry : section.entries) {
        const KeyRule* rule = Find(kind.keys, entry.key);
        if (!rule || !told.insert(CIniScan::Lower(entry.key)).second) continue;
        if (rule->need == WITH_TEXTURE && !hasTexture)
            ReportOnce(stored, name, "needs texture", entry.line,
                       "[" + name + "] " + rule->name + " is read only with hasTexture=1; it is ignored");
        if (rule->need == WITH_CAPTION && !hasCaption)
            ReportOnce(stored, name, "needs caption", entry.line,
                       "[" + name + "] " + rule->name + " is read only with hasCaption=1; it is ignored");
    }
    if (hasTexture) {
        const std::string texture = IniReadString(name, "texture", "", stored);
        if (texture.empty())
            Report(stored, LineOf(section, "hasTexture"), "[" + name + "] hasTexture=1 but no texture is named");
        else
            CheckImage(stored, LineOf(section, "texture"), "[" + name + "] ", texture);
    }
    if (hasCaption) {
        const int size = IniReadInt(name, "fontSize", 1, stored);
        const int used = std::min(std::max(size, 1), LEVEL_MAX_FONT_SIZE);
        if (used != size)
            Report(stored, LineOf(section, "fontSize"),
                   "[" + name + "] fontSize=" + std::to_string(size) + " cannot be used; the game uses " +
                       std::to_string(used));
        CheckFont(stored, LineOf(section, "font"), "[" + name + "] ", IniReadString(name, "font", "", stored), used);
    }
    if (*kind.file == LEVEL_CHECK_FILE) {
        const int x = IniReadInt(name, "spawnX", 0, stored);
        const int y = IniReadInt(name, "spawnY", 0, stored);
        if (x < playerMinX || x > playerMaxX || y < playerMinY || y > playerMaxY)
            Report(stored, LineOf(section, "spawnX"),
                   "[" + name + "] respawn point " + std::to_string(x) + "," + std::to_string(y) +
                       " is outside the level box; the player would respawn forever");
    }
    if (*kind.file == LEVEL_PLATFORM_FILE) {
        const double speed = IniReadDouble(name, "speed", 0.0, stored);
        const int startX = static_cast<int>(std::max(-2e9, std::min(2e9, IniReadDouble(name, "X", 0.0, stored))));
        const int startY = static_cast<int>(std::max(-2e9, std::min(2e9, IniReadDouble(name, "Y", 0.0, stored))));
        const int endX = IniReadInt(name, "X2", 0, stored);
        const int endY = IniReadInt(name, "Y2", 0, stored);
        if (!(speed > 0.0))
            Report(stored, LineOf(section, "speed"), "[" + name + "] platform never moves: its speed is not above 0");
        else if (startX == endX && startY == endY)
            Report(stored, LineOf(section, "X2"), "[" + name + "] platform never moves: X2,Y2 is its own place");
    }
    if (*kind.file == ASSETS_FILE_0) {
        const int lines = IniReadInt(name, "lines", 0, stored);
        if (lines < 0 || lines > SCRIPT_LINE_LIMIT)
            Report(stored, LineOf(section, "lines"),
                   "[" + name + "] lines=" + std::to_string(lines) + " cannot be used; the game uses " +
                       std::to_string(lines < 0 ? 0 : SCRIPT_LINE_LIMIT));
        const int used = std::max(0, std::min(lines, SCRIPT_LINE_LIMIT));
        longestScript = std::max(longestScript, used);
        if (used > 0) ++scriptBlocks;
    }
}

void CLevelChecker::CheckScript()
{
    std::set<std::string> seen;
    const bool read = Scan(ASSETS_FILE_1, false, [&](const CIniScan::Section& section) {
        if (!seen.insert(CIniScan::Lower(section.name)).second) {
            ReportOnce(ASSETS_FILE_1, section.name, "repeated section", section.line,
                       "section [" + section.name + "] given twice; its keys are never read");
            return;
        }
        if (CIniScan::Lower(section.name) != SCRIPT_SECTION) {
            Report(ASSETS_FILE_1, section.line, "section [" + section.name + "] is never read (the script is [evil])");
            return;
        }
        for (const CIniScan::Entry& entry : section.entries) {
            const std::string lower = CIniScan::Lower(entry.key);
            const char kind = lower[0];
            const long index = lower.size() > 1 && (kind == 'l' || kind == 't' || kind == 'w')
                                   ? SectionIndex(lower.substr(1))
                                   : -1;
            const std::string where = "[evil] ";
            if (entry.repeats > 0) {
                const std::string times = entry.repeats == 1 ? "twice" : std::to_string(entry.repeats + 1) + " times";
                ReportOnce(ASSETS_FILE_1, section.name, "repeated key", entry.repeatLine,
                           where + "key " + Quote(entry.key) + " given " + times + "; the first counts");
            }
            if (ReportOddLine(ASSETS_FILE_1, section, entry)) {
            } else if (index < 0) {
                ReportOnce(ASSETS_FILE_1, section.name, "unknown key", entry.line,
                           where + "key " + Quote(entry.key) + " is not read by the script (l<n>, t<n>, w<n>)");
            } else if (index >= longestScript) {
                ReportOnce(ASSETS_FILE_1, section.name, "beyond lines", entry.line,
                           where + entry.key + " is script line " + std::to_string(index) + ", beyond lines=" +
                               std::to_string(longestScript) + " of every evil block; it is never written");
            } else if (kind != 't' && !ReadsAsNumber(IniReadString(SCRIPT_SECTION, entry.key, "", ASSETS_FILE_1), INT)) {
                ReportOnce(ASSETS_FILE_1, section.name, "not a number", entry.line,
                           where + entry.key + "=" + entry.value + " is not a number; the game reads its default");
            } else if (kind == 't') {
                CheckText(ASSETS_FILE_1, where, entry);
            }
        }
    });
    if (!read) {
        if (scriptBlocks > 0 && !PlatformIsRegularFile(NativePath(StartupDirectory() + ASSETS_FILE_1)))
            Report(ASSETS_FILE_1, 0, "missing: the evil blocks' script lines are written empty");
    }
}

void CLevelChecker::CheckImage(const std::string& stored, int line, const std::string& where, const std::string& name)
{
    const std::string file = FileKey(name);
    auto cached = imageRefusals.find(file);
    if (cached == imageRefusals.end()) {
        std::string bytes, reason;
        if (PlatformReadFile(NativePath(MakeAbsolutePath(name)), bytes, reason)) {
            if (SDL_Surface* image = ImageDecode(bytes, reason)) {
                if (image->format->BytesPerPixel != 3 && image->format->BytesPerPixel != 4)
                    reason = "not a true-colour image (24 or 32 bits), so it is never drawn";
                SDL_FreeSurface(image);
            }
        }
        cached = imageRefusals.emplace(file, reason).first;
    }
    if (!cached->second.empty())
        Report(stored, line, where + "image " + Quote(name) + " cannot be loaded: " + cached->second);
}

void CLevelChecker::CheckFont(const std::string& stored, int line, const std::string& where, const std::string& name,
                              int size)
{
    if (name.empty()) {
        Report(stored, line, where + "hasCaption=1 but no font is named; the caption is not drawn");
        return;
    }
    // Every font file is opened once, at the first size asked for: SDL_ttf
    // refuses a file for what it holds, not for a size the game can use.
    const std::string file = FileKey(name);
    auto cached = fontRefusals.find(file);
    if (cached == fontRefusals.end()) {
        std::string bytes, reason;
        if (PlatformReadFile(NativePath(MakeAbsolutePath(name)), bytes, reason)) {
            SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
            TTF_Font* font = source ? TTF_OpenFontRW(source, 1, size) : nullptr;
            if (font)
                TTF_CloseFont(font);
            else
                reason = SDL_GetError();
        }
        cached = fontRefusals.emplace(file, reason).first;
    }
    if (!cached->second.empty())
        Report(stored, line, where + "font " + Quote(name) + " cannot be loaded: " + cached->second);
}

std::string CLevelChecker::FileKey(const std::string& name)
{
    const std::string real = PlatformRealPath(NativePath(MakeAbsolutePath(name)));
    return real.empty() ? "?" + CIniScan::Lower(name) : real;
}
