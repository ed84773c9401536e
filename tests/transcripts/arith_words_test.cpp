// Arithmetic and comparison words as one-line programs. A value that `.` would round to six
// digits is shown exactly by scaling it to an integer with a power of two (exact) and
// comparing, e.g. 49 49 / times 2^53 is 9007199254740991, one below 2^53.
#include <gtest/gtest.h>
#include <string>

#include "transcripts/rows.h"

TEST(ArithWords, ResultsAndOperandOrder)
{
    const ROW rows[] = {
        {"2 3 + .\n", "5  ok\n"},
        {"7 2 - .\n", "5  ok\n"},
        {"2 7 - .\n", "-5  ok\n"},
        {"6 7 * .\n", "42  ok\n"},
        {"2.5 4 * .\n", "10  ok\n"},
        {"7 2 / .\n", "3.5  ok\n"},
        {"1 3 / .\n", "0.333333  ok\n"},
        {"0 5 - 2 / .\n", "-2.5  ok\n"},
        {"1 2 3 + + .\n", "6  ok\n"},
        {"5 MINUS .\n", "-5  ok\n"},
        {"5 MINUS MINUS .\n", "5  ok\n"},
        {"0 MINUS .\n", "0  ok\n"},
        {"5 MINUS ABS .\n", "5  ok\n"},
        {"5 ABS .\n", "5  ok\n"},
        {"0.25 MINUS ABS .\n", "0.25  ok\n"},
        {"0 MINUS ABS .\n", "0  ok\n"},
    };
    check_rows(rows);
}

// The reciprocal is rounded on its own before the product: 49 49 / is 1 - 2^-53, printed
// as 1; 10 3 / is 3.333333333333333 (a correctly rounded quotient would end in ...827 at
// 2^51); 7 5 / is 1.4000000000000001 (...694 at 2^52); 6 3 / happens to be exactly 2.
TEST(ArithWords, SlashRoundsTheReciprocalFirst)
{
    const ROW rows[] = {
        {"49 49 / .\n", "1  ok\n"},
        {"49 49 / 1 < .\n", "1  ok\n"},
        {"49 49 / 1 = .\n", "0  ok\n"},
        {"49 49 / 9007199254740992 * 9007199254740991 = .\n", "1  ok\n"},
        {"49 49 / 1 - 9007199254740992 * .\n", "-1  ok\n"},
        {"10 3 / 2251799813685248 * 7505999378950826 = .\n", "1  ok\n"},
        {"7 5 / 4503599627370496 * 6305039478318695 = .\n", "1  ok\n"},
        {"7 5 / 5 * 7 - 1125899906842624 * .\n", "1  ok\n"},
        {"6 3 / 2 = .\n", "1  ok\n"},
    };
    check_rows(rows);
}

// Truncating 32-bit division: the remainder has the dividend's sign, the quotient is on top.
TEST(ArithWords, ModAndSlashMod)
{
    const ROW rows[] = {
        {"7 2 MOD .\n", "1  ok\n"},
        {"0 7 - 2 MOD .\n", "-1  ok\n"},
        {"7 0 2 - MOD .\n", "1  ok\n"},
        {"0 7 - 0 2 - MOD .\n", "-1  ok\n"},
        {"7.9 2 MOD .\n", "1  ok\n"},
        {"0 7.9 - 2 MOD .\n", "-1  ok\n"},
        {"7 2.9 MOD .\n", "1  ok\n"},
        {"6 3 MOD .\n", "0  ok\n"},
        {"2 7 MOD .\n", "2  ok\n"},
        {"7 2 /MOD . .\n", "3 1  ok\n"},
        {"0 7 - 2 /MOD . .\n", "-3 -1  ok\n"},
        {"7 0 2 - /MOD . .\n", "-3 1  ok\n"},
        {"2 7 /MOD . .\n", "0 2  ok\n"},
        {"4294967303 2 MOD .\n", "1  ok\n"},
        {"4294967303 2 /MOD . .\n", "3 1  ok\n"},
        {"2147483649 2 /MOD 1073741823 MINUS = . .\n", "1 -1  ok\n"},
    };
    check_rows(rows);
}

