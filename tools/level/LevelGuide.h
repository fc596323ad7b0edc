#pragma once

#include <string>

// Where a level designer finds the guide to the level files: the installed copy
// beside an installed tool (found from the tool's own folder, so that a staged
// prefix works too), or docs/levels.md of the source folder for a built tool.
std::string LevelGuidePlace();
