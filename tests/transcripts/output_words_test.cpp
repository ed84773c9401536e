// Output words as one-line programs. Expected bytes are exact: EMIT writes any byte
// unchanged (NUL too, hence the ""sv rows), and ." writes the separators between its
// tokens as typed. 65536 DUP * DUP * is 2^64, beyond any 64-bit integer, yet exact.
#include <gtest/gtest.h>
#include <string>

#include "transcripts/rows.h"

using namespace std::literals;

// General notation with 6 significant digits, then one blank; zero of either sign is "0".
TEST(OutputWords, DotFormatsNumbers)
{
    const ROW rows[] = {
        {"5 .\n", "5  ok\n"},
        {"0.5 .\n", "0.5  ok\n"},
        {"2 MINUS .\n", "-2  ok\n"},
        {"1 3 / .\n", "0.333333  ok\n"},
        {"1 3 / MINUS .\n", "-0.333333  ok\n"},
        {"2 3 / .\n", "0.666667  ok\n"},
        {"123456 .\n", "123456  ok\n"},
        {"999999 .\n", "999999  ok\n"},
        {"1000000 .\n", "1e+06  ok\n"},
        {"1234567 .\n", "1.23457e+06  ok\n"},
        {"999999.7 .\n", "1e+06  ok\n"},
        {"0.0001 .\n", "0.0001  ok\n"},
        {"0.000123456 .\n", "0.000123456  ok\n"},
        {"0.00001 .\n", "1e-05  ok\n"},
        {"0.00001 MINUS .\n", "-1e-05  ok\n"},
        {"0.0000999999 .\n", "9.99999e-05  ok\n"},
        {"0.000099999951 .\n", "0.0001  ok\n"},
        {"999999.51 .\n", "1e+06  ok\n"},
        {"65536 DUP * DUP * .\n", "1.84467e+19  ok\n"},
        {"12. .\n", "12  ok\n"},
        {"0 .\n", "0  ok\n"},
        {"0 MINUS .\n", "0  ok\n"},
        {"0 MINUS 5 * .\n", "0  ok\n"},
        {"1 2 3 . . .\n", "3 2 1  ok\n"},
    };
    check_rows(rows);
    expect_transcript("1" + std::string(100, '0') + " .\n", "1e+100  ok\n");
    expect_transcript("1 1" + std::string(100, '0') + " / .\n", "1e-100  ok\n");
}

// One byte: the low 8 bits of the value truncated to a 32-bit integer.
TEST(OutputWords, EmitWritesTheLowByte)
{
    const ROW rows[] = {
        {"65 EMIT\n", "A ok\n"},
        {"321 EMIT\n", "A ok\n"},
        {"65.9 EMIT\n", "A ok\n"},
        {"191 MINUS EMIT\n", "A ok\n"},
        {"4294967361 EMIT\n", "A ok\n"},
        {"65536 DUP * 256 * 65 + EMIT\n", "A ok\n"},
        {"72 EMIT 105 EMIT\n", "Hi ok\n"},
        {"0 EMIT\n"sv, "\0 ok\n"sv},
        {"256 EMIT\n"sv, "\0 ok\n"sv},
        {"0 MINUS EMIT\n"sv, "\0 ok\n"sv},
        {"7 EMIT\n", "\x07 ok\n"},
        {"9 EMIT\n", "\t ok\n"},
        {"10 EMIT\n", "\n ok\n"},
        {"13 EMIT\n", "\r ok\n"},
        {"27 EMIT\n", "\x1B ok\n"},
        {"200 EMIT\n", "\xC8 ok\n"},
        {"255 EMIT\n", "\xFF ok\n"},
        {"1 MINUS EMIT\n", "\xFF ok\n"},
        {"2.9 MINUS EMIT\n", "\xFE ok\n"},
        {"195 EMIT 169 EMIT\n", "\xC3\xA9 ok\n"},
        {"65536 DUP * DUP * 4096 + EMIT\n"sv, "\0 ok\n"sv},
        {"65536 DUP * DUP * DUP * DUP * DUP * EMIT\n"sv, "\0 ok\n"sv},
        {"EMIT\n", "ERROR: Stack underflow\n"},
    };
    check_rows(rows);
    const std::string e300 = "1" + std::string(300, '0');  // a multiple of 2^32, like 1e300
    expect_transcript(e300 + " EMIT 65 EMIT\n", "\0A ok\n"s);
    expect_transcript(e300 + " MINUS SPACES 1 .\n", "1  ok\n");
    expect_transcript(e300 + " SPACES 1 .\n", "1  ok\n");
}

TEST(OutputWords, CrAndSpace)
{
    const ROW rows[] = {
        {"CR\n", "\n ok\n"},
        {"1 . CR 2 .\n", "1 \n2  ok\n"},
        {"CR CR\n", "\n\n ok\n"},
        {"SPACE\n", "  ok\n"},
        {"1 . SPACE 2 .\n", "1  2  ok\n"},
        {"SPACE SPACE 42 EMIT\n", "  * ok\n"},
    };
    check_rows(rows);
}

