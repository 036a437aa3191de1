// The event soak: a long seeded random run of what a student can do to the
// main window (every scroll bar to any value, chart clicks, the About menu,
// hostile Mach texts), checking after every event that no value box, chart
// or model value has gone non-finite. JMACH_SOAK_SEED picks another seed,
// JMACH_SOAK_EVENTS another event count; a wall-time cap ends it regardless.

#include <QMouseEvent>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>

#include "airfoil/table.h"
#include "core/number_text.h"
#include "test_window_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define JMACH_SOAK_SANITIZED 1
#elif defined(__has_feature)
#define JMACH_SOAK_SANITIZED (__has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer))
#endif

namespace jmach::testing {
namespace {

#if JMACH_SOAK_SANITIZED
// The sanitizer job runs at half the speed and repeats the whole suite.
constexpr long long kDefaultEvents = 40000, kMaxSeconds = 90;
#else
constexpr long long kDefaultEvents = 100000, kMaxSeconds = 55;
#endif

long long env_or(const char* name, long long fallback) {
    return std::getenv(name) && *std::getenv(name) ? std::strtoll(std::getenv(name), nullptr, 10) : fallback;
}

// A plain decimal number as the value boxes write it: no exponent, blanks,
// "nan", "inf" or negative zero, and finite.
bool is_number_text(const std::string& t) {
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return plain.match(QString::fromStdString(t)).hasMatch() && std::isfinite(std::strtod(t.c_str(), nullptr)) &&
           !(t[0] == '-' && t.find_first_not_of("-0.") == std::string::npos);
}

bool all_finite(const auto& values) {
    return std::all_of(std::begin(values), std::end(values), [](double v) { return std::isfinite(v); });
}

// The first fault on the window after an event, or "".
std::string fault(Form1& f, const QString& expected_moo, bool chain_ran, const QString& tip_before) {
    for (const QLineEdit* box : {text_box(f, "Text_Thickness"), text_box(f, "Text_Camber"), text_box(f, "Text_nP"), text_box(f, "Text_AlfaD"), text_box(f, "Text_xM"),
                                 text_box(f, "Text_CpMin"), text_box(f, "Text_Mcrit"), text_box(f, "Text_CL"), text_box(f, "Text1")})
        if (!is_number_text(box->text().toStdString()))
            return box->objectName().toStdString() + " shows \"" + box->text().toStdString() + "\"";
    // The Mach box keeps what was last typed or written. A chain that read it
    // marks it: red text and the error tip while its number cannot be used,
    // a coloured background and a note while its text holds more than that
    // number, plain otherwise. Nothing else changes the mark.
    const QLineEdit* moo = text_box(f, "Text_Moo");
    const QString tip = moo->toolTip();
    const bool error = tip == QString::fromLatin1(kMachErrorTip), noted = !tip.isEmpty() && !error;
    if (moo->text() != expected_moo) return "Text_Moo text changed";
    if (error != (moo->palette().color(QPalette::Text) == Qt::red)) return "Text_Moo tip and colour disagree";
    if (noted != (moo->palette().color(QPalette::Base) == to_qcolor(kNoteBackground)))
        return "Text_Moo note and background disagree";
    if (chain_ran && has_profile(f.state())) {
        const std::string text = moo->text().toStdString();
        const QString want = mach_from_text(text) ? QString::fromStdString(mach_text_note(text))
                                                  : QString::fromLatin1(kMachErrorTip);
        if (tip != want) return "Text_Moo mark wrong after a chain: \"" + tip.toStdString() + "\"";
    } else if (tip != tip_before) {
        return "Text_Moo mark changed, no chain";
    }
    for (const PictureBox* box : {picture(f, "profil"), picture(f, "pressure"), picture(f, "Picture_CL"), picture(f, "Picture_CM"), picture(f, "Mcrit")}) {
        const std::string name = box->objectName().toStdString();
        if (box->rejected() != 0) return name + " was handed a non-finite primitive";
        if (const auto& sc = box->scale(); sc && !all_finite(std::array{sc->x1, sc->y1, sc->x2, sc->y2}))
            return name + " has a non-finite scale";
        for (const Primitive& p : box->primitives())
            if (!all_finite(std::array{p.x1, p.y1, p.x2, p.y2, p.r})) return name + " holds a non-finite primitive";
    }
    // A critical Mach curve segment with a non-finite end is left out, not
    // handed over: the four curves must stay whole, the same number of
    // segments each, with the blue marker line at the critical Mach besides.
    const auto& mc = picture(f, "Mcrit")->primitives();
    auto lines = [&](Colour c) {
        return std::ranges::count_if(mc, [c](auto& p) { return p.kind == Primitive::Kind::line && p.colour == c; });
    };
    const auto red = lines(kLiteralRed);
    if (!mc.empty() && (lines(kLiteralGreen) != red || lines(kMagenta) != red || lines(kLiteralBlue) != red + 1))
        return "critical Mach chart curves incomplete";
    const ModelState& s = f.state();
    const double scalars[] = {s.thickness, s.camber, s.n_points, s.circle_eps, s.circle_mu, s.map_exponent,
                              s.mach_beta, s.table_rows, s.n_intervals, s.half_intervals, s.alpha_deg, s.pi_value,
                              s.x_shift, s.circle_radius, s.centre_ratio, s.radius_sq, s.radius_per_chord,
                              s.chord_len, s.zero_lift_angle, s.centre_angle, s.cl_current, s.moment_ref_x, s.gamma,
                              s.two_over_gamma, s.gamma_minus1_half, s.gamma_plus1_half, s.gamma_over_gamma_minus1};
    if (!all_finite(scalars)) return "a model value is not finite";
    if (!(all_finite(s.theta) && all_finite(s.map_deriv) && all_finite(s.prof_x) && all_finite(s.prof_y) &&
          all_finite(s.cp_surf) && all_finite(s.curve_alpha) && all_finite(s.curve_cl) && all_finite(s.curve_cm) &&
          all_finite(s.table_eps) && all_finite(s.table_mu) && all_finite(s.table_thickness) &&
          all_finite(s.table_camber)))
        return "a model array value is not finite";
    return "";
}

TEST(Soak, RandomEventsKeepEveryBoxChartAndValueFinite) {
    const auto seed = static_cast<std::uint64_t>(env_or("JMACH_SOAK_SEED", 20240611));
    const long long max_events = env_or("JMACH_SOAK_EVENTS", kDefaultEvents);
    std::cout << "soak: seed " << seed << ", up to " << max_events << " events or " << kMaxSeconds << " s\n";
    std::mt19937_64 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    ensure_app();
    ModelState table;
    ASSERT_FALSE(load_airfoil_table(std::string(JMACH_SOURCE_DIR) + "/data/" + kTableFileName, table));
    std::vector<Row> rows;
    for (int i = 1; i <= static_cast<int>(table.table_rows); ++i)
        rows.push_back({table.table_thickness[i], table.table_camber[i], table.table_eps[i], table.table_mu[i]});
    std::vector<std::string> nasty = {"", " ", "-", ".", "1", "0.99999", "-0.9", "1e308", "1e-320", "nan",
                                      "inf", "0x1p-3", "\u0663", "0." + std::string(9998, '7'),
                                      "0,7", "0.5x", " 0.5 ", "\uFF10.\uFF17", "0.3\xFF\xFE", "-0.2 e"};

    // Now and then a new window, over the real table or one with holes in it
    // (lookup messages, and chains before any profile exists).
    std::unique_ptr<Window> w;
    bool holes = false;
    QString expected_moo;
    auto restart = [&] {
        holes = uniform(0, 3) == 0;
        std::vector<Row> kept;
        for (const Row& r : rows) if (!holes || uniform(0, 9) < 6) kept.push_back(r);
        w = std::make_unique<Window>(kept);
        (*w)->show();
        expected_moo = text_box((*w), "Text_Moo")->text();
    };
    restart();

    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long long n = 0;
    for (; n < max_events && ((n & 63) != 0 || seconds() < kMaxSeconds); ++n) {
        const int r = uniform(0, 999);
        if (r < 2) restart();
        Form1& f = *w->operator->();
        bool chain_ran = false;
        const QString tip_before = text_box(f, "Text_Moo")->toolTip();
        std::string last;
        if (r < 2) {
            last = holes ? "new window over a table with holes" : "new window";
        } else if (r < 500) {  // a scroll bar: the extremes, nP even, or anywhere
            QScrollBar* bar = std::array{scroll(f, "HScroll_Thickness"), scroll(f, "HScroll_Camber"), scroll(f, "HScroll_nP"), scroll(f, "HScroll_AlfaD"),
                                         scroll(f, "HScroll_xM"), scroll(f, "HScroll_Moo")}[uniform(0, 5)];
            const int lo = bar->minimum(), hi = bar->maximum(), k = uniform(0, 99);
            const int v = k < 20 ? (k < 10 ? lo : hi)
                          : bar == scroll(f, "HScroll_nP") && k < 40 ? 2 * uniform((lo + 1) / 2, hi / 2) : uniform(lo, hi);
            chain_ran = bar->value() != v;
            bar->setValue(v);
            if (chain_ran && bar == scroll(f, "HScroll_Moo")) expected_moo = QString::fromStdString(number_text(v / 100.0));
            last = bar->objectName().toStdString() + " to " + std::to_string(v);
        } else if (r < 700) {  // a left click somewhere on a chart
            PictureBox* box = std::array{picture(f, "profil"), picture(f, "pressure"), picture(f, "Picture_CL"), picture(f, "Picture_CM"), picture(f, "Mcrit")}[uniform(0, 4)];
            const QPointF at(uniform(0, box->width() - 1), uniform(0, box->height() - 1)), g = box->mapToGlobal(at);
            QMouseEvent press(QEvent::MouseButtonPress, at, g, Qt::LeftButton, Qt::LeftButton, {});
            QMouseEvent release(QEvent::MouseButtonRelease, at, g, Qt::LeftButton, Qt::NoButton, {});
            QCoreApplication::sendEvent(box, &press);
            QCoreApplication::sendEvent(box, &release);
            chain_ran = box != picture(f, "Mcrit");
            last = "click " + box->objectName().toStdString();
        } else if (r < 720) {
            f.open_about();
            EXPECT_TRUE(f.about_window() && f.about_window()->isVisible()) << "event " << n;
            if (uniform(0, 1) && f.about_window()) f.about_window()->close();
            last = "About";
        } else {  // typed over the whole Mach box: no handler runs
            const std::string& text = nasty[uniform(0, static_cast<int>(nasty.size()) - 1)];
            text_box(f, "Text_Moo")->selectAll();
            text_box(f, "Text_Moo")->insert(expected_moo = QString::fromStdString(text));
            last = "type \"" + text.substr(0, 20) + "\" (" + std::to_string(text.size()) + " chars)";
        }
        std::string problem = fault(f, expected_moo, chain_ran, tip_before);
        for (const std::string& m : w->messages)
            if (problem.empty() && (!holes || m != kNotInTableMessage)) problem = "message \"" + m + "\"";
        if (!problem.empty()) {
            ADD_FAILURE() << "seed " << seed << ", event " << n << " (" << last << "): " << problem;
            break;
        }
        if ((n & 63) == 63) QCoreApplication::processEvents();
    }
    const double elapsed = seconds();
    std::cout << "soak: " << n << " events in " << elapsed << " s: " << static_cast<long>(n / elapsed)
              << " events/s (seed " << seed << ")" << std::endl;
}

}  // namespace
}  // namespace jmach::testing
