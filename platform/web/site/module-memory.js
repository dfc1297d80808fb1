// Bytes and text handed to a WebAssembly module through memory the module allocates for them,
// never through its stack, whose size a long text from outside could overrun.

export const ModuleMemory = (() => {
  const encoder = new TextEncoder();

  // Calls use(address, length) with the bytes copied into the module's heap, freed afterwards.
  // Null when the module cannot allocate them.
  function withBytes(module, bytes, use) {
    const at = module._malloc(Math.max(bytes.length, 1));
    if (!at) return null;
    try {
      module.HEAPU8.set(bytes, at);
      return use(at, bytes.length);
    } finally {
      module._free(at);
    }
  }

  // Calls use(address) with the text as NUL-terminated UTF-8 in the module's heap, freed afterwards.
  // Lone surrogates become U+FFFD, so the module only ever sees valid UTF-8.
  function withText(module, text, use) {
    const bytes = encoder.encode(text + "\0");
    return withBytes(module, bytes, (at) => use(at));
  }

  // withText for several texts at once: use(...addresses).
  function withTexts(module, texts, use) {
    const [first, ...rest] = texts;
    if (first === undefined) return use();
    return withText(module, first, (at) => withTexts(module, rest, (...others) => use(at, ...others)));
  }

  return { withBytes, withText, withTexts };
})();
