// Tests of config/NumberText: printf "%Lg".
#include "config/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

TEST(NumberText, FormatsAsPrintfLg) {
    const struct { double value; const char* text; } cases[] = {
        {60, "60"}, {0.5, "0.5"}, {-3, "-3"}, {1000000, "1e+06"}, {0, "0"}, {-0.0, "-0"}, {999999, "999999"},
        {1234567, "1.23457e+06"}, {1.0 / 3.0, "0.333333"}, {99999.96, "100000"}, {0.0001, "0.0001"}, {0.00001, "1e-05"},
        {DBL_MAX, "1.79769e+308"}, {std::numeric_limits<double>::denorm_min(), "4.94066e-324"},
        {std::numeric_limits<double>::infinity(), "inf"}, {-std::numeric_limits<double>::infinity(), "-inf"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, NumberToString(c.value)) << c.text;
    const std::string nan = NumberToString(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(nan == "nan" || nan == "-nan") << nan;
}
