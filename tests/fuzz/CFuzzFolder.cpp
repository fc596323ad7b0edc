#include "CFuzzFolder.h"

#include "config/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
fs::path folder;
}  // namespace

void CFuzzFolder::Enter() {
    std::string name = (fs::is_directory("/dev/shm") ? std::string("/dev/shm") : fs::temp_directory_path().string()) +
                       "/quillfen-fuzz-XXXXXX";
    if (mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot make " + name);
    folder = name;
    std::atexit([] { std::error_code ignored; fs::remove_all(folder, ignored); });
    SetStartupDirectoryForTesting(folder.string() + "/");
}

std::string CFuzzFolder::Write(const std::string& relativeName, const std::uint8_t* data, std::size_t size) {
    const fs::path file = folder / relativeName;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file.string();
}
