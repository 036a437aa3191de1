// The event soak: a long seeded random run of everything a student can do
// to the main window (every scroll bar to any value, chart clicks, the About
// menu, anything typed into the Mach box), checking after every single
// event that no value box, chart or model value has gone non-finite.
//
// The run is reproducible from its seed. JMACH_SOAK_SEED picks another
// seed, JMACH_SOAK_EVENTS another event count and JMACH_SOAK_SECONDS
// another wall-time cap; the run stops at whichever cap comes first.

#include <QAbstractSlider>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

#include "airfoil/table.h"
#include "app/number_text.h"
#include "charts/views.h"
#include "test_window_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define JMACH_SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define JMACH_SOAK_SANITIZED 1
#endif
#endif

namespace jmach::testing {
namespace {

using Clock = std::chrono::steady_clock;

#ifdef JMACH_SOAK_SANITIZED
// The sanitizer build runs at about half the speed, and its CI job runs
// the whole suite again: a shorter soak keeps that job within minutes.
constexpr long kDefaultEvents = 40000;
constexpr double kDefaultSeconds = 90;
constexpr int kHangSeconds = 120;
#else
constexpr long kDefaultEvents = 100000;
constexpr double kDefaultSeconds = 55;
constexpr int kHangSeconds = 30;
#endif
constexpr std::uint64_t kDefaultSeed = 20240611;

template <class T>
T env_number(const char* name, T fallback) {
    const char* v = std::getenv(name);
    if (!v || !*v) return fallback;
    T out{};
    const char* end = v + std::strlen(v);
    auto [ptr, ec] = std::from_chars(v, end, out);
    if (ec != std::errc{} || ptr != end) {
        ADD_FAILURE() << name << "=\"" << v << "\" is not a number; using " << fallback;
        return fallback;
    }
    return out;
}

// ---- What a value box may hold ----

// A plain decimal number as the value boxes write it: optional minus,
// digits, optionally a point and more digits; no exponent, no blanks, no
// "nan" or "inf", never a negative zero.
bool is_number_text(const QString& qtext) {
    const std::string text = qtext.toStdString();
    std::size_t i = 0;
    const std::size_t n = text.size();
    const bool negative = i < n && text[i] == '-';
    if (negative) ++i;
    const std::size_t int_start = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == int_start) return false;
    if (i < n && text[i] == '.') {
        const std::size_t frac_start = ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
        if (i == frac_start) return false;
    }
    if (i != n) return false;
    if (negative && text.find_first_not_of("-0.") == std::string::npos) return false;  // -0
    double v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + n, v);
    return ec == std::errc{} && ptr == text.data() + n && std::isfinite(v);
}

// ---- The texts a student types into the Mach box ----

std::vector<std::string> nasty_mach_texts(std::mt19937_64& rng) {
    std::vector<std::string> texts = {"",     " ",      "-",    ".",    "1",      "0.99999", "-0.9",
                                      "1e308", "1e-320", "nan", "inf", "0x1p-3", "\u0663",  "0.5",
                                      "-1",   "1e999",  "0.9999999999999999",     "+.5e-1", "  0.3abc"};
    std::uniform_int_distribution<int> digit(0, 9);
    std::string digits = "0.";
    while (digits.size() < 10000) digits += static_cast<char>('0' + digit(rng));
    texts.push_back(digits);                                    // a usable Mach number
    texts.push_back(std::string(10000, '9'));                   // overflows to infinity
    texts.push_back("0." + std::string(9998, '0').replace(9997, 1, "1"));  // underflows to 0
    static constexpr char kMixture[] = "0123456789.-+eE xnaif,";
    std::uniform_int_distribution<int> pick(0, sizeof kMixture - 2);
    std::string mixture;
    while (mixture.size() < 10000) mixture += kMixture[pick(rng)];
    texts.push_back(mixture);
    return texts;
}

std::string random_short_text(std::mt19937_64& rng) {
    static const char* const kPieces[] = {"0", "1", "2", "5", "9", ".", "-", "+", "e", "E", " ",
                                          "x", "n", "a", "i", "f", ",", "\u0663", "\u00e9", "\t"};
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<int> piece(0, std::size(kPieces) - 1);
    std::string s;
    for (int n = length(rng); n > 0; --n) s += kPieces[piece(rng)];
    return s;
}

// ---- Events ----

enum class Kind { set, drag, step, key, click, about, close_about, type, restart };

