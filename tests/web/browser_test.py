#!/usr/bin/env python3
"""The web build in headless Chromium: forth.js against every transcript and example, the
line-at-a-time API, and the page itself opened from file:// (a link that runs its program,
every example, Stop on an endless loop, the console, the address that carries the program,
a phone's width in dark mode) and once from a local web server.

    browser_test.py CHROMIUM PAGE_DIR SOURCE_DIR

PAGE_DIR is build/wasm/web; SOURCE_DIR the project, for tests/transcripts and examples.
Expected output is read from the same .out files as the native tests, after the banner;
the exit status is implied: 0 when that output is empty or ends in " ok\\n", else 1.
Set FORTH_SCREENSHOTS to a folder to keep pictures of the page there.
"""
import base64
import functools
import http.server
import json
import os
import pathlib
import sys
import tempfile
import threading
import time
import traceback

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from chromium import Browser  # noqa: E402

BANNER = b"FORTH-Interpreter Version 1.0\nType QUIT to leave. Any error ends the run.\n\n"
# Counts past 2^53 to the limit 2^53 + 2: the index plus 1 rounds back to 2^53, for ever.
ENDLESS = "9007199254740994 9007199254740992 DO LOOP\n"
ENDLESS_OUTPUT = "9007199254740994 9007199254740992 DO 42 EMIT CR LOOP\n"

TESTS = []


def test(fn):
    TESTS.append(fn)
    return fn


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def implied_status(expected):
    return 0 if expected == b"" or expected.endswith(b" ok\n") else 1


def b64(data):
    return base64.b64encode(data).decode("ascii")


def b64url(data):
    return base64.urlsafe_b64encode(data).decode("ascii").rstrip("=")


def visible(data):
    return repr(bytes(data))[2:-1]


class Context:
    def __init__(self, chromium, page_dir, source_dir, scratch):
        self.browser = Browser(chromium)
        self.page_dir = pathlib.Path(page_dir).resolve()
        self.source_dir = pathlib.Path(source_dir).resolve()
        self.scratch = pathlib.Path(scratch)
        self.screenshots = os.environ.get("FORTH_SCREENSHOTS")

    def cases(self):
        """(name, input, expected output after the banner) of every transcript and example."""
        found = []
        transcripts = self.source_dir / "tests" / "transcripts"
        for program in sorted(transcripts.rglob("*.in")):
            found.append((str(program.relative_to(transcripts)), program.read_bytes(),
                          program.with_suffix(".out").read_bytes()))
        for program in sorted((self.source_dir / "examples").glob("*.fs")):
            found.append(("examples/" + program.name, program.read_bytes(),
                          program.with_suffix(".out").read_bytes()))
        return found

    def page_url(self, fragment=""):
        return (self.page_dir / "index.html").as_uri() + fragment

    def open_engine_page(self):
        """A blank page that loads forth.js from the build, with `engine` made by createForth."""
        page = self.scratch / "engine.html"
        page.write_text(f"""<!doctype html><meta charset="utf-8">
<script src="{(self.page_dir / 'forth.js').as_uri()}"></script>
<script>
function fromBase64(text) {{ return Uint8Array.from(atob(text), (c) => c.charCodeAt(0)); }}
function toBase64(bytes) {{ let text = ''; for (const b of bytes) text += String.fromCharCode(b); return btoa(text); }}
function shown(result) {{ return {{...result, output: toBase64(result.output)}}; }}
let engine = null;
const ready = createForth().then((made) => {{ engine = made; }});
</script>""", encoding="utf-8")
        self.browser.open(page.as_uri())
        self.browser.evaluate("ready")

    def run(self, data):
        """engine.run on bytes: (output, status)."""
        result = self.browser.evaluate(f"shown(engine.run(fromBase64('{b64(data)}')))")
        return base64.b64decode(result["output"]), result["status"]

    def shot(self, name):
        if self.screenshots:
            pathlib.Path(self.screenshots).mkdir(parents=True, exist_ok=True)
            self.browser.screenshot(os.path.join(self.screenshots, name + ".png"))


# ---- forth.js: engine.run and the line-at-a-time form


