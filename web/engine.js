// The engine that createForth (api.js) hands out, built inside the module so that it calls
// the C functions of web_entry.h and reaches the module's memory directly. Input goes in as
// bytes (a string is taken as UTF-8); output comes back as bytes, exactly as the console
// program writes them to a pipe. One module holds one interpreter: a run or a started
// session ends whatever run was open before it.
Module['forthEngine'] = function (options) {
    const onOutput = options && options.onOutput;
    const running = -1;  // forth_running
    const noRun = -2;    // forth_no_run
    const newline = 10;
    let pieces = [];
    let open = false;

    Module['forthOutput'] = function (piece) {
        if (onOutput) {
            onOutput(piece);
        } else {
            pieces.push(piece);
        }
    };

    function takeOutput() {
        let length = 0;
        for (const piece of pieces) length += piece.length;
        const output = new Uint8Array(length);
        let at = 0;
        for (const piece of pieces) {
            output.set(piece, at);
            at += piece.length;
        }
        pieces = [];
        return output;
    }

    function bytesOf(input, what) {
        if (typeof input === 'string') return new TextEncoder().encode(input);
        if (input instanceof Uint8Array) return input;
        throw new TypeError(what + ' must be a string or a Uint8Array');
    }

    // Calls fn(address, size) with the bytes copied into the module's memory.
    function withBytes(bytes, fn) {
        const address = _malloc(Math.max(bytes.length, 1));
        if (!address) throw new RangeError('not enough memory for ' + bytes.length + ' bytes of input');
        HEAPU8.set(bytes, address);
        try {
            return fn(address, bytes.length);
        } finally {
            _free(address);
        }
    }

    function lineResult(code) {
        if (code === noRun) throw new Error('no run is open: call start() first');
        open = code === running;
        return {output: takeOutput(), ended: !open, status: open ? null : code};
    }

    return {
        run(input) {
            const bytes = bytesOf(input, 'the input');
            open = false;
            pieces = [];
            const status = withBytes(bytes, _forth_run);
            return {output: takeOutput(), status: status};
        },
        start() {
            pieces = [];
            return lineResult(_forth_start());
        },
        line(text) {
            const bytes = bytesOf(text, 'a line');
            if (bytes.includes(newline)) throw new RangeError('a line must not hold a newline: give one line at a time');
            const withNewline = new Uint8Array(bytes.length + 1);
            withNewline.set(bytes);
            withNewline[bytes.length] = newline;
            return lineResult(withBytes(withNewline, _forth_line));
        },
        end() {
            return lineResult(_forth_end());
        },
        get running() {
            return open;
        },
    };
};
