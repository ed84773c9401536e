// Number literals: decimal integers (123), decimal fractions (12.75, 12.), and radix
// literals (16rFF: a base from 2 to 26, a lower-case r, digits of that base). There is no
// sign and no exponent. Tests: unit/number_test.cpp, transcripts/numbers/.
#pragma once
#include <cstdint>

// Converts the current token (token_start..token_end, first character a decimal digit) and
// pushes it on the data stack. Every format error is thrown before the push, so a bad
// literal never changes the stack. Consumes the token: token_start ends at token_end.
void parse_number();

bool is_radix_digit(char c, std::int32_t base);  // a digit or letter whose value is below base
std::int32_t radixvalue(char c);                 // 0-9, A/a = 10 ... Z/z = 35; throws otherwise