struct Event {
    Kind kind = Kind::set;
    int target = 0;  // bar or surface index; step action or key
    int value = 0;   // bar value; for a click: 0 left inside, 1 left outside, 2 right button
    std::string text;
};

constexpr const char* kBarNames[] = {"HScroll_Thickness", "HScroll_Camber", "HScroll_nP",
                                     "HScroll_AlfaD",     "HScroll_xM",     "HScroll_Moo"};
constexpr const char* kSurfaceNames[] = {"profil", "pressure", "Picture_CL", "Picture_CM", "Mcrit"};
constexpr QAbstractSlider::SliderAction kActions[] = {
    QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
    QAbstractSlider::SliderPageStepAdd,   QAbstractSlider::SliderPageStepSub,
    QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};
constexpr Qt::Key kKeys[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                             Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};

std::string shown(const std::string& text) {
    std::string s = text.size() > 40 ? text.substr(0, 40) + "... (" + std::to_string(text.size()) + " chars)"
                                     : text;
    return "\"" + s + "\"";
}

std::string describe(const Event& e) {
    std::ostringstream out;
    switch (e.kind) {
    case Kind::set: out << "set " << kBarNames[e.target] << " to " << e.value; break;
    case Kind::drag: out << "drag " << kBarNames[e.target] << " to " << e.value; break;
    case Kind::step: out << "step action " << e.value << " on " << kBarNames[e.target]; break;
    case Kind::key:
        out << "key " << QKeySequence(e.value).toString().toStdString() << " on " << kBarNames[e.target];
        break;
    case Kind::click:
        out << (e.value == 0 ? "click " : e.value == 1 ? "press and leave " : "right-click ")
            << kSurfaceNames[e.target];
        break;
    case Kind::about: out << "About"; break;
    case Kind::close_about: out << "close About"; break;
    case Kind::type: out << "type " << shown(e.text) << " into Text_Moo"; break;
    case Kind::restart:
        out << "new window over "
            << (e.value == 0 ? "the real table" : e.value == 1 ? "a table with holes" : "made-up circles");
        break;
    }
    return out.str();
}

// ---- The hang guard ----

// Aborts the test program when one event has run for longer than any chain
// could, naming that event: a hang must end the test, not the CI job.
class Watchdog {
public:
    explicit Watchdog(int seconds) : limit_(seconds), thread_([this] { run(); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void begin(long index, std::string what) {
        std::lock_guard lock(mutex_);
        index_ = index;
        what_ = std::move(what);
        started_ = Clock::now();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!done_) {
            wake_.wait_for(lock, std::chrono::seconds(1));
            if (!done_ && index_ >= 0 && Clock::now() - started_ > std::chrono::seconds(limit_)) {
                std::fprintf(stderr, "soak: event %ld (%s) still running after %d s: hang\n", index_,
                             what_.c_str(), limit_);
                std::fflush(stderr);
                std::abort();
            }
        }
    }
    int limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    long index_ = -1;
    std::string what_;
    Clock::time_point started_ = Clock::now();
    std::thread thread_;
};

// The offscreen platform warns once per shown window and per raise that
// it cannot do what a desktop would; over thousands of windows that is
// only noise. Everything else still goes to the previous handler.
class QuietPlatformWarnings {
public:
    QuietPlatformWarnings() { previous_ = qInstallMessageHandler(&filter); }
    ~QuietPlatformWarnings() { qInstallMessageHandler(previous_); }

private:
    static void filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) return;
        if (previous_) previous_(type, context, message);
    }
    static inline QtMessageHandler previous_ = nullptr;
};

// ---- The soak ----

class Soak {
public:
    Soak(std::uint64_t seed, long max_events, double max_seconds)
        : seed_(seed), max_events_(max_events), max_seconds_(max_seconds), rng_(seed) {
        ensure_app();
        EXPECT_TRUE(dir_.isValid());
        real_table_ = std::string(JMACH_SOURCE_DIR) + "/data/" + kTableFileName;
        ModelState s;
        const auto error = load_airfoil_table(real_table_, s);
        EXPECT_FALSE(error.has_value()) << *error;
        for (int i = 1; i <= static_cast<int>(s.table_rows); ++i)
            real_rows_.push_back({s.table_thickness[i], s.table_camber[i], s.table_eps[i], s.table_mu[i]});
        nasty_ = nasty_mach_texts(rng_);
    }

