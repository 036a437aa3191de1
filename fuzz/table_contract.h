#pragma once
// What the airfoil table reader promises for any input bytes, checked by the
// fuzz target and by the corpus regression test:
//  - either it refuses the input with a non-empty message that names the
//    file, and the model state is left exactly as it was;
//  - or it loads a table: table_rows is a whole number 0..500, every value of
//    rows 1..table_rows is finite, and nothing else of the model state
//    changed (row 0 and the rows above table_rows keep their old contents).

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "airfoil/table.h"
#include "app/model_state.h"

namespace jmach::table_contract {

// A model state as it looks after start-up with an earlier table in it:
// every table slot and several other members hold distinct values, so that a
// stray write anywhere is seen.
inline ModelState prefilled_state() {
    ModelState s;
    set_constants(s);
    s.thickness = 0.12;
    s.camber = 0.02;
    s.n_points = 41;
    s.circle_eps = 0.0945;
    s.circle_mu = 0.0431;
    s.table_rows = 7;
    for (int i = 0; i < kTableCapacity; ++i) {
        s.table_thickness[i] = -1000.0 - i;
        s.table_camber[i] = -2000.0 - i;
        s.table_eps[i] = -3000.0 - i;
        s.table_mu[i] = -4000.0 - i;
    }
    for (int j = 0; j < kPointCapacity; ++j) s.cp_surf[j] = 0.5 * j;
    s.curve_cl[24] = 1.25;
    s.gamma_over_gamma_minus1 = 3.5;
    return s;
}

inline bool same_bits(const ModelState& a, const ModelState& b) {
    return std::memcmp(&a, &b, sizeof(ModelState)) == 0;
}

inline bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Empty when the reader kept its promise on this outcome, else what broke.
inline std::string check(const ModelState& before, const ModelState& after,
                         const std::optional<std::string>& error, std::string_view file_name) {
    if (error) {
        if (error->empty()) return "refused the input with an empty message";
        if (error->find(file_name) == std::string::npos)
            return "message does not name the file: " + *error;
        if (!same_bits(before, after)) return "refused the input but changed the model state";
        return {};
    }

    const double n = after.table_rows;
    if (!std::isfinite(n) || n != std::floor(n) || n < 0 || n > kTableMaxRows)
        return "loaded a table with row count " + std::to_string(n);
    const int rows = static_cast<int>(n);
    const TableColumn* columns[4][2] = {{&before.table_thickness, &after.table_thickness},
                                        {&before.table_camber, &after.table_camber},
                                        {&before.table_eps, &after.table_eps},
                                        {&before.table_mu, &after.table_mu}};
    for (int c = 0; c < 4; ++c) {
        const TableColumn& old_col = *columns[c][0];
        const TableColumn& new_col = *columns[c][1];
        for (int i = 1; i <= rows; ++i)
            if (!std::isfinite(new_col[i]))
                return "loaded a value that is not finite in row " + std::to_string(i) +
                       ", column " + std::to_string(c + 1);
        for (int i = 0; i < kTableCapacity; ++i) {
            if (i >= 1 && i <= rows) continue;
            if (!same_bits(old_col[i], new_col[i]))
                return "changed unused table slot " + std::to_string(i) + " of column " +
                       std::to_string(c + 1) + " (table_rows " + std::to_string(rows) + ")";
        }
    }

    // Everything but the table itself must be as before.
    ModelState rest;
    std::memcpy(&rest, &after, sizeof rest);
    rest.table_rows = before.table_rows;
    rest.table_thickness = before.table_thickness;
    rest.table_camber = before.table_camber;
    rest.table_eps = before.table_eps;
    rest.table_mu = before.table_mu;
    if (!same_bits(before, rest)) return "loaded a table and changed members outside it";
    return {};
}

}  // namespace jmach::table_contract
