#pragma once
// Starts the level tools as a designer does, through the shell.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

struct ToolRun {
    int status = -1;
    std::string output;
};

// This test program lives in the build folder's tests/, the tools in tools/.
inline std::string Tool(const char* name)
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" / name).string();
}

// Runs the command with its error output joined to its output.
inline ToolRun Start(const std::string& command)
{
    ToolRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