    // Runs until a cap is reached or a check fails; returns the events run.
    long run() {
        Watchdog watchdog(kHangSeconds);
        QuietPlatformWarnings quiet;
        const auto start = Clock::now();
        restart(0);
        long n = 0;
        for (; n < max_events_; ++n) {
            if ((n & 63) == 0 && seconds_since(start) > max_seconds_) break;
            const Event e = next_event();
            watchdog.begin(n, describe(e));
            remember(n, e);
            perform(e);
            if (!check(n)) {
                ++n;
                break;
            }
            if ((n & 63) == 63) QCoreApplication::processEvents();
            if (n % 997 == 0) paint_some_surface();
        }
        elapsed_ = seconds_since(start);
        window_.reset();
        return n;
    }
    double elapsed() const { return elapsed_; }
    long chains() const { return chains_; }
    long restarts() const { return restarts_; }
    long messages() const { return messages_; }

private:
    static double seconds_since(Clock::time_point t) {
        return std::chrono::duration<double>(Clock::now() - t).count();
    }
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    QScrollBar* bar(int i) {
        QScrollBar* bars[] = {form().HScroll_Thickness, form().HScroll_Camber, form().HScroll_nP,
                              form().HScroll_AlfaD,     form().HScroll_xM,     form().HScroll_Moo};
        return bars[i];
    }
    PictureBox* surface(int i) {
        PictureBox* boxes[] = {form().profil, form().pressure, form().Picture_CL, form().Picture_CM,
                               form().Mcrit};
        return boxes[i];
    }
    Form1& form() { return *window_; }

    // ---- choosing ----

    int bar_value(int b) {
        QScrollBar* sb = bar(b);
        const int lo = sb->minimum(), hi = sb->maximum();
        const int r = uniform(0, 99);
        if (r < 20) return chance(0.5) ? lo : hi;                       // the extremes
        if (r < 25) return chance(0.5) ? lo + 1 : hi - 1;               // next to them
        if (b == 2 && r < 45) return 2 * uniform((lo + 1) / 2, hi / 2);  // an even point count
        return uniform(lo, hi);
    }

    Event next_event() {
        Event e;
        const int r = uniform(0, 999);
        if (r < 2) {
            e.kind = Kind::restart;
            const int table = uniform(0, 9);
            e.value = table < 6 ? 0 : table < 9 ? 1 : 2;
        } else if (r < 250) {
            e.kind = Kind::set;
            e.target = uniform(0, 5);
            e.value = bar_value(e.target);
        } else if (r < 400) {
            e.kind = Kind::drag;
            e.target = uniform(0, 5);
            e.value = bar_value(e.target);
        } else if (r < 470) {
            e.kind = Kind::step;
            e.target = uniform(0, 5);
            e.value = uniform(0, std::size(kActions) - 1);
        } else if (r < 520) {
            e.kind = Kind::key;
            e.target = uniform(0, 5);
            e.value = kKeys[uniform(0, std::size(kKeys) - 1)];
        } else if (r < 720) {
            e.kind = Kind::click;
            e.target = uniform(0, 4);
            const int how = uniform(0, 19);
            e.value = how < 18 ? 0 : how - 17;
        } else if (r < 735) {
            e.kind = Kind::about;
        } else if (r < 740) {
            e.kind = Kind::close_about;
        } else {
            e.kind = Kind::type;
            e.text = chance(0.6) ? nasty_[uniform(0, static_cast<int>(nasty_.size()) - 1)]
                                 : random_short_text(rng_);
        }
        return e;
    }

    // ---- doing ----

    // 0: the real table. 1: some pairs missing, the starting pair (0, 0)
    // often among them: the lookup message, and chains before any profile
    // exists. 2: every pair, but each with a circle of its own: any centre
    // offset a table could hold for a Joukowski circle, eps from 0 (arcs
    // and the flat plate) to 1, mu either sign.
    void restart(int kind) {
        window_.reset();
        std::string table = real_table_;
        if (kind == 1) {
            std::vector<Row> rows;
            const bool keep_start = chance(0.5);
            for (const Row& row : real_rows_)
                if (row.thickness == 0 && row.camber == 0 ? keep_start : chance(0.6)) rows.push_back(row);
            table = dir_.filePath(QStringLiteral("holes.txt")).toStdString();
            write_table(table, rows);
        } else if (kind == 2) {
            std::vector<Row> rows = real_rows_;
            std::uniform_real_distribution<double> eps(0.0, 1.0), mu(-0.6, 0.6);
            for (Row& row : rows) {
                const int pick = uniform(0, 9);
                row.eps = pick == 0 ? 0.0 : pick == 1 ? 1e-12 : eps(rng_);
                row.mu = pick == 2 ? 0.0 : pick == 3 ? -1e-12 : mu(rng_);
            }
            table = dir_.filePath(QStringLiteral("circles.txt")).toStdString();
            write_table(table, rows);
        }
        window_ = std::make_unique<Form1>();
        form().set_message_hook([this](const QString& text) {
            ++messages_;
            ++window_messages_;
            if (text != QString::fromUtf8(kNotInTableMessage)) bad_message_ = text.toStdString();
        });
        const auto error = form().Form_Load(table);
        EXPECT_FALSE(error.has_value()) << *error;
        holes_ = kind == 1;
        window_messages_ = 0;
        expected_moo_ = form().Text_Moo->text();
        form().show();
        ++restarts_;
    }

