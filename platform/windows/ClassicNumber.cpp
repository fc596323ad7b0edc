#include "platform/ClassicNumber.h"

#include <locale.h>
#include <stdlib.h>

double PlatformClassicStrtod(const char* text) {
    static const _locale_t classic = ::_create_locale(LC_ALL, "C");
    return classic ? ::_strtod_l(text, nullptr, classic) : ::strtod(text, nullptr);
}
