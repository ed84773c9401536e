// The scanner's pointers: after every next_token, token_start..token_end is the next
// maximal run of bytes 0x21-0x7F and scan_pos == token_end; with nothing left all three
// rest on line_end, and nothing at or past line_end is ever read.
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interp/source.h"
#include "support/fresh_state.h"

class Scanner : public FRESH_STATE {
protected:
    // The text goes into a heap block of exactly its size, so that under AddressSanitizer a
    // read at line_end is caught as well as a wrong token.
    void scan(std::string_view text)
    {
        block = std::make_unique<char[]>(text.size() + 1);
        block[0] = 'X';  // a token byte before the text: the scan never goes back there
        begin = block.get() + 1;
        std::memcpy(begin, text.data(), text.size());
        line_start = begin;
        scan_pos = begin;
        line_end = begin + text.size();
    }
    std::pair<long, long> next()
    {
        next_token();
        EXPECT_EQ(scan_pos, token_end);
        return {token_start - begin, token_end - begin};
    }

    std::unique_ptr<char[]> block;
    char* begin = nullptr;
};

TEST_F(Scanner, CutsTokensAtEverySeparator)
{
    using namespace std::string_literals;
    const struct { std::string text; std::vector<std::pair<long, long>> tokens; } cases[] = {
        {"", {}},
        {"   ", {}},
        {"DUP", {{0, 3}}},
        {"  1 2  + ", {{2, 3}, {4, 5}, {7, 8}}},
        {"A\tB\rC\nD\vE\fF", {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {8, 9}, {10, 11}}},
        {"A\0B\0"s, {{0, 1}, {2, 3}}},                     // NUL is a plain separator here
        {"\x01" "A\x1F" "B", {{1, 2}, {3, 4}}},
        {"!~\x7F", {{0, 3}}},                              // 0x21 to 0x7F are token bytes
        {"A\x80" "B\xFF" "C\xA0" "D\xC3\xA9", {{0, 1}, {2, 3}, {4, 5}, {6, 7}}},
        {"DU\x80P", {{0, 2}, {3, 4}}},                     // a high byte splits a word
        {"\xFF\xFE", {}},
        {". .\" x \"", {{0, 1}, {2, 4}, {5, 6}, {7, 8}}},
    };
    for (const auto& c : cases) {
        scan(c.text);
        for (const auto& token : c.tokens) EXPECT_EQ(next(), token) << "text: " << c.text;
        const long end = static_cast<long>(c.text.size());
        EXPECT_EQ(next(), std::make_pair(end, end)) << "text: " << c.text;
        EXPECT_EQ(next(), std::make_pair(end, end)) << "again, text: " << c.text;
    }
}

TEST_F(Scanner, NeverTakesTheCharacterAtLineEnd)
{
    // Token characters right at and after line_end: the token stops short of them.
    scan("AB CDEF");
    line_end = begin + 4;
    EXPECT_EQ(next(), std::make_pair(0L, 2L));
    EXPECT_EQ(next(), std::make_pair(3L, 4L));
    EXPECT_EQ(next(), std::make_pair(4L, 4L));

    // Only separators before line_end, a token character at it: no token.
    scan("  X");
    line_end = begin + 2;
    EXPECT_EQ(next(), std::make_pair(2L, 2L));
    EXPECT_EQ(line_end, scan_pos);
}

TEST_F(Scanner, IgnoresLineStart)
{
    // After a LOOP jumps back into an earlier line, scan_pos lies before line_start.
    scan("1 2 3");
    line_start = begin + 4;
    EXPECT_EQ(next(), std::make_pair(0L, 1L));
    EXPECT_EQ(next(), std::make_pair(2L, 3L));
    EXPECT_EQ(next(), std::make_pair(4L, 5L));
    EXPECT_EQ(next(), std::make_pair(5L, 5L));
    EXPECT_EQ(line_start, begin + 4);
}

TEST_F(Scanner, ResumesFromScanPos)
{
    // A word that read tokens itself (":" or ".\"") leaves scan_pos; the next call goes on
    // from there, even from the middle of what would have been a token.
    scan("ABC DEF");
    scan_pos = begin + 1;
    EXPECT_EQ(next(), std::make_pair(1L, 3L));
    scan_pos = begin + 3;
    EXPECT_EQ(next(), std::make_pair(4L, 7L));
}
