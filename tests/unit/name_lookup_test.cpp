// find_word compares names in place a few bytes at a time (first, middle and last byte; or
// the first and last four), not byte by byte: a name that differs from an entry's in any
// single byte, at any length, must not find that entry.
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "dict/dictionary.h"
#include "main/repl.h"

namespace {

void nothing() {}

class NameLookup : public testing::Test {
protected:
    void SetUp() override
    {
        reset_interpreter_state();
        dictionary = new std::list<WORT>;
    }
    void TearDown() override { reset_interpreter_state(); }
};

// The first n letters of the alphabet: no two bytes of a name are alike.
std::string name_of_length(std::size_t n) { return std::string{"ABCDEFGHIJKLMNOP"}.substr(0, n); }

}  // namespace

// Each token is held in a heap block of exactly its length, so that the sanitizer build
// catches a comparison that reads past it.
TEST_F(NameLookup, OneDifferentByteAtAnyPlaceIsAnotherName)
{
    for (std::size_t n = 1; n <= 12; ++n) dictionary->push_front(WORT{name_of_length(n), nothing});
    const auto find_exactly_held = [](const std::string& name) {
        const std::unique_ptr<char[]> bytes{new char[name.size()]};
        std::memcpy(bytes.get(), name.data(), name.size());
        return find_word(std::string_view{bytes.get(), name.size()});
    };
    for (std::size_t n = 1; n <= 12; ++n) {
        const std::string name = name_of_length(n);
        const WORT* const found = find_exactly_held(name);
        ASSERT_NE(found, nullptr) << "name: " << name;
        EXPECT_EQ(found->name, name);
        for (std::size_t at = 0; at < n; ++at) {
            for (const char other : {'a', 'Z', '\x7F', '!'}) {
                std::string changed = name;
                changed[at] = other;
                EXPECT_EQ(find_exactly_held(changed), nullptr) << "name: " << changed;
            }
        }
    }
}

// Only the token's own bytes are compared, however the text around it reads.
TEST_F(NameLookup, TokenInsideLongerTextIsComparedByItsOwnBytes)
{
    dictionary->push_front(WORT{"DROP", nothing});
    dictionary->push_front(WORT{"SPACES", nothing});
    const std::string text = "XDROPSPACESX";
    EXPECT_EQ(find_word(std::string_view{text}.substr(1, 4))->name, "DROP");
    EXPECT_EQ(find_word(std::string_view{text}.substr(5, 6))->name, "SPACES");
    EXPECT_EQ(find_word(std::string_view{text}.substr(5, 5)), nullptr);
    EXPECT_EQ(find_word(std::string_view{text}.substr(0, 5)), nullptr);
}

TEST_F(NameLookup, NewestOfTwoEqualNamesIsFound)
{
    for (const std::string name : {"S1", "SUB", "W0001", "LONGERNAME"}) {
        dictionary->push_front(WORT{name, nothing});
        dictionary->push_front(WORT{name, nothing});
        EXPECT_EQ(find_word(name), &dictionary->front()) << "name: " << name;
    }
}
