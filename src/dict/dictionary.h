// The dictionary: every word the interpreter knows, newest first. Lookup walks it from the
// front with an exact comparison, so a newer entry of a name hides every older one, also
// inside subs defined before it (their bodies are looked up again on every run). Entries
// are never removed or changed during a run, so a WORT* stays valid until shut-down.
// Tests: unit/dict_test.cpp, transcripts/colon/.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <list>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::int32_t NONE = 0;      // no operation creates one; executing it fails
inline constexpr std::int32_t FUNCTION = 1;  // a primitive: function
inline constexpr std::int32_t SUB = 2;       // a colon definition: start..end

class WORT {
public:
    WORT(std::string word_name, void (*word_function)());                      // a FUNCTION
    WORT(std::string word_name, const char* body_start, const char* body_end);  // a SUB

    std::int32_t type;        // NONE, FUNCTION or SUB
    std::string name;         // compared byte for byte: no case folding
    const char* start;        // SUB: first character of the body in source_buffer
    const char* end;          // SUB: one past the body's closing ';'
    void (*function)();       // FUNCTION: the primitive
};

extern std::list<WORT>* dictionary;  // created by the entry, freed at shut-down

// Exact equality of two names of the same length n, compared in place. Names are short:
// up to 8 bytes, a few loads from each side that together cover every byte settle it (for
// 1 to 3 bytes the first, middle and last byte; for 4 to 8 the first and last four bytes,
// which may overlap), with no call to memcmp. Nothing outside the n bytes is read.
inline bool same_name_bytes(const char* a, const char* b, std::size_t n)
{
    if (n - 1 < 3) return a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1];
    if (n - 4 < 5) {
        std::uint32_t a_head, b_head, a_tail, b_tail;
        std::memcpy(&a_head, a, 4);
        std::memcpy(&b_head, b, 4);
        std::memcpy(&a_tail, a + n - 4, 4);
        std::memcpy(&b_tail, b + n - 4, 4);
        return a_head == b_head && a_tail == b_tail;
    }
    return std::memcmp(a, b, n) == 0;  // longer names, and the empty one
}

// The newest entry of that name, or null: one pass from the front, length first (it settles
// most entries with one comparison), then the bytes, compared in place against the token.
// Inline because the outer interpreter calls it for every name it executes.
inline const WORT* find_word(std::string_view name)
{
    for (const WORT& word : *dictionary) {
        if (word.name.size() == name.size() && same_name_bytes(word.name.data(), name.data(), name.size()))
            return &word;
    }
    return nullptr;
}

bool name_exists(const WORT& word);            // some entry already has word's name
void add_word(const WORT& word);               // front insert; a duplicate name first prints
                                               // "Name NOT UNIQUE" and is added all the same
void register_primitives();                    // the 31 built-in words, in their fixed order

// Every name the dictionary holds, newest first, each once (a redefinition hides the older
// entry, so its name is listed where the newest one stands). For completion at the console.
std::vector<std::string> word_names();
