// The extended step on every target: worked cases of each operation and of the three steps
// the interpreter takes, one per case that decides such code (a tie at the 64th bit, a tie
// at the 53rd bit after the first rounding, a carry into the exponent, the largest double
// and the smallest subnormal, signed zeros, operands far apart), and the two ways of
// forming a 128-bit product. The expected values were worked out in exact rational
// arithmetic: the exact result rounded to 64 significant bits, then to a double.
// unit/extended_vs_long_double_test.cpp checks millions more against x87 long double.
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "interp/extended.h"

static std::uint64_t bits_of(double x) { return std::bit_cast<std::uint64_t>(x); }

static testing::AssertionResult same_extended(EXTENDED actual, EXTENDED expected)
{
    if (actual.significand == expected.significand && actual.negative == expected.negative &&
        (actual.significand == 0 || actual.exponent == expected.exponent))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::hex << "got " << (actual.negative ? "-" : "") << actual.significand
                                       << std::dec << " * 2^" << actual.exponent;
}

constexpr std::uint64_t top = std::uint64_t{1} << 63;
constexpr std::uint64_t all_ones = ~std::uint64_t{0};
constexpr double max_double = std::numeric_limits<double>::max();
constexpr double min_subnormal = std::numeric_limits<double>::denorm_min();
constexpr double infinity = std::numeric_limits<double>::infinity();

