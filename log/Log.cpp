#include "log/Log.h"

#include "config/NumberText.h"
#include "platform/FileWrite.h"

#include <cxxabi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>

namespace {

const char* const LEVEL_NAMES[6] = {"", "STATUS", "WARNING", "ERROR", "FATAL ERROR", "FORCED"};

// The logger's process-wide state, all of it guarded by `mutex`. Allocated once
// and never destroyed, so that lines written from static destructors of other files
// (or by a thread still running at exit) find it intact; every line is flushed, so
// nothing is lost when the process ends without closing the stream.
struct LogState {
    std::mutex mutex;
    bool loggingEnabled = false;
    bool consoleOutput = true;
    bool fileOutput = false;
    int threshold = 0;
    std::string logFileName;
    std::FILE* logFile = nullptr;  // null until LogEnableFile, and after the file failed
};

LogState& State() {
    static LogState* const state = new LogState();
    return *state;
}

std::string LevelWord(int level) {
    if (level >= 0 && level <= 5) return LEVEL_NAMES[level];
    // A level above 5 (the evil block's script can hold any number) has no word in
    // the table: its number is printed in place of the word ("7 in class X: ...").
    // Negative levels never get here (they are below every threshold).
    return NumberToString(level);
}

// Step 1 to 5 of LogWrite; the caller holds the mutex.
void WriteLocked(LogState& state, int level, const std::string& message, const std::string& className) {
    if (!state.loggingEnabled) return;
    if (level != LOG_FORCED && level < state.threshold) return;

    std::string line;
    if (!className.empty() && level != 0) {
        line = LevelWord(level) + " in " + className + ": " + message;
    } else if (!className.empty()) {
        line = className + ": " + message;
    } else if (level != 0) {
        line = LevelWord(level) + ": " + message;
    } else {
        line = message;
    }

    if (state.consoleOutput) {
        std::cout << line << '\n' << std::flush;
    }
    if (state.fileOutput && state.logFile) {
        line += '\n';
        const bool written = std::fwrite(line.data(), 1, line.size(), state.logFile) == line.size() &&
                             std::fflush(state.logFile) == 0;
        if (!written) {
            // A full disk, for one: said once, on the console even when it is switched
            // off, since nothing else is left to read.
            const std::string reason = std::strerror(errno);
            std::fclose(state.logFile);
            state.logFile = nullptr;
            std::cout << LevelWord(LOG_FORCED) << ": Writing to " << state.logFileName << " failed (" << reason
                      << "); logging to the console only." << '\n' << std::flush;
        }
    }
}

}  // namespace

void LogWrite(int level, std::string message, std::string className) {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    WriteLocked(state, level, message, className);
}

void LogEnable() {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.loggingEnabled) return;
    state.loggingEnabled = true;
    WriteLocked(state, LOG_FORCED, "Logging enabled...", "");
}

void LogEnableFile(const std::string& fileName) {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.fileOutput) return;
    state.fileOutput = true;
    state.logFileName = fileName;
    // The file is created or emptied, and only a regular file is: a link planted
    // under the name (by an unpacked level, say) is not followed, a pipe does not
    // block the start.
    std::string error;
    state.logFile = PlatformOpenOutputFile(fileName, error);
    if (state.logFile == nullptr) {
        WriteLocked(state, LOG_FORCED,
                    "No log file: " + fileName + " cannot be written (" + error + "); logging to the console only.", "");
        return;
    }
    WriteLocked(state, LOG_FORCED, "File logging enabled, writing to " + fileName + "...", "");
}

void LogDisableConsole() {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.consoleOutput) return;
    WriteLocked(state, LOG_FORCED, "Console logging disabled.", "");
    state.consoleOutput = false;
}

void LogSetLevel(int level) {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (static_cast<unsigned>(level) <= 4u) {
        state.threshold = level;
        WriteLocked(state, LOG_FORCED, "Logging level set to " + NumberToString(level), "");
    } else {
        WriteLocked(state, LOG_FORCED,
                    "Tried to set logging level to incorrect value, ignoring: " + NumberToString(level), "");
    }
}

std::string LogClassName(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = (status == 0 && demangled != nullptr) ? demangled : type.name();
    std::free(demangled);
    return "class " + name;
}

void LogResetForTesting() {
    LogState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.logFile != nullptr) std::fclose(state.logFile);
    state.logFile = nullptr;
    state.loggingEnabled = false;
    state.consoleOutput = true;
    state.fileOutput = false;
    state.threshold = 0;
}
