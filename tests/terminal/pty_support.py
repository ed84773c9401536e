"""What the terminal tests share: a pseudo-terminal pair that a test keeps both ends of, and
the interpreter started with it as its controlling terminal.

A test never depends on the environment it was started from: the interpreter gets only the
variables the test names (TERM, HOME), and the terminal gets a fixed size.
"""
import fcntl
import os
import struct
import subprocess
import termios
import time

BANNER = b"FORTH-Interpreter Version 1.0\r\nType QUIT to leave. Any error ends the run.\r\n\r\n"


class Pty:
    """A pty pair; the test keeps both ends so it can read the slave's settings."""

    def __init__(self, rows=24, columns=80):
        self.master, self.slave = os.openpty()
        os.set_blocking(self.master, False)
        self.resize(rows, columns)
        self.seen = b""

    def close(self):
        os.close(self.master)
        os.close(self.slave)

    def resize(self, rows, columns):
        # On the master side, as a terminal window does: the kernel sends SIGWINCH.
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))

    def settings(self):
        return termios.tcgetattr(self.slave)

    def echo_is_on(self):
        return bool(self.settings()[3] & termios.ECHO)

    def queued_input(self):
        waiting = fcntl.ioctl(self.slave, termios.FIONREAD, b"\0\0\0\0")
        return int.from_bytes(waiting, "little")

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

    def wait_for_output(self, ending, what=None):
        self.wait_for(lambda: self.seen.endswith(ending), what or repr(ending))

    def start(self, binary, env, stdin=None, stdout=None):
        """The interpreter in a new session with this pty as its controlling terminal; standard
        input and output are the pty unless given."""
        slave = self.slave

        def make_controlling():
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)

        return subprocess.Popen([binary], stdin=self.slave if stdin is None else stdin,
                                stdout=self.slave if stdout is None else stdout, stderr=self.slave,
                                start_new_session=True, preexec_fn=make_controlling, pass_fds=(self.slave,),
                                env=env)


def wait_exit(process, seconds=10.0):
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise AssertionError("the interpreter did not exit")
