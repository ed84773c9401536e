// The page: the program editor with its examples and its link, and the console. Each has an
// engine of its own in a Web Worker (worker.js), so that stopping a program leaves the
// console's session alone, and neither can hold up the page. Output is shown as a terminal
// shows it: decoded as UTF-8, every blank and line end as written.
'use strict';

// A worker cannot be started from a file when the page itself comes from file://, nor load
// one, so it starts from a Blob that holds forth.js and worker.js (see embed.py).
const workerUrl = URL.createObjectURL(new Blob([forthWorkerSource], {type: 'text/javascript'}));

// A screen keeps the latest lines only, as a terminal's scrollback does: a program that
// writes for ever must not fill the page's memory, nor make every update lay out more text.
const screenLines = 2000;
const screenChars = 100000;

const byId = (id) => document.getElementById(id);

function countLines(text) {
    let count = 0;
    for (let at = text.indexOf('\n'); at !== -1; at = text.indexOf('\n', at + 1)) count += 1;
    return count;
}

// Where text must be cut to drop its first `lines` line ends and at least `chars` characters.
function cutPosition(text, lines, chars) {
    let at = 0;
    for (let i = 0; i < lines && at !== -1; i += 1) {
        at = text.indexOf('\n', at);
        if (at !== -1) at += 1;
    }
    return Math.max(at === -1 ? text.length : at, chars);
}

// A <pre> that output is appended to as a terminal shows it. Output comes in pieces of
// bytes; they are kept as they come, and the screen is brought up to date a few times a
// second, with everything that came since, decoded as UTF-8 in one go.
class Screen {
    constructor(element) {
        this.element = element;
        this.clear();
    }

    clear() {
        this.element.textContent = '';
        this.length = 0;        // characters shown
        this.lines = 0;         // line ends shown
        this.pieces = [];
        this.decoder = new TextDecoder();
        this.trimmed = false;
    }

    // A piece of output (bytes), shown at the next update.
    add(piece) {
        this.pieces.push(piece);
        if (!this.timer) this.timer = setTimeout(() => this.flush(), 50);
    }

    // Shows what has come. After the last piece of a run (last), a character cut off at
    // its end shows as U+FFFD.
    flush(last = false) {
        clearTimeout(this.timer);
        this.timer = null;
        let size = 0;
        for (const piece of this.pieces) size += piece.length;
        let bytes = new Uint8Array(size);
        size = 0;
        for (const piece of this.pieces) {
            bytes.set(piece, size);
            size += piece.length;
        }
        this.pieces = [];
        if (bytes.length > 4 * screenChars) {
            // Most of it could not stay on the screen: decode only its end, from the start
            // of a character.
            let from = bytes.length - 4 * screenChars;
            while (from < bytes.length && (bytes[from] & 0xC0) === 0x80) from += 1;
            bytes = bytes.subarray(from);
            this.decoder = new TextDecoder();
        }
        const text = this.decoder.decode(bytes, {stream: !last});
        if (!text) return;
        this.show(text, null);
    }

    // Text of the page's own (a typed line, a note) in a span of the given class.
    addMarked(text, className) {
        this.flush();
        this.show(text, className);
    }

    show(text, className) {
        const element = this.element;
        const atEnd = element.scrollTop + element.clientHeight >= element.scrollHeight - 4;
        let lines = countLines(text);
        if (lines > screenLines || text.length > screenChars) {
            text = text.slice(cutPosition(text, lines - screenLines, text.length - screenChars));
            lines = countLines(text);
            this.noteTrimmed();
        }
        // A node of its own for each update: dropping old output then removes whole nodes,
        // where changing one long text node would cost as much as showing all of it again.
        const node = className ? document.createElement('span') : document.createTextNode(text);
        if (className) {
            node.className = className;
            node.textContent = text;
        }
        element.append(node);
        this.length += text.length;
        this.lines += lines;
        this.trim();
        if (atEnd) element.scrollTop = element.scrollHeight;
    }

