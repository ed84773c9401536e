// The dictionary: every word the interpreter knows, newest first. Lookup walks it from the
// front with an exact comparison, so a newer entry of a name hides every older one, also
// inside subs defined before it (their bodies are looked up again on every run). Entries
// are never removed or changed during a run, so a WORT* stays valid until shut-down.
// Tests: unit/dict_test.cpp, transcripts/colon/.
#pragma once
#include <cstdint>
#include <list>
#include <string>
#include <string_view>

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

const WORT* find_word(std::string_view name);  // newest entry of that name, or null
bool name_exists(const WORT& word);            // some entry already has word's name
void add_word(const WORT& word);               // front insert; a duplicate name first prints
                                               // "Name NOT UNIQUE" and is added all the same
void register_primitives();                    // the 31 built-in words, in their fixed order
