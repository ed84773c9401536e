// ':', ';' and entering a sub; see colon.h. No body token is executed, looked up or tested
// while a sub is defined: ':' only looks for the first token that is ';' alone, within the
// current text, so a definition never continues on the next line. Tests: transcripts/colon/.
#include "words/colon.h"

#include <string>

#include "dict/dictionary.h"
#include "interp/error.h"
#include "interp/source.h"
#include "interp/step_budget.h"
#include "stack/stack.h"

// A step: a definition run inside a loop or a sub adds an entry on every pass.
void word_colon()
{
    count_step();
    next_token();
    // An empty name (nothing left in the text) passes here and fails below for want of a ';'.
    if (token_start != token_end && is_decimal_digit(*token_start))
        throw ERROR{"Wrong sub-name, cannot be a number"};
    std::string name{token_start, token_end};
    token_start = token_end;
    next_token();
    const char* const body_start = token_start;
    while (token_end - token_start != 1 || *token_start != ';') {
        if (scan_pos == line_end) throw ERROR{"Error in 'dp', sub must end with ;"};
        next_token();
    }
    add_word(WORT{std::move(name), body_start, token_end});
}

// A loop record on top means a loop opened in this body (or typed inside an open loop) is
// still open; its text pointers were never set, so they must not become the current text.
void word_semicolon()
{
    const CALL_STRUCT record = call_stack.pop();
    if (is_loop_record(record)) throw ERROR{"Error in ';', loop still open"};
    line_start = record.line_start;
    line_end = record.line_end;
    scan_pos = record.scan_pos;
}

void enter_sub(const WORT& sub)
{
    count_step();
    call_stack.push(CALL_STRUCT{line_start, line_end, scan_pos, 0.0, 0.0, 0.0, nullptr});
    line_start = sub.start;
    scan_pos = sub.start;
    line_end = sub.end;
}
