#!/usr/bin/env python3
"""The key wait after an error, on a real pseudo-terminal.

Drives the real binary (the path is the first argument) with a pty as its controlling
terminal and checks: the report appears, the process waits (it is still alive) until one key
is typed, the key is not echoed, the exit status is 1, and the terminal's settings are
exactly as they were before the run. Standard input redirected from a file does not matter:
the key still comes from the terminal. Without a controlling terminal there is no wait.
"""
import fcntl
import os
import signal
import subprocess
import sys
import tempfile
import termios
import time
import unittest

BINARY = None
BANNER = b"FORTH-Interpreter Version 1.0\r\nType QUIT to leave. Any error ends the run.\r\n\r\n"


def make_controlling(fd):
    # Runs in the child after setsid (start_new_session): the pty becomes its terminal.
    return lambda: fcntl.ioctl(fd, termios.TIOCSCTTY, 0)


class Pty:
    """A pty pair; the test keeps both ends so it can read the slave's settings."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        os.set_blocking(self.master, False)
        self.seen = b""

    def close(self):
        os.close(self.master)
        os.close(self.slave)

    def settings(self):
        return termios.tcgetattr(self.slave)

    def echo_is_on(self):
        return bool(self.settings()[3] & termios.ECHO)

    def drain(self):
        try:
            while True:
                chunk = os.read(self.master, 4096)
                if not chunk:
                    break
                self.seen += chunk
        except (BlockingIOError, OSError):
            pass
        return self.seen

    def wait_for(self, condition, what, seconds=10.0):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.drain()
            if condition():
                return
            time.sleep(0.01)
        raise AssertionError(f"timed out waiting for {what}; output so far: {self.seen!r}")


def wait_exit(process, seconds=10.0):
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise AssertionError("the interpreter did not exit")


class KeyWait(unittest.TestCase):
    def setUp(self):
        self.pty = Pty()
        self.addCleanup(self.pty.close)
        self.before = self.pty.settings()

    def start(self, stdin):
        return subprocess.Popen([BINARY], stdin=stdin, stdout=self.pty.slave, stderr=self.pty.slave,
                                start_new_session=True, preexec_fn=make_controlling(self.pty.slave),
                                pass_fds=(self.pty.slave,))

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
        os.write(self.pty.master, b"1 2 + .\n")
        self.pty.wait_for(lambda: self.pty.seen.endswith(b"3  ok\r\n"), "the first answer")
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
        self.assertEqual(self.queued_input(), 0)

    def test_rest_of_a_multibyte_key_is_discarded(self):
        process = self.start(self.pty.slave)
        os.write(self.pty.master, b"5 +\n")
        self.expect_wait_then_key(process, b"\x1b[A")  # what the Up arrow sends
        self.assertEqual(self.queued_input(), 0)

    def test_settings_restored_when_killed_while_waiting(self):
        for signal_number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGQUIT):
            with self.subTest(signal=signal_number.name):
                process = self.start(self.pty.slave)
                os.write(self.pty.master, b"5 +\n")
                self.pty.wait_for(lambda: not self.pty.echo_is_on(), "echo off")
                process.send_signal(signal_number)
                self.assertEqual(wait_exit(process), -signal_number)
                self.assertEqual(self.pty.settings(), self.before, "terminal settings changed")

    def queued_input(self):
        waiting = fcntl.ioctl(self.pty.slave, termios.FIONREAD, b"\0\0\0\0")
        return int.from_bytes(waiting, sys.byteorder)

    def test_no_wait_and_settings_kept_after_quit(self):
        process = self.start(self.pty.slave)
        os.write(self.pty.master, b"1 . QUIT\n")
        self.assertEqual(wait_exit(process), 0)
        self.pty.drain()
        self.assertIn(b"1  ok\r\n", self.pty.seen)
        self.assertEqual(self.pty.settings(), self.before)


class NoTerminal(unittest.TestCase):
    def test_no_controlling_terminal_no_wait(self):
        started = time.monotonic()
        run = subprocess.run([BINARY], input=b"5 +\n", capture_output=True, start_new_session=True, timeout=10)
        self.assertEqual(run.returncode, 1)
        self.assertTrue(run.stdout.endswith(b"ERROR: Stack underflow\n"), run.stdout)
        self.assertLess(time.monotonic() - started, 5)


if __name__ == "__main__":
    BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
