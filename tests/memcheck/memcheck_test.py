#!/usr/bin/env python3
"""The real binary under valgrind's memcheck: no invalid access, no use of undefined
values, and no leak, whichever way a run ends. Arguments: valgrind, the binary.

Only errors and leaks are checked, not output bytes: valgrind computes the extended
precision of literals and loop indexes with 64-bit doubles, so a printed value may differ
in its last digit. Each run has no controlling terminal, so an error's key wait returns at
once. Leaks of every kind but "still reachable" count (the C++ runtime keeps a few blocks
to the end by design); the teardown must release everything the run created.
"""
import subprocess
import sys
import unittest

VALGRIND = None
BINARY = None
LEAK_FOUND = 99  # valgrind's exit status when it found an error or a counted leak

# A body whose names are too long for std::string's inline storage, so that every entry
# owns heap memory the teardown must free.
DEFINITIONS = (b": A_NAME_TOO_LONG_FOR_INLINE_STORAGE 2 * ; : LOOPER 3 0 DO I A_NAME_TOO_LONG_FOR_INLINE_STORAGE . LOOP ;\n"
               b": A_NAME_TOO_LONG_FOR_INLINE_STORAGE 3 * ;\n")

CASES = [
    # name, input, exit status, a piece of the output that shows the run went that way
    ("quit", DEFINITIONS + b"LOOPER 1 2 3 QUIT 4 5\n6 7\n", 0, b" ok\n"),
    ("end_of_input", DEFINITIONS + b"LOOPER 1 2 3 5 0 DO 2 0 DO", 0, b" ok\n"),
    ("error_inside_loops_and_subs", DEFINITIONS + b": BAD 2 0 DO 1 0 / LOOP ; 5 0 DO BAD LOOP\n", 1,
     b"ERROR: Division by zero\n"),
    ("word_not_found", DEFINITIONS + b"1 2 NOT_A_WORD_WITH_A_LONG_NAME_TOO\n", 1,
     b"ERROR: Word <NOT_A_WORD_WITH_A_LONG_NAME_TOO> not found in dictionary\n"),
    ("source_buffer_full", DEFINITIONS + b"1 2\n" + b"x" * 2000 + b"\n", 1, b"ERROR: Source buffer full\n"),
    ("call_stack_overflow", b": R R ; R\n", 1, b"ERROR: Stack overflow\n"),
]


class Memcheck(unittest.TestCase):
    def test_every_ending_is_clean(self):
        for name, program, status, marker in CASES:
            with self.subTest(name):
                run = subprocess.run(
                    [VALGRIND, "--quiet", "--error-exitcode=%d" % LEAK_FOUND, "--leak-check=full",
                     "--errors-for-leak-kinds=definite,indirect,possible",
                     "--show-leak-kinds=definite,indirect,possible", "--track-origins=yes", BINARY],
                    input=program, capture_output=True, start_new_session=True, timeout=120)
                report = run.stderr.decode(errors="replace")
                self.assertEqual(run.returncode, status, f"memcheck report:\n{report}")
                self.assertEqual(report, "", "valgrind said something")
                self.assertIn(marker, run.stdout)


if __name__ == "__main__":
    VALGRIND = sys.argv.pop(1)
    BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
