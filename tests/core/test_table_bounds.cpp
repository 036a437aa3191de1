// Hostile table files: the reader's memory and time do not grow with the
// file, a row whose circle cannot make a profile is refused by line and
// value, values after the last row raise one warning, and every circle
// within the bound gives finite results everywhere.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "fuzz/table_contract.h"

namespace jmach {
namespace {

namespace fs = std::filesystem;

const std::string kRow = "0.12, 0.02, 0.0945, 0.0431, 0.3\n";

long peak_rss_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Files far larger than any table, most of them sparse (no disk used):
// each is settled within a second and without memory growing with it.
TEST(TableBounds, HugeFilesAreSettledQuicklyInConstantMemory) {
    const fs::path dir = fs::temp_directory_path() / ("jmach-huge-" + std::to_string(getpid()));
    fs::create_directories(dir);
    constexpr std::uintmax_t kHuge = 8ULL << 30;  // 8 GiB
    struct Case {
        const char* name;
        std::string head;          // written at the start
        std::uintmax_t size;       // then the file is extended with zero bytes to this size
        const char* expect;        // "" loads, else part of the message
        const char* warning_part;  // part of the warning when it loads
    };
    const Case cases[] = {
        {"a table, then 8 GiB of zero bytes", "1 2\n" + kRow + kRow, kHuge, "", "\\x00"},
        {"8 GiB of zero bytes", "", kHuge, "is not a number", ""},
        {"a row count, then 8 GiB of zero bytes", "1 2\n", kHuge, "line 2: '\\x00", ""},
        {"a value of 2000 digits", "1 1\n0." + std::string(2000, '1') + " 0 0.1 0 0\n", 0,
         "is too long for a value (more than 1024 characters)", ""},
        {"9 MiB of blanks inside the table", "1 1\n" + std::string(9 << 20, ' ') + kRow, 0,
         "more than 8 MiB before the end of the last row", ""},
        {"a table, then 9 MiB of blanks and a value", "1 1\n" + kRow + std::string(9 << 20, ' ') + "7\n", 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / "KATJO-D20G15.txt";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.head;
        if (c.size > 0) fs::resize_file(file, c.size);
        ModelState s = table_contract::prefilled_state();
        const ModelState before = s;
        std::string warning = "stale";
        const long rss = peak_rss_kib();
        const auto start = std::chrono::steady_clock::now();
        const auto error = load_airfoil_table(file, s, &warning);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 1.0);
        EXPECT_LT(peak_rss_kib() - rss, 32 * 1024) << "KiB more at peak";
        EXPECT_EQ(table_contract::check(before, s, error, file.string(), warning), "");
        if (*c.expect) {
            EXPECT_NE(error.value_or("loaded").find(c.expect), std::string::npos) << error.value_or("loaded");
        } else {
            ASSERT_FALSE(error) << *error;
            EXPECT_EQ(warning.empty(), !*c.warning_part) << warning;
            EXPECT_NE(warning.find(c.warning_part), std::string::npos) << warning;
        }
    }
    fs::remove_all(dir);
}

TEST(TableBounds, RowsWhoseCircleMakesNoProfileAreRefusedByLineAndValue) {
    const std::pair<std::string, std::string> cases[] = {  // a row after "1 1\n", and the message's end
        {"0.12 0.02 -0.2 0.05 0\n", "line 2: eps (column 3) '-0.2' is negative"},
        {"0.12 0.02\n-1e-300 0.05 0\n", "line 3: eps (column 3) '-1e-300' is negative"},
        {"0.12 0.02 10.000001 0 0\n", "line 2: eps (column 3) '10.000001' is above 10"},
        {"0.12 0.02 1e300 0 0\n", "line 2: eps (column 3) '1e300' is above 10"},
        {"0.12 0.02 0.1\n\n-10.5 0\n", "line 4: mu (column 4) '-10.5' is outside -10 .. 10"},
        {"0.12 0.02 0.1 1e200 0\n", "line 2: mu (column 4) '1e200' is outside -10 .. 10"},
        {"0.12 0.02 10 -10 0\n", ""},  // the bound itself
        {"0.12 0.02 -0 -0 0\n", ""},   // negative zero is zero
    };
    const ModelState old = table_contract::prefilled_state();
    for (const auto& [row, what] : cases) {
        SCOPED_TRACE(row);
        ModelState s = old;
        std::string warning;
        const auto error = parse_airfoil_table("1 1\n" + row, kTableFileName, s, &warning);
        EXPECT_EQ(table_contract::check(old, s, error, kTableFileName, warning), "");
        if (what.empty()) EXPECT_FALSE(error) << *error;
        else EXPECT_NE(error.value_or("loaded").find(what), std::string::npos) << error.value_or("loaded");
    }
}

TEST(TableBounds, ValuesAfterTheLastRowRaiseOneWarning) {
    const std::string file = "/data/" + std::string(kTableFileName);
    const std::pair<std::string, std::string> cases[] = {  // the text, and the warning (empty: none)
        {"1 1\n" + kRow, ""},
        {"1 1\n" + kRow + "\n \t,\r\n,", ""},  // separators only
        {"1 0\n", ""},
        // A spreadsheet's extra column: the rows slide and values are left over.
        {"1 2\n0.12, 0.02, 0.0945, 0.0431, 0.3, 1\n0.07, 0, 0.0551, 0, 0.3, 2\n",
         "the row count is 2, but values follow the last row (line 3): from line 3 on ('0.3') they were ignored"},
        // Decimal commas: every number falls in two.
        {"1 1\n0,12 0,02 0,0945 0,0431 0,3\n", "from line 2 on ('0945') they were ignored"},
        // A row count smaller than the rows present.
        {"1 1\n" + kRow + kRow + kRow, "the row count is 1, but values follow the last row (line 2): from line 3 on ('0.12')"},
        {"1 0\n0.12", "the row count is 0, but values follow it (line 1): from line 2 on ('0.12')"},
        {"1 1\n" + kRow + "\r\rgarbage" + std::string(100, 'x'), "from line 5 on ('garbage" + std::string(33, 'x') + "...')"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.substr(0, 60));
        ModelState s;
        std::string warning = "stale";
        ASSERT_FALSE(parse_airfoil_table(text, file, s, &warning));
        if (expected.empty()) {
            EXPECT_EQ(warning, "");
        } else {
            EXPECT_TRUE(warning.starts_with("airfoil table \"" + file + "\": warning: ")) << warning;
            EXPECT_NE(warning.find(expected), std::string::npos) << warning;
            EXPECT_NE(warning.find("check the row count, five values a row and \".\" as the decimal point"),
                      std::string::npos);
        }
    }
}

bool all_finite(const auto& values) {
    return std::all_of(std::begin(values), std::end(values), [](double v) { return std::isfinite(v); });
}

// The bound is chosen so that every computation stays finite: the corners
// and edges of the allowed range, the tiny offsets where the circle nearly
// touches zeta = -1, every angle at the extreme point counts and every
// point count at the extreme angles.
TEST(TableBounds, EveryCircleWithinTheBoundGivesFiniteResults) {
    const double eps_values[] = {0, 5e-324, 1e-300, 1e-12, 1e-6, 0.3057, 1, kTableMaxOffset};
    const double mu_values[] = {-kTableMaxOffset, -1e-9, 0, 1e-300, 0.3842, 1, kTableMaxOffset};
    std::vector<std::pair<int, int>> np_alpha;
    for (int np = 11; np <= 101; ++np)
        for (int alpha : {-10, 0, 10}) np_alpha.emplace_back(np, alpha);
    for (int alpha = -10; alpha <= 10; ++alpha)
        for (int np : {11, 12, 51, 100, 101}) np_alpha.emplace_back(np, alpha);
    for (const double eps : eps_values) {
        for (const double mu : mu_values) {
            for (const auto& [np, alpha] : np_alpha) {
                ModelState s;
                set_constants(s);
                s.circle_eps = eps;
                s.circle_mu = mu;
                s.n_points = np;
                compute_profile_geometry(s);
                const double cp_min = basınc_hesapla(s, alpha);
                lift_curve(s);
                const auto cm = moment_curve(s, 100);
                bool finite = std::isfinite(cp_min) && all_finite(s.prof_x) && all_finite(s.prof_y) &&
                              all_finite(s.map_deriv) && all_finite(s.cp_surf) && all_finite(s.curve_cl) &&
                              all_finite(s.curve_cm) && cm && std::isfinite(*cm);
                if (finite && cp_min < kMcritThreshold) {
                    const McritResult r = mcrit_search(s, cp_min);
                    const McritCurves c = mcrit_curves(s, cp_min);
                    finite = std::isfinite(r.mcr) && std::isfinite(r.cp_pg) && all_finite(c.pg) &&
                             all_finite(c.kt) && all_finite(c.la) && all_finite(c.cr);
                }
                ASSERT_TRUE(finite) << "eps " << eps << ", mu " << mu << ", nP " << np << ", alpha " << alpha;
            }
        }
    }
}

// A circle below the real axis is the mirror image of the one above it: the
// same pressure minimum at the opposite angle, the opposite lift. Also for
// eps = 0, where the centre lies on the imaginary axis.
TEST(TableBounds, ACircleBelowTheAxisMirrorsTheOneAbove) {
    for (const double eps : {0.0, 0.1}) {
        for (const int alpha : {-7, 0, 4}) {
            SCOPED_TRACE("eps " + std::to_string(eps) + ", alpha " + std::to_string(alpha));
            double cp[2], cl[2];
            for (int k = 0; k < 2; ++k) {
                ModelState s;
                set_constants(s);
                s.circle_eps = eps;
                s.circle_mu = k == 0 ? 0.08 : -0.08;
                s.n_points = 51;
                compute_profile_geometry(s);
                cp[k] = basınc_hesapla(s, k == 0 ? alpha : -alpha);
                lift_curve(s);
                cl[k] = s.cl_current;
            }
            EXPECT_NEAR(cp[0], cp[1], 1e-12);
            EXPECT_NEAR(cl[0], -cl[1], 1e-12);
        }
    }
}

}  // namespace
}  // namespace jmach
