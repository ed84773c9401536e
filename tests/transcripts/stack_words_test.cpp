// Stack manipulation words as one-line programs. Each word pops all its operands, top
// first, and then pushes; that order decides which error a run ends with. "100 0 DO I LOOP"
// fills the data stack with 0 to 99 (99 on top), "99 0 DO I LOOP" leaves one cell free.
#include <gtest/gtest.h>

#include "transcripts/rows.h"

TEST(StackWords, Rearrange)
{
    const ROW rows[] = {
        {"1 2 SWAP . .\n", "1 2  ok\n"},
        {"1 2 OVER . . .\n", "1 2 1  ok\n"},
        {"1 2 3 ROT . . .\n", "1 3 2  ok\n"},
        {"1 2 3 ROT ROT ROT . . .\n", "3 2 1  ok\n"},
        {"5 DUP * .\n", "25  ok\n"},
        {"5 DUP . .\n", "5 5  ok\n"},
        {"1 2 DROP .\n", "1  ok\n"},
        {"7 1 2 3 ROT DROP . . .\n", "3 2 7  ok\n"},
        {"7 1 2 SWAP DROP . .\n", "2 7  ok\n"},
        {"7 1 2 OVER DROP . . .\n", "2 1 7  ok\n"},
    };
    check_rows(rows);
}

// Copies are exact: a value that prints as 1 keeps its last bit through DUP, SWAP, OVER, ROT.
TEST(StackWords, CopiesKeepEveryBit)
{
    const ROW rows[] = {
        {"49 49 / DUP 1 < SWAP 1 < + .\n", "2  ok\n"},
        {"1 49 49 / SWAP DROP 1 < .\n", "1  ok\n"},
        {"49 49 / 1 OVER 1 < . DROP 1 < .\n", "1 1  ok\n"},
        {"49 49 / 1 2 ROT 1 < . . .\n", "1 2 1  ok\n"},
    };
    check_rows(rows);
}

TEST(StackWords, StackUnderflow)
{
    const ROW rows[] = {
        {"DUP\n", "ERROR: Stack underflow\n"},
        {"DROP\n", "ERROR: Stack underflow\n"},
        {"SWAP\n", "ERROR: Stack underflow\n"},
        {"1 SWAP\n", "ERROR: Stack underflow\n"},
        {"OVER\n", "ERROR: Stack underflow\n"},
        {"1 OVER\n", "ERROR: Stack underflow\n"},
        {"ROT\n", "ERROR: Stack underflow\n"},
        {"1 ROT\n", "ERROR: Stack underflow\n"},
        {"1 2 ROT\n", "ERROR: Stack underflow\n"},
        {"1 2 . . DROP\n", "2 1 ERROR: Stack underflow\n"},
    };
    check_rows(rows);
}

// DUP and OVER push one more than they pop and fail on a full stack; SWAP, ROT and DROP
// never push more than they popped and work on it.
TEST(StackWords, FullStack)
{
    const ROW rows[] = {
        {"100 0 DO I LOOP DUP\n", "ERROR: Stack overflow\n"},
        {"100 0 DO I LOOP OVER\n", "ERROR: Stack overflow\n"},
        {"100 0 DO I LOOP SWAP . . .\n", "98 99 97  ok\n"},
        {"100 0 DO I LOOP ROT . . .\n", "97 99 98  ok\n"},
        {"100 0 DO I LOOP DROP . .\n", "98 97  ok\n"},
        {"100 0 DO I LOOP SWAP ROT DROP 1 . . .\n", "1 98 99  ok\n"},
        {"100 0 DO I LOOP 1\n", "ERROR: Stack overflow\n"},
        {"99 0 DO I LOOP DUP . . .\n", "98 98 97  ok\n"},
        {"99 0 DO I LOOP OVER . . .\n", "97 98 97  ok\n"},
        {"99 0 DO I LOOP DUP DUP\n", "ERROR: Stack overflow\n"},
        {"99 0 DO I LOOP OVER 1\n", "ERROR: Stack overflow\n"},
    };
    check_rows(rows);
}
