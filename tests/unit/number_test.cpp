// Number literals: the exact bits each literal converts to, the refusals and their
// messages, and parse_number's use of the source state (it consumes the token and leaves
// scan_pos alone). The expected bits were worked out step by step in exact rational
// arithmetic: each digit step rounded to a 64-bit significand, then to a double. The steps
// are integer arithmetic (interp/extended.h), so the bits are the same on every target;
// plain double steps would make 0.3 and 1.789325 come out one bit off.
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "interp/error.h"
#include "interp/number.h"
#include "interp/source.h"
#include "stack/stack.h"
#include "support/fresh_state.h"

struct CONVERSION {
    std::uint64_t bits = 0;  // the pushed value, when there was no error
    std::string error;       // the ERROR's message, or empty
};

class NumberLiteral : public FRESH_STATE {
protected:
    void SetUp() override
    {
        FRESH_STATE::SetUp();
        data_stack = new STACK<double>{data_stack_cells};
    }

    // The token is followed by a digit in the buffer, so a read at or past token_end would
    // change the value; scan_pos points elsewhere and must stay there.
    CONVERSION convert(const std::string& text)
    {
        std::string buffer = text + "7 ";
        token_start = buffer.data();
        token_end = buffer.data() + text.size();
        const char* const scan_mark = buffer.data() + buffer.size() - 1;
        scan_pos = scan_mark;
        const std::int32_t top_before = data_stack->top;
        CONVERSION result;
        try {
            parse_number();
        } catch (const ERROR& error) {
            result.error = error.message;
        }
        EXPECT_EQ(scan_pos, scan_mark) << "literal: " << text;
        if (result.error.empty()) {
            EXPECT_EQ(token_start, token_end) << "literal: " << text;
            EXPECT_EQ(data_stack->top, top_before - 1) << "literal: " << text;
            if (data_stack->top == top_before - 1) result.bits = std::bit_cast<std::uint64_t>(data_stack->pop());
        } else {
            EXPECT_EQ(data_stack->top, top_before) << "pushed although refused: " << text;
        }
        token_start = token_end = scan_pos = nullptr;  // the buffer goes away now
        return result;
    }
};

static std::string repeat(char c, std::size_t n) { return std::string(n, c); }

// Bit patterns, not printed values: printing rounds away a wrong last bit.
static const std::vector<std::pair<std::string, std::uint64_t>> literal_cases = {
    {"0", 0x0000000000000000},
    {"7", 0x401C000000000000},
    {"123", 0x405EC00000000000},
    {"12.", 0x4028000000000000},   // a point with no fraction digits
    {"00.5", 0x3FE0000000000000},
    {"007", 0x401C000000000000},
    {"12.75", 0x4029800000000000},
    {"0.1", 0x3FB999999999999A},   // exactly the starting place value
    {"0.3", 0x3FD3333333333334},   // nearest would be ...33
    {"0.7", 0x3FE6666666666667},   // nearest would be ...66
    {"3.14159", 0x400921F9F01B866F},
    {"0.0001", 0x3F1A36E2EB1C432F},
    {"0.970", 0x3FEF0A3D70A3D70B},
    {"1.789325", 0x3FFCA113404EA4A8},  // plain double steps give ...A9, the nearest too
    {"16rff", 0x406FE00000000000},
    {"16rFF", 0x406FE00000000000},
    {"26rP", 0x4039000000000000},
    {"26rp", 0x4039000000000000},
    {"2r1011", 0x4026000000000000},
    {"2r", 0x0000000000000000},    // no digits after r is 0
    {"26r", 0x0000000000000000},
    {"9r0425813441177151620466", 0x4406A5745FA29055},  // plain double steps differ
    // 2^53 and above: whole numbers stop being exact; each step rounds to even.
    {"9007199254740992", 0x4340000000000000},
    {"9007199254740993", 0x4340000000000000},
    {"9007199254740995", 0x4340000000000002},
    {"9223372036854775807", 0x43E0000000000001},  // not 2^63: an earlier step rounded up
    {"18446744073709551617", 0x43F0000000000000},
    // The sum rounded to 64 bits first lands on a tie that then rounds down; plain double
    // steps, a single rounding of each step, and the nearest double all give other bits.
    {"474068124158683449786907366", 0x4578823D48185D94},
    // Long fractions: the place value shrinks to a subnormal, then to zero, and from then
    // on digits add nothing.
    {"0." + repeat('3', 400), 0x3FD5555555555556},
    {"0." + repeat('9', 400), 0x3FF0000000000000},
    {"0." + repeat('0', 320) + repeat('9', 10), 0x00000000000007E0},
    {"0." + repeat('0', 330) + repeat('9', 10), 0x0000000000000000},
    {repeat('0', 401) + "1", 0x3FF0000000000000},  // leading zeros never overflow
    {"1" + repeat('0', 308), 0x7FE1CCF385EBC89F},   // 1e308 in 308 rounded steps
    {"26r" + repeat('P', 217), 0x7FAFE60738F5F46E},
    // The decimal digits of the largest finite double still give a finite value.
    {"17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955"
     "86327668781715404589535143824642343213268894641827684675467035375169860499105765512820762"
     "45490090389328944075868508455133942304583236903222948165808559332123348274797826204144723"
     "168738177180919299881250404026184124858368",
        0x7FEFFFFFFFFFFFF9},
};

TEST_F(NumberLiteral, ConvertsToExactBits)
{
    for (const auto& [text, bits] : literal_cases) {
        const CONVERSION result = convert(text);
        EXPECT_EQ(result.error, "") << "literal: " << text;
        EXPECT_EQ(result.bits, bits) << "literal: " << text;
    }
}

