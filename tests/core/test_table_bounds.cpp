// Hostile table files: memory and time independent of the file's size, rows
// whose circle makes no profile refused by line and value, one warning for
// values after the last row, finite results for every circle in the bound.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
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

// 8 GiB sparse files, zero bytes after what is written: each is settled
// within a second, memory not growing with it.
TEST(TableBounds, HugeFilesAreSettledQuicklyInConstantMemory) {
    const fs::path file = fs::temp_directory_path() / ("jmach-huge-" + std::to_string(getpid()) + ".txt");
    const std::pair<std::string, std::string> cases[] = {  // the start of the file, the outcome
        {"1 1\n" + kRow, "warning: the row count is 1, but values follow the last row (line 2): from line 3 on ('\\x00"},
        {"", "line 1: '\\x00\\x00"},
        {"1 1\n" + std::string(9 << 20, ' ') + kRow, "more than 8 MiB before the end of the last row (line 2)"}};
    for (const auto& [head, outcome] : cases) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << head;
        fs::resize_file(file, 8ULL << 30);
        ModelState s = table_contract::prefilled_state();
        const ModelState before = s;
        std::string warning;
        const long rss = peak_rss_kib();
        const auto start = std::chrono::steady_clock::now();
        const auto error = load_airfoil_table(file, s, &warning);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
        EXPECT_LT(peak_rss_kib() - rss, 32 * 1024) << "KiB more at peak";
        EXPECT_EQ(table_contract::check(before, s, error, file.string(), warning), "");
        EXPECT_NE(error.value_or(warning).find(outcome), std::string::npos) << error.value_or(warning);
    }
    fs::remove(file);
}

TEST(TableBounds, RowsMustMakeAProfileAndValuesAfterTheLastRowWarn) {
    const std::string point = "; check the row count, five values a row and \".\" as the decimal point";
    const std::tuple<std::string, std::string, std::string> cases[] = {  // text, error, warning
        {"1 1\n0.12 0.02 -0.2 0.05 0\n", "line 2: eps (column 3) '-0.2' is negative", ""},
        {"1 1\n0.12 0.02\n10.5 0 0\n", "line 3: eps (column 3) '10.5' is above 10", ""},
        {"1 1\n0.12 0.02 0.1 1e200 0\n", "line 2: mu (column 4) '1e200' is outside -10 .. 10", ""},
        {"1 1\n0.12 0.02 10 -10 0\n , \r\n", "", ""},  // the bound itself, then separators only
        {"1 1\n0,12 0,02 0,0945 0,0431 0,3\n", "",  // decimal commas
         "warning: the row count is 1, but values follow the last row (line 2): from line 2 on ('0945') they were ignored" + point},
        {"1 0\n0.12", "", "warning: the row count is 0, but values follow it (line 1): from line 2 on ('0.12')"}};
    const ModelState old = table_contract::prefilled_state();
    for (const auto& [text, error, warning] : cases) {
        ModelState s = old;
        std::string got_warning = "stale";
        const auto got = parse_airfoil_table(text, kTableFileName, s, &got_warning);
        EXPECT_EQ(table_contract::check(old, s, got, kTableFileName, got_warning), "");
        EXPECT_NE(got.value_or("").find(error), std::string::npos) << got.value_or("loaded");
        EXPECT_EQ(got.has_value(), !error.empty()) << text;
        EXPECT_NE(got_warning.find(warning), std::string::npos) << got_warning;
        EXPECT_EQ(got_warning.empty(), warning.empty()) << text;
    }
}

// The bound's corners and edges, tiny eps where the circle nearly touches
// zeta = -1, every angle at the extreme point counts and every point count
// at the extreme angles: profile, pressure, lift, moment and critical Mach
// number all finite.
TEST(TableBounds, EveryCircleWithinTheBoundGivesFiniteResults) {
    std::vector<std::pair<int, int>> np_alpha;
    for (int k = 0; k <= 90; ++k)
        for (int alpha : {-10, 0, 10}) np_alpha.emplace_back(11 + k, alpha);
    for (int alpha = -10; alpha <= 10; ++alpha)
        for (int np : {11, 12, 51, 100, 101}) np_alpha.emplace_back(np, alpha);
    const auto finite = [](const auto& values) {
        return std::all_of(std::begin(values), std::end(values), [](double v) { return std::isfinite(v); });
    };
    for (const double eps : {0.0, 5e-324, 1e-300, 1e-12, 1e-6, 0.3057, 1.0, kTableMaxOffset})
        for (const double mu : {-kTableMaxOffset, -1e-9, 0.0, 1e-300, 0.3842, 1.0, kTableMaxOffset})
            for (const auto& [np, alpha] : np_alpha) {
                ModelState s;
                set_constants(s);
                s.circle_eps = eps, s.circle_mu = mu, s.n_points = np;
                compute_profile_geometry(s);
                const double cp_min = basınc_hesapla(s, alpha);
                lift_curve(s);
                const auto cm = moment_curve(s, 100);
                const McritResult r = mcrit_search(s, std::min(cp_min, -0.02));
                const McritCurves c = mcrit_curves(s, std::min(cp_min, -0.02));
                ASSERT_TRUE(std::isfinite(cp_min) && finite(s.prof_x) && finite(s.prof_y) && finite(s.cp_surf) &&
                            finite(s.curve_cl) && finite(s.curve_cm) && cm && std::isfinite(*cm) &&
                            std::isfinite(r.mcr) && finite(c.pg) && finite(c.kt) && finite(c.la) && finite(c.cr))
                    << "eps " << eps << ", mu " << mu << ", nP " << np << ", alpha " << alpha;
            }
}

// A circle below the axis mirrors the one above: the same suction peak at
// the opposite angle and the opposite lift, also with its centre on the
// imaginary axis (eps = 0).
TEST(TableBounds, ACircleBelowTheAxisMirrorsTheOneAbove) {
    for (const double eps : {0.0, 0.1})
        for (const int alpha : {-7, 0, 4}) {
            double cp[2], cl[2];
            for (int k = 0; k < 2; ++k) {
                ModelState s;
                set_constants(s);
                s.circle_eps = eps, s.circle_mu = k == 0 ? 0.08 : -0.08, s.n_points = 51;
                compute_profile_geometry(s);
                cp[k] = basınc_hesapla(s, k == 0 ? alpha : -alpha);
                lift_curve(s);
                cl[k] = s.cl_current;
            }
            EXPECT_NEAR(cp[0], cp[1], 1e-12) << eps << ", " << alpha;
            EXPECT_NEAR(cl[0], -cl[1], 1e-12) << eps << ", " << alpha;
        }
}

}  // namespace
}  // namespace jmach
