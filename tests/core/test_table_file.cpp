// The committed airfoil table "KATJO-D20G15.txt": every scroll-bar pair has
// exactly one row, each row's circle really has the row's thickness and
// camber, and katjo-gen reproduces the file byte for byte.

#include <gtest/gtest.h>
#include <unistd.h>

#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <utility>

#include "airfoil/profile.h"
#include "airfoil/table.h"

namespace jmach {
namespace {

using cplx = std::complex<double>;
const std::filesystem::path kTablePath = std::filesystem::path(JMACH_SOURCE_DIR) / "data" / kTableFileName;

// The largest thickness and mean-line ordinate of the profile of s, measured
// by code of its own rather than the generator's search. The circle is walked
// by the angle psi about its centre and mapped by z = zeta + 1/zeta; the
// chord runs from the image of zeta = -(1 + 2 eps) (x/c = 0, psi = pi - te)
// to that of zeta = 1 (x/c = 1, psi = te). For a point of the lower surface
// the upper point at the same x/c is found by bisection; the maxima by
// ternary search along the lower surface.
std::pair<double, double> measured_thickness_and_camber(const ModelState& s) {
    const cplx centre(-s.circle_eps, s.circle_mu);
    const double radius = std::abs(1.0 - centre), te = std::arg(1.0 - centre), le = std::numbers::pi - te;
    const double z_le = -(1 + 2 * s.circle_eps) - 1 / (1 + 2 * s.circle_eps);
    auto map = [&](cplx zeta) { return (zeta + 1.0 / zeta - z_le) / (2 - z_le); };
    auto point = [&](double psi) { return map(centre + std::polar(radius, psi)); };

    auto upper_y = [&](double x) {  // x/c falls from te to le
        double a = te, b = le;
        for (int i = 0; i < 80; ++i) (point(0.5 * (a + b)).real() > x ? a : b) = 0.5 * (a + b);
        return point(0.5 * (a + b)).imag();
    };
    auto peak = [&](auto of_lower_upper) {  // over the lower surface, psi = le .. te + 2 pi
        auto value = [&](double psi) { return of_lower_upper(point(psi).imag(), upper_y(point(psi).real())); };
        double a = le, b = te + 2 * std::numbers::pi;
        for (int i = 0; i < 200; ++i) {
            const double m1 = (2 * a + b) / 3, m2 = (a + 2 * b) / 3;
            (value(m1) < value(m2) ? a : b) = value(m1) < value(m2) ? m1 : m2;
        }
        return value((a + b) / 2);
    };
    return {peak([](double lo, double up) { return up - lo; }),
            peak([](double lo, double up) { return (lo + up) / 2; })};
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
        EXPECT_TRUE(t != 0 || mu == 2.0 * f) << "row " << r;  // a circular arc: camber exactly mu/2
        // Thin profile: t/c = (3 sqrt 3 / 4) eps to first order, closest without camber.
        if (t == 0.01) { EXPECT_NEAR(t / (3 * std::sqrt(3.0) / 4 * eps), 1.0, f == 0 ? 0.01 : 0.07) << "row " << r; }
        // The mean line peaks over Re z = 0, where the circle crosses the
        // imaginary axis at i(mu +- sqrt(mu^2 + 1 + 2 eps)): at mu / (2 (1 + eps))
        // of the chord 4 (1 + eps)^2 / (1 + 2 eps).
        EXPECT_NEAR(f, mu / (2 * (1 + eps)), 1e-12) << "row " << r;
    }
    // Every scroll-bar pair finds its one row (so all 496 are there).
    for (int i = 0; i <= 30; ++i)
        for (int j = 0; j <= 15; ++j) {
            ASSERT_EQ(profil_hesapla(s, i, j, 11), ProfileOutcome::computed) << i << "/" << j;
            EXPECT_TRUE(s.circle_eps == s.table_eps[row_of[i][j]] && s.circle_mu == s.table_mu[row_of[i][j]]);
        }

    // Sampled rows, corners included, measure their keys.
    for (const auto& [i, j] : {std::pair{0, 0}, {30, 0}, {0, 15}, {30, 15}, {1, 0}, {1, 15}, {12, 4}, {6, 10},
                               {21, 7}, {15, 0}, {30, 8}}) {
        SCOPED_TRACE(testing::Message() << "t/c = " << i << "%, f/c = " << j << "%");
        ASSERT_EQ(profil_hesapla(s, i, j, 101), ProfileOutcome::computed);
        const auto [thickness, camber] = measured_thickness_and_camber(s);
        EXPECT_NEAR(thickness, i / 100.0, 1e-9);
        EXPECT_NEAR(camber, j / 100.0, 1e-9);
    }
}

TEST(TableFile, GeneratorReproducesTheCommittedFile) {
    const auto out = std::filesystem::temp_directory_path() / ("katjo-gen-test-" + std::to_string(getpid()) + ".txt");
    const std::string command = std::string("\"") + JMACH_GENERATOR + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream generated_file(out, std::ios::binary), committed_file(kTablePath, std::ios::binary);
    const std::string generated(std::istreambuf_iterator<char>(generated_file), {});
    const std::string committed(std::istreambuf_iterator<char>(committed_file), {});
    std::filesystem::remove(out);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(generated == committed) << "katjo-gen output differs from the committed table";
}

}  // namespace
}  // namespace jmach
