#include "resources/CacheKey.h"

std::string CacheKey(std::string fileName)
{
    for (char& c : fileName)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return fileName;
}
