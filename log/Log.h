// Velmora diagnostics: the leveled logger.
//
// Lines go to standard output and, once LogEnableFile has run, to the log file
// ("logfile.txt" in the working directory unless the entry function names another); every line is flushed. LogWrite is serialised with a
// mutex (the level loader thread logs too); all state is kept under that mutex.
// A log file that cannot be written (a link, a pipe or a folder under its name, a
// full disk) is said once on the console, and the log goes on there alone.
#ifndef VELMORA_LOG_LOG_H
#define VELMORA_LOG_LOG_H

#include <string>
#include <typeinfo>

constexpr int LOG_PLAIN = 0;    // no level word
constexpr int LOG_STATUS = 1;   // "STATUS"
constexpr int LOG_WARNING = 2;  // "WARNING"
constexpr int LOG_ERROR = 3;    // "ERROR"
constexpr int LOG_FATAL = 4;    // "FATAL ERROR"
constexpr int LOG_FORCED = 5;   // "FORCED", written whatever the threshold

// Writes one line ("LEVEL in class X: message" and its shorter forms). `className` is "class CName" or empty.
// A level above 5 prints its number in place of the level word.
void LogWrite(int level, std::string message, std::string className);
// Switches logging on (once); writes "FORCED: Logging enabled...".
void LogEnable();
// Switches file output on (once): empties the file `fileName` (by default
// logfile.txt in the working directory; the installed game passes one in the
// user's state folder) and appends to it from then on; writes
// "FORCED: File logging enabled, writing to <fileName>...". Where the name is no
// regular file it writes "FORCED: No log file: <fileName> cannot be written
// (<reason>); logging to the console only." instead and leaves it as it is.
void LogEnableFile(const std::string& fileName = "logfile.txt");
// Writes "FORCED: Console logging disabled." and then switches the console off.
void LogDisableConsole();
// Sets the threshold (0 to 4); other values are refused with a FORCED line.
void LogSetLevel(int level);

// "class " followed by the demangled name of the type ("class CSpriteManager"). Pass
// typeid(*this) to get the run-time class (inside a constructor or destructor, the
// class whose constructor or destructor runs).
std::string LogClassName(const std::type_info& type);

// For tests only: closes the log file and returns every flag (enabled, console,
// file, threshold) to its initial state, so that tests in one process can start
// over.
void LogResetForTesting();

#endif
