// The airfoil table reader and the lookup: worked lookups, every refusal and
// warning named by file and line with the old table kept, file errors on
// real files, huge files in bounded time and memory, finite results for
// every circle the reader lets through, and every seed of the fuzz corpus
// (and every input the fuzzer once crashed on) replayed on every build.
// Then the committed table "KATJO-D20G15.txt": every scroll-bar pair has
// exactly one row, each row's profile has the row's thickness and camber,
// and katjo-gen reproduces the file byte for byte.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/table.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "fuzz/table_contract.h"

namespace jmach {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(TableReader, LookupTakesTheFirstRowWithExactlyEqualKeys) {
    ModelState s;
    set_constants(s);
    // The third row repeats the second's keys and is never reached; percentages never match.
    const char* table = "0 4\n0.07 0 0.06 0 0\n0.12 0.02 0.1 0.05 0\n0.12 0.02 0.2 0.09 0\n12 2 0.3 0.3 0\n";
    ASSERT_EQ(parse_airfoil_table(table, kTableFileName, s), std::nullopt);
    // 7/100 computed in double precision equals the double nearest 0.07.
    EXPECT_TRUE(profil_hesapla(s, 7, 0, 11) == ProfileOutcome::computed && s.circle_eps == 0.06);
    ASSERT_EQ(profil_hesapla(s, 12, 2, 51), ProfileOutcome::computed);
    EXPECT_TRUE(s.circle_eps == 0.1 && s.circle_mu == 0.05);
    // A missing pair changes only the inputs; the profile stays as it was.
    ModelState expected = s;
    expected.thickness = 0.13;
    expected.n_points = 21;
    EXPECT_EQ(profil_hesapla(s, 13, 2, 21), ProfileOutcome::not_in_table);
    EXPECT_EQ(std::memcmp(&s, &expected, sizeof s), 0);
    // N = 0 loads an empty table; the old rows beyond it are never looked up.
    ASSERT_EQ(parse_airfoil_table("99 0\n", kTableFileName, s), std::nullopt);
    EXPECT_TRUE(s.table_rows == 0 && profil_hesapla(s, 7, 0, 11) == ProfileOutcome::not_in_table);
}

// What follows `airfoil table "<file>"` in the one-line refusal or warning.
TEST(TableReader, EveryRefusalAndWarningNamesFileAndLineAndKeepsTheOldTable) {
    const std::string more = "; check the row count, five values a row and \".\" as the decimal point";
    const struct { std::string text, error, warning = ""; } cases[] = {
        {"0 1\n0.12 0.02\nabc 0.05 0\n", ", line 3: 'abc' is not a number"},
        {"0 1\r\n0.12,,0.1,0.05,0\r\n", ", line 2: an empty field"},
        {"0\n\n-1\n", ", line 3: the row count '-1' is negative"},
        {"0 501\n", ", line 1: the row count '501' is above the limit of 500 rows"},
        {"0 1\n0.12\x00 0.02 0.1 0.05 0\n"s, ", line 2: '0.12\\x00' is not a number"},
        {"0 1\n" + std::string(1000, '7') + "x 0.02 0.1 0.05 0\n", ", line 2: '" + std::string(40, '7') + "...' is not"},
        {"", ": the file ends after 0 values, before the row count"},
        {"0 2\n0.12 0.02 0.1 0.05 0\n0.13 0.02\n",
         ": the file ends after 9 values (the last on line 3), but the row count '2' announces 12 (2 + 5 per row)"},
        // A comma is a separator: "0,02" is the two values 0 and 2.
        {"0 1\n0.12 0,02 0.1\n", ": the file ends after 6 values (the last on line 2), but the row count '1'"},
        // Rows whose circle makes no profile; the bound itself loads.
        {"1 1\n0.12 0.02 -0.2 0.05 0\n", ", line 2: eps (column 3) '-0.2' is negative"},
        {"1 1\n0.12 0.02 0.1 1e200 0\n", ", line 2: mu (column 4) '1e200' is outside -10 .. 10"},
        {"1 1\n0.12 0.02 10 -10 0\n , \r\n", ""},  // then separators only: no warning
        {"1 1\n0,12 0,02 0,0945 0,0431 0,3\n", "",  // decimal commas
         ": warning: the row count is 1, but values follow the last row (line 2): from line 2 on ('0945') they were ignored" + more}};
    const std::string file = "/data/" + std::string(kTableFileName), head = "airfoil table \"" + file + "\"";
    const ModelState old = table_contract::prefilled_state();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        ModelState s = old;
        std::string warning = "stale";
        const std::string err = parse_airfoil_table(c.text, file, s, &warning).value_or("");
        EXPECT_EQ(table_contract::check(old, s, err.empty() ? std::nullopt : std::optional(err), file, warning), "");
        const auto says = [&](const std::string& got, const std::string& want) {
            return want.empty() ? got.empty() : got.find('\n') == got.npos && got.find(head + want) != got.npos;
        };
        EXPECT_TRUE(says(err, c.error)) << err;
        EXPECT_TRUE(says(warning, c.warning)) << warning;
    }
}

