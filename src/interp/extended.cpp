// Extended-precision step; see extended.h. Operands are aligned in a 128-bit word (WIDE)
// whose high word holds the 64 bits kept; bits shifted out below the low word leave a 1 in
// its last bit, which makes the word odd, so it never sits on a rounding boundary and stays
// on the same side of it as the exact value. Tests: unit/extended_test.cpp,
// unit/extended_vs_long_double_test.cpp.
#include "interp/extended.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <utility>

static constexpr std::uint64_t top_bit = std::uint64_t{1} << 63;

// A double's bits and back. Not std::bit_cast: not every C++20 library has it yet.
static std::uint64_t bits_of(double x)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

static double double_of(std::uint64_t bits)
{
    double x = 0;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

WIDE multiply_wide_by_halves(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t a_low = a & 0xFFFFFFFF;
    const std::uint64_t a_high = a >> 32;
    const std::uint64_t b_low = b & 0xFFFFFFFF;
    const std::uint64_t b_high = b >> 32;
    const std::uint64_t low_low = a_low * b_low;
    const std::uint64_t high_low = a_high * b_low;
    const std::uint64_t low_high = a_low * b_high;
    // At most (2^32 - 1) + (2^32 - 1) + (2^32 - 1)^2 = 2^64 - 1: no carry is lost.
    const std::uint64_t middle = (low_low >> 32) + (high_low & 0xFFFFFFFF) + low_high;
    return {a_high * b_high + (high_low >> 32) + (middle >> 32), (middle << 32) | (low_low & 0xFFFFFFFF)};
}

WIDE multiply_wide(std::uint64_t a, std::uint64_t b)
{
#ifdef __SIZEOF_INT128__
    __extension__ using uint128 = unsigned __int128;  // __extension__: not ISO C++, and -Wpedantic says so
    const uint128 product = static_cast<uint128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiply_wide_by_halves(a, b);
#endif
}

EXTENDED to_extended(double x)
{
    assert(std::isfinite(x));
    const auto bits = bits_of(x);
    const bool negative = (bits >> 63) != 0;
    if ((bits << 1) == 0) return {0, 0, negative};
    const auto biased = static_cast<std::int32_t>((bits >> 52) & 0x7FF);
    std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
    std::int32_t exponent = -1074;  // of the last bit of a subnormal
    if (biased != 0) {
        significand |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    const int shift = std::countl_zero(significand);
    return {significand << shift, exponent - shift, negative};
}

// value = (m.high + m.low / 2^64) * 2^exponent, m.high's top bit set: m.high rounded to
// nearest, ties to even. Rounding all ones up gives 2^64: 2^63, one more in the exponent.
static EXTENDED round_to_64_bits(WIDE m, std::int32_t exponent, bool negative)
{
    assert((m.high & top_bit) != 0);
    const bool up = m.low > top_bit || (m.low == top_bit && (m.high & 1) != 0);
    if (!up) return {m.high, exponent, negative};
    if (m.high == ~std::uint64_t{0}) return {top_bit, exponent + 1, negative};
    return {m.high + 1, exponent, negative};
}

EXTENDED operator*(EXTENDED a, EXTENDED b)
{
    const bool negative = a.negative != b.negative;
    if (a.significand == 0 || b.significand == 0) return {0, 0, negative};
    WIDE m = multiply_wide(a.significand, b.significand);  // exact, in [2^126, 2^128)
    std::int32_t exponent = a.exponent + b.exponent + 64;
    if ((m.high & top_bit) == 0) {
        m = {(m.high << 1) | (m.low >> 63), m.low << 1};
        --exponent;
    }
    return round_to_64_bits(m, exponent, negative);
}

// |a| < |b| for two non-zero values: with the top bits set the exponents decide first.
static bool smaller_magnitude(EXTENDED a, EXTENDED b)
{
    return a.exponent != b.exponent ? a.exponent < b.exponent : a.significand < b.significand;
}

// significand * 2^-shift as a 128-bit word over the larger operand's high word; anything
// shifted out below the low word becomes its last bit (it lies far below the rounding bit).
static WIDE aligned(std::uint64_t significand, std::int64_t shift)
{
    assert(significand != 0 && shift >= 0);
    if (shift == 0) return {significand, 0};
    if (shift < 64) return {significand >> shift, significand << (64 - shift)};
    if (shift == 64) return {0, significand};
    if (shift < 128) {
        const std::uint64_t lost = (significand << (128 - shift)) != 0 ? 1 : 0;
        return {0, (significand >> (shift - 64)) | lost};
    }
    return {0, 1};  // all of it lost: never enough to change a rounding, but the word stays odd
}

EXTENDED operator+(EXTENDED a, EXTENDED b)
{
    if (b.significand == 0) return a.significand != 0 ? a : EXTENDED{0, 0, a.negative && b.negative};
    if (a.significand == 0) return b;
    if (smaller_magnitude(a, b)) std::swap(a, b);
    const WIDE small = aligned(b.significand, std::int64_t{a.exponent} - b.exponent);
    std::int32_t exponent = a.exponent;
    WIDE m{};
    if (a.negative == b.negative) {
        m = {a.significand + small.high, small.low};
        if (m.high < a.significand) {  // carried out: halve
            // A carry needs the operands within 64 bits of each other, where aligned()
            // leaves the last bit 0: halving loses nothing.
            assert((m.low & 1) == 0);
            m = {top_bit | (m.high >> 1), (m.high << 63) | (m.low >> 1)};
            ++exponent;
        }
    } else {
        const std::uint64_t borrow = small.low != 0 ? 1 : 0;
        m = {a.significand - small.high - borrow, 0 - small.low};
        if (m.high == 0 && m.low == 0) return {0, 0, false};  // x + -x is +0
        // Losing more than the top bit takes operands aligned within one bit, which lose
        // nothing in aligned(): no lost bit is ever moved up towards the rounding bit.
        const int shift = m.high != 0 ? std::countl_zero(m.high) : 64 + std::countl_zero(m.low);
        if (shift >= 64) {
            m = {m.low << (shift - 64), 0};
        } else if (shift > 0) {
            m = {(m.high << shift) | (m.low >> (64 - shift)), m.low << shift};
        }
        exponent -= shift;
    }
    return round_to_64_bits(m, exponent, a.negative);
}

double round_to_double(EXTENDED x)
{
    const std::uint64_t sign = x.negative ? top_bit : 0;
    if (x.significand == 0) return double_of(sign);
    const std::int64_t leading = std::int64_t{x.exponent} + 63;  // exponent of the top bit
    const std::uint64_t infinity_bits = std::uint64_t{0x7FF} << 52;
    if (leading > 1023) return double_of(sign | infinity_bits);
    // The double's last bit: 53 bits below a normal's top, 2^-1074 for a subnormal.
    const std::int64_t last = leading - 52 > -1074 ? leading - 52 : -1074;
    const std::int64_t shift = last - x.exponent;  // at least 11
    // Below half the smallest subnormal, everything rounds to zero.
    if (shift > 64) return double_of(sign);
    std::uint64_t kept = 0;
    std::uint64_t dropped = x.significand;  // the dropped bits, the rounding bit on top
    if (shift < 64) {
        kept = x.significand >> shift;
        dropped = x.significand << (64 - shift);
    }
    if (dropped > top_bit || (dropped == top_bit && (kept & 1) != 0)) ++kept;
    // kept includes a normal's leading bit, so it adds one to the biased exponent (last +
    // 1074 is that exponent less one); a kept of 2^53 after rounding carries into it, and
    // from the largest double's binade into infinity's bit pattern. A subnormal has 0 there.
    const std::uint64_t bits = (static_cast<std::uint64_t>(last + 1074) << 52) + kept;
    return double_of(sign | bits);
}

double extended_product(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b)) return a * b;
    return round_to_double(to_extended(a) * to_extended(b));
}

double extended_multiply_add(double a, double b, double c)
{
    if (!std::isfinite(a) || !std::isfinite(b)) return a * b + c;
    if (!std::isfinite(c)) return c;  // a finite product never cancels it
    return round_to_double(to_extended(a) * to_extended(b) + to_extended(c));
}

double round_sum(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b)) return a + b;
    return round_to_double(to_extended(a) + to_extended(b));
}
