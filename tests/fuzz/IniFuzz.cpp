// Every INI getter over a fuzzed file, asked for the sections and keys the file
// itself spells (untrimmed, in its own letter case: near misses too). The rest
// of each key's line is the default.
#include "CFuzzFolder.h"

#include "config/Ini.h"
#include "platform/CIniReader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {
const std::size_t MAX_QUERIES = 64;  // keeps a file of many keys quick

void Expect(bool holds, const char* what) {
    if (!holds)
        (std::fprintf(stderr, "INI getters broken: %s\n", what), std::abort());
}

void Query(const std::string& file, const std::string& section, const std::string& key, const std::string& fallback) {
    std::string found;
    const bool present = CIniReader::TryReadValue(section, key, file, found);
    const std::string value = IniReadString(section, key, fallback, file);
    Expect(value.size() <= CIniReader::MAX_VALUE_LENGTH, "a value longer than the reader's buffer");
    Expect(present ? value == found : fallback.compare(0, value.size(), value) == 0, "string getter");
    Expect(IniReadInt(section, key, 7, file) == (present ? StringToInt(found, 7) : 7), "int getter");
    Expect(std::isfinite(IniReadDouble(section, key, 0.5, file)), "double getter gave NaN or infinity");
    Expect(IniReadBool(section, key, true, file) == (!present || found == "1"), "bool getter");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CFuzzFolder::Enter();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CIniReader::ClearCacheForTesting();  // a rewrite within one clock tick keeps its stamp
    const std::string file = CFuzzFolder::Write("fuzz.ini", data, size);
    std::string reason;
    CIniReader::CheckFile(file, reason);
    Query(file, "main", "count", "");
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::string line, section;
    for (std::size_t queries = 0; queries < MAX_QUERIES && std::getline(lines, line);) {
        const std::size_t open = line.find('['), close = line.find(']'), equals = line.find('=');
        if (open < close && close != std::string::npos) {
            section = line.substr(open + 1, close - open - 1);
        } else if (equals != std::string::npos) {
            Query(file, section, line.substr(0, equals), line.substr(equals + 1));
            ++queries;
        }
    }
    Expect(CIniReader::ParseCountForTesting() <= 1, "an unchanged file parsed again");
    return 0;
}
