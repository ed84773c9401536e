// Stack manipulation words. Each pops all its operands (top first), then pushes them back
// in a new order; values are copied bit for bit. Tests: transcripts/stack/.
#pragma once

void word_dup();   // DUP  ( a -- a a )
void word_swap();  // SWAP ( a b -- b a )
void word_over();  // OVER ( a b -- a b a )
void word_rot();   // ROT  ( a b c -- b c a )
void word_drop();  // DROP ( a -- )
