// The committed airfoil table "KATJO-D20G15.txt": every scroll-bar pair has
// exactly one row, each row's circle really has the row's thickness and
// camber, and katjo-gen reproduces the file.
//
// The thickness and camber here are measured by code of its own: the circle
// is walked by the angle about its own centre, mapped with complex
// arithmetic, the upper surface is found by bisection at the x/c of a
// lower-surface point, and the maxima by golden-section search over the
// lower-surface angle.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "airfoil/profile.h"
#include "airfoil/table.h"
#include "app/model_state.h"

namespace {

namespace fs = std::filesystem;
using cplx = std::complex<double>;
constexpr double kPi = std::numbers::pi;

const fs::path kTablePath = fs::path(JMACH_SOURCE_DIR) / "data" / "KATJO-D20G15.txt";

std::string read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FileRow {
    double t, f, eps, mu, x_max_thickness;
};

// A plain reading of the table text of our own, which also keeps the fifth
// column and checks the layout katjo-gen writes: "1", "496", then one row
// per line.
std::vector<FileRow> read_rows_with_fifth_column(
    const std::string& text = read_bytes(kTablePath)) {
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "1");
    std::getline(lines, line);
    EXPECT_EQ(line, "496");
    std::vector<FileRow> rows;
    while (std::getline(lines, line)) {
        for (char& c : line)
            if (c == ',') c = ' ';
        std::istringstream in(line);
        FileRow r{};
        in >> r.t >> r.f >> r.eps >> r.mu >> r.x_max_thickness;
        EXPECT_TRUE(in) << "short row: " << line;
        std::string rest;
        EXPECT_FALSE(in >> rest) << "extra text on a row: " << line;
        rows.push_back(r);
    }
    return rows;
}

// The profile of one circle, computed independently of the program's map.
class Outline {
public:
    Outline(double eps, double mu)
        : centre_(-eps, mu), radius_(std::hypot(1.0 + eps, mu)),
          z_le_(-(1.0 + 2.0 * eps) - 1.0 / (1.0 + 2.0 * eps)) {
        // Trailing edge zeta = 1; the leading edge is the point of least x/c,
        // found by dense sampling and golden section around the far side.
        psi_te_ = std::atan2(-mu, 1.0 + eps);
        constexpr int kN = 2000;
        auto psi_of = [this](int i) { return psi_te_ + 2 * kPi * i / kN; };
        int best = 0;
        for (int i = 1; i < kN; ++i)
            if (point(psi_of(i)).real() < point(psi_of(best)).real()) best = i;
        psi_le_ = golden_min([this](double p) { return point(p).real(); }, psi_of(best - 1),
                             psi_of(best + 1));
    }

    // (x/c, y/c) of the circle point at angle psi about the centre.
    cplx point(double psi) const { return scale(centre_ + std::polar(radius_, psi)); }

    // (x/c, y/c) of the circle point seen from the origin at polar angle theta.
    cplx point_at_polar_angle(double theta) const {
        const cplx dir = std::polar(1.0, theta);
        const double b = (std::conj(dir) * centre_).real();
        const double r = b + std::sqrt(b * b + radius_ * radius_ - std::norm(centre_));
        return scale(r * dir);
    }

    double x_leading_edge() const { return point(psi_le_).real(); }

    struct Peak {
        double value;
        double x;
    };
    // Largest thickness and largest mean-line ordinate.
    Peak thickness() const {
        return peak([](cplx lo, cplx up) { return up.imag() - lo.imag(); });
    }
    Peak camber() const {
        return peak([](cplx lo, cplx up) { return 0.5 * (up.imag() + lo.imag()); });
    }

private:
    // z = zeta + 1/zeta, then the chord from the image of zeta = -(1 + 2 eps)
    // (x/c = 0) to the image of zeta = 1 (x/c = 1, z = 2).
    cplx scale(cplx zeta) const {
        const cplx z = zeta + 1.0 / zeta;
        const double chord = 2.0 - z_le_;
        return {(z.real() - z_le_) / chord, z.imag() / chord};
    }

    template <class F>
    static double golden_min(F&& f, double a, double b) {
        const double g = (std::sqrt(5.0) - 1.0) / 2.0;
        double c = b - g * (b - a), d = a + g * (b - a);
        double fc = f(c), fd = f(d);
        for (int i = 0; i < 200 && b - a > 1e-13; ++i) {
            if (fc < fd) {
                b = d; d = c; fd = fc;
                c = b - g * (b - a); fc = f(c);
            } else {
                a = c; c = d; fc = fd;
                d = a + g * (b - a); fd = f(d);
            }
        }
        return 0.5 * (a + b);
    }

