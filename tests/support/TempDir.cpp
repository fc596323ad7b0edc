#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

CTempDir::CTempDir() {
    // A new folder of a random name: create_directory fails for one that exists.
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
        const std::filesystem::path candidate = base / ("quillfen-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error))
            path = candidate.generic_string();
    }
    if (path.empty())
        throw std::runtime_error("no temporary folder");
}

CTempDir::~CTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string CTempDir::File(const std::string& relativeName) const {
    return path + "/" + relativeName;
}

std::string CTempDir::Write(const std::string& relativeName, const std::string& bytes) const {
    const std::filesystem::path file = File(relativeName);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    return file.string();
}

std::string CTempDir::Read(const std::string& relativeName) const {
    std::ifstream in(File(relativeName), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");  // an empty value removes the variable
#else
    value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

CChangeDirectory::CChangeDirectory(const std::string& directory) {
    std::error_code error;
    previous = std::filesystem::current_path(error).string();
    std::filesystem::current_path(directory, error);
    if (error)
        throw std::runtime_error("chdir failed: " + directory);
}

CChangeDirectory::~CChangeDirectory() {
    std::error_code error;
    if (!previous.empty())
        std::filesystem::current_path(previous, error);
    if (error)
        std::abort();
}
