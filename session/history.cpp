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

bool History::travel(std::deque<Session>& from, std::deque<Session>& to, Session& session) {
    if (from.empty() || depth_ > 0) return false;
    to.push_back(session);
    to.back().drop_flow_drawing();
    session.become(from.back());
    from.pop_back();
    return true;
}

}  // namespace jmach