// 8 GiB sparse files, zero bytes after what is written: each is settled
// within a second, memory not growing with it.
TEST(TableReader, HugeFilesAreSettledQuicklyInConstantMemory) {
    const fs::path file = fs::temp_directory_path() / ("jmach-huge-" + std::to_string(getpid()) + ".txt");
    const std::string row = "0.12, 0.02, 0.0945, 0.0431, 0.3\n";
    const std::pair<std::string, std::string> cases[] = {  // the start of the file, the outcome
        {"1 1\n" + row, "warning: the row count is 1, but values follow the last row (line 2): from line 3 on ('\\x00"},
        {"1 1\n" + std::string(9 << 20, ' ') + row, "more than 8 MiB before the end of the last row (line 2)"}};
    const auto peak_rss_kib = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    for (const auto& [head, outcome] : cases) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << head;
        fs::resize_file(file, 8ULL << 30);
        const ModelState before = table_contract::prefilled_state();
        ModelState s = before;
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

// The bound's corners and edges, tiny eps where the circle nearly touches
// zeta = -1, every point count at -10, 0 and 10 degrees and every angle at
// 11, 12, 51, 100 and 101 points: profile, pressure, lift, moment and
// critical Mach number all finite.
TEST(TableReader, EveryCircleWithinTheBoundGivesFiniteResults) {
    const auto finite = [](const auto& v) { return std::ranges::all_of(v, [](double x) { return std::isfinite(x); }); };
    for (const double eps : {0.0, 5e-324, 1e-300, 1e-12, 1e-6, 0.3057, 1.0, kTableMaxOffset})
        for (const double mu : {-kTableMaxOffset, -1e-9, 0.0, 1e-300, 0.3842, 1.0, kTableMaxOffset})
            for (int np = 11; np <= 101; ++np)
                for (int alpha = -10; alpha <= 10; ++alpha) {
                    if (alpha % 10 != 0 && np > 12 && np != 51 && np < 100) continue;
                    ModelState s{.n_points = static_cast<double>(np), .circle_eps = eps, .circle_mu = mu};
                    set_constants(s);
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

// Seeds named good-* must load, bad-* must be refused, any-* are the reader's
// choice; all of them must keep the reader's contract. The good-3rows-* seeds
// are one table in every layout: CRLF, rows split across lines, all on one
// line, tabs, ", ", any first value, matter after the last row.
TEST(TableReader, EveryFuzzSeedKeepsTheContractAndMeetsItsExpectation) {
    const double three_rows[3][4] = {{0.12, 0.02, 0.0945, 0.0431}, {0.07, 0, 0.0551, 0}, {0.3, 0.15, 0.2843, 0.3342}};
    int layouts = 0;
    for (const char* folder : {"fuzz_corpus", "fuzz_regressions"}) {
        const fs::path dir = fs::path(JMACH_SOURCE_DIR) / "tests" / folder;
        if (!fs::is_directory(dir)) continue;  // no reproducers kept yet
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes(std::istreambuf_iterator<char>(in), {});
            const ModelState before = table_contract::prefilled_state();
            ModelState s = before;
            std::string warning;
            const auto error = parse_airfoil_table(bytes, kTableFileName, s, &warning);
            EXPECT_EQ(table_contract::check(before, s, error, kTableFileName, warning), "");
            EXPECT_TRUE(name.starts_with("any-") || error.has_value() == name.starts_with("bad-")) << error.value_or("loaded");
            if (!name.starts_with("good-3rows-")) continue;
            ++layouts;
            ASSERT_EQ(s.table_rows, 3);
            for (int i = 1; i <= 3; ++i)
                for (int c = 0; c < 4; ++c)
                    EXPECT_EQ((s.*table_contract::kColumns[c])[i], three_rows[i - 1][c]) << i << ", " << c;
        }
    }
    EXPECT_GE(layouts, 8);  // and so the corpus was found
}

const fs::path kTablePath = fs::path(JMACH_SOURCE_DIR) / "data" / kTableFileName;

// The largest thickness and mean-line ordinate of the outline as drawn:
// each upper point against the lower surface at its x/c, interpolated
// linearly (the lower surface runs from the trailing edge to the nose).
std::pair<double, double> drawn_thickness_and_camber(const ModelState& s) {
    const int join = first_run_end(s);
    double thickness = 0, camber = 0;
    for (int u = join; u <= geometry_points(s); ++u) {
        const double x = s.prof_x[u];
        int l = 1;
        while (l + 1 < join && s.prof_x[l + 1] > x) ++l;
        const double t = (x - s.prof_x[l + 1]) / (s.prof_x[l] - s.prof_x[l + 1]);
        const double lower = s.prof_y[l + 1] + t * (s.prof_y[l] - s.prof_y[l + 1]);
        thickness = std::max(thickness, s.prof_y[u] - lower);
        camber = std::max(camber, (s.prof_y[u] + lower) / 2);
    }
    return {thickness, camber};
}

TEST(TableFile, EveryScrollBarPairHasExactlyOneRowThatAgreesWithJoukowskiTheory) {
    ModelState s;
    set_constants(s);
    ASSERT_EQ(load_airfoil_table(kTablePath, s), std::nullopt);
    ASSERT_EQ(s.table_rows, 496);
    int row_of[31][16] = {};
    for (int r = 1; r <= 496; ++r) {
        const double t = s.table_thickness[r], f = s.table_camber[r], eps = s.table_eps[r], mu = s.table_mu[r];
        const long i = std::lround(t * 100), j = std::lround(f * 100);
        ASSERT_TRUE(i >= 0 && i <= 30 && j >= 0 && j <= 15 && t == i / 100.0 && f == j / 100.0) << "row " << r;
        EXPECT_EQ(std::exchange(row_of[i][j], r), 0) << "a second row for " << i << "/" << j << ": " << r;
        // eps = 0 only for the zero-thickness arcs, mu = 0 only without camber.
        EXPECT_TRUE(eps >= 0 && mu >= 0 && (eps == 0) == (t == 0) && (mu == 0) == (f == 0)) << "row " << r;
        // The mean line peaks over Re z = 0, where the circle crosses the
        // imaginary axis at i(mu +- sqrt(mu^2 + 1 + 2 eps)): at mu / (2 (1 + eps))
        // of the chord 4 (1 + eps)^2 / (1 + 2 eps).
        EXPECT_NEAR(f, mu / (2 * (1 + eps)), 1e-12) << "row " << r;
    }

    // Every row's profile, drawn at 101 points, measures its keys to well
    // within half a step of the bars.
    for (int i = 0; i <= 30; ++i)
        for (int j = 0; j <= 15; ++j) {
            ASSERT_EQ(profil_hesapla(s, i, j, 101), ProfileOutcome::computed);
            const auto [thickness, camber] = drawn_thickness_and_camber(s);
            EXPECT_TRUE(std::abs(thickness - i / 100.0) < 1e-3 && std::abs(camber - j / 100.0) < 1e-3)
                << i << "/" << j << ": " << thickness << ", " << camber;
        }
}

TEST(TableFile, GeneratorReproducesTheCommittedFile) {
    const auto out = fs::temp_directory_path() / ("katjo-gen-test-" + std::to_string(getpid()) + ".txt");
    const std::string command = std::string("\"") + JMACH_GENERATOR + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream generated_file(out, std::ios::binary), committed_file(kTablePath, std::ios::binary);
    const std::string generated(std::istreambuf_iterator<char>(generated_file), {});
    const std::string committed(std::istreambuf_iterator<char>(committed_file), {});
    fs::remove(out);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(generated == committed) << "katjo-gen output differs from the committed table";
}

}  // namespace
}  // namespace jmach
