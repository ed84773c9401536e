#!/usr/bin/env python3
"""The key wait after an error, on a real pseudo-terminal.

Drives the real binary (the path is the first argument) with a pty as its controlling
terminal and checks: the report appears, the process waits (it is still alive) until one key
is typed, the key is not echoed, the exit status is 1, and the terminal's settings are
exactly as they were before the run. Standard input redirected from a file does not matter:
the key still comes from the terminal. Without a controlling terminal there is no wait.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from pty_support import BANNER, Pty, wait_exit

BINARY = None


class KeyWait:
    """The key wait's tests, run once with each way of reading lines at a terminal (see the
    subclasses below): it must behave the same with the line editor active."""
    TERM = None

    def setUp(self):
        self.pty = Pty()
        self.addCleanup(self.pty.close)
        self.before = self.pty.settings()
        self.home = tempfile.TemporaryDirectory()
        self.addCleanup(self.home.cleanup)

    def wait_until_reading(self):
        # The line editor turns the terminal's echo off while it reads a line, and draws what
        # is typed itself; typed any earlier, the terminal would echo it as well.
        if self.TERM != "dumb":
            self.pty.wait_for(lambda: not self.pty.echo_is_on(), "the line editor to read")

    def start(self, stdin):
        return self.pty.start(BINARY, {"TERM": self.TERM, "HOME": self.home.name}, stdin=stdin)

    def expect_wait_then_key(self, process, key):
        # Raw mode without echo is the sign that the key read has begun; only then is the key
        # typed, so that the check of the echo cannot race with the switch.
        self.pty.wait_for(lambda: b"ERROR: Stack underflow\r\n" in self.pty.seen, "the report")
        self.pty.wait_for(lambda: not self.pty.echo_is_on(), "echo off")
        time.sleep(0.3)
        self.assertIsNone(process.poll(), "exited before a key was typed")
        shown = len(self.pty.drain())
        os.write(self.pty.master, key)
        self.assertEqual(wait_exit(process), 1)
        time.sleep(0.05)
        self.assertEqual(self.pty.drain()[shown:], b"", "the key was echoed")
        self.assertEqual(self.pty.settings(), self.before, "terminal settings changed")

    def test_waits_for_one_key_on_the_terminal(self):
        process = self.start(self.pty.slave)
        # Each line typed once the previous answer is out: the terminal echoes what is typed
        # at once, and would mix it into the output otherwise.
        self.pty.wait_for(lambda: self.pty.seen == BANNER, "the banner")
        self.wait_until_reading()
        os.write(self.pty.master, b"1 2 + .\n")
        self.pty.wait_for(lambda: self.pty.seen.endswith(b"3  ok\r\n"), "the first answer")
        self.wait_until_reading()
        os.write(self.pty.master, b"5 +\n")
        self.expect_wait_then_key(process, b"x")
        self.assertEqual(self.pty.seen, BANNER + b"1 2 + .\r\n3  ok\r\n5 +\r\nERROR: Stack underflow\r\n")

    def test_ctrl_c_is_just_the_key(self):
        # Signals are off while the key is read: Ctrl-C cannot kill the process with echo off.
        process = self.start(self.pty.slave)
        os.write(self.pty.master, b"5 +\n")
        self.expect_wait_then_key(process, b"\x03")

    def test_key_comes_from_the_terminal_when_input_is_a_file(self):
        # The file holds more lines after the failing one, and then ends: neither may stand
        # in for the key.
        with tempfile.TemporaryFile() as program:
            program.write(b"5 +\nmore text\n")
            program.seek(0)
            process = self.start(program)
            self.expect_wait_then_key(process, b"k")

    def test_typed_ahead_lines_are_not_the_key(self):
        # A terminal hands a program one line per read, so lines pasted after the failing one
        # are still queued at the error. They must neither count as the key nor be left for
        # the shell to run once the interpreter has gone.
        process = self.start(self.pty.slave)
        os.write(self.pty.master, b"5 +\n1 .\n2 .\n")
        self.expect_wait_then_key(process, b"x")
        self.assertEqual(self.pty.queued_input(), 0)

    def test_rest_of_a_multibyte_key_is_discarded(self):
        process = self.start(self.pty.slave)
        os.write(self.pty.master, b"5 +\n")
        self.expect_wait_then_key(process, b"\x1b[A")  # what the Up arrow sends
        self.assertEqual(self.pty.queued_input(), 0)

    def test_settings_restored_when_killed_while_waiting(self):
        for signal_number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGQUIT):
            with self.subTest(signal=signal_number.name):
                process = self.start(self.pty.slave)
                os.write(self.pty.master, b"5 +\n")
                self.pty.wait_for(lambda: not self.pty.echo_is_on(), "echo off")
                process.send_signal(signal_number)
                self.assertEqual(wait_exit(process), -signal_number)
                self.assertEqual(self.pty.settings(), self.before, "terminal settings changed")

    def test_no_wait_and_settings_kept_after_quit(self):
        process = self.start(self.pty.slave)
        os.write(self.pty.master, b"1 . QUIT\n")
        self.assertEqual(wait_exit(process), 0)
        self.pty.drain()
        self.assertIn(b"1  ok\r\n", self.pty.seen)
        self.assertEqual(self.pty.settings(), self.before)


class KeyWaitWithTheLineEditor(KeyWait, unittest.TestCase):
    TERM = "xterm"


class KeyWaitWithThePlainReader(KeyWait, unittest.TestCase):
    TERM = "dumb"


class NoTerminal(unittest.TestCase):
    def test_no_controlling_terminal_no_wait(self):
        started = time.monotonic()
        run = subprocess.run([BINARY], input=b"5 +\n", capture_output=True, start_new_session=True, timeout=10,
                             env={"TERM": "xterm"})
        self.assertEqual(run.returncode, 1)
        self.assertTrue(run.stdout.endswith(b"ERROR: Stack underflow\n"), run.stdout)
        self.assertLess(time.monotonic() - started, 5)


if __name__ == "__main__":
    BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
