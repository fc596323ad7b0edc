#include "config/Ini.h"

#include "config/NumberText.h"
#include "config/Paths.h"
#include "platform/CIniReader.h"
#include "platform/ClassicNumber.h"
#include "platform/FilePath.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the number at the start of a text lies: after leading white space, the
// longest prefix that is a decimal number (sign, digits; for a double also a
// fraction and an exponent). A dangling exponent ("64e", "25e=06") is not part of
// it. `length` 0: the text does not begin with a number.
struct NumberPrefix {
    std::size_t start = 0;
    std::size_t length = 0;
};

NumberPrefix ScanNumber(const std::string& text, bool withFraction) {
    NumberPrefix number;
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
    number.start = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    std::size_t digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) ++digits;
    if (withFraction && pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos) ++digits;
    }
    if (digits == 0) return number;
    number.length = pos - number.start;
    if (withFraction && pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            while (exponent < text.size() && IsDigit(text[exponent])) ++exponent;
            number.length = exponent - number.start;
        }
    }
    return number;
}

// Absolute names unchanged, relative names against STARTUP_DIR.
// StartupDirectory() holds the same value as STARTUP_DIR and is safe even before
// Paths.cpp's static initialisation has run.
std::string ResolveIniFile(const std::string& file) {
    if (IsAbsolutePath(file)) return file;
    return StartupDirectory() + file;
}

std::atomic<IniReadObserver> readObserver{nullptr};

// The default's text is made only while a test observes.
template <class DefaultText>
void Observe(const std::string& section, const std::string& key, char type, DefaultText defaultText) {
    if (IniReadObserver observer = readObserver.load(std::memory_order_relaxed))
        observer(section, key, type, defaultText());
}

}  // namespace

void IniSetReadObserverForTesting(IniReadObserver observer) {
    readObserver.store(observer, std::memory_order_relaxed);
}

std::string IniReadString(std::string section, std::string key, std::string defaultValue, std::string file) {
    Observe(section, key, 's', [&] { return defaultValue; });
    return CIniReader::ReadValue(section, key, defaultValue, ResolveIniFile(file));
}

int IniReadInt(std::string section, std::string key, int defaultValue, std::string file) {
    Observe(section, key, 'i', [&] { return std::to_string(defaultValue); });
    std::string text;
    // An absent key yields the default itself (not its text read back).
    if (!CIniReader::TryReadValue(section, key, ResolveIniFile(file), text)) return defaultValue;
    return StringToInt(text, defaultValue);
}

double IniReadDouble(std::string section, std::string key, double defaultValue, std::string file) {
    Observe(section, key, 'd', [&] { return NumberToString(defaultValue); });
    std::string text;
    if (!CIniReader::TryReadValue(section, key, ResolveIniFile(file), text)) return defaultValue;
    return StringToDouble(text, defaultValue);
}

bool IniReadBool(std::string section, std::string key, bool defaultValue, std::string file) {
    Observe(section, key, 'b', [&] { return std::string(defaultValue ? "1" : "0"); });
    return CIniReader::ReadValue(section, key, defaultValue ? "1" : "0", ResolveIniFile(file)) == "1";
}

void IniHoldFile(std::string file) {
    CIniReader::HoldFile(ResolveIniFile(file));
}

void IniReleaseFile() {
    CIniReader::ReleaseFile();
}

int StringToInt(std::string text, int defaultValue) {
    const NumberPrefix number = ScanNumber(text, false);
    if (number.length == 0) return defaultValue;
    // from_chars takes '-' but not '+'.
    const char* first = text.data() + number.start;
    if (*first == '+') ++first;
    int value = 0;
    const auto result = std::from_chars(first, text.data() + number.start + number.length, value);
    return result.ec == std::errc() ? value : defaultValue;
}

double StringToDouble(std::string text, double defaultValue) {
    const NumberPrefix number = ScanNumber(text, true);
    if (number.length == 0) return defaultValue;
    // The scan passes only decimal digits, so "nan", "inf" and hexadecimal text
    // never reach strtod: callers never get NaN or infinity from a file. A value
    // too large for a double (strtod's HUGE_VAL) also yields the default; one too
    // small becomes 0 or a subnormal, as the stream extraction gave.
    const std::string digits = text.substr(number.start, number.length);
    errno = 0;
    const double value = PlatformClassicStrtod(digits.c_str());
    if (errno == ERANGE && std::isinf(value)) return defaultValue;
    return value;
}
