#include "platform/DriverModules.h"

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_PIN_DRIVERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_PIN_DRIVERS 1
#endif
#endif

#ifdef VELMORA_PIN_DRIVERS
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
bool IsDriverModule(const char* path)
{
    return std::strstr(path, "_dri.so") || std::strstr(path, "libgallium");
}

int CollectDriver(dl_phdr_info* info, size_t, void* data)
{
    if (info->dlpi_name && IsDriverModule(info->dlpi_name))
        static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
    return 0;
}
} // namespace

int PlatformPinDriverModules()
{
    // Collected first: dlopen must not run inside the iteration, which holds the loader's lock.
    std::vector<std::string> modules;
    dl_iterate_phdr(CollectDriver, &modules);
    int pinned = 0;
    for (const std::string& path : modules)
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
            ++pinned;  // the extra reference is never dropped: the module outlives the leak check
    return pinned;
}
#else
int PlatformPinDriverModules()
{
    return 0;
}
#endif