@test
def every_transcript_and_example_through_run(ctx):
    ctx.open_engine_page()
    wrong = []
    cases = ctx.cases()
    for name, program, expected in cases:
        output, status = ctx.run(program)
        if output != BANNER + expected or status != implied_status(expected):
            wrong.append(f"{name}: status {status}, output\n    {visible(output)}\n  expected status "
                         f"{implied_status(expected)}, output\n    {visible(BANNER + expected)}")
    expect(not wrong, "\n".join(wrong))
    return f"{len(cases)} programs"


@test
def line_at_a_time_gives_the_same_bytes_as_run(ctx):
    # Every transcript and example fed a line at a time, as the page's console feeds them:
    # the same output, the run ending at the same line with the same status.
    ctx.open_engine_page()
    wrong = []
    for name, program, expected in ctx.cases():
        lines = program.split(b"\n")
        if lines[-1] == b"":
            lines.pop()  # the newline ended the last line; no line follows it
        result = ctx.browser.evaluate(f"""(() => {{
            const lines = {json.dumps([b64(line) for line in lines])};
            let result = engine.start();
            const output = [...result.output];
            for (const line of lines) {{
                if (result.ended) break;
                result = engine.line(fromBase64(line));
                output.push(...result.output);
            }}
            if (!result.ended) {{
                result = engine.end();
                output.push(...result.output);
            }}
            return {{output: toBase64(output), status: result.status, running: engine.running}};
        }})()""")
        output = base64.b64decode(result["output"])
        if output != BANNER + expected or result["status"] != implied_status(expected) or result["running"]:
            wrong.append(f"{name}: status {result['status']}, output\n    {visible(output)}")
    expect(not wrong, "\n".join(wrong))


@test
def run_takes_a_string_as_utf8_and_starts_fresh_each_time(ctx):
    ctx.open_engine_page()
    text = '." naïve café, ☕! " CR 2 3 + .\n'
    as_string = ctx.browser.evaluate(f"shown(engine.run({json.dumps(text)}))")
    output, status = ctx.run(text.encode("utf-8"))
    expect(base64.b64decode(as_string["output"]) == output and as_string["status"] == status == 0,
           f"string and bytes differ: {as_string} / {visible(output)}")
    # Bytes 0x80 to 0xFF separate tokens like blanks, and are written back as they came.
    expect(output == BANNER + "naïve café, ☕!\n5  ok\n".encode("utf-8"), f"output {visible(output)}")
    # A sub defined by one run is unknown to the next; an error in one does not reach the next.
    output, status = ctx.run(b": TWICE DUP + ; 4 TWICE .\n1 0 /\n")
    expect((output, status) == (BANNER + b"8  ok\nERROR: Division by zero\n", 1), visible(output))
    output, status = ctx.run(b"4 TWICE .\n")
    expect((output, status) == (BANNER + b"ERROR: Word <TWICE> not found in dictionary\n", 1), visible(output))
    output, status = ctx.run(b"")
    expect((output, status) == (BANNER, 0), f"empty input: {visible(output)} {status}")


