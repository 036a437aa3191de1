#pragma once
// The main window as the window benchmarks start it: the table from the
// working directory, shown, and the scroll bars moved to the given values
// in order, each running its handler.

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <utility>

#include "app/form1.h"

namespace jmach::bench {

// False (the benchmark marked skipped) when the table cannot be loaded.
inline bool start_window(Form1& form, benchmark::State& state,
                         std::initializer_list<std::pair<Input, int>> inputs) {
    if (const auto error = form.Form_Load()) {
        state.SkipWithError(error->c_str());
        return false;
    }
    form.show();
    for (const auto& [input, value] : inputs) form.set_input(input, value);
    return true;
}

}  // namespace jmach::bench