TEST(ToExtended, SplitsEveryDoubleExactly)
{
    const struct { double x; EXTENDED expected; } cases[] = {
        {1.0, {top, -63, false}},
        {-1.5, {top | top >> 1, -63, true}},
        {0.1, {0xCCCCCCCCCCCCD000, -67, false}},
        {max_double, {0xFFFFFFFFFFFFF800, 960, false}},
        {0x1p-1022, {top, -1085, false}},           // the smallest normal
        {0x1.8p-1073, {top | top >> 1, -1136, false}},  // a subnormal: 3 * 2^-1074
        {min_subnormal, {top, -1137, false}},
        {0.0, {0, 0, false}},
        {-0.0, {0, 0, true}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(same_extended(to_extended(c.x), c.expected)) << "x = " << std::hexfloat << c.x;
}

TEST(ExtendedProduct, RoundsTheExactProductTo64Bits)
{
    const struct { const char* what; EXTENDED a; EXTENDED b; EXTENDED expected; } cases[] = {
        // 1 + 2^-12 + 2^-52 + 2^-64: a tie at the 64th bit, the even neighbour is below.
        {"tie, down", to_extended(1.0 + 0x1p-52), to_extended(1.0 + 0x1p-12), {top + (top >> 12) + (1 << 11), -63, false}},
        // 1 + 3 * 2^-12 + 2^-52 + 3 * 2^-64: a tie, the even neighbour is above.
        {"tie, up", to_extended(1.0 + 0x1p-52), to_extended(1.0 + 0x3p-12), {top + 3 * (top >> 12) + (1 << 11) + 2, -63, false}},
        // 1 - 2^-104 rounds up to 1: the carry makes it 2^63 * 2^-63.
        {"carry", to_extended(1.0 - 0x1p-52), to_extended(1.0 + 0x1p-52), {top, -63, false}},
        // (1 - 2^-64)^2 = 1 - 2^-63 + 2^-128: below 1 the last bit is 2^-64.
        {"below 1", {all_ones, -64, false}, {all_ones, -64, false}, {all_ones - 1, -64, false}},
        {"signs", to_extended(-3.0), to_extended(0.5), {top | top >> 1, -63, true}},
        {"zero", to_extended(0.0), to_extended(-2.0), {0, 0, true}},
        {"negative zeros", to_extended(-0.0), to_extended(-0.0), {0, 0, false}},
        // Far outside a double's range: the 64-bit stage neither overflows nor underflows.
        {"huge", to_extended(max_double), to_extended(max_double), {0xFFFFFFFFFFFFF000, 1984, false}},
        {"tiny", to_extended(min_subnormal), to_extended(min_subnormal), {top, -2211, false}},
    };
    for (const auto& c : cases) EXPECT_TRUE(same_extended(c.a * c.b, c.expected)) << c.what;
}

TEST(ExtendedSum, RoundsTheExactSumTo64Bits)
{
    const EXTENDED one{top, -63, false};
    const struct { const char* what; EXTENDED a; EXTENDED b; EXTENDED expected; } cases[] = {
        // 1 - 2^-65 - 2^-128: just below the tie between 1 - 2^-64 and 1. Its last bit is
        // shifted out of the 128-bit word, and only its trace keeps the sum off the tie.
        {"below a tie", one, {top + 1, -128, true}, {all_ones, -64, false}},
        {"a tie", one, {top, -128, true}, one},                   // 1 - 2^-65: to even, 1
        {"above a tie", one, {all_ones, -129, true}, one},        // 1 - 2^-65 + 2^-129
        // (2 - 2^-63) + 0.5 carries into 2^1, where 2.5 - 2^-63 is a tie: even is 2.5.
        {"carry, tie", {all_ones, -63, false}, {top, -64, false}, {0xA000000000000000, -62, false}},
        {"carry, exact", {all_ones, -64, false}, {top, -127, false}, one},     // 1 - 2^-64 + 2^-64
        {"carry by rounding", {all_ones, -64, false}, {top, -128, false}, one},  // a tie up to 1
        {"far below", one, {top, -1000, false}, one},
        {"far below, subtracted", one, {top, -1000, true}, one},
        {"far below, swapped", {top, -1000, true}, one, one},
        // Cancellation down to the last bits: exact, however far the result is shifted.
        {"cancellation", {all_ones, -63, false}, {all_ones - 1, -63, true}, {top, -126, false}},
        {"x + -x", one, {top, -63, true}, {0, 0, false}},
        {"-x + x", {top, -63, true}, one, {0, 0, false}},
        {"0 + -0", {0, 0, false}, {0, 0, true}, {0, 0, false}},
        {"-0 + -0", {0, 0, true}, {0, 0, true}, {0, 0, true}},
        {"-0 + x", {0, 0, true}, one, one},
        {"x + -0", {top, 5, true}, {0, 0, true}, {top, 5, true}},
    };
    for (const auto& c : cases) EXPECT_TRUE(same_extended(c.a + c.b, c.expected)) << c.what;
}

TEST(RoundToDouble, RoundsToNearestEvenAndOverflowsAtHalfAnUlpAboveMax)
{
    const struct { EXTENDED x; double expected; } cases[] = {
        {{0xFFFFFFFFFFFFFC00, 960, false}, infinity},        // DBL_MAX + half its ulp: a tie, odd
        {{0xFFFFFFFFFFFFFC00, 960, true}, -infinity},
        {{0xFFFFFFFFFFFFFBFF, 960, false}, max_double},      // just below it
        {{0xFFFFFFFFFFFFFBFF, 960, true}, -max_double},
        {to_extended(max_double), max_double},
        {{top, 961, false}, infinity},                       // 2^1024
        {{all_ones, 16320, false}, infinity},                // the x87 format's largest value
        // Ties go to the even neighbour; anything above a tie goes up.
        {{top | 1 << 10, -63, false}, 1.0},                 // 1 + 2^-53
        {{top | 1 << 10 | 1, -63, false}, 1.0 + 0x1p-52},   // 1 + 2^-53 + 2^-63
        {{top | 3 << 10, -63, false}, 1.0 + 0x2p-52},       // 1 + 3 * 2^-53
        {{all_ones, -63, false}, 2.0},                      // rounding carries into 2^1
        // Below the normal range the result is a subnormal or zero, never an error.
        {{top | top >> 1, -1138, false}, 0x1p-1074},        // 3 * 2^-1076
        {{top, -1138, false}, 0.0},                         // 2^-1075: a tie, to even
        {{top | 1, -1138, false}, 0x1p-1074},               // just above it
        {{top | top >> 1, -1137, true}, -0x1p-1073},        // -3 * 2^-1075: a tie, to even
        {{all_ones, -1139, false}, 0.0},                    // just below 2^-1075
        {{top, -2063, false}, 0.0},                         // 2^-2000
        {{top, -2063, true}, -0.0},
        {{all_ones, -1086, false}, 0x1p-1022},              // rounds up into the normal range
        {{0, 0, true}, -0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bits_of(round_to_double(c.x)), bits_of(c.expected))
            << std::hex << c.x.significand << std::dec << " * 2^" << c.x.exponent;
}

// round(a + b): LOOP and +LOOP. Most cases miss the fast path; the last ones take it.
TEST(ExtendedSum, StepOfTwoDoubles)
{
    const struct { double a; double b; std::uint64_t expected; } cases[] = {
        {1.0, 0x1.0000000000001p-53, 0x3FF0000000000000},     // 1 + 2^-53 + 2^-105: a tie after the first rounding
        {0x1.0000000000001p-53, 1.0, 0x3FF0000000000000},     // the same, the smaller operand first
        {1.0, 0x1.002p-53, 0x3FF0000000000000},               // 1 + 2^-53 + 2^-64: a tie at both bits, to even twice
        {1.0, 0x1.006p-53, 0x3FF0000000000001},               // 1 + 2^-53 + 3 * 2^-64: up at bit 64, above the tie at 53
        {0x1.0000000000001p0, -0x1.ffbffffffffffp-54, 0x3FF0000000000001},  // ... + 2^-106 after cancelling
        {0x1.0000000000001p0, -0x1.ffc0000000001p-54, 0x3FF0000000000000},  // ... - 2^-106
        {0x1.fffffffffffffp0, 0x1.ffep-53, 0x4000000000000000},  // 2 - 2^-64: a tie carried into 2^1
        {max_double, 0x1p970, 0x7FF0000000000000},            // half an ulp above DBL_MAX: infinity
        {max_double, 0x1.fffffffffffffp969, 0x7FF0000000000000},  // below that, but rounded to 64 bits it is the tie
        {max_double, 0x1.fffffffffffffp958, 0x7FEFFFFFFFFFFFFF},  // stays below the tie
        {-max_double, -0x1.fffffffffffffp969, 0xFFF0000000000000},
        {max_double, -max_double, 0x0000000000000000},
        {1.0, min_subnormal, 0x3FF0000000000000},             // far apart
        {-1.0, min_subnormal, 0xBFF0000000000000},
        {0x1p1023, min_subnormal, 0x7FE0000000000000},
        {0.1, 0.2, 0x3FD3333333333334},
        {0x1p53 + 2.0, 1.0, 0x4340000000000002},              // a tie at 2^53, to even
        // Exact sums: the fast path gives the same bits, signs of zero included.
        {min_subnormal, min_subnormal, 0x0000000000000002},
        {-min_subnormal, min_subnormal, 0x0000000000000000},
        {0.0, -0.0, 0x0000000000000000},
        {-0.0, -0.0, 0x8000000000000000},
        {-0.0, 0.0, 0x0000000000000000},
        {5.0, -5.0, 0x0000000000000000},
        {-0.0, -min_subnormal, 0x8000000000000001},
        {7.0, 1.0, 0x4020000000000000},
        {0.5, 0.1, 0x3FE3333333333333},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bits_of(extended_sum(c.a, c.b)), c.expected) << std::hexfloat << c.a << " + " << c.b;
        EXPECT_EQ(bits_of(round_sum(c.a, c.b)), c.expected) << std::hexfloat << c.a << " + " << c.b;
    }
}

// round(a * b): the place value of fraction digits (place * 0.1).
TEST(ExtendedProduct, StepOfTwoDoubles)
{
    // 2^-1075 * (1 + 2^-66), from (1 + 2^-22) * (1 - 2^-22 + 2^-44) = 1 + 2^-66.
    const double a = 0x1.000004p-1000;
    const double b = 0x1.fffff800002p-76;
    const struct { double a; double b; std::uint64_t expected; } cases[] = {
        {0.1, 0.1, 0x3F847AE147AE147C},
        {0x1.7fe136c486af2p+64, 0.1, 0x43C331A9236D225C},     // a tie after the first rounding; ...5B in one rounding
        {0x1.7ff3a647f770cp-37, 0.1, 0x3D7332951D32C5A4},
        {0x1.f30a418f58d15p-985, 0x1.efeb5036af681p-40, 0x00078D77171853D2},  // the same in the subnormal range
        {a, b, 0x0000000000000000},                           // a tie at half the smallest subnormal, to 0
        {a, 2 * b, 0x0000000000000001},
        {min_subnormal, 0.5, 0x0000000000000000},
        {0x3p-1074, 0.5, 0x0000000000000002},                 // 1.5 * 2^-1074, to even
        {min_subnormal, 0.1, 0x0000000000000000},
        {0x1p-1022, 0.1, 0x000199999999999A},
        {max_double, 0x1.0000000000001p0, 0x7FF0000000000000},
        {max_double, 0x1.fffffffffffffp-1, 0x7FEFFFFFFFFFFFFE},
        {0x1.fffffffffffffp+1022, 2.0, 0x7FEFFFFFFFFFFFFF},
        {0x1p1023, 2.0, 0x7FF0000000000000},
        {max_double, min_subnormal, 0x3CCFFFFFFFFFFFFF},
        {0.0, -1.0, 0x8000000000000000},
        {-0.0, -0.1, 0x0000000000000000},
        {0x1.fffffffffffffp0, 0x1.fffffffffffffp0, 0x400FFFFFFFFFFFFE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bits_of(extended_product(c.a, c.b)), c.expected) << std::hexfloat << c.a << " * " << c.b;
}

// round(round(a * b) + c): the digit steps of literals, 10 * value + digit and the like.
TEST(ExtendedMultiplyAdd, StepOfThreeDoubles)
{
    const struct { double a; double b; double c; std::uint64_t expected; } cases[] = {
        {10.0, 0x1.c9b81d1500015p-22, 1.0, 0x3FF00004784C48B4},
        {1.0, 0x1.c804cbf39cffep-18, 0x1.967b38dec4783p-5, 0x3FA9689790524152},
        {2.0, 0x1.c9b81d1500015p-22, 0x1.b9e812b80318cp+0, 0x3FFB9E82105C4016},
        // The product's own rounding to 64 bits decides: one rounding of a * b + c gives ...1E.
        {0x1.10c0f5c444ff4p+0, 0x1.4406b3b22bb5cp+0, 0x1.b0bd5576e10f7p-62, 0x3FF593B5B06EA81D},
        {0x1.07fc0734d784ap+0, 0x1.dabc52f1f852ep+0, -0x1.de189eb994adap-60, 0x3FFE98AD7F5607D2},
        {10.0, 0x1.999999999999ap1019, 9.0, 0x7FE0000000000000},
        {10.0, 0x1.999999999999bp1019, 0.0, 0x7FE0000000000001},
        {10.0, 0x1.ccccccccccccdp1020, 0.0, 0x7FF0000000000000},
        {26.0, 0x1.3b13b13b13b13p1018, 25.0, 0x7FDFFFFFFFFFFFFF},
        {10.0, 922337203685477580.0, 7.0, 0x43E0000000000000},
        {3.0, 0.1, 0.5, 0x3FE999999999999A},
        {9.0, min_subnormal, 0.0, 0x0000000000000009},
        {0.0, 0.1, -0.0, 0x0000000000000000},
        {0.0, -1.0, -0.0, 0x8000000000000000},
        {2.0, 3.0, -6.0, 0x0000000000000000},
        {-2.0, 3.0, 6.0, 0x0000000000000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bits_of(extended_multiply_add(c.a, c.b, c.c)), c.expected)
            << std::hexfloat << c.a << " * " << c.b << " + " << c.c;
}

// A literal too long for a double is infinite from one digit on and stays so; an index
// never is, but the steps do what IEEE arithmetic does in any precision.
TEST(ExtendedStep, InfiniteOperandsGiveIeeeResults)
{
    EXPECT_EQ(extended_multiply_add(10.0, infinity, 9.0), infinity);
    EXPECT_EQ(extended_multiply_add(7.0, 0.1, infinity), infinity);
    EXPECT_EQ(extended_multiply_add(7.0, 0.1, -infinity), -infinity);
    EXPECT_EQ(extended_multiply_add(10.0, max_double, -infinity), -infinity);  // the product is finite here
    EXPECT_EQ(extended_product(infinity, 0.1), infinity);
    EXPECT_EQ(extended_product(-infinity, 0.1), -infinity);
    EXPECT_EQ(extended_sum(infinity, 1.0), infinity);
    EXPECT_EQ(extended_sum(1.0, -infinity), -infinity);
    EXPECT_EQ(extended_sum(max_double, max_double), infinity);
    EXPECT_EQ(extended_sum(-max_double, -max_double), -infinity);
}

// Both ways of forming a 128-bit product are compiled on every target, so the one a
// compiler without unsigned __int128 would use is tested too.
TEST(MultiplyWide, HalvesAgreeWithTheWideProduct)
{
    const struct { std::uint64_t a; std::uint64_t b; WIDE expected; } cases[] = {
        {all_ones, all_ones, {all_ones - 1, 1}},   // (2^64 - 1)^2 = 2^128 - 2^65 + 1
        {top, top, {top >> 1, 0}},
        {0xFFFFFFFF, 0xFFFFFFFF, {0, 0xFFFFFFFE00000001}},
        {0x100000000, 0x100000000, {1, 0}},
        {0, all_ones, {0, 0}},
        {1, all_ones, {0, all_ones}},
        {0x123456789ABCDEF0, 0x0FEDCBA987654321, {0x0121FA00AD77D742, 0x2236D88FE5618CF0}},
    };
    for (const auto& c : cases) {
        for (const WIDE product : {multiply_wide(c.a, c.b), multiply_wide_by_halves(c.a, c.b)}) {
            EXPECT_EQ(product.high, c.expected.high) << std::hex << c.a << " * " << c.b;
            EXPECT_EQ(product.low, c.expected.low) << std::hex << c.a << " * " << c.b;
        }
    }
    std::mt19937_64 random{20250101};
    for (int i = 0; i < 100000; ++i) {
        // Runs of ones and zeros as well as plain random words: carries between the halves.
        const std::uint64_t a = (random() >> (random() % 64)) | (i % 3 == 0 ? all_ones << (random() % 64) : 0);
        const std::uint64_t b = random() >> (random() % 64);
        const WIDE wide = multiply_wide(a, b);
        const WIDE halves = multiply_wide_by_halves(a, b);
        ASSERT_TRUE(wide.high == halves.high && wide.low == halves.low) << std::hex << a << " * " << b;
    }
}
