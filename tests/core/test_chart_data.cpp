// The numbers behind the charts: every column of every chart against the
// record, with and without a Mach number, and their CSV and tab-separated
// texts.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <locale>
#include <string>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "charts/chart_data.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "compressible/rules.h"

namespace jmach {
namespace {

// A cambered profile with its pressure, lift and moment curves.
ModelState charted(int n_points) {
    ModelState s{.n_points = static_cast<double>(n_points), .circle_eps = 0.1, .circle_mu = 0.05};
    set_constants(s);
    compute_profile_geometry(s);
    basınc_hesapla(s, 5);
    lift_curve(s);
    moment_curve(s, 25);
    return s;
}

// The lines of a text, split at `end`, each split at `separator`.
std::vector<std::vector<std::string>> cells(const std::string& text, const std::string& end, char separator) {
    std::vector<std::vector<std::string>> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t stop = text.find(end, at);
        EXPECT_NE(stop, std::string::npos) << "every line ends with the line end";
        const std::string line = text.substr(at, stop - at);
        out.emplace_back();
        for (std::size_t from = 0;;) {
            const std::size_t cut = line.find(separator, from);
            out.back().push_back(line.substr(from, cut - from));
            if (cut == std::string::npos) break;
            from = cut + 1;
        }
        at = stop + end.size();
    }
    return out;
}

double read_back(const std::string& text) {
    double v = NAN;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    return v;
}

// Checks the CSV of a table: header, then each column equal to want(row,
// column) bit for bit after reading back.
template <typename Want>
void expect_csv(const ChartTable& table, const std::vector<std::string>& header, int rows, Want want) {
    const auto lines = cells(csv_text(table), "\r\n", ',');
    ASSERT_EQ(lines.size(), rows + 1u);
    EXPECT_EQ(lines[0], header);
    for (int r = 0; r < rows; ++r) {
        ASSERT_EQ(lines[r + 1].size(), header.size()) << r;
        for (std::size_t c = 0; c < header.size(); ++c)
            EXPECT_EQ(read_back(lines[r + 1][c]), want(r, static_cast<int>(c))) << header[c] << " row " << r;
    }
}

const MachInUse kHalf{0.5, std::sqrt(0.75)};

TEST(ChartData, ProfileAndPressureColumnsAreThePointsOfTheRecord) {
    const ModelState s = charted(51);
    expect_csv(profile_table(s), {"point", "x/c [-]", "y/c [-]"}, 51, [&](int r, int c) {
        return std::vector<double>{r + 1.0, s.prof_x[r + 1], s.prof_y[r + 1]}[c];
    });
    expect_csv(pressure_table(s, std::nullopt), {"point", "x/c [-]", "Cp [-]"}, 51, [&](int r, int c) {
        return std::vector<double>{r + 1.0, s.prof_x[r + 1], s.cp_surf[r + 1]}[c];
    });
    expect_csv(pressure_table(s, kHalf), {"point", "x/c [-]", "Cp [-]", "Cp Prandtl-Glauert M=0.5 [-]"}, 51,
               [&](int r, int c) {
                   const double cp = s.cp_surf[r + 1];
                   return std::vector<double>{r + 1.0, s.prof_x[r + 1], cp, cp / kHalf.beta}[c];
               });
    // Before any profile the table has its header only.
    ModelState empty;
    EXPECT_EQ(csv_text(profile_table(empty)), "point,x/c [-],y/c [-]\r\n");
    EXPECT_EQ(pressure_table(empty, kHalf).rows.size(), 0u);
}

TEST(ChartData, LiftAndMomentColumnsAreTheCurvesOfTheRecord) {
    const ModelState s = charted(51);
    for (const auto& mach : {std::optional<MachInUse>(), std::optional<MachInUse>(MachInUse{0.3, std::sqrt(0.91)})}) {
        SCOPED_TRACE(mach ? "M = 0.3" : "no Mach number");
        std::vector<std::string> lift = {"alpha [deg]", "CL [-]"}, moment = {"alpha [deg]", "CM about x/c=0.25 [-]"};
        if (mach) {
            lift.push_back("CL/beta M=0.3 [-]");
            moment.push_back("CM/beta about x/c=0.25 M=0.3 [-]");
        }
        const double beta = mach ? mach->beta : 1;
        expect_csv(lift_table(s, mach), lift, 25, [&](int k, int c) {
            return std::vector<double>{k - 12.0, s.curve_cl[k], s.curve_cl[k] / beta}[c];
        });
        expect_csv(moment_table(s, mach), moment, 25, [&](int k, int c) {
            return std::vector<double>{k - 12.0, s.curve_cm[k], s.curve_cm[k] / beta}[c];
        });
    }
    // A profile whose lift curve is not computed yet has no rows.
    ModelState fresh = charted(51);
    fresh.curve_alpha = {};
    EXPECT_TRUE(lift_table(fresh, std::nullopt).rows.empty() && moment_table(fresh, std::nullopt).rows.empty());
}

TEST(ChartData, CriticalMachColumnsAreTheDrawnSamplesUnderEachRule) {
    ModelState s;
    set_constants(s);
    const McritCurves curves = mcrit_curves(s, -1.0);
    expect_csv(mcrit_table(s, -1.0, curves.count),
               {"M [-]", "Cp Prandtl-Glauert [-]", "Cp Karman-Tsien [-]", "Cp Laitone [-]", "Cp* critical [-]"},
               73, [&](int r, int c) {
                   const int i = r + 1;
                   const double m2 = curves.mach[i] * curves.mach[i], beta = std::sqrt(1 - m2);
                   const double t = m2 * s.gamma_minus1_half + 1;
                   return std::vector<double>{i / 100.0, -1 / beta, Cp_KT(-1, m2, beta), Cp_LA(-1, m2, beta, t),
                                              Cp_Cr(s, m2, t)}[c];
               });
    EXPECT_EQ(empty_mcrit_table().columns, mcrit_table(s, -1.0, 0).columns);
}

TEST(ChartData, TextFormsAreLocaleFreeShortestAndQuotedWhereNeeded) {
    // A locale with a decimal comma changes nothing.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
    const struct Case {
        double v;
        const char* text;
    } cases[] = {{0.1, "0.1"}, {-4, "-4"}, {1e-5, "1e-05"}, {0.1 + 0.2, "0.30000000000000004"}, {NAN, ""}, {INFINITY, ""}};
    for (const Case& c : cases) EXPECT_EQ(shortest_text(c.v), c.text);
    const ChartTable table{{"a,b", "say \"hi\"", "plain"}, {{0.5, -2, NAN}}};
    EXPECT_EQ(csv_text(table), "\"a,b\",\"say \"\"hi\"\"\",plain\r\n0.5,-2,\r\n");
    EXPECT_EQ(tsv_text(table), "a,b\tsay \"hi\"\tplain\n0.5\t-2\t\n");
    std::locale::global(before);
}

}  // namespace
}  // namespace jmach