    void perform(const Event& e) {
        ran_chain_ = false;
        marked_before_ = marked();
        switch (e.kind) {
        case Kind::restart:
            restart(e.value);
            marked_before_ = marked();
            return;
        case Kind::set:
        case Kind::drag:
        case Kind::step:
        case Kind::key: {
            QScrollBar* sb = bar(e.target);
            const int before = sb->value();
            if (e.kind == Kind::set) {
                sb->setValue(e.value);
            } else if (e.kind == Kind::drag) {
                // Grab the thumb, wander, let go: one Change at the release.
                sb->setSliderDown(true);
                sb->setSliderPosition(uniform(sb->minimum(), sb->maximum()));
                sb->setSliderPosition(e.value);
                sb->setSliderDown(false);
            } else if (e.kind == Kind::step) {
                sb->triggerAction(kActions[e.value]);
            } else {
                QKeyEvent press(QEvent::KeyPress, e.value, Qt::NoModifier);
                QCoreApplication::sendEvent(sb, &press);
                QKeyEvent release(QEvent::KeyRelease, e.value, Qt::NoModifier);
                QCoreApplication::sendEvent(sb, &release);
            }
            ran_chain_ = sb->value() != before;
            if (ran_chain_ && e.target == 5)
                expected_moo_ = QString::fromStdString(number_text(sb->value() / 100.0));
            return;
        }
        case Kind::click: {
            PictureBox* box = surface(e.target);
            const QPointF inside(uniform(0, box->width() - 1), uniform(0, box->height() - 1));
            const QPointF outside(box->width() + 5, -5);
            const Qt::MouseButton button = e.value == 2 ? Qt::RightButton : Qt::LeftButton;
            QMouseEvent press(QEvent::MouseButtonPress, inside, box->mapToGlobal(inside), button, button,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(box, &press);
            const QPointF at = e.value == 1 ? outside : inside;
            QMouseEvent release(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), button, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(box, &release);
            ran_chain_ = e.value == 0 && box != form().Mcrit;
            return;
        }
        case Kind::about:
            form().Mn_About->trigger();
            if (!form().about_window() || !form().about_window()->isVisible()) about_failed_ = true;
            return;
        case Kind::close_about:
            if (form().about_window()) form().about_window()->close();
            return;
        case Kind::type: {
            // Select everything and type over it: no handler runs.
            QLineEdit* box = form().Text_Moo;
            box->selectAll();
            box->insert(QString::fromStdString(e.text));
            expected_moo_ = QString::fromStdString(e.text);
            return;
        }
        }
    }

    // ---- checking ----

    bool marked() {
        const QLineEdit* box = form().Text_Moo;
        return !box->toolTip().isEmpty();
    }

    bool check(long n) {
        std::string fault;
        auto fail = [&](const std::string& what) {
            if (fault.empty()) fault = what;
        };
        if (!bad_message_.empty()) fail("unexpected message \"" + bad_message_ + "\"");
        if (!holes_ && window_messages_ > 0) fail("lookup message over the full table");
        if (about_failed_) fail("About window not shown");
        if (ran_chain_) ++chains_;

        // The value boxes.
        for (QLineEdit* box : {form().Text_Thickness, form().Text_Camber, form().Text_nP, form().Text_AlfaD,
                               form().Text_xM, form().Text_CpMin, form().Text_Mcrit, form().Text_CL, form().Text1})
            if (!is_number_text(box->text()))
                fail(box->objectName().toStdString() + " shows " + shown(box->text().toStdString()));

        // The Mach box: its text is what was last typed or written; after a
        // chain that read it, it is marked exactly when the text is unusable,
        // otherwise its mark is unchanged.
        QLineEdit* moo = form().Text_Moo;
        if (moo->text() != expected_moo_)
            fail("Text_Moo shows " + shown(moo->text().toStdString()) + ", expected " +
                 shown(expected_moo_.toStdString()));
        const bool is_marked = marked();
        const bool red = moo->palette().color(QPalette::Text) == QColor(255, 0, 0);
        if (is_marked != red) fail("Text_Moo tooltip and colour disagree");
        if (is_marked && moo->toolTip() != QString::fromLatin1(kMachErrorTip))
            fail("Text_Moo tooltip " + moo->toolTip().toStdString());
        const bool read = ran_chain_ && has_profile(form().state());
        if (read) {
            const bool usable = mach_from_text(moo->text().toStdString()).has_value();
            if (is_marked == usable)
                fail(std::string("Text_Moo ") + (is_marked ? "marked" : "not marked") + " after a chain read " +
                     shown(moo->text().toStdString()));
        } else if (is_marked != marked_before_) {
            fail("Text_Moo mark changed without a chain");
        }

        // The charts.
        for (int i = 0; i < 5; ++i) {
            const PictureBox* box = surface(i);
            if (box->rejected() != 0) fail(std::string(kSurfaceNames[i]) + " was handed a non-finite primitive");
            if (const auto& sc = box->scale())
                if (!(std::isfinite(sc->x1) && std::isfinite(sc->y1) && std::isfinite(sc->x2) &&
                      std::isfinite(sc->y2)))
                    fail(std::string(kSurfaceNames[i]) + " has a non-finite scale");
            for (const Primitive& p : box->primitives())
                if (!(std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) && std::isfinite(p.y2) &&
                      std::isfinite(p.r))) {
                    fail(std::string(kSurfaceNames[i]) + " holds a non-finite primitive");
                    break;
                }
        }

        // The critical Mach chart computes its curves locally, and a segment
        // with a non-finite end would be left out rather than handed over:
        // its four curves must stay whole, the same number of segments each
        // (none at all when the Laitone curve runs away at once, as it does
        // for suction peaks of thousands), with the blue marker line at the
        // critical Mach number besides.
        if (!form().Mcrit->primitives().empty()) {
            int red = 0, green = 0, blue = 0, magenta = 0;
            for (const Primitive& p : form().Mcrit->primitives()) {
                if (p.kind != Primitive::Kind::line || !p.colour) continue;
                red += *p.colour == kLiteralRed;
                green += *p.colour == kLiteralGreen;
                blue += *p.colour == kLiteralBlue;
                magenta += *p.colour == kMagenta;
            }
            if (!(green == red && magenta == red && blue == red + 1))
                fail("critical Mach chart curves incomplete: " + std::to_string(red) + " red, " +
                     std::to_string(green) + " green, " + std::to_string(magenta) + " magenta, " +
                     std::to_string(blue) + " blue segments");
        }

        // The model state.
        const ModelState& s = form().state();
        const std::pair<const char*, double> scalars[] = {
            {"thickness", s.thickness},
            {"camber", s.camber},
            {"n_points", s.n_points},
            {"circle_eps", s.circle_eps},
            {"circle_mu", s.circle_mu},
            {"map_exponent", s.map_exponent},
            {"mach_beta", s.mach_beta},
            {"table_rows", s.table_rows},
            {"n_intervals", s.n_intervals},
            {"half_intervals", s.half_intervals},
            {"alpha_deg", s.alpha_deg},
            {"pi_value", s.pi_value},
            {"x_shift", s.x_shift},
            {"circle_radius", s.circle_radius},
            {"centre_ratio", s.centre_ratio},
            {"radius_sq", s.radius_sq},
            {"radius_per_chord", s.radius_per_chord},
            {"chord_len", s.chord_len},
            {"zero_lift_angle", s.zero_lift_angle},
            {"centre_angle", s.centre_angle},
            {"cl_current", s.cl_current},
            {"moment_ref_x", s.moment_ref_x},
            {"gamma", s.gamma},
            {"two_over_gamma", s.two_over_gamma},
            {"gamma_minus1_half", s.gamma_minus1_half},
            {"gamma_plus1_half", s.gamma_plus1_half},
            {"gamma_over_gamma_minus1", s.gamma_over_gamma_minus1}};
        for (const auto& [name, v] : scalars)
            if (!std::isfinite(v)) fail(std::string("model value ") + name + " is " + std::to_string(v));
        auto finite = [](const auto& a) {
            for (double v : a)
                if (!std::isfinite(v)) return false;
            return true;
        };
        const std::pair<const char*, const double*> arrays[] = {
            {"theta", s.theta.data()},   {"map_deriv", s.map_deriv.data()}, {"prof_x", s.prof_x.data()},
            {"prof_y", s.prof_y.data()}, {"cp_surf", s.cp_surf.data()}};
        for (const auto& [name, a] : arrays)
            for (int i = 0; i < kPointCapacity; ++i)
                if (!std::isfinite(a[i])) {
                    fail(std::string("model value ") + name + "[" + std::to_string(i) + "] is " + std::to_string(a[i]));
                    break;
                }
        if (!(finite(s.curve_alpha) && finite(s.curve_cl) && finite(s.curve_cm)))
            fail("a lift or moment curve value is not finite");
        if (n % 1000 == 0 && !(finite(s.table_eps) && finite(s.table_mu) && finite(s.table_thickness) &&
                               finite(s.table_camber)))
            fail("a table column is not finite");

        if (fault.empty()) return true;
        std::ostringstream boxes;
        for (const char* name : kValueBoxNames)
            boxes << " " << name << "=" << shown(form().findChild<QLineEdit*>(QString::fromLatin1(name))->text().toStdString());
        ADD_FAILURE() << "after event " << n << " (seed " << seed_ << "): " << fault << "\ncircle eps "
                      << s.circle_eps << ", mu " << s.circle_mu << ", nP " << s.n_points << "; boxes:" << boxes.str()
                      << "\nlast events:\n" << history();
        return false;
    }

