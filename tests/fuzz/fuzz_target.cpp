// The libFuzzer entry point: the bytes are a whole run's standard input. Built with clang
// by the fuzz preset (scripts/fuzz), and with any compiler into corpus_replay, which feeds
// it the corpus without an engine. See fuzz_session.h for what counts as a finding.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // No size limit here: scripts/fuzz bounds new inputs (-max_len), and the replay should
    // run the longer transcripts whole.
    fuzz_one_input({reinterpret_cast<const char*>(data), size});
    return 0;
}
