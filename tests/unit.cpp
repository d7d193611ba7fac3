// The conversion rules and byte readers, apart from any file.
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "reference.h"
#include "velmor.h"

namespace {

std::string jpg(int units, int x, int y)
{
    unsigned char b[kJpgHeader] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 2};
    b[13] = static_cast<unsigned char>(units);
    b[14] = static_cast<unsigned char>(x >> 8);
    b[15] = static_cast<unsigned char>(x);
    b[16] = static_cast<unsigned char>(y >> 8);
    b[17] = static_cast<unsigned char>(y);
    char s[kLineSize] = "";
    const char* line = jpgLine(b, s);
    return line != nullptr ? line : "fatal";
}

std::string bmp(std::uint32_t x, std::uint32_t y)
{
    unsigned char b[kBmpHeader] = {'B', 'M'};
    b[14] = 40;
    for (int i = 0; i < 4; ++i) {
        b[38 + i] = static_cast<unsigned char>(x >> 8 * i);
        b[42 + i] = static_cast<unsigned char>(y >> 8 * i);
    }
    char s[kLineSize] = "";
    return bmpLine(b, s);
}

std::string line(const char* fmt, long a, long b)
{
    char s[kLineSize];
    std::snprintf(s, sizeof s, fmt, a, b);
    return s;
}

TEST(BmpToDPI, KnownValues)
{
    const struct { std::int32_t ppm; int dpi; } rows[] = {
        {2835, 72},   {3780, 96},      {3779, 96},   {3937, 100},  {11811, 300},
        {39370, 1000}, {0, 0},         {2500, 63},   {7500, 190},  {5000, 127},
        {-1, 0},      {-3780, -95},    {-2500, -62}, {-19, 0},     {-20, 0},
        {-60, -1},    {INT_MAX, 54546085}, {INT_MIN, -54546084},
    };
    for (auto r : rows)
        EXPECT_EQ(bmpToDPI(static_cast<std::uint32_t>(r.ppm)), r.dpi) << r.ppm;
}

// Every value near zero, where the halves are dense, and a spread over the
// whole range; the opt-in full check covers all 2^32.
TEST(BmpToDPI, MatchesExtendedPrecisionSteps)
{
    if (!haveExtendedPrecision())
        GTEST_SKIP() << "no 64-bit-significand long double here";
    for (std::int32_t v = -1000000; v <= 1000000; ++v)
        ASSERT_EQ(bmpToDPI(static_cast<std::uint32_t>(v)), referenceDPI(v)) << v;
    std::uint32_t v = 2463534242u;  // xorshift32
    for (int i = 0; i < 2000000; ++i) {
        v ^= v << 13, v ^= v >> 17, v ^= v << 5;
        ASSERT_EQ(bmpToDPI(v), referenceDPI(static_cast<std::int32_t>(v))) << v;
    }
}

// Each byte of a field, high bit set, lands in its own place and the top
// one makes the value negative.
TEST(BmpLine, FieldsAreLittleEndianAndSigned)
{
    for (int i = 0; i < 4; ++i) {
        std::uint32_t v = 0xC4u << 8 * i;
        int dpi = bmpToDPI(v);
        EXPECT_EQ(bmp(v, ~v), line("x= %ld DPI, y= %ld DPI\n", dpi, bmpToDPI(~v))) << i;
    }
    EXPECT_EQ(bmp(0xC4 | 0x0E << 8, 0xFFFFF13C), "x= 96 DPI, y= -95 DPI\n");
}

// Dots per centimetre times 2.54 in double precision, cut toward zero, for
// every 16-bit density, in both places.
TEST(JpgLine, DotsPerCentimetreForEveryDensity)
{
    for (int d = 0; d <= 0xFFFF; ++d) {
        volatile double x = d * kCmPerInch;
        volatile double y = (0xFFFF - d) * kCmPerInch;
        char want[kLineSize];
        std::snprintf(want, sizeof want, "x= %d DPI, y= %d DPI (%ldPPM,%ldPPM)\n",
                      static_cast<int>(x), static_cast<int>(y), d * 100L, (0xFFFF - d) * 100L);
        ASSERT_EQ(jpg(2, d, 0xFFFF - d), want) << d;
    }
}

TEST(JpgLine, OnlyUnitsZeroToTwoAreKnown)
{
    EXPECT_EQ(jpg(0, 1, 2), "Unspecified\n");
    EXPECT_EQ(jpg(1, 0xFF80, 0x80FF), "x= 65408 DPI, y= 33023 DPI\n");
    for (int units = 3; units <= 255; ++units)
        EXPECT_EQ(jpg(units, 72, 72), "fatal") << units;
}

}  // namespace
