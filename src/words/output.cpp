// Output words; see output.h. Tests: transcripts/output/, unit/format_test.cpp.
#include "words/output.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>

#include "interp/cell.h"
#include "interp/error.h"
#include "interp/source.h"
#include "interp/step_budget.h"
#include "stack/stack.h"

// The words that write a few bytes at a time put them straight into std::cout's buffer, one
// inline sputc each: the bytes need none of the stream's formatting, and a formatted write
// (its sentry, its checks) would cost more than printing a whole number does. What the
// stream's own writes do is kept: once a write has failed the stream is bad and nothing more
// is written (std::filebuf leaves the failed byte past the end of its put area, so writing
// on would run past its buffer), and a unit-buffered stream (standard output a terminal)
// is flushed after each write.
static void write_out(const char* bytes, std::size_t count)
{
    if (!std::cout.good()) return;
    std::streambuf* const buffer = std::cout.rdbuf();
    for (std::size_t i = 0; i < count; ++i) {
        if (buffer->sputc(bytes[i]) == std::streambuf::traits_type::eof()) {
            std::cout.setstate(std::ios::badbit);
            return;
        }
    }
    if (std::cout.flags() & std::ios::unitbuf) std::cout.flush();
}

// "%.6g" is what the stream's default formatting uses; format_test compares the two over
// many values. snprintf rather than the floating-point std::to_chars, which not every C++
// library has (the web build's has not): one formatting path on every target.
// Whole numbers of magnitude below 10^6, the usual case, take a shorter road to the same
// bytes: with at most 6 significant digits nothing is rounded, and "%.6g" writes them as
// plain digits, without a point or an exponent.
std::size_t format_number(double x, char (&text)[number_text_size])
{
    if (x == 0.0) {  // also -0.0: zero is written without a sign
        text[0] = '0';
        return 1;
    }
    const double magnitude = x < 0.0 ? -x : x;
    if (magnitude < 1e6) {  // false for NaN, which the long road handles
        const auto whole = static_cast<std::uint32_t>(magnitude);
        if (whole == magnitude) {
            char* start = text;
            if (x < 0.0) *start++ = '-';
            const auto result = std::to_chars(start, text + number_text_size, whole);
            return static_cast<std::size_t>(result.ptr - text);
        }
    }
    const int length = std::snprintf(text, number_text_size, "%.6g", x);
    assert(length > 0 && static_cast<std::size_t>(length) < number_text_size);
    return static_cast<std::size_t>(length);
}

// ( x -- ): the number and its space in one write.
void word_dot()
{
    char text[number_text_size];
    const std::size_t length = format_number(data_stack->pop(), text);
    assert(length < number_text_size);
    text[length] = ' ';
    write_out(text, length + 1);
}

// ( x -- )
void word_emit()
{
    const auto code = static_cast<std::uint32_t>(cell_to_int(data_stack->pop()));
    const char byte = static_cast<char>(static_cast<unsigned char>(code & 0xFFU));
    write_out(&byte, 1);
}

// ( -- )
void word_cr() { std::cout.put('\n').flush(); }

// ( -- )
void word_space() { write_out(" ", 1); }

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
        write_out(blanks, static_cast<std::size_t>(count));
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
    write_out(text_start, static_cast<std::size_t>(text_end - text_start));
}
