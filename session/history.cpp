#include "session/history.h"

namespace jmach {

void History::begin(const Session& session) {
    if (depth_++ == 0) before_ = session;
}

bool History::end(const Session& session) {
    if (depth_ == 0 || --depth_ > 0) return false;
    Session before = std::move(*before_);
    before_.reset();
    if (before.same_window(session)) return false;
    before.drop_flow_drawing();
    undo_.push_back(std::move(before));
    if (undo_.size() > steps_) undo_.pop_front();
    redo_.clear();
    return true;
}

bool History::undo(Session& session) {
    if (undo_.empty() || depth_ > 0) return false;
    redo_.push_back(session);
    redo_.back().drop_flow_drawing();
    session.become(undo_.back());
    undo_.pop_back();
    return true;
}

bool History::redo(Session& session) {
    if (redo_.empty() || depth_ > 0) return false;
    undo_.push_back(session);
    undo_.back().drop_flow_drawing();
    session.become(redo_.back());
    redo_.pop_back();
    return true;
}

void History::clear() {
    undo_.clear();
    redo_.clear();
}

}  // namespace jmach
