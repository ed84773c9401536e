// FRESH_STATE: fixture for unit tests that work on the interpreter's file-level state
// (stacks, dictionary, source state, source buffer). Every test starts from the state of a
// fresh process and leaves it that way; std::cout is captured in between, so a test can
// check what was written and nothing reaches the test log.
#pragma once
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <string>

#include "main/repl.h"

class FRESH_STATE : public testing::Test {
protected:
    void SetUp() override
    {
        reset_interpreter_state();
        saved = std::cout.rdbuf(captured.rdbuf());
    }
    void TearDown() override
    {
        std::cout.rdbuf(saved);
        reset_interpreter_state();
    }
    std::string output() const { return captured.str(); }

    std::ostringstream captured;
    std::streambuf* saved = nullptr;
};
