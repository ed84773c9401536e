// Output words; see output.h. Tests: transcripts/output/, unit/format_test.cpp.
#include "words/output.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdint>
#include <iostream>

#include "interp/cell.h"
#include "interp/error.h"
#include "interp/source.h"
#include "interp/step_budget.h"
#include "stack/stack.h"

// to_chars with general format and precision 6 is defined to give printf's "%.6g", which is
// also what the stream's default formatting uses; format_test compares the two over many
// values. It is several times faster than going through the stream's locale machinery.
std::size_t format_number(double x, char (&text)[number_text_size])
{
    if (x == 0.0) {  // also -0.0: zero is written without a sign
        text[0] = '0';
        return 1;
    }
    const auto result = std::to_chars(text, text + number_text_size, x, std::chars_format::general, 6);
    assert(result.ec == std::errc{});
    return static_cast<std::size_t>(result.ptr - text);
}

// ( x -- )
void word_dot()
{
    char text[number_text_size];
    const std::size_t length = format_number(data_stack->pop(), text);
    std::cout.write(text, static_cast<std::streamsize>(length)).put(' ');
}

// ( x -- )
void word_emit()
{
    const auto code = static_cast<std::uint32_t>(cell_to_int(data_stack->pop()));
    std::cout.put(static_cast<char>(static_cast<unsigned char>(code & 0xFFU)));
}

// ( -- )
void word_cr() { std::cout.put('\n').flush(); }

// ( -- )
void word_space() { std::cout.put(' '); }

// ( x -- ): written in blocks, so a large count costs few stream calls. Each block is a
// step: one SPACES can write 2^31 blanks, and a loop can repeat it.
void word_spaces()
{
    static constexpr char blanks[64] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    for (std::int32_t left = cell_to_int(data_stack->pop()); left > 0;) {
        count_step();
        const std::int32_t count = std::min<std::int32_t>(left, sizeof blanks);
        std::cout.write(blanks, count);
        left -= count;
    }
}

static bool is_lone(char c) { return token_end - token_start == 1 && *token_start == c; }

// ( -- ): writes the source text from the first token after ." to the last token before the
// closing lone ", with the separators between them as typed. The closing " must stand in
// the current text (the line, or the running sub's body); nothing is written without it.
void word_dot_quote()
{
    next_token();
    const char* const text_start = token_start;
    const char* text_end = token_start;
    while (!is_lone('"')) {
        if (scan_pos == line_end) throw ERROR{"Error in '.\"', text must end with \""};
        text_end = token_end;
        next_token();
    }
    std::cout.write(text_start, text_end - text_start);
}