    // Upper-surface point at x/c = x: x falls monotonically from the
    // trailing edge (psi_te) to the leading edge (psi_le).
    cplx upper_at(double x) const {
        double a = psi_te_, b = psi_le_;
        for (int i = 0; i < 200; ++i) {
            const double m = 0.5 * (a + b);
            if (m == a || m == b) break;
            (point(m).real() > x ? a : b) = m;
        }
        return point(0.5 * (a + b));
    }

    // Maximum of q(lower point, upper point at the same x/c) over the lower
    // surface, psi_le < psi < psi_te + 2 pi.
    template <class Q>
    Peak peak(Q&& q) const {
        auto value = [&](double psi) {
            const cplx lo = point(psi);
            return q(lo, upper_at(lo.real()));
        };
        const double a = psi_le_, b = psi_te_ + 2 * kPi;
        constexpr int kN = 400;
        int best = 1;
        for (int i = 2; i < kN; ++i)
            if (value(a + (b - a) * i / kN) > value(a + (b - a) * best / kN)) best = i;
        const double psi = golden_min([&](double p) { return -value(p); },
                                      a + (b - a) * (best - 1) / kN, a + (b - a) * (best + 1) / kN);
        return {value(psi), point(psi).real()};
    }

    cplx centre_;
    double radius_;
    double z_le_;
    double psi_te_ = 0;
    double psi_le_ = 0;
};

jmach::ModelState loaded_table() {
    jmach::ModelState s;
    jmach::set_constants(s);
    const auto error = jmach::load_airfoil_table(kTablePath, s);
    EXPECT_FALSE(error.has_value()) << *error;
    return s;
}

TEST(TableFile, EveryScrollBarPairHasExactlyOneRow) {
    jmach::ModelState s = loaded_table();
    ASSERT_EQ(s.table_rows, 496);

    // Keys are exactly k/100 in double precision, each pair once.
    std::array<std::array<int, 16>, 31> seen{};
    for (int r = 1; r <= 496; ++r) {
        const double t = s.table_thickness[r], f = s.table_camber[r];
        const long i = std::lround(t * 100), j = std::lround(f * 100);
        ASSERT_TRUE(i >= 0 && i <= 30 && j >= 0 && j <= 15) << "row " << r;
        ASSERT_EQ(t, i / 100.0) << "row " << r;
        ASSERT_EQ(f, j / 100.0) << "row " << r;
        ++seen[i][j];
        // eps = 0 only for the zero-thickness arcs, mu = 0 only without camber.
        EXPECT_GE(s.table_eps[r], 0.0);
        EXPECT_GE(s.table_mu[r], 0.0);
        EXPECT_EQ(s.table_eps[r] == 0, t == 0) << "row " << r;
        EXPECT_EQ(s.table_mu[r] == 0, f == 0) << "row " << r;
    }
    for (int i = 0; i <= 30; ++i)
        for (int j = 0; j <= 15; ++j) EXPECT_EQ(seen[i][j], 1) << i << "/" << j;

    // Every position of the two scroll bars finds its row, the same one a
    // plain reading of the file gives.
    const std::vector<FileRow> rows = read_rows_with_fifth_column();
    ASSERT_EQ(rows.size(), 496u);
    for (int i = 0; i <= 30; ++i) {
        for (int j = 0; j <= 15; ++j) {
            s.thickness = static_cast<double>(i) / 100.0;
            s.camber = static_cast<double>(j) / 100.0;
            s.circle_eps = s.circle_mu = -1;
            ASSERT_TRUE(jmach::table_lookup(s)) << i << "/" << j;
            int found = 0;
            for (const FileRow& r : rows) {
                if (r.t == s.thickness && r.f == s.camber) {
                    ++found;
                    EXPECT_EQ(s.circle_eps, r.eps);
                    EXPECT_EQ(s.circle_mu, r.mu);
                }
            }
            EXPECT_EQ(found, 1);
        }
    }
}

