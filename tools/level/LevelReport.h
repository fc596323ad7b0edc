#pragma once

#include <string>

// Checks the level of the start-up directory and prints every problem as
// FOLDER/FILE:LINE: MESSAGE, or that there is none. `folder` is the name the
// user gave. True when the level is clean. Needs TTF_Init for the font checks.
bool PrintLevelProblems(const std::string& folder);
