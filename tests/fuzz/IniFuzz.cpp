// Every INI getter over a fuzzed file, asked for the sections and keys the file
// itself spells (untrimmed and in its own letter case, so near misses too).
#include "CFuzzFolder.h"

#include "config/Ini.h"
#include "platform/CIniReader.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const std::size_t MAX_QUERIES = 64;  // keeps a run short on a file of many keys

struct Query
{
    std::string section;
    std::string key;
    std::string value;  // the rest of the line, used as the default
};

std::vector<Query> QueriesOf(const std::string& text)
{
    std::vector<Query> queries{{"main", "count", ""}};
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line) && queries.size() < MAX_QUERIES)
    {
        const std::size_t open = line.find('['), close = line.find(']');
        const std::size_t equals = line.find('=');
        if (open < close && close != std::string::npos)
            section = line.substr(open + 1, close - open - 1);
        else if (equals != std::string::npos)
            queries.push_back({section, line.substr(0, equals), line.substr(equals + 1)});
    }
    return queries;
}

void Expect(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "INI getters broken: %s\n", what);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    CFuzzFolder::Enter(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CIniReader::ClearCacheForTesting();
    const std::string file = CFuzzFolder::Write("fuzz.ini", data, size);
    std::string reason;
    CIniReader::CheckFile(file, reason);
    for (const Query& q : QueriesOf(std::string(reinterpret_cast<const char*>(data), size)))
    {
        std::string found;
        const bool present = CIniReader::TryReadValue(q.section, q.key, file, found);
        const std::string value = IniReadString(q.section, q.key, q.value, file);
        Expect(value.size() <= CIniReader::MAX_VALUE_LENGTH, "a value longer than the reader's buffer");
        Expect(value == (present ? found : q.value.substr(0, CIniReader::MAX_VALUE_LENGTH)),
               "the string getter and the reader disagree");
        Expect(IniReadInt(q.section, q.key, 7, file) == (present ? StringToInt(found, 7) : 7),
               "the int getter and the reader disagree");
        IniReadDouble(q.section, q.key, 0.5, file);
        Expect(IniReadBool(q.section, q.key, true, file) == (present ? found == "1" : true),
               "the bool getter and the reader disagree");
    }
    Expect(CIniReader::ParseCountForTesting() <= 1, "an unchanged file parsed again");
    return 0;
}
