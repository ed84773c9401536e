// The outer interpreter: one loop over the current text. A sub call does not nest it: the
// sub's entry switches the current text and the body's ';' switches it back, both through
// call_stack, so the native stack stays flat at any depth. Tests: transcripts/source/,
// transcripts/colon/.
#include <string>
#include <string_view>

#include "dict/dictionary.h"
#include "interp/error.h"
#include "interp/number.h"
#include "interp/source.h"
#include "words/colon.h"

const char* line_start = nullptr;
const char* line_end = nullptr;
const char* scan_pos = nullptr;
const char* token_start = nullptr;
const char* token_end = nullptr;

[[noreturn]] static void throw_not_found(std::string_view name)
{
    throw ERROR{"Word <" + std::string{name} + "> not found in dictionary"};
}

void interpret()
{
    next_token();
    while (token_start != token_end) {
        if (is_decimal_digit(*token_start)) {
            parse_number();
        } else {
            const std::string_view name{token_start, static_cast<std::size_t>(token_end - token_start)};
            const WORT* word = find_word(name);
            if (word == nullptr) throw_not_found(name);
            if (word->type == FUNCTION) {
                word->function();
            } else if (word->type == SUB) {
                enter_sub(*word);
            } else {
                throw ERROR{"Could not execute a WORT of type NONE"};
            }
        }
        next_token();
    }
}