@test
def line_at_a_time_reports_the_end_and_refuses_what_it_cannot_take(ctx):
    ctx.open_engine_page()
    steps = ctx.browser.evaluate("""(() => {
        const seen = [];
        const note = (what, call) => {
            try {
                const r = call();
                seen.push([what, new TextDecoder().decode(r.output), r.ended, r.status, engine.running]);
            } catch (error) {
                seen.push([what, error.name + ': ' + error.message]);
            }
        };
        note('line before start', () => engine.line('1 .'));
        note('start', () => engine.start());
        note('loop opened', () => engine.line('3 0 DO I '));
        note('loop closed', () => engine.line('LOOP . . .'));
        note('empty line', () => engine.line(''));
        note('two lines', () => engine.line('1 .\\n2 .'));
        note('not text', () => engine.line(42));
        note('error', () => engine.line('1 0 /'));
        note('after the end', () => engine.line('1 .'));
        note('start again', () => engine.start());
        note('fresh state', () => engine.line('I'));
        note('start for quit', () => engine.start());
        note('quit', () => engine.line('1 . QUIT 2 .'));
        note('start for end', () => engine.start());
        note('end', () => engine.end());
        note('end again', () => engine.end());
        note('start, then run', () => engine.start());
        note('run ends the session', () => engine.run('7 .'));
        note('line after run', () => engine.line('1 .'));
        return seen;
    })()""")
    banner = BANNER.decode()
    expected = [
        ["line before start", "Error: no run is open: call start() first"],
        ["start", banner, False, None, True],
        ["loop opened", " ok\n", False, None, True],
        ["loop closed", "2 1 0  ok\n", False, None, True],
        ["empty line", " ok\n", False, None, True],
        ["two lines", "RangeError: a line must not hold a newline: give one line at a time"],
        ["not text", "TypeError: a line must be a string or a Uint8Array"],
        ["error", "ERROR: Division by zero\n", True, 1, False],
        ["after the end", "Error: no run is open: call start() first"],
        ["start again", banner, False, None, True],
        ["fresh state", "ERROR: Stack underflow\n", True, 1, False],
        ["start for quit", banner, False, None, True],
        ["quit", "1 2  ok\n", True, 0, False],
        ["start for end", banner, False, None, True],
        ["end", "", True, 0, False],
        ["end again", "Error: no run is open: call start() first"],
        ["start, then run", banner, False, None, True],
        ["run ends the session", None, None, None, False],
        ["line after run", "Error: no run is open: call start() first"],
    ]
    for step, want in zip(steps, expected):
        if want[1] is None:  # run() results carry no `ended`; only the session's end matters
            expect(step[4] == want[4], f"{step[0]}: running is {step[4]}")
        else:
            expect(step == want, f"{step[0]}: got {step}, expected {want}")
    expect(len(steps) == len(expected), f"{len(steps)} steps")


@test
def output_in_pieces_as_it_is_written_and_engines_apart(ctx):
    ctx.open_engine_page()
    result = ctx.browser.evaluate("""(async () => {
        const pieces = [];
        const streaming = await createForth({onOutput: (piece) => pieces.push(new TextDecoder().decode(piece))});
        const run = streaming.run('1 . 2 .\\n3 . CR 4 .\\n5000 SPACES\\n');
        const runPieces = pieces.splice(0);
        // A second engine has a state of its own: a session in one survives runs in the other.
        const other = await createForth();
        streaming.start();
        streaming.line(': SQ DUP * ;');
        other.run(': SQ 0 ; QUIT');
        streaming.line('9 SQ .');
        return {runPieces, resultLength: run.output.length, status: run.status, session: pieces.join('')};
    })()""")
    pieces = result["runPieces"]
    expect(result["resultLength"] == 0 and result["status"] == 0, f"result with onOutput: {result}")
    expect("".join(pieces) == BANNER.decode() + "1 2  ok\n3 \n4  ok\n" + " " * 5000 + " ok\n", f"pieces: {pieces}")
    # Each line end the interpreter writes flushes a piece; 5000 blanks come in 4096-byte chunks.
    expect(pieces[:7] == ["FORTH-Interpreter Version 1.0\n", "Type QUIT to leave. Any error ends the run.\n",
                          "\n", "1 2  ok\n", "3 \n", "4  ok\n", " " * 4096], f"pieces: {pieces[:7]}")
    expect(result["session"] == BANNER.decode() + " ok\n81  ok\n",
           f"the other engine changed this one: {result['session']!r}")


# ---- The page, opened from file://


def page_output(ctx):
    return ctx.browser.evaluate("document.getElementById('output').textContent")


def run_status(ctx):
    return ctx.browser.evaluate("document.getElementById('run-status').textContent")


def wait_for_run_end(ctx, timeout=10):
    ctx.browser.wait_for("/exit status/.test(document.getElementById('run-status').textContent)", timeout)


def only_local_requests(ctx):
    ctx.browser.evaluate("1")  # collects the events seen so far
    remote = [url for url in ctx.browser.requests if not url.startswith(("file:", "data:", "blob:"))]
    expect(not remote, f"requests to other hosts: {remote}")
    expect(not ctx.browser.console, f"console messages: {ctx.browser.console}")


