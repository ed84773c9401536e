// Transcript tests: every <name>.in below this folder is a program sent unchanged to the
// real binary's standard input; <name>.out holds the exact bytes expected on standard
// output after the banner. The exit status is implied: 0 when the expected output is empty
// or ends in " ok" and a newline (QUIT or end of input), 1 otherwise (an ERROR).
// The programs in examples/ (<name>.fs beside <name>.out) are checked the same way, so the
// examples a newcomer reads always run as shown.
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

// Every file with the extension below the folder, relative to it, in a stable order.
static std::vector<std::string> program_files(const fs::path& folder, const std::string& extension)
{
    std::vector<std::string> inputs;
    for (const auto& entry : fs::recursive_directory_iterator{folder})
        if (entry.is_regular_file() && entry.path().extension() == extension)
            inputs.push_back(fs::relative(entry.path(), folder).string());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

static void expect_program(const fs::path& input)
{
    fs::path expected = input;
    expected.replace_extension(".out");
    ASSERT_TRUE(fs::exists(expected)) << "no .out beside " << input;
    expect_transcript(read_file(input), read_file(expected));
}

class TranscriptFile : public testing::TestWithParam<std::string> {};

TEST_P(TranscriptFile, MatchesExpectedOutput) { expect_program(fs::path{TRANSCRIPT_DIR} / GetParam()); }

class ExampleProgram : public testing::TestWithParam<std::string> {};

TEST_P(ExampleProgram, MatchesExpectedOutput) { expect_program(fs::path{EXAMPLES_DIR} / GetParam()); }

// GoogleTest names allow only letters, digits and '_': "loops/across_lines.in" becomes
// "loops_across_lines".
static std::string test_name(const testing::TestParamInfo<std::string>& info)
{
    std::string name = fs::path{info.param}.replace_extension().string();
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, TranscriptFile, testing::ValuesIn(program_files(TRANSCRIPT_DIR, ".in")), test_name);
INSTANTIATE_TEST_SUITE_P(Examples, ExampleProgram, testing::ValuesIn(program_files(EXAMPLES_DIR, ".fs")), test_name);
