// libFuzzer target: arbitrary bytes as a jmach-script script, through the
// tool's line handling without the window: the line reader (the bytes
// arriving in pieces of a size the input chooses), the action parser, the
// JSON echo and the Mach text parse. Any sanitizer report, any hang and any
// broken promise (see script_contract.h) ends the run with the input.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/script_contract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte also picks how the script arrives: 1 to 64 bytes at a time.
    const std::size_t piece = data[0] % 64 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string fault = jmach::script_contract::check(bytes, piece);
    if (!fault.empty()) {
        std::fprintf(stderr, "script line handling broke its promise: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
