// The step countdown; see step_budget.h.
#include "interp/step_budget.h"

std::uint64_t steps_left = unlimited_steps;
