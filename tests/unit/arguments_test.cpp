// The command line: no argument runs the interpreter; --help and --version answer on
// standard output with status 0; anything else is refused on standard error with status 2,
// before the banner and without reading any input (a file name typed by habit must not
// leave the user at an interpreter that ignored it). Run as a process, as a user would.
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/memory_file.h"
#include "support/run_forth.h"

#ifndef FORTH_VERSION
#error "FORTH_VERSION must give the project's version"
#endif

struct ANSWER {
    RUN_RESULT run;
    off_t input_read;  // how far the interpreter read its standard input
};

static ANSWER run_with(const std::vector<std::string>& arguments)
{
    const int in = descriptor_with("1 2 + .\n");
    const int position = ::dup(in);  // shares the offset: shows what the child read
    ANSWER answer{run_forth_on(in, arguments), 0};
    answer.input_read = ::lseek(position, 0, SEEK_CUR);
    ::close(position);
    return answer;
}

static std::string joined(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "]";
    return text;
}

TEST(Arguments, NoneRunsTheInterpreter)
{
    const ANSWER answer = run_with({});
    EXPECT_EQ(answer.run.out, std::string{banner} + "3  ok\n");
    EXPECT_EQ(answer.run.status, 0);
}

TEST(Arguments, HelpShowsTheUsageOnStandardOutput)
{
    const ANSWER answer = run_with({"--help"});
    EXPECT_TRUE(answer.run.out.starts_with("usage: forth [--help | --version]\n")) << answer.run.out;
    EXPECT_NE(answer.run.out.find("forth < "), std::string::npos) << "how to run a program";
    EXPECT_NE(answer.run.out.find("man forth"), std::string::npos) << "where the manual is";
    EXPECT_NE(answer.run.out.find("examples"), std::string::npos) << "where the examples are";
    EXPECT_EQ(answer.run.err, "");
    EXPECT_EQ(answer.run.status, 0);
    EXPECT_EQ(answer.input_read, 0);
}

TEST(Arguments, VersionIsTheProjectVersion)
{
    const ANSWER answer = run_with({"--version"});
    EXPECT_EQ(answer.run.out, "forth " FORTH_VERSION "\n");
    EXPECT_EQ(answer.run.err, "");
    EXPECT_EQ(answer.run.status, 0);
    EXPECT_EQ(answer.input_read, 0);
}

TEST(Arguments, AnythingElseIsRefusedBeforeTheBanner)
{
    const std::string usage = run_with({"--help"}).run.out;
    const struct {
        std::vector<std::string> arguments;
        std::string named;  // the argument the error names
    } cases[] = {
        {{"program.fs"}, "program.fs"},
        {{"-"}, "-"},
        {{""}, ""},
        {{"-h"}, "-h"},
        {{"--HELP"}, "--HELP"},
        {{"--version", "--help"}, "--help"},
        {{"--help", "program.fs"}, "program.fs"},
        {{"a", "b"}, "a"},
    };
    for (const auto& c : cases) {
        const ANSWER answer = run_with(c.arguments);
        EXPECT_EQ(answer.run.err, "forth: unknown argument '" + c.named + "'\n" + usage) << joined(c.arguments);
        EXPECT_EQ(answer.run.out, "") << joined(c.arguments);
        EXPECT_EQ(answer.run.status, 2) << joined(c.arguments);
        EXPECT_EQ(answer.input_read, 0) << joined(c.arguments);
    }
}