@test
def a_link_with_run_runs_its_program_from_file(ctx):
    program = (ctx.source_dir / "examples" / "squares.fs").read_bytes()
    expected = (ctx.source_dir / "examples" / "squares.out").read_bytes()
    ctx.browser.open(ctx.page_url(f"#p={b64url(program)}&run"))
    wait_for_run_end(ctx)
    expect(page_output(ctx) == (BANNER + expected).decode(), f"page shows {page_output(ctx)!r}")
    expect("exit status 0" in run_status(ctx), run_status(ctx))
    expect(ctx.browser.evaluate("document.getElementById('program').value") == program.decode(), "editor")
    only_local_requests(ctx)
    ctx.shot("link-run-light")


@test
def every_example_from_the_list_runs_as_at_the_console(ctx):
    ctx.browser.open(ctx.page_url())
    names = ctx.browser.evaluate("[...document.querySelectorAll('#example option')].map(o => o.value).filter(v => v)")
    on_disk = sorted(p.stem for p in (ctx.source_dir / "examples").glob("*.fs"))
    expect(sorted(names) == on_disk, f"listed {names}, on disk {on_disk}")
    for name in names:
        program = (ctx.source_dir / "examples" / f"{name}.fs").read_bytes()
        expected = (ctx.source_dir / "examples" / f"{name}.out").read_bytes()
        ctx.browser.evaluate(f"""(() => {{
            const choice = document.getElementById('example');
            choice.value = {json.dumps(name)};
            choice.dispatchEvent(new Event('change'));
            document.getElementById('run').click();
        }})()""")
        wait_for_run_end(ctx)
        expect(page_output(ctx) == (BANNER + expected).decode(), f"{name}: page shows {page_output(ctx)!r}")
        expect(f"exit status {implied_status(expected)}" in run_status(ctx), f"{name}: {run_status(ctx)}")
        expect(ctx.browser.evaluate("location.hash") == f"#p={b64url(program)}", f"{name}: address")
        expect(ctx.browser.evaluate("document.getElementById('example-about').textContent") != "",
               f"{name}: no note from the README")
    only_local_requests(ctx)
    return f"{len(names)} examples"


@test
def an_error_shows_its_message_and_status_1(ctx):
    program = b"1 2 . . .  \n5 .\n"
    ctx.browser.open(ctx.page_url(f"#p={b64url(program)}&run"))
    wait_for_run_end(ctx)
    expect(page_output(ctx) == BANNER.decode() + "2 1 ERROR: Stack underflow\n", repr(page_output(ctx)))
    expect("exit status 1" in run_status(ctx), run_status(ctx))


def stop_within_a_second(ctx, program, how):
    ctx.browser.open(ctx.page_url(f"#p={b64url(program.encode())}&run"))
    ctx.browser.wait_for("document.getElementById('run-status').textContent.startsWith('Running')")
    time.sleep(0.5)
    # The page answers while the loop runs: the engine is in its worker.
    start = time.monotonic()
    ctx.browser.evaluate("document.getElementById('stop').disabled")
    answer = time.monotonic() - start
    expect(answer < 1.0, f"the page took {answer:.2f} s to answer while the program ran")
    start = time.monotonic()
    how()
    ctx.browser.wait_for("document.getElementById('run-status').textContent.startsWith('Stopped')", timeout=5)
    stopped = time.monotonic() - start
    expect(stopped < 1.0, f"stopped after {stopped:.2f} s")
    # A fresh engine is ready: the next run works.
    ctx.browser.evaluate("document.getElementById('program').value = '2 3 + .'; "
                         "document.getElementById('run').click()")
    wait_for_run_end(ctx)
    expect(page_output(ctx) == BANNER.decode() + "5  ok\n", repr(page_output(ctx)))
    return stopped


@test
def stop_ends_an_endless_loop_and_the_page_answers_again(ctx):
    stopped = stop_within_a_second(ctx, ENDLESS, lambda: ctx.browser.evaluate("document.getElementById('stop').click()"))
    return f"stopped in {stopped * 1000:.0f} ms"


