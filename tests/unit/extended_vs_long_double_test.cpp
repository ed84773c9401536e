// The extended step against the x87 80-bit long double, whose arithmetic it reproduces: every
// operation the interpreter uses (the product of two doubles, the sum of two doubles, the
// sum of such a product and a double, the rounding to a double, and the three steps built
// from them), over special values in every combination, worked edge cases, and millions of
// random operands drawn to make ties, carries, cancellation, overflow and subnormals common.
// The only place in the project that uses long double; skipped where it is not the x87
// format (arm64's is binary128), which unit/extended_test.cpp covers with worked cases.
// EXTENDED_RANDOM_CASES (tests/CMakeLists.txt) is smaller in the sanitizer build.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

#include "interp/extended.h"

#ifndef EXTENDED_RANDOM_CASES
#error "EXTENDED_RANDOM_CASES must give the number of random operand triples"
#endif

static bool long_double_is_x87()
{
    using limits = std::numeric_limits<long double>;
    return limits::radix == 2 && limits::digits == 64 && limits::max_exponent == 16384 && limits::has_denorm;
}

// Exact: a 64-bit significand and an exponent far inside the x87 range.
static long double to_long_double(EXTENDED x)
{
    const long double magnitude = std::ldexp(static_cast<long double>(x.significand), x.exponent);
    return x.negative ? -magnitude : magnitude;
}

// What the interpreter did with long double: narrowing an out-of-range value is undefined,
// so the overflow is spelled out. DBL_MAX plus half an ulp is the first value that rounds up.
static double reference_round(long double x)
{
    constexpr long double threshold = 0x1.fffffffffffff8p+1023L;
    if (x >= threshold) return std::numeric_limits<double>::infinity();
    if (x <= -threshold) return -std::numeric_limits<double>::infinity();
    return static_cast<double>(x);
}

static bool same_bits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (std::isnan(a) && std::isnan(b));
}

