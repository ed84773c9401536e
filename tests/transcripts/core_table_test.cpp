// One-line programs for the interpreter core: how tokens are told apart (numbers, words,
// separators), every literal form and refusal, and exact name lookup. Each row runs the
// real binary through the same check as the transcript files.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "transcripts/rows.h"

static std::string not_found(const std::string& name) { return "ERROR: Word <" + name + "> not found in dictionary\n"; }

// A token that starts with anything but a digit is a name, also "-5", "+5" and ".5".
TEST(CoreRows, TokensThatAreNotNumbersAreLookedUp)
{
    check_rows({
        {"-5\n", not_found("-5")},
        {"1 -1\n", not_found("-1")},
        {"+5\n", not_found("+5")},
        {".5\n", not_found(".5")},
        {"-\n", "ERROR: Stack underflow\n"},  // "-" alone is the primitive
        {": -1 7 ; -1 .\n", "7  ok\n"},
        {": .5 8 ; .5 .\n", "8  ok\n"},
        {": +2 2 + ; 3 +2 .\n", "5  ok\n"},
        {"3DUP\n", "ERROR: Wrong number format\n"},  // starts with a digit: never looked up
        {": 3DUP 1 ;\n", "ERROR: Wrong sub-name, cannot be a number\n"},
    });
}

TEST(CoreRows, NamesAreCaseSensitive)
{
    check_rows({
        {"1 dup\n", not_found("dup")},
        {"Dup\n", not_found("Dup")},
        {"1 2 swap\n", not_found("swap")},
        {"QUIT quit\n", not_found("quit")},
        {"1 2 3 rot\n", not_found("rot")},
        {"1 0 do\n", not_found("do")},
        {": sq DUP * ; 3 sq . 3 SQ\n", "9 " + not_found("SQ")},
    });
}

TEST(CoreRows, LiteralValues)
{
    check_rows({
        {"12. .\n", "12  ok\n"},
        {"00.5 007 . .\n", "7 0.5  ok\n"},
        {"16rff 16rFF = .\n", "1  ok\n"},
        {"26rP 26rp + .\n", "50  ok\n"},
        {"2r 26r + .\n", "0  ok\n"},
        {"2r1011 .\n", "11  ok\n"},
        {"26rPP .\n", "675  ok\n"},
        {"0 .\n", "0  ok\n"},
        {"4294967303 .\n", "4.29497e+09  ok\n"},
        {"0.0001 . 0.00001 .\n", "0.0001 1e-05  ok\n"},
        {"1" + std::string(308, '0') + " .\n", "1e+308  ok\n"},
        {std::string(400, '0') + "1 .\n", "1  ok\n"},
        {"26r" + std::string(217, 'P') + " .\n", "1.12e+307  ok\n"},
        {"1.789325 1.789325 = .\n", "1  ok\n"},
    });
}

TEST(CoreRows, LiteralRefusals)
{
    check_rows({
        {"1.2.3\n", "ERROR: Wrong float number format\n"},
        {"1.5.\n", "ERROR: Wrong float number format\n"},
        {"2.5r1\n", "ERROR: Wrong float number format\n"},
        {"26rQ\n", "ERROR: Wrong radix number format\n"},
        {"2r102\n", "ERROR: Wrong radix number format\n"},
        {"36r1\n", "ERROR: False radix-base\n"},
        {"27r0\n", "ERROR: False radix-base\n"},
        {"1r0\n", "ERROR: False radix-base\n"},
        {"0r1\n", "ERROR: False radix-base\n"},
        {"16R1\n", "ERROR: Wrong number format\n"},
        {"1e5\n", "ERROR: Wrong number format\n"},
        {"1 . 2 . 1.2.3 3 .\n", "1 2 ERROR: Wrong float number format\n"},  // output before it stays
        {"1" + std::string(309, '0') + "\n", "ERROR: Number out of range\n"},
        {"1" + std::string(309, '0') + ".5\n", "ERROR: Number out of range\n"},
        {"1" + std::string(309, '0') + "x\n", "ERROR: Wrong number format\n"},
        {"1" + std::string(309, '0') + "r1\n", "ERROR: False radix-base\n"},
        {"26r" + std::string(218, 'P') + "\n", "ERROR: Number out of range\n"},
        {"5 . 1" + std::string(309, '0') + " 6 .\n", "5 ERROR: Number out of range\n"},
    });
}

// The separators as a whole line sees them: control bytes, DEL as a token byte, high bytes.
TEST(CoreRows, Separators)
{
    check_rows({
        {"\t\r\x01\x1f\x7f\n", not_found("\x7f")},
        {"1\x80" "2+.\n", "ERROR: Wrong number format\n"},  // "2+." is a token, and starts with a digit
        {"\xff\xfe\xa0\n", " ok\n"},
        {"1 2\x85+\xc2\xa0.\n", "3  ok\n"},
    });
}

// The 1023 characters of a run count every stored byte: CR, tabs and high bytes too; only
// the newline is not stored, and nothing after a NUL is.
TEST(CoreRows, SourceBufferCountsEveryStoredByte)
{
    check_rows({
        {"1 ." + std::string(1019, ' ') + "\r\n", "1  ok\n"},
        {"1 ." + std::string(1020, ' ') + "\r\n", "ERROR: Source buffer full\n"},
        {"1 ." + std::string(1020, '\t'), "1  ok\n"},  // the last line, without newline
        {"1 ." + std::string(1021, '\t'), "ERROR: Source buffer full\n"},
        {"1 ." + std::string(1020, '\xff') + "\n", "1  ok\n"},
        {"1 ." + std::string(1021, '\xff') + "\n", "ERROR: Source buffer full\n"},
        {"1 ." + std::string(1020, ' ') + '\0' + std::string(2000, 'X') + "\n", "1  ok\n"},
        {"1 ." + std::string(1021, ' ') + '\0' + "\n", "ERROR: Source buffer full\n"},
    });
}