@test
def escape_stops_an_endless_loop_that_writes_all_the_time(ctx):
    def press_escape():
        ctx.browser.evaluate("document.getElementById('program').focus()")
        ctx.browser.press("Escape", key_code=27)
    stopped = stop_within_a_second(ctx, ENDLESS_OUTPUT, press_escape)
    return f"stopped in {stopped * 1000:.0f} ms"


@test
def output_shows_while_the_program_still_runs(ctx):
    program = '." Working: " CR 3 0 DO I . LOOP CR\n' + ENDLESS
    ctx.browser.open(ctx.page_url(f"#p={b64url(program.encode())}&run"))
    ctx.browser.wait_for("document.getElementById('output').textContent.endsWith('Working:\\n0 1 2 \\n ok\\n')", timeout=5)
    expect(run_status(ctx).startswith("Running"), run_status(ctx))
    ctx.browser.evaluate("document.getElementById('stop').click()")
    expect(page_output(ctx) == BANNER.decode() + "Working:\n0 1 2 \n ok\n", repr(page_output(ctx)))


@test
def a_page_flooded_with_output_answers_and_keeps_the_last_lines(ctx):
    ctx.browser.open(ctx.page_url(f"#p={b64url(ENDLESS_OUTPUT.encode())}&run"))
    slowest = 0
    for _ in range(12):
        time.sleep(0.25)
        start = time.monotonic()
        lines = ctx.browser.evaluate("document.getElementById('output').textContent.split('\\n').length - 1")
        slowest = max(slowest, time.monotonic() - start)
    expect(slowest < 1.0, f"the page took {slowest:.2f} s to answer")
    expect(lines <= 2001, f"{lines} lines kept on the screen")
    expect(ctx.browser.evaluate("document.getElementById('output').textContent")
           .startswith("[earlier output is not shown]\n"), "no note that output was dropped")
    ctx.browser.evaluate("document.getElementById('stop').click()")
    return f"slowest answer {slowest * 1000:.0f} ms"


@test
def the_address_keeps_the_program_and_a_new_one_opens_it(ctx):
    ctx.browser.open(ctx.page_url())
    ctx.browser.evaluate("document.getElementById('program').focus(); document.getElementById('program').select()")
    ctx.browser.type_text('." naïve " CR')
    text = '." naïve " CR'
    expect(ctx.browser.evaluate("location.hash") == f"#p={b64url(text.encode())}", ctx.browser.evaluate("location.hash"))
    # Ctrl+Enter runs what is in the editor.
    ctx.browser.press("Enter", key_code=13, text="\r", modifiers=2)
    wait_for_run_end(ctx)
    expect(page_output(ctx) == BANNER.decode() + "naïve\n ok\n", repr(page_output(ctx)))
    # Another fragment typed into the address opens (and runs) that program; padding is optional.
    ctx.browser.evaluate(f"location.hash = 'p={base64.urlsafe_b64encode(b'6 7 * .').decode()}&run'")
    ctx.browser.wait_for("document.getElementById('output').textContent.endsWith('42  ok\\n')")
    ctx.browser.evaluate("location.hash = 'p=%%%'")
    ctx.browser.wait_for("/no program/.test(document.getElementById('run-status').textContent)")
    expect(ctx.browser.evaluate("document.getElementById('program').value") == "6 7 * .", "a bad link changed the editor")


# ---- The console


def console_log(ctx):
    return ctx.browser.evaluate("document.getElementById('console-log').textContent")


def open_console(ctx):
    """The page, once its console shows the banner, with the console's line focused."""
    ctx.browser.open(ctx.page_url())
    banner = BANNER.decode()
    ctx.browser.wait_for(f"document.getElementById('console-log').textContent === {json.dumps(banner)}")
    ctx.browser.evaluate("document.getElementById('console-line').focus()")
    return banner


def type_line(ctx, text):
    ctx.browser.type_text(text)
    ctx.browser.press("Enter", key_code=13, text="\r")


