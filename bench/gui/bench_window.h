#pragma once
// The main window as the window benchmarks start it: the session with the
// table from the working directory, the window shown over it, and the
// scroll bars moved to the given values in order, each running its handler.

#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <memory>
#include <utility>

#include "app/form1.h"

namespace jmach::bench {

struct Window {
    Session session;
    std::unique_ptr<Form1> form;

    // False (the benchmark marked skipped) when the table cannot be loaded.
    bool start(benchmark::State& state, std::initializer_list<std::pair<Input, int>> inputs) {
        if (const auto error = session.Form_Load(std::filesystem::path("KATJO-D20G15.txt"))) {
            state.SkipWithError(error->c_str());
            return false;
        }
        form = std::make_unique<Form1>(session);
        form->set_message_hook([&](const QString& text) { state.SkipWithError(qPrintable(text)); });
        form->show();
        for (const auto& [input, value] : inputs) bar(input)->setValue(value);
        return true;
    }
    QScrollBar* bar(Input input) const {
        return form->findChild<QScrollBar*>(QString::fromLatin1(kInputBars[static_cast<std::size_t>(input)]));
    }
};

}  // namespace jmach::bench
