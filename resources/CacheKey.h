#pragma once

#include <string>

// The key under which the texture and font caches keep a file: the name with
// A to Z lower-cased, whatever the locale; every other byte unchanged.
std::string CacheKey(std::string fileName);
