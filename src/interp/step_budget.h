// The step budget: a countdown of everything that can repeat work without reading more
// input: a sub entry, a loop pass, a definition, a block of SPACES. Between two steps the
// interpreter does at most about a source buffer's worth of work (a returning ';' only
// goes back over text that an earlier step entered), so the budget bounds a whole run.
// A normal run starts with unlimited_steps, which no run can spend; only the fuzzer and
// tests lower it (reset_interpreter_state), so that a loop with a huge count, or subs that
// call subs many times each, cannot stall them. Running out throws STEP_LIMIT_REACHED,
// which is not an ERROR: the read-eval loop lets it pass, so it can never be reported or
// taken for a program's own error. Tests: unit/step_budget_test.cpp, tests/fuzz/.
#pragma once
#include <cstdint>
#include <limits>

struct STEP_LIMIT_REACHED {};  // thrown by count_step; caught only by the fuzzer and tests

// At a billion steps a second this lasts over 500 years.
inline constexpr std::uint64_t unlimited_steps = std::numeric_limits<std::uint64_t>::max();
extern std::uint64_t steps_left;  // unlimited_steps in a fresh process

// Spends one step; throws STEP_LIMIT_REACHED when none is left.
inline void count_step()
{
    if (steps_left == 0) [[unlikely]] throw STEP_LIMIT_REACHED{};
    --steps_left;
}
