// createForth(options): the one name forth.js defines for its users (the README describes
// the API). Each call makes an engine of its own, with its own WebAssembly instance.
function createForth(options) {
    return createForthModule().then(function (module) {
        return module['forthEngine'](options);
    });
}