    // Paints one chart into an image at some scaling, as an expose would.
    void paint_some_surface() {
        const PictureBox* box = surface(uniform(0, 4));
        const qreal ratios[] = {1.0, 1.25, 2.0};
        const QImage image = paint_image(*box, box->size(), box->foreground(), ratios[uniform(0, 2)]);
        if (image.isNull()) ADD_FAILURE() << "painting " << box->objectName().toStdString() << " failed";
    }

    void remember(long n, const Event& e) {
        recent_.push_back({n, e});
        if (recent_.size() > 25) recent_.pop_front();
    }
    std::string history() const {
        std::ostringstream out;
        for (const auto& [n, e] : recent_) out << "  " << n << ": " << describe(e) << "\n";
        return out.str();
    }

    std::uint64_t seed_;
    long max_events_;
    double max_seconds_;
    std::mt19937_64 rng_;
    QTemporaryDir dir_;
    std::string real_table_;
    std::vector<Row> real_rows_;
    std::vector<std::string> nasty_;
    std::unique_ptr<Form1> window_;
    bool holes_ = false;
    QString expected_moo_;
    bool ran_chain_ = false;
    bool marked_before_ = false;
    bool about_failed_ = false;
    std::string bad_message_;
    long chains_ = 0, restarts_ = 0, messages_ = 0, window_messages_ = 0;
    double elapsed_ = 0;
    std::deque<std::pair<long, Event>> recent_;
};

