// Arithmetic and comparison words. Each pops its operands (top first), then pushes one
// result; truth values are 1 and 0. Tests: transcripts/arith/.
#pragma once

void word_plus();          // +     ( a b -- a+b )
void word_dash();          // -     ( a b -- a-b )
void word_star();          // *     ( a b -- a*b )
void word_slash();         // /     ( a b -- a*(1/b) ), rounded twice
void word_mod();           // MOD   ( a b -- rem )  on cell_to_int values
void word_slash_mod();     // /MOD  ( a b -- rem quot )
void word_minus();         // MINUS ( a -- -a )
void word_min();           // MIN   ( a b -- min )
void word_max();           // MAX   ( a b -- max )
void word_abs();           // ABS   ( a -- |a| )
void word_less_than();     // <     ( a b -- a<b )
void word_greater_than();  // >     ( a b -- a>b )
void word_equals();        // =     ( a b -- a=b )
