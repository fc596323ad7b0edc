// Tests of config/NumberText: printf "%Lg".
#include "config/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

TEST(NumberText, SpecExamples) {
    EXPECT_EQ("60", NumberToString(60));
    EXPECT_EQ("0.5", NumberToString(0.5));
    EXPECT_EQ("-3", NumberToString(-3));
    EXPECT_EQ("1e+06", NumberToString(1000000));
}

TEST(NumberText, Integers) {
    EXPECT_EQ("0", NumberToString(0));
    EXPECT_EQ("7", NumberToString(7));
    EXPECT_EQ("-1", NumberToString(-1));
    EXPECT_EQ("999999", NumberToString(999999));
    EXPECT_EQ("-999999", NumberToString(-999999));
    EXPECT_EQ("1.23457e+06", NumberToString(1234567));
    EXPECT_EQ("2.14748e+09", NumberToString(2147483647));
}

TEST(NumberText, SixSignificantDigitsTrailingZerosDropped) {
    EXPECT_EQ("62.5", NumberToString(62.5));
    EXPECT_EQ("0.333333", NumberToString(1.0 / 3.0));
    EXPECT_EQ("3.14159", NumberToString(3.14159265358979));
    EXPECT_EQ("0.1", NumberToString(0.1));
    EXPECT_EQ("1.5", NumberToString(1.50000));
    EXPECT_EQ("100000", NumberToString(99999.96));  // rounds up to the sixth digit
}

TEST(NumberText, SmallAndLargeMagnitudes) {
    EXPECT_EQ("0.0001", NumberToString(0.0001));
    EXPECT_EQ("1e-05", NumberToString(0.00001));
    EXPECT_EQ("1e+300", NumberToString(1e300));
    EXPECT_EQ("1.79769e+308", NumberToString(DBL_MAX));
    EXPECT_EQ("4.94066e-324", NumberToString(std::numeric_limits<double>::denorm_min()));
}

TEST(NumberText, SpecialValues) {
    EXPECT_EQ("-0", NumberToString(-0.0));
    EXPECT_EQ("inf", NumberToString(std::numeric_limits<double>::infinity()));
    EXPECT_EQ("-inf", NumberToString(-std::numeric_limits<double>::infinity()));
    const std::string nan = NumberToString(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(nan == "nan" || nan == "-nan") << nan;
}
