#include "CFuzzFolder.h"

#include "config/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
fs::path folder;

void RemoveFolder()
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}
} // namespace

void CFuzzFolder::Enter()
{
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
