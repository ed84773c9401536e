// Cells are doubles. This header holds the conversions every word shares: rounding an
// extended-precision step to a cell, refusing infinite results, and cell_to_int.
// Invariant: no infinity or NaN is ever pushed on the data stack; every word that could
// make one goes through ensure_finite. Tests: unit/cell_test.cpp, transcripts/arith/.
#pragma once
#include <cstdint>
#include <limits>

// Literals and loop indexes are computed one step at a time with a 64-bit significand and
// only each step's result is rounded to a double; that is what makes 0.3 come out as
// 0.30000000000000004. On a target whose long double is a plain double they would differ.
static_assert(std::numeric_limits<long double>::digits == 64,
              "number literals and loop indexes need a 64-bit-significand long double");

// The smallest long double that rounds to infinity as a double: DBL_MAX plus half an ulp.
// DBL_MAX's significand is odd, so the tie itself rounds up (to even) into infinity.
inline constexpr long double double_overflow_threshold = 0x1.fffffffffffff8p+1023L;

// One extended step rounded to the nearest double (ties to even), +-infinity when out of
// range. Spelled out because narrowing an out-of-range value is undefined in C++.
inline double round_to_double(long double x)
{
    if (x >= double_overflow_threshold) return std::numeric_limits<double>::infinity();
    if (x <= -double_overflow_threshold) return -std::numeric_limits<double>::infinity();
    return static_cast<double>(x);
}

double ensure_finite(double x);        // x itself; throws "Arithmetic overflow" if infinite
std::int32_t cell_to_int(double x);    // truncate, then wrap modulo 2^32; x must be finite
