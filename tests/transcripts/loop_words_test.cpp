// Counted loops as one-line programs; loops over several lines are files in loops/. A
// sentinel pushed before the loop shows how many values a loop left: it is printed last.
#include <gtest/gtest.h>

#include "transcripts/rows.h"

// LOOP goes on while the index, advanced by 1, stays below the limit; the body always runs
// at least once.
TEST(LoopWords, Loop)
{
    const ROW rows[] = {
        {"10 0 DO I . LOOP\n", "0 1 2 3 4 5 6 7 8 9  ok\n"},
        {"10 0 DO I LOOP . .\n", "9 8  ok\n"},
        {"7 0 0 DO I LOOP . .\n", "0 7  ok\n"},
        {"7 0 10 DO I LOOP . .\n", "10 7  ok\n"},
        {"3 0.5 DO I . LOOP\n", "0.5 1.5 2.5  ok\n"},
        {"2.5 0 DO I . LOOP\n", "0 1 2  ok\n"},
        {"2 3 MINUS DO I . LOOP\n", "-3 -2 -1 0 1  ok\n"},
        {"3 0 DO 1 . LOOP 9 .\n", "1 1 1 9  ok\n"},
        {"1 0 DO LOOP 5 .\n", "5  ok\n"},
    };
    check_rows(rows);
}

// +LOOP goes on while initial < index < limit: an increment of 0 or less ends the loop
// after its first pass.
TEST(LoopWords, PlusLoop)
{
    const ROW rows[] = {
        {"10 0 DO I . 2 +LOOP\n", "0 2 4 6 8  ok\n"},
        {"10 0 DO I . 3 +LOOP\n", "0 3 6 9  ok\n"},
        {"6 0 DO I . 3 +LOOP\n", "0 3  ok\n"},
        {"1 0 DO I . 0.25 +LOOP\n", "0 0.25 0.5 0.75  ok\n"},
        {"7 10 0 DO I 0 +LOOP . .\n", "0 7  ok\n"},
        {"7 10 0 DO I 1 MINUS +LOOP . .\n", "0 7  ok\n"},
        {"7 0 5 DO I 1 +LOOP . .\n", "5 7  ok\n"},
        {"2 3 MINUS DO I . 1 +LOOP\n", "-3 -2 -1 0 1  ok\n"},
        {"10 0 DO I . I 1 + +LOOP\n", "0 1 3 7  ok\n"},
        {"3 0 DO I . 1 LOOP\n", "0 1 2  ok\n"},
    };
    check_rows(rows);
}

// Each index is a sum of doubles: 1 0 DO I 0.1 +LOOP runs 11 passes, and the last index is
// 0.9999999999999999 (1 - 2^-53), which prints as 1 but is below the limit.
TEST(LoopWords, PlusLoopIndexIsASumOfDoubles)
{
    const ROW rows[] = {
        {"5 1 0 DO I 0.1 +LOOP DUP 1 < . 1 - 9007199254740992 * . . . . . . . . . . . .\n",
         "1 -1 0.9 0.8 0.7 0.6 0.5 0.4 0.3 0.2 0.1 0 5  ok\n"},
    };
    check_rows(rows);
}

// An index that rounds to infinity is at or above any limit: the loop ends, no error.
// 2^1023 is built as in the arithmetic tests; the limit is 1.5 * 2^1023.
TEST(LoopWords, PlusLoopIndexRoundingToInfinityEndsTheLoop)
{
    const ROW rows[] = {
        {"65536 DUP * DUP * DUP * DUP * DUP * DUP 2 / * DUP DUP 2 / + SWAP DO I . I +LOOP 1 .\n",
         "8.98847e+307 1  ok\n"},
    };
    check_rows(rows);
}

// I reads the innermost loop; a sub's record above a loop record is gone again by LOOP.
TEST(LoopWords, NestedLoopsAndSubs)
{
    const ROW rows[] = {
        {"3 0 DO 2 0 DO I . LOOP LOOP\n", "0 1 0 1 0 1  ok\n"},
        {"3 0 DO 2 0 DO I LOOP LOOP . . . . . .\n", "1 0 1 0 1 0  ok\n"},
        {"3 0 DO 2 0 DO LOOP I . LOOP\n", "0 1 2  ok\n"},
        {"3 0 DO I 2 0 DO DUP I + . LOOP DROP LOOP\n", "0 1 1 2 2 3  ok\n"},
        {": NOP ; 3 0 DO NOP I . NOP LOOP\n", "0 1 2  ok\n"},
        {": SQ DUP * ; 4 1 DO I SQ . LOOP\n", "1 4 9  ok\n"},
        {": COUNT 3 0 DO I . LOOP ; COUNT COUNT\n", "0 1 2 0 1 2  ok\n"},
        {": ROW 3 0 DO I . LOOP CR ; 2 0 DO ROW LOOP\n", "0 1 2 \n0 1 2 \n ok\n"},
        {"3 0 DO : A 1 ; LOOP A .\n", "Name NOT UNIQUE\nName NOT UNIQUE\n1  ok\n"},
        {"5 0 DO I . I 2 = QUIT DROP LOOP\n", "0 1 2 3 4  ok\n"},
    };
    check_rows(rows);
}

TEST(LoopWords, StackErrors)
{
    const ROW rows[] = {
        {"LOOP\n", "ERROR: Stack underflow\n"},
        {"I\n", "ERROR: Stack underflow\n"},
        {"+LOOP\n", "ERROR: Stack underflow\n"},
        {"5 +LOOP\n", "ERROR: Stack underflow\n"},
        {"3 0 DO +LOOP\n", "ERROR: Stack underflow\n"},
        {"DO\n", "ERROR: Stack underflow\n"},
        {"1 DO\n", "ERROR: Stack underflow\n"},
        {"3 0 DO LOOP LOOP\n", "ERROR: Stack underflow\n"},
        {"98 0 DO I LOOP 5 0 DO I I\n", " ok\n"},
        {"98 0 DO I LOOP 5 0 DO I I I\n", "ERROR: Stack overflow\n"},
    };
    check_rows(rows);
}

// The call stack's top record must be a loop record for LOOP, +LOOP and I. A sub's record
// is on top inside a sub called from a loop body; +LOOP checks before it pops the
// increment, so an empty data stack still reports the wrong record.
TEST(LoopWords, WrongRecordOnTop)
{
    const ROW rows[] = {
        {": S I ; 3 0 DO S\n", "ERROR: Error in 'I', no open loop\n"},
        {": S I ; S\n", "ERROR: Error in 'I', no open loop\n"},
        {": S I . ; 3 0 DO I . S LOOP\n", "0 ERROR: Error in 'I', no open loop\n"},
        {": L LOOP ; 3 0 DO L\n", "ERROR: Error in 'LOOP', no open loop\n"},
        {": L LOOP ; L\n", "ERROR: Error in 'LOOP', no open loop\n"},
        {": S +LOOP ; S\n", "ERROR: Error in '+LOOP', no open loop\n"},
        {": S +LOOP ; 5 S\n", "ERROR: Error in '+LOOP', no open loop\n"},
        {": S +LOOP ; 3 0 DO S\n", "ERROR: Error in '+LOOP', no open loop\n"},
        {": S +LOOP ; 3 0 DO 1 S\n", "ERROR: Error in '+LOOP', no open loop\n"},
    };
    check_rows(rows);
}
