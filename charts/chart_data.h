#pragma once
// The numbers behind each chart as a table with named columns, and that
// table as CSV (for files) or tab-separated text (for pasting into a
// spreadsheet). Every number is written as the shortest text that reads
// back to the same double, with '.' as the decimal point whatever the
// locale.

#include <optional>
#include <string>
#include <vector>

#include "compressible/mcrit.h"
#include "core/model_state.h"
#include "core/number_text.h"  // shortest_text, the form of every number written

namespace jmach {

// The free-stream Mach number a chart was drawn with, when it added the
// Prandtl-Glauert-corrected curve, and its factor sqrt(1 - M^2).
struct MachInUse {
    double mach = 0;
    double beta = 1;
};

struct ChartTable {
    std::vector<std::string> columns;         // each name with its unit
    std::vector<std::vector<double>> rows;    // one value per column
};

// Point number, x/c and y/c of the points of the profile in use; no rows
// before there is a profile.
ChartTable profile_table(const ModelState& s);
// Point number, x/c and incompressible Cp, and Cp/beta with a Mach number.
ChartTable pressure_table(const ModelState& s, std::optional<MachInUse> mach);
// Angle of attack -12 .. 12 degrees and CL, and CL/beta with a Mach number;
// no rows before there is a lift curve.
ChartTable lift_table(const ModelState& s, std::optional<MachInUse> mach);
// The same for CM about the moment reference point of the record.
ChartTable moment_table(const ModelState& s, std::optional<MachInUse> mach);
// The Mach samples 1 .. count of the critical Mach chart for cp0, with Cp
// under Prandtl-Glauert, Karman-Tsien and Laitone and the critical Cp*.
ChartTable mcrit_table(const ModelState& s, double cp0, int count);
// The critical Mach table's columns with no rows: before any search.
ChartTable empty_mcrit_table();

// RFC 4180: comma-separated, CRLF line ends, a header row; a field with a
// comma, quote or line break is quoted with its quotes doubled.
std::string csv_text(const ChartTable& table);
// Tab-separated with LF line ends and a header row.
std::string tsv_text(const ChartTable& table);

}  // namespace jmach
