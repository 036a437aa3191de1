// The numbers behind the charts as text: which rule each critical Mach
// column holds, and the CSV and tab-separated forms in any locale. (The
// columns of the other charts are checked against the window's record in
// the window tests.)

#include <gtest/gtest.h>

#include <cmath>
#include <locale>

#include "charts/chart_data.h"
#include "compressible/mcrit.h"
#include "compressible/rules.h"

namespace jmach {
namespace {

TEST(ChartData, CriticalMachColumnsAreTheDrawnSamplesUnderEachRule) {
    ModelState s;
    set_constants(s);
    const McritCurves curves = mcrit_curves(s, -1.0);
    const ChartTable t = mcrit_table(s, -1.0, curves.count);
    EXPECT_EQ(t.columns, (std::vector<std::string>{"M [-]", "Cp Prandtl-Glauert [-]", "Cp Karman-Tsien [-]",
                                                   "Cp Laitone [-]", "Cp* critical [-]"}));
    ASSERT_EQ(t.rows.size(), 73u);  // the stop test fires at M = 0.74
    for (int i = 1; i <= 73; ++i) {
        const double m2 = (i / 100.0) * (i / 100.0), beta = std::sqrt(1 - m2), temp = m2 * s.gamma_minus1_half + 1;
        EXPECT_EQ(t.rows[i - 1], (std::vector<double>{i / 100.0, -1 / beta, Cp_KT(-1, m2, beta),
                                                      Cp_LA(-1, m2, beta, temp), Cp_Cr(s, m2, temp)})) << i;
        EXPECT_EQ(1 - t.rows[i - 1][3], curves.la[i]);  // the values the chart drew
    }
    EXPECT_TRUE(empty_mcrit_table().rows.empty() && empty_mcrit_table().columns == t.columns);
}

TEST(ChartData, TextFormsAreLocaleFreeShortestAndQuotedWhereNeeded) {
    // A locale with a decimal comma changes nothing.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
    const std::pair<double, const char*> cases[] = {
        {0.1, "0.1"}, {-4, "-4"}, {1e-5, "1e-05"}, {0.1 + 0.2, "0.30000000000000004"}, {NAN, ""}, {INFINITY, ""}};
    for (const auto& [v, text] : cases) EXPECT_EQ(shortest_text(v), text);
    const ChartTable table{{"a,b", "say \"hi\"", "plain"}, {{0.5, -2, NAN}}};
    EXPECT_EQ(csv_text(table), "\"a,b\",\"say \"\"hi\"\"\",plain\r\n0.5,-2,\r\n");
    EXPECT_EQ(tsv_text(table), "a,b\tsay \"hi\"\tplain\n0.5\t-2\t\n");
    std::locale::global(before);
    // Before there is a profile the tables hold their header only.
    const ModelState empty;
    EXPECT_EQ(csv_text(profile_table(empty)), "point,x/c [-],y/c [-]\r\n");
    EXPECT_TRUE(pressure_table(empty, MachInUse{0.5, 0.8}).rows.empty() && lift_table(empty, {}).rows.empty() &&
                moment_table(empty, {}).rows.empty());
}

}  // namespace
}  // namespace jmach
