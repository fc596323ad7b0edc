#pragma once

#include <string>

// A fresh folder under the system's temporary directory, removed with everything in it.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return path; }
    // Absolute name of a file inside the folder ('/' separators).
    std::string File(const std::string& relativeName) const;
    // Writes the bytes to the file, creating sub-folders; returns the absolute name.
    std::string Write(const std::string& relativeName, const std::string& bytes) const;
    // The whole content of a file inside the folder ("" when missing).
    std::string Read(const std::string& relativeName) const;

private:
    std::string path;
};

// Sets the environment variable `name` to `value`, or removes it when `value` is null.
void SetEnvironment(const char* name, const char* value);

// Changes the working directory for its lifetime.
class CChangeDirectory {
public:
    explicit CChangeDirectory(const std::string& directory);
    ~CChangeDirectory();
    CChangeDirectory(const CChangeDirectory&) = delete;
    CChangeDirectory& operator=(const CChangeDirectory&) = delete;

private:
    std::string previous;
};
