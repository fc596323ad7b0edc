// Velmora configuration: number text.
#ifndef VELMORA_CONFIG_NUMBERTEXT_H
#define VELMORA_CONFIG_NUMBERTEXT_H

#include <string>

// printf "%Lg" of (long double)value into a buffer of 108 bytes: 60 -> "60",
// 0.5 -> "0.5", -3 -> "-3", 1000000 -> "1e+06". Thread-safe.
std::string NumberToString(double value);

#endif
