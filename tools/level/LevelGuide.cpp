#include "tools/level/LevelGuide.h"

#include "platform/FilePath.h"
#include "platform/WorkingDirectory.h"

#include <filesystem>

// The build passes the guide's place relative to the tools' folder.
#ifndef QUILLFEN_LEVEL_GUIDE_FROM_GAMES_DIR
#define QUILLFEN_LEVEL_GUIDE_FROM_GAMES_DIR "../share/doc/quillfen-level-tools/levels.md"
#endif

std::string LevelGuidePlace()
{
    std::string folder;
    if (PlatformGetExecutableDirectory(folder)) {
        const std::string installed =
            std::filesystem::path(folder + "/" + QUILLFEN_LEVEL_GUIDE_FROM_GAMES_DIR).lexically_normal().string();
        if (PlatformPathExists(NativePath(installed))) return installed;
    }
    return "docs/levels.md in the source folder";
}