static bool same_value(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

// Compares every operation for one triple; returns the name of the first that differs, or
// nullptr. Only finite operands reach the EXTENDED operations; the steps take any.
static const char* first_difference(double a, double b, double c)
{
    const long double wide_a = a;
    if (std::isfinite(a) && std::isfinite(b) && std::isfinite(c)) {
        const EXTENDED product = to_extended(a) * to_extended(b);
        const EXTENDED sum = to_extended(a) + to_extended(b);
        const EXTENDED product_sum = product + to_extended(c);
        if (!same_value(to_long_double(product), wide_a * b)) return "a * b to 64 bits";
        if (!same_value(to_long_double(sum), wide_a + b)) return "a + b to 64 bits";
        if (!same_value(to_long_double(product_sum), wide_a * b + c)) return "a * b + c to 64 bits";
        if (!same_bits(round_to_double(product), reference_round(wide_a * b))) return "a * b to a double";
        if (!same_bits(round_to_double(sum), reference_round(wide_a + b))) return "a + b to a double";
        if (!same_bits(round_to_double(product_sum), reference_round(wide_a * b + c))) return "a * b + c to a double";
    }
    if (!same_bits(extended_sum(a, b), reference_round(wide_a + b))) return "extended_sum(a, b)";
    if (!same_bits(round_sum(a, b), reference_round(wide_a + b))) return "round_sum(a, b)";
    if (!same_bits(extended_product(a, b), reference_round(wide_a * b))) return "extended_product(a, b)";
    if (!same_bits(extended_multiply_add(a, b, c), reference_round(wide_a * b + c))) return "extended_multiply_add(a, b, c)";
    return nullptr;
}

static void expect_same(double a, double b, double c)
{
    if (const char* what = first_difference(a, b, c))
        ADD_FAILURE() << what << " differs from long double for a = " << std::hexfloat << a << ", b = " << b
                      << ", c = " << c;
}

constexpr double max_double = std::numeric_limits<double>::max();
constexpr double min_normal = std::numeric_limits<double>::min();
constexpr double min_subnormal = std::numeric_limits<double>::denorm_min();
constexpr double infinity = std::numeric_limits<double>::infinity();

TEST(ExtendedVsLongDouble, SpecialValuesInEveryCombination)
{
    if (!long_double_is_x87()) GTEST_SKIP() << "long double is not the x87 80-bit format here";
    const double magnitudes[] = {
        0.0, min_subnormal, 2 * min_subnormal, 3 * min_subnormal, min_normal - min_subnormal, min_normal,
        0x1p-1000, 0x1p-60, 0.1, 0.5, 1.0 - 0x1p-53, 1.0, 1.0 + 0x1p-52, 1.5, 2.0, 9.0, 10.0, 25.0, 26.0,
        0x1p52, 0x1p53 - 1.0, 0x1p53, 0x1p53 + 2.0, 0x1p63, 0x1p64, 0x1.fffffffffffffp63, 0x1p970,
        0x1.fffffffffffffp969, 0x1p1000, 0x1p1023, max_double / 10.0, max_double, infinity,
    };
    std::vector<double> values;
    for (const double x : magnitudes) values.insert(values.end(), {x, -x});
    for (const double a : values)
        for (const double b : values)
            for (const double c : values) expect_same(a, b, c);
}

// The worked cases of extended_test.cpp, and their neighbours one ulp away.
TEST(ExtendedVsLongDouble, WorkedEdgeCasesAndNeighbours)
{
    if (!long_double_is_x87()) GTEST_SKIP() << "long double is not the x87 80-bit format here";
    const double triples[][3] = {
        {1.0, 0x1.0000000000001p-53, 0.0},                // a tie at bit 53 after the first rounding
        {1.0, 0x1.002p-53, 0.0},                          // a tie at bit 64, then at bit 53
        {1.0, 0x1.006p-53, 0.0},
        {0x1.0000000000001p0, -0x1.ffbffffffffffp-54, 0.0},  // the same after cancellation
        {0x1.fffffffffffffp0, 0x1.ffep-53, 0.0},          // a carry raises the exponent
        {max_double, 0x1p970, 0.0},                       // next to the largest double
        {max_double, 0x1.fffffffffffffp969, 0.0},
        {max_double, 0x1.fffffffffffffp958, 0.0},
        {0x1.7fe136c486af2p+64, 0.1, 0.0},                // a product's double rounding
        {0x1.f30a418f58d15p-985, 0x1.efeb5036af681p-40, 0.0},  // the same at a subnormal result
        {0x1.000004p-1000, 0x1.fffff800002p-76, 0.0},     // a tie at half the smallest subnormal
        {0x1.10c0f5c444ff4p+0, 0x1.4406b3b22bb5cp+0, 0x1.b0bd5576e10f7p-62},  // the product's rounding decides
        {0x1.07fc0734d784ap+0, 0x1.dabc52f1f852ep+0, -0x1.de189eb994adap-60},
        {10.0, 0x1.999999999999ap1019, 9.0},
        {10.0, 922337203685477580.0, 7.0},
        {1.0, min_subnormal, -1.0},                       // operands of very different size
    };
    for (const auto& t : triples)
        for (const double a : {std::nextafter(t[0], -infinity), t[0], std::nextafter(t[0], infinity)})
            for (const double b : {std::nextafter(t[1], -infinity), t[1], std::nextafter(t[1], infinity)})
                for (const double c : {std::nextafter(t[2], -infinity), t[2], std::nextafter(t[2], infinity)}) {
                    expect_same(a, b, c);
                    expect_same(-a, b, -c);
                }
}

// Random doubles whose fraction bits are often a run of ones or zeros, so that exact
// results land on ties and carries far more often than uniform bits would.
class OPERANDS {
public:
    double any() { return make(random() % 2 == 0, static_cast<int>(random() % 2047), fraction()); }
    double near(double x, int spread)  // within 2^spread of x's binade, either sign
    {
        const int biased = std::clamp(biased_exponent(x) + signed_below(spread), 0, 2046);
        return make(random() % 2 == 0, biased, fraction());
    }
    double in_binades(int low, int high)  // biased exponents low..high, positive
    {
        return make(false, low + static_cast<int>(random() % static_cast<std::uint64_t>(high - low + 1)), fraction());
    }
    double digit(int below) { return static_cast<double>(random() % static_cast<std::uint64_t>(below)); }
    std::uint64_t pick(std::uint64_t n) { return random() % n; }

private:
    static constexpr std::uint64_t fraction_mask = (std::uint64_t{1} << 52) - 1;
    std::uint64_t fraction()
    {
        const auto bits = random();
        const auto shift = random() % 53;
        switch (random() % 4) {
        case 0: return bits & fraction_mask;
        case 1: return bits & fraction_mask & (fraction_mask << shift);             // trailing zeros
        case 2: return (bits & fraction_mask) | (fraction_mask >> shift);           // trailing ones
        default: return (fraction_mask >> shift) ^ (std::uint64_t{1} << (bits % 52));  // a run, one bit flipped
        }
    }
    static int biased_exponent(double x) { return static_cast<int>((std::bit_cast<std::uint64_t>(x) >> 52) & 0x7FF); }
    int signed_below(int spread) { return static_cast<int>(random() % static_cast<std::uint64_t>(2 * spread + 1)) - spread; }
    static double make(bool negative, int biased, std::uint64_t fraction)
    {
        return std::bit_cast<double>((negative ? std::uint64_t{1} << 63 : 0) |
                                     (static_cast<std::uint64_t>(biased) << 52) | fraction);
    }
    std::mt19937_64 random{20250611};
};

TEST(ExtendedVsLongDouble, RandomOperands)
{
    if (!long_double_is_x87()) GTEST_SKIP() << "long double is not the x87 80-bit format here";
    OPERANDS operands;
    long plain_double_differs = 0;  // cases where one double operation would give other bits
    int failures = 0;
    for (long i = 0; i < EXTENDED_RANDOM_CASES && failures < 20; ++i) {
        double a = 0.0;
        double b = 0.0;
        double c = 0.0;
        switch (i % 6) {
        case 0:  // anything, all three near each other in size
            a = operands.any();
            b = operands.near(a, 70);
            c = operands.near(a, 70);
            break;
        case 1:  // the literal digit steps: small integer * value + digit, digit * place + value
            a = operands.digit(37);
            b = operands.any();
            c = operands.pick(2) == 0 ? operands.digit(36) : operands.near(b, 8);
            break;
        case 2:  // the place value: place * 0.1, and the index update index + step
            a = operands.any();
            b = operands.pick(2) == 0 ? 0.1 : operands.near(a, 70);
            c = operands.near(a, 4);
            break;
        case 3:  // next to the largest double
            a = operands.in_binades(2040, 2046);
            b = operands.pick(2) == 0 ? operands.digit(37) : operands.in_binades(1022, 1030);
            c = operands.in_binades(1960, 2046);
            break;
        case 4:  // products next to and below the smallest normal
            a = operands.in_binades(0, 60);
            b = operands.in_binades(960, 1030);
            c = operands.in_binades(0, 3);
            break;
        default:  // operands of any size, zeros and signs included
            a = operands.pick(16) == 0 ? 0.0 : operands.any();
            b = operands.pick(16) == 0 ? -0.0 : operands.any();
            c = operands.any();
            break;
        }
        if (const char* what = first_difference(a, b, c)) {
            ++failures;
            ADD_FAILURE() << what << " differs from long double for a = " << std::hexfloat << a << ", b = " << b
                          << ", c = " << c;
        }
        const long double wide_a = a;
        if (!same_bits(a * b + c, reference_round(wide_a * b + c)) || !same_bits(a + b, reference_round(wide_a + b)))
            ++plain_double_differs;
    }
    // The operands really test the extended step: plain double arithmetic would fail often.
    EXPECT_GT(plain_double_differs, EXTENDED_RANDOM_CASES / 100);
}
