// The source state and the scanner. The current text runs from line_start up to line_end:
// an input line, or a sub body when a sub is running. Sub calls, returns and loops work by
// changing these pointers, so one loop (interpret) runs lines, bodies and loop bodies alike.
// Invariant: once set, every pointer points into source_buffer and scan_pos <= line_end;
// after next_token, scan_pos == token_end. Tests: unit/scanner_test.cpp, transcripts/source/.
#pragma once

extern const char* line_start;   // first character of the current text; saved, never scanned
extern const char* line_end;     // one past its last character; nothing from here on is read
extern const char* scan_pos;     // next character to examine; before line_start after a LOOP
                                 // jumps back into an earlier line
extern const char* token_start;  // the current token; token_start == token_end: none left
extern const char* token_end;

// Signed on purpose: bytes 0x80-0xFF separate tokens; plain char is unsigned on some targets.
inline bool is_separator(char c) { return static_cast<signed char>(c) <= ' '; }
inline bool is_decimal_digit(char c) { return c >= '0' && c <= '9'; }

// Skips separators, then takes the next maximal run of token characters. With none left,
// scan_pos, token_start and token_end all end up at line_end.
inline void next_token()
{
    const char* p = scan_pos;
    while (p != line_end && is_separator(*p)) ++p;
    token_start = p;
    while (p != line_end && !is_separator(*p)) ++p;
    token_end = p;
    scan_pos = p;
}

// Interprets the current text until it yields no token: numbers are pushed, names are
// looked up and executed. Throws ERROR on any failure and catches nothing.
void interpret();
