// Counted loops; see loops.h. Index updates are formed in extended precision and rounded to
// a double, like literal digits (interp/extended.h): 1 0 DO I 0.1 +LOOP runs 11 passes, the
// last index 0.9999999999999999. Tests: transcripts/loops/, transcripts/loop_words_test.cpp.
#include "words/loops.h"

#include <cassert>

#include "interp/error.h"
#include "interp/extended.h"
#include "interp/source.h"
#include "interp/step_budget.h"
#include "stack/stack.h"

// ( limit start -- ): the body always runs at least once; the values are not tested.
void word_do()
{
    const double start = data_stack->pop();
    const double limit = data_stack->pop();
    call_stack.push(CALL_STRUCT{nullptr, nullptr, nullptr, start, limit, start, scan_pos});
}

// Only scan_pos moves: when DO stood on an earlier line, the scan reads on from there
// through every later line up to the current line's end (loop_pos is never beyond it).
static void repeat_pass(const CALL_STRUCT& record)
{
    count_step();
    call_stack.push(record);  // cannot fail: the record was just popped
    assert(record.loop_pos <= line_end);
    scan_pos = record.loop_pos;
}

// ( -- )
void word_loop()
{
    CALL_STRUCT record = call_stack.pop();
    if (!is_loop_record(record)) throw ERROR{"Error in 'LOOP', no open loop"};
    record.index = extended_sum(record.index, 1.0);
    if (record.index < record.limit) repeat_pass(record);
}

// ( n -- ): a step that rounds the index to infinity simply ends the loop.
void word_plus_loop()
{
    CALL_STRUCT record = call_stack.pop();
    if (!is_loop_record(record)) throw ERROR{"Error in '+LOOP', no open loop"};
    const double step = data_stack->pop();
    record.index = extended_sum(record.index, step);
    if (record.index < record.limit && record.index > record.initial) repeat_pass(record);
}

// ( -- i ): inside a sub called from the loop body the sub's record is on top, not the loop's.
void word_i()
{
    const CALL_STRUCT record = call_stack.peek();
    if (!is_loop_record(record)) throw ERROR{"Error in 'I', no open loop"};
    data_stack->push(record.index);
}
