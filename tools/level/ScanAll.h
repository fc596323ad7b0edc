#pragma once

#include <string>
#include <vector>

#include "game/level/CIniScan.h"

// Every section of the file `stored` (a stored name of the start-up directory)
// at once, as the Tiled tool needs them. False, with the reason, when the file
// cannot be read ("no such file" when it is missing).
bool ScanAll(const std::string& stored, std::vector<CIniScan::Section>& sections, bool& wide, std::string& reason);
