#pragma once

#include <cstdint>
#include <string>

// Where a fuzz target writes its inputs: a fresh folder (in memory when /dev/shm
// exists), removed when the process exits normally. Images and fonts that a
// fuzzed level names resolve against the working directory, as in the game.
class CFuzzFolder {
public:
    // Makes the folder and makes it the base of relative INI names.
    static void Enter();
    // Replaces `relativeName` in the folder with the bytes; returns its absolute name.
    static std::string Write(const std::string& relativeName, const std::uint8_t* data, std::size_t size);
};