static const std::vector<std::pair<std::string, std::string>> refusal_cases = {
    {"1.2.3", "Wrong float number format"},
    {"1.5.", "Wrong float number format"},
    {"2.5r1", "Wrong float number format"},  // no radix after a fraction
    {"1.x", "Wrong float number format"},
    {"26rQ", "Wrong radix number format"},
    {"2r102", "Wrong radix number format"},  // 2 is not a base-2 digit
    {"16rFG", "Wrong radix number format"},
    {"10r1.5", "Wrong radix number format"},
    {"36r1", "False radix-base"},
    {"27r0", "False radix-base"},            // letters reach Z = 35, bases only 26
    {"1r0", "False radix-base"},
    {"0r1", "False radix-base"},
    {"16R1", "Wrong number format"},         // only a lower-case r
    {"1e5", "Wrong number format"},
    {"3DUP", "Wrong number format"},
    {"1-", "Wrong number format"},
    {"1\x7F", "Wrong number format"},        // 0x7F is a token character
    {"-5", "Wrong number format"},           // the caller's job, but checked here as well
    {".5", "Wrong number format"},
    {"A", "Wrong number format"},
    // Too large for a double: only once the whole token is known to be well formed.
    {"1" + repeat('0', 309), "Number out of range"},
    {"1" + repeat('0', 309) + ".5", "Number out of range"},
    {"26r" + repeat('P', 218), "Number out of range"},
    {"1797693134862315907729305190789024733617976978942306572734300811577326758055009631327084773224"
     "0753602112011387987139335765878976881441662249284743063947412437776789342486548527630221960124"
     "6094119453082952085005768838150682342462881473913110540827237163350510684586298239947245938479"
     "716304835356329624224137216",
        "Number out of range"},  // 2^1024
    {"1" + repeat('0', 309) + "x", "Wrong number format"},
    {"1" + repeat('0', 309) + "r1", "False radix-base"},
    {"1" + repeat('0', 309) + ".5x", "Wrong float number format"},
    {"26r" + repeat('P', 218) + "Q", "Wrong radix number format"},
};

TEST_F(NumberLiteral, RefusesWithMessageAndPushesNothing)
{
    for (const auto& [text, message] : refusal_cases)
        EXPECT_EQ(convert(text).error, message) << "literal: " << text;
}

TEST_F(NumberLiteral, FullStackOverflowsOnlyForWellFormedLiterals)
{
    for (std::int32_t i = 0; i < data_stack_cells; ++i) data_stack->push(i);
    EXPECT_EQ(convert("7").error, "Stack overflow");
    EXPECT_EQ(convert("1e5").error, "Wrong number format");  // the format is tested first
    EXPECT_EQ(convert("1" + repeat('0', 309)).error, "Number out of range");
    EXPECT_EQ(data_stack->top, 0);
    EXPECT_EQ(data_stack->peek(), data_stack_cells - 1);
    data_stack->pop();
    EXPECT_EQ(convert("7").error, "");  // one free cell is enough
}

TEST_F(NumberLiteral, StopsAtTokenEndInsideLongerText)
{
    // "12" out of "12.5 3": only the two characters count, nothing after them.
    const std::string buffer = "12.5 3";
    token_start = buffer.data();
    token_end = buffer.data() + 2;
    scan_pos = buffer.data() + 2;
    parse_number();
    EXPECT_EQ(token_start, buffer.data() + 2);
    EXPECT_EQ(scan_pos, buffer.data() + 2);
    EXPECT_EQ(data_stack->pop(), 12.0);
}

TEST(RadixDigit, AcceptsDigitsAndLettersBelowTheBase)
{
    const struct { char c; std::int32_t base; bool expected; } cases[] = {
        {'0', 2, true},   {'1', 2, true},   {'2', 2, false},  {'9', 10, true},
        {'9', 9, false},  {'0', 1, true},   {'A', 11, true},  {'A', 10, false},
        {'a', 11, true},  {'f', 16, true},  {'g', 16, false}, {'P', 26, true},
        {'p', 26, true},  {'Q', 26, false}, {'Z', 36, true},  {'z', 35, false},
        {'r', 28, true},  {'@', 36, false}, {'[', 36, false}, {'`', 36, false},
        {'{', 36, false}, {'/', 10, false}, {':', 10, false}, {'.', 10, false},
        {'\x7F', 36, false}, {' ', 36, false}, {'\0', 36, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_radix_digit(c.c, c.base), c.expected) << "char " << int{c.c} << " base " << c.base;
}

TEST(RadixValue, DigitsAndLettersOfEitherCase)
{
    const struct { char c; std::int32_t value; } cases[] = {
        {'0', 0},  {'5', 5},  {'9', 9},  {'A', 10}, {'a', 10}, {'F', 15}, {'f', 15},
        {'P', 25}, {'p', 25}, {'Q', 26}, {'Z', 35}, {'z', 35},
    };
    for (const auto& c : cases) EXPECT_EQ(radixvalue(c.c), c.value) << "char " << c.c;
}

TEST(RadixValue, RefusesEverythingElse)
{
    for (const char c : {'@', '[', '`', '{', '/', ':', '.', '!', '~', '\x7F', ' ', '\0'}) {
        std::string message;
        try {
            radixvalue(c);
        } catch (const ERROR& error) {
            message = error.message;
        }
        EXPECT_EQ(message, "error in radixvalue - should not occur -> please report me it") << "char " << int{c};
    }
}
