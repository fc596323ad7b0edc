#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The working directory of one fuzz target: a fresh folder (in memory when
// /dev/shm exists) that links the shipped fonts and images, so that names taken
// from a fuzzed level reach real files. Removed when the process exits normally.
class CFuzzFolder
{
public:
    // Makes the folder, enters it and makes it the base of relative INI names.
    // Relative file names among libFuzzer's arguments are made absolute first,
    // so that they still mean what they meant where the target was started.
    static void Enter(int* argc, char*** argv);
    // Replaces `relativeName` in the folder with the bytes; returns its absolute name.
    static std::string Write(const std::string& relativeName, const std::uint8_t* data, std::size_t size);
};
