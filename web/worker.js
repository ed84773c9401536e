// The page's engine in a Web Worker, so that a program that runs for ever never holds up
// the page: Stop ends the worker and page.js starts another. page.js builds this worker
// from a Blob holding forth.js and then this file (see embed.py), which works from file://
// as well as from a web server.
// Messages in, one at a time and in order: {run: program}, {start: true}, {line: text},
// {end: true}.
// Messages out: {output: bytes} with the output written so far, then one of {done: true,
// ended, status} (ended: the run is over, status is its exit status), {done: true, refused:
// true} (a line or end for a session that has already ended) or {done: true, failed: why}.
'use strict';

// Output goes to the page as soon as it is written, so that a long run shows what it has
// written so far. But a program that writes a line at a time makes many thousands of pieces
// a second, more messages than a page can take, so pieces go out at once only while a
// budget of messages lasts; past it they wait for the next piece the budget allows, or
// for the end of the request. A worker has no timer while it runs, so what waits there
// when a program stops writing for good (after a burst of over burstMessages pieces) only
// shows when the request ends.
const burstMessages = 1000;
const messagesPerSecond = 50;
let budget = burstMessages;
let budgetTime = 0;
let waiting = [];

function sendWaiting() {
    if (waiting.length === 0) return;
    const bytes = new Uint8Array(waiting.reduce((size, piece) => size + piece.length, 0));
    let at = 0;
    for (const piece of waiting) {
        bytes.set(piece, at);
        at += piece.length;
    }
    waiting = [];
    self.postMessage({output: bytes}, [bytes.buffer]);
}

const ready = createForth({
    onOutput(piece) {
        waiting.push(piece);
        const now = performance.now();
        budget = Math.min(burstMessages, budget + (now - budgetTime) * messagesPerSecond / 1000);
        budgetTime = now;
        if (budget >= 1) {
            budget -= 1;
            sendWaiting();
        }
    },
});

function answer(request, engine) {
    if ('run' in request) return {ended: true, status: engine.run(request.run).status};
    let result;
    if ('start' in request) {
        result = engine.start();
    } else if ('end' in request) {
        result = engine.end();
    } else {
        result = engine.line(request.line);
    }
    return {ended: result.ended, status: result.status};
}

self.onmessage = async function (event) {
    try {
        const engine = await ready;
        if (('line' in event.data || 'end' in event.data) && !engine.running) {
            self.postMessage({done: true, refused: true});
            return;
        }
        const result = answer(event.data, engine);
        sendWaiting();
        self.postMessage({done: true, ...result});
    } catch (error) {
        sendWaiting();
        self.postMessage({done: true, failed: String(error)});
    }
};
