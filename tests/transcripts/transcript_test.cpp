// Transcript tests: every <name>.in below this folder is a program sent unchanged to the
// real binary's standard input; <name>.out holds the exact bytes expected on standard
// output after the banner. The exit status is implied: 0 when the expected output is empty
// or ends in " ok" and a newline (QUIT or end of input), 1 otherwise (an ERROR).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "support/run_forth.h"
#include "transcripts/expect_transcript.h"

namespace fs = std::filesystem;

static std::string read_file(const fs::path& path)
{
    std::ifstream file{path, std::ios::binary};
    return {std::istreambuf_iterator<char>{file}, std::istreambuf_iterator<char>{}};
}

static std::vector<std::string> transcript_inputs()
{
    std::vector<std::string> inputs;
    for (const auto& entry : fs::recursive_directory_iterator{TRANSCRIPT_DIR})
        if (entry.is_regular_file() && entry.path().extension() == ".in")
            inputs.push_back(fs::relative(entry.path(), TRANSCRIPT_DIR).string());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class TranscriptFile : public testing::TestWithParam<std::string> {};

TEST_P(TranscriptFile, MatchesExpectedOutput)
{
    const fs::path input = fs::path{TRANSCRIPT_DIR} / GetParam();
    fs::path expected = input;
    expected.replace_extension(".out");
    ASSERT_TRUE(fs::exists(expected)) << "no .out beside " << input;
    expect_transcript(read_file(input), read_file(expected));
}

// GoogleTest names allow only letters, digits and '_': "loops/across_lines.in" becomes
// "loops_across_lines".
static std::string test_name(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param.substr(0, info.param.size() - 3);
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, TranscriptFile, testing::ValuesIn(transcript_inputs()), test_name);