    // Drops the oldest text while more than screenLines lines or screenChars characters
    // are shown, and says so once at the top.
    trim() {
        while (this.lines > screenLines || this.length > screenChars) {
            let first = this.element.firstChild;
            if (first.classList && first.classList.contains('trimmed')) first = first.nextSibling;
            const text = first.textContent;
            const at = cutPosition(text, this.lines - screenLines, this.length - screenChars);
            const dropped = at >= text.length ? text : text.slice(0, at);
            if (at >= text.length) {
                first.remove();
            } else {
                (first.nodeType === Node.TEXT_NODE ? first : first.firstChild).deleteData(0, at);
            }
            this.length -= dropped.length;
            this.lines -= countLines(dropped);
            this.noteTrimmed();
        }
    }

    noteTrimmed() {
        if (!this.trimmed) {
            this.trimmed = true;
            const note = document.createElement('span');
            note.className = 'note trimmed';
            note.textContent = '[earlier output is not shown]\n';
            this.element.prepend(note);
        }
    }
}

// An engine in a worker: requests go in order, and stop() ends the worker with whatever it
// was doing and starts a fresh one at once.
class Runner {
    constructor(onOutput, onDone) {
        this.onOutput = onOutput;
        this.onDone = onDone;
        this.spawn();
    }

    spawn() {
        this.waiting = 0;
        const worker = new Worker(workerUrl);
        this.worker = worker;
        worker.onmessage = (event) => {
            if (worker !== this.worker) return;  // a message the stopped worker sent before it ended
            const message = event.data;
            if (message.output) {
                this.onOutput(message.output);
            } else {
                this.waiting -= 1;
                this.onDone(message);
            }
        };
        worker.onerror = (event) => {
            event.preventDefault();
            if (worker !== this.worker) return;
            this.waiting = 0;
            this.onDone({failed: event.message || 'the engine could not start'});
        };
    }

    send(request) {
        this.waiting += 1;
        this.worker.postMessage(request);
    }

    get busy() {
        return this.waiting > 0;
    }

    stop() {
        this.worker.terminate();
        this.spawn();
    }
}

// ---- The address: #p= and the program's UTF-8 bytes in base64url, then &run to run it.

