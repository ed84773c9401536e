// Cells are doubles. This header holds the conversions every word shares: refusing
// infinite results, and cell_to_int. (Literals and loop indexes are rounded to a cell by
// the extended step, interp/extended.h.)
// Invariant: no infinity or NaN is ever pushed on the data stack; every word that could
// make one goes through ensure_finite. Tests: unit/cell_test.cpp, transcripts/arith/.
#pragma once
#include <cstdint>

double ensure_finite(double x);        // x itself; throws "Arithmetic overflow" if infinite
std::int32_t cell_to_int(double x);    // truncate, then wrap modulo 2^32; x must be finite
