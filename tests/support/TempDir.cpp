#include "TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

CTempDir::CTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quillfen-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

CTempDir::~CTempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string CTempDir::File(const std::string& relativeName) const
{
    return path + "/" + relativeName;
}

std::string CTempDir::Write(const std::string& relativeName, const std::string& bytes) const
{
    const std::filesystem::path file = File(relativeName);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    return file.string();
}

std::string CTempDir::Read(const std::string& relativeName) const
{
    std::ifstream in(File(relativeName), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

CChangeDirectory::CChangeDirectory(const std::string& directory)
{
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer))
        previous = buffer;
    if (chdir(directory.c_str()) != 0)
        throw std::runtime_error("chdir failed: " + directory);
}

CChangeDirectory::~CChangeDirectory()
{
    if (!previous.empty() && chdir(previous.c_str()) != 0)
        std::abort();
}
