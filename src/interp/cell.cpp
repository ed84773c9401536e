// Shared cell conversions; see cell.h. Tests: unit/cell_test.cpp.
#include "interp/cell.h"

#include <cassert>
#include <cmath>

#include "interp/error.h"

double ensure_finite(double x)
{
    // NaN cannot arise: it would need an infinity on the stack first.
    if (std::isinf(x)) throw ERROR{"Arithmetic overflow"};
    return x;
}

// Exact for every finite double: trunc and fmod are exact, so no 64-bit range limit applies
// and 4294967303 gives 7 however large the value. The fast path covers every value whose
// truncation already fits.
std::int32_t cell_to_int(double x)
{
    assert(std::isfinite(x));
    if (x > -2147483649.0 && x < 2147483648.0) return static_cast<std::int32_t>(x);
    const double wrapped = std::fmod(std::trunc(x), 4294967296.0);  // |wrapped| < 2^32
    const auto low_bits = static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped));
    return static_cast<std::int32_t>(low_bits);  // two's complement reading, defined in C++20
}
