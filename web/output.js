// forth_web_output (see web_entry.h) for the WebAssembly module: each piece of the
// interpreter's standard output goes to the engine (engine.js) as a copy of its own, since
// the module reuses that memory as soon as the call returns.
mergeInto(LibraryManager.library, {
    forth_web_output: function (bytes, size) {
        Module['forthOutput'](HEAPU8.slice(bytes, bytes + size));
    },
});
