#!/usr/bin/env python3
"""The manual page doc/forth.1. Arguments: mandoc, groff, the word_names helper (it prints
the names of the built-in words from the program's own table), the page.

Checks: mandoc's lint and groff with all warnings on have nothing to say about it; and the
word lists of its LANGUAGE section, as rendered, hold exactly the program's built-in words,
each opening a line of its own followed by its stack effect "( ... -- ... )". A word added
to the program and not to the page, or one documented that the program lacks, fails.
"""
import re
import subprocess
import sys
import unittest

MANDOC = GROFF = WORD_NAMES = PAGE = None

# mandoc also looks up every .Xr reference among the manuals installed here; what it says
# about them depends on the machine, not on the page.
CROSS_REFERENCE_NOTE = re.compile(r"mandoc\.db|referenced manual not found")
# In the rendered LANGUAGE section, a documented word: indented name, blanks, stack effect.
WORD_LINE = re.compile(r"^\s+(\S+)\s+\(.* -- .*\)")


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=False)


def rendered_section(name):
    """The section's lines from mandoc's plain text rendering, overstrikes (bold) removed."""
    result = run(MANDOC, "-T", "ascii", PAGE)
    assert result.returncode == 0, result.stderr
    text = re.sub(r".\x08", "", result.stdout)
    section = re.search(rf"^{name}\n(.*?)(?=^\S)", text, re.MULTILINE | re.DOTALL)
    assert section is not None, f"no section {name} in the rendered page"
    return section.group(1).splitlines()


class ManualPage(unittest.TestCase):
    def test_mandoc_lint_is_silent(self):
        result = run(MANDOC, "-T", "lint", PAGE)
        messages = [line for line in (result.stdout + result.stderr).splitlines()
                    if not CROSS_REFERENCE_NOTE.search(line)]
        self.assertEqual(messages, [])
        self.assertLess(result.returncode, 2, "mandoc found a warning or worse")

    def test_groff_is_silent(self):
        result = run(GROFF, "-mdoc", "-ww", "-z", PAGE)
        self.assertEqual(result.stdout + result.stderr, "")
        self.assertEqual(result.returncode, 0)

    def test_documents_exactly_the_built_in_words(self):
        names = run(WORD_NAMES)
        self.assertEqual(names.returncode, 0)
        built_in = names.stdout.split("\n")[:-1]
        self.assertTrue(built_in, "word_names printed no name")
        documented = [m.group(1) for line in rendered_section("LANGUAGE")
                      if (m := WORD_LINE.match(line))]
        for name in built_in:
            self.assertIn(name, documented, f"built-in word {name} has no line in the page")
        self.assertEqual(sorted(documented), sorted(built_in),
                         "words documented that the program lacks, or documented twice")


if __name__ == "__main__":
    MANDOC, GROFF, WORD_NAMES, PAGE = sys.argv[1:5]
    del sys.argv[1:5]
    unittest.main(verbosity=2)
