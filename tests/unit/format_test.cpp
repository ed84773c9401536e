// format_number, the text of `.`: it must write exactly what `std::ostringstream << x`
// writes with the default formatting (precision 6, general notation), except that both
// zeros are "0". Compared over chosen values at every boundary of the two notations and
// over a million random bit patterns.
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "words/output.h"

static std::string formatted(double x)
{
    char text[number_text_size];
    const std::size_t length = format_number(x, text);
    EXPECT_LE(length, number_text_size) << std::hexfloat << x;
    return std::string{text, length};
}

static std::string streamed(double x)
{
    std::ostringstream out;
    out << x;
    return out.str();
}

TEST(FormatNumber, ZeroHasNoSign)
{
    EXPECT_EQ(formatted(0.0), "0");
    EXPECT_EQ(formatted(-0.0), "0");
}

TEST(FormatNumber, KnownTexts)
{
    const struct { double x; const char* text; } cases[] = {
        {5, "5"},           {0.5, "0.5"},          {-2, "-2"},          {1.0 / 3.0, "0.333333"},
        {123456, "123456"}, {1000000, "1e+06"},    {1234567, "1.23457e+06"}, {999999.7, "1e+06"},
        {0.0001, "0.0001"}, {0.00001, "1e-05"},    {1e100, "1e+100"},   {-1.79769313486231570e308, "-1.79769e+308"},
        {0.30000000000000004, "0.3"}, {12.0, "12"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatted(c.x), c.text) << std::hexfloat << c.x;
}

TEST(FormatNumber, MatchesTheStreamAtChosenValues)
{
    constexpr double max = std::numeric_limits<double>::max();
    constexpr double min_normal = std::numeric_limits<double>::min();
    constexpr double denorm_min = std::numeric_limits<double>::denorm_min();
    std::vector<double> values = {
        1, 7, 10, 100, 123456, 999999, 1e6, 1e-5, 1e-4, 0.0001, 0.00009999995, 0.000099999949,
        999999.5, 999999.4, 999999.49999999994, 999999.50000000006, 9999995, 9999994.9999, 1e+06,
        0.5, 0.25, 0.1, 0.3, 0.7, 2.5, 3.5, 1.5e-7, 123.456, 1.0 / 3.0, 2.0 / 3.0, 3.14159, 3.1415926535,
        100000.5, 1e15, 1e16, 1e21, 1e22, 1e300, 1e-300, 4294967296, 9007199254740993.0, 1e308,
        max, std::nextafter(max, 0.0), min_normal, std::nextafter(min_normal, 0.0), denorm_min,
        2 * denorm_min, 4.9e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
    };
    for (int e = -330; e <= 310; ++e) {  // every power of ten and its neighbours
        const double p = std::pow(10.0, e);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, std::numeric_limits<double>::infinity()), 5 * p, 9.999995 * p});
    }
    for (const double v : values) {
        for (const double x : {v, -v}) {
            if (x == 0.0 || !std::isfinite(x)) continue;
            EXPECT_EQ(formatted(x), streamed(x)) << std::hexfloat << x;
        }
    }
}

TEST(FormatNumber, MatchesTheStreamOverRandomBitPatterns)
{
    std::mt19937_64 random{6};
    int mismatches = 0;
    for (int i = 0; i < 1000000; ++i) {
        const double x = std::bit_cast<double>(random());
        if (!std::isfinite(x) || x == 0.0) continue;
        const std::string ours = formatted(x);
        const std::string theirs = streamed(x);
        if (ours != theirs && ++mismatches <= 10) ADD_FAILURE() << std::hexfloat << x << ": " << ours << " vs " << theirs;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FormatNumber, MatchesTheStreamOverRandomOrdinaryValues)
{
    // Random bit patterns are mostly huge or tiny; these stay where people's numbers are.
    std::mt19937_64 random{7};
    std::uniform_real_distribution<double> mantissa{-10.0, 10.0};
    std::uniform_int_distribution<int> exponent{-8, 8};
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = mantissa(random) * std::pow(10.0, exponent(random));
        if (x == 0.0) continue;
        const std::string ours = formatted(x);
        const std::string theirs = streamed(x);
        if (ours != theirs && ++mismatches <= 10) ADD_FAILURE() << std::hexfloat << x << ": " << ours << " vs " << theirs;
    }
    EXPECT_EQ(mismatches, 0);
}
