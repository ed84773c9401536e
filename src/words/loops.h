// Counted loops. DO pushes a loop record on call_stack; at the end of each pass LOOP or
// +LOOP advances its index and, while the loop goes on, puts it back and moves scan_pos to
// just after the DO, so the body is scanned again. Nothing closes a loop at the end of a
// line: a later line's LOOP jumps back into the earlier one. Tests: transcripts/loops/.
#pragma once

void word_do();         // DO    ( limit start -- )  pushes a loop record
void word_loop();       // LOOP  ( -- )    index + 1; goes on while index < limit
void word_plus_loop();  // +LOOP ( n -- )  index + n; goes on while initial < index < limit
void word_i();          // I     ( -- i )  the innermost loop's index
