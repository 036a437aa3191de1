#pragma once
// The one-page handout of the window's state: a title, the inputs as their
// value boxes show them with their units, the results, the five charts
// (drawn by the front end, in window order, each under its title), the
// references kept, the state as text and its link, and the date. The
// desktop lays it out on an A4 page; the page shows it for the browser's
// print.

#include <string>
#include <string_view>
#include <vector>

#include "session/session.h"

namespace jmach {

struct HandoutRow {
    std::string name, value, unit;
};

struct Handout {
    std::string title;
    std::vector<HandoutRow> inputs, results;
    std::vector<std::string> notes;       // the references kept and a held critical Mach number
    std::vector<std::string> chart_titles;  // in window order
    std::string state, link, date;
};

// `page`: the address a link starts with; `date`: as the front end writes
// today's date (ISO 8601).
Handout handout(const Session& session, std::string_view page, std::string_view date);
std::string handout_json(const Handout& h);

}  // namespace jmach
