// One-line programs as table rows, each checked exactly like a transcript file. The fields
// are string views so that a row can hold a NUL byte (write it with the ""sv suffix).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "transcripts/expect_transcript.h"

struct ROW {
    std::string_view input;     // standard input, sent unchanged
    std::string_view expected;  // standard output after the banner; the status is implied
};

template <std::size_t n>
void check_rows(const ROW (&rows)[n])
{
    for (const ROW& row : rows) expect_transcript(row.input, row.expected);
}

// Rows whose texts are built at run time (a repeated token, a message naming a token).
struct OWNED_ROW {
    std::string input;
    std::string expected;
};

inline void check_rows(const std::vector<OWNED_ROW>& rows)
{
    for (const OWNED_ROW& row : rows) expect_transcript(row.input, row.expected);
}
