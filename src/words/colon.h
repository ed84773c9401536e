// Colon definitions. A sub is kept as the range of its body text in source_buffer and runs
// by interpreting that text again: its entry pushes a sub-call record and switches the
// current text to the body; the body's closing ';' pops the record and switches back.
// Tests: transcripts/colon/.
#pragma once

class WORT;

void word_colon();              // :  reads a name and a body up to the first lone ';'
void word_semicolon();          // ;  returns to the text saved by the newest sub call
void enter_sub(const WORT& sub);  // the outer interpreter's action for a SUB entry