TEST(TableFile, SampledRowsHaveTheirThicknessAndCamber) {
    const jmach::ModelState table = loaded_table();
    const std::vector<FileRow> rows = read_rows_with_fifth_column();
    ASSERT_EQ(rows.size(), 496u);
    const std::array<std::array<int, 2>, 11> samples{{{0, 0},
                                                      {30, 0},
                                                      {0, 15},
                                                      {30, 15},
                                                      {1, 0},
                                                      {1, 15},
                                                      {12, 4},
                                                      {6, 10},
                                                      {21, 7},
                                                      {15, 0},
                                                      {30, 8}}};
    for (const auto& [i, j] : samples) {
        SCOPED_TRACE(testing::Message() << "t/c = " << i << "%, f/c = " << j << "%");
        jmach::ModelState s = table;
        ASSERT_EQ(jmach::profil_hesapla(s, i, j, 101), jmach::ProfileOutcome::computed);
        const double t = i / 100.0, f = j / 100.0;
        const Outline outline(s.circle_eps, s.circle_mu);

        const Outline::Peak thick = outline.thickness();
        const Outline::Peak camb = outline.camber();
        EXPECT_NEAR(thick.value, t, 1e-9);
        EXPECT_NEAR(camb.value, f, 1e-9);
        // The mean line peaks over Re z = 0 (see AgreesWithJoukowskiTheory).
        if (f > 0) {
            const double e = s.circle_eps;
            EXPECT_NEAR(camb.x, 1.0 - (1.0 + 2.0 * e) / (2.0 * (1.0 + e) * (1.0 + e)), 1e-6);
        }

        // The fifth column: x/c of maximum thickness, to its 6 decimals; a
        // zero-thickness arc carries the thin-profile limit, quarter chord.
        for (const FileRow& r : rows) {
            if (r.t == t && r.f == f) {
                if (t == 0)
                    EXPECT_EQ(r.x_max_thickness, 0.25);
                else
                    EXPECT_NEAR(r.x_max_thickness, thick.x, 1e-6);
            }
        }

        // The program's own profile points lie on this outline, so the
        // measured thickness and camber are those of the profile it draws.
        for (int p = 2; p <= 100; ++p) {
            const cplx q = outline.point_at_polar_angle(s.theta[p]);
            EXPECT_NEAR(s.prof_x[p], q.real(), 1e-12) << "point " << p;
            EXPECT_NEAR(s.prof_y[p], q.imag(), 1e-12) << "point " << p;
        }
        EXPECT_NEAR(outline.x_leading_edge(), 0.0, 0.01);
    }
}

TEST(TableFile, AgreesWithJoukowskiTheory) {
    const std::vector<FileRow> rows = read_rows_with_fifth_column();
    ASSERT_EQ(rows.size(), 496u);
    const double thin_factor = 3.0 * std::sqrt(3.0) / 4.0;
    for (const FileRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "t/c = " << std::lround(r.t * 100)
                                        << "%, f/c = " << std::lround(r.f * 100) << "%");
        if (r.t == 0) {
            // Circular arc: no thickness, camber exactly mu/2, and mu = 2 f
            // holds bit for bit.
            EXPECT_EQ(r.eps, 0.0);
            EXPECT_EQ(r.mu, 2.0 * r.f);
        }
        if (r.t == 0.01) {
            // Thin profile: t/c = (3 sqrt 3 / 4) eps to first order, closest
            // without camber; the thickness peaks near quarter chord.
            const double ratio = r.t / (thin_factor * r.eps);
            EXPECT_NEAR(ratio, 1.0, r.f == 0 ? 0.01 : 0.07);
            EXPECT_NEAR(r.x_max_thickness, 0.25, r.f == 0 ? 1e-3 : 0.04);
        }
        // The mean line peaks over Re z = 0, where the circle crosses the
        // imaginary axis at i(mu +- sqrt(mu^2 + 1 + 2 eps)): its height there
        // is 2 mu (1 + eps)/(1 + 2 eps) in z, that is mu / (2 (1 + eps)) of
        // the chord 4 (1 + eps)^2 / (1 + 2 eps).
        EXPECT_NEAR(r.f, r.mu / (2.0 * (1.0 + r.eps)), 1e-12);
    }

    // The arc measured directly: zero thickness, camber mu/2.
    const Outline arc(0.0, 0.3);
    EXPECT_NEAR(arc.thickness().value, 0.0, 1e-15);
    EXPECT_NEAR(arc.camber().value, 0.15, 1e-15);
    EXPECT_NEAR(arc.camber().x, 0.5, 1e-6);
}

TEST(TableFile, GeneratorReproducesTheCommittedFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("katjo-gen-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path out = dir / "KATJO-D20G15.txt";
    const std::string command = std::string("\"") + JMACH_GENERATOR + "\" \"" + out.string() + "\"";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(status, 0) << command;
    EXPECT_LT(seconds, 10.0);
    const std::string generated = read_bytes(out);
    const std::string committed = read_bytes(kTablePath);
    fs::remove_all(dir);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(generated == committed) << "katjo-gen output differs from the committed table";
}

}  // namespace
