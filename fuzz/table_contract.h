#pragma once
// What the airfoil table reader promises for any input bytes, checked by the
// fuzz target and by the corpus regression test: either it refuses the input
// with a message that names the file and leaves the model state bit for bit
// as it was, or it loads a table whose row count is a whole number 0..500 and
// whose rows 1..N hold finite values with circles that make a profile
// (0 <= eps <= 10, |mu| <= 10), and changes nothing else (row 0 and the rows
// above N keep their old contents). A warning comes only with a loaded table,
// on one line that names the file.

#include <cmath>
#include <cstring>

#include "airfoil/table.h"

namespace jmach::table_contract {

inline constexpr TableColumn ModelState::*kColumns[] = {&ModelState::table_thickness, &ModelState::table_camber,
                                                        &ModelState::table_eps, &ModelState::table_mu};

// A state after start-up with an earlier table in it: every table slot holds
// a distinct value, so that a stray write anywhere is seen.
inline ModelState prefilled_state() {
    ModelState s;
    set_constants(s);
    s.table_rows = 7;
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < kTableCapacity; ++i) (s.*kColumns[c])[i] = -1000.0 * (c + 1) - i;
    return s;
}

// Empty when the reader kept its promise on this outcome, else what broke.
// (A refusal with an empty message does not name the file either.)
inline std::string check(const ModelState& before, const ModelState& after,
                         const std::optional<std::string>& error, std::string_view file_name,
                         const std::string& warning = {}) {
    if (error && error->find(file_name) == std::string::npos)
        return "refused the input without naming the file: '" + *error + "'";
    if (!warning.empty() && (error || warning.find(file_name) == std::string::npos || warning.find('\n') != std::string::npos))
        return "a warning that is not one line naming the file of a loaded table: '" + warning + "'";
    const double n = after.table_rows;
    if (!error && !(n >= 0 && n <= kTableMaxRows && n == std::floor(n)))
        return "loaded a table with row count " + std::to_string(n);
    ModelState rest;  // `after` with the loaded rows put back as they were
    std::memcpy(&rest, &after, sizeof rest);
    if (!error) rest.table_rows = before.table_rows;
    for (int i = 1; !error && i <= n; ++i) {
        for (TableColumn ModelState::*c : kColumns) {
            if (!std::isfinite((after.*c)[i])) return "loaded a value that is not finite in row " + std::to_string(i);
            (rest.*c)[i] = (before.*c)[i];
        }
        if (!(after.table_eps[i] >= 0 && after.table_eps[i] <= kTableMaxOffset &&
              std::fabs(after.table_mu[i]) <= kTableMaxOffset))
            return "loaded a circle that makes no profile in row " + std::to_string(i);
    }
    if (std::memcmp(&before, &rest, sizeof rest) != 0)
        return error ? "refused the input but changed the model state"
                     : "loaded a table and changed the model state outside rows 1..N";
    return {};
}

}  // namespace jmach::table_contract