@test
def console_runs_lines_in_one_session_until_an_error(ctx):
    banner = open_console(ctx)
    transcript = banner
    for line, answer in [("2 3 + .", "5  ok\n"), (": SQ DUP * ;", " ok\n"), ("3 0 DO I ", " ok\n"),
                         ("SQ . LOOP", "0 1 4  ok\n")]:
        type_line(ctx, line)
        transcript += line + "\n" + answer
        ctx.browser.wait_for(f"document.getElementById('console-log').textContent === {json.dumps(transcript)}")
    # Up and Down step through the lines typed, back to what was being typed.
    ctx.browser.type_text("7")
    recalled = []
    for key, code in [("ArrowUp", 38), ("ArrowUp", 38), ("ArrowDown", 40), ("ArrowDown", 40), ("ArrowDown", 40)]:
        ctx.browser.press(key, key_code=code)
        recalled.append(ctx.browser.evaluate("document.getElementById('console-line').value"))
    expect(recalled == ["SQ . LOOP", "3 0 DO I ", "SQ . LOOP", "7", "7"], f"recalled {recalled}")
    ctx.browser.press("ArrowUp", key_code=38)
    ctx.browser.press("ArrowUp", key_code=38)
    ctx.browser.press("ArrowUp", key_code=38)
    ctx.browser.evaluate("document.getElementById('console-line').value = '7 SQ . 1 0 /'")
    ctx.browser.press("Enter", key_code=13, text="\r")
    transcript += "7 SQ . 1 0 /\n49 ERROR: Division by zero\n"
    ctx.browser.wait_for(f"document.getElementById('console-log').textContent === {json.dumps(transcript)}")
    ctx.browser.wait_for("/ended with exit status 1/.test(document.getElementById('console-status').textContent)")
    # The session has ended: the next key starts a new one and is used up.
    ctx.browser.press("x", key_code=88, text="x")
    transcript += banner
    ctx.browser.wait_for(f"document.getElementById('console-log').textContent === {json.dumps(transcript)}")
    expect(ctx.browser.evaluate("document.getElementById('console-line').value") == "", "the key was typed")
    type_line(ctx, "9 SQ .")
    transcript += "9 SQ .\nERROR: Word <SQ> not found in dictionary\n"
    ctx.browser.wait_for(f"document.getElementById('console-log').textContent === {json.dumps(transcript)}")
    ctx.shot("console-light")


@test
def console_stop_and_quit_end_the_session(ctx):
    ctx.browser.open(ctx.page_url())
    ctx.browser.wait_for("document.getElementById('console-log').textContent.length > 0")
    ctx.browser.evaluate("document.getElementById('console-line').focus()")
    type_line(ctx, ENDLESS.strip())
    ctx.browser.wait_for("!document.getElementById('console-stop').disabled")
    time.sleep(0.3)
    start = time.monotonic()
    ctx.browser.evaluate("document.getElementById('console-stop').click()")
    ctx.browser.wait_for("/Stopped/.test(document.getElementById('console-status').textContent)", timeout=5)
    expect(time.monotonic() - start < 1.0, "the console's Stop took a second or more")
    ctx.browser.evaluate("document.getElementById('console-new').click()")
    ctx.browser.wait_for("(document.getElementById('console-log').textContent.match(/FORTH-Interpreter/g) || []).length === 2")
    type_line(ctx, "1 . QUIT 2 .")
    ctx.browser.wait_for("/ended with exit status 0/.test(document.getElementById('console-status').textContent)")
    expect(console_log(ctx).endswith(BANNER.decode() + "1 . QUIT 2 .\n1 2  ok\n"), repr(console_log(ctx)))
    # Ctrl+D on an empty line ends the input: status 0, nothing more written.
    ctx.browser.press("Enter", key_code=13, text="\r")  # the key that starts a new session
    ctx.browser.wait_for("(document.getElementById('console-log').textContent.match(/FORTH-Interpreter/g) || []).length === 3")
    ctx.browser.press("d", key_code=68, text="\x04", modifiers=2)
    ctx.browser.wait_for("/ended with exit status 0/.test(document.getElementById('console-status').textContent)")
    expect(console_log(ctx).endswith("1 2  ok\n" + BANNER.decode()), repr(console_log(ctx)))