function encodeProgram(text) {
    let binary = '';
    for (const byte of new TextEncoder().encode(text)) binary += String.fromCharCode(byte);
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// The program's text, or null when the fragment holds none (or one that is not base64url).
function decodeProgram(encoded) {
    if (!/^[A-Za-z0-9_-]*={0,2}$/.test(encoded)) return null;
    let binary;
    try {
        binary = atob(encoded.replace(/=+$/, '').replace(/-/g, '+').replace(/_/g, '/'));
    } catch (error) {
        return null;
    }
    const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
    return new TextDecoder().decode(bytes);
}

function readFragment() {
    const parts = location.hash.replace(/^#/, '').split('&');
    const program = parts.find((part) => part.startsWith('p='));
    return {
        text: program === undefined ? null : decodeProgram(program.slice(2)),
        run: parts.includes('run'),
        given: program !== undefined,
    };
}

// ---- The program editor.

const editor = byId('program');
const runButton = byId('run');
const stopButton = byId('stop');
const runStatus = byId('run-status');
const exampleChoice = byId('example');
const exampleAbout = byId('example-about');
const output = new Screen(byId('output'));
let runStarted = 0;

const programRunner = new Runner(
    (piece) => output.add(piece),
    (result) => {
        output.flush(true);
        setRunning(false);
        if (result.failed) {
            runStatus.textContent = `The engine failed: ${result.failed}`;
        } else if (result.status === 0) {
            runStatus.textContent = 'The run ended with exit status 0: QUIT, or the end of the program.';
        } else {
            runStatus.textContent = `The run ended with exit status ${result.status}: an error.`;
        }
    });

function setRunning(running) {
    const stopHadFocus = document.activeElement === stopButton;
    stopButton.disabled = !running;
    if (!running && stopHadFocus) runButton.focus();
}

function runProgram() {
    if (programRunner.busy) programRunner.stop();
    output.clear();
    runStatus.textContent = 'Running…';
    runStarted = performance.now();
    setRunning(true);
    programRunner.send({run: editor.value});
}

function stopProgram() {
    if (!programRunner.busy) return;
    programRunner.stop();
    output.flush(true);
    setRunning(false);
    const seconds = ((performance.now() - runStarted) / 1000).toFixed(1);
    runStatus.textContent = `Stopped after ${seconds} s: the run was ended, and a fresh engine is ready.`;
}

function keepInAddress() {
    history.replaceState(null, '', `#p=${encodeProgram(editor.value)}`);
}

function showProgram(text) {
    editor.value = text;
    const example = forthExamples.find((e) => e.text === text);
    exampleChoice.value = example ? example.name : '';
    showAbout(example);
}

// The README's note on an example, its `code` spans as <code>.
function showAbout(example) {
    exampleAbout.textContent = '';
    if (!example) return;
    example.about.split('`').forEach((part, i) => {
        if (i % 2 === 0) {
            exampleAbout.append(part);
        } else {
            const code = document.createElement('code');
            code.textContent = part;
            exampleAbout.append(code);
        }
    });
}

for (const example of forthExamples) {
    const option = document.createElement('option');
    option.value = example.name;
    option.textContent = example.name;
    exampleChoice.append(option);
}

exampleChoice.addEventListener('change', () => {
    const example = forthExamples.find((e) => e.name === exampleChoice.value);
    if (!example) return;
    showProgram(example.text);
    keepInAddress();
});

editor.addEventListener('input', () => {
    keepInAddress();
    const example = forthExamples.find((e) => e.text === editor.value);
    exampleChoice.value = example ? example.name : '';
    showAbout(example);
});

editor.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
        event.preventDefault();
        runProgram();
    }
});

runButton.addEventListener('click', runProgram);
stopButton.addEventListener('click', stopProgram);

byId('copy-link').addEventListener('click', async () => {
    keepInAddress();
    try {
        await navigator.clipboard.writeText(location.href);
        runStatus.textContent = 'The link to this program has been copied.';
    } catch (error) {
        runStatus.textContent = `Copy this link: ${location.href}`;
    }
});

function openFromAddress() {
    const link = readFragment();
    if (link.given && link.text === null) {
        runStatus.textContent = 'The link holds no program that can be read: it was cut short or changed.';
        return;
    }
    if (link.text !== null) {
        showProgram(link.text);
        if (link.run) runProgram();
    }
}

window.addEventListener('hashchange', openFromAddress);

// ---- The console: one session fed a line at a time.

const consoleScreen = new Screen(byId('console-log'));
const lineInput = byId('console-line');
const consoleStop = byId('console-stop');
const consoleStatus = byId('console-status');
let sessionOpen = false;
const typed = [];           // every line typed, for Up and Down
let queued = [];            // lines entered (typed ahead, or pasted) that have not run yet
let recalled = typed.length;
let draft = '';

const consoleRunner = new Runner(
    (piece) => consoleScreen.add(piece),
    (result) => {
        consoleStop.disabled = !consoleRunner.busy;
        if (result.refused) return;  // typed after the session ended: dropped, as at the console
        if (result.failed) {
            endSession(`The engine failed: ${result.failed}`);
        } else if (result.ended) {
            endSession(result.status === 0
                ? 'The session has ended with exit status 0 (QUIT, or Ctrl+D on an empty line).'
                : `The session has ended with exit status ${result.status}: an error.`);
        } else {
            consoleStatus.textContent = '';
            runQueued();
        }
    });