// The count is truncated and reduced modulo 2^32; zero or less writes nothing.
TEST(OutputWords, Spaces)
{
    const ROW rows[] = {
        {"3 SPACES\n", "    ok\n"},
        {"1 . 3 SPACES 2 .\n", "1    2  ok\n"},
        {"0 SPACES\n", " ok\n"},
        {"5 MINUS SPACES\n", " ok\n"},
        {"2.9 SPACES\n", "   ok\n"},
        {"2.9 MINUS SPACES\n", " ok\n"},
        {"0.5 SPACES\n", " ok\n"},
        {"4294967298 SPACES\n", "   ok\n"},
        {"2147483648 SPACES\n", " ok\n"},
        {"4294967295 SPACES\n", " ok\n"},
        {"65536 DUP * DUP * 2048 - SPACES\n", " ok\n"},
        {"65536 DUP * DUP * DUP * DUP * DUP * SPACES\n", " ok\n"},
        {"SPACES\n", "ERROR: Stack underflow\n"},
    };
    check_rows(rows);
}

// Counts beyond any small buffer: every space is written.
TEST(OutputWords, SpacesWritesLongRuns)
{
    const std::string ok = " ok\n";
    expect_transcript("100 SPACES\n", std::string(100, ' ') + ok);
    expect_transcript("1 . 130 SPACES 2 .\n", "1 " + std::string(130, ' ') + "2 " + ok);
    expect_transcript("65536 DUP * DUP * 4096 + SPACES\n", std::string(4096, ' ') + ok);
}

// The text runs from the first token after ." to the last token before the lone ", with
// the separators between them (blanks, tabs, control bytes, bytes 0x80-0xFF) as typed and
// those before the first and after the last left out.
TEST(OutputWords, DotQuoteWritesTextAsTyped)
{
    const ROW rows[] = {
        {".\" Hello \"\n", "Hello ok\n"},
        {".\" \"\n", " ok\n"},
        {".\" a   b \"\n", "a   b ok\n"},
        {".\" a\"b \"\n", "a\"b ok\n"},
        {".\" \"\" \"\n", "\"\" ok\n"},
        {".\" a\" b\" \"\n", "a\" b\" ok\n"},
        {".\"    x     \"\n", "x ok\n"},
        {".\"\tx\t\"\n", "x ok\n"},
        {".\" a\tb \"\n", "a\tb ok\n"},
        {".\" a \x01\x7F b \"\n", "a \x01\x7F b ok\n"},
        {".\" x\ry \"\n", "x\ry ok\n"},
        {".\" a\xC3\xA9z \"\n", "a\xC3\xA9z ok\n"},
        {".\" caf\xC3\xA9 \"\n", "caf ok\n"},
        {".\" \xC3\xA9t\xC3\xA9 \"\n", "t ok\n"},
        {".\" \xC3\xA9 \"\n", " ok\n"},
        {".\" x .\" y \"\n", "x .\" y ok\n"},
        {".\" hi \" 1 .\n", "hi1  ok\n"},
        {".\" a \" .\" b \"\n", "ab ok\n"},
        {"\"\n", "ERROR: Word <\"> not found in dictionary\n"},
        {".\"\" x \"\n", "ERROR: Word <.\"\"> not found in dictionary\n"},
    };
    check_rows(rows);
}

// Without a lone " in the current text nothing of the text is written: the 35-character
// message ends in a double quote.
TEST(OutputWords, DotQuoteNeedsALoneClosingQuote)
{
    const ROW rows[] = {
        {".\" Hello\"\n", "ERROR: Error in '.\"', text must end with \"\n"},
        {".\" Hello\n", "ERROR: Error in '.\"', text must end with \"\n"},
        {".\"\n", "ERROR: Error in '.\"', text must end with \"\n"},
        {".\"   \n", "ERROR: Error in '.\"', text must end with \"\n"},
        {".\" a \"b\n", "ERROR: Error in '.\"', text must end with \"\n"},
        {".\" a \"\"\n", "ERROR: Error in '.\"', text must end with \"\n"},
        {"1 . .\" Hello\n", "1 ERROR: Error in '.\"', text must end with \"\n"},
        {".\" Hello", "ERROR: Error in '.\"', text must end with \"\n"},
    };
    check_rows(rows);
}

// In a sub the current text is the body, which ends with its ';': a " after the call, in
// the line, does not close a text begun in the body.
TEST(OutputWords, DotQuoteInASubBody)
{
    const ROW rows[] = {
        {": T .\" hi \" ; T T\n", "hihi ok\n"},
        {": T .\" a b \" ; 3 0 DO T LOOP\n", "a ba ba b ok\n"},
        {": T .\" hi ; T \" 1 .\n", "ERROR: Error in '.\"', text must end with \"\n"},
        {": T .\" hi ; 7 .\n", "7  ok\n"},
    };
    check_rows(rows);
}