TEST(Soak, RandomEventsKeepEveryBoxChartAndValueFinite) {
    const auto seed = env_number<std::uint64_t>("JMACH_SOAK_SEED", kDefaultSeed);
    const long events = env_number<long>("JMACH_SOAK_EVENTS", kDefaultEvents);
    const double seconds = env_number<double>("JMACH_SOAK_SECONDS", kDefaultSeconds);
    std::cout << "soak: seed " << seed << " (JMACH_SOAK_SEED), up to " << events << " events or " << seconds
              << " s" << std::endl;

    Soak soak(seed, events, seconds);
    const long done = soak.run();
    const double rate = done / std::max(soak.elapsed(), 1e-9);
    std::cout << "soak: " << done << " events (" << soak.chains() << " recompute chains, " << soak.restarts()
              << " windows, " << soak.messages() << " lookup messages) in " << soak.elapsed() << " s: "
              << static_cast<long>(rate) << " events/s" << std::endl;
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    ::testing::Test::RecordProperty("events", std::to_string(done));
    ::testing::Test::RecordProperty("seconds", std::to_string(soak.elapsed()));
    ::testing::Test::RecordProperty("events_per_second", std::to_string(static_cast<long>(rate)));
    EXPECT_GT(done, 0);
}

}  // namespace
}  // namespace jmach::testing
