#include "CFuzzFolder.h"

#include "config/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace
{
fs::path folder;

void RemoveFolder()
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

// Inputs, corpus folders and the paths of -dict, -artifact_prefix and
// -exact_artifact_path.
void MakeArgumentsAbsolute(int argc, char** argv)
{
    static std::vector<std::string> kept;
    kept.reserve(static_cast<std::size_t>(argc));
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        std::size_t start = 0;
        if (argument[0] == '-')
        {
            const std::string flag = argument.substr(0, equals);
            if (flag != "-dict" && flag != "-artifact_prefix" && flag != "-exact_artifact_path")
                continue;
            start = equals + 1;
        }
        if (start >= argument.size() || argument[start] == '/')
            continue;
        kept.push_back(argument.substr(0, start) + (fs::current_path() / argument.substr(start)).string());
        argv[i] = kept.back().data();
    }
}
} // namespace

void CFuzzFolder::Enter(int* argc, char*** argv)
{
    MakeArgumentsAbsolute(*argc, *argv);
    std::string pattern = (fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string()) +
                          "/quillfen-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::perror("quillfen fuzz: mkdtemp");
        std::exit(1);
    }
    folder = pattern;
    std::atexit(RemoveFolder);
    for (const char* shipped : {"fnt", "gfx"})
        fs::create_directory_symlink(fs::path(QUILLFEN_DATA_DIR) / shipped, folder / shipped);
    fs::create_directories(folder / "ass");
    fs::create_directories(folder / "lvl");
    fs::current_path(folder);
    SetStartupDirectoryForTesting(folder.string() + "/");
}

std::string CFuzzFolder::Write(const std::string& relativeName, const std::uint8_t* data, std::size_t size)
{
    const fs::path file = folder / relativeName;
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    return file.string();
}
