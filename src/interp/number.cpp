// Literal conversion; see number.h. Each digit step is formed in extended precision (a
// 64-bit significand, interp/extended.h) and only its result is rounded to a double, so
// literals are not always the double nearest to their text: 0.3 is 0x3FD3333333333334, not
// ...33. Tests: unit/number_test.cpp checks the bits.
#include "interp/number.h"

#include <cmath>

#include "interp/error.h"
#include "interp/extended.h"
#include "interp/source.h"
#include "stack/stack.h"

static bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
static int to_upper(char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }

bool is_radix_digit(char c, std::int32_t base)
{
    if (is_decimal_digit(c)) return base > c - 48;
    if (is_letter(c)) return base > to_upper(c) - 55;
    return false;
}

std::int32_t radixvalue(char c)
{
    if (is_decimal_digit(c)) return c - 48;
    if (is_letter(c)) return to_upper(c) - 55;
    throw ERROR{"error in radixvalue - should not occur -> please report me it"};
}

static bool token_left() { return token_start != token_end; }

void parse_number()
{
    if (!is_decimal_digit(*token_start)) throw ERROR{"Wrong number format"};
    // The first 15 digits are summed as an integer: below 10^15 < 2^53, every step
    // 10 * value + digit is exact in either precision, so this is the same value as the
    // rounded extended steps give, only cheaper. Further digits take the rounded steps.
    std::uint64_t whole = 0;
    for (int digits = 0; digits < 15 && token_left() && is_decimal_digit(*token_start); ++digits) {
        whole = 10 * whole + static_cast<std::uint64_t>(*token_start - '0');
        ++token_start;
    }
    double value = static_cast<double>(whole);
    while (token_left() && is_decimal_digit(*token_start)) {
        value = extended_multiply_add(10.0, value, radixvalue(*token_start));
        ++token_start;
    }
    if (token_left()) {
        if (*token_start == '.') {
            ++token_start;
            // Multiplying by a falling place value, never dividing, is what fixes the bits.
            double place = 0.1;  // weight of the next fraction digit: 0x3FB999999999999A at first
            while (token_left() && is_radix_digit(*token_start, 10)) {
                value = extended_multiply_add(radixvalue(*token_start), place, value);
                place = extended_product(place, 0.1);
                ++token_start;
            }
            if (token_left()) throw ERROR{"Wrong float number format"};
        } else if (*token_start == 'r') {
            // Letters go up to Z = 35, yet only bases 2..26 are accepted. An integer part too
            // large for a double is infinite here and so refused as a base as well.
            if (value > 26.0 || !(value > 1.0)) throw ERROR{"False radix-base"};
            const auto base = static_cast<std::int32_t>(value);
            ++token_start;
            value = 0.0;
            while (token_left() && is_radix_digit(*token_start, base)) {
                value = extended_multiply_add(base, value, radixvalue(*token_start));
                ++token_start;
            }
            if (token_left()) throw ERROR{"Wrong radix number format"};
        } else {
            throw ERROR{"Wrong number format"};
        }
    }
    // Only once the whole token is known to be well formed: format errors come first.
    if (std::isinf(value)) throw ERROR{"Number out of range"};
    data_stack->push(value);
}
