#!/usr/bin/env python3
"""The hardening flags (FORTH_HARDEN: the release build, and the dev build that runs the
tests) really reach the binary. Arguments: readelf, the binary. Checks what the flags
leave in the ELF file: position independent, relocations read-only after start (RELRO and
BIND_NOW), no executable stack, and stack canaries (-fstack-protector-strong).
"""
import re
import subprocess
import sys
import unittest

READELF = None
BINARY = None


def readelf(*options):
    return subprocess.run([READELF, "--wide", *options, BINARY], capture_output=True, text=True,
                          check=True).stdout


class Hardening(unittest.TestCase):
    def test_position_independent(self):
        self.assertRegex(readelf("--file-header"), r"Type:\s+DYN")

    def test_relocations_read_only(self):
        self.assertIn("GNU_RELRO", readelf("--program-headers"))
        self.assertRegex(readelf("--dynamic"), r"\(FLAGS\)\s+.*BIND_NOW")

    def test_stack_not_executable(self):
        stack = re.search(r"GNU_STACK(.*)", readelf("--program-headers"))
        self.assertIsNotNone(stack)
        self.assertNotIn("E", stack.group(1).split()[-2])

    def test_stack_protector(self):
        self.assertIn("__stack_chk_fail", readelf("--dyn-syms"))


if __name__ == "__main__":
    READELF = sys.argv.pop(1)
    BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
