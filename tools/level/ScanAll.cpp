#include "tools/level/ScanAll.h"

#include "config/Paths.h"
#include "platform/FilePath.h"

bool ScanAll(const std::string& stored, std::vector<CIniScan::Section>& sections, bool& wide, std::string& reason)
{
    sections.clear();
    wide = false;
    return CIniScan::Scan(NativePath(StartupDirectory() + stored), reason, wide,
                          [&sections](const CIniScan::Section& section) { sections.push_back(section); });
}
