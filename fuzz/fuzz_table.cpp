// libFuzzer target: arbitrary bytes as the contents of the airfoil table
// file. Any sanitizer report, any hang and any broken promise of the reader
// (see table_contract.h) ends the run with the input that caused it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/table_contract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const jmach::ModelState before = jmach::table_contract::prefilled_state();
    jmach::ModelState after = before;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string warning;
    const auto error = jmach::parse_airfoil_table(text, jmach::kTableFileName, after, &warning);
    const std::string fault = jmach::table_contract::check(before, after, error, jmach::kTableFileName, warning);
    if (!fault.empty()) {
        std::fprintf(stderr, "table reader broke its contract: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