// -2147483648 / -1 does not fit in 32 bits: the quotient wraps to -2147483648, the
// remainder is 0, and nothing traps.
TEST(ArithWords, MostNegativeByMinusOne)
{
    const ROW rows[] = {
        {"2147483648 MINUS 1 MINUS MOD .\n", "0  ok\n"},
        {"2147483648 MINUS 1 MINUS /MOD 2147483648 MINUS = . .\n", "1 0  ok\n"},
        {"2147483648 1 MINUS /MOD 2147483648 MINUS = . .\n", "1 0  ok\n"},
        {"2147483648 MINUS 1 /MOD 2147483648 MINUS = . .\n", "1 0  ok\n"},
    };
    check_rows(rows);
}

// cell_to_int is exact for every finite value, far beyond 64 bits: 2^64 + 4096 converts to
// 4096, and 2^512 (built by squaring 65536 five times) is a multiple of 2^32, so it
// converts to 0, which as a divisor is a division by zero.
TEST(ArithWords, ModOfHugeValuesIsExact)
{
    const ROW rows[] = {
        {"65536 DUP * DUP * 4096 + 7 MOD .\n", "1  ok\n"},
        {"65536 DUP * DUP * 4096 + MINUS 7 MOD .\n", "-1  ok\n"},
        {"100000 65536 DUP * DUP * 28672 + MOD .\n", "13984  ok\n"},
        {"65536 DUP * DUP * 4096 + 7 /MOD . .\n", "585 1  ok\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * 7 MOD .\n", "0  ok\n"},
        {"7 65536 DUP * DUP * DUP * DUP * DUP * MOD .\n", "ERROR: Division by zero\n"},
    };
    check_rows(rows);
    // About 1e300 typed out, and its negative: multiples of 2^32 as well.
    const std::string e300 = "1" + std::string(300, '0');
    expect_transcript(e300 + " 7 MOD .\n", "0  ok\n");
    expect_transcript(e300 + " MINUS 7 /MOD . .\n", "0 0  ok\n");
    expect_transcript("7 " + e300 + " MOD .\n", "ERROR: Division by zero\n");
}

TEST(ArithWords, MinMax)
{
    const ROW rows[] = {
        {"3 7 MIN .\n", "3  ok\n"},
        {"7 3 MIN .\n", "3  ok\n"},
        {"3 7 MAX .\n", "7  ok\n"},
        {"7 3 MAX .\n", "7  ok\n"},
        {"4 4 MIN .\n", "4  ok\n"},
        {"4 4 MAX .\n", "4  ok\n"},
        {"3 MINUS 2 MIN .\n", "-3  ok\n"},
        {"3 MINUS 2 MAX .\n", "2  ok\n"},
        {"0.5 0.25 MIN .\n", "0.25  ok\n"},
    };
    check_rows(rows);
}

// Truth values are 1 and 0, not -1: two trues add up to 2.
TEST(ArithWords, Comparisons)
{
    const ROW rows[] = {
        {"1 2 < .\n", "1  ok\n"},
        {"2 1 < .\n", "0  ok\n"},
        {"2 2 < .\n", "0  ok\n"},
        {"2 1 > .\n", "1  ok\n"},
        {"1 2 > .\n", "0  ok\n"},
        {"2 2 > .\n", "0  ok\n"},
        {"3 3 = .\n", "1  ok\n"},
        {"3 4 = .\n", "0  ok\n"},
        {"0 0 = .\n", "1  ok\n"},
        {"0 0 MINUS = .\n", "1  ok\n"},
        {"0 MINUS 0 < .\n", "0  ok\n"},
        {"3 MINUS 2 < .\n", "1  ok\n"},
        {"1 2 < 3 4 < + .\n", "2  ok\n"},
        {"1 2 = 1 2 = + .\n", "0  ok\n"},
    };
    check_rows(rows);
}

