#!/usr/bin/env python3
"""Bounded resources, on the real binary. Arguments: the measure_run helper, the binary.

Input the interpreter cannot keep must not make it grow: a 100 MB line is read in chunks and
refused ("Source buffer full") without being held, and a million lines cost nothing that
stays. Output goes through the stream's buffer when standard output is not a terminal: a
million numbers take a few hundred write calls, not a million. The peak memory is the
child's ru_maxrss and the write calls its syscw count, both taken by measure_run (see there
why the child must not be forked from this script).
"""
import os
import pty
import subprocess
import sys
import tempfile
import threading
import unittest

MEASURE = None
BINARY = None
BANNER = b"FORTH-Interpreter Version 1.0\nType QUIT to leave. Any error ends the run.\n\n"
MB = 1024 * 1024
# What a run may add to the peak memory of a run that does nothing: the reader's chunk, the
# output buffer and the stacks are a few KB; holding a 100 MB line, or one record per input
# line, would be far over it.
ALLOWED_GROWTH_KB = 2048


class Run:
    status = None
    out = b""
    peak_kb = 0
    write_calls = 0
    input_written = 0


def run(chunks, stdout="pipe"):
    """Runs the binary under measure_run; chunks are streamed to its standard input through a
    pipe. stdout is "pipe", "file", "pty", or a file object to write to."""
    result = Run()
    out_file = tempfile.TemporaryFile() if stdout == "file" else None
    master = slave = None
    if stdout == "pty":
        master, slave = pty.openpty()
    out_target = {"pipe": subprocess.PIPE, "file": out_file, "pty": slave}.get(stdout, stdout)
    process = subprocess.Popen([MEASURE, BINARY], stdin=subprocess.PIPE, stdout=out_target,
                               stderr=subprocess.PIPE, start_new_session=True)
    if slave is not None:
        os.close(slave)

    def feed():
        try:
            for chunk in chunks:
                process.stdin.write(chunk)
                result.input_written += len(chunk)
            process.stdin.close()
        except BrokenPipeError:
            pass

    collected = []

    def drain(read):
        while True:
            try:
                chunk = read(1 << 16)
            except OSError:  # a pty reports the other side's close as EIO
                break
            if not chunk:
                break
            collected.append(chunk)

    threads = [threading.Thread(target=feed)]
    if stdout == "pipe":
        threads.append(threading.Thread(target=drain, args=(process.stdout.read,)))
    elif stdout == "pty":
        threads.append(threading.Thread(target=drain, args=(lambda n: os.read(master, n),)))
    for thread in threads:
        thread.start()
    figures = process.stderr.read().decode()
    process.wait()
    for thread in threads:
        thread.join()
    for stream in (process.stdout, process.stderr):
        if stream:
            stream.close()
    if master is not None:
        os.close(master)
    if out_file:
        out_file.seek(0)
        collected = [out_file.read()]
        out_file.close()
    result.out = b"".join(collected)
    fields = dict(field.split("=") for field in figures.split())
    result.status = int(fields["status"])
    result.peak_kb = int(fields["peak_kb"])
    result.write_calls = int(fields["write_calls"])
    return result


def repeated(piece, total):
    chunk = piece * (MB // len(piece))
    for _ in range(total // len(chunk)):
        yield chunk


class BoundedResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.idle_kb = run([b"QUIT\n"]).peak_kb

    def assert_small(self, result):
        print(f"\n  {self.id().split('.')[-1]}: peak {result.peak_kb} KB (idle run {self.idle_kb} KB),"
              f" {result.write_calls} write calls", file=sys.stderr)
        self.assertLessEqual(result.peak_kb, self.idle_kb + ALLOWED_GROWTH_KB,
                             f"peak {result.peak_kb} KB, an idle run {self.idle_kb} KB")

    def test_100_mb_line_is_refused_without_being_held(self):
        line = 100 * MB
        result = run(list(repeated(b"x", line)) + [b"\n"])
        self.assertEqual(result.input_written, line + 1, "the line was not read to its end")
        self.assertEqual(result.out, BANNER + b"ERROR: Source buffer full\n")
        self.assertEqual(result.status, 1)
        self.assert_small(result)

    def test_100_mb_line_cut_short_by_a_nul(self):
        # The line's length ends at its first NUL; the rest is read and dropped.
        result = run([b"1 2 + .\0"] + list(repeated(b"x", 100 * MB)) + [b"\n4 .\n"])
        self.assertEqual(result.out, BANNER + b"3  ok\n4  ok\n")
        self.assertEqual(result.status, 0)
        self.assert_small(result)

    def test_million_empty_lines_end_cleanly(self):
        lines = MB  # repeated() yields whole megabytes: 1048576 lines
        result = run(repeated(b"\n", lines))
        self.assertEqual(result.out, BANNER + b" ok\n" * lines)
        self.assertEqual(result.status, 0)
        self.assert_small(result)

    def test_million_numbers_are_buffered_not_flushed_each(self):
        numbers = 1_000_000
        expected = BANNER + b"".join(b"%d " % i for i in range(numbers)) + b" ok\n"
        for target in ("pipe", "file"):
            with self.subTest(stdout=target):
                result = run([b"%d 0 DO I . LOOP\n" % numbers], stdout=target)
                self.assertEqual(result.out, expected)
                self.assertEqual(result.status, 0)
                self.assertLess(result.write_calls, numbers // 500)
                self.assert_small(result)

    def test_terminal_output_is_written_as_it_comes(self):
        # The same count on a terminal shows that the write-call figure above is real.
        numbers = 1000
        result = run([b"%d 0 DO I . LOOP\n" % numbers], stdout="pty")
        self.assertEqual(result.status, 0)
        self.assertGreaterEqual(result.write_calls, numbers)


class OutputFailure(unittest.TestCase):
    def test_output_that_cannot_be_written_fails_the_run(self):
        # A full disk: every write fails. The run must not end with status 0 as if the
        # program's output had been delivered.
        for program in (b"1 . QUIT\n", b"1 .\n", b"100000 0 DO I . LOOP\n"):
            with self.subTest(program=program), open("/dev/full", "wb") as full:
                self.assertEqual(run([program], stdout=full).status, 1)


if __name__ == "__main__":
    MEASURE = sys.argv.pop(1)
    BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
