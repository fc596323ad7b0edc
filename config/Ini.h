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
// the text does not begin with a number (2.5e1x -> 25.0, 64e -> 64). Never NaN or
// infinity unless the default is.
double IniReadDouble(std::string section, std::string key, double defaultValue, std::string file);
// True exactly when the value text is "1"; a missing key yields the default, an
// empty value of a present key is false.
bool IniReadBool(std::string section, std::string key, bool defaultValue, std::string file);

// From here until IniReleaseFile, this thread's reads of `file` take its content
// as it was when the hold began, without looking at the disk again: for reading
// a whole level file that does not change meanwhile. One file at a time.
void IniHoldFile(std::string file);
void IniReleaseFile();

// For tests: called with every key a getter is asked for, its type ('s' text,
// 'i', 'd', 'b') and its default as text; null stops it.
using IniReadObserver = void (*)(const std::string& section, const std::string& key, char type,
                                 const std::string& defaultText);
void IniSetReadObserverForTesting(IniReadObserver observer);
// The decimal integer at the start of the text (leading white space skipped, an
// optional sign); the rest is ignored. The default when there are no digits or
// the number is out of range. " 7" -> 7, "12abc" -> 12, "1.9" -> 1, "x7" -> default.
int StringToInt(std::string text, int defaultValue);
// The longest decimal number at the start of the text (sign, digits, fraction,
// exponent); the rest is ignored. "2.5e1x" -> 25, "25e=06" -> 25. The default when
// the text does not begin with a number, for "nan" and "inf", and when the number
// is too large for a double.
double StringToDouble(std::string text, double defaultValue);

#endif
