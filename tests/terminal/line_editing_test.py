#!/usr/bin/env python3
"""Line editing at the console, on a real pseudo-terminal.

Drives the real binary (the path is the first argument) as a person at a terminal would:
the editing keys, recalling earlier lines, Tab completion from the dictionary of the run,
Ctrl-D, Ctrl-C and a change of window size. A line is typed only once the editor reads (it
turns the terminal's echo off while it does), and what was interpreted is seen in the
answer to the line. Every run gets TERM=xterm and a HOME of its own that holds an .editrc
which would change the bindings: it must never be read, and nothing may be written there.
Where the editor must stay off (TERM dumb or unset, input or output not a terminal) a cursor
key's bytes reach the interpreter as they always did.
"""
import os
import signal
import sys
import tempfile
import time
import unittest

from pty_support import BANNER, Pty, wait_exit

BINARY = None

LEFT, RIGHT, UP, DOWN = b"\x1b[D", b"\x1b[C", b"\x1b[A", b"\x1b[B"
HOME_KEY, END_KEY, DELETE = b"\x1b[H", b"\x1b[F", b"\x1b[3~"
BACKSPACE = b"\x7f"


def ctrl(letter):
    return bytes([ord(letter) & 0x1F])


# Were it read, Ctrl-A would jump to the end, Ctrl-E to the start, and Up would do nothing.
EDITRC = b"bind ^A ed-move-to-end\nbind ^E ed-move-to-beg\nbind ^[[A ed-insert\nforth:bind ^A ed-move-to-end\n"


class Session:
    """One run of the interpreter at the pty, typed at key by key."""

    def __init__(self, test, env=None, **streams):
        self.test = test
        self.pty = Pty()
        test.addCleanup(self.pty.close)
        self.before = self.pty.settings()
        self.process = self.pty.start(BINARY, env or test.env(), **streams)
        test.addCleanup(self.end)
        if not streams:
            self.pty.wait_for(lambda: self.pty.seen.startswith(BANNER), "the banner")

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def reading(self):
        self.pty.wait_for(lambda: not self.pty.echo_is_on(), "the line editor to read")

    def type(self, *keys):
        """Each key once the editor reads; then a moment for the editor to draw."""
        for key in keys:
            self.reading()
            os.write(self.pty.master, key)
            time.sleep(0.05)
        self.pty.drain()

    def line(self, *keys, answer):
        """Types the keys and Enter; the answer to the line must follow on its own line."""
        self.type(*keys, b"\r")
        self.pty.wait_for_output(b"\r\n" + answer + b"\r\n", f"the answer {answer!r}")

    def exit_status(self):
        return wait_exit(self.process)


