// One-line programs, as table rows through the same check as the transcript files.
#include <gtest/gtest.h>

#include "transcripts/rows.h"

// Start-up, the loop and its two endings.
TEST(Session, LinesOkAndEndings)
{
    const ROW rows[] = {
        {"", ""},
        {"\n", " ok\n"},
        {"QUIT\n", " ok\n"},
        {"QUIT 1 2 + .\nnever read\n", "3  ok\n"},
        {"1 2\n+ .\n", " ok\n3  ok\n"},
        {"1 2 + . dup 5 .\n", "3 ERROR: Word <dup> not found in dictionary\n"},
        {"2 3 + .", "5  ok\n"},
    };
    check_rows(rows);
}
