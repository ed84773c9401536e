// The one check behind every transcript test, file or table row: run the binary on the
// input, require the banner, then the expected bytes, the implied exit status, an empty
// standard error and no timeout.
#pragma once
#include <string_view>

void expect_transcript(std::string_view input, std::string_view expected);

// Exit status a transcript implies: 0 when the output is empty or ends in " ok\n".
int implied_status(std::string_view expected);
