#include "description/values.hpp"

#include <gtest/gtest.h>

#include <string>

#include "util/program_error.hpp"

namespace zelvane {
namespace {

template <typename F>
int ErrorOf(F f) {
    try {
        f();
    } catch (const ProgramError& error) {
        return error.Number();
    }
    return 0;
}

TEST(NumberValue, RoundsHalvesToEven) {
    EXPECT_EQ(ToNumber("2.5"), 2);
    EXPECT_EQ(ToNumber("3.5"), 4);
    EXPECT_EQ(ToNumber("-2.5"), -2);
    EXPECT_EQ(ToNumber("0.5"), 0);
    EXPECT_EQ(ToNumber("1.5"), 2);
    EXPECT_EQ(ToNumber("2.5000001"), 3);
    EXPECT_EQ(ToNumber(".5"), 0);
}

TEST(NumberValue, OverflowsOnlyOutside32Bits) {
    EXPECT_EQ(ToNumber("2147483647"), 2147483647);
    EXPECT_EQ(ToNumber("2147483647.4"), 2147483647);
    EXPECT_EQ(ErrorOf([] { ToNumber("2147483647.5"); }), 6);
    EXPECT_EQ(ToNumber("-2147483648.5"), -2147483647 - 1);
    EXPECT_EQ(ErrorOf([] { ToNumber("-2147483649"); }), 6);
    EXPECT_EQ(ErrorOf([] { ToNumber("1e400"); }), 6);  // the reading overflows
    EXPECT_EQ(ToNumber("400px"), 400);                 // the lenient reading
    EXPECT_EQ(ToNumber("&HFFFF"), 65535);
    EXPECT_EQ(ErrorOf([] { ToNumber("&HFFFFFFFF"); }), 6);
}

TEST(PixelValue, ConvertsPositiveValuesToTwips) {
    EXPECT_EQ(ToPixels("400", 15), 6000);
    EXPECT_EQ(ToPixels("400px", 15), 6000);
    EXPECT_EQ(ToPixels("400", 12), 4800);
    EXPECT_EQ(ToPixels("abc", 15), 0);
    EXPECT_EQ(ToPixels("0", 15), 0);
    EXPECT_EQ(ToPixels("-3", 15), -3);
    EXPECT_EQ(ToPixels("2.5", 15), 30);
    EXPECT_EQ(ToPixels("143165576", 15), 2147483640);
    EXPECT_EQ(ErrorOf([] { ToPixels("143165577", 15); }), 6);
    EXPECT_EQ(ToPixels("-2147483648", 15), -2147483647 - 1);
}

TEST(IntegerValue, AcceptsSignDigitsAndARoundedFraction) {
    EXPECT_EQ(ToInteger("2"), 2);
    EXPECT_EQ(ToInteger(" 2 "), 2);
    EXPECT_EQ(ToInteger("\t2\t"), 2);
    EXPECT_EQ(ToInteger("+7"), 7);
    EXPECT_EQ(ToInteger("-7"), -7);
    EXPECT_EQ(ToInteger("2.5"), 2);
    EXPECT_EQ(ToInteger("3.5"), 4);
    EXPECT_EQ(ToInteger("5."), 5);
    EXPECT_EQ(ToInteger(".5"), 0);
    EXPECT_EQ(ToInteger("007"), 7);
}

TEST(IntegerValue, Boundaries) {
    EXPECT_EQ(ToInteger("32767"), 32767);
    EXPECT_EQ(ToInteger("-32768"), -32768);
    EXPECT_EQ(ToInteger("32767.4"), 32767);
    EXPECT_EQ(ToInteger("-32768.5"), -32768);
    EXPECT_EQ(ErrorOf([] { ToInteger("32768"); }), 6);
    EXPECT_EQ(ErrorOf([] { ToInteger("32767.5"); }), 6);
    EXPECT_EQ(ErrorOf([] { ToInteger("-32769"); }), 6);
    EXPECT_EQ(ErrorOf([] { ToInteger(std::string(400, '9')); }), 6);
}

TEST(IntegerValue, OtherTextIsATypeMismatch) {
    for (const char* text : {"", " ", "abc", "2x", "x2", "1e3", "- 7", "+", ".", "1.2.3", "&H10", "2 3", "\r\n"}) {
        EXPECT_EQ(ErrorOf([&] { ToInteger(text); }), 13) << '"' << text << '"';
    }
}

TEST(FlagValue, WordsAndNumbers) {
    EXPECT_TRUE(ToFlag("true"));
    EXPECT_TRUE(ToFlag("TRUE"));
    EXPECT_TRUE(ToFlag(" True "));
    EXPECT_FALSE(ToFlag("false"));
    EXPECT_FALSE(ToFlag("FaLsE"));
    EXPECT_FALSE(ToFlag("0"));
    EXPECT_FALSE(ToFlag("0.0"));
    EXPECT_TRUE(ToFlag("1"));
    EXPECT_TRUE(ToFlag("-1"));
    EXPECT_TRUE(ToFlag("2.5"));
    EXPECT_TRUE(ToFlag("1e3"));
    for (const char* text : {"", "yes", "no", "on", "truex", "1x", "t"}) {
        EXPECT_EQ(ErrorOf([&] { ToFlag(text); }), 13) << '"' << text << '"';
    }
}

TEST(BeepValue, TrueOnlyForOne) {
    EXPECT_TRUE(ToBeep("1"));
    EXPECT_TRUE(ToBeep("1.0"));
    EXPECT_TRUE(ToBeep(" 1"));
    EXPECT_TRUE(ToBeep("1abc"));
    EXPECT_FALSE(ToBeep("1.4"));
    EXPECT_FALSE(ToBeep("0.6"));  // not rounded
    EXPECT_FALSE(ToBeep("2"));
    EXPECT_FALSE(ToBeep("true"));
    EXPECT_FALSE(ToBeep("yes"));
    EXPECT_FALSE(ToBeep(""));
    EXPECT_FALSE(ToBeep("1e400"));
}

}  // namespace
}  // namespace zelvane
