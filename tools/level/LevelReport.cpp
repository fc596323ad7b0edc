#include "tools/level/LevelReport.h"

#include <cstdio>

#include "game/level/CLevelChecker.h"

bool PrintLevelProblems(const std::string& folder)
{
    const std::string shown = folder == "." ? "" : (folder.back() == '/' ? folder : folder + "/");
    const auto problems = CLevelChecker(shown).Check();
    for (const CLevelChecker::Problem& problem : problems) {
        if (problem.line > 0)
            std::printf("%s:%d: %s\n", problem.file.c_str(), problem.line, problem.text.c_str());
        else
            std::printf("%s: %s\n", problem.file.c_str(), problem.text.c_str());
    }
    if (problems.empty())
        std::printf("%s: the level has no problems the checker knows of.\n", folder.c_str());
    return problems.empty();
}