class LineEditing(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.home = tempfile.TemporaryDirectory()
        with open(os.path.join(cls.home.name, ".editrc"), "wb") as editrc:
            editrc.write(EDITRC)

    @classmethod
    def tearDownClass(cls):
        cls.home.cleanup()

    def env(self):
        return {"TERM": "xterm", "HOME": self.home.name}

    def test_editing_keys(self):
        cases = [
            # what is typed, then Enter; the answer shows the line that was interpreted
            ("left and right", [b"5 + .", LEFT * 4, RIGHT, b"4 "], b"9  ok"),
            ("home and end", [b"3 +", HOME_KEY, b"2 ", END_KEY, b" ."], b"5  ok"),
            ("ctrl-a and ctrl-e", [b"3 +", ctrl("A"), b"2 ", ctrl("E"), b" ."], b"5  ok"),
            ("backspace", [b"7 88", BACKSPACE, b" + ."], b"15  ok"),
            ("delete", [b"17 .", HOME_KEY, DELETE], b"7  ok"),
            ("ctrl-d inside the line deletes", [b"17 .", ctrl("A"), ctrl("D")], b"7  ok"),
            ("ctrl-k kills to the end", [b"6 . 9 9 9", LEFT * 6, ctrl("K")], b"6  ok"),
            ("ctrl-u kills to the start", [b"9 9 6 .", LEFT * 3, ctrl("U")], b"6  ok"),
            ("ctrl-w kills the word before", [b"6 . 99", ctrl("W")], b"6  ok"),
        ]
        for name, keys, answer in cases:
            with self.subTest(name):
                session = Session(self)
                session.line(*keys, answer=answer)

    def test_up_and_down_recall_the_lines_of_the_run(self):
        session = Session(self)
        session.line(b"1 .", answer=b"1  ok")
        session.line(b"2 .", answer=b"2  ok")
        session.line(UP, UP, answer=b"1  ok")
        session.line(UP, UP, DOWN, answer=b"1  ok")  # the newest line is "1 ." again now
        session.line(UP, UP, UP, DOWN, DOWN, answer=b"1  ok")

    def test_ctrl_r_searches_back(self):
        session = Session(self)
        session.line(b"11 . ", answer=b"11  ok")
        session.line(b"22 . ", answer=b"22  ok")
        session.line(b"33 . ", answer=b"33  ok")
        session.line(ctrl("R"), b"2", answer=b"22  ok")

    def test_tab_completes_a_sub_defined_in_the_run(self):
        session = Session(self)
        session.line(b": SQUARE DUP * ;", answer=b" ok")
        # Without the blank after the completed name, "SQUARE." would not be found.
        session.line(b"7 SQU", b"\t", b".", answer=b"49  ok")

    def test_tab_on_an_ambiguous_prefix_completes_the_common_part_then_lists(self):
        session = Session(self)
        session.line(b": SQUARE DUP * ; : SQUID 1 ;", answer=b" ok")
        session.type(b"7 SQ", b"\t")
        self.assertTrue(session.pty.seen.endswith(b"U"), session.pty.seen)  # SQ + U: what both share
        session.type(b"\t")
        # Newest first, below the line; then the line is drawn again.
        session.pty.wait_for_output(b"\r\nSQUID  SQUARE\r\n7 SQU", "the list and the line again")
        session.line(b"A\t.", answer=b"49  ok")

    def test_tab_lists_builtin_names_and_hidden_ones_once(self):
        session = Session(self)
        # The new SPACE is the newest entry; the built-in one it hides is not listed again.
        session.line(b": SPACE 42 EMIT ;", answer=b"Name NOT UNIQUE\r\n ok")
        session.type(b"SP", b"\t", b"\t")
        session.pty.wait_for(lambda: b"\r\nSPACE  SPACES\r\n" in session.pty.seen, "the list")

    def test_tab_without_a_match_or_on_a_number_only_beeps(self):
        for typed in (b"ZZ", b"DUPX", b"12", b"1r"):
            with self.subTest(typed=typed):
                session = Session(self)
                session.type(b"5 . ", typed)
                shown = len(session.pty.seen)
                session.type(b"\t")
                session.pty.wait_for(lambda: b"\x07" in session.pty.seen[shown:], "a beep")
                # Nothing was added: with the typed characters rubbed out, "5 . " is left.
                session.line(BACKSPACE * len(typed), answer=b"5  ok")

    def test_ctrl_d_on_an_empty_line_ends_the_run_and_leaves_the_screen_line_empty(self):
        session = Session(self)
        session.line(b"1 .", answer=b"1  ok")
        shown = len(session.pty.seen)
        session.type(ctrl("D"))
        self.assertEqual(session.exit_status(), 0)
        time.sleep(0.05)
        self.assertEqual(session.pty.drain()[shown:], b"", "something was left on the shell's line")
        self.assertEqual(session.pty.settings(), session.before, "terminal settings changed")

    def test_ctrl_c_ends_the_process_and_restores_the_terminal(self):
        session = Session(self)
        session.type(b"1 2")
        session.type(ctrl("C"))
        self.assertEqual(session.exit_status(), -signal.SIGINT)
        self.assertEqual(session.pty.settings(), session.before, "terminal settings changed")

    def test_a_change_of_window_size_redraws_the_line(self):
        session = Session(self)
        session.type(b"1 2 3")
        shown = len(session.pty.seen)
        session.pty.resize(30, 40)
        session.pty.wait_for(lambda: session.pty.seen[shown:] == b"\r1 2 3", "the line drawn again")
        session.line(b" + + .", answer=b"6  ok")

    def test_a_line_that_does_not_fit_ends_the_run(self):
        session = Session(self)
        session.line(b"1 . ", answer=b"1  ok")
        session.type(b"2 " * 520 + b"\r")
        session.pty.wait_for_output(b"ERROR: Source buffer full\r\n")
        session.reading()  # the key wait: no echo
        os.write(session.pty.master, b"k")
        self.assertEqual(session.exit_status(), 1)

    def test_bytes_that_are_not_utf8_still_separate_tokens(self):
        session = Session(self)
        session.line(b"1\xe92 + .", answer=b"3  ok")          # a Latin-1 terminal's e-acute
        session.line("1\u00e92 + .".encode(), answer=b"3  ok")  # the same in UTF-8
        session.line('." x\u00e9y "'.encode(), answer="x\u00e9y ok".encode())

    def test_home_is_neither_read_nor_written(self):
        editrc = os.path.join(self.home.name, ".editrc")
        # With the access time before the modification time, any read would update it.
        os.utime(editrc, (1_000_000_000, 1_500_000_000))
        session = Session(self)
        session.line(b"3 +", ctrl("A"), b"2 ", ctrl("E"), b" .", answer=b"5  ok")
        session.line(UP, answer=b"5  ok")
        session.type(ctrl("D"))
        self.assertEqual(session.exit_status(), 0)
        self.assertEqual(os.listdir(self.home.name), [".editrc"])
        self.assertEqual(os.stat(editrc).st_atime, 1_000_000_000, ".editrc was read")


class PlainReader(unittest.TestCase):
    """Where the editor must stay off, a left-arrow key's bytes go into the line: ESC is a
    separator, and "[D" is looked up as a word."""
    REPORT = b"ERROR: Word <[D> not found in dictionary\r\n"

    def env(self):
        return {"TERM": "dumb"}

    def expect_plain(self, env, **streams):
        session = Session(self, env, **streams)
        os.write(session.pty.master, b"1 2" + LEFT + b"\n")
        return session

    def test_terminals_that_cannot_edit(self):
        for env in ({"TERM": "dumb"}, {}, {"TERM": ""}):
            with self.subTest(env=env):
                session = self.expect_plain(env)
                session.pty.wait_for_output(self.REPORT)

    def test_output_not_a_terminal(self):
        with tempfile.TemporaryFile() as output:
            session = self.expect_plain({"TERM": "xterm"}, stdout=output)
            session.pty.wait_for(lambda: session.pty.echo_is_on() is False, "the key wait")
            os.write(session.pty.master, b"k")
            self.assertEqual(session.exit_status(), 1)
            output.seek(0)
            self.assertTrue(output.read().endswith(self.REPORT.replace(b"\r\n", b"\n")))


if __name__ == "__main__":
    BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
