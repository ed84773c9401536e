// Colon definitions as one-line programs; the programs over several lines are files in
// colon/. A body is text, run anew on every call: names in it are looked up when it runs.
#include <gtest/gtest.h>
#include <string>

#include "transcripts/rows.h"

TEST(ColonWords, DefineAndCall)
{
    const ROW rows[] = {
        {": SQ DUP * ; 3 SQ .\n", "9  ok\n"},
        {"5 : INC 1 + ; INC .\n", "6  ok\n"},
        {": NOP ; 1 NOP NOP .\n", "1  ok\n"},
        {": X2 1 ; X2 .\n", "1  ok\n"},
        {": -1 5 ; -1 .\n", "5  ok\n"},
        {": ;X 5 ; ;X .\n", "5  ok\n"},
        {": X 5 X; ; X\n", "ERROR: Word <X;> not found in dictionary\n"},
        {": TWICE DUP + ; : QUAD TWICE TWICE ; 3 QUAD .\n", "12  ok\n"},
        {": A 1 . ; : B A 2 . A ; B 3 .\n", "1 2 1 3  ok\n"},
        {": SQ DUP * ;\t3\tSQ\t.\n", "9  ok\n"},
        {": SQ DUP * ; 3 SQ . QUIT 4 SQ .\n", "9 16  ok\n"},
    };
    check_rows(rows);
}

// The newest entry of a name wins, for primitives too, and also inside subs defined before
// it; a name differing only in case is another name.
TEST(ColonWords, Redefinition)
{
    const ROW rows[] = {
        {": A 1 ; : A 2 ; A .\n", "Name NOT UNIQUE\n2  ok\n"},
        {": A 1 ; : B A A + ; B . : A 10 ; B .\n", "2 Name NOT UNIQUE\n20  ok\n"},
        {": DUP 1 ; 5 DUP . .\n", "Name NOT UNIQUE\n1 5  ok\n"},
        {": dup 1 ; 5 DUP dup . . .\n", "1 5 5  ok\n"},
        {": A 1 ; : A A 1 + ; A\n", "Name NOT UNIQUE\nERROR: Stack overflow\n"},
        {": ; 7 ;\n", "Name NOT UNIQUE\n ok\n"},
        {"1 2 : + * ; + .\n", "Name NOT UNIQUE\n2  ok\n"},
    };
    check_rows(rows);
}

// The scan for the end of a body only looks for the first token that is ';' alone, within
// the current text, and executes nothing on the way.
TEST(ColonWords, BodyEndsAtTheFirstLoneSemicolon)
{
    const ROW rows[] = {
        {": T .\" a ; b \" ;\n", "ERROR: Word <b> not found in dictionary\n"},
        {": OUTER : INNER 1 ; ;\n", "ERROR: Stack underflow\n"},
        {": CALLER CALLEE ; 1 .\n", "1  ok\n"},
        {": CALLER CALLEE ; CALLER\n", "ERROR: Word <CALLEE> not found in dictionary\n"},
        {": CALLER CALLEE ; : CALLEE 7 ; CALLER .\n", "7  ok\n"},
        {": BAD 1 2 NOSUCH 0 / ; 3 .\n", "3  ok\n"},
    };
    check_rows(rows);
}

TEST(ColonWords, DefinitionErrors)
{
    const ROW rows[] = {
        {":\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {":   \n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": X\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": X \n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": X 1 2\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": X 1 2 ;X\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": X 1 2 X;\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": X 1 ;;\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {"1 . : X 1\n", "1 ERROR: Error in 'dp', sub must end with ;\n"},
        {": A : ; A\n", "ERROR: Error in 'dp', sub must end with ;\n"},
        {": 2X 1 ;\n", "ERROR: Wrong sub-name, cannot be a number\n"},
        {": 9 ;\n", "ERROR: Wrong sub-name, cannot be a number\n"},
        {": 0rX 1 ;\n", "ERROR: Wrong sub-name, cannot be a number\n"},
        {"1 . : 2X\n", "1 ERROR: Wrong sub-name, cannot be a number\n"},
        {": 2X\n", "ERROR: Wrong sub-name, cannot be a number\n"},
    };
    check_rows(rows);
}

// ';' pops the call stack: with nothing on it, it underflows; with a loop record on top it
// must not take that record's unset text pointers as the caller's text.
TEST(ColonWords, SemicolonErrors)
{
    const ROW rows[] = {
        {";\n", "ERROR: Stack underflow\n"},
        {"1 . ;\n", "1 ERROR: Stack underflow\n"},
        {": NOP ; NOP ;\n", "ERROR: Stack underflow\n"},
        {"3 0 DO ;\n", "ERROR: Error in ';', loop still open\n"},
        {": S 3 0 DO ; S\n", "ERROR: Error in ';', loop still open\n"},
        {": S 3 0 DO I . ; S\n", "0 ERROR: Error in ';', loop still open\n"},
        {": S 3 0 DO I . LOOP ; S 9 .\n", "0 1 2 9  ok\n"},
    };
    check_rows(rows);
}

// 100 entries on the call stack: a sub that calls itself is entered 100 times and the
// 101st entry overflows; every open loop takes one of the entries.
TEST(ColonWords, NestingDepth)
{
    const std::string overflow = "ERROR: Stack overflow\n";
    expect_transcript(": R .\" x \" R ; R\n", std::string(100, 'x') + overflow);
    expect_transcript(": R .\" x \" R ; 1 0 DO R\n", std::string(99, 'x') + overflow);
    expect_transcript(": R .\" x \" R ; 1 0 DO 1 0 DO R\n", std::string(98, 'x') + overflow);
    expect_transcript(": DEEP DEEP ; DEEP\n", overflow);
}
