// Velmora platform layer: reading a decimal number the same way whatever the
// process's locale says the decimal point is.
#ifndef VELMORA_PLATFORM_CLASSICNUMBER_H
#define VELMORA_PLATFORM_CLASSICNUMBER_H

// strtod of `text` in the "C" locale ('.' as the decimal point). `errno` is set
// as strtod sets it (ERANGE on overflow and underflow). Thread-safe.
double PlatformClassicStrtod(const char* text);

#endif
