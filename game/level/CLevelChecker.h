#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/level/CIniScan.h"

// Reads a level the way the game reads it (the same INI reader, getters and
// file resolution) and lists what is likely a mistake: the things the game
// passes over in silence by falling back to a default.
class CLevelChecker {
public:
    struct Problem {
        std::string file; // as shown to the user
        int line = 0;     // 0: the file as a whole
        std::string text;
    };
    // One key a reader asks for: its name, type and when it is read.
    struct KeyRule;

    // `shownFolder` is put in front of every file name in the problems (empty
    // for the working directory). Checks the level of the start-up directory.
    explicit CLevelChecker(std::string shownFolder);

    std::vector<Problem> Check();

private:
    struct BlockKind;
    static const std::vector<BlockKind>& Kinds();

    void CheckConfig();
    void CheckLevelFile(const BlockKind& kind);
    void CheckScript();
    void CheckPlayer(const std::string& stored, const CIniScan::Section& section);
    void CheckBlock(const BlockKind& kind, const std::string& stored, const CIniScan::Section& section);
    // Repeated and unknown keys and values that do not read as their type;
    // `known` are the keys this section's reader asks for.
    void CheckKeys(const std::string& stored, const CIniScan::Section& section, const std::vector<KeyRule>& known,
                   const std::string& what);
    // Hands the file's sections to `visit` one at a time. False when the file is
    // refused or absent (then reported if `required`).
    bool Scan(const std::string& stored, bool required, const std::function<void(const CIniScan::Section&)>& visit);
    void CheckImage(const std::string& stored, int line, const std::string& where, const std::string& name);
    void CheckFont(const std::string& stored, int line, const std::string& where, const std::string& name,
                   int size);
    // A line without '=' or without a key name: reported, true. False otherwise.
    bool ReportOddLine(const std::string& stored, const CIniScan::Section& section, const CIniScan::Entry& entry);
    // Characters of a text value that the game shows otherwise than the file spells them.
    void CheckText(const std::string& stored, const std::string& where, const CIniScan::Entry& entry);
    int LineOf(const CIniScan::Section& section, const std::string& key) const;
    void Report(const std::string& stored, int line, const std::string& text);
    // Reports the first few findings of `kind` in a section of a file; later ones
    // of the same kind there only count, and the last shown says how many followed.
    void ReportOnce(const std::string& stored, const std::string& section, const char* kind, int line,
                    const std::string& text);
    // The file a stored name reaches, so that each is examined once whatever
    // its spelling; the lower-cased name when it reaches none.
    static std::string FileKey(const std::string& name);

    std::string shownFolder;
    std::vector<Problem> problems;
    std::vector<long> alike;                     // per problem: later findings of its kind in its section
    // file, section and kind -> findings shown, and the last of them
    std::map<std::string, std::pair<int, size_t>> shownOfKind;
    bool wideText = false; // the file scanned last has a byte-order mark
    std::map<std::string, std::string> imageRefusals; // by FileKey: "" when usable
    std::map<std::string, std::string> fontRefusals;  // by FileKey: "" when usable
    int playerMinX = -1000000, playerMinY = -1000000, playerMaxX = 1000000, playerMaxY = 1000000;
    int longestScript = 0; // the largest "lines" of any evil block
    int scriptBlocks = 0;  // evil blocks that write a script
};
