// EXTENDED: the extended-precision step of number literals and loop indexes, done in integer
// arithmetic so that every target gives the same bits. Each operation rounds its exact
// result to a 64-bit significand (nearest, ties to even), and round_to_double rounds the
// step's result to a double (nearest, ties to even, subnormals, +-infinity beyond the
// largest double): the arithmetic of the x87 80-bit format, whose 15-bit exponent never
// overflows or goes subnormal for these operands, so the exponent here is a plain integer.
// Invariant: an EXTENDED is finite, and its significand has its top bit set or is 0 (a
// zero, still signed). Tests: unit/extended_test.cpp (worked cases, on every target),
// unit/extended_vs_long_double_test.cpp (millions of operands against x87 long double),
// transcripts/numbers/, transcripts/loop_words_test.cpp.
#pragma once
#include <cfloat>
#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<double>::is_iec559, "cells are IEEE binary64 doubles");
// extended_sum's fast path and the words' arithmetic need each double operation rounded
// once, to a double: no excess precision (as x87 code without SSE would carry).
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must be evaluated in double precision");

struct EXTENDED {
    std::uint64_t significand;  // top bit set; 0 for a zero
    std::int32_t exponent;      // value = significand * 2^exponent
    bool negative;              // a zero keeps its sign: -0 + -0 is -0
};

EXTENDED to_extended(double x);              // exact; x must be finite
EXTENDED operator*(EXTENDED a, EXTENDED b);  // the product rounded to 64 bits
EXTENDED operator+(EXTENDED a, EXTENDED b);  // the sum rounded to 64 bits; x + -x is +0
double round_to_double(EXTENDED x);          // nearest double, ties to even; +-infinity beyond

// The steps, each operation rounded to 64 bits and the result to a double. An infinite
// operand gives what IEEE arithmetic gives in any precision (a literal too long for a
// double stays infinite through its remaining digits).
double extended_product(double a, double b);                 // round(a * b)
double extended_multiply_add(double a, double b, double c);  // round(round(a * b) + c)
double round_sum(double a, double b);                        // round(a + b), no fast path

// round(a + b), the index update of LOOP and +LOOP. When the double sum is exact, both
// roundings leave it alone, so it is the answer: the usual index takes this path. The
// subtraction that takes away the larger operand is exact (round to nearest), so the two
// tests together hold only for an exact sum; an overflow fails them (infinity - a is not b).
inline double extended_sum(double a, double b)
{
    const double sum = a + b;
    if (sum - a == b && sum - b == a) [[likely]] return sum;
    return round_sum(a, b);
}

// A 128-bit unsigned integer as two words, for the exact product of two significands.
struct WIDE {
    std::uint64_t high;
    std::uint64_t low;
};
WIDE multiply_wide(std::uint64_t a, std::uint64_t b);           // unsigned __int128 where the compiler has it
WIDE multiply_wide_by_halves(std::uint64_t a, std::uint64_t b);  // from 32-bit halves, where it does not
