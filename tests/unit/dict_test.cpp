// The dictionary: the 31 primitives in their fixed order with their functions, lookup by
// exact name from the newest entry, and a duplicate name that is announced and added
// anyway.
#include <gtest/gtest.h>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "dict/dictionary.h"
#include "interp/error.h"
#include "interp/source.h"
#include "main/repl.h"
#include "stack/stack.h"
#include "support/fresh_state.h"
#include "words/arith.h"
#include "words/colon.h"
#include "words/loops.h"
#include "words/output.h"
#include "words/stack_words.h"

class Dictionary : public FRESH_STATE {
protected:
    void SetUp() override
    {
        FRESH_STATE::SetUp();
        dictionary = new std::list<WORT>;
        register_primitives();
    }
};

// Registration order; the list holds them newest first, so from the front it reads "="
// first and "+" last.
const struct { const char* name; void (*function)(); } primitive_table[] = {
    {"+", word_plus},          {"-", word_dash},         {"*", word_star},
    {"/", word_slash},         {".", word_dot},          {"QUIT", word_quit},
    {"CR", word_cr},           {":", word_colon},        {";", word_semicolon},
    {".\"", word_dot_quote},   {"EMIT", word_emit},      {"MOD", word_mod},
    {"/MOD", word_slash_mod},  {"MINUS", word_minus},    {"MIN", word_min},
    {"MAX", word_max},         {"ABS", word_abs},        {"DUP", word_dup},
    {"SWAP", word_swap},       {"OVER", word_over},      {"ROT", word_rot},
    {"DROP", word_drop},       {"SPACE", word_space},    {"SPACES", word_spaces},
    {"I", word_i},             {"DO", word_do},          {"LOOP", word_loop},
    {"+LOOP", word_plus_loop}, {"<", word_less_than},    {">", word_greater_than},
    {"=", word_equals},
};

TEST_F(Dictionary, RegistersThePrimitivesNewestFirstAndQuietly)
{
    EXPECT_EQ(output(), "");
    ASSERT_EQ(dictionary->size(), std::size(primitive_table));
    auto entry = dictionary->rbegin();  // the oldest entry, registered first
    for (const auto& primitive : primitive_table) {
        EXPECT_EQ(entry->name, primitive.name);
        EXPECT_EQ(entry->type, FUNCTION) << primitive.name;
        EXPECT_EQ(entry->function, primitive.function) << primitive.name;
        EXPECT_EQ(find_word(primitive.name), &*entry) << primitive.name;
        ++entry;
    }
    EXPECT_EQ(dictionary->front().name, "=");
    EXPECT_EQ(dictionary->back().name, "+");
}

TEST_F(Dictionary, ComparesNamesExactly)
{
    for (const char* name : {"dup", "Dup", "DU", "DUPX", "DUP ", " DUP", "", "quit", "+LOO", "LOOP+", ".\"\"", "\"",
             "DUP\x7F"})
        EXPECT_EQ(find_word(name), nullptr) << "name: " << name;
    EXPECT_NE(find_word("+LOOP"), nullptr);
    EXPECT_NE(find_word(".\""), nullptr);
}

TEST_F(Dictionary, DuplicateNameIsAnnouncedAndAddedAnyway)
{
    const char body[] = "1 ; 2 ;";
    add_word(WORT{"SUBX", body, body + 3});
    EXPECT_EQ(output(), "");
    add_word(WORT{"SUBX", body + 4, body + 7});
    EXPECT_EQ(output(), "Name NOT UNIQUE\n");
    EXPECT_EQ(dictionary->size(), std::size(primitive_table) + 2);
    const WORT* const found = find_word("SUBX");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->type, SUB);
    EXPECT_EQ(found->start, body + 4);  // the newer one hides the older
    EXPECT_EQ(found->end, body + 7);
    EXPECT_EQ(std::next(dictionary->begin())->start, body);  // the older one stays behind it

    add_word(WORT{"DUP", body, body + 3});  // a primitive can be hidden too
    EXPECT_EQ(output(), "Name NOT UNIQUE\nName NOT UNIQUE\n");
    EXPECT_EQ(find_word("DUP")->type, SUB);
    add_word(WORT{"dup", body, body + 3});  // a different name: no notice
    EXPECT_EQ(output(), "Name NOT UNIQUE\nName NOT UNIQUE\n");
}

TEST_F(Dictionary, NameExistsLooksAtNamesOnly)
{
    EXPECT_TRUE(name_exists(WORT{"ROT", nullptr, nullptr}));
    EXPECT_FALSE(name_exists(WORT{"rot", word_rot}));
}

TEST_F(Dictionary, EntryOfKindNoneCannotBeExecuted)
{
    // No operation makes one; the outer interpreter still refuses it rather than guess.
    WORT none{"NOTHING", word_dup};
    none.type = NONE;
    dictionary->push_front(none);
    data_stack = new STACK<double>{data_stack_cells};
    const char text[] = "NOTHING";
    line_start = scan_pos = text;
    line_end = text + 7;
    std::string message;
    try {
        interpret();
    } catch (const ERROR& error) {
        message = error.message;
    }
    EXPECT_EQ(message, "Could not execute a WORT of type NONE");
    EXPECT_EQ(data_stack->top, data_stack->size);  // DUP's function was not called
}
