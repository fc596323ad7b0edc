// Velmora configuration: typed INI getters.
//
// Argument order is always section, key, default, file. A relative file name is
// resolved against STARTUP_DIR (IsAbsolutePath decides what is relative); the
// platform reader CIniReader applies NativePath. A missing file, section or key
// yields the default; nothing is logged. Thread-safe.
#ifndef VELMORA_CONFIG_INI_H
#define VELMORA_CONFIG_INI_H

#include <string>

// The value text, or the default when the file, section or key is absent. A key
// present with an empty value yields "". At most 1023 bytes.
std::string IniReadString(std::string section, std::string key, std::string defaultValue, std::string file);
// The value converted with StringToInt; the default when the key is absent or the
// text does not begin with a number (12abc -> 12, 1.9 -> 1).
int IniReadInt(std::string section, std::string key, int defaultValue, std::string file);
// The value converted with StringToDouble; the default when the key is absent or
// the text does not begin with a number (2.5e1x -> 25.0).
double IniReadDouble(std::string section, std::string key, double defaultValue, std::string file);
// True exactly when the value text is "1"; a missing key yields the default, an
// empty value of a present key is false.
bool IniReadBool(std::string section, std::string key, bool defaultValue, std::string file);

// One int extracted with std::istringstream's formatted extraction; the default
// when the extraction fails (no digits, out of range). " 7" -> 7, "x7" -> default.
int StringToInt(std::string text, int defaultValue);
// One double extracted with std::istringstream's formatted extraction; the default
// when the extraction fails.
double StringToDouble(std::string text, double defaultValue);

#endif
