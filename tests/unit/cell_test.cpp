// The shared cell conversions: cell_to_int over the whole finite range (truncate, then
// wrap modulo 2^32), and ensure_finite (rounding an extended step to a double is tested in
// extended_test.cpp). Infinities come from std::numeric_limits: the sanitizer build traps a
// division by zero.
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

#include "interp/cell.h"
#include "interp/error.h"

constexpr double max_double = std::numeric_limits<double>::max();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Worked out by hand; the large ones follow from x = m * 2^e with a 53-bit
// integer m: once e >= 32 every such value is a multiple of 2^32 and wraps to 0.
TEST(CellToInt, TruncatesThenWrapsModulo2To32)
{
    const struct { double x; std::int32_t expected; } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {0.999999, 0},
        {2147483647.0, 2147483647},
        {2147483647.9, 2147483647},
        {-2147483648.0, -2147483648},
        {-2147483648.9, -2147483648},
        {2147483648.0, -2147483648},
        {-2147483649.0, 2147483647},
        {4294967295.0, -1},
        {-4294967295.0, 1},
        {4294967296.0, 0},
        {4294967303.0, 7},
        {4294967298.5, 2},
        // 10^20 = 2^20 * 5^20 exactly; 5^20 mod 2^12 = 1585, so the low 32 bits are
        // 1585 * 2^20 = 1661992960.
        {1e20, 1661992960},
        {-1e20, -1661992960},
        // 2^62 + 2^40 + 2^31 + 2^12: the low 32 bits are 2^31 + 2^12, read as signed.
        {0x1.0000040200004p+62, -2147479552},
        {-0x1.0000040200004p+62, 2147479552},
        {123456789012345678.0, -1506741424},  // the double is 123456789012345680
        {0x1.0000000000001p+83, -2147483648}, // 2^83 + 2^31: far beyond 64 bits
        {0x1p+63, 0},
        {0x1p+64 + 5.0, 0},                   // that sum is the double 2^64
        {1e300, 0},                           // a multiple of 2^944
        {-1e300, 0},
        {max_double, 0},                      // (2^53 - 1) * 2^971
        {-max_double, 0},
        {std::numeric_limits<double>::denorm_min(), 0},
        {-std::numeric_limits<double>::denorm_min(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cell_to_int(c.x), c.expected) << "x = " << std::hexfloat << c.x;
}

// An independent exact computation: x = m * 2^e with |m| < 2^53, and only the low 32 bits
// of the truncated magnitude matter; a negative value is their two's complement.
static std::int32_t exact_cell_to_int(double x)
{
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent);  // x = fraction * 2^exponent
    const auto m = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    const int e = exponent - 53;
    const std::uint64_t magnitude = static_cast<std::uint64_t>(m < 0 ? -m : m);
    std::uint32_t low = 0;
    if (e >= 32 || e <= -64) low = 0;
    else if (e >= 0) low = static_cast<std::uint32_t>(magnitude << e);
    else low = static_cast<std::uint32_t>(magnitude >> -e);
    if (m < 0) low = 0U - low;
    return static_cast<std::int32_t>(low);
}

TEST(CellToInt, MatchesExactReductionOverRandomValues)
{
    std::mt19937_64 random{20240611};
    std::uniform_real_distribution<double> unit{-1.0, 1.0};
    int checked = 0;
    while (checked < 200000) {
        // Half arbitrary bit patterns, half values near the interesting magnitudes.
        double x = std::bit_cast<double>(random());
        if (checked % 2 == 1) x = std::ldexp(unit(random), static_cast<int>(random() % 100));
        if (!std::isfinite(x)) continue;
        ++checked;
        ASSERT_EQ(cell_to_int(x), exact_cell_to_int(x)) << "x = " << std::hexfloat << x;
    }
}

TEST(EnsureFinite, PassesFiniteValuesAndRefusesInfinities)
{
    for (const double x : {0.0, -0.0, 1.5, -max_double, max_double, std::numeric_limits<double>::denorm_min()})
        EXPECT_EQ(std::bit_cast<std::uint64_t>(ensure_finite(x)), std::bit_cast<std::uint64_t>(x)) << x;
    for (const double x : {infinity, -infinity}) {
        std::string message;
        try {
            ensure_finite(x);
        } catch (const ERROR& error) {
            message = error.message;
        }
        EXPECT_EQ(message, "Arithmetic overflow") << x;
    }
}