// Every word pops its top operand first: a one-value stack fails on the second pop, after
// the first has already been dealt with.
TEST(ArithWords, StackUnderflow)
{
    const ROW rows[] = {
        {"5 +\n", "ERROR: Stack underflow\n"},
        {"+\n", "ERROR: Stack underflow\n"},
        {"5 -\n", "ERROR: Stack underflow\n"},
        {"5 *\n", "ERROR: Stack underflow\n"},
        {"5 /\n", "ERROR: Stack underflow\n"},
        {"5 MOD\n", "ERROR: Stack underflow\n"},
        {"5 /MOD\n", "ERROR: Stack underflow\n"},
        {"MINUS\n", "ERROR: Stack underflow\n"},
        {"ABS\n", "ERROR: Stack underflow\n"},
        {"5 MIN\n", "ERROR: Stack underflow\n"},
        {"5 MAX\n", "ERROR: Stack underflow\n"},
        {"5 <\n", "ERROR: Stack underflow\n"},
        {"5 >\n", "ERROR: Stack underflow\n"},
        {"5 =\n", "ERROR: Stack underflow\n"},
        {"1 2 + . +\n", "3 ERROR: Stack underflow\n"},
    };
    check_rows(rows);
}

// "/" tests its divisor as it forms the reciprocal, right after the first pop; MOD and
// /MOD convert and pop both operands before they test theirs.
TEST(ArithWords, DivisionByZero)
{
    const ROW rows[] = {
        {"5 0 /\n", "ERROR: Division by zero\n"},
        {"5 0 MINUS /\n", "ERROR: Division by zero\n"},
        {"0 0 /\n", "ERROR: Division by zero\n"},
        {"0 /\n", "ERROR: Division by zero\n"},
        {"7 0 MOD\n", "ERROR: Division by zero\n"},
        {"7 0 /MOD\n", "ERROR: Division by zero\n"},
        {"7 0.5 MOD\n", "ERROR: Division by zero\n"},
        {"7 0.99 MINUS /MOD\n", "ERROR: Division by zero\n"},
        {"7 4294967296 MOD\n", "ERROR: Division by zero\n"},
        {"0 MOD\n", "ERROR: Stack underflow\n"},
        {"0 /MOD\n", "ERROR: Stack underflow\n"},
        {"1 . 2 0 /\n", "1 ERROR: Division by zero\n"},
    };
    check_rows(rows);
}

// No infinity ever reaches the stack. 65536 squared five times is 2^512; 2^512 times 2^511
// is 2^1023, the largest power of two a double holds. Tiny results are no error: 2^-2048
// rounds to 0, and 2^-1024 is a subnormal whose reciprocal overflows.
TEST(ArithWords, ArithmeticOverflow)
{
    const ROW rows[] = {
        {"65536 DUP * DUP * DUP * DUP * DUP * .\n", "1.34078e+154  ok\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP *\n", "ERROR: Arithmetic overflow\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP 2 / * .\n", "8.98847e+307  ok\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP 2 / * DUP +\n", "ERROR: Arithmetic overflow\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP 2 / * DUP MINUS SWAP -\n", "ERROR: Arithmetic overflow\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP 2 / * 0.5 /\n", "ERROR: Arithmetic overflow\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP 2 / * DUP - .\n", "0  ok\n"},
        {"1 65536 DUP * DUP * DUP * DUP * DUP * / DUP * DUP * .\n", "0  ok\n"},
        {"1 65536 DUP * DUP * DUP * DUP * DUP * / DUP * 0 > .\n", "1  ok\n"},
        {"1 65536 DUP * DUP * DUP * DUP * DUP * / DUP * 1 SWAP /\n", "ERROR: Arithmetic overflow\n"},
        {"1 65536 DUP * DUP * DUP * DUP * DUP * / DUP * /\n", "ERROR: Arithmetic overflow\n"},
    };
    check_rows(rows);
}