@test
def lines_pasted_into_the_console_run_one_after_the_other(ctx):
    banner = open_console(ctx)
    ctx.browser.type_text("1 ")
    ctx.browser.evaluate("""(() => {
        const data = new DataTransfer();
        data.setData('text/plain', '. 2 .\\r\\n3 0 DO I \\nLOOP . . .\\n1 0 /\\n5 .\\n4');
        document.getElementById('console-line').dispatchEvent(
            new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
    })()""")
    # Each line is echoed when its turn comes; the error drops the line after it, as the
    # console drops what was typed ahead of an error.
    transcript = banner + ("1 . 2 .\n1 2  ok\n3 0 DO I \n ok\nLOOP . . .\n2 1 0  ok\n"
                           "1 0 /\nERROR: Division by zero\n")
    ctx.browser.wait_for("/ended with exit status 1/.test(document.getElementById('console-status').textContent)")
    time.sleep(0.2)
    expect(console_log(ctx) == transcript, repr(console_log(ctx)))
    expect(ctx.browser.evaluate("document.getElementById('console-line').value") == "4", "the rest of the paste")


# ---- Reading it: labels, a phone's width, dark mode; and a web server


@test
def every_control_is_labelled_and_a_phone_needs_no_sideways_scroll(ctx):
    for dark in (False, True):
        ctx.browser.open(ctx.page_url(f"#p={b64url((ctx.source_dir / 'examples' / 'times_table.fs').read_bytes())}&run"),
                         width=360, height=740, dark=dark)
        wait_for_run_end(ctx)
        unlabelled = ctx.browser.evaluate("""[...document.querySelectorAll('input, select, textarea, button')]
            .filter((e) => !(e.labels && e.labels.length) && !e.textContent.trim() && !e.getAttribute('aria-label'))
            .map((e) => e.id)""")
        expect(not unlabelled, f"controls without a label: {unlabelled}")
        overflow = ctx.browser.evaluate("document.documentElement.scrollWidth - window.innerWidth")
        expect(overflow <= 0, f"the page is {overflow} px wider than a 360 px phone")
        colours = ctx.browser.evaluate("""(() => {
            const style = getComputedStyle(document.getElementById('output'));
            return [style.color, style.backgroundColor, getComputedStyle(document.body).backgroundColor];
        })()""")
        expect(colours[0] != colours[1], f"output text and background alike: {colours}")
        ctx.shot("phone-dark" if dark else "phone-light")
    expect(colours[2] in ("rgb(18, 18, 18)",), f"dark mode not applied: {colours}")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


@test
def the_page_works_from_a_web_server_too(ctx):
    handler = functools.partial(QuietHandler, directory=str(ctx.page_dir))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        program = (ctx.source_dir / "examples" / "hello.fs").read_bytes()
        expected = (ctx.source_dir / "examples" / "hello.out").read_bytes()
        ctx.browser.open(f"http://127.0.0.1:{server.server_address[1]}/index.html#p={b64url(program)}&run")
        wait_for_run_end(ctx)
        expect(page_output(ctx) == (BANNER + expected).decode(), repr(page_output(ctx)))
        ctx.browser.evaluate("1")
        remote = [u for u in ctx.browser.requests if not u.startswith(("http://127.0.0.1", "data:", "blob:"))]
        expect(not remote, f"requests to other hosts: {remote}")
    finally:
        server.shutdown()
        server.server_close()


def main():
    chromium, page_dir, source_dir = sys.argv[1:4]
    passed = failed = 0
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="forth-web-test-") as scratch:
        ctx = Context(chromium, page_dir, source_dir, scratch)
        try:
            for fn in TESTS:
                begun = time.monotonic()
                try:
                    note = fn(ctx)
                    passed += 1
                    print(f"PASS {fn.__name__} ({time.monotonic() - begun:.1f} s{', ' + note if note else ''})")
                except Exception as error:  # noqa: BLE001 - every failure is reported, then the next test runs
                    failed += 1
                    detail = str(error) if isinstance(error, Failure) else traceback.format_exc()
                    print(f"FAIL {fn.__name__}: {detail}")
                sys.stdout.flush()
        finally:
            ctx.browser.close()
    print(f"browser tests: {time.monotonic() - started:.1f} s")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
