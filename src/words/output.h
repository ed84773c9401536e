// Output words. All write to std::cout, whose formatting state is never changed; when
// standard output is not a terminal it is fully buffered and only CR and the read-eval
// loop's ends of line flush it. Tests: transcripts/output/, unit/format_test.cpp.
#pragma once
#include <cstddef>

void word_dot();        // .      ( x -- )  x as the stream's default formatting writes it, then a space
void word_emit();       // EMIT   ( x -- )  the byte cell_to_int(x) mod 256, unchanged
void word_cr();         // CR     ( -- )    end of line, then flush
void word_space();      // SPACE  ( -- )    one space
void word_spaces();     // SPACES ( x -- )  cell_to_int(x) spaces; none when that is <= 0
void word_dot_quote();  // ."     ( -- )    the text up to the next lone " token

// Longest text: "-1.79769e+308" and the like, 13 characters.
inline constexpr std::size_t number_text_size = 16;

// x in general notation with 6 significant digits, exactly as `std::cout << x` writes it
// with the default formatting, except that both zeros are "0". Returns the length.
std::size_t format_number(double x, char (&text)[number_text_size]);