// Lines still queued are dropped, as the console drops what was typed ahead of an error.
function endSession(why) {
    consoleScreen.flush(true);
    sessionOpen = false;
    queued = [];
    consoleStatus.textContent = `${why} Press any key in the line, or New session, to start a new one.`;
}

function startSession() {
    if (consoleRunner.busy) consoleRunner.stop();
    sessionOpen = true;
    queued = [];
    consoleStatus.textContent = '';
    consoleRunner.send({start: true});
    consoleStop.disabled = false;
}

function stopSession() {
    if (!consoleRunner.busy) return;
    consoleRunner.stop();
    consoleStop.disabled = true;
    endSession('Stopped: the session was ended.');
    lineInput.focus();
}

// Modifier keys and Tab send nothing a terminal would read (Tab moves on through the page).
function isAKeyPress(event) {
    return !['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock', 'Tab'].includes(event.key);
}

// A line entered: kept for Up and Down, and queued to run. Ctrl+D queues null.
function enterLine(line) {
    if (line !== '' && typed[typed.length - 1] !== line) typed.push(line);
    recalled = typed.length;
    draft = '';
    queued.push(line);
    runQueued();
}

// The next queued line, once the one before it has run: echoed as the line editor echoes
// it at the console, then run.
function runQueued() {
    if (consoleRunner.busy || !sessionOpen || queued.length === 0) return;
    const line = queued.shift();
    if (line === null) {
        consoleRunner.send({end: true});  // Ctrl+D
    } else {
        consoleScreen.addMarked(`${line}\n`, 'echo');
        consoleRunner.send({line: line});
    }
    consoleStop.disabled = false;
}

lineInput.addEventListener('keydown', (event) => {
    if (!sessionOpen) {
        if (!isAKeyPress(event)) return;
        event.preventDefault();  // the key starts the session and is used up, as the key wait uses it
        startSession();
        return;
    }
    if (event.key === 'Enter') {
        event.preventDefault();
        const line = lineInput.value;
        lineInput.value = '';
        enterLine(line);
    } else if (event.key === 'd' && event.ctrlKey && lineInput.value === '') {
        // Ctrl+D on an empty line ends the input, as at the console.
        event.preventDefault();
        queued.push(null);
        runQueued();
    } else if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
        event.preventDefault();
        if (recalled === typed.length) draft = lineInput.value;
        recalled = Math.max(0, Math.min(typed.length, recalled + (event.key === 'ArrowUp' ? -1 : 1)));
        lineInput.value = recalled === typed.length ? draft : typed[recalled];
        lineInput.setSelectionRange(lineInput.value.length, lineInput.value.length);
    }
});

// Pasted lines run one after the other, as pasted into a terminal; the text after the last
// line end stays in the line. A text field would otherwise drop the line ends.
lineInput.addEventListener('paste', (event) => {
    const pasted = event.clipboardData.getData('text/plain');
    if (!sessionOpen || !/[\r\n]/.test(pasted)) return;
    event.preventDefault();
    const before = lineInput.value.slice(0, lineInput.selectionStart);
    const after = lineInput.value.slice(lineInput.selectionEnd);
    const lines = (before + pasted).split(/\r\n|\r|\n/);
    const rest = lines.pop();
    for (const line of lines) enterLine(line);
    lineInput.value = rest + after;
    lineInput.setSelectionRange(rest.length, rest.length);
});

consoleStop.addEventListener('click', stopSession);
byId('console-new').addEventListener('click', () => {
    startSession();
    lineInput.focus();
});

// Escape stops whatever runs: the program first, else the console's line.
document.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    if (programRunner.busy) {
        stopProgram();
    } else if (consoleRunner.busy) {
        stopSession();
    }
});

// ---- Start: the program from the address (or the first example), and a console session.

showProgram(forthExamples.length > 0 ? forthExamples[0].text : '');
openFromAddress();
startSession();
