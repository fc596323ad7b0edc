#include "config/NumberText.h"

#include <cstdio>

std::string NumberToString(double value) {
    char buffer[108];
    std::snprintf(buffer, sizeof buffer, "%Lg", static_cast<long double>(value));
    return buffer;
}
