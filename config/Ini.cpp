#include "config/Ini.h"

#include "config/Paths.h"
#include "platform/CIniReader.h"
#include "platform/FilePath.h"

#include <locale>
#include <sstream>

namespace {

// Absolute names unchanged, relative names against STARTUP_DIR.
// StartupDirectory() holds the same value as STARTUP_DIR and is safe even before
// Paths.cpp's static initialisation has run.
std::string ResolveIniFile(const std::string& file) {
    if (IsAbsolutePath(file)) return file;
    return StartupDirectory() + file;
}

}  // namespace

std::string IniReadString(std::string section, std::string key, std::string defaultValue, std::string file) {
    return CIniReader::ReadValue(section, key, defaultValue, ResolveIniFile(file));
}

int IniReadInt(std::string section, std::string key, int defaultValue, std::string file) {
    std::string text;
    // An absent key yields the default itself (not its text read back).
    if (!CIniReader::TryReadValue(section, key, ResolveIniFile(file), text)) return defaultValue;
    return StringToInt(text, defaultValue);
}

double IniReadDouble(std::string section, std::string key, double defaultValue, std::string file) {
    std::string text;
    if (!CIniReader::TryReadValue(section, key, ResolveIniFile(file), text)) return defaultValue;
    return StringToDouble(text, defaultValue);
}

bool IniReadBool(std::string section, std::string key, bool defaultValue, std::string file) {
    std::string text = IniReadString(section, key, defaultValue ? "1" : "0", file);
    return text == "1";
}

int StringToInt(std::string text, int defaultValue) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());  // "." as decimal point whatever the global locale
    int value = 0;
    stream >> value;
    if (stream.fail() || stream.bad()) return defaultValue;
    return value;
}

double StringToDouble(std::string text, double defaultValue) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    if (stream.fail() || stream.bad()) return defaultValue;
    return value;
}
