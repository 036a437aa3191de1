# Lets the page decode its WebAssembly with the browser's own base64 decoder
# where it has one (Uint8Array.fromBase64): the runtime's decoder walks the
# quarter megabyte character by character in JavaScript, a good part of the
# page's start-up. Browsers without it keep the runtime's decoder.
# Usage: cmake -DPAGE=jmach.html -P fast_base64.cmake
file(READ "${PAGE}" page)
set(decoder "function intArrayFromBase64(s){")
string(FIND "${page}" "${decoder}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${PAGE}: the runtime's base64 decoder was not found; this Emscripten writes it otherwise")
endif()
string(REPLACE "${decoder}"
  "${decoder}if(typeof Uint8Array.fromBase64==\"function\")return Uint8Array.fromBase64(s);" page "${page}")
file(WRITE "${PAGE}" "${page}")
