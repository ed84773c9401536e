// STACK<T>: fixed-capacity stack behind data_stack and call_stack. Fills from the high
// end down (empty: top == size, full: top == 0); throws ERROR rather than returning a
// status, so words never check the depth first. CALL_STRUCT: one call-stack entry, either
// a sub-call record or a loop record. Invariant: 0 <= top <= size, and a failing push or
// pop changes nothing. Tests: unit/stack_test.cpp, transcripts/limits/.
#pragma once
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>

#include "interp/error.h"

[[noreturn]] void throw_stack_overflow();   // "Stack overflow"; kept out of line so that
[[noreturn]] void throw_stack_underflow();  // "Stack underflow"; push and pop inline small

template <typename T>
class STACK {
public:
    explicit STACK(std::int32_t capacity)   // throws "Not enough memory to allocate stack"
        : size{capacity}, items{new (std::nothrow) T[static_cast<std::size_t>(capacity)]()}, top{capacity}
    {
        assert(capacity >= 0);
        if (items == nullptr) throw ERROR{"Not enough memory to allocate stack"};
    }
    ~STACK() { delete[] items; }
    STACK(const STACK&) = delete;           // owns items: a copy would free it twice
    STACK& operator=(const STACK&) = delete;

    void push(T value)                      // throws "Stack overflow" when full
    {
        if (top == 0) [[unlikely]] throw_stack_overflow();
        items[--top] = value;
    }
    T pop()                                 // throws "Stack underflow" when empty
    {
        if (top == size) [[unlikely]] throw_stack_underflow();
        return items[top++];
    }
    T peek() const                          // as pop, but the top stays
    {
        if (top == size) [[unlikely]] throw_stack_underflow();
        return items[top];
    }

    std::int32_t size;                      // capacity, fixed by the constructor
    T* items;                               // size elements, from new[]
    std::int32_t top;                       // index of the top element
};

// A sub-call record saves the caller's text (the three pointers) and leaves the loop fields
// zero; a loop record saves the loop and leaves the three pointers null. loop_pos always
// points into the source text for a loop record, so it tells the two kinds apart: a word
// that finds the wrong kind on top reports it instead of reading fields nobody set.
struct CALL_STRUCT {
    const char* line_start;  // sub call: the caller's text, restored by ';'
    const char* line_end;
    const char* scan_pos;    // sub call: just past the token that named the sub
    double index;            // loop: the current index, advanced by LOOP and +LOOP
    double limit;            // loop: the loop ends once index >= limit
    double initial;          // loop: the start value; +LOOP also ends once index <= initial
    const char* loop_pos;    // loop: just past the DO token, where every pass starts
};

inline bool is_loop_record(const CALL_STRUCT& record) { return record.loop_pos != nullptr; }

// Sizes: 100 cells and 100 call entries together bound what a program may nest and hold.
inline constexpr std::int32_t data_stack_cells = 100;
inline constexpr std::int32_t call_stack_entries = 100;

extern STACK<double>* data_stack;           // created by the entry, freed at shut-down
extern STACK<CALL_STRUCT> call_stack;       // static: exists before main, freed at exit
