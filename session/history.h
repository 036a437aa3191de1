#pragma once
// Undo and redo of the window: the states before each step the user took,
// most recent last. A step is an action that changed what the window shows
// (the bars, the boxes, the charts, the references, the views, the sonic
// level); one that changed nothing is no step. A drag of a scroll bar's
// thumb, however many values it passes, is one step.

#include <cstddef>
#include <deque>
#include <optional>

#include "session/session.h"

namespace jmach {

class History {
public:
    // At most this many steps are kept; the oldest go first.
    static constexpr std::size_t kSteps = 1000;
    explicit History(std::size_t steps = kSteps) : steps_(steps) {}

    // Runs `action` on the window as one step, when it changes something.
    // Returns whether it was recorded.
    template <class Action>
    bool step(Session& session, Action&& action) {
        begin(session);
        action();
        return end(session);
    }
    // A step spanning several actions (a drag, from press to release):
    // nested begin/end pairs make one step, recorded at the outermost end.
    void begin(const Session& session);
    bool end(const Session& session);

    bool can_undo() const { return !undo_.empty(); }
    bool can_redo() const { return !redo_.empty(); }
    std::size_t undo_steps() const { return undo_.size(); }
    // Takes the window back one step, or forward again; false when there
    // is nothing to take it to. The window's unanswered messages stay.
    bool undo(Session& session) { return travel(undo_, redo_, session); }
    bool redo(Session& session) { return travel(redo_, undo_, session); }

private:
    // The window becomes the last state of `from`; the state it leaves is
    // kept last in `to`.
    bool travel(std::deque<Session>& from, std::deque<Session>& to, Session& session);

    std::size_t steps_;
    std::deque<Session> undo_, redo_;
    std::optional<Session> before_;  // while a step is open
    int depth_ = 0;
};

}  // namespace jmach
