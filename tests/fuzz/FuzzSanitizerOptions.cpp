// AddressSanitizer defaults of the frame-intake fuzzer: allocation stacks are taken
// with the exact unwinder. The fast one follows frame pointers, and allocations made
// inside libraries built without them (the Qt texts the link prepares) give it
// garbage frames: each such stack is new to the sanitizer's stack store, which keeps
// every stack for good, so a long run grows by about half a kilobyte per input.
// ASAN_OPTIONS given on the command line still take precedence.

extern "C" const char *__asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
