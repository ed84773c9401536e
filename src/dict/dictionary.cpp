// Dictionary entries, lookup, insertion and the table of primitives; see dictionary.h.
// Tests: unit/dict_test.cpp.
#include "dict/dictionary.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "main/repl.h"
#include "words/arith.h"
#include "words/colon.h"
#include "words/loops.h"
#include "words/output.h"
#include "words/stack_words.h"

std::list<WORT>* dictionary = nullptr;

WORT::WORT(std::string word_name, void (*word_function)())
    : type{FUNCTION}, name{std::move(word_name)}, start{nullptr}, end{nullptr}, function{word_function}
{
}

WORT::WORT(std::string word_name, const char* body_start, const char* body_end)
    : type{SUB}, name{std::move(word_name)}, start{body_start}, end{body_end}, function{nullptr}
{
}

bool name_exists(const WORT& word) { return find_word(word.name) != nullptr; }

void add_word(const WORT& word)
{
    if (name_exists(word)) std::cout << "Name NOT UNIQUE" << std::endl;
    dictionary->push_front(word);
}

void register_primitives()
{
    // ORDER: the dictionary's order; dict_test checks it. Lookup starts at the last row.
    static const struct { const char* name; void (*function)(); } primitives[] = {
        {"+", word_plus},        {"-", word_dash},          {"*", word_star},
        {"/", word_slash},       {".", word_dot},            {"QUIT", word_quit},
        {"CR", word_cr},         {":", word_colon},          {";", word_semicolon},
        {".\"", word_dot_quote}, {"EMIT", word_emit},        {"MOD", word_mod},
        {"/MOD", word_slash_mod}, {"MINUS", word_minus},    {"MIN", word_min},
        {"MAX", word_max},       {"ABS", word_abs},          {"DUP", word_dup},
        {"SWAP", word_swap},     {"OVER", word_over},        {"ROT", word_rot},
        {"DROP", word_drop},     {"SPACE", word_space},      {"SPACES", word_spaces},
        {"I", word_i},           {"DO", word_do},            {"LOOP", word_loop},
        {"+LOOP", word_plus_loop}, {"<", word_less_than},         {">", word_greater_than},
        {"=", word_equals},
    };
    for (const auto& primitive : primitives) add_word(WORT{primitive.name, primitive.function});
}

std::vector<std::string> word_names()
{
    std::vector<std::string> names;
    if (dictionary == nullptr) return names;
    for (const WORT& word : *dictionary)
        if (std::find(names.begin(), names.end(), word.name) == names.end()) names.push_back(word.name);
    return names;
}
