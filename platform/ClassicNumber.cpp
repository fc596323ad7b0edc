#include "platform/ClassicNumber.h"

#include <locale.h>
#include <stdlib.h>

double PlatformClassicStrtod(const char* text) {
    static const locale_t classic = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    // Null only when memory ran out; the process's locale is "C" unless set otherwise.
    return classic ? ::strtod_l(text, nullptr, classic) : ::strtod(text, nullptr);
}
